#include "MakePort.h"

#include "CommPort.h"
#include "DemoPort.h"
#include "DemoRadio.h"
#include "PortNames.h"

std::unique_ptr<IPort> MakePort(const std::string& name) {
    if (name == kDemoPortName) {
        return std::make_unique<CDemoPort>(TheDemoRadio(), SteadyClock());
    }
    return std::make_unique<CCommPort>();
}
