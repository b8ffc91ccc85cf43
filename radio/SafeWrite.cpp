#include "SafeWrite.h"

#include <QFile>
#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "Backups.h"
#include "FileIO.h"
#include "ImageDiff.h"
#include "NewDocument.h"
#include "RadioTexts.h"

namespace {

bool IsNumber(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool SameType(const RadioImage& a, const RadioImage& b) {
    return a[addr::kTypeDigit] == b[addr::kTypeDigit];
}

// The radio's memory as far as its identification shows it (the identification is the
// memory from addr::kModelBlock on; 0xFF elsewhere), when it reaches the type digit.
std::optional<RadioImage> IdentifiedMemory(std::span<const std::uint8_t> identification) {
    if (identification.size() <= addr::kTypeDigit - addr::kModelBlock) {
        return std::nullopt;
    }
    RadioImage memory;
    std::copy_n(identification.begin(),
                std::min(identification.size(), addr::kWriteEnd - addr::kModelBlock),
                memory.data() + addr::kModelBlock);
    return memory;
}

// How a session guarded by the image's type ended at the identification.
enum class TypeStop { None, OtherType, Unknown };

// The hooks of one stage's clone run: everything goes to the safe write's hooks, but the bar
// is the stage's share of one bar over all stages, and the status line names the stage
// where the run would show a block number. With one stage and plainStatus it is the
// caller's hooks as they are.
class CStageHooks final : public ICloneHooks {
public:
    CStageHooks(ISafeWriteHooks& inner, int stages, bool plainStatus)
        : m_inner(inner), m_stageCount(std::max(stages, 1)), m_plainStatus(plainStatus) {}

    // guard: stop the session right after the identification when the radio is of another
    // type than this image or its identification is too short to tell; the clone run checks
    // cancel there, before any block, and leaves the radio as a cancelled read does.
    void Begin(int index, WriteStage stage, std::string_view status, const RadioImage* guard) {
        m_index = index;
        m_stage = stage;
        m_status = status;
        m_position = 0;
        m_blocks = 0;
        m_guard = guard;
        m_typeStop = TypeStop::None;
        m_identification.clear();
        if (!m_plainStatus) {
            m_inner.SetStatus(m_status);
            m_inner.SetProgressPosition(Overall(0));
        }
    }
    int Blocks() const { return m_blocks; }
    TypeStop Stopped() const { return m_typeStop; }
    const std::vector<std::uint8_t>& Identification() const { return m_identification; }

    void Sleep(int milliseconds) override { m_inner.Sleep(milliseconds); }
    void ShowMessage(std::string_view text, MessageIcon icon) override {
        m_inner.ShowMessage(text, icon);
    }
    RetryAnswer AskRetryCancel(std::string_view text) override {
        return m_stage == WriteStage::Verify ? m_inner.AskRetryCheck(text)
                                             : m_inner.AskRetryCancel(text);
    }
    void ShowFailure(std::string_view text) override { m_inner.ShowFailure(text); }
    void PumpOne() override { m_inner.PumpOne(); }
    bool IsCancelled() override { return m_typeStop != TypeStop::None || m_inner.IsCancelled(); }
    void SetStatus(std::string_view text) override {
        m_inner.SetStatus(!m_plainStatus && IsNumber(text) ? std::string_view(m_status) : text);
    }
    int ProgressPosition() override { return m_position; }
    void SetProgressPosition(int position) override {
        m_position = position;
        m_inner.SetProgressPosition(Overall(position));
    }
    void Attempt(int attempt, int of) override { m_inner.Attempt(attempt, of); }
    void Identified(std::span<const std::uint8_t> identification) override {
        m_identification.assign(identification.begin(), identification.end());
        if (m_guard) {
            const std::optional<RadioImage> radio = IdentifiedMemory(identification);
            m_typeStop = !radio                        ? TypeStop::Unknown
                         : !SameType(*radio, *m_guard) ? TypeStop::OtherType
                                                       : TypeStop::None;
        }
        m_inner.Identified(identification);
    }
    void BlockDone(int done, int total) override {
        m_blocks = done;
        m_inner.BlockDone(done, total);
    }

private:
    int Overall(int position) const {
        return (m_index * kProgressMaximum + position) / m_stageCount;
    }

    ISafeWriteHooks& m_inner;
    const int m_stageCount;
    const bool m_plainStatus;
    int m_index = 0;
    WriteStage m_stage = WriteStage::Write;
    std::string m_status;
    int m_position = 0;
    int m_blocks = 0;
    const RadioImage* m_guard = nullptr;
    TypeStop m_typeStop = TypeStop::None;
    std::vector<std::uint8_t> m_identification;
};

// The status line while a stage runs.
std::string_view StageStatus(WriteStage stage) {
    switch (stage) {
        case WriteStage::Backup:
            return kStatusBackingUp;
        case WriteStage::Write:
            return kStatusWriting;
        case WriteStage::Verify:
            break;
    }
    return kStatusChecking;
}

// Why a write did not begin when its backup could not be saved, and the fix.
std::string NotSavedText(std::string reason) {
    if (!reason.empty()) {
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    }
    return "the radio's backup could not be saved, so nothing was written: " + reason + " Make " +
           QuotedPath(PathFromUtf8(BackupFolder().toStdString())) +
           " a folder you may write to, with room on its disk, then write again.";
}

class CSafeWrite {
public:
    CSafeWrite(IPort& port, ISafeWriteHooks& hooks, const std::string& portName,
               const RadioImage& image, const SafeWriteOptions& options, SafeWriteReport& report)
        : m_port(port),
          m_hooks(hooks),
          m_portName(portName),
          m_image(image),
          m_options(options),
          m_report(report),
          m_stages(hooks, (options.backup ? 1 : 0) + 1 + (options.verify ? 1 : 0),
                   !options.backup && !options.verify) {}

    Result<SafeWriteEnd> Run();

private:
    Result<SafeWriteEnd> BackUp();
    Result<SafeWriteEnd> Write();
    Result<SafeWriteEnd> Written(const Result<CloneEnd>& written);
    Result<SafeWriteEnd> Check();
    // One stage's session: a write of image, or a read into it.
    Result<CloneEnd> Clone(WriteStage stage, RadioImage& image, const RadioImage* guard = nullptr);
    std::string RestoreAdvice() const;
    BackupOrigin Origin() const { return {m_portName, m_options.source}; }

    IPort& m_port;
    ISafeWriteHooks& m_hooks;
    const std::string& m_portName;
    const RadioImage& m_image;
    const SafeWriteOptions& m_options;
    SafeWriteReport& m_report;
    CStageHooks m_stages;
    bool m_typeKnown = false;  // the radio's type is the image's, or the hooks agreed
};

Result<CloneEnd> CSafeWrite::Clone(WriteStage stage, RadioImage& image, const RadioImage* guard) {
    // The stages run in their enum's order; without a backup the write is the first.
    m_stages.Begin(static_cast<int>(stage) - (m_options.backup ? 0 : 1), stage, StageStatus(stage),
                   guard);
    const CloneDirection direction =
        stage == WriteStage::Write ? CloneDirection::Write : CloneDirection::Read;
    Result<CloneEnd> result = RunClone(m_port, m_stages, m_portName, direction, image);
    if (m_report.radioType.empty()) {
        if (const auto radio = IdentifiedMemory(m_stages.Identification())) {
            m_report.radioType = RadioTypeText(*radio);
        }
    }
    return result;
}

std::string CSafeWrite::RestoreAdvice() const {
    if (m_report.backupPath.empty()) {
        return {};
    }
    return m_options.restoreHint ? m_options.restoreHint(m_portName, m_report.backupPath)
                                 : QuotedPath(m_report.backupPath) + ".";
}

Result<SafeWriteEnd> CSafeWrite::BackUp() {
    RadioImage before = m_image;
    const Result<CloneEnd> read = Clone(WriteStage::Backup, before);
    switch (read.end) {
        case CloneEnd::Completed:
            break;
        case CloneEnd::OpenFailed:
            return {SafeWriteEnd::OpenFailed, {}};
        case CloneEnd::Cancelled:
            return {SafeWriteEnd::Cancelled, {}};  // nothing was written
        default:
            return {SafeWriteEnd::NotBackedUp,
                    "the radio could not be backed up, so nothing was written."};
    }
    m_report.backedUp = true;
    m_report.before = before;
    m_report.radioType = RadioTypeText(before);
    // The backup is what undoes this write: without it on the disk nothing is written.
    const BackupSaved saved = SaveBackup(before, BackupKind::BeforeWrite, Origin());
    if (!saved.result) {
        return {SafeWriteEnd::NotBackedUp, NotSavedText(saved.result.message)};
    }
    m_report.backupPath = saved.path.toStdString();
    if (!SameType(before, m_image) &&
        !m_hooks.WriteOtherType(m_report.radioType, RadioTypeText(m_image))) {
        return {SafeWriteEnd::OtherType, {}};
    }
    m_typeKnown = true;
    return {};
}

Result<SafeWriteEnd> CSafeWrite::Write() {
    for (;;) {
        if (Result<> ready = m_hooks.BeforeWriting(); !ready) {
            return {SafeWriteEnd::Refused, std::move(ready.message)};
        }
        RadioImage outgoing = m_image;
        const Result<CloneEnd> written =
            Clone(WriteStage::Write, outgoing, m_typeKnown ? nullptr : &m_image);
        switch (m_stages.Stopped()) {
            case TypeStop::Unknown:
                return {SafeWriteEnd::OtherType,
                        "the radio's identification came short (" +
                            std::to_string(m_stages.Identification().size()) + " of " +
                            std::to_string(radiolink::kIdentSize) +
                            " bytes), so its type is unknown and nothing was written: check the "
                            "cable and write again."};
            case TypeStop::OtherType:
                // The session ended before its first block and closed the port: the question
                // may take as long as the user likes.
                if (!m_hooks.WriteOtherType(m_report.radioType, RadioTypeText(m_image))) {
                    return {SafeWriteEnd::OtherType, {}};
                }
                m_typeKnown = true;
                continue;
            case TypeStop::None:
                break;
        }
        m_typeKnown = m_typeKnown || !m_stages.Identification().empty();
        return Written(written);
    }
}

// What a write session that got past the type check leaves.
Result<SafeWriteEnd> CSafeWrite::Written(const Result<CloneEnd>& written) {
    m_report.blocksWritten = m_stages.Blocks();
    // A write fails as WriteFailed only once a block has been sent; the radio may have stored
    // that block and lost only its acknowledgement.
    m_report.blockSent =
        m_report.blockSent || m_report.blocksWritten > 0 || written.end == CloneEnd::WriteFailed;
    if (written.end != CloneEnd::OpenFailed) {
        // A copy of what was sent is for support; failing to keep it is only a warning.
        const BackupSaved saved = SaveBackup(m_image, BackupKind::Sent, Origin());
        if (!saved.result && m_report.backupError.empty()) {
            m_report.backupError = saved.result.message;
        }
    }
    switch (written.end) {
        case CloneEnd::Completed:
            return {};
        case CloneEnd::OpenFailed:
            return {SafeWriteEnd::OpenFailed, {}};
        case CloneEnd::CommunicationError:
            return {SafeWriteEnd::WriteFailed, "the radio did not answer, so nothing was written."};
        case CloneEnd::Cancelled:
            if (m_report.blocksWritten == 0) {
                return {SafeWriteEnd::Cancelled, {}};  // nothing was written
            }
            return {SafeWriteEnd::Cancelled,
                    PartWrittenText("was stopped", m_report.blocksWritten, kWriteBlocks,
                                    m_options.source, RestoreAdvice())};
        default:
            return {SafeWriteEnd::WriteFailed,
                    PartWrittenText("failed", m_report.blocksWritten, kWriteBlocks,
                                    m_options.source, RestoreAdvice())};
    }
}

Result<SafeWriteEnd> CSafeWrite::Check() {
    RadioImage back = m_image;
    const Result<CloneEnd> read = Clone(WriteStage::Verify, back);
    if (read.end == CloneEnd::Cancelled) {
        return {SafeWriteEnd::NotChecked,
                "the radio was written, but its check was stopped: " + m_options.checkHint + "."};
    }
    if (!read) {
        return {SafeWriteEnd::NotChecked,
                "the radio was written but could not be checked: switch it off and on and " +
                    m_options.checkHint + "."};
    }
    m_report.checked = true;
    m_report.readBack = back;
    const int differing = DifferingBytes(m_image, back, addr::kWriteEnd);
    if (differing == 0) {
        return {};
    }
    const std::vector<Difference> differences = CompareImages(m_image, back, addr::kWriteEnd);
    const std::string first = differences.empty() ? std::string("the radio's memory")
                                                  : DifferencePlace(differences.front());
    return {SafeWriteEnd::Mismatch,
            "the radio does not hold what was written: " + std::to_string(differing) +
                (differing == 1 ? " byte differs" : " bytes differ") + ", the first in " + first +
                ". It may not work as " + m_options.source + " says, so do not hand it out. " +
                WriteAgainText(RestoreAdvice())};
}

Result<SafeWriteEnd> CSafeWrite::Run() {
    if (m_options.backup) {
        if (Result<SafeWriteEnd> backedUp = BackUp(); !backedUp) {
            return backedUp;
        }
    }
    for (;;) {
        if (Result<SafeWriteEnd> written = Write(); !written || !m_options.verify) {
            return written;
        }
        Result<SafeWriteEnd> checked = Check();
        if (checked.end != SafeWriteEnd::Mismatch ||
            m_hooks.AskWriteAgain(checked.message) == RetryAnswer::Cancel) {
            return checked;
        }
    }
}

}  // namespace

Result<SafeWriteEnd> RunSafeWrite(IPort& port, ISafeWriteHooks& hooks, const std::string& portName,
                                  const RadioImage& image, const SafeWriteOptions& options,
                                  SafeWriteReport& report) {
    report = {};
    return CSafeWrite(port, hooks, portName, image, options, report).Run();
}

Result<SafeWriteEnd> RunRestore(IPort& port, ISafeWriteHooks& hooks, const std::string& portName,
                                const RadioImage& backup, const SafeWriteOptions& options,
                                SafeWriteReport& report) {
    // The backup as it is: decoding it for the form and encoding it again would change the
    // bytes the form cannot show (the flags of unused channels, reserved bytes).
    return RunSafeWrite(port, hooks, portName, backup, options, report);
}
