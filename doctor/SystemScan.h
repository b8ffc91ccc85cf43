// What the system says about serial ports, read from its files so that tests can give a fake
// root folder: the ports in /sys, their stable names in /dev/serial/by-id, the groups in
// /etc/group and /etc/passwd, and the processes in /proc with what they hold open.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "SerialPorts.h"

namespace fs = std::filesystem;

struct ProcessFacts {
    pid_t pid = 0;
    std::string name;         // as /proc/PID/comm has it; empty when the process has ended
    std::string commandLine;  // its words joined by spaces, else its program's path, if seen
    pid_t parent = 0;         // 0 when not known
    std::string parentName;   // as the parent's comm has it
};

// path (absolute, or relative to the working folder) as it lies under root.
fs::path UnderRoot(const fs::path& root, const std::string& path);

enum class Holding {
    Open,    // any descriptor of the device
    Locked,  // a descriptor that carries the device's lock: its taker's, or one inherited from it
};

// The processes (other than this one) that hold device open, found through their descriptors.
// Processes whose descriptors cannot be read (another user's, without privileges) are not seen.
std::vector<ProcessFacts> ProcessesHolding(const fs::path& root, const std::string& device,
                                           Holding holding = Holding::Open);

// The processes holding the advisory lock on device (as root/proc/locks lists them): the
// program that has taken the port, where ProcessesHolding would also name any other that
// merely has it open. The lock stays with the process that took it even after that one has
// ended while the processes it started keep the port open; such a locker has no name.
std::vector<ProcessFacts> ProcessesLocking(const fs::path& root, const std::string& device);

// The running processes with one of these names.
std::vector<ProcessFacts> ProcessesNamed(const fs::path& root,
                                         const std::vector<std::string>& names);

struct GroupFacts {
    gid_t gid = 0;
    std::string name;          // from the group database; the number as text when unknown
    bool userInGroup = false;  // the user's primary group, or listed among its members
};

// The group of device and whether user (a name) belongs to it per root/etc/group and
// root/etc/passwd; nothing when device does not exist.
std::optional<GroupFacts> DeviceGroup(const fs::path& root, const std::string& device,
                                      const std::string& user);
