// A scripted radio for the test mode exchange and a recorder of its hooks. Both write into
// one trace and share one virtual clock, so a test sees the exact order of bytes, purges,
// sleeps and boxes, and the time at which each box appears.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "ExchangeHooks.h"
#include "HookRecorder.h"
#include "ScriptedPort.h"

using Bytes = std::vector<std::uint8_t>;

// The radio's side: follows what the PC sends and answers at the next receive. An answer
// that comes in several parts delivers one part per receive (it arrives after any purge in
// between); bytes beyond what a receive takes stay queued until read or purged.
class CScriptedTestRadio final : public CScriptedPort {
public:
    explicit CScriptedTestRadio(Trace& trace) : CScriptedPort(trace, Received::Bytes) {}

    // Per attempt, the parts of the answer to "PROGRA"; attempts beyond the list get
    // handshakeReply. An empty part is a receive that gets nothing.
    std::vector<std::vector<Bytes>> handshakeReplies;
    std::vector<Bytes> handshakeReply = {{0x06}};
    Bytes identification = {'K', 'V', 'T', '3', '1', '0', 'X', 0x00};
    Bytes confirmReply = {0x06};
    // Per attempt, how many of the three blocks (command, frequencies, tones) get their H;
    // attempts beyond the list get all three.
    std::vector<int> answeredBlocks;
    int failingReceive = 0;  // > 0: that receive call (1 = the first) fails

    Bytes sent;  // every byte the PC sent, in order

private:
    enum class Stage { Handshake, M, Ident, Confirm, Command, Frequencies, Tones, Done };
    void Hear(std::span<const std::uint8_t> bytes) override;
    bool StartReceive() override;
    void HearByte(std::uint8_t byte);
    void Answer(const Bytes& bytes) { m_later.push_back(bytes); }
    // The H for block `block` (1 to 3) of the current attempt, if it gets one.
    void Taken(int block);

    Stage m_stage = Stage::Handshake;
    int m_nAttempt = 0;
    int m_nReceives = 0;
    Bytes m_collected;          // the current command or block
    std::deque<Bytes> m_later;  // one part arrives at each coming receive
};

// The program around the exchange: records every hook call and answers the Retry/Cancel box
// from its list (then Cancel).
using CTestHookRecorder = CHookRecorderBase<IExchangeHooks>;
