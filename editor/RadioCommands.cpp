// Reading the radio into the form and writing the form into the radio.
#include <QStringList>
#include <exception>

#include "Backups.h"
#include "CloneExchange.h"
#include "CommPort.h"
#include "KV_IIView.h"
#include "MSFlexGrid.h"
#include "MessageBox.h"
#include "ProgressDlg.h"
#include "RadioTexts.h"
#include "TracingPort.h"
#include "TransferHooks.h"
#include "Version.h"

namespace {

// Backups and traces are for safety and support; when one fails the run still goes ahead,
// and the user hears of it once the run is over.
void Backup(const RadioImage& image, BackupKind kind, QStringList& warnings) {
    if (const FileResult saved = SaveBackup(image, kind); !saved) {
        warnings << QStringLiteral("The backup copy of the radio's memory was not saved.\n") +
                        QString::fromStdString(saved.message);
    }
}

}  // namespace

void CKV_IIView::OnReadFromRadio() {
    OpenProgressDialog(0);
}

void CKV_IIView::OnWriteToRadio() {
    OpenProgressDialog(1);
}

// The command sends nothing: the run begins with the dialog's Start. While a window exists
// (waiting or running), only the direction and the caption of the next window change.
void CKV_IIView::OpenProgressDialog(int direction) {
    OnLeaveCellGrid();
    m_nDirection = direction;
    const std::string_view caption = direction == 1 ? kCaptionWriting : kCaptionReading;
    ProgressDialog().m_strCaption =
        QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    if (!ProgressDialog().HasWindow()) {
        ProgressDialog().Create(m_grid);
    }
}

void CKV_IIView::OnRadioTransfer() {
    if (m_bRunning || !m_pImage) {
        return;
    }
    // The direction is taken once, here: a Read or Write command during the run only
    // prepares the next one.
    const CloneDirection direction =
        m_nDirection == 1 ? CloneDirection::Write : CloneDirection::Read;
    if (direction == CloneDirection::Write) {
        EncodeImage();
    }
    m_bRunning = true;
    emit transferRunningChanged(true);
    QStringList warnings;
    CCommPort serial;
    // KVPROG_TRACE names a file that every run appends its bytes to, for support.
    CTracingPort port(serial, TraceFileFromEnvironment(),
                      std::string("kvprog ") + kProgramVersion +
                          (direction == CloneDirection::Write ? " write to " : " read from ") +
                          m_strPort.toStdString());
    if (!port.Error().empty()) {
        warnings << QStringLiteral("No serial trace was written: ") +
                        QString::fromStdString(port.Error());
    }
    if (direction == CloneDirection::Write) {
        Backup(*m_pImage, BackupKind::Write, warnings);
    }
    CTransferHooks hooks(ProgressDialog(), &ProgressDialog());
    CloneResult result;
    try {
        result = RunClone(port, hooks, m_strPort.toStdString(), direction, *m_pImage);
    } catch (const std::exception& error) {
        // The port is closed by now; say what went wrong instead of ending the program.
        result = {CloneEnd::CommunicationError, error.what()};
        ShowMessage(this, QString::fromUtf8(error.what()));
    }
    ProgressDialog().DestroyWindow();
    m_bRunning = false;
    emit transferRunningChanged(false);
    if (direction == CloneDirection::Read && result.Completed()) {
        Backup(*m_pImage, BackupKind::Read, warnings);
        DecodeImage();
        emit edited();  // the document now holds the radio's memory, not its file
    }
    for (const QString& warning : warnings) {
        ShowMessage(this, warning);
    }
}
