// Each fault of the radio model, at the place of the exchange where the PC notices it.
#include <gtest/gtest.h>

#include "SimPc.h"

using namespace simtest;

namespace {

const Bytes kAck = {proto::kAck};

Faults Parsed(std::string_view items) {
    Faults faults;
    const std::string why = AddFault(faults, items);
    EXPECT_EQ(why, "") << items;
    return faults;
}

Bytes Enter(Pc& pc) {
    Bytes all = pc.Send(Handshake());
    for (const std::uint8_t byte : {proto::kIdentRequest, proto::kAck}) {
        const Bytes part = pc.Send(byte);
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A whole read session: the answers to each read command and to each ACK after it.
struct ReadAnswers {
    std::vector<Bytes> replies;
    std::vector<Bytes> acks;
};

ReadAnswers ReadAll(Pc& pc) {
    ReadAnswers answers;
    for (std::size_t address = 0; address < 0x400; address += 8) {
        answers.replies.push_back(pc.Send(ReadCommand(address)));
        answers.acks.push_back(pc.Send(proto::kAck));
    }
    return answers;
}

}  // namespace

TEST(SimFaults, SilentRadioNeverSendsAByte) {
    SimRadio radio(Pattern(1), Parsed("silent"));
    Pc pc(radio);
    EXPECT_TRUE(Enter(pc).empty());
    // Even a PC that carries on regardless gets nothing, and nothing is stored.
    EXPECT_TRUE(pc.Send(ReadCommand(0)).empty());
    EXPECT_TRUE(pc.Send(proto::kAck).empty());
    EXPECT_EQ(radio.BytesSent(), 0);
}

TEST(SimFaults, HandshakeSecondAnswersEveryOtherHandshake) {
    SimRadio radio(Pattern(1), Parsed("handshake-second"));
    Pc pc(radio);
    EXPECT_TRUE(pc.Send(Handshake()).empty());
    EXPECT_EQ(radio.phase(), SimRadio::Phase::Idle);
    EXPECT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    ASSERT_EQ(pc.Send(proto::kIdentRequest).size(), 8u);
    ASSERT_EQ(pc.Send(proto::kAck), kAck);
    // The PC's next run meets the same radio.
    EXPECT_TRUE(pc.Send(Handshake()).empty());
    EXPECT_EQ(pc.Send(Handshake()), kHandshakeAcks);
}

TEST(SimFaults, NoConfirmAckLeavesTheConfirmationUnansweredEveryTime) {
    const RadioImage memory = Pattern(1);
    SimRadio radio(memory, Parsed("no-confirm-ack"));
    Pc pc(radio);
    EXPECT_EQ(Enter(pc).size(), 2u + 8u) << "the handshake's ACKs and the identification only";
    EXPECT_TRUE(pc.Send(ReadCommand(0)).empty()) << "no session without the confirmation";
    // A retry goes as far again and no further.
    EXPECT_EQ(Enter(pc).size(), 10u);
    EXPECT_EQ(radio.phase(), SimRadio::Phase::Identified);
}

TEST(SimFaults, ShortReplyCutsOnlyTheChosenBlock) {
    const RadioImage memory = Pattern(2);
    for (const int n : {9, 10, 11}) {
        SimRadio radio(memory, Parsed("short-reply=8:" + std::to_string(n)));
        Pc pc(radio);
        Enter(pc);
        const ReadAnswers answers = ReadAll(pc);
        for (std::size_t block = 0; block < 128; ++block) {
            const std::size_t want = block == 8 ? static_cast<std::size_t>(n) : 12u;
            ASSERT_EQ(answers.replies[block].size(), want) << "N " << n << " block " << block;
            ASSERT_EQ(answers.acks[block], kAck) << "N " << n << " block " << block;
        }
        // What does arrive of the short reply is the beginning of the right one.
        EXPECT_EQ(Bytes(answers.replies[8].begin() + 4, answers.replies[8].end()),
                  MemoryAt(memory, 0x40, static_cast<std::size_t>(n) - 4));
    }
    EXPECT_EQ(Parsed("short-reply=3").shortReply.at(3), 9) << "9 bytes unless told otherwise";
}

TEST(SimFaults, NoReadAckSilencesOnlyTheAckOfItsBlock) {
    SimRadio radio(Pattern(3), Parsed("no-read-ack=127,no-read-ack=0"));
    Pc pc(radio);
    Enter(pc);
    const ReadAnswers answers = ReadAll(pc);
    for (std::size_t block = 0; block < 128; ++block) {
        EXPECT_EQ(answers.replies[block].size(), 12u) << "block " << block;
        EXPECT_EQ(answers.acks[block], block == 0 || block == 127 ? Bytes{} : kAck)
            << "block " << block;
    }
    EXPECT_EQ(radio.CompletedReads(), 0);
}

TEST(SimFaults, NoWriteAckRefusesTheChosenBlockAndStoresTheOthers) {
    const RadioImage before = Pattern(4);
    const RadioImage sent = Pattern(77);
    SimRadio radio(before, Parsed("no-write-ack=5"));
    Pc pc(radio);
    Enter(pc);
    for (std::size_t address = 0; address < 0x3D8; address += 8) {
        EXPECT_EQ(pc.Send(WriteCommand(address, sent)), address == 0x28 ? Bytes{} : kAck)
            << "address " << address;
    }
    EXPECT_EQ(MemoryAt(radio.Memory(), 0x28), MemoryAt(before, 0x28));
    EXPECT_EQ(MemoryAt(radio.Memory(), 0x20), MemoryAt(sent, 0x20));
    EXPECT_EQ(MemoryAt(radio.Memory(), 0x30), MemoryAt(sent, 0x30));
    EXPECT_EQ(radio.CompletedWrites(), 0);
}

TEST(SimFaults, DropAfterCutsTheLineAtExactlyThatByte) {
    const RadioImage memory = Pattern(5);
    // ACKs 2 + identification 8 + ACK 1 = 11 bytes, then the first read reply's 12.
    SimRadio radio(memory, Parsed("drop-after=16"));
    Pc pc(radio);
    EXPECT_EQ(Enter(pc).size(), 11u);
    const Bytes reply = pc.Send(ReadCommand(0));
    EXPECT_EQ(reply.size(), 5u);
    EXPECT_EQ(Bytes(reply.begin() + 4, reply.end()), MemoryAt(memory, 0, 1));
    EXPECT_TRUE(pc.Send(proto::kAck).empty());
    EXPECT_TRUE(Enter(pc).empty()) << "the line stays dead";
    EXPECT_EQ(radio.BytesSent(), 16);
}

TEST(SimFaults, GarbageGoesBeforeEveryAck) {
    const RadioImage memory = Pattern(6);
    for (const int k : {1, 3}) {
        SimRadio radio(memory, Parsed("garbage=" + std::to_string(k)));
        Pc pc(radio);
        Bytes noisyAck(static_cast<std::size_t>(k), 0xFF);
        noisyAck.push_back(proto::kAck);
        Bytes noisyHandshake = noisyAck;
        noisyHandshake.insert(noisyHandshake.end(), noisyAck.begin(), noisyAck.end());
        EXPECT_EQ(pc.Send(Handshake()), noisyHandshake) << "handshake, k " << k;
        EXPECT_EQ(pc.Send(proto::kIdentRequest), MemoryAt(memory, 0x3D0)) << "not an ACK";
        EXPECT_EQ(pc.Send(proto::kAck), noisyAck) << "confirmation, k " << k;
        EXPECT_EQ(pc.Send(ReadCommand(0x10)).size(), 12u) << "not an ACK";
        EXPECT_EQ(pc.Send(proto::kAck), noisyAck) << "read, k " << k;
        EXPECT_EQ(pc.Send(WriteCommand(0x10, memory)), noisyAck) << "write, k " << k;
    }
    EXPECT_EQ(Parsed("garbage").garbage, 1);
}

TEST(SimFaults, FaultNamesAndValuesAreCheckedWhenParsed) {
    const Faults several = Parsed("silent,no-write-ack=122,drop-after=0,short-reply=127:11");
    EXPECT_TRUE(several.silent);
    EXPECT_EQ(several.noWriteAck, std::set<int>{122});
    EXPECT_EQ(several.dropAfter, 0);
    EXPECT_EQ(several.shortReply, (std::map<int, int>{{127, 11}}));

    for (const char* bad :
         {"", "loud", "silent=1", "short-reply", "short-reply=128", "short-reply=1:12",
          "short-reply=1:8", "short-reply=1:", "no-read-ack=-1", "no-read-ack=x",
          "no-write-ack=123", "drop-after", "drop-after=1e3", "garbage=0",
          "garbage=", "handshake-second=2", "silent,,"}) {
        Faults faults;
        EXPECT_NE(AddFault(faults, bad), "") << '"' << bad << '"';
    }
}
