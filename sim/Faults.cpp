#include "Faults.h"

#include "QuotedValue.h"

#include <charconv>

namespace {

// A whole decimal number within [low, high], nothing before or after it.
std::optional<long> Number(std::string_view text, long low, long high) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

constexpr long kLastBlock = 127;

std::string AddOne(Faults& faults, std::string_view item) {
    const std::size_t eq = item.find('=');
    const std::string_view name = item.substr(0, eq);
    const bool hasArg = eq != std::string_view::npos;
    const std::string_view arg = hasArg ? item.substr(eq + 1) : std::string_view();
    const std::string quoted = QuotedValue(item);

    auto noArg = [&](bool& flag) -> std::string {
        if (hasArg) {
            return "fault " + std::string(name) + " takes no value: " + quoted;
        }
        flag = true;
        return {};
    };
    if (name == "silent") {
        return noArg(faults.silent);
    }
    if (name == "handshake-second") {
        return noArg(faults.handshakeSecond);
    }
    if (name == "no-confirm-ack") {
        return noArg(faults.noConfirmAck);
    }
    if (name == "short-reply") {
        const std::size_t colon = arg.find(':');
        const auto k = Number(arg.substr(0, colon), 0, kLastBlock);
        const auto n = colon == std::string_view::npos ? std::optional<long>(9)
                                                       : Number(arg.substr(colon + 1), 9, 11);
        if (!k || !n) {
            return "short-reply needs a block 0-127 and optionally :9, :10 or :11: " + quoted;
        }
        faults.shortReply[static_cast<int>(*k)] = static_cast<int>(*n);
        return {};
    }
    if (name == "no-read-ack" || name == "no-write-ack") {
        const long last = name == "no-read-ack" ? kLastBlock : 122;
        const auto k = Number(arg, 0, last);
        if (!k) {
            return std::string(name) + " needs a block 0-" + std::to_string(last) + ": " + quoted;
        }
        (name == "no-read-ack" ? faults.noReadAck : faults.noWriteAck).insert(static_cast<int>(*k));
        return {};
    }
    if (name == "drop-after") {
        const auto n = Number(arg, 0, 1'000'000'000);
        if (!n) {
            return "drop-after needs a byte count: " + quoted;
        }
        faults.dropAfter = *n;
        return {};
    }
    if (name == "garbage") {
        const auto n = hasArg ? Number(arg, 1, 64) : std::optional<long>(1);
        if (!n) {
            return "garbage takes a count of 1 to 64 bytes: " + quoted;
        }
        faults.garbage = static_cast<int>(*n);
        return {};
    }
    if (name == "flip-bit") {
        const auto a = Number(arg, 0, 0x3D7);
        if (!a) {
            return "flip-bit needs an address 0-983: " + quoted;
        }
        faults.flipBit = *a;
        return {};
    }
    if (name == "sessions") {
        const auto n = Number(arg, 0, 1'000'000);
        if (!n) {
            return "sessions needs a count of handshakes: " + quoted;
        }
        faults.sessions = *n;
        return {};
    }
    if (name == "test-no-h") {
        const auto k = Number(arg, 1, 3);
        if (!k) {
            return "test-no-h needs a part of the test exchange, 1 to 3: " + quoted;
        }
        faults.testNoH = static_cast<int>(*k);
        return {};
    }
    return "unknown fault " + quoted;
}

}  // namespace

std::string AddFault(Faults& faults, std::string_view items) {
    while (true) {
        const std::size_t comma = items.find(',');
        std::string why = AddOne(faults, items.substr(0, comma));
        if (!why.empty() || comma == std::string_view::npos) {
            return why;
        }
        items.remove_prefix(comma + 1);
    }
}

std::string_view FaultHelp() {
    return "  silent              never answers\n"
           "  handshake-second    ignores the first handshake, answers the second (and so on)\n"
           "  no-confirm-ack      no ACK to the PC's ACK after the identification\n"
           "  short-reply=K[:N]   read block K is answered with N of its 12 bytes (9, 10, 11)\n"
           "  no-read-ack=K       no ACK after the PC's ACK to read block K\n"
           "  no-write-ack=K      write block K is neither stored nor acknowledged\n"
           "  drop-after=N        the line goes dead after N bytes sent by the radio\n"
           "  garbage[=K]         K noise bytes (default 1) before every ACK\n"
           "  test-no-h=K         test mode: no H after part K (1 the command, 2 the\n"
           "                      frequency block, 3 the tone and value block)\n"
           "  flip-bit=A          a write stores the byte at address A with bit 0 flipped\n"
           "  sessions=N          answers N handshakes, then nothing (a radio that must be\n"
           "                      switched off and on between sessions)\n"
           "  Block K is the one at address 8*K, counted from 0.\n";
}
