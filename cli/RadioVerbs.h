// The radio verbs of kvprog-cli: read, write and restore. Each takes the words after the verb
// and its synopsis, and returns the process exit code. Other verbs read the radio through
// ReadRadio.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "RadioImage.h"
#include "Verb.h"

int RunRead(const Args& args, std::string_view synopsis);
int RunWrite(const Args& args, std::string_view synopsis);
int RunRestoreVerb(const Args& args, std::string_view synopsis);

// How a message tells the user to restore a backup written through port: "with kvprog-cli
// restore --port PORT \"PATH\"", for SafeWriteOptions::restoreHint.
std::string RestoreHint(const std::string& port, const std::string& backupPath);

// A full read of the radio on port into image, exactly as `read` runs it: progress and the
// radio's messages on the error stream, the read backup kept. Ctrl+C stops it under the
// caller's CInterruptGuard. True when the whole memory arrived.
bool ReadRadio(const std::string& port, int retries, RadioImage& image);
