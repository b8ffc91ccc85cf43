// The tone vocabulary and the two-byte tone code.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TextCase.h"
#include "ToneList.h"

namespace {

const std::vector<std::string> kCtcss = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1"};

const std::vector<std::string> kDcs = {
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054", "065",
    "071", "072", "073", "074", "114", "115", "116", "122", "125", "131", "132", "134",
    "143", "145", "152", "155", "156", "162", "165", "172", "174", "205", "212", "223",
    "225", "226", "243", "244", "245", "246", "251", "252", "255", "261", "263", "265",
    "266", "271", "274", "306", "311", "315", "325", "331", "332", "343", "346", "351",
    "356", "364", "365", "371", "411", "412", "413", "423", "431", "432", "445", "446",
    "452", "454", "455", "462", "464", "465", "466", "503", "506", "516", "523", "526",
    "532", "546", "565", "606", "612", "624", "627", "631", "632", "645", "654", "662",
    "664", "703", "712", "723", "731", "732", "734", "743", "754"};

TEST(ToneList, HoldsEveryToneInItsFixedOrder) {
    ASSERT_EQ(kCtcss.size(), 50u);
    ASSERT_EQ(kDcs.size(), 105u);
    std::vector<std::string> expected = {"OFF"};
    expected.insert(expected.end(), kCtcss.begin(), kCtcss.end());
    for (const char* suffix : {"N", "I"}) {
        for (const auto& code : kDcs) {
            expected.push_back("D" + code + suffix);
        }
    }
    ToneList list;
    list.Build();
    EXPECT_EQ(list.entries(), expected);
    ASSERT_EQ(list.size(), 261u);
    EXPECT_EQ(list[50], "254.1");
    EXPECT_EQ(list[51], "D023N");
    EXPECT_EQ(list[156], "D023I");
    EXPECT_EQ(list[260], "D754I");
}

TEST(ToneList, EveryEntryRoundTripsThroughItsCode) {
    ToneList list;
    list.Build();
    for (const auto& text : list.entries()) {
        const ToneCode code = ToneCodeFromText(text);
        EXPECT_EQ(ToneTextFromCode(code), text);
        if (text != "OFF" && text[0] != 'D') {
            EXPECT_LT(code.high, 0x80) << text;  // a CTCSS code never reaches the DCS range
        }
    }
}

// The look-ups find every entry at its own place, in any letter case, and nothing else.
TEST(ToneList, FindsEachEntryAndNothingElse) {
    ToneList list;
    list.Build();
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string lower = list[i];
        for (char& c : lower) {
            c = AsciiLower(c);
        }
        EXPECT_EQ(list.FindIgnoringCase(lower), static_cast<int>(i)) << lower;
        EXPECT_TRUE(list.Contains(list[i]));
        EXPECT_EQ(list.Contains(lower), lower == list[i]) << lower;
    }
    for (const char* other : {"", "67", "67.00", " OFF", "D023", "D023X", "D0231", "254.2"}) {
        EXPECT_EQ(list.FindIgnoringCase(other), -1) << other;
        EXPECT_FALSE(list.Contains(other)) << other;
    }
}

struct ToneCase {
    const char* text;
    std::uint8_t low;
    std::uint8_t high;
};

TEST(ToneCode, ExamplesConvertBothWays) {
    const ToneCase cases[] = {{"OFF", 0xFF, 0xFF},   {"67.0", 0x70, 0x06},  {"100.0", 0x00, 0x10},
                              {"254.1", 0x41, 0x25}, {"D023N", 0x23, 0x80}, {"D754N", 0x54, 0x87},
                              {"D023I", 0x23, 0xC0}, {"D754I", 0x54, 0xC7}};
    for (const ToneCase& c : cases) {
        EXPECT_EQ(ToneCodeFromText(c.text), (ToneCode{c.low, c.high})) << c.text;
        EXPECT_EQ(ToneTextFromCode({c.low, c.high}), c.text);
    }
}

TEST(ToneCode, OddTextsEncodeByTheLetterRules) {
    const ToneCase cases[] = {
        // No tone: nothing numeric, or zero.
        {"", 0xFF, 0xFF},
        {"0.0", 0xFF, 0xFF},
        {"abc", 0xFF, 0xFF},
        {"0.05", 0xFF, 0xFF},
        // Lower-case letters do not make a DCS code: d023n reads as no number at all.
        {"d023n", 0xFF, 0xFF},
        // Without an upper-case N after the first character the code is inverted.
        {"D023n", 0x23, 0xC0},
        {"D023", 0x23, 0xC0},
        {"ND023", 0x00, 0xC0},
        // An upper-case D anywhere makes it DCS; the first character is always dropped.
        {"023D", 0x23, 0xC0},
        {"XD023N", 0x00, 0x80},
        {"D 023N", 0x23, 0x80},
        {"D100N", 0x00, 0x81},
        // CTCSS texts are read as a leading number and truncated to tenths.
        {"67", 0x70, 0x06},
        {"67.09", 0x70, 0x06},
        {" 88.5 Hz", 0x85, 0x08},
        {"+71.9", 0x19, 0x07},
        {"6.7", 0x67, 0x00}};
    for (const ToneCase& c : cases) {
        EXPECT_EQ(ToneCodeFromText(c.text), (ToneCode{c.low, c.high})) << '"' << c.text << '"';
    }
}

TEST(ToneCode, OddCodesDecodeByTheTable) {
    const ToneCase cases[] = {
        {"OFF", 0x00, 0x00},   {"OFF", 0x70, 0x00},    {"OFF", 0x23, 0xFF},
        {"D06N", 0x06, 0x80},  {"D06I", 0x06, 0xC0},   {"11.0", 0x0A, 0x01},
        {"10.5", 0x05, 0x01},  {"799.9", 0x99, 0x79},  {"D100N", 0x00, 0x81},
        {"D107I", 0x07, 0xC1}, {"D6399N", 0x99, 0xBF}, {"D6200I", 0x00, 0xFE}};
    for (const ToneCase& c : cases) {
        EXPECT_EQ(ToneTextFromCode({c.low, c.high}), c.text)
            << std::hex << int(c.low) << " " << int(c.high);
    }
}

}  // namespace
