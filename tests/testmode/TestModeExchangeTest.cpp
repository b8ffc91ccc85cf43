// The test mode exchange against a scripted radio: the exact trace of a complete exchange,
// the blocks each request produces, and how every missing answer ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "ExpectTrace.h"
#include "RadioTexts.h"
#include "TestModeExchange.h"
#include "TestModeFakes.h"

namespace {

const std::string kAsk = "ask " + std::string(kMsgTestError);
const std::string kFinished = "message! " + std::string(kMsgTestFinished);
const std::string kIdent = "4B 56 54 33 31 30 58 00";

// Squelch Level 160 at 450/470 MHz with both tones "OFF".
const std::string kSquelchFrequencies = "00 00 00 45 00 00 00 47";
const std::string kSquelchTones = "00 00 00 00 FB 01 01 A0";

TestModeRequest SquelchRequest() {
    return {TestItem::SquelchLevel, 45000000, 47000000, "OFF", "OFF", 160};
}

// The pause and the seven handshake bytes, up to the purge before the first receive.
Events Handshake() {
    Events e = {"sleep 500"};
    for (const char* byte : {"02", "50", "52", "4F", "47", "52", "41"}) {
        e.insert(e.end(), {"purge", std::string("send ") + byte, "sleep 1"});
    }
    e.push_back("purge");
    return e;
}

// Everything after the handshake's ACK, up to the last H.
Events AfterHandshake(const std::string& letter, const std::string& frequencies,
                      const std::string& tones, const std::string& ident = kIdent) {
    return {"sleep 1",
            "purge",
            "send 4D",
            "sleep 1",
            "purge",
            "send 02",
            "purge",
            "recv 8 -> " + ident,
            "sleep 1",
            "purge",
            "send 06",
            "purge",
            "recv 1 -> 06",
            "purge",
            "sleep 1",
            "send 78",
            "sleep 1",
            "purge",
            "send " + letter,
            "sleep 1",
            "purge",
            "send " + letter + " 08",
            "purge",
            "recv 1 -> 48",
            "sleep 1",
            "purge",
            "send " + frequencies,
            "purge",
            "recv 1 -> 48",
            "sleep 1",
            "purge",
            "send " + tones,
            "purge",
            "recv 1 -> 48"};
}

Events Attempt(const std::string& letter = "73",
               const std::string& frequencies = kSquelchFrequencies,
               const std::string& tones = kSquelchTones) {
    Events e = Handshake();
    e.push_back("recv 1 -> 06");
    const Events rest = AfterHandshake(letter, frequencies, tones);
    e.insert(e.end(), rest.begin(), rest.end());
    return e;
}

// The events of `all` up to and including the first one equal to `last`.
Events UpTo(const Events& all, const std::string& last) {
    const auto at = std::find(all.begin(), all.end(), last);
    EXPECT_NE(at, all.end()) << last;
    return Events(all.begin(), at == all.end() ? at : at + 1);
}

Events Join(std::initializer_list<Events> parts) {
    Events all;
    for (const Events& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class TestModeRun : public testing::Test {
protected:
    Result<TestModeEnd> Run(const TestModeRequest& request = SquelchRequest()) {
        return RunTestMode(radio, hooks, "COM2", request);
    }

    Trace trace;
    CScriptedTestRadio radio{trace};
    CTestHookRecorder hooks{trace};
};

}  // namespace

TEST_F(TestModeRun, CompleteExchangeSendsEveryByteInOrderAndClosesBeforeTheBox) {
    const Result<TestModeEnd> result = Run();

    ExpectTrace(trace.events, Join({{"open COM2", "purge"}, Attempt(), {"close", kFinished}}));
    EXPECT_EQ(result.end, TestModeEnd::Finished);
    EXPECT_EQ(result.message, kMsgTestFinished);
    EXPECT_EQ(radio.openedName, "COM2");
    EXPECT_EQ(radio.openedTimeouts, kTestTimeouts);
    EXPECT_EQ(radio.closes, 1);
}

TEST_F(TestModeRun, BlocksCarryTheItemFrequenciesTonesAndValue) {
    struct Case {
        TestModeRequest request;
        const char* letter;
        const char* frequencies;
        const char* tones;
    };
    const Case cases[] = {
        {{TestItem::TxFrequency, 46256250, 46756250, "67.0", "254.1", 91},
         "71",
         "50 62 25 46 50 62 75 46",
         "70 06 41 25 FB 01 01 5B"},
        // DCS codes have no leading number: sent as 00 00, like "OFF".
        {{TestItem::LowPowerVoltage, 45000625, 46999375, "D023N", "D754I", 38},
         "72",
         "25 06 00 45 75 93 99 46",
         "00 00 00 00 FB 01 01 26"},
        {SquelchRequest(), "73", kSquelchFrequencies.c_str(), kSquelchTones.c_str()},
        // Only the value's low 8 bits go out; a frequency without room in eight digits is
        // sent as the largest that has, never as wrapped digits; none at all is 00s.
        {{TestItem::TxPower, 0, 100000000, "OFF", "100.0", 256 + 47},
         "74",
         "00 00 00 00 99 99 99 99",
         "00 00 00 10 FB 01 01 2F"},
        {{TestItem::TxPower, 4294967295u, 46000000, "OFF", "OFF", 255},
         "74",
         "99 99 99 99 00 00 00 46",
         "00 00 00 00 FB 01 01 FF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "letter " << c.letter << ", " << c.frequencies);
        Trace caseTrace;
        CScriptedTestRadio caseRadio(caseTrace);
        CTestHookRecorder caseHooks(caseTrace);
        EXPECT_EQ(RunTestMode(caseRadio, caseHooks, "COM1", c.request).end, TestModeEnd::Finished);
        ExpectTrace(caseTrace.events, Join({{"open COM1", "purge"},
                                            Attempt(c.letter, c.frequencies, c.tones),
                                            {"close", kFinished}}));
    }
}

TEST_F(TestModeRun, SilentRadioGetsTheBoxAfterTwoReceivesAndCancelClosesOnce) {
    radio.handshakeReply = {};
    const Result<TestModeEnd> result = Run();

    ExpectTrace(trace.events, Join({{"open COM2", "purge"},
                                    Handshake(),
                                    {"recv 1 -> none", "purge", "recv 1 -> none", kAsk, "close"}}));
    // 500 ms pause, seven 1 ms pauses, two receives of 50 x 1 + 50 ms.
    EXPECT_EQ(hooks.askedAt, std::vector<long long>{707});
    EXPECT_EQ(result.end, TestModeEnd::Cancelled);
    EXPECT_EQ(result.message, kMsgTestError);
    EXPECT_EQ(radio.closes, 1);
}

TEST_F(TestModeRun, AnswerThatStopsAfterTheFirstHFailsAtTheFrequencyBlock) {
    radio.answeredBlocks = {1};
    const Result<TestModeEnd> result = Run();

    const Events attempt = Attempt();
    ExpectTrace(trace.events, Join({{"open COM2", "purge"},
                                    UpTo(attempt, "send " + kSquelchFrequencies),
                                    {"purge", "recv 1 -> none", kAsk, "close"}}));
    EXPECT_EQ(result.end, TestModeEnd::Cancelled);
    EXPECT_EQ(radio.closes, 1);
}

TEST_F(TestModeRun, RetryStartsOverWithTheSameHandshakeWhereverTheAttemptFailed) {
    // The H missing after the command, after the frequency block, after the tone block.
    const std::string lastSent[] = {"send 73 08", "send " + kSquelchFrequencies,
                                    "send " + kSquelchTones};
    for (int answered = 0; answered < 3; ++answered) {
        SCOPED_TRACE(testing::Message() << answered << " blocks answered");
        Trace caseTrace;
        CScriptedTestRadio caseRadio(caseTrace);
        CTestHookRecorder caseHooks(caseTrace);
        caseRadio.answeredBlocks = {answered};
        caseHooks.answers = {RetryAnswer::Retry};

        const Result<TestModeEnd> result =
            RunTestMode(caseRadio, caseHooks, "COM3", SquelchRequest());

        ExpectTrace(caseTrace.events, Join({{"open COM3", "purge"},
                                            UpTo(Attempt(), lastSent[answered]),
                                            {"purge", "recv 1 -> none", kAsk},
                                            Attempt(),
                                            {"close", kFinished}}));
        EXPECT_EQ(result.end, TestModeEnd::Finished);
        EXPECT_EQ(caseRadio.opens, 1) << "the port is not reopened for a retry";
        EXPECT_EQ(caseRadio.closes, 1);
    }
}

TEST_F(TestModeRun, HandshakeAckCountsAsTheFirstOrTheSecondByteOnly) {
    struct Case {
        std::vector<Bytes> reply;  // one part per receive
        Events receives;
        bool passes;
    };
    const Case cases[] = {
        {{{0x15}, {0x06}}, {"recv 1 -> 15", "purge", "recv 1 -> 06"}, true},
        {{{}, {0x06}}, {"recv 1 -> none", "purge", "recv 1 -> 06"}, true},
        {{{0x15}, {0x15}}, {"recv 1 -> 15", "purge", "recv 1 -> 15"}, false},
        // The ACK right behind another byte is thrown away by the purge between the reads.
        {{{0x15, 0x06}}, {"recv 1 -> 15", "purge", "recv 1 -> none"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.receives.front() << ", " << c.receives.back());
        Trace caseTrace;
        CScriptedTestRadio caseRadio(caseTrace);
        CTestHookRecorder caseHooks(caseTrace);
        caseRadio.handshakeReply = c.reply;

        const Result<TestModeEnd> result =
            RunTestMode(caseRadio, caseHooks, "COM1", SquelchRequest());

        const Events tail = c.passes
                                ? Join({AfterHandshake("73", kSquelchFrequencies, kSquelchTones),
                                        {"close", kFinished}})
                                : Events{kAsk, "close"};
        ExpectTrace(caseTrace.events,
                    Join({{"open COM1", "purge"}, Handshake(), c.receives, tail}));
        EXPECT_EQ(result.end, c.passes ? TestModeEnd::Finished : TestModeEnd::Cancelled);
    }
}

TEST_F(TestModeRun, IdentificationIsReadButOnlyAFailedReceiveCallCounts) {
    // No identification at all, and one longer than the receive: both pass, the extra
    // byte being purged before the confirmation is read.
    for (const Bytes& ident : {Bytes{}, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}}) {
        Trace caseTrace;
        CScriptedTestRadio caseRadio(caseTrace);
        CTestHookRecorder caseHooks(caseTrace);
        caseRadio.identification = ident;
        EXPECT_EQ(RunTestMode(caseRadio, caseHooks, "COM1", SquelchRequest()).end,
                  TestModeEnd::Finished)
            << ident.size() << " identification bytes";
        const std::string got = ident.empty() ? "none" : "01 02 03 04 05 06 07 08";
        EXPECT_NE(std::find(caseTrace.events.begin(), caseTrace.events.end(), "recv 8 -> " + got),
                  caseTrace.events.end());
    }

    // The second receive is the identification's: a failing call there is an error.
    radio.failingReceive = 2;
    const Result<TestModeEnd> result = Run();
    const Events attempt = Attempt();
    ExpectTrace(trace.events,
                Join({{"open COM2", "purge"},
                      UpTo(attempt, "send 4D"),
                      {"sleep 1", "purge", "send 02", "purge", "recv 8 fails", kAsk, "close"}}));
    EXPECT_EQ(result.end, TestModeEnd::Cancelled);
}

TEST_F(TestModeRun, FailedHandshakeReceiveCallEndsTheAttemptWithoutASecondRead) {
    radio.failingReceive = 1;
    Run();
    ExpectTrace(trace.events,
                Join({{"open COM2", "purge"}, Handshake(), {"recv 1 fails", kAsk, "close"}}));
}

TEST_F(TestModeRun, PortThatCannotBeOpenedShowsTheOpenMessageAndSendsNothing) {
    radio.refuseOpen = "/dev/ttyUSB1: Device or resource busy";
    const Result<TestModeEnd> result = Run();

    const std::string text = OpenFailedText(radio.refuseOpen);
    ExpectTrace(trace.events, {"open COM2", "message! " + text});
    EXPECT_TRUE(text.starts_with(kMsgOpenFailed));
    EXPECT_EQ(result.end, TestModeEnd::OpenFailed);
    EXPECT_EQ(result.message, text);
    EXPECT_TRUE(radio.sent.empty());
    EXPECT_EQ(radio.closes, 0);
}

TEST_F(TestModeRun, PortIsClosedWhenTheProgramAroundTheExchangeThrows) {
    radio.handshakeReply = {};
    hooks.throwOnAsk = true;
    EXPECT_THROW(Run(), std::runtime_error);
    EXPECT_EQ(radio.closes, 1);
    EXPECT_FALSE(radio.IsOpen());
}
