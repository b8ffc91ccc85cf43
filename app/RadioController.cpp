#include "RadioController.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <exception>
#include <optional>

#include "Backups.h"
#include "ChannelCodec.h"
#include "CheckConnectionDlg.h"
#include "CommPort.h"
#include "CommandTable.h"
#include "CompareDlg.h"
#include "FileDialog.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MessageBox.h"
#include "PortNames.h"
#include "ProductionDlg.h"
#include "ProgramSettings.h"
#include "ProgressDlg.h"
#include "RadioTexts.h"
#include "SafeWrite.h"
#include "TestModeDlg.h"
#include "TracingPort.h"
#include "TransferHooks.h"

namespace {

constexpr char kWriteGroup[] = "Write";
constexpr char kBackUpKey[] = "BackUpBeforeWriting";
constexpr char kVerifyKey[] = "VerifyAfterWriting";

// Backups and traces are for safety and support; when one fails the run still goes ahead,
// and the user hears of it once the run is over. The exception is the backup a write takes
// first: without it RunSafeWrite writes nothing and says why.
void Warn(const std::string& backupError, QStringList& warnings) {
    if (!backupError.empty()) {
        warnings << QStringLiteral("The backup copy of the radio's memory was not saved.\n") +
                        QString::fromStdString(backupError);
    }
}

void Backup(const RadioImage& image, BackupKind kind, QStringList& warnings) {
    Warn(SaveBackup(image, kind).result.message, warnings);
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

QString Now() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm"));
}

// The moment a backup was taken: the local time its name records, else its file's time.
QString BackupTime(const QString& path) {
    const QRegularExpressionMatch stamp =
        QRegularExpression(QStringLiteral(R"(^(\d{8}-\d{6}))")).match(QFileInfo(path).fileName());
    QDateTime when = stamp.hasMatch() ? QDateTime::fromString(stamp.captured(1),
                                                              QStringLiteral("yyyyMMdd-HHmmss"))
                                      : QDateTime();
    if (!when.isValid()) {
        when = QFileInfo(path).lastModified();
    }
    return when.toString(QStringLiteral("d MMMM yyyy, HH:mm:ss"));
}

}  // namespace

CRadioController::CRadioController(CKV_IIView& view, const ToneList& toneList, QObject* parent)
    : QObject(parent), m_view(view), m_toneList(toneList) {}

CProgressDlg& CRadioController::ProgressDialog() {
    if (!m_pProgressDlg) {
        m_pProgressDlg = new CProgressDlg(&m_view);
        m_pProgressDlg->setWindowFlag(Qt::Dialog);
        connect(m_pProgressDlg, &CProgressDlg::startRequested, this,
                &CRadioController::OnRadioTransfer, Qt::QueuedConnection);
    }
    return *m_pProgressDlg;
}

void CRadioController::LoadWriteOptions() {
    if (m_bOptionsLoaded) {
        return;
    }
    QSettings settings = ProgramSettings();
    settings.beginGroup(QString::fromUtf8(kWriteGroup));
    m_bBackUp = settings.value(QString::fromUtf8(kBackUpKey), true).toBool();
    m_bVerify = settings.value(QString::fromUtf8(kVerifyKey), true).toBool();
    m_bOptionsLoaded = true;
}

bool CRadioController::BackUpBeforeWriting() {
    LoadWriteOptions();
    return m_bBackUp;
}

bool CRadioController::VerifyAfterWriting() {
    LoadWriteOptions();
    return m_bVerify;
}

void CRadioController::SetBackUpBeforeWriting(bool on) {
    LoadWriteOptions();
    m_bBackUp = on;
    QSettings settings = ProgramSettings();
    settings.setValue(QStringLiteral("%1/%2").arg(kWriteGroup, kBackUpKey), on);
}

void CRadioController::SetVerifyAfterWriting(bool on) {
    LoadWriteOptions();
    m_bVerify = on;
    QSettings settings = ProgramSettings();
    settings.setValue(QStringLiteral("%1/%2").arg(kWriteGroup, kVerifyKey), on);
}

void CRadioController::OnReadFromRadio() {
    OpenProgressDialog(RadioJob::Read);
}

void CRadioController::OnWriteToRadio() {
    OpenProgressDialog(RadioJob::Write);
}

void CRadioController::OnCheckConnection() {
    CCheckConnectionDlg dialog(m_strPort, &m_view);
    connect(&dialog, &CCheckConnectionDlg::portChosen, this, &CRadioController::SetPort);
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
        request.suggested = BackupFolder() + QStringLiteral("/");  // made by the request
    }
    const QString path = AskFileName(parent, request);
    if (path.isEmpty()) {
        return;
    }
    RadioImage backup;
    if (const Result<> loaded = LoadSinFile(QFile::encodeName(path).toStdString(), backup);
        !loaded) {
        ShowMessage(parent, QString::fromStdString(loaded.message));
        return;
    }
    MessageRequest confirm{QStringLiteral("Write the backup of %1 (%2) to the radio?")
                               .arg(BackupTime(path), QFileInfo(path).fileName()),
                           QString::fromUtf8(kAppTitle), QMessageBox::Yes | QMessageBox::No};
    confirm.defaultButton = QMessageBox::No;
    if (ShowMessage(parent, confirm) != QMessageBox::Yes) {
        return;
    }
    m_restoreImage = backup;
    m_strRestoreName = QFileInfo(path).fileName();
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
}

