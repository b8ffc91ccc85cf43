// The channel form's layout (template 101): the two group boxes with the eleven setting
// combos and their labels, the "Channel:" label and the grid.
#pragma once

#include "DialogTemplate.h"

inline constexpr int IDD_KV_II_FORM = 101;
inline constexpr int IDC_GRID = 1007;

// The overlay editors laid over the grid's current cell.
inline constexpr int IDC_EDIT_CELL = 61446;
inline constexpr int IDC_COMBO_TONE = 1000;
inline constexpr int IDC_COMBO_BUSY = 61448;
inline constexpr int IDC_COMBO_WN = 61449;
inline constexpr int IDC_COMBO_SCAN = 61450;
inline constexpr int IDC_COMBO_POWER = 61451;

const DialogTemplate& ChannelFormTemplate();
