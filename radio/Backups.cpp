#include "Backups.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Only names of this form are backups; pruning never touches anything else.
const QRegularExpression& BackupNamePattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{8}-\d{6})(?:-(\d+))?-(?:read|write)\.sin$)"));
    return pattern;
}

QString KindWord(BackupKind kind) {
    return kind == BackupKind::Read ? QStringLiteral("read") : QStringLiteral("write");
}

std::string Quoted(const QString& path) {
    return QuotedPath(QFile::encodeName(path).toStdString());
}

// The moment a backup's name records, with the same-second number (1 for none).
struct BackupEntry {
    QString name;
    QString stamp;  // YYYYMMDD-HHMMSS sorts as the time does
    int sequence = 1;
};

bool Newer(const BackupEntry& a, const BackupEntry& b) {
    if (a.stamp != b.stamp) {
        return a.stamp > b.stamp;
    }
    if (a.sequence != b.sequence) {
        return a.sequence > b.sequence;
    }
    return a.name > b.name;
}

// The same-second number the next backup of this kind and second starts from: one above
// the highest taken, so that the numbers keep the order of the backups even after pruning.
int FirstFreeNumber(const QDir& folder, const QString& stamp, BackupKind kind) {
    const QString suffix = "-" + KindWord(kind) + ".sin";
    int highest = 0;
    for (const QString& name : folder.entryList({stamp + "*" + suffix}, QDir::Files)) {
        const QRegularExpressionMatch match = BackupNamePattern().match(name);
        if (match.hasMatch()) {
            const QString number = match.captured(2);
            highest = std::max(highest, number.isEmpty() ? 1 : number.toInt());
        }
    }
    return highest + 1;
}

// Takes a free name by creating the file exclusively, so that no backup ever replaces
// another, not even one a second kvprog saves in the same second. Returns the path, or an
// empty string with the reason in why.
QString ReserveName(const QDir& folder, const QString& stamp, BackupKind kind, Result<>& why) {
    constexpr int kMaxSameSecond = 1000;
    const int first = FirstFreeNumber(folder, stamp, kind);
    for (int n = first; n < first + kMaxSameSecond; ++n) {
        const QString number = n == 1 ? QString() : QStringLiteral("-%1").arg(n);
        const QString path = folder.filePath(stamp + number + "-" + KindWord(kind) + ".sin");
        const QByteArray encoded = QFile::encodeName(path);
        const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) {
            why = Failure("Cannot save " + Quoted(path) + ": " + std::strerror(errno) + ".");
            return {};
        }
    }
    why = Failure("Cannot save a backup in " + Quoted(folder.path()) +
                  ": too many backups in one second.");
    return {};
}

// Deletes the oldest backups beyond keep; the one just saved always stays, even when the
// clock has been put back since older ones were taken. A backup that cannot be deleted
// stays too: pruning only saves space.
void Prune(QDir folder, const QString& justSaved, int keep) {
    std::vector<BackupEntry> others;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = BackupNamePattern().match(name);
        if (!match.hasMatch() || name == justSaved) {
            continue;
        }
        const QString sequence = match.captured(2);
        others.push_back({name, match.captured(1), sequence.isEmpty() ? 1 : sequence.toInt()});
    }
    std::sort(others.begin(), others.end(), Newer);
    const std::size_t kept = static_cast<std::size_t>(std::max(keep - 1, 0));
    for (std::size_t i = kept; i < others.size(); ++i) {
        folder.remove(others[i].name);
    }
}

}  // namespace

QString BackupFolder() {
    // Not AppDataLocation: the desktop program and kvprog-cli set different application
    // names (or none), and both must find the same backups.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kvprog/backups");
}

bool EnsureBackupFolder() {
    return QDir().mkpath(BackupFolder());
}

Result<> SaveBackup(const RadioImage& image, BackupKind kind) {
    return SaveBackupIn(BackupFolder(), image, kind, QDateTime::currentDateTime()).result;
}

BackupSaved SaveBackupIn(const QString& folder, const RadioImage& image, BackupKind kind,
                         const QDateTime& when, int keep) {
    if (!QDir().mkpath(folder)) {
        return {Failure("Cannot create the backup folder " + Quoted(folder) + "."), {}};
    }
    QDir dir(folder);
    Result<> result;
    const QString path =
        ReserveName(dir, when.toString(QStringLiteral("yyyyMMdd-HHmmss")), kind, result);
    if (path.isEmpty()) {
        return {result, {}};
    }
    result = SaveSinFile(QFile::encodeName(path).toStdString(), image);
    if (!result) {
        QFile::remove(path);
        return {result, {}};
    }
    Prune(dir, QFileInfo(path).fileName(), keep);
    return {result, path};
}
