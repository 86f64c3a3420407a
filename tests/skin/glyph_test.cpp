// Glyph strips and accelerator captions.
#include "skin/glyph.h"

#include <gtest/gtest.h>

#include "skin/accelerator.h"

namespace ks {
namespace {

// A 4x2 strip of two 2x2 images: magenta background, one coloured pixel each.
TPicture TwoImageStrip() {
    const TPixel m = PixelOf(Rgb(255, 0, 255), 255);
    const TPixel blue = PixelOf(Rgb(0, 0, 200), 255);
    const TPixel grey = PixelOf(Rgb(150, 150, 150), 255);
    TPicture strip;
    strip.width = 4;
    strip.height = 2;
    strip.pixels = {blue, m, m, grey, //
                    m,    m, m, m};
    return strip;
}

TEST(Glyph, CutsTheImageAndMasksTheBottomLeftColour) {
    const TPicture strip = TwoImageStrip();
    const TPicture first = GlyphImage(strip, 2, 0);
    ASSERT_EQ(first.width, 2);
    ASSERT_EQ(first.height, 2);
    EXPECT_EQ(first.At(0, 0), PixelOf(Rgb(0, 0, 200), 255));
    EXPECT_EQ(first.At(1, 0) >> 24, 0u);
    EXPECT_EQ(first.At(0, 1) >> 24, 0u);
    const TPicture second = GlyphImage(strip, 2, 1);
    EXPECT_EQ(second.At(1, 0), PixelOf(Rgb(150, 150, 150), 255));
    EXPECT_EQ(second.At(0, 0) >> 24, 0u);
    EXPECT_TRUE(GlyphImage(strip, 2, 2).Empty());
    EXPECT_TRUE(GlyphImage(TPicture{}, 1, 0).Empty());
}

TEST(Glyph, EmbossDrawsHighlightBelowRightAndShadowInPlace) {
    TPicture strip;
    strip.width = 3;
    strip.height = 3;
    const TPixel bg = PixelOf(clWhite, 255);
    const TPixel ink = PixelOf(clBlack, 255);
    strip.pixels = {ink, bg, bg, bg, bg, bg, bg, bg, bg};
    const TPicture embossed = EmbossedGlyph(GlyphImage(strip, 1, 0), clWhite, clGray);
    EXPECT_EQ(embossed.At(0, 0), PixelOf(clGray, 255));
    EXPECT_EQ(embossed.At(1, 1), PixelOf(clWhite, 255));
    EXPECT_EQ(embossed.At(2, 2) >> 24, 0u);
    EXPECT_EQ(embossed.At(1, 0) >> 24, 0u);
}

struct AccelCase {
    const char* caption;
    char accelerator;
    const char* shown;
};

class Accelerators : public ::testing::TestWithParam<AccelCase> {};

TEST_P(Accelerators, MarkerAndDisplay) {
    const AccelCase& c = GetParam();
    EXPECT_EQ(AcceleratorOf(c.caption), c.accelerator);
    EXPECT_EQ(DisplayCaption(c.caption), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, Accelerators,
    ::testing::Values(AccelCase{"&Terms && conditions", 'T', "Terms & conditions"},
                      AccelCase{"&Close", 'C', "Close"}, AccelCase{"Install", 0, "Install"},
                      AccelCase{"I have read && agree the terms && conditions", 0,
                                "I have read & agree the terms & conditions"},
                      AccelCase{"a&&&b", 'B', "a&b"}, AccelCase{"end&", 0, "end&"},
                      AccelCase{"", 0, ""}));

TEST(Accelerators, MatchIgnoresCase) {
    EXPECT_TRUE(IsAccelerator('t', "&Terms"));
    EXPECT_TRUE(IsAccelerator('T', "&Terms"));
    EXPECT_FALSE(IsAccelerator('e', "&Terms"));
    EXPECT_FALSE(IsAccelerator('&', "a && b"));
}

} // namespace
} // namespace ks
