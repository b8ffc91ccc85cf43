// The channel data file (*.sin): exactly the 1024 image bytes in address order, with no
// header, signature or checksum.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "RadioImage.h"

inline constexpr std::string_view kSinExtension = ".sin";
inline constexpr std::string_view kSinFilter = "Channel Data (*.sin)";

struct FileResult {
    bool ok = true;
    std::string message;  // why it failed, naming the file; empty on success

    explicit operator bool() const { return ok; }
    static FileResult Failure(std::string why) { return {false, std::move(why)}; }
};

// Loads the first 1024 bytes of the file into image. A file shorter than that, or one that
// cannot be read, is refused with a message and leaves image exactly as it was.
FileResult LoadSinFile(const std::filesystem::path& path, RadioImage& image);

// Writes the 1024 bytes. The file is written beside its final place and then renamed over
// it, so a failed save leaves an existing file as it was.
FileResult SaveSinFile(const std::filesystem::path& path, const RadioImage& image);
