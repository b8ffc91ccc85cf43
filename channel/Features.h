// Reading the PTT ID, its code and the four option switches out of the image.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "RadioImage.h"

inline constexpr std::array<std::string_view, 4> kPttIdModeNames = {"OFF", "BOT", "EOT", "BOTH"};

struct OptionSwitch {
    std::string_view name;  // as the optional features dialog labels it
    std::uint8_t offBit;    // bit of the option flags; set means "OFF"
};

inline constexpr std::array<OptionSwitch, 4> kOptionSwitches = {{
    {"Pressure for expansion", optbits::kExpansionOff},
    {"Fired", optbits::kFiredOff},
    {"Receiving", optbits::kReceivingOff},
    {"All frequency interference", optbits::kAllFreqInterferenceOff},
}};

inline int PttIdMode(const RadioImage& image) {
    return image[addr::kOptionFlags] & optbits::kPttIdMask;
}

inline bool IsOptionOn(const RadioImage& image, const OptionSwitch& option) {
    return (image[addr::kOptionFlags] & option.offBit) == 0;
}

// The PTT ID code positions as hex digits up to the first empty (0xFF) one; a value that is
// no digit (16 to 254) shows as '?'.
std::string PttIdCodeText(const RadioImage& image);

// One line of the optional features as the dialog shows it, and the bytes it is read from.
struct FeatureValue {
    std::string name;  // "PTT ID", "ID Code" or a switch's label
    std::string value;
    std::size_t address = 0;
    std::size_t length = 0;
};

// The PTT ID mode name, the ID code text and each switch "ON" or "OFF", in the dialog's order.
std::vector<FeatureValue> FeatureValues(const RadioImage& image);
