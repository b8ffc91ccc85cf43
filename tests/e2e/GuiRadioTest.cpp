// The desktop program reading and writing the simulated radio: the Read and Write commands,
// the progress dialog's Start and Cancel, the port menu, the commands held back while a
// run goes, and Production Mode on two radios at once. The program runs offscreen; the
// radio is kvradio-sim on a pseudo-terminal.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <map>

#include "Backups.h"
#include "ChannelCodec.h"
#include "CheckConnectionDlg.h"
#include "CommPort.h"
#include "CommandTable.h"
#include "CompareDlg.h"
#include "DialogTemplate.h"
#include "FeaturesTemplate.h"
#include "FileDialog.h"
#include "JobLog.h"
#include "KV_IIApp.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MainFrm.h"
#include "MessageBox.h"
#include "NewDocument.h"
#include "PortNames.h"
#include "ProductionDlg.h"
#include "ProductionRows.h"
#include "ProgramSettings.h"
#include "ProgressDlg.h"
#include "PttIdCode.h"
#include "RadioController.h"
#include "SinFile.h"
#include "TestModeDlg.h"
#include "TestModeTemplate.h"
#include "TransferHooks.h"

namespace {

QByteArray Bytes(const RadioImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), RadioImage::size());
}

// A T520 radio with two channels and its own bytes in the part a write never reaches.
RadioImage RadioMemory() {
    RadioImage image = NewDocumentImage(RadioType::T520);
    EditorModel model;
    DecodeImage(image, model);
    model.cells[1] = {"1", "462.56250", "467.56250", "67.0", "D023N", "NO", "Narrow", "Add", "Low"};
    model.cells[9] = {"9", "455.00000", "", "OFF", "OFF", "YES", "Wide", "Delete", "Middle"};
    EncodeImage(model, image);
    image[0x3E0] = 0x42;
    return image;
}

}  // namespace

class GuiRadioTest : public QObject {
    Q_OBJECT

private:
    CKV_IIApp* app() { return theApp(); }
    CKV_IIView* view() { return app()->View(); }
    CRadioController* radio() { return app()->Radio(); }
    CProgressDlg& dialog() { return radio()->ProgressDialog(); }
    QString Cell(int row, int col) { return view()->Grid().GetTextMatrix(row, col); }

    // Starts the radio; its pty becomes COM1.
    void StartRadio(const QStringList& extra = {}) {
        const QString image = m_dir.filePath("radio.sin");
        QVERIFY(SaveSinFile(QFile::encodeName(image).toStdString(), RadioMemory()).ok());
        m_radio.start(KVRADIO_SIM,
                      QStringList{"--image", image, "--save", m_dir.filePath("saved.sin"), "--log",
                                  m_dir.filePath("radio.log")} +
                          extra);
        QVERIFY(m_radio.waitForStarted(30000));
        QVERIFY(m_radio.waitForReadyRead(30000));
        const QString pty = QString::fromUtf8(m_radio.readLine()).trimmed();
        QVERIFY2(pty.startsWith("/dev/"), qPrintable(pty));
        qputenv("KVPROG_COM1", pty.toUtf8());
    }
    // Gives a radio started with --control a command (each once a case), and waits until it
    // has taken it.
    void Control(const QByteArray& command) {
        m_radio.write(command + "\n");
        const auto taken = [this, &command] {
            QFile log(m_dir.filePath("radio.log"));
            return log.open(QIODevice::ReadOnly) &&
                   log.readAll().contains(" control: " + command + "\n");
        };
        QTRY_VERIFY_WITH_TIMEOUT(taken(), 30000);
    }
    // Handles what the event loop holds, which is where Start would begin a run: none began,
    // and the radio heard nothing.
    void ExpectNoRunBegan(const QSignalSpy& running) {
        QCoreApplication::processEvents();
        QCOMPARE(running.count(), 0);
        QFile log(m_dir.filePath("radio.log"));
        QVERIFY(!log.open(QIODevice::ReadOnly) || !log.readAll().contains(" pc "));
    }
    // Presses Start and waits for the run to end and its window to go.
    void RunTransfer(int command) {
        app()->MainFrame()->OnCommand(command);
        QVERIFY(dialog().isVisible());
        QCOMPARE(dialog().Status(), QString("   Not start yet"));
        QSignalSpy running(radio(), &CRadioController::transferRunningChanged);
        dialog().OnOK();
        QVERIFY(!dialog().IsStartEnabled());
        // The run starts from the event loop and keeps it turning until it ends.
        QTRY_COMPARE_WITH_TIMEOUT(running.count(), 2, 60000);
        QVERIFY(!dialog().isVisible());
    }

    QTemporaryDir m_dir;
    QProcess m_radio;
    QStringList m_messages;
    QMessageBox::StandardButton m_otherTypeAnswer = QMessageBox::Yes;
    QMessageBox::StandardButton m_saveAnswer = QMessageBox::Discard;

private slots:
    void init();
    void cleanup();
    void readShowsTheRadioAndWriteSendsTheForm();
    void cancelBeforeStartSendsNothingAndThePortMenuChecks();
    void commandsWaitWhileARunGoesAndCancelStopsIt();
    void aPortThatCannotBeOpenedIsReported();
    void optionalFeaturesReachTheRadio();
    void readsAndWritesAreBackedUpAndTraced();
    void aReadGoesOnWithoutBackupOrTraceButAWriteStops();
    void compareShowsWhatTheFormHoldsAgainstTheRadio();
    void aRadioOfAnotherTypeIsWrittenOnlyWhenTheUserSaysSo();
    void theWriteStepsAreMenuItemsRememberedInTheSettings();
    void restoreWritesABackupBackAfterWhatItHoldsIsConfirmed();
    void aReadNeverLosesAnEditNorOverwritesTheOpenFile();
    void aSilentRadioShowsTheAttemptAndTheDevice();
    void theLastResultStaysAndAFaultIsToldInOneBox();
    void productionModeGivesEachRadioTheNextId();
    void checkConnectionFindsTheRadioAndMapsTheChosenPortToIt();
    void closingCheckConnectionEndsItsProbeAndFreesThePort();
};

