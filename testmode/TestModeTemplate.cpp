#include "TestModeTemplate.h"

namespace {

using K = ControlKind;
using ctlstyle::kDisabled;

// Template order is tab order. The frequency set and the item set share the space right of
// the tree; only one of them is shown at a time. The tree shows no text of its own: its
// text names it for assistive technology, as no label stands beside it.
constexpr std::array<ControlTemplate, 36> kControls = {{
    {IDC_DEFAULT, K::PushButton, "Default", 270, 178, 64, 17},
    {IDC_DEBUG_TREE, K::TreeView, "Debug frequencies and items", 18, 23, 98, 179},
    {IDC_CAPTION_GROUP, K::GroupBox, "", 120, 13, 250, 190},
    {IDC_RX_FREQ_LABEL, K::Static, "Frequency (MHz)", 133, 62, 36, 17},
    {IDC_TX_FREQ_LABEL, K::Static, "Frequency (MHz)", 244, 61, 37, 19},
    {IDC_RX_TONE_LABEL, K::Static, "Tone", 134, 81, 19, 9},
    {IDC_TX_TONE_LABEL, K::Static, "Tone", 243, 81, 19, 10},
    {IDC_RX_METHOD_LABEL, K::Static, "Tone Method", 135, 98, 23, 20},
    {IDC_RX_FREQ, K::Edit, "", 179, 62, 53, 12},
    {IDC_TX_FREQ, K::Edit, "", 283, 60, 53, 12},
    {IDC_RX_QT, K::RadioButton, "QT", 184, 94, 32, 13},
    {IDC_RX_DQT, K::RadioButton, "DQT", 184, 109, 34, 10},
    {IDC_TX_METHOD_LABEL, K::Static, "Tone Method", 244, 99, 23, 20},
    {IDC_TX_QT, K::RadioButton, "QT", 297, 95, 32, 13},
    {IDC_TX_DQT, K::RadioButton, "DQT", 297, 109, 34, 11},
    {IDC_START, K::PushButton, "Start", 157, 180, 45, 16},
    {IDC_VALUE_GROUP, K::GroupBox, "Parameter Value", 128, 83, 214, 70},
    {IDC_MIN_LABEL, K::Static, "Min", 137, 105, 28, 13},
    {IDC_MAX_LABEL, K::Static, "Max", 301, 105, 24, 13},
    {IDC_VALUE_SLIDER, K::Slider, "", 158, 103, 133, 14},
    {IDC_POSITION, K::Static, "Current Value", 139, 126, 94, 13},
    {IDC_BAND_GROUP, K::GroupBox, "Choose Debug Frequency", 128, 35, 221, 39},
    {IDC_HIGH, K::RadioButton, "High(MHz)", 136, 51, 57, 12},
    {IDC_MIDDLE, K::RadioButton, "Middle(MHz)", 200, 51, 54, 12},
    {IDC_LOW, K::RadioButton, "Low(MHz)", 270, 51, 52, 12},
    {IDC_RX_TONE, K::ComboDropDown, "", 179, 78, 44, 70},
    {IDC_TX_TONE, K::ComboDropDown, "", 285, 77, 44, 70},
    {IDC_RX_GROUP, K::GroupBox, "Receive", 121, 50, 108, 121},
    {IDC_TX_GROUP, K::GroupBox, "Transmit", 235, 50, 114, 122},
    {IDC_RX_STEP_LABEL, K::Static, "Step Value", 133, 123, 30, 26},
    {IDC_RX_STEP500, K::RadioButton, "5.00KHZ", 166, 123, 44, 11},
    {IDC_RX_STEP625, K::RadioButton, "6.25KHZ", 166, 134, 48, 15},
    {IDC_TX_STEP_LABEL, K::Static, "Step Value", 241, 123, 30, 26},
    {IDC_TX_STEP500, K::RadioButton, "5.00KHZ", 278, 121, 48, 15},
    {IDC_TX_STEP625, K::RadioButton, "6.25KHZ", 278, 136, 48, 15},
    {IDC_BUTTON1, K::DefPushButton, "Button1", 218, 184, 25, 11, kDisabled},
}};

}  // namespace

const DialogTemplate& TestModeTemplate() {
    static const DialogTemplate dialog = {"Debug Mode for Korvane", 391, 216,
                                          "Times New Roman",        10,  kControls};
    return dialog;
}
