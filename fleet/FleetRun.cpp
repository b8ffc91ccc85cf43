#include "FleetRun.h"

#include <algorithm>
#include <chrono>
#include <map>

#include "CloneExchange.h"
#include "Features.h"
#include "FileIO.h"
#include "FleetObserver.h"
#include "PortNames.h"
#include "TracingPort.h"

namespace {

// A probe's hooks: no boxes, the run's sleeps, and the run's stop request as the cancel.
class CProbeHooks final : public ICloneHooks {
public:
    CProbeHooks(const std::atomic<bool>& stop, const SleepFunction& sleep)
        : m_stop(stop), m_sleep(sleep) {}
    void Sleep(int milliseconds) override { m_sleep(milliseconds); }
    void ShowMessage(std::string_view, MessageIcon) override {}
    RetryAnswer AskRetryCancel(std::string_view) override { return RetryAnswer::Cancel; }
    void PumpOne() override {}
    bool IsCancelled() override { return m_stop.load(); }
    void SetStatus(std::string_view) override {}
    int ProgressPosition() override { return 0; }
    void SetProgressPosition(int) override {}

private:
    const std::atomic<bool>& m_stop;
    const SleepFunction& m_sleep;
};

std::string LogName(const std::filesystem::path& path) {
    return Utf8Of(path.filename());
}

}  // namespace

