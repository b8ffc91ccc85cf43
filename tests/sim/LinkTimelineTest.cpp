// The simulated line's schedule: the radio's answer latency and 9600-baud byte times.
#include <gtest/gtest.h>

#include "LinkTimeline.h"

using namespace std::chrono_literals;
using Time = LinkTimeline::Time;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr Time kB = LinkTimeline::kByteTime;

std::vector<Time> ArrivalTimes(const std::vector<LinkTimeline::Timed>& arrived) {
    std::vector<Time> times;
    for (const auto& timed : arrived) {
        times.push_back(timed.at);
    }
    return times;
}

}  // namespace

TEST(LinkTimeline, UnpacedLineDelaysOnlyTheAnswer) {
    LinkTimeline line(5ms, false);
    line.FromPc(0x52, 100ms);
    line.FromPc(0x00, 100ms);
    EXPECT_EQ(ArrivalTimes(line.TakeArrived(100ms)), (std::vector<Time>{100ms, 100ms}));

    line.Answer({1, 2, 3}, 100ms);
    EXPECT_EQ(line.NextEvent(), 105ms);
    EXPECT_TRUE(line.TakeDelivered(105ms - 1ns).empty());
    EXPECT_EQ(line.TakeDelivered(105ms), (Bytes{1, 2, 3}));
    EXPECT_TRUE(line.Empty());
    EXPECT_EQ(line.NextEvent(), std::nullopt);
}

TEST(LinkTimeline, PacedLineTakesAByteTimePerByteEachWay) {
    using Micros = std::chrono::duration<double, std::micro>;
    EXPECT_NEAR(Micros(kB).count(), 1041.67, 0.01);
    LinkTimeline line(5ms, true);
    // Four bytes written at once reach the radio one after the other.
    for (const std::uint8_t byte : {0x52, 0x00, 0x10, 0x08}) {
        line.FromPc(byte, 0ms);
    }
    EXPECT_EQ(ArrivalTimes(line.TakeArrived(2 * kB)), (std::vector<Time>{kB, 2 * kB}));
    EXPECT_EQ(ArrivalTimes(line.TakeArrived(10ms)), (std::vector<Time>{3 * kB, 4 * kB}));

    // The answer starts after the latency; each byte is there once all its bits are.
    const Time t = 4 * kB;
    line.Answer({1, 2}, t);
    line.Answer({3}, t + 1ms);  // given while the first is on the line: queues behind it
    EXPECT_EQ(line.NextEvent(), t + 5ms + kB);
    EXPECT_EQ(line.TakeDelivered(t + 5ms + kB), Bytes{1});
    EXPECT_EQ(line.TakeDelivered(t + 5ms + 3 * kB - 1ns), Bytes{2});
    EXPECT_EQ(line.TakeDelivered(t + 5ms + 3 * kB), Bytes{3});
    EXPECT_TRUE(line.Empty());
}

TEST(LinkTimeline, PacedLineIsIdleBetweenBursts) {
    LinkTimeline line(0ms, true);
    line.FromPc(0x06, 0ms);
    line.FromPc(0x06, 50ms);  // long after the first: no queueing
    EXPECT_EQ(ArrivalTimes(line.TakeArrived(1s)), (std::vector<Time>{kB, 50ms + kB}));
}
