// The desktop program end to end without a display: start-up, the form after New and
// Open, Save, the save prompts, the command line, dropped files and the recent-file list.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "ChannelCodec.h"
#include "CommandTable.h"
#include "FileDialog.h"
#include "FormTemplate.h"
#include "KV_IIApp.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MainFrm.h"
#include "MessageBox.h"
#include "NewDocument.h"
#include "RadioController.h"
#include "RecentFiles.h"
#include "SerialPorts.h"
#include "SinFile.h"

namespace {

constexpr int kNew = 57600;
constexpr int kSave = 57603;

QByteArray Bytes(const RadioImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), RadioImage::size());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A T520 image with channel 3 in use.
RadioImage SampleImage() {
    RadioImage image = NewDocumentImage(RadioType::T520);
    EditorModel model;
    DecodeImage(image, model);
    model.cells[3] = {"3", "462.56250", "467.56250", "67.0", "D023N", "NO", "Narrow", "Add", "Low"};
    EncodeImage(model, image);
    return image;
}

}  // namespace

class AppFlowTest : public QObject {
    Q_OBJECT

private:
    CKV_IIApp* app() { return theApp(); }
    CKV_IIView* view() { return app()->View(); }
    CKV_IIDoc* doc() { return app()->Document(); }
    QString Path(const QString& name) { return m_dir.filePath(name); }
    QString Cell(int row, int col) { return view()->Grid().GetTextMatrix(row, col); }
    QString Shown(Setting s) { return view()->SettingCombo(s)->currentText(); }
    void Start(const QString& file = {}) {
        QCOMPARE(app()->InitInstance({.file = file}), CKV_IIApp::StartResult::Run);
    }
    // Answers message boxes with `answer` and the file dialogs with `file`.
    void Answer(QMessageBox::StandardButton answer, const QString& file = QString()) {
        m_answer = answer;
        m_file = file;
    }

    QTemporaryDir m_dir;
    QStringList m_messages;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    QString m_file;
    int m_fileDialogs = 0;
    QStringList m_places;  // the sidebar places of each file dialog, by name

private slots:
    void init();
    void cleanup();
    void startsWithANewDocumentInTheForm();
    void newTakesTheTypeTheFormShows();
    void saveWritesTheEncodedForm();
    void openShowsTheFileAndAFailedOpenChangesNothing();
    void commandLineOpensOrEndsStartUp();
    void unsavedChangesAreOfferedForSaving();
    void closingAsksAndCancelKeepsTheWindow();
    void droppedFilesOpenAndRecentFilesAreKept();
    void formIsBuiltOnceAndWidthsDoNotGrow();
    void saveCommitsAnOpenEdit();
    void formFitsTheScreenAndScrolls();
    void everyWindowFitsTheScreen();
    void aToneOffTheListIsExplainedInTheStatusBar();
    void portMenuListsThePortsPresent();
};

void AppFlowTest::init() {
    m_messages.clear();
    m_fileDialogs = 0;
    m_places.clear();
    Answer(QMessageBox::Ok);
    SetMessageHandler([this](const MessageRequest& request) {
        m_messages << request.text;
        return m_answer;
    });
    SetFileDialogHandler([this](const FileDialogRequest& request) {
        ++m_fileDialogs;
        for (const FileDialogPlace& place : request.places) {
            m_places << place.name;
        }
        return m_file;
    });
}

void AppFlowTest::cleanup() {
    app()->ExitInstance();
    SetMessageHandler(nullptr);
    SetFileDialogHandler(nullptr);
}

void AppFlowTest::startsWithANewDocumentInTheForm() {
    Start();
    CMainFrame* frame = app()->MainFrame();
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->windowTitle(), QString("Korvane Programming Software"));
    QCOMPARE(Bytes(doc()->m_image), Bytes(NewDocumentImage(RadioType::T310X)));
    QCOMPARE(Shown(Setting::Type), QString("KV - T310X"));
    QCOMPARE(Shown(Setting::Field), QString("450 - 470MHZ"));
    QCOMPARE(Shown(Setting::UrgencyCall), QString("TX Alert "));
    QCOMPARE(Shown(Setting::Moni), QString("SQ-Off Momentary"));
    QCOMPARE(Shown(Setting::TimeoutTimer), QString("180s"));
    const QStringList headers = {"CH",   "Receive(MHz)", "Transmit(MHz)", "Rx Tone", "Tx Tone",
                                 "Busy", "W/N",          "Scan",          "Power"};
    for (int c = 0; c < 9; ++c) {
        QCOMPARE(Cell(0, c), headers[c]);
    }
    for (int r = 1; r <= 16; ++r) {
        QCOMPARE(Cell(r, 0), QString::number(r));
        for (int c = 1; c < 9; ++c) {
            QCOMPARE(Cell(r, c), QString());
        }
    }
    QCOMPARE(frame->focusWidget(), view()->SettingCombo(Setting::Type));
    QVERIFY(!doc()->IsModified());
}

