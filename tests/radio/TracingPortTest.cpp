// The serial trace: every call reaches the real port unchanged, and the file gets one line
// per call with its time, direction and bytes, written out before the next call.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <regex>
#include <thread>
#include <vector>

#include "TracingPort.h"

namespace {

// A port that answers from a script and notes what it was asked to do.
class CFakePort final : public IPort {
public:
    struct Reply {
        std::vector<std::uint8_t> bytes;
        bool ok = true;
        int delayMs = 0;
    };
    std::deque<Reply> replies;
    bool sendSucceeds = true;
    std::string refuse;  // non-empty: Open fails with this reason
    std::vector<std::string> calls;
    std::vector<std::uint8_t> sent;

    Result<> Open(const std::string& name, const CommTimeouts&) override {
        calls.push_back("open " + name);
        m_bOpen = refuse.empty();
        return m_bOpen ? Result<>{} : Failure(refuse);
    }
    void SetTimeouts(const CommTimeouts& t) override {
        calls.push_back("timeouts " + std::to_string(t.readConstant));
    }
    void Purge(PurgeSet which) override {
        calls.push_back(which == PurgeSet::Clear ? "purge clear" : "purge abort");
    }
    bool Send(std::span<const std::uint8_t> bytes) override {
        calls.push_back("send " + std::to_string(bytes.size()));
        sent.insert(sent.end(), bytes.begin(), bytes.end());
        return sendSucceeds;
    }
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override {
        calls.push_back("receive " + std::to_string(buffer.size()));
        Reply reply = replies.empty() ? Reply{} : replies.front();
        if (!replies.empty()) {
            replies.pop_front();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
        std::copy(reply.bytes.begin(), reply.bytes.end(), buffer.begin());
        return {reply.ok, reply.bytes.size()};
    }
    void Close() override {
        calls.push_back("close");
        m_bOpen = false;
    }
    bool IsOpen() const override { return m_bOpen; }

private:
    bool m_bOpen = false;
};

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A line without its time stamp, which must be milliseconds with three decimals.
std::string Event(const std::string& line) {
    static const std::regex stamped(R"(^(\d+\.\d{3}) (.*)$)");
    std::smatch match;
    return std::regex_match(line, match, stamped) ? match[2].str() : "unstamped: " + line;
}

double Stamp(const std::string& line) {
    return std::strtod(line.c_str(), nullptr);
}

std::vector<std::string> Events(const std::string& path) {
    std::vector<std::string> events;
    for (const std::string& line : Lines(path)) {
        events.push_back(line.starts_with("#") ? "header" : Event(line));
    }
    return events;
}

class TracingPortTest : public ::testing::Test {
protected:
    std::string Path() const { return m_dir.filePath("trace.log").toStdString(); }

