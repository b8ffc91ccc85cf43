// The bytes of the test mode exchange that carry the debug item's settings: the command
// letter, the frequency block and the tone and value block.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "TestModeExchange.h"

using TestBlock = std::array<std::uint8_t, 8>;

// The largest frequency the block's eight BCD digits hold (999.99999 MHz) and the largest
// tone its four hold (999.9 Hz), in their units.
inline constexpr std::uint32_t kMaxBlockUnits = 99999999;
inline constexpr std::uint32_t kMaxBlockTenths = 9999;

// 'q', 'r', 's' or 't'.
std::uint8_t CommandLetter(TestItem item);

// The item's name as the dialog's tree shows it ("Squelch Level").
std::string_view TestItemLabel(TestItem item);
// The item whose label equals text, ignoring letter case.
std::optional<TestItem> TestItemFromLabel(std::string_view text);

// A tone entry in tenths of a hertz: its leading number times 10, truncated toward zero.
// "OFF" and the DCS entries have no leading number and give 0; negative texts give 0 and
// texts beyond the four digits kMaxBlockTenths.
std::uint32_t ToneTenths(std::string_view text);

// Receive then transmit frequency, each as four BCD pairs, least significant pair first.
// A value beyond kMaxBlockUnits is sent as kMaxBlockUnits: the digits would not fit, and a
// clamped value is at least recognisably the top of the range where wrapped digits would
// be garbage. The dialog and the command-line tool keep the values inside the band, so
// this never happens in use.
TestBlock FrequencyBlock(std::uint32_t rxUnits, std::uint32_t txUnits);

// Receive tone and transmit tone as two BCD pairs each (least significant first), the fixed
// bytes 0xFB 0x01 0x01, then the value's low 8 bits.
TestBlock ToneValueBlock(std::string_view rxTone, std::string_view txTone, int value);
