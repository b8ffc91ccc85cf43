// The checks between finding the port and probing the radio, which each system makes its own
// way: DoctorLinux.cpp (the device, its group, who holds or locks it, services that take
// adapters), DoctorWin.cpp (the port, and whether another program has it).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Doctor.h"

struct SystemChecks {
    std::vector<DoctorCheck> checks;
    bool mayProbe = false;  // the port can be opened: the radio is probed
};

SystemChecks CheckSystem(const DoctorSystem& system, const std::string& device);

// The checks both systems word alike (Doctor.cpp).

// device is something other than a serial port (what, e.g. "a folder"): nothing else applies.
DoctorCheck NotSerialCheck(const std::string& device, std::string_view what);

// Whether another program holds device could not be told, and why not ("this user may not
// open it"); fix is what to do about it, if anything the other checks do not say.
DoctorCheck HeldUntoldCheck(const std::string& device, const std::string& why,
                            const std::string& fix = {});

// What the checks ask of the user where a port is missing, is no serial port, or would not
// open for a reason of the system's.
inline constexpr std::string_view kPlugInFix =
    "plug the cable in, or choose the port it is on (the ports found are listed above)";
inline constexpr std::string_view kChoosePortFix =
    "choose the port the cable is on (the ports found are listed above)";
inline constexpr std::string_view kReplugFix =
    "unplug the cable, plug it in again, and check again";
