#include "skin/gradient.h"

#include <algorithm>

#include "skin/picture_win.h"

namespace ks {

void TGradient::SetColorBegin(TColor color) {
    colorBegin_ = color;
    Changed();
}

void TGradient::SetColorEnd(TColor color) {
    colorEnd_ = color;
    Changed();
}

void TGradient::SetStyle(TGradientStyle style) {
    style_ = style;
    Changed();
}

void TGradient::SetReverse(bool reverse) {
    reverse_ = reverse;
    Changed();
}

void TGradient::SetShift(int shift) {
    shift_ = std::clamp(shift, -100, 100);
    Changed();
}

void TGradient::SetRotation(int rotation) {
    rotation_ = std::clamp(rotation, -100, 100);
    Changed();
}

void TGradient::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0)
        Changed();
}

void TGradient::Changed() {
    dirty_ = true;
    if (updating_ == 0)
        Pattern();
}

const TGradientPattern& TGradient::Pattern() {
    if (dirty_) {
        const TGradientRamp ramp =
            GradientRamp(ResolveColor(colorBegin_), ResolveColor(colorEnd_), reverse_, shift_);
        pattern_ = GradientPattern(style_, ramp);
        dirty_ = false;
    }
    return pattern_;
}

void TGradient::Paint(HDC dc, const RECT& bounds) {
    const TGradientPattern& pattern = Pattern();
    StretchPixels(dc, bounds, pattern.width, pattern.height, pattern.pixels.data());
}

} // namespace ks
