// The files of Windows: wide-character paths throughout, a save replaced in one step with
// write-through, the read-only attribute refusing a save, and a lock byte beyond any file's
// end standing for the advisory lock.
#include <windows.h>

#include <cerrno>
#include <string>

#include "FileIO.h"
#include "FileIOParts.h"

namespace {

// The system's reason in fixed English, whatever language Windows speaks.
std::string WinReason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "the file or its folder does not exist";
        case ERROR_ACCESS_DENIED:
            return "permission denied";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "another program has it open";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "the disk is full";
        case ERROR_WRITE_PROTECT:
            return "the disk is read-only";
        case ERROR_FILENAME_EXCED_RANGE:
            return "the name is too long";
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return "the name is not allowed here";
        case ERROR_DIRECTORY:
            return "a part of the path is not a folder";
        default:
            return "system error " + std::to_string(error);
    }
}

std::string Failed(std::string_view verb, const std::filesystem::path& path, DWORD error) {
    return CannotPrefix(verb, path) + WinReason(error) + ".";
}

// Closes a handle on every way out.
class CHandle {
public:
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle) {
        Close();
        m_handle = handle;
    }
    HANDLE Release() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }
    bool Close() {
        const bool closed = !valid() || ::CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

// Why what is at path is no file to read or write, or empty when it is one (or is missing).
std::string NotAFile(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return "it is a folder, not a file";
    }
    return {};
}

std::string NotADisk(HANDLE handle) {
    switch (::GetFileType(handle)) {
        case FILE_TYPE_DISK:
            return {};
        case FILE_TYPE_PIPE:
            return "it is a pipe, not a file";
        case FILE_TYPE_CHAR:
            return "it is a device, not a file";
        default:
            return "it is not a regular file";
    }
}

// Opens the regular file at path, shared with other readers and writers as files are on
// other systems; a folder, a pipe or a device is refused without waiting for it.
Result<> OpenRegular(const std::filesystem::path& path, DWORD access, DWORD disposition,
                     std::string_view verb, CHandle& file) {
    if (std::string why = NotAFile(path); !why.empty()) {
        return Failure(CannotPrefix(verb, path) + why + ".");
    }
    CHandle opened(::CreateFileW(path.c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!opened.valid()) {
        return Failure(Failed(verb, path, ::GetLastError()));
    }
    if (std::string why = NotADisk(opened.get()); !why.empty()) {
        return Failure(CannotPrefix(verb, path) + why + ".");
    }
    file.Reset(opened.Release());
    return {};
}

bool WriteFully(HANDLE handle, const void* data, std::size_t size, OVERLAPPED* at = nullptr) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD wrote = 0;
        if (!::WriteFile(handle, bytes + done, chunk, &wrote, at) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

// Where a save really lands: a link is followed, so saving through it updates its target.
std::filesystem::path SaveTarget(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto target = std::filesystem::weakly_canonical(path, ec);
        if (!ec) {
            return target;
        }
    }
    return path;
}

// A short name in the target's folder that no file has yet, created empty.
HANDLE CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temp) {
    const std::filesystem::path folder = target.parent_path();
    const DWORD seed = ::GetCurrentProcessId() ^ ::GetTickCount();
    for (DWORD n = 0; n < 100; ++n) {
        temp = folder / (L".kvprog-" + std::to_wstring(seed + n * 7919u) + L".tmp");
        const HANDLE handle = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return handle;
        }
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

std::string SystemReason(int error) {
    switch (error) {
        case ENOSPC:
            return "the disk is full";
        case EACCES:
            return "permission denied";
        case EIO:
            return "input/output error";
        default:
            return "system error " + std::to_string(error);
    }
}

Result<> ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                         std::vector<std::uint8_t>& bytes, std::uintmax_t* size,
                         std::string_view verb) {
    CHandle file(INVALID_HANDLE_VALUE);
    if (Result<> opened = OpenRegular(path, GENERIC_READ, OPEN_EXISTING, verb, file); !opened) {
        return opened;
    }
    LARGE_INTEGER whole{};
    if (!::GetFileSizeEx(file.get(), &whole)) {
        return Failure(Failed(verb, path, ::GetLastError()));
    }
    if (size) {
        *size = static_cast<std::uintmax_t>(whole.QuadPart);
    }
    const std::size_t wanted =
        std::min<std::uintmax_t>(maxBytes, static_cast<std::uintmax_t>(whole.QuadPart));
    bytes.assign(wanted, 0);
    std::size_t done = 0;
    while (done < wanted) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wanted - done, 1u << 30));
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) {
            return Failure(Failed(verb, path, ::GetLastError()));
        }
        if (got == 0) {
            break;  // the file shrank while it was read
        }
        done += got;
    }
    bytes.resize(done);
    return {};
}

