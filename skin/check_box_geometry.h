// Paint rules of the flat check box: box position and fill, the six tick lines, caption area.
#pragma once
#include <vector>

#include "skin/colors.h"
#include "skin/dpi_scale.h"
#include "skin/flat_button_geometry.h"

namespace ks {

enum TCheckBoxLayout { checkboxLeft, checkboxRight };

struct TCheckBoxColors {
    TColor color = clBtnFace;
    TColor focused = clWhite;
    TColor down = Rgb(217, 214, 197);
    TColor check = clBlack;
    TColor border = Rgb(160, 150, 131);
};

constexpr int kCheckBoxSize = 11;

// The 11x11 box inside a client area of the given size (lengths at 96 DPI, scaled by dpi).
TRect CheckBoxRect(int clientWidth, int clientHeight, TCheckBoxLayout layout, int dpi = kBaseDpi);
// The caption's area: 1 pixel off top and bottom, 16 on the box side, 1 on the other.
TRect CheckBoxCaptionRect(int clientWidth, int clientHeight, TCheckBoxLayout layout,
                          int dpi = kBaseDpi);
TColor CheckBoxFill(const TCheckBoxColors& colors, bool hot, bool pressed, bool focused);

// One line of the tick relative to the box's top-left corner; like a GDI line it covers its
// start and stops before its end.
struct TLine {
    TPoint from;
    TPoint to;
};
const std::vector<TLine>& CheckMarkLines();
// Every pixel the tick covers, relative to the box's top-left corner; at a higher DPI each
// pixel of the 96-DPI tick becomes the block its edges scale to, so the mark stays crisp.
std::vector<TPoint> CheckMarkPixels(int dpi = kBaseDpi);

} // namespace ks
