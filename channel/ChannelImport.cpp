#include "ChannelImport.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>

#include "CellRules.h"
#include "Numbers.h"
#include "QuotedValue.h"
#include "TextCase.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool IsPlainDecimal(std::string_view text) {
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return !whole.empty() && digits(whole) && digits(fraction);
}

std::string Problem(std::size_t row, int column, std::string_view value, std::string_view why) {
    return "row " + std::to_string(row) + ", column \"" + std::string(kColumnHeaders[column]) +
           "\", value " + QuotedValue(value) + ": " + std::string(why);
}

// For each grid column, the index of the CSV field that holds it.
using ColumnMap = std::array<std::optional<std::size_t>, kGridCols>;

// Whether every field of the record is a column header: the record is then a header row.
bool IsHeader(const CsvRecord& record) {
    return std::all_of(record.begin(), record.end(), [](const std::string& field) {
        return std::find(kColumnHeaders.begin(), kColumnHeaders.end(), Trimmed(field)) !=
               kColumnHeaders.end();
    });
}

// needChannel: the rows name their channels in a "CH" column.
std::optional<std::string> MapHeader(const CsvRecord& header, bool needChannel, ColumnMap& map) {
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string_view name = Trimmed(header[i]);
        int column = -1;
        for (int c = 0; c < kGridCols; ++c) {
            if (kColumnHeaders[c] == name) {
                column = c;
            }
        }
        if (column < 0) {
            return "row 1: unknown column " + QuotedValue(header[i]);
        }
        if (map[column]) {
            return "row 1: column \"" + std::string(name) + "\" appears twice";
        }
        map[column] = i;
    }
    if (needChannel && !map[COL_CH]) {
        return std::string("row 1: there is no \"CH\" column naming the channel of each row");
    }
    // A row replaces its whole channel, and one without frequencies deletes it: a file
    // without frequency columns would delete every channel it names.
    if (!map[COL_RX_FREQ] && !map[COL_TX_FREQ]) {
        return std::string(
            "row 1: there is no \"Receive(MHz)\" or \"Transmit(MHz)\" column; "
            "every row would delete its channel");
    }
    return std::nullopt;
}

class RowImporter {
public:
    RowImporter(const ToneList& tones, BandLimits band, std::size_t row)
        : m_tones(tones), m_band(band), m_row(row) {}

    // Fills cells from the record's fields; returns the problem of the first bad value.
    std::optional<std::string> Import(const std::array<std::string, kGridCols>& fields,
                                      std::array<std::string, kGridCols>& cells) const {
        for (int c : {COL_RX_FREQ, COL_TX_FREQ}) {
            if (auto problem = Frequency(fields, c, cells[c])) {
                return problem;
            }
        }
        if (cells[COL_RX_FREQ].empty() && cells[COL_TX_FREQ].empty()) {
            for (int c = COL_RX_TONE; c <= COL_POWER; ++c) {
                cells[c].clear();
            }
            return std::nullopt;
        }
        for (int c = COL_RX_TONE; c <= COL_POWER; ++c) {
            if (auto problem = ListValue(fields, c, cells[c])) {
                return problem;
            }
        }
        return std::nullopt;
    }

private:
    std::optional<std::string> Frequency(const std::array<std::string, kGridCols>& fields, int c,
                                         std::string& cell) const {
        const std::string_view value = Trimmed(fields[c]);
        if (value.empty()) {
            cell.clear();
            return std::nullopt;
        }
        // A file is no place to guess: "462,5625" or "462.5625 MHz" are refused rather than
        // read as far as they look like a number.
        if (!IsPlainDecimal(value)) {
            return Problem(m_row, c, value,
                           "not a frequency in MHz (digits with a point as the decimal mark)");
        }
        const FrequencyCheck check = CheckFrequency(value, m_band);
        if (!check.ok()) {
            return Problem(m_row, c, value, check.FirstFailure());
        }
        cell = check.text;
        return std::nullopt;
    }

    // A tone, Busy, W/N, Scan or Power value: empty takes the new-row default, anything
    // else must be a list text (any letter case) and is stored as the list writes it.
    std::optional<std::string> ListValue(const std::array<std::string, kGridCols>& fields, int c,
                                         std::string& cell) const {
        const std::string_view value = Trimmed(fields[c]);
        if (value.empty()) {
            cell = kNewRowDefaults[static_cast<std::size_t>(c - COL_RX_TONE)];
            return std::nullopt;
        }
        if (c == COL_RX_TONE || c == COL_TX_TONE) {
            const int index = m_tones.FindIgnoringCase(value);
            if (index < 0) {
                return Problem(m_row, c, value, "not a tone of the list");
            }
            cell = m_tones[static_cast<std::size_t>(index)];
            return std::nullopt;
        }
        for (std::string_view item : ColumnItems(c)) {
            if (EqualIgnoringCase(item, value)) {
                cell = item;
                return std::nullopt;
            }
        }
        std::string allowed;
        for (std::string_view item : ColumnItems(c)) {
            allowed += (allowed.empty() ? "" : ", ") + std::string(item);
        }
        return Problem(m_row, c, value, "must be one of " + allowed);
    }

