// The safe write over a scripted radio: nothing is written before the radio's old contents
// are on the disk, the radio's type is checked with or without a backup, and the program
// around may refuse a write at the last moment before a block goes out.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "Backups.h"
#include "CloneFakes.h"
#include "NewDocument.h"
#include "SafeWrite.h"
#include "SinFile.h"

namespace {

// The safe write's own questions, written into the trace with whether the port was open.
class CSafeWriteRecorder final : public CCloneRecorder<ISafeWriteHooks> {
public:
    CSafeWriteRecorder(Trace& trace, const IPort& port) : CCloneRecorder(trace), m_port(port) {}

    bool writeOtherType = false;
    Result<> beforeWriting;

    bool WriteOtherType(std::string_view radioType, std::string_view documentType) override {
        m_trace.Add("ask type " + std::string(radioType) + " / " + std::string(documentType) +
                    PortState());
        return writeOtherType;
    }
    RetryAnswer AskRetryCheck(std::string_view text) override {
        m_trace.Add("retry check");
        return AskRetryCancel(text);
    }
    RetryAnswer AskWriteAgain(std::string_view text) override {
        m_trace.Add("ask again " + std::string(text));
        return RetryAnswer::Cancel;
    }
    Result<> BeforeWriting() override {
        m_trace.Add("before writing" + PortState());
        return beforeWriting;
    }

private:
    std::string PortState() const { return m_port.IsOpen() ? ", port open" : ", port closed"; }
    const IPort& m_port;
};

bool IsWriteCommand(const std::string& event) {
    return event.starts_with("send 57 ") && event.ends_with(" 08") && event.size() == 16;
}

class SafeWrite : public ::testing::Test {
protected:
    SafeWrite() : m_oldData(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
        radio.memory[addr::kTypeDigit] = image[addr::kTypeDigit];
        options.source = "fresh.sin";
        options.checkHint = "compare it";
    }
    ~SafeWrite() override { qputenv("XDG_DATA_HOME", m_oldData); }

    Result<SafeWriteEnd> Run() {
        trace.events.clear();
        return RunSafeWrite(radio, hooks, "COM1", image, options, report);
    }
    long WriteCommands() const {
        return std::count_if(trace.events.begin(), trace.events.end(), IsWriteCommand);
    }
    long Events(const std::string& event) const {
        return std::count(trace.events.begin(), trace.events.end(), event);
    }
    // Where event first happens in the trace; the trace's end when it never does.
    std::ptrdiff_t Index(const std::function<bool(const std::string&)>& event) const {
        return std::find_if(trace.events.begin(), trace.events.end(), event) - trace.events.begin();
    }

