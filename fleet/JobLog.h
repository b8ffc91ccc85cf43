// The job log of production runs: a CSV file, one row per job, appended and never rewritten,
// so that "which radio got what, and when?" has an answer. The header is written once, when
// the file is new or empty. Each row goes out in one write of the whole line as soon as its
// job has ended, so a crash loses at most the rows of the jobs still running. Several
// workers may append to one log at once.
#pragma once

#include <QDateTime>
#include <filesystem>
#include <mutex>
#include <string>

#include "RadioImage.h"
#include "Result.h"

inline constexpr char kJobLogHeader[] =
    "time,port,type,radio_id,ptt_id,file,image_sha256,backup,result,seconds";

struct JobRecord {
    QDateTime time;           // when the job started
    std::string port;         // as the user named it: "COM1" or "/dev/ttyUSB0"
    std::string type;         // the radio's type as read, empty when it was not read
    std::string radioId;      // the identification bytes the radio sent, in hex
    std::string pttId;        // the ID the job gave the radio; empty without a sequence
    std::string file;         // the document's path
    std::string imageSha256;  // of the 1024 bytes sent
    std::string backup;       // the before-write backup's path, empty without one
    std::string result;       // "ok", or the failing stage and its message
    double seconds = 0;       // the job's wall time
};

// The time as the log writes it: ISO 8601, local, with its offset ("2026-12-07T07:13:05+01:00").
std::string LogTime(const QDateTime& time);

// The hex SHA-256 of the whole image.
std::string ImageSha256(const RadioImage& image);

// The default log: jobs.csv in the data folder, beside the backups.
std::filesystem::path DefaultJobLogPath();

class CJobLog {
public:
    explicit CJobLog(std::filesystem::path path) : m_path(std::move(path)) {}

    const std::filesystem::path& Path() const { return m_path; }

    // Checks that the log can be appended to (creating it with its header when it is new),
    // before any radio is touched.
    Result<> Open();
    // Appends the record's row (and the header first if the file is empty).
    Result<> Append(const JobRecord& record);

private:
    Result<> AppendLine(const std::string& line);

    std::filesystem::path m_path;
    std::mutex m_mutex;
};
