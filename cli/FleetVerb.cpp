#include "FleetVerb.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <mutex>

#include "Backups.h"
#include "Console.h"
#include "FileIO.h"
#include "FileToSend.h"
#include "FleetObserver.h"
#include "FleetRun.h"
#include "Interrupt.h"
#include "LinkPort.h"
#include "MakePort.h"
#include "Numbers.h"
#include "Options.h"
#include "RadioVerbs.h"

namespace {

constexpr int kMaxCount = 1'000'000;
constexpr OptionSpec kFleetOptions[] = {{"--port", Takes::Values},
                                        {"--count", Takes::Value, 1, kMaxCount},
                                        {"--id-from", Takes::Value},
                                        {"--reuse-ids"},
                                        {"--log", Takes::Value},
                                        {"--no-backup"},
                                        {"--no-verify"},
                                        {"--auto"}};

// `--id-from next`: on after the highest ID the log records.
constexpr std::string_view kNextId = "next";

// How often the main thread looks at standard input and the interrupts.
constexpr int kPollMs = 100;

// Progress on standard error, one summary line a job on standard output; workers call it
// at once, so every line is written whole under a lock.
class CTerminalObserver final : public IFleetObserver {
public:
    explicit CTerminalObserver(std::vector<std::string> ports) : m_ports(std::move(ports)) {}

    void Waiting(int port, FleetWait what) override {
        static constexpr const char* kTexts[] = {"connect the next radio and press Enter",
                                                 "waiting for the radio to be switched off",
                                                 "waiting for the next radio"};
        Progress(port, kTexts[static_cast<int>(what)]);
    }
    void JobStarted(int port, int job, const std::string& pttId) override {
        Progress(port, "job #" + std::to_string(job) + (pttId.empty() ? "" : ", ID " + pttId));
    }
    void JobStatus(int port, const std::string& status) override { Progress(port, status); }
    void JobProgress(int, int) override {}
    void JobEnded(int port, int job, const FleetJobOutcome& outcome,
                  const std::string& logError) override {
        const JobRecord& record = outcome.record;
        std::string line = Name(port) + "  #" + std::to_string(job) + "  " +
                           (outcome.ok ? std::string("ok") : "failed: " + record.result);
        // The ID a radio may hold; where a given-back ID went, the result says.
        if (!record.pttId.empty()) {
            line += "  ID " + record.pttId;
        }
        line += "  " + FormatFixed(record.seconds, 1) + " s\n";
        const std::lock_guard lock(m_mutex);
        if (!m_outputFailed && !WriteStandardOutput(line)) {
            m_outputFailed = true;
        }
        if (!logError.empty()) {
            std::cerr << "kvprog-cli: the job log: " << logError << "\n";
        }
    }
    void PortDone(int) override {}

    bool OutputFailed() const {
        const std::lock_guard lock(m_mutex);
        return m_outputFailed;
    }

private:
    const std::string& Name(int port) const { return m_ports[static_cast<std::size_t>(port)]; }
    void Progress(int port, const std::string& text) {
        const std::lock_guard lock(m_mutex);
        std::cerr << Name(port) << ": " << text << "\n";
    }