    const ToneList& m_tones;
    BandLimits m_band;
    std::size_t m_row;
};

// Checks rows first to last of the table into a copy of the model, replacing all cells of each
// row's channel: the channel its "CH" field names, or, with pasteAt set, pasteAt and on.
Result<> ImportRows(const CsvTable& table, std::size_t first, const ColumnMap& map,
                    std::size_t width, int pasteAt, const ToneList& tones, EditorModel& model) {
    const std::vector<CsvRecord>& records = table.records;
    const std::vector<int>& lines = table.lines;
    EditorModel result = model;
    const BandLimits band = BandForField(model.Selection(Setting::Field));
    std::set<long long> seen;
    for (std::size_t r = first; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        const std::size_t rowNumber = r < lines.size() ? static_cast<std::size_t>(lines[r]) : r + 1;
        // A row cut short would read as empty frequencies and delete its channel.
        if (record.size() != width) {
            return Failure("row " + std::to_string(rowNumber) + " has " +
                           (record.size() > width ? "more" : "fewer") + " fields than " +
                           (first > 0 ? "the header" : "the first row"));
        }
        std::array<std::string, kGridCols> fields;
        for (int c = 0; c < kGridCols; ++c) {
            if (map[c] && *map[c] < record.size()) {
                fields[c] = record[*map[c]];
            }
        }
        long long channel = pasteAt + static_cast<long long>(r - first);
        if (pasteAt == 0) {
            const std::string_view ch = Trimmed(fields[COL_CH]);
            channel = LeadingInteger(ch);
            if (ch.empty() || std::to_string(channel) != ch || channel < 1 ||
                channel > addr::kChannelCount) {
                return Failure(Problem(rowNumber, COL_CH, ch, "not a channel number from 1 to 16"));
            }
            if (!seen.insert(channel).second) {
                return Failure(Problem(rowNumber, COL_CH, ch, "this channel has a row already"));
            }
        }
        auto& cells = result.cells[static_cast<std::size_t>(channel)];
        if (auto problem = RowImporter(tones, band, rowNumber).Import(fields, cells)) {
            return Failure(*problem);
        }
    }
    model = std::move(result);
    return {};
}

}  // namespace

Result<> ImportChannels(const CsvTable& table, const ToneList& tones, EditorModel& model) {
    if (table.records.empty()) {
        return Failure("the CSV file holds no header row");
    }
    ColumnMap map;
    if (auto problem = MapHeader(table.records[0], true, map)) {
        return Failure(*problem);
    }
    return ImportRows(table, 1, map, table.records[0].size(), 0, tones, model);
}

Result<> PasteChannels(const CsvTable& table, int first, const ToneList& tones, EditorModel& model,
                       int& pasted) {
    const std::vector<CsvRecord>& records = table.records;
    if (records.empty()) {
        return Failure("there is nothing to paste");
    }
    ColumnMap map;
    const bool header = IsHeader(records[0]);
    if (header) {
        if (auto problem = MapHeader(records[0], false, map)) {
            return Failure(*problem);
        }
    } else {
        // The grid's columns in order: from "CH" in a full row, from "Receive(MHz)" otherwise.
        const std::size_t width = records[0].size();
        if (width > static_cast<std::size_t>(kGridCols)) {
            return Failure("row " + std::to_string(table.lines.empty() ? 1 : table.lines[0]) +
                           " has more fields than the grid has columns");
        }
        const int from = width == static_cast<std::size_t>(kGridCols) ? COL_CH : COL_RX_FREQ;
        for (std::size_t i = 0; i < width; ++i) {
            map[static_cast<std::size_t>(from) + i] = i;
        }
    }
    const int rows = static_cast<int>(records.size()) - (header ? 1 : 0);
    if (first + rows - 1 > addr::kChannelCount) {
        return Failure(std::to_string(rows) + " channels from CH " + std::to_string(first) +
                       " run past channel " + std::to_string(addr::kChannelCount));
    }
    const Result<> done =
        ImportRows(table, header ? 1 : 0, map, records[0].size(), first, tones, model);
    if (done) {
        pasted = rows;
    }
    return done;
}
