// Paint and state rules of the flat buttons: fill, frame, glyph image, layout of glyph and
// caption, and the state a button shows after each mouse or keyboard step.
#pragma once
#include <optional>

#include "skin/colors.h"

namespace ks {

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TTransparentMode { tmAlways, tmNotFocused, tmNone };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TFlatButtonColors {
    TColor color = clBtnFace;
    TColor focused = Rgb(235, 234, 225);
    TColor down = Rgb(217, 214, 197);
    TColor border = Rgb(160, 150, 131);
    TColor highlight = clWhite;
    TColor shadow = clBlack;
};

enum TFrameKind { fkFlat, fkRaised, fkSunken };

struct TFlatButtonLook {
    std::optional<TColor> fill; // empty: the parent shows through
    TFrameKind frame = fkFlat;
    TColor frameTopLeft = clBlack;
    TColor frameBottomRight = clBlack;
    int frameWidth = 1;
    int offset = 0; // glyph and caption move this far right and down
    bool engravedCaption = false;
};

// The state painting uses: a disabled button paints disabled; an enabled one that was
// disabled comes back exclusive when Down in a group, else up.
TButtonState EffectiveButtonState(TButtonState state, bool enabled, bool down, int groupIndex);

TFlatButtonLook FlatButtonLook(TButtonState state, bool hot, TTransparentMode mode,
                               const TFlatButtonColors& colors, bool isDefault);

struct TGlyphChoice {
    int index = 0;
    bool embossed = false; // the grey disabled rendering of a single image
};
TGlyphChoice GlyphImageFor(TButtonState state, int numGlyphs);

struct TPoint {
    int x = 0;
    int y = 0;
};
struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};
inline bool operator==(const TPoint& a, const TPoint& b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator==(const TRect& a, const TRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct TButtonLayoutResult {
    TPoint glyph;  // top-left of the glyph image
    TRect caption; // bounds of the caption text
};

// The standard glyph-button layout: glyph and caption in one block, the glyph on the layout
// side; margin -1 centres the block, otherwise it starts margin pixels from that side;
// spacing separates the two and is dropped when either is missing.
TButtonLayoutResult LayoutGlyphButton(const TRect& client, int glyphWidth, int glyphHeight,
                                      int textWidth, int textHeight, TButtonLayout layout,
                                      int margin, int spacing, int offset);

// Mouse and keyboard steps of a flat button. The steps that click return true.
struct TFlatButtonModel {
    TButtonState state = bsUp;
    bool down = false; // the Down property
    int groupIndex = 0;
    bool allowAllUp = false;
    bool dragging = false;   // left button held after a press on the button
    bool keyPressed = false; // Space held on the button

    // Sets Down (only buttons in a group stay down); false when nothing changed.
    bool SetDown(bool value);
    void MouseDown(bool enabled);
    void MouseMove(bool inside);
    bool MouseUp(bool inside);
    void KeyDown(bool enabled);
    // Clicks only when the Space press started on this button.
    bool KeyUp(bool enabled);
    // Focus lost while Space is held: no click follows.
    void KeyCancelled();
    void EnabledChanged(bool enabled);
};

} // namespace ks
