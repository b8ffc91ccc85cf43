#include "CloneFakes.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::array<std::uint8_t, 8> kHandshake = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};
constexpr std::uint8_t kAck = 0x06;

}  // namespace

std::string Hex(const std::uint8_t* bytes, std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += digits;
    }
    return text;
}

CScriptedRadio::CScriptedRadio(Trace& trace) : m_trace(trace) {
    for (std::size_t a = 0; a < RadioImage::size(); ++a) {
        memory[a] = static_cast<std::uint8_t>(a * 37 + 11);
    }
}

Result<> CScriptedRadio::Open(const std::string& name, const CommTimeouts& timeouts) {
    m_trace.Add("open " + name);
    ++opens;
    openedName = name;
    openedTimeouts = timeouts;
    if (!refuseOpen.empty()) {
        return Failure(refuseOpen);
    }
    m_timeouts = timeouts;
    m_bOpen = true;
    return {};
}

void CScriptedRadio::Close() {
    m_trace.Add("close");
    ++closes;
    m_bOpen = false;
}

void CScriptedRadio::Purge(PurgeSet which) {
    m_trace.Add(which == PurgeSet::Clear ? "purge" : "purge abort");
    m_input.clear();
}

void CScriptedRadio::Queue(const std::vector<std::uint8_t>& bytes) {
    m_input.insert(m_input.end(), bytes.begin(), bytes.end());
}

bool CScriptedRadio::Send(std::span<const std::uint8_t> bytes) {
    if (m_stage == Stage::Confirm && bytes.size() == 1 && bytes[0] == kAck &&
        m_nConfirmSends++ < failingConfirmSends) {
        m_trace.Add("send 06 fails");
        return false;
    }
    m_trace.Add("send " + Hex(bytes.data(), bytes.size()));
    Answer(bytes);
    return true;
}

// The radio reacts to the handshake at any stage; everything else follows the stages.
void CScriptedRadio::Answer(std::span<const std::uint8_t> bytes) {
    m_handshakeSeen.insert(m_handshakeSeen.end(), bytes.begin(), bytes.end());
    if (m_handshakeSeen.size() > kHandshake.size()) {
        m_handshakeSeen.erase(m_handshakeSeen.begin(),
                              m_handshakeSeen.end() - static_cast<long>(kHandshake.size()));
    }
    if (std::equal(kHandshake.begin(), kHandshake.end(), m_handshakeSeen.begin(),
                   m_handshakeSeen.end())) {
        const std::size_t attempt = static_cast<std::size_t>(m_nHandshakes++);
        const auto& reply =
            attempt < handshakeReplies.size() ? handshakeReplies[attempt] : handshakeReply;
        Queue(reply);
        const bool acked = std::find(reply.begin(), reply.end(), kAck) != reply.end();
        m_stage = acked ? Stage::Identify : Stage::Handshake;
        return;
    }
    const std::size_t address = bytes.size() >= 3 ? (bytes[1] << 8 | bytes[2]) : 0;
    switch (m_stage) {
        case Stage::Handshake:
            break;
        case Stage::Identify:
            if (bytes.size() == 1 && bytes[0] == 0x02) {
                Queue(identification);
                m_stage = Stage::Confirm;
            }
            break;
        case Stage::Confirm:
            if (bytes.size() == 1 && bytes[0] == kAck) {
                Queue(confirmReply);
                m_stage = Stage::Programming;
            }
            break;
        case Stage::Programming:
            if (bytes.size() == 4 && bytes[0] == 'R') {
                std::vector<std::uint8_t> reply(12);
                reply[0] = 'W';
                reply[1] = bytes[1];
                reply[2] = bytes[2];
                reply[3] = 8;
                std::copy(memory.data() + address, memory.data() + address + 8, reply.begin() + 4);
                const int block = static_cast<int>(address / 8);
                reply.resize(replyLength.contains(block) ? replyLength[block] : reply.size());
                Queue(reply);
                m_nReadBlock = block;
            } else if (bytes.size() == 1 && bytes[0] == kAck && m_nReadBlock >= 0) {
                if (!silentAfterReadAck.contains(m_nReadBlock)) {
                    Queue({kAck});
                }
                m_nReadBlock = -1;
            } else if (bytes.size() == 4 && bytes[0] == 'W') {
                m_nWriteAddress = static_cast<int>(address);
            } else if (bytes.size() == 8 && m_nWriteAddress >= 0) {
                std::copy(bytes.begin(), bytes.end(), memory.data() + m_nWriteAddress);
                if (!silentAfterWrite.contains(m_nWriteAddress / 8)) {
                    Queue({kAck});
                }
                m_nWriteAddress = -1;
            }
            break;
    }
}

ReceiveResult CScriptedRadio::Receive(std::span<std::uint8_t> buffer) {
    const std::string asked = "recv " + std::to_string(buffer.size());
    if (confirmReceiveFails && m_stage == Stage::Programming && m_nReadBlock < 0 &&
        m_nWriteAddress < 0) {
        confirmReceiveFails = false;
        m_trace.Add(asked + " fails");
        return {false, 0};
    }
    const std::size_t count = std::min(buffer.size(), m_input.size());
    std::copy_n(m_input.begin(), count, buffer.begin());
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<long>(count));
    if (count < buffer.size()) {
        // Nothing at all waits out the total time; a reply that stops short, the interval.
        m_trace.clockMs += count == 0
                               ? m_timeouts.readMultiplier * static_cast<long long>(buffer.size()) +
                                     m_timeouts.readConstant
                               : m_timeouts.readInterval;
    }
    m_trace.Add(asked + " -> " + std::to_string(count));
    return {true, count};
}

void CHookRecorder::Sleep(int milliseconds) {
    m_trace.clockMs += milliseconds;
    m_trace.Add("sleep " + std::to_string(milliseconds));
}

void CHookRecorder::PumpOne() {
    m_trace.Add("pump");
    if (onPump) {
        onPump();
    }
}

bool CHookRecorder::IsCancelled() {
    m_trace.Add("check");
    ++m_nChecks;
    return cancelAtCheck > 0 && m_nChecks >= cancelAtCheck;
}

void CHookRecorder::SetStatus(std::string_view text) {
    m_trace.Add("status " + std::string(text));
}

void CHookRecorder::SetProgressPosition(int value) {
    position = value;
    m_trace.Add("progress " + std::to_string(value));
}

void CHookRecorder::ShowMessage(std::string_view text, MessageIcon icon) {
    m_trace.Add(std::string(icon == MessageIcon::Exclamation ? "message! " : "message ") +
                std::string(text));
    messages.emplace_back(text);
}

RetryAnswer CHookRecorder::AskRetryCancel(std::string_view text) {
    m_trace.Add("ask " + std::string(text));
    askedAt.push_back(m_trace.clockMs);
    return m_nAnswered < answers.size() ? answers[m_nAnswered++] : RetryAnswer::Cancel;
}
