// The frequency edits of the test mode: what a typed frequency becomes before it is sent.
// The dialog applies this on Enter and the command-line tool to its arguments, so both send
// the same values.
#pragma once

#include <cstdint>

#include "CellRules.h"

// The two channel steps in 10 Hz units.
inline constexpr int kTestStep500 = 500;  // 5.00 kHz
inline constexpr int kTestStep625 = 625;  // 6.25 kHz

// mhz (the edit's text read as its leading number) as 10 Hz units, truncated toward zero,
// then: above the band -> the band's top; below it (0, negative or NaN included) -> its
// bottom; otherwise rounded to the nearest multiple of stepUnits, an exact half step
// rounding down (2.5 kHz on the 5 kHz raster, 312 units and less on the 6.25 kHz one).
// A clamped value is not rounded further; the band's limits lie on both rasters.
std::uint32_t NormaliseTestFrequency(double mhz, BandLimits band, int stepUnits);
