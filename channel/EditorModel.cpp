#include "EditorModel.h"

namespace {

constexpr std::array<std::string_view, 2> kTypeItems = {"KV - T310X", "KV - T520"};
constexpr std::array<std::string_view, 1> kFieldItems = {"450 - 470MHZ"};
constexpr std::array<std::string_view, 11> kTimeoutItems = {
    "Off", "30s", "60s", "90s", "120s", "150s", "180s", "210s", "240s", "270s", "300s"};
constexpr std::array<std::string_view, 2> kEnableDisable = {"Enable", "Disable"};
constexpr std::array<std::string_view, 2> kDisableEnable = {"Disable", "Enable"};
constexpr std::array<std::string_view, 10> kSquelchItems = {"0", "1", "2", "3", "4",
                                                            "5", "6", "7", "8", "9"};
constexpr std::array<std::string_view, 2> kOffOn = {"OFF", "ON"};
constexpr std::array<std::string_view, 3> kVoiceItems = {"Off", "English", "Chinese"};
// The trailing spaces of "Local Alert " and "TX Alert " belong to the items.
constexpr std::array<std::string_view, 4> kUrgencyItems = {"Off", "Local Alert ",
                                                           "Local Alert TX Alert", "TX Alert "};
constexpr std::array<std::string_view, 4> kMoniItems = {"Off", "Monitor  Momentary", "Monitor Lock",
                                                        "SQ-Off Momentary"};

constexpr std::array<SettingInfo, kSettingCount> kSettings = {{
    {Setting::Type, "Type", "Type", kTypeItems},
    {Setting::Field, "Field", "Field", kFieldItems},
    {Setting::TimeoutTimer, "Time-out Timer", "Time-out Timer", kTimeoutItems},
    {Setting::Beep, "Beep", "Beep", kEnableDisable},
    {Setting::SquelchLevel, "Squelch Level", "Squelch  Level", kSquelchItems},
    {Setting::BatterySaver, "Battery Saver", "Battery Saver", kDisableEnable},
    {Setting::Scan, "Scan", "Scan", kOffOn},
    {Setting::Voice, "Voice Annuciation", " Voice Annuciation", kVoiceItems},
    {Setting::RefuseAlert, "Refuse Emergency Alert", "Refuse\nEmergency Alert", kOffOn},
    {Setting::UrgencyCall, "Urgency Call Switch", "Urgency Call Switch", kUrgencyItems},
    {Setting::Moni, "Moni", "Moni", kMoniItems},
}};

}  // namespace

std::span<const std::string_view> ColumnItems(int column) {
    switch (column) {
        case COL_BUSY:
            return kBusyItems;
        case COL_WN:
            return kWNItems;
        case COL_SCAN:
            return kScanItems;
        case COL_POWER:
            return kPowerItems;
        default:
            return {};
    }
}

std::span<const SettingInfo> SettingInfos() {
    return kSettings;
}

const SettingInfo& InfoFor(Setting setting) {
    return kSettings.at(static_cast<std::size_t>(setting));
}

std::string_view EditorModel::SelectedText(Setting s) const {
    const int i = Selection(s);
    const auto items = InfoFor(s).items;
    return (i >= 0 && static_cast<std::size_t>(i) < items.size()) ? items[i] : std::string_view();
}

void EditorModel::WriteHeaders() {
    for (int c = 0; c < kGridCols; ++c) {
        cells[0][c] = std::string(kColumnHeaders[c]);
    }
    for (int r = 1; r < kGridRows; ++r) {
        cells[r][COL_CH] = std::to_string(r);
    }
}
