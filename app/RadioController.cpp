#include "RadioController.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <exception>
#include <optional>

#include "Backups.h"
#include "ChannelCodec.h"
#include "CheckConnectionDlg.h"
#include "CommandTable.h"
#include "CompareDlg.h"
#include "FileDialog.h"
#include "FileIO.h"
#include "ImageDiff.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MakePort.h"
#include "MessageBox.h"
#include "PortNames.h"
#include "ProductionDlg.h"
#include "ProgramSettings.h"
#include "ProgressDlg.h"
#include "RadioTexts.h"
#include "RestoreQuestion.h"
#include "RunResult.h"
#include "SafeWrite.h"
#include "ScreenFit.h"
#include "TestModeDlg.h"
#include "TracingPort.h"
#include "TransferHooks.h"

namespace {

// Backups and traces are for safety and support; when one fails the run still goes ahead,
// and the user hears of it once the run is over. The exception is the backup a write takes
// first: without it RunSafeWrite writes nothing and says why.
void Warn(const std::string& backupError, QStringList& warnings) {
    if (!backupError.empty()) {
        warnings << QStringLiteral("The backup copy of the radio's memory was not saved.\n") +
                        QString::fromStdString(backupError);
    }
}

// What a job does, as the trace's title tells it.
std::string JobWords(RadioJob job) {
    switch (job) {
        case RadioJob::Read:
            return "read from ";
        case RadioJob::Write:
            return "write to ";
        case RadioJob::Compare:
            return "compare with ";
        case RadioJob::Restore:
            break;
    }
    return "restore a backup to ";
}

// How the desktop program tells the user to restore a backup: by its menu command.
std::string MenuRestoreHint(const std::string&, const std::string& backupPath) {
    return QuotedPath(backupPath) + " with " + MenuPath(ID_RESTORE_FROM_BACKUP).toStdString();
}

// The steps and words of a desktop write, whatever it sends.
SafeWriteOptions WriteOptions(const CRadioController& radio, const QString& source) {
    SafeWriteOptions options;
    options.backup = radio.BackUpBeforeWriting();
    options.verify = radio.VerifyAfterWriting();
    options.source = source.toStdString();
    options.checkHint = "use Compare With Radio";
    options.restoreHint = MenuRestoreHint;
    return options;
}

// The port as the user is told it: "COM1 (/dev/ttyUSB0)".
QString PortText(const QString& port) {
    return QString::fromStdString(PortWithDevice(port.toStdString()));
}

}  // namespace

// One run with the radio: its traced port, the program's hooks, and what it leaves for the
// user once its window has gone.
struct CRadioController::Run {
    Run(RadioJob job_, const QString& portName_, CProgressDlg& dialog)
        : job(job_),
          portName(portName_.toStdString()),
          portText(PortText(portName_)),
          what(Sentence(JobWords(job)) + portText),
          serial(MakePort(portName)),
          // KVPROG_TRACE names a file that every run appends its bytes to, for support.
          port(*serial, TraceFileFromEnvironment(), TraceTitle("kvprog", JobWords(job) + portName)),
          hooks(dialog, &dialog, portText) {}

    const RadioJob job;
    const std::string portName;
    const QString portText;
    const QString what;  // the run and its port, as its result names it
    const std::unique_ptr<IPort> serial;
    CTracingPort port;
    CTransferHooks hooks;
    QStringList warnings;
    QString done;                    // what the status bar tells once the run is over
    RunResult result;                // how a run that was not done ended
    std::optional<RadioImage> read;  // the radio's memory, after a complete read or compare
    RadioImage before;               // the document before a complete read replaced it
};

CRadioController::CRadioController(CKV_IIView& view, const ToneList& toneList, QObject* parent)
    : QObject(parent), m_view(view), m_toneList(toneList) {}

