#include "NewDocument.h"

#include <array>

namespace {

struct AuxFrequencies {
    std::uint32_t rx;  // 10 Hz units
    std::uint32_t tx;
};

constexpr std::array<AuxFrequencies, addr::kAuxCount> kAuxT310X = {{
    {46010000, 46000000},
    {45010000, 45000000},
    {46990000, 46997500},
    {46030000, 46030000},
    {46035000, 46035000},
    {46040000, 46040000},
    {46035000, 46035000},
    {46045000, 46045000},
}};

constexpr std::array<AuxFrequencies, addr::kAuxCount> kAuxT520 = {{
    {16210000, 16200000},
    {15010000, 15000000},
    {17390000, 17397500},
    {16250000, 16250000},
    {16255000, 16255000},
    {16260000, 16260000},
    {16255000, 16255000},
    {16265000, 16265000},
}};

constexpr std::array<std::uint8_t, addr::kFixedBlockLength> kFixedBlock = {
    0x5E, 0x09, 0x2B, 0x69, 0xD8, 0xAA, 0x41, 0xAA, 0x60, 0x4B};

constexpr std::string_view kModelCodeT310X = "Q583T";
constexpr std::string_view kModelCodeT520 = "Q582T";

void WriteAuxRecords(RadioImage& image, RadioType type) {
    const auto& table = type == RadioType::T520 ? kAuxT520 : kAuxT310X;
    const std::uint8_t step = type == RadioType::T520 ? 0x00 : 0x01;
    for (int i = 0; i < addr::kAuxCount; ++i) {
        const std::size_t r = addr::kAuxBase + addr::kRecordSize * static_cast<std::size_t>(i);
        WriteFrequency(image, r + rec::kRxFreq, table[i].rx);
        WriteFrequency(image, r + rec::kTxFreq, table[i].tx);
        image[r + rec::kRxStep] = step;
        image[r + rec::kTxStep] = step;
    }
}

}  // namespace

std::string_view RadioTypeName(RadioType type) {
    return type == RadioType::T520 ? "KV - T520" : "KV - T310X";
}

std::optional<RadioType> RadioTypeFromName(std::string_view name) {
    for (RadioType type : {RadioType::T310X, RadioType::T520}) {
        if (RadioTypeName(type) == name) {
            return type;
        }
    }
    return std::nullopt;
}

std::optional<RadioType> ImageRadioType(const RadioImage& image) {
    constexpr std::size_t kDigitInCode = addr::kTypeDigit - addr::kModelCode;
    for (RadioType type : {RadioType::T310X, RadioType::T520}) {
        const std::string_view code = type == RadioType::T520 ? kModelCodeT520 : kModelCodeT310X;
        if (image[addr::kTypeDigit] == static_cast<std::uint8_t>(code[kDigitInCode])) {
            return type;
        }
    }
    return std::nullopt;
}

std::string RadioTypeText(const RadioImage& image) {
    if (const auto type = ImageRadioType(image)) {
        return std::string(RadioTypeName(*type));
    }
    std::string code;
    for (std::size_t i = 0; i < addr::kModelCodeLength; ++i) {
        const char c = static_cast<char>(image[addr::kModelCode + i]);
        code += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return "radio of model " + code;
}

RadioImage NewDocumentImage(RadioType type) {
    RadioImage image;  // all 0xFF
    for (int i = 0; i < addr::kChannelCount; ++i) {
        image[addr::kChannelNumbers + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(i + 1);
    }
    WriteAuxRecords(image, type);
    image[addr::kModelBlock] = 0x00;
    image[addr::kModelBlock + 1] = 0x00;
    image[addr::kBandCode] = type == RadioType::T520 ? 0xF0 : 0xF4;
    const std::string_view model = type == RadioType::T520 ? kModelCodeT520 : kModelCodeT310X;
    for (std::size_t i = 0; i < addr::kModelCodeLength; ++i) {
        image[addr::kModelCode + i] = static_cast<std::uint8_t>(model[i]);
    }
    image[addr::kSquelchLevel] = 9;
    image[addr::kMoniMode] = 3;
    image[addr::kTimeoutTimer] = 6;
    for (std::size_t i = 0; i < kFixedBlock.size(); ++i) {
        image[addr::kFixedBlock + i] = kFixedBlock[i];
    }
    return image;
}
