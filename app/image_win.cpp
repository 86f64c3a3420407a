// TImage painting: the picture is clipped to the control's bounds.
#include "app/image_win.h"

#include "skin/picture_win.h"

namespace ks {

void TImage::Paint(HDC dc, const RECT& bounds) {
    if (picture_.Empty())
        return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    DrawPicture(dc, bounds.left, bounds.top, picture_);
    RestoreDC(dc, saved);
}

} // namespace ks
