// The optional features dialog's layout (template 156): the four option switches in the
// "SET" group, the PTT ID mode and its two ID edits in the "PTT ID" group, OK and Cancel.
#pragma once

#include <array>
#include <string_view>

#include "DialogTemplate.h"

inline constexpr int IDD_OPTIONAL_FEATURES = 156;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_PTT_ID = 1090;
inline constexpr int IDC_BEGIN_OF_TX = 1087;
inline constexpr int IDC_END_OF_TX = 1088;
inline constexpr int IDC_EXPANSION = 1080;
inline constexpr int IDC_FIRED = 1081;
inline constexpr int IDC_RECEIVING = 1082;
inline constexpr int IDC_ALL_FREQ_INTERFERENCE = 1083;

// The switch combos in the order of the option switches (bits 2, 3, 4, 5).
inline constexpr std::array<int, 4> kSwitchComboIds = {IDC_EXPANSION, IDC_FIRED, IDC_RECEIVING,
                                                       IDC_ALL_FREQ_INTERFERENCE};

// The controls in the order the Tab key visits them.
inline constexpr std::array<int, 9> kTabOrder = {
    IDC_EXPANSION, IDC_FIRED, IDC_RECEIVING, IDC_ALL_FREQ_INTERFERENCE, IDC_PTT_ID, IDC_BEGIN_OF_TX,
    IDC_END_OF_TX, IDOK,      IDCANCEL};

// Sorted, so "OFF" is entry 0 and "ON" entry 1.
inline constexpr std::array<std::string_view, 2> kSwitchItems = {"OFF", "ON"};
inline constexpr int kSwitchOnIndex = 1;

// The longest ID either edit takes: one character a code position.
inline constexpr int kPttIdMaxChars = 16;

const DialogTemplate& OptionalFeaturesTemplate();
