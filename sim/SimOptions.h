// The command line of kvradio-sim.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Faults.h"

struct SimOptions {
    std::optional<std::filesystem::path> image;  // memory to start with (.sin)
    std::optional<std::filesystem::path> save;   // memory saved here after each write
    std::optional<std::filesystem::path> log;    // every byte, both ways
    std::optional<std::filesystem::path> link;   // symbolic link to the port
    bool pace = false;                           // 9600-baud byte times
    std::chrono::milliseconds latency{5};        // before each answer
    bool once = false;                           // exit after one read, write or test
    bool control = false;                        // take commands on standard input
    bool help = false;
    Faults faults;
};

// Fills options from the arguments (program name excluded). Returns an empty string on
// success, otherwise what is wrong.
std::string ParseSimOptions(const std::vector<std::string_view>& args, SimOptions& options);

std::string SimUsage();
