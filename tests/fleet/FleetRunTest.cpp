// A production run's rules over simulated radios in this process: which radio gets which ID
// (given back when nothing was written, kept once a block went out, never one the log
// records), --count, a stop in the middle of a write, and the next run's view of the log.
#include <gtest/gtest.h>

#include <QtGlobal>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <random>

#include "Csv.h"
#include "Features.h"
#include "FileIO.h"
#include "FleetObserver.h"
#include "FleetRun.h"
#include "NewDocument.h"
#include "RadioTexts.h"
#include "SimPort.h"

namespace {

namespace fs = std::filesystem;

RadioImage Document() {
    RadioImage image = NewDocumentImage(RadioType::T310X);
    image[addr::kOptionFlags] = static_cast<std::uint8_t>(
        (image[addr::kOptionFlags] & ~optbits::kPttIdMask) | 1);  // BOT: radios send the ID
    return image;
}

std::shared_ptr<SimRadio> Radio(std::string_view faults = {}) {
    Faults parsed;
    if (!faults.empty()) {
        EXPECT_EQ(AddFault(parsed, faults), "");
    }
    return std::make_shared<SimRadio>(NewDocumentImage(RadioType::T310X), parsed);
}

// What the workers report, and a way for the test to wait for a report.
class CRecorder final : public IFleetObserver {
public:
    std::function<void(const std::string&)> onStatus;
    std::function<void(int)> onProgress;

    void Waiting(int port, FleetWait what) override {
        Note("wait " + std::to_string(port) + " " + std::to_string(static_cast<int>(what)));
    }
    void JobStarted(int port, int job, const std::string& id) override {
        Note("start " + std::to_string(port) + " #" + std::to_string(job) + " " + id);
    }
    void JobStatus(int, const std::string& status) override {
        if (onStatus) {
            onStatus(status);
        }
    }
    void JobProgress(int, int position) override {
        if (onProgress) {
            onProgress(position);
        }
    }
    void JobEnded(int port, int job, const FleetJobOutcome& outcome,
                  const std::string& logError) override {
        Note("end " + std::to_string(port) + " #" + std::to_string(job) + " " +
             (outcome.ok ? "ok" : "failed") + logError);
    }
    void PortDone(int port) override { Note("done " + std::to_string(port)); }

    // Waits until `count` reports start with `prefix`.
    void WaitFor(const std::string& prefix, int count) {
        std::unique_lock lock(m_mutex);
        const bool seen = m_changed.wait_for(lock, std::chrono::seconds(60), [&] {
            return std::count_if(m_events.begin(), m_events.end(), [&](const std::string& e) {
                       return e.starts_with(prefix);
                   }) >= count;
        });
        ASSERT_TRUE(seen) << "no " << count << " x " << prefix;
    }
    std::vector<std::string> Events() {
        const std::lock_guard lock(m_mutex);
        return m_events;
    }

private:
    void Note(std::string event) {
        const std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_events;
};

class FleetRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("kvfleet-" + std::to_string(std::random_device{}()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        qputenv("XDG_DATA_HOME", m_folder.string().c_str());  // Linux's backups go here
    }
    void TearDown() override { fs::remove_all(m_folder); }

    FleetPlan Plan(int ports, std::string idFrom, int count) const {
        FleetPlan plan;
        for (int i = 0; i < ports; ++i) {
            plan.ports.push_back("port" + std::to_string(i));
        }
        plan.document = Document();
        plan.file = (m_folder / "doc.sin").string();
        plan.idFrom = std::move(idFrom);
        plan.count = count;
        return plan;
    }
    // A factory of one simulated port per worker, each first holding radios[i].
    PortFactory Ports(std::vector<std::shared_ptr<SimRadio>> radios) {
        m_radios = std::move(radios);
        return [this](const std::string&) {
            const std::lock_guard lock(m_mutex);
            auto port = std::make_unique<CSimPort>(m_radios.at(m_ports.size()));
            m_ports.push_back(port.get());
            return port;
        };
    }
    // Connects radio to the port of worker index, which waits for the next radio.
    void Connect(int index, std::shared_ptr<SimRadio> radio) {
        const std::lock_guard lock(m_mutex);
        m_ports.at(static_cast<std::size_t>(index))->Connect(std::move(radio));
    }
    // The rows of the log after its header.
    std::vector<CsvRecord> Rows() const {
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(ReadRegularFile(Log(), 1 << 20, bytes, nullptr));
        CsvTable table;
        EXPECT_TRUE(ParseCsv(std::string(bytes.begin(), bytes.end()), table));
        return {table.records.begin() + 1, table.records.end()};
    }
    fs::path Log() const { return m_folder / "jobs.csv"; }

    fs::path m_folder;
    std::mutex m_mutex;
    std::vector<std::shared_ptr<SimRadio>> m_radios;
    std::vector<CSimPort*> m_ports;
};

void NoSleep(int) {}

constexpr std::size_t kIdColumn = 4;
constexpr std::size_t kResultColumn = 8;

TEST_F(FleetRunTest, AnIdGoesBackOnlyWhileNothingWasWrittenAndNoRunGivesItAgain) {
    CRecorder recorder;
    {
        CJobLog log(Log());
        ASSERT_TRUE(log.Open());
        // Radio 1 cannot be backed up: nothing written, its ID goes to radio 2, which takes
        // the first block without acknowledging it: it may hold the ID, which is used up.
        // Radio 3 gets the next ID; then the count is reached.
        CFleetRun run(Plan(1, "0101", 1), log, recorder, Ports({Radio("no-read-ack=3")}), NoSleep);
        ASSERT_TRUE(run.CheckIds());
        run.Start();
        recorder.WaitFor("wait 0", 1);
        Connect(0, Radio("no-write-ack=0"));
        run.NextRadio();
        recorder.WaitFor("wait 0", 2);
        const std::shared_ptr<SimRadio> third = Radio();
        Connect(0, third);
        run.NextRadio();
        run.Join();
        EXPECT_EQ(run.Succeeded(), 1);
        EXPECT_EQ(run.Failed(), 2);
        EXPECT_EQ(PttIdCodeText(third->Memory()), "0102");
    }
    const std::vector<CsvRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][kIdColumn], "");
    EXPECT_NE(rows[0][kResultColumn].find("Not written - ID 0101 goes to the next radio."),
              std::string::npos)
        << rows[0][kResultColumn];
    EXPECT_EQ(rows[1][kIdColumn], "0101");
    EXPECT_NE(rows[1][kResultColumn].find("ID 0101 may be in this radio"), std::string::npos);
    EXPECT_EQ(rows[2][kIdColumn], "0102");
    EXPECT_EQ(rows[2][kResultColumn], "ok");

