#include "SystemScan.h"

#include "SerialPorts.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

// root joined with an absolute path.
fs::path Under(const fs::path& root, const std::string& absolute) {
    return root / fs::path(absolute).relative_path();
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
    return {pid, FirstLineOf(root / "proc" / std::to_string(pid) / "comm")};
}

}  // namespace

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