void AppFlowTest::newTakesTheTypeTheFormShows() {
    Start();
    view()->SettingCombo(Setting::Type)->setCurrentIndex(1);
    Answer(QMessageBox::Discard);
    app()->MainFrame()->OnCommand(kNew);
    QCOMPARE(m_messages, QStringList{"Save changes to Write Data?"});
    QCOMPARE(Bytes(doc()->m_image), Bytes(NewDocumentImage(RadioType::T520)));
    QCOMPARE(Shown(Setting::Type), QString("KV - T520"));
    QVERIFY(!doc()->IsModified());
}

void AppFlowTest::saveWritesTheEncodedForm() {
    Start();
    const QString path = Path("saved.sin");
    Answer(QMessageBox::Ok, path);
    app()->MainFrame()->OnCommand(kSave);
    QCOMPARE(m_fileDialogs, 1);  // a new document has no file yet: Save asks for one
    QCOMPARE(m_places, QStringList{"Backups"});  // as in Open
    RadioImage expected = NewDocumentImage(RadioType::T310X);
    for (int n = 1; n <= 16; ++n) {
        expected[RadioImage::ChannelAddress(n) + rec::kChanFlags] = 0xCF;
    }
    QCOMPARE(ReadFile(path), Bytes(expected));
    QCOMPARE(doc()->GetPathName(), path);

    // The second save goes to the same file without asking, with the form's new contents.
    view()->Grid().SetTextMatrix(5, COL_RX_FREQ, "451.00000");
    view()->SettingCombo(Setting::Beep)->setCurrentIndex(1);
    QVERIFY(doc()->IsModified());
    app()->MainFrame()->OnCommand(kSave);
    QCOMPARE(m_fileDialogs, 1);
    QVERIFY(!doc()->IsModified());
    RadioImage saved;
    QVERIFY(LoadSinFile(path.toStdString(), saved).ok());
    QCOMPARE(ReadFrequency(saved, RadioImage::ChannelAddress(5)),
             std::optional<std::uint32_t>(45100000));
    QCOMPARE(saved[addr::kFuncFlags] & funcbits::kBeep, 0);

    // A save that cannot be written says why.
    Answer(QMessageBox::Ok, Path("no-such-folder/x.sin"));
    app()->OnFileSaveAs();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains("no-such-folder"), qPrintable(m_messages[0]));
    QCOMPARE(doc()->GetPathName(), path);
}

void AppFlowTest::openShowsTheFileAndAFailedOpenChangesNothing() {
    Start();
    const QString good = Path("good.sin");
    WriteFile(good, Bytes(SampleImage()));
    QVERIFY(app()->OpenDocumentFile(good));
    QCOMPARE(Shown(Setting::Type), QString("KV - T520"));
    QCOMPARE(Cell(3, COL_RX_FREQ), QString("462.56250"));
    QCOMPARE(Cell(3, COL_TX_TONE), QString("D023N"));
    QCOMPARE(Cell(3, COL_POWER), QString("Low"));
    QCOMPARE(Cell(0, COL_RX_FREQ), QString("Receive(MHz)"));

    const QString shortFile = Path("short.sin");
    WriteFile(shortFile, QByteArray(5, '\xFF'));
    view()->SettingCombo(Setting::Beep)->setCurrentIndex(1);  // an unsaved change
    const QByteArray edited = Bytes(doc()->m_image);          // the image follows the form
    QVERIFY(edited != Bytes(SampleImage()));
    Answer(QMessageBox::Discard);
    QVERIFY(!app()->OpenDocumentFile(shortFile));
    QCOMPARE(m_messages.size(), 2);
    QVERIFY2(m_messages[1].contains("holds 5 bytes; a channel data file holds 1024"),
             qPrintable(m_messages[1]));
    QCOMPARE(Bytes(doc()->m_image), edited);
    QCOMPARE(doc()->GetPathName(), good);
    QCOMPARE(Cell(3, COL_RX_FREQ), QString("462.56250"));
    QCOMPARE(Shown(Setting::Beep), QString("Disable"));
    QVERIFY(doc()->IsModified());
}

