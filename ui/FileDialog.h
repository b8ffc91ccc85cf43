// Every file dialog of the program goes through AskFileName. Tests install a handler that
// answers in place of the user, so no test waits on a modal dialog.
#pragma once

#include <QList>
#include <QString>
#include <functional>

class QFileDialog;
class QWidget;

// A shortcut in the dialog's sidebar.
struct FileDialogPlace {
    QString name;    // the label, for example "Backups"
    QString folder;  // an existing folder
};

struct FileDialogRequest {
    bool save = false;  // a Save As dialog; otherwise Open
    QString caption;
    QString folder;                 // the folder it opens in; empty: where it last was
    QString suggested;              // the file name offered
    QString filter;                 // for example "Channel Data (*.sin)"
    QString suffix;                 // added to a typed name without one, for example "sin"
    QList<FileDialogPlace> places;  // added to the sidebar's own shortcuts
    // A save that appends to the file (a log): choosing one that exists asks nothing, as it
    // is not replaced.
    bool appends = false;
};

// The chosen path, or an empty string when the user cancelled.
QString AskFileName(QWidget* parent, const FileDialogRequest& request);

// Sets up dialog as AskFileName does. A request with places gets Qt's own dialog: a desktop's
// native one would not show them.
void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

using FileDialogHandler = std::function<QString(const FileDialogRequest&)>;
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
