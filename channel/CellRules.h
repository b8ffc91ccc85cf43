// The checks a value must pass before it reaches a channel cell, shared by the grid's cell
// editor and the command-line import.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "EditorModel.h"

inline constexpr std::string_view kMsgFormatError = "Error Data Format，Please input again";
inline constexpr std::string_view kMsgOutOfRange = "Out of range!";
inline constexpr std::string_view kMsgStepError =
    "Error data Value，Please input according the step value(6.25K/5k)";
inline constexpr std::string_view kMsgInputNumber = "Please input Number";

// Lowest and highest allowed frequency of a Field item, inclusive, in 10 Hz units.
struct BandLimits {
    std::uint32_t low;
    std::uint32_t high;
};

// One entry per Field item.
inline constexpr std::array<BandLimits, 1> kBandLimits = {{{45000000, 47000000}}};

// The band of Field item `field`; a missing or unknown selection gets the first band.
BandLimits BandForField(int field);

struct FrequencyCheck {
    std::uint32_t units = 0;  // the value read, in 10 Hz units
    bool plausible = false;   // 60 MHz to 600 MHz; otherwise a format error
    bool inBand = false;
    bool onStep = false;  // a multiple of 6.25 kHz or of 5 kHz
    std::string text;     // the value checked, as "%3.5f": the form a passing value is stored in

    bool ok() const { return plausible && inBand && onStep; }
    // The message of the first failing check, or "" when all pass.
    std::string_view FirstFailure() const;
};

// Reads text as MHz (leading number, as atof) and runs the three checks on it.
FrequencyCheck CheckFrequency(std::string_view text, BandLimits band);

// What columns 3 to 8 of a new channel row receive when its first frequency is committed.
inline constexpr std::array<std::string_view, 6> kNewRowDefaults = {"OFF",  "OFF", "NO",
                                                                    "Wide", "Add", "High"};
