// Lengths laid out at 96 pixels per inch, converted to the pixels of a display's DPI.
#pragma once
#include "skin/flat_button_geometry.h"

namespace ks {

constexpr int kBaseDpi = 96;

// Rounded to the nearest pixel, halves away from zero (as MulDiv rounds).
constexpr int ScaleLength(int length, int dpi) {
    const long long product = static_cast<long long>(length) * dpi;
    return static_cast<int>((product >= 0 ? product + kBaseDpi / 2 : product - kBaseDpi / 2) /
                            kBaseDpi);
}

// Font heights round toward zero: hinted text at a larger size often runs wider than its
// share, and labels have fixed bounds.
constexpr int ScaleFontHeight(int height, int dpi) {
    return static_cast<int>(static_cast<long long>(height) * dpi / kBaseDpi);
}

// Lines stay whole pixels and never thinner than at 96 DPI: 1 pixel up to 191 DPI, then 2.
constexpr int ScaleLineWidth(int width, int dpi) {
    const int scaled = width * dpi / kBaseDpi;
    return scaled < width ? width : scaled;
}

// Edges scale, not sizes: neighbouring areas that touch at 96 DPI still touch.
constexpr TRect ScaleRect(const TRect& rect, int dpi) {
    return {ScaleLength(rect.left, dpi), ScaleLength(rect.top, dpi), ScaleLength(rect.right, dpi),
            ScaleLength(rect.bottom, dpi)};
}

// The drawn art set nearer to the display's scale: 1 (as laid out) or 2 (twice the size).
// From 150% on, shrinking the double art keeps more detail than enlarging the single one.
constexpr int ArtSetFor(int dpi) {
    return dpi >= kBaseDpi * 3 / 2 ? 2 : 1;
}

} // namespace ks
