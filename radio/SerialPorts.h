// The serial ports present on this machine, one list for the Port menu, Production Mode and
// the connection check. Linux's are read from the system's own files under a root folder
// (normally "/"; tests give a fake one laid out as Linux lays out /sys and /dev); Windows
// lists its COM ports with the device manager's facts about each.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct SerialPortFacts {
    std::string device;        // "/dev/ttyUSB0"; "COM3" on Windows
    std::string driver;        // "ftdi_sio", "pl2303", "cdc_acm", ...; "FTDIBUS", "usbser"
    std::string description;   // the adapter's product name, may be empty
    std::string manufacturer;  // may be empty
    std::string usbId;         // "0403:6001", empty for a port not on USB
    std::string serial;        // the adapter's serial number, may be empty
    std::string byId;          // "/dev/serial/by-id/usb-...", may be empty
};

// The serial ports present under root, ordered by device ("COM2" before "COM10"). Built-in
// serial ports that the kernel lists without hardware behind them are left out.
std::vector<SerialPortFacts> ScanSerialPorts(const std::filesystem::path& root = "/");

// A port as lists name it: "/dev/ttyUSB0 (FT232R USB UART)", the device alone without a
// description.
std::string SerialPortText(const SerialPortFacts& port);

// The first line of a small system file (under /sys, /proc or /etc), without its line end and
// trailing blanks; empty when it cannot be read.
std::string FirstLineOf(const std::filesystem::path& path);