CProgressDlg& CRadioController::ProgressDialog() {
    if (!m_progressDlg) {
        m_progressDlg = new CProgressDlg(&m_view);
        m_progressDlg->setWindowFlag(Qt::Dialog);
        connect(m_progressDlg, &CProgressDlg::startRequested, this,
                &CRadioController::OnRadioTransfer, Qt::QueuedConnection);
    }
    return *m_progressDlg;
}

bool CRadioController::BackUpBeforeWriting() const {
    return WriteStepOn(WriteStep::BackUp);
}

bool CRadioController::VerifyAfterWriting() const {
    return WriteStepOn(WriteStep::Verify);
}

void CRadioController::SetBackUpBeforeWriting(bool on) {
    SetWriteStepOn(WriteStep::BackUp, on);
}

void CRadioController::SetVerifyAfterWriting(bool on) {
    SetWriteStepOn(WriteStep::Verify, on);
}

void CRadioController::SetPort(const QString& port) {
    m_port = port;
    if (m_progressDlg && m_progressDlg->HasWindow() && !m_running) {
        ShowTarget();
    }
}

void CRadioController::OnReadFromRadio() {
    OpenProgressDialog(RadioJob::Read);
}

void CRadioController::OnWriteToRadio() {
    OpenProgressDialog(RadioJob::Write);
}

void CRadioController::OnCheckConnection() {
    CCheckConnectionDlg dialog(m_port, &m_view);
    connect(&dialog, &CCheckConnectionDlg::portChosen, this, &CRadioController::SetPort);
    FitToScreen(&dialog, &m_view);
    dialog.Start();
    dialog.exec();
}

void CRadioController::OnCompareWithRadio() {
    OpenProgressDialog(RadioJob::Compare);
}

void CRadioController::OnRestoreFromBackup(QWidget* parent) {
    FileDialogRequest request = ChannelDataRequest(false);
    request.caption = QStringLiteral("Restore Radio From Backup");
    if (!request.places.isEmpty()) {
        request.folder = BackupFolder();  // made by the request
    }
    const QString path = AskFileName(parent, request);
    if (path.isEmpty()) {
        return;
    }
    RadioImage backup;
    if (const Result<> loaded = LoadSinFile(PathFromUtf8(path.toStdString()), backup); !loaded) {
        ShowMessage(parent, QString::fromStdString(loaded.message));
        return;
    }
    MessageRequest confirm{RestoreQuestion(path, backup), QString::fromUtf8(kAppTitle),
                           QMessageBox::Yes | QMessageBox::No};
    confirm.defaultButton = QMessageBox::No;
    if (ShowMessage(parent, confirm) != QMessageBox::Yes) {
        return;
    }
    m_restoreImage = backup;
    m_restoreName = QFileInfo(path).fileName();
    OpenProgressDialog(RadioJob::Restore);
}

// The command sends nothing: the run begins with the dialog's Start. While a window exists
// (waiting or running), only the job and the caption of the next window change.
void CRadioController::OpenProgressDialog(RadioJob job) {
    m_view.OnLeaveCellGrid();
    m_job = job;
    const bool writing = job == RadioJob::Write || job == RadioJob::Restore;
    const std::string_view caption = writing ? kCaptionWriting : kCaptionReading;
    CProgressDlg& dialog = ProgressDialog();
    dialog.m_strCaption = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    if (!dialog.HasWindow()) {
        dialog.Create(&m_view.Grid());
    }
    if (!m_running) {
        ShowTarget();
    }
}

void CRadioController::ShowTarget() {
    QString text = QStringLiteral("Port: %1").arg(PortText(m_port));
    if (m_job == RadioJob::Write && m_document) {
        text += QStringLiteral("\nFile: %1").arg(m_document->GetTitle());
    } else if (m_job == RadioJob::Restore) {
        text += QStringLiteral("\nBackup: %1").arg(m_restoreName);
    }
    ProgressDialog().SetTarget(text);
}

