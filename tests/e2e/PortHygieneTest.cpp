// The real serial port against kvradio-sim, one radio per fault: whichever way an exchange
// ends, it leaves no file descriptor of the port behind and the port can be opened again.
// Every box that asks Retry or Cancel is answered Cancel.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "CloneExchange.h"
#include "CommPort.h"
#include "NewDocument.h"
#include "RadioTexts.h"
#include "TestModeExchange.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// "fd -> what it refers to", one entry per open descriptor of this process.
std::vector<std::string> OpenDescriptors() {
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const fs::path target = fs::read_symlink(entry.path(), ec);
        entries.push_back(entry.path().filename().string() + " -> " + target.string());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// kvradio-sim with the given faults, on a pseudo-terminal of its own; stopped on destruction.
class CSimulatedRadio {
public:
    explicit CSimulatedRadio(const std::vector<std::string>& faults) {
        m_dir = fs::temp_directory_path() /
                ("kvhygiene-" + std::to_string(::getpid()) + "-" + std::to_string(++s_nRadios));
        fs::create_directories(m_dir);
        const std::string out = (m_dir / "path.txt").string();
        std::vector<std::string> args = {KVRADIO_SIM};
        for (const std::string& fault : faults) {
            args.insert(args.end(), {"--fault", fault});
        }
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        // The radio prints its port's path once the port is there.
        for (int i = 0; m_pid > 0 && i < 600 && m_device.empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::ifstream file(out);
            std::string line;
            if (std::getline(file, line) && !file.eof()) {
                m_device = line;
            }
        }
    }
    ~CSimulatedRadio() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    CSimulatedRadio(const CSimulatedRadio&) = delete;
    CSimulatedRadio& operator=(const CSimulatedRadio&) = delete;

    const std::string& device() const { return m_device; }

private:
    static inline int s_nRadios = 0;
    pid_t m_pid = -1;
    fs::path m_dir;
    std::string m_device;
};

// The program around an exchange: sleeps as asked, records the boxes, answers Cancel.
class CCancellingHooks final : public ICloneHooks {
public:
    std::vector<std::string> boxes;

    std::string Boxes() const {
        std::string all;
        for (const std::string& box : boxes) {
            all += "[" + box + "] ";
        }
        return all;
    }

    void Sleep(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void ShowMessage(std::string_view text, MessageIcon) override { boxes.emplace_back(text); }
    RetryAnswer AskRetryCancel(std::string_view text) override {
        boxes.emplace_back(text);
        return RetryAnswer::Cancel;
    }
    void PumpOne() override {}
    bool IsCancelled() override { return false; }
    void SetStatus(std::string_view) override {}
    int ProgressPosition() override { return m_nPosition; }
    void SetProgressPosition(int position) override { m_nPosition = position; }

private:
    int m_nPosition = 0;
};

// After an exchange: nothing of the port is left open, and it opens again.
void ExpectPortReleased(const CCommPort& port, const std::vector<std::string>& before,
                        const std::string& device) {
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(OpenDescriptors(), before);
    CCommPort again;
    const Result<> reopened = again.Open(device, kCloneTimeouts);
    EXPECT_TRUE(reopened.ok()) << reopened.message;
    again.Close();
    EXPECT_EQ(OpenDescriptors(), before);
}

struct CloneScenario {
    const char* name;
    std::vector<std::string> faults;
    CloneDirection direction;
    CloneEnd end;
    std::string_view message;
};

void PrintTo(const CloneScenario& scenario, std::ostream* os) {
    *os << scenario.name;
}

class PortHygieneClone : public testing::TestWithParam<CloneScenario> {};

TEST_P(PortHygieneClone, EndsWithThePortReleased) {
    const CloneScenario& scenario = GetParam();
    CSimulatedRadio radio(scenario.faults);
    ASSERT_FALSE(radio.device().empty()) << "kvradio-sim did not start";
    CCommPort port;
    CCancellingHooks hooks;
    RadioImage image = NewDocumentImage(RadioType::T520);
    const std::vector<std::string> before = OpenDescriptors();

    const Result<CloneEnd> result =
        RunClone(port, hooks, radio.device(), scenario.direction, image);

    EXPECT_EQ(result.end, scenario.end) << hooks.Boxes();
    EXPECT_EQ(result.message, scenario.message);
    if (scenario.end == CloneEnd::Completed && scenario.direction == CloneDirection::Read) {
        EXPECT_TRUE(image == NewDocumentImage(RadioType::T310X)) << "the radio's memory";
    }
    ExpectPortReleased(port, before, radio.device());
}

// The radio's memory is a new T310X document unless written; the read's replies are 13
// bytes a block after 11 bytes of handshake, identification and confirmation, so a line
// that dies after 95 bytes cuts block 6's reply short.
INSTANTIATE_TEST_SUITE_P(
    Faults, PortHygieneClone,
    testing::Values(
        CloneScenario{"silent",
                      {"silent"},
                      CloneDirection::Read,
                      CloneEnd::CommunicationError,
                      kMsgCommunicationError},
        CloneScenario{"noConfirmAck",
                      {"no-confirm-ack"},
                      CloneDirection::Write,
                      CloneEnd::CommunicationError,
                      kMsgCommunicationError},
        CloneScenario{"shortReply",
                      {"short-reply=3"},
                      CloneDirection::Read,
                      CloneEnd::ReadFailed,
                      kMsgShortReply},
        CloneScenario{"noReadAck",
                      {"no-read-ack=2"},
                      CloneDirection::Read,
                      CloneEnd::ReadFailed,
                      kMsgTransferError},
        CloneScenario{"noWriteAck",
                      {"no-write-ack=4"},
                      CloneDirection::Write,
                      CloneEnd::WriteFailed,
                      kMsgTransferError},
        CloneScenario{"dropAfter",
                      {"drop-after=95"},
                      CloneDirection::Read,
                      CloneEnd::ReadFailed,
                      kMsgShortReply},
        // Noise before the confirmation's ACK: the link is refused.
        CloneScenario{"garbage",
                      {"garbage"},
                      CloneDirection::Read,
                      CloneEnd::CommunicationError,
                      kMsgCommunicationError},
        CloneScenario{"completeRead", {}, CloneDirection::Read, CloneEnd::Completed, ""},
        CloneScenario{"completeWrite", {}, CloneDirection::Write, CloneEnd::Completed, ""}),
    [](const testing::TestParamInfo<CloneScenario>& info) { return info.param.name; });

struct TestModeScenario {
    const char* name;
    std::vector<std::string> faults;
    TestModeEnd end;
};

void PrintTo(const TestModeScenario& scenario, std::ostream* os) {
    *os << scenario.name;
}

class PortHygieneTestMode : public testing::TestWithParam<TestModeScenario> {};

TEST_P(PortHygieneTestMode, EndsWithThePortReleased) {
    const TestModeScenario& scenario = GetParam();
    CSimulatedRadio radio(scenario.faults);
    ASSERT_FALSE(radio.device().empty()) << "kvradio-sim did not start";
    CCommPort port;
    CCancellingHooks hooks;
    TestModeRequest request;
    request.rxUnits = 46256250;
    request.txUnits = 46756250;
    request.value = 128;
    const std::vector<std::string> before = OpenDescriptors();

    const Result<TestModeEnd> result = RunTestMode(port, hooks, radio.device(), request);

    EXPECT_EQ(result.end, scenario.end) << hooks.Boxes();
    ExpectPortReleased(port, before, radio.device());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PortHygieneTestMode,
    testing::Values(TestModeScenario{"noFrequencyH", {"test-no-h=2"}, TestModeEnd::Cancelled},
                    TestModeScenario{"silent", {"silent"}, TestModeEnd::Cancelled},
                    TestModeScenario{"finished", {}, TestModeEnd::Finished}),
    [](const testing::TestParamInfo<TestModeScenario>& info) { return info.param.name; });

}  // namespace
