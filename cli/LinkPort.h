// The port of one kvprog-cli exchange with the radio (MakePort's for its name), traced into
// the file of the global option --trace when one was given.
#pragma once

#include <string>
#include <string_view>

#include <memory>

#include "Port.h"
#include "TracingPort.h"

// The file every later exchange of this process appends its trace to; empty for none.
void SetTraceFile(std::string path);
const std::string& TraceFilePath();

class CLinkPort {
public:
    // The port for the name port; title heads the exchange's part of the trace. A trace file
    // that cannot be opened is reported on the error stream and the exchange goes ahead
    // untraced.
    CLinkPort(const std::string& port, std::string_view title);

    IPort& Port() { return m_traced; }

private:
    std::unique_ptr<IPort> m_port;
    CTracingPort m_traced;
};
