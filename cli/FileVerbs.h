// The file verbs of kvprog-cli: new, show, export, import. Each takes the words after the
// verb and its synopsis, and returns the process exit code.
#pragma once

#include <string_view>

#include "Verb.h"

int RunNew(const Args& args, std::string_view synopsis);
int RunShow(const Args& args, std::string_view synopsis);
int RunExport(const Args& args, std::string_view synopsis);
int RunImport(const Args& args, std::string_view synopsis);
