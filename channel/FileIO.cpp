// The parts of the file functions every system shares; the rest is in FileIOPosix.cpp and
// FileIOWin.cpp.
#include "FileIO.h"
#include "FileIOParts.h"

std::string QuotedPath(const std::filesystem::path& path) {
    // UTF-8 whatever the system names files in, as every message is.
    const std::u8string name = path.u8string();
    std::string quoted(name.begin(), name.end());
    quoted.insert(quoted.begin(), '"');
    quoted.push_back('"');
    return quoted;
}

std::string CannotPrefix(std::string_view verb, const std::filesystem::path& path) {
    std::string prefix(verb);
    prefix.append(" ").append(QuotedPath(path)).append(": ");
    return prefix;
}
