// The desktop program's side of a clone run: the progress dialog shows its status and bar
// and holds the cancel request, Qt's event loop is pumped between steps, and the boxes are
// the program's message boxes.
#pragma once

#include "CloneHooks.h"

class CProgressDlg;
class QWidget;

class CTransferHooks : public ICloneHooks {
public:
    CTransferHooks(CProgressDlg& dialog, QWidget* parent) : m_dialog(dialog), m_pParent(parent) {}

    void Sleep(int milliseconds) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    RetryAnswer AskRetryCancel(std::string_view text) override;
    void PumpOne() override;
    bool IsCancelled() override;
    void SetStatus(std::string_view text) override;
    int ProgressPosition() override;
    void SetProgressPosition(int position) override;
    void BlockDone(int done, int /*total*/) override { m_nBlocksDone = done; }
    // The blocks the radio acknowledged in the last run, for a run that ended early.
    int BlocksDone() const { return m_nBlocksDone; }

private:
    CProgressDlg& m_dialog;
    QWidget* m_pParent;
    int m_nBlocksDone = 0;
};
