// Backups of the radio's memory: where they go, how they are named (what a person tells them
// apart by, in names every system takes), that none replaces another, and that pruning keeps
// the newest and nothing but backups is ever deleted, earlier versions' backups included.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// A memory whose bytes differ with seed, of a KV - T520.
RadioImage Pattern(std::uint8_t seed) {
    RadioImage image;
    for (std::size_t a = 0; a < RadioImage::size(); ++a) {
        image[a] = static_cast<std::uint8_t>(a * 7 + seed);
    }
    image[addr::kTypeDigit] = '2';
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
                     int keep = kBackupsKept, std::uint8_t seed = 0,
                     const BackupOrigin& origin = {"COM1", "Fire brigade.sin"}) {
        return SaveBackupIn(m_folder, Pattern(seed), kind, origin, when, keep);
    }

    QTemporaryDir m_data;
    QString m_folder;
};

TEST_F(BackupsTest, NamesTellTimePortTypeAndFileAndNeverReplaceAnother) {
    const QDateTime when = At(5, 7, 8, 9);
    const BackupSaved read = Save(when, BackupKind::Read, kBackupsKept, 1, {"COM1", {}});
    const BackupSaved before = Save(when, BackupKind::BeforeWrite, kBackupsKept, 2,
                                    {"/dev/ttyUSB0", "/home/ana/Fire brigade.sin"});
    const BackupSaved sent = Save(when, BackupKind::Sent, kBackupsKept, 5,
                                  {"\\\\.\\COM10", "C:\\radios\\Fire brigade.SIN"});
    ASSERT_TRUE(read.result.ok()) << read.result.message;
    ASSERT_TRUE(before.result.ok()) << before.result.message;
    EXPECT_EQ(read.path, m_folder + "/20240305-070809-COM1-T520-read.sin");
    EXPECT_EQ(before.path,
              m_folder + "/20240305-070809-ttyUSB0-T520-Fire brigade-before-write.sin");
    EXPECT_EQ(sent.path, m_folder + "/sent/20240305-070809-COM10-T520-Fire brigade-write.sin");

    // More reads of the same port in the same second take the next free number; another
    // port's has a name of its own.
    EXPECT_EQ(Save(when, BackupKind::Read, kBackupsKept, 3, {"COM1", {}}).path,
              m_folder + "/20240305-070809-2-COM1-T520-read.sin");
    EXPECT_EQ(Save(when, BackupKind::Read, kBackupsKept, 4, {"COM1", {}}).path,
              m_folder + "/20240305-070809-3-COM1-T520-read.sin");
    EXPECT_EQ(Save(when, BackupKind::Read, kBackupsKept, 6, {"/dev/pts/3", {}}).path,
              m_folder + "/20240305-070809-pts3-T520-read.sin");
    // Restoring a backup names it by its time.
    EXPECT_EQ(Save(when.addSecs(1), BackupKind::BeforeWrite, kBackupsKept, 7,
                   {"COM1", before.path.toStdString()})
                  .path,
              m_folder + "/20240305-070810-COM1-T520-backup 20240305-070809-before-write.sin");
    EXPECT_EQ(FileBytes(read.path), Bytes(Pattern(1)));
    EXPECT_EQ(FileBytes(before.path), Bytes(Pattern(2)));
    EXPECT_EQ(FileBytes(sent.path), Bytes(Pattern(5)));
    EXPECT_EQ(FileBytes(m_folder + "/20240305-070809-2-COM1-T520-read.sin"), Bytes(Pattern(3)));
    EXPECT_EQ(FileBytes(m_folder + "/20240305-070809-3-COM1-T520-read.sin"), Bytes(Pattern(4)));
    // Nothing left behind by the saves: no temporary files, no empty reservations.
    EXPECT_EQ(Names().size(), 7);  // six backups and the folder "sent"
    EXPECT_EQ(BackupTakenAt(before.path), when);
}

// Whatever the port and file are called, the name is one Windows and Linux both take, not
// too long, and read back as the backup it is: dated, numbered in its second, pruned.
TEST_F(BackupsTest, NamesArePortableAndReadBackWhateverThePortAndFile) {
    const QString longFile = QString(39, u'a') + QString::fromUtf8("\xF0\x9F\x93\xBB") + ".sin";
    const std::string ports[] = {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
                                 "", "CON", "a:b|c d-e", "/dev/3"};
    const std::string files[] = {"NUL",
                                 "x<y>z:\"q\"|w?e*r\x01\x1f .sin",
                                 longFile.toStdString(),
                                 "ends with a dot.",
                                 std::string(300, '-'),
                                 "- before.sin"};  // last: the copies of what was sent stay
    const QString refused = QStringLiteral("<>:\"/\\|?*");
    for (const BackupKind kind : {BackupKind::Read, BackupKind::BeforeWrite, BackupKind::Sent}) {
        for (const std::string& port : ports) {
            for (const std::string& file : files) {
                const std::string what = port + " / " + file;
                BackupSaved saved[2];
                for (BackupSaved& save : saved) {
                    save = Save(At(5, 7, 8, 9), kind, 2, 0, {port, file});
                    ASSERT_TRUE(save.result.ok()) << what << ": " << save.result.message;
                }
                const QString name = QFileInfo(saved[1].path).fileName();
                EXPECT_LE(name.size(), kMaxBackupNameLength) << what;
                EXPECT_EQ(QString::fromUtf8(name.toUtf8()), name) << what;  // no half character
                EXPECT_FALSE(std::any_of(name.begin(), name.end(), [&](QChar c) {
                    return c.unicode() < 0x20 || refused.contains(c);
                })) << name.toStdString();
                const auto parsed = ParseBackupName(name, kind);
                ASSERT_TRUE(parsed) << name.toStdString();
                EXPECT_EQ(parsed->kind, kind) << name.toStdString();
                EXPECT_EQ(parsed->sequence, 2) << name.toStdString();
                EXPECT_EQ(parsed->type, "T520") << name.toStdString();
                EXPECT_EQ(BackupTakenAt(saved[1].path), At(5, 7, 8, 9));
            }
        }
    }
    for (const QString name :
         {"20240305-070809-usb_FTDI_FT232R_USB_-T520-NUL-read.sin",
          "20240305-070809-port-T520-NUL-read.sin", "20240305-070809-CON-T520-read.sin",
          "20240305-070809-a_b_c_d_e-T520-x_y_z__q__w_e_r__-before-write.sin",
          "sent/20240305-070809-2-dev3-T520-before_-write.sin"}) {
        EXPECT_TRUE(QFile::exists(m_folder + "/" + name)) << name.toStdString();
    }
}

