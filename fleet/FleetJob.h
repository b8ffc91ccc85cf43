// One job of a production run: a safe write of the document into the radio on one port,
// with the radio's own PTT ID when an ID sequence runs, and what the job log records of it.
// A job asks nobody anything: a question a write would ask is answered "no", so the job
// fails and says why, and the other ports go on.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "JobLog.h"
#include "Port.h"
#include "RadioImage.h"
#include "SafeWrite.h"

class IFleetObserver;

// How a job waits where the link wants a pause; tests pass one that does not wait.
using SleepFunction = std::function<void(int milliseconds)>;
void SleepFor(int milliseconds);

struct FleetJobInput {
    std::string port;
    RadioImage document;  // as the form shows it
    std::string file;     // the document's absolute path, for the log
    std::string pttId;    // the ID this radio gets; empty: the document's own
    SafeWriteOptions write;
};

struct FleetJobOutcome {
    JobRecord record;
    std::string pttId;   // the ID the job had, whether the radio may hold it or not
    std::string reason;  // why it failed: the stage and the message, without the ID's fate
    std::string fate;    // where a failed job's ID went (IdFate); empty without an ID
    bool ok = false;
    // Whether any block of the write was sent: the radio may hold the new image, ID included.
    bool writeStarted = false;
};

// The image a job sends: the document with its ID code replaced by pttId, stored the way
// the optional features store an ID; the PTT ID mode stays the document's.
RadioImage JobImage(const RadioImage& document, const std::string& pttId);

// Where a failed job's ID went, in a sentence: given back to the next radio, or perhaps in
// this one, then how to restore its backup (restoreAdvice, as SafeWriteOptions::restoreHint
// gives it) when there is one.
std::string IdFate(const std::string& pttId, bool writeStarted,
                   const std::string& restoreAdvice = {});

// Runs the job over port, noting it in log's journal before its write sends anything.
// portIndex names the port to the observer; stopNow, once set, stops the job at the
// exchange's next safe point.
FleetJobOutcome RunFleetJob(IPort& port, const FleetJobInput& input, CJobLog& log,
                            IFleetObserver& observer, int portIndex,
                            const std::atomic<bool>& stopNow, const SleepFunction& sleep);
