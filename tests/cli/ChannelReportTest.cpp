#include "ChannelReport.h"

#include <gtest/gtest.h>

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
    const std::string json = ReportJson(image);
    EXPECT_NE(json.find("\"Type\": \"KV - T520\",\n    \"Field\": \"450 - 470MHZ\",\n    "
                        "\"Time-out Timer\": \"180s\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"Urgency Call Switch\": \"TX Alert \""), std::string::npos);
    EXPECT_NE(json.find("{\"CH\": \"2\", \"Receive(MHz)\": \"462.56250\", \"Transmit(MHz)\": "
                        "\"\", \"Rx Tone\": \"67.0\", \"Tx Tone\": \"D023N\", \"Busy\": \"NO\", "
                        "\"W/N\": \"Narrow\", \"Scan\": \"Add\", \"Power\": \"High\"}"),
              std::string::npos)
        << json;
    EXPECT_EQ(Count(json, "{\"CH\": "), 16u);
    EXPECT_NE(json.find("\"PTT ID\": \"BOT\",\n    \"ID Code\": \"1A?F\",\n    "
                        "\"Pressure for expansion\": \"ON\",\n    \"Fired\": \"OFF\",\n    "
                        "\"Receiving\": \"ON\",\n    \"All frequency interference\": \"OFF\""),
              std::string::npos)
        << json;
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
