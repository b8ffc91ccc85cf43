// The channel data file (*.sin): exactly the 1024 image bytes in address order, with no
// header, signature or checksum.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "FileIO.h"
#include "RadioImage.h"

// The file dialogs' filter for channel data files, and the suffix a typed name gets.
inline constexpr std::string_view kSinFilter = "Channel Data (*.sin)";
inline constexpr std::string_view kSinSuffix = "sin";

// Loads the first 1024 bytes of the file into image. A file shorter than that, or one that
// cannot be read, is refused with a message and leaves image exactly as it was.
Result<> LoadSinFile(const std::filesystem::path& path, RadioImage& image);

// Writes the 1024 bytes. The file is written beside its final place and then renamed over
// it, so a failed save leaves an existing file as it was.
Result<> SaveSinFile(const std::filesystem::path& path, const RadioImage& image);
