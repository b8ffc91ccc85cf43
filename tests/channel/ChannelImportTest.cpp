#include "ChannelImport.h"

#include <gtest/gtest.h>

#include "ChannelCodec.h"
#include "NewDocument.h"

namespace {

class ChannelImport : public ::testing::Test {
protected:
    ChannelImport() {
        tones.Build();
        model = DecodeForDisplay(NewDocumentImage(RadioType::T310X));
    }

    Result<> Import(const std::string& csv) {
        CsvTable parsed;
        EXPECT_TRUE(ParseCsv(csv, parsed).ok());
        return ImportChannels(parsed, tones, model);
    }

    std::array<std::string, kGridCols> Row(int channel) const { return model.cells[channel]; }

    ToneList tones;
    EditorModel model;
};

const std::string kHeader = "CH,Receive(MHz),Transmit(MHz),Rx Tone,Tx Tone,Busy,W/N,Scan,Power\n";

using Cells = std::array<std::string, kGridCols>;

}  // namespace

TEST_F(ChannelImport, StoresCheckedValuesInTheirCanonicalForm) {
    ASSERT_TRUE(
        Import(kHeader + "3, 450 ,455.0050000,d023n,254.1,yes,narrow,DELETE,middle\n").ok());
    EXPECT_EQ(Row(3), (Cells{"3", "450.00000", "455.00500", "D023N", "254.1", "YES", "Narrow",
                             "Delete", "Middle"}));
}

TEST_F(ChannelImport, EmptyCellsOfAUsedChannelGetTheNewRowDefaults) {
    ASSERT_TRUE(Import(kHeader + "1,462.5625,,,,,,,\n").ok());
    // The transmit frequency stays empty as given; it is not copied from receive.
    EXPECT_EQ(Row(1), (Cells{"1", "462.56250", "", "OFF", "OFF", "NO", "Wide", "Add", "High"}));
}

TEST_F(ChannelImport, ColumnsMayComeInAnyOrderAndSubset) {
    ASSERT_TRUE(Import("Power, CH ,Receive(MHz)\nLow,16,469.99375\n").ok());
    EXPECT_EQ(Row(16), (Cells{"16", "469.99375", "", "OFF", "OFF", "NO", "Wide", "Add", "Low"}));
}

