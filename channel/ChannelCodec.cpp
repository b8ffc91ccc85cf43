#include "ChannelCodec.h"

#include "Numbers.h"
#include "ToneList.h"

namespace {

constexpr std::uint8_t kBandBaseT310X = 0xF4;
constexpr std::uint8_t kBandBaseT520 = 0xF0;
constexpr std::uint8_t kTypeDigitT310X = '3';
constexpr std::uint8_t kTypeDigitT520 = '2';

// Selecting an index outside the list leaves the combo without a selection.
void Select(EditorModel& model, Setting s, int index) {
    const int count = static_cast<int>(InfoFor(s).items.size());
    model.Selection(s) = (index >= 0 && index < count) ? index : -1;
}

std::string FrequencyText(const RadioImage& image, std::size_t a) {
    const auto units = ReadFrequency(image, a);
    return units ? FormatMhz(*units) : std::string();
}

void DecodeChannel(const RadioImage& image, int n, EditorModel& model) {
    const std::size_t r = RadioImage::ChannelAddress(n);
    auto& row = model.cells[n];
    row[COL_RX_FREQ] = FrequencyText(image, r + rec::kRxFreq);
    row[COL_TX_FREQ] = FrequencyText(image, r + rec::kTxFreq);
    if (!IsChannelInUse(image, n)) {
        for (int c = COL_RX_TONE; c <= COL_POWER; ++c) {
            row[c].clear();
        }
        return;
    }
    row[COL_RX_TONE] = ToneTextFromCode(ReadTone(image, r + rec::kRxTone));
    row[COL_TX_TONE] = ToneTextFromCode(ReadTone(image, r + rec::kTxTone));
    const std::uint8_t flags = image[r + rec::kChanFlags];
    row[COL_BUSY] = (flags & chanbits::kBusyNo) ? "NO" : "YES";
    row[COL_WN] = (flags & chanbits::kNarrow) ? "Narrow" : "Wide";
    row[COL_SCAN] = (flags & chanbits::kScanAdd) ? "Add" : "Delete";
    // Power 3 is never written by the program; it shows as the highest level.
    static constexpr const char* kPower[] = {"Low", "Middle", "High", "High"};
    row[COL_POWER] = kPower[(flags & chanbits::kPowerMask) >> chanbits::kPowerShift];
}

// Field item from the band code, or item 0 when the code names no existing item, so that the
// band check always has a Field selection to index its table with.
int FieldItemFromBandCode(std::uint8_t bandCode, std::uint8_t base) {
    const int d = bandCode - base;
    const int count = static_cast<int>(InfoFor(Setting::Field).items.size());
    return (d >= 0 && d < count) ? d : 0;
}

void DecodeTypeAndField(const RadioImage& image, EditorModel& model) {
    const std::uint8_t digit = image[addr::kTypeDigit];
    const std::uint8_t band = image[addr::kBandCode];
    if (digit == kTypeDigitT520) {
        Select(model, Setting::Type, 1);
        Select(model, Setting::Field, FieldItemFromBandCode(band, kBandBaseT520));
    } else if (digit == kTypeDigitT310X) {
        Select(model, Setting::Type, 0);
        Select(model, Setting::Field, FieldItemFromBandCode(band, kBandBaseT310X));
    } else {
        // An unknown model keeps the current choice; the first decode has none, so the
        // combos get their first items rather than staying empty.
        for (Setting s : {Setting::Type, Setting::Field}) {
            if (model.Selection(s) < 0) {
                Select(model, s, 0);
            }
        }
    }
}

void DecodeSettings(const RadioImage& image, EditorModel& model) {
    const std::uint8_t f = image[addr::kFuncFlags];
    Select(model, Setting::Beep, (f & funcbits::kBeep) ? 0 : 1);
    Select(model, Setting::Scan, (f & funcbits::kScan) ? 1 : 0);
    const int voice = (f & funcbits::kVoiceMask) >> funcbits::kVoiceShift;
    Select(model, Setting::Voice, voice == 3 ? 2 : voice == 1 ? 1 : 0);
    Select(model, Setting::BatterySaver, (f & funcbits::kBatterySaver) ? 1 : 0);
    Select(model, Setting::RefuseAlert, (f & funcbits::kRefuseAlertOff) ? 0 : 1);
    Select(model, Setting::UrgencyCall, (f & funcbits::kUrgencyMask) >> funcbits::kUrgencyShift);
    const int squelch = image[addr::kSquelchLevel];
    Select(model, Setting::SquelchLevel, squelch <= 9 ? squelch : 0);
    const int timeout = image[addr::kTimeoutTimer];
    Select(model, Setting::TimeoutTimer, timeout <= 10 ? timeout : 0);
    const int moni = image[addr::kMoniMode];
    Select(model, Setting::Moni, moni <= 3 ? moni : 3);
    DecodeTypeAndField(image, model);
}

void EncodeFrequency(const std::string& text, RadioImage& image, std::size_t a,
                     std::size_t stepAddress) {
    const std::uint32_t units = UnitsFromMhz(LeadingDouble(text));
    if (units == 0) {
        WriteNoFrequency(image, a);
        return;
    }
    image[stepAddress] = StepFlag(units);
    WriteFrequency(image, a, units);
}

std::uint8_t EncodeFlags(const std::array<std::string, kGridCols>& row, std::uint8_t flags) {
    flags = row[COL_BUSY] == "YES" ? (flags & ~chanbits::kBusyNo) : (flags | chanbits::kBusyNo);
    flags = row[COL_WN] == "Wide" ? (flags & ~chanbits::kNarrow) : (flags | chanbits::kNarrow);
    flags = row[COL_SCAN] == "Add" ? (flags | chanbits::kScanAdd) : (flags & ~chanbits::kScanAdd);
    const int power = row[COL_POWER] == "Low" ? 0 : row[COL_POWER] == "Middle" ? 1 : 2;
    flags = static_cast<std::uint8_t>((flags & ~chanbits::kPowerMask) |
                                      (power << chanbits::kPowerShift));
    return flags;
}

void EncodeChannel(const EditorModel& model, int n, RadioImage& image) {
    const std::size_t r = RadioImage::ChannelAddress(n);
    const auto& row = model.cells[n];
    EncodeFrequency(row[COL_RX_FREQ], image, r + rec::kRxFreq, r + rec::kRxStep);
    EncodeFrequency(row[COL_TX_FREQ], image, r + rec::kTxFreq, r + rec::kTxStep);
    WriteTone(image, r + rec::kRxTone, ToneCodeFromText(row[COL_RX_TONE]));
    WriteTone(image, r + rec::kTxTone, ToneCodeFromText(row[COL_TX_TONE]));
    image[r + rec::kChanFlags] = EncodeFlags(row, image[r + rec::kChanFlags]);
}

std::uint8_t SetBits(std::uint8_t byte, std::uint8_t mask, int shift, int value) {
    return static_cast<std::uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

void EncodeSettings(const EditorModel& model, RadioImage& image) {
    auto sel = [&model](Setting s) { return model.Selection(s); };
    std::uint8_t f = image[addr::kFuncFlags];
    f = SetBits(f, funcbits::kBeep, 0, sel(Setting::Beep) == 1 ? 0 : 1);
    f = SetBits(f, funcbits::kScan, 2, sel(Setting::Scan) != 0 ? 1 : 0);
    const int voice = sel(Setting::Voice);
    f = SetBits(f, funcbits::kVoiceMask, funcbits::kVoiceShift,
                voice == 0   ? 0
                : voice == 1 ? 1
                             : 3);
    f = SetBits(f, funcbits::kBatterySaver, 1, sel(Setting::BatterySaver) == 1 ? 1 : 0);
    f = SetBits(f, funcbits::kRefuseAlertOff, 3, sel(Setting::RefuseAlert) == 0 ? 1 : 0);
    const int urgency = sel(Setting::UrgencyCall);
    f = SetBits(f, funcbits::kUrgencyMask, funcbits::kUrgencyShift,
                urgency == 0   ? 0
                : urgency == 3 ? 3
                : urgency == 1 ? 1
                               : 2);
    image[addr::kFuncFlags] = f;
    // No selection (-1) is stored as its low 8 bits, 0xFF.
    image[addr::kSquelchLevel] = static_cast<std::uint8_t>(sel(Setting::SquelchLevel));
    image[addr::kTimeoutTimer] = static_cast<std::uint8_t>(sel(Setting::TimeoutTimer));
    image[addr::kMoniMode] = static_cast<std::uint8_t>(sel(Setting::Moni));
    const bool t310x = sel(Setting::Type) == 0;
    const std::uint8_t base = t310x ? kBandBaseT310X : kBandBaseT520;
    image[addr::kTypeDigit] = t310x ? kTypeDigitT310X : kTypeDigitT520;
    image[addr::kBandCode] = static_cast<std::uint8_t>(base + sel(Setting::Field));
}

}  // namespace

void DecodeImage(const RadioImage& image, EditorModel& model) {
    for (int n = 1; n <= addr::kChannelCount; ++n) {
        DecodeChannel(image, n, model);
    }
    DecodeSettings(image, model);
}

void EncodeImage(const EditorModel& model, RadioImage& image) {
    for (int n = 1; n <= addr::kChannelCount; ++n) {
        EncodeChannel(model, n, image);
    }
    EncodeSettings(model, image);
}

EditorModel DecodeForDisplay(const RadioImage& image) {
    EditorModel model;
    DecodeImage(image, model);
    model.WriteHeaders();
    return model;
}
