// The simulated radio's main loop: moves bytes between the pseudo-terminal and the radio
// model on the line's schedule, logs them, saves the memory after each completed write.
#pragma once

#include "ByteLog.h"
#include "LinkTimeline.h"
#include "Pty.h"
#include "SimOptions.h"
#include "SimRadio.h"

class SimServer {
public:
    // stopFd becomes readable when the radio should stop (a signal arrived).
    SimServer(Pty& pty, SimRadio& radio, ByteLog& log, const SimOptions& options, int stopFd);

    // Serves until stopped, or with --once until the first completed read, write or test
    // mode exchange has been taken up by the PC. Returns the exit status.
    int Run();

private:
    using Clock = std::chrono::steady_clock;
    using Time = LinkTimeline::Time;

    Time Now() const { return Clock::now() - m_start; }
    // Feeds the bytes that have reached the radio to it and schedules its answers.
    void Deliver(Time now);
    void Send(Time now);
    void ReadFromPc(Time now);
    void OnCompleted(const char* what, Time at);
    // Reads the control commands that have arrived on standard input; false at its end.
    bool ReadControl();
    void Control(std::string_view command);

    Pty& m_pty;
    SimRadio& m_radio;
    ByteLog& m_log;
    const SimOptions& m_options;
    int m_stopFd;
    const RadioImage m_startMemory;  // what a new radio holds
    std::string m_controlInput;      // a control command not yet ended by its line feed
    LinkTimeline m_line;
    Clock::time_point m_start = Clock::now();
    int m_reads = 0;
    int m_writes = 0;
    int m_tests = 0;
    bool m_done = false;  // --once: a read, write or test exchange has completed
};
