// The radio model answering the PC's clone exchange, byte for byte.
#include <gtest/gtest.h>

#include "SimPc.h"

using namespace simtest;

namespace {

const Bytes kAck = {proto::kAck};

// Identification and confirmation after an acknowledged handshake.
void Confirm(Pc& pc, const RadioImage& memory) {
    ASSERT_EQ(pc.Send(proto::kIdentRequest), MemoryAt(memory, 0x3D0));
    ASSERT_EQ(pc.Send(proto::kAck), kAck);
}

void EnterProgramming(Pc& pc, const RadioImage& memory) {
    ASSERT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    Confirm(pc, memory);
}

}  // namespace

TEST(SimRadio, ReadConversationAnswersEveryBlockWithItsMemoryBytes) {
    const RadioImage memory = Pattern(3);
    SimRadio radio(memory);
    Pc pc(radio);

    // Nothing until "PROGRA" is complete; then an ACK, and another after the 'M'.
    const Bytes handshake = Handshake();
    for (std::size_t i = 0; i + 2 < handshake.size(); ++i) {
        EXPECT_TRUE(pc.Send(handshake[i]).empty()) << "handshake byte " << i;
    }
    EXPECT_EQ(pc.Send(handshake[handshake.size() - 2]), kAck) << "after PROGRA";
    EXPECT_EQ(pc.Send(handshake.back()), kAck) << "after M";
    // Identification: the model block; then the confirmation is acknowledged.
    EXPECT_EQ(pc.Send(proto::kIdentRequest), MemoryAt(memory, 0x3D0));
    EXPECT_EQ(pc.Send(proto::kAck), kAck);

    for (std::size_t address = 0; address < 0x400; address += 8) {
        const Bytes reply = pc.Send(ReadCommand(address));
        ASSERT_EQ(reply.size(), 12u) << "block at " << address;
        EXPECT_EQ(Bytes(reply.begin() + 4, reply.end()), MemoryAt(memory, address))
            << "block at " << address;
        pc.Wait(10ms);
        EXPECT_EQ(radio.CompletedReads(), 0);
        ASSERT_EQ(pc.Send(proto::kAck), kAck) << "block at " << address;
    }
    EXPECT_EQ(radio.CompletedReads(), 1);
    EXPECT_EQ(radio.CompletedWrites(), 0);
    EXPECT_EQ(radio.Memory(), memory);
}

TEST(SimRadio, WriteConversationStoresTheFirst984BytesAndKeepsTheRest) {
    const RadioImage before = Pattern(1);
    const RadioImage sent = Pattern(100);
    SimRadio radio(before);
    Pc pc(radio);
    EnterProgramming(pc, before);

    for (std::size_t address = 0; address < 0x3D8; address += 8) {
        const Bytes command = WriteCommand(address, sent);
        // Command and data go out as two sends; only the last data byte is answered.
        EXPECT_TRUE(pc.Send(Bytes(command.begin(), command.begin() + 4)).empty());
        pc.Wait(1ms);
        EXPECT_TRUE(pc.Send(Bytes(command.begin() + 4, command.end() - 1)).empty());
        EXPECT_EQ(radio.CompletedWrites(), 0);
        ASSERT_EQ(pc.Send(command.back()), kAck) << "block at " << address;
        pc.Wait(2ms);
    }
    EXPECT_EQ(radio.CompletedWrites(), 1);
    for (std::size_t a = 0; a < 0x400; ++a) {
        ASSERT_EQ(radio.Memory()[a], a < 0x3D8 ? sent[a] : before[a]) << "address " << a;
    }
    // A read in the same session gives back what was written.
    const Bytes reply = pc.Send(ReadCommand(0x3D0));
    ASSERT_EQ(reply.size(), 12u);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.end()), MemoryAt(sent, 0x3D0));
}

TEST(SimRadio, TopOfTheMemoryIsNeverWritten) {
    const RadioImage before = Pattern(1);
    const RadioImage sent = Pattern(50);
    SimRadio radio(before);
    Pc pc(radio);
    EnterProgramming(pc, before);

    // Blocks at or reaching past 0x3D8 are refused without an ACK and change nothing.
    for (const std::size_t address : {0x3D8, 0x3F8, 0x3D4}) {
        EXPECT_TRUE(pc.Send(WriteCommand(address, sent)).empty()) << "address " << address;
    }
    EXPECT_EQ(radio.Memory(), before);
    // The last writable block ends right below.
    EXPECT_EQ(pc.Send(WriteCommand(0x3D0, sent)), kAck);
    EXPECT_EQ(MemoryAt(radio.Memory(), 0x3D0), MemoryAt(sent, 0x3D0));
    EXPECT_EQ(MemoryAt(radio.Memory(), 0x3D8, 40), MemoryAt(before, 0x3D8, 40));
}

