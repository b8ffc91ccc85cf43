#include "Options.h"

#include <gtest/gtest.h>

namespace {
// A syntax like a radio verb's: a device given once per radio, a count, a flag, a file, and
// an optional log.
constexpr OptionSpec kOptions[] = {
    {"--port", Takes::Values}, kRetriesOption, {"--type", Takes::Value}, {"--json"}};
constexpr std::string_view kNames[] = {"OUT.sin", "LOG"};
constexpr Syntax kSyntax{.options = kOptions, .positionals = kNames, .optionalPositionals = 1};

// What ParseWords made of args, and why it refused (or "").
struct Parsed : ParsedWords {
    Refusal refusal = Refusal::None;
    std::string why;
};
Parsed Parse(const Args& args, const Syntax& syntax = kSyntax) {
    Parsed parsed;
    const Result<Refusal> result = ParseWords(syntax, args, parsed);
    parsed.refusal = result.end;
    parsed.why = result.message;
    return parsed;
}
}  // namespace

TEST(Options, KeepsEveryValueOfARepeatableOptionAndTheLastOfAnOther) {
    const Parsed parsed = Parse({"--port", "COM1", "a.sin", "--type", "x", "--port", "--json",
                                 "--type", "", "--json", "--retries", "7"});
    ASSERT_EQ(parsed.why, "");
    EXPECT_EQ(parsed.Values("--port"), (std::vector<std::string>{"COM1", "--json"}));
    EXPECT_EQ(parsed.Values("--type"), (std::vector<std::string>{""}));
    EXPECT_EQ(parsed.Last("--type"), "");
    EXPECT_EQ(parsed.Values("--json").size(), 1u);  // the --json after --port is its value
    EXPECT_EQ(parsed.Number("--retries", -1), 7);
    EXPECT_EQ(parsed.positionals, (Args{"a.sin"}));
    EXPECT_FALSE(Parse({"a.sin"}).Has("--port"));
    EXPECT_EQ(Parse({"a.sin"}).Number("--retries", -1), -1);
}

TEST(Options, RefusesAValueOptionWithoutItsValueAndWordsItDoesNotKnow) {
    EXPECT_EQ(Parse({"a.sin", "--port"}).why, "unknown or incomplete argument \"--port\"");
    EXPECT_EQ(Parse({"a.sin", "--type"}).refusal, Refusal::BadWords);
    EXPECT_EQ(Parse({"--bogus", "a.sin"}).why, "unknown argument \"--bogus\"");
    EXPECT_EQ(Parse({"a.sin", "--bogus"}).why, "unknown or incomplete argument \"--bogus\"");
    EXPECT_EQ(Parse({"", "a.sin"}).why, "unknown argument \"\"");
    // A verb whose words are file names takes them as given.
    constexpr Syntax kNamesAsGiven{.positionals = kNames, .namesAsGiven = true};
    EXPECT_EQ(Parse({"--bogus", ""}, kNamesAsGiven).positionals, (Args{"--bogus", ""}));
}

TEST(Options, ChecksAWholeNumberAgainstItsRange) {
    EXPECT_EQ(Parse({"a.sin", "--retries", "0"}).Number("--retries", -1), 0);
    EXPECT_EQ(Parse({"a.sin", "--retries", "1000"}).Number("--retries", -1), 1000);
    for (const std::string bad : {"1001", "-1", "x", "", "1x", " 1", "+1", "99999999999"}) {
        const Parsed parsed = Parse({"--retries", "1", "--retries", bad, "a.sin"});
        EXPECT_EQ(parsed.refusal, Refusal::BadNumber) << bad;
        EXPECT_EQ(parsed.why, "--retries takes a whole number from 0 to 1000, not \"" + bad + "\"");
    }
}

TEST(Options, CountsPositionals) {
    EXPECT_EQ(Parse({"a.sin", "log"}).positionals, (Args{"a.sin", "log"}));
    EXPECT_EQ(Parse({"--port", "COM1"}).why, "missing OUT.sin");
    EXPECT_EQ(Parse({"a.sin", "log", "more", "--port", "COM1"}).why, "unknown argument \"more\"");
    EXPECT_EQ(Parse({}, {.positionals = kNames}).why, "missing OUT.sin");  // none optional
    EXPECT_EQ(Parse({"a.sin"}, {.positionals = kNames}).why, "missing LOG");
}