void GuiRadioTest::init() {
    m_messages.clear();
    SetMessageHandler([this](const MessageRequest& request) {
        m_messages << request.text;
        if (request.buttons & QMessageBox::Yes) {  // a radio of another type
            return m_otherTypeAnswer;
        }
        return m_saveAnswer;  // the save prompt
    });
    m_otherTypeAnswer = QMessageBox::Yes;
    m_saveAnswer = QMessageBox::Discard;
    QCOMPARE(app()->InitInstance({}), CKV_IIApp::StartResult::Run);
    radio()->SetBackUpBeforeWriting(true);  // the defaults, whatever a case before chose
    radio()->SetVerifyAfterWriting(true);
}

void GuiRadioTest::cleanup() {
    app()->ExitInstance();
    SetMessageHandler(nullptr);
    ProgramSettings().remove("Ports");  // what Use This Port mapped
    qunsetenv("KVPROG_COM2");           // a second radio's port ends with its case
    // The next case's radio writes the same log: this one must be gone first, even on a
    // busy machine.
    m_radio.terminate();
    if (!m_radio.waitForFinished(10000)) {
        m_radio.kill();
        m_radio.waitForFinished(-1);
    }
}

void GuiRadioTest::readShowsTheRadioAndWriteSendsTheForm() {
    StartRadio();
    RunTransfer(ID_READ_FROM_RADIO);
    QCOMPARE(m_messages, QStringList());
    QCOMPARE(Bytes(app()->Document()->m_image), Bytes(RadioMemory()));
    QCOMPARE(Cell(1, COL_TX_TONE), QString("D023N"));
    QCOMPARE(Cell(9, COL_POWER), QString("Middle"));
    QCOMPARE(view()->SettingCombo(Setting::Type)->currentText(), QString("KV - T520"));
    QVERIFY(app()->Document()->IsModified());  // the radio's memory is not saved anywhere yet

    view()->Grid().SetTextMatrix(9, COL_RX_FREQ, "456.00000");
    RunTransfer(ID_WRITE_TO_RADIO);
    QCOMPARE(m_messages, QStringList());
    RadioImage saved;
    QVERIFY(LoadSinFile(QFile::encodeName(m_dir.filePath("saved.sin")).toStdString(), saved).ok());
    const RadioImage& sent = app()->Document()->m_image;
    QCOMPARE(Bytes(saved).left(0x3D8), Bytes(sent).left(0x3D8));
    QCOMPARE(ReadFrequency(saved, RadioImage::ChannelAddress(9)),
             std::optional<std::uint32_t>(45600000));
    QCOMPARE(saved[0x3E0], std::uint8_t(0x42));  // never sent, so the radio keeps its own
}

void GuiRadioTest::cancelBeforeStartSendsNothingAndThePortMenuChecks() {
    StartRadio();
    CMainFrame* frame = app()->MainFrame();
    frame->OnCommand(ID_COM3);
    QCOMPARE(radio()->Port(), QString("COM3"));
    frame->OnCommand(ID_COM1);
    QVERIFY(frame->Action(ID_COM1)->isChecked() || radio()->Port() == "COM1");
    const QSignalSpy running(radio(), &CRadioController::transferRunningChanged);

    // An edit still open in a cell is committed before anything else.
    view()->Grid().SetRow(6);
    view()->Grid().SetCol(COL_RX_FREQ);
    view()->ShowCellEditor('4');
    FindControl<QLineEdit>(view(), 61446)->setText("452.5");
    frame->OnCommand(ID_WRITE_TO_RADIO);
    QCOMPARE(Cell(6, COL_RX_FREQ), QString("452.50000"));
    QCOMPARE(dialog().windowTitle(), QString("Writing Data Progress"));
    frame->OnCommand(ID_READ_FROM_RADIO);  // the open window keeps its caption
    QCOMPARE(dialog().windowTitle(), QString("Writing Data Progress"));
    QCOMPARE(radio()->Job(), RadioJob::Read);
    dialog().OnCancel();
    QVERIFY(!dialog().isVisible());
    ExpectNoRunBegan(running);
}

