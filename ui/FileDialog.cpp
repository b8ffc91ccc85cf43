#include "FileDialog.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QUrl>

namespace {
FileDialogHandler& Handler() {
    static FileDialogHandler handler;
    return handler;
}

// The sidebar labels a shortcut with its folder's name and sets that label again whenever
// the folder's details change; each time, the place's own name is put back. Without the
// sidebar (a future Qt may lay the dialog out differently) the folder's name stays.
void LabelPlaces(QFileDialog& dialog, const QList<FileDialogPlace>& places) {
    const auto* sidebar = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    QAbstractItemModel* model = sidebar ? sidebar->model() : nullptr;
    if (!model) {
        return;
    }
    const auto relabel = [model, places] {
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            for (const FileDialogPlace& place : places) {
                const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(place.folder));
                if (model->itemData(index).values().contains(url) &&
                    index.data().toString() != place.name) {
                    model->setData(index, place.name);
                }
            }
        }
    };
    relabel();
    QObject::connect(model, &QAbstractItemModel::dataChanged, &dialog, relabel);
}

}  // namespace

void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(request.caption);
    if (!request.places.isEmpty()) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    }
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filter.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(request.suffix);
    if (!request.suggested.isEmpty()) {
        dialog.selectFile(request.suggested);
    }
    if (!request.places.isEmpty()) {
        QList<QUrl> urls = dialog.sidebarUrls();
        for (const FileDialogPlace& place : request.places) {
            const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(place.folder));
            if (!urls.contains(url)) {
                urls << url;
            }
        }
        dialog.setSidebarUrls(urls);
        LabelPlaces(dialog, request.places);
    }
}

QString AskFileName(QWidget* parent, const FileDialogRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    QFileDialog dialog(parent);
    PrepareFileDialog(dialog, request);
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
