// Runs the test mode exchange against a radio that answers with arbitrary bytes.
//
// Input: a flags byte (bit 0: the port refuses to open), the debug item, the receive and
// transmit frequencies (32 bits each), the receive and transmit tones (16-bit indexes into
// the tone list), the alignment value (16 bits, signed), the period of refused sends (0:
// none), then the radio's replies as FuzzPort.h reads them. A Retry/Cancel box takes one
// more input byte: bit 0 set is Retry, up to kMaxRetries times.
//
// The exchange must end, close the port exactly once after opening it, never touch it
// closed, stay within the time its time-outs allow and end with the box it names. The
// blocks it would send hold BCD digits whatever the request.
#include <cstdint>

#include "FuzzPort.h"
#include "TestModeBlocks.h"
#include "TestModeExchange.h"
#include "ToneList.h"

namespace {

constexpr int kMaxRetries = 3;

// An attempt at worst: its 500 ms pause, six one-byte receives and the identification's
// eight; 60 ms cover the byte pauses and the line time of what is sent.
constexpr long long kAttemptUs =
    500'000 + 6 * ReceiveLimitUs(kTestTimeouts, 1) + ReceiveLimitUs(kTestTimeouts, 8) + 60'000;

class CFuzzTestHooks final : public IExchangeHooks {
public:
    CFuzzTestHooks(CFuzzInput& input, FuzzClock& clock, const CFuzzPort& port)
        : m_input(input), m_clock(clock), m_port(port) {}

    int asked = 0;
    CLastText box;  // of every box, Retry/Cancel included

    void Sleep(int milliseconds) override {
        Check(milliseconds >= 0, "sleeps are not negative");
        m_clock.AddMs(milliseconds);
    }
    void ShowMessage(std::string_view text, MessageIcon) override { box.Set(text); }
    RetryAnswer AskRetryCancel(std::string_view text) override {
        Check(m_port.IsOpen(), "the Retry/Cancel box shows while the port is open");
        box.Set(text);
        ++asked;
        return asked <= kMaxRetries && (m_input.Byte() & 1) ? RetryAnswer::Retry
                                                            : RetryAnswer::Cancel;
    }

private:
    CFuzzInput& m_input;
    FuzzClock& m_clock;
    const CFuzzPort& m_port;
};

bool IsBcd(std::uint8_t byte) {
    return (byte & 0x0F) <= 9 && (byte >> 4) <= 9;
}

void CheckBlocks(const TestModeRequest& request) {
    for (const std::uint8_t byte : FrequencyBlock(request.rxUnits, request.txUnits)) {
        Check(IsBcd(byte), "the frequency block holds BCD digits");
    }
    const TestBlock tones = ToneValueBlock(request.rxTone, request.txTone, request.value);
    for (std::size_t i = 0; i < 4; ++i) {
        Check(IsBcd(tones[i]), "the tone block's tones are BCD digits");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const bool refuseOpen = input.Byte() & 1;
    TestModeRequest request;
    request.item =
        static_cast<TestItem>(static_cast<int>(TestItem::TxFrequency) + input.Byte() % 4);
    request.rxUnits = input.Long();
    request.txUnits = input.Long();
    request.rxTone = Tones()[input.Word() % ToneList::kCount];
    request.txTone = Tones()[input.Word() % ToneList::kCount];
    request.value = static_cast<std::int16_t>(input.Word());
    const int failEvery = input.Byte();
    CheckBlocks(request);

    FuzzClock clock;
    CFuzzPort port(input, clock, refuseOpen, failEvery);
    CFuzzTestHooks hooks(input, clock, port);
    const Result<TestModeEnd> result = RunTestMode(port, hooks, "COM1", request);

    Check(port.opens == 1, "the exchange opens the port once");
    Check(!port.IsOpen(), "the exchange leaves the port closed");
    Check(port.closes == (refuseOpen ? 0 : 1), "an opened port is closed exactly once");
    Check(refuseOpen == (result.end == TestModeEnd::OpenFailed), "only a refused open ends so");
    Check(hooks.box.count() > 0 && hooks.box.text() == result.message,
          "the result names the last box");
    Check((result.end == TestModeEnd::Finished) == (result.message == kMsgTestFinished),
          "only a finished exchange reports success");
    Check(hooks.asked <= kMaxRetries + 1, "the user is asked once per failed attempt");
    Check(clock.us <= (hooks.asked + 1) * kAttemptUs, "the exchange ends within its time-outs");
    return 0;
}
