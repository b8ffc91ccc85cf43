#include "ChannelReport.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "ChannelCodec.h"
#include "Csv.h"
#include "Features.h"

namespace {

using NamedValues = std::vector<std::pair<std::string, std::string>>;

NamedValues SettingValues(const EditorModel& model) {
    NamedValues values;
    for (const SettingInfo& info : SettingInfos()) {
        values.emplace_back(info.name, model.SelectedText(info.setting));
    }
    return values;
}

NamedValues FeatureNamedValues(const RadioImage& image) {
    NamedValues values;
    for (FeatureValue& feature : FeatureValues(image)) {
        values.emplace_back(std::move(feature.name), std::move(feature.value));
    }
    return values;
}

// {"name": "value", ...} on one line, or one pair a line at the given indent.
std::string JsonObject(const NamedValues& values, const std::string& indent) {
    const bool inline_ = indent.empty();
    std::string out = "{";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += i == 0 ? "" : ",";
        out += inline_ ? (i == 0 ? "" : " ") : "\n" + indent + "  ";
        out += JsonString(values[i].first) + ": " + JsonString(values[i].second);
    }
    out += inline_ ? "}" : "\n" + indent + "}";
    return out;
}

NamedValues ChannelValues(const EditorModel& model, int row) {
    NamedValues values;
    for (int c = 0; c < kGridCols; ++c) {
        values.emplace_back(kColumnHeaders[c], model.Cell(row, c));
    }
    return values;
}

std::string PaddedRow(const std::array<std::string, kGridCols>& row,
                      const std::array<std::size_t, kGridCols>& widths) {
    std::string line;
    for (int c = 0; c < kGridCols; ++c) {
        std::string cell = row[c];
        if (c + 1 < kGridCols) {
            cell.resize(widths[c] + 2, ' ');
        }
        line += cell;
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line + "\n";
}

}  // namespace

std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 0x0F];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string ReportText(const RadioImage& image) {
    const EditorModel model = DecodeForDisplay(image);
    std::string out;
    for (const auto& [name, value] : SettingValues(model)) {
        out += name + ": " + value + "\n";
    }
    for (const auto& [name, value] : FeatureNamedValues(image)) {
        out += name + ": " + value + "\n";
    }
    out += "\n";
    std::array<std::size_t, kGridCols> widths{};
    for (const auto& row : model.cells) {
        for (int c = 0; c < kGridCols; ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    for (const auto& row : model.cells) {
        out += PaddedRow(row, widths);
    }
    return out;
}

std::string ReportJson(const RadioImage& image) {
    const EditorModel model = DecodeForDisplay(image);
    std::string out = "{\n  \"settings\": " + JsonObject(SettingValues(model), "  ");
    out += ",\n  \"channels\": [";
    for (int row = 1; row < kGridRows; ++row) {
        out += row == 1 ? "\n    " : ",\n    ";
        out += JsonObject(ChannelValues(model, row), "");
    }
    out += "\n  ],\n  \"features\": " + JsonObject(FeatureNamedValues(image), "  ");
    out += "\n}\n";
    return out;
}

std::string ReportCsv(const RadioImage& image) {
    const EditorModel model = DecodeForDisplay(image);
    std::string out;
    for (const auto& row : model.cells) {
        out += CsvLine(CsvRecord(row.begin(), row.end()));
    }
    return out;
}
