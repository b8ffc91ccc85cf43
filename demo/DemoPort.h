// The demo radio behind the port interface: the simulated radio's model in this process,
// answering at the pace of a 9600-baud line. Every byte sent reaches the radio one byte time
// after the one before; each answer leaves after the radio's latency, byte after byte;
// receives wait for them under the exchange's time-outs, as on a serial port. So the
// progress bar moves and the time-outs hold as with a radio on a cable.
//
// The line runs on a clock: the steady clock in the programs, a virtual one in tests. Times
// are absolute, so a sleep that oversleeps (a busy machine, a coarse system timer) delays
// the bytes it wakes up to and no later one.
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <optional>

#include "DemoRadio.h"
#include "LinkTimeline.h"
#include "Port.h"
#include "SimRadio.h"

class IDemoClock {
public:
    using Time = std::chrono::nanoseconds;
    virtual ~IDemoClock() = default;
    virtual Time Now() = 0;
    virtual void SleepUntil(Time t) = 0;
};

// The steady clock, with real sleeps.
IDemoClock& SteadyClock();

class CDemoPort final : public IPort {
public:
    // How long the radio takes before it answers a byte.
    static constexpr IDemoClock::Time kLatency = std::chrono::milliseconds(5);

    CDemoPort(CDemoRadio& radio, IDemoClock& clock) : m_store(radio), m_clock(clock) {}
    ~CDemoPort() override { Close(); }
    CDemoPort(const CDemoPort&) = delete;
    CDemoPort& operator=(const CDemoPort&) = delete;

    // Switches the radio on with the memory it holds; refused while another port has it.
    Result<> Open(const std::string& name, const CommTimeouts& timeouts) override;
    void SetTimeouts(const CommTimeouts& timeouts) override { m_timeouts = timeouts; }
    void Purge(PurgeSet which) override;
    // Returns once the last byte has reached the radio. The line never refuses bytes, so the
    // write time-outs never end a send.
    bool Send(std::span<const std::uint8_t> bytes) override;
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override;
    // Gives the memory back, written bytes and all.
    void Close() override;
    bool IsOpen() const override { return m_radio != nullptr; }

private:
    // Lets the line run up to now: the PC's bytes reach the radio, its answers the input.
    void RunLine(IDemoClock::Time now);

    CDemoRadio& m_store;
    IDemoClock& m_clock;
    CommTimeouts m_timeouts;
    std::unique_ptr<SimRadio> m_radio;  // while open
    std::optional<LinkTimeline> m_line;
    std::deque<std::uint8_t> m_input;  // arrived, not yet received
};
