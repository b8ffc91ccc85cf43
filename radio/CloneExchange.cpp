#include "CloneExchange.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "LinkBytes.h"
#include "PortCloser.h"
#include "RadioTexts.h"

namespace {

using radiolink::kAck;
using radiolink::kBlockSize;
using radiolink::kIdentSize;
using radiolink::kReplyData;
using radiolink::kReplySize;

// Resends of the confirmation after a failed send, before the run gives up on the link.
constexpr int kConfirmResends = 3;

// The bar stops one short of its end during a read and two short during a write; it shows
// the end only once the run has finished.
constexpr int kReadProgressLimit = kProgressMaximum - 1;
constexpr int kWriteProgressLimit = kProgressMaximum - 2;

// The pacing: how many pump passes the run makes at each waiting point.
constexpr int kPassesBeforeHandshake = 12;
constexpr int kPassesAfterIdentification = 16;
constexpr int kPassesAfterRefusedConfirmation = 601;
constexpr int kPassesAfterReadBlock = 199;
constexpr int kPassesAfterWriteBlock = 201;

// How an attempt to put the radio into programming mode ended.
enum class Link {
    Ready,
    Cancelled,
    NoHandshake,  // no attempt's handshake was acknowledged
    Unconfirmed,  // the handshake was, but the confirmation after the identification was not
};

class CCloneRun {
public:
    CCloneRun(IPort& port, ICloneHooks& hooks, CPortCloser& guard, int handshakeAttempts)
        : m_port(port), m_hooks(hooks), m_guard(guard), m_handshakeAttempts(handshakeAttempts) {}

    Link EnterProgrammingMode();
    Link Handshake();
    bool Identify();
    Result<CloneEnd> Read(RadioImage& image);
    Result<CloneEnd> Write(const RadioImage& outgoing);
    Result<CloneEnd> Cancel();

private:
    Link Confirm();

    // count passes of pump, cancel check, sleep; false when cancelled.
    bool PumpPasses(int count, int sleepMs);
    // count passes of cancel check, then pump; false when cancelled.
    bool CheckFirstPasses(int count);
    bool Send(std::span<const std::uint8_t> bytes) { return m_port.Send(bytes); }
    bool SendByte(std::uint8_t byte) { return m_port.Send(std::span(&byte, 1)); }
    // A receive passes only when it brought a byte and that byte is ACK.
    bool ReceiveAck();
    void StepProgress(int limit);
    Result<CloneEnd> Fail(CloneEnd end, std::string_view text, bool fillProgress);

