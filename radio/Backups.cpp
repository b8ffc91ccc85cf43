#include "Backups.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <utility>
#include <vector>

#include "FileIO.h"

namespace {

constexpr mode_t kPrivateFolder = 0700;
// The moment a backup was taken, at the start of its name; it sorts as the time does.
const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");

QString KindFolder(const QString& root, BackupKind kind) {
    return HoldsWhatRadiosHeld(kind) ? root : root + QStringLiteral("/sent");
}

std::string Quoted(const QString& path) {
    return QuotedPath(PathFromUtf8(path.toStdString()));
}

// Makes the folder (and its parents) and keeps it private; false when it cannot be made.
// The entry of every folder made here is synced, so that a backup saved in it is not lost
// with its folder at a power cut.
bool MakePrivateFolder(const QString& folder) {
    QString existing = folder;
    while (!QFileInfo::exists(existing)) {
        existing = QFileInfo(existing).path();
    }
    if (!QDir().mkpath(folder)) {
        return false;
    }
    for (QString made = folder; made != existing; made = QFileInfo(made).path()) {
        if (FolderSyncError(PathFromUtf8(QFileInfo(made).path().toStdString())) != 0) {
            return false;
        }
    }
    // A folder made by an earlier version may be open to everyone: tighten it.
    ::chmod(QFile::encodeName(folder).constData(), kPrivateFolder);
    return true;
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

QString Stamp(const QDateTime& when) {
    return when.toString(kStampFormat);
}

// The same-second number the next backup of this name starts from: one above the highest
// taken, so that the numbers keep the order of the backups even after pruning.
int FirstFreeNumber(const QDir& folder, const BackupName& name) {
    int highest = 0;
    // Not a name filter: it is a regular expression too (see ParseBackupName).
    for (const QString& entry : folder.entryList(QDir::Files)) {
        if (!entry.startsWith(name.stamp)) {
            continue;
        }
        if (auto parsed = ParseBackupName(entry)) {
            const int sequence = std::exchange(parsed->sequence, name.sequence);
            if (*parsed == name) {
                highest = std::max(highest, sequence);
            }
        }
    }
    return highest + 1;
}

// Takes a free name by creating the file exclusively, so that no backup ever replaces
// another, not even one a second kvprog saves in the same second. Returns the path, or an
// empty string with the reason in why.
QString ReserveName(const QDir& folder, BackupName name, Result<>& why) {
    constexpr int kMaxSameSecond = 1000;
    const int first = FirstFreeNumber(folder, name);
    for (int n = first; n < first + kMaxSameSecond; ++n) {
        name.sequence = n;
        const QString path = folder.filePath(BackupFileName(name));
        bool existed = false;
        const Result<> created = CreateNewFile(PathFromUtf8(path.toStdString()), existed);
        if (created) {
            return path;
        }
        if (!existed) {
            why = created;
            return {};
        }
    }
    why = Failure("Cannot save a backup in " + Quoted(folder.path()) +
                  ": too many backups in one second.");
    return {};
}

// Deletes the oldest backups of the folder's kinds beyond keep, and for what radios held
// only those older than kBackupDays as well. The one just saved always stays, even when the
// clock has been put back since older ones were taken. A backup that cannot be deleted stays
// too: pruning only saves space.
// A production run adds a backup for every radio, and those of the last kBackupDays all
// stay, so the folder may hold tens of thousands. The names are therefore read one at a time,
// and the backups too young to go are only counted (they sort before every older one): the
// memory pruning takes does not grow with the folder.
void Prune(QDir folder, BackupKind kind, const QString& justSaved, const QDateTime& when,
           int keep) {
    const QString oldestKept =
        HoldsWhatRadiosHeld(kind) ? Stamp(when.addDays(-kBackupDays)) : QString();
    std::size_t young = 0;
    std::vector<BackupEntry> old;
    QDirIterator entries(folder.path(), QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QString name = entries.fileName();
        const auto parsed = ParseBackupName(name, kind);
        if (!parsed || name == justSaved) {
            continue;
        }
        if (!oldestKept.isEmpty() && parsed->stamp >= oldestKept) {
            ++young;
            continue;
        }
        old.push_back({name, parsed->stamp, parsed->sequence});
    }
    std::sort(old.begin(), old.end(), Newer);
    // The newest keep - 1 besides the one just saved stay, the young ones first among them.
    const std::size_t kept = static_cast<std::size_t>(std::max(keep - 1, 0));
    for (std::size_t i = kept > young ? kept - young : 0; i < old.size(); ++i) {
        folder.remove(old[i].name);
    }
}

}  // namespace

QString DataFolder() {
    // Not AppDataLocation: the desktop program and kvprog-cli set different application
    // names (or none), and both must find the same files.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kvprog");
}

QString BackupFolder() {
    return DataFolder() + QStringLiteral("/backups");
}

QDateTime BackupTakenAt(const QString& path) {
    // A backup's name starts with the moment it was taken; a copy the user renamed keeps it
    // as long as the name still starts with it.
    const QString name = QFileInfo(path).fileName();
    const QDateTime when = QDateTime::fromString(name.left(kStampFormat.size()), kStampFormat);
    return when.isValid() ? when : QFileInfo(path).lastModified();
}

bool EnsureBackupFolder() {
    return MakePrivateFolder(BackupFolder());
}

BackupSaved SaveBackup(const RadioImage& image, BackupKind kind, const BackupOrigin& origin) {
    return SaveBackupIn(BackupFolder(), image, kind, origin, QDateTime::currentDateTime());
}

BackupSaved SaveBackupIn(const QString& root, const RadioImage& image, BackupKind kind,
                         const BackupOrigin& origin, const QDateTime& when, int keep) {
    const QString folder = KindFolder(root, kind);
    if (!MakePrivateFolder(root) || !MakePrivateFolder(folder)) {
        return {Failure("Cannot create the backup folder " + Quoted(folder) + "."), {}};
    }
    QDir dir(folder);
    Result<> result;
    const QString path = ReserveName(dir, DescribeBackup(Stamp(when), kind, origin, image), result);
    if (path.isEmpty()) {
        return {result, {}};
    }
    result = SaveSinFile(PathFromUtf8(path.toStdString()), image);
    if (!result) {
        QFile::remove(path);
        return {result, {}};
    }
    Prune(dir, kind, QFileInfo(path).fileName(), when, keep);
    return {result, path};
}