void GuiRadioTest::commandsWaitWhileARunGoesAndCancelStopsIt() {
    StartRadio({"--pace"});
    const QByteArray before = Bytes(app()->Document()->m_image);
    // Once the paced read has moved a few blocks, the watch looks at the window as the user
    // does and cancels the run; what it found otherwise than expected is checked after.
    bool looked = false;
    QStringList wrong;
    const auto expect = [&wrong](bool holds, const char* what) {
        if (!holds) {
            wrong << what;
        }
    };
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (looked || dialog().Position() < 5) {
            return;
        }
        looked = true;
        CMainFrame* frame = app()->MainFrame();
        expect(radio()->IsTransferRunning(), "the run is not running");
        expect(!frame->Action(ID_FILE_NEW)->isEnabled(), "File New is enabled");
        expect(!frame->Action(ID_FILE_OPEN)->isEnabled(), "File Open is enabled");
        expect(!frame->Action(ID_OPTIONAL_FEATURES)->isEnabled(), "Optional Features is enabled");
        expect(!frame->close(), "the window closed");  // closing the window is refused too
        expect(frame->MessageText().contains("transfer with the radio is running"),
               "the status bar does not say why");
        dialog().OnCancel();
    });
    watch.start(10);
    RunTransfer(ID_READ_FROM_RADIO);
    QVERIFY(looked);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("; ")));
    QCOMPARE(m_messages, QStringList());                  // a cancel shows no box
    QCOMPARE(Bytes(app()->Document()->m_image), before);  // nor changes the document
    QVERIFY(app()->MainFrame()->Action(ID_FILE_NEW)->isEnabled());

    // A plain write cancelled part-way says what the radio now holds. Without a backup the
    // radio's identification tells its type, and the user is asked before anything is sent.
    radio()->SetBackUpBeforeWriting(false);
    radio()->SetVerifyAfterWriting(false);
    watch.disconnect();
    connect(&watch, &QTimer::timeout, this, [this, &watch] {
        if (dialog().Position() >= 10) {  // blocks written
            watch.stop();
            dialog().OnCancel();
        }
    });
    RunTransfer(ID_WRITE_TO_RADIO);
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(m_messages.takeFirst(),
             QString("The radio is a KV - T520 but this document is for a KV - T310X. Write "
                     "anyway?"));
    QVERIFY2(m_messages[0].contains(QRegularExpression(
                 "^The write was stopped after [1-9][0-9]* of 123 blocks: the radio now holds "
                 "part of Write Data and part of what it held before. Write it again.$")),
             qPrintable(m_messages[0]));
}

void GuiRadioTest::aPortThatCannotBeOpenedIsReported() {
    qputenv("KVPROG_COM1", m_dir.filePath("no-such-device").toUtf8());
    view()->Grid().SetTextMatrix(4, COL_RX_FREQ, "451.00000");
    RunTransfer(ID_WRITE_TO_RADIO);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].startsWith(
        "Could not Open the Port,Please check whether the Port are occupied or the device are ok"));
    // The form was encoded before the port was tried.
    QCOMPARE(ReadFrequency(app()->Document()->m_image, RadioImage::ChannelAddress(4)),
             std::optional<std::uint32_t>(45100000));
}

void GuiRadioTest::optionalFeaturesReachTheRadio() {
    StartRadio();
    // Program > Optional Features: PTT ID "BOT" with the ID 12aD, then OK.
    QTimer::singleShot(0, this, [] {
        QWidget* features = QApplication::activeModalWidget();
        QVERIFY(features);
        FindControl<QComboBox>(features, IDC_PTT_ID)->setCurrentIndex(1);
        auto* begin = FindControl<QLineEdit>(features, IDC_BEGIN_OF_TX);
        begin->clear();
        QTest::keyClicks(begin, "12aD");
        static_cast<QDialog*>(features)->accept();
    });
    app()->MainFrame()->OnCommand(ID_OPTIONAL_FEATURES);
    QVERIFY(app()->Document()->IsModified());
    RunTransfer(ID_WRITE_TO_RADIO);
    RadioImage saved;
    QVERIFY(LoadSinFile(QFile::encodeName(m_dir.filePath("saved.sin")).toStdString(), saved).ok());
    QCOMPARE(saved[addr::kOptionFlags] & optbits::kPttIdMask, 1);
    const std::uint8_t codes[] = {0x01, 0x02, 0x0A, 0x0D, 0xFF};
    for (std::size_t i = 0; i < sizeof codes; ++i) {
        QCOMPARE(saved[addr::kPttIdCodes + i], codes[i]);
    }
}

// Each run saves a backup under the data folder; this test's own folder keeps them.
class CDataFolder {
public:
    CDataFolder() : m_old(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
    }
    ~CDataFolder() { qputenv("XDG_DATA_HOME", m_old); }

private:
    QByteArray m_old;
    QTemporaryDir m_dir;
};

