#include "Doctor.h"

#include <algorithm>

#include "CloneExchange.h"
#include "CommPort.h"
#include "DoctorChecks.h"
#include "HexText.h"
#include "PortNames.h"
#include "PortSystem.h"

namespace {

// A probe's hooks: real pauses, no boxes, the identification kept, cancelled by a stop
// request.
class CDoctorHooks final : public ICloneHooks {
public:
    explicit CDoctorHooks(std::stop_token stop) : m_stop(std::move(stop)) {}
    void Sleep(int milliseconds) override { PauseLine(milliseconds); }
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

std::vector<DoctorPort> PortsWithNames(const fs::path& root) {
    std::vector<DoctorPort> ports;
    for (SerialPortFacts& facts : ScanSerialPorts(root)) {
        DoctorPort port{std::move(facts), {}, {}};
        for (const std::string_view name : kPortNames) {
            const std::string device = DeviceForPort(name);
            // A port that is its own name (COM1 on Windows) is named once.
            if (port.comName.empty() && name != port.facts.device &&
                (device == port.facts.device ||
                 (!port.facts.byId.empty() && device == port.facts.byId))) {
                port.comName = std::string(name);
                port.comSource = PortSource(name);
            }
        }
        ports.push_back(std::move(port));
    }
    return ports;
}

// The "radio" check of a probe that did not find a radio ready for a read.
DoctorCheck RadioProblem(const Result<ProbeEnd>& probe, const std::string& identification) {
    switch (probe.end) {
        case ProbeEnd::OpenFailed:
            return {"radio", false, "the port could not be opened: " + probe.message + ".",
                    std::string(kReplugFix)};
        case ProbeEnd::Unconfirmed:
            return {"radio", false,
                    "a radio answered the handshake, but not as a read needs: it never confirmed "
                    "it (identification: " +
                        (identification.empty() ? std::string("none") : identification) +
                        "), so every read would fail.",
                    "push the programming plug fully home in the radio's socket\n"
                    "switch the radio off and on again, then check again\n"
                    "try another cable: a poor one garbles the radio's answers"};
        default:
            return {"radio", false, "no radio answered the handshake.",
                    "push the programming plug fully home in the radio's socket\n"
                    "switch the radio on, with a charged battery\n"
                    "check that the cable is on this port: unplug it, plug it in again, and see "
                    "which port appears in the list above\n"
                    "try the cable with another radio, or another cable"};
    }
}

}  // namespace

DoctorCheck NotSerialCheck(const std::string& device, std::string_view what) {
    return {"device", false, device + " is " + std::string(what) + ", not a serial port.",
            std::string(kChoosePortFix)};
}

DoctorCheck HeldUntoldCheck(const std::string& device, const std::string& why,
                            const std::string& fix) {
    return {"held", false,
            "whether another program holds " + device + " cannot be told: " + why + ".", fix};
}

RadioVerdict ProbeForRadio(IPort& port, const std::string& name, std::stop_token stop) {
    CDoctorHooks hooks(stop);
    Result<ProbeEnd> probe{ProbeEnd::Cancelled, {}};
    for (int attempt = 0; attempt < kProbeAttempts && !stop.stop_requested(); ++attempt) {
        probe = ProbeRadio(port, hooks, name);
        if (probe.ok() || probe.end == ProbeEnd::OpenFailed) {
            break;
        }
    }
    if (probe.ok()) {
        return {
            {"radio", true, "a radio answered: identification " + hooks.Identification() + ".", {}},
            hooks.Identification()};
    }
    return {RadioProblem(probe, hooks.Identification()), std::nullopt};
}

DoctorReport RunDoctor(const std::string& port, IPort& probePort, const DoctorSystem& system,
                       std::stop_token stop) {
    DoctorReport report;
    report.ports = PortsWithNames(system.root);
    report.port = port;
    report.device = DeviceForPort(port);
    // The demo radio lives in the program: no device, permission or holder to look at.
    const SystemChecks system_checks =
        port == kDemoPortName
            ? SystemChecks{{{"device", true, "the simulated radio inside this program.", {}}}, true}
            : CheckSystem(system, report.device);
    report.checks = system_checks.checks;
    if (system_checks.mayProbe) {
        RadioVerdict verdict = ProbeForRadio(probePort, port, stop);
        report.checks.push_back(std::move(verdict.check));
        report.identification = std::move(verdict.identification);
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