// Backups an earlier version named by time and kind alone are dated and pruned as before;
// a backup renamed to keep it, and a name of another kind's folder, stay.
TEST_F(BackupsTest, EarlierVersionsNamesAreStillBackups) {
    const QStringList earlier = {"20240101-000000-read.sin", "20240101-000000-2-read.sin",
                                 "20240102-000000-before-write.sin",
                                 "sent/20240101-000000-write.sin"};
    const QStringList kept = {"20240101-000000-COM1-T520-read keep.sin",
                              "20240101-000000-COM1-T520-write.sin",
                              "sent/20240101-000000-COM1-T520-before-write.sin"};
    ASSERT_TRUE(QDir().mkpath(m_folder + "/sent"));
    for (const QString& name : earlier + kept) {
        QFile file(m_folder + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(BackupTakenAt(m_folder + "/20240101-000000-2-read.sin"),
              QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    // Long after, keeping one of each folder: the backup just taken.
    ASSERT_TRUE(Save(At(5, 7, 8, 9).addYears(1), BackupKind::Read, 1).result.ok());
    ASSERT_TRUE(Save(At(5, 7, 8, 9).addYears(1), BackupKind::Sent, 1).result.ok());
    for (const QString& name : earlier) {
        EXPECT_FALSE(QFile::exists(m_folder + "/" + name)) << name.toStdString();
    }
    for (const QString& name : kept) {
        EXPECT_TRUE(QFile::exists(m_folder + "/" + name)) << name.toStdString();
    }
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
    // The fifty oldest are gone.
    EXPECT_EQ(sent.first(), "20240310-085000-COM1-T520-Fire brigade-write.sin");
}

TEST_F(BackupsTest, WhatRadiosHeldGoesOnlyWhenOldAndBeyondTheNewestTwoHundred) {
    // 205 backups of what radios held, a day apart, reads and before-write reads in turn.
    const QDateTime first = At(1, 12, 0, 0);
    for (int i = 0; i < 205; ++i) {
        const BackupKind kind = i % 2 ? BackupKind::BeforeWrite : BackupKind::Read;
        ASSERT_TRUE(Save(first.addDays(i), kind).result.ok());
    }
    QStringList held = Names();
    held.removeIf([](const QString& name) { return !ParseBackupName(name); });
    // Only the five oldest were both beyond the newest 200 and older than 90 days.
    ASSERT_EQ(held.size(), kBackupsKept);
    EXPECT_EQ(held.first(), first.addDays(5).toString("yyyyMMdd-HHmmss") +
                                "-COM1-T520-Fire brigade-before-write.sin");

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
              QStringList({"20240305-090000-10-COM1-T520-Fire brigade-write.sin",
                           "20240305-090000-11-COM1-T520-Fire brigade-write.sin"}));
}

TEST_F(BackupsTest, TheBackupJustTakenStaysWhenTheClockWasPutBack) {
    ASSERT_TRUE(Save(At(5, 12, 0, 0), BackupKind::Sent, 2).result.ok());
    ASSERT_TRUE(Save(At(5, 11, 0, 0), BackupKind::Sent, 2).result.ok());
    ASSERT_TRUE(Save(At(5, 10, 0, 0), BackupKind::Sent, 2).result.ok());
    EXPECT_EQ(QDir(m_folder + "/sent").entryList(QDir::Files, QDir::Name),
              QStringList({"20240305-100000-COM1-T520-Fire brigade-write.sin",
                           "20240305-120000-COM1-T520-Fire brigade-write.sin"}));
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
    const BackupSaved saved = SaveBackup(Pattern(5), BackupKind::Read, {"COM3", {}});
    const QString after = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    ASSERT_TRUE(saved.result.ok()) << saved.result.message;
    const QStringList names = QDir(BackupFolder()).entryList(QDir::Files);
    ASSERT_EQ(names.size(), 1);
    const QString stamp = names[0].left(15);
    EXPECT_TRUE(stamp >= before && stamp <= after) << names[0].toStdString();
    EXPECT_EQ(names[0].mid(15), "-COM3-T520-read.sin");
    EXPECT_EQ(FileBytes(saved.path), Bytes(Pattern(5)));
    EXPECT_EQ(Mode(saved.path), 0600u);
    wasSet ? qputenv("XDG_DATA_HOME", old) : qunsetenv("XDG_DATA_HOME");
}

}  // namespace
#endif
