// CCommPort over a pseudo-terminal: the test plays the radio on the master side.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <thread>
#include <vector>

#include "CommPort.h"
#include "RadioTexts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The radio's end of the line.
class CPseudoTerminal {
public:
    CPseudoTerminal() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0) {
            m_device = ::ptsname(m_master);
        }
    }
    ~CPseudoTerminal() { CloseMaster(); }

    const std::string& device() const { return m_device; }

    void Write(const Bytes& bytes) {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }

    // Up to n bytes, waiting at most 200 ms for each.
    Bytes Read(std::size_t n) {
        Bytes got(n);
        std::size_t count = 0;
        pollfd entry{m_master, POLLIN, 0};
        while (count<n&& ::poll(&entry, 1, 200)> 0) {
            const ssize_t k = ::read(m_master, got.data() + count, n - count);
            if (k <= 0) {
                break;
            }
            count += static_cast<std::size_t>(k);
        }
        got.resize(count);
        return got;
    }

    // Everything that arrives until the line has been quiet for quietMs.
    Bytes ReadAll(int quietMs = 100) {
        Bytes got;
        pollfd entry{m_master, POLLIN, 0};
        std::uint8_t chunk[512];
        while (::poll(&entry, 1, quietMs) > 0) {
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }

    void CloseMaster() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    std::string m_device;
};

class CommPort : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pty.device().empty()) << "no pseudo-terminal";
        ASSERT_TRUE(port.Open(pty.device(), kCloneTimeouts)) << "open " << pty.device();
    }

    // Whether the port's input queue holds n bytes within 10 s: what the radio writes reaches
    // the port's side a moment later. The port is the descriptor open on the device.
    bool ArrivedAtThePort(int n) {
        int fd = -1;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            if (std::filesystem::read_symlink(entry.path(), error) == pty.device()) {
                fd = std::stoi(entry.path().filename().string());
            }
        }
        for (const auto deadline = Clock::now() + std::chrono::seconds(10);
             Clock::now() < deadline;) {
            int queued = 0;
            if (fd >= 0 && ::ioctl(fd, FIONREAD, &queued) == 0 && queued >= n) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // Receives into a buffer of n bytes filled with 0xAB.
    ReceiveResult ReceiveInto(Bytes& buffer, std::size_t n) {
        buffer.assign(n, 0xAB);
        return port.Receive(buffer);
    }

    CPseudoTerminal pty;
    CCommPort port;
};

TEST_F(CommPort, CarriesEveryByteValueUnchangedBothWays) {
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0);

    ASSERT_TRUE(port.Send(all));
    EXPECT_EQ(pty.ReadAll(), all);

    port.SetTimeouts({200, 10, 500, 50, 50});
    pty.Write(all);
    Bytes got;
    const ReceiveResult result = ReceiveInto(got, 256);
    EXPECT_EQ(result, (ReceiveResult{true, 256}));
    EXPECT_EQ(got, all);
}

TEST_F(CommPort, SetsTheLineTo9600Baud8N1WithoutFlowControl) {
    // A second descriptor, only to look at the settings; refused where the open is exclusive.
    const int fd = ::open(pty.device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        GTEST_SKIP() << "the device cannot be opened a second time here";
    }
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
}

TEST_F(CommPort, ReceiveReturnsAsSoonAsAllBytesHaveArrived) {
    port.SetTimeouts({50, 50, 10000, 50, 50});  // 12 bytes: 10.6 s at most
    const Bytes reply = {0x57, 0x00, 0x08, 0x08, 1, 2, 3, 4, 5, 6, 7, 8};
    pty.Write(reply);
    Bytes got;
    const auto start = Clock::now();
    EXPECT_EQ(ReceiveInto(got, 12), (ReceiveResult{true, 12}));
    EXPECT_LT(MillisecondsSince(start), 5000);
    EXPECT_EQ(got, reply);
}

TEST_F(CommPort, ReceiveEndsWhenTheGapAfterALateByteExceedsTheInterval) {
    port.SetTimeouts({500, 50, 10000, 50, 50});
    std::thread radio([this] {
        pty.Write({1, 2});
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        pty.Write({3});
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
        pty.Write({4});
    });
    Bytes got;
    const auto start = Clock::now();
    const ReceiveResult result = ReceiveInto(got, 12);
    const long long elapsed = MillisecondsSince(start);
    radio.join();
    // Bytes 60 ms apart belong together; 2 s of silence ends the receive before the fourth
    // byte comes, long before the 10.6 s total would have taken it.
    EXPECT_EQ(result, (ReceiveResult{true, 3}));
    EXPECT_GE(elapsed, 500);
    EXPECT_EQ(got, (Bytes{1, 2, 3, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB}));
}

