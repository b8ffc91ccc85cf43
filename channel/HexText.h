// Bytes as every trace and log of the program shows them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// Upper-case pairs separated by one blank: "02 50 52"; no bytes give "".
std::string HexBytes(std::span<const std::uint8_t> bytes);
