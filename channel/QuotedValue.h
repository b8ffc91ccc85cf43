// How a message quotes what it was given: in double quotes, cut to kQuotedChars characters
// with an ellipsis, so that a huge field or argument cannot turn one message into megabytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kQuotedChars = 40;

// "\"TEXT\"", or the first kQuotedChars characters (UTF-8 sequences are never split) and
// "…" inside the quotes when text is longer.
std::string QuotedValue(std::string_view text);
