// The job log as the memory of a production run: refused when it is no job log, mended when
// cut, rows whole or not at all, numbers with a point, one run at a time, and the job a
// killed run left half-way logged by the next run.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <random>

#include "JobLog.h"

namespace {

namespace fs = std::filesystem;

class JobLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("kvjoblog-" + std::to_string(std::random_device{}()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    fs::path Path() const { return m_folder / "jobs.csv"; }
    void Write(const std::string& text) const { std::ofstream(Path(), std::ios::binary) << text; }
    std::string Text() const {
        std::ifstream in(Path(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static JobRecord Record(const std::string& id) {
        JobRecord record;
        record.time = QDateTime(QDate(2026, 12, 7), QTime(14, 3, 5), Qt::OffsetFromUTC, 3600);
        record.port = "COM1";
        record.pttId = id;
        record.file = "/home/dealer/customer.sin";
        record.result = "write: the radio did not answer,\nso nothing was written.";
        record.seconds = 10.94;
        return record;
    }

    fs::path m_folder;
};

const std::string kHeader = std::string(kJobLogHeader) + "\r\n";

TEST_F(JobLogTest, RefusesAnotherCsvAndMendsALogCutInARow) {
    Write("name,phone\r\nMueller,123\r\n");
    EXPECT_NE(CJobLog(Path()).Open().message.find("is not a job log"), std::string::npos);
    EXPECT_EQ(Text(), "name,phone\r\nMueller,123\r\n");

    // An older program cut on a full disk inside its quoted result.
    Write(kHeader + "2026-12-06T10:00:00+01:00,COM1,,,1001,/a.sin,,,\"write: fai");
    {
        CJobLog log(Path());
        ASSERT_TRUE(log.Open());
        EXPECT_EQ(log.Used().Highest(), "1001");
        ASSERT_TRUE(log.Append(Record("1002")));
    }
    CUsedIds used;
    ASSERT_TRUE(CJobLog::ReadUsed(Path(), used));
    ASSERT_NE(used.Find("1002"), nullptr);
    EXPECT_EQ(used.Find("1002")->row, 3);  // its own row, not glued to the cut one
    EXPECT_TRUE(
        Text().ends_with("\"write: fai\"\r\n" + std::string("2026-12-07T14:03:05+01:00,COM1,,,1002,"
                                                            "/home/dealer/customer.sin,,,"
                                                            "\"write: the radio did not "
                                                            "answer,; so nothing was "
                                                            "written.\",10.9\r\n")))
        << Text();
}

TEST_F(JobLogTest, TheNextRunLogsAJobCutShortAndCountsItsId) {
    {
        CJobLog log(Path());
        ASSERT_TRUE(log.Open());
        // One run at a time on a log.
        EXPECT_NE(CJobLog(Path()).Open().message.find("in use by another production run"),
                  std::string::npos);
        JobRecord cutShort = Record("0105");
        cutShort.result = "cut short: the run ended while this radio was being written.";
        cutShort.seconds = -1;
        ASSERT_TRUE(log.BeginWrite(cutShort));
        // The run dies here: the job never gets its own row.
    }
    EXPECT_TRUE(fs::exists(JournalPath(Path())));
    CJobLog next(Path());
    ASSERT_TRUE(next.Open());
    ASSERT_NE(next.Used().Find("0105"), nullptr);
    EXPECT_EQ(next.Used().Find("0105")->row, 2);
    EXPECT_EQ(Text(), kHeader +
                          "2026-12-07T14:03:05+01:00,COM1,,,0105,/home/dealer/customer.sin,,,"
                          "cut short: the run ended while this radio was being written.,\r\n");
    EXPECT_FALSE(fs::exists(JournalPath(Path())));
}

}  // namespace

// A full disk as Linux's file size limit makes it, under a German locale by its Linux name.
#ifndef _WIN32
#include <sys/resource.h>
#include <csignal>

namespace {

TEST_F(JobLogTest, ARowIsWholeOrNotAtAllAndItsNumbersHaveAPoint) {
    // A comma-decimal locale must not reach the file.
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    CJobLog log(Path());
    ASSERT_TRUE(log.Open());
    const auto size = fs::file_size(Path());
    // A full disk, as the file size limit makes it: the row would go out half.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit tight{static_cast<rlim_t>(size + 40), limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const Result<> full = log.Append(Record("1001"));
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_FALSE(full);
    EXPECT_EQ(fs::file_size(Path()), size);
    ASSERT_TRUE(log.Append(Record("1002")));
    EXPECT_TRUE(Text().ends_with(",10.9\r\n")) << Text();
    if (german) {
        std::setlocale(LC_NUMERIC, "C");
    }
}

}  // namespace
#endif
