// The Linux checks: the device node, the group that may open it and whether this session has
// it, who holds or locks the port (from /proc), and services known to take USB adapters.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>

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
    if (::access((system.root / fs::path(device).relative_path()).c_str(), R_OK | W_OK) == 0) {
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

DoctorCheck HeldCheck(const DoctorSystem& system, const std::string& device) {
    if (!IsHeldByAnother((system.root / fs::path(device).relative_path()).string())) {
        return {"held", true, "no other program holds " + device + ".", {}};
    }
    std::vector<ProcessFacts> holders = ProcessesLocking(system.root, device);
    if (holders.empty()) {  // taken by an exclusive open instead: name whoever has it open
        holders = ProcessesHolding(system.root, device);
    }
    DoctorCheck check{"held", false, {}, {}};
    if (holders.empty()) {
        check.detail = "another program holds " + device + " (one this user may not see).";
        check.fix =
            "close the other program that uses the port (sudo fuser -v " + device + " names it)";
        return check;
    }
    for (const ProcessFacts& holder : holders) {
        const std::string pid = std::to_string(holder.pid);
        check.detail.append(check.detail.empty() ? "held by " : ", ");
        check.detail.append(holder.name).append(" (process ").append(pid).append(")");
        check.fix.append(check.fix.empty() ? "" : "\n");
        check.fix.append("close ").append(holder.name).append(", or: kill ").append(pid);
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

}  // namespace

SystemChecks CheckSystem(const DoctorSystem& system, const std::string& device) {
    SystemChecks result;
    std::error_code error;
    if (!fs::exists(system.root / fs::path(device).relative_path(), error)) {
        result.checks.push_back({"device", false, device + " does not exist.",
                                 "plug the cable in, or choose the port it is on (the ports "
                                 "found are listed above)"});
        return result;
    }
    const std::string user = system.user.empty() ? RunningUser() : system.user;
    result.checks.push_back({"device", true, device + " exists.", {}});
    result.checks.push_back(PermissionCheck(system, device, user));
    result.checks.push_back(HeldCheck(system, device));
    result.mayProbe = result.checks[1].ok && result.checks[2].ok;
    for (DoctorCheck& check : ServiceChecks(system)) {
        result.checks.push_back(std::move(check));
    }
    return result;
}
