// The simulated radio: a state machine fed the PC's bytes one at a time, answering with the
// bytes the radio sends back and holding the radio's 1024-byte memory. It does no I/O and
// keeps no clock of its own, so tests drive it directly; the time of each byte comes in
// with it.
//
// How this radio behaves where the PC leaves it free:
// - it answers the handshake with a lone ACK and sends nothing more until asked for its
//   identification, which is its memory at 0x3D0-0x3D7 (model code and band);
// - a read reply is 'W', the address and the length, then the 8 memory bytes;
// - a write to 0x3D8 or above is refused without an ACK: that part of the memory is the
//   radio's own and no PC may change it;
// - a handshake is heard in every phase except inside a command, so a PC that gave up and
//   starts over is served without switching the radio off and on.
// The alignment (test mode) exchange starts with the same handshake, identification and
// confirmation; it would add its own command letter beside 'R' and 'W' in Phase::Ready and
// phases of its own for the blocks that follow.
#pragma once

#include <bitset>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "CloneBytes.h"
#include "Faults.h"
#include "RadioImage.h"

class SimRadio {
public:
    using Time = std::chrono::nanoseconds;

    // Where the radio is in an exchange.
    enum class Phase {
        Idle,          // not in programming mode: only a handshake means something
        Handshaken,    // handshake acknowledged, waiting for the identification request
        Identified,    // identification sent, waiting for the PC's ACK
        Ready,         // programming mode: waiting for a command
        InCommand,     // part of a read or write command has arrived
        ReadAnswered,  // a read reply went out, waiting for the PC's ACK
    };

    // A command or handshake left unfinished for this long is dropped, the way a radio's
    // receiver forgets a broken frame; the next byte starts afresh.
    static constexpr Time kFrameTimeout = std::chrono::milliseconds(1000);

    explicit SimRadio(const RadioImage& memory, Faults faults = {});

    // One byte from the PC, arriving at time now. Returns what the radio sends in answer,
    // often nothing.
    proto::Bytes Receive(std::uint8_t byte, Time now);

    const RadioImage& Memory() const { return m_memory; }
    Phase phase() const { return m_phase; }

    // Whole conversations so far: a read counts once all 128 blocks were read and their
    // ACKs answered, a write once all 123 blocks were stored, within one programming session.
    int CompletedReads() const { return m_completedReads; }
    int CompletedWrites() const { return m_completedWrites; }
    long BytesSent() const { return m_sent; }

private:
    // Follows the PC's bytes looking for the handshake, whatever else happens.
    class HandshakeMatcher {
    public:
        // True when the byte continued (or started) a handshake.
        bool Feed(std::uint8_t byte);
        bool Complete() const { return m_matched == proto::kHandshake.size(); }
        void Reset() { m_matched = 0; }

    private:
        std::size_t m_matched = 0;
    };

    proto::Bytes Step(std::uint8_t byte);
    proto::Bytes OnHandshake();
    proto::Bytes OnConfirm();
    proto::Bytes OnReadAck();
    proto::Bytes OnCommandByte(std::uint8_t byte);
    proto::Bytes ReadBlock(std::size_t address);
    proto::Bytes WriteBlock(std::size_t address);
    proto::Bytes Ack() const;
    // Applies the faults that act on the line itself and counts what goes out.
    proto::Bytes Emit(proto::Bytes answer);

    RadioImage m_memory;
    Faults m_faults;
    Phase m_phase = Phase::Idle;
    HandshakeMatcher m_handshake;
    proto::Bytes m_command;
    std::size_t m_readAddress = 0;  // of the reply waiting for its ACK
    Time m_lastByte{};
    bool m_ignoredLastHandshake = false;

    // Blocks moved in the current programming session, by block number.
    std::bitset<proto::kReadBlocks> m_readBlocks;
    std::bitset<proto::kWriteBlocks> m_writtenBlocks;
    int m_completedReads = 0;
    int m_completedWrites = 0;
    long m_sent = 0;
};
