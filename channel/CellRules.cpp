#include "CellRules.h"

#include "Numbers.h"

namespace {
constexpr std::uint32_t kLowestPlausible = 6000000;    // 60 MHz
constexpr std::uint32_t kHighestPlausible = 60000000;  // 600 MHz
}  // namespace

BandLimits BandForField(int field) {
    const bool known = field >= 0 && static_cast<std::size_t>(field) < kBandLimits.size();
    return kBandLimits[known ? static_cast<std::size_t>(field) : 0];
}

FrequencyCheck CheckFrequency(std::string_view text, BandLimits band) {
    FrequencyCheck check;
    const double mhz = LeadingDouble(text);
    check.units = UnitsFromMhz(mhz);
    check.plausible = check.units >= kLowestPlausible && check.units <= kHighestPlausible;
    check.inBand = check.units >= band.low && check.units <= band.high;
    check.onStep = check.units % 625 == 0 || check.units % 500 == 0;
    // The text stored is the value that was checked: rounding the typed number to five
    // decimals could otherwise store a neighbour that is off the step.
    if (check.plausible) {
        check.text = FormatMhz(check.units);
    }
    return check;
}

std::string_view FrequencyCheck::FirstFailure() const {
    if (!plausible) {
        return kMsgFormatError;
    }
    if (!inBand) {
        return kMsgOutOfRange;
    }
    if (!onStep) {
        return kMsgStepError;
    }
    return {};
}
