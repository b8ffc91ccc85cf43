#include "SimRadio.h"

#include <algorithm>
#include <utility>

#include "TestModeBytes.h"

namespace {

// What a noisy line turns into before an ACK: never an ACK itself, nor the PC's markers.
constexpr std::uint8_t kNoise = 0xFF;

// The block number of an address on a block boundary, -1 for any other address. Faults
// and the count of blocks moved only concern whole blocks.
int BlockAt(std::size_t address) {
    return address % proto::kBlockSize == 0 ? static_cast<int>(address / proto::kBlockSize) : -1;
}

bool InTest(SimRadio::Phase phase) {
    return phase == SimRadio::Phase::TestCommand || phase == SimRadio::Phase::TestFrequencies ||
           phase == SimRadio::Phase::TestTones;
}

}  // namespace

bool SimRadio::HandshakeMatcher::Feed(std::uint8_t byte) {
    if (m_matched < proto::kHandshake.size() && byte == proto::kHandshake[m_matched]) {
        ++m_matched;
        return true;
    }
    // A broken handshake that ends in STX may be the start of the next one.
    m_matched = byte == proto::kHandshake[0] ? 1 : 0;
    return m_matched == 1;
}

SimRadio::SimRadio(const RadioImage& memory, Faults faults)
    : m_memory(memory), m_faults(std::move(faults)) {}

void SimRadio::SetPowered(bool on) {
    m_powered = on;
    m_phase = Phase::Idle;
    m_handshake.Reset();
    m_command.clear();
    m_test.clear();
}

proto::Bytes SimRadio::Receive(std::uint8_t byte, Time now) {
    if (!m_powered) {
        return {};
    }
    if (now - m_lastByte > kFrameTimeout) {
        m_handshake.Reset();
        if (m_phase == Phase::InCommand || InTest(m_phase)) {
            m_command.clear();
            m_test.clear();
            m_phase = Phase::Ready;
        }
        // An identification request follows its handshake at once; a PC silent for this
        // long has gone (killed, unplugged), and the next 0x02 starts a new handshake.
        if (m_phase == Phase::Handshaken) {
            m_phase = Phase::Idle;
        }
    }
    m_lastByte = now;
    return Emit(Step(byte));
}

proto::Bytes SimRadio::Step(std::uint8_t byte) {
    // Data bytes of a command may look like anything, the handshake included.
    if (m_phase == Phase::InCommand) {
        return OnCommandByte(byte);
    }
    if (InTest(m_phase)) {
        return OnTestByte(byte);
    }
    // A handshake is heard in every other phase, so a PC that gave up half-way through an
    // exchange and starts over is served without the radio being switched off and on.
    const bool inHandshake = m_handshake.Feed(byte);
    if (m_handshake.AllButLast()) {
        return OnHandshakeStart();
    }
    if (m_handshake.Complete()) {
        m_handshake.Reset();
        return OnHandshake();
    }
    switch (m_phase) {
        case Phase::Idle:
        case Phase::InCommand:
        case Phase::TestCommand:
        case Phase::TestFrequencies:
        case Phase::TestTones:
            return {};
        case Phase::Handshaken:
            if (byte == proto::kIdentRequest) {
                m_phase = Phase::Identified;
                const auto* ident = m_memory.data() + proto::kIdentAddress;
                return proto::Bytes(ident, ident + proto::kIdentSize);
            }
            return {};
        case Phase::Identified:
            return byte == proto::kAck ? OnConfirm() : proto::Bytes{};
        case Phase::ReadAnswered:
            m_phase = Phase::Ready;
            if (byte == proto::kAck) {
                return OnReadAck();
            }
            // Without its ACK the PC has moved on; the byte may begin the next command.
            [[fallthrough]];
        case Phase::Ready:
            if (!inHandshake && (byte == proto::kRead || byte == proto::kWrite)) {
                m_command.assign(1, byte);
                m_phase = Phase::InCommand;
            } else if (!inHandshake && byte == proto::kTestCommand) {
                m_test.clear();
                m_phase = Phase::TestCommand;
            }
            return {};
    }
    return {};
}

proto::Bytes SimRadio::OnHandshakeStart() {
    if (m_faults.sessions && m_handshakesHeard++ >= *m_faults.sessions) {
        m_handshakeAnswered = false;
        return {};
    }
    // With the fault, a handshake is answered only when the one before it was ignored. It
    // is decided here, so a test mode PC that never gets as far as its 'M' is counted too.
    m_handshakeAnswered = !m_faults.handshakeSecond || m_ignoredLastHandshake;
    m_ignoredLastHandshake = !m_handshakeAnswered;
    return m_handshakeAnswered ? Ack() : proto::Bytes{};
}

proto::Bytes SimRadio::OnHandshake() {
    if (!std::exchange(m_handshakeAnswered, false)) {
        return {};
    }
    m_phase = Phase::Handshaken;
    return Ack();
}

proto::Bytes SimRadio::OnConfirm() {
    if (m_faults.noConfirmAck) {
        return {};  // stays waiting; the PC's next handshake starts over
    }
    m_phase = Phase::Ready;
    m_readBlocks.reset();
    m_writtenBlocks.reset();
    return Ack();
}

