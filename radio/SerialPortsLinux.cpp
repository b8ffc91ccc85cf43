// The serial ports as Linux shows them under /sys/class/tty, with the USB device that carries
// each adapter's identity and the stable names under /dev/serial/by-id.
#include <system_error>

#include "PortSystem.h"
#include "SerialPorts.h"

namespace fs = std::filesystem;

namespace {

// Walks up from a tty's device folder to the USB device that carries its identity.
void ReadUsbFacts(const fs::path& deviceDir, SerialPortFacts& facts) {
    std::error_code error;
    fs::path dir = fs::canonical(deviceDir, error);
    for (int depth = 0; !error && depth < 6 && dir.has_relative_path(); ++depth) {
        if (fs::exists(dir / "idVendor", error)) {
            facts.usbId = FirstLineOf(dir / "idVendor") + ":" + FirstLineOf(dir / "idProduct");
            facts.serial = FirstLineOf(dir / "serial");
            facts.manufacturer = FirstLineOf(dir / "manufacturer");
            facts.description = FirstLineOf(dir / "product");
            return;
        }
        dir = dir.parent_path();
    }
}

}  // namespace

std::vector<SerialPortFacts> SystemSerialPorts(const fs::path& root) {
    std::vector<SerialPortFacts> ports;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / "sys/class/tty", error)) {
        const fs::path tty = entry.path();
        const std::string name = tty.filename().string();
        if (!fs::exists(tty / "device", error)) {
            continue;  // a virtual terminal, a pseudo-terminal
        }
        // Built-in UARTs are listed whether or not a port is there; type 0 means none.
        if (name.starts_with("ttyS") && FirstLineOf(tty / "type") == "0") {
            continue;
        }
        SerialPortFacts facts;
        facts.device = "/dev/" + name;
        facts.driver = fs::read_symlink(tty / "device/driver", error).filename().string();
        ReadUsbFacts(tty / "device", facts);
        for (const auto& link : fs::directory_iterator(root / "dev/serial/by-id", error)) {
            if (fs::read_symlink(link.path(), error).filename() == name) {
                facts.byId = "/dev/serial/by-id/" + link.path().filename().string();
            }
        }
        ports.push_back(std::move(facts));
    }
    return ports;
}
