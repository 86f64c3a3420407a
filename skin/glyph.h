// Glyph strips of the flat buttons: cutting one image out and masking its transparent colour.
#pragma once
#include "skin/picture.h"

namespace ks {

// Image `index` of a strip of `numGlyphs` images side by side (each strip width / numGlyphs
// wide). Pixels of the image's bottom-left colour get alpha 0, all others alpha 255.
TPicture GlyphImage(const TPicture& strip, int numGlyphs, int index);

// The grey disabled form of an image from GlyphImage: its opaque pixels drawn once 1 pixel
// right and down in `highlight`, then in place in `shadow`.
TPicture EmbossedGlyph(const TPicture& image, TColor highlight, TColor shadow);

} // namespace ks
