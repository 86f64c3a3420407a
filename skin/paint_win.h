// Small GDI drawing steps shared by the controls: solid fills and frames, engraved text,
// off-screen buffers.
#pragma once
#include <windows.h>

#include <string>

#include "skin/colors.h"
#include "skin/flat_button_geometry.h"
#include "sys/unique_handle_win.h"

namespace ks {

RECT ToRect(const TRect& rect);
void FillSolid(HDC dc, const RECT& rect, TColor color);
// Frames `width` pixels thick, inside the rectangle.
void FrameSolid(HDC dc, const RECT& rect, TColor color, int width = 1);
// Top and left lines in one colour, bottom and right in the other.
void Frame3D(HDC dc, const RECT& rect, TColor topLeft, TColor bottomRight, int width = 1);
// Text without background; engraved: first 1 pixel right and down in the button highlight
// colour, then in place in the button shadow colour.
void DrawCaption(HDC dc, HFONT font, const std::string& text, RECT rect, UINT format, TColor color,
                 bool engraved);
// Size of a caption as DrawText lays it out on one line (accelerator markers removed).
SIZE MeasureCaption(HDC dc, HFONT font, const std::string& text);

// Saves a DC's state (clipping, origins, selected objects) and restores it on destruction.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~TSavedDC() {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// A memory DC holding a 32-bit top-down DIB; Pixels() reads and writes it directly.
class TOffscreen {
public:
    TOffscreen(HDC reference, int width, int height);
    ~TOffscreen();
    TOffscreen(const TOffscreen&) = delete;
    TOffscreen& operator=(const TOffscreen&) = delete;
    HDC Dc() const { return dc_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TPixel* Pixels() const { return bits_; }
    explicit operator bool() const { return bits_ != nullptr; }

private:
    int width_;
    int height_;
    TPixel* bits_ = nullptr;
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

} // namespace ks
