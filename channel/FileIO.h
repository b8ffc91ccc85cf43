// Reading and writing the program's files safely: only regular files are read (a FIFO or a
// device is refused instead of blocking or streaming forever), reads are bounded, and a
// write lands in one step (a temporary file beside the target, then a rename), so a failed
// write leaves the old file as it was. Messages name the file and give the reason in fixed
// English.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Result.h"

// Reads at most maxBytes of a regular file into bytes; *size (when given) receives the
// file's whole size. verb is the start of a failure message ("Cannot open").
Result<> ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                         std::vector<std::uint8_t>& bytes, std::uintmax_t* size,
                         std::string_view verb = "Cannot open");

// Replaces (or creates) the regular file at path with bytes, in one step. A link is
// followed; a target that exists and is not a regular file (a folder, a device, a FIFO) is
// refused rather than replaced.
Result<> WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                             std::string_view verb = "Cannot save");

// "\"PATH\"", as every message names a file.
std::string QuotedPath(const std::filesystem::path& path);
