#include "ImageDiff.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>
#include <utility>

#include "ChannelCodec.h"
#include "Features.h"
#include "HexText.h"

namespace {

// The bytes a shown field is read from. A field that shows a difference explains the
// differences of the bytes it owns; it is compared only when every byte its text depends on
// lies below `end`: the fields' texts depend on nothing above reach.
struct FieldBytes {
    std::size_t address = 0;
    std::size_t length = 1;
    std::size_t reach = 0;  // one past the last byte the text is read from
};

constexpr FieldBytes Own(std::size_t address, std::size_t length = 1) {
    return {address, length, address + length};
}

FieldBytes SettingBytes(Setting setting) {
    switch (setting) {
        case Setting::Type:
            return Own(addr::kTypeDigit);
        case Setting::Field:  // the band code, read against the type's base
            return {addr::kBandCode, 1, addr::kTypeDigit + 1};
        case Setting::TimeoutTimer:
            return Own(addr::kTimeoutTimer);
        case Setting::SquelchLevel:
            return Own(addr::kSquelchLevel);
        case Setting::Moni:
            return Own(addr::kMoniMode);
        default:  // Beep, Battery Saver, Scan, Voice, Refuse Emergency Alert, Urgency Call
            return Own(addr::kFuncFlags);
    }
}

// A channel's column; the tones and flags show only for a channel in use, which its
// frequencies below them decide.
FieldBytes ChannelBytes(int channel, int column) {
    const std::size_t r = RadioImage::ChannelAddress(channel);
    switch (column) {
        case COL_RX_FREQ:
            return Own(r + rec::kRxFreq, 4);
        case COL_TX_FREQ:
            return Own(r + rec::kTxFreq, 4);
        case COL_RX_TONE:
            return Own(r + rec::kRxTone, 2);
        case COL_TX_TONE:
            return Own(r + rec::kTxTone, 2);
        default:  // Busy, W/N, Scan, Power
            return Own(r + rec::kChanFlags);
    }
}

// The form's label on one line: its line break as a blank, no blank at either end.
std::string OneLineLabel(std::string_view label) {
    std::string text(label);
    std::ranges::replace(text, '\n', ' ');
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// "0x3D8" for one byte, "0x3D8-0x3DF" for a run.
std::string RangeText(std::size_t first, std::size_t last) {
    char text[32];
    if (first == last) {
        std::snprintf(text, sizeof text, "0x%03zX", first);
    } else {
        std::snprintf(text, sizeof text, "0x%03zX-0x%03zX", first, last);
    }
    return text;
}

class Comparison {
public:
    Comparison(const RadioImage& a, const RadioImage& b, std::size_t end)
        : m_a(a), m_b(b), m_end(std::min(end, addr::kImageSize)) {}

    void Field(Difference shown, FieldBytes bytes) {
        if (bytes.reach > m_end || shown.a == shown.b) {
            return;
        }
        std::fill_n(m_explained.begin() + static_cast<std::ptrdiff_t>(bytes.address), bytes.length,
                    true);
        m_differences.push_back(std::move(shown));
    }

    // The differing bytes no field explains, one entry per run of consecutive addresses.
    std::vector<Difference> Finish() {
        std::size_t a = 0;
        while (a < m_end) {
            if (!Unexplained(a)) {
                ++a;
                continue;
            }
            const std::size_t first = a;
            while (a < m_end && Unexplained(a)) {
                ++a;
            }
            const std::size_t length = a - first;
            m_differences.push_back({DiffKind::Bytes, RangeText(first, a - 1), 0,
                                     HexBytes(std::span(m_a.data() + first, length)),
                                     HexBytes(std::span(m_b.data() + first, length))});
        }
        return std::move(m_differences);
    }

private:
    bool Unexplained(std::size_t a) const { return m_a[a] != m_b[a] && !m_explained[a]; }

    const RadioImage& m_a;
    const RadioImage& m_b;
    std::size_t m_end;
    std::array<bool, addr::kImageSize> m_explained{};
    std::vector<Difference> m_differences;
};

}  // namespace

std::vector<Difference> CompareImages(const RadioImage& a, const RadioImage& b, std::size_t end) {
    Comparison comparison(a, b, end);
    const EditorModel shownA = DecodeForDisplay(a);
    const EditorModel shownB = DecodeForDisplay(b);
    for (const SettingInfo& info : SettingInfos()) {
        comparison.Field({DiffKind::Setting, OneLineLabel(info.label), 0,
                          std::string(shownA.SelectedText(info.setting)),
                          std::string(shownB.SelectedText(info.setting))},
                         SettingBytes(info.setting));
    }
    for (int n = 1; n <= addr::kChannelCount; ++n) {
        for (int c = COL_RX_FREQ; c < kGridCols; ++c) {
            comparison.Field({DiffKind::Channel, std::string(kColumnHeaders[c]), n,
                              shownA.Cell(n, c), shownB.Cell(n, c)},
                             ChannelBytes(n, c));
        }
    }
    const std::vector<FeatureValue> featuresA = FeatureValues(a);
    const std::vector<FeatureValue> featuresB = FeatureValues(b);
    for (std::size_t i = 0; i < featuresA.size(); ++i) {
        const FeatureValue& feature = featuresA[i];
        comparison.Field({DiffKind::Feature, feature.name, 0, feature.value, featuresB[i].value},
                         Own(feature.address, feature.length));
    }
    return comparison.Finish();
}

std::string DifferencePlace(const Difference& difference) {
    if (difference.kind == DiffKind::Channel) {
        return "CH " + std::to_string(difference.channel) + " " + difference.field;
    }
    return difference.field;
}

std::string DifferenceLine(const Difference& difference) {
    // An empty text is shown as a pair of quotes, so that it reads as empty and not as lost.
    const auto shown = [](const std::string& text) { return text.empty() ? "\"\"" : text; };
    return DifferencePlace(difference) + ": " + shown(difference.a) + " -> " + shown(difference.b);
}

int DifferingBytes(const RadioImage& a, const RadioImage& b, std::size_t end) {
    int count = 0;
    for (std::size_t i = 0; i < std::min(end, addr::kImageSize); ++i) {
        count += a[i] != b[i] ? 1 : 0;
    }
    return count;
}
