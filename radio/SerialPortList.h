// The serial ports present on this machine, for the Port menu. Listing them takes QtSerialPort
// and libudev, which only the module kvserialports loads: the desktop program calls it through
// ModuleFunction (ui/Modules.h) the first time the menu opens.
#pragma once

#include <vector>

#include "PortNames.h"

inline constexpr char kSerialPortsModule[] = "kvserialports";
inline constexpr char kAvailableSerialPortsFunction[] = "kvprog_AvailableSerialPorts";

// Fills *ports with the serial ports present, ordered by device path.
extern "C" void kvprog_AvailableSerialPorts(std::vector<SerialPortEntry>* ports);
using AvailableSerialPortsFunction = decltype(&kvprog_AvailableSerialPorts);
