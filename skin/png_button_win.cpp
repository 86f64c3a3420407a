#include "skin/png_button.h"

#include "skin/paint_win.h"
#include "skin/picture_win.h"

namespace ks {

void TPNGButton::Paint(HDC dc, const RECT& bounds) {
    UniqueFont font = CreateSkinFont(font_, DEFAULT_QUALITY, Dpi());
    const SIZE text = MeasureCaption(dc, font.Get(), caption_);
    const TRect area = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    const TButtonLayoutResult layout =
        LayoutPngButton(area, image_.width, image_.height, text.cx, text.cy, layout_);
    if (style_ == pbsDefault)
        Frame3D(dc, bounds, clBtnHighlight, clBtnShadow);
    DrawPicture(dc, layout.glyph.x, layout.glyph.y, image_);
    DrawCaption(dc, font.Get(), caption_, ToRect(layout.caption), DT_SINGLELINE | DT_LEFT,
                font_.color, false);
}

} // namespace ks
