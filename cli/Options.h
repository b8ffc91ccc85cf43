// How a verb of kvprog-cli takes its words: it declares its options and positional arguments
// and gets back their values, or why the words were refused.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Result.h"
#include "Verb.h"

enum class Takes {
    Nothing,  // a flag
    Value,    // the word after it; when given again, the last one counts
    Values,   // the word after it, once per use, all kept in order
};

struct OptionSpec {
    std::string_view name;
    Takes takes = Takes::Nothing;
    int low = 0;  // when low <= high the value is a whole number from low to high
    int high = -1;
};

inline constexpr int kMaxRetries = 1000;
inline constexpr OptionSpec kRetriesOption{"--retries", Takes::Value, 0, kMaxRetries};

struct Syntax {
    std::span<const OptionSpec> options{};
    std::span<const std::string_view> positionals{};  // their names, in order
    std::size_t optionalPositionals = 0;              // how many of the last ones may be left out
    // Positionals are file names taken as given, even "" or one that begins with "--";
    // otherwise such a word is refused.
    bool namesAsGiven = false;
};

enum class Refusal {
    None,
    BadWords,   // an unknown word, a missing value, too many or too few positionals
    BadNumber,  // a whole number option out of its range or not a number
};

// The values of the words a verb was given.
struct ParsedWords {
    // Each option given, with its values in order; a flag has one empty value per use.
    std::map<std::string, std::vector<std::string>, std::less<>> options;
    std::map<std::string, int, std::less<>> numbers;  // the checked number of each ranged option
    Args positionals;

    bool Has(std::string_view option) const { return options.contains(option); }
    // The last value of the option, or "" when it was not given.
    std::string Last(std::string_view option) const;
    std::vector<std::string> Values(std::string_view option) const;
    int Number(std::string_view option, int fallback) const;
};

// Reads args by syntax into parsed; stops at the first word it refuses and says why.
Result<Refusal> ParseWords(const Syntax& syntax, const Args& args, ParsedWords& parsed);

// ParseWords, and when it refuses, the verb's usage; a bad number is named first, as a typo in
// a value is easy to miss. False when refused.
bool ParseOrShowUsage(const Syntax& syntax, const Args& args, std::string_view synopsis,
                      ParsedWords& parsed);

// The whole decimal number text spells, if it lies from low to high.
std::optional<int> WholeNumber(std::string_view text, int low, int high);