TEST(SimRadio, CommandsCountOnlyInsideAConfirmedSessionAndWhenWellFormed) {
    const RadioImage memory = Pattern(2);
    SimRadio radio(memory);
    Pc pc(radio);

    // Before the handshake, and between handshake and confirmation, commands mean nothing.
    EXPECT_TRUE(pc.Send(ReadCommand(0)).empty());
    EXPECT_TRUE(pc.Send(WriteCommand(0, Pattern(9))).empty());
    ASSERT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    EXPECT_TRUE(pc.Send(ReadCommand(0)).empty());
    EXPECT_EQ(radio.phase(), SimRadio::Phase::Handshaken);
    ASSERT_EQ(pc.Send(proto::kIdentRequest), MemoryAt(memory, 0x3D0));
    ASSERT_EQ(pc.Send(proto::kAck), kAck);

    // A length other than 8, or a block past the end of the memory: no answer, and the
    // session goes on with the next good command.
    EXPECT_TRUE(pc.Send(ReadCommand(0x10, 16)).empty());
    EXPECT_TRUE(pc.Send(ReadCommand(0x3FC)).empty());
    EXPECT_TRUE(pc.Send(ReadCommand(0x400)).empty());
    EXPECT_EQ(pc.Send(ReadCommand(0x3F8)).size(), 12u);
    EXPECT_EQ(radio.Memory(), memory);
}

TEST(SimRadio, HandshakeStartsOverFromEveryPhase) {
    const RadioImage memory = Pattern(4);
    SimRadio radio(memory);
    Pc pc(radio);

    // A broken handshake followed by a whole one, noise before it.
    EXPECT_TRUE(pc.Send({0x55, 0x02, 'P', 'R', 'O'}).empty());
    EXPECT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    // The PC starts over after the identification instead of confirming.
    ASSERT_EQ(pc.Send(proto::kIdentRequest), MemoryAt(memory, 0x3D0));
    EXPECT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    Confirm(pc, memory);
    // In the middle of a read, between a reply and its ACK.
    ASSERT_EQ(pc.Send(ReadCommand(0x40)).size(), 12u);
    EXPECT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    EXPECT_EQ(radio.phase(), SimRadio::Phase::Handshaken);
    Confirm(pc, memory);
    // Between two blocks of a finished session.
    ASSERT_EQ(pc.Send(WriteCommand(0x40, Pattern(8))), kAck);
    EXPECT_EQ(pc.Send(Handshake()), kHandshakeAcks);
}

TEST(SimRadio, ReadReplyWithoutItsAckDoesNotSwallowTheNextCommand) {
    const RadioImage memory = Pattern(5);
    SimRadio radio(memory);
    Pc pc(radio);
    EnterProgramming(pc, memory);
    ASSERT_EQ(pc.Send(ReadCommand(0x00)).size(), 12u);
    const Bytes reply = pc.Send(ReadCommand(0x08));
    ASSERT_EQ(reply.size(), 12u);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.end()), MemoryAt(memory, 0x08));
}

TEST(SimRadio, StaleHalfCommandIsForgottenAfterAPause) {
    const RadioImage memory = Pattern(6);
    const Bytes halfWrite = {'W', 0x00, 0x10, 0x08, 1, 2, 3};
    {
        // Right away, the handshake's bytes complete the write as its data.
        SimRadio radio(memory);
        Pc pc(radio);
        EnterProgramming(pc, memory);
        EXPECT_TRUE(pc.Send(halfWrite).empty());
        EXPECT_EQ(pc.Send(Handshake()), Bytes{proto::kAck}) << "the write's ACK";
        EXPECT_EQ(radio.Memory()[0x13], 0x02) << "handshake byte stored as data";
    }
    {
        // After a second of silence the broken command is gone and the handshake is heard.
        SimRadio radio(memory);
        Pc pc(radio);
        EnterProgramming(pc, memory);
        EXPECT_TRUE(pc.Send(halfWrite).empty());
        pc.Wait(SimRadio::kFrameTimeout);
        EXPECT_EQ(pc.Send(Handshake()), kHandshakeAcks);
        EXPECT_EQ(radio.phase(), SimRadio::Phase::Handshaken);
        EXPECT_EQ(radio.Memory(), memory);
    }
}

TEST(SimRadio, PcSilenceCountsFromTheRadiosLastAnswer) {
    const RadioImage memory = Pattern(7);
    for (const bool answerLate : {false, true}) {
        SimRadio radio(memory);
        Pc pc(radio);
        ASSERT_EQ(pc.Send(Handshake()), kHandshakeAcks);
        // A simulator held off by a busy machine sends its ACKs late: the PC's pause before
        // the identification request runs from then.
        pc.Wait(SimRadio::kFrameTimeout / 2);
        if (answerLate) {
            radio.Spoke(pc.Now());
        }
        pc.Wait(SimRadio::kFrameTimeout * 3 / 4);
        EXPECT_EQ(pc.Send(proto::kIdentRequest).empty(), !answerLate) << answerLate;
    }
}
