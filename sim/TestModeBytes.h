// The bytes of the test mode (alignment) exchange as the radio sees them, and their
// decoding for the radio's log. The exchange begins with the clone's handshake,
// identification and confirmation; then the PC sends 'x', the item's letter, the letter
// again with 0x08, a frequency block and a tone and value block, each taken with an 'H'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace proto {

inline constexpr std::uint8_t kTestCommand = 'x';
inline constexpr std::uint8_t kTestLength = 0x08;
inline constexpr std::uint8_t kTaken = 'H';
// After 'x': the letter, the letter again, the length.
inline constexpr std::size_t kTestCommandSize = 3;
inline constexpr std::size_t kTestBlockSize = 8;
// The tone and value block's fixed bytes 4 to 6.
inline constexpr std::uint8_t kTestMarker[] = {0xFB, 0x01, 0x01};

}  // namespace proto

// The debug item a letter selects ("Squelch Level"), or "" for a letter that selects none.
std::string TestItemName(std::uint8_t letter);

// Log lines: the block's bytes in hex, then what they say.
std::string DescribeTestCommand(std::span<const std::uint8_t> bytes);
std::string DescribeFrequencyBlock(std::span<const std::uint8_t> bytes);
std::string DescribeToneBlock(std::span<const std::uint8_t> bytes);