    IPort& m_port;
    ICloneHooks& m_hooks;
    CPortCloser& m_guard;
    const int m_handshakeAttempts;
};

bool CCloneRun::PumpPasses(int count, int sleepMs) {
    for (int i = 0; i < count; ++i) {
        m_hooks.PumpOne();
        if (m_hooks.IsCancelled()) {
            return false;
        }
        if (sleepMs > 0) {
            m_hooks.Sleep(sleepMs);
        }
    }
    return true;
}

bool CCloneRun::CheckFirstPasses(int count) {
    for (int i = 0; i < count; ++i) {
        if (m_hooks.IsCancelled()) {
            return false;
        }
        m_hooks.PumpOne();
    }
    return true;
}

bool CCloneRun::ReceiveAck() {
    std::uint8_t byte = 0;
    const ReceiveResult got = m_port.Receive(std::span(&byte, 1));
    return got.ok && got.count == 1 && byte == kAck;
}

void CCloneRun::StepProgress(int limit) {
    const int position = m_hooks.ProgressPosition();
    if (position <= limit) {
        const int next = position + kProgressStep;
        m_hooks.SetProgressPosition(next);
        m_hooks.SetStatus(std::to_string(next));
    }
}

Result<CloneEnd> CCloneRun::Fail(CloneEnd end, std::string_view text, bool fillProgress) {
    m_hooks.ShowFailure(text);
    m_guard.Close();
    if (fillProgress) {
        m_hooks.SetProgressPosition(kProgressMaximum);
    }
    return {end, std::string(text)};
}

Result<CloneEnd> CCloneRun::Cancel() {
    m_guard.Close();
    return {CloneEnd::Cancelled, {}};
}

Link CCloneRun::EnterProgrammingMode() {
    if (const Link link = Handshake(); link != Link::Ready) {
        return link;
    }
    if (!Identify()) {
        return Link::Cancelled;
    }
    return Confirm();
}

Link CCloneRun::Handshake() {
    for (int attempt = 1; attempt <= m_handshakeAttempts; ++attempt) {
        m_port.Purge(PurgeSet::Clear);
        m_hooks.SetStatus(kStatusWaiting);
        m_hooks.Attempt(attempt, m_handshakeAttempts);
        if (!PumpPasses(kPassesBeforeHandshake, 1)) {
            return Link::Cancelled;
        }
        m_port.Purge(PurgeSet::AbortAndClear);
        for (const std::uint8_t byte : radiolink::kHandshake) {
            m_port.Purge(PurgeSet::Clear);
            SendByte(byte);
        }
        // The radio may put one byte before its ACK.
        if (ReceiveAck() || ReceiveAck()) {
            return Link::Ready;
        }
        m_hooks.Sleep(1);
    }
    return Link::NoHandshake;
}

bool CCloneRun::Identify() {
    m_hooks.Sleep(2);
    m_port.Purge(PurgeSet::Clear);
    // A byte the radio may send after its ACK; what it is does not matter.
    std::array<std::uint8_t, kIdentSize> answer{};
    m_port.Receive(std::span(answer).first(1));
    m_port.Purge(PurgeSet::Clear);
    SendByte(radiolink::kIdentRequest);
    // The identification is read off the line and not examined; the hooks hear what came.
    const ReceiveResult got = m_port.Receive(answer);
    m_hooks.Identified(std::span(answer).first(got.ok ? got.count : 0));
    return PumpPasses(kPassesAfterIdentification, 1);
}

Link CCloneRun::Confirm() {
    for (int resends = 0;; ++resends) {
        m_port.Purge(PurgeSet::Clear);
        if (SendByte(kAck)) {
            break;
        }
        m_hooks.ShowMessage(kMsgSendOrder, MessageIcon::Exclamation);
        if (resends == kConfirmResends) {
            return Link::Unconfirmed;
        }
    }
    std::uint8_t answer = 0;
    const ReceiveResult got = m_port.Receive(std::span(&answer, 1));
    if (!got.ok) {
        return Link::Unconfirmed;
    }
    if (got.count == 1 && answer == kAck) {
        return Link::Ready;
    }
    return PumpPasses(kPassesAfterRefusedConfirmation, 1) ? Link::Unconfirmed : Link::Cancelled;
}

Result<CloneEnd> CCloneRun::Read(RadioImage& image) {
    // The blocks collect here, so that a run that ends early leaves the caller's image alone.
    RadioImage received = image;
    for (int block = 0; block < kReadBlocks; ++block) {
        const std::size_t address = static_cast<std::size_t>(block) * kBlockSize;
        m_port.Purge(PurgeSet::Clear);
        Send(radiolink::BlockCommand(radiolink::kReadCommand, address));
        std::array<std::uint8_t, kReplySize> reply{};
        const ReceiveResult got = m_port.Receive(reply);
        if (!got.ok || got.count < kReplySize) {
            return Fail(CloneEnd::ReadFailed, kMsgShortReply, false);
        }
        m_port.Purge(PurgeSet::Clear);
        std::copy_n(reply.begin() + kReplyData, kBlockSize, received.data() + address);
        StepProgress(kReadProgressLimit);
        m_hooks.Sleep(10);
        m_port.Purge(PurgeSet::Clear);
        SendByte(kAck);
        if (!ReceiveAck()) {
            return Fail(CloneEnd::ReadFailed, kMsgTransferError, false);
        }
        m_hooks.BlockDone(block + 1, kReadBlocks);
        if (!PumpPasses(kPassesAfterReadBlock, 0)) {
            return Cancel();
        }
        m_hooks.Sleep(10);
    }
    m_guard.Close();
    m_hooks.SetProgressPosition(kProgressMaximum);
    image = received;
    return {CloneEnd::Completed, {}};
}

Result<CloneEnd> CCloneRun::Write(const RadioImage& outgoing) {
    for (int block = 0; block < kWriteBlocks; ++block) {
        const std::size_t address = static_cast<std::size_t>(block) * kBlockSize;
        m_port.Purge(PurgeSet::Clear);
        Send(radiolink::BlockCommand(radiolink::kWriteCommand, address));
        m_hooks.Sleep(1);
        m_port.Purge(PurgeSet::Clear);
        Send(std::span(outgoing.data() + address, kBlockSize));
        if (!ReceiveAck()) {
            return Fail(CloneEnd::WriteFailed, kMsgTransferError, true);
        }
        m_hooks.BlockDone(block + 1, kWriteBlocks);
        StepProgress(kWriteProgressLimit);
        if (!CheckFirstPasses(kPassesAfterWriteBlock)) {
            return Cancel();
        }
        m_hooks.Sleep(2);
    }
    m_guard.Close();
    m_hooks.SetProgressPosition(kProgressMaximum);
    return {CloneEnd::Completed, {}};
}

}  // namespace

Result<CloneEnd> RunClone(IPort& port, ICloneHooks& hooks, const std::string& portName,
                          CloneDirection direction, RadioImage& image, int handshakeAttempts) {
    // What a write sends is fixed now: events handled during the run cannot change it.
    const RadioImage outgoing = image;
    if (Result<> opened = OpenForExchange(port, hooks, portName, kCloneTimeouts); !opened) {
        return {CloneEnd::OpenFailed, std::move(opened.message)};
    }
    CPortCloser guard(port);
    CCloneRun run(port, hooks, guard, handshakeAttempts);
    hooks.SetStatus(kStatusDetecting);
    for (;;) {
        const Link link = run.EnterProgrammingMode();
        if (link == Link::Cancelled) {
            return run.Cancel();
        }
        if (link == Link::Ready) {
            break;
        }
        // Retry starts the handshake over on the port as it is.
        if (hooks.AskRetryCancel(kMsgCommunicationError) == RetryAnswer::Cancel) {
            guard.Close();
            return {CloneEnd::CommunicationError, std::string(kMsgCommunicationError)};
        }
    }
    hooks.Sleep(2);
    return direction == CloneDirection::Read ? run.Read(image) : run.Write(outgoing);
}

Result<ProbeEnd> ProbeRadio(IPort& port, ICloneHooks& hooks, const std::string& portName) {
    if (Result<> opened = port.Open(portName, kCloneTimeouts); !opened) {
        return {ProbeEnd::OpenFailed, std::move(opened.message)};
    }
    CPortCloser guard(port);
    CCloneRun run(port, hooks, guard, 1);
    switch (run.EnterProgrammingMode()) {
        case Link::Ready:
            return {ProbeEnd::Ready, {}};
        case Link::Cancelled:
            return {ProbeEnd::Cancelled, {}};
        case Link::NoHandshake:
            return {ProbeEnd::NoHandshake, std::string(kMsgCommunicationError)};
        case Link::Unconfirmed:
            break;
    }
    return {ProbeEnd::Unconfirmed, std::string(kMsgCommunicationError)};
}
