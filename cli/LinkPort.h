// The serial port of one kvprog-cli exchange with the radio, traced into the file of the
// global option --trace when one was given.
#pragma once

#include <string>
#include <string_view>

#include "CommPort.h"
#include "TracingPort.h"

// The file every later exchange of this process appends its trace to; empty for none.
void SetTraceFile(std::string path);
const std::string& TraceFilePath();

class CLinkPort {
public:
    // title heads the exchange's part of the trace. A trace file that cannot be opened is
    // reported on the error stream and the exchange goes ahead untraced.
    explicit CLinkPort(std::string_view title);

    IPort& Port() { return m_traced; }

private:
    CCommPort m_serial;
    CTracingPort m_traced;
};
