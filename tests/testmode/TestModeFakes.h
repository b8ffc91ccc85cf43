// A scripted radio for the test mode exchange and a recorder of its hooks. Both write into
// one trace and share one virtual clock, so a test sees the exact order of bytes, purges,
// sleeps and boxes, and the time at which each box appears.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "ExchangeHooks.h"
#include "Port.h"

using Bytes = std::vector<std::uint8_t>;

struct TestTrace {
    std::vector<std::string> events;
    long long clockMs = 0;

    void Add(std::string event) { events.push_back(std::move(event)); }
};

// "02 50 52".
std::string Hex(std::span<const std::uint8_t> bytes);

// The radio's side: follows what the PC sends and answers at the next receive. An answer
// that comes in several parts delivers one part per receive (it arrives after any purge in
// between); bytes beyond what a receive takes stay queued until read or purged.
class CScriptedTestRadio final : public IPort {
public:
    explicit CScriptedTestRadio(TestTrace& trace) : m_trace(trace) {}

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
    std::string refuseOpen;  // non-empty: Open fails with this reason

    int opens = 0;
    int closes = 0;
    std::string openedName;
    CommTimeouts openedTimeouts;
    Bytes sent;  // every byte the PC sent, in order

    Result<> Open(const std::string& name, const CommTimeouts& timeouts) override;
    void SetTimeouts(const CommTimeouts& timeouts) override { m_timeouts = timeouts; }
    void Purge(PurgeSet which) override;
    bool Send(std::span<const std::uint8_t> bytes) override;
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override;
    void Close() override;
    bool IsOpen() const override { return m_bOpen; }

private:
    enum class Stage { Handshake, M, Ident, Confirm, Command, Frequencies, Tones, Done };
    void Hear(std::uint8_t byte);
    void Answer(const Bytes& bytes) { m_later.push_back(bytes); }
    // The H for block `block` (1 to 3) of the current attempt, if it gets one.
    void Taken(int block);

    TestTrace& m_trace;
    CommTimeouts m_timeouts;
    bool m_bOpen = false;
    Stage m_stage = Stage::Handshake;
    int m_nAttempt = 0;
    int m_nReceives = 0;
    Bytes m_collected;                 // the current command or block
    std::deque<std::uint8_t> m_input;  // arrived, not yet read
    std::deque<Bytes> m_later;         // one part arrives at each coming receive
};

// The program around the exchange: records every hook call and answers the Retry/Cancel box
// from its list (then Cancel).
class CTestHookRecorder final : public IExchangeHooks {
public:
    explicit CTestHookRecorder(TestTrace& trace) : m_trace(trace) {}

    std::vector<RetryAnswer> answers;
    std::vector<long long> askedAt;  // the clock when each Retry/Cancel box appeared
    bool throwOnAsk = false;         // the box itself fails, as a crashing dialog would

    void Sleep(int milliseconds) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    RetryAnswer AskRetryCancel(std::string_view text) override;

private:
    TestTrace& m_trace;
    std::size_t m_nAnswered = 0;
};
