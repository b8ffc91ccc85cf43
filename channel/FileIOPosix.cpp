// The files of a POSIX system: descriptors, modes and owners, fsync of files and folders.
#include "FileIO.h"
#include "FileIOParts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace {
std::string Reason(int error);
}  // namespace

std::string SystemReason(int error) {
    return Reason(error);
}

namespace {

// The system's reason in fixed English, whatever language the user's locale speaks.
std::string Reason(int error) {
    switch (error) {
        case ENOENT:
            return "the file or its folder does not exist";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EISDIR:
            return "it is a folder, not a file";
        case ENOSPC:
            return "the disk is full";
        case EDQUOT:
            return "the disk quota is used up";
        case EROFS:
            return "the disk is read-only";
        case ENOTDIR:
            return "a part of the path is not a folder";
        case ENAMETOOLONG:
            return "the name is too long";
        case ELOOP:
            return "too many levels of symbolic links";
        case EFBIG:
            return "the file would be too large";
        case EIO:
            return "input/output error";
        default:
            return "system error " + std::to_string(error);
    }
}

std::string NotRegular(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        return Reason(EISDIR);
    }
    if (S_ISFIFO(st.st_mode)) {
        return "it is a pipe, not a file";
    }
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
        return "it is a device, not a file";
    }
    return "it is not a regular file";
}

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Hands the descriptor over; it is no longer closed here.
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes now and reports whether the close succeeded (write errors can surface here).
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteFully(int fd, const std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
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

// The mode the saved file gets: the existing file's, or what a new file would get.
mode_t SaveMode(const struct stat* existing) {
    if (existing) {
        return existing->st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

Result<> ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                         std::vector<std::uint8_t>& bytes, std::uintmax_t* size,
                         std::string_view verb) {
    const std::string cannot = CannotPrefix(verb, path);
    // Non-blocking, so that opening a FIFO does not wait for a writer; it is refused below.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        return Failure(cannot + Reason(errno) + ".");
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return Failure(cannot + Reason(errno) + ".");
    }
    if (!S_ISREG(st.st_mode)) {
        return Failure(cannot + NotRegular(st) + ".");
    }
    if (size) {
        *size = static_cast<std::uintmax_t>(st.st_size);
    }
    const std::size_t wanted =
        std::min<std::uintmax_t>(maxBytes, static_cast<std::uintmax_t>(st.st_size));
    bytes.assign(wanted, 0);
    std::size_t done = 0;
    while (done < wanted) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, wanted - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Failure(cannot + Reason(errno) + ".");
        }
        if (n == 0) {
            break;  // the file shrank while it was read
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return {};
}

int FolderSyncError(const std::filesystem::path& folder) {
    Descriptor fd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        return errno;
    }
    // A file system that cannot sync a folder (EINVAL) keeps its entries its own way.
    if (::fsync(fd.get()) != 0 && errno != EINVAL) {
        return errno;
    }
    return 0;
}

// Gives the new file the owner and group of the one it replaces, as far as the process may
// (root may give both, an owner its own groups); a file it may not give them to is still
// saved, as the user's own.
void KeepOwner(int fd, const struct stat& replaced) {
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
        (void)::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
    }
}

Result<> WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                             std::string_view verb) {
    const std::string cannot = CannotPrefix(verb, path);
    const std::filesystem::path target = SaveTarget(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        return Failure(cannot + NotRegular(st) + ".");
    }
    // The rename below would replace a file the user may not write to; such a file is kept.
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        return Failure(cannot + (errno == EACCES ? "it is read-only" : Reason(errno)) + ".");
    }
    const mode_t mode = SaveMode(exists ? &st : nullptr);
    // A short name in the same folder: the rename stays on one file system, and a target
    // whose name is as long as names may be can still be saved.
    std::string temp = (target.parent_path() / ".kvprog-XXXXXX").string();
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        return Failure(cannot + Reason(errno) + ".");
    }
    auto fail = [&](int error) {
        ::unlink(temp.c_str());
        return Failure(cannot + Reason(error) + ".");
    };
    if (exists) {
        KeepOwner(fd.get(), st);
    }
    if (::fchmod(fd.get(), mode) != 0 || !WriteFully(fd.get(), bytes.data(), bytes.size()) ||
        ::fsync(fd.get()) != 0) {
        return fail(errno);
    }
    if (!fd.Close()) {
        return fail(errno);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    // The rename is durable only once the folder's entry is on the disk as well.
    if (const int error = FolderSyncError(target.parent_path()); error != 0) {
        return Failure(cannot + Reason(error) + ".");
    }
    return {};
}

CAppendFile::~CAppendFile() {
    Close();
}

Result<> CAppendFile::Open(const std::filesystem::path& path, std::string_view verb) {
    Close();
    const std::string cannot = CannotPrefix(verb, path);
    // Non-blocking, so that a FIFO cannot hold the program up; it is refused below. A new
    // file is the user's alone.
    Descriptor opened(
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600));
    if (opened.get() < 0) {
        return Failure(cannot + (errno == ENXIO ? "it is a pipe, not a file" : Reason(errno)) +
                       ".");
    }
    struct stat st {};
    if (::fstat(opened.get(), &st) != 0) {
        return Failure(cannot + Reason(errno) + ".");
    }
    if (!S_ISREG(st.st_mode)) {
        return Failure(cannot + NotRegular(st) + ".");
    }
    ::fcntl(opened.get(), F_SETFL, O_WRONLY | O_APPEND);
    m_handle = opened.Release();
    m_path = path;
    return {};
}

bool CAppendFile::TryLock() {
    return IsOpen() && ::flock(static_cast<int>(m_handle), LOCK_EX | LOCK_NB) == 0;
}

bool CAppendFile::Append(std::string_view text) {
    return IsOpen() && WriteFully(static_cast<int>(m_handle),
                                  reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

Result<> CAppendFile::AppendWhole(std::string_view text) {
    const std::string cannot = CannotPrefix("Cannot write", m_path);
    const int fd = static_cast<int>(m_handle);
    struct stat before {};
    if (!IsOpen() || ::fstat(fd, &before) != 0) {
        return Failure(cannot + Reason(IsOpen() ? errno : EBADF));
    }
    if (!Append(text) || ::fsync(fd) != 0) {
        const int error = errno;
        if (::ftruncate(fd, before.st_size) != 0) {
            return Failure(cannot + Reason(error) + "; the last row may be incomplete");
        }
        return Failure(cannot + Reason(error));
    }
    return {};
}

void CAppendFile::Close() {
    if (IsOpen()) {
        ::close(static_cast<int>(m_handle));  // also lets a lock go
        m_handle = kClosed;
    }
}

void RemoveFile(const std::filesystem::path& path) {
    ::unlink(path.c_str());
}

Result<> CreateNewFile(const std::filesystem::path& path, bool& existed, std::string_view verb) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    existed = fd < 0 && errno == EEXIST;
    if (fd < 0) {
        return Failure(CannotPrefix(verb, path) + Reason(errno) + ".");
    }
    ::close(fd);
    return {};
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
