// The settings file both programs share (the port map, the recent files, the write options):
// ~/.config/Local AppWizard-Generated Applications/KV_II.conf, named as the program has
// always named it.
#pragma once

#include <QSettings>

QSettings ProgramSettings();