void CRadioController::OnRadioTransfer() {
    if (m_bRunning || !m_pDoc) {
        return;
    }
    // The job is taken once, here: a command during the run only prepares the next one.
    const RadioJob job = m_job;
    // A read replaces the document: unsaved changes are offered for saving first, and
    // Cancel leaves everything as it was, the window waiting for Start.
    if (job == RadioJob::Read && !m_pDoc->SaveModified()) {
        ProgressDialog().AllowStart();
        return;
    }
    if (job == RadioJob::Write) {
        m_view.EncodeImage();
    }
    m_bRunning = true;
    emit transferRunningChanged(true);
    QStringList warnings;
    CCommPort serial;
    // KVPROG_TRACE names a file that every run appends its bytes to, for support.
    CTracingPort port(serial, TraceFileFromEnvironment(),
                      TraceTitle("kvprog", JobWords(job) + m_strPort.toStdString()));
    if (!port.Error().empty()) {
        warnings << QStringLiteral("No serial trace was written: ") +
                        QString::fromStdString(port.Error());
    }
    const std::string portName = m_strPort.toStdString();
    const QString portText = QString::fromStdString(PortWithDevice(portName));
    CTransferHooks hooks(ProgressDialog(), &ProgressDialog(), portText);
    RadioImage& image = m_pDoc->m_image;
    std::optional<RadioImage> compared;  // the radio, for a comparison that read it
    bool read = false;
    RadioImage before;  // the document before a complete read replaced it
    QString done;       // what the status bar tells once the run is over
    try {
        if (job == RadioJob::Read || job == RadioJob::Compare) {
            RadioImage radio = image;
            if (RunClone(port, hooks, portName, CloneDirection::Read, radio)) {
                Backup(radio, BackupKind::Read, warnings);
                if (job == RadioJob::Read) {
                    before = image;
                    image = radio;
                    read = true;
                    done = QStringLiteral("Read from %1 at %2").arg(portText, Now());
                } else {
                    compared = radio;
                }
            }
        } else {
            SafeWriteOptions options;
            options.backup = BackUpBeforeWriting();
            options.verify = VerifyAfterWriting();
            options.source =
                (job == RadioJob::Write ? m_pDoc->GetTitle() : m_strRestoreName).toStdString();
            options.checkHint = "use Compare With Radio";
            options.restoreHint = MenuRestoreHint;
            SafeWriteReport report;
            const Result<SafeWriteEnd> written =
                job == RadioJob::Write
                    ? RunSafeWrite(port, hooks, portName, image, options, report)
                    : RunRestore(port, hooks, portName, m_restoreImage, options, report);
            Warn(report.backupError, warnings);
            if (!written.message.empty()) {
                warnings.prepend(Sentence(written.message));
            }
            if (written) {
                done = QStringLiteral("%1 %2%3 at %4")
                           .arg(job == RadioJob::Write ? QStringLiteral("Written to")
                                                       : m_strRestoreName + " restored to",
                                portText,
                                report.checked ? QStringLiteral(" and checked") : QString(), Now());
            }
        }
    } catch (const std::exception& error) {
        // The port is closed by now; say what went wrong instead of ending the program.
        ShowMessage(&m_view, QString::fromUtf8(error.what()));
    }
    ProgressDialog().DestroyWindow();
    m_bRunning = false;
    emit transferRunningChanged(false);
    if (read) {
        m_view.DecodeImage();
        m_pDoc->RecordChange(before, QStringLiteral("Read From Radio"));
        // The document now holds the radio's memory, not its file.
        m_pDoc->OnReadFromRadio(m_strPort, portText, QDateTime::currentDateTime());
    }
    if (!done.isEmpty()) {
        emit statusMessage(done);
    }
    for (const QString& warning : warnings) {
        ShowMessage(&m_view, warning);
    }
    if (hooks.CheckConnectionAsked()) {
        OnCheckConnection();
    }
    if (compared) {
        // What the form shows now, unsaved edits included; the document stays as it is.
        RadioImage shown = image;
        ::EncodeImage(m_view.ReadEditor(), shown);
        CCompareDlg dialog(shown, *compared, &m_view);
        dialog.exec();
    }
}

// The dialog is modal: the image it got is what the document holds until it closes. The
// job log names the file each radio got, so the radios get only what a file holds: an
// unsaved document is saved first.
void CRadioController::OnProductionMode(QWidget* parent) {
    if (m_bRunning || !m_pDoc) {
        return;
    }
    m_view.OnLeaveCellGrid();
    if (m_pDoc->IsModified() || m_pDoc->GetPathName().isEmpty()) {
        MessageRequest save(
            QStringLiteral("Save %1 first? Production mode writes what a file holds, and the "
                           "job log names that file for every radio.")
                .arg(m_pDoc->GetTitle()),
            QString::fromUtf8(kAppTitle), QMessageBox::Save | QMessageBox::Cancel);
        save.defaultButton = QMessageBox::Save;
        if (ShowMessage(parent, save) != QMessageBox::Save || !m_pDoc->DoFileSave()) {
            return;
        }
    }
    m_view.EncodeImage();
    ProductionSetup setup;
    setup.document = m_pDoc->m_image;
    setup.name = m_pDoc->GetTitle();
    setup.file = QFileInfo(m_pDoc->GetPathName()).absoluteFilePath();
    setup.write.backup = BackUpBeforeWriting();
    setup.write.verify = VerifyAfterWriting();
    setup.write.source = setup.name.toStdString();
    setup.write.checkHint = "use Compare With Radio";
    setup.write.restoreHint = MenuRestoreHint;
    setup.port = m_strPort;
    setup.traceFile = QString::fromStdString(TraceFileFromEnvironment());
    CProductionDlg dialog(std::move(setup), parent);
    dialog.exec();
}

// The alignment dialog works on the radio directly and never touches the document.
void CRadioController::OnTestMode(QWidget* parent) {
    CTestModeDlg dialog(m_toneList, m_strPort, m_view.FieldText(), parent);
    dialog.exec();
}
