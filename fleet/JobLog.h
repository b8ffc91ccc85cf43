// The job log of production runs: a CSV file, one row per job, appended and never rewritten,
// so that "which radio got what, and when?" has an answer. It is also the memory of the PTT
// IDs given: a run reads which IDs earlier rows may have left in radios (CUsedIds) and gives
// none of them again unless told to.
//
// - The header is written once, when the file is new or empty; a file that starts with
//   anything else is not a job log and is refused before any radio is touched.
// - A row is written whole or not at all, and synced, as soon as its job has ended; a log
//   that ends without a line end (cut by an older version, or edited) is mended first.
// - One run at a time: a run holds the log (an advisory lock) until it ends.
// - Before a job sends the first block of its write, it is noted, synced, in the log's
//   journal (the log's name with ".pending"). A run killed at any moment (SIGKILL, a power
//   cut) leaves there the jobs that may have written a radio without a row; the next run
//   logs each of them as cut short, so its ID counts as used.
#pragma once

#include <QDateTime>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>

#include "Csv.h"
#include "FileIO.h"
#include "RadioImage.h"
#include "Result.h"
#include "UsedIds.h"

inline constexpr char kJobLogHeader[] =
    "time,port,type,radio_id,ptt_id,file,image_sha256,backup,result,seconds";

// The columns of a row, in the header's order.
namespace logcolumn {
inline constexpr std::size_t kTime = 0;
inline constexpr std::size_t kPort = 1;
inline constexpr std::size_t kPttId = 4;
inline constexpr std::size_t kImageSha256 = 6;
inline constexpr std::size_t kResult = 8;
inline constexpr std::size_t kCount = 10;
}  // namespace logcolumn

struct JobRecord {
    QDateTime time;           // when the job started
    std::string port;         // as the user named it: "COM1" or "/dev/ttyUSB0"
    std::string type;         // the radio's own type as it told it; empty when it did not
    std::string radioId;      // the identification bytes the radio sent, in hex
    std::string pttId;        // the ID the radio was given or may hold; empty when nothing
                              // was written (the result says where the ID went) and
                              // without a sequence
    std::string file;         // the absolute path of the document's file
    std::string imageSha256;  // of the bytes written to the radio (WrittenSha256)
    std::string backup;       // the before-write backup's path, empty without one
    std::string result;       // "ok", or the failing stage and its message, on one line
    double seconds = -1;      // the job's wall time; negative when unknown (cut short)
};

// The time as the log writes it: ISO 8601, local, with its offset ("2026-12-07T07:13:05+01:00").
std::string LogTime(const QDateTime& time);

// The hex SHA-256 of the bytes a write sends, 0x000 up to the radio's own part: what a radio
// holds there after the write, whatever it keeps above.
std::string WrittenSha256(const RadioImage& image);

// The default log: jobs.csv in the data folder, beside the backups.
std::filesystem::path DefaultJobLogPath();

// The journal of the jobs writing a radio now, beside the log.
std::filesystem::path JournalPath(const std::filesystem::path& log);

class CJobLog {
public:
    explicit CJobLog(std::filesystem::path path) : m_path(std::move(path)) {}
    // Lets the log go; the journal goes too once every job it names has its row.
    ~CJobLog();
    CJobLog(const CJobLog&) = delete;
    CJobLog& operator=(const CJobLog&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    // Takes the log for a run, before any radio is touched: creates it with its header, or
    // checks that it is a job log and mends a missing final line end; logs the jobs an
    // earlier run left cut short; reads the IDs used.
    Result<> Open();
    // The IDs the log records (after Open), this run's rows not included.
    const CUsedIds& Used() const { return m_used; }

    // Notes in the journal, synced, the row to log if the run ends before the job's own
    // row: called before the job's write sends anything. A failure means the job must not
    // write.
    Result<> BeginWrite(const JobRecord& cutShort);
    // Appends the record's row, whole or not at all, synced.
    Result<> Append(const JobRecord& record);

    // The rows of a log (the header first), without taking or changing it: a missing log
    // has none; a file that is not a job log is refused.
    static Result<> ReadRows(const std::filesystem::path& path, CsvTable& table);
    // The IDs a log records, rows and journal, read as ReadRows reads.
    static Result<> ReadUsed(const std::filesystem::path& path, CUsedIds& used);

private:
    Result<> LogCutShortJobs(const std::set<std::string>& logged, int& rows);

    std::filesystem::path m_path;
    std::mutex m_mutex;
    CAppendFile m_file;                    // the log, held for the run
    CAppendFile m_journal;                 // opened with the first job that writes
    std::multiset<std::string> m_pending;  // jobs in the journal without their row yet
    CUsedIds m_used;
};
