// The doctor on names that are no serial port: each is reported as what it is (a relative
// name as seen from the working folder), by the device check alone, and nothing is probed (a
// CCommPort that is never opened stands for the radio).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "CommPort.h"
#include "Doctor.h"

namespace {

TEST(DeviceCheck, ANameThatIsNoSerialPortSaysWhatItIsAndNothingElse) {
    const fs::path dir =
        fs::canonical(fs::temp_directory_path()) / ("kvdoctor-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "folder");
    std::ofstream(dir / "file") << "text\n";
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const std::string tooLong = (dir / std::string(5000, 'a')).string();
    for (const auto& [port, detail] :
         {std::pair{(dir / "file").string(), " is a file, not a serial port."},
          {fs::relative(dir / "file").string(), " is a file, not a serial port."},
          {(dir / "folder").string(), " is a folder, not a serial port."},
          {(dir / "fifo").string(), " is a named pipe, not a serial port."},
          {std::string("/dev/null"), " is a device other than a terminal, not a serial port."},
          {tooLong, " cannot be looked up: File name too long."},
          {(dir / "missing").string(), " does not exist."}}) {
        CCommPort probe;
        const DoctorReport report = RunDoctor(port, probe);
        ASSERT_EQ(report.checks.size(), 1u) << DoctorText(report);
        EXPECT_EQ(report.checks[0].name, "device");
        EXPECT_FALSE(report.checks[0].ok);
        EXPECT_EQ(report.checks[0].detail, port + detail);
        EXPECT_FALSE(report.checks[0].fix.empty());
    }
    fs::remove_all(dir);
}

}  // namespace
