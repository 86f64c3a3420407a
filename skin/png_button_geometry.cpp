#include "skin/png_button_geometry.h"

namespace ks {

TButtonLayoutResult LayoutPngButton(const TRect& bounds, int imageWidth, int imageHeight,
                                    int textWidth, int textHeight, TPNGButtonLayout layout) {
    const bool hasText = textWidth > 0 && textHeight > 0;
    const int spacing = hasText ? kPngCaptionSpacing : 0;
    TButtonLayoutResult result;
    TPoint text;
    if (layout == pbsImageLeft || layout == pbsImageRight) {
        const int total = imageWidth + spacing + textWidth;
        const int start = bounds.left + (bounds.Width() - total) / 2;
        result.glyph.y = bounds.top + (bounds.Height() - imageHeight) / 2;
        text.y = bounds.top + (bounds.Height() - textHeight) / 2;
        if (layout == pbsImageLeft) {
            result.glyph.x = start;
            text.x = start + imageWidth + spacing;
        } else {
            text.x = start;
            result.glyph.x = start + textWidth + spacing;
        }
    } else {
        const int total = imageHeight + spacing + textHeight;
        const int start = bounds.top + (bounds.Height() - total) / 2;
        result.glyph.x = bounds.left + (bounds.Width() - imageWidth) / 2;
        text.x = bounds.left + (bounds.Width() - textWidth) / 2;
        if (layout == pbsImageAbove) {
            result.glyph.y = start;
            text.y = start + imageHeight + spacing;
        } else {
            text.y = start;
            result.glyph.y = start + textHeight + spacing;
        }
    }
    result.caption = {text.x, text.y, text.x + textWidth, text.y + textHeight};
    return result;
}

} // namespace ks
