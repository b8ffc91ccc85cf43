#include "RestoreQuestion.h"

#include <QFileInfo>
#include <QStringList>

#include "Backups.h"
#include "NewDocument.h"

namespace {

// The channels that have a frequency, in runs: "1-4, 7, 16 (6 of 16)", or "none".
QString ChannelsInUse(const RadioImage& image) {
    QStringList runs;
    int count = 0;
    for (int first = 1; first <= addr::kChannelCount; ++first) {
        if (!IsChannelInUse(image, first)) {
            continue;
        }
        int last = first;
        while (last < addr::kChannelCount && IsChannelInUse(image, last + 1)) {
            ++last;
        }
        runs << (last == first ? QString::number(first)
                               : QStringLiteral("%1-%2").arg(first).arg(last));
        count += last - first + 1;
        first = last;
    }
    if (runs.isEmpty()) {
        return QStringLiteral("none");
    }
    return QStringLiteral("%1 (%2 of %3)")
        .arg(runs.join(QStringLiteral(", ")))
        .arg(count)
        .arg(addr::kChannelCount);
}

// The port the backup's name records; earlier versions' names and other files record none.
QString PortOf(const QString& path) {
    const auto name = ParseBackupName(QFileInfo(path).fileName());
    return name && !name->port.isEmpty() ? name->port : QStringLiteral("not recorded");
}

}  // namespace

QString RestoreQuestion(const QString& path, const RadioImage& backup) {
    return QStringLiteral(
               "Write the backup of %1 (%2) to the radio?\n\n"
               "Radio type: %3\nChannels in use: %4\nPort: %5")
        .arg(BackupTakenAt(path).toString(QStringLiteral("d MMMM yyyy, HH:mm:ss")),
             QFileInfo(path).fileName(), QString::fromStdString(RadioTypeText(backup)),
             ChannelsInUse(backup), PortOf(path));
}
