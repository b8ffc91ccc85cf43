// "COM1" to "COM4" and the devices behind them.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <QSettings>
#include <QTemporaryDir>

#include "PortNames.h"
#include "ProgramSettings.h"

namespace {

// Settings in a folder of their own, and no KVPROG_COMn from the caller's environment.
class PortNames : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        for (const std::string_view name : kPortNames) {
            ::unsetenv(("KVPROG_" + std::string(name)).c_str());
        }
    }
    void TearDown() override {
        for (const std::string_view name : kPortNames) {
            ::unsetenv(("KVPROG_" + std::string(name)).c_str());
        }
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
    EXPECT_EQ(DeviceForPort("COM1"), "/dev/ttyUSB0");
    EXPECT_EQ(DeviceForPort("COM2"), "/dev/ttyUSB1");
    EXPECT_EQ(DeviceForPort("COM3"), "/dev/ttyUSB2");
    EXPECT_EQ(DeviceForPort("COM4"), "/dev/ttyUSB3");
}

TEST_F(PortNames, SettingsComeBeforeTheDefaultAndTheEnvironmentBeforeBoth) {
    SetInSettings("COM2", "/dev/ttyS1");
    SetInSettings("COM3", "/dev/ttyS2");
    ::setenv("KVPROG_COM3", "/dev/ttyACM0", 1);
    ::setenv("KVPROG_COM4", "", 1);  // empty: as if unset

    EXPECT_EQ(DeviceForPort("COM1"), "/dev/ttyUSB0");
    EXPECT_EQ(DeviceForPort("COM2"), "/dev/ttyS1");
    EXPECT_EQ(DeviceForPort("COM3"), "/dev/ttyACM0");
    EXPECT_EQ(DeviceForPort("COM4"), "/dev/ttyUSB3");
}

TEST_F(PortNames, OtherNamesAreDevicePathsTakenAsTheyAre) {
    ::setenv("KVPROG_COM1", "/dev/ttyACM0", 1);
    EXPECT_EQ(DeviceForPort("/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(DeviceForPort("com1"), "com1");
    EXPECT_EQ(DeviceForPort("COM5"), "COM5");
    EXPECT_EQ(DeviceForPort("COM1 "), "COM1 ");
}

}  // namespace
