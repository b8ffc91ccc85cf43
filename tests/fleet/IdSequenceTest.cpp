// The IDs of a production run: the base and width of the start ID carry through the run.
#include <gtest/gtest.h>

#include "IdSequence.h"

namespace {

std::vector<std::string> Take(std::string_view start, int count) {
    CIdSequence ids(start);
    std::vector<std::string> taken{ids.Current()};
    while (static_cast<int>(taken.size()) < count && ids.Advance()) {
        taken.push_back(ids.Current());
    }
    return taken;
}

TEST(IdSequence, CountsInTheStartsBaseKeepingItsWidth) {
    EXPECT_EQ(Take("0099", 3), (std::vector<std::string>{"0099", "0100", "0101"}));
    EXPECT_EQ(Take("99", 2), (std::vector<std::string>{"99", "100"}));
    EXPECT_EQ(Take("0e", 4), (std::vector<std::string>{"0E", "0F", "10", "11"}));
    EXPECT_EQ(Take("19F", 2), (std::vector<std::string>{"19F", "1A0"}));
    EXPECT_EQ(Take("FF", 2), (std::vector<std::string>{"FF", "100"}));
    // Sixteen digits are the most an ID code holds: nothing follows the last one.
    EXPECT_EQ(Take("9999999999999999", 2).size(), 1u);
}

TEST(IdSequence, RefusesWhatTheIdCodeCannotHold) {
    for (const char* bad : {"", "12G", "0x10", " 1", "12345678901234567"}) {
        EXPECT_FALSE(CIdSequence::Check(bad).ok()) << bad;
    }
    EXPECT_TRUE(CIdSequence::Check("0123456789abcdef").ok());
}

}  // namespace
