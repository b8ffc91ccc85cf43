// The radio's 1024-byte configuration memory and the codings of its fields.
//
// An image address is the radio's own memory address and the channel data file's byte
// offset. Every named field lives here, in one place; code elsewhere reaches the bytes
// through these constants and never through bare numbers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace addr {
inline constexpr std::size_t kImageSize = 1024;

inline constexpr std::size_t kChannelBase = 0x010;  // channel n at kChannelBase + 16 * (n - 1)
inline constexpr int kChannelCount = 16;
inline constexpr std::size_t kRecordSize = 16;

inline constexpr std::size_t kAuxBase = 0x110;  // eight records in the channel layout
inline constexpr int kAuxCount = 8;

inline constexpr std::size_t kChannelNumbers = 0x280;  // sixteen bytes, 1 to 16

inline constexpr std::size_t kPttIdCodes = 0x3B0;  // sixteen code positions, 0xFF empty
inline constexpr int kPttIdCodeCount = 16;

inline constexpr std::size_t kFuncFlags = 0x3C0;
inline constexpr std::size_t kSquelchLevel = 0x3C1;
inline constexpr std::size_t kMoniMode = 0x3C2;
inline constexpr std::size_t kTimeoutTimer = 0x3C3;
inline constexpr std::size_t kOptionFlags = 0x3C5;

inline constexpr std::size_t kModelBlock = 0x3D0;  // 0x3D0, 0x3D1: zero in a new document
inline constexpr std::size_t kBandCode = 0x3D2;
inline constexpr std::size_t kModelCode = 0x3D3;  // five ASCII characters
inline constexpr std::size_t kModelCodeLength = 5;
inline constexpr std::size_t kTypeDigit = 0x3D6;  // fourth character of the model code

// Bytes from here to the end stay in the image and the file but never go to the radio.
inline constexpr std::size_t kWriteEnd = 0x3D8;

inline constexpr std::size_t kFixedBlock = 0x3F0;
inline constexpr std::size_t kFixedBlockLength = 10;
}  // namespace addr

// Byte offsets inside a channel (or auxiliary) record.
namespace rec {
inline constexpr std::size_t kRxFreq = 0;
inline constexpr std::size_t kTxFreq = 4;
inline constexpr std::size_t kRxTone = 8;
inline constexpr std::size_t kTxTone = 10;
inline constexpr std::size_t kChanFlags = 12;
inline constexpr std::size_t kRxStep = 13;
inline constexpr std::size_t kTxStep = 14;
}  // namespace rec

// Bits of a channel record's flag byte. Bits 1, 3 and 7 carry no meaning and are kept.
namespace chanbits {
inline constexpr std::uint8_t kBusyNo = 0x01;   // 1 = busy-channel lock "NO"
inline constexpr std::uint8_t kNarrow = 0x04;   // 1 = "Narrow"
inline constexpr std::uint8_t kScanAdd = 0x10;  // 1 = member of the scan list
inline constexpr int kPowerShift = 5;
inline constexpr std::uint8_t kPowerMask = 0x60;  // 0 Low, 1 Middle, 2 High
}  // namespace chanbits

namespace funcbits {
inline constexpr std::uint8_t kBeep = 0x01;
inline constexpr std::uint8_t kBatterySaver = 0x02;
inline constexpr std::uint8_t kScan = 0x04;
inline constexpr std::uint8_t kRefuseAlertOff = 0x08;
inline constexpr int kVoiceShift = 4;
inline constexpr std::uint8_t kVoiceMask = 0x30;
inline constexpr int kUrgencyShift = 6;
inline constexpr std::uint8_t kUrgencyMask = 0xC0;
}  // namespace funcbits

namespace optbits {
inline constexpr std::uint8_t kPttIdMask = 0x03;  // 0 OFF, 1 BOT, 2 EOT, 3 BOTH
// A set switch bit means "OFF".
inline constexpr std::uint8_t kExpansionOff = 0x04;
inline constexpr std::uint8_t kFiredOff = 0x08;
inline constexpr std::uint8_t kReceivingOff = 0x10;
inline constexpr std::uint8_t kAllFreqInterferenceOff = 0x20;
}  // namespace optbits

class RadioImage {
public:
    using Bytes = std::array<std::uint8_t, addr::kImageSize>;

    RadioImage() { m_bytes.fill(0xFF); }
    explicit RadioImage(const Bytes& bytes) : m_bytes(bytes) {}

    std::uint8_t& operator[](std::size_t address) { return m_bytes.at(address); }
    std::uint8_t operator[](std::size_t address) const { return m_bytes.at(address); }

    std::uint8_t* data() { return m_bytes.data(); }
    const std::uint8_t* data() const { return m_bytes.data(); }
    static constexpr std::size_t size() { return addr::kImageSize; }
    const Bytes& bytes() const { return m_bytes; }

    void Fill(std::uint8_t value) { m_bytes.fill(value); }

    // Address of channel n (1 to 16).
    static constexpr std::size_t ChannelAddress(int n) {
        return addr::kChannelBase + addr::kRecordSize * static_cast<std::size_t>(n - 1);
    }

    friend bool operator==(const RadioImage&, const RadioImage&) = default;

private:
    Bytes m_bytes;
};

// A BCD byte's value: 10 x high nibble + low nibble, nibbles above 9 taken as they are.
inline int BcdValue(std::uint8_t b) {
    return 10 * (b >> 4) + (b & 0x0F);
}

// The BCD byte of x: (x / 10) x 16 + x mod 10 in C integer arithmetic, kept to 8 bits.
// Exact for 0 to 99; other values wrap the way the radio's own tools always have.
inline std::uint8_t BcdByte(long long x) {
    // Unsigned arithmetic: wrapping is defined for every x, including negative ones.
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(x / 10) * 16u +
                                     static_cast<unsigned long long>(x % 10));
}

// A frequency is absent when its most significant byte is 0x00 or 0xFF.
inline bool IsFrequencyByteAbsent(std::uint8_t msb) {
    return msb == 0x00 || msb == 0xFF;
}

// The frequency at address a (four BCD bytes, least significant first) in 10 Hz units.
std::optional<std::uint32_t> ReadFrequency(const RadioImage& image, std::size_t a);

// Writes units (10 Hz) as eight BCD digits. Only values below 1000 MHz code exactly.
void WriteFrequency(RadioImage& image, std::size_t a, std::uint32_t units);

// The program writes an absent frequency as four 0xFF bytes.
void WriteNoFrequency(RadioImage& image, std::size_t a);

// 0 for a frequency below 300 MHz that is not a multiple of 6.25 kHz, 1 otherwise.
std::uint8_t StepFlag(std::uint32_t units);

// A channel is in use when its receive or transmit frequency is present.
bool IsChannelInUse(const RadioImage& image, int channel);

// A tone as stored: two bytes, low byte first. High 0x00 or 0xFF means no tone.
struct ToneCode {
    std::uint8_t low = 0xFF;
    std::uint8_t high = 0xFF;
    friend bool operator==(const ToneCode&, const ToneCode&) = default;
};

inline ToneCode ReadTone(const RadioImage& image, std::size_t a) {
    return {image[a], image[a + 1]};
}

inline void WriteTone(RadioImage& image, std::size_t a, ToneCode code) {
    image[a] = code.low;
    image[a + 1] = code.high;
}
