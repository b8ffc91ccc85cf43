// A clone run on the terminal: the progress dialog becomes a bar and status lines on the
// error stream, message boxes become lines there, Ctrl+C is the Cancel button, and the
// communication error box is answered Retry a set number of times, then Cancel. A safe
// write's questions are answered by the command line: another radio type only with
// --force-type, and a radio that does not hold what was written is not written again.
#pragma once

#include <ostream>
#include <string>

#include "SafeWrite.h"

class CTerminalHooks final : public ISafeWriteHooks {
public:
    // caption heads the output ("Reading Data Progress"); bar draws a redrawn progress bar
    // (for a terminal) instead of plain lines.
    CTerminalHooks(std::ostream& out, std::string_view caption, int retries, bool bar);

    void Sleep(int milliseconds) override;
    void PumpOne() override {}  // a terminal has no events to serve
    bool IsCancelled() override;
    void SetStatus(std::string_view text) override;
    int ProgressPosition() override { return m_position; }
    void SetProgressPosition(int position) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    RetryAnswer AskRetryCancel(std::string_view text) override;

    bool WriteOtherType(std::string_view, std::string_view) override { return m_forceType; }
    RetryAnswer AskWriteAgain(std::string_view) override { return RetryAnswer::Cancel; }
    void SetForceType(bool force) { m_forceType = force; }

    // Ends the bar's line; call once the run has returned.
    void Finish();

private:
    void DrawBar();
    void EndBarLine();

    std::ostream& m_out;
    int m_retries;
    bool m_bar;
    bool m_barShown = false;
    int m_position = 0;
    bool m_forceType = false;
    std::string m_status;
};
