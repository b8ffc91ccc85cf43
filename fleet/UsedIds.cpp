#include "UsedIds.h"

#include <algorithm>

#include "IdSequence.h"

namespace {

bool HasLetter(std::string_view id) {
    return std::any_of(id.begin(), id.end(), [](char c) { return c >= 'A' && c <= 'F'; });
}

// "2026-12-07T14:03:05+01:00" as a person reads it: "2026-12-07 14:03".
std::string ShortTime(const std::string& time) {
    if (time.size() >= 16 && time[10] == 'T') {
        return time.substr(0, 10) + " " + time.substr(11, 5);
    }
    return time.empty() ? std::string("an unknown time") : time;
}

}  // namespace

void CUsedIds::Add(const std::string& id, const std::string& time, int row) {
    m_ids[id] = UsedId{id, time, row};
    if (HasLetter(id)) {
        m_hexWidths.insert(id.size());
    }
    if (m_highest.empty() || CIdSequence::Later(id, m_highest)) {
        m_highest = id;
    }
}

const UsedId* CUsedIds::Find(std::string_view id) const {
    const auto found = m_ids.find(std::string(id));
    return found == m_ids.end() ? nullptr : &found->second;
}

std::string CUsedIds::Next() const {
    if (m_highest.empty()) {
        return {};
    }
    CIdSequence ids(m_highest, m_hexWidths.contains(m_highest.size()));
    return ids.Advance() ? ids.Current() : std::string();
}

std::optional<UsedId> CUsedIds::FirstUsedIn(const CIdSequence& ids, std::uint64_t count) const {
    std::optional<UsedId> first;
    std::uint64_t fewest = 0;
    for (const auto& [id, used] : m_ids) {
        const std::optional<std::uint64_t> steps = ids.StepsTo(id);
        if (steps && (count == 0 || *steps < count) && (!first || *steps < fewest)) {
            first = used;
            fewest = *steps;
        }
    }
    return first;
}

std::string DescribeUsedId(const UsedId& used, std::string_view logName) {
    const std::string written = "ID " + used.id + " was written at " + ShortTime(used.time);
    if (used.row == 0) {
        return written + " by a run that is still going on or was cut short (" +
               std::string(logName) + ".pending)";
    }
    return written + ", " + std::string(logName) + " row " + std::to_string(used.row);
}
