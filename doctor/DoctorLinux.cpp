// The Linux checks: the device node, the group that may open it and whether this session has
// it, who holds or locks the port (from /proc), and services known to take USB adapters.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "CommPort.h"
#include "DoctorChecks.h"
#include "SystemScan.h"

namespace {

std::string RunningUser() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr ? entry->pw_name : std::to_string(::getuid());
}

bool SessionHasGroup(gid_t gid) {
    if (::getegid() == gid) {
        return true;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(count, 0), gid) !=
           groups.begin() + std::max(count, 0);
}

DoctorCheck PermissionCheck(const DoctorSystem& system, const std::string& device,
                            const std::string& user) {
    DoctorCheck check{"permission", true, "this user may open " + device + ".", {}};
    if (::access(UnderRoot(system.root, device).c_str(), R_OK | W_OK) == 0) {
        return check;
    }
    check.ok = false;
    const std::optional<GroupFacts> group = DeviceGroup(system.root, device, user);
    if (!group) {
        check.detail = "this user may not open " + device + ".";
        return check;
    }
    const std::string groupText = "the device belongs to the group " + group->name;
    if (!group->userInGroup) {
        check.detail = groupText + ", and " + user + " is not in it.";
        check.fix = "sudo usermod -aG " + group->name + " " + user +
                    "\nthen log out and in again (or restart the computer)";
    } else if (!SessionHasGroup(group->gid)) {
        check.detail = groupText + "; " + user +
                       " is in it, but this session started before that and does not have it yet.";
        check.fix = "log out and in again (or, in this terminal only: newgrp " + group->name + ")";
    } else {
        check.detail = groupText +
                       ", which this session has, but the device's permissions "
                       "do not let the group read and write it.";
        check.fix = "sudo chmod g+rw " + device;
    }
    return check;
}

// "flock (process 307, command line: flock /dev/ttyUSB0 sleep 60, parent: bash, process 12)":
// what can be named of a process. One that has ended is a number only.
std::string Who(const ProcessFacts& process) {
    constexpr std::size_t kLongest = 80;  // of a command line shown, which may run to pages
    std::string text = "process " + std::to_string(process.pid);
    if (process.name.empty()) {
        return text;
    }
    text = process.name + " (" + text;
    if (!process.commandLine.empty() && process.commandLine != process.name) {
        text += ", command line: " + process.commandLine.substr(0, kLongest) +
                (process.commandLine.size() > kLongest ? "..." : "");
    }
    // A parent of 1 is where every orphan ends up, which names nothing.
    if (process.parent > 1) {
        text += ", parent: " + (process.parentName.empty() ? "" : process.parentName + ", ") +
                "process " + std::to_string(process.parent);
    }
    return text + ")";
}

// Whether and by whom device is held, as far as taking it could tell. The lock names the
// process that took it; one that has ended handed the lock down with the port's descriptor to
// the processes it started.
DoctorCheck HeldCheck(const DoctorSystem& system, const std::string& device,
                      const Result<PortTake>& take) {
    if (take.ok()) {
        return {"held", true, "no other program holds " + device + ".", {}};
    }
    if (take.end == PortTake::Failed) {
        return HeldUntoldCheck(device, "opening it failed: " + take.message,
                               std::string(kReplugFix));
    }
    const std::vector<ProcessFacts> lockers = ProcessesLocking(system.root, device);
    std::string ended;
    for (const ProcessFacts& locker : lockers) {
        if (locker.name.empty()) {
            ended += (ended.empty() ? "process " : ", ") + std::to_string(locker.pid);
        }
    }
    std::vector<ProcessFacts> holders =
        ended.empty() ? lockers : ProcessesHolding(system.root, device, Holding::Locked);
    if (holders.empty() && ended.empty()) {
        if (take.end == PortTake::Denied) {
            return HeldUntoldCheck(device, "this user may not open it");
        }
        holders = ProcessesHolding(system.root, device);  // taken by an exclusive open
    }
    DoctorCheck check{"held", false, {}, {}};
    for (const ProcessFacts& holder : holders) {
        check.detail.append(check.detail.empty() ? "held by " : ", ").append(Who(holder));
        check.fix.append(check.fix.empty() ? "" : "\n");
        check.fix.append(holder.name.empty() ? "" : "close " + holder.name + ", or: ")
            .append("kill " + std::to_string(holder.pid));
    }
    if (holders.empty()) {
        check.detail = "another program holds " + device + " (one this user may not see)";
        check.fix =
            "close the other program that uses the port (sudo fuser -v " + device + " names it)";
    }
    if (!ended.empty()) {
        check.detail += "; the lock was taken by " + ended + ", which has ended";
    }
    check.detail += ".";
    return check;
}

// Services known to take USB serial adapters away from other programs.
std::vector<DoctorCheck> ServiceChecks(const DoctorSystem& system) {
    struct Service {
        const char* name;
        const char* why;
        const char* fix;
    };
    static constexpr Service kServices[] = {
        {"brltty", "it takes some USB serial adapters for braille displays and holds them",
         "sudo apt remove brltty (unless a braille display is used)"},
        {"ModemManager", "it probes new serial devices for modems, holding them for a while",
         "sudo systemctl stop ModemManager (and disable it if no mobile modem is used)"},
    };
    std::vector<DoctorCheck> checks;
    for (const Service& service : kServices) {
        const bool running = !ProcessesNamed(system.root, {service.name}).empty();
        checks.push_back({service.name, !running,
                          running ? std::string(service.name) + " is running: " + service.why + "."
                                  : std::string(service.name) + " is not running.",
                          running ? service.fix : ""});
    }
    return checks;
}

// What a file of this type is, where a serial port is a terminal device.
std::string_view KindOf(fs::file_type type) {
    switch (type) {
        case fs::file_type::regular:
            return "a file";
        case fs::file_type::directory:
            return "a folder";
        case fs::file_type::fifo:
            return "a named pipe";
        case fs::file_type::socket:
            return "a socket";
        case fs::file_type::block:
            return "a disk (a block device)";
        default:
            return "neither a file nor a device";
    }
}

// The device check; nothing when the device is a character device that may be a port.
std::optional<DoctorCheck> DeviceProblem(const fs::path& path, const std::string& device) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        return DoctorCheck{"device", false, device + " does not exist.", std::string(kPlugInFix)};
    }
    if (error) {  // a name too long, a file taken for a folder, ...: the system's reason
        return DoctorCheck{"device", false,
                           device + " cannot be looked up: " + error.message() + ".",
                           std::string(kChoosePortFix)};
    }
    if (status.type() != fs::file_type::character) {
        return NotSerialCheck(device, KindOf(status.type()));
    }
    return std::nullopt;
}

}  // namespace

SystemChecks CheckSystem(const DoctorSystem& system, const std::string& device) {
    SystemChecks result;
    const fs::path path = UnderRoot(system.root, device);
    if (std::optional<DoctorCheck> problem = DeviceProblem(path, device)) {
        result.checks.push_back(std::move(*problem));
        return result;
    }
    const Result<PortTake> take = TryTakePort(path.string());
    if (take.end == PortTake::NotSerial) {
        result.checks.push_back(NotSerialCheck(device, "a device other than a terminal"));
        return result;
    }
    const std::string user = system.user.empty() ? RunningUser() : system.user;
    result.checks.push_back({"device", true, device + " exists.", {}});
    result.checks.push_back(PermissionCheck(system, device, user));
    result.checks.push_back(HeldCheck(system, device, take));
    result.mayProbe = take.ok();
    for (DoctorCheck& check : ServiceChecks(system)) {
        result.checks.push_back(std::move(check));
    }
    return result;
}
