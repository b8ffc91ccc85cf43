// Automatic backups of the radio's memory. Two kinds are kept apart:
//
// - what a radio held: every complete read, and the read a safe write takes before it
//   writes. These are what undoes an unwanted write, so they are never pruned by their
//   number alone: a backup goes only once it is older than kBackupDays days AND kBackupsKept
//   newer ones of these kinds exist.
// - copies of what was sent to a radio: only the newest kBackupsKept are kept. No copy is
//   made for an attempt that never opened the port.
//
// The files sit in <user data folder>/kvprog/backups (QStandardPaths::GenericDataLocation,
// usually ~/.local/share, or $XDG_DATA_HOME), the copies of what was sent in its folder
// "sent"; the same folders for kvprog and kvprog-cli whatever application name either sets.
// They are named after the local time, the port, the radio type, the file written and the
// kind (BackupNames.h): 20261207-193626-COM1-T520-read.sin,
// 20261207-193626-COM1-T520-Fire brigade-before-write.sin and
// sent/20261207-193626-COM1-T520-Fire brigade-write.sin. The folders are private to the user
// (0700) and so are the files (0600): they hold radio configurations. Files of other names
// are never touched.
#pragma once

#include <QDateTime>
#include <QString>

#include "BackupNames.h"
#include "RadioImage.h"
#include "SinFile.h"

inline constexpr int kBackupsKept = 200;
inline constexpr int kBackupDays = 90;

// <user data folder>/kvprog, the program's own files' folder (it may not exist yet).
QString DataFolder();

// The folder of what radios held (it may not exist yet); the copies of what was sent are
// in its folder "sent".
QString BackupFolder();

// The moment a backup was taken: the local time its name records, else its file's time.
QDateTime BackupTakenAt(const QString& path);

// Creates the backup folder when it is missing; false when it cannot be created.
bool EnsureBackupFolder();

// Saves image as a backup of the given kind taken now, named after where it came from, then
// prunes that kind's folder. The message of a failure names the file or folder and the
// reason.
struct BackupSaved {
    Result<> result;
    QString path;  // the file written; empty on failure
};
BackupSaved SaveBackup(const RadioImage& image, BackupKind kind, const BackupOrigin& origin);

// SaveBackup in the backup folder root, at the time when, keeping at least keep backups of
// the kind's folder (and, for what radios held, every one younger than kBackupDays).
BackupSaved SaveBackupIn(const QString& root, const RadioImage& image, BackupKind kind,
                         const BackupOrigin& origin, const QDateTime& when,
                         int keep = kBackupsKept);
