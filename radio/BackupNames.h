// The names of the backups of the radio's memory: what a person tells them apart by, and what
// the program reads back from them to prune and date them.
//
// A name is STAMP[-N]-PORT-TYPE[-FILE]-KIND.sin:
//   STAMP  the local time it was taken, YYYYMMDD-HHMMSS (it sorts as the time does);
//   N      2, 3 ... for another backup of the same name in the same second;
//   PORT   the port as the user chose it ("COM1", "DEMO"), or a device's last name
//          ("ttyUSB0", "pts3"): no dash, never all digits, so it is never taken for N;
//   TYPE   the radio type the memory is for ("T520", "T310X"), or its model code;
//   FILE   the file being written, for a before-write backup and a copy of what was sent
//          (a backup being written back: "backup STAMP");
//   KIND   "read", "before-write" or "write".
// For example 20261207-193626-COM1-T520-Fire brigade-before-write.sin. Earlier versions
// named them STAMP[-N]-KIND.sin; those are still backups, pruned and dated as before.
//
// The kind comes last so that a backup renamed by appending to its name ("... keep") is no
// backup any more and never pruned. Every name is one Windows takes too: no < > : " / \ | ?
// * or control character, no trailing dot or space, never a reserved name (it starts with
// digits), and at most kMaxBackupNameLength characters.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "RadioImage.h"

enum class BackupKind {
    Read,         // a complete read
    BeforeWrite,  // the radio's memory, read just before a write
    Sent,         // the image a write sent
};

// What a backup came from, for its name.
struct BackupOrigin {
    std::string port;  // as the program names it: "COM1", "/dev/ttyUSB0", "DEMO"
    std::string file;  // what a write sent ("Fire brigade.sin", a path); empty for a read
};

// The longest name (with a same-second number below 10000).
inline constexpr qsizetype kMaxBackupNameLength = 110;

// A backup's name taken apart.
struct BackupName {
    QString stamp;     // "20261207-193626"
    int sequence = 1;  // the same-second number, 1 when the name has none
    BackupKind kind = BackupKind::Read;
    QString port;  // "COM1"; empty in an earlier version's name
    QString type;  // "T520"; empty in an earlier version's name
    QString file;  // "Fire brigade"; empty for none

    friend bool operator==(const BackupName&, const BackupName&) = default;
};

// True when the kind's backups sit in the main folder (what radios held), false for the
// folder "sent".
bool HoldsWhatRadiosHeld(BackupKind kind);

// The parts of the name of a backup of image taken at stamp (sequence 1): the port and file
// made short and portable, the type read from the image.
BackupName DescribeBackup(const QString& stamp, BackupKind kind, const BackupOrigin& origin,
                          const RadioImage& image);

// The file name of those parts.
QString BackupFileName(const BackupName& name);

// The parts of a backup's name, wherever it lies; none for a name that is no backup's. Read
// by hand, not with a regular expression: the fleet's worker threads back up radios, and the
// expression's per-thread stack, freed as a worker ends, crashed the Windows build under
// wine (in pcre2_jit_stack_free, every few runs of the fleet's tests).
std::optional<BackupName> ParseBackupName(const QString& name);

// ParseBackupName of a name in the folder of folderKind: only its kinds (read and
// before-write, or write) are backups there.
std::optional<BackupName> ParseBackupName(const QString& name, BackupKind folderKind);
