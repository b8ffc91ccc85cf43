#include "TestFrequency.h"

#include "Numbers.h"

std::uint32_t NormaliseTestFrequency(double mhz, BandLimits band, int stepUnits) {
    // Signed and saturating, so that negative and huge texts clamp instead of wrapping.
    const long long units = TruncToInteger(mhz * 100000.0);
    if (units > static_cast<long long>(band.high)) {
        return band.high;
    }
    if (units < static_cast<long long>(band.low)) {
        return band.low;
    }
    if (stepUnits <= 0) {
        return static_cast<std::uint32_t>(units);
    }
    const long long step = stepUnits;
    const long long below = units - units % step;
    // Up only past the exact half; and never out of a band whose top is off the raster.
    const bool up = 2 * (units - below) > step && below + step <= static_cast<long long>(band.high);
    return static_cast<std::uint32_t>(up ? below + step : below);
}
