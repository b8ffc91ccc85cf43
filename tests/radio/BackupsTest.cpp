// Backups of the radio's memory: where they go, how they are named, that none replaces
// another, and that pruning keeps the newest and nothing but backups is ever deleted.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

#include "Backups.h"

// Readable failure messages for names.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

RadioImage Pattern(std::uint8_t seed) {
    RadioImage image;
    for (std::size_t a = 0; a < RadioImage::size(); ++a) {
        image[a] = static_cast<std::uint8_t>(a * 7 + seed);
    }
    return image;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Bytes(const RadioImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), RadioImage::size());
}

QDateTime At(int day, int hour, int minute, int second) {
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second));
}

class BackupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_data.isValid());
        m_folder = m_data.filePath("backups");
    }

    QStringList Names() const {
        QStringList names =
            QDir(m_folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }

    BackupSaved Save(const QDateTime& when, BackupKind kind = BackupKind::Read,
                     int keep = kBackupsKept, std::uint8_t seed = 0) {
        return SaveBackupIn(m_folder, Pattern(seed), kind, when, keep);
    }

    QTemporaryDir m_data;
    QString m_folder;
};

TEST_F(BackupsTest, NamesCarryTheLocalTimeAndTheKindAndNeverReplaceAnother) {
    const BackupSaved read = Save(At(5, 7, 8, 9), BackupKind::Read, kBackupsKept, 1);
    const BackupSaved before = Save(At(5, 7, 8, 9), BackupKind::BeforeWrite, kBackupsKept, 2);
    const BackupSaved sent = Save(At(5, 7, 8, 9), BackupKind::Sent, kBackupsKept, 5);
    ASSERT_TRUE(read.result.ok()) << read.result.message;
    ASSERT_TRUE(before.result.ok()) << before.result.message;
    EXPECT_EQ(read.path, m_folder + "/20240305-070809-read.sin");
    EXPECT_EQ(before.path, m_folder + "/20240305-070809-before-write.sin");
    EXPECT_EQ(sent.path, m_folder + "/sent/20240305-070809-write.sin");

    // More reads in the same second take the next free number.
    EXPECT_EQ(Save(At(5, 7, 8, 9), BackupKind::Read, kBackupsKept, 3).path,
              m_folder + "/20240305-070809-2-read.sin");
    EXPECT_EQ(Save(At(5, 7, 8, 9), BackupKind::Read, kBackupsKept, 4).path,
              m_folder + "/20240305-070809-3-read.sin");
    EXPECT_EQ(FileBytes(read.path), Bytes(Pattern(1)));
    EXPECT_EQ(FileBytes(before.path), Bytes(Pattern(2)));
    EXPECT_EQ(FileBytes(sent.path), Bytes(Pattern(5)));
    EXPECT_EQ(FileBytes(m_folder + "/20240305-070809-2-read.sin"), Bytes(Pattern(3)));
    EXPECT_EQ(FileBytes(m_folder + "/20240305-070809-3-read.sin"), Bytes(Pattern(4)));
    // Nothing left behind by the saves: no temporary files, no empty reservations.
    EXPECT_EQ(Names().size(), 5);  // four backups and the folder "sent"
}

