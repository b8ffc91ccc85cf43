#include "FleetJob.h"

#include <chrono>

#include "FileIO.h"
#include "FleetObserver.h"
#include "HexText.h"
#include "NewDocument.h"
#include "PortSystem.h"
#include "PttIdCode.h"

namespace {

bool IsStage(std::string_view text) {
    return text == kStatusBackingUp || text == kStatusWriting || text == kStatusChecking;
}

// How the user restores the backup of the job, as the program around says it; empty without
// a backup.
std::string RestoreAdvice(const FleetJobInput& input, const SafeWriteReport& report) {
    if (report.backupPath.empty()) {
        return {};
    }
    return input.write.restoreHint ? input.write.restoreHint(input.port, report.backupPath)
                                   : QuotedPath(report.backupPath);
}

// The safe write's hooks in a worker thread: no boxes and no event loop; the stage and bar
// go to the observer, and what a box would have said is kept for the log. Before the write
// the job is noted in the log's journal, so that a run killed during the write still leaves
// a row for it.
class CJobHooks final : public ISafeWriteHooks {
public:
    // cutShort is the row to log should the run end during the write; report, the safe
    // write's, tells its backup by then.
    CJobHooks(IFleetObserver& observer, int port, const std::atomic<bool>& stopNow,
              const SleepFunction& sleep, CJobLog& log, const FleetJobInput& input,
              const JobRecord& cutShort, const SafeWriteReport& report)
        : m_observer(observer),
          m_port(port),
          m_stopNow(stopNow),
          m_sleep(sleep),
          m_log(log),
          m_input(input),
          m_cutShort(cutShort),
          m_report(report) {}

    void Sleep(int milliseconds) override { m_sleep(milliseconds); }
    void ShowMessage(std::string_view text, MessageIcon) override { m_lastBox = text; }
    RetryAnswer AskRetryCancel(std::string_view text) override {
        m_lastBox = text;
        return RetryAnswer::Cancel;
    }
    void PumpOne() override {}
    bool IsCancelled() override { return m_stopNow.load(); }
    void SetStatus(std::string_view text) override {
        // Only the stage tells the observer something; the link's own texts come again with
        // every session.
        if (!IsStage(text)) {
            return;
        }
        if (text != m_status) {
            m_status = text;
            m_observer.JobStatus(m_port, m_status);
        }
    }
    int ProgressPosition() override { return m_position; }
    void SetProgressPosition(int position) override {
        if (position != m_position) {
            m_position = position;
            m_observer.JobProgress(m_port, position);
        }
    }
    void Identified(std::span<const std::uint8_t> identification) override {
        if (m_identification.empty()) {
            m_identification = HexBytes(identification);
        }
    }
    bool WriteOtherType(std::string_view radioType, std::string_view documentType) override {
        m_lastBox = "the radio is a " + std::string(radioType) + " but the document is for a " +
                    std::string(documentType);
        return false;
    }
    RetryAnswer AskWriteAgain(std::string_view text) override {
        m_lastBox = text;
        return RetryAnswer::Cancel;
    }
    Result<> BeforeWriting() override {
        if (m_noted) {
            return {};
        }
        JobRecord cutShort = m_cutShort;
        cutShort.radioId = m_identification;
        cutShort.type = m_report.radioType;
        cutShort.backup = m_report.backupPath;
        cutShort.result =
            "cut short: the run ended while this radio was being written. " +
            (m_input.pttId.empty() ? std::string("It may hold part of the document.")
                                   : IdFate(m_input.pttId, true, RestoreAdvice(m_input, m_report)));
        m_noted = true;
        return m_log.BeginWrite(cutShort);
    }

    const std::string& LastBox() const { return m_lastBox; }
    const std::string& Identification() const { return m_identification; }

private:
    IFleetObserver& m_observer;
    const int m_port;
    const std::atomic<bool>& m_stopNow;
    const SleepFunction& m_sleep;
    CJobLog& m_log;
    const FleetJobInput& m_input;
    const JobRecord& m_cutShort;
    const SafeWriteReport& m_report;
    std::string m_lastBox;
    std::string m_status;
    std::string m_identification;
    int m_position = 0;
    bool m_noted = false;
};

// The stage a job failed in, as the log names it.
std::string FailedStage(SafeWriteEnd end) {
    switch (end) {
        case SafeWriteEnd::OpenFailed:
            return "open";
        case SafeWriteEnd::NotBackedUp:
            return "backup";
        case SafeWriteEnd::OtherType:
            return "type";
        case SafeWriteEnd::Refused:
            return "log";
        case SafeWriteEnd::WriteFailed:
            return "write";
        case SafeWriteEnd::NotChecked:
        case SafeWriteEnd::Mismatch:
            return "verify";
        case SafeWriteEnd::Cancelled:
            return "stopped";
        case SafeWriteEnd::Done:
            break;
    }
    return {};
}

// Sentences run on in one log field.
std::string Sentence(std::string text) {
    if (!text.empty() && text.back() != '.') {
        text += '.';
    }
    return text;
}

}  // namespace

void SleepFor(int milliseconds) {
    PauseLine(milliseconds);
}

RadioImage JobImage(const RadioImage& document, const std::string& pttId) {
    RadioImage image = document;
    if (!pttId.empty()) {
        WritePttIdCodes(image, PttIdCodesFromText(pttId));
    }
    return image;
}

std::string IdFate(const std::string& pttId, bool writeStarted, const std::string& restoreAdvice) {
    if (!writeStarted) {
        return "Not written - ID " + pttId + " goes to the next radio.";
    }
    std::string fate =
        "ID " + pttId + " may be in this radio: write it again or restore its backup";
    if (!restoreAdvice.empty()) {
        fate.append(" ").append(restoreAdvice);
    }
    return fate + ".";
}

FleetJobOutcome RunFleetJob(IPort& port, const FleetJobInput& input, CJobLog& log,
                            IFleetObserver& observer, int portIndex,
                            const std::atomic<bool>& stopNow, const SleepFunction& sleep) {
    const auto started = std::chrono::steady_clock::now();
    FleetJobOutcome outcome;
    outcome.pttId = input.pttId;
    JobRecord& record = outcome.record;
    record.time = QDateTime::currentDateTime();
    record.port = input.port;
    record.pttId = input.pttId;
    record.file = input.file;
    const RadioImage image = JobImage(input.document, input.pttId);
    record.imageSha256 = WrittenSha256(image);

    SafeWriteReport report;
    CJobHooks hooks(observer, portIndex, stopNow, sleep, log, input, record, report);
    const Result<SafeWriteEnd> result =
        RunSafeWrite(port, hooks, input.port, image, input.write, report);

    record.radioId = hooks.Identification();
    record.type = report.radioType;
    record.backup = report.backupPath;
    outcome.ok = result.ok();
    outcome.writeStarted = report.blockSent;
    if (outcome.ok) {
        record.result = "ok";
    } else {
        const std::string why = !result.message.empty() ? result.message : hooks.LastBox();
        outcome.reason = FailedStage(result.end);
        if (!why.empty()) {
            outcome.reason.append(": ").append(Sentence(why));
        }
        record.result = outcome.reason;
        if (!input.pttId.empty()) {
            outcome.fate = IdFate(input.pttId, outcome.writeStarted, RestoreAdvice(input, report));
            record.result.append(" ").append(outcome.fate);
        }
        // A radio that got nothing does not hold the ID: the row does not name it.
        if (!outcome.writeStarted) {
            record.pttId.clear();
        }
    }
    record.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return outcome;
}
