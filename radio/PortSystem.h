// What each system does its own way about ports: the devices and the pauses on the line in
// CommPortPosix.cpp and CommPortWin.cpp, the ports present in SerialPortsLinux.cpp and
// SerialPortsWin.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "SerialPorts.h"

// The device COMn stands for when nothing maps it: /dev/ttyUSB(n-1) on Linux, where USB
// adapters appear; the port of that name on Windows.
std::string DefaultDevice(int comNumber);

// What the system knows device by, the same for every name of it ("device 188:0",
// "file 2049:1234", "port COM3"); empty when it cannot be looked at.
std::string DeviceNode(const std::string& device);

// The exchange's pauses on the line (1 to 550 ms), as exactly as the system can sleep: every
// pause of a read adds its error 280 times.
void PauseLine(int milliseconds);

// The serial ports the system lists, in any order: under root's /sys on Linux; on Windows
// from the device manager's ports and the registry's map of serial devices (root unused).
std::vector<SerialPortFacts> SystemSerialPorts(const std::filesystem::path& root);
