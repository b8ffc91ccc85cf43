// A scripted radio for the clone run and a recorder of the run's hooks. Both write into one
// trace and share one virtual clock, so a test sees the exact order of bytes, purges, sleeps,
// pumps, cancel checks, status texts and boxes.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CloneHooks.h"
#include "HookRecorder.h"
#include "RadioImage.h"
#include "ScriptedPort.h"

// The radio's side of the exchange, following what is sent, with switches for its faults.
class CScriptedRadio final : public CScriptedPort {
public:
    explicit CScriptedRadio(Trace& trace);

    // What the radio answers to the last handshake byte, attempt by attempt; attempts
    // beyond the list get handshakeReply.
    std::vector<std::vector<std::uint8_t>> handshakeReplies;
    std::vector<std::uint8_t> handshakeReply = {0x06};
    // What the radio sends as its identification; unset: its memory from 0x3D0 to 0x3D7, as
    // a radio does.
    std::optional<std::vector<std::uint8_t>> identification;
    std::vector<std::uint8_t> confirmReply = {0x06};
    int failingConfirmSends = 0;  // the first so many sends of the confirmation fail
    bool confirmReceiveFails = false;
    std::map<int, std::size_t> replyLength;  // read block -> bytes of its reply
    std::set<int> silentAfterReadAck;        // read blocks whose ACK gets no ACK back
    std::set<int> silentAfterWrite;          // write blocks that get no ACK
    RadioImage memory;

private:
    enum class Stage { Handshake, Identify, Confirm, Programming };
    void Hear(std::span<const std::uint8_t> bytes) override;
    bool RefusesSend(std::span<const std::uint8_t> bytes) override;
    bool StartReceive() override;

    Stage m_stage = Stage::Handshake;
    int m_nHandshakes = 0;
    int m_nConfirmSends = 0;
    std::vector<std::uint8_t> m_handshakeSeen;
    int m_nReadBlock = -1;     // the block whose ACK the radio waits for
    int m_nWriteAddress = -1;  // the address whose data the radio waits for
};

// The program around the run: records every hook call and answers from its settings. Hooks
// is ICloneHooks or an interface built on it; a recorder for a richer one adds the rest.
template <class Hooks>
class CCloneRecorder : public CHookRecorderBase<Hooks> {
public:
    using CHookRecorderBase<Hooks>::CHookRecorderBase;

    int cancelAtCheck = 0;  // > 0: cancel from this cancel check on (1 = the first)
    std::function<void()> onPump;
    int position = 0;

    void PumpOne() override {
        this->m_trace.Add("pump");
        if (onPump) {
            onPump();
        }
    }
    bool IsCancelled() override {
        this->m_trace.Add("check");
        ++m_nChecks;
        return cancelAtCheck > 0 && m_nChecks >= cancelAtCheck;
    }
    void SetStatus(std::string_view text) override {
        this->m_trace.Add("status " + std::string(text));
    }
    int ProgressPosition() override { return position; }
    void SetProgressPosition(int value) override {
        position = value;
        this->m_trace.Add("progress " + std::to_string(value));
    }

private:
    int m_nChecks = 0;
};

using CHookRecorder = CCloneRecorder<ICloneHooks>;
