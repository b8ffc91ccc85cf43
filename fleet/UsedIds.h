// The PTT IDs that earlier jobs may have left in radios, as a job log records them: the
// memory that keeps production runs from giving an ID twice, across runs and programs.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

class CIdSequence;

// Where the log records an ID: the row's time as the log writes it and the row's number as a
// spreadsheet counts rows (the header is row 1); 0 for a job still in the log's journal.
struct UsedId {
    std::string id;
    std::string time;
    int row = 0;
};

class CUsedIds {
public:
    // Notes that row `row` of the log gave id (upper-case) at time; a later row of the same
    // ID replaces an earlier one, so messages name the last radio that got it.
    void Add(const std::string& id, const std::string& time, int row);

    bool Empty() const { return m_ids.empty(); }
    std::size_t Count() const { return m_ids.size(); }
    const UsedId* Find(std::string_view id) const;
    // The highest ID recorded, in the order of a sequence; empty when none is.
    const std::string& Highest() const { return m_highest; }
    // The ID after the highest, counted in hexadecimal when that ID has a letter or an ID of
    // its width with a letter is recorded (its run counted in hexadecimal); empty when no ID
    // is recorded or the highest has no next.
    std::string Next() const;
    // Of the IDs ids hands out from its start, within the first `count` (0: all), the first
    // that is recorded here.
    std::optional<UsedId> FirstUsedIn(const CIdSequence& ids, std::uint64_t count) const;

private:
    std::unordered_map<std::string, UsedId> m_ids;
    std::string m_highest;
    std::set<std::size_t> m_hexWidths;  // widths at which an ID with a letter is recorded
};

// "ID 0101 was written at 2026-12-07 14:03, jobs.csv row 12"
std::string DescribeUsedId(const UsedId& used, std::string_view logName);
