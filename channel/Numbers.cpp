#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips leading blanks; returns the position of the first other character.
std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    return i;
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    return i;
}

}  // namespace

double LeadingDouble(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t end = SkipDigits(text, i);
    bool hasDigits = end > start;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!hasDigits) {
        return 0.0;
    }
    // An exponent counts only when at least one digit follows the 'e' and its sign.
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) {
            ++e;
        }
        const std::size_t exponentEnd = SkipDigits(text, e);
        if (exponentEnd > e) {
            end = exponentEnd;
        }
    }
    // from_chars is locale-independent and rounds correctly; it reports values beyond the
    // range of double instead of returning them, so those are mapped as strtod maps them.
    double value = 0.0;
    const char* first = text.data() + start;
    const char* last = text.data() + end;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Only the exponent can push a decimal out of range; its sign tells which way.
        const std::string_view digits(first, static_cast<std::size_t>(last - first));
        const std::size_t ePos = digits.find_first_of("eE");
        const bool tiny =
            ePos != std::string_view::npos && ePos + 1 < digits.size() && digits[ePos + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    (void)ptr;
    return negative ? -value : value;
}

long long LeadingInteger(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

std::string FormatFixed(double value, int decimals) {
    // Wide enough for any double in fixed notation (about 310 integer digits).
    char buffer[512];
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        return std::string();
    }
    return std::string(buffer, ptr);
}

std::string FormatPadded(long long value, int digits) {
    std::string text = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(text.size()) < digits) {
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    }
    return value < 0 ? "-" + text : text;
}

std::optional<double> PlainDecimal(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

long long TruncToInteger(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    // 2^63 is exactly representable; anything at or beyond it saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit) {
        return std::numeric_limits<long long>::max();
    }
    if (value <= -kLimit) {
        return std::numeric_limits<long long>::min();
    }
    return static_cast<long long>(value);
}

std::uint32_t UnitsFromMhz(double mhz) {
    const long long units = TruncToInteger(mhz * 1000.0 * 100.0 + 0.05);
    if (units <= 0) {
        return 0;
    }
    constexpr long long kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(units > kMax ? kMax : units);
}

std::string FormatMhz(std::uint32_t units) {
    return FormatFixed(units * 0.00001, 5);
}
