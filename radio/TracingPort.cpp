#include "TracingPort.h"

#include <QDateTime>
#include <cstdlib>

#include "FileIO.h"
#include "HexText.h"
#include "Numbers.h"
#include "PortNames.h"
#include "Version.h"

namespace {

std::string LocalTimeNow() {
    return QDateTime::currentDateTime()
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

}  // namespace

CTracingPort::CTracingPort(IPort& inner, const std::string& path, std::string_view title,
                           std::string_view mark)
    : m_inner(inner),
      m_mark(mark.empty() ? std::string() : std::string(mark) + " "),
      m_start(std::chrono::steady_clock::now()) {
    if (path.empty()) {
        return;
    }
    if (const Result<> opened = m_file.Open(PathFromUtf8(path), "cannot open the trace file");
        !opened) {
        m_error = opened.message;
        return;
    }
    m_file.Append("# " + std::string(title.empty() ? "trace" : title) + ", " + LocalTimeNow() +
                  "\n");
}

CTracingPort::~CTracingPort() = default;

void CTracingPort::Line(std::string_view text) {
    if (!m_file.IsOpen()) {
        return;
    }
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
    // The time stamp keeps its decimal point whatever the user's locale says. One write a
    // line, so that ports sharing the file never mix their lines.
    m_file.Append(m_mark + FormatFixed(ms, 3) + " " + std::string(text) + "\n");
}

void CTracingPort::Timeouts(const CommTimeouts& t) {
    Line("timeouts read " + std::to_string(t.readInterval) + " " +
         std::to_string(t.readMultiplier) + " " + std::to_string(t.readConstant) + " write " +
         std::to_string(t.writeMultiplier) + " " + std::to_string(t.writeConstant));
}

Result<> CTracingPort::Open(const std::string& name, const CommTimeouts& timeouts) {
    if (!m_opened) {
        m_start = std::chrono::steady_clock::now();
        m_opened = true;
    }
    const Result<> result = m_inner.Open(name, timeouts);
    std::string line = "open \"" + name + "\"";
    if (const std::string device = DeviceForPort(name); device != name) {
        line += " (" + device + ")";
    }
    Line(line + (result ? ": ok" : ": failed: " + result.message));
    if (result) {
        Timeouts(timeouts);
    }
    return result;
}

void CTracingPort::SetTimeouts(const CommTimeouts& timeouts) {
    m_inner.SetTimeouts(timeouts);
    Timeouts(timeouts);
}

void CTracingPort::Purge(PurgeSet which) {
    Line(which == PurgeSet::Clear ? "purge clear" : "purge abort");
    m_inner.Purge(which);
}

bool CTracingPort::Send(std::span<const std::uint8_t> bytes) {
    Line("tx " + HexBytes(bytes));
    const bool sent = m_inner.Send(bytes);
    if (!sent) {
        Line("send failed");
    }
    return sent;
}

ReceiveResult CTracingPort::Receive(std::span<std::uint8_t> buffer) {
    const ReceiveResult result = m_inner.Receive(buffer);
    if (result.count > 0) {
        Line("rx " + HexBytes(buffer.first(result.count)));
    }
    const std::string tally =
        std::to_string(result.count) + " of " + std::to_string(buffer.size()) + " bytes";
    if (!result.ok) {
        Line("line failed after " + tally);
    } else if (result.count < buffer.size()) {
        Line("timeout after " + tally);
    }
    return result;
}

void CTracingPort::Close() {
    if (m_inner.IsOpen()) {
        Line("close");
    }
    m_inner.Close();
}

std::string TraceTitle(std::string_view program, std::string_view action) {
    std::string title(program);
    title.append(" ").append(kProgramVersion).append(" ").append(action);
    return title;
}

std::string TraceFileFromEnvironment() {
    const char* path = std::getenv("KVPROG_TRACE");
    return path ? path : "";
}
