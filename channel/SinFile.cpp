#include "SinFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

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
        case EROFS:
            return "the disk is read-only";
        case ENOTDIR:
            return "a part of the path is not a folder";
        case ENAMETOOLONG:
            return "the name is too long";
        default:
            return "system error " + std::to_string(error);
    }
}

std::string Quoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
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
    // Closes now and reports whether the close succeeded (write errors can surface here).
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Reads up to size bytes, retrying short reads; returns the count or -1.
ssize_t ReadFully(int fd, std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

bool WriteFully(int fd, const std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
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
mode_t SaveMode(const std::filesystem::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        return st.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

FileResult LoadSinFile(const std::filesystem::path& path, RadioImage& image) {
    const std::string cannot = "Cannot open " + Quoted(path) + ": ";
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return FileResult::Failure(cannot + Reason(errno) + ".");
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return FileResult::Failure(cannot + Reason(errno) + ".");
    }
    if (S_ISDIR(st.st_mode)) {
        return FileResult::Failure(cannot + Reason(EISDIR) + ".");
    }
    RadioImage::Bytes bytes{};
    const ssize_t n = ReadFully(fd.get(), bytes.data(), bytes.size());
    if (n < 0) {
        return FileResult::Failure(cannot + Reason(errno) + ".");
    }
    if (static_cast<std::size_t>(n) < bytes.size()) {
        return FileResult::Failure(cannot + "it holds " + std::to_string(n) +
                                   " bytes; a channel data file holds 1024.");
    }
    image = RadioImage(bytes);
    return {};
}

FileResult SaveSinFile(const std::filesystem::path& path, const RadioImage& image) {
    const std::string cannot = "Cannot save " + Quoted(path) + ": ";
    const std::filesystem::path target = SaveTarget(path);
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec)) {
        return FileResult::Failure(cannot + Reason(EISDIR) + ".");
    }
    const mode_t mode = SaveMode(target);
    std::string temp = target.string() + ".XXXXXX";
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        return FileResult::Failure(cannot + Reason(errno) + ".");
    }
    auto fail = [&](int error) {
        ::unlink(temp.c_str());
        return FileResult::Failure(cannot + Reason(error) + ".");
    };
    if (::fchmod(fd.get(), mode) != 0 || !WriteFully(fd.get(), image.data(), image.size()) ||
        ::fsync(fd.get()) != 0) {
        return fail(errno);
    }
    if (!fd.Close()) {
        return fail(errno);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    return {};
}
