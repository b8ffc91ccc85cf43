// CCommPort on Windows over a COM port the test run provides (KVPROG_TEST_COM: under wine a
// port mapped in wine's registry): the port is listed and opens, and an open that fails says
// why.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "CommPort.h"
#include "SerialPorts.h"

namespace {

class CommPortWin : public testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("KVPROG_TEST_COM");
        if (!name || !*name) {
            GTEST_SKIP() << "no COM port to test on: KVPROG_TEST_COM names one";
        }
        m_name = name;
    }
    std::string m_name;
};

TEST_F(CommPortWin, ThePortIsListed) {
    const std::vector<SerialPortFacts> ports = ScanSerialPorts();
    EXPECT_TRUE(std::any_of(ports.begin(), ports.end(),
                            [&](const SerialPortFacts& port) { return port.device == m_name; }))
        << m_name << " is not among " << ports.size() << " ports";
}

// Wine keeps no sharing for devices, so a second open is not refused there as Windows
// refuses it: the port is shown free and opened.
TEST_F(CommPortWin, AFreePortIsNotHeldAndOpens) {
    EXPECT_TRUE(TryTakePort(m_name).ok());
    CCommPort port;
    const Result<> opened = port.Open(m_name, kCloneTimeouts);
    EXPECT_TRUE(opened) << opened.message;
    EXPECT_TRUE(port.IsOpen());
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST(CommPortWinOpen, RefusesMissingPortsAndFilesThatAreNoSerialPort) {
    CCommPort port;
    const Result<> missing = port.Open("COM241", kCloneTimeouts);
    EXPECT_EQ(missing.message,
              "COM241: no such port (is the cable plugged in? Check Connection lists the ports "
              "present)");

    const auto file = std::filesystem::temp_directory_path() /
                      ("kvradio-not-a-port-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(std::ofstream(file).good());
    const Result<> plain = port.Open(file.string(), kCloneTimeouts);
    std::filesystem::remove(file);
    EXPECT_EQ(plain.message, file.string() + ": not a serial port");
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
