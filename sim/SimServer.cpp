#include "SimServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

namespace {

// With --once, how long the radio waits at most for the PC to close the port after the
// last answer. Closing the pair earlier would throw away what the PC has not read yet.
constexpr std::chrono::seconds kLinger{3};

// Puts the memory in the --save file for whoever looks at it next; 0, or the errno of the
// failure. The file is replaced in one step (a temporary file, then a rename), so a reader
// never finds half of it, but the save does not wait for the disk: the ACK of the write's
// last block goes out only after it, and a radio's ACK owes nothing to the disk of the PC
// it runs on. A synced save, on a disk other programs kept busy, took longer than the PC
// waits for that ACK.
int SaveMemory(const std::string& path, const RadioImage& memory) {
    const std::string temp = path + ".saving";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno;
    }
    std::size_t done = 0;
    int error = 0;
    while (done < memory.size() && error == 0) {
        const ssize_t n = ::write(fd, memory.data() + done, memory.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            error = errno;
        }
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
    }
    return error;
}

}  // namespace

SimServer::SimServer(Pty& pty, SimRadio& radio, ByteLog& log, const SimOptions& options, int stopFd)
    : m_pty(pty),
      m_radio(radio),
      m_log(log),
      m_options(options),
      m_stopFd(stopFd),
      m_startMemory(radio.Memory()),
      m_line(options.latency, options.pace) {}

int SimServer::Run() {
    std::optional<Time> doneAt;
    bool control = m_options.control;
    while (true) {
        const Time now = Now();
        Deliver(now);
        Send(now);
        if (m_done && m_line.Empty() && !doneAt) {
            doneAt = now;
            m_pty.ReleaseSlave();
        }
        if (doneAt && now - *doneAt >= kLinger) {
            return 0;
        }

        std::optional<Time> wait;
        if (const auto next = m_line.NextEvent()) {
            wait = std::max(Time{0}, *next - now);
        } else if (doneAt) {
            wait = *doneAt + kLinger - now;
        }
        timespec timeout{};
        if (wait) {
            timeout.tv_sec = static_cast<time_t>(wait->count() / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(wait->count() % 1'000'000'000);
        }
        pollfd fds[] = {{m_pty.master(), POLLIN, 0},
                        {m_stopFd, POLLIN, 0},
                        {m_pty.closeWatch(), POLLIN, 0},
                        {control ? STDIN_FILENO : -1, POLLIN, 0}};
        if (::ppoll(fds, 4, wait ? &timeout : nullptr, nullptr) < 0 && errno != EINTR) {
            std::cerr << "kvradio-sim: poll failed\n";
            return 1;
        }
        if (fds[1].revents != 0) {
            m_log.Note("stopped", Now());
            return 0;
        }
        if (fds[0].revents & POLLIN) {
            ReadFromPc(Now());
        }
        if (fds[2].revents & POLLIN) {
            m_pty.ForgetClosedHolder();
        }
        if (fds[3].revents != 0 && !ReadControl()) {
            control = false;  // standard input has ended: the radio stays as it is
        }
        if ((fds[0].revents & POLLHUP) && doneAt) {
            return 0;  // the PC has closed the port after the last answer
        }
    }
}

void SimServer::Deliver(Time now) {
    for (const LinkTimeline::Timed& in : m_line.TakeArrived(now)) {
        m_line.Answer(m_radio.Receive(in.byte, in.at), in.at);
        for (const std::string& note : m_radio.TakeNotes()) {
            m_log.Note(note, in.at);
        }
        if (m_radio.CompletedReads() != m_reads) {
            m_reads = m_radio.CompletedReads();
            OnCompleted("read", in.at);
        }
        if (m_radio.CompletedWrites() != m_writes) {
            m_writes = m_radio.CompletedWrites();
            if (m_options.save) {
                if (const int error = SaveMemory(m_options.save->string(), m_radio.Memory())) {
                    std::cerr << "kvradio-sim: cannot save " << m_options.save->string() << ": "
                              << std::strerror(error) << "\n";
                }
            }
            OnCompleted("write", in.at);
        }
        if (m_radio.CompletedTests() != m_tests) {
            m_tests = m_radio.CompletedTests();
            OnCompleted("test", in.at);
        }
    }
}

void SimServer::OnCompleted(const char* what, Time at) {
    m_log.Note(std::string(what) + " completed", at);
    m_done = m_done || m_options.once;
}

void SimServer::Send(Time now) {
    const std::vector<std::uint8_t> bytes = m_line.TakeDelivered(now);
    // The bytes due together go in one write, as a UART sends them back to back: written one
    // by one, a simulator held off by a busy machine between two of them would open a gap in
    // an answer that no radio makes.
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(m_pty.master(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    if (!bytes.empty()) {
        m_radio.Spoke(now);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        m_log.FromRadio(bytes[i], now);
        if (i >= written) {
            // The port's input queue is full: nobody has been reading it, as on a real line
            // where the PC is not listening the byte is lost.
            m_log.Note("the byte above was lost: nobody reads the port", now);
        }
    }
}

void SimServer::ReadFromPc(Time now) {
    std::uint8_t buffer[256];
    while (true) {
        const ssize_t n = ::read(m_pty.master(), buffer, sizeof buffer);
        if (n <= 0) {
            return;  // drained (EAGAIN), or nothing to read
        }
        for (ssize_t i = 0; i < n; ++i) {
            m_log.FromPc(buffer[i], now);
            m_line.FromPc(buffer[i], now);
        }
    }
}

bool SimServer::ReadControl() {
    char buffer[256];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        return n < 0 && errno == EINTR;
    }
    m_controlInput.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = m_controlInput.find('\n')) != std::string::npos;) {
        const std::string line = m_controlInput.substr(0, end);
        m_controlInput.erase(0, end + 1);
        Control(line);
    }
    return true;
}

void SimServer::Control(std::string_view command) {
    if (command == "off" || command == "on") {
        m_radio.SetPowered(command == "on");
    } else if (command == "new" || command.starts_with("new ")) {
        Faults faults;
        const std::string_view items = command.size() > 4 ? command.substr(4) : "";
        if (const std::string why = items.empty() ? "" : AddFault(faults, items); !why.empty()) {
            std::cerr << "kvradio-sim: " << why << "\n";
            return;
        }
        // Another radio on the same cable: the count of completed exchanges starts afresh.
        m_radio = SimRadio(m_startMemory, faults);
        m_reads = m_writes = m_tests = 0;
    } else if (!command.empty()) {
        std::cerr << "kvradio-sim: unknown control command \"" << command << "\"\n";
        return;
    }
    m_log.Note("control: " + std::string(command), Now());
}
