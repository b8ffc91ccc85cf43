#include "Pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <system_error>

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Raw 8-N-1 at 9600 baud: no echo, no line editing, no character translation. The master
// side of a pair is raw already; the slave side starts as a cooked terminal that would echo
// the radio's bytes back to it.
void MakeRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        Fail("tcgetattr");
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    tio.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        Fail("tcsetattr");
    }
}

int OpenMaster() {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        Fail("posix_openpt");
    }
    return fd;
}

std::string SlavePath(int master) {
    const char* name = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        (name = ::ptsname(master)) == nullptr) {
        Fail("grantpt/unlockpt/ptsname");
    }
    return name;
}

int OpenRawSlave(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        Fail("open " + path);
    }
    try {
        MakeRaw(fd);
    } catch (...) {
        ::close(fd);
        throw;
    }
    return fd;
}

// Whether any process holds a lock on the file fd is open on: /proc/locks names each lock's
// file as "MAJOR:MINOR:INODE" (the device numbers in hex).
bool IsLocked(int fd) {
    struct stat file {};
    if (::fstat(fd, &file) != 0) {
        return true;  // unknown: leave the port as it is
    }
    char id[64];
    std::snprintf(id, sizeof id, " %02x:%02x:%lu ", major(file.st_dev), minor(file.st_dev),
                  static_cast<unsigned long>(file.st_ino));
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        if ((line + " ").find(id) != std::string::npos) {
            return true;
        }
    }
    return false;
}

int WatchCloses(const std::string& path) {
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        Fail("inotify_init1");
    }
    if (::inotify_add_watch(fd, path.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(fd);
        Fail("inotify_add_watch " + path);
    }
    return fd;
}

}  // namespace

UniqueFd::~UniqueFd() {
    Close();
}

void UniqueFd::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

Pty::Pty()
    : m_master(OpenMaster()),
      m_path(SlavePath(m_master.get())),
      m_slave(OpenRawSlave(m_path)),
      m_closeWatch(WatchCloses(m_path)) {}

void Pty::ForgetClosedHolder() {
    char events[4096];
    while (::read(m_closeWatch.get(), events, sizeof events) > 0) {
    }
    // The PC's programs lock the port while they use it. The locks are looked at, not
    // taken: a lock of our own, however short, would refuse a PC that opens the port at
    // that moment, as a program does right after closing it.
    if (m_slave.get() >= 0 && !IsLocked(m_slave.get())) {
        ::ioctl(m_slave.get(), TIOCNXCL);
    }
}

PtyLink::PtyLink(std::filesystem::path link, const std::string& target)
    : m_link(std::move(link)), m_target(target) {
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(m_link, ec))) {
        std::filesystem::remove(m_link, ec);
    }
    std::filesystem::create_symlink(m_target, m_link);
}

PtyLink::~PtyLink() {
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(m_link, ec)) &&
        std::filesystem::read_symlink(m_link, ec) == m_target) {
        std::filesystem::remove(m_link, ec);
    }
}
