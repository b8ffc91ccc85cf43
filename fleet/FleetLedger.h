// The bookkeeping of a production run, apart from its threads and radios: the job numbers,
// the ID each job gets, --count, and the IDs the job log says earlier jobs may have left in
// radios. Not thread-safe: the run calls it under its own lock.
//
// An ID counts as used once it may have reached a radio: a job that failed before any block
// of its write was sent gives its ID back, and the next job takes it (IDs given back go out
// in sequence order before new ones); a job that sent a block keeps its ID, whatever happened
// next. An ID the log records is never handed out again unless the run was told to.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "IdSequence.h"
#include "Result.h"
#include "UsedIds.h"

class CFleetLedger {
public:
    struct Job {
        int number = 0;  // 1, 2, ... over all ports
        std::string id;  // empty without a sequence
    };

    // idFrom: the first ID, empty for none (every radio keeps the document's). count: stop
    // after this many successes, 0 for no limit. used: the IDs never to give, nullptr to give
    // them again on purpose. logName names the log in messages.
    CFleetLedger(const std::string& idFrom, int count, const CUsedIds* used, std::string logName);

    // Before any radio is touched: a sequence that would hand out a used ID within the IDs
    // the run gives (the first count, or all of them without a count) is refused, naming the
    // ID, where the log has it and the next unused one.
    Result<> Check() const;

    // The next job, or none when no further job may start: the count is reached (together
    // with the running jobs), or the IDs are at an end (EndReason says why).
    std::optional<Job> Claim();
    // A job ended. blockSent: some block of its write went out, so the radio may hold its ID.
    void End(const Job& job, bool ok, bool blockSent);

    bool CountReached() const { return m_count > 0 && m_succeeded >= m_count; }
    int Succeeded() const { return m_succeeded; }
    int Failed() const { return m_failed; }
    // Why no further ID can be given, for the user; empty while IDs remain.
    const std::string& EndReason() const { return m_endReason; }

private:
    std::optional<CIdSequence> m_ids;
    const int m_count;
    const CUsedIds* const m_used;
    const std::string m_logName;
    bool m_outOfIds = false;                // the sequence's last ID has been given
    std::deque<std::string> m_returnedIds;  // given back by jobs that wrote nothing, in order
    int m_started = 0;
    int m_running = 0;
    int m_succeeded = 0;
    int m_failed = 0;
    std::string m_endReason;
};
