// The file verbs of kvprog-cli: new, show, export, import. Each takes the words after the
// verb and returns the process exit code.
#pragma once

#include <string>
#include <vector>

inline constexpr int kExitOk = 0;
inline constexpr int kExitRadio = 1;
inline constexpr int kExitUsage = 2;  // bad usage or bad input

using Args = std::vector<std::string>;

int RunNew(const Args& args);
int RunShow(const Args& args);
int RunExport(const Args& args);
int RunImport(const Args& args);
