// Frequency coding, the absent-frequency rule, step flags and channels in use.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "RadioImage.h"

namespace {

using Four = std::array<std::uint8_t, 4>;

void Put(RadioImage& image, std::size_t a, const Four& bytes) {
    for (std::size_t k = 0; k < 4; ++k) {
        image[a + k] = bytes[k];
    }
}

TEST(RadioImage, OnlyTheMostSignificantByteMarksAFrequencyAbsent) {
    RadioImage image;
    Put(image, 0x10, {0x12, 0x34, 0x56, 0x00});
    EXPECT_FALSE(ReadFrequency(image, 0x10).has_value());
    Put(image, 0x10, {0x00, 0x00, 0x00, 0xFF});
    EXPECT_FALSE(ReadFrequency(image, 0x10).has_value());
    // Low bytes of 0xFF do not make it absent; their nibbles are taken as they are (15, 15).
    Put(image, 0x10, {0xFF, 0xFF, 0xFF, 0x46});
    EXPECT_EQ(ReadFrequency(image, 0x10), 46000000u + 165u * 10000 + 165u * 100 + 165u);
    // Nibbles above 9 are not checked: 0x4A is 4 x 10 + 10.
    Put(image, 0x10, {0x00, 0x00, 0x00, 0x4A});
    EXPECT_EQ(ReadFrequency(image, 0x10), 50000000u);
}

TEST(RadioImage, StepFlagIsZeroOnlyBelow300MhzOffThe6Point25KhzRaster) {
    const std::pair<std::uint32_t, int> cases[] = {
        {30000000, 1},                                               // 300.00000 MHz
        {29999500, 0},                                               // 299.99500 MHz, a 5 kHz step
        {30000500, 1},                                               // 300.00500 MHz
        {30000001, 1}, {29999999, 0}, {29999375, 1}, {15000625, 1},  // 150.00625 MHz
        {15000500, 0}, {625, 1},      {1, 0},        {46256251, 1}, {99999999, 1}};
    for (const auto& [units, flag] : cases) {
        EXPECT_EQ(StepFlag(units), flag) << units;
    }
}

}  // namespace
