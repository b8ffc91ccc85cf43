// A scripted radio behind the port interface and a recorder of the run's hooks. Both write
// into one trace and share one virtual clock, so a test sees the exact order of bytes,
// purges, sleeps, pumps, cancel checks, status texts and boxes.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "CloneHooks.h"
#include "Port.h"
#include "RadioImage.h"

struct Trace {
    std::vector<std::string> events;
    long long clockMs = 0;

    void Add(std::string event) { events.push_back(std::move(event)); }
};

std::string Hex(const std::uint8_t* bytes, std::size_t n);

// The radio's side of the exchange, following what is sent, with switches for its faults.
class CScriptedRadio final : public IPort {
public:
    explicit CScriptedRadio(Trace& trace);

    // What the radio answers to the last handshake byte, attempt by attempt; attempts
    // beyond the list get handshakeReply.
    std::vector<std::vector<std::uint8_t>> handshakeReplies;
    std::vector<std::uint8_t> handshakeReply = {0x06};
    std::vector<std::uint8_t> identification = {'K', 'V', 'T', '3', '1', '0', 'X', 0x00};
    std::vector<std::uint8_t> confirmReply = {0x06};
    int failingConfirmSends = 0;  // the first so many sends of the confirmation fail
    bool confirmReceiveFails = false;
    std::map<int, std::size_t> replyLength;  // read block -> bytes of its reply
    std::set<int> silentAfterReadAck;        // read blocks whose ACK gets no ACK back
    std::set<int> silentAfterWrite;          // write blocks that get no ACK
    std::string refuseOpen;                  // non-empty: Open fails with this reason
    RadioImage memory;

    int opens = 0;
    int closes = 0;
    std::string openedName;
    CommTimeouts openedTimeouts;

    Result<> Open(const std::string& name, const CommTimeouts& timeouts) override;
    void SetTimeouts(const CommTimeouts& timeouts) override { m_timeouts = timeouts; }
    void Purge(PurgeSet which) override;
    bool Send(std::span<const std::uint8_t> bytes) override;
    ReceiveResult Receive(std::span<std::uint8_t> buffer) override;
    void Close() override;
    bool IsOpen() const override { return m_bOpen; }

private:
    enum class Stage { Handshake, Identify, Confirm, Programming };
    void Answer(std::span<const std::uint8_t> bytes);
    void Queue(const std::vector<std::uint8_t>& bytes);

    Trace& m_trace;
    CommTimeouts m_timeouts;
    bool m_bOpen = false;
    Stage m_stage = Stage::Handshake;
    int m_nHandshakes = 0;
    int m_nConfirmSends = 0;
    std::vector<std::uint8_t> m_handshakeSeen;
    std::deque<std::uint8_t> m_input;  // what the program has yet to receive
    int m_nReadBlock = -1;             // the block whose ACK the radio waits for
    int m_nWriteAddress = -1;          // the address whose data the radio waits for
};

// The program around the run: records every hook call and answers from its settings.
class CHookRecorder final : public ICloneHooks {
public:
    explicit CHookRecorder(Trace& trace) : m_trace(trace) {}

    int cancelAtCheck = 0;             // > 0: cancel from this cancel check on (1 = the first)
    std::vector<RetryAnswer> answers;  // to the communication error, in turn; then Cancel
    std::function<void()> onPump;
    int position = 0;
    std::vector<std::string> messages;
    std::vector<long long> askedAt;  // the clock when each Retry/Cancel box appeared

    void Sleep(int milliseconds) override;
    void PumpOne() override;
    bool IsCancelled() override;
    void SetStatus(std::string_view text) override;
    int ProgressPosition() override { return position; }
    void SetProgressPosition(int value) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    RetryAnswer AskRetryCancel(std::string_view text) override;

private:
    Trace& m_trace;
    int m_nChecks = 0;
    std::size_t m_nAnswered = 0;
};
