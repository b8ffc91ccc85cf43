// The port for a name, the one way every exchange gets its port: the demo radio for
// kDemoPortName, the serial port for every other name.
#pragma once

#include <memory>
#include <string>

#include "Port.h"

std::unique_ptr<IPort> MakePort(const std::string& name);
