// What every scripted radio behind the port interface shares: one trace with a virtual
// clock, written by the radio and by the recorder of the exchange's hooks alike, so that a
// test sees the exact order of opens, bytes, purges, pauses and boxes and the time at which
// each happens. A radio adds only its protocol: what it hears, and when the line fails.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "Port.h"

struct Trace {
    std::vector<std::string> events;
    long long clockMs = 0;

    void Add(std::string event) { events.push_back(std::move(event)); }
};

class CScriptedPort : public IPort {
public:
    // How a receive writes down what it took: "recv 12 -> 12", or "recv 8 -> 4B 56 ..." with
    // "none" for nothing.
    enum class Received { Count, Bytes };

    CScriptedPort(Trace& trace, Received received) : m_trace(trace), m_received(received) {}

    std::string refuseOpen;  // non-empty: Open fails with this reason
    int opens = 0;
    int closes = 0;
    std::string openedName;
    CommTimeouts openedTimeouts;

    Result<> Open(const std::string& name, const CommTimeouts& timeouts) override;
    void SetTimeouts(const CommTimeouts& timeouts) override { m_timeouts = timeouts; }
    void Purge(PurgeSet which) override;
    // "send 02 50", then the radio hears the bytes; a refused send is "send 06 fails".
    bool Send(std::span<const std::uint8_t> bytes) override;
    // Takes what has arrived; a receive that gets fewer bytes than asked moves the clock on
    // by what the time-outs would have waited.
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override;
    void Close() override;
    bool IsOpen() const override { return m_bOpen; }

protected:
    // The radio follows the bytes the program sent.
    virtual void Hear(std::span<const std::uint8_t> bytes) = 0;
    // True when the line refuses these bytes; the radio then hears nothing.
    virtual bool RefusesSend(std::span<const std::uint8_t>) { return false; }
    // At the start of each receive: false fails the receive; otherwise the radio may let
    // more bytes arrive first.
    virtual bool StartReceive() { return true; }
    // Bytes that have arrived for the program to receive; a purge drops them.
    void Arrive(std::span<const std::uint8_t> bytes);

private:
    Trace& m_trace;
    const Received m_received;
    CommTimeouts m_timeouts;
    bool m_bOpen = false;
    std::deque<std::uint8_t> m_input;  // arrived, not yet received
};
