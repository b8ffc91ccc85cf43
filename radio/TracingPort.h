// CTracingPort: a port that passes every call to another and writes what went over the line
// to a text file, for support to see what the radio and the program said to each other.
//
// Each run starts with a header line "# TITLE, YYYY-MM-DD HH:MM:SS" (local time). Every
// further line starts with the milliseconds since the port was opened, with three decimals:
//   0.000 open "COM1" (/dev/ttyUSB0): ok          or ...: failed: REASON
//   0.000 timeouts read 50 50 500 write 50 50     interval, multiplier, constant
//   0.012 purge clear                             or purge abort
//   0.013 tx 02 50 52 4F 47 52 41 4D              bytes sent in one call
//   0.531 rx 06                                   bytes received in one call
//   0.531 timeout after 1 of 2 bytes              the receive ended with fewer than asked
//   0.600 line failed after 0 of 12 bytes         the receive found the line gone
//   0.700 send failed                             the line refused the bytes just listed
//   0.900 close
// The file is appended to and flushed after every line, so a crash keeps what came before.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "FileIO.h"
#include "Port.h"

class CTracingPort final : public IPort {
public:
    // Appends to the file at path; with an empty path nothing is traced. When the file
    // cannot be opened, the port works untraced and Error() says why. A mark starts every
    // line after the header: where several ports share one file (a production run), each
    // job's lines say whose they are ("COM2 ID 0101").
    CTracingPort(IPort& inner, const std::string& path, std::string_view title = {},
                 std::string_view mark = {});
    ~CTracingPort() override;
    CTracingPort(const CTracingPort&) = delete;
    CTracingPort& operator=(const CTracingPort&) = delete;

    bool IsTracing() const { return m_file.IsOpen(); }
    const std::string& Error() const { return m_error; }

    Result<> Open(const std::string& name, const CommTimeouts& timeouts) override;
    void SetTimeouts(const CommTimeouts& timeouts) override;
    void Purge(PurgeSet which) override;
    bool Send(std::span<const std::uint8_t> bytes) override;
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override;
    void Close() override;
    bool IsOpen() const override { return m_inner.IsOpen(); }

private:
    void Line(std::string_view text);
    void Timeouts(const CommTimeouts& timeouts);

    IPort& m_inner;
    CAppendFile m_file;
    std::string m_error;
    std::string m_mark;  // with its blank, or empty
    std::chrono::steady_clock::time_point m_start;
    bool m_opened = false;  // the clock restarts at the first open only
};

// The title of one exchange's part of a trace: the program, its version and what it does,
// for example "kvprog 0.1.0 read from COM1".
std::string TraceTitle(std::string_view program, std::string_view action);

// The trace file the desktop program writes to: the environment variable KVPROG_TRACE, or
// an empty string when it is not set.
std::string TraceFileFromEnvironment();
