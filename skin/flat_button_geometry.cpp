#include "skin/flat_button_geometry.h"

#include <algorithm>

namespace ks {

TButtonState EffectiveButtonState(TButtonState state, bool enabled, bool down, int groupIndex) {
    if (!enabled)
        return bsDisabled;
    if (state == bsDisabled)
        return down && groupIndex != 0 ? bsExclusive : bsUp;
    return state;
}

TFlatButtonLook FlatButtonLook(TButtonState state, bool hot, TTransparentMode mode,
                               const TFlatButtonColors& colors, bool isDefault) {
    TFlatButtonLook look;
    switch (mode) {
    case tmAlways:
        break;
    case tmNotFocused:
        if (hot) {
            switch (state) {
            case bsUp:
            case bsExclusive:
                look.fill = colors.focused;
                break;
            case bsDisabled:
                look.fill = colors.color;
                break;
            case bsDown:
                look.fill = colors.down;
                break;
            }
        }
        break;
    case tmNone:
        switch (state) {
        case bsUp:
            look.fill = hot ? colors.focused : colors.color;
            break;
        case bsDisabled:
            look.fill = colors.color;
            break;
        case bsDown:
            look.fill = colors.down;
            break;
        case bsExclusive:
            look.fill = hot ? colors.focused : colors.down;
            break;
        }
        break;
    }

    if (state == bsDisabled || (state == bsUp && !hot)) {
        look.frame = fkFlat;
        look.frameTopLeft = look.frameBottomRight = colors.border;
        look.frameWidth = isDefault ? 2 : 1;
    } else if (state == bsUp) {
        look.frame = fkRaised;
        look.frameTopLeft = colors.highlight;
        look.frameBottomRight = colors.shadow;
    } else {
        look.frame = fkSunken;
        look.frameTopLeft = colors.shadow;
        look.frameBottomRight = colors.highlight;
    }
    look.offset = state == bsDown || state == bsExclusive ? 1 : 0;
    look.engravedCaption = state == bsDisabled;
    return look;
}

TGlyphChoice GlyphImageFor(TButtonState state, int numGlyphs) {
    TGlyphChoice choice;
    switch (std::clamp(numGlyphs, 1, 4)) {
    case 1:
        choice.embossed = state == bsDisabled;
        break;
    case 2:
        choice.index = state == bsDisabled ? 1 : 0;
        break;
    case 3:
        choice.index = state == bsDisabled ? 1 : state == bsDown || state == bsExclusive ? 2 : 0;
        break;
    default:
        choice.index = state == bsDisabled ? 1 : state == bsDown ? 2 : state == bsExclusive ? 3 : 0;
        break;
    }
    return choice;
}

TButtonLayoutResult LayoutGlyphButton(const TRect& client, int glyphWidth, int glyphHeight,
                                      int textWidth, int textHeight, TButtonLayout layout,
                                      int margin, int spacing, int offset) {
    const int width = client.Width();
    const int height = client.Height();
    const bool hasGlyph = glyphWidth > 0 && glyphHeight > 0;
    const bool hasText = textWidth > 0 && textHeight > 0;
    if (!hasGlyph || !hasText)
        spacing = 0;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;

    TPoint glyph;
    TPoint text;
    if (horizontal) {
        glyph.y = (height - glyphHeight + 1) / 2;
        text.y = (height - textHeight + 1) / 2;
    } else {
        glyph.x = (width - glyphWidth + 1) / 2;
        text.x = (width - textWidth + 1) / 2;
    }
    if (margin == -1) {
        margin = horizontal ? (width - (glyphWidth + textWidth + spacing) + 1) / 2
                            : (height - (glyphHeight + textHeight + spacing) + 1) / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        glyph.x = margin;
        text.x = glyph.x + glyphWidth + spacing;
        break;
    case blGlyphRight:
        glyph.x = width - margin - glyphWidth;
        text.x = glyph.x - spacing - textWidth;
        break;
    case blGlyphTop:
        glyph.y = margin;
        text.y = glyph.y + glyphHeight + spacing;
        break;
    case blGlyphBottom:
        glyph.y = height - margin - glyphHeight;
        text.y = glyph.y - spacing - textHeight;
        break;
    }

    TButtonLayoutResult result;
    result.glyph = {client.left + glyph.x + offset, client.top + glyph.y + offset};
    const int left = client.left + text.x + offset;
    const int top = client.top + text.y + offset;
    result.caption = {left, top, left + textWidth, top + textHeight};
    return result;
}

bool TFlatButtonModel::SetDown(bool value) {
    if (groupIndex == 0)
        value = false;
    if (value == down)
        return false;
    if (down && !allowAllUp)
        return false;
    down = value;
    if (state != bsDisabled)
        state = value ? bsExclusive : bsUp;
    return true;
}

void TFlatButtonModel::MouseDown(bool enabled) {
    if (!enabled)
        return;
    if (!down)
        state = bsDown;
    dragging = true;
}

void TFlatButtonModel::MouseMove(bool inside) {
    if (!dragging)
        return;
    state = inside ? bsDown : down ? bsExclusive : bsUp;
}

bool TFlatButtonModel::MouseUp(bool inside) {
    if (!dragging)
        return false;
    dragging = false;
    if (groupIndex == 0)
        state = bsUp;
    else if (inside)
        SetDown(!down);
    if (groupIndex != 0 && down)
        state = bsExclusive;
    else if (groupIndex != 0)
        state = bsUp;
    return inside;
}

void TFlatButtonModel::KeyDown(bool enabled) {
    if (!enabled)
        return;
    keyPressed = true;
    if (groupIndex == 0)
        state = bsDown;
    else
        SetDown(true);
}

bool TFlatButtonModel::KeyUp(bool enabled) {
    if (!keyPressed)
        return false;
    keyPressed = false;
    if (state == bsDown)
        state = bsUp;
    return enabled;
}

void TFlatButtonModel::KeyCancelled() {
    if (!keyPressed)
        return;
    keyPressed = false;
    if (state == bsDown)
        state = bsUp;
}

void TFlatButtonModel::EnabledChanged(bool enabled) {
    if (!enabled) {
        state = bsDisabled;
        dragging = false;
        keyPressed = false;
    } else if (state == bsDisabled) {
        state = down && groupIndex != 0 ? bsExclusive : bsUp;
    }
}

} // namespace ks
