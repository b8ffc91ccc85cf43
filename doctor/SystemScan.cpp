#include "SystemScan.h"

#include "Numbers.h"
#include "SerialPorts.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace {

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

// The words of /proc/PID/cmdline (each ends in a NUL) joined by spaces; else the program's
// path, which a process without words (a kernel thread, one being replaced) may still show.
std::string CommandLine(const fs::path& folder) {
    std::ifstream in(folder / "cmdline", std::ios::binary);
    std::string words((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!words.empty() && words.back() == '\0') {
        words.pop_back();
    }
    std::replace(words.begin(), words.end(), '\0', ' ');
    std::error_code error;
    return !words.empty() ? words : fs::read_symlink(folder / "exe", error).string();
}

pid_t ParentOf(const fs::path& folder) {
    std::ifstream in(folder / "status");
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("PPid:")) {
            return static_cast<pid_t>(LeadingInteger(std::string_view(line).substr(5)));
        }
    }
    return 0;
}

// Whether the descriptor at /proc/PID/fd/N carries a lock: its fdinfo has a "lock:" line.
bool CarriesLock(const fs::path& fd) {
    std::ifstream info(fd.parent_path().parent_path() / "fdinfo" / fd.filename());
    for (std::string line; std::getline(info, line);) {
        if (line.starts_with("lock:")) {
            return true;
        }
    }
    return false;
}

ProcessFacts Process(const fs::path& root, pid_t pid) {
    const fs::path folder = root / "proc" / std::to_string(pid);
    ProcessFacts process{
        pid, FirstLineOf(folder / "comm"), CommandLine(folder), ParentOf(folder), {}};
    if (process.parent > 0) {
        process.parentName = FirstLineOf(root / "proc" / std::to_string(process.parent) / "comm");
    }
    return process;
}

}  // namespace

fs::path UnderRoot(const fs::path& root, const std::string& path) {
    std::error_code error;
    return root / fs::absolute(fs::path(path), error).relative_path();
}

std::vector<ProcessFacts> ProcessesHolding(const fs::path& root, const std::string& device,
                                           Holding holding) {
    std::error_code error;
    // A link such as /dev/serial/by-id/... names the same device as its target.
    const fs::path wanted = fs::weakly_canonical(UnderRoot(root, device), error);
    std::vector<ProcessFacts> holders;
    for (const pid_t pid : Pids(root)) {
        if (pid == ::getpid() && root == "/") {
            continue;
        }
        for (const auto& fd :
             fs::directory_iterator(root / "proc" / std::to_string(pid) / "fd", error)) {
            const fs::path target = fs::read_symlink(fd.path(), error);
            if (!error && (UnderRoot(root, target.string()) == wanted || target == device) &&
                (holding == Holding::Open || CarriesLock(fd.path()))) {
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
    if (::stat(UnderRoot(root, device).c_str(), &status) != 0) {
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
    if (::stat(UnderRoot(root, device).c_str(), &status) != 0) {
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
