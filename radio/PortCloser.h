// Holds an exchange's port open and closes it exactly once, on whichever way the exchange
// leaves, exceptions included.
#pragma once

#include "Port.h"

class CPortCloser {
public:
    explicit CPortCloser(IPort& port) : m_port(port) {}
    ~CPortCloser() { Close(); }
    CPortCloser(const CPortCloser&) = delete;
    CPortCloser& operator=(const CPortCloser&) = delete;

    void Close() {
        if (m_bOpen) {
            m_bOpen = false;
            m_port.Close();
        }
    }

private:
    IPort& m_port;
    bool m_bOpen = true;
};
