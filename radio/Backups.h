// Automatic backups of the radio's memory: every complete read keeps what the radio held and
// every write keeps what is about to be sent, so an unwanted write or a lost file can be
// undone by writing a backup back.
//
// The files sit in <user data folder>/kvprog/backups (QStandardPaths::GenericDataLocation,
// usually ~/.local/share, or $XDG_DATA_HOME), the same folder for kvprog and kvprog-cli
// whatever application name either sets. They are named after the local time,
// YYYYMMDD-HHMMSS-read.sin or YYYYMMDD-HHMMSS-write.sin; a second backup of the same kind in
// the same second gets -2, -3 ... before the kind. Only the newest kBackupsKept such files
// are kept; any other file in the folder is left alone.
#pragma once

#include <QDateTime>
#include <QString>

#include "RadioImage.h"
#include "SinFile.h"

enum class BackupKind { Read, Write };

inline constexpr int kBackupsKept = 200;

// The folder the backups go to (it may not exist yet).
QString BackupFolder();

// Creates the backup folder when it is missing; false when it cannot be created.
bool EnsureBackupFolder();

// Saves image as a backup of the given kind taken now, then prunes the folder to the newest
// kBackupsKept backups. The message of a failure names the file or folder and the reason.
Result<> SaveBackup(const RadioImage& image, BackupKind kind);

// SaveBackup with the folder, the time stamp and the number kept given.
struct BackupSaved {
    Result<> result;
    QString path;  // the file written; empty on failure
};
BackupSaved SaveBackupIn(const QString& folder, const RadioImage& image, BackupKind kind,
                         const QDateTime& when, int keep = kBackupsKept);
