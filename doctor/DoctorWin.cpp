// The Windows checks: the port is one the system lists or can open, and no other program has
// it (a COM port is one program's at a time, so the open itself tells).
#include <algorithm>

#include "CommPort.h"
#include "DoctorChecks.h"

SystemChecks CheckSystem(const DoctorSystem& system, const std::string& device) {
    SystemChecks result;
    const Result<PortTake> take = TryTakePort(device);
    if (take.end == PortTake::NotSerial) {
        result.checks.push_back(NotSerialCheck(device, "a file or another device"));
        return result;
    }
    const std::vector<SerialPortFacts> ports = ScanSerialPorts(system.root);
    const bool listed = std::any_of(ports.begin(), ports.end(), [&](const SerialPortFacts& port) {
        return port.device == device;
    });
    const bool held = take.end == PortTake::Held;
    if (!listed && !held) {
        const std::string why = take.ok() ? "" : " (" + take.message + ")";
        result.checks.push_back({"device", false,
                                 device + " is not among the ports found" + why + ".",
                                 std::string(kPlugInFix)});
        return result;
    }
    result.checks.push_back({"device", true, device + " is there.", {}});
    if (held) {
        result.checks.push_back({"held", false, "another program is using " + device + ".",
                                 "close the other program that uses the port"});
        return result;
    }
    if (!take.ok()) {
        result.checks.push_back(
            HeldUntoldCheck(device, "opening it failed: " + take.message, std::string(kReplugFix)));
        return result;
    }
    result.checks.push_back({"held", true, "no other program holds " + device + ".", {}});
    result.mayProbe = true;
    return result;
}
