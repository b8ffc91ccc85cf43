// The question Restore Radio From Backup asks before anything is sent: which backup, and what
// it holds, so that the right one of many is written.
#pragma once

#include <QString>

#include "RadioImage.h"

// "Write the backup of 5 March 2024, 14:15:02 (NAME) to the radio?" and below it the radio
// type, the channels in use and the port the backup was taken on, from the backup at path
// whose bytes are backup.
QString RestoreQuestion(const QString& path, const RadioImage& backup);
