#include "FormTemplate.h"

#include <array>

namespace {

using K = ControlKind;

// Labels stand left of their combos, inside the group boxes.
constexpr std::array<ControlTemplate, 27> kControls = {{
    {IDC_STATIC, K::GroupBox, "Type Setting", 12, 5, 114, 45},
    {IDC_STATIC, K::Static, "Type", 18, 18, 32, 8},
    {1017, K::ComboDropList, "", 52, 16, 61, 52},
    {IDC_STATIC, K::Static, "Field", 18, 34, 32, 8},
    {1011, K::ComboDropList, "", 52, 32, 60, 59},
    {IDC_STATIC, K::GroupBox, "Function Setting", 12, 52, 114, 166},
    {IDC_STATIC, K::Static, "Time-out Timer", 16, 65, 60, 8},
    {1013, K::ComboDropList, "", 78, 63, 43, 52},
    {IDC_STATIC, K::Static, "Beep", 16, 82, 60, 8},
    {1014, K::ComboDropList, "", 78, 80, 43, 52},
    {IDC_STATIC, K::Static, "Squelch  Level", 16, 99, 60, 8},
    {1016, K::ComboDropList, "", 78, 97, 43, 52},
    {IDC_STATIC, K::Static, "Battery Saver", 16, 116, 60, 8},
    {1078, K::ComboDropList, "", 78, 114, 43, 30},
    {IDC_STATIC, K::Static, "Scan", 16, 133, 60, 8},
    {1075, K::ComboDropList, "", 78, 131, 43, 42},
    {IDC_STATIC, K::Static, " Voice Annuciation", 16, 150, 62, 8},
    {1076, K::ComboDropList, "", 78, 148, 43, 46},
    {IDC_STATIC, K::Static, "Refuse", 16, 162, 60, 8},
    {IDC_STATIC, K::Static, "Emergency Alert", 16, 170, 62, 8},
    {1091, K::ComboDropList, "", 78, 165, 43, 35},
    {IDC_STATIC, K::Static, "Urgency Call Switch", 16, 180, 38, 16},
    {1077, K::ComboDropList, "", 56, 182, 64, 57},
    {IDC_STATIC, K::Static, "Moni", 16, 201, 28, 8},
    {1012, K::ComboDropList, "", 46, 199, 74, 52},
    {IDC_STATIC, K::Static, "Channel:", 132, 19, 26, 8},
    {IDC_GRID, K::Custom, "", 134, 35, 330, 167},
}};

}  // namespace

const DialogTemplate& ChannelFormTemplate() {
    static const DialogTemplate form = {nullptr, 479, 230, "Times New Roman", 9, kControls};
    return form;
}
