#include "SinFile.h"

#include <algorithm>

Result<> LoadSinFile(const std::filesystem::path& path, RadioImage& image) {
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    if (Result<> read = ReadRegularFile(path, RadioImage::size(), bytes, &size); !read) {
        return read;
    }
    if (bytes.size() < RadioImage::size()) {
        return Failure("Cannot open " + QuotedPath(path) + ": it holds " + std::to_string(size) +
                       (size == 1 ? " byte" : " bytes") + "; a channel data file holds 1024.");
    }
    RadioImage::Bytes loaded{};
    std::copy(bytes.begin(), bytes.end(), loaded.begin());
    image = RadioImage(loaded);
    return {};
}

Result<> SaveSinFile(const std::filesystem::path& path, const RadioImage& image) {
    return WriteFileAtomically(path, std::span(image.data(), image.size()));
}
