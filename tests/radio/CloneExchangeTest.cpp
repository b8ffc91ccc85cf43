// The clone run against a scripted radio: the exact trace of complete runs, and how every
// fault ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "CloneExchange.h"
#include "CloneFakes.h"
#include "ExpectTrace.h"
#include "HexText.h"
#include "RadioTexts.h"

namespace {

void Repeat(Events& e, int times, std::initializer_list<std::string> items) {
    for (int i = 0; i < times; ++i) {
        e.insert(e.end(), items);
    }
}

std::string Status(std::string_view text) {
    return "status " + std::string(text);
}

void Attempt(Events& e, std::initializer_list<std::string> receives) {
    e.insert(e.end(), {"purge", Status(kStatusWaiting)});
    Repeat(e, 12, {"pump", "check", "sleep 1"});
    e.push_back("purge abort");
    for (const char* byte : {"02", "50", "52", "4F", "47", "52", "41", "4D"}) {
        e.insert(e.end(), {"purge", std::string("send ") + byte});
    }
    e.insert(e.end(), receives);
}

void SilentAttempt(Events& e) {
    Attempt(e, {"recv 1 -> 0", "recv 1 -> 0", "sleep 1"});
}

void IntoProgrammingMode(Events& e) {
    Attempt(e, {"recv 1 -> 1"});
    e.insert(e.end(), {"sleep 2", "purge", "recv 1 -> 0", "purge", "send 02", "recv 8 -> 8"});
    Repeat(e, 16, {"pump", "check", "sleep 1"});
    e.insert(e.end(), {"purge", "send 06", "recv 1 -> 1"});
}

std::string Address(int block) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(block * 8 >> 8),
                                  static_cast<std::uint8_t>(block * 8 & 0xFF)};
    return HexBytes(bytes);
}

void ReadBlock(Events& e, int block) {
    e.insert(e.end(), {"purge", "send 52 " + Address(block) + " 08", "recv 12 -> 12", "purge"});
    if (block < 123) {
        e.insert(e.end(),
                 {"progress " + std::to_string(block + 1), Status(std::to_string(block + 1))});
    }
    e.insert(e.end(), {"sleep 10", "purge", "send 06", "recv 1 -> 1"});
    Repeat(e, 199, {"pump", "check"});
    e.push_back("sleep 10");
}

void WriteBlock(Events& e, int block, const RadioImage& image) {
    e.insert(e.end(), {"purge", "send 57 " + Address(block) + " 08", "sleep 1", "purge",
                       "send " + HexBytes(std::span(image.data() + block * 8, 8)), "recv 1 -> 1"});
    if (block < 122) {
        e.insert(e.end(),
                 {"progress " + std::to_string(block + 1), Status(std::to_string(block + 1))});
    }
    Repeat(e, 201, {"check", "pump"});
    e.push_back("sleep 2");
}

long Count(const Events& events, std::string_view prefix) {
    return std::count_if(events.begin(), events.end(),
                         [&](const std::string& e) { return e.starts_with(prefix); });
}

// An image the radio never holds, so that any byte the run puts into it shows.
RadioImage CallerImage() {
    RadioImage image;
    for (std::size_t a = 0; a < RadioImage::size(); ++a) {
        image[a] = static_cast<std::uint8_t>(a * 11 + 5);
    }
    return image;
}

class Clone : public testing::Test {
protected:
    Result<CloneEnd> Run(CloneDirection direction, const std::string& port = "COM1") {
        return RunClone(radio, hooks, port, direction, image);
    }
    const Events& events() const { return trace.events; }

    Trace trace;
    CScriptedRadio radio{trace};
    CHookRecorder hooks{trace};
    const RadioImage original = CallerImage();
    RadioImage image = original;
};

