// The parts of the file functions every system shares; the rest is in FileIOPosix.cpp and
// FileIOWin.cpp.
#include "FileIO.h"
#include "FileIOParts.h"

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

std::string QuotedPath(const std::filesystem::path& path) {
    // UTF-8 whatever the system names files in, as every message is.
    std::string quoted = Utf8Of(path);
    quoted.insert(quoted.begin(), '"');
    quoted.push_back('"');
    return quoted;
}

std::string CannotPrefix(std::string_view verb, const std::filesystem::path& path) {
    std::string prefix(verb);
    prefix.append(" ").append(QuotedPath(path)).append(": ");
    return prefix;
}
