// TImage painting: the picture is clipped to the control's bounds.
#include "app/image_win.h"

#include "skin/picture_scale.h"
#include "skin/picture_win.h"

namespace ks {

void TImage::SetArt(TPicture single, TPicture doubled) {
    picture_ = std::move(single);
    doubled_ = std::move(doubled);
    shownDpi_ = 0;
}

const TPicture& TImage::Shown() const {
    if (shownDpi_ != Dpi()) {
        shown_ = ArtForDpi(picture_, doubled_, Dpi());
        shownDpi_ = Dpi();
    }
    return shown_;
}

void TImage::Paint(HDC dc, const RECT& bounds) {
    const TPicture& picture = Shown();
    if (picture.Empty())
        return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    DrawPicture(dc, bounds.left, bounds.top, picture);
    RestoreDC(dc, saved);
}

} // namespace ks