void GuiRadioTest::readsAndWritesAreBackedUpAndTraced() {
    const CDataFolder data;
    const QString trace = m_dir.filePath("kvprog-trace.log");
    QFile::remove(trace);
    qputenv("KVPROG_TRACE", QFile::encodeName(trace));
    StartRadio();
    RunTransfer(ID_READ_FROM_RADIO);
    QCOMPARE(m_messages, QStringList());
    const QDir backups(BackupFolder());
    const QStringList reads = backups.entryList({"*-read.sin"}, QDir::Files);
    QCOMPARE(reads.size(), 1);
    RadioImage backup;
    QVERIFY(LoadSinFile(QFile::encodeName(backups.filePath(reads[0])).toStdString(), backup).ok());
    QCOMPARE(Bytes(backup), Bytes(app()->Document()->m_image));
    QCOMPARE(Bytes(backup), Bytes(RadioMemory()));

    view()->Grid().SetTextMatrix(3, COL_RX_FREQ, "457.00000");
    RunTransfer(ID_WRITE_TO_RADIO);
    qunsetenv("KVPROG_TRACE");
    QCOMPARE(m_messages, QStringList());
    const QDir sent(backups.filePath("sent"));
    const QStringList writes = sent.entryList({"*-write.sin"}, QDir::Files);
    QCOMPARE(writes.size(), 1);
    QVERIFY(LoadSinFile(QFile::encodeName(sent.filePath(writes[0])).toStdString(), backup).ok());
    RadioImage saved;
    QVERIFY(LoadSinFile(QFile::encodeName(m_dir.filePath("saved.sin")).toStdString(), saved).ok());
    QCOMPARE(Bytes(backup).left(0x3D8), Bytes(saved).left(0x3D8));
    QCOMPARE(ReadFrequency(backup, RadioImage::ChannelAddress(3)),
             std::optional<std::uint32_t>(45700000));

    // Both runs in one trace, each under its header, each session from its open to its close:
    // the read, then the write's backup, write and check.
    QFile log(trace);
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    const QStringList headers = lines.filter(QRegularExpression("^# "));
    QCOMPARE(headers.size(), 2);
    QVERIFY2(headers[0].contains(QRegularExpression("^# kvprog [\\d.]+ read from COM1, ")),
             qPrintable(headers[0]));
    QVERIFY2(headers[1].contains(QRegularExpression("^# kvprog [\\d.]+ write to COM1, ")),
             qPrintable(headers[1]));
    const QString device = qEnvironmentVariable("KVPROG_COM1");
    QCOMPARE(lines
                 .filter(QRegularExpression("^\\d+\\.\\d{3} open \"COM1\" \\(" +
                                            QRegularExpression::escape(device) + "\\): ok$"))
                 .size(),
             4);
    QCOMPARE(lines.filter(QRegularExpression("^\\d+\\.\\d{3} close$")).size(), 4);
    QCOMPARE(lines.filter(QRegularExpression("^\\d+\\.\\d{3} tx 52 0[0-3] [0-9A-F]{2} 08$")).size(),
             3 * 128);
    QCOMPARE(lines.filter(QRegularExpression("^\\d+\\.\\d{3} tx 57 0[0-3] [0-9A-F]{2} 08$")).size(),
             123);

    // File > Open offers the backups in its sidebar.
    FileDialogRequest asked;
    SetFileDialogHandler([&asked](const FileDialogRequest& request) {
        asked = request;
        return QString();
    });
    app()->MainFrame()->OnCommand(ID_FILE_OPEN);
    SetFileDialogHandler(nullptr);
    QCOMPARE(asked.places.size(), 1);
    QCOMPARE(asked.places[0].name, QString("Backups"));
    QCOMPARE(QDir(asked.places[0].folder), backups);
    // The read's backup and the one taken before the write.
    QCOMPARE(QDir(asked.places[0].folder).entryList({"*.sin"}, QDir::Files).size(), 2);
}

void GuiRadioTest::aReadGoesOnWithoutBackupOrTraceButAWriteStops() {
    const CDataFolder data;
    QVERIFY(QDir().mkpath(QFileInfo(BackupFolder()).path()));
    QFile blocker(BackupFolder());  // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("KVPROG_TRACE", QFile::encodeName(m_dir.filePath("no-such-folder/trace.log")));
    StartRadio();
    RunTransfer(ID_READ_FROM_RADIO);
    qunsetenv("KVPROG_TRACE");
    QCOMPARE(Bytes(app()->Document()->m_image), Bytes(RadioMemory()));
    QCOMPARE(Cell(1, COL_TX_TONE), QString("D023N"));
    // Told once the run is over, one box each.
    QCOMPARE(m_messages.size(), 2);
    QVERIFY2(m_messages.filter("no-such-folder/trace.log").size() == 1,
             qPrintable(m_messages.join("|")));
    QVERIFY2(m_messages.filter("backup").size() == 1, qPrintable(m_messages.join("|")));

    // A write does not begin without its backup: one box says why and what to mend.
    m_messages.clear();
    QFile::remove(m_dir.filePath("saved.sin"));
    RunTransfer(ID_WRITE_TO_RADIO);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].startsWith("The radio's backup could not be saved, so nothing was "
                                      "written: cannot create the backup folder ") &&
                 m_messages[0].endsWith(" a folder you may write to, with room on its disk, then "
                                        "write again."),
             qPrintable(m_messages[0]));
    QVERIFY(!QFile::exists(m_dir.filePath("saved.sin")));
}

void GuiRadioTest::compareShowsWhatTheFormHoldsAgainstTheRadio() {
    StartRadio();
    RunTransfer(ID_READ_FROM_RADIO);
    app()->Document()->SetModifiedFlag(false);
    const QByteArray before = Bytes(app()->Document()->m_image);
    QStringList tables;
    QTimer watch;  // takes the comparison's table once its dialog is up, then closes it
    connect(&watch, &QTimer::timeout, this, [&tables] {
        if (auto* compare = qobject_cast<CCompareDlg*>(QApplication::activeModalWidget())) {
            tables << compare->TableText();
            compare->accept();
        }
    });
    watch.start(20);
    RunTransfer(ID_COMPARE_WITH_RADIO);
    QCOMPARE(tables.size(), 1);
    QCOMPARE(tables[0], QString("Where\tThis document\tThe radio\n"));  // the same: no rows
    // The pane keeps the verdict after the comparison's window has gone.
    const auto* pane = app()->MainFrame()->findChild<QLabel*>("lastResult");
    QVERIFY2(pane->text().endsWith(": the same settings as the form"), qPrintable(pane->text()));

    // An edit not saved yet counts; the document itself stays as it was.
    view()->Grid().SetTextMatrix(9, COL_RX_FREQ, "456.00000");
    RunTransfer(ID_COMPARE_WITH_RADIO);
    QCOMPARE(tables.size(), 2);
    QCOMPARE(tables[1], QString("Where\tThis document\tThe radio\n"
                                "CH 9 Receive(MHz)\t456.00000\t455.00000\n"));
    QVERIFY2(pane->text().endsWith(": 1 difference from the form"), qPrintable(pane->text()));
    QCOMPARE(Bytes(app()->Document()->m_image), before);
    QCOMPARE(m_messages, QStringList());
}

