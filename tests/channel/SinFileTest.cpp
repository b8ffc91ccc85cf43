// Loading and saving the channel data file.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "FileIO.h"
#include "SinFile.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Bytes that differ from their neighbours', so a misplaced byte shows.
Bytes Pattern(std::size_t n, int seed) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 256 + seed) & 0xFF);
    }
    return bytes;
}

RadioImage ImageOf(const Bytes& bytes) {
    RadioImage image;
    std::copy_n(bytes.begin(), 1024, image.data());
    return image;
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder per test, removed afterwards.
class SinFile : public testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        static const unsigned run = std::random_device{}();  // apart from other runs' folders
        m_dir = fs::temp_directory_path() /
                ("kvchannel-test-" + std::to_string(run) + "-" + std::to_string(counter++));
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_dir;
};

TEST_F(SinFile, SavesTheImageBytesInAddressOrderAndLoadsThemBack) {
    const Bytes bytes = Pattern(1024, 3);
    const fs::path path = m_dir / "radio.sin";
    ASSERT_TRUE(SaveSinFile(path, ImageOf(bytes)));
    EXPECT_EQ(ReadBytes(path), bytes);
    RadioImage loaded;
    const Result<> result = LoadSinFile(path, loaded);
    EXPECT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(loaded, ImageOf(bytes));
    EXPECT_EQ(Names(), std::vector<std::string>{"radio.sin"});
}

TEST_F(SinFile, LongerFileLoadsItsFirstThousandAndTwentyFourBytes) {
    const fs::path path = m_dir / "long.sin";
    for (std::size_t size : {1025, 5000}) {
        WriteBytes(path, Pattern(size, 5));
        RadioImage image;
        ASSERT_TRUE(LoadSinFile(path, image)) << size;
        EXPECT_EQ(image, ImageOf(Pattern(size, 5))) << size;
    }
}

TEST_F(SinFile, ShorterFileIsRefusedAndLeavesTheImageAlone) {
    const fs::path path = m_dir / "short.sin";
    const RadioImage before = ImageOf(Pattern(1024, 77));
    for (std::size_t size : {0, 1, 512, 1023}) {
        WriteBytes(path, Pattern(size, 1));
        RadioImage image = before;
        const Result<> result = LoadSinFile(path, image);
        EXPECT_FALSE(result.ok()) << size;
        EXPECT_NE(result.message.find(path.string()), std::string::npos) << result.message;
        EXPECT_NE(
            result.message.find("holds " + std::to_string(size) + (size == 1 ? " byte" : " bytes") +
                                "; a channel data file holds 1024"),
            std::string::npos)
            << result.message;
        EXPECT_EQ(image, before) << size;
    }
}

TEST_F(SinFile, MissingFileOrFolderIsRefusedAndLeavesTheImageAlone) {
    const RadioImage before = ImageOf(Pattern(1024, 11));
    for (const fs::path& path : {m_dir / "missing.sin", m_dir}) {
        RadioImage image = before;
        const Result<> result = LoadSinFile(path, image);
        EXPECT_FALSE(result.ok()) << path;
        EXPECT_NE(result.message.find(path.string()), std::string::npos) << result.message;
        EXPECT_EQ(image, before) << path;
    }
}

TEST_F(SinFile, SaveReplacesAnExistingFileAsAWhole) {
    const fs::path path = m_dir / "radio.sin";
    const Bytes oldBytes = Pattern(1500, 2);
    WriteBytes(path, oldBytes);
    // A second name for the old file keeps seeing the old bytes only if the save puts a new
    // file in place instead of rewriting the old one.
    fs::create_hard_link(path, m_dir / "old.sin");
    const Bytes newBytes = Pattern(1024, 4);
    const Result<> result = SaveSinFile(path, ImageOf(newBytes));
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(ReadBytes(path), newBytes);
    EXPECT_EQ(ReadBytes(m_dir / "old.sin"), oldBytes);
    EXPECT_EQ(Names(), (std::vector<std::string>{"old.sin", "radio.sin"}));
}

