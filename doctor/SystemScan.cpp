#include "SystemScan.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

// The first line of a small text file, without its line end; empty when it cannot be read.
std::string FirstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

// root joined with an absolute path.
fs::path Under(const fs::path& root, const std::string& absolute) {
    return root / fs::path(absolute).relative_path();
}

// Walks up from a tty's device folder to the USB device that carries its identity.
void ReadUsbFacts(const fs::path& deviceDir, SerialPortFacts& facts) {
    std::error_code error;
    fs::path dir = fs::canonical(deviceDir, error);
    for (int depth = 0; !error && depth < 6 && dir.has_relative_path(); ++depth) {
        if (fs::exists(dir / "idVendor", error)) {
            facts.usbId = FirstLine(dir / "idVendor") + ":" + FirstLine(dir / "idProduct");
            facts.serial = FirstLine(dir / "serial");
            facts.manufacturer = FirstLine(dir / "manufacturer");
            facts.description = FirstLine(dir / "product");
            return;
        }
        dir = dir.parent_path();
    }
}

std::vector<std::vector<std::string>> ColonRecords(const fs::path& path) {
    std::vector<std::vector<std::string>> records;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ':');) {
            fields.push_back(field);
        }
        records.push_back(std::move(fields));
    }
    return records;
}

std::vector<pid_t> Pids(const fs::path& root) {
    std::vector<pid_t> pids;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / "proc", error)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && std::all_of(name.begin(), name.end(), ::isdigit)) {
            pids.push_back(static_cast<pid_t>(std::stol(name)));
        }
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

ProcessFacts Process(const fs::path& root, pid_t pid) {
    return {pid, FirstLine(root / "proc" / std::to_string(pid) / "comm")};
}

}  // namespace

std::vector<SerialPortFacts> ScanSerialPorts(const fs::path& root) {
    std::vector<SerialPortFacts> ports;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root / "sys/class/tty", error)) {
        const fs::path tty = entry.path();
        const std::string name = tty.filename().string();
        if (!fs::exists(tty / "device", error)) {
            continue;  // a virtual terminal, a pseudo-terminal
        }
        // Built-in UARTs are listed whether or not a port is there; type 0 means none.
        if (name.starts_with("ttyS") && FirstLine(tty / "type") == "0") {
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
    std::sort(ports.begin(), ports.end(), [](const SerialPortFacts& a, const SerialPortFacts& b) {
        return a.device < b.device;
    });
    return ports;
}

std::vector<ProcessFacts> ProcessesHolding(const fs::path& root, const std::string& device) {
    std::error_code error;
    // A link such as /dev/serial/by-id/... names the same device as its target.
    const fs::path wanted = fs::weakly_canonical(Under(root, device), error);
    std::vector<ProcessFacts> holders;
    for (const pid_t pid : Pids(root)) {
        if (pid == ::getpid() && root == "/") {
            continue;
        }
        for (const auto& fd :
             fs::directory_iterator(root / "proc" / std::to_string(pid) / "fd", error)) {
            const fs::path target = fs::read_symlink(fd.path(), error);
            if (!error && (Under(root, target.string()) == wanted || target == device)) {
                holders.push_back(Process(root, pid));
                break;
            }
        }
        error.clear();
    }
    return holders;
}

std::vector<ProcessFacts> ProcessesLocking(const fs::path& root, const std::string& device) {
    struct stat status {};
    if (::stat(Under(root, device).c_str(), &status) != 0) {
        return {};
    }
    // "1: FLOCK  ADVISORY  WRITE 4711 00:19:3 0 EOF": the lock's file as device:inode.
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%lu", major(status.st_dev), minor(status.st_dev),
                  static_cast<unsigned long>(status.st_ino));
    std::vector<ProcessFacts> lockers;
    std::ifstream locks(root / "proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::stringstream words(line);
        std::string number, kind, mode, access, file;
        pid_t pid = 0;
        if (words >> number >> kind >> mode >> access >> pid >> file && kind == "FLOCK" &&
            file == id) {
            lockers.push_back(Process(root, pid));
        }
    }
    return lockers;
}

std::vector<ProcessFacts> ProcessesNamed(const fs::path& root,
                                         const std::vector<std::string>& names) {
    std::vector<ProcessFacts> found;
    for (const pid_t pid : Pids(root)) {
        ProcessFacts process = Process(root, pid);
        if (std::find(names.begin(), names.end(), process.name) != names.end()) {
            found.push_back(std::move(process));
        }
    }
    return found;
}

std::optional<GroupFacts> DeviceGroup(const fs::path& root, const std::string& device,
                                      const std::string& user) {
    struct stat status {};
    if (::stat(Under(root, device).c_str(), &status) != 0) {
        return std::nullopt;
    }
    GroupFacts group;
    group.gid = status.st_gid;
    group.name = std::to_string(group.gid);
    for (const auto& record : ColonRecords(root / "etc/passwd")) {
        if (record.size() > 3 && record[0] == user && record[3] == std::to_string(group.gid)) {
            group.userInGroup = true;
        }
    }
    for (const auto& record : ColonRecords(root / "etc/group")) {
        if (record.size() > 2 && record[2] == std::to_string(group.gid)) {
            group.name = record[0];
            std::stringstream members(record.size() > 3 ? record[3] : "");
            for (std::string member; std::getline(members, member, ',');) {
                group.userInGroup = group.userInGroup || member == user;
            }
        }
    }
    return group;
}
