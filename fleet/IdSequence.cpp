#include "IdSequence.h"

#include <algorithm>

#include "QuotedValue.h"

namespace {

constexpr std::size_t kMaxIdLength = 16;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Normalised(std::string_view id) {
    std::string upper;
    upper.reserve(id.size());
    std::transform(id.begin(), id.end(), std::back_inserter(upper), Upper);
    return upper;
}

// The value of an upper-case ID in base 10 or 16; 16 digits fit either way.
std::uint64_t Value(std::string_view id, unsigned base) {
    std::uint64_t value = 0;
    for (const char c : id) {
        value = value * base + static_cast<unsigned>(IsDigit(c) ? c - '0' : c - 'A' + 10);
    }
    return value;
}

// value in base with at least width digits, leading zeros filling.
std::string Digits(std::uint64_t value, unsigned base, std::size_t width) {
    std::string text;
    do {
        const auto digit = static_cast<char>(value % base);
        text.insert(text.begin(), static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10));
        value /= base;
    } while (value > 0);
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

}  // namespace

Result<> CIdSequence::Check(std::string_view start) {
    if (start.empty() || start.size() > kMaxIdLength ||
        !std::all_of(start.begin(), start.end(), IsHexDigit)) {
        return Failure("the start ID " + QuotedValue(start) +
                       " is not 1 to 16 characters of 0-9 and A-F");
    }
    return {};
}

bool CIdSequence::Later(std::string_view a, std::string_view b) {
    return a.size() != b.size() ? a.size() > b.size() : a > b;
}

CIdSequence::CIdSequence(std::string_view start, bool hexadecimal)
    : m_start(Normalised(start)), m_current(m_start) {
    m_decimal = !hexadecimal && std::all_of(m_start.begin(), m_start.end(), IsDigit);
}

bool CIdSequence::Advance() {
    const char top = m_decimal ? '9' : 'F';
    std::string next = m_current;
    // Add one from the right: a top digit turns to 0 and carries.
    auto digit = next.rbegin();
    for (; digit != next.rend() && *digit == top; ++digit) {
        *digit = '0';
    }
    if (digit == next.rend()) {
        if (next.size() == kMaxIdLength) {
            return false;
        }
        next.insert(next.begin(), '1');
    } else {
        *digit = *digit == '9' ? 'A' : static_cast<char>(*digit + 1);
    }
    m_current = std::move(next);
    return true;
}

std::optional<std::uint64_t> CIdSequence::StepsTo(std::string_view id) const {
    const std::string wanted = Normalised(id);
    if (!Check(wanted) || (m_decimal && !std::all_of(wanted.begin(), wanted.end(), IsDigit))) {
        return std::nullopt;
    }
    const unsigned base = m_decimal ? 10 : 16;
    const std::uint64_t start = Value(m_start, base);
    const std::uint64_t value = Value(wanted, base);
    // The sequence writes each value once, in the start's width or as wide as it needs.
    if (value < start || Digits(value, base, m_start.size()) != wanted) {
        return std::nullopt;
    }
    return value - start;
}
