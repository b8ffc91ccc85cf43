// The settings file both programs share (the port map, the recent files, the write steps):
// "Local AppWizard-Generated Applications/KV_II.conf", named as the program has always named
// it, in the user's configuration folder: ~/.config on Linux, AppData\Local on Windows.
#pragma once

#include <QSettings>

QSettings ProgramSettings();

// The steps of the desktop program's write around the write itself, remembered in the
// settings file; both on until the user turns them off.
enum class WriteStep { BackUp, Verify };
bool WriteStepOn(WriteStep step);
void SetWriteStepOn(WriteStep step, bool on);
