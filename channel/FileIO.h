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

// Replaces (or creates) the regular file at path with bytes, in one step, and returns only
// once the file and its folder's entry are on the disk (synced). A link is followed; a
// target that exists and is not a regular file (a folder, a device, a FIFO), or that the
// user may not write to ("it is read-only"), is refused rather than replaced. The new file
// keeps the old one's mode, and its owner and group as far as the process may.
Result<> WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                             std::string_view verb = "Cannot save");

// Puts the entries of folder (a file renamed or made in it) on the disk: 0, or the errno of
// the failure.
int FolderSyncError(const std::filesystem::path& folder);

// A file lines are appended to (a trace, the job log, its journal), open until Close or the
// destructor. Only a regular file is opened (a FIFO, a device or a folder is refused without
// waiting); a missing one is created, readable by the user alone.
class CAppendFile {
public:
    CAppendFile() = default;
    ~CAppendFile();
    CAppendFile(const CAppendFile&) = delete;
    CAppendFile& operator=(const CAppendFile&) = delete;

    Result<> Open(const std::filesystem::path& path, std::string_view verb = "Cannot write");
    bool IsOpen() const { return m_handle != kClosed; }
    // Takes the file for this process alone without waiting: false while another holds it.
    // The hold ends with Close.
    bool TryLock();
    // Appends text as it is; false when the system refused part of it.
    bool Append(std::string_view text);
    // Appends text whole and synced, or cuts the file back to where it was: a full disk must
    // not leave half a line for the next one to be glued onto.
    Result<> AppendWhole(std::string_view text);
    void Close();

private:
    static constexpr std::intptr_t kClosed = -1;
    std::filesystem::path m_path;
    std::intptr_t m_handle = kClosed;  // the system's descriptor of the open file
};

// Removes the file at path, if there is one.
void RemoveFile(const std::filesystem::path& path);

// Creates path as a new, empty regular file readable by the user alone, never replacing one
// that is there: a name is taken this way even against another program choosing it in the
// same moment. existed tells a name already taken apart from a failure with its reason.
Result<> CreateNewFile(const std::filesystem::path& path, bool& existed,
                       std::string_view verb = "Cannot save");

// Whether a and b are the same file (the same device and inode), whatever their names.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The system's reason for error (an errno value) in fixed English, whatever language the
// user's locale speaks: "the disk is full".
std::string SystemReason(int error);

// A path from its name in UTF-8 (as Qt's strings give it), and back: on every system, so
// that a file named in any script opens (Windows would read a plain narrow name in its
// code page).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8Of(const std::filesystem::path& path);

// "\"PATH\"", as every message names a file.
std::string QuotedPath(const std::filesystem::path& path);
