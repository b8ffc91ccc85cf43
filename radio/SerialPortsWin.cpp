// The COM ports as Windows lists them: the device manager's ports (SetupAPI) with each
// adapter's USB ids, description, maker and driver service, then any port only the registry's
// map of serial devices names (a port without a device manager entry, as wine makes them).
// clang-format off
#include <windows.h>
#include <initguid.h>  // defines the class GUID below in this file
#include <devguid.h>
#include <setupapi.h>
// clang-format on

#include <algorithm>
#include <cwctype>

#include "FileIO.h"
#include "PortSystem.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const std::wstring& wide) {
    return Utf8Of(fs::path(wide));
}

// A text property of a device; a list of texts (hardware ids) comes back as its first.
std::wstring Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr,
                                             reinterpret_cast<BYTE*>(buffer),
                                             sizeof buffer - sizeof(wchar_t), nullptr)) {
        return {};
    }
    return buffer;
}

// A string value of an open registry key; empty when it is missing or no string.
std::wstring StringValue(HKEY key, const wchar_t* name) {
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return buffer;
}

// The four hex digits after "VID_" or "PID_" in a hardware id, in lower case as USB ids are
// written: "USB\VID_0403&PID_6001&REV_0600", "FTDIBUS\COMPORT&VID_0403&PID_6001".
std::string HexAfter(const std::wstring& id, const wchar_t* key) {
    std::wstring upper = id;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
    const std::size_t at = upper.find(key);
    if (at == std::wstring::npos || at + 8 > upper.size()) {
        return {};
    }
    std::string hex;
    for (const wchar_t c : upper.substr(at + 4, 4)) {
        if (!std::iswxdigit(c)) {
            return {};
        }
        hex += static_cast<char>(std::towlower(c));
    }
    return hex;
}

// "USB Serial Port (COM3)" names the port after the adapter: the adapter's part alone.
std::wstring WithoutPortName(std::wstring name, const std::wstring& port) {
    const std::wstring suffix = L" (" + port + L")";
    if (name.size() > suffix.size() && name.ends_with(suffix)) {
        name.resize(name.size() - suffix.size());
    }
    return name;
}

bool IsComName(const std::wstring& name) {
    return name.size() > 3 && name.rfind(L"COM", 0) == 0;
}

void AddDeviceManagerPorts(std::vector<SerialPortFacts>& ports) {
    const HDEVINFO set =
        ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        const HKEY key =
            ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        const std::wstring name = StringValue(key, L"PortName");
        ::RegCloseKey(key);
        if (!IsComName(name)) {
            continue;  // a printer port, which the class also holds
        }
        SerialPortFacts facts;
        facts.device = Utf8(name);
        facts.driver = Utf8(Property(set, device, SPDRP_SERVICE));
        std::wstring description = WithoutPortName(Property(set, device, SPDRP_FRIENDLYNAME), name);
        facts.description =
            Utf8(description.empty() ? Property(set, device, SPDRP_DEVICEDESC) : description);
        facts.manufacturer = Utf8(Property(set, device, SPDRP_MFG));
        const std::wstring hardware = Property(set, device, SPDRP_HARDWAREID);
        const std::string vendor = HexAfter(hardware, L"VID_");
        const std::string product = HexAfter(hardware, L"PID_");
        if (!vendor.empty() && !product.empty()) {
            facts.usbId = vendor + ":" + product;
        }
        ports.push_back(std::move(facts));
    }
    ::SetupDiDestroyDeviceInfoList(set);
}

// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: "\Device\Serial0" = "COM1", one value a port.
void AddMappedPorts(std::vector<SerialPortFacts>& ports) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256] = {};
        DWORD nameSize = std::size(valueName);
        wchar_t data[64] = {};
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status = ::RegEnumValueW(key, i, valueName, &nameSize, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        const std::wstring name = data;
        if (status != ERROR_SUCCESS || type != REG_SZ || !IsComName(name)) {
            continue;
        }
        const std::string device = Utf8(name);
        if (std::none_of(ports.begin(), ports.end(),
                         [&](const SerialPortFacts& port) { return port.device == device; })) {
            SerialPortFacts facts;
            facts.device = device;
            ports.push_back(std::move(facts));
        }
    }
    ::RegCloseKey(key);
}

}  // namespace

std::vector<SerialPortFacts> SystemSerialPorts(const fs::path&) {
    std::vector<SerialPortFacts> ports;
    AddDeviceManagerPorts(ports);
    AddMappedPorts(ports);
    return ports;
}
