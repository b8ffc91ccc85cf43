// One job of a production run: a safe write of the document into the radio on one port,
// with the radio's own PTT ID when an ID sequence runs, and what the job log records of it.
// A job asks nobody anything: a question a write would ask is answered "no", so the job
// fails and says why, and the other ports go on.
#pragma once

#include <atomic>
#include <string>

#include "JobLog.h"
#include "Port.h"
#include "RadioImage.h"
#include "SafeWrite.h"

class IFleetObserver;

struct FleetJobInput {
    std::string port;
    RadioImage document;  // as the form shows it
    std::string file;     // the document's path, for the log
    std::string pttId;    // the ID this radio gets; empty: the document's own
    SafeWriteOptions write;
};

struct FleetJobOutcome {
    JobRecord record;
    bool ok = false;
    // Whether any block of the write was sent: the radio may hold the new image, ID included.
    bool writeStarted = false;
};

// The image a job sends: the document with its ID code replaced by pttId, stored the way
// the optional features store an ID; the PTT ID mode stays the document's.
RadioImage JobImage(const RadioImage& document, const std::string& pttId);

// Runs the job over port. portIndex names the port to the observer; stopNow, once set,
// stops the job at the exchange's next safe point.
FleetJobOutcome RunFleetJob(IPort& port, const FleetJobInput& input, IFleetObserver& observer,
                            int portIndex, const std::atomic<bool>& stopNow);
