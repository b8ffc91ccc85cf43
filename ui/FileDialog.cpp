#include "FileDialog.h"

#include <QFileDialog>

namespace {
FileDialogHandler& Handler() {
    static FileDialogHandler handler;
    return handler;
}
}  // namespace

QString AskFileName(QWidget* parent, const FileDialogRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    QFileDialog dialog(parent, request.caption);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filter.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(request.suffix);
    if (!request.suggested.isEmpty()) {
        dialog.selectFile(request.suggested);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    FileDialogHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}
