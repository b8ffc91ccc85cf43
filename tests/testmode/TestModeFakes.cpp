#include "TestModeFakes.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr std::array<std::uint8_t, 7> kHandshake = {0x02, 'P', 'R', 'O', 'G', 'R', 'A'};

}  // namespace

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X", byte);
        text += digits;
    }
    return text;
}

Result<> CScriptedTestRadio::Open(const std::string& name, const CommTimeouts& timeouts) {
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

void CScriptedTestRadio::Close() {
    m_trace.Add("close");
    ++closes;
    m_bOpen = false;
}

void CScriptedTestRadio::Purge(PurgeSet which) {
    m_trace.Add(which == PurgeSet::Clear ? "purge" : "purge abort");
    m_input.clear();
}

bool CScriptedTestRadio::Send(std::span<const std::uint8_t> bytes) {
    m_trace.Add("send " + Hex(bytes));
    for (const std::uint8_t byte : bytes) {
        sent.push_back(byte);
        Hear(byte);
    }
    return true;
}

void CScriptedTestRadio::Taken(int block) {
    const std::size_t attempt = static_cast<std::size_t>(m_nAttempt - 1);
    const int answered = attempt < answeredBlocks.size() ? answeredBlocks[attempt] : 3;
    if (block <= answered) {
        Answer({'H'});
    }
}

// The handshake starts an attempt from any stage; everything else follows the stages.
void CScriptedTestRadio::Hear(std::uint8_t byte) {
    if (sent.size() >= kHandshake.size() &&
        std::equal(kHandshake.begin(), kHandshake.end(), sent.end() - kHandshake.size())) {
        const std::size_t attempt = static_cast<std::size_t>(m_nAttempt++);
        const auto& reply =
            attempt < handshakeReplies.size() ? handshakeReplies[attempt] : handshakeReply;
        m_later.assign(reply.begin(), reply.end());
        m_collected.clear();
        m_stage = Stage::M;
        return;
    }
    m_collected.push_back(byte);
    const Bytes collected = m_collected;
    auto next = [&](Stage stage) {
        m_stage = stage;
        m_collected.clear();
    };
    switch (m_stage) {
        case Stage::M:
            next(byte == 'M' ? Stage::Ident : Stage::Handshake);
            break;
        case Stage::Ident:
            if (byte == 0x02) {
                Answer(identification);
            }
            next(byte == 0x02 ? Stage::Confirm : Stage::Handshake);
            break;
        case Stage::Confirm:
            if (byte == 0x06) {
                Answer(confirmReply);
            }
            next(byte == 0x06 ? Stage::Command : Stage::Handshake);
            break;
        case Stage::Command:
            if (collected.size() == 4) {
                const bool good =
                    collected[0] == 'x' && collected[1] == collected[2] && collected[3] == 0x08;
                if (good) {
                    Taken(1);
                }
                next(good ? Stage::Frequencies : Stage::Handshake);
            }
            break;
        case Stage::Frequencies:
        case Stage::Tones:
            if (collected.size() == 8) {
                Taken(m_stage == Stage::Frequencies ? 2 : 3);
                next(m_stage == Stage::Frequencies ? Stage::Tones : Stage::Done);
            }
            break;
        case Stage::Handshake:
        case Stage::Done:
            m_collected.clear();
            break;
    }
}

ReceiveResult CScriptedTestRadio::Receive(std::span<std::uint8_t> buffer) {
    const std::string asked = "recv " + std::to_string(buffer.size());
    if (++m_nReceives == failingReceive) {
        m_trace.Add(asked + " fails");
        return {false, 0};
    }
    if (!m_later.empty()) {
        m_input.insert(m_input.end(), m_later.front().begin(), m_later.front().end());
        m_later.pop_front();
    }
    const std::size_t count = std::min(buffer.size(), m_input.size());
    std::copy_n(m_input.begin(), count, buffer.begin());
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<long>(count));
    if (count < buffer.size()) {
        // Nothing at all waits out the total time; an answer that stops short, the interval.
        m_trace.clockMs += count == 0
                               ? m_timeouts.readMultiplier * static_cast<long long>(buffer.size()) +
                                     m_timeouts.readConstant
                               : m_timeouts.readInterval;
    }
    m_trace.Add(asked + " -> " + (count == 0 ? "none" : Hex(buffer.first(count))));
    return {true, count};
}

void CTestHookRecorder::Sleep(int milliseconds) {
    m_trace.clockMs += milliseconds;
    m_trace.Add("sleep " + std::to_string(milliseconds));
}

void CTestHookRecorder::ShowMessage(std::string_view text, MessageIcon icon) {
    m_trace.Add(std::string(icon == MessageIcon::Exclamation ? "message! " : "message ") +
                std::string(text));
}

RetryAnswer CTestHookRecorder::AskRetryCancel(std::string_view text) {
    m_trace.Add("ask " + std::string(text));
    askedAt.push_back(m_trace.clockMs);
    if (throwOnAsk) {
        throw std::runtime_error("the box failed");
    }
    return m_nAnswered < answers.size() ? answers[m_nAnswered++] : RetryAnswer::Cancel;
}
