#include "ProgramSettings.h"

#include <QStandardPaths>

namespace {

QString WriteStepKey(WriteStep step) {
    return step == WriteStep::BackUp ? QStringLiteral("Write/BackUpBeforeWriting")
                                     : QStringLiteral("Write/VerifyAfterWriting");
}

}  // namespace

QSettings ProgramSettings() {
    // A file named by its path, the same text format on every system: where Linux keeps its
    // settings file anyway, and on Windows in the user's local application data (beside the
    // backups), not the registry.
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Local AppWizard-Generated Applications/KV_II.conf"),
                     QSettings::IniFormat);
}

bool WriteStepOn(WriteStep step) {
    return ProgramSettings().value(WriteStepKey(step), true).toBool();
}

void SetWriteStepOn(WriteStep step, bool on) {
    ProgramSettings().setValue(WriteStepKey(step), on);
}
