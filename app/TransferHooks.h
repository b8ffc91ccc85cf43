// The desktop program's side of a clone run: the progress dialog shows its status and bar
// and holds the cancel request, Qt's event loop is pumped between steps, and the boxes are
// the program's message boxes. A safe write's questions are boxes too.
#pragma once

#include "SafeWrite.h"

#include <QString>
#include <utility>

class CProgressDlg;
class QWidget;

// The extra button of the communication error's and the open failure's boxes.
inline constexpr char kCheckConnectionButton[] = "Check Connection...";

// A sentence of the link's texts as a box shows it: its first letter in upper case.
QString Sentence(std::string_view text);

class CTransferHooks : public ISafeWriteHooks {
public:
    // portText names the port in the communication error's details: "COM1 (/dev/ttyUSB0)".
    CTransferHooks(CProgressDlg& dialog, QWidget* parent, QString portText)
        : m_dialog(dialog), m_parent(parent), m_port(std::move(portText)) {}

    void Sleep(int milliseconds) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    RetryAnswer AskRetryCancel(std::string_view text) override;
    void PumpOne() override;
    bool IsCancelled() override;
    void SetStatus(std::string_view text) override;
    void Attempt(int attempt, int of) override;
    int ProgressPosition() override;
    void SetProgressPosition(int position) override;
    // "The radio is a RADIO_TYPE but this document is for a DOC_TYPE. Write anyway?"
    bool WriteOtherType(std::string_view radioType, std::string_view documentType) override;
    RetryAnswer AskWriteAgain(std::string_view text) override;
    // The communication error's box, saying that the radio was written and only the check is
    // tried again.
    RetryAnswer AskRetryCheck(std::string_view text) override;
    void ShowFailure(std::string_view text) override;

    // From now on the box of a failure that ends a run is kept, not shown: the caller shows
    // it, with what the failure means, in one box (TakeFailure).
    void HoldFailures() { m_holdFailures = true; }
    // The failure's box kept since HoldFailures, once; empty when none came.
    QString TakeFailure() { return std::exchange(m_failure, QString()); }

    // Whether the user asked, in the communication error's or the open failure's box, to
    // check the connection once the run is over.
    bool CheckConnectionAsked() const { return m_checkConnection; }

private:
    RetryAnswer AskRetry(const QString& text);

    CProgressDlg& m_dialog;
    QWidget* m_parent;
    QString m_port;
    bool m_checkConnection = false;
    bool m_holdFailures = false;
    QString m_failure;
};
