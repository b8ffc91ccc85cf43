// Runs the clone exchange against a radio that answers with arbitrary bytes.
//
// Input: a flags byte (bit 0: write instead of read, bit 1: the port refuses to open,
// bit 2: the user cancels), the cancel check that sees the request (16 bits), the period of
// refused sends (0: none), then the radio's replies as FuzzPort.h reads them. A Retry/Cancel
// box takes one more input byte: bit 0 set is Retry, up to kMaxRetries times.
//
// The run tries the handshake kAttempts times a round, fewer than the program's
// kCloneHandshakeAttempts: a silent radio costs a run every attempt, and the attempts differ
// in nothing but their number.
//
// The run must end, close the port exactly once after opening it, never touch it closed,
// stay within the time its time-outs allow, leave a read's image alone unless the read
// completed (and then hold exactly the blocks the radio sent), and never change the image
// on a write (and then send exactly its first 984 bytes).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "CloneExchange.h"
#include "FuzzPort.h"
#include "RadioTexts.h"

namespace {

constexpr int kMaxRetries = 3;
constexpr std::size_t kBlockSize = 8;
constexpr std::size_t kReplySize = 12;  // 4 header bytes, then the block

// The worst case of each stretch of a run, from the clone time-outs. Pacing sleeps and the
// line time of the few bytes sent come on top of the receives; 50 ms covers them in each.
constexpr long long kPacingUs = 50'000;
constexpr long long kOneByteUs = ReceiveLimitUs(kCloneTimeouts, 1);
// An attempt to get the handshake's ACK: two one-byte receives.
constexpr long long kAttemptUs = 2 * kOneByteUs + kPacingUs;
constexpr int kAttempts = 2;
// Identification and confirmation: a stray byte, the identification, the confirmation's
// ACK, and the 601 ms wait after a refused confirmation.
constexpr long long kConfirmUs =
    2 * kOneByteUs + ReceiveLimitUs(kCloneTimeouts, 8) + 601'000 + kPacingUs;
constexpr long long kReadBlockUs =
    ReceiveLimitUs(kCloneTimeouts, kReplySize) + kOneByteUs + kPacingUs;
constexpr long long kWriteBlockUs = kOneByteUs + kPacingUs;

class CFuzzCloneHooks final : public ICloneHooks {
public:
    CFuzzCloneHooks(CFuzzInput& input, FuzzClock& clock, const CFuzzPort& port, int cancelAt)
        : m_input(input), m_clock(clock), m_port(port), m_nCancelAt(cancelAt) {}

    int asked = 0;
    int position = 0;
    CLastText message;  // of the boxes shown

    void Sleep(int milliseconds) override {
        Check(milliseconds >= 0, "sleeps are not negative");
        m_clock.AddMs(milliseconds);
    }
    void PumpOne() override {}
    bool IsCancelled() override { return m_nCancelAt > 0 && ++m_nChecks >= m_nCancelAt; }
    void SetStatus(std::string_view) override {}
    void Attempt(int attempt, int of) override {
        Check(of == kAttempts && attempt >= 1 && attempt <= of,
              "each attempt is counted against the run's budget");
    }
    int ProgressPosition() override { return position; }
    void SetProgressPosition(int value) override {
        Check(value >= 0 && value <= kProgressMaximum, "the progress bar stays in its range");
        position = value;
    }
    void ShowMessage(std::string_view text, MessageIcon) override {
        // The box of a refused open is the only one without an open port.
        Check(m_port.IsOpen() || m_port.closes == 0, "a box shows while the port is open");
        message.Set(text);
    }
    RetryAnswer AskRetryCancel(std::string_view text) override {
        Check(m_port.IsOpen(), "the Retry/Cancel box shows while the port is open");
        Check(text == kMsgCommunicationError, "Retry/Cancel is asked for the link only");
        ++asked;
        return asked <= kMaxRetries && (m_input.Byte() & 1) ? RetryAnswer::Retry
                                                            : RetryAnswer::Cancel;
    }

private:
    CFuzzInput& m_input;
    FuzzClock& m_clock;
    const CFuzzPort& m_port;
    const int m_nCancelAt;
    int m_nChecks = 0;
};

RadioImage StartImage() {
    RadioImage image;
    for (std::size_t a = 0; a < RadioImage::size(); ++a) {
        image[a] = static_cast<std::uint8_t>(a * 7 + a / 256 + 3);
    }
    return image;
}

// What crossed the line that the checks need: when the first read or write command left,
// the data of each 12-byte receive (a read block's reply) and of each 8-byte send (a write
// block), in order.
class CTransferWatcher final : public CFuzzLineWatcher {
public:
    long long startUs = -1;
    std::array<std::uint8_t, addr::kImageSize> readData;
    std::size_t readBytes = 0;  // all that came, also beyond the image's size
    std::array<std::uint8_t, addr::kImageSize> writeData;
    std::size_t writeBytes = 0;

