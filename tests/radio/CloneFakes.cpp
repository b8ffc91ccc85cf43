#include "CloneFakes.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint8_t, 8> kHandshake = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};
constexpr std::uint8_t kAck = 0x06;

}  // namespace

CScriptedRadio::CScriptedRadio(Trace& trace) : CScriptedPort(trace, Received::Count) {
    for (std::size_t a = 0; a < RadioImage::size(); ++a) {
        memory[a] = static_cast<std::uint8_t>(a * 37 + 11);
    }
}

bool CScriptedRadio::RefusesSend(std::span<const std::uint8_t> bytes) {
    return m_stage == Stage::Confirm && bytes.size() == 1 && bytes[0] == kAck &&
           m_nConfirmSends++ < failingConfirmSends;
}

bool CScriptedRadio::StartReceive() {
    if (confirmReceiveFails && m_stage == Stage::Programming && m_nReadBlock < 0 &&
        m_nWriteAddress < 0) {
        confirmReceiveFails = false;
        return false;
    }
    return true;
}

// The radio reacts to the handshake at any stage; everything else follows the stages.
void CScriptedRadio::Hear(std::span<const std::uint8_t> bytes) {
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
        Arrive(reply);
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
                Arrive(identification ? std::span<const std::uint8_t>(*identification)
                                      : std::span(memory.data() + 0x3D0, 8));
                m_stage = Stage::Confirm;
            }
            break;
        case Stage::Confirm:
            if (bytes.size() == 1 && bytes[0] == kAck) {
                Arrive(confirmReply);
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
                Arrive(reply);
                m_nReadBlock = block;
            } else if (bytes.size() == 1 && bytes[0] == kAck && m_nReadBlock >= 0) {
                if (!silentAfterReadAck.contains(m_nReadBlock)) {
                    Arrive(std::array{kAck});
                }
                m_nReadBlock = -1;
            } else if (bytes.size() == 4 && bytes[0] == 'W') {
                m_nWriteAddress = static_cast<int>(address);
            } else if (bytes.size() == 8 && m_nWriteAddress >= 0) {
                std::copy(bytes.begin(), bytes.end(), memory.data() + m_nWriteAddress);
                if (!silentAfterWrite.contains(m_nWriteAddress / 8)) {
                    Arrive(std::array{kAck});
                }
                m_nWriteAddress = -1;
            }
            break;
    }
}
