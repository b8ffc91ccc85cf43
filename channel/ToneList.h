// The tone vocabulary: the 261 tone texts every tone editor offers, and the conversion
// between a tone text and its two-byte code in the image.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "RadioImage.h"

class ToneList {
public:
    static constexpr std::size_t kCount = 261;
    static constexpr std::size_t kFirstCtcss = 1;
    static constexpr std::size_t kCtcssCount = 50;
    static constexpr std::size_t kFirstDcsNormal = kFirstCtcss + kCtcssCount;
    static constexpr std::size_t kDcsCount = 105;
    static constexpr std::size_t kFirstDcsInverted = kFirstDcsNormal + kDcsCount;

    // The test mode's two tone lists are ranges of this one. QT: "OFF" and the CTCSS tones
    // up to 206.5 (the low part); DQT: the CTCSS tones from 210.7, the normal DCS codes and
    // the inverted ones up to D325I.
    static constexpr std::size_t kCtcssLowCount = 42;
    static constexpr std::size_t kQtEnd = kFirstCtcss + kCtcssLowCount;
    static constexpr std::size_t kDqtEnd = kFirstDcsInverted + 55;

    // Fills the list in its fixed order: "OFF", the CTCSS tones, the DCS codes with "N",
    // then the same codes with "I", and indexes it for the look-ups.
    void Build();

    std::size_t size() const { return m_entries.size(); }
    const std::string& operator[](std::size_t i) const { return m_entries.at(i); }
    const std::vector<std::string>& entries() const { return m_entries; }

    // Index of the entry equal to text ignoring ASCII letter case, or -1. Constant time:
    // the codec, the import and the fuzz checks ask for every tone cell.
    int FindIgnoringCase(std::string_view text) const;
    // Whether text is an entry exactly, letter case included.
    bool Contains(std::string_view text) const;

private:
    // Open addressing over the lower-case text's hash; a power of two about twice kCount
    // keeps the probe runs short.
    static constexpr std::size_t kSlots = 512;
    static std::size_t Slot(std::string_view text);

    std::vector<std::string> m_entries;
    std::array<std::int16_t, kSlots> m_slots{};  // entry index + 1; 0 is a free slot
};

// Text to code: a text holding an upper-case 'D' is DCS (inverted unless an upper-case 'N'
// follows its first character); any other text is read as a CTCSS frequency in Hz, where
// 0 (and so "OFF", "" or any text without a leading number) is no tone.
ToneCode ToneCodeFromText(std::string_view text);

// Code to text: "OFF", a CTCSS text with one decimal, or "D", the code and "N" or "I".
std::string ToneTextFromCode(ToneCode code);
