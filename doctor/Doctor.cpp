#include "Doctor.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "CloneExchange.h"
#include "CommPort.h"
#include "HexText.h"
#include "PortNames.h"

namespace {

// A probe's hooks: real pauses, no boxes, the identification kept, cancelled by a stop
// request.
class CDoctorHooks final : public ICloneHooks {
public:
    explicit CDoctorHooks(std::stop_token stop) : m_stop(std::move(stop)) {}
    void Sleep(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void ShowMessage(std::string_view, MessageIcon) override {}
    RetryAnswer AskRetryCancel(std::string_view) override { return RetryAnswer::Cancel; }
    void PumpOne() override {}
    bool IsCancelled() override { return m_stop.stop_requested(); }
    void SetStatus(std::string_view) override {}
    int ProgressPosition() override { return 0; }
    void SetProgressPosition(int) override {}
    void Identified(std::span<const std::uint8_t> identification) override {
        m_identification = HexBytes(identification);
    }
    const std::string& Identification() const { return m_identification; }

private:
    std::stop_token m_stop;
    std::string m_identification;
};

// How many handshakes the probe tries; a radio that is there answers the first.
constexpr int kProbeAttempts = 2;

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

std::vector<DoctorPort> PortsWithNames(const fs::path& root) {
    std::vector<DoctorPort> ports;
    for (SerialPortFacts& facts : ScanSerialPorts(root)) {
        DoctorPort port{std::move(facts), {}, {}};
        for (const std::string_view name : kPortNames) {
            const std::string device = DeviceForPort(name);
            if (port.comName.empty() && (device == port.facts.device ||
                                         (!port.facts.byId.empty() && device == port.facts.byId))) {
                port.comName = std::string(name);
                port.comSource = PortSource(name);
            }
        }
        ports.push_back(std::move(port));
    }
    return ports;
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

DoctorCheck RadioCheck(IPort& port, const std::string& name, std::optional<std::string>& id,
                       std::stop_token stop) {
    CDoctorHooks hooks(stop);
    bool answered = false;
    for (int attempt = 0; attempt < kProbeAttempts && !answered && !stop.stop_requested();
         ++attempt) {
        answered = ProbeRadio(port, hooks, name).ok();
    }
    if (answered) {
        id = hooks.Identification();
        return {"radio", true, "a radio answered: identification " + *id + ".", {}};
    }
    return {"radio", false, "no radio answered the handshake.",
            "push the programming plug fully home in the radio's socket\n"
            "switch the radio on, with a charged battery\n"
            "check that the cable is on this port: unplug it, plug it in again, and see which "
            "port appears in the list above\n"
            "try the cable with another radio, or another cable"};
}

}  // namespace

DoctorReport RunDoctor(const std::string& port, IPort& probePort, const DoctorSystem& system,
                       std::stop_token stop) {
    DoctorReport report;
    report.ports = PortsWithNames(system.root);
    report.port = port;
    report.device = DeviceForPort(port);
    const std::string user = system.user.empty() ? RunningUser() : system.user;
    std::error_code error;
    if (!fs::exists(system.root / fs::path(report.device).relative_path(), error)) {
        report.checks.push_back({"device", false, report.device + " does not exist.",
                                 "plug the cable in, or choose the port it is on (the ports "
                                 "found are listed above)"});
        return report;
    }
    report.checks.push_back({"device", true, report.device + " exists.", {}});
    report.checks.push_back(PermissionCheck(system, report.device, user));
    report.checks.push_back(HeldCheck(system, report.device));
    for (DoctorCheck& check : ServiceChecks(system)) {
        report.checks.push_back(std::move(check));
    }
    if (report.checks[1].ok && report.checks[2].ok) {
        report.checks.push_back(RadioCheck(probePort, port, report.identification, stop));
    }
    return report;
}

std::string DoctorText(const DoctorReport& report) {
    std::string text = "Serial ports found:\n";
    if (report.ports.empty()) {
        text += "  none\n";
    }
    for (const DoctorPort& port : report.ports) {
        const SerialPortFacts& facts = port.facts;
        text += "  " + facts.device;
        if (!port.comName.empty()) {
            text += "  = " + port.comName + " (" + port.comSource + ")";
        }
        text += "\n";
        for (const auto& [label, value] : {std::pair{"description", facts.description},
                                           {"manufacturer", facts.manufacturer},
                                           {"USB id", facts.usbId},
                                           {"serial number", facts.serial},
                                           {"driver", facts.driver},
                                           {"stable name", facts.byId}}) {
            if (!value.empty()) {
                text += std::string("    ") + label + ": " + value + "\n";
            }
        }
    }
    text += "\nPort " + report.port;
    if (report.device != report.port) {
        text += " = " + report.device;
        const std::string source = PortSource(report.port);
        text += source.empty() ? "" : " (" + source + ")";
    }
    text += ":\n";
    for (const DoctorCheck& check : report.checks) {
        text += std::string(check.ok ? "  ok      " : "  PROBLEM ") + check.detail + "\n";
        std::size_t start = 0;
        while (start < check.fix.size()) {
            const std::size_t end = std::min(check.fix.find('\n', start), check.fix.size());
            text += "          fix: " + check.fix.substr(start, end - start) + "\n";
            start = end + 1;
        }
    }
    return text;
}
