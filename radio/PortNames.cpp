#include "PortNames.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "PortSystem.h"
#include "ProgramSettings.h"

namespace {

constexpr char kPortsGroup[] = "Ports";

// 1 to 4 for "COM1" to "COM4", 0 for any other name.
int ComNumber(std::string_view name) {
    const auto it = std::find(kPortNames.begin(), kPortNames.end(), name);
    return it == kPortNames.end() ? 0 : static_cast<int>(it - kPortNames.begin()) + 1;
}

std::string FromEnvironment(std::string_view name) {
    const std::string variable = "KVPROG_" + std::string(name);
    const char* value = std::getenv(variable.c_str());
    return value != nullptr ? std::string(value) : std::string();
}

std::string FromSettings(std::string_view name) {
    QSettings profile = ProgramSettings();
    profile.beginGroup(QString::fromLatin1(kPortsGroup));
    return profile.value(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())))
        .toString()
        .toStdString();
}

}  // namespace

void MapPortInSettings(std::string_view name, const std::string& device) {
    QSettings profile = ProgramSettings();
    profile.beginGroup(QString::fromLatin1(kPortsGroup));
    profile.setValue(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                     QString::fromStdString(device));
}

bool PortSetByEnvironment(std::string_view name) {
    return ComNumber(name) != 0 && !FromEnvironment(name).empty();
}

std::string PortWithDevice(std::string_view name) {
    const std::string device = DeviceForPort(name);
    return device == name ? device : LabelledPort(name, device);
}

std::string LabelledPort(std::string_view name, std::string_view note) {
    std::string label(name);
    label.append(" (").append(note).append(")");
    return label;
}

std::string DeviceForPort(std::string_view name) {
    if (name == kDemoPortName) {
        return std::string(kDemoPortNote);
    }
    const int number = ComNumber(name);
    if (number == 0) {
        return std::string(name);
    }
    if (std::string device = FromEnvironment(name); !device.empty()) {
        return device;
    }
    if (std::string device = FromSettings(name); !device.empty()) {
        return device;
    }
    return DefaultDevice(number);
}

std::string PortSource(std::string_view name) {
    if (ComNumber(name) == 0) {
        return {};
    }
    if (PortSetByEnvironment(name)) {
        return "environment KVPROG_" + std::string(name);
    }
    return FromSettings(name).empty() ? "default" : "settings file";
}

std::string DeviceIdentity(std::string_view name) {
    const std::string device = DeviceForPort(name);
    if (std::string node = DeviceNode(device); !node.empty()) {
        return node;
    }
    std::error_code error;
    return "path " + std::filesystem::absolute(device, error).lexically_normal().string();
}