TEST_F(Clone, CompleteReadFollowsTheExactTraceAndTakesAllBytes) {
    const Result<CloneEnd> result = Run(CloneDirection::Read, "COM3");

    Events expected = {"open COM3", Status(kStatusDetecting)};
    IntoProgrammingMode(expected);
    expected.push_back("sleep 2");
    for (int block = 0; block < 128; ++block) {
        ReadBlock(expected, block);
    }
    expected.insert(expected.end(), {"close", "progress 123"});
    ExpectTrace(events(), expected);
    EXPECT_EQ(result.end, CloneEnd::Completed);
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(image, radio.memory);
    EXPECT_EQ(radio.openedTimeouts, kCloneTimeouts);
    EXPECT_EQ(radio.closes, 1);
}

TEST_F(Clone, CompleteWriteSendsBytesUpTo0x3D7AndLeavesTheRadioTail) {
    const RadioImage before = radio.memory;
    const Result<CloneEnd> result = Run(CloneDirection::Write);

    Events expected = {"open COM1", Status(kStatusDetecting)};
    IntoProgrammingMode(expected);
    expected.push_back("sleep 2");
    for (int block = 0; block < 123; ++block) {
        WriteBlock(expected, block, original);
    }
    expected.insert(expected.end(), {"close", "progress 123"});
    ExpectTrace(events(), expected);
    EXPECT_EQ(result.end, CloneEnd::Completed);
    for (std::size_t a = 0; a < RadioImage::size(); ++a) {
        ASSERT_EQ(radio.memory[a], a < 0x3D8 ? original[a] : before[a]) << "address " << a;
    }
    EXPECT_EQ(image, original);
    EXPECT_EQ(radio.closes, 1);
}

TEST_F(Clone, NoRadioGivesFifteenAttemptsOfAboutASecondThenTheErrorBox) {
    radio.handshakeReply = {};
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    Events expected = {"open COM1", Status(kStatusDetecting)};
    for (int i = 0; i < kCloneHandshakeAttempts; ++i) {
        SilentAttempt(expected);
    }
    expected.insert(expected.end(), {"ask " + std::string(kMsgCommunicationError), "close"});
    ExpectTrace(events(), expected);
    // 12 ms of pumping, two receives of 550 ms and 1 ms per attempt.
    ASSERT_EQ(hooks.askedAt.size(), 1u);
    EXPECT_EQ(hooks.askedAt[0], kCloneHandshakeAttempts * (12 + 2 * 550 + 1));
    EXPECT_EQ(result.end, CloneEnd::CommunicationError);
    EXPECT_EQ(result.message, kMsgCommunicationError);
    EXPECT_EQ(image, original);
}

TEST_F(Clone, RetryStartsTheAttemptsOverOnTheSameOpenPort) {
    radio.handshakeReplies.assign(kCloneHandshakeAttempts, {});
    hooks.answers = {RetryAnswer::Retry};
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    EXPECT_EQ(result.end, CloneEnd::Completed);
    EXPECT_EQ(Count(events(), "ask "), 1);
    EXPECT_EQ(Count(events(), "purge abort"), 16);
    EXPECT_EQ(Count(events(), Status(kStatusDetecting)), 1);
    EXPECT_EQ(radio.opens, 1);
    EXPECT_EQ(radio.closes, 1);
    EXPECT_EQ(image, radio.memory);
}

TEST_F(Clone, HandshakeTakesTheAckAsFirstOrSecondByteOnly) {
    radio.handshakeReplies = {{0x15, 0x15, 0x06}, {0x00, 0x06}};
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    EXPECT_EQ(result.end, CloneEnd::Completed);
    EXPECT_EQ(Count(events(), "purge abort"), 2);
}

