#include "PortScan.h"

#include <algorithm>

#include "PortNames.h"
#include "SerialPorts.h"

std::vector<ScanPort> PortsToScan(const std::string& chosen) {
    std::vector<ScanPort> ports;
    std::vector<std::string> devices;  // DeviceIdentity of each port listed
    const auto add = [&](const std::string& name, std::string label, std::string mapTo) {
        std::string device = DeviceIdentity(name);
        if (std::find(devices.begin(), devices.end(), device) == devices.end()) {
            devices.push_back(std::move(device));
            ports.push_back({name, std::move(label), std::move(mapTo)});
        }
    };
    add(chosen, PortWithDevice(chosen), DeviceForPort(chosen));
    for (const std::string_view com : kPortNames) {
        const std::string name(com);
        add(name, PortWithDevice(name), DeviceForPort(name));
    }
    for (const SerialPortFacts& facts : ScanSerialPorts()) {
        // A COM name mapped to the stable name still finds the adapter once it is plugged
        // into another socket.
        add(facts.device, SerialPortText(facts), facts.byId.empty() ? facts.device : facts.byId);
    }
    return ports;
}

std::string ScanLine(const DoctorReport& report) {
    const auto& checks = report.checks;
    const auto probe = std::find_if(checks.begin(), checks.end(),
                                    [](const DoctorCheck& check) { return check.name == "radio"; });
    if (probe != checks.end()) {
        return probe->detail;
    }
    const auto failed = std::find_if(checks.begin(), checks.end(),
                                     [](const DoctorCheck& check) { return !check.ok; });
    return failed != checks.end() ? failed->detail : "the radio was not probed.";
}

std::string ComToMap(const std::string& chosen) {
    const bool com = std::find(kPortNames.begin(), kPortNames.end(), chosen) != kPortNames.end();
    const std::string name = com ? chosen : std::string(kPortNames[0]);
    return PortSetByEnvironment(name) ? std::string() : name;
}
