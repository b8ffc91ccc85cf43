#include "TestModeFakes.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint8_t, 7> kHandshake = {0x02, 'P', 'R', 'O', 'G', 'R', 'A'};

}  // namespace

void CScriptedTestRadio::Hear(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        sent.push_back(byte);
        HearByte(byte);
    }
}

void CScriptedTestRadio::Taken(int block) {
    const std::size_t attempt = static_cast<std::size_t>(m_nAttempt - 1);
    const int answered = attempt < answeredBlocks.size() ? answeredBlocks[attempt] : 3;
    if (block <= answered) {
        Answer({'H'});
    }
}

// The handshake starts an attempt from any stage; everything else follows the stages.
void CScriptedTestRadio::HearByte(std::uint8_t byte) {
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

bool CScriptedTestRadio::StartReceive() {
    if (++m_nReceives == failingReceive) {
        return false;
    }
    if (!m_later.empty()) {
        Arrive(m_later.front());
        m_later.pop_front();
    }
    return true;
}