    void Sent(std::span<const std::uint8_t> bytes, long long atUs, bool) override {
        if (startUs < 0 && bytes.size() == 4 && (bytes[0] == 'R' || bytes[0] == 'W')) {
            startUs = atUs - kByteUs * 4;
        }
        if (bytes.size() == kBlockSize) {
            Keep(bytes, writeData, writeBytes);
        }
    }
    void Received(std::span<const std::uint8_t> bytes) override {
        if (bytes.size() == kReplySize) {
            Keep(bytes.subspan(4), readData, readBytes);
        }
    }

private:
    static void Keep(std::span<const std::uint8_t> bytes,
                     std::array<std::uint8_t, addr::kImageSize>& data, std::size_t& count) {
        if (count + bytes.size() <= data.size()) {
            std::copy(bytes.begin(), bytes.end(), data.begin() + static_cast<long>(count));
        }
        count += bytes.size();
    }
};

void CheckRead(const Result<CloneEnd>& result, const CTransferWatcher& line,
               const RadioImage& before, const RadioImage& image) {
    if (!result.ok()) {
        Check(image == before, "an unfinished read leaves the image alone");
        return;
    }
    // Each block's reply is the only 12-byte receive of its round.
    Check(line.readBytes == addr::kImageSize, "a completed read received every block");
    Check(std::equal(line.readData.begin(), line.readData.end(), image.data()),
          "a completed read stores each block at its address");
}

void CheckWrite(const Result<CloneEnd>& result, const CTransferWatcher& line,
                const RadioImage& before, const RadioImage& image) {
    Check(image == before, "a write leaves the image alone");
    if (!result.ok()) {
        return;
    }
    Check(line.writeBytes == addr::kWriteEnd &&
              std::equal(line.writeData.begin(), line.writeData.begin() + addr::kWriteEnd,
                         before.data()),
          "a completed write sent the image's blocks in order");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    const bool write = flags & 1;
    const bool refuseOpen = flags & 2;
    const int cancelCheck = input.Word();
    const int cancelAt = (flags & 4) ? cancelCheck : 0;
    const int failEvery = input.Byte();

    FuzzClock clock;
    CTransferWatcher line;
    CFuzzPort port(input, clock, refuseOpen, failEvery, &line);
    CFuzzCloneHooks hooks(input, clock, port, cancelAt);
    static const RadioImage before = StartImage();
    RadioImage image = before;
    const Result<CloneEnd> result =
        RunClone(port, hooks, "COM1", write ? CloneDirection::Write : CloneDirection::Read, image,
                 kAttempts);

    Check(port.opens == 1, "the run opens the port once");
    Check(!port.IsOpen(), "the run leaves the port closed");
    Check(port.closes == (refuseOpen ? 0 : 1), "an opened port is closed exactly once");
    Check(refuseOpen == (result.end == CloneEnd::OpenFailed), "only a refused open ends so");
    Check(hooks.asked <= kMaxRetries + 1, "the link is asked about once per failed round");
    Check(result.end != CloneEnd::Cancelled || cancelAt > 0, "only the user cancels");
    if (result.end == CloneEnd::Completed) {
        Check(hooks.position == kProgressMaximum, "a completed run fills the bar");
        Check(result.message.empty(), "a completed run ends without a box");
    } else if (result.end != CloneEnd::Cancelled && result.end != CloneEnd::CommunicationError) {
        Check(hooks.message.count() > 0 && hooks.message.text() == result.message,
              "the run's end is the box it showed last");
    }

    const long long transferUs = line.startUs >= 0 ? line.startUs : clock.us;
    const long long rounds = hooks.asked + 1;
    Check(transferUs <= rounds * (kAttempts * kAttemptUs + kConfirmUs),
          "entering programming mode ends within its time-outs");
    const int blocks = write ? kWriteBlocks : kReadBlocks;
    Check(clock.us - transferUs <= blocks * (write ? kWriteBlockUs : kReadBlockUs),
          "the transfer ends within its time-outs");

    if (write) {
        CheckWrite(result, line, before, image);
    } else {
        CheckRead(result, line, before, image);
    }
    return 0;
}
