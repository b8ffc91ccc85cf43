#include "ToneList.h"

#include <array>

#include "Numbers.h"
#include "TextCase.h"

namespace {

// CTCSS tones in tenths of a hertz, in list order.
constexpr std::array<int, ToneList::kCtcssCount> kCtcssTenths = {
    670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000,
    1035, 1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
    1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799, 1835, 1862, 1899, 1928, 1966,
    1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541};

// DCS codes, each three decimal digits, in list order.
constexpr std::array<int, ToneList::kDcsCount> kDcsCodes = {
    23,  25,  26,  31,  32,  36,  43,  47,  51,  53,  54,  65,  71,  72,  73,  74,  114, 115,
    116, 122, 125, 131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205, 212, 223,
    225, 226, 243, 244, 245, 246, 251, 252, 255, 261, 263, 265, 266, 271, 274, 306, 311, 315,
    325, 331, 332, 343, 346, 351, 356, 364, 365, 371, 411, 412, 413, 423, 431, 432, 445, 446,
    452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526, 532, 546, 565, 606, 612, 624,
    627, 631, 632, 645, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

std::string CtcssText(int tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string DcsText(int code, char suffix) {
    std::string digits = std::to_string(code);
    digits.insert(0, 3 - digits.size(), '0');
    return "D" + digits + suffix;
}

}  // namespace

void ToneList::Build() {
    m_entries.clear();
    m_entries.reserve(kCount);
    m_entries.emplace_back("OFF");
    for (int tenths : kCtcssTenths) {
        m_entries.push_back(CtcssText(tenths));
    }
    for (char suffix : {'N', 'I'}) {
        for (int code : kDcsCodes) {
            m_entries.push_back(DcsText(code, suffix));
        }
    }
    m_slots.fill(0);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        std::size_t slot = Slot(m_entries[i]);
        while (m_slots[slot] != 0) {
            slot = (slot + 1) % kSlots;
        }
        m_slots[slot] = static_cast<std::int16_t>(i + 1);
    }
}

// FNV-1a over the lower-case letters, so that texts equal ignoring case meet in one slot.
std::size_t ToneList::Slot(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 16777619u;
    }
    return hash % kSlots;
}

int ToneList::FindIgnoringCase(std::string_view text) const {
    for (std::size_t slot = Slot(text); m_slots[slot] != 0; slot = (slot + 1) % kSlots) {
        const int index = m_slots[slot] - 1;
        if (EqualIgnoringCase(m_entries[static_cast<std::size_t>(index)], text)) {
            return index;
        }
    }
    return -1;
}

bool ToneList::Contains(std::string_view text) const {
    const int index = FindIgnoringCase(text);
    return index >= 0 && m_entries[static_cast<std::size_t>(index)] == text;
}

ToneCode ToneCodeFromText(std::string_view text) {
    if (text.find('D') != std::string_view::npos) {
        const std::string_view rest = text.substr(1);
        const long long n = LeadingInteger(rest);
        const long long base = rest.find('N') != std::string_view::npos ? 0x80 : 0xC0;
        // The sum is taken modulo 256 (unsigned arithmetic keeps negative n well defined).
        const auto high = static_cast<std::uint8_t>(static_cast<unsigned long long>(n / 100) +
                                                    static_cast<unsigned long long>(base));
        return {BcdByte(n % 100), high};
    }
    const long long v = TruncToInteger(LeadingDouble(text) * 10);
    if (v == 0) {
        return {0xFF, 0xFF};
    }
    return {BcdByte(v % 100), BcdByte(v / 100)};
}

std::string ToneTextFromCode(ToneCode code) {
    if (code.high == 0x00 || code.high == 0xFF) {
        return "OFF";
    }
    if (code.high < 0x80) {
        const int tenths = BcdValue(code.high) * 100 + BcdValue(code.low);
        return FormatFixed(tenths * 0.1, 1);
    }
    const bool inverted = code.high >= 0xC0;
    const int hundreds = code.high - (inverted ? 0xC0 : 0x80);
    const int n = hundreds * 100 + BcdValue(code.low);
    return std::string(hundreds == 0 ? "D0" : "D") + std::to_string(n) + (inverted ? "I" : "N");
}
