// A production run: one configuration into many radios, on several ports at once. Each port
// has a worker thread of its own that runs one job after the other (FleetJob.h); between two
// jobs it waits for the next radio, told either by the user (Enter, the Next radio button;
// each press serves the ports in the order they began to wait) or, in automatic mode, by the
// radios themselves: the one just programmed stops answering, then a radio answers.
//
// IDs are handed out in order and used once: a job that failed before any block of its write
// was sent gives its ID back to the next job; one that failed later keeps it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "FleetJob.h"
#include "IdSequence.h"
#include "JobLog.h"
#include "Port.h"

class IFleetObserver;

struct FleetPlan {
    std::vector<std::string> ports;
    RadioImage document;  // as the form shows it
    std::string file;     // its path
    std::string idFrom;   // the first ID of the sequence; empty: every radio gets the document's
    int count = 0;        // stop after this many jobs succeeded; 0: run until stopped
    bool automatic = false;
    SafeWriteOptions write;
};

// How often automatic mode asks a port whether a radio answers, and how long a radio must
// stay silent to count as gone.
inline constexpr int kProbeIntervalMs = 500;
inline constexpr int kGoneAfterMs = 2000;
// A probe leaves the radio waiting for an identification request; a radio forgets it after
// about a second, and a job started before then would have its handshake's first byte taken
// for that request. So a job starts this long after the probe that found its radio.
inline constexpr int kSettleMs = 1500;

using PortFactory = std::function<std::unique_ptr<IPort>()>;

class CFleetRun {
public:
    // Whether plan can run: ports given, the ID sequence's start, a document whose PTT ID
    // mode is not OFF when IDs are to be given.
    static Result<> Check(const FleetPlan& plan);

    CFleetRun(FleetPlan plan, CJobLog& log, IFleetObserver& observer, PortFactory makePort);
    ~CFleetRun();
    CFleetRun(const CFleetRun&) = delete;
    CFleetRun& operator=(const CFleetRun&) = delete;

    // Starts one worker per port; the plan must have passed Check.
    void Start();
    // One press of Enter (or the Next radio button): the port that has waited longest for
    // the user goes on. Ignored when no port waits for it.
    void NextRadio();
    // No press can come any more (standard input ended): a port that would wait for the user
    // stops instead, once the presses already made are served. The first job on each port
    // does not wait for the user, so it runs all the same.
    void NoMoreRadios();
    // Starts no further job; running jobs end as they would.
    void StopAfterRunningJobs();
    // Also stops running jobs at their next safe point (the ports are closed properly).
    void StopNow();
    // True once every worker has stopped.
    bool Finished() const;
    // Waits for every worker to stop.
    void Join();

    int Succeeded() const { return m_nSucceeded.load(); }
    int Failed() const { return m_nFailed.load(); }

private:
    void Work(int index);
    // Blocks until the port may start a job; false when the run stops first.
    bool WaitForRadio(int index, IPort& port, bool first);
    bool WaitForUser(int index);
    // Polls the port until a radio answers (present) or has not answered for kGoneAfterMs.
    bool WaitForProbe(int index, IPort& port, bool present);
    // Takes a slot for a job (with --count, no more jobs run than successes still wanted)
    // and its ID; false when no further job may start.
    bool ClaimJob(int& job, std::string& pttId);
    void EndJob(const FleetJobOutcome& outcome, const std::string& pttId);
    bool Stopping() const { return m_stopAfterJobs.load() || m_stopNow.load(); }
    void SleepUnlessStopping(int milliseconds);

    const FleetPlan m_plan;
    CJobLog& m_log;
    IFleetObserver& m_observer;
    PortFactory m_makePort;
    std::vector<std::thread> m_workers;
    std::atomic<int> m_nRunningWorkers{0};
    std::atomic<bool> m_stopAfterJobs{false};
    std::atomic<bool> m_stopNow{false};
    std::atomic<int> m_nSucceeded{0};
    std::atomic<int> m_nFailed{0};

    mutable std::mutex m_mutex;  // guards everything below
    std::condition_variable m_wake;
    std::optional<CIdSequence> m_ids;
    bool m_bOutOfIds = false;               // the sequence's last ID has been given
    std::deque<std::string> m_returnedIds;  // given back by jobs that wrote nothing, in order
    int m_nJobsStarted = 0;
    int m_nJobsRunning = 0;
    std::deque<int> m_waitingForUser;  // ports, in the order they began to wait
    int m_nReleased = 0;               // presses not yet taken by the port at the front
    bool m_bNoMoreRadios = false;
};
