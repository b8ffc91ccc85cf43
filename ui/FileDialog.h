// Every file dialog of the program goes through AskFileName. Tests install a handler that
// answers in place of the user, so no test waits on a modal dialog.
#pragma once

#include <QString>
#include <functional>

class QWidget;

struct FileDialogRequest {
    bool save = false;  // a Save As dialog; otherwise Open
    QString caption;
    QString suggested;  // the file name offered
    QString filter;     // for example "Channel Data (*.sin)"
    QString suffix;     // added to a typed name without one, for example "sin"
};

// The chosen path, or an empty string when the user cancelled.
QString AskFileName(QWidget* parent, const FileDialogRequest& request);

using FileDialogHandler = std::function<QString(const FileDialogRequest&)>;
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
