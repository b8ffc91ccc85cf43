#include "TestModeBytes.h"

#include <algorithm>
#include <optional>

#include "HexText.h"
#include "Numbers.h"

namespace {

// BCD pairs, least significant first; nullopt when a digit is not decimal.
std::optional<std::uint32_t> Bcd(std::span<const std::uint8_t> pairs) {
    std::uint32_t value = 0;
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it) {
        const unsigned high = *it >> 4;
        const unsigned low = *it & 0x0Fu;
        if (high > 9 || low > 9) {
            return std::nullopt;
        }
        value = value * 100 + high * 10 + low;
    }
    return value;
}

std::string Frequency(std::span<const std::uint8_t> pairs) {
    const auto units = Bcd(pairs);
    return units ? FormatMhz(*units) + " MHz" : "(not BCD)";
}

// Tenths of a hertz; 0 is what the PC sends for no tone and for every DCS code.
std::string Tone(std::span<const std::uint8_t> pairs) {
    const auto tenths = Bcd(pairs);
    if (!tenths) {
        return "(not BCD)";
    }
    if (*tenths == 0) {
        return "OFF";
    }
    return std::to_string(*tenths / 10) + "." + std::to_string(*tenths % 10);
}

}  // namespace

std::string TestItemName(std::uint8_t letter) {
    switch (letter) {
        case 'q':
            return "TX Frequency";
        case 'r':
            return "Low Power Voltage";
        case 's':
            return "Squelch Level";
        case 't':
            return "TX Power";
        default:
            return {};
    }
}

std::string DescribeTestCommand(std::span<const std::uint8_t> bytes) {
    const std::string name = bytes.empty() ? std::string() : TestItemName(bytes[0]);
    return "test command " + HexBytes(bytes) + ": " + (name.empty() ? "(unknown item)" : name);
}

std::string DescribeFrequencyBlock(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != proto::kTestBlockSize) {
        return "test frequencies " + HexBytes(bytes) + ": (not 8 bytes)";
    }
    return "test frequencies " + HexBytes(bytes) + ": rx " + Frequency(bytes.first(4)) + ", tx " +
           Frequency(bytes.subspan(4));
}

std::string DescribeToneBlock(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != proto::kTestBlockSize) {
        return "test tones and value " + HexBytes(bytes) + ": (not 8 bytes)";
    }
    const bool marked =
        std::equal(std::begin(proto::kTestMarker), std::end(proto::kTestMarker), bytes.begin() + 4);
    return "test tones and value " + HexBytes(bytes) + ": rx tone " + Tone(bytes.first(2)) +
           ", tx tone " + Tone(bytes.subspan(2, 2)) + ", value " + std::to_string(bytes[7]) +
           (marked ? "" : " (bytes 4-6 are not FB 01 01)");
}
