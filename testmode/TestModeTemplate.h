// The test mode dialog's layout (template 136) and its tree of debug frequencies and items.
#pragma once

#include <array>
#include <span>

#include "DialogTemplate.h"

inline constexpr int IDD_TEST_MODE = 136;

inline constexpr int IDC_DEFAULT = 1028;
inline constexpr int IDC_DEBUG_TREE = 1026;
inline constexpr int IDC_CAPTION_GROUP = 1029;  // its caption names the band shown
inline constexpr int IDC_RX_FREQ_LABEL = 1054;
inline constexpr int IDC_TX_FREQ_LABEL = 1055;
inline constexpr int IDC_RX_TONE_LABEL = 1056;
inline constexpr int IDC_TX_TONE_LABEL = 1057;
inline constexpr int IDC_RX_METHOD_LABEL = 1058;
inline constexpr int IDC_RX_FREQ = 1030;
inline constexpr int IDC_TX_FREQ = 1031;
inline constexpr int IDC_RX_QT = 1034;
inline constexpr int IDC_RX_DQT = 1035;
inline constexpr int IDC_TX_METHOD_LABEL = 1059;
inline constexpr int IDC_TX_QT = 1036;
inline constexpr int IDC_TX_DQT = 1037;
inline constexpr int IDC_START = 1038;
inline constexpr int IDC_VALUE_GROUP = 1044;
inline constexpr int IDC_MIN_LABEL = 1049;
inline constexpr int IDC_MAX_LABEL = 1051;
inline constexpr int IDC_VALUE_SLIDER = 1039;
inline constexpr int IDC_POSITION = 1052;
inline constexpr int IDC_BAND_GROUP = 1043;
inline constexpr int IDC_HIGH = 1040;
inline constexpr int IDC_MIDDLE = 1041;
inline constexpr int IDC_LOW = 1042;
inline constexpr int IDC_RX_TONE = 1012;
inline constexpr int IDC_TX_TONE = 1013;
inline constexpr int IDC_RX_GROUP = 1060;
inline constexpr int IDC_TX_GROUP = 1061;
inline constexpr int IDC_RX_STEP_LABEL = 1062;
inline constexpr int IDC_RX_STEP500 = 1063;
inline constexpr int IDC_RX_STEP625 = 1064;
inline constexpr int IDC_TX_STEP_LABEL = 1065;
inline constexpr int IDC_TX_STEP500 = 1066;
inline constexpr int IDC_TX_STEP625 = 1067;
inline constexpr int IDC_BUTTON1 = 1068;  // the default button, never shown: Enter closes nothing

// The controls of a debug frequency band, shown while a band item is selected.
inline constexpr std::array<int, 22> kFrequencySet = {
    IDC_RX_FREQ_LABEL, IDC_TX_FREQ_LABEL, IDC_RX_TONE_LABEL, IDC_TX_TONE_LABEL, IDC_RX_METHOD_LABEL,
    IDC_RX_FREQ,       IDC_TX_FREQ,       IDC_RX_QT,         IDC_RX_DQT,        IDC_TX_METHOD_LABEL,
    IDC_TX_QT,         IDC_TX_DQT,        IDC_RX_TONE,       IDC_TX_TONE,       IDC_RX_GROUP,
    IDC_TX_GROUP,      IDC_RX_STEP_LABEL, IDC_RX_STEP500,    IDC_RX_STEP625,    IDC_TX_STEP_LABEL,
    IDC_TX_STEP500,    IDC_TX_STEP625};

// The controls of a debug item, shown while an item is selected.
inline constexpr std::array<int, 10> kItemSet = {
    IDC_START,    IDC_VALUE_GROUP, IDC_MIN_LABEL, IDC_MAX_LABEL, IDC_VALUE_SLIDER,
    IDC_POSITION, IDC_BAND_GROUP,  IDC_HIGH,      IDC_MIDDLE,    IDC_LOW};

// The controls the Tab key stops at, in template order; the radio buttons take the focus
// only when clicked.
inline constexpr std::array<int, 9> kTabStops = {IDC_DEFAULT, IDC_DEBUG_TREE, IDC_RX_FREQ,
                                                 IDC_TX_FREQ, IDC_START,      IDC_VALUE_SLIDER,
                                                 IDC_RX_TONE, IDC_TX_TONE,    IDC_BUTTON1};

// What a tree item stands for. The dialog acts on these values only, never on a label
// (the labels can be edited).
enum TreeParam {
    kParamDebugFrequency = 5567,
    kParamHighFrequency = 5568,
    kParamMiddleFrequency = 5569,
    kParamLowFrequency = 5571,
    kParamDebugItem = 5572,
    kParamTxFrequency = 5573,
    kParamLowPowerVoltage = 5574,
    kParamSquelchLevel = 5575,
    kParamTxPower = 5576,
    kParamExitDebug = 5577,
};

struct TreeItemTemplate {
    const char* label;
    int parent;  // parameter of the parent item, 0 for a root
    int param;
};

// In insertion order; each child goes to the end of its parent.
inline constexpr std::array<TreeItemTemplate, 10> kTreeItems = {{
    {"Debug Frequency", 0, kParamDebugFrequency},
    {"High Frequency", kParamDebugFrequency, kParamHighFrequency},
    {"Middle Frequency", kParamDebugFrequency, kParamMiddleFrequency},
    {"Low Frequency", kParamDebugFrequency, kParamLowFrequency},
    {"Debug Item", 0, kParamDebugItem},
    {"TX Frequency", kParamDebugItem, kParamTxFrequency},
    {"Low Power Voltage", kParamDebugItem, kParamLowPowerVoltage},
    {"Squelch Level", kParamDebugItem, kParamSquelchLevel},
    {"TX Power", kParamDebugItem, kParamTxPower},
    {"Exit Debug", 0, kParamExitDebug},
}};

const DialogTemplate& TestModeTemplate();
