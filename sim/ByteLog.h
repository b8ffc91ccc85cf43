// The record of every byte on the simulated line, one line per byte:
//   <milliseconds since start> <sender: pc or radio> <byte in hex>
// for example "1042.708 pc 02" and "1050.115 radio 06". Lines starting with '#' are notes.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

class ByteLog {
public:
    using Time = std::chrono::nanoseconds;

    ByteLog() = default;  // records nothing
    // Creates or truncates the file. Throws std::system_error.
    explicit ByteLog(const std::filesystem::path& path);
    ~ByteLog();
    ByteLog(const ByteLog&) = delete;
    ByteLog& operator=(const ByteLog&) = delete;

    void FromPc(std::uint8_t byte, Time at) { Byte("pc", byte, at); }
    void FromRadio(std::uint8_t byte, Time at) { Byte("radio", byte, at); }
    void Note(std::string_view text, Time at);

private:
    void Byte(const char* sender, std::uint8_t byte, Time at);

    std::FILE* m_file = nullptr;
};
