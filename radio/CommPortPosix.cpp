#include "CommPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "PortNames.h"
#include "PortSystem.h"

namespace {

// The port's handle is its descriptor here.
int Fd(std::intptr_t handle) {
    return static_cast<int>(handle);
}

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

Result<> Refused(const std::string& device, int error) {
    std::string reason = device + ": " + std::strerror(error);
    if (error == EACCES) {
        // Serial devices belong to the dialout group on most systems.
        reason +=
            " (add your user to the dialout group: sudo usermod -aG dialout $USER, "
            "then log in again)";
    }
    return Failure(reason);
}

// 9600 baud, 8 data bits, no parity, one stop bit, every byte passed through untouched.
// Flow control is off so that a cable without handshake lines works. A setting the driver
// refuses keeps the driver's value: the exchange goes ahead regardless.
void ConfigureLine(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return;
    }
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(fd, TCSANOW, &tio);
}

// Milliseconds from now until t, rounded up so that a wait never ends early.
int MillisecondsUntil(Clock::time_point t) {
    const auto left = std::chrono::ceil<milliseconds>(t - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the event on fd until the deadline; false when the time ran out or poll failed.
bool WaitFor(int fd, short event, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, event, 0};
        const int ready = ::poll(&entry, 1, MillisecondsUntil(deadline));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

CCommPort::~CCommPort() {
    Close();
}

namespace {

// Opens device for reading and writing, without waiting for a modem line and without making
// it the controlling terminal, and takes its advisory lock: how every program here takes a
// port. The descriptor, or -1 with errno set (EBUSY when another program holds the lock,
// ENOTTY when the device is no terminal, so no serial port).
int TakeDevice(const std::string& device) {
    // Non-blocking, so that neither the open nor any read waits for a modem line.
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    int error = 0;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    } else if (!::isatty(fd)) {
        error = ENOTTY;
    }
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace

std::string DefaultDevice(int comNumber) {
    return "/dev/ttyUSB" + std::to_string(comNumber - 1);
}

std::string DeviceNode(const std::string& device) {
    // stat() follows links, so every path of a device ends at the same node: a character
    // device by its number, anything else by its file.
    struct stat node {};
    if (::stat(device.c_str(), &node) != 0) {
        return {};
    }
    if (S_ISCHR(node.st_mode)) {
        return "device " + std::to_string(major(node.st_rdev)) + ":" +
               std::to_string(minor(node.st_rdev));
    }
    return "file " + std::to_string(node.st_dev) + ":" + std::to_string(node.st_ino);
}

Result<PortTake> TryTakePort(const std::string& device) {
    const int fd = TakeDevice(device);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    const int error = errno;
    switch (error) {
        case EBUSY:
            return {PortTake::Held, std::strerror(error)};
        case ENOTTY:
            return {PortTake::NotSerial, std::strerror(error)};
        case EACCES:
        case EPERM:
            return {PortTake::Denied, std::strerror(error)};
        default:
            return {PortTake::Failed, std::strerror(error)};
    }
}

Result<> CCommPort::Open(const std::string& name, const CommTimeouts& timeouts) {
    Close();
    const std::string device = DeviceForPort(name);
    const int fd = TakeDevice(device);
    if (fd < 0) {
        return errno == ENOTTY ? Failure(device + ": not a serial port") : Refused(device, errno);
    }
    // Also keeps out programs that open the device without taking the lock.
    ::ioctl(fd, TIOCEXCL);
    ConfigureLine(fd);
    m_hComm = fd;
    m_timeouts = timeouts;
    return {};
}

// Receives and sends look at the profile each time they wait.
void CCommPort::SetTimeouts(const CommTimeouts& timeouts) {
    m_timeouts = timeouts;
}

void CCommPort::Purge(PurgeSet /*which*/) {
    if (IsOpen()) {
        ::tcflush(Fd(m_hComm), TCIFLUSH);
    }
}

bool CCommPort::Send(std::span<const std::uint8_t> bytes) {
    if (!IsOpen()) {
        return false;
    }
    const auto deadline =
        Clock::now() + milliseconds(static_cast<long long>(m_timeouts.writeMultiplier) *
                                        static_cast<long long>(bytes.size()) +
                                    m_timeouts.writeConstant);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(Fd(m_hComm), bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!WaitFor(Fd(m_hComm), POLLOUT, deadline)) {
            return false;
        }
    }
    while (::tcdrain(Fd(m_hComm)) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

ReceiveResult CCommPort::Receive(std::span<std::uint8_t> buffer) {
    if (!IsOpen()) {
        return {false, 0};
    }
    const auto total = milliseconds(static_cast<long long>(m_timeouts.readMultiplier) *
                                        static_cast<long long>(buffer.size()) +
                                    m_timeouts.readConstant);
    const auto deadline = Clock::now() + total;
    const milliseconds interval(m_timeouts.readInterval);
    std::size_t count = 0;
    Clock::time_point lastByte;
    while (count < buffer.size()) {
        auto limit = deadline;
        if (count > 0 && interval.count() > 0 && lastByte + interval < limit) {
            limit = lastByte + interval;
        }
        // Past the limit the wait still looks once, without waiting: bytes that arrived
        // while this process was held off by a busy machine are received, not given up.
        if (!WaitFor(Fd(m_hComm), POLLIN, limit)) {
            break;
        }
        const ssize_t n = ::read(Fd(m_hComm), buffer.data() + count, buffer.size() - count);
        if (n > 0) {
            count += static_cast<std::size_t>(n);
            lastByte = Clock::now();
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            // Readable with nothing to read: the line has hung up.
            return {false, count};
        }
    }
    return {true, count};
}

void CCommPort::Close() {
    if (!IsOpen()) {
        return;
    }
    ::ioctl(Fd(m_hComm), TIOCNXCL);
    ::close(Fd(m_hComm));
    m_hComm = kNoPort;
}

void PauseLine(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
