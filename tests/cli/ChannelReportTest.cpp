#include "ChannelReport.h"

#include <gtest/gtest.h>

#include <QJsonArray>

#include "NewDocument.h"

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

}  // namespace

TEST(ChannelReport, JsonHoldsSettingsChannelsAndFeatures) {
    RadioImage image = NewDocumentImage(RadioType::T520);
    image[addr::kOptionFlags] = 0b1110'1001;  // PTT ID BOT; a set switch bit is OFF
    const std::uint8_t codes[] = {0x01, 0x0A, 0x20, 0x0F, 0xFF, 0x05};
    for (std::size_t i = 0; i < sizeof codes; ++i) {
        image[addr::kPttIdCodes + i] = codes[i];
    }
    const std::size_t r = RadioImage::ChannelAddress(2);
    const std::uint8_t record[] = {0x50, 0x62, 0x25, 0x46, 0xFF, 0xFF, 0xFF, 0xFF,
                                   0x70, 0x06, 0x23, 0x80, 0xDF, 0x01, 0x01, 0xFF};
    for (std::size_t i = 0; i < sizeof record; ++i) {
        image[r + i] = record[i];
    }
    const QJsonObject json = ReportJson(image);
    // Every label a key of its own: none lost to another of the same name.
    const QJsonObject settings = json["settings"].toObject();
    EXPECT_EQ(settings.size(), 11);
    EXPECT_EQ(settings["Type"], "KV - T520");
    EXPECT_EQ(settings["Time-out Timer"], "180s");
    EXPECT_EQ(settings["Urgency Call Switch"], "TX Alert ");
    const QJsonArray channels = json["channels"].toArray();
    ASSERT_EQ(channels.size(), 16);
    EXPECT_EQ(channels[1].toObject(), (QJsonObject{{"CH", "2"},
                                                   {"Receive(MHz)", "462.56250"},
                                                   {"Transmit(MHz)", ""},
                                                   {"Rx Tone", "67.0"},
                                                   {"Tx Tone", "D023N"},
                                                   {"Busy", "NO"},
                                                   {"W/N", "Narrow"},
                                                   {"Scan", "Add"},
                                                   {"Power", "High"}}));
    EXPECT_EQ(json["features"].toObject(), (QJsonObject{{"PTT ID", "BOT"},
                                                        {"ID Code", "1A?F"},
                                                        {"Pressure for expansion", "ON"},
                                                        {"Fired", "OFF"},
                                                        {"Receiving", "ON"},
                                                        {"All frequency interference", "OFF"}}));
}

TEST(ChannelReport, CsvIsTheGridAsShown) {
    const std::string csv = ReportCsv(NewDocumentImage(RadioType::T310X));
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "CH,Receive(MHz),Transmit(MHz),Rx Tone,Tx Tone,Busy,W/N,Scan,Power");
    EXPECT_EQ(Count(csv, "\r\n"), 17u);
    EXPECT_NE(csv.find("\r\n16,,,,,,,,\r\n"), std::string::npos);
}

TEST(ChannelReport, TextListsEverySettingThenTheTable) {
    const std::string text = ReportText(NewDocumentImage(RadioType::T310X));
    EXPECT_EQ(text.find("Type: KV - T310X\nField: 450 - 470MHZ\n"), 0u);
    EXPECT_NE(text.find("Moni: SQ-Off Momentary\nPTT ID: BOTH\nID Code: \n"), std::string::npos);
    EXPECT_NE(text.find("\nCH  Receive(MHz)  Transmit(MHz)  Rx Tone"), std::string::npos);
    EXPECT_NE(text.find("\n16\n"), std::string::npos);
}
