#include "IdSequence.h"

#include <algorithm>

#include "QuotedValue.h"

namespace {

constexpr std::size_t kMaxIdLength = 16;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

char Upper(char c) {
    return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
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

CIdSequence::CIdSequence(std::string_view start) {
    m_current.reserve(start.size());
    std::transform(start.begin(), start.end(), std::back_inserter(m_current), Upper);
    m_decimal = std::all_of(m_current.begin(), m_current.end(),
                            [](char c) { return c >= '0' && c <= '9'; });
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
