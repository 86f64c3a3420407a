#include "skin/glyph.h"

#include <algorithm>

namespace ks {

TPicture GlyphImage(const TPicture& strip, int numGlyphs, int index) {
    TPicture image;
    numGlyphs = std::clamp(numGlyphs, 1, 4);
    if (strip.Empty() || index < 0 || index >= numGlyphs)
        return image;
    image.width = strip.width / numGlyphs;
    image.height = strip.height;
    image.hasAlpha = true;
    if (image.width <= 0)
        return TPicture{};
    const int originX = image.width * index;
    const TColor transparent = ColorOf(strip.At(originX, strip.height - 1));
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const TColor color = ColorOf(strip.At(originX + x, y));
            image.pixels.push_back(PixelOf(color, color == transparent ? 0 : 255));
        }
    }
    return image;
}

TPicture EmbossedGlyph(const TPicture& image, TColor highlight, TColor shadow) {
    TPicture result;
    result.width = image.width;
    result.height = image.height;
    result.hasAlpha = true;
    result.pixels.assign(image.pixels.size(), PixelOf(clBlack, 0));
    const auto opaque = [&](int x, int y) { return (image.At(x, y) >> 24) != 0; };
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            TPixel& out = result.pixels[static_cast<std::size_t>(y) * image.width + x];
            if (opaque(x, y))
                out = PixelOf(shadow, 255);
            else if (x > 0 && y > 0 && opaque(x - 1, y - 1))
                out = PixelOf(highlight, 255);
        }
    }
    return result;
}

} // namespace ks
