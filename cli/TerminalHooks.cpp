#include "TerminalHooks.h"

#include "Interrupt.h"
#include "PortSystem.h"
#include "RadioTexts.h"

namespace {

constexpr int kBarWidth = 40;

bool IsNumber(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

CTerminalHooks::CTerminalHooks(std::ostream& out, std::string_view caption, int retries, bool bar)
    : m_out(out), m_retries(retries), m_bar(bar) {
    m_out << caption << "\n" << std::flush;
}

void CTerminalHooks::Sleep(int milliseconds) {
    PauseLine(milliseconds);
}

bool CTerminalHooks::IsCancelled() {
    return InterruptRequested();
}

// Block numbers feed the bar; every other status is a line of its own, once per change.
void CTerminalHooks::SetStatus(std::string_view text) {
    if (IsNumber(text) || text == m_status) {
        return;
    }
    m_status = text;
    EndBarLine();
    m_out << "  " << text << "\n" << std::flush;
}

void CTerminalHooks::SetProgressPosition(int position) {
    m_position = position;
    DrawBar();
}

void CTerminalHooks::ShowMessage(std::string_view text, MessageIcon /*icon*/) {
    EndBarLine();
    m_out << "kvprog-cli: " << text << "\n" << std::flush;
}

RetryAnswer CTerminalHooks::AskRetryCancel(std::string_view text) {
    ShowMessage(text, MessageIcon::None);
    if (m_retries > 0) {
        --m_retries;
        m_out << "  retrying\n" << std::flush;
        return RetryAnswer::Retry;
    }
    return RetryAnswer::Cancel;
}

void CTerminalHooks::Finish() {
    EndBarLine();
}

void CTerminalHooks::DrawBar() {
    if (!m_bar) {
        return;
    }
    const int filled = m_position * kBarWidth / kProgressMaximum;
    m_out << "\r  [" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(kBarWidth - filled), '.') << "] " << m_position
          << "/" << kProgressMaximum << std::flush;
    m_barShown = true;
}

void CTerminalHooks::EndBarLine() {
    if (m_barShown) {
        m_out << "\n";
        m_barShown = false;
    }
}