void CRadioController::OnRadioTransfer() {
    if (m_running || !m_document) {
        return;
    }
    // The job is taken once, here: a command during the run only prepares the next one.
    const RadioJob job = m_job;
    // A read replaces the document: unsaved changes are offered for saving first, and
    // Cancel leaves everything as it was, the window waiting for Start.
    if (job == RadioJob::Read && !m_document->SaveModified()) {
        ProgressDialog().AllowStart();
        return;
    }
    if (job == RadioJob::Write) {
        m_view.EncodeImage();
    }
    ShowTarget();  // the port and file as they are now, which the run takes
    m_running = true;
    emit transferRunningChanged(true);
    Run run(job, m_port, ProgressDialog());
    if (!run.port.Error().empty()) {
        run.warnings << QStringLiteral("No serial trace was written: ") +
                            QString::fromStdString(run.port.Error());
    }
    try {
        switch (job) {
            case RadioJob::Read:
                RunRead(run);
                break;
            case RadioJob::Compare:
                RunCompare(run);
                break;
            case RadioJob::Write:
                RunWrite(run);
                break;
            case RadioJob::Restore:
                RunRestore(run);
                break;
        }
    } catch (const std::exception& error) {
        // The port is closed by now; say what went wrong instead of ending the program.
        ShowMessage(&m_view, QString::fromUtf8(error.what()));
        run.done.clear();
        run.result = EndedOtherwise(run.what, QStringLiteral("failed"),
                                    QString::fromUtf8(error.what()), true);
    }
    ProgressDialog().DestroyWindow();
    m_running = false;
    emit transferRunningChanged(false);
    Finish(run);
}

void CRadioController::RunRead(Run& run) {
    RadioImage radio = m_document->m_image;
    if (const Result<CloneEnd> read =
            RunClone(run.port, run.hooks, run.portName, CloneDirection::Read, radio);
        !read) {
        run.result = CloneResult(run.what, read.end);
        return;
    }
    Warn(SaveBackup(radio, BackupKind::Read, {run.portName, {}}).result.message, run.warnings);
    run.before = m_document->m_image;
    m_document->m_image = radio;
    run.read = radio;
    run.done = QStringLiteral("Read from %1 at %2").arg(run.portText, ClockTime());
}

void CRadioController::RunCompare(Run& run) {
    RadioImage radio = m_document->m_image;
    const Result<CloneEnd> read =
        RunClone(run.port, run.hooks, run.portName, CloneDirection::Read, radio);
    if (!read) {
        run.result = CloneResult(run.what, read.end);
        return;
    }
    Warn(SaveBackup(radio, BackupKind::Read, {run.portName, {}}).result.message, run.warnings);
    run.read = radio;
    run.result = {QStringLiteral("Compared with %1 at %2").arg(run.portText, ClockTime())};
}

void CRadioController::RunWrite(Run& run) {
    RunSafeWriteOf(run, m_document->m_image, m_document->GetTitle(), false);
}

void CRadioController::RunRestore(Run& run) {
    RunSafeWriteOf(run, m_restoreImage, m_restoreName, true);
}

void CRadioController::RunSafeWriteOf(Run& run, const RadioImage& image, const QString& name,
                                      bool restore) {
    const SafeWriteOptions options = WriteOptions(*this, name);
    SafeWriteReport report;
    // A failure's box waits for what it means to the radio, below: one box says both.
    run.hooks.HoldFailures();
    const Result<SafeWriteEnd> written =
        restore ? ::RunRestore(run.port, run.hooks, run.portName, image, options, report)
                : RunSafeWrite(run.port, run.hooks, run.portName, image, options, report);
    Warn(report.backupError, run.warnings);
    QStringList box;
    if (const QString failure = run.hooks.TakeFailure(); !failure.isEmpty()) {
        box << failure;
    }
    if (!written.message.empty()) {
        box << Sentence(written.message);
    }
    if (!box.isEmpty()) {
        run.warnings.prepend(box.join(QStringLiteral("\n\n")));
    }
    if (!written) {
        run.result = SafeWriteResult(run.what, written, report, name);
    } else {
        run.done =
            QStringLiteral("%1 %2%3 at %4")
                .arg(restore ? name + " restored to" : QStringLiteral("Written to"), run.portText,
                     report.checked ? QStringLiteral(" and checked") : QString(), ClockTime());
    }
}

