#include "SimPort.h"

#include <chrono>

CSimPort::CSimPort(std::shared_ptr<SimRadio> radio)
    : CScriptedPort(m_trace, Received::Count), m_radio(std::move(radio)) {}

void CSimPort::Hear(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        Arrive(m_radio->Receive(byte, std::chrono::milliseconds(m_trace.clockMs)));
    }
    // Nobody reads this trace: it would only grow over a whole production run.
    m_trace.events.clear();
}
