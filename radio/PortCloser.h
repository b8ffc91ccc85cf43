// Holds an exchange's port open and closes it exactly once, on whichever way the exchange
// leaves, exceptions included.
#pragma once

#include <string>

#include "ExchangeHooks.h"
#include "Port.h"
#include "RadioTexts.h"

class CPortCloser {
public:
    explicit CPortCloser(IPort& port) : m_port(port) {}
    ~CPortCloser() { Close(); }
    CPortCloser(const CPortCloser&) = delete;
    CPortCloser& operator=(const CPortCloser&) = delete;

    void Close() {
        if (m_open) {
            m_open = false;
            m_port.Close();
        }
    }

private:
    IPort& m_port;
    bool m_open = true;
};

// Opens port for an exchange. A port that cannot be opened is told in the open failure box,
// whose text the failure carries.
inline Result<> OpenForExchange(IPort& port, IExchangeHooks& hooks, const std::string& name,
                                const CommTimeouts& timeouts) {
    const Result<> opened = port.Open(name, timeouts);
    if (!opened) {
        const std::string text = OpenFailedText(opened.message);
        hooks.ShowMessage(text, MessageIcon::Exclamation);
        return Failure(text);
    }
    return {};
}