proto::Bytes SimRadio::OnReadAck() {
    const int block = BlockAt(m_readAddress);
    if (m_faults.noReadAck.contains(block)) {
        return {};
    }
    if (block >= 0) {
        m_readBlocks.set(static_cast<std::size_t>(block));
        if (m_readBlocks.all()) {
            m_readBlocks.reset();
            ++m_completedReads;
        }
    }
    return Ack();
}

proto::Bytes SimRadio::OnCommandByte(std::uint8_t byte) {
    m_command.push_back(byte);
    const bool isRead = m_command[0] == proto::kRead;
    const std::size_t size = isRead ? proto::kCommandSize : proto::kCommandSize + proto::kBlockSize;
    if (m_command.size() < size) {
        return {};
    }
    const std::size_t address = std::size_t{m_command[1]} << 8 | m_command[2];
    const bool blockLength = m_command[3] == proto::kBlockSize;
    m_phase = Phase::Ready;
    // Only 8-byte blocks inside the memory are served; anything else gets no answer.
    if (!blockLength) {
        return {};
    }
    return isRead ? ReadBlock(address) : WriteBlock(address);
}

proto::Bytes SimRadio::ReadBlock(std::size_t address) {
    if (address + proto::kBlockSize > addr::kImageSize) {
        return {};
    }
    // The header repeats the command's address; the PC does not look at it.
    proto::Bytes reply = {proto::kWrite, m_command[1], m_command[2], m_command[3]};
    reply.insert(reply.end(), m_memory.data() + address,
                 m_memory.data() + address + proto::kBlockSize);
    const auto shortened = m_faults.shortReply.find(BlockAt(address));
    if (shortened != m_faults.shortReply.end()) {
        reply.resize(static_cast<std::size_t>(shortened->second));
    }
    m_readAddress = address;
    m_phase = Phase::ReadAnswered;
    return reply;
}

proto::Bytes SimRadio::WriteBlock(std::size_t address) {
    // The top of the memory (0x3D8 up) belongs to the radio: a write there is refused
    // without an ACK, which tells a PC that overreaches at once.
    if (address + proto::kBlockSize > addr::kWriteEnd) {
        return {};
    }
    const int block = BlockAt(address);
    if (m_faults.noWriteAck.contains(block)) {
        return {};
    }
    std::copy(m_command.begin() + proto::kCommandSize, m_command.end(), m_memory.data() + address);
    if (m_faults.flipBit && static_cast<std::size_t>(*m_faults.flipBit) >= address &&
        static_cast<std::size_t>(*m_faults.flipBit) < address + proto::kBlockSize) {
        m_memory[static_cast<std::size_t>(*m_faults.flipBit)] ^= 0x01;
    }
    if (block >= 0) {
        m_writtenBlocks.set(static_cast<std::size_t>(block));
        if (m_writtenBlocks.all()) {
            m_writtenBlocks.reset();
            ++m_completedWrites;
        }
    }
    return Ack();
}

proto::Bytes SimRadio::OnTestByte(std::uint8_t byte) {
    m_test.push_back(byte);
    const std::size_t size =
        m_phase == Phase::TestCommand ? proto::kTestCommandSize : proto::kTestBlockSize;
    if (m_test.size() < size) {
        return {};
    }
    const proto::Bytes got = std::exchange(m_test, {});
    switch (m_phase) {
        case Phase::TestCommand: {
            m_notes.push_back(DescribeTestCommand(got));
            const bool known =
                !TestItemName(got[0]).empty() && got[1] == got[0] && got[2] == proto::kTestLength;
            if (!known) {
                m_phase = Phase::Ready;
                return {};
            }
            return TestTaken(1, Phase::TestFrequencies);
        }
        case Phase::TestFrequencies:
            m_notes.push_back(DescribeFrequencyBlock(got));
            return TestTaken(2, Phase::TestTones);
        default:
            m_notes.push_back(DescribeToneBlock(got));
            proto::Bytes taken = TestTaken(3, Phase::Ready);
            m_completedTests += taken.empty() ? 0 : 1;
            return taken;
    }
}

proto::Bytes SimRadio::TestTaken(int part, Phase next) {
    if (m_faults.testNoH == part) {
        m_notes.push_back("no H: fault test-no-h=" + std::to_string(part));
        m_phase = Phase::Ready;
        return {};
    }
    m_phase = next;
    return {proto::kTaken};
}

std::vector<std::string> SimRadio::TakeNotes() {
    return std::exchange(m_notes, {});
}

proto::Bytes SimRadio::Ack() const {
    proto::Bytes ack(static_cast<std::size_t>(m_faults.garbage), kNoise);
    ack.push_back(proto::kAck);
    return ack;
}

proto::Bytes SimRadio::Emit(proto::Bytes answer) {
    if (m_faults.silent) {
        answer.clear();
    }
    if (m_faults.dropAfter) {
        const long room = std::max(0L, *m_faults.dropAfter - m_sent);
        if (static_cast<long>(answer.size()) > room) {
            answer.resize(static_cast<std::size_t>(room));
        }
    }
    m_sent += static_cast<long>(answer.size());
    return answer;
}