void GuiRadioTest::aRadioOfAnotherTypeIsWrittenOnlyWhenTheUserSaysSo() {
    const CDataFolder data;
    StartRadio();  // a KV - T520; the new document is for a KV - T310X
    QFile::remove(m_dir.filePath("saved.sin"));
    m_otherTypeAnswer = QMessageBox::No;
    RunTransfer(ID_WRITE_TO_RADIO);
    QCOMPARE(m_messages, QStringList({"The radio is a KV - T520 but this document is for a "
                                      "KV - T310X. Write anyway?"}));
    QVERIFY(!QFile::exists(m_dir.filePath("saved.sin")));  // nothing was written
    // The backup of what the radio held is there all the same.
    QCOMPARE(QDir(BackupFolder()).entryList({"*-before-write.sin"}, QDir::Files).size(), 1);
}

void GuiRadioTest::theWriteStepsAreMenuItemsRememberedInTheSettings() {
    CMainFrame* frame = app()->MainFrame();
    QVERIFY(frame->Action(ID_BACKUP_BEFORE_WRITING)->isChecked());
    frame->Action(ID_VERIFY_AFTER_WRITING)->trigger();  // off
    QVERIFY(!radio()->VerifyAfterWriting());
    // A new run of the program finds the choice in the settings file.
    app()->ExitInstance();
    QCOMPARE(app()->InitInstance({}), CKV_IIApp::StartResult::Run);
    QVERIFY(!radio()->VerifyAfterWriting());
    QVERIFY(radio()->BackUpBeforeWriting());
    emit app()->MainFrame()->MenuOf(ID_VERIFY_AFTER_WRITING)->aboutToShow();
    QVERIFY(!app()->MainFrame()->Action(ID_VERIFY_AFTER_WRITING)->isChecked());
}

void GuiRadioTest::restoreWritesABackupBackAfterWhatItHoldsIsConfirmed() {
    const CDataFolder data;
    StartRadio();
    RadioImage backup = RadioMemory();
    WriteFrequency(backup, RadioImage::ChannelAddress(2) + rec::kRxFreq, 46125000);
    // Values the form cannot show, which its reading of the backup would change.
    backup[RadioImage::ChannelAddress(16) + rec::kChanFlags] = 0xFF;
    WriteTone(backup, RadioImage::ChannelAddress(1) + rec::kRxTone, {0x99, 0x3F});
    RadioImage formReading = backup;
    EncodeImage(DecodeForDisplay(backup), formReading);
    QVERIFY(Bytes(formReading).left(0x3D8) != Bytes(backup).left(0x3D8));
    QVERIFY(EnsureBackupFolder());
    const QString path = QDir(BackupFolder()).filePath("20240305-141502-COM2-T520-read.sin");
    QVERIFY(SaveSinFile(QFile::encodeName(path).toStdString(), backup).ok());
    QFile::remove(m_dir.filePath("saved.sin"));
    FileDialogRequest asked;
    SetFileDialogHandler([&](const FileDialogRequest& request) {
        asked = request;
        return path;
    });
    RunTransfer(ID_RESTORE_FROM_BACKUP);
    SetFileDialogHandler(nullptr);
    // The dialog opens in the backups folder with no name typed in for the user.
    QCOMPARE(QDir(asked.folder), QDir(BackupFolder()));
    QCOMPARE(asked.suggested, QString());
    // Before anything is sent, the box says what the backup holds.
    QCOMPARE(m_messages, QStringList({"Write the backup of 5 March 2024, 14:15:02 "
                                      "(20240305-141502-COM2-T520-read.sin) to the radio?\n\n"
                                      "Radio type: KV - T520\n"
                                      "Channels in use: 1-2, 9 (3 of 16)\n"
                                      "Port: COM2"}));
    RadioImage radio;
    QVERIFY(LoadSinFile(QFile::encodeName(m_dir.filePath("saved.sin")).toStdString(), radio).ok());
    QCOMPARE(Bytes(radio).left(0x3D8), Bytes(backup).left(0x3D8));
    QVERIFY(!app()->Document()->IsModified());  // the document is not what was restored
}