void AppFlowTest::commandLineOpensOrEndsStartUp() {
    const QString good = Path("cmdline.sin");
    WriteFile(good, Bytes(SampleImage()));
    Start({good});
    QCOMPARE(Cell(3, COL_RX_TONE), QString("67.0"));
    QCOMPARE(doc()->GetPathName(), good);
    app()->ExitInstance();

    QCOMPARE(app()->InitInstance({.file = Path("missing.sin")}), CKV_IIApp::StartResult::Failed);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].contains("missing.sin"));
    QCOMPARE(app()->MainFrame(), nullptr);
    QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
            std::none_of(QApplication::topLevelWidgets().begin(),
                         QApplication::topLevelWidgets().end(),
                         [](QWidget* w) { return w->isVisible(); }));
}

void AppFlowTest::unsavedChangesAreOfferedForSaving() {
    Start();
    QVERIFY(!doc()->IsModified());
    view()->SettingCombo(Setting::SquelchLevel)->setCurrentIndex(3);
    QVERIFY(doc()->IsModified());

    Answer(QMessageBox::Cancel);
    app()->OnFileNew();
    QCOMPARE(Shown(Setting::SquelchLevel), QString("3"));  // cancelled: nothing happened

    const QString path = Path("prompted.sin");
    Answer(QMessageBox::Save, path);
    app()->OnFileNew();
    QCOMPARE(m_fileDialogs, 1);
    RadioImage saved;
    QVERIFY(LoadSinFile(path.toStdString(), saved).ok());
    QCOMPARE(saved[addr::kSquelchLevel], 3);
    QCOMPARE(Shown(Setting::SquelchLevel), QString("9"));  // then the new document
    QVERIFY(!doc()->IsModified());

    // Cancelling the Save As dialog of the prompt cancels the command too.
    view()->SettingCombo(Setting::SquelchLevel)->setCurrentIndex(4);
    Answer(QMessageBox::Save, QString());
    app()->OnFileNew();
    QCOMPARE(Shown(Setting::SquelchLevel), QString("4"));
}

void AppFlowTest::closingAsksAndCancelKeepsTheWindow() {
    Start();
    CMainFrame* frame = app()->MainFrame();
    frame->close();  // nothing changed: no question
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!frame->isVisible());

    frame->show();
    view()->SettingCombo(Setting::Moni)->setCurrentIndex(0);
    Answer(QMessageBox::Cancel);
    frame->Action(57665)->trigger();  // File > Exit
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->windowTitle(), QString("Korvane Programming Software"));
    Answer(QMessageBox::Discard);
    QVERIFY(frame->close());
}

void AppFlowTest::droppedFilesOpenAndRecentFilesAreKept() {
    Start();
    QStringList opened;
    for (int i = 0; i < 5; ++i) {
        const QString path = Path(QString("recent%1.sin").arg(i));
        WriteFile(path, Bytes(SampleImage()));
        emit app()->MainFrame()->FilesDropped({path});
        QCOMPARE(doc()->GetPathName(), path);
        opened.prepend(path);
    }
    QCOMPARE(RecentFiles(), opened.mid(0, 4));
    // The File menu lists none of them.
    for (QAction* action : app()->MainFrame()->menuBar()->actions()) {
        app()->MainFrame()->FillMenu(action->menu());
        for (QAction* item : action->menu()->actions()) {
            QVERIFY(!item->text().contains("recent"));
        }
    }
}

