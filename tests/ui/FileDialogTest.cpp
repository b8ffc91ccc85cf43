// The file dialog's set-up: shortcuts a request adds to the sidebar, under their own names.
#include <QAbstractItemModel>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
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
    void withoutPlacesTheSidebarIsLeftAlone();
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
    QTRY_VERIFY_WITH_TIMEOUT(SidebarLabels(dialog).contains("Backups"), 2000);
    QTest::qWait(300);
    QFile touched(folder + "/20240305-070809-read.sin");
    QVERIFY(touched.open(QIODevice::WriteOnly));
    touched.close();
    dialog.setDirectory(folder);
    QTest::qWait(300);
    QVERIFY2(SidebarLabels(dialog).contains("Backups"),
             qPrintable(SidebarLabels(dialog).join(",")));
    QVERIFY(!SidebarLabels(dialog).contains("backups"));
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
    QCOMPARE(dialog.sidebarUrls(), plain.sidebarUrls());
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog.defaultSuffix(), QString("sin"));
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
