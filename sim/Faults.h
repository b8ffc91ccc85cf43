// Faults the simulated radio can be told to show, each placed where the PC notices it.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

// Block numbers count from 0: block K is the one at address 8 * K.
struct Faults {
    bool silent = false;            // sends nothing at all
    bool handshakeSecond = false;   // ignores every other handshake, the first one included
    bool noConfirmAck = false;      // no ACK to the PC's confirmation ACK
    std::map<int, int> shortReply;  // read block -> bytes of its reply (9, 10 or 11 of 12)
    std::set<int> noReadAck;        // read blocks whose ACK exchange gets no answer
    std::set<int> noWriteAck;       // write blocks neither stored nor acknowledged
    std::optional<long> dropAfter;  // the radio's line goes dead after this many sent bytes
    int garbage = 0;                // noise bytes put before every ACK
    int testNoH = 0;  // test mode: no H after part K (1 command, 2 frequencies, 3 tones and value)
    std::optional<long> flipBit;   // a write stores the byte at this address with bit 0 flipped
    std::optional<long> sessions;  // handshakes answered; after them the radio stays silent

    friend bool operator==(const Faults&, const Faults&) = default;
};

// Adds one "NAME[=K]" item (several may be joined by commas) to faults. Returns an empty
// string on success, otherwise why the item was refused.
std::string AddFault(Faults& faults, std::string_view items);

// The names and their arguments, for --help.
std::string_view FaultHelp();
