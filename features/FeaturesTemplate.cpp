#include "FeaturesTemplate.h"

namespace {

using K = ControlKind;
using ctlstyle::kRight;

// Template order is tab order. The switches are choose-only lists: an edit field would let
// a typed text through that the image can only store as "OFF". The PTT ID combo keeps its
// edit field; a text that names no mode leaves the stored mode as it is.
constexpr std::array<ControlTemplate, 18> kControls = {{
    {IDOK, K::DefPushButton, "OK", 137, 92, 35, 15},
    {IDCANCEL, K::PushButton, "Cancel", 192, 92, 35, 15},
    {IDC_PTT_ID, K::ComboDropDown, "", 173, 24, 48, 51},
    {IDC_STATIC, K::GroupBox, "PTT ID", 121, 10, 120, 78},
    {IDC_BEGIN_OF_TX, K::Edit, "", 173, 44, 57, 12},
    {IDC_END_OF_TX, K::Edit, "", 173, 64, 57, 12},
    {IDC_STATIC, K::Static, "Begin of TX", 128, 44, 37, 12, kRight},
    {IDC_STATIC, K::Static, "End of TX", 133, 64, 33, 12, kRight},
    {IDC_STATIC, K::Static, "PTT ID", 140, 24, 23, 12, kRight},
    {IDC_EXPANSION, K::ComboDropList, "", 68, 27, 42, 30},
    {IDC_FIRED, K::ComboDropList, "", 68, 47, 42, 30},
    {IDC_RECEIVING, K::ComboDropList, "", 68, 67, 42, 30},
    {IDC_ALL_FREQ_INTERFERENCE, K::ComboDropList, "", 68, 87, 42, 30},
    {IDC_STATIC, K::Static, "Pressure for expansion ", 25, 26, 36, 15, kRight},
    {IDC_STATIC, K::Static, "Fired ", 40, 47, 21, 12, kRight},
    {IDC_STATIC, K::Static, "All frequency interference ", 16, 84, 45, 18, kRight},
    {IDC_STATIC, K::Static, "Receiving ", 24, 67, 37, 12, kRight},
    {IDC_STATIC, K::GroupBox, "SET", 12, 10, 105, 99},
}};

}  // namespace

const DialogTemplate& OptionalFeaturesTemplate() {
    static const DialogTemplate dialog = {"Optional Features", 254, 122,
                                          "Times New Roman",   9,   kControls};
    return dialog;
}
