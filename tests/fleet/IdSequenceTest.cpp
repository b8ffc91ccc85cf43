// The IDs of a production run: the base and width of the start ID carry through the run.
#include <gtest/gtest.h>

#include "FleetLedger.h"
#include "IdSequence.h"
#include "UsedIds.h"

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

// Where an ID lies in a run decides whether a run would give a used ID again.
TEST(IdSequence, KnowsWhichIdsARunHandsOut) {
    EXPECT_EQ(CIdSequence("0099").StepsTo("0101"), 2u);
    EXPECT_EQ(CIdSequence("19f").StepsTo("1A0"), 1u);
    EXPECT_EQ(CIdSequence("99").StepsTo("0100"), std::nullopt);  // "99" goes on with "100"
    EXPECT_EQ(CIdSequence("09").StepsTo("0A"), std::nullopt);    // decimal: no letters
    EXPECT_EQ(CIdSequence("0099").StepsTo("0098"), std::nullopt);
}

TEST(UsedIds, TheNextIdFollowsTheHighestInItsRunsBase) {
    CUsedIds used;
    used.Add("0109", "2026-12-07T14:03:05+01:00", 2);
    used.Add("0099", "2026-12-07T14:04:05+01:00", 3);
    EXPECT_EQ(used.Next(), "0110");
    used.Add("00FE", "2026-12-07T14:05:05+01:00", 4);  // a run of this width counted in hex
    EXPECT_EQ(used.Next(), "010A");
}

TEST(FleetLedger, NeverHandsOutAnIdTheLogRecords) {
    CUsedIds used;
    used.Add("0101", "2026-12-07T14:03:05+01:00", 12);
    EXPECT_TRUE(CFleetLedger("0095", 6, &used, "jobs.csv").Check());  // 0095 to 0100
    EXPECT_EQ(CFleetLedger("0095", 7, &used, "jobs.csv").Check().message,
              "ID 0101 was written at 2026-12-07 14:03, jobs.csv row 12, and this run would "
              "give it again; the next unused ID is 0102");
    EXPECT_FALSE(CFleetLedger("0095", 0, &used, "jobs.csv").Check());   // no end: it gets there
    EXPECT_TRUE(CFleetLedger("99", 0, &used, "jobs.csv").Check());      // "100", never "0101"
    EXPECT_TRUE(CFleetLedger("0095", 0, nullptr, "jobs.csv").Check());  // given again on purpose

    // A failure that may have written keeps its ID, so a run can reach a used one: it ends
    // there instead of giving it.
    CFleetLedger ledger("0100", 1, &used, "jobs.csv");
    const auto first = ledger.Claim();
    ASSERT_TRUE(first);
    ledger.End(*first, false, true);
    EXPECT_EQ(ledger.Claim(), std::nullopt);
    EXPECT_EQ(ledger.EndReason(),
              "ID 0101 was written at 2026-12-07 14:03, jobs.csv row 12, so the run gives no "
              "further ID");
}

TEST(FleetLedger, GivesBackIdsInOrderAndSaysWhenNoneIsLeft) {
    CFleetLedger ledger("FFFFFFFFFFFFFFFD", 0, nullptr, "jobs.csv");
    const auto a = ledger.Claim();
    const auto b = ledger.Claim();
    const auto c = ledger.Claim();
    ASSERT_TRUE(a && b && c);
    ledger.End(*c, false, false);  // nothing written: back, before anything new
    ledger.End(*a, false, false);
    EXPECT_EQ(ledger.Claim()->id, a->id);
    EXPECT_EQ(ledger.Claim()->id, c->id);
    EXPECT_EQ(ledger.Claim(), std::nullopt);
    EXPECT_EQ(ledger.EndReason(),
              "no ID is left: FFFFFFFFFFFFFFFF was the last, an ID code holds 16 digits at most");
}

}  // namespace
