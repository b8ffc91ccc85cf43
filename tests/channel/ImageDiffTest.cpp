// What a comparison of two images names: fields as the form shows them, the other bytes as
// address ranges, and nothing exactly when the compared bytes are equal.
#include "ImageDiff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "NewDocument.h"
#include "ToneList.h"

namespace {

std::vector<std::string> Lines(const std::vector<Difference>& differences) {
    std::vector<std::string> lines;
    for (const Difference& difference : differences) {
        lines.push_back(DifferenceLine(difference));
    }
    return lines;
}

// Channel n in use at 462.5625 MHz both ways, with the given receive tone.
void PutChannel(RadioImage& image, int n, std::string_view rxTone) {
    const std::size_t r = RadioImage::ChannelAddress(n);
    WriteFrequency(image, r + rec::kRxFreq, 46256250);
    WriteFrequency(image, r + rec::kTxFreq, 46256250);
    WriteTone(image, r + rec::kRxTone, ToneCodeFromText(rxTone));
    WriteTone(image, r + rec::kTxTone, ToneCodeFromText("OFF"));
    image[r + rec::kChanFlags] = 0x00;
}

}  // namespace

TEST(ImageDiff, SettingsAndFeaturesByTheirLabels) {
    const RadioImage a = NewDocumentImage(RadioType::T310X);
    RadioImage b = a;
    b[addr::kSquelchLevel] = 5;
    // Voice English and Refuse Emergency Alert ON: labels led by a blank or broken in two
    // lines are named on one line.
    b[addr::kFuncFlags] = static_cast<std::uint8_t>(0xFF & ~0x20 & ~funcbits::kRefuseAlertOff);
    b[addr::kTypeDigit] = '2';
    b[addr::kOptionFlags] = 0xFC & static_cast<std::uint8_t>(~optbits::kFiredOff);  // OFF, Fired ON
    b[addr::kPttIdCodes] = 0x01;
    const std::vector<Difference> differences = CompareImages(a, b);
    EXPECT_EQ(Lines(differences),
              (std::vector<std::string>{"Type: KV - T310X -> KV - T520", "Squelch  Level: 9 -> 5",
                                        "Voice Annuciation: Chinese -> English",
                                        "Refuse Emergency Alert: OFF -> ON", "PTT ID: BOTH -> OFF",
                                        "ID Code: \"\" -> 1", "Fired: OFF -> ON"}));
    ASSERT_FALSE(differences.empty());
    EXPECT_EQ(differences[0].kind, DiffKind::Setting);
    EXPECT_EQ(differences.back().kind, DiffKind::Feature);
}

TEST(ImageDiff, ChannelFieldsByChannelAndHeader) {
    RadioImage a = NewDocumentImage(RadioType::T310X);
    PutChannel(a, 3, "67.0");
    RadioImage b = a;
    WriteTone(b, RadioImage::ChannelAddress(3) + rec::kRxTone, ToneCodeFromText("71.9"));
    PutChannel(b, 16, "OFF");
    WriteNoFrequency(b, RadioImage::ChannelAddress(16) + rec::kTxFreq);
    const std::vector<Difference> differences = CompareImages(a, b);
    ASSERT_EQ(differences.size(), 8u);
    EXPECT_EQ(differences[0].kind, DiffKind::Channel);
    EXPECT_EQ(differences[0].channel, 3);
    EXPECT_EQ(differences[0].field, "Rx Tone");
    EXPECT_EQ(DifferencePlace(differences[0]), "CH 3 Rx Tone");
    EXPECT_EQ(DifferenceLine(differences[0]), "CH 3 Rx Tone: 67.0 -> 71.9");
    // A channel put into use shows every column; an empty cell as a pair of quotes.
    EXPECT_EQ(DifferenceLine(differences[1]), "CH 16 Receive(MHz): \"\" -> 462.56250");
    EXPECT_EQ(DifferenceLine(differences[2]), "CH 16 Rx Tone: \"\" -> OFF");
    EXPECT_EQ(DifferenceLine(differences[7]), "CH 16 Power: \"\" -> Low");
    // The step bytes belong to no column.
    RadioImage c = b;
    c[RadioImage::ChannelAddress(16) + rec::kRxStep] = 0x01;
    EXPECT_EQ(Lines(CompareImages(b, c)), (std::vector<std::string>{"0x10D: FF -> 01"}));
}

