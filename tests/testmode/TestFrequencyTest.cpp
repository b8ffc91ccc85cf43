// What a typed test mode frequency becomes: clamped to the band, rounded to the edit's step
// with an exact half step rounding down.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Numbers.h"
#include "TestFrequency.h"

namespace {

constexpr BandLimits kBand = {45000000, 47000000};

std::uint32_t Normalise(const char* text, int step) {
    return NormaliseTestFrequency(LeadingDouble(text), kBand, step);
}

}  // namespace

TEST(TestFrequency, RoundsToTheNearestStepWithTheHalfStepDown) {
    EXPECT_EQ(Normalise("462.5124", kTestStep625), 46251250u);
    EXPECT_EQ(Normalise("462.5124", kTestStep500), 46251000u);
    EXPECT_EQ(Normalise("462.5025", kTestStep500), 46250000u) << "2.5 kHz rounds down";
    EXPECT_EQ(Normalise("462.5026", kTestStep500), 46250500u);
    EXPECT_EQ(Normalise("450.00312", kTestStep625), 45000000u) << "312 units round down";
    EXPECT_EQ(Normalise("450.00313", kTestStep625), 45000625u);
    EXPECT_EQ(Normalise("469.999", kTestStep625), 47000000u) << "up to the band's top";
    EXPECT_EQ(Normalise("462.5625", kTestStep625), 46256250u) << "on the raster already";
    EXPECT_EQ(Normalise("462.56259", kTestStep500), 46256500u);
}

TEST(TestFrequency, ClampsToTheBandWithoutRoundingFurther) {
    EXPECT_EQ(Normalise("480", kTestStep500), 47000000u);
    EXPECT_EQ(Normalise("470.00001", kTestStep625), 47000000u);
    EXPECT_EQ(Normalise("449.9", kTestStep625), 45000000u);
    EXPECT_EQ(Normalise("449.99999", kTestStep500), 45000000u);
    for (const char* nothing : {"", "abc", "-462.5", "0"}) {
        EXPECT_EQ(Normalise(nothing, kTestStep500), 45000000u) << '"' << nothing << '"';
    }
    EXPECT_EQ(Normalise("1e300", kTestStep500), 47000000u);
    EXPECT_EQ(NormaliseTestFrequency(std::nan(""), kBand, kTestStep500), 45000000u);
    EXPECT_EQ(NormaliseTestFrequency(std::numeric_limits<double>::infinity(), kBand, kTestStep625),
              47000000u);
    // A top off the raster is never passed by rounding up.
    EXPECT_EQ(NormaliseTestFrequency(450.003, {45000000, 45000300}, kTestStep500), 45000000u);
}
