// The simulated radio: a state machine fed the PC's bytes one at a time, answering with the
// bytes the radio sends back and holding the radio's 1024-byte memory. It does no I/O and
// keeps no clock of its own, so tests drive it directly; the time of each byte comes in
// with it.
//
// How this radio behaves where the PC leaves it free:
// - it acknowledges the handshake twice: after "PROGRA" and again after the closing 'M'.
//   The test mode waits for the first before it sends the 'M'; the clone sends all eight
//   bytes at once and takes whichever ACK comes first, throwing the other away before it
//   asks for the identification;
// - then it sends nothing more until asked for its identification, which is its memory at
//   0x3D0-0x3D7 (model code and band);
// - a read reply is 'W', the address and the length, then the 8 memory bytes;
// - a write to 0x3D8 or above is refused without an ACK: that part of the memory is the
//   radio's own and no PC may change it;
// - a handshake is heard in every phase except inside a command, so a PC that gave up and
//   starts over is served without switching the radio off and on;
// - the test mode exchange shares the handshake, identification and confirmation; then 'x'
//   in Phase::Ready starts a test command (letter, letter, 0x08), whose H is followed by the
//   frequency block and the tone and value block, each taken with an H. The radio notes
//   each of them, decoded, for the log. A test command with an unknown letter, or a part
//   left without its H by the test-no-h fault, ends the exchange: the radio drops back to
//   Phase::Ready, where the PC's next handshake is heard;
// - the blocks of a test command are data like a write's: a handshake inside them is not
//   heard until the command has ended, or has been left for kFrameTimeout;
// - a handshake left without its identification request for kFrameTimeout is forgotten, so
//   the STX that starts the next PC's handshake is not taken for that request.
#pragma once

#include <algorithm>
#include <bitset>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CloneBytes.h"
#include "Faults.h"
#include "RadioImage.h"

class SimRadio {
public:
    using Time = std::chrono::nanoseconds;

    // Where the radio is in an exchange.
    enum class Phase {
        Idle,             // not in programming mode: only a handshake means something
        Handshaken,       // handshake acknowledged, waiting for the identification request
        Identified,       // identification sent, waiting for the PC's ACK
        Ready,            // programming mode: waiting for a command
        InCommand,        // part of a read or write command has arrived
        ReadAnswered,     // a read reply went out, waiting for the PC's ACK
        TestCommand,      // 'x' has arrived: the item's letter, the letter and 0x08 follow
        TestFrequencies,  // the test command was taken: the frequency block follows
        TestTones,        // the frequency block was taken: the tone and value block follows
    };

    // A command or handshake left unfinished for this long is dropped, the way a radio's
    // receiver forgets a broken frame; the next byte starts afresh.
    static constexpr Time kFrameTimeout = std::chrono::milliseconds(1000);

    explicit SimRadio(const RadioImage& memory, Faults faults = {});

    // One byte from the PC, arriving at time now. Returns what the radio sends in answer,
    // often nothing.
    proto::Bytes Receive(std::uint8_t byte, Time now);

    // The radio's answer left at time at. The PC's silence counts from the later of its own
    // last byte and the radio's: a real radio answers at once, so a simulator held off by a
    // busy machine must not charge its own delay to the PC.
    void Spoke(Time at) { m_lastByte = std::max(m_lastByte, at); }

    const RadioImage& Memory() const { return m_memory; }

    // Switched off, the radio hears nothing and answers nothing; switched on again it starts
    // out of programming mode, as after a real power cycle.
    void SetPowered(bool on);
    Phase phase() const { return m_phase; }

    // Whole conversations so far: a read counts once all 128 blocks were read and their
    // ACKs answered, a write once all 123 blocks were stored, within one programming session.
    int CompletedReads() const { return m_completedReads; }
    int CompletedWrites() const { return m_completedWrites; }
    // Test mode exchanges whose three parts were all taken.
    int CompletedTests() const { return m_completedTests; }
    long BytesSent() const { return m_sent; }

    // What the radio has noted since the last call (the test mode's item, frequencies,
    // tones and value, decoded), oldest first.
    std::vector<std::string> TakeNotes();

private:
    // Follows the PC's bytes looking for the handshake, whatever else happens.
    class HandshakeMatcher {
    public:
        // True when the byte continued (or started) a handshake.
        bool Feed(std::uint8_t byte);
        // "PROGRA": all but the closing 'M'.
        bool AllButLast() const { return m_matched + 1 == proto::kHandshake.size(); }
        bool Complete() const { return m_matched == proto::kHandshake.size(); }
        void Reset() { m_matched = 0; }

    private:
        std::size_t m_matched = 0;
    };

    proto::Bytes Step(std::uint8_t byte);
    proto::Bytes OnHandshakeStart();
    proto::Bytes OnHandshake();
    proto::Bytes OnConfirm();
    proto::Bytes OnReadAck();
    proto::Bytes OnCommandByte(std::uint8_t byte);
    proto::Bytes ReadBlock(std::size_t address);
    proto::Bytes WriteBlock(std::size_t address);
    proto::Bytes OnTestByte(std::uint8_t byte);
    // The H for part `part` of a test exchange (1 command, 2 frequencies, 3 tones), then
    // phase `next`; without it (the test-no-h fault) the radio drops the exchange.
    proto::Bytes TestTaken(int part, Phase next);
    proto::Bytes Ack() const;
    // Applies the faults that act on the line itself and counts what goes out.
    proto::Bytes Emit(proto::Bytes answer);

    RadioImage m_memory;
    Faults m_faults;
    bool m_powered = true;
    Phase m_phase = Phase::Idle;
    HandshakeMatcher m_handshake;
    proto::Bytes m_command;
    std::size_t m_readAddress = 0;  // of the reply waiting for its ACK
    Time m_lastByte{};
    bool m_ignoredLastHandshake = false;
    bool m_handshakeAnswered = false;  // "PROGRA" was acknowledged, so 'M' will be too
    long m_handshakesHeard = 0;        // for the sessions fault
    proto::Bytes m_test;               // the test command or block arriving
    std::vector<std::string> m_notes;

    // Blocks moved in the current programming session, by block number.
    std::bitset<proto::kReadBlocks> m_readBlocks;
    std::bitset<proto::kWriteBlocks> m_writtenBlocks;
    int m_completedReads = 0;
    int m_completedWrites = 0;
    int m_completedTests = 0;
    long m_sent = 0;
};
