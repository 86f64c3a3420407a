// Gradient ramp and pattern pixels.
#include "skin/gradient_geometry.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

constexpr TColor kBegin = Rgb(0, 128, 255);
constexpr TColor kEnd = Rgb(0, 64, 128);

TEST(GradientRamp, RunsFromBeginToEndTruncating) {
    const TGradientRamp ramp = GradientRamp(kBegin, kEnd, false, 0);
    EXPECT_EQ(ramp[0], kBegin);
    EXPECT_EQ(ramp[255], kEnd);
    // 128 + (64 - 128) * 100 / 255 = 128 - 25 (toward zero), 255 + (-127 * 100 / 255) = 206.
    EXPECT_EQ(ramp[100], Rgb(0, 103, 206));
    EXPECT_EQ(ramp[1], Rgb(0, 128, 255)); // -64 / 255 truncates to 0, not -1
}

TEST(GradientRamp, ReverseSwapsTheEnds) {
    const TGradientRamp ramp = GradientRamp(kBegin, kEnd, true, 0);
    EXPECT_EQ(ramp[0], kEnd);
    EXPECT_EQ(ramp[255], kBegin);
}

TEST(GradientRamp, ShiftMovesOneEndTowardTheOther) {
    const TColor black = Rgb(0, 0, 0);
    const TColor white = Rgb(200, 200, 200);
    EXPECT_EQ(GradientRamp(black, white, false, 50)[0], Rgb(100, 100, 100));
    EXPECT_EQ(GradientRamp(black, white, false, 50)[255], white);
    EXPECT_EQ(GradientRamp(black, white, false, -50)[255], Rgb(100, 100, 100));
    EXPECT_EQ(GradientRamp(black, white, false, -50)[0], black);
    EXPECT_EQ(GradientRamp(black, white, false, 300)[0], white); // clamped to 100
}

class EqualColoursAreFlat : public ::testing::TestWithParam<TGradientStyle> {};

TEST_P(EqualColoursAreFlat, EveryPixelIsTheColour) {
    const TColor colour = Rgb(12, 34, 56);
    const TGradientPattern pattern =
        GradientPattern(GetParam(), GradientRamp(colour, colour, false, 0));
    ASSERT_FALSE(pattern.pixels.empty());
    ASSERT_EQ(pattern.pixels.size(), static_cast<std::size_t>(pattern.width) * pattern.height);
    for (TPixel pixel : pattern.pixels)
        ASSERT_EQ(ColorOf(pixel), colour);
}

std::vector<TGradientStyle> AllStyles() {
    std::vector<TGradientStyle> styles;
    for (int style = gsCustom; style <= gsRadialRect; ++style)
        styles.push_back(static_cast<TGradientStyle>(style));
    return styles;
}

INSTANTIATE_TEST_SUITE_P(AllStyles, EqualColoursAreFlat, ::testing::ValuesIn(AllStyles()));

TEST(GradientPattern, ReflectedVIsEndAtTheSidesAndBeginInTheMiddle) {
    const TGradientRamp ramp = GradientRamp(kBegin, kEnd, false, 0);
    const TGradientPattern pattern = GradientPattern(gsReflectedV, ramp);
    ASSERT_EQ(pattern.width, 512);
    ASSERT_EQ(pattern.height, 1);
    EXPECT_EQ(ColorOf(pattern.At(0, 0)), kEnd);
    EXPECT_EQ(ColorOf(pattern.At(511, 0)), kEnd);
    EXPECT_EQ(ColorOf(pattern.At(255, 0)), kBegin);
    EXPECT_EQ(ColorOf(pattern.At(256, 0)), kBegin);
    for (int x = 0; x < 256; ++x) {
        ASSERT_EQ(ColorOf(pattern.At(x, 0)), ramp[255 - x]) << x;
        ASSERT_EQ(pattern.At(x, 0), pattern.At(511 - x, 0)) << x;
    }
}

TEST(GradientPattern, RadialTCentresOnTheTopMiddle) {
    const TGradientRamp ramp = GradientRamp(kBegin, kEnd, false, 0);
    const TGradientPattern pattern = GradientPattern(gsRadialT, ramp);
    ASSERT_EQ(pattern.width, 362);
    ASSERT_EQ(pattern.height, 181);
    EXPECT_EQ(ColorOf(pattern.At(180, 0)), kBegin);
    EXPECT_EQ(ColorOf(pattern.At(181, 0)), kBegin);
    EXPECT_EQ(ColorOf(pattern.At(0, 180)), ramp[255]);
    EXPECT_EQ(ColorOf(pattern.At(361, 180)), ramp[255]);
    // round(sqrt(3^2 + 4^2)) = 5 at column 177 (dx 3), row 4; 184 mirrors it (dx 3).
    EXPECT_EQ(ColorOf(pattern.At(177, 4)), ramp[5]);
    EXPECT_EQ(ColorOf(pattern.At(184, 4)), ramp[5]);
    // round(sqrt(1 + 1)) = 1, round(sqrt(4 + 4)) = 3 (2.83 rounds up).
    EXPECT_EQ(ColorOf(pattern.At(179, 1)), ramp[1]);
    EXPECT_EQ(ColorOf(pattern.At(178, 2)), ramp[3]);
    EXPECT_EQ(ColorOf(pattern.At(180, 180)), ramp[180]);
}

TEST(GradientPattern, UnsupportedStylesAreOnePixelOfTheFirstEntry) {
    const TGradientRamp ramp = GradientRamp(kBegin, kEnd, false, 0);
    EXPECT_FALSE(GradientStyleSupported(gsDiamond));
    const TGradientPattern pattern = GradientPattern(gsDiamond, ramp);
    EXPECT_EQ(pattern.width, 1);
    EXPECT_EQ(ColorOf(pattern.At(0, 0)), kBegin);
    EXPECT_TRUE(GradientStyleSupported(gsReflectedV));
    EXPECT_TRUE(GradientStyleSupported(gsRadialT));
}

} // namespace
} // namespace ks
