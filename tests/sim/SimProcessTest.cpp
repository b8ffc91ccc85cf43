// The kvradio-sim program from the outside: its port opened like a PC opens a serial port.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "NewDocument.h"
#include "SimPc.h"
#include "SinFile.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace simtest;
using Clock = std::chrono::steady_clock;

namespace {

// One kvradio-sim process, killed if a test leaves it running.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args) {
        int out[2];
        EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        std::vector<std::string> all = {KVRADIO_SIM_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : all) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_out = out[0];
    }
    ~SimProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_out);
    }

    // The first line the program prints, or "" when none comes within the time.
    std::string ReadLine(std::chrono::milliseconds within = std::chrono::seconds(5)) {
        std::string line;
        const auto deadline = Clock::now() + within;
        char c = 0;
        while (Clock::now() < deadline) {
            pollfd fd = {m_out, POLLIN, 0};
            if (::poll(&fd, 1, 50) == 1 && ::read(m_out, &c, 1) == 1) {
                if (c == '\n') {
                    return line;
                }
                line += c;
            } else if (fd.revents & POLLHUP) {
                break;
            }
        }
        return "";
    }

    // The exit status once the program has ended, -1 if it is still running by then.
    int WaitExit(std::chrono::milliseconds within = std::chrono::seconds(5)) {
        const auto deadline = Clock::now() + within;
        while (Clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    int Stop(int signal) {
        ::kill(m_pid, signal);
        return WaitExit();
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

// The PC's end: raw 9600 8-N-1; a send waits until the bytes are on their way, a purge
// drops only what has come in.
class PcPort {
public:
    explicit PcPort(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        EXPECT_GE(m_fd, 0) << path;
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B9600);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        EXPECT_EQ(::tcsetattr(m_fd, TCSANOW, &tio), 0);
    }
    ~PcPort() { ::close(m_fd); }

    void Purge() { ::tcflush(m_fd, TCIFLUSH); }
    void Send(const Bytes& bytes) {
        EXPECT_EQ(::write(m_fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::tcdrain(m_fd);
    }
    // Up to n bytes, waiting at most the given time for all of them.
    Bytes Receive(std::size_t n, std::chrono::milliseconds within = std::chrono::seconds(2)) {
        Bytes bytes;
        const auto deadline = Clock::now() + within;
        while (bytes.size() < n && Clock::now() < deadline) {
            pollfd fd = {m_fd, POLLIN, 0};
            std::uint8_t buffer[64];
            if (::poll(&fd, 1, 20) == 1) {
                const ssize_t got = ::read(m_fd, buffer, std::min(n - bytes.size(), sizeof buffer));
                bytes.insert(bytes.end(), buffer, buffer + std::max<ssize_t>(got, 0));
            }
        }
        return bytes;
    }
    // The handshake with a purge before each byte, taking the radio's ACK after "PROGRA"
    // before the 'M' and its ACK after the 'M' before returning both.
    Bytes Handshake() {
        const Bytes handshake = simtest::Handshake();
        for (std::size_t i = 0; i + 1 < handshake.size(); ++i) {
            Purge();
            Send({handshake[i]});
        }
        Bytes acks = Receive(1);
        Purge();
        Send({handshake.back()});
        const Bytes last = Receive(1);
        acks.insert(acks.end(), last.begin(), last.end());
        return acks;
    }

private:
    int m_fd;
};

class SimProgram : public testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kvsim-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

Bytes FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST_F(SimProgram, ServesAPcThatClosesAndReopensThePort) {
    const fs::path link = m_dir / "radio";
    SimProcess sim({"--link", link.string(), "--log", (m_dir / "bytes.log").string()});
    const std::string path = sim.ReadLine();
    ASSERT_TRUE(path.starts_with("/dev/")) << path;
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), path);

    const RadioImage memory = NewDocumentImage(RadioType::T310X);
    {
        PcPort pc(link.string());
        EXPECT_EQ(pc.Handshake(), kHandshakeAcks);
        pc.Purge();
        pc.Send({proto::kIdentRequest});
        EXPECT_EQ(pc.Receive(8), MemoryAt(memory, 0x3D0));
    }
    {
        PcPort pc(path);  // the next exchange, through the device path this time
        EXPECT_EQ(pc.Handshake(), kHandshakeAcks);
    }

    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link outlives the radio";
    const Bytes log = FileBytes(m_dir / "bytes.log");
    const std::string text(log.begin(), log.end());
    EXPECT_NE(text.find(" pc 4d\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" radio 06\n"), std::string::npos) << text;
}

TEST_F(SimProgram, OnceTakesOneWriteSavesItAndEnds) {
    const RadioImage before = Pattern(11);
    const RadioImage sent = Pattern(222);
    ASSERT_TRUE(SaveSinFile(m_dir / "before.sin", before));
    const fs::path saved = m_dir / "after.sin";
    SimProcess sim({"--image", (m_dir / "before.sin").string(), "--save", saved.string(), "--once",
                    "--latency", "0", "--link", (m_dir / "radio").string()});
    const std::string path = sim.ReadLine();
    ASSERT_FALSE(path.empty());
    {
        PcPort pc(path);
        ASSERT_EQ(pc.Handshake(), kHandshakeAcks);
        pc.Send({proto::kIdentRequest});
        ASSERT_EQ(pc.Receive(8).size(), 8u);
        pc.Send({proto::kAck});
        ASSERT_EQ(pc.Receive(1), Bytes{proto::kAck});
        for (std::size_t address = 0; address < 0x3D8; address += 8) {
            pc.Send(WriteCommand(address, sent));
            ASSERT_EQ(pc.Receive(1), Bytes{proto::kAck}) << "block at " << address;
        }
    }
    EXPECT_EQ(sim.WaitExit(), 0);
    Bytes want = MemoryAt(sent, 0, 0x3D8);
    const Bytes top = MemoryAt(before, 0x3D8, 0x400 - 0x3D8);
    want.insert(want.end(), top.begin(), top.end());
    EXPECT_EQ(FileBytes(saved), want);
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_dir / "radio")));
}

TEST_F(SimProgram, RefusesWhatItCannotServe) {
    EXPECT_EQ(SimProcess({"--fault", "loud"}).WaitExit(), 2);
    EXPECT_EQ(SimProcess({"--image", (m_dir / "missing.sin").string()}).WaitExit(), 2);
    // A file where the link should go is left alone.
    std::ofstream(m_dir / "taken") << "mine";
    EXPECT_EQ(SimProcess({"--link", (m_dir / "taken").string()}).WaitExit(), 1);
    EXPECT_EQ(FileBytes(m_dir / "taken"), (Bytes{'m', 'i', 'n', 'e'}));
}
