#include "SafeWrite.h"

#include <algorithm>

#include "Backups.h"
#include "ImageDiff.h"
#include "NewDocument.h"
#include "RadioTexts.h"

namespace {

bool IsNumber(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The hooks of one stage's clone run: everything goes to the safe write's hooks, but the bar
// is the stage's share of one bar over all stages, and the status line names the stage
// where the run would show a block number. With one stage and plainStatus it is the
// caller's hooks as they are.
class CStageHooks final : public ICloneHooks {
public:
    CStageHooks(ISafeWriteHooks& inner, int stages, bool plainStatus)
        : m_inner(inner), m_nStages(std::max(stages, 1)), m_bPlainStatus(plainStatus) {}

    void Begin(int index, std::string_view status) {
        m_nIndex = index;
        m_status = status;
        m_nPosition = 0;
        m_nBlocks = 0;
        if (!m_bPlainStatus) {
            m_inner.SetStatus(m_status);
            m_inner.SetProgressPosition(Overall(0));
        }
    }
    int Blocks() const { return m_nBlocks; }

    void Sleep(int milliseconds) override { m_inner.Sleep(milliseconds); }
    void ShowMessage(std::string_view text, MessageIcon icon) override {
        m_inner.ShowMessage(text, icon);
    }
    RetryAnswer AskRetryCancel(std::string_view text) override {
        return m_inner.AskRetryCancel(text);
    }
    void PumpOne() override { m_inner.PumpOne(); }
    bool IsCancelled() override { return m_inner.IsCancelled(); }
    void SetStatus(std::string_view text) override {
        m_inner.SetStatus(!m_bPlainStatus && IsNumber(text) ? std::string_view(m_status) : text);
    }
    int ProgressPosition() override { return m_nPosition; }
    void SetProgressPosition(int position) override {
        m_nPosition = position;
        m_inner.SetProgressPosition(Overall(position));
    }
    void Attempt(int attempt, int of) override { m_inner.Attempt(attempt, of); }
    void Identified(std::span<const std::uint8_t> identification) override {
        m_inner.Identified(identification);
    }
    void BlockDone(int done, int total) override {
        m_nBlocks = done;
        m_inner.BlockDone(done, total);
    }

private:
    int Overall(int position) const { return (m_nIndex * kProgressMaximum + position) / m_nStages; }

    ISafeWriteHooks& m_inner;
    const int m_nStages;
    const bool m_bPlainStatus;
    int m_nIndex = 0;
    std::string m_status;
    int m_nPosition = 0;
    int m_nBlocks = 0;
};

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
    Result<SafeWriteEnd> Check();
    Result<CloneEnd> Clone(int stage, std::string_view status, CloneDirection direction,
                           RadioImage& image);
    void KeepCopy(const RadioImage& image, BackupKind kind, std::string* path);

    IPort& m_port;
    ISafeWriteHooks& m_hooks;
    const std::string& m_portName;
    const RadioImage& m_image;
    const SafeWriteOptions& m_options;
    SafeWriteReport& m_report;
    CStageHooks m_stages;
};

Result<CloneEnd> CSafeWrite::Clone(int stage, std::string_view status, CloneDirection direction,
                                   RadioImage& image) {
    m_stages.Begin(stage, status);
    return RunClone(m_port, m_stages, m_portName, direction, image);
}

void CSafeWrite::KeepCopy(const RadioImage& image, BackupKind kind, std::string* path) {
    const BackupSaved saved = SaveBackup(image, kind);
    if (!saved.result && m_report.backupError.empty()) {
        m_report.backupError = saved.result.message;
    }
    if (path) {
        *path = saved.path.toStdString();
    }
}

Result<SafeWriteEnd> CSafeWrite::BackUp() {
    RadioImage before = m_image;
    const Result<CloneEnd> read = Clone(0, kStatusBackingUp, CloneDirection::Read, before);
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
    KeepCopy(before, BackupKind::BeforeWrite, &m_report.backupPath);
    if (before[addr::kTypeDigit] != m_image[addr::kTypeDigit] &&
        !m_hooks.WriteOtherType(RadioTypeText(before), RadioTypeText(m_image))) {
        return {SafeWriteEnd::OtherType, {}};
    }
    return {};
}

Result<SafeWriteEnd> CSafeWrite::Write() {
    RadioImage outgoing = m_image;
    const int stage = m_options.backup ? 1 : 0;
    const Result<CloneEnd> written = Clone(stage, kStatusWriting, CloneDirection::Write, outgoing);
    m_report.blocksWritten = m_stages.Blocks();
    // A write fails as WriteFailed only once a block has been sent; the radio may have stored
    // that block and lost only its acknowledgement.
    m_report.blockSent =
        m_report.blockSent || m_report.blocksWritten > 0 || written.end == CloneEnd::WriteFailed;
    if (written.end != CloneEnd::OpenFailed) {
        KeepCopy(m_image, BackupKind::Sent, nullptr);
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
                                    m_options.source, m_report.backupPath)};
        default:
            return {SafeWriteEnd::WriteFailed,
                    PartWrittenText("failed", m_report.blocksWritten, kWriteBlocks,
                                    m_options.source, m_report.backupPath)};
    }
}

Result<SafeWriteEnd> CSafeWrite::Check() {
    RadioImage back = m_image;
    const int stage = m_options.backup ? 2 : 1;
    const Result<CloneEnd> read = Clone(stage, kStatusChecking, CloneDirection::Read, back);
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
                "."};
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
