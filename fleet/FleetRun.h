// A production run: one configuration into many radios, on several ports at once. Each port
// has a worker thread of its own that runs one job after the other (FleetJob.h); between two
// jobs it waits for the next radio, told either by the user (Enter, the Next radio button;
// each press serves the ports in the order they began to wait) or, in automatic mode, by the
// radios themselves: the one just programmed stops answering, then a radio answers.
//
// Which job gets which ID is the ledger's (FleetLedger.h); the job log remembers the IDs
// across runs. A log that cannot be written stops the run from taking further radios.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FleetJob.h"
#include "FleetLedger.h"
#include "JobLog.h"
#include "Port.h"

class IFleetObserver;

struct FleetPlan {
    std::vector<std::string> ports;
    RadioImage document;  // as the form shows it
    std::string file;     // its absolute path
    std::string idFrom;   // the first ID of the sequence; empty: every radio gets the document's
    int count = 0;        // stop after this many jobs succeeded; 0: run until stopped
    bool automatic = false;
    bool reuseIds = false;  // IDs the log records may be given again
    std::string traceFile;  // every job's bytes on the line go here; empty: none
    SafeWriteOptions write;
};

// How often automatic mode asks a port whether a radio answers (while none does), and how
// long a radio must stay silent to count as gone.
inline constexpr int kProbeIntervalMs = 500;
inline constexpr int kGoneAfterMs = 2000;

class CFleetRun {
public:
    // Whether plan can run: ports given, each device once whatever its names, the ID
    // sequence's start, a document whose PTT ID mode is not OFF when IDs are to be given.
    static Result<> Check(const FleetPlan& plan);

    // log must be open; its used IDs are the ones the run does not give (unless reuseIds).
    CFleetRun(FleetPlan plan, CJobLog& log, IFleetObserver& observer, PortFactory makePort,
              SleepFunction sleep = SleepFor);
    ~CFleetRun();
    CFleetRun(const CFleetRun&) = delete;
    CFleetRun& operator=(const CFleetRun&) = delete;

    // Whether the IDs the run would give are unused, by the log: call before Start.
    Result<> CheckIds() const;

    // Starts one worker per port; the plan must have passed Check.
    void Start();
    // One press of Enter (or the Next radio button): the port that has waited longest for
    // the user goes on. Ignored when no port waits for it.
    void NextRadio();
    // No further press will come (standard input has ended): a port that waits for one, or
    // comes to wait for one, stops; jobs already running end as they would.
    void NoMoreNextRadio();
    // Starts no further job; running jobs end as they would.
    void StopAfterRunningJobs();
    // Also stops running jobs at their next safe point (the ports are closed properly).
    void StopNow();
    // True once every worker has stopped.
    bool Finished() const;
    // Waits for every worker to stop.
    void Join();

    int Succeeded() const;
    int Failed() const;
    // Why the run stopped taking radios by itself (no ID left, the next ID used before, the
    // log not writable); empty when it did not.
    std::string StopReason() const;

private:
    void Work(int index);
    void RunJob(int index, IPort& port, const CFleetLedger::Job& job);
    // Blocks until the port may start a job; false when the run stops first.
    bool WaitForRadio(int index, IPort& port, bool first);
    bool WaitForUser(int index);
    // Polls the port until a radio answers (present) or has not answered for kGoneAfterMs.
    bool WaitForProbe(int index, IPort& port, bool present);
    // The next job, or none when no further job may start.
    std::optional<CFleetLedger::Job> ClaimJob();
    void EndJob(const CFleetLedger::Job& job, const FleetJobOutcome& outcome,
                const Result<>& logged);
    bool Stopping() const { return m_stopAfterJobs.load() || m_stopNow.load(); }
    void SleepUnlessStopping(int milliseconds);

    const FleetPlan m_plan;
    CJobLog& m_log;
    IFleetObserver& m_observer;
    PortFactory m_makePort;
    SleepFunction m_sleep;
    std::vector<std::thread> m_workers;
    std::atomic<int> m_runningWorkers{0};
    std::atomic<bool> m_stopAfterJobs{false};
    std::atomic<bool> m_stopNow{false};

    mutable std::mutex m_mutex;  // guards everything below
    std::condition_variable m_wake;
    CFleetLedger m_ledger;
    std::string m_stopReason;
    std::deque<int> m_waitingForUser;  // ports, in the order they began to wait
    int m_released = 0;                // presses not yet taken by the port at the front
    bool m_noMorePresses = false;
};
