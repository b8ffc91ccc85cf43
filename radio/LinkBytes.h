// The PC's side of the radio link, spelled once for the clone and the test exchanges: the
// handshake that puts the radio into its programming mode, the acknowledgement, the
// identification request and the block commands of the clone run. The simulated radio keeps
// its own copy on purpose, so that it goes on checking what the PC sends.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace radiolink {

inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kIdentRequest = 0x02;  // STX

// STX, then "PROGRAM". The test exchange holds the final letter back until the radio has
// acknowledged the rest.
inline constexpr std::array<std::uint8_t, 8> kHandshake = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};

// The identification the radio sends after the request.
inline constexpr std::size_t kIdentSize = 8;

// The clone run moves the memory in blocks of kBlockSize bytes. A read block's reply is
// kReplySize bytes: kReplyData bytes the program ignores, then the block.
inline constexpr std::size_t kBlockSize = 8;
inline constexpr std::size_t kReplyData = 4;
inline constexpr std::size_t kReplySize = kReplyData + kBlockSize;

inline constexpr std::uint8_t kReadCommand = 'R';
inline constexpr std::uint8_t kWriteCommand = 'W';

// A block command: the letter, the block's address high byte first, the block size.
inline constexpr std::array<std::uint8_t, 4> BlockCommand(std::uint8_t letter,
                                                          std::size_t address) {
    return {letter, static_cast<std::uint8_t>(address >> 8),
            static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(kBlockSize)};
}

}  // namespace radiolink
