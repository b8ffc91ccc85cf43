#include "TestModeHooks.h"

#include "MessageBox.h"
#include "PortSystem.h"

namespace {
QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

void CTestModeHooks::Sleep(int milliseconds) {
    PauseLine(milliseconds);
}

void CTestModeHooks::ShowMessage(std::string_view text, MessageIcon icon) {
    ::ShowMessage(m_parent, MessageRequest{FromView(text), kAppTitle, QMessageBox::Ok,
                                           icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                                            : QMessageBox::NoIcon});
}

RetryAnswer CTestModeHooks::AskRetryCancel(std::string_view text) {
    const auto answer = ::ShowMessage(
        m_parent, MessageRequest{FromView(text), kAppTitle,
                                 QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::NoIcon});
    return answer == QMessageBox::Retry ? RetryAnswer::Retry : RetryAnswer::Cancel;
}
