#include "FleetVerb.h"

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <mutex>

#include "Backups.h"
#include "ChannelCodec.h"
#include "CommPort.h"
#include "FleetObserver.h"
#include "FleetRun.h"
#include "Interrupt.h"
#include "Options.h"
#include "SinFile.h"

namespace {

constexpr int kMaxCount = 1'000'000;
constexpr OptionSpec kFleetOptions[] = {{"--port", Takes::Values},
                                        {"--count", Takes::Value, 1, kMaxCount},
                                        {"--id-from", Takes::Value},
                                        {"--log", Takes::Value},
                                        {"--no-backup"},
                                        {"--no-verify"},
                                        {"--auto"}};

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
    void JobEnded(int port, int job, const JobRecord& record, bool ok,
                  const std::string& logError) override {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f s", record.seconds);
        std::string line = Name(port) + "  #" + std::to_string(job) + "  " +
                           (ok ? std::string("ok") : "failed: " + record.result);
        if (!record.pttId.empty()) {
            line += "  ID " + record.pttId;
        }
        line += "  " + std::string(seconds) + "\n";
        const std::lock_guard lock(m_mutex);
        if (!WriteStandardOutput(line)) {
            m_bOutputFailed = true;
        }
        if (!logError.empty()) {
            std::cerr << "kvprog-cli: the job log: " << logError << "\n";
            m_bLogFailed = true;
        }
    }
    void PortDone(int) override {}

    bool OutputFailed() const { return m_bOutputFailed || m_bLogFailed; }

private:
    const std::string& Name(int port) const { return m_ports[static_cast<std::size_t>(port)]; }
    void Progress(int port, const std::string& text) {
        const std::lock_guard lock(m_mutex);
        std::cerr << Name(port) << ": " << text << "\n";
    }

    const std::vector<std::string> m_ports;
    std::mutex m_mutex;
    bool m_bOutputFailed = false;
    bool m_bLogFailed = false;
};

// Waits up to kPollMs for a line on standard input: 1 a line came, 0 none yet, -1 the input
// has ended.
int ReadLine() {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, kPollMs) <= 0) {
        return 0;
    }
    std::string line;
    if (!std::getline(std::cin, line)) {
        return -1;
    }
    return 1;
}

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
            ::poll(nullptr, 0, kPollMs);
            continue;
        }
        const int line = ReadLine();
        if (line > 0) {
            run.NextRadio();
        } else if (line < 0) {
            // No Enter can come any more: nothing starts that would wait for one.
            inputOpen = false;
            run.NoMoreRadios();
        }
    }
    run.Join();
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
    plan.ports = words.Values("--port");
    for (const std::string& port : plan.ports) {
        if (port.empty()) {
            return Fail(kExitUsage, UsageText(synopsis));
        }
    }
    plan.file = words.positionals[0];
    if (const Result<> loaded = LoadSinFile(plan.file, plan.document); !loaded) {
        return Fail(kExitUsage, loaded.message);
    }
    // What the desktop program sends after opening the file: the form's reading of it.
    EncodeImage(DecodeForDisplay(plan.document), plan.document);
    plan.idFrom = words.Last("--id-from");
    if (words.Has("--id-from") && plan.idFrom.empty()) {
        return Fail(kExitUsage, CIdSequence::Check("").message);
    }
    plan.count = words.Number("--count", 0);
    plan.automatic = words.Has("--auto");
    plan.write.backup = !words.Has("--no-backup");
    plan.write.verify = !words.Has("--no-verify");
    plan.write.source = plan.file;
    plan.write.checkHint = "compare it with kvprog-cli diff";
    if (const Result<> checked = CFleetRun::Check(plan); !checked) {
        return Fail(kExitUsage, checked.message);
    }
    if (!words.Has("--log")) {
        EnsureBackupFolder();  // the data folder the default log lives in
    }
    CJobLog log(words.Has("--log") ? std::filesystem::path(words.Last("--log"))
                                   : DefaultJobLogPath());
    if (const Result<> opened = log.Open(); !opened) {
        return Fail(kExitUsage, opened.message);
    }
    std::cerr << "kvprog-cli: job log " << log.Path().string() << "\n";

    const CInterruptGuard interrupt(true);
    CTerminalObserver observer(plan.ports);
    const bool automatic = plan.automatic;
    CFleetRun run(std::move(plan), log, observer, [] { return std::make_unique<CCommPort>(); });
    run.Start();
    Supervise(run, automatic);
    std::cerr << "kvprog-cli: " << run.Succeeded() << " ok, " << run.Failed() << " failed\n";
    return run.Failed() > 0 || observer.OutputFailed() ? kExitRadio : kExitOk;
}
