// Colour rules of the gradient background: the 256-entry ramp and the pattern bitmaps that
// painting stretches over the control.
#pragma once
#include <array>
#include <vector>

#include "skin/colors.h"

namespace ks {

enum TGradientStyle {
    gsCustom,
    gsRadialC,
    gsRadialT,
    gsRadialB,
    gsRadialL,
    gsRadialR,
    gsRadialTL,
    gsRadialTR,
    gsRadialBL,
    gsRadialBR,
    gsLinearH,
    gsLinearV,
    gsReflectedH,
    gsReflectedV,
    gsDiagonalLF,
    gsDiagonalLB,
    gsDiagonalRF,
    gsDiagonalRB,
    gsArrowL,
    gsArrowR,
    gsArrowU,
    gsArrowD,
    gsDiamond,
    gsButterfly,
    gsRadialRect
};

using TGradientRamp = std::array<TColor, 256>;

// Entry i runs from the first to the last colour (swapped by reverse); shift (-100..100)
// moves the first colour toward the last (positive) or the last toward the first (negative)
// by that percentage of their difference. Colours must be resolved RGB values.
TGradientRamp GradientRamp(TColor begin, TColor end, bool reverse, int shift);

struct TGradientPattern {
    int width = 0;
    int height = 0;
    std::vector<TPixel> pixels; // top row first

    TPixel At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// True for the styles this build draws (the radial, linear and reflected families).
bool GradientStyleSupported(TGradientStyle style);
// The pattern of a style; an unsupported style gives a 1x1 pattern of ramp entry 0.
TGradientPattern GradientPattern(TGradientStyle style, const TGradientRamp& ramp);

} // namespace ks
