#include "skin/gradient_geometry.h"

#include <algorithm>
#include <cmath>

namespace ks {
namespace {

struct Channels {
    int r;
    int g;
    int b;
};

Channels Split(TColor color) {
    return {RedOf(color), GreenOf(color), BlueOf(color)};
}

// from + (to - from) * numerator / denominator, per channel, truncating toward zero.
Channels Between(const Channels& from, const Channels& to, int numerator, int denominator) {
    return {from.r + (to.r - from.r) * numerator / denominator,
            from.g + (to.g - from.g) * numerator / denominator,
            from.b + (to.b - from.b) * numerator / denominator};
}

int RadialEntry(int dx, int dy) {
    const long distance = std::lround(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    return static_cast<int>(std::min<long>(distance, 255));
}

// Distance of column or row `i` from the middle of a 362-pixel span: the two middle ones are 0.
int FromMiddle(int i) {
    return i <= 180 ? 180 - i : i - 181;
}

TGradientPattern MakePattern(int width, int height) {
    TGradientPattern pattern;
    pattern.width = width;
    pattern.height = height;
    pattern.pixels.resize(static_cast<std::size_t>(width) * height);
    return pattern;
}

template <typename EntryOf>
TGradientPattern Fill(int width, int height, const TGradientRamp& ramp, EntryOf entryOf) {
    TGradientPattern pattern = MakePattern(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pattern.pixels[static_cast<std::size_t>(y) * width + x] = PixelOf(ramp[entryOf(x, y)]);
    return pattern;
}

} // namespace

TGradientRamp GradientRamp(TColor begin, TColor end, bool reverse, int shift) {
    if (reverse)
        std::swap(begin, end);
    Channels first = Split(begin);
    Channels last = Split(end);
    shift = std::clamp(shift, -100, 100);
    if (shift > 0)
        first = Between(first, last, shift, 100);
    else if (shift < 0)
        last = Between(last, first, -shift, 100);
    TGradientRamp ramp{};
    for (int i = 0; i < 256; ++i) {
        const Channels c = Between(first, last, i, 255);
        ramp[i] = Rgb(c.r, c.g, c.b);
    }
    return ramp;
}

bool GradientStyleSupported(TGradientStyle style) {
    switch (style) {
    case gsRadialC:
    case gsRadialT:
    case gsRadialB:
    case gsRadialL:
    case gsRadialR:
    case gsRadialTL:
    case gsRadialTR:
    case gsRadialBL:
    case gsRadialBR:
    case gsLinearH:
    case gsLinearV:
    case gsReflectedH:
    case gsReflectedV:
        return true;
    default:
        return false;
    }
}

TGradientPattern GradientPattern(TGradientStyle style, const TGradientRamp& ramp) {
    switch (style) {
    case gsLinearH:
        return Fill(256, 1, ramp, [](int x, int) { return x; });
    case gsLinearV:
        return Fill(1, 256, ramp, [](int, int y) { return y; });
    case gsReflectedH:
        return Fill(1, 512, ramp, [](int, int y) { return 255 - (y <= 255 ? y : 511 - y); });
    case gsReflectedV:
        return Fill(512, 1, ramp, [](int x, int) { return 255 - (x <= 255 ? x : 511 - x); });
    case gsRadialC:
        return Fill(362, 362, ramp,
                    [](int x, int y) { return RadialEntry(FromMiddle(x), FromMiddle(y)); });
    case gsRadialT:
        return Fill(362, 181, ramp, [](int x, int y) { return RadialEntry(FromMiddle(x), y); });
    case gsRadialB:
        return Fill(362, 181, ramp,
                    [](int x, int y) { return RadialEntry(FromMiddle(x), 180 - y); });
    case gsRadialL:
        return Fill(181, 362, ramp, [](int x, int y) { return RadialEntry(x, FromMiddle(y)); });
    case gsRadialR:
        return Fill(181, 362, ramp,
                    [](int x, int y) { return RadialEntry(180 - x, FromMiddle(y)); });
    case gsRadialTL:
        return Fill(181, 181, ramp, [](int x, int y) { return RadialEntry(x, y); });
    case gsRadialTR:
        return Fill(181, 181, ramp, [](int x, int y) { return RadialEntry(180 - x, y); });
    case gsRadialBL:
        return Fill(181, 181, ramp, [](int x, int y) { return RadialEntry(x, 180 - y); });
    case gsRadialBR:
        return Fill(181, 181, ramp, [](int x, int y) { return RadialEntry(180 - x, 180 - y); });
    default:
        return Fill(1, 1, ramp, [](int, int) { return 0; });
    }
}

} // namespace ks
