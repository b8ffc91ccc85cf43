#include "RadioController.h"

#include <QStringList>
#include <exception>

#include "Backups.h"
#include "CommPort.h"
#include "KV_IIDoc.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MessageBox.h"
#include "ProgressDlg.h"
#include "RadioTexts.h"
#include "TestModeDlg.h"
#include "TracingPort.h"
#include "TransferHooks.h"

namespace {

// Backups and traces are for safety and support; when one fails the run still goes ahead,
// and the user hears of it once the run is over.
void Backup(const RadioImage& image, BackupKind kind, QStringList& warnings) {
    if (const BackupSaved saved = SaveBackup(image, kind); !saved.result) {
        warnings << QStringLiteral("The backup copy of the radio's memory was not saved.\n") +
                        QString::fromStdString(saved.result.message);
    }
}

// A sentence of the link's texts as a box shows it.
QString Capitalised(const std::string& text) {
    QString shown = QString::fromStdString(text);
    if (!shown.isEmpty()) {
        shown[0] = shown[0].toUpper();
    }
    return shown;
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

void CRadioController::OnReadFromRadio() {
    OpenProgressDialog(CloneDirection::Read);
}

void CRadioController::OnWriteToRadio() {
    OpenProgressDialog(CloneDirection::Write);
}

// The command sends nothing: the run begins with the dialog's Start. While a window exists
// (waiting or running), only the direction and the caption of the next window change.
void CRadioController::OpenProgressDialog(CloneDirection direction) {
    m_view.OnLeaveCellGrid();
    m_direction = direction;
    const std::string_view caption =
        direction == CloneDirection::Write ? kCaptionWriting : kCaptionReading;
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
    RadioImage& image = m_pDoc->m_image;
    // The direction is taken once, here: a Read or Write command during the run only
    // prepares the next one.
    const CloneDirection direction = m_direction;
    if (direction == CloneDirection::Write) {
        m_view.EncodeImage();
    }
    m_bRunning = true;
    emit transferRunningChanged(true);
    QStringList warnings;
    CCommPort serial;
    // KVPROG_TRACE names a file that every run appends its bytes to, for support.
    CTracingPort port(
        serial, TraceFileFromEnvironment(),
        TraceTitle("kvprog", (direction == CloneDirection::Write ? "write to " : "read from ") +
                                 m_strPort.toStdString()));
    if (!port.Error().empty()) {
        warnings << QStringLiteral("No serial trace was written: ") +
                        QString::fromStdString(port.Error());
    }
    const RadioImage outgoing = image;  // what a write sends: the image as it is now
    CTransferHooks hooks(ProgressDialog(), &ProgressDialog());
    Result<CloneEnd> result;
    try {
        result = RunClone(port, hooks, m_strPort.toStdString(), direction, image);
    } catch (const std::exception& error) {
        // The port is closed by now; say what went wrong instead of ending the program.
        result = {CloneEnd::CommunicationError, error.what()};
        ShowMessage(&m_view, QString::fromUtf8(error.what()));
    }
    ProgressDialog().DestroyWindow();
    m_bRunning = false;
    if (direction == CloneDirection::Write && result.end != CloneEnd::OpenFailed) {
        Backup(outgoing, BackupKind::Sent, warnings);
    }
    if (direction == CloneDirection::Write && result.end == CloneEnd::Cancelled &&
        hooks.BlocksDone() > 0) {
        warnings.prepend(Capitalised(StoppedWriteText(hooks.BlocksDone(), kWriteBlocks,
                                                      m_pDoc->GetTitle().toStdString(), "")));
    }
    emit transferRunningChanged(false);
    if (direction == CloneDirection::Read && result.ok()) {
        Backup(image, BackupKind::Read, warnings);
        m_view.DecodeImage();
        emit radioRead();  // the document now holds the radio's memory, not its file
    }
    for (const QString& warning : warnings) {
        ShowMessage(&m_view, warning);
    }
}

// The alignment dialog works on the radio directly and never touches the document.
void CRadioController::OnTestMode(QWidget* parent) {
    CTestModeDlg dialog(m_toneList, m_strPort, m_view.FieldText(), parent);
    dialog.exec();
}
