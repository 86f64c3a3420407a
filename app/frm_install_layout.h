// The setup window's controls as data (creation order, bounds, captions, initial state) and
// the pure rules behind its progress display and dragging. No Windows code here.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "skin/colors.h"
#include "skin/dpi_scale.h"
#include "skin/flat_button_geometry.h"

namespace ks {

namespace install_form {

constexpr char kCaption[] = "keltra setup";
constexpr int kClientWidth = 595;
constexpr int kClientHeight = 360;
// Presses above this client line move the window.
constexpr int kDragBandHeight = 160;
constexpr char kFontName[] = "MS Sans Serif";
constexpr int kFontHeight = -11; // 8 points at 96 pixels per inch
constexpr int kFolderButtonWidth = 24;

enum class ControlKind { Image, SpeedButton, Label, Gauge, CheckBox, ComboBox, ComboEdit };

// Creation order: later controls lie above earlier ones.
enum class ControlId {
    Mask,
    BtTerms,
    BtInstall,
    BtClose,
    lbInstall,
    lbInsType,
    lbData,
    IcoBin,
    IcoData,
    btSafe,
    Barra,
    lbProgress,
    lbTask,
    chTerms,
    cbUser,
    InsFolder,
    DatFolder,
};
constexpr int kControlCount = 17;

struct Bounds {
    int left;
    int top;
    int width;
    int height;
};

struct ControlEntry {
    ControlId id;
    const char* name;
    ControlKind kind;
    Bounds bounds;
    const char* caption; // "&" marks the accelerator, "&&" shows one ampersand
    int tabOrder;        // -1: not in the tab order
    bool enabled;
    bool visible;
};

const std::array<ControlEntry, kControlCount>& Controls();
const ControlEntry& Entry(ControlId id);

// The table holds 96-DPI bounds; on a display of another DPI their edges scale, so controls
// that touch or line up at 96 DPI still do.
Bounds ScaleBounds(const Bounds& bounds, int dpi);

// Items of the installation-type list; item 0 installs for every user.
constexpr std::array<const char*, 2> kUserItems = {"All users", "Current user"};
constexpr int kAllUsersItem = 0;

// Flat button setups.
struct ButtonSetup {
    TFlatButtonColors colors;
    TTransparentMode mode;
};
inline TFlatButtonColors ButtonColors(TColor face, TColor focused, TColor down, TColor border,
                                      TColor shadow) {
    TFlatButtonColors colors;
    colors.color = face;
    colors.focused = focused;
    colors.down = down;
    colors.border = border;
    colors.shadow = shadow;
    return colors;
}
// Terms and close: filled only while the mouse is over them.
inline ButtonSetup OrangeButton() {
    return {ButtonColors(Rgb(255, 128, 0), Rgb(248, 155, 63), TFlatButtonColors{}.down, clBlack,
                         TFlatButtonColors{}.shadow),
            tmNotFocused};
}
inline ButtonSetup GreenButton(TColor border) {
    return {
        ButtonColors(Rgb(6, 123, 10), Rgb(10, 203, 15), Rgb(10, 203, 15), border, Rgb(7, 53, 99)),
        tmNone};
}
constexpr TColor kGaugeIdleBack = Rgb(160, 160, 164);
constexpr TColor kGaugeBar = clNavy;
constexpr TColor kGaugeActiveBack = clWhite;

// Whether a non-client hit test answers "caption" (drag) rather than "client".
constexpr bool IsDragPoint(bool leftButtonDown, int clientY, int dpi = kBaseDpi) {
    return leftButtonDown && clientY < ScaleLength(kDragBandHeight, dpi);
}

// What a transfer report does to the gauge.
struct GaugeReading {
    int maximum;
    int progress;
};
// total > 0: a percentage, the maximum kept. Otherwise current counts blocks read and the
// maximum steps up in twenties just above it.
GaugeReading TransferReading(int total, int current, int currentMaximum);

// The folder picker's title for the field whose label has this caption.
std::string SelectFolderTitle(const std::string& labelCaption);

} // namespace install_form
} // namespace ks
