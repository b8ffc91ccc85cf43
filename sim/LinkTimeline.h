// When each byte crosses the simulated serial line. The pseudo-terminal moves bytes at once;
// a real line takes a byte time for each (10 bits at 9600 baud), and a real radio takes a
// moment before it answers. This schedule puts both back: the PC's bytes reach the radio
// one byte time apart, and each answer leaves after the radio's latency, byte after byte.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

class LinkTimeline {
public:
    using Time = std::chrono::nanoseconds;
    static constexpr Time kByteTime{1'041'667};  // 10 bits at 9600 baud

    struct Timed {
        std::uint8_t byte;
        Time at;
    };

    // Unpaced, bytes cross the line at once and only the latency delays an answer.
    LinkTimeline(Time latency, bool paced) : m_latency(latency), m_paced(paced) {}

    // A byte the PC wrote, taken off the line at time t. Returns when it reaches the radio.
    Time FromPc(std::uint8_t byte, Time t);
    // The PC's bytes that have reached the radio by now, each with its arrival time.
    std::vector<Timed> TakeArrived(Time now);

    // The radio's answer to a byte that reached it at time t.
    void Answer(const std::vector<std::uint8_t>& bytes, Time t);
    // The radio's bytes that have crossed to the PC's side by now, in order.
    std::vector<std::uint8_t> TakeDelivered(Time now);

    // The time of the next byte to move, if any is on its way.
    std::optional<Time> NextEvent() const;
    bool Empty() const { return m_toRadio.empty() && m_toPc.empty(); }

private:
    // When a byte that may start at 'ready' has fully crossed a line that is free from 'free'.
    Time Cross(Time ready, Time& free) const;

    Time m_latency;
    bool m_paced;
    std::deque<Timed> m_toRadio;
    std::deque<Timed> m_toPc;
    Time m_toRadioFree{};
    Time m_toPcFree{};
};
