#include "PttIdCode.h"

std::uint8_t PttIdCharCode(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return 0;
}

PttIdCodes PttIdCodesFromText(std::string_view text) {
    PttIdCodes codes;
    codes.fill(0xFF);
    for (std::size_t i = 0; i < codes.size() && i < text.size(); ++i) {
        codes[i] = PttIdCharCode(text[i]);
    }
    return codes;
}

PttIdCodes ReadPttIdCodes(const RadioImage& image) {
    PttIdCodes codes;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        codes[i] = image[addr::kPttIdCodes + i];
    }
    return codes;
}

void WritePttIdCodes(RadioImage& image, const PttIdCodes& codes) {
    for (std::size_t i = 0; i < codes.size(); ++i) {
        image[addr::kPttIdCodes + i] = codes[i];
    }
}

std::string PttIdShownText(const RadioImage& image) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t code : ReadPttIdCodes(image)) {
        if (code > 15) {
            break;
        }
        text += kDigits[code];
    }
    return text;
}

bool IsPttIdShownFaithfully(const RadioImage& image) {
    return PttIdCodesFromText(PttIdShownText(image)) == ReadPttIdCodes(image);
}
