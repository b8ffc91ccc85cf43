// Decoding the image into the editor model and encoding it back.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ChannelCodec.h"
#include "NewDocument.h"

namespace {

using Record = std::array<std::uint8_t, 16>;

// Channel n's record starts at 0x010 + 16 (n - 1).
std::size_t At(int channel) {
    return 0x010 + 16 * static_cast<std::size_t>(channel - 1);
}

void PutRecord(RadioImage& image, int channel, const Record& record) {
    std::copy(record.begin(), record.end(), image.data() + At(channel));
}

Record GetRecord(const RadioImage& image, int channel) {
    Record record{};
    std::copy_n(image.data() + At(channel), 16, record.begin());
    return record;
}

std::vector<std::string> RowTexts(const EditorModel& model, int row) {
    return {model.cells[row].begin() + 1, model.cells[row].end()};
}

void SetRow(EditorModel& model, int row, const std::vector<std::string>& texts) {
    std::copy(texts.begin(), texts.end(), model.cells[row].begin() + 1);
}

TEST(ChannelCodec, NewDocumentDecodesToEmptyChannelsAndDefaultSettings) {
    EditorModel model;
    model.Cell(0, 3) = "header";  // row 0 and column 0 belong to the form
    model.Cell(5, COL_CH) = "five";
    DecodeImage(NewDocumentImage(RadioType::T310X), model);
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(RowTexts(model, n), std::vector<std::string>(8)) << "channel " << n;
    }
    EXPECT_EQ(model.Cell(0, 3), "header");
    EXPECT_EQ(model.Cell(5, COL_CH), "five");
    const std::pair<Setting, const char*> expected[] = {
        {Setting::Beep, "Enable"},           {Setting::Scan, "ON"},
        {Setting::Voice, "Chinese"},         {Setting::BatterySaver, "Enable"},
        {Setting::RefuseAlert, "OFF"},       {Setting::UrgencyCall, "TX Alert "},
        {Setting::SquelchLevel, "9"},        {Setting::TimeoutTimer, "180s"},
        {Setting::Moni, "SQ-Off Momentary"}, {Setting::Type, "KV - T310X"},
        {Setting::Field, "450 - 470MHZ"}};
    for (const auto& [setting, text] : expected) {
        EXPECT_EQ(model.SelectedText(setting), text);
    }
    DecodeImage(NewDocumentImage(RadioType::T520), model);
    EXPECT_EQ(model.SelectedText(Setting::Type), "KV - T520");
    EXPECT_EQ(model.SelectedText(Setting::Field), "450 - 470MHZ");
}

TEST(ChannelCodec, ExampleRowEncodesOverBlankRecordAndDecodesBack) {
    RadioImage image;  // all 0xFF
    EditorModel model;
    const std::vector<std::string> row = {"462.56250", "467.56250", "67.0", "D023N",
                                          "NO",        "Narrow",    "Add",  "High"};
    SetRow(model, 3, row);
    EncodeImage(model, image);
    EXPECT_EQ(GetRecord(image, 3), (Record{0x50, 0x62, 0x25, 0x46, 0x50, 0x62, 0x75, 0x46, 0x70,
                                           0x06, 0x23, 0x80, 0xDF, 0x01, 0x01, 0xFF}));
    EditorModel decoded;
    DecodeImage(image, decoded);
    EXPECT_EQ(RowTexts(decoded, 3), row);
}

// The transmit frequency is absent by a 0x00 byte 7; re-encoding writes it as four 0xFF.
TEST(ChannelCodec, ChannelWithOnlyAReceiveFrequencyIsInUse) {
    RadioImage image;
    PutRecord(image, 2,
              {0x00, 0x00, 0x00, 0x46, 0x12, 0x34, 0x56, 0x00, 0x85, 0x08, 0x54, 0xC7, 0x0A, 0x00,
               0x5A, 0x77});
    EditorModel model;
    DecodeImage(image, model);
    EXPECT_EQ(RowTexts(model, 2), (std::vector<std::string>{"460.00000", "", "88.5", "D754I", "YES",
                                                            "Wide", "Delete", "Low"}));
    EncodeImage(model, image);
    EXPECT_EQ(GetRecord(image, 2), (Record{0x00, 0x00, 0x00, 0x46, 0xFF, 0xFF, 0xFF, 0xFF, 0x85,
                                           0x08, 0x54, 0xC7, 0x0A, 0x01, 0x5A, 0x77}));
}

TEST(ChannelCodec, ChannelWithoutFrequenciesDecodesEmptyWhateverElseItHolds) {
    RadioImage image;
    PutRecord(image, 16,
              {0x50, 0x62, 0x25, 0x00, 0x50, 0x62, 0x25, 0xFF, 0x70, 0x06, 0x23, 0x80, 0x00, 0x01,
               0x01, 0x00});
    EditorModel model;
    SetRow(model, 16, {"1", "2", "3", "4", "5", "6", "7", "8"});
    DecodeImage(image, model);
    EXPECT_EQ(RowTexts(model, 16), std::vector<std::string>(8));
}

