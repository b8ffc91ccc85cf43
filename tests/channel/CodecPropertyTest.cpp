// Decoding an image and encoding it again without editing changes only what the codec
// normalises; and whatever the editor holds, encoding writes only the codec's own bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ChannelCodec.h"
#include "ToneList.h"

namespace {

std::uint8_t Bcd(int v) {
    return static_cast<std::uint8_t>((v / 10) * 16 + v % 10);
}

class Random {
public:
    explicit Random(unsigned seed) : m_rng(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Int(0, 255)); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Int(0, static_cast<int>(items.size()) - 1))];
    }

private:
    std::mt19937 m_rng;
};

// The stored form of a tone list entry, worked out from its text.
std::pair<std::uint8_t, std::uint8_t> ToneBytes(const std::string& text) {
    if (text == "OFF") {
        return {0xFF, 0xFF};
    }
    if (text[0] == 'D') {  // "D", three digits, then N or I
        const int code = std::stoi(text.substr(1, 3));
        return {Bcd(code % 100),
                static_cast<std::uint8_t>((text[4] == 'N' ? 0x80 : 0xC0) + code / 100)};
    }
    const int tenths = std::stoi(text.substr(0, text.size() - 2)) * 10 + (text.back() - '0');
    return {Bcd(tenths % 100), Bcd(tenths / 100)};
}

std::uint32_t Units(const RadioImage& image, std::size_t a) {
    std::uint32_t units = 0;
    for (int k = 3; k >= 0; --k) {
        const std::uint8_t b = image[a + static_cast<std::size_t>(k)];
        units = units * 100 + (b >> 4) * 10 + (b & 0x0F);
    }
    return units;
}

bool Present(const RadioImage& image, std::size_t a) {
    return image[a + 3] != 0x00 && image[a + 3] != 0xFF;
}

RadioImage RandomValidImage(Random& random, const ToneList& tones) {
    RadioImage image;
    for (std::size_t a = 0; a < 1024; ++a) {
        image[a] = random.Byte();
    }
    for (int n = 1; n <= 16; ++n) {
        const std::size_t r = 0x010 + 16 * static_cast<std::size_t>(n - 1);
        const int use = random.Int(0, 3);  // bit 0: receive present, bit 1: transmit present
        for (int dir = 0; dir < 2; ++dir) {
            const std::size_t f = r + 4 * static_cast<std::size_t>(dir);
            const bool present = (use >> dir) & 1;
            for (std::size_t k = 0; k < 3; ++k) {
                image[f + k] = present ? Bcd(random.Int(0, 99)) : 0xFF;
            }
            image[f + 3] = present ? Bcd(random.Int(1, 99)) : 0xFF;
        }
        if (use != 0) {
            for (std::size_t t : {r + 8, r + 10}) {
                const auto [low, high] =
                    ToneBytes(tones[static_cast<std::size_t>(random.Int(0, 260))]);
                image[t] = low;
                image[t + 1] = high;
            }
        }
    }
    image[0x3C1] = random.Chance(70) ? static_cast<std::uint8_t>(random.Int(0, 9)) : random.Byte();
    image[0x3C2] = random.Chance(70) ? static_cast<std::uint8_t>(random.Int(0, 3)) : random.Byte();
    image[0x3C3] = random.Chance(70) ? static_cast<std::uint8_t>(random.Int(0, 10)) : random.Byte();
    image[0x3D6] = random.Pick<std::uint8_t>({'2', '3', '2', '3', random.Byte()});
    image[0x3D2] = random.Pick<std::uint8_t>({0xF0, 0xF1, 0xF4, 0xF5, random.Byte()});
    return image;
}

