// The facts about ports each system answers its own way: the devices in CommPortPosix.cpp and
// CommPortWin.cpp, the ports present in SerialPortsLinux.cpp and SerialPortsWin.cpp.
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

// The serial ports the system lists, in any order: under root's /sys on Linux; on Windows
// from the device manager's ports and the registry's map of serial devices (root unused).
std::vector<SerialPortFacts> SystemSerialPorts(const std::filesystem::path& root);