    // The next run reads the log: 0101 and 0102 are used, 0103 is next.
    CJobLog again(Log());
    ASSERT_TRUE(again.Open());
    EXPECT_EQ(again.Used().Next(), "0103");
    CFleetRun repeat(Plan(1, "0100", 3), again, recorder, Ports({Radio()}), NoSleep);
    const Result<> refused = repeat.CheckIds();
    EXPECT_EQ(refused.message,
              "ID 0101 was written at " + rows[1][0].substr(0, 10) + " " +
                  rows[1][0].substr(11, 5) +
                  ", jobs.csv row 3, and this run would give it again; the next unused ID is "
                  "0103");
}

TEST_F(FleetRunTest, TheCountHoldsOverPorts) {
    CJobLog log(Log());
    ASSERT_TRUE(log.Open());
    CRecorder recorder;
    CFleetRun run(Plan(2, "7", 3), log, recorder, Ports({Radio(), Radio()}), NoSleep);
    run.Start();
    recorder.WaitFor("wait", 2);
    run.NextRadio();
    run.NextRadio();
    run.Join();
    const std::vector<CsvRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    std::vector<std::string> ids;
    for (const CsvRecord& row : rows) {
        ids.push_back(row[kIdColumn]);
        EXPECT_EQ(row[kResultColumn], "ok");
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<std::string>{"7", "8", "9"}));
}

// Input ends with one press not yet taken while three ports wait for the next radio (each
// after its first job): it goes to the port that waited first, whichever thread wakes first,
// and the others stop.
TEST_F(FleetRunTest, TheLastPressGoesToThePortThatWaitedFirst) {
    CJobLog log(Log());
    ASSERT_TRUE(log.Open());
    CRecorder recorder;
    CFleetRun run(Plan(3, "7", 0), log, recorder, Ports({Radio(), Radio(), Radio()}), NoSleep);
    run.Start();
    recorder.WaitFor("wait", 3);
    run.NextRadio();
    run.NoMoreNextRadio();
    run.Join();
    const std::vector<std::string> events = recorder.Events();
    const auto starts = [](const char* prefix) {
        return [prefix](const std::string& e) { return e.starts_with(prefix); };
    };
    const auto firstWait = std::find_if(events.begin(), events.end(), starts("wait"));
    const auto lastStart = std::find_if(events.rbegin(), events.rend(), starts("start"));
    ASSERT_NE(firstWait, events.end());
    EXPECT_EQ(lastStart->substr(6, 1), firstWait->substr(5, 1));
    EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(FleetRunTest, AStopDuringTheWriteKeepsTheIdAndLeavesNoJournal) {
    auto log = std::make_unique<CJobLog>(Log());
    ASSERT_TRUE(log->Open());
    CRecorder recorder;
    std::atomic<CFleetRun*> running{nullptr};
    std::atomic<bool> writing{false};
    recorder.onStatus = [&](const std::string& status) { writing = status == kStatusWriting; };
    recorder.onProgress = [&](int position) {
        if (writing && position >= kProgressMaximum / 2) {
            running.load()->StopNow();  // some blocks are in the radio by now
        }
    };
    {
        CFleetRun run(Plan(1, "7", 0), *log, recorder, Ports({Radio()}), NoSleep);
        running = &run;
        run.Start();
        run.Join();
        EXPECT_EQ(run.Failed(), 1);
    }
    const std::vector<CsvRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][kIdColumn], "7");
    EXPECT_TRUE(rows[0][kResultColumn].starts_with("stopped: the write was stopped after "))
        << rows[0][kResultColumn];
    // The job has its row: once the log is let go, nothing is left to log as cut short.
    log.reset();
    EXPECT_FALSE(fs::exists(JournalPath(Log())));
}

}  // namespace

// A full disk as Linux's file size limit makes it.
#ifndef _WIN32
#include <sys/resource.h>
#include <csignal>

namespace {

// A full disk, as the file size limit makes it: the journal cannot note the job, so its write
// never starts, and a run that cannot log takes no further radio.
TEST_F(FleetRunTest, ARunThatCannotLogWritesNoRadioAndStops) {
    CJobLog log(Log());
    ASSERT_TRUE(log.Open());
    CRecorder recorder;
    const std::shared_ptr<SimRadio> radio = Radio();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit tight{static_cast<rlim_t>(fs::file_size(Log()) + 20), limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    CFleetRun run(Plan(1, "7", 0), log, recorder, Ports({radio}), NoSleep);
    run.Start();
    run.Join();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(radio->CompletedWrites(), 0);
    EXPECT_EQ(run.Failed(), 1);
    EXPECT_TRUE(run.StopReason().starts_with("the job log cannot be written")) << run.StopReason();
}

}  // namespace
#endif