// Production Mode: an unsaved document is saved first; two radios on COM1 and COM2 programmed
// at once with the IDs 0099 and 0100, a third job on Space, every job a row of the log naming
// the saved file; closing the dialog while the ports wait for the next radio stops them
// first. A document without PTT ID refuses an ID sequence. The next dialog proposes the ID
// after the log's highest and asks before giving a used one again.
void GuiRadioTest::productionModeGivesEachRadioTheNextId() {
    const CDataFolder data;
    StartRadio();     // COM1
    QProcess second;  // COM2, a radio of the same type: another type is not written unasked
    second.start(KVRADIO_SIM,
                 {"--image", m_dir.filePath("radio.sin"), "--save", m_dir.filePath("saved2.sin")});
    QVERIFY(second.waitForStarted(30000));
    QVERIFY(second.waitForReadyRead(30000));
    qputenv("KVPROG_COM2", second.readLine().trimmed());
    radio()->SetBackUpBeforeWriting(false);  // plain writes, for time
    radio()->SetVerifyAfterWriting(false);
    const QString logPath = m_dir.filePath("jobs.csv");

    // Runs check(dialog) inside the dialog's own event loop, then closes the dialog.
    const auto inDialog = [this](const std::function<void(CProductionDlg&)>& check) {
        QTimer::singleShot(0, this, [check] {
            auto* dialog = qobject_cast<CProductionDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            check(*dialog);
            dialog->reject();
        });
        app()->MainFrame()->OnCommand(ID_PRODUCTION_MODE);
    };

    RadioImage& document = app()->Document()->m_image;
    document = RadioMemory();  // the radios' type
    view()->DecodeImage();
    document[addr::kOptionFlags] &= ~optbits::kPttIdMask;  // OFF
    // The new document has no file: it is saved before the dialog opens.
    const QString saved = m_dir.filePath("production.sin");
    SetFileDialogHandler([&saved](const FileDialogRequest&) { return saved; });
    m_saveAnswer = QMessageBox::Save;
    bool refused = false;
    inDialog([&refused](CProductionDlg& dialog) {
        dialog.findChild<QLineEdit*>("startId")->setText("0099");
        dialog.OnStart();
        refused = !dialog.IsRunning();
    });
    SetFileDialogHandler(nullptr);
    QVERIFY(refused);
    QCOMPARE(m_messages.size(), 2);
    QVERIFY2(m_messages[0].contains("first? Production mode writes what a file holds"),
             qPrintable(m_messages[0]));
    QVERIFY2(m_messages[1].startsWith("The document's PTT ID mode is OFF"),
             qPrintable(m_messages[1]));
    QVERIFY(QFile::exists(saved));

    document[addr::kOptionFlags] |= 1;  // BOT
    QVERIFY(app()->Document()->DoFileSave());
    m_messages.clear();
    QStringList results;
    bool closedAfterStopping = false;
    inDialog([&](CProductionDlg& dialog) {
        for (QCheckBox* port : dialog.findChildren<QCheckBox*>()) {
            if (port->text().startsWith("COM2")) {
                port->setChecked(true);  // COM1, the Port menu's, is chosen already
            }
        }
        dialog.findChild<QLineEdit*>("startId")->setText("0099");
        dialog.findChild<QLineEdit*>("logFile")->setText(logPath);
        dialog.OnStart();
        QVERIFY(dialog.IsRunning());
        const CProductionRows& rows = dialog.Rows();
        QTRY_COMPARE_WITH_TIMEOUT(rows.Done() + rows.Failed(), 2, 60000);
        results << rows.Result(0) << rows.Result(1) << rows.State(0).section(',', 0, 0)
                << rows.State(1).section(',', 0, 0);
        auto* next = dialog.findChild<QPushButton*>("nextRadio");
        QTRY_VERIFY_WITH_TIMEOUT(next->isEnabled(), 30000);
        QTest::keyClick(&dialog, Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(rows.Done() + rows.Failed(), 3, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(next->isEnabled(), 30000);
        dialog.reject();
        closedAfterStopping = dialog.isVisible();  // until the workers have ended
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 30000);
        QVERIFY(!dialog.IsRunning());
    });
    QVERIFY(closedAfterStopping);
    QCOMPARE(m_messages, QStringList());
    results.sort();
    QCOMPARE(results, QStringList({"0099  ok", "0100  ok", "done", "done"}));

    // The log's rows, and each radio holds the ID of the last job on its port.
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QString(kJobLogHeader));
    std::map<QString, QString> lastId;  // port -> ID
    QStringList ids;
    for (const QString& line : lines.mid(1)) {
        const QStringList fields = line.split(',');
        QCOMPARE(fields.value(8), QString("ok"));
        QCOMPARE(fields.value(5), saved);
        lastId[fields.value(1)] = fields.value(4);
        ids << fields.value(4);
    }
    ids.sort();
    QCOMPARE(ids, QStringList({"0099", "0100", "0101"}));
    for (const auto& [port, saved] :
         {std::pair("COM1", "saved.sin"), std::pair("COM2", "saved2.sin")}) {
        RadioImage radio;
        QVERIFY(LoadSinFile(QFile::encodeName(m_dir.filePath(saved)).toStdString(), radio).ok());
        QCOMPARE(QString::fromStdString(PttIdShownText(radio)), lastId[port]);
    }

    // The next run goes on after the log's highest ID; giving a used one again is asked, and
    // No (the default) starts nothing.
    m_otherTypeAnswer = QMessageBox::No;
    inDialog([&](CProductionDlg& dialog) {
        auto* logFile = dialog.findChild<QLineEdit*>("logFile");
        logFile->setText(logPath);
        emit logFile->editingFinished();
        auto* startId = dialog.findChild<QLineEdit*>("startId");
        QCOMPARE(startId->text(), QString("0102"));
        startId->setText("0101");
        dialog.OnStart();
        QVERIFY(!dialog.IsRunning());
    });
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].startsWith("ID 0101 was written at ") &&
                 m_messages[0].contains("jobs.csv row 4") &&
                 m_messages[0].endsWith("Program radios with IDs the log records?"),
             qPrintable(m_messages[0]));
    second.terminate();
    second.waitForFinished(3000);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QTemporaryDir data;  // the other cases' backups
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    CKV_IIApp app(argc, argv);
    GuiRadioTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GuiRadioTest.moc"

