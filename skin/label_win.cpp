#include "skin/label.h"

#include "skin/accelerator.h"
#include "skin/paint_win.h"

namespace ks {

std::string TLabel::ShownCaption() const {
    return showAccelChar_ ? DisplayCaption(caption_) : caption_;
}

void TLabel::Paint(HDC dc, const RECT& bounds) {
    UINT format = DT_EXPANDTABS | DT_TOP;
    format |= alignment_ == taCenter         ? DT_CENTER
              : alignment_ == taRightJustify ? DT_RIGHT
                                             : DT_LEFT;
    if (wordWrap_)
        format |= DT_WORDBREAK;
    if (!showAccelChar_)
        format |= DT_NOPREFIX;
    const UniqueFont font = CreateSkinFont(font_, DEFAULT_QUALITY, Dpi());
    DrawCaption(dc, font.Get(), caption_, bounds, format, font_.color, false);
}

} // namespace ks
