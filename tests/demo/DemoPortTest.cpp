// The demo radio behind the port interface, with the exchanges the programs run over it.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>

#include "CloneExchange.h"
#include "DemoPort.h"
#include "MakePort.h"
#include "PortNames.h"
#include "SafeWrite.h"

namespace {

// Time moves only when the port or the exchange waits, so the line's pace costs no real time.
class CVirtualClock final : public IDemoClock {
public:
    Time Now() override { return m_now; }
    void SleepUntil(Time t) override { m_now = std::max(m_now, t); }

private:
    Time m_now{};
};

// The program around the exchanges: pauses on the same clock, every question answered no.
class CHooks final : public ISafeWriteHooks {
public:
    explicit CHooks(CVirtualClock& clock) : m_clock(clock) {}
    void Sleep(int milliseconds) override {
        m_clock.SleepUntil(m_clock.Now() + std::chrono::milliseconds(milliseconds));
    }
    void ShowMessage(std::string_view text, MessageIcon) override { ADD_FAILURE() << text; }
    RetryAnswer AskRetryCancel(std::string_view text) override {
        ADD_FAILURE() << text;
        return RetryAnswer::Cancel;
    }
    void PumpOne() override {}
    bool IsCancelled() override { return false; }
    void SetStatus(std::string_view) override {}
    int ProgressPosition() override { return m_position; }
    void SetProgressPosition(int position) override { m_position = position; }
    bool WriteOtherType(std::string_view, std::string_view) override { return false; }
    RetryAnswer AskWriteAgain(std::string_view) override { return RetryAnswer::Cancel; }

private:
    CVirtualClock& m_clock;
    int m_position = 0;
};

// Backups and the demo radio's file in a folder of the test's own.
class DemoPort : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_data.isValid());
        qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
    }
    std::filesystem::path RadioFile() const {
        return std::filesystem::path(m_data.path().toStdString()) / "demo-radio.sin";
    }

private:
    QTemporaryDir m_data;
};

// A read, then a safe write (backup, write, check) of a changed image, then a read in the
// next run: each ends as with kvradio-sim, and the radio keeps what was written.
TEST_F(DemoPort, AReadAndASafeWriteEndAsWithTheSimulatedRadioAndTheMemoryStays) {
    const std::string name(kDemoPortName);
    CVirtualClock clock;
    CHooks hooks(clock);
    RadioImage image;
    {
        CDemoRadio radio(RadioFile());
        CDemoPort port(radio, clock);
        ASSERT_TRUE(RunClone(port, hooks, name, CloneDirection::Read, image).ok());
        EXPECT_EQ(image, DemoImage());
        EXPECT_EQ(ReadFrequency(image, RadioImage::ChannelAddress(1)),
                  std::optional<std::uint32_t>(46256250));
        // At 9600 baud the 128 replies alone take this long, as they do from a radio.
        EXPECT_GE(clock.Now(), 128 * 12 * LinkTimeline::kByteTime);

        WriteFrequency(image, RadioImage::ChannelAddress(2), 46012500);
        SafeWriteReport report;
        const Result<SafeWriteEnd> written =
            RunSafeWrite(port, hooks, name, image, SafeWriteOptions{}, report);
        ASSERT_EQ(written.end, SafeWriteEnd::Done) << written.message;
        EXPECT_EQ(report.before, DemoImage());
        EXPECT_TRUE(report.checked);
    }
    CDemoRadio nextRun(RadioFile());
    CDemoPort port(nextRun, clock);
    RadioImage again;
    ASSERT_TRUE(RunClone(port, hooks, name, CloneDirection::Read, again).ok());
    EXPECT_EQ(again, image);
}

// The demo port is no COM name, so no mapping leads to it, and a COM name mapped to "DEMO"
// is a device path like any other; the demo radio takes one session at a time.
TEST_F(DemoPort, NoComMappingReachesTheDemoRadioAndItServesOneSessionAtATime) {
    const std::string name(kDemoPortName);
    EXPECT_EQ(std::count(kPortNames.begin(), kPortNames.end(), kDemoPortName), 0);
    qputenv("KVPROG_COM1", "DEMO");
    EXPECT_EQ(PortWithDevice("COM1"), "COM1 (DEMO)");
    EXPECT_FALSE(MakePort("COM1")->Open("COM1", kCloneTimeouts).ok());
    qunsetenv("KVPROG_COM1");

    EXPECT_EQ(PortWithDevice(name), "DEMO (simulated radio)");
    const std::unique_ptr<IPort> demo = MakePort(name);
    ASSERT_TRUE(demo->Open(name, kCloneTimeouts).ok());
    EXPECT_FALSE(MakePort(name)->Open(name, kCloneTimeouts).ok());
    demo->Close();
    EXPECT_TRUE(MakePort(name)->Open(name, kCloneTimeouts).ok());
}

}  // namespace
