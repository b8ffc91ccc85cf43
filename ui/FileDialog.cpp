#include "FileDialog.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "ScreenFit.h"

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

// Widens the dialog, never past its screen, until the detail view's columns fit side by side.
void GrowToFit(QFileDialog& dialog, const QTreeView& tree) {
    const QAbstractItemView& view = tree;  // where the column's size hint is public
    int wanted = 0;
    for (int column = 0; column < tree.header()->count(); ++column) {
        wanted += std::max(view.sizeHintForColumn(column), tree.header()->sectionSizeHint(column));
    }
    const int missing = wanted - view.viewport()->width();
    if (missing <= 0) {
        return;
    }
    dialog.resize(dialog.width() + missing, dialog.height());
    FitToScreen(&dialog, dialog.parentWidget());
}

// The detail view's columns take the widths of their contents (a date with its time, a type
// in full), the name column what is left, and the dialog grows for them once a folder is
// read. When the dialog ends the user may size them by hand again: Qt keeps the header for
// every program's file dialogs.
void FitColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!view || !model) {
        return;
    }
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    for (int column = 0; column < header->count(); ++column) {
        header->setSectionResizeMode(
            column, column == 0 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
    // The rows reach the view after the model has read the folder.
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog, [&dialog, view] {
        QTimer::singleShot(0, &dialog, [&dialog, view] { GrowToFit(dialog, *view); });
    });
    QObject::connect(&dialog, &QDialog::finished, header,
                     [header] { header->setSectionResizeMode(QHeaderView::Interactive); });
}

// Qt keeps the sidebar for every program's file dialogs; a place added for one dialog would
// stay in all of them under its bare folder name. The sidebar is put back as it was, less
// anything the user removed, when the dialog ends.
void ForgetPlacesWhenDone(QFileDialog& dialog, const QList<QUrl>& before) {
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&dialog, before] {
        QList<QUrl> urls = dialog.sidebarUrls();
        urls.removeIf([&](const QUrl& url) { return !before.contains(url); });
        dialog.setSidebarUrls(urls);
    });
}

}  // namespace

void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(request.caption);
    if (!request.places.isEmpty()) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    }
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, request.appends);
    dialog.setNameFilters(request.filter.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(request.suffix);
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    if (!request.suggested.isEmpty()) {
        dialog.selectFile(request.suggested);
    }
    FitColumns(dialog);
    if (!request.places.isEmpty()) {
        const QList<QUrl> before = dialog.sidebarUrls();
        QList<QUrl> urls = before;
        for (const FileDialogPlace& place : request.places) {
            const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(place.folder));
            if (!urls.contains(url)) {
                urls << url;
            }
        }
        dialog.setSidebarUrls(urls);
        LabelPlaces(dialog, request.places);
        ForgetPlacesWhenDone(dialog, before);
    }
}

QString AskFileName(QWidget* parent, const FileDialogRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    QFileDialog dialog(parent);
    PrepareFileDialog(dialog, request);
    FitToScreen(&dialog, parent);
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
