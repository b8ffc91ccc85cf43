// Why the radio does not answer: the serial ports present, what stands between this user and
// the chosen port (a missing device, a group the user or the session lacks, another process
// holding it, services known to take USB serial adapters), and a probe of the radio itself.
// kvprog-cli doctor prints the report; the desktop program's Check Connection shows it.
#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "Port.h"
#include "SerialPorts.h"

namespace fs = std::filesystem;

struct DoctorPort {
    SerialPortFacts facts;
    std::string comName;    // "COM1" when one of COM1-COM4 maps to it, else empty
    std::string comSource;  // where that mapping comes from: "default", "settings file", ...
};

struct DoctorCheck {
    std::string name;  // "device", "permission", "held", "brltty", "ModemManager", "radio"
    bool ok = false;
    std::string detail;  // what was found, a sentence
    std::string fix;     // what to do, one line a step; empty when ok
};

struct DoctorReport {
    std::vector<DoctorPort> ports;
    std::string port;    // as chosen: "COM1" or a device path
    std::string device;  // what it stands for
    std::vector<DoctorCheck> checks;
    std::optional<std::string> identification;  // hex, when a radio answered
};

struct DoctorSystem {
    fs::path root = "/";  // where /sys, /dev, /etc and /proc are read
    std::string user;     // the user's name; empty: the running user's
};

// What a probe of one port found: the "radio" check, and the identification when a radio
// answered as a read needs it to.
struct RadioVerdict {
    DoctorCheck check;
    std::optional<std::string> identification;  // hex
};

// Probes the radio on port (named as for RunDoctor) through probePort: a radio answers only
// when it takes the clone run's handshake and confirmation, as a read needs. A stop request
// ends the probe at its next pause, the port closed; the verdict then says no radio answered.
RadioVerdict ProbeForRadio(IPort& probePort, const std::string& port, std::stop_token stop = {});

// Runs every check for port (COM1-COM4, the demo port or a device path), probing the radio
// through probePort (ProbeForRadio) when the port can be opened.
DoctorReport RunDoctor(const std::string& port, IPort& probePort, const DoctorSystem& system = {},
                       std::stop_token stop = {});

// The report as the desktop program's dialog and kvprog-cli show it, one fact a line.
std::string DoctorText(const DoctorReport& report);