    const std::vector<std::string> m_ports;
    mutable std::mutex m_mutex;
    bool m_outputFailed = false;
};

// Turns the interrupts and the lines of standard input into the run's requests until every
// worker has stopped.
void Supervise(CFleetRun& run, bool automatic) {
    int handled = 0;
    bool inputOpen = !automatic;
    while (!run.Finished()) {
        const int interrupts = InterruptCount();
        if (interrupts > handled) {
            handled = interrupts;
            if (handled == 1) {
                std::cerr << "kvprog-cli: stopping after the running jobs (Ctrl+C again stops "
                             "them at once)\n";
                run.StopAfterRunningJobs();
            } else {
                run.StopNow();
            }
        }
        if (!inputOpen) {
            Pause(kPollMs);
            continue;
        }
        const int presses = ReadEnterPresses(kPollMs);
        for (int i = 0; i < presses; ++i) {
            run.NextRadio();
        }
        if (presses < 0) {
            // No Enter can come any more: a port that waits for one is done.
            inputOpen = false;
            run.NoMoreNextRadio();
        }
    }
    run.Join();
}

// The plan from the words, or the exit code of a refusal.
int MakePlan(const ParsedWords& words, std::string_view synopsis, FleetPlan& plan) {
    plan.ports = words.Values("--port");
    for (const std::string& port : plan.ports) {
        if (port.empty()) {
            return Fail(kExitUsage, UsageText(synopsis));
        }
    }
    std::error_code error;
    plan.file = Utf8Of(
        std::filesystem::absolute(PathFromUtf8(words.positionals[0]), error).lexically_normal());
    if (const Result<> loaded = LoadFileToSend(plan.file, plan.document); !loaded) {
        return Fail(kExitUsage, loaded.message);
    }
    plan.idFrom = words.Last("--id-from");
    if (words.Has("--id-from") && plan.idFrom.empty()) {
        return Fail(kExitUsage, CIdSequence::Check("").message);
    }
    plan.count = words.Number("--count", 0);
    plan.automatic = words.Has("--auto");
    plan.reuseIds = words.Has("--reuse-ids");
    plan.traceFile = TraceFilePath();
    plan.write.backup = !words.Has("--no-backup");
    plan.write.verify = !words.Has("--no-verify");
    plan.write.source = plan.file;
    plan.write.checkHint = "compare it with kvprog-cli diff";
    plan.write.restoreHint = RestoreHint;
    // "next" is checked once the log is read.
    FleetPlan checked = plan;
    if (checked.idFrom == kNextId) {
        checked.idFrom = "1";
    }
    if (const Result<> valid = CFleetRun::Check(checked); !valid) {
        return Fail(kExitUsage, valid.message);
    }
    return kExitOk;
}

// `--id-from next` as the log has it: the ID after the highest it records.
int ResolveNextId(const CJobLog& log, FleetPlan& plan) {
    if (plan.idFrom != kNextId) {
        return kExitOk;
    }
    plan.idFrom = log.Used().Next();
    if (plan.idFrom.empty()) {
        return Fail(kExitUsage, "--id-from next: " + Utf8Of(log.Path()) +
                                    (log.Used().Empty() ? " records no ID yet: give the first one"
                                                        : " records the last ID there is"));
    }
    std::cerr << "kvprog-cli: IDs from " << plan.idFrom << "\n";
    return kExitOk;
}

}  // namespace

int RunFleet(const Args& args, std::string_view synopsis) {
    const std::string_view names[] = {"IN.sin"};
    ParsedWords words;
    if (!ParseOrShowUsage({.options = kFleetOptions, .positionals = names}, args, synopsis,
                          words)) {
        return kExitUsage;
    }
    FleetPlan plan;
    if (const int refused = MakePlan(words, synopsis, plan); refused != kExitOk) {
        return refused;
    }
    if (!words.Has("--log")) {
        EnsureBackupFolder();  // the data folder the default log lives in
    }
    CJobLog log(words.Has("--log") ? PathFromUtf8(words.Last("--log")) : DefaultJobLogPath());
    if (const Result<> opened = log.Open(); !opened) {
        return Fail(kExitUsage, opened.message);
    }
    if (const int refused = ResolveNextId(log, plan); refused != kExitOk) {
        return refused;
    }
    std::cerr << "kvprog-cli: job log " << Utf8Of(log.Path()) << "\n";
    if (CAppendFile trace; !plan.traceFile.empty()) {
        if (const Result<> opened =
                trace.Open(PathFromUtf8(plan.traceFile), "cannot open the trace file");
            !opened) {
            std::cerr << "kvprog-cli: warning: " << opened.message
                      << " Going on without a trace.\n";
            plan.traceFile.clear();
        }
    }

    const CInterruptGuard interrupt(true);
    CTerminalObserver observer(plan.ports);
    const bool automatic = plan.automatic;
    CFleetRun run(std::move(plan), log, observer, MakePort);
    if (const Result<> ids = run.CheckIds(); !ids) {
        return Fail(kExitUsage, ids.message +
                                    " (--id-from next continues after the highest used ID; "
                                    "--reuse-ids gives used IDs again)");
    }
    run.Start();
    Supervise(run, automatic);
    std::cerr << "kvprog-cli: " << run.Succeeded() << " ok, " << run.Failed() << " failed\n";
    if (const std::string why = run.StopReason(); !why.empty()) {
        Fail(kExitRadio, why);
    }
    if (observer.OutputFailed()) {
        return kExitUsage;
    }
    return run.Failed() > 0 || !run.StopReason().empty() ? kExitRadio : kExitOk;
}
