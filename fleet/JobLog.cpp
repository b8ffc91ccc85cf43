#include "JobLog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "Backups.h"
#include "Csv.h"
#include "FileIO.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

// Writes all of text to fd; false with errno set when a write fails.
bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

}  // namespace

std::string LogTime(const QDateTime& time) {
    // The offset always as +HH:MM, also where it is zero (Qt would write "Z").
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    char zone[16];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString() + zone;
}

std::string ImageSha256(const RadioImage& image) {
    const QByteArray bytes(reinterpret_cast<const char*>(image.data()),
                           static_cast<qsizetype>(RadioImage::size()));
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

std::filesystem::path DefaultJobLogPath() {
    const std::filesystem::path backups = BackupFolder().toStdString();
    return backups.parent_path() / "jobs.csv";
}

Result<> CJobLog::Open() {
    return AppendLine({});
}

Result<> CJobLog::Append(const JobRecord& record) {
    const std::string row = CsvLine({LogTime(record.time), record.port, record.type, record.radioId,
                                     record.pttId, record.file, record.imageSha256, record.backup,
                                     record.result, Seconds(record.seconds)});
    return AppendLine(row);
}

// Appends line (a whole CSV line, or nothing), putting the header in front when the file is
// empty.
Result<> CJobLog::AppendLine(const std::string& line) {
    const std::lock_guard lock(m_mutex);
    int fd = -1;
    if (Result<> opened = OpenForAppending(m_path, fd); !opened) {
        return opened;
    }
    struct stat status {};
    std::string text = line;
    if (::fstat(fd, &status) == 0 && status.st_size == 0) {
        text = std::string(kJobLogHeader) + kLineEnd + line;  // the header is all names
    }
    const bool wrote = WriteAll(fd, text);
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    if (!wrote || !closed) {
        return Failure("Cannot write " + QuotedPath(m_path) + ": " +
                       SystemReason(wrote ? errno : error));
    }
    return {};
}