void GuiRadioTest::aReadNeverLosesAnEditNorOverwritesTheOpenFile() {
    StartRadio();
    const QString customerA = m_dir.filePath("customer-a.sin");
    const RadioImage fileA = NewDocumentImage(RadioType::T310X);
    QVERIFY(SaveSinFile(QFile::encodeName(customerA).toStdString(), fileA).ok());
    CKV_IIDoc* doc = app()->Document();
    CMainFrame* frame = app()->MainFrame();
    QVERIFY(app()->OpenDocumentFile(customerA));
    QCOMPARE(frame->DocumentText(), QString("customer-a.sin"));
    view()->Grid().SetTextMatrix(2, COL_RX_FREQ, "451.00000");
    doc->SetModifiedFlag(true);
    QCOMPARE(frame->DocumentText(), QString("customer-a.sin (modified)"));

    // Cancel at the save question: nothing is sent and the window waits for Start again.
    m_saveAnswer = QMessageBox::Cancel;
    frame->OnCommand(ID_READ_FROM_RADIO);
    const QSignalSpy running(radio(), &CRadioController::transferRunningChanged);
    dialog().OnOK();
    // The question comes from the event loop, where Start begins the run.
    QTRY_COMPARE_WITH_TIMEOUT(m_messages, QStringList{"Save changes to customer-a.sin?"}, 30000);
    QVERIFY(dialog().isVisible());
    QVERIFY(dialog().IsStartEnabled());
    QVERIFY(!radio()->IsTransferRunning());
    QCOMPARE(Cell(2, COL_RX_FREQ), QString("451.00000"));
    QVERIFY(doc->IsModified());
    dialog().OnCancel();
    ExpectNoRunBegan(running);

    // Discard: the radio is read and the document is an untitled one.
    m_saveAnswer = QMessageBox::Discard;
    m_messages.clear();
    RunTransfer(ID_READ_FROM_RADIO);
    QCOMPARE(m_messages, QStringList{"Save changes to customer-a.sin?"});
    QCOMPARE(Bytes(doc->m_image), Bytes(RadioMemory()));
    QVERIFY(doc->GetPathName().isEmpty());
    const QString device = qEnvironmentVariable("KVPROG_COM1");
    const QRegularExpression readName("^radio-COM1-\\d{8}-\\d{4}\\.sin$");
    QVERIFY2(readName.match(doc->GetTitle()).hasMatch(), qPrintable(doc->GetTitle()));
    const QRegularExpression readFrom("^Read from COM1 \\(" + QRegularExpression::escape(device) +
                                      "\\) at \\d\\d:\\d\\d");
    QVERIFY2(readFrom.match(frame->MessageText()).hasMatch(), qPrintable(frame->MessageText()));
    QVERIFY(readFrom.match(frame->DocumentText()).hasMatch());
    QVERIFY(frame->DocumentText().endsWith(", not saved"));

    // Save asks for a name, beside the file that was open; that file keeps customer A.
    QString suggested;
    SetFileDialogHandler([&suggested](const FileDialogRequest& request) {
        suggested = request.suggested;
        return request.suggested;
    });
    frame->OnCommand(ID_FILE_SAVE);
    SetFileDialogHandler(nullptr);
    QCOMPARE(QFileInfo(suggested).absolutePath(), QFileInfo(customerA).absolutePath());
    QVERIFY2(readName.match(QFileInfo(suggested).fileName()).hasMatch(), qPrintable(suggested));
    RadioImage stillA;
    QVERIFY(LoadSinFile(QFile::encodeName(customerA).toStdString(), stillA).ok());
    QCOMPARE(Bytes(stillA), Bytes(fileA));
    QCOMPARE(frame->MessageText(), "Saved " + QFileInfo(suggested).fileName());
    QCOMPARE(frame->DocumentText(), QFileInfo(suggested).fileName());

    RunTransfer(ID_WRITE_TO_RADIO);
    const QRegularExpression written("^Written to COM1 \\(" + QRegularExpression::escape(device) +
                                     "\\) and checked at \\d\\d:\\d\\d$");
    QVERIFY2(written.match(frame->MessageText()).hasMatch(), qPrintable(frame->MessageText()));
}

void GuiRadioTest::aSilentRadioShowsTheAttemptAndTheDevice() {
    StartRadio({"--fault", "silent"});
    // The run keeps the event loop turning, so the timer sees the window as the user does;
    // it stops the run once the second attempt shows.
    QString seen;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (seen.isEmpty() && !dialog().Attempt().isEmpty()) {
            seen = dialog().Attempt();
            dialog().OnCancel();
        }
    });
    watch.start(10);
    RunTransfer(ID_READ_FROM_RADIO);
    QCOMPARE(seen, QString("attempt 2 of 15"));
    QVERIFY(m_messages.isEmpty());

    // When the attempts run out, the communication error's details name the port's device;
    // in the check after a write, the box says that the radio was written.
    QString detail;
    QString text;
    SetMessageHandler([&detail, &text](const MessageRequest& request) {
        detail = request.detail;
        text = request.text;
        return QMessageBox::Cancel;
    });
    const QString portText = "COM1 (" + qEnvironmentVariable("KVPROG_COM1") + ")";
    CTransferHooks hooks(dialog(), app()->MainFrame(), portText);
    QCOMPARE(hooks.AskRetryCancel("Communication Error"), RetryAnswer::Cancel);
    QCOMPARE(detail, "Port: " + portText);
    QCOMPARE(hooks.AskRetryCheck("Communication Error"), RetryAnswer::Cancel);
    QVERIFY2(text.startsWith("Communication Error\n\nThe radio has been written; only its check"),
             qPrintable(text));
    QCOMPARE(detail, "Port: " + portText);
}