TEST(ChannelCodec, FlagBitsDecodeToTheirTexts) {
    const std::pair<std::uint8_t, std::vector<std::string>> cases[] = {
        {0x00, {"YES", "Wide", "Delete", "Low"}},  {0x35, {"NO", "Narrow", "Add", "Middle"}},
        {0x40, {"YES", "Wide", "Delete", "High"}}, {0x60, {"YES", "Wide", "Delete", "High"}},
        {0x8A, {"YES", "Wide", "Delete", "Low"}},  {0xFF, {"NO", "Narrow", "Add", "High"}}};
    for (const auto& [flags, texts] : cases) {
        RadioImage image;
        PutRecord(image, 1,
                  {0x00, 0x00, 0x00, 0x45, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, flags,
                   0x01, 0x01, 0xFF});
        EditorModel model;
        DecodeImage(image, model);
        std::vector<std::string> expected = {"450.00000", "", "OFF", "OFF"};
        expected.insert(expected.end(), texts.begin(), texts.end());
        EXPECT_EQ(RowTexts(model, 1), expected) << "flags " << int(flags);
    }
}

// Only the exact texts count; anything else is NO, Narrow, Delete and High.
TEST(ChannelCodec, FlagTextsEncodeExactlyAndKeepTheFreeBits) {
    const struct {
        std::vector<std::string> texts;  // Busy, W/N, Scan, Power
        std::uint8_t before, after;
    } cases[] = {{{"YES", "Wide", "Delete", "Low"}, 0x00, 0x00},
                 {{"YES", "Wide", "Delete", "Low"}, 0xFF, 0x8A},
                 {{"NO", "Narrow", "Add", "Middle"}, 0x00, 0x35},
                 {{"NO", "Narrow", "Add", "High"}, 0x8A, 0xDF},
                 {{"yes", "wide", "add", "low"}, 0x00, 0x45},
                 {{"YES ", "Wide ", "Add ", "Low "}, 0x00, 0x45},
                 {{"", "", "", ""}, 0x70, 0x45},
                 {{"", "", "", "Middle"}, 0x60, 0x25}};
    for (const auto& c : cases) {
        RadioImage image;
        image[At(9) + 12] = c.before;
        EditorModel model;
        std::vector<std::string> row = {"462.56250", "", "OFF", "OFF"};
        row.insert(row.end(), c.texts.begin(), c.texts.end());
        SetRow(model, 9, row);
        EncodeImage(model, image);
        EXPECT_EQ(image[At(9) + 12], c.after)
            << testing::PrintToString(c.texts) << " over " << int(c.before);
    }
}

TEST(ChannelCodec, FrequencyCellsCodeDigitsAndStepFlags) {
    const struct {
        const char* text;
        std::array<std::uint8_t, 4> bytes;
        std::uint8_t step;
    } cases[] = {
        {"462.5625", {0x50, 0x62, 0x25, 0x46}, 1},  {"299.99500", {0x00, 0x95, 0x99, 0x29}, 0},
        {"300.00500", {0x00, 0x05, 0x00, 0x30}, 1}, {"150.00625", {0x25, 0x06, 0x00, 0x15}, 1},
        {" 60 MHz", {0x00, 0x00, 0x00, 0x06}, 1},   {"abc", {0xFF, 0xFF, 0xFF, 0xFF}, 0x7E},
        {"", {0xFF, 0xFF, 0xFF, 0xFF}, 0x7E},       {"999.99999", {0x99, 0x99, 0x99, 0x99}, 1}};
    for (const auto& c : cases) {
        RadioImage image;
        image.Fill(0x7E);  // an absent frequency keeps its step byte
        EditorModel model;
        model.Cell(4, COL_RX_FREQ) = c.text;
        model.Cell(4, COL_TX_FREQ) = c.text;
        EncodeImage(model, image);
        const Record r = GetRecord(image, 4);
        EXPECT_EQ((std::array<std::uint8_t, 4>{r[0], r[1], r[2], r[3]}), c.bytes) << c.text;
        EXPECT_EQ((std::array<std::uint8_t, 4>{r[4], r[5], r[6], r[7]}), c.bytes) << c.text;
        EXPECT_EQ(r[13], c.step) << c.text;
        EXPECT_EQ(r[14], c.step) << c.text;
    }
}

TEST(ChannelCodec, EmptyRowsOfANewDocumentChangeOnlyTheFlagBytes) {
    const RadioImage fresh = NewDocumentImage(RadioType::T310X);
    EditorModel model;
    DecodeImage(fresh, model);
    RadioImage saved = fresh;
    EncodeImage(model, saved);
    for (std::size_t a = 0; a < 1024; ++a) {
        const bool flagByte = a >= 0x010 && a < 0x110 && (a - 0x010) % 16 == 12;
        EXPECT_EQ(saved[a], flagByte ? 0xCF : fresh[a]) << "address " << a;
    }
}

// Beep, Scan, Voice, Battery Saver, Refuse Alert, Urgency Call, Squelch, Time-out, Moni
const Setting kSettingOrder[9] = {
    Setting::Beep,         Setting::Scan,         Setting::Voice,
    Setting::BatterySaver, Setting::RefuseAlert,  Setting::UrgencyCall,
    Setting::SquelchLevel, Setting::TimeoutTimer, Setting::Moni};

