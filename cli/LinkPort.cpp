#include "LinkPort.h"

#include <iostream>

#include "MakePort.h"

namespace {
std::string& TraceFile() {
    static std::string path;
    return path;
}
}  // namespace

void SetTraceFile(std::string path) {
    TraceFile() = std::move(path);
}

const std::string& TraceFilePath() {
    return TraceFile();
}

CLinkPort::CLinkPort(const std::string& port, std::string_view title)
    : m_port(MakePort(port)), m_traced(*m_port, TraceFile(), TraceTitle("kvprog-cli", title)) {
    if (!m_traced.Error().empty()) {
        std::cerr << "kvprog-cli: warning: " << m_traced.Error() << " Going on without a trace.\n";
    }
}
