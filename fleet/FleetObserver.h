// What a production run tells the program around it. Every call comes from the worker thread
// of its port, so an observer must be safe to call from several threads at once: the
// command line writes under a lock, the desktop program posts to its dialog.
#pragma once

#include <string>

#include "FleetJob.h"

// What a port waits for between two jobs.
enum class FleetWait {
    NextRadio,     // the user says a radio is connected (Enter, or the Next radio button)
    RadioGone,     // the radio just programmed stops answering (switched off or unplugged)
    RadioPresent,  // a radio answers
};

class IFleetObserver {
public:
    virtual ~IFleetObserver() = default;

    // port is the index of the port in the run's list.
    virtual void Waiting(int port, FleetWait what) = 0;
    // Job number job (1, 2, ... over all ports) starts on port, giving the radio pttId
    // (empty without an ID sequence).
    virtual void JobStarted(int port, int job, const std::string& pttId) = 0;
    // The job's stage ("Backing up the radio...") and its bar, 0 to kProgressMaximum.
    virtual void JobStatus(int port, const std::string& status) = 0;
    virtual void JobProgress(int port, int position) = 0;
    // The job ended; its log row (outcome.record) says how. logError is empty when the row
    // was logged.
    virtual void JobEnded(int port, int job, const FleetJobOutcome& outcome,
                          const std::string& logError) = 0;
    // The port's worker has stopped (no more jobs on it).
    virtual void PortDone(int port) = 0;
};
