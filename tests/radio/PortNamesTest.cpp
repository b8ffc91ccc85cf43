// "COM1" to "COM4" and the devices behind them.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "PortNames.h"
#include "ProgramSettings.h"

namespace {

// What COM1 to COM4 stand for when nothing maps them: where each system's adapters appear.
#ifdef _WIN32
constexpr const char* kDefaults[] = {"COM1", "COM2", "COM3", "COM4"};
#else
constexpr const char* kDefaults[] = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2",
                                     "/dev/ttyUSB3"};
#endif

// Settings in a folder of their own, and no KVPROG_COMn from the caller's environment.
class PortNames : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        for (const std::string_view name : kPortNames) {
            qunsetenv(("KVPROG_" + std::string(name)).c_str());
        }
    }
    void TearDown() override {
        for (const std::string_view name : kPortNames) {
            qunsetenv(("KVPROG_" + std::string(name)).c_str());
        }
        // On Windows no variable moves the settings file out of the user's application data
        // (the tests run in a wine prefix of their own): what a test put there goes.
        QSettings profile = ProgramSettings();
        profile.remove(QStringLiteral("Ports"));
    }

    static void SetInSettings(const char* name, const char* device) {
        QSettings profile = ProgramSettings();
        profile.setValue(QStringLiteral("Ports/") + QString::fromLatin1(name),
                         QString::fromLatin1(device));
        profile.sync();
    }

private:
    QTemporaryDir m_dir;
};

TEST_F(PortNames, ComNamesDefaultToTheUsbAdapters) {
    EXPECT_EQ(DeviceForPort("COM1"), kDefaults[0]);
    EXPECT_EQ(DeviceForPort("COM2"), kDefaults[1]);
    EXPECT_EQ(DeviceForPort("COM3"), kDefaults[2]);
    EXPECT_EQ(DeviceForPort("COM4"), kDefaults[3]);
}

TEST_F(PortNames, SettingsComeBeforeTheDefaultAndTheEnvironmentBeforeBoth) {
    SetInSettings("COM2", "/dev/ttyS1");
    SetInSettings("COM3", "/dev/ttyS2");
    qputenv("KVPROG_COM3", "/dev/ttyACM0");
    qputenv("KVPROG_COM4", "");  // empty: as if unset

    EXPECT_EQ(DeviceForPort("COM1"), kDefaults[0]);
    EXPECT_EQ(DeviceForPort("COM2"), "/dev/ttyS1");
    EXPECT_EQ(DeviceForPort("COM3"), "/dev/ttyACM0");
    EXPECT_EQ(DeviceForPort("COM4"), kDefaults[3]);
}

TEST_F(PortNames, OtherNamesAreDevicePathsTakenAsTheyAre) {
    qputenv("KVPROG_COM1", "/dev/ttyACM0");
    EXPECT_EQ(DeviceForPort("/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(DeviceForPort("com1"), "com1");
    EXPECT_EQ(DeviceForPort("COM5"), "COM5");
    EXPECT_EQ(DeviceForPort("COM1 "), "COM1 ");
}

}  // namespace