TEST_F(ChannelImport, RowsWithoutFrequenciesEmptyTheirChannelAndOthersKeepTheBase) {
    ASSERT_TRUE(Import(kHeader + "2,451,452,67.0,67.0,NO,Wide,Add,High\n").ok());
    ASSERT_TRUE(Import(kHeader + "2,,,67.0,67.0,NO,Wide,Add,High\n5,460,,,,,,,\n").ok());
    EXPECT_EQ(Row(2), (Cells{"2", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(Row(5)[COL_RX_FREQ], "460.00000");
    EXPECT_EQ(Row(4), (Cells{"4", "", "", "", "", "", "", "", ""}));
}

struct BadImport {
    std::string csv;
    std::string expected;  // a part of the message

    friend void PrintTo(const BadImport& bad, std::ostream* out) { *out << bad.csv; }
};

class ChannelImportRefuses : public ChannelImport,
                             public ::testing::WithParamInterface<BadImport> {};

TEST_P(ChannelImportRefuses, NamesRowColumnAndValueAndChangesNothing) {
    const EditorModel before = model;
    // A good row first: a refused import must not apply it either.
    const Result<> result = Import(kHeader + "1,450,450,,,,,,\n" + GetParam().csv);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.message.find(GetParam().expected), std::string::npos) << result.message;
    EXPECT_EQ(model.cells, before.cells);
}

INSTANTIATE_TEST_SUITE_P(
    BadValues, ChannelImportRefuses,
    ::testing::Values(
        BadImport{"2,470.005,,,,,,,\n",
                  "row 3, column \"Receive(MHz)\", value \"470.005\": Out of range!"},
        BadImport{"2,450,450.003,,,,,,\n", "value \"450.003\": Error data Value，Please input"},
        BadImport{"2,abc,,,,,,,\n", "value \"abc\": not a frequency in MHz"},
        BadImport{"2,455x,,,,,,,\n", "value \"455x\": not a frequency in MHz"},
        BadImport{"2,\"462,5625\",,,,,,,\n", "point as the decimal mark"},
        BadImport{"2,-450,,,,,,,\n", "not a frequency in MHz"},
        BadImport{"2,600.01,,,,,,,\n", "Error Data Format，Please input again"},
        BadImport{"2,59.99,,,,,,,\n", "Error Data Format"},
        BadImport{"2,450,,67,,,,,\n", "column \"Rx Tone\", value \"67\": not a tone"},
        BadImport{"2,450,,,D023X,,,,\n", "column \"Tx Tone\""},
        BadImport{"2,450,,,,maybe,,,\n", "value \"maybe\": must be one of YES, NO"},
        BadImport{"2,450,,,,,,,Max\n", "must be one of High, Middle, Low"},
        BadImport{"17,450,,,,,,,\n", "column \"CH\", value \"17\": not a channel number"},
        BadImport{"1.5,450,,,,,,,\n", "value \"1.5\""}, BadImport{",450,,,,,,,\n", "column \"CH\""},
        BadImport{"1,451,,,,,,,\n", "value \"1\": this channel has a row already"},
        BadImport{"2,450,,,,,,,,extra\n", "row 3 has more fields than the header"},
        BadImport{"1\n", "row 3 has fewer fields than the header"}));

TEST_F(ChannelImport, MessagesCountRowsAsTheFileDoes) {
    // Blank lines are rows of the spreadsheet too.
    const Result<> result = Import("CH,Receive(MHz)\n\n\n1,450\n\n2,480\n");
    EXPECT_NE(result.message.find("row 6, column"), std::string::npos) << result.message;
}

TEST_F(ChannelImport, RefusesHeadersItCannotPlace) {
    EXPECT_NE(Import("CH,Receive,Power\n").message.find("unknown column \"Receive\""),
              std::string::npos);
    EXPECT_NE(Import("CH,Power,Power\n").message.find("appears twice"), std::string::npos);
    EXPECT_NE(Import("Power\nHigh\n").message.find("no \"CH\" column"), std::string::npos);
    // Without a frequency column every row would delete its channel.
    EXPECT_NE(Import("CH,Busy\n1,YES\n").message.find("would delete"), std::string::npos);
    EXPECT_FALSE(Import("").ok());
}

// Pasted rows land from the given channel on, whatever their "CH" says; without a header the
// columns are the grid's, from "CH" in a full row and from "Receive(MHz)" in a shorter one.
TEST_F(ChannelImport, PastedRowsLandFromTheFirstChannelOn) {
    auto paste = [this](const std::string& text, int first, int& pasted) {
        CsvTable parsed;
        EXPECT_TRUE(ParseCsv(text, parsed, '\t').ok());
        return PasteChannels(parsed, first, tones, model, pasted);
    };
    int pasted = 0;
    ASSERT_TRUE(paste("9\t451\t\tD023N\t\tYES\t\t\t\n1\t452\t\t\t\t\t\t\tLow\n", 4, pasted).ok());
    EXPECT_EQ(pasted, 2);
    EXPECT_EQ(Row(4), (Cells{"4", "451.00000", "", "D023N", "OFF", "YES", "Wide", "Add", "High"}));
    EXPECT_EQ(Row(5)[COL_POWER], "Low");
    EXPECT_EQ(Row(9)[COL_RX_FREQ], "");
    ASSERT_TRUE(paste("Power\tReceive(MHz)\r\nMiddle\t460\r\n", 16, pasted).ok());
    EXPECT_EQ(Row(16), (Cells{"16", "460.00000", "", "OFF", "OFF", "NO", "Wide", "Add", "Middle"}));
    ASSERT_TRUE(paste("453\t454\n", 1, pasted).ok());
    EXPECT_EQ(Row(1)[COL_TX_FREQ], "454.00000");

    const EditorModel before = model;
    EXPECT_EQ(paste("460\n461\n", 16, pasted).message, "2 channels from CH 16 run past channel 16");
    EXPECT_NE(paste("CH\tReceive(MHz)\n1\t460\n2\t470.005\n", 3, pasted)
                  .message.find("row 3, column \"Receive(MHz)\", value \"470.005\""),
              std::string::npos);
    EXPECT_EQ(model.cells, before.cells);
}