void CRadioController::Finish(Run& run) {
    if (run.job == RadioJob::Read && run.read) {
        m_view.DecodeImage();
        m_document->RecordChange(run.before, QStringLiteral("Read From Radio"));
        // The document now holds the radio's memory, not its file.
        m_document->OnReadFromRadio(m_port, run.portText, QDateTime::currentDateTime());
    }
    if (!run.done.isEmpty()) {
        emit statusMessage(run.done);
        run.result = {run.done, false};
    }
    std::optional<std::vector<Difference>> differences;
    if (run.job == RadioJob::Compare && run.read) {
        // What the form shows now, unsaved edits included; the document stays as it is.
        RadioImage shown = m_document->m_image;
        ::EncodeImage(m_view.ReadEditor(), shown);
        differences = CompareImages(shown, *run.read);
        // The pane keeps the verdict once the comparison's window has been closed.
        const auto count = static_cast<int>(differences->size());
        run.result.text += count == 0 ? QStringLiteral(": the same settings as the form")
                                      : QStringLiteral(": %1 %2 from the form")
                                            .arg(count)
                                            .arg(count == 1 ? QStringLiteral("difference")
                                                            : QStringLiteral("differences"));
    }
    emit runEnded(run.result.text, run.result.failed);
    for (const QString& warning : run.warnings) {
        ShowMessage(&m_view, warning);
    }
    if (run.hooks.CheckConnectionAsked()) {
        OnCheckConnection();
    }
    if (differences) {
        CCompareDlg dialog(*differences, &m_view);
        FitToScreen(&dialog, &m_view);
        dialog.exec();
    }
}

// The dialog is modal: the image it got is what the document holds until it closes. The
// job log names the file each radio got, so the radios get only what a file holds: an
// unsaved document is saved first.
void CRadioController::OnProductionMode(QWidget* parent) {
    if (m_running || !m_document) {
        return;
    }
    m_view.OnLeaveCellGrid();
    if (m_document->IsModified() || m_document->GetPathName().isEmpty()) {
        MessageRequest save(
            QStringLiteral("Save %1 first? Production mode writes what a file holds, and the "
                           "job log names that file for every radio.")
                .arg(m_document->GetTitle()),
            QString::fromUtf8(kAppTitle), QMessageBox::Save | QMessageBox::Cancel);
        save.defaultButton = QMessageBox::Save;
        if (ShowMessage(parent, save) != QMessageBox::Save || !m_document->DoFileSave()) {
            return;
        }
    }
    m_view.EncodeImage();
    ProductionSetup setup;
    setup.document = m_document->m_image;
    setup.name = m_document->GetTitle();
    setup.file = QFileInfo(m_document->GetPathName()).absoluteFilePath();
    setup.write = WriteOptions(*this, setup.name);
    setup.port = m_port;
    setup.traceFile = QString::fromStdString(TraceFileFromEnvironment());
    CProductionDlg dialog(std::move(setup), parent);
    FitToScreen(&dialog, parent);
    dialog.exec();
}

// The alignment dialog works on the radio directly and never touches the document.
void CRadioController::OnTestMode(QWidget* parent) {
    CTestModeDlg dialog(m_toneList, m_port, MakePort, m_view.FieldText(), parent);
    FitToScreen(&dialog, parent);
    const QString what = QStringLiteral("Test mode on %1").arg(PortText(m_port));
    connect(&dialog, &CTestModeDlg::startEnded, this,
            [this, &what](TestModeEnd end, const QString& sent) {
                const RunResult result = TestModeResult(what, end, sent);
                emit runEnded(result.text, result.failed);
            });
    dialog.exec();
}