// The last run's result stays at the right end of the status bar until the next run ends,
// whatever the message pane shows meanwhile, in red when the run failed; the progress window
// names the port and the file. A fault is told in one box: first the link's own words, then
// what the radio holds and what to do.
void GuiRadioTest::theLastResultStaysAndAFaultIsToldInOneBox() {
    const CDataFolder data;
    StartRadio({"--control"});
    CMainFrame* frame = app()->MainFrame();
    auto* pane = frame->findChild<QLabel*>("lastResult");
    QVERIFY(pane && pane->isHidden());  // no run yet
    const auto red = [pane, frame] {
        return pane->palette().color(QPalette::WindowText) !=
               frame->statusBar()->palette().color(QPalette::WindowText);
    };
    const QString port = "COM1 (" + qEnvironmentVariable("KVPROG_COM1") + ")";
    RunTransfer(ID_READ_FROM_RADIO);
    QCOMPARE(dialog().Target(), "Port: " + port);
    QVERIFY(!pane->isHidden());
    QVERIFY2(pane->text().startsWith("Read from " + port + " at "), qPrintable(pane->text()));
    QVERIFY(!red());

    // Another radio, which never acknowledges write block 40.
    Control("new no-write-ack=40");
    RunTransfer(ID_WRITE_TO_RADIO);
    const QString title = app()->Document()->GetTitle();
    QCOMPARE(dialog().Target(), "Port: " + port + "\nFile: " + title);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].startsWith("Error had happen,please try again\n\nThe write failed after "
                                      "40 of 123 blocks: the radio now holds part of " +
                                      title) &&
                 m_messages[0].endsWith("-before-write.sin\" with Program > Restore Radio From "
                                        "Backup..."),
             qPrintable(m_messages[0]));
    QVERIFY2(pane->text().startsWith("Write to " + port + " failed at ") &&
                 pane->text().endsWith(": the radio holds part of " + title),
             qPrintable(pane->text()));
    QVERIFY(red());
    const QString result = pane->text();
    QStatusTipEvent prompt("Open an existing document");
    QCoreApplication::sendEvent(frame, &prompt);
    QCOMPARE(frame->MessageText(), QString("Open an existing document"));
    QCOMPARE(pane->text(), result);

    // A radio that stores a byte wrong: Retry is not taken, and the last box says what that
    // means and what to do.
    Control("new flip-bit=21");
    m_messages.clear();
    RunTransfer(ID_WRITE_TO_RADIO);
    QCOMPARE(m_messages.size(), 2);
    QVERIFY2(m_messages[1].startsWith("The radio does not hold what was written: 1 byte differs, "
                                      "the first in CH 1 Transmit(MHz). It may not work as " +
                                      title +
                                      " says, so do not hand it out. Write it again, or restore "
                                      "the backup \"") &&
                 m_messages[1].endsWith("-before-write.sin\" with Program > Restore Radio From "
                                        "Backup..."),
             qPrintable(m_messages[1]));
    QVERIFY2(pane->text().startsWith("Write to " + port + " failed its check at "),
             qPrintable(pane->text()));
    QVERIFY(red());

    Control("new");
    RunTransfer(ID_WRITE_TO_RADIO);
    QVERIFY2(pane->text().startsWith("Written to " + port + " and checked at "),
             qPrintable(pane->text()));
    QVERIFY(!red());

    // A test mode Start tells its end there too.
    Control("off");
    QTimer::singleShot(0, this, [] {
        auto* testMode = qobject_cast<CTestModeDlg*>(QApplication::activeModalWidget());
        QVERIFY(testMode);
        FindControl<QPushButton>(testMode, IDC_START)->click();
        testMode->reject();
    });
    frame->OnCommand(ID_TEST_MODE);
    QVERIFY2(pane->text().startsWith("Test mode on " + port + " failed at ") &&
                 pane->text().endsWith(": the radio did not answer"),
             qPrintable(pane->text()));
    QVERIFY(red());
}

// COM1 leads to a port where nothing answers, COM2 to the radio: the check looks on every
// port, finds the radio on COM2, and Use This Port makes COM1 that port.
void GuiRadioTest::checkConnectionFindsTheRadioAndMapsTheChosenPortToIt() {
    StartRadio();
    const QString radioPort = qEnvironmentVariable("KVPROG_COM1");
    for (const std::string_view com : kPortNames) {  // the settings file maps them here
        qunsetenv(("KVPROG_" + std::string(com)).c_str());
    }
    QProcess silent;
    silent.start(KVRADIO_SIM, {"--fault", "silent"});
    QVERIFY(silent.waitForStarted(30000));
    QVERIFY(silent.waitForReadyRead(30000));
    const QString silentPort = QString::fromUtf8(silent.readLine()).trimmed();
    MapPortInSettings("COM1", silentPort.toStdString());
    MapPortInSettings("COM2", radioPort.toStdString());
    radio()->SetPort("COM1");
    QString report;
    // Takes the report once every port is checked and closes the dialog whatever it shows,
    // so a check that never ends fails the case instead of hanging it.
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<CCheckConnectionDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        const bool done = QTest::qWaitFor([dialog] { return dialog->IsDone(); }, 60000);
        report = dialog->ReportText();
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (done && button->text() == "Use This Port") {
                button->click();
            }
        }
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    app()->MainFrame()->OnCommand(ID_CHECK_CONNECTION);
    QVERIFY2(report.startsWith("No radio answered on COM1 (" + silentPort +
                               "), but one did on COM2 (" + radioPort + ")."),
             qPrintable(report));
    QVERIFY2(report.contains("COM2 (" + radioPort +
                             "): a radio answered: identification 00 00 F0 51 35 38 32 54"),
             qPrintable(report));
    QCOMPARE(radio()->Port(), QString("COM1"));
    QCOMPARE(QString::fromStdString(DeviceForPort("COM1")), radioPort);
    silent.terminate();
    QVERIFY(silent.waitForFinished(10000));
}

void GuiRadioTest::closingCheckConnectionEndsItsProbeAndFreesThePort() {
    StartRadio({"--fault", "silent"});  // the probe waits for it
    const std::string device = qEnvironmentVariable("KVPROG_COM1").toStdString();
    const auto threads = [] {
        return QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    };
    const auto probeHoldsThePort = [&device] {
        std::error_code error;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
            if (std::filesystem::read_symlink(fd.path(), error) == device) {
                return true;
            }
        }
        return false;
    };
    CCheckConnectionDlg dialog("COM1");
    const qsizetype before = threads();
    dialog.Start();
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(probeHoldsThePort(), 20000);
    dialog.reject();
    CCommPort port;  // a Read started at once finds the port free
    const Result<> opened = port.Open(device, kCloneTimeouts);
    QVERIFY2(opened.ok(), opened.message.c_str());
    QCOMPARE(threads(), before);
}
