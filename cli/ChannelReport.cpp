#include "ChannelReport.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QJsonArray>

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

QJsonObject JsonObject(const NamedValues& values) {
    QJsonObject object;
    for (const auto& [name, value] : values) {
        object.insert(QString::fromStdString(name), QString::fromStdString(value));
    }
    return object;
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

QJsonObject ReportJson(const RadioImage& image) {
    const EditorModel model = DecodeForDisplay(image);
    QJsonArray channels;
    for (int row = 1; row < kGridRows; ++row) {
        channels.append(JsonObject(ChannelValues(model, row)));
    }
    return {{"settings", JsonObject(SettingValues(model))},
            {"channels", channels},
            {"features", JsonObject(FeatureNamedValues(image))}};
}

std::string ReportCsv(const RadioImage& image) {
    const EditorModel model = DecodeForDisplay(image);
    std::string out;
    for (const auto& row : model.cells) {
        out += CsvLine(CsvRecord(row.begin(), row.end()));
    }
    return out;
}