TEST_F(Clone, IdentificationIsReadButNotExamined) {
    for (const std::vector<std::uint8_t>& identification :
         {std::vector<std::uint8_t>{},
          {0x15, 0x15, 0x15},
          {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}) {
        Trace log;
        CScriptedRadio other(log);
        CHookRecorder recorder(log);
        other.identification = identification;
        RadioImage read = original;
        EXPECT_TRUE(RunClone(other, recorder, "COM1", CloneDirection::Read, read).ok());
        EXPECT_EQ(read, other.memory);
    }
}

TEST_F(Clone, ConfirmationAnsweredOtherwiseWaits601PassesThenTheErrorBox) {
    for (const std::vector<std::uint8_t>& reply : {std::vector<std::uint8_t>{0x15}, {}}) {
        Trace log;
        CScriptedRadio other(log);
        CHookRecorder recorder(log);
        other.confirmReply = reply;
        RadioImage read = original;
        const Result<CloneEnd> result =
            RunClone(other, recorder, "COM1", CloneDirection::Read, read);

        Events tail = {reply.empty() ? "recv 1 -> 0" : "recv 1 -> 1"};
        Repeat(tail, 601, {"pump", "check", "sleep 1"});
        tail.insert(tail.end(), {"ask " + std::string(kMsgCommunicationError), "close"});
        ExpectTraceEnd(log.events, tail);
        EXPECT_EQ(result.end, CloneEnd::CommunicationError);
        EXPECT_EQ(read, original);
    }
}

TEST_F(Clone, FailedConfirmationReceiveGoesStraightToTheErrorBox) {
    radio.confirmReceiveFails = true;
    const Result<CloneEnd> result = Run(CloneDirection::Write);

    ExpectTraceEnd(events(), {"send 06", "recv 1 fails",
                              "ask " + std::string(kMsgCommunicationError), "close"});
    EXPECT_EQ(result.end, CloneEnd::CommunicationError);
}

TEST_F(Clone, FailedConfirmationSendIsRepeatedAfterItsBox) {
    radio.failingConfirmSends = 2;
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    const std::string box = "message! " + std::string(kMsgSendOrder);
    const Events expected = {"purge", "send 06 fails", box,       "purge",      "send 06 fails",
                             box,     "purge",         "send 06", "recv 1 -> 1"};
    const auto at = std::find(events().begin(), events().end(), "send 06 fails") - 1;
    ExpectTrace(Events(at, at + static_cast<long>(expected.size())), expected);
    EXPECT_EQ(result.end, CloneEnd::Completed);
}

TEST_F(Clone, ConfirmationGivesUpAfterThreeResends) {
    radio.failingConfirmSends = 100;
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    EXPECT_EQ(Count(events(), "send 06 fails"), 4);
    EXPECT_EQ(hooks.messages, Events(4, std::string(kMsgSendOrder)));
    ExpectTraceEnd(events(), {"message! " + std::string(kMsgSendOrder),
                              "ask " + std::string(kMsgCommunicationError), "close"});
    EXPECT_EQ(result.end, CloneEnd::CommunicationError);
}

// An ACK left over in an earlier answer must not pass for the radio's answer to a handshake.
TEST_F(Clone, StaleAckFromTheIdentificationNeverPassesAHandshake) {
    radio.identification = std::vector<std::uint8_t>(8, 0x06);
    radio.failingConfirmSends = 100;
    radio.handshakeReplies = {{0x06}};
    radio.handshakeReply = {};
    hooks.answers = {RetryAnswer::Retry};
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    EXPECT_EQ(Count(events(), "ask "), 2);
    EXPECT_EQ(Count(events(), "purge abort"), 16);
    EXPECT_EQ(result.end, CloneEnd::CommunicationError);
    EXPECT_EQ(image, original);
}

class CloneShortReply : public Clone, public testing::WithParamInterface<std::size_t> {};

TEST_P(CloneShortReply, EndsTheReadAndLeavesTheImageAsItWas) {
    radio.replyLength[8] = GetParam();
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    ExpectTraceEnd(events(), {"recv 12 -> " + std::to_string(GetParam()),
                              "message! " + std::string(kMsgShortReply), "close"});
    EXPECT_EQ(result.end, CloneEnd::ReadFailed);
    EXPECT_EQ(result.message, "not received enough  byte");
    EXPECT_EQ(Count(events(), "send 52 "), 9);
    EXPECT_EQ(image, original);
    EXPECT_EQ(radio.closes, 1);
}

INSTANTIATE_TEST_SUITE_P(Lengths, CloneShortReply, testing::Values(0u, 9u, 10u, 11u));

TEST_F(Clone, MissingAckAfterAReadBlockEndsTheRead) {
    radio.silentAfterReadAck = {5};
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    ExpectTraceEnd(events(), {"send 06", "recv 1 -> 0",
                              "message! " + std::string(kMsgTransferError), "close"});
    EXPECT_EQ(result.end, CloneEnd::ReadFailed);
    EXPECT_EQ(result.message, kMsgTransferError);
    EXPECT_EQ(image, original);
}

TEST_F(Clone, UnacknowledgedWriteBlockEndsTheWriteAtOnce) {
    radio.silentAfterWrite = {0};
    const Result<CloneEnd> result = Run(CloneDirection::Write);

    ExpectTraceEnd(events(), {"recv 1 -> 0", "message! " + std::string(kMsgTransferError), "close",
                              "progress 123"});
    EXPECT_EQ(Count(events(), "send 57 "), 1);
    EXPECT_EQ(result.end, CloneEnd::WriteFailed);
    EXPECT_EQ(radio.closes, 1);
}

TEST_F(Clone, CancelDuringTheHandshakeEndsAtTheNextCheckWithoutABox) {
    hooks.cancelAtCheck = 5;
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    ExpectTraceEnd(events(), {"pump", "check", "close"});
    EXPECT_EQ(Count(events(), "send"), 0);
    EXPECT_EQ(result.end, CloneEnd::Cancelled);
    EXPECT_TRUE(hooks.messages.empty());
    EXPECT_EQ(radio.closes, 1);
}

// 12 checks in the handshake and 16 after the identification come before the first block.
constexpr int kChecksBeforeTransfer = 12 + 16;

TEST_F(Clone, CancelDuringAReadStopsAfterTheAcknowledgedBlockAndKeepsTheImage) {
    hooks.cancelAtCheck = kChecksBeforeTransfer + 10 * 199 + 1;
    const Result<CloneEnd> result = Run(CloneDirection::Read);

    ExpectTraceEnd(events(), {"recv 1 -> 1", "pump", "check", "close"});
    EXPECT_EQ(Count(events(), "send 52 "), 11);
    EXPECT_EQ(result.end, CloneEnd::Cancelled);
    EXPECT_EQ(image, original);
}

TEST_F(Clone, CancelDuringAWriteStopsAfterTheAcknowledgedBlock) {
    const RadioImage before = radio.memory;
    hooks.cancelAtCheck = kChecksBeforeTransfer + 3 * 201 + 1;
    const Result<CloneEnd> result = Run(CloneDirection::Write);

    ExpectTraceEnd(events(), {"progress 4", "status 4", "check", "close"});
    EXPECT_EQ(result.end, CloneEnd::Cancelled);
    for (std::size_t a = 0; a < RadioImage::size(); ++a) {
        ASSERT_EQ(radio.memory[a], a < 32 ? original[a] : before[a]) << "address " << a;
    }
}

TEST_F(Clone, PortThatCannotBeOpenedShowsWhyAndSendsNothing) {
    radio.refuseOpen = "/dev/ttyUSB1: Device or resource busy";
    const Result<CloneEnd> result = Run(CloneDirection::Write, "COM2");

    const std::string text = std::string(kMsgOpenFailed) + "\n\n" + radio.refuseOpen;
    ExpectTrace(events(), {"open COM2", "message! " + text});
    EXPECT_EQ(result.end, CloneEnd::OpenFailed);
    EXPECT_EQ(result.message, text);
    EXPECT_EQ(radio.closes, 0);
}

TEST_F(Clone, WriteSendsTheImageAsItWasWhenTheRunStarted) {
    hooks.onPump = [this] { image.Fill(0x00); };
    ASSERT_TRUE(Run(CloneDirection::Write).ok());

    for (std::size_t a = 0; a < 0x3D8; ++a) {
        ASSERT_EQ(radio.memory[a], original[a]) << "address " << a;
    }
}

TEST_F(Clone, PortIsClosedOnceWhenTheProgramThrowsInsideTheRun) {
    int pumps = 0;
    hooks.onPump = [&pumps] {
        if (++pumps == 500) {
            throw std::runtime_error("window gone");
        }
    };
    EXPECT_THROW(Run(CloneDirection::Read), std::runtime_error);
    EXPECT_EQ(radio.closes, 1);
    EXPECT_EQ(image, original);
}

}  // namespace