int FolderSyncError(const std::filesystem::path&) {
    // A replacement is written through (MOVEFILE_WRITE_THROUGH): its folder entry is on the
    // disk when the move returns.
    return 0;
}

Result<> WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                             std::string_view verb) {
    const std::filesystem::path target = SaveTarget(path);
    if (std::string why = NotAFile(target); !why.empty()) {
        return Failure(CannotPrefix(verb, path) + why + ".");
    }
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return Failure(CannotPrefix(verb, path) + "it is read-only.");
    }
    std::filesystem::path temp;
    CHandle file(CreateTemporaryBeside(target, temp));
    if (!file.valid()) {
        return Failure(Failed(verb, path, ::GetLastError()));
    }
    const auto fail = [&](DWORD error) {
        file.Close();
        ::DeleteFileW(temp.c_str());
        return Failure(Failed(verb, path, error));
    };
    if (!WriteFully(file.get(), bytes.data(), bytes.size()) || !::FlushFileBuffers(file.get())) {
        return fail(::GetLastError());
    }
    if (!file.Close()) {
        return fail(::GetLastError());
    }
    if (!::MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return fail(::GetLastError());
    }
    return {};
}

CAppendFile::~CAppendFile() {
    Close();
}

Result<> CAppendFile::Open(const std::filesystem::path& path, std::string_view verb) {
    Close();
    CHandle file(INVALID_HANDLE_VALUE);
    if (Result<> opened = OpenRegular(path, GENERIC_WRITE, OPEN_ALWAYS, verb, file); !opened) {
        return opened;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file.Release());
    m_path = path;
    return {};
}

// The lock is one byte far beyond any file's end: Windows locks keep every other handle,
// the program's own included, from the bytes they cover, so the file's own bytes stay free
// to read while the byte says who holds the log.
bool CAppendFile::TryLock() {
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFE;
    at.OffsetHigh = 0x7FFFFFFF;
    return IsOpen() &&
           ::LockFileEx(reinterpret_cast<HANDLE>(m_handle),
                        LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

bool CAppendFile::Append(std::string_view text) {
    // Offsets of all ones write at the end of the file, whatever another handle appended.
    OVERLAPPED end{};
    end.Offset = 0xFFFFFFFF;
    end.OffsetHigh = 0xFFFFFFFF;
    return IsOpen() &&
           WriteFully(reinterpret_cast<HANDLE>(m_handle), text.data(), text.size(), &end);
}

Result<> CAppendFile::AppendWhole(std::string_view text) {
    const HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    LARGE_INTEGER before{};
    if (!IsOpen() || !::GetFileSizeEx(handle, &before)) {
        return Failure(CannotPrefix("Cannot write", m_path) +
                       WinReason(IsOpen() ? ::GetLastError() : ERROR_INVALID_HANDLE));
    }
    if (!Append(text) || !::FlushFileBuffers(handle)) {
        const DWORD error = ::GetLastError();
        if (!::SetFilePointerEx(handle, before, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle)) {
            return Failure(CannotPrefix("Cannot write", m_path) + WinReason(error) +
                           "; the last row may be incomplete");
        }
        return Failure(CannotPrefix("Cannot write", m_path) + WinReason(error));
    }
    return {};
}

void CAppendFile::Close() {
    if (IsOpen()) {
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));  // also lets the lock go
        m_handle = kClosed;
    }
}

void RemoveFile(const std::filesystem::path& path) {
    ::DeleteFileW(path.c_str());
}

Result<> CreateNewFile(const std::filesystem::path& path, bool& existed, std::string_view verb) {
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = ::GetLastError();
    existed = handle == INVALID_HANDLE_VALUE && error == ERROR_FILE_EXISTS;
    if (handle == INVALID_HANDLE_VALUE) {
        return Failure(Failed(verb, path, error));
    }
    ::CloseHandle(handle);
    return {};
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto identity = [](const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION& info) {
        CHandle file(::CreateFileW(path.c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file.valid() && ::GetFileInformationByHandle(file.get(), &info) != 0;
    };
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return identity(a, first) && identity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}
