// The radio model answering the test mode exchange, and the test mode's faults.
#include <gtest/gtest.h>

#include "SimPc.h"
#include "TestModeBytes.h"

using namespace simtest;

namespace {

const Bytes kAck = {proto::kAck};
const Bytes kH = {proto::kTaken};
const Bytes kProgra = {0x02, 'P', 'R', 'O', 'G', 'R', 'A'};
const Bytes kFrequencies450470 = {0x00, 0x00, 0x00, 0x45, 0x00, 0x00, 0x00, 0x47};
const Bytes kTonesOffValue160 = {0x00, 0x00, 0x00, 0x00, 0xFB, 0x01, 0x01, 0xA0};

Faults Parsed(std::string_view items) {
    Faults faults;
    EXPECT_EQ(AddFault(faults, items), "") << items;
    return faults;
}

// What the radio answers to each part of a test exchange, the PC going on regardless.
struct TestAnswers {
    Bytes progra, m, ident, confirm, command, frequencies, tones;
};

TestAnswers RunTest(Pc& pc, std::uint8_t letter = 's',
                    const Bytes& frequencies = kFrequencies450470,
                    const Bytes& tones = kTonesOffValue160) {
    TestAnswers a;
    a.progra = pc.Send(kProgra);
    a.m = pc.Send('M');
    a.ident = pc.Send(proto::kIdentRequest);
    a.confirm = pc.Send(proto::kAck);
    Bytes command = pc.Send({proto::kTestCommand, letter});
    const Bytes rest = pc.Send({letter, proto::kTestLength});
    command.insert(command.end(), rest.begin(), rest.end());
    a.command = command;
    a.frequencies = pc.Send(frequencies);
    a.tones = pc.Send(tones);
    return a;
}

}  // namespace

TEST(SimTestMode, ExchangeIsTakenPartByPartNotedAndLeavesTheMemoryAlone) {
    const RadioImage memory = Pattern(7);
    SimRadio radio(memory);
    Pc pc(radio);

    const TestAnswers a = RunTest(pc);
    EXPECT_EQ(a.progra, kAck) << "the test mode waits for this ACK before its 'M'";
    EXPECT_EQ(a.m, kAck);
    EXPECT_EQ(a.ident, MemoryAt(memory, 0x3D0));
    EXPECT_EQ(a.confirm, kAck);
    EXPECT_EQ(a.command, kH);
    EXPECT_EQ(a.frequencies, kH);
    EXPECT_EQ(a.tones, kH);

    EXPECT_EQ(radio.TakeNotes(),
              (std::vector<std::string>{
                  "test command 73 73 08: Squelch Level",
                  "test frequencies 00 00 00 45 00 00 00 47: rx 450.00000 MHz, tx 470.00000 MHz",
                  "test tones and value 00 00 00 00 FB 01 01 A0: rx tone OFF, tx tone OFF, "
                  "value 160"}));
    EXPECT_TRUE(radio.TakeNotes().empty()) << "each note is handed out once";
    EXPECT_EQ(radio.CompletedTests(), 1);
    EXPECT_EQ(radio.CompletedReads() + radio.CompletedWrites(), 0);
    EXPECT_EQ(radio.Memory(), memory);
    // The session goes on: a read is served, and the next Start's handshake is heard.
    EXPECT_EQ(radio.phase(), SimRadio::Phase::Ready);
    EXPECT_EQ(pc.Send(ReadCommand(0x3D0)).size(), 12u);
    EXPECT_EQ(RunTest(pc, 't').tones, kH);
    EXPECT_EQ(radio.CompletedTests(), 2);
}

TEST(SimTestMode, NotesDecodeEveryItemToneAndFlagWhatIsNotBcd) {
    EXPECT_EQ(DescribeTestCommand(Bytes{'q', 'q', 8}), "test command 71 71 08: TX Frequency");
    EXPECT_EQ(DescribeTestCommand(Bytes{'r', 'r', 8}), "test command 72 72 08: Low Power Voltage");
    EXPECT_EQ(DescribeTestCommand(Bytes{'t', 't', 8}), "test command 74 74 08: TX Power");
    EXPECT_EQ(DescribeTestCommand(Bytes{'z', 'z', 8}), "test command 7A 7A 08: (unknown item)");
    EXPECT_EQ(DescribeFrequencyBlock(Bytes{0x50, 0x62, 0x25, 0x46, 0x5A, 0x62, 0x75, 0x46}),
              "test frequencies 50 62 25 46 5A 62 75 46: rx 462.56250 MHz, tx (not BCD)");
    EXPECT_EQ(DescribeToneBlock(Bytes{0x70, 0x06, 0x41, 0x25, 0xFB, 0x01, 0x01, 0x5B}),
              "test tones and value 70 06 41 25 FB 01 01 5B: rx tone 67.0, tx tone 254.1, "
              "value 91");
    EXPECT_EQ(DescribeToneBlock(Bytes{0x00, 0x00, 0x0F, 0x00, 0xFB, 0x00, 0x01, 0xFF}),
              "test tones and value 00 00 0F 00 FB 00 01 FF: rx tone OFF, tx tone (not BCD), "
              "value 255 (bytes 4-6 are not FB 01 01)");
}

