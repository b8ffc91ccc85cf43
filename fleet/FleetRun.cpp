#include "FleetRun.h"

#include <algorithm>
#include <chrono>

#include "CloneExchange.h"
#include "Features.h"
#include "FleetObserver.h"

namespace {

// A probe's hooks: no boxes, real sleeps, and the run's stop request as the cancel.
class CProbeHooks final : public ICloneHooks {
public:
    explicit CProbeHooks(const std::atomic<bool>& stop) : m_stop(stop) {}
    void Sleep(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void ShowMessage(std::string_view, MessageIcon) override {}
    RetryAnswer AskRetryCancel(std::string_view) override { return RetryAnswer::Cancel; }
    void PumpOne() override {}
    bool IsCancelled() override { return m_stop.load(); }
    void SetStatus(std::string_view) override {}
    int ProgressPosition() override { return 0; }
    void SetProgressPosition(int) override {}

private:
    const std::atomic<bool>& m_stop;
};

}  // namespace

Result<> CFleetRun::Check(const FleetPlan& plan) {
    if (plan.ports.empty()) {
        return Failure("no port was chosen");
    }
    if (plan.idFrom.empty()) {
        return {};
    }
    if (Result<> id = CIdSequence::Check(plan.idFrom); !id) {
        return id;
    }
    if (PttIdMode(plan.document) == 0) {
        return Failure(
            "the document's PTT ID mode is OFF, so a radio would not send the ID: "
            "choose BOT, EOT or BOTH in Optional Features first");
    }
    return {};
}

CFleetRun::CFleetRun(FleetPlan plan, CJobLog& log, IFleetObserver& observer, PortFactory makePort)
    : m_plan(std::move(plan)), m_log(log), m_observer(observer), m_makePort(std::move(makePort)) {
    if (!m_plan.idFrom.empty()) {
        m_ids.emplace(m_plan.idFrom);
    }
}

CFleetRun::~CFleetRun() {
    StopNow();
    Join();
}

void CFleetRun::Start() {
    m_nRunningWorkers = static_cast<int>(m_plan.ports.size());
    for (int i = 0; i < static_cast<int>(m_plan.ports.size()); ++i) {
        m_workers.emplace_back([this, i] { Work(i); });
    }
}

void CFleetRun::NextRadio() {
    const std::lock_guard lock(m_mutex);
    if (static_cast<int>(m_waitingForUser.size()) > m_nReleased) {
        ++m_nReleased;
        m_wake.notify_all();
    }
}

void CFleetRun::NoMoreRadios() {
    const std::lock_guard lock(m_mutex);
    m_bNoMoreRadios = true;
    m_wake.notify_all();
}

void CFleetRun::StopAfterRunningJobs() {
    m_stopAfterJobs = true;
    const std::lock_guard lock(m_mutex);
    m_wake.notify_all();
}

void CFleetRun::StopNow() {
    m_stopNow = true;
    StopAfterRunningJobs();
}

bool CFleetRun::Finished() const {
    return m_nRunningWorkers.load() == 0;
}

void CFleetRun::Join() {
    for (std::thread& worker : m_workers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

void CFleetRun::SleepUnlessStopping(int milliseconds) {
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return Stopping(); });
}

void CFleetRun::Work(int index) {
    std::unique_ptr<IPort> port = m_makePort();
    for (bool first = true; !Stopping(); first = false) {
        if (!WaitForRadio(index, *port, first)) {
            break;
        }
        int job = 0;
        std::string pttId;
        if (!ClaimJob(job, pttId)) {
            break;
        }
        m_observer.JobStarted(index, job, pttId);
        const FleetJobInput input{m_plan.ports[static_cast<std::size_t>(index)], m_plan.document,
                                  m_plan.file, pttId, m_plan.write};
        const FleetJobOutcome outcome = RunFleetJob(*port, input, m_observer, index, m_stopNow);
        const Result<> logged = m_log.Append(outcome.record);
        EndJob(outcome, pttId);
        m_observer.JobEnded(index, job, outcome.record, outcome.ok, logged.message);
    }
    port.reset();
    --m_nRunningWorkers;
    m_observer.PortDone(index);
}

bool CFleetRun::WaitForRadio(int index, IPort& port, bool first) {
    if (first) {
        return true;  // the first job on each port starts at once
    }
    if (!m_plan.automatic) {
        return WaitForUser(index);
    }
    m_observer.Waiting(index, FleetWait::RadioGone);
    if (!WaitForProbe(index, port, false)) {
        return false;
    }
    m_observer.Waiting(index, FleetWait::RadioPresent);
    if (!WaitForProbe(index, port, true)) {
        return false;
    }
    SleepUnlessStopping(kSettleMs);
    return !Stopping();
}

bool CFleetRun::WaitForUser(int index) {
    m_observer.Waiting(index, FleetWait::NextRadio);
    std::unique_lock lock(m_mutex);
    m_waitingForUser.push_back(index);
    const auto released = [&] { return m_nReleased > 0 && m_waitingForUser.front() == index; };
    m_wake.wait(lock,
                [&] { return Stopping() || released() || (m_bNoMoreRadios && m_nReleased == 0); });
    const bool go = !Stopping() && released();
    if (go) {
        --m_nReleased;
    }
    std::erase(m_waitingForUser, index);
    m_wake.notify_all();
    return go;
}

bool CFleetRun::WaitForProbe(int index, IPort& port, bool present) {
    CProbeHooks hooks(m_stopAfterJobs);
    const std::string& name = m_plan.ports[static_cast<std::size_t>(index)];
    auto lastAnswer = std::chrono::steady_clock::now();
    while (!Stopping()) {
        const bool answered = ProbeRadio(port, hooks, name).ok();
        const auto now = std::chrono::steady_clock::now();
        if (answered) {
            lastAnswer = now;
            if (present) {
                return true;
            }
        } else if (!present && now - lastAnswer >= std::chrono::milliseconds(kGoneAfterMs)) {
            return true;
        }
        SleepUnlessStopping(kProbeIntervalMs);
    }
    return false;
}

bool CFleetRun::ClaimJob(int& job, std::string& pttId) {
    const std::lock_guard lock(m_mutex);
    if (Stopping() || (m_plan.count > 0 && m_nSucceeded + m_nJobsRunning >= m_plan.count)) {
        return false;
    }
    if (m_ids) {
        if (!m_returnedIds.empty()) {
            pttId = m_returnedIds.front();
            m_returnedIds.pop_front();
        } else if (m_bOutOfIds) {
            return false;
        } else {
            pttId = m_ids->Current();
            m_bOutOfIds = !m_ids->Advance();
        }
    }
    ++m_nJobsRunning;
    job = ++m_nJobsStarted;
    return true;
}

void CFleetRun::EndJob(const FleetJobOutcome& outcome, const std::string& pttId) {
    const std::lock_guard lock(m_mutex);
    --m_nJobsRunning;
    if (outcome.ok) {
        ++m_nSucceeded;
        if (m_plan.count > 0 && m_nSucceeded >= m_plan.count) {
            m_stopAfterJobs = true;
        }
    } else {
        ++m_nFailed;
        if (!pttId.empty() && !outcome.writeStarted) {
            // Kept in sequence order: a longer ID comes later, IDs of one width sort as text.
            const auto later = std::find_if(
                m_returnedIds.begin(), m_returnedIds.end(), [&pttId](const std::string& id) {
                    return id.size() > pttId.size() || (id.size() == pttId.size() && id > pttId);
                });
            m_returnedIds.insert(later, pttId);
        }
    }
    m_wake.notify_all();
}