    QTemporaryDir m_dir;
    CFakePort m_inner;
};

TEST_F(TracingPortTest, EachCallIsALineWrittenOutAtOnce) {
    qputenv("KVPROG_COM2", "/dev/ttyFAKE7");
    CTracingPort port(m_inner, Path(), "kvprog-cli 1.2 read --port COM2");
    const std::vector<std::string> header = Lines(Path());
    ASSERT_EQ(header.size(), 1u);
    EXPECT_TRUE(std::regex_match(header[0], std::regex(R"(# kvprog-cli 1\.2 read --port COM2, )"
                                                       R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << header[0];

    ASSERT_TRUE(port.Open("COM2", kCloneTimeouts));
    EXPECT_TRUE(port.IsOpen());
    port.Purge(PurgeSet::Clear);
    const std::uint8_t hello[] = {0x02, 0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};
    ASSERT_TRUE(port.Send(hello));
    m_inner.replies.push_back({{0x06, 0xAB}});
    std::uint8_t buffer[2] = {};
    ASSERT_EQ(port.Receive(buffer), (ReceiveResult{true, 2}));
    port.SetTimeouts(kTestTimeouts);
    port.Purge(PurgeSet::AbortAndClear);
    // Read while the port lives: nothing may wait in a buffer for the file to close.
    EXPECT_EQ(Events(Path()), (std::vector<std::string>{
                                  "header",
                                  "open \"COM2\" (/dev/ttyFAKE7): ok",
                                  "timeouts read 50 50 500 write 50 50",
                                  "purge clear",
                                  "tx 02 50 52 4F 47 52 41 4D",
                                  "rx 06 AB",
                                  "timeouts read 10 50 50 write 50 50",
                                  "purge abort",
                              }));
    port.Close();
    port.Close();  // closing a closed port is no event
    EXPECT_EQ(Events(Path()).back(), "close");
    EXPECT_EQ(Events(Path()).size(), 9u);
    qunsetenv("KVPROG_COM2");
}

TEST_F(TracingPortTest, CallsAndResultsPassThroughUnchanged) {
    CTracingPort port(m_inner, Path());
    ASSERT_TRUE(port.Open("/dev/ttyFAKE0", kCloneTimeouts));
    const std::uint8_t command[] = {0x52, 0x00, 0x40, 0x08};
    EXPECT_TRUE(port.Send(command));
    m_inner.replies.push_back({{0x57, 0x00, 0x40}});
    std::uint8_t buffer[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(port.Receive(buffer), (ReceiveResult{true, 3}));
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 5),
              (std::vector<std::uint8_t>{0x57, 0x00, 0x40, 9, 9}));
    port.Close();
    EXPECT_EQ(m_inner.calls,
              (std::vector<std::string>{"open /dev/ttyFAKE0", "send 4", "receive 5", "close"}));
    EXPECT_EQ(m_inner.sent, std::vector<std::uint8_t>(command, command + 4));
    // A device path is its own device.
    EXPECT_EQ(Events(Path())[1], "open \"/dev/ttyFAKE0\": ok");
}

TEST_F(TracingPortTest, ShortReceivesFailedLinesAndRefusalsAreNoted) {
    CTracingPort port(m_inner, Path());
    m_inner.refuse = "/dev/ttyFAKE0: Device or resource busy";
    EXPECT_FALSE(port.Open("/dev/ttyFAKE0", kCloneTimeouts));
    m_inner.refuse.clear();
    ASSERT_TRUE(port.Open("/dev/ttyFAKE0", kCloneTimeouts));
    m_inner.replies = {{{1, 2, 3, 4, 5, 6, 7, 8, 9}}, {{}}, {{0xFF}, false}};
    std::uint8_t block[12];
    EXPECT_EQ(port.Receive(block), (ReceiveResult{true, 9}));
    EXPECT_EQ(port.Receive(std::span(block, 1)), (ReceiveResult{true, 0}));
    EXPECT_EQ(port.Receive(std::span(block, 4)), (ReceiveResult{false, 1}));
    m_inner.sendSucceeds = false;
    const std::uint8_t ack[] = {0x06};
    EXPECT_FALSE(port.Send(ack));
    EXPECT_EQ(Events(Path()), (std::vector<std::string>{
                                  "header",
                                  "open \"/dev/ttyFAKE0\": failed: /dev/ttyFAKE0: Device or "
                                  "resource busy",
                                  "open \"/dev/ttyFAKE0\": ok",
                                  "timeouts read 50 50 500 write 50 50",
                                  "rx 01 02 03 04 05 06 07 08 09",
                                  "timeout after 9 of 12 bytes",
                                  "timeout after 0 of 1 bytes",
                                  "rx FF",
                                  "line failed after 1 of 4 bytes",
                                  "tx 06",
                                  "send failed",
                              }));
}

TEST_F(TracingPortTest, TimesAreMillisecondsSinceTheOpen) {
    CTracingPort port(m_inner, Path());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // before the open: not counted
    ASSERT_TRUE(port.Open("/dev/ttyFAKE0", kCloneTimeouts));
    m_inner.replies.push_back({{0x06}, true, 40});
    std::uint8_t ack[1];
    port.Receive(ack);
    const std::vector<std::string> lines = Lines(Path());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_LT(Stamp(lines[1]), 500.0) << lines[1];
    EXPECT_GE(Stamp(lines[3]), 40.0) << lines[3];
    EXPECT_LT(Stamp(lines[3]), 540.0) << lines[3];
}

TEST_F(TracingPortTest, RunsAppendToOneFileEachUnderItsOwnHeader) {
    {
        CTracingPort first(m_inner, Path(), "first");
        first.Open("/dev/ttyFAKE0", kCloneTimeouts);
        first.Close();
    }
    CTracingPort second(m_inner, Path(), "second");
    second.Open("/dev/ttyFAKE0", kCloneTimeouts);
    const std::vector<std::string> lines = Lines(Path());
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_TRUE(lines[0].starts_with("# first, "));
    EXPECT_EQ(Event(lines[3]), "close");
    EXPECT_TRUE(lines[4].starts_with("# second, "));
    EXPECT_EQ(Event(lines[5]), "open \"/dev/ttyFAKE0\": ok");
}

TEST_F(TracingPortTest, WithoutATraceFileThePortStillWorks) {
    const std::string missing = m_dir.filePath("no-such-folder/trace.log").toStdString();
    CTracingPort unopened(m_inner, missing);
    EXPECT_FALSE(unopened.IsTracing());
    EXPECT_NE(unopened.Error().find(missing), std::string::npos) << unopened.Error();
    ASSERT_TRUE(unopened.Open("/dev/ttyFAKE0", kCloneTimeouts));
    const std::uint8_t ack[] = {0x06};
    EXPECT_TRUE(unopened.Send(ack));
    unopened.Close();

    CTracingPort untraced(m_inner, "");
    EXPECT_FALSE(untraced.IsTracing());
    EXPECT_EQ(untraced.Error(), "");
    ASSERT_TRUE(untraced.Open("/dev/ttyFAKE0", kCloneTimeouts));
    untraced.Close();
    EXPECT_EQ(m_inner.calls, (std::vector<std::string>{"open /dev/ttyFAKE0", "send 1", "close",
                                                       "open /dev/ttyFAKE0", "close"}));
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System));
}

}  // namespace

// Pipes and file modes as Linux has them.
#ifndef _WIN32
#include <sys/stat.h>

namespace {

TEST_F(TracingPortTest, APipeIsRefusedAndANewTraceIsTheUsersAlone) {
    // A FIFO would hold the program until someone read it: it is refused at once.
    const std::string fifo = m_dir.filePath("fifo").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CTracingPort piped(m_inner, fifo);
    EXPECT_FALSE(piped.IsTracing());
    EXPECT_NE(piped.Error().find("it is a pipe"), std::string::npos) << piped.Error();
    // A new trace holds the radio's data: it is the user's alone.
    const std::string fresh = m_dir.filePath("fresh.log").toStdString();
    EXPECT_TRUE(CTracingPort(m_inner, fresh).IsTracing());
    struct stat st {};
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
              QStringList({"fifo", "fresh.log"}));
}

}  // namespace
#endif
