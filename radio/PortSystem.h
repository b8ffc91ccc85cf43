// The two facts about ports each system answers its own way, in CommPortPosix.cpp and
// CommPortWin.cpp.
#pragma once

#include <string>

// The device COMn stands for when nothing maps it: /dev/ttyUSB(n-1) on Linux, where USB
// adapters appear; the port of that name on Windows.
std::string DefaultDevice(int comNumber);

// What the system knows device by, the same for every name of it ("device 188:0",
// "file 2049:1234", "port COM3"); empty when it cannot be looked at.
std::string DeviceNode(const std::string& device);