Result<> CFleetRun::Check(const FleetPlan& plan) {
    if (plan.ports.empty()) {
        return Failure("no port was chosen");
    }
    // Two names of one device ("COM1" mapped to /dev/ttyUSB0 and its link under
    // /dev/serial/by-id) would take each other's radio.
    std::map<std::string, std::string> seen;  // device -> the port that named it first
    for (const std::string& port : plan.ports) {
        if (const auto [first, fresh] = seen.emplace(DeviceIdentity(port), port); !fresh) {
            return Failure(first->second + " and " + port + " are the same device, " +
                           DeviceForPort(first->second) + ": choose one of them");
        }
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

CFleetRun::CFleetRun(FleetPlan plan, CJobLog& log, IFleetObserver& observer, PortFactory makePort,
                     SleepFunction sleep)
    : m_plan(std::move(plan)),
      m_log(log),
      m_observer(observer),
      m_makePort(std::move(makePort)),
      m_sleep(std::move(sleep)),
      m_ledger(m_plan.idFrom, m_plan.count, m_plan.reuseIds ? nullptr : &log.Used(),
               LogName(log.Path())) {}

CFleetRun::~CFleetRun() {
    StopNow();
    Join();
}

Result<> CFleetRun::CheckIds() const {
    const std::lock_guard lock(m_mutex);
    return m_ledger.Check();
}

void CFleetRun::Start() {
    m_runningWorkers = static_cast<int>(m_plan.ports.size());
    for (int i = 0; i < static_cast<int>(m_plan.ports.size()); ++i) {
        m_workers.emplace_back([this, i] { Work(i); });
    }
}

void CFleetRun::NextRadio() {
    const std::lock_guard lock(m_mutex);
    if (static_cast<int>(m_waitingForUser.size()) > m_released) {
        ++m_released;
        m_wake.notify_all();
    }
}

void CFleetRun::NoMoreNextRadio() {
    const std::lock_guard lock(m_mutex);
    m_noMorePresses = true;
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
    return m_runningWorkers.load() == 0;
}

void CFleetRun::Join() {
    for (std::thread& worker : m_workers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

int CFleetRun::Succeeded() const {
    const std::lock_guard lock(m_mutex);
    return m_ledger.Succeeded();
}

int CFleetRun::Failed() const {
    const std::lock_guard lock(m_mutex);
    return m_ledger.Failed();
}

std::string CFleetRun::StopReason() const {
    const std::lock_guard lock(m_mutex);
    return m_stopReason;
}

void CFleetRun::SleepUnlessStopping(int milliseconds) {
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return Stopping(); });
}

void CFleetRun::Work(int index) {
    std::unique_ptr<IPort> port = m_makePort(m_plan.ports[static_cast<std::size_t>(index)]);
    for (bool first = true; !Stopping(); first = false) {
        if (!WaitForRadio(index, *port, first)) {
            break;
        }
        const std::optional<CFleetLedger::Job> job = ClaimJob();
        if (!job) {
            break;
        }
        RunJob(index, *port, *job);
    }
    port.reset();
    --m_runningWorkers;
    m_observer.PortDone(index);
}

void CFleetRun::RunJob(int index, IPort& port, const CFleetLedger::Job& job) {
    const std::string& name = m_plan.ports[static_cast<std::size_t>(index)];
    m_observer.JobStarted(index, job.number, job.id);
    // Several ports write one trace: each job's lines carry its port and ID.
    const std::string mark = name + (job.id.empty() ? "" : " ID " + job.id);
    CTracingPort traced(
        port, m_plan.traceFile,
        TraceTitle("kvprog", "production job #" + std::to_string(job.number) + " on " + mark),
        mark);
    const FleetJobInput input{name, m_plan.document, m_plan.file, job.id, m_plan.write};
    const FleetJobOutcome outcome =
        RunFleetJob(traced, input, m_log, m_observer, index, m_stopNow, m_sleep);
    const Result<> logged = m_log.Append(outcome.record);
    EndJob(job, outcome, logged);
    m_observer.JobEnded(index, job.number, outcome, logged.message);
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
    return WaitForProbe(index, port, true);
}

bool CFleetRun::WaitForUser(int index) {
    // In the queue before the prompt is shown, so that a press right after it is not lost.
    {
        const std::lock_guard lock(m_mutex);
        m_waitingForUser.push_back(index);
    }
    m_observer.Waiting(index, FleetWait::NextRadio);
    std::unique_lock lock(m_mutex);
    const auto place = [&] {
        return std::find(m_waitingForUser.begin(), m_waitingForUser.end(), index) -
               m_waitingForUser.begin();
    };
    // The presses go to the ports in the order they began to wait; once no more can come,
    // a port beyond the presses already made gives up, one within them waits for its turn.
    m_wake.wait(lock, [&] {
        return Stopping() || (m_released > 0 && place() == 0) ||
               (m_noMorePresses && place() >= m_released);
    });
    const bool go = !Stopping() && m_released > 0 && place() == 0;
    if (go) {
        --m_released;
    }
    std::erase(m_waitingForUser, index);
    m_wake.notify_all();
    return go;
}

bool CFleetRun::WaitForProbe(int index, IPort& port, bool present) {
    CProbeHooks hooks(m_stopAfterJobs, m_sleep);
    const std::string& name = m_plan.ports[static_cast<std::size_t>(index)];
    auto lastAnswer = std::chrono::steady_clock::now();
    while (!Stopping()) {
        // A radio that takes the handshake is there, even one whose answers a write cannot
        // go on with: its job runs, and fails saying why.
        const ProbeEnd end = ProbeRadio(port, hooks, name).end;
        const bool answered = end == ProbeEnd::Ready || end == ProbeEnd::Unconfirmed;
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

std::optional<CFleetLedger::Job> CFleetRun::ClaimJob() {
    const std::lock_guard lock(m_mutex);
    if (Stopping()) {
        return std::nullopt;
    }
    std::optional<CFleetLedger::Job> job = m_ledger.Claim();
    if (!job && !m_ledger.EndReason().empty()) {
        m_stopReason = m_ledger.EndReason();
        m_stopAfterJobs = true;
        m_wake.notify_all();
    }
    return job;
}

void CFleetRun::EndJob(const CFleetLedger::Job& job, const FleetJobOutcome& outcome,
                       const Result<>& logged) {
    const std::lock_guard lock(m_mutex);
    m_ledger.End(job, outcome.ok, outcome.writeStarted);
    if (m_ledger.CountReached()) {
        m_stopAfterJobs = true;
    }
    if (!logged && m_stopReason.empty()) {
        // Without its log a run could give an ID twice tomorrow: no further radio.
        m_stopReason = "the job log cannot be written (" + logged.message +
                       "), so no further radio is programmed";
        m_stopAfterJobs = true;
    }
    m_wake.notify_all();
}
