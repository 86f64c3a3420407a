#include "skin/paint_win.h"

#include "skin/accelerator.h"
#include "skin/control.h"

namespace ks {

RECT ToRect(const TRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void FillSolid(HDC dc, const RECT& rect, TColor color) {
    // ExtTextOut with ETO_OPAQUE fills without creating a brush.
    const COLORREF previous = SetBkColor(dc, ResolveColor(color));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

void FrameSolid(HDC dc, const RECT& rect, TColor color, int width) {
    Frame3D(dc, rect, color, color, width);
}

void Frame3D(HDC dc, const RECT& rect, TColor topLeft, TColor bottomRight, int width) {
    RECT ring = rect;
    for (int line = 0; line < width; ++line) {
        if (ring.right <= ring.left || ring.bottom <= ring.top)
            return;
        FillSolid(dc, {ring.left, ring.top, ring.right, ring.top + 1}, topLeft);
        FillSolid(dc, {ring.left, ring.top, ring.left + 1, ring.bottom}, topLeft);
        FillSolid(dc, {ring.left, ring.bottom - 1, ring.right, ring.bottom}, bottomRight);
        FillSolid(dc, {ring.right - 1, ring.top, ring.right, ring.bottom}, bottomRight);
        InflateRect(&ring, -1, -1);
    }
}

void DrawCaption(HDC dc, HFONT font, const std::string& text, RECT rect, UINT format, TColor color,
                 bool engraved) {
    if (text.empty())
        return;
    SelectGuard selectFont(dc, font);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor = GetTextColor(dc);
    if (engraved) {
        RECT shifted = rect;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, ResolveColor(clBtnHighlight));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
        SetTextColor(dc, ResolveColor(clBtnShadow));
    } else {
        SetTextColor(dc, ResolveColor(color));
    }
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
}

SIZE MeasureCaption(HDC dc, HFONT font, const std::string& text) {
    if (text.empty())
        return {0, 0};
    SelectGuard selectFont(dc, font);
    RECT bounds = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT | DT_SINGLELINE);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

TOffscreen::TOffscreen(HDC reference, int width, int height)
    : width_(width < 1 ? 1 : width), height_(height < 1 ? 1 : height),
      dc_(CreateCompatibleDC(reference)) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_)
        return;
    bits_ = static_cast<TPixel*>(bits);
    previous_ = SelectObject(dc_.Get(), bitmap_.Get());
}

TOffscreen::~TOffscreen() {
    if (previous_)
        SelectObject(dc_.Get(), previous_);
}

} // namespace ks
