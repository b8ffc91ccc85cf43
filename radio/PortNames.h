// The program names its ports "COM1" to "COM4". Here those names become devices; the serial
// devices present are listed by SerialPorts.h.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::array<std::string_view, 4> kPortNames = {"COM1", "COM2", "COM3", "COM4"};

// The demo radio, a simulated radio inside the program (demo/MakePort.h). Its name is no
// COM name and no device path, so no mapping, cable or device can take it, and its label
// says what it is wherever the port is named: "DEMO (simulated radio)".
inline constexpr std::string_view kDemoPortName = "DEMO";
inline constexpr std::string_view kDemoPortNote = "simulated radio";

// The device behind a port name. For "COMn" (exactly, case-sensitive) the first of these
// that is set and not empty wins: the environment variable KVPROG_COMn; the settings key
// "Ports/COMn" of the program's profile; /dev/ttyUSB(n-1). The demo port stands for
// kDemoPortNote, whatever the environment or the settings say. Any other name is a device
// path and comes back as it is.
std::string DeviceForPort(std::string_view name);

// Maps the COM name `name` to device in the settings file, where both programs read it. The
// environment's KVPROG_COMn still comes first (PortSetByEnvironment).
void MapPortInSettings(std::string_view name, const std::string& device);
bool PortSetByEnvironment(std::string_view name);

// Where DeviceForPort found the device of a COM name: "environment KVPROG_COM1",
// "settings file", "default"; empty for a device path.
std::string PortSource(std::string_view name);

// What tells two port names apart as devices: the same value for every name of one device
// ("COM1" mapped to it, a link under /dev/serial/by-id, "/dev/pts/./3"), whatever the path.
// A device that cannot be looked at is known by its path, made absolute and normal.
std::string DeviceIdentity(std::string_view name);

// The port as messages name it: "COM1 (/dev/ttyUSB0)", or the device path alone.
std::string PortWithDevice(std::string_view name);

// A port's name with what it stands for, as every list and message writes it:
// "COM1 (/dev/ttyUSB0)", "/dev/ttyUSB0 (FT232R USB UART)".
std::string LabelledPort(std::string_view name, std::string_view note);
