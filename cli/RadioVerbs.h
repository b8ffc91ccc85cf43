// The radio verbs of kvprog-cli: read and write. Each takes the words after the verb and its
// synopsis, and returns the process exit code.
#pragma once

#include <string_view>

#include "Verb.h"

int RunRead(const Args& args, std::string_view synopsis);
int RunWrite(const Args& args, std::string_view synopsis);
