#include "ProgramSettings.h"

namespace {

QString WriteStepKey(WriteStep step) {
    return step == WriteStep::BackUp ? QStringLiteral("Write/BackUpBeforeWriting")
                                     : QStringLiteral("Write/VerifyAfterWriting");
}

}  // namespace

QSettings ProgramSettings() {
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"),
                     QStringLiteral("KV_II"));
}

bool WriteStepOn(WriteStep step) {
    return ProgramSettings().value(WriteStepKey(step), true).toBool();
}

void SetWriteStepOn(WriteStep step, bool on) {
    ProgramSettings().setValue(WriteStepKey(step), on);
}
