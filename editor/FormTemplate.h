// The channel form's layout (template 101): the two group boxes with the eleven setting
// combos and their labels, the "Channel:" label and the grid.
#pragma once

#include "DialogTemplate.h"

#include <array>

#include "EditorModel.h"

inline constexpr int IDD_KV_II_FORM = 101;
inline constexpr int IDC_GRID = 1007;

// The setting combos, in the order of the settings (Type to Moni).
inline constexpr int IDC_TYPE = 1017;
inline constexpr int IDC_FIELD = 1011;
inline constexpr int IDC_TIMEOUT_TIMER = 1013;
inline constexpr int IDC_BEEP = 1014;
inline constexpr int IDC_SQUELCH_LEVEL = 1016;
inline constexpr int IDC_BATTERY_SAVER = 1078;
inline constexpr int IDC_SCAN = 1075;
inline constexpr int IDC_VOICE = 1076;
inline constexpr int IDC_REFUSE_ALERT = 1091;
inline constexpr int IDC_URGENCY_CALL = 1077;
inline constexpr int IDC_MONI = 1012;
inline constexpr std::array<int, kSettingCount> kSettingComboIds = {
    IDC_TYPE, IDC_FIELD, IDC_TIMEOUT_TIMER, IDC_BEEP,         IDC_SQUELCH_LEVEL, IDC_BATTERY_SAVER,
    IDC_SCAN, IDC_VOICE, IDC_REFUSE_ALERT,  IDC_URGENCY_CALL, IDC_MONI};

// The overlay editors laid over the grid's current cell.
inline constexpr int IDC_EDIT_CELL = 61446;
inline constexpr int IDC_COMBO_TONE = 1000;
inline constexpr int IDC_COMBO_BUSY = 61448;
inline constexpr int IDC_COMBO_WN = 61449;
inline constexpr int IDC_COMBO_SCAN = 61450;
inline constexpr int IDC_COMBO_POWER = 61451;

const DialogTemplate& ChannelFormTemplate();
