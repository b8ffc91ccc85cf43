// What differs between two images, told as a user sees it: each radio-wide setting by its
// form label, each channel field by channel and column header, the PTT ID and the option
// switches by their dialog labels, and every other differing byte as an address range with
// both values in hex.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "RadioImage.h"

enum class DiffKind { Setting, Channel, Feature, Bytes };

struct Difference {
    DiffKind kind = DiffKind::Setting;
    std::string field;  // the label or column header; for bytes the range, "0x3D8-0x3DF"
    int channel = 0;    // 1 to 16 for channel entries, else 0
    std::string a;      // the texts as the form shows them; for bytes the hex values
    std::string b;
};

// Every difference between a and b within the first `end` bytes: settings in form order,
// then channels 1 to 16 (columns in grid order), then the features, then the bytes that no
// differing field explains, in address order. Empty exactly when those bytes are equal.
std::vector<Difference> CompareImages(const RadioImage& a, const RadioImage& b,
                                      std::size_t end = addr::kImageSize);

// One line of the text form, A's value first: "Squelch  Level: 9 -> 5",
// "CH 3 Rx Tone: 67.0 -> 71.9", "0x3D8-0x3D9: FF FF -> 00 01".
std::string DifferenceLine(const Difference& difference);

// Where a difference is, as a table's first column shows it: "Squelch  Level",
// "CH 3 Rx Tone", "0x3D8-0x3D9".
std::string DifferencePlace(const Difference& difference);

// The number of bytes in which a and b differ within the first `end` bytes.
int DifferingBytes(const RadioImage& a, const RadioImage& b, std::size_t end = addr::kImageSize);
