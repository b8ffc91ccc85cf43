// The radio verbs of kvprog-cli: read and write. Each takes the words after the verb and its
// synopsis, and returns the process exit code. Other verbs read the radio through ReadRadio.
#pragma once

#include <string>
#include <string_view>

#include "RadioImage.h"
#include "Verb.h"

int RunRead(const Args& args, std::string_view synopsis);
int RunWrite(const Args& args, std::string_view synopsis);

// A full read of the radio on port into image, exactly as `read` runs it: progress and the
// radio's messages on the error stream, the read backup kept. Ctrl+C stops it under the
// caller's CInterruptGuard. True when the whole memory arrived.
bool ReadRadio(const std::string& port, int retries, RadioImage& image);