// What a decode into a fresh editor followed by an encode must leave in the image.
RadioImage Normalised(const RadioImage& original) {
    RadioImage image = original;
    for (int n = 1; n <= 16; ++n) {
        const std::size_t r = 0x010 + 16 * static_cast<std::size_t>(n - 1);
        const bool rx = Present(original, r), tx = Present(original, r + 4);
        if (rx) {
            const std::uint32_t u = Units(original, r);
            image[r + 13] = (u < 30000000 && u % 625 != 0) ? 0 : 1;
        }
        if (tx) {
            const std::uint32_t u = Units(original, r + 4);
            image[r + 14] = (u < 30000000 && u % 625 != 0) ? 0 : 1;
        }
        std::uint8_t& flags = image[r + 12];
        if (!rx && !tx) {
            for (std::size_t k = 0; k < 12; ++k) {
                image[r + k] = 0xFF;
            }
            flags = static_cast<std::uint8_t>((flags & 0x8A) | 0x45);  // NO, Narrow, Delete, High
        } else if ((flags & 0x60) == 0x60) {
            flags = static_cast<std::uint8_t>((flags & 0x9F) | 0x40);  // power 3 shows as High
        }
    }
    if ((image[0x3C0] & 0x30) == 0x20) {
        image[0x3C0] &= 0xCF;  // voice 2 shows as Off
    }
    image[0x3C1] = image[0x3C1] > 9 ? 0 : image[0x3C1];
    image[0x3C2] = image[0x3C2] > 3 ? 3 : image[0x3C2];
    image[0x3C3] = image[0x3C3] > 10 ? 0 : image[0x3C3];
    // '2' is the second radio type (band base 0xF0); '3' and, for a fresh editor, any
    // unknown digit give the first type (base 0xF4). The single Field item is always base + 0.
    const bool second = original[0x3D6] == '2';
    image[0x3D6] = second ? '2' : '3';
    image[0x3D2] = second ? 0xF0 : 0xF4;
    return image;
}

TEST(CodecProperty, DecodeThenEncodeChangesOnlyWhatTheCodecNormalises) {
    ToneList tones;
    tones.Build();
    Random random(0x5EED);
    for (int i = 0; i < 4000; ++i) {
        const RadioImage original = RandomValidImage(random, tones);
        EditorModel model;
        DecodeImage(original, model);
        RadioImage encoded = original;
        EncodeImage(model, encoded);
        const RadioImage expected = Normalised(original);
        for (std::size_t a = 0; a < 1024; ++a) {
            ASSERT_EQ(static_cast<int>(encoded[a]), static_cast<int>(expected[a]))
                << "image " << i << ", address 0x" << std::hex << a << ", was 0x"
                << static_cast<int>(original[a]);
        }
    }
}

// Whatever texts and selections the editor holds, only the codec's bytes and flag bits move.
TEST(CodecProperty, EncodeWritesOnlyTheCodecsOwnBytes) {
    const std::vector<std::string> texts = {
        "",       "462.56250", "150.00500", "abc",  "OFF",  "67.0",   "D023N",
        "D754I",  "d023n",     "YES",       "NO",   "Wide", "Narrow", "Add",
        "Delete", "Low",       "Middle",    "High", "-3",   " 1e2",   "0.00001"};
    Random random(42);
    for (int i = 0; i < 500; ++i) {
        RadioImage before;
        for (std::size_t a = 0; a < 1024; ++a) {
            before[a] = random.Byte();
        }
        EditorModel model;
        for (int row = 0; row < 17; ++row) {
            for (int col = 0; col < 9; ++col) {
                model.Cell(row, col) = random.Pick(texts);
            }
        }
        for (int& s : model.selections) {
            s = random.Int(-1, 11);
        }
        RadioImage after = before;
        EncodeImage(model, after);
        for (std::size_t a = 0; a < 1024; ++a) {
            const bool inRecords = a >= 0x010 && a < 0x110;
            const std::size_t k = (a - 0x010) % 16;
            if (inRecords && k == 12) {
                ASSERT_EQ(after[a] & 0x8A, before[a] & 0x8A) << "address " << a;
            } else if (!(inRecords && k < 15) && !(a >= 0x3C0 && a <= 0x3C3) && a != 0x3D2 &&
                       a != 0x3D6) {
                ASSERT_EQ(after[a], before[a]) << "address " << a;
            }
        }
    }
}

}  // namespace
