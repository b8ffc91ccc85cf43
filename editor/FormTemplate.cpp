#include "FormTemplate.h"

#include <array>

namespace {

using K = ControlKind;

// Labels stand left of their combos, inside the group boxes.
constexpr std::array<ControlTemplate, 27> kControls = {{
    {IDC_STATIC, K::GroupBox, "Type Setting", 12, 5, 114, 45},
    {IDC_STATIC, K::Static, "Type", 18, 18, 32, 8},
    {IDC_TYPE, K::ComboDropList, "", 52, 16, 61, 52},
    {IDC_STATIC, K::Static, "Field", 18, 34, 32, 8},
    {IDC_FIELD, K::ComboDropList, "", 52, 32, 60, 59},
    {IDC_STATIC, K::GroupBox, "Function Setting", 12, 52, 114, 166},
    {IDC_STATIC, K::Static, "Time-out Timer", 16, 65, 60, 8},
    {IDC_TIMEOUT_TIMER, K::ComboDropList, "", 78, 63, 43, 52},
    {IDC_STATIC, K::Static, "Beep", 16, 82, 60, 8},
    {IDC_BEEP, K::ComboDropList, "", 78, 80, 43, 52},
    {IDC_STATIC, K::Static, "Squelch  Level", 16, 99, 60, 8},
    {IDC_SQUELCH_LEVEL, K::ComboDropList, "", 78, 97, 43, 52},
    {IDC_STATIC, K::Static, "Battery Saver", 16, 116, 60, 8},
    {IDC_BATTERY_SAVER, K::ComboDropList, "", 78, 114, 43, 30},
    {IDC_STATIC, K::Static, "Scan", 16, 133, 60, 8},
    {IDC_SCAN, K::ComboDropList, "", 78, 131, 43, 42},
    {IDC_STATIC, K::Static, " Voice Annuciation", 16, 150, 62, 8},
    {IDC_VOICE, K::ComboDropList, "", 78, 148, 43, 46},
    {IDC_STATIC, K::Static, "Refuse", 16, 162, 60, 8},
    {IDC_STATIC, K::Static, "Emergency Alert", 16, 170, 62, 8},
    {IDC_REFUSE_ALERT, K::ComboDropList, "", 78, 165, 43, 35},
    {IDC_STATIC, K::Static, "Urgency Call Switch", 16, 180, 38, 16},
    {IDC_URGENCY_CALL, K::ComboDropList, "", 56, 182, 64, 57},
    {IDC_STATIC, K::Static, "Moni", 16, 201, 28, 8},
    {IDC_MONI, K::ComboDropList, "", 46, 199, 74, 52},
    {IDC_STATIC, K::Static, "Channel:", 132, 19, 26, 8},
    {IDC_GRID, K::Custom, "", 134, 35, 330, 167},
}};

}  // namespace

const DialogTemplate& ChannelFormTemplate() {
    static const DialogTemplate form = {nullptr, 479, 230, "Times New Roman", 9, kControls};
    return form;
}
