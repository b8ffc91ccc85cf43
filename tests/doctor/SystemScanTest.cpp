// The system facts behind kvprog-cli doctor, read from a fake root folder laid out as Linux
// lays out /sys, /dev, /etc and /proc.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <fstream>

#include "SystemScan.h"

namespace {

class FakeRoot : public ::testing::Test {
protected:
    void SetUp() override {
        root =
            fs::canonical(fs::temp_directory_path()) / ("kvdoctor-" + std::to_string(::getpid()));
        fs::remove_all(root);
        // A USB adapter: the tty's device folder sits below the USB device with its identity.
        const fs::path usb = root / "sys/devices/pci0/usb1/1-1";
        const fs::path iface = usb / "1-1:1.0/ttyUSB0";
        fs::create_directories(iface);
        Write(usb / "idVendor", "0403\n");
        Write(usb / "idProduct", "6001\n");
        Write(usb / "serial", "A50285BI\n");
        Write(usb / "manufacturer", "FTDI\n");
        Write(usb / "product", "FT232R USB UART\n");
        fs::create_directories(root / "sys/bus/usb-serial/drivers/ftdi_sio");
        fs::create_directory_symlink(root / "sys/bus/usb-serial/drivers/ftdi_sio",
                                     iface / "driver");
        Tty("ttyUSB0", iface);
        // Built-in UARTs: one with no port behind it (type 0), one real.
        for (const auto& [name, type] : {std::pair{"ttyS0", "0"}, {"ttyS1", "4"}}) {
            const fs::path dir = root / "sys/devices/platform/serial8250" / name;
            fs::create_directories(dir);
            Tty(name, dir);
            Write(root / "sys/class/tty" / name / "type", type);
        }
        fs::create_directories(root / "sys/class/tty/pts0");  // no device: left out
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
        Write(root / "dev/ttyUSB0", "");
        Write(root / "etc/group", "root:x:0:\ndialout:x:20:alice,carol\n");
        Write(root / "etc/passwd",
              "alice:x:1000:1000::/home/alice:/bin/sh\n"
              "bob:x:1001:1001::/home/bob:/bin/sh\n"
              "dave:x:1002:20::/home/dave:/bin/sh\n");
        fs::create_directories(root / "proc/self");
        Process(321, "minicom", "/dev/ttyUSB0");
        Process(654, "ModemManager", "/dev/null");
    }
    void TearDown() override { fs::remove_all(root); }

    void Write(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    void Tty(const std::string& name, const fs::path& device) {
        fs::create_directories(root / "sys/class/tty" / name);
        fs::create_directory_symlink(device, root / "sys/class/tty" / name / "device");
    }
    void Process(int pid, const std::string& name, const std::string& opened) {
        const fs::path dir = root / "proc" / std::to_string(pid);
        fs::create_directories(dir / "fd");
        Write(dir / "comm", name + "\n");
        fs::create_symlink(opened, dir / "fd/3");
    }

    fs::path root;
};

TEST_F(FakeRoot, ListsThePortsWithTheirAdapters) {
    const std::vector<SerialPortFacts> ports = ScanSerialPorts(root);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].device, "/dev/ttyS1");
    EXPECT_EQ(ports[0].usbId, "");
    const SerialPortFacts& usb = ports[1];
    EXPECT_EQ(usb.device, "/dev/ttyUSB0");
    EXPECT_EQ(usb.driver, "ftdi_sio");
    EXPECT_EQ(usb.usbId, "0403:6001");
    EXPECT_EQ(usb.serial, "A50285BI");
    EXPECT_EQ(usb.manufacturer, "FTDI");
    EXPECT_EQ(usb.description, "FT232R USB UART");
    EXPECT_EQ(usb.byId, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
}

TEST_F(FakeRoot, FindsWhoHoldsOrLocksThePortAndTheServices) {
    const auto holders = ProcessesHolding(root, "/dev/ttyUSB0");
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].pid, 321);
    EXPECT_EQ(holders[0].name, "minicom");
    EXPECT_TRUE(ProcessesHolding(root, "/dev/ttyS1").empty());

    struct stat status {};
    ASSERT_EQ(::stat((root / "dev/ttyUSB0").c_str(), &status), 0);
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%lu", major(status.st_dev), minor(status.st_dev),
                  static_cast<unsigned long>(status.st_ino));
    Write(root / "proc/locks", std::string("1: POSIX  ADVISORY  WRITE 654 ") + id +
                                   " 0 EOF\n2: FLOCK  ADVISORY  WRITE 321 " + id + " 0 EOF\n");
    const auto lockers = ProcessesLocking(root, "/dev/ttyUSB0");
    ASSERT_EQ(lockers.size(), 1u);
    EXPECT_EQ(lockers[0].name, "minicom");

    const auto services = ProcessesNamed(root, {"brltty", "ModemManager"});
    ASSERT_EQ(services.size(), 1u);
    EXPECT_EQ(services[0].pid, 654);
}

TEST_F(FakeRoot, TellsWhetherTheUserIsInTheDevicesGroup) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving the fake device to group 20 (dialout) takes root";
    }
    ASSERT_EQ(::chown((root / "dev/ttyUSB0").c_str(), 0, 20), 0);
    for (const auto& [user, in] : {std::pair{"alice", true}, {"bob", false}, {"dave", true}}) {
        const std::optional<GroupFacts> group = DeviceGroup(root, "/dev/ttyUSB0", user);
        ASSERT_TRUE(group);
        EXPECT_EQ(group->name, "dialout");
        EXPECT_EQ(group->userInGroup, in) << user;  // dave: dialout is his primary group
    }
    EXPECT_FALSE(DeviceGroup(root, "/dev/ttyUSB9", "alice"));
}

}  // namespace
