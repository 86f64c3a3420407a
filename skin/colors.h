// Colours of the skinned controls: 0x00BBGGRR values (the layout of a Win32 COLORREF), or a
// system colour by role, resolved when painting so that it follows the platform's theme.
#pragma once
#include <cstdint>

namespace ks {

using TColor = std::uint32_t;

constexpr TColor Rgb(int red, int green, int blue) {
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(TColor color) {
    return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(TColor color) {
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(TColor color) {
    return static_cast<int>((color >> 16) & 0xFF);
}

// A system colour carries this flag and the platform's colour index in its low byte.
constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr bool IsSystemColor(TColor color) {
    return (color & kSystemColorFlag) != 0;
}
constexpr int SystemColorIndex(TColor color) {
    return static_cast<int>(color & 0xFF);
}

constexpr TColor clBtnFace = kSystemColorFlag | 15;      // COLOR_BTNFACE
constexpr TColor clBtnShadow = kSystemColorFlag | 16;    // COLOR_BTNSHADOW
constexpr TColor clBtnHighlight = kSystemColorFlag | 20; // COLOR_BTNHIGHLIGHT
constexpr TColor clWindow = kSystemColorFlag | 5;        // COLOR_WINDOW
constexpr TColor clWindowText = kSystemColorFlag | 8;    // COLOR_WINDOWTEXT

constexpr TColor clBlack = Rgb(0, 0, 0);
constexpr TColor clWhite = Rgb(255, 255, 255);
constexpr TColor clSilver = Rgb(192, 192, 192);
constexpr TColor clGray = Rgb(128, 128, 128);
constexpr TColor clMaroon = Rgb(128, 0, 0);
constexpr TColor clNavy = Rgb(0, 0, 128);
constexpr TColor clRed = Rgb(255, 0, 0);
constexpr TColor clYellow = Rgb(255, 255, 0);

// A pixel of a 32-bit top-down DIB as a 32-bit value: 0xAARRGGBB.
using TPixel = std::uint32_t;
constexpr TPixel PixelOf(TColor color, int alpha = 0) {
    return static_cast<TPixel>((static_cast<std::uint32_t>(alpha & 0xFF) << 24) |
                               (static_cast<std::uint32_t>(RedOf(color)) << 16) |
                               (static_cast<std::uint32_t>(GreenOf(color)) << 8) |
                               static_cast<std::uint32_t>(BlueOf(color)));
}
constexpr TColor ColorOf(TPixel pixel) {
    return Rgb(static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
               static_cast<int>(pixel & 0xFF));
}

} // namespace ks
