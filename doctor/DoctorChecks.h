// The checks between finding the port and probing the radio, which each system makes its own
// way: DoctorLinux.cpp (the device, its group, who holds or locks it, services that take
// adapters), DoctorWin.cpp (the port, and whether another program has it).
#pragma once

#include <string>
#include <vector>

#include "Doctor.h"

struct SystemChecks {
    std::vector<DoctorCheck> checks;
    bool mayProbe = false;  // the port can be opened: the radio is probed
};

SystemChecks CheckSystem(const DoctorSystem& system, const std::string& device);
