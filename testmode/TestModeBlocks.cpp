#include "TestModeBlocks.h"

#include <algorithm>

#include "Numbers.h"
#include "RadioImage.h"
#include "TextCase.h"

namespace {

struct ItemInfo {
    TestItem item;
    std::uint8_t letter;
    std::string_view label;
};

constexpr std::array<ItemInfo, 4> kItems = {{
    {TestItem::TxFrequency, 'q', "TX Frequency"},
    {TestItem::LowPowerVoltage, 'r', "Low Power Voltage"},
    {TestItem::SquelchLevel, 's', "Squelch Level"},
    {TestItem::TxPower, 't', "TX Power"},
}};

const ItemInfo& Info(TestItem item) {
    const auto found = std::find_if(kItems.begin(), kItems.end(),
                                    [item](const ItemInfo& info) { return info.item == item; });
    // An out-of-range item is a caller's bug; it is served as the dialog's first item.
    return found != kItems.end() ? *found : kItems.front();
}

// Four BCD pairs of units, least significant first, into out[0..3].
void PutFrequency(std::uint32_t units, std::uint8_t* out) {
    units = std::min(units, kMaxBlockUnits);
    for (int i = 0; i < 4; ++i) {
        out[i] = BcdByte(units % 100);
        units /= 100;
    }
}

void PutTone(std::uint32_t tenths, std::uint8_t* out) {
    out[0] = BcdByte(tenths % 100);
    out[1] = BcdByte(tenths / 100);
}

}  // namespace

std::uint8_t CommandLetter(TestItem item) {
    return Info(item).letter;
}

std::string_view TestItemLabel(TestItem item) {
    return Info(item).label;
}

std::optional<TestItem> TestItemFromLabel(std::string_view text) {
    for (const ItemInfo& info : kItems) {
        if (EqualIgnoringCase(text, info.label)) {
            return info.item;
        }
    }
    return std::nullopt;
}

std::uint32_t ToneTenths(std::string_view text) {
    const long long tenths = TruncToInteger(LeadingDouble(text) * 10.0);
    return static_cast<std::uint32_t>(std::clamp<long long>(tenths, 0, kMaxBlockTenths));
}

TestBlock FrequencyBlock(std::uint32_t rxUnits, std::uint32_t txUnits) {
    TestBlock block{};
    PutFrequency(rxUnits, block.data());
    PutFrequency(txUnits, block.data() + 4);
    return block;
}

TestBlock ToneValueBlock(std::string_view rxTone, std::string_view txTone, int value) {
    TestBlock block{};
    PutTone(ToneTenths(rxTone), block.data());
    PutTone(ToneTenths(txTone), block.data() + 2);
    block[4] = 0xFB;
    block[5] = 0x01;
    block[6] = 0x01;
    block[7] = static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFFu);
    return block;
}
