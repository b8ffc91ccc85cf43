// A radio behind the port interface whose every answer comes from fuzz input, with a
// virtual clock, for the exchange targets.
//
// The input is read front to back. Each receive takes the next reply: a length byte, then
// that many bytes (fewer when the input ends). Length 0xFF is a line failure (the receive
// returns false). A reply longer than the receive asked for leaves the rest waiting on the
// line for the next receive, unless a purge drops it first; the line holds kLineBuffer
// bytes, and what arrives beyond that is lost, as in a driver's full receive buffer. Once
// the input is used up, every receive times out with nothing.
//
// The clock charges what the real line could take at worst: a receive that gets fewer bytes
// than asked waits out its whole time-out, bytes that do travel take their 9600-baud time;
// a refused send fails at once, as on a line that has gone away.
//
// Nothing here allocates: a run makes thousands of port calls, and the fuzzer's speed is
// theirs. A target that checks what crossed the line watches it through a CFuzzLineWatcher.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "FuzzCommon.h"
#include "Port.h"

class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : m_bytes(data, size) {}

    bool Empty() const { return m_bytes.empty(); }
    // The next byte, 0 once the input is used up.
    std::uint8_t Byte() {
        if (m_bytes.empty()) {
            return 0;
        }
        const std::uint8_t byte = m_bytes.front();
        m_bytes = m_bytes.subspan(1);
        return byte;
    }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    std::uint32_t Long() { return static_cast<std::uint32_t>(Word() | Word() << 16); }
    // Up to n bytes.
    std::span<const std::uint8_t> Take(std::size_t n) {
        const std::span<const std::uint8_t> taken = m_bytes.first(std::min(n, m_bytes.size()));
        m_bytes = m_bytes.subspan(taken.size());
        return taken;
    }

private:
    std::span<const std::uint8_t> m_bytes;
};

// Microseconds since the exchange started.
struct FuzzClock {
    long long us = 0;

    void AddMs(long long ms) { us += ms * 1000; }
};

// What a receive of n bytes may wait at most under the time-outs, in microseconds.
constexpr long long ReceiveLimitUs(const CommTimeouts& t, std::size_t n) {
    return (t.readMultiplier * static_cast<long long>(n) + t.readConstant) * 1000;
}

// One byte at 9600 baud, 8-N-1: ten bit times.
inline constexpr long long kByteUs = 1042;

// Hears each send as it is tried, with the clock after it, and each receive's bytes.
class CFuzzLineWatcher {
public:
    virtual void Sent(std::span<const std::uint8_t> /*bytes*/, long long /*atUs*/, bool /*ok*/) {}
    virtual void Received(std::span<const std::uint8_t> /*bytes*/) {}

protected:
    ~CFuzzLineWatcher() = default;
};

class CFuzzPort final : public IPort {
public:
    static constexpr std::uint8_t kLineFailure = 0xFF;
    // Far more port calls than any exchange makes when it ends: more means it is looping.
    static constexpr int kMaxCalls = 50000;
    static constexpr std::size_t kLineBuffer = 4096;

    // failEvery > 0: every failEvery-th send is refused.
    CFuzzPort(CFuzzInput& input, FuzzClock& clock, bool refuseOpen, int failEvery,
              CFuzzLineWatcher* watcher = nullptr)
        : m_input(input),
          m_clock(clock),
          m_bRefuseOpen(refuseOpen),
          m_nFailEvery(failEvery),
          m_pWatcher(watcher) {}

    int opens = 0;
    int closes = 0;

    Result<> Open(const std::string&, const CommTimeouts& timeouts) override {
        Check(opens++ == 0, "the port is opened once");
        if (m_bRefuseOpen) {
            return Failure("Device or resource busy");
        }
        m_timeouts = timeouts;
        m_bOpen = true;
        return {};
    }
    void SetTimeouts(const CommTimeouts& timeouts) override {
        Use();
        m_timeouts = timeouts;
    }
    void Purge(PurgeSet) override {
        Use();
        m_nWaitingBegin = m_nWaitingEnd = 0;
    }
    bool Send(std::span<const std::uint8_t> bytes) override {
        Use();
        const bool ok = m_nFailEvery <= 0 || ++m_nSends % m_nFailEvery != 0;
        if (ok) {
            m_clock.us += kByteUs * static_cast<long long>(bytes.size());
        }
        if (m_pWatcher) {
            m_pWatcher->Sent(bytes, m_clock.us, ok);
        }
        return ok;
    }
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override {
        Use();
        if (!m_input.Empty()) {
            const std::uint8_t length = m_input.Byte();
            if (length == kLineFailure) {
                return {false, 0};
            }
            Arrive(m_input.Take(length));
        }
        const std::size_t count = std::min(buffer.size(), m_nWaitingEnd - m_nWaitingBegin);
        std::copy_n(m_waiting.begin() + static_cast<long>(m_nWaitingBegin), count, buffer.begin());
        m_nWaitingBegin += count;
        m_clock.us += count < buffer.size() ? ReceiveLimitUs(m_timeouts, buffer.size())
                                            : kByteUs * static_cast<long long>(count);
        if (m_pWatcher) {
            m_pWatcher->Received(buffer.first(count));
        }
        return {true, count};
    }
    void Close() override {
        Check(m_bOpen, "the port is closed only while open");
        ++closes;
        m_bOpen = false;
    }
    bool IsOpen() const override { return m_bOpen; }

private:
    // Puts bytes on the line behind those waiting; what does not fit is lost.
    void Arrive(std::span<const std::uint8_t> bytes) {
        const std::size_t waiting = m_nWaitingEnd - m_nWaitingBegin;
        if (m_nWaitingBegin > 0) {
            std::copy_n(m_waiting.begin() + static_cast<long>(m_nWaitingBegin), waiting,
                        m_waiting.begin());
        }
        const std::size_t kept = std::min(bytes.size(), kLineBuffer - waiting);
        std::copy_n(bytes.begin(), kept, m_waiting.begin() + static_cast<long>(waiting));
        m_nWaitingBegin = 0;
        m_nWaitingEnd = waiting + kept;
    }

    void Use() {
        Check(m_bOpen, "the port is used only while open");
        Check(++m_nCalls <= kMaxCalls, "the exchange ends (port calls bounded)");
    }

    CFuzzInput& m_input;
    FuzzClock& m_clock;
    const bool m_bRefuseOpen;
    const int m_nFailEvery;
    CommTimeouts m_timeouts;
    bool m_bOpen = false;
    int m_nSends = 0;
    int m_nCalls = 0;
    CFuzzLineWatcher* const m_pWatcher;
    // Arrived, not yet received: the bytes from m_nWaitingBegin up to m_nWaitingEnd.
    std::array<std::uint8_t, kLineBuffer> m_waiting;
    std::size_t m_nWaitingBegin = 0;
    std::size_t m_nWaitingEnd = 0;
};