TEST_F(SinFile, FailedSaveNamesTheFileAndLeavesNothingBehind) {
    const RadioImage image = ImageOf(Pattern(1024, 6));
    const fs::path inMissingFolder = m_dir / "nowhere" / "radio.sin";
    Result<> result = SaveSinFile(inMissingFolder, image);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.message.find(inMissingFolder.string()), std::string::npos) << result.message;
    EXPECT_TRUE(Names().empty());

    const fs::path folder = m_dir / "folder.sin";
    fs::create_directory(folder);
    WriteBytes(folder / "inside", {1, 2, 3});
    result = SaveSinFile(folder, image);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.message.find(folder.string()), std::string::npos) << result.message;
    EXPECT_EQ(Names(), std::vector<std::string>{"folder.sin"});
    EXPECT_EQ(ReadBytes(folder / "inside"), (Bytes{1, 2, 3}));
}

// Names in any script, given in UTF-8 as the program's names are, reach the file system as
// those names: a name read in a code page would lose them.
TEST_F(SinFile, NamesInAnyScriptAreSavedAndLoaded) {
    const RadioImage image = ImageOf(Pattern(1024, 8));
    for (const std::string name : {"Kunde Müller.sin", "客户电台.sin"}) {
        const fs::path path = PathFromUtf8(Utf8Of(m_dir) + "/" + name);
        ASSERT_TRUE(SaveSinFile(path, image)) << name;
        RadioImage loaded;
        ASSERT_TRUE(LoadSinFile(path, loaded)) << name;
        EXPECT_EQ(loaded, image);
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir)) {
        names.push_back(Utf8Of(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Kunde Müller.sin", "客户电台.sin"}));
}

}  // namespace

// What Linux has alone: pipes and devices as it makes them (FileIOWin.cpp refuses Windows'
// own by the same type check), and root, who may write over any file; Windows' read-only
// attribute holds for every user.
#ifdef _WIN32
namespace {
bool MayWriteAnyFile() {
    return false;
}
}  // namespace
#else
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MayWriteAnyFile() {
    return ::geteuid() == 0;
}

// A pipe would block the program forever and a device would stream or be destroyed by a
// save: neither is a channel data file.
TEST_F(SinFile, PipesAndDevicesAreRefusedBothWays) {
    const fs::path fifo = m_dir / "pipe.sin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const RadioImage before = ImageOf(Pattern(1024, 5));
    for (const fs::path& path : {fifo, fs::path("/dev/zero")}) {
        RadioImage image = before;
        const Result<> loaded = LoadSinFile(path, image);  // returns at once, no writer needed
        EXPECT_FALSE(loaded.ok()) << path;
        EXPECT_NE(loaded.message.find(path == fifo ? "pipe" : "device"), std::string::npos)
            << loaded.message;
        EXPECT_EQ(image, before);
    }
    const Result<> saved = SaveSinFile(fifo, before);
    EXPECT_FALSE(saved.ok());
    EXPECT_TRUE(fs::is_fifo(fifo));  // still the pipe, not replaced by a file
    EXPECT_EQ(Names(), std::vector<std::string>{"pipe.sin"});
}

}  // namespace
#endif

namespace {

// A file the user may not write to is kept as it is, not replaced by a save.
TEST_F(SinFile, ReadOnlyFileIsRefusedAndKept) {
    const fs::path path = m_dir / "kept.sin";
    const Bytes before = Pattern(1024, 9);
    WriteBytes(path, before);
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (MayWriteAnyFile()) {
        GTEST_SKIP() << "this user may write to any file (root)";
    }
    const Result<> saved = SaveSinFile(path, ImageOf(Pattern(1024, 10)));
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_FALSE(saved.ok());
    EXPECT_NE(saved.message.find("it is read-only"), std::string::npos) << saved.message;
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(Names(), std::vector<std::string>{"kept.sin"});
}

}  // namespace
