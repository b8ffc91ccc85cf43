// The file verbs of kvprog-cli: new, show, export, import. Each takes the words after the
// verb and its synopsis, and returns the process exit code.
#pragma once

#include <string>
#include <string_view>

#include "RadioImage.h"
#include "Verb.h"

int RunNew(const Args& args, std::string_view synopsis);
int RunShow(const Args& args, std::string_view synopsis);
int RunExport(const Args& args, std::string_view synopsis);
int RunImport(const Args& args, std::string_view synopsis);

// Loads a channel data file; a failure is reported on the error stream. True when loaded.
bool LoadOrReport(const std::string& path, RadioImage& image);
