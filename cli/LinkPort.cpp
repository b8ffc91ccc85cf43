#include "LinkPort.h"

#include <iostream>

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

CLinkPort::CLinkPort(std::string_view title)
    : m_traced(m_serial, TraceFile(), TraceTitle("kvprog-cli", title)) {
    if (!m_traced.Error().empty()) {
        std::cerr << "kvprog-cli: warning: " << m_traced.Error() << " Going on without a trace.\n";
    }
}
