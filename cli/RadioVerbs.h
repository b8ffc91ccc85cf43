// The radio verbs of kvprog-cli: read and write. Each takes the words after the verb and
// returns the process exit code.
#pragma once

#include "FileVerbs.h"

int RunRead(const Args& args);
int RunWrite(const Args& args);
