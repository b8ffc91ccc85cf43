#include "DemoPort.h"

#include <thread>

namespace {

using std::chrono::milliseconds;

class CSteadyClock final : public IDemoClock {
public:
    Time Now() override { return std::chrono::steady_clock::now().time_since_epoch(); }
    void SleepUntil(Time t) override {
        std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(t)));
    }
};

}  // namespace

IDemoClock& SteadyClock() {
    static CSteadyClock clock;
    return clock;
}

Result<> CDemoPort::Open(const std::string& name, const CommTimeouts& timeouts) {
    Close();
    RadioImage memory;
    if (Result<> taken = m_store.Take(name, memory); !taken) {
        return taken;
    }
    m_radio = std::make_unique<SimRadio>(memory);
    m_line.emplace(kLatency, true);
    m_input.clear();
    m_timeouts = timeouts;
    return {};
}

void CDemoPort::RunLine(IDemoClock::Time now) {
    for (const LinkTimeline::Timed& in : m_line->TakeArrived(now)) {
        m_line->Answer(m_radio->Receive(in.byte, in.at), in.at);
    }
    for (const std::uint8_t byte : m_line->TakeDelivered(now)) {
        m_input.push_back(byte);
    }
}

void CDemoPort::Purge(PurgeSet /*which*/) {
    if (IsOpen()) {
        RunLine(m_clock.Now());
        m_input.clear();
    }
}

bool CDemoPort::Send(std::span<const std::uint8_t> bytes) {
    if (!IsOpen()) {
        return false;
    }
    const IDemoClock::Time now = m_clock.Now();
    IDemoClock::Time arrived = now;
    for (const std::uint8_t byte : bytes) {
        arrived = m_line->FromPc(byte, now);
    }
    m_clock.SleepUntil(arrived);
    RunLine(m_clock.Now());
    return true;
}

ReceiveResult CDemoPort::Receive(std::span<std::uint8_t> buffer) {
    if (!IsOpen()) {
        return {false, 0};
    }
    const IDemoClock::Time deadline =
        m_clock.Now() + milliseconds(static_cast<long long>(m_timeouts.readMultiplier) *
                                         static_cast<long long>(buffer.size()) +
                                     m_timeouts.readConstant);
    const milliseconds interval(m_timeouts.readInterval);
    std::size_t count = 0;
    IDemoClock::Time lastByte{};
    for (;;) {
        const IDemoClock::Time now = m_clock.Now();
        RunLine(now);
        for (; count < buffer.size() && !m_input.empty(); ++count) {
            buffer[count] = m_input.front();
            m_input.pop_front();
            lastByte = now;
        }
        IDemoClock::Time limit = deadline;
        if (count > 0 && interval.count() > 0 && lastByte + interval < limit) {
            limit = lastByte + interval;
        }
        // Past the limit the line was still looked at once: bytes due while this process was
        // held off are received, not given up.
        if (count == buffer.size() || now >= limit) {
            break;
        }
        const std::optional<IDemoClock::Time> next = m_line->NextEvent();
        m_clock.SleepUntil(next && *next < limit ? *next : limit);
    }
    return {true, count};
}

void CDemoPort::Close() {
    if (!IsOpen()) {
        return;
    }
    m_store.Give(m_radio->Memory());
    m_radio.reset();
    m_line.reset();
    m_input.clear();
}