TEST_F(CommPort, ReceiveEndsAtTheTotalTimeEvenWhileBytesKeepComing) {
    port.SetTimeouts({2000, 10, 200, 50, 50});  // 64 bytes: at most 840 ms
    std::atomic<bool> stop{false};
    std::thread radio([this, &stop] {
        for (int i = 0; i < 200 && !stop; ++i) {
            pty.Write({static_cast<std::uint8_t>(i)});
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    });
    Bytes got;
    const auto start = Clock::now();
    const ReceiveResult result = ReceiveInto(got, 64);
    const long long elapsed = MillisecondsSince(start);
    stop = true;
    radio.join();
    // A byte every 40 ms fills the 64 only after 2.5 s, and no gap reaches the interval.
    EXPECT_TRUE(result.ok);
    EXPECT_GT(result.count, 0u);
    EXPECT_LT(result.count, 64u);
    EXPECT_GE(elapsed, 840);
}

TEST_F(CommPort, ReceiveOfNothingWaitsTheTotalTimeAndLeavesTheBuffer) {
    Bytes got;
    const auto start = Clock::now();
    EXPECT_EQ(ReceiveInto(got, 2), (ReceiveResult{true, 0}));  // 2 x 50 + 500 ms
    const long long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 600);
    EXPECT_LT(elapsed, 5000);
    EXPECT_EQ(got, Bytes(2, 0xAB));
}

TEST_F(CommPort, ReceiveFailsOnceTheLineHangsUp) {
    pty.CloseMaster();
    Bytes got;
    EXPECT_FALSE(ReceiveInto(got, 1).ok);
}

// Bytes lost to a purge are lost only now and then (when the purge overtakes the kernel's
// delivery to the other end), so the pair is tried many times.
TEST_F(CommPort, SentBytesSurviveAPurgeRightAfterTheSend) {
    const Bytes command = {0x52, 0x03, 0xF8, 0x08};
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(port.Send(command));
        port.Purge(i % 2 == 0 ? PurgeSet::AbortAndClear : PurgeSet::Clear);
        ASSERT_EQ(pty.Read(command.size()), command) << "round " << i;
    }
}

// A busy machine may hold the program off past the time a receive allows: what has arrived
// by then is received, not reported missing.
TEST_F(CommPort, BytesWaitingAreReceivedEvenWhenTheTimeIsAlreadyUp) {
    pty.Write({0x06, 0x52, 0x15});
    ASSERT_TRUE(ArrivedAtThePort(3));
    port.SetTimeouts({});  // no time at all
    Bytes got;
    EXPECT_EQ(ReceiveInto(got, 3), (ReceiveResult{true, 3}));
    EXPECT_EQ(got, (Bytes{0x06, 0x52, 0x15}));
}

TEST_F(CommPort, PurgeDropsWhatHasArrivedAndNotBeenRead) {
    for (const PurgeSet which : {PurgeSet::Clear, PurgeSet::AbortAndClear}) {
        pty.Write({0x06, 0x06, 0x06});
        ASSERT_TRUE(ArrivedAtThePort(3));
        port.Purge(which);
        pty.Write({0x15});
        Bytes got;
        EXPECT_EQ(ReceiveInto(got, 1), (ReceiveResult{true, 1}));
        EXPECT_EQ(got[0], 0x15);
    }
}

TEST_F(CommPort, OpenIsExclusiveUntilTheHolderCloses) {
    CCommPort second;
    const Result<> refused = second.Open(pty.device(), kCloneTimeouts);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(second.IsOpen());
    const std::string text = OpenFailedText(refused.message);
    EXPECT_EQ(text,
              std::string(kMsgOpenFailed) + "\n\n" + pty.device() + ": Device or resource busy");

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(second.Open(pty.device(), kCloneTimeouts));
}

TEST_F(CommPort, DestroyingAnOpenPortReleasesIt) {
    port.Close();
    {
        CCommPort scoped;
        ASSERT_TRUE(scoped.Open(pty.device(), kTestTimeouts));
    }
    EXPECT_TRUE(port.Open(pty.device(), kCloneTimeouts));
}

TEST(CommPortOpen, RefusesMissingDevicesAndFilesThatAreNoSerialPort) {
    CCommPort port;
    const Result<> missing = port.Open("/dev/kvprog-no-such-port", kCloneTimeouts);
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.message, "/dev/kvprog-no-such-port: No such file or directory");

    const auto file = std::filesystem::temp_directory_path() /
                      ("kvradio-not-a-port-" + std::to_string(::getpid()));
    ASSERT_TRUE(std::ofstream(file).good());
    const Result<> plain = port.Open(file.string(), kCloneTimeouts);
    std::filesystem::remove(file);
    EXPECT_FALSE(plain);
    EXPECT_EQ(plain.message, file.string() + ": not a serial port");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Send(Bytes{0x06}));
}

TEST(CommPortOpen, ComNamesGoThroughThePortMap) {
    CPseudoTerminal pty;
    ASSERT_FALSE(pty.device().empty());
    ::setenv("KVPROG_COM4", pty.device().c_str(), 1);
    CCommPort port;
    EXPECT_TRUE(port.Open("COM4", kCloneTimeouts));
    ::unsetenv("KVPROG_COM4");
    ASSERT_TRUE(port.Send(Bytes{0x02}));
    EXPECT_EQ(pty.ReadAll(), Bytes{0x02});
}

}  // namespace