TEST_F(BackupsTest, CopiesOfWhatWasSentNeverPushOutWhatRadiosHeld) {
    ASSERT_TRUE(QDir().mkpath(m_folder + "/20240101-000000-read.sin"));  // a folder
    const QStringList others = {"notes.txt",
                                "my-read.sin",
                                "20240101-000000-read.sin.bak",
                                "20240102-000000-read.SIN",
                                "2024-read.sin",
                                "20240101-000000-write.sin"};  // an earlier version's copy
    for (const QString& name : others) {
        QFile file(m_folder + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // Four reads long ago, then 250 copies of what was sent: the reads all stay, the copies
    // are pruned to the newest 200.
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(Save(At(1, 8, i, 0), BackupKind::Read).result.ok());
    }
    for (int i = 0; i < 250; ++i) {
        ASSERT_TRUE(Save(At(10, 8 + i / 60, i % 60, 0), BackupKind::Sent).result.ok());
    }
    const QStringList names = Names();
    for (const QString& name : others) {
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(names.filter(QRegularExpression("^20240301-08")).size(), 4);
    QStringList sent = QDir(m_folder + "/sent").entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(sent.size(), kBackupsKept);
    EXPECT_EQ(sent.first(), "20240310-085000-write.sin");  // the fifty oldest are gone
}

TEST_F(BackupsTest, WhatRadiosHeldGoesOnlyWhenOldAndBeyondTheNewestTwoHundred) {
    // 205 backups of what radios held, a day apart, reads and before-write reads in turn.
    const QDateTime first = At(1, 12, 0, 0);
    for (int i = 0; i < 205; ++i) {
        const BackupKind kind = i % 2 ? BackupKind::BeforeWrite : BackupKind::Read;
        ASSERT_TRUE(Save(first.addDays(i), kind).result.ok());
    }
    QStringList held = Names();
    held.removeIf([](const QString& name) {
        return !name.endsWith("read.sin") && !name.endsWith("write.sin");
    });
    // Only the five oldest were both beyond the newest 200 and older than 90 days.
    ASSERT_EQ(held.size(), kBackupsKept);
    EXPECT_EQ(held.first(), first.addDays(5).toString("yyyyMMdd-HHmmss") + "-before-write.sin");

    // With fewer to keep, the young ones still stay.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Save(At(5, 9, 0, 0).addYears(2), BackupKind::Read, 2).result.ok());
    }
    EXPECT_EQ(Names().filter(At(5, 9, 0, 0).addYears(2).toString("yyyyMMdd-")).size(), 3);
}

TEST_F(BackupsTest, SameSecondNumbersCountAsNumbersWhenPruning) {
    for (int i = 0; i < 11; ++i) {
        ASSERT_TRUE(Save(At(5, 9, 0, 0), BackupKind::Sent, 2).result.ok());
    }
    EXPECT_EQ(QDir(m_folder + "/sent").entryList(QDir::Files, QDir::Name),
              QStringList({"20240305-090000-10-write.sin", "20240305-090000-11-write.sin"}));
}

TEST_F(BackupsTest, TheBackupJustTakenStaysWhenTheClockWasPutBack) {
    ASSERT_TRUE(Save(At(5, 12, 0, 0), BackupKind::Sent, 2).result.ok());
    ASSERT_TRUE(Save(At(5, 11, 0, 0), BackupKind::Sent, 2).result.ok());
    ASSERT_TRUE(Save(At(5, 10, 0, 0), BackupKind::Sent, 2).result.ok());
    EXPECT_EQ(QDir(m_folder + "/sent").entryList(QDir::Files, QDir::Name),
              QStringList({"20240305-100000-write.sin", "20240305-120000-write.sin"}));
}

TEST_F(BackupsTest, AFolderThatCannotBeMadeIsReportedAndNothingIsWritten) {
    QFile blocker(m_folder);  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const BackupSaved saved = Save(At(5, 7, 8, 9));
    EXPECT_FALSE(saved.result.ok());
    EXPECT_TRUE(saved.path.isEmpty());
    EXPECT_NE(saved.result.message.find(m_folder.toStdString()), std::string::npos)
        << saved.result.message;
    EXPECT_EQ(QDir(m_data.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"backups"}));
}

}  // namespace

// The data folder as XDG_DATA_HOME moves it, and the modes of Linux; under wine,
// tests/win/cli_wine.sh finds the backups in the user's AppData.
#ifndef _WIN32
#include <sys/stat.h>

namespace {

unsigned Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(BackupsTest, TheFolderIsTheSameForEveryProgramUnderTheUsersDataFolderAndPrivate) {
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
    EXPECT_EQ(BackupFolder(), m_data.path() + "/kvprog/backups");
    // The application name must not matter: the desktop program sets one, kvprog-cli none.
    QCoreApplication::setApplicationName("Korvane Programming Software");
    EXPECT_EQ(BackupFolder(), m_data.path() + "/kvprog/backups");
    EXPECT_FALSE(QDir(BackupFolder()).exists());
    ASSERT_TRUE(QDir().mkpath(BackupFolder()));  // as an earlier version left it: 0755
    EXPECT_TRUE(EnsureBackupFolder());
    EXPECT_EQ(Mode(BackupFolder()), 0700u);

    const QString before = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    const BackupSaved saved = SaveBackup(Pattern(5), BackupKind::Read);
    const QString after = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    ASSERT_TRUE(saved.result.ok()) << saved.result.message;
    const QStringList names = QDir(BackupFolder()).entryList(QDir::Files);
    ASSERT_EQ(names.size(), 1);
    const QString stamp = names[0].left(15);
    EXPECT_TRUE(stamp >= before && stamp <= after) << names[0].toStdString();
    EXPECT_EQ(names[0].mid(15), "-read.sin");
    EXPECT_EQ(FileBytes(saved.path), Bytes(Pattern(5)));
    EXPECT_EQ(Mode(saved.path), 0600u);
    wasSet ? qputenv("XDG_DATA_HOME", old) : qunsetenv("XDG_DATA_HOME");
}

}  // namespace
#endif
