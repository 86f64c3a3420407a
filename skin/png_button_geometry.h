// Placement of a picture button's image and caption.
#pragma once
#include "skin/flat_button_geometry.h"

namespace ks {

enum TPNGButtonStyle { pbsDefault, pbsFlat, pbsNoFrame };
enum TPNGButtonLayout { pbsImageAbove, pbsImageBellow, pbsImageLeft, pbsImageRight };

constexpr int kPngCaptionSpacing = 5;

// Image and caption form one block centred in the bounds; the image is centred vertically
// for the left and right layouts (horizontally for above and below).
TButtonLayoutResult LayoutPngButton(const TRect& bounds, int imageWidth, int imageHeight,
                                    int textWidth, int textHeight, TPNGButtonLayout layout);

} // namespace ks