TEST(ChannelCodec, SettingsDecodeToComboItemsAndEncodeBack) {
    enum Way { kBoth, kDecodeOnly, kEncodeOnly };
    const struct {
        std::uint8_t funcFlags, squelch, moni, timeout;
        std::array<int, 9> selections;  // in kSettingOrder
        Way way;
    } cases[] = {{0x00, 0, 0, 0, {1, 0, 0, 0, 1, 0, 0, 0, 0}, kBoth},
                 {0xFF, 9, 3, 10, {0, 1, 2, 1, 0, 3, 9, 10, 3}, kBoth},
                 {0x94, 4, 1, 6, {1, 1, 1, 0, 1, 2, 4, 6, 1}, kBoth},
                 {0x4B, 0, 2, 0, {0, 0, 0, 1, 0, 1, 0, 0, 2}, kBoth},
                 {0x15, 10, 4, 11, {0, 1, 1, 0, 1, 0, 0, 0, 3}, kDecodeOnly},
                 {0x6A, 0xFF, 0xFF, 0xFF, {1, 0, 0, 1, 0, 1, 0, 0, 3}, kDecodeOnly},  // voice 2
                 {0xB5, 0xFF, 0xFF, 0xFF, {-1, -1, -1, -1, -1, -1, -1, -1, -1}, kEncodeOnly}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << int(c.funcFlags) << ", selections "
                                        << testing::PrintToString(c.selections));
        if (c.way != kEncodeOnly) {
            RadioImage image;
            image[0x3C0] = c.funcFlags;
            image[0x3C1] = c.squelch;
            image[0x3C2] = c.moni;
            image[0x3C3] = c.timeout;
            EditorModel model;
            DecodeImage(image, model);
            for (int i = 0; i < 9; ++i) {
                EXPECT_EQ(model.Selection(kSettingOrder[i]), c.selections[i]) << "setting " << i;
            }
        }
        if (c.way != kDecodeOnly) {
            EditorModel model;
            for (int i = 0; i < 9; ++i) {
                model.Selection(kSettingOrder[i]) = c.selections[i];
            }
            RadioImage image;
            image.Fill(0x5A);
            EncodeImage(model, image);
            EXPECT_EQ(image[0x3C0], c.funcFlags);
            EXPECT_EQ(image[0x3C1], c.squelch);
            EXPECT_EQ(image[0x3C2], c.moni);
            EXPECT_EQ(image[0x3C3], c.timeout);
        }
    }
}

TEST(ChannelCodec, TypeDigitAndBandCodeAlwaysLeaveAFieldSelected) {
    const struct {
        std::uint8_t typeDigit, bandCode;
        int type, field;
    } cases[] = {{'3', 0xF4, 0, 0}, {'3', 0xF5, 0, 0}, {'3', 0xF0, 0, 0}, {'3', 0x00, 0, 0},
                 {'2', 0xF0, 1, 0}, {'2', 0xF1, 1, 0}, {'2', 0xF4, 1, 0}, {'2', 0xEF, 1, 0},
                 {'4', 0xF0, 0, 0}, {0xFF, 0xFF, 0, 0}};
    for (const auto& c : cases) {
        RadioImage image;
        image[0x3D6] = c.typeDigit;
        image[0x3D2] = c.bandCode;
        EditorModel model;  // first decode: nothing selected yet
        DecodeImage(image, model);
        EXPECT_EQ(model.Selection(Setting::Type), c.type)
            << "digit " << int(c.typeDigit) << ", band " << int(c.bandCode);
        EXPECT_EQ(model.Selection(Setting::Field), c.field)
            << "digit " << int(c.typeDigit) << ", band " << int(c.bandCode);
    }
}

TEST(ChannelCodec, UnknownTypeDigitKeepsTheCurrentTypeAndField) {
    RadioImage image;
    image[0x3D6] = '2';
    image[0x3D2] = 0xF0;
    EditorModel model;
    DecodeImage(image, model);
    image[0x3D6] = 'X';
    image[0x3D2] = 0x12;
    DecodeImage(image, model);
    EXPECT_EQ(model.Selection(Setting::Type), 1);
    EXPECT_EQ(model.Selection(Setting::Field), 0);
    EncodeImage(model, image);
    EXPECT_EQ(image[0x3D6], '2');
    EXPECT_EQ(image[0x3D2], 0xF0);
}

TEST(ChannelCodec, TypeAndFieldEncodeToTypeDigitAndBandCode) {
    const struct {
        int type;
        std::uint8_t typeDigit, bandCode;
    } cases[] = {{1, '2', 0xF0}, {0, '3', 0xF4}, {-1, '2', 0xF0}};
    for (const auto& c : cases) {
        EditorModel model;
        model.Selection(Setting::Type) = c.type;
        model.Selection(Setting::Field) = 0;
        RadioImage image;
        EncodeImage(model, image);
        EXPECT_EQ(image[0x3D6], c.typeDigit) << "type " << c.type;
        EXPECT_EQ(image[0x3D2], c.bandCode) << "type " << c.type;
    }
}

}  // namespace
