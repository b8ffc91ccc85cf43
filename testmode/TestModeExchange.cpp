#include "TestModeExchange.h"

#include <array>
#include <span>

#include "LinkBytes.h"
#include "PortCloser.h"
#include "RadioTexts.h"
#include "TestModeBlocks.h"

namespace {

using radiolink::kAck;
using radiolink::kHandshake;
using radiolink::kIdentRequest;

// The handshake's last letter follows only once the radio has acknowledged the others.
constexpr std::span<const std::uint8_t> kHandshakeStart =
    std::span(kHandshake).first(kHandshake.size() - 1);
constexpr std::uint8_t kHandshakeEnd = kHandshake.back();
constexpr std::uint8_t kTestCommand = 'x';
constexpr std::uint8_t kCommandLength = 0x08;
constexpr std::uint8_t kTaken = 'H';  // the radio has taken a command or block

constexpr int kAttemptPauseMs = 500;
constexpr int kBytePauseMs = 1;

class CTestAttempt {
public:
    CTestAttempt(IPort& port, IExchangeHooks& hooks, const TestModeRequest& request)
        : m_port(port),
          m_hooks(hooks),
          m_letter(CommandLetter(request.item)),
          m_frequencies(FrequencyBlock(request.rxUnits, request.txUnits)),
          m_tones(ToneValueBlock(request.rxTone, request.txTone, request.value)) {}

    // One attempt from the handshake to the last H; false at the first missing answer.
    bool Run();

private:
    void Purge() { m_port.Purge(PurgeSet::Clear); }
    void Pause() { m_hooks.Sleep(kBytePauseMs); }
    // Sends are not checked: a lost byte shows as the radio's missing answer.
    void Send(std::span<const std::uint8_t> bytes) { m_port.Send(bytes); }
    void SendByte(std::uint8_t byte) { Send(std::span(&byte, 1)); }
    // A failed call is an error; a call that succeeds without a byte is only a miss.
    enum class Answer { Failed, Missing, Arrived };
    Answer Receive(std::size_t n);
    // Purge, then one byte that must be `expected`.
    bool Expect(std::uint8_t expected);

    IPort& m_port;
    IExchangeHooks& m_hooks;
    const std::uint8_t m_letter;
    const TestBlock m_frequencies;
    const TestBlock m_tones;
    // Zeroed once per press of Start; each receive lands at its start.
    std::array<std::uint8_t, 8> m_received{};
};

CTestAttempt::Answer CTestAttempt::Receive(std::size_t n) {
    const ReceiveResult got = m_port.Receive(std::span(m_received).first(n));
    if (!got.ok) {
        return Answer::Failed;
    }
    return got.count > 0 ? Answer::Arrived : Answer::Missing;
}

bool CTestAttempt::Expect(std::uint8_t expected) {
    Purge();
    return Receive(1) == Answer::Arrived && m_received[0] == expected;
}

bool CTestAttempt::Run() {
    m_hooks.Sleep(kAttemptPauseMs);
    for (const std::uint8_t byte : kHandshakeStart) {
        Purge();
        SendByte(byte);
        Pause();
    }
    // The ACK may come as the first or the second byte.
    Purge();
    const Answer first = Receive(1);
    if (first == Answer::Failed) {
        return false;
    }
    if (!(first == Answer::Arrived && m_received[0] == kAck) && !Expect(kAck)) {
        return false;
    }
    Pause();
    Purge();
    SendByte(kHandshakeEnd);
    Pause();
    Purge();
    SendByte(kIdentRequest);
    // The identification: neither its bytes nor their number matter, only the line.
    Purge();
    if (Receive(m_received.size()) == Answer::Failed) {
        return false;
    }
    Pause();
    Purge();
    SendByte(kAck);
    if (!Expect(kAck)) {
        return false;
    }
    Purge();
    Pause();
    SendByte(kTestCommand);
    Pause();
    Purge();
    SendByte(m_letter);
    Pause();
    Purge();
    const std::array<std::uint8_t, 2> command = {m_letter, kCommandLength};
    Send(command);
    if (!Expect(kTaken)) {
        return false;
    }
    Pause();
    Purge();
    Send(m_frequencies);
    if (!Expect(kTaken)) {
        return false;
    }
    Pause();
    Purge();
    Send(m_tones);
    return Expect(kTaken);
}

}  // namespace

Result<TestModeEnd> RunTestMode(IPort& port, IExchangeHooks& hooks, const std::string& portName,
                                const TestModeRequest& request) {
    if (Result<> opened = OpenForExchange(port, hooks, portName, kTestTimeouts); !opened) {
        return {TestModeEnd::OpenFailed, std::move(opened.message)};
    }
    CPortCloser closer(port);
    port.Purge(PurgeSet::Clear);
    CTestAttempt attempt(port, hooks, request);
    // Retry starts over at the handshake on the port as it is.
    while (!attempt.Run()) {
        if (hooks.AskRetryCancel(kMsgTestError) == RetryAnswer::Cancel) {
            closer.Close();
            return {TestModeEnd::Cancelled, std::string(kMsgTestError)};
        }
    }
    closer.Close();
    hooks.ShowMessage(kMsgTestFinished, MessageIcon::Exclamation);
    return {TestModeEnd::Finished, std::string(kMsgTestFinished)};
}
