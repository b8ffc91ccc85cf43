#include "Csv.h"

#include <gtest/gtest.h>

namespace {
// What ParseCsv made of text: the records, their lines, and why it refused (or "").
struct Parsed : CsvTable {
    std::string error;
};
Parsed Parse(std::string_view text) {
    Parsed parsed;
    parsed.error = ParseCsv(text, parsed).message;
    return parsed;
}
}  // namespace

TEST(Csv, QuotesOnlyFieldsThatNeedIt) {
    EXPECT_EQ(CsvLine({"1", "462.56250", ""}), "1,462.56250,\r\n");
    EXPECT_EQ(CsvLine({"a,b", "say \"hi\"", "two\nlines"}),
              "\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\"\r\n");
}

TEST(Csv, WhatIsWrittenParsesBackUnchanged) {
    const CsvRecord tricky = {"", "a,b", "\"", "x\r\ny", " lead and trail ", "TX Alert "};
    const Parsed parsed = Parse(CsvLine(tricky) + CsvLine({"2", ""}));
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.records.size(), 2u);
    EXPECT_EQ(parsed.records[0], tricky);
    EXPECT_EQ(parsed.records[1], (CsvRecord{"2", ""}));
}

TEST(Csv, AcceptsWhatSpreadsheetsWrite) {
    // Byte order mark, LF line ends, blank lines, a last line without a line end.
    const Parsed parsed = Parse(
        "\xEF\xBB\xBF"
        "CH,Busy\n\n1,YES\r\n\r\n2,NO");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.records.size(), 3u);
    EXPECT_EQ(parsed.records[0], (CsvRecord{"CH", "Busy"}));
    EXPECT_EQ(parsed.records[2], (CsvRecord{"2", "NO"}));
}

TEST(Csv, RefusesBrokenQuoting) {
    const Parsed open = Parse("CH\n1\n\"never closed,\n");
    EXPECT_NE(open.error.find("line 3"), std::string::npos) << open.error;
    const Parsed trailing = Parse("\"a\"b,c\n");
    EXPECT_NE(trailing.error.find("after a closing quote"), std::string::npos) << trailing.error;
}

TEST(Csv, RefusesWhatIsNotUtf8Text) {
    EXPECT_NE(Parse("CH,Busy\n1,caf\xE9\n").error.find("line 2: the file is not UTF-8"),
              std::string::npos);
    EXPECT_NE(Parse(std::string("C\0H", 3)).error.find("not UTF-8"), std::string::npos);
    EXPECT_EQ(Parse("CH,Busy\n1,caf\xC3\xA9\n").error, "");
}

TEST(Csv, OldStyleLineEndsAndMarksInFieldsSurvive) {
    const Parsed parsed = Parse("CH\r1\r\r2\r");
    ASSERT_EQ(parsed.records.size(), 3u);
    EXPECT_EQ(parsed.lines, (std::vector<int>{1, 2, 4}));
    // A field that starts with a byte order mark keeps it through a write and a read.
    const CsvRecord marked = {
        "\xEF\xBB\xBF"
        "CH",
        "x"};
    EXPECT_EQ(Parse(CsvLine(marked)).records.at(0), marked);
}
