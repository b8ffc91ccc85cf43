// The PTT ID as text (hex digits, one a code position) and as the image's sixteen code
// positions (0 to 15 each, 0xFF past the end of the ID).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "RadioImage.h"

using PttIdCodes = std::array<std::uint8_t, addr::kPttIdCodeCount>;

// The code of one ID character: '0'-'9' give 0 to 9, 'A'-'F' and 'a'-'f' give 10 to 15, any
// other character 0 (the dialog's edits let no other character in).
std::uint8_t PttIdCharCode(char c);

// The text's characters coded position by position, 0xFF past its end; characters beyond
// the sixteenth are dropped.
PttIdCodes PttIdCodesFromText(std::string_view text);

PttIdCodes ReadPttIdCodes(const RadioImage& image);
void WritePttIdCodes(RadioImage& image, const PttIdCodes& codes);

// The stored ID as the dialog shows it: upper-case hex digits for the code positions up to
// the first one that holds no digit value (0xFF ends the ID; 16 to 254 cannot be typed).
std::string PttIdShownText(const RadioImage& image);

// Whether coding the shown text again gives back exactly the stored positions. It does not
// when a position holds 16 to 254, or when anything but 0xFF follows the end of the ID.
bool IsPttIdShownFaithfully(const RadioImage& image);