TEST(ImageDiff, BitsWithoutMeaningShowAsBytesUnlessAFieldExplainsThem) {
    RadioImage a = NewDocumentImage(RadioType::T310X);
    PutChannel(a, 3, "67.0");
    const std::size_t flags = RadioImage::ChannelAddress(3) + rec::kChanFlags;
    RadioImage b = a;
    b[flags] ^= 0x82;               // bits 1 and 7 carry no meaning
    b[addr::kOptionFlags] ^= 0x40;  // nor does bit 6 of the option flags
    EXPECT_EQ(Lines(CompareImages(a, b)),
              (std::vector<std::string>{"0x03C: 00 -> 82", "0x3C5: FF -> BF"}));
    b[flags] ^= chanbits::kNarrow;  // now W/N differs, and explains the whole byte
    b[addr::kOptionFlags] ^= 0x01;  // and PTT ID the option flags
    EXPECT_EQ(Lines(CompareImages(a, b)),
              (std::vector<std::string>{"CH 3 W/N: Wide -> Narrow", "PTT ID: BOTH -> EOT"}));
}

TEST(ImageDiff, BytesGroupedIntoRunsOfAddresses) {
    const RadioImage a = NewDocumentImage(RadioType::T310X);
    RadioImage b = a;
    b[0x3D8] = 0x00;
    b[0x3D9] = 0x01;
    b[0x3DB] = 0x02;
    b[addr::kChannelNumbers] = 0x10;
    const std::vector<Difference> differences = CompareImages(a, b);
    EXPECT_EQ(Lines(differences),
              (std::vector<std::string>{"0x280: 01 -> 10", "0x3D8-0x3D9: FF FF -> 00 01",
                                        "0x3DB: FF -> 02"}));
    EXPECT_EQ(differences[1].kind, DiffKind::Bytes);
    EXPECT_EQ(differences[1].field, "0x3D8-0x3D9");
    EXPECT_EQ(DifferencePlace(differences[1]), "0x3D8-0x3D9");
    EXPECT_EQ(DifferingBytes(a, b), 4);
}

TEST(ImageDiff, EndLimitsTheComparison) {
    const RadioImage a = NewDocumentImage(RadioType::T310X);
    RadioImage b = a;
    b[addr::kWriteEnd] = 0x00;
    EXPECT_TRUE(CompareImages(a, b, addr::kWriteEnd).empty());
    EXPECT_EQ(DifferingBytes(a, b, addr::kWriteEnd), 0);
    // A field reaching past the end is not compared; its bytes before the end still are.
    b = a;
    WriteFrequency(b, RadioImage::ChannelAddress(1) + rec::kRxFreq, 46256250);
    EXPECT_EQ(Lines(CompareImages(a, b, 0x012)),
              (std::vector<std::string>{"0x010-0x011: FF FF -> 50 62"}));
    EXPECT_EQ(Lines(CompareImages(a, b, 0x014)),
              (std::vector<std::string>{"CH 1 Receive(MHz): \"\" -> 462.56250"}));
}

TEST(ImageDiff, EmptyExactlyWhenTheComparedBytesAreEqual) {
    std::mt19937 rng(20240611);
    const auto below = [&rng](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    for (int round = 0; round < 2000; ++round) {
        RadioImage a;
        for (std::size_t i = 0; i < addr::kImageSize; ++i) {
            a[i] = static_cast<std::uint8_t>(below(256));
        }
        // Some channels in use, so that their tones and flags show.
        for (int n = 1; n <= addr::kChannelCount; ++n) {
            if (below(2) == 0) {
                WriteFrequency(a, RadioImage::ChannelAddress(n), 45000000 + 125 * below(1000));
            }
        }
        RadioImage b = a;
        const std::size_t changes = below(4);
        for (std::size_t k = 0; k < changes; ++k) {
            // Mostly single bits, where a field may hide a change; now and then whole bytes.
            const std::size_t at = below(addr::kImageSize);
            b[at] ^= below(4) == 0 ? static_cast<std::uint8_t>(below(256))
                                   : static_cast<std::uint8_t>(1u << below(8));
        }
        const std::size_t ends[] = {addr::kImageSize, addr::kWriteEnd, below(addr::kImageSize + 1)};
        const std::size_t end = ends[below(3)];
        const bool equal = std::equal(a.data(), a.data() + end, b.data());
        EXPECT_EQ(CompareImages(a, b, end).empty(), equal) << "round " << round << ", end " << end;
        EXPECT_EQ(DifferingBytes(a, b, end) == 0, equal);
        EXPECT_TRUE(CompareImages(a, a, end).empty());
    }
}
