#include "SerialPorts.h"

#include <algorithm>
#include <fstream>

#include "PortNames.h"
#include "PortSystem.h"

namespace {

// "COM2" before "COM10", "ttyUSB2" before "ttyUSB10": the number at a name's end counts as a
// number.
std::pair<std::string, unsigned long> SortKey(const std::string& device) {
    const std::size_t digits = device.find_last_not_of("0123456789") + 1;
    const std::string number = device.substr(digits);
    return {device.substr(0, digits), number.empty() ? 0 : std::stoul(number.substr(0, 9))};
}

}  // namespace

std::vector<SerialPortFacts> ScanSerialPorts(const std::filesystem::path& root) {
    std::vector<SerialPortFacts> ports = SystemSerialPorts(root);
    std::sort(ports.begin(), ports.end(), [](const SerialPortFacts& a, const SerialPortFacts& b) {
        return SortKey(a.device) < SortKey(b.device);
    });
    return ports;
}

std::string FirstLineOf(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

std::string SerialPortText(const SerialPortFacts& port) {
    return port.description.empty() ? port.device : LabelledPort(port.device, port.description);
}
