// A decoded picture: 32-bit pixels, top row first, straight (not premultiplied) alpha.
#pragma once
#include <vector>

#include "skin/colors.h"

namespace ks {

struct TPicture {
    int width = 0;
    int height = 0;
    std::vector<TPixel> pixels; // 0xAARRGGBB, width * height entries
    bool hasAlpha = false;      // false: every pixel is opaque whatever its alpha byte

    bool Empty() const { return width <= 0 || height <= 0; }
    TPixel At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

} // namespace ks
