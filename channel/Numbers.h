// Text <-> number conversions of the radio's data.
//
// Every conversion here ignores the user's locale: numbers are read and written with '.'
// as the decimal point, so a file or an image comes out byte for byte the same whatever
// LC_NUMERIC says. Reading follows the C library's "leading number" rule: leading blanks
// and a sign are allowed, reading stops at the first character that does not continue the
// number, and a text without a leading number reads as 0. Nothing else in the program
// reads numbers out of the radio's texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The leading decimal number of text (digits, an optional fraction and exponent), as atof.
double LeadingDouble(std::string_view text);

// The leading decimal integer of text, as atol, saturating instead of overflowing.
long long LeadingInteger(std::string_view text);

// value with exactly `decimals` decimals, as printf's "%.*f" does in the C locale.
std::string FormatFixed(double value, int decimals);

// value with at least `digits` digits, zeros in front ("07"), a minus sign before them.
std::string FormatPadded(long long value, int digits);

// The whole of text as a plain decimal number such as "462.5625" (no exponent, no blanks),
// and finite; none for anything else.
std::optional<double> PlainDecimal(std::string_view text);

// Truncation toward zero, saturating at the limits of long long; NaN gives 0.
long long TruncToInteger(double value);

// A frequency in MHz as a count of 10 Hz units: trunc(mhz x 1000.0 x 100.0 + 0.05) held as
// an unsigned 32-bit value. Negative results give 0, results beyond 32 bits the largest.
std::uint32_t UnitsFromMhz(double mhz);

// A count of 10 Hz units as MHz with five decimals ("%3.5f"), for example "462.56250".
std::string FormatMhz(std::uint32_t units);
