// The editor's copy of the channel data: the grid's 17 x 9 cell texts and the selections of
// the eleven setting combos. The form holds these in widgets; the codec and the command-line
// tool work on this plain model, so both follow exactly the same rules.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

inline constexpr int kGridRows = 17;  // header row + sixteen channels
inline constexpr int kGridCols = 9;   // channel number + eight values

enum Column {
    COL_CH = 0,
    COL_RX_FREQ = 1,
    COL_TX_FREQ = 2,
    COL_RX_TONE = 3,
    COL_TX_TONE = 4,
    COL_BUSY = 5,
    COL_WN = 6,
    COL_SCAN = 7,
    COL_POWER = 8,
};

inline constexpr std::array<std::string_view, kGridCols> kColumnHeaders = {
    "CH", "Receive(MHz)", "Transmit(MHz)", "Rx Tone", "Tx Tone", "Busy", "W/N", "Scan", "Power"};

// The texts the overlay list combos offer, in their order.
inline constexpr std::array<std::string_view, 2> kBusyItems = {"YES", "NO"};
inline constexpr std::array<std::string_view, 2> kWNItems = {"Wide", "Narrow"};
inline constexpr std::array<std::string_view, 2> kScanItems = {"Add", "Delete"};
inline constexpr std::array<std::string_view, 3> kPowerItems = {"High", "Middle", "Low"};

// The list of texts a cell of column c may hold (Busy, W/N, Scan, Power); empty otherwise.
std::span<const std::string_view> ColumnItems(int column);

// The radio-wide settings, in the order the form shows them from top to bottom.
enum class Setting {
    Type,
    Field,
    TimeoutTimer,
    Beep,
    SquelchLevel,
    BatterySaver,
    Scan,
    Voice,
    RefuseAlert,
    UrgencyCall,
    Moni,
};
inline constexpr int kSettingCount = 11;

struct SettingInfo {
    Setting setting;
    std::string_view name;   // the setting's name in reports and exports
    std::string_view label;  // the form's static text beside the combo, spaces as shown
    std::span<const std::string_view> items;
};

// The eleven settings in form order; SettingInfos()[i].setting == Setting(i).
std::span<const SettingInfo> SettingInfos();
const SettingInfo& InfoFor(Setting setting);

struct EditorModel {
    std::array<std::array<std::string, kGridCols>, kGridRows> cells;
    std::array<int, kSettingCount> selections;  // -1: the combo has no selection

    EditorModel() { selections.fill(-1); }

    std::string& Cell(int row, int column) { return cells.at(row).at(column); }
    const std::string& Cell(int row, int column) const { return cells.at(row).at(column); }
    int& Selection(Setting s) { return selections.at(static_cast<std::size_t>(s)); }
    int Selection(Setting s) const { return selections.at(static_cast<std::size_t>(s)); }

    // The selected item's text, or "" when nothing is selected.
    std::string_view SelectedText(Setting s) const;

    // Writes the header row and the channel numbers, as the form shows them.
    void WriteHeaders();
};
