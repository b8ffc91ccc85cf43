// The bytes of the clone exchange as the radio sees them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace proto {

using Bytes = std::vector<std::uint8_t>;

// STX followed by "PROGRAM": puts the radio into programming mode.
inline constexpr std::array<std::uint8_t, 8> kHandshake = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};

inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kIdentRequest = 0x02;

// Commands: letter, address high, address low, length; a write's data follows.
inline constexpr std::uint8_t kRead = 'R';
inline constexpr std::uint8_t kWrite = 'W';
inline constexpr std::size_t kCommandSize = 4;
inline constexpr std::size_t kBlockSize = 8;
inline constexpr std::size_t kReplySize = kCommandSize + kBlockSize;

// The identification sent in answer to the request: the model block of the memory.
inline constexpr std::size_t kIdentAddress = 0x3D0;
inline constexpr std::size_t kIdentSize = 8;

// A read covers the whole memory; a write stops below 0x3D8.
inline constexpr std::size_t kReadBlocks = 128;
inline constexpr std::size_t kWriteBlocks = 123;

}  // namespace proto
