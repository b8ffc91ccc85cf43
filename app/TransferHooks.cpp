#include "TransferHooks.h"

#include <QCoreApplication>

#include "MessageBox.h"
#include "PortSystem.h"
#include "ProgressDlg.h"
#include "RadioTexts.h"

namespace {
QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

QString Sentence(std::string_view text) {
    QString sentence = Text(text);
    if (!sentence.isEmpty()) {
        sentence[0] = sentence[0].toUpper();
    }
    return sentence;
}

void CTransferHooks::Sleep(int milliseconds) {
    PauseLine(milliseconds);
}

void CTransferHooks::ShowMessage(std::string_view text, MessageIcon icon) {
    MessageRequest request{Text(text)};
    request.icon = icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon;
    // The open failure carries the system's reason after a blank line: it goes behind the
    // box's details button, under the fixed text.
    const qsizetype reason = request.text.indexOf(QStringLiteral("\n\n"));
    if (text.starts_with(kMsgOpenFailed) && reason > 0) {
        request.detail = request.text.mid(reason + 2);
        request.text.truncate(reason);
    }
    if (text.starts_with(kMsgOpenFailed)) {
        request.helpButton = QString::fromUtf8(kCheckConnectionButton);
    }
    m_checkConnection = ::ShowMessage(m_parent, request) == QMessageBox::Help || m_checkConnection;
}

void CTransferHooks::ShowFailure(std::string_view text) {
    if (m_holdFailures) {
        m_failure = Text(text);
    } else {
        ISafeWriteHooks::ShowFailure(text);
    }
}

RetryAnswer CTransferHooks::AskRetryCancel(std::string_view text) {
    return AskRetry(Text(text));
}

RetryAnswer CTransferHooks::AskRetryCheck(std::string_view text) {
    return AskRetry(Text(text) +
                    QStringLiteral("\n\nThe radio has been written; only its check is waiting "
                                   "for an answer. Retry checks it again and writes nothing; "
                                   "Cancel leaves it written but not checked."));
}

RetryAnswer CTransferHooks::AskRetry(const QString& text) {
    MessageRequest request{text, QString::fromUtf8(kAppTitle),
                           QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::NoIcon,
                           QStringLiteral("Port: %1").arg(m_port)};
    request.helpButton = QString::fromUtf8(kCheckConnectionButton);
    const QMessageBox::StandardButton answer = ::ShowMessage(m_parent, request);
    // Checking the connection ends the run, as Cancel does.
    m_checkConnection = answer == QMessageBox::Help || m_checkConnection;
    return answer == QMessageBox::Retry ? RetryAnswer::Retry : RetryAnswer::Cancel;
}

bool CTransferHooks::WriteOtherType(std::string_view radioType, std::string_view documentType) {
    MessageRequest request{QStringLiteral("The radio is a %1 but this document is for a %2. Write "
                                          "anyway?")
                               .arg(Text(radioType), Text(documentType)),
                           QString::fromUtf8(kAppTitle), QMessageBox::Yes | QMessageBox::No};
    request.defaultButton = QMessageBox::No;
    return ::ShowMessage(m_parent, request) == QMessageBox::Yes;
}

RetryAnswer CTransferHooks::AskWriteAgain(std::string_view text) {
    const MessageRequest request{Sentence(text) + QStringLiteral(" Retry writes it again."),
                                 QString::fromUtf8(kAppTitle),
                                 QMessageBox::Retry | QMessageBox::Cancel};
    return ::ShowMessage(m_parent, request) == QMessageBox::Retry ? RetryAnswer::Retry
                                                                  : RetryAnswer::Cancel;
}

// Qt offers no way to take exactly one event; one pass over what is pending keeps the
// window and the Cancel button alive just the same.
void CTransferHooks::PumpOne() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool CTransferHooks::IsCancelled() {
    return m_dialog.m_bCancel != 0;
}

void CTransferHooks::SetStatus(std::string_view text) {
    m_dialog.SetStatus(Text(text));
}

// The first attempt is the usual one; from the second on the window says how far the run has
// got with a radio that does not answer.
void CTransferHooks::Attempt(int attempt, int of) {
    m_dialog.SetAttempt(attempt > 1 ? QStringLiteral("attempt %1 of %2").arg(attempt).arg(of)
                                    : QString());
}

int CTransferHooks::ProgressPosition() {
    return m_dialog.Position();
}

void CTransferHooks::SetProgressPosition(int position) {
    m_dialog.SetPosition(position);
}