void AppFlowTest::formIsBuiltOnceAndWidthsDoNotGrow() {
    Start();
    CMSFlexGrid& grid = view()->Grid();
    const QList<long> widths = [&] {
        QList<long> w;
        for (int c = 0; c < 9; ++c)
            w << grid.GetColWidth(c);
        return w;
    }();
    // Column 0 is 0.42 of the default width, the frequency columns 1.2 of it, or wider where
    // their headings need more in the system's font.
    const double w0 = widths[0] / 0.42;
    QVERIFY(widths[1] > 1.2 * w0 - 1.2 * 30);
    QVERIFY(widths[2] >= widths[1] - 1.2 * 30);
    QVERIFY(!view()->findChild<QComboBox*>("ctl1000"));  // made on first use
    grid.SetCol(COL_RX_TONE);
    const int toneItems = view()->findChild<QComboBox*>("ctl1000")->count();
    QCOMPARE(toneItems, 261);

    app()->OnFileNew();
    WriteFile(Path("again.sin"), Bytes(SampleImage()));
    app()->OpenDocumentFile(Path("again.sin"));
    for (int c = 0; c < 9; ++c) {
        QCOMPARE(grid.GetColWidth(c), widths[c]);
    }
    for (int id : {IDC_EDIT_CELL, IDC_COMBO_TONE, IDC_COMBO_BUSY, IDC_COMBO_WN, IDC_COMBO_SCAN,
                   IDC_COMBO_POWER}) {
        const auto editors = grid.findChildren<QWidget*>(QString("ctl%1").arg(id));
        QCOMPARE(editors.size(), 1);
        QVERIFY(!editors[0]->isVisible());
    }
}

// Run at scale 1 and at scale 2, where the screen is smaller than the form: the window fits
// the screen and every control can be scrolled into view without covering the status bar.
void AppFlowTest::formFitsTheScreenAndScrolls() {
    Start();
    CMainFrame* frame = app()->MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    QVERIFY(frame->screen()->availableGeometry().contains(frame->frameGeometry()));
    QScrollArea* area = frame->FormArea();
    QCOMPARE(area->widget(), view());
    QVERIFY(!frame->statusBar()->geometry().intersects(area->geometry()));
    const QWidget* viewport = area->viewport();
    QCOMPARE(area->horizontalScrollBar()->maximum() > 0,
             view()->minimumWidth() > viewport->width());
    QCOMPARE(area->verticalScrollBar()->maximum() > 0,
             view()->minimumHeight() > viewport->height());

    const auto shown = [viewport](const QWidget* widget, const QRect& rect) {
        const QRect onViewport(widget->mapTo(viewport, rect.topLeft()), rect.size());
        return viewport->rect().contains(onViewport);
    };
    QWidget* moni = view()->SettingCombo(Setting::Moni);
    area->ensureWidgetVisible(moni, 0, 0);
    QVERIFY(shown(moni, moni->rect()));
    // The editor of channel 16's Power, the grid's far corner, comes into view as it opens.
    QApplication::setActiveWindow(frame);
    QVERIFY(QTest::qWaitForWindowActive(frame));
    CMSFlexGrid& grid = view()->Grid();
    grid.SetRow(16);
    grid.SetCol(COL_POWER);
    view()->ShowCellEditor(0);
    QWidget* power = view()->GetCellEditor();
    QVERIFY(power->hasFocus());
    QVERIFY(shown(power, power->rect()));
}

// With the main window half off the screen's right edge (and, run at twice the size, on a
// screen smaller than most windows), each window a command opens lies inside the screen's
// available area, every button of it inside the window or on a page that scrolls.
void AppFlowTest::everyWindowFitsTheScreen() {
    Start();
    CMainFrame* frame = app()->MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    const QRect area = frame->screen()->availableGeometry();
    frame->move(area.right() - frame->width() / 2, area.top());
    app()->Radio()->SetPort("DEMO");
    Answer(QMessageBox::Save, Path("fits.sin"));  // Production Mode saves the document first
    QStringList wrong;
    const auto inspect = [&](QWidget* window) {
        const QString title = window->windowTitle();
        if (!area.contains(window->frameGeometry())) {
            wrong << title + ": outside the screen";
        }
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            const QRect place(button->mapTo(window, QPoint(0, 0)), button->size());
            const QScrollArea* scroll = nullptr;
            for (QWidget* w = button->parentWidget(); w && !scroll; w = w->parentWidget()) {
                scroll = qobject_cast<QScrollArea*>(w);
            }
            if (button->isVisibleTo(window) && !scroll && !window->rect().contains(place)) {
                wrong << title + ": " + button->text() + " cut off";
            }
        }
    };
    for (const int command :
         {ID_READ_FROM_RADIO, ID_CHECK_CONNECTION, ID_TEST_MODE, ID_OPTIONAL_FEATURES,
          ID_PRODUCTION_MODE, ID_APP_ABOUT, ID_HELP_GUIDE}) {
        // Inspects and closes what the command opened, modal or not.
        bool looked = false;
        QTimer::singleShot(0, this, [&] {
            int opened = 0;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->isVisible() && window != frame && !qobject_cast<QMenu*>(window)) {
                    ++opened;
                    inspect(window);
                    window->close();
                }
            }
            if (opened != 1) {
                wrong << QString("command %1 opened %2 windows").arg(command).arg(opened);
            }
            looked = true;
        });
        frame->OnCommand(command);
        QTRY_VERIFY(looked);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("; ")));
}

