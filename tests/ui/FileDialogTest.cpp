// The file dialog's set-up: shortcuts a request adds to the sidebar, under their own names;
// the folder it opens in.
#include <QAbstractItemModel>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "FileDialog.h"

namespace {

// The sidebar's labels, top to bottom.
QStringList SidebarLabels(const QFileDialog& dialog) {
    const auto* sidebar = dialog.findChild<QListView*>("sidebar");
    QStringList labels;
    for (int row = 0; sidebar && row < sidebar->model()->rowCount(); ++row) {
        labels << sidebar->model()->index(row, 0).data().toString();
    }
    return labels;
}

}  // namespace

class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    void aPlaceIsInTheSidebarUnderItsName();
    void itOpensInItsFolderWithNoNameTyped();
    void withoutPlacesTheSidebarIsLeftAlone();
    void theDetailColumnsShowTheirWholeTexts();
};

void FileDialogTest::aPlaceIsInTheSidebarUnderItsName() {
    QTemporaryDir data;
    const QString folder = data.filePath("kvprog/backups");
    QVERIFY(QDir().mkpath(folder));
    FileDialogRequest request;
    request.caption = "Open";
    request.filter = "Channel Data (*.sin);;All Files (*)";
    request.places << FileDialogPlace{"Backups", folder + "/"};

    QFileDialog dialog;
    PrepareFileDialog(dialog, request);
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));  // the native ones ignore it
    QVERIFY(dialog.sidebarUrls().contains(QUrl::fromLocalFile(folder)));
    QCOMPARE(dialog.windowTitle(), QString("Open"));
    QCOMPARE(dialog.nameFilters(), QStringList({"Channel Data (*.sin)", "All Files (*)"}));
    // The sidebar names the folder again once the file system has been looked at, and when
    // the folder changes; the place's name must win every time.
    const auto* sidebar = dialog.findChild<QListView*>("sidebar");
    QVERIFY(sidebar);
    const QSignalSpy named(sidebar->model(), &QAbstractItemModel::dataChanged);
    QTRY_VERIFY_WITH_TIMEOUT(named.count() > 0, 30000);
    QVERIFY2(SidebarLabels(dialog).contains("Backups"),
             qPrintable(SidebarLabels(dialog).join(",")));
    QFile touched(folder + "/20240305-070809-read.sin");
    QVERIFY(touched.open(QIODevice::WriteOnly));
    touched.close();
    const auto before = named.count();
    dialog.setDirectory(folder);
    QTRY_VERIFY_WITH_TIMEOUT(named.count() > before, 30000);
    QVERIFY2(SidebarLabels(dialog).contains("Backups"),
             qPrintable(SidebarLabels(dialog).join(",")));
    QVERIFY(!SidebarLabels(dialog).contains("backups"));

    // Qt keeps the sidebar for every program's file dialogs: the place leaves with the dialog,
    // or the next dialog without it would show the folder's bare name.
    dialog.reject();
    QVERIFY(!dialog.sidebarUrls().contains(QUrl::fromLocalFile(folder)));
}

void FileDialogTest::itOpensInItsFolderWithNoNameTyped() {
    QTemporaryDir data;
    FileDialogRequest request;
    request.folder = data.path();
    request.places << FileDialogPlace{"Backups", data.path()};
    QFileDialog dialog;
    PrepareFileDialog(dialog, request);
    QCOMPARE(QDir(dialog.directory()), QDir(data.path()));
    const auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(name);
    QCOMPARE(name->text(), QString());
}

void FileDialogTest::theDetailColumnsShowTheirWholeTexts() {
    QTemporaryDir data;
    QFile file(data.filePath("20240306-170809-before-write.sin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    FileDialogRequest request;
    request.places << FileDialogPlace{"Backups", data.path()};
    QFileDialog dialog;
    PrepareFileDialog(dialog, request);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setDirectory(data.path());
    dialog.show();
    auto* view = dialog.findChild<QTreeView*>("treeView");
    QVERIFY(view);
    QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(view->rootIndex()), 1, 30000);
    // The modification date keeps its time, the name is not cut to make room for it.
    const QAbstractItemView& columns = *view;
    QTRY_VERIFY_WITH_TIMEOUT(view->columnWidth(3) >= columns.sizeHintForColumn(3), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(view->columnWidth(0) >= columns.sizeHintForColumn(0), 30000);
}

void FileDialogTest::withoutPlacesTheSidebarIsLeftAlone() {
    QFileDialog plain;
    plain.setOption(QFileDialog::DontUseNativeDialog);
    FileDialogRequest request;
    request.save = true;
    request.suffix = "sin";
    QFileDialog dialog;
    PrepareFileDialog(dialog, request);
    QVERIFY(!dialog.testOption(QFileDialog::DontUseNativeDialog));
#ifndef _WIN32
    // Windows shows its own dialog, whose places are the system's: Qt's sidebar is not used.
    QCOMPARE(dialog.sidebarUrls(), plain.sidebarUrls());
#endif
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog.defaultSuffix(), QString("sin"));
    // A document saved over a file replaces it, so the user is asked; a log is appended to.
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
    request.appends = true;
    QFileDialog log;
    PrepareFileDialog(log, request);
    QVERIFY(log.testOption(QFileDialog::DontConfirmOverwrite));
}

int main(int argc, char** argv) {
    // A file dialog keeps its sidebar in the Qt settings; these runs must leave the user's
    // alone and not see them.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    FileDialogTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "FileDialogTest.moc"