    Trace trace;
    CScriptedRadio radio{trace};
    CSafeWriteRecorder hooks{trace, radio};
    const RadioImage image = NewDocumentImage(RadioType::T310X);
    SafeWriteOptions options;
    SafeWriteReport report;

private:
    QTemporaryDir m_data;
    QByteArray m_oldData;
};

TEST_F(SafeWrite, WithoutBackupTheIdentificationGuardsTheRadioType) {
    options.backup = false;
    options.verify = false;
    radio.memory = NewDocumentImage(RadioType::T520);
    const RadioImage held = radio.memory;

    // The session ends after the identification, and the question comes with the port closed.
    const Result<SafeWriteEnd> refused = Run();
    EXPECT_EQ(refused.end, SafeWriteEnd::OtherType);
    EXPECT_EQ(refused.message, "");
    EXPECT_EQ(WriteCommands(), 0);
    EXPECT_EQ(radio.memory, held);
    EXPECT_EQ(Events("ask type KV - T520 / KV - T310X, port closed"), 1);
    EXPECT_EQ(report.radioType, "KV - T520");
    EXPECT_FALSE(report.blockSent);

    // Yes writes, in a session of its own after the question.
    hooks.writeOtherType = true;
    EXPECT_EQ(Run().end, SafeWriteEnd::Done);
    EXPECT_EQ(WriteCommands(), kWriteBlocks);
    EXPECT_LT(Index([](const std::string& e) { return e.starts_with("ask type"); }),
              Index(IsWriteCommand));
    EXPECT_EQ(Events("before writing, port closed"), 2);  // before each session
    EXPECT_TRUE(std::equal(image.data(), image.data() + addr::kWriteEnd, radio.memory.data()));

    // An identification too short to tell the type is not guessed at.
    radio.memory = held;
    radio.identification = std::vector<std::uint8_t>{0x00, 0x00, 0xF0};
    const Result<SafeWriteEnd> unknown = Run();
    EXPECT_EQ(unknown.end, SafeWriteEnd::OtherType);
    EXPECT_EQ(unknown.message,
              "the radio's identification came short (3 of 8 bytes), so its type is unknown and "
              "nothing was written: check the cable and write again.");
    EXPECT_EQ(WriteCommands(), 0);
    EXPECT_EQ(Index([](const std::string& e) { return e.starts_with("ask type"); }),
              static_cast<std::ptrdiff_t>(trace.events.size()));
    EXPECT_EQ(report.radioType, "");
}

TEST_F(SafeWrite, TheProgramAroundMayRefuseTheWriteAfterTheBackup) {
    hooks.beforeWriting = Failure("the job log cannot be written");
    const Result<SafeWriteEnd> refused = Run();
    EXPECT_EQ(refused.end, SafeWriteEnd::Refused);
    EXPECT_EQ(refused.message, "the job log cannot be written");
    EXPECT_EQ(WriteCommands(), 0);
    EXPECT_FALSE(report.blockSent);
    // Asked once, after the backup session closed the port and before anything else opened it.
    EXPECT_EQ(Events("before writing, port closed"), 1);
    EXPECT_EQ(trace.events.back(), "before writing, port closed");
    EXPECT_TRUE(report.backedUp);
    EXPECT_FALSE(report.backupPath.empty());
}

TEST_F(SafeWrite, RetryInTheCheckChecksAgainAndWritesNothing) {
    // The radio answers the backup's and the write's handshakes, then no more.
    radio.handshakeReplies = {{0x06}, {0x06}};
    radio.handshakeReply = {};
    hooks.answers = {RetryAnswer::Retry};
    const Result<SafeWriteEnd> ended = Run();
    EXPECT_EQ(ended.end, SafeWriteEnd::NotChecked);
    EXPECT_EQ(WriteCommands(), kWriteBlocks);
    // Both boxes are the check's: Retry, then Cancel.
    EXPECT_EQ(Events("retry check"), 2);
    EXPECT_EQ(Index([](const std::string& e) { return e.starts_with("ask "); }),
              Index([](const std::string& e) { return e == "retry check"; }) + 1);
}

TEST_F(SafeWrite, AFirstBlockNeverAcknowledgedMayBeInTheRadio) {
    options.verify = false;
    options.restoreHint = [](const std::string&, const std::string& path) {
        return "with restore " + path;
    };
    radio.silentAfterWrite = {0};
    const Result<SafeWriteEnd> failed = Run();
    EXPECT_EQ(failed.end, SafeWriteEnd::WriteFailed);
    EXPECT_EQ(failed.message,
              "the write failed at the first block: the radio did not acknowledge it and may "
              "hold that block of fresh.sin, or part of it. Write it again, or restore the "
              "backup with restore " +
                  report.backupPath);
    EXPECT_TRUE(report.blockSent);
}

}  // namespace

// The backup folder blocked in a data folder of the test's own, as XDG_DATA_HOME moves it.
#ifndef _WIN32

namespace {

TEST_F(SafeWrite, NothingIsWrittenUntilTheBackupIsOnTheDisk) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(BackupFolder()).path()));
    QFile blocker(BackupFolder());  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const RadioImage held = radio.memory;

    const Result<SafeWriteEnd> refused = Run();
    EXPECT_EQ(refused.end, SafeWriteEnd::NotBackedUp);
    EXPECT_EQ(WriteCommands(), 0);
    EXPECT_EQ(radio.memory, held);
    EXPECT_EQ(Events("before writing, port closed"), 0);
    const std::string folder = '"' + BackupFolder().toStdString() + '"';
    EXPECT_EQ(refused.message,
              "the radio's backup could not be saved, so nothing was written: "
              "cannot create the backup folder " +
                  folder + ". Make " + folder +
                  " a folder you may write to, with room on its disk, then "
                  "write again.");

    // Once the folder can be written, the radio's old memory is there before the write.
    ASSERT_TRUE(blocker.remove());
    EXPECT_EQ(Run().end, SafeWriteEnd::Done);
    RadioImage backup;
    ASSERT_TRUE(LoadSinFile(report.backupPath, backup).ok());
    EXPECT_EQ(backup, held);
    // Both backups say where they came from: the port, the radio type and the file.
    EXPECT_TRUE(report.backupPath.ends_with("-COM1-T310X-fresh-before-write.sin"))
        << report.backupPath;
    EXPECT_EQ(QDir(BackupFolder() + "/sent").entryList({"*-COM1-T310X-fresh-write.sin"}).size(), 1);
    EXPECT_TRUE(std::equal(image.data(), image.data() + addr::kWriteEnd, radio.memory.data()));
}

}  // namespace
#endif