void AppFlowTest::aToneOffTheListIsExplainedInTheStatusBar() {
    Start();
    CMSFlexGrid& grid = view()->Grid();
    grid.SetTextMatrix(3, COL_RX_FREQ, "450.00000");
    grid.SetRow(3);
    grid.SetCol(COL_TX_TONE);
    view()->ShowCellEditor(0);
    auto* tone = view()->findChild<QComboBox*>(QString("ctl%1").arg(IDC_COMBO_TONE));
    tone->setEditText("124");
    view()->OnLeaveCellGrid();
    QCOMPARE(Cell(3, COL_TX_TONE), QString("OFF"));
    QCOMPARE(app()->MainFrame()->MessageText(),
             QString("124 is not a tone of the list: Tx Tone of CH 3 set to OFF"));
}

void AppFlowTest::saveCommitsAnOpenEdit() {
    Start();
    CMSFlexGrid& grid = view()->Grid();
    grid.SetRow(2);
    grid.SetCol(COL_RX_FREQ);
    view()->ShowCellEditor('4');
    auto* box = view()->findChild<QLineEdit*>(QString("ctl%1").arg(IDC_EDIT_CELL));
    box->setText("460.5");  // typed, not confirmed
    QVERIFY(!doc()->IsModified());
    const QString path = Path("open-edit.sin");
    Answer(QMessageBox::Ok, path);
    app()->OnFileSave();
    RadioImage saved;
    QVERIFY(LoadSinFile(path.toStdString(), saved).ok());
    QCOMPARE(ReadFrequency(saved, RadioImage::ChannelAddress(2)),
             std::optional<std::uint32_t>(46050000));
    QCOMPARE(Cell(2, COL_TX_FREQ), QString("460.50000"));
    QVERIFY(!box->isVisible());
    QVERIFY(!doc()->IsModified());

    // A refused value shows its message and the file keeps what the cell held.
    grid.SetRow(2);
    view()->ShowCellEditor('4');
    box->setText("480");
    app()->OnFileSave();
    QCOMPARE(m_messages, QStringList{"Out of range!"});
    QVERIFY(LoadSinFile(path.toStdString(), saved).ok());
    QCOMPARE(ReadFrequency(saved, RadioImage::ChannelAddress(2)),
             std::optional<std::uint32_t>(46050000));
}

// COM2's item when nothing maps it: the device it stands for on Linux; on Windows it is one.
#ifdef _WIN32
constexpr char kCom2Unmapped[] = "COM2(&Q)";
#else
constexpr char kCom2Unmapped[] = "COM2(&Q) (/dev/ttyUSB1)";
#endif

// The ports come from a module loaded when the menu first opens; they are the system's, and
// the demo port comes last.
void AppFlowTest::portMenuListsThePortsPresent() {
    Start();
    QMenu* menu = app()->MainFrame()->MenuOf(ID_COM1);
    QVERIFY(menu);
    QStringList expected;
    for (const SerialPortFacts& port : ScanSerialPorts()) {
        expected << QString::fromStdString(port.device);
    }
    expected << "DEMO";
    qputenv("KVPROG_COM2", "/dev/ttyACM7");
    for (int i = 0; i < 2; ++i) {  // opened again, the list is rebuilt, not added to
        emit menu->aboutToShow();
        // The fixed items show the device each stands for, as it is at this opening.
        QCOMPARE(app()->MainFrame()->Action(ID_COM2)->text(),
                 i == 0 ? QString("COM2(&Q) (/dev/ttyACM7)") : QString(kCom2Unmapped));
        qunsetenv("KVPROG_COM2");
        QStringList listed;
        for (QAction* action : menu->actions()) {
            if (action->property("detectedPort").typeId() == QMetaType::QString) {
                listed << action->property("detectedPort").toString();
            }
        }
        QCOMPARE(listed, expected);
    }
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());  // keep the user's settings out
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());  // File > Open makes the backup folder
    CKV_IIApp app(argc, argv);
    AppFlowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AppFlowTest.moc"
