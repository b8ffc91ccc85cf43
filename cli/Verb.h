// What every verb of kvprog-cli shares: the words it is given, its exit codes, and the one way
// it reports a failure.
#pragma once

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

class QJsonObject;

inline constexpr int kExitOk = 0;
inline constexpr int kExitRadio = 1;
inline constexpr int kExitUsage = 2;  // bad usage or bad input

using Args = std::vector<std::string>;

// Writes "kvprog-cli: MESSAGE" to standard error; returns code.
inline int Fail(int code, std::string_view message) {
    std::cerr << "kvprog-cli: " << message << "\n";
    return code;
}

// Writes text to standard output and flushes it; a failure (a full disk, a closed pipe) is
// reported as "cannot write to standard output: REASON", and false comes back.
bool WriteStandardOutput(std::string_view text);

// What every verb's --json prints: object written by QJsonDocument, so always valid JSON,
// indented, ending in a newline. Texts go in through QString::fromStdString, which turns bytes
// that are not UTF-8 (a port's name can hold any) into U+FFFD.
std::string JsonOutput(const QJsonObject& object);

// The usage line of a verb: "usage: kvprog-cli " and its synopsis from the verb table.
inline std::string UsageText(std::string_view synopsis) {
    return "usage: kvprog-cli " + std::string(synopsis);
}
