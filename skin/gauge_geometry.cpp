#include "skin/gauge_geometry.h"

#include <algorithm>

namespace ks {

int GaugePercent(long long progress, long long minValue, long long maxValue) {
    if (maxValue == minValue)
        return 0;
    return static_cast<int>((progress - minValue) * 100 / (maxValue - minValue));
}

TRect GaugeInnerRect(int clientWidth, int clientHeight, TGaugeBorderStyle border, int dpi) {
    const int inset = border == bsSingle ? ScaleLineWidth(1, dpi) : 0;
    return {inset, inset, clientWidth - inset, clientHeight - inset};
}

TRect GaugeBarRect(const TRect& inner, int percent) {
    const int extent = (inner.Width() + 1) * percent / 100;
    TRect bar = inner;
    bar.right = extent < 1 ? inner.left : std::clamp(extent, inner.left, inner.right);
    return bar;
}

} // namespace ks