TEST(SimTestMode, BlockBytesAreDataEvenWhenTheySpellTheHandshake) {
    SimRadio radio(Pattern(1));
    Pc pc(radio);
    const Bytes handshake = Handshake();
    const TestAnswers a = RunTest(pc, 'q', handshake, Bytes(8, 0x02));
    EXPECT_EQ(a.frequencies, kH) << "no ACK from inside a block";
    EXPECT_EQ(a.tones, kH);
    EXPECT_EQ(radio.CompletedTests(), 1);
}

TEST(SimTestMode, OnlyAWellFormedCommandInAConfirmedSessionIsTaken) {
    SimRadio radio(Pattern(2));
    Pc pc(radio);
    // Before the confirmation, 'x' means nothing.
    ASSERT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    EXPECT_TRUE(pc.Send({'x', 's', 's', 0x08}).empty());
    EXPECT_EQ(radio.phase(), SimRadio::Phase::Handshaken);
    ASSERT_EQ(pc.Send(proto::kIdentRequest).size(), 8u);
    ASSERT_EQ(pc.Send(proto::kAck), kAck);
    // An unknown letter, two different letters, a length other than 8: no H, and the radio
    // is ready for the next command.
    for (const Bytes& bad :
         {Bytes{'x', 'z', 'z', 8}, Bytes{'x', 'q', 'r', 8}, Bytes{'x', 's', 's', 7}}) {
        EXPECT_TRUE(pc.Send(bad).empty()) << bad[1] << bad[2] << int(bad[3]);
        EXPECT_EQ(radio.phase(), SimRadio::Phase::Ready);
    }
    EXPECT_EQ(pc.Send({'x', 'r', 'r', 8}), kH);
    EXPECT_EQ(radio.TakeNotes().size(), 4u) << "refused commands are noted too";
}

TEST(SimTestMode, ExchangeLeftForAWhileIsDroppedAndTheHandshakeHeardAgain) {
    SimRadio radio(Pattern(3));
    Pc pc(radio);
    ASSERT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    ASSERT_EQ(pc.Send(proto::kIdentRequest).size(), 8u);
    ASSERT_EQ(pc.Send(proto::kAck), kAck);
    ASSERT_EQ(pc.Send({'x', 's', 's', 8}), kH);
    ASSERT_TRUE(pc.Send({0x00, 0x00, 0x00}).empty()) << "half a frequency block";
    pc.Wait(SimRadio::kFrameTimeout);
    EXPECT_EQ(pc.Send(Handshake()), kHandshakeAcks);
    EXPECT_EQ(radio.CompletedTests(), 0);
}

TEST(SimTestMode, TestNoHWithholdsOnlyTheChosenPartAndTheRetryIsServed) {
    for (int k = 1; k <= 3; ++k) {
        SCOPED_TRACE(testing::Message() << "test-no-h=" << k);
        SimRadio radio(Pattern(4), Parsed("test-no-h=" + std::to_string(k)));
        Pc pc(radio);
        const TestAnswers a = RunTest(pc);
        const Bytes* parts[] = {&a.command, &a.frequencies, &a.tones};
        for (int part = 1; part < k; ++part) {
            EXPECT_EQ(*parts[part - 1], kH) << "part " << part;
        }
        EXPECT_TRUE(parts[k - 1]->empty()) << "part " << k;
        EXPECT_EQ(radio.CompletedTests(), 0);
        const std::vector<std::string> notes = radio.TakeNotes();
        ASSERT_EQ(notes.size(), static_cast<std::size_t>(k + 1));
        EXPECT_EQ(notes.back(), "no H: fault test-no-h=" + std::to_string(k));
        // The PC's retry comes before a frame time-out, and is heard all the same.
        pc.Wait(std::chrono::milliseconds(600));
        EXPECT_EQ(RunTest(pc).progra, kAck);
    }
    for (const char* bad : {"test-no-h", "test-no-h=0", "test-no-h=4", "test-no-h=1x"}) {
        Faults faults;
        EXPECT_NE(AddFault(faults, bad), "") << bad;
    }
}

TEST(SimTestMode, CloneFaultsStopTheTestExchangeWhereThePcNoticesThem) {
    {
        SimRadio radio(Pattern(5), Parsed("silent"));
        Pc pc(radio);
        EXPECT_TRUE(RunTest(pc).progra.empty());
        EXPECT_EQ(radio.BytesSent(), 0);
    }
    {
        SimRadio radio(Pattern(5), Parsed("no-confirm-ack"));
        Pc pc(radio);
        const TestAnswers a = RunTest(pc);
        EXPECT_EQ(a.ident.size(), 8u);
        EXPECT_TRUE(a.confirm.empty());
        EXPECT_TRUE(a.command.empty()) << "no session, so no test command";
    }
    {
        // A test mode PC whose handshake is ignored never sends its 'M'; that handshake
        // still counts, so its retry is answered.
        SimRadio radio(Pattern(5), Parsed("handshake-second"));
        Pc pc(radio);
        EXPECT_TRUE(pc.Send(kProgra).empty());
        pc.Wait(std::chrono::milliseconds(700));
        EXPECT_EQ(RunTest(pc).tones, kH);
    }
}
