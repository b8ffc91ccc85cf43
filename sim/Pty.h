// The pseudo-terminal the simulated radio listens on: the PC opens its slave side like a
// serial port, the radio reads and writes the master side.
#pragma once

#include <filesystem>
#include <string>

// A file descriptor closed on destruction.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd();
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return m_fd; }
    void Close();

private:
    int m_fd;
};

class Pty {
public:
    // Opens a new pair with the slave in raw mode at 9600 baud. Throws std::system_error.
    Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return m_master.get(); }
    const std::string& path() const { return m_path; }

    // Lets go of the slave side: once the PC closes it too, poll() on the master reports
    // POLLHUP. Until then the pair stays as it is.
    void ReleaseSlave() { m_slave.Close(); }

    // Readable whenever a program closes the slave side; ForgetClosedHolder() then reads it.
    int closeWatch() const { return m_closeWatch.get(); }
    // After a close: when no program holds the port's lock any more, clears the exclusive
    // mode a PC may have left behind (a killed program never clears it, and the pair
    // outlives it), so the next user can open the port.
    void ForgetClosedHolder();

private:
    UniqueFd m_master;
    // Held open while the radio serves: the pair survives a PC that closes the port and
    // opens it again, and its line settings stay raw in between.
    std::string m_path;
    UniqueFd m_slave;
    UniqueFd m_closeWatch;  // inotify on the slave's closes
};

// A symbolic link to the slave side with a stable name, removed again on destruction as
// long as it still points there.
class PtyLink {
public:
    // Replaces an existing symbolic link of that name; refuses anything else there.
    // Throws std::system_error.
    PtyLink(std::filesystem::path link, const std::string& target);
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

private:
    std::filesystem::path m_link;
    std::string m_target;
};
