#include "Options.h"
#include "QuotedValue.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace {

const OptionSpec* FindOption(const Syntax& syntax, std::string_view word) {
    const auto found = std::ranges::find(syntax.options, word, &OptionSpec::name);
    return found == syntax.options.end() ? nullptr : &*found;
}

// The last word may be an option cut short of its value, so it is not called unknown alone.
Result<Refusal> UnknownWord(const std::string& word, bool last) {
    return {Refusal::BadWords, std::string(last ? "unknown or incomplete" : "unknown") +
                                   " argument " + QuotedValue(word)};
}

}  // namespace

std::vector<std::string> ParsedWords::Values(std::string_view option) const {
    const auto found = options.find(option);
    return found == options.end() ? std::vector<std::string>() : found->second;
}

std::string ParsedWords::Last(std::string_view option) const {
    const std::vector<std::string> values = Values(option);
    return values.empty() ? std::string() : values.back();
}

int ParsedWords::Number(std::string_view option, int fallback) const {
    const auto found = numbers.find(option);
    return found == numbers.end() ? fallback : found->second;
}

Result<Refusal> ParseWords(const Syntax& syntax, const Args& args, ParsedWords& parsed) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool last = i + 1 == args.size();
        const OptionSpec* option = FindOption(syntax, word);
        if (!option) {
            const bool name = syntax.namesAsGiven || (!word.empty() && !word.starts_with("--"));
            if (!name || parsed.positionals.size() == syntax.positionals.size()) {
                return UnknownWord(word, last);
            }
            parsed.positionals.push_back(word);
            continue;
        }
        std::vector<std::string>& values = parsed.options[word];
        if (option->takes == Takes::Nothing) {
            values.emplace_back();
            continue;
        }
        if (last) {
            return UnknownWord(word, last);
        }
        const std::string& value = args[++i];
        if (option->low <= option->high) {
            const auto number = WholeNumber(value, option->low, option->high);
            if (!number) {
                return {Refusal::BadNumber,
                        word + " takes a whole number from " + std::to_string(option->low) +
                            " to " + std::to_string(option->high) + ", not " + QuotedValue(value)};
            }
            parsed.numbers[word] = *number;
        }
        if (option->takes == Takes::Value) {
            values.clear();
        }
        values.push_back(value);
    }
    const std::size_t required = syntax.positionals.size() - syntax.optionalPositionals;
    if (parsed.positionals.size() < required) {
        return {Refusal::BadWords,
                "missing " + std::string(syntax.positionals[parsed.positionals.size()])};
    }
    return {};
}

bool ParseOrShowUsage(const Syntax& syntax, const Args& args, std::string_view synopsis,
                      ParsedWords& parsed) {
    const Result<Refusal> result = ParseWords(syntax, args, parsed);
    if (result.end == Refusal::BadNumber) {
        Fail(kExitUsage, result.message);
    }
    if (!result) {
        Fail(kExitUsage, UsageText(synopsis));
    }
    return result.ok();
}

std::optional<int> WholeNumber(std::string_view text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}
