// Check Connection's search for the radio: every port a radio may be on, each checked and
// probed the way kvprog-cli doctor checks and probes one (Doctor.h), so that no port another
// program holds is opened. Called from the check's worker thread: nothing here touches a
// widget.
#pragma once

#include <string>
#include <vector>

#include "Doctor.h"

struct ScanPort {
    std::string name;   // what is probed: "COM2", "/dev/ttyUSB1", "DEMO"
    std::string label;  // as the report names it: "COM2 (/dev/ttyUSB1)"
    std::string mapTo;  // what a COM name maps to for this port: an adapter's stable name
};

// The chosen port first, then COM1 to COM4 as mapped, then the serial ports present, each
// device once. The demo port only when it is the chosen one: it always answers.
std::vector<ScanPort> PortsToScan(const std::string& chosen);

// One line for a port's report: the radio's answer, or what kept the probe from the port.
std::string ScanLine(const DoctorReport& report);

// The COM name Use This Port maps to a radio found on another port: the chosen one, COM1
// when a device path was chosen. Empty when the environment maps that name, which the
// settings file cannot change: the found port is then chosen by its own name.
std::string ComToMap(const std::string& chosen);
