// Resampling pictures to the display's scale with a box filter (each output pixel averages the
// source area it covers), in premultiplied alpha so transparent pixels never tint the edges.
#pragma once
#include "skin/picture.h"

namespace ks {

// The picture at width x height; the same picture when the size already matches.
TPicture ResizePicture(const TPicture& source, int width, int height);

// Art for a display: `single` drawn at 96 DPI and `doubled` (may be empty) at twice that size;
// the nearer set, resized to the single art's size scaled by the DPI.
TPicture ArtForDpi(const TPicture& single, const TPicture& doubled, int dpi);

} // namespace ks
