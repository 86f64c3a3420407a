// The setup window's control table and its pure display rules.
#include "app/frm_install_layout.h"

namespace ks::install_form {
namespace {

using K = ControlKind;
using I = ControlId;

constexpr std::array<ControlEntry, kControlCount> kControls = {{
    {I::Mask, "Mask", K::Image, {0, 0, 595, 360}, "", -1, true, true},
    {I::BtTerms,
     "BtTerms",
     K::SpeedButton,
     {440, 237, 113, 25},
     "&Terms && conditions",
     -1,
     true,
     true},
    {I::BtInstall, "BtInstall", K::SpeedButton, {440, 192, 113, 33}, "Install", -1, false, true},
    {I::BtClose, "BtClose", K::SpeedButton, {440, 312, 113, 25}, "&Close", -1, true, true},
    {I::lbInstall,
     "lbInstall",
     K::Label,
     {32, 143, 82, 13},
     "Installation folder:",
     -1,
     true,
     true},
    {I::lbInsType, "lbInsType", K::Label, {480, 143, 76, 13}, "Installation type:", -1, true, true},
    {I::lbData, "lbData", K::Label, {32, 191, 55, 13}, "Data folder:", -1, true, true},
    {I::IcoBin, "IcoBin", K::Image, {32, 159, 21, 21}, "", -1, true, true},
    {I::IcoData, "IcoData", K::Image, {32, 208, 21, 21}, "", -1, true, true},
    {I::btSafe,
     "btSafe",
     K::SpeedButton,
     {440, 272, 113, 25},
     "Safe Configuration",
     -1,
     true,
     false},
    {I::Barra, "Barra", K::Gauge, {32, 272, 369, 24}, "", -1, true, true},
    {I::lbProgress,
     "lbProgress",
     K::Label,
     {32, 256, 96, 13},
     "Installation progress:",
     -1,
     true,
     true},
    {I::lbTask, "lbTask", K::Label, {136, 256, 265, 13}, "", -1, true, true},
    {I::chTerms,
     "chTerms",
     K::CheckBox,
     {176, 232, 225, 17},
     "I have read && agree the terms && conditions",
     3,
     true,
     true},
    {I::cbUser, "cbUser", K::ComboBox, {440, 160, 113, 21}, "", 1, true, true},
    {I::InsFolder, "InsFolder", K::ComboEdit, {56, 161, 345, 18}, "", 0, true, true},
    {I::DatFolder, "DatFolder", K::ComboEdit, {56, 210, 345, 18}, "", 2, true, true},
}};

} // namespace

const std::array<ControlEntry, kControlCount>& Controls() {
    return kControls;
}

const ControlEntry& Entry(ControlId id) {
    return kControls[static_cast<int>(id)];
}

Bounds ScaleBounds(const Bounds& bounds, int dpi) {
    const TRect edges = ScaleRect(
        {bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height}, dpi);
    return {edges.left, edges.top, edges.Width(), edges.Height()};
}

GaugeReading TransferReading(int total, int current, int currentMaximum) {
    if (total > 0) {
        const float percent = static_cast<float>(current) * 100.0f / static_cast<float>(total);
        return {currentMaximum, static_cast<int>(percent)};
    }
    const int maximum = (current / 20 + 1) * 20;
    return {maximum, current};
}

std::string SelectFolderTitle(const std::string& labelCaption) {
    return "Please select " + labelCaption;
}

} // namespace ks::install_form
