#include "ProgramSettings.h"

QSettings ProgramSettings() {
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"),
                     QStringLiteral("KV_II"));
}
