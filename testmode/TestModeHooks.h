// The desktop program's side of the test mode exchange: plain blocking pauses (the exchange
// keeps the window still until it ends) and the program's message boxes.
#pragma once

#include "ExchangeHooks.h"

class QWidget;

class CTestModeHooks final : public IExchangeHooks {
public:
    // The boxes open over parent.
    explicit CTestModeHooks(QWidget* parent) : m_parent(parent) {}

    void Sleep(int milliseconds) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    RetryAnswer AskRetryCancel(std::string_view text) override;

private:
    QWidget* m_parent;
};
