#include "ScriptedPort.h"

#include <algorithm>

#include "HexText.h"

Result<> CScriptedPort::Open(const std::string& name, const CommTimeouts& timeouts) {
    m_trace.Add("open " + name);
    ++opens;
    openedName = name;
    openedTimeouts = timeouts;
    if (!refuseOpen.empty()) {
        return Failure(refuseOpen);
    }
    m_timeouts = timeouts;
    m_bOpen = true;
    return {};
}

void CScriptedPort::Close() {
    m_trace.Add("close");
    ++closes;
    m_bOpen = false;
}

void CScriptedPort::Purge(PurgeSet which) {
    m_trace.Add(which == PurgeSet::Clear ? "purge" : "purge abort");
    m_input.clear();
}

void CScriptedPort::Arrive(std::span<const std::uint8_t> bytes) {
    m_input.insert(m_input.end(), bytes.begin(), bytes.end());
}

bool CScriptedPort::Send(std::span<const std::uint8_t> bytes) {
    const bool refused = RefusesSend(bytes);
    m_trace.Add("send " + HexBytes(bytes) + (refused ? " fails" : ""));
    if (!refused) {
        Hear(bytes);
    }
    return !refused;
}

ReceiveResult CScriptedPort::Receive(std::span<std::uint8_t> buffer) {
    const std::string asked = "recv " + std::to_string(buffer.size());
    if (!StartReceive()) {
        m_trace.Add(asked + " fails");
        return {false, 0};
    }
    const std::size_t count = std::min(buffer.size(), m_input.size());
    std::copy_n(m_input.begin(), count, buffer.begin());
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<long>(count));
    if (count < buffer.size()) {
        // Nothing at all waits out the total time; an answer that stops short, the interval.
        m_trace.clockMs += count == 0
                               ? m_timeouts.readMultiplier * static_cast<long long>(buffer.size()) +
                                     m_timeouts.readConstant
                               : m_timeouts.readInterval;
    }
    const std::string took = m_received == Received::Count ? std::to_string(count)
                             : count == 0                  ? "none"
                                                           : HexBytes(buffer.first(count));
    m_trace.Add(asked + " -> " + took);
    return {true, count};
}
