// Resampling art to the display's scale and choosing the nearer drawing.
#include "skin/picture_scale.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TPicture Filled(int width, int height, TPixel pixel, bool hasAlpha = false) {
    TPicture picture;
    picture.width = width;
    picture.height = height;
    picture.hasAlpha = hasAlpha;
    picture.pixels.assign(static_cast<std::size_t>(width) * height, pixel);
    return picture;
}

TEST(ResizePicture, ShrinkingAveragesEachCoveredBlock) {
    TPicture picture = Filled(4, 2, 0xFF000000u);
    picture.pixels[0] = picture.pixels[1] = 0xFFFFFFFFu; // left block: half white
    const TPicture half = ResizePicture(picture, 2, 1);
    ASSERT_EQ(half.pixels.size(), 2u);
    EXPECT_EQ(half.pixels[0], 0xFF808080u);
    EXPECT_EQ(half.pixels[1], 0xFF000000u);
}

TEST(ResizePicture, TransparentPixelsNeverTintTheEdge) {
    // Opaque blue beside transparent magenta, as a glyph's key colour becomes.
    TPicture picture = Filled(2, 1, 0x00FF00FFu, true);
    picture.pixels[0] = 0xFF0000FFu;
    const TPicture one = ResizePicture(picture, 1, 1);
    EXPECT_EQ(one.pixels[0], 0x800000FFu); // half covered, still pure blue
}

TEST(ResizePicture, EnlargingByAQuarterKeepsAFlatColourFlat) {
    const TPicture enlarged = ResizePicture(Filled(16, 16, 0xFF1F4E8Cu), 20, 20);
    ASSERT_EQ(enlarged.width, 20);
    for (TPixel pixel : enlarged.pixels)
        ASSERT_EQ(pixel, 0xFF1F4E8Cu);
}

struct ArtCase {
    const char* name;
    int dpi;
    int width;          // shown size of 21x21 art
    TPixel fromDoubled; // the doubled drawing is red, the single one green
};

class ArtForDpiTable : public ::testing::TestWithParam<ArtCase> {};

TEST_P(ArtForDpiTable, TakesTheNearerDrawingAtTheScaledSize) {
    const ArtCase& c = GetParam();
    const TPicture shown =
        ArtForDpi(Filled(21, 21, 0xFF00FF00u), Filled(42, 42, 0xFFFF0000u), c.dpi);
    EXPECT_EQ(shown.width, c.width);
    EXPECT_EQ(shown.height, c.width);
    EXPECT_EQ(shown.At(c.width / 2, c.width / 2), c.fromDoubled);
}

INSTANTIATE_TEST_SUITE_P(Dpi, ArtForDpiTable,
                         ::testing::Values(ArtCase{"At100", 96, 21, 0xFF00FF00u},
                                           ArtCase{"At125", 120, 26, 0xFF00FF00u},
                                           ArtCase{"At150", 144, 32, 0xFFFF0000u},
                                           ArtCase{"At200", 192, 42, 0xFFFF0000u}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ArtForDpi, WithoutADoubledDrawingTheSingleOneIsResampled) {
    EXPECT_EQ(ArtForDpi(Filled(21, 21, 0xFF00FF00u), {}, 192).width, 42);
}

} // namespace
} // namespace ks
