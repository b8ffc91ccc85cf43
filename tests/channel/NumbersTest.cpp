// Leading-number reading, fixed formatting and MHz <-> 10 Hz units, free of the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <random>
#include <string>

#include "Numbers.h"

namespace {

// A locale with a decimal comma, by each system's name for it.
#ifdef _WIN32
constexpr char kGerman[] = "German_Germany.1252";
#else
constexpr char kGerman[] = "de_DE.UTF-8";
#endif

TEST(Numbers, LeadingDoubleReadsTheLeadingDecimalNumber) {
    const std::pair<const char*, double> cases[] = {{"462.5625", 462.5625},
                                                    {"  12.5abc", 12.5},
                                                    {"\t+3", 3.0},
                                                    {"-2.5", -2.5},
                                                    {"", 0.0},
                                                    {"abc", 0.0},
                                                    {"-", 0.0},
                                                    {".5", 0.5},
                                                    {"5.", 5.0},
                                                    {"1e2", 100.0},
                                                    {"1e", 1.0},
                                                    {"2E-1x", 0.2},
                                                    {"1,5", 1.0},
                                                    {"0x10", 0.0},
                                                    {"1 2", 1.0}};
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(LeadingDouble(text), value) << '"' << text << '"';
    }
}

TEST(Numbers, MhzAndUnitsConvertWithTheSmallRoundingTerm) {
    EXPECT_EQ(UnitsFromMhz(462.5625), 46256250u);
    EXPECT_EQ(UnitsFromMhz(450.00625), 45000625u);
    EXPECT_EQ(UnitsFromMhz(0.0), 0u);
    EXPECT_EQ(UnitsFromMhz(0.0000049), 0u);  // 0.49 + 0.05 truncates to 0
    EXPECT_EQ(UnitsFromMhz(0.0000096), 1u);  // 0.96 + 0.05 reaches 1
    EXPECT_EQ(UnitsFromMhz(462.562509), 46256250u);
    EXPECT_EQ(FormatMhz(46256250), "462.56250");
    EXPECT_EQ(FormatMhz(99999999), "999.99999");
    EXPECT_EQ(FormatMhz(1), "0.00001");
    EXPECT_EQ(FormatFixed(2.0 / 3.0, 3), "0.667");
}

// Every five-decimal frequency text reads back as the count it was made from.
TEST(Numbers, FrequencyTextsRoundTripToTheSameCount) {
    for (std::uint32_t units = 45000000; units <= 47000000; ++units) {
        ASSERT_EQ(UnitsFromMhz(LeadingDouble(FormatMhz(units))), units);
    }
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::uint32_t> any(1, 99999999);
    for (int i = 0; i < 300000; ++i) {
        const std::uint32_t units = any(rng);
        ASSERT_EQ(UnitsFromMhz(LeadingDouble(FormatMhz(units))), units);
    }
}

// A locale with a decimal comma must not change how the radio's numbers are read or written.
TEST(Numbers, IgnoreTheUserLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    ASSERT_NE(std::setlocale(LC_ALL, kGerman), nullptr)
        << "the " << kGerman << " locale must be there (locale-gen on Linux) for this test";
    const double read = LeadingDouble("462.5625");
    const double comma = LeadingDouble("462,5625");
    const std::string written = FormatFixed(462.5625, 5);
    const std::string tone = FormatFixed(67.0, 1);
    const std::uint32_t units = UnitsFromMhz(LeadingDouble("150.00625"));
    std::setlocale(LC_ALL, saved.c_str());

    EXPECT_DOUBLE_EQ(read, 462.5625);
    EXPECT_DOUBLE_EQ(comma, 462.0);
    EXPECT_EQ(written, "462.56250");
    EXPECT_EQ(tone, "67.0");
    EXPECT_EQ(units, 15000625u);
}

}  // namespace
