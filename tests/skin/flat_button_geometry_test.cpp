// Flat button looks, glyph choice, layout and state steps.
#include "skin/flat_button_geometry.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

const TFlatButtonColors kColors = {Rgb(255, 128, 0), Rgb(248, 155, 63), Rgb(217, 214, 197),
                                   clBlack,          clWhite,           Rgb(7, 53, 99)};

struct FillCase {
    const char* name;
    TTransparentMode mode;
    TButtonState state;
    bool hot;
    bool filled;
    TColor fill;
};

class FlatButtonFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(FlatButtonFill, FollowsModeStateAndHover) {
    const FillCase& c = GetParam();
    const TFlatButtonLook look = FlatButtonLook(c.state, c.hot, c.mode, kColors, false);
    ASSERT_EQ(look.fill.has_value(), c.filled);
    if (c.filled) {
        EXPECT_EQ(*look.fill, c.fill);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FlatButtonFill,
    ::testing::Values(
        FillCase{"AlwaysUpHot", tmAlways, bsUp, true, false, 0},
        FillCase{"AlwaysDown", tmAlways, bsDown, true, false, 0},
        FillCase{"NotFocusedUpCold", tmNotFocused, bsUp, false, false, 0},
        FillCase{"NotFocusedDownCold", tmNotFocused, bsDown, false, false, 0},
        FillCase{"NotFocusedUpHot", tmNotFocused, bsUp, true, true, kColors.focused},
        FillCase{"NotFocusedDownHot", tmNotFocused, bsDown, true, true, kColors.down},
        FillCase{"NotFocusedExclusiveHot", tmNotFocused, bsExclusive, true, true, kColors.focused},
        FillCase{"NotFocusedDisabledHot", tmNotFocused, bsDisabled, true, true, kColors.color},
        FillCase{"NoneUpCold", tmNone, bsUp, false, true, kColors.color},
        FillCase{"NoneUpHot", tmNone, bsUp, true, true, kColors.focused},
        FillCase{"NoneDisabled", tmNone, bsDisabled, false, true, kColors.color},
        FillCase{"NoneDown", tmNone, bsDown, false, true, kColors.down},
        FillCase{"NoneExclusiveCold", tmNone, bsExclusive, false, true, kColors.down},
        FillCase{"NoneExclusiveHot", tmNone, bsExclusive, true, true, kColors.focused}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlatButtonFrame, FlatRaisedAndSunken) {
    TFlatButtonLook look = FlatButtonLook(bsUp, false, tmNone, kColors, false);
    EXPECT_EQ(look.frame, fkFlat);
    EXPECT_EQ(look.frameTopLeft, kColors.border);
    EXPECT_EQ(look.frameWidth, 1);
    EXPECT_EQ(FlatButtonLook(bsUp, false, tmNone, kColors, true).frameWidth, 2);
    EXPECT_EQ(FlatButtonLook(bsDisabled, true, tmNone, kColors, false).frame, fkFlat);

    look = FlatButtonLook(bsUp, true, tmNone, kColors, false);
    EXPECT_EQ(look.frame, fkRaised);
    EXPECT_EQ(look.frameTopLeft, kColors.highlight);
    EXPECT_EQ(look.frameBottomRight, kColors.shadow);
    EXPECT_EQ(look.offset, 0);

    for (TButtonState state : {bsDown, bsExclusive}) {
        look = FlatButtonLook(state, false, tmNone, kColors, false);
        EXPECT_EQ(look.frame, fkSunken);
        EXPECT_EQ(look.frameTopLeft, kColors.shadow);
        EXPECT_EQ(look.frameBottomRight, kColors.highlight);
        EXPECT_EQ(look.offset, 1);
    }
    EXPECT_TRUE(FlatButtonLook(bsDisabled, false, tmNone, kColors, false).engravedCaption);
    EXPECT_FALSE(FlatButtonLook(bsUp, false, tmNone, kColors, false).engravedCaption);
}

TEST(GlyphChoice, PerStateAndImageCount) {
    const TButtonState states[] = {bsUp, bsDisabled, bsDown, bsExclusive};
    const int expected[4][4] = {
        {0, 0, 0, 0}, // 1 image
        {0, 1, 0, 0}, // 2 images
        {0, 1, 2, 2}, // 3 images
        {0, 1, 2, 3}, // 4 images
    };
    for (int count = 1; count <= 4; ++count) {
        for (int s = 0; s < 4; ++s) {
            const TGlyphChoice choice = GlyphImageFor(states[s], count);
            EXPECT_EQ(choice.index, expected[count - 1][s]) << count << " images, state " << s;
            EXPECT_EQ(choice.embossed, count == 1 && states[s] == bsDisabled);
        }
    }
}

TEST(EffectiveState, DisabledAndBack) {
    EXPECT_EQ(EffectiveButtonState(bsDown, false, false, 0), bsDisabled);
    EXPECT_EQ(EffectiveButtonState(bsDisabled, true, false, 0), bsUp);
    EXPECT_EQ(EffectiveButtonState(bsDisabled, true, true, 1), bsExclusive);
    EXPECT_EQ(EffectiveButtonState(bsDisabled, true, true, 0), bsUp);
    EXPECT_EQ(EffectiveButtonState(bsDown, true, false, 0), bsDown);
}

TEST(GlyphButtonLayout, InstallButtonGlyphLeftCentresTheBlock) {
    // 113x33 button, 16x16 glyph, a 30x13 caption, spacing 4: block 50 wide starts at 32.
    const TButtonLayoutResult r =
        LayoutGlyphButton({0, 0, 113, 33}, 16, 16, 30, 13, blGlyphLeft, -1, 4, 0);
    EXPECT_EQ(r.glyph, (TPoint{32, 9}));
    EXPECT_EQ(r.caption, (TRect{52, 10, 82, 23}));
    const TButtonLayoutResult pressed =
        LayoutGlyphButton({0, 0, 113, 33}, 16, 16, 30, 13, blGlyphLeft, -1, 4, 1);
    EXPECT_EQ(pressed.glyph, (TPoint{33, 10}));
    EXPECT_EQ(pressed.caption, (TRect{53, 11, 83, 24}));
}

TEST(GlyphButtonLayout, SpacingDroppedWithoutGlyphAndOtherSides) {
    // Caption only: centred whatever the layout.
    TButtonLayoutResult r = LayoutGlyphButton({0, 0, 89, 25}, 0, 0, 21, 13, blGlyphTop, -1, 4, 0);
    EXPECT_EQ(r.caption, (TRect{34, 6, 55, 19}));
    r = LayoutGlyphButton({0, 0, 100, 40}, 10, 10, 20, 10, blGlyphRight, -1, 4, 0);
    EXPECT_EQ(r.glyph.x, 100 - 33 - 10);
    EXPECT_EQ(r.caption.left, r.glyph.x - 4 - 20);
    r = LayoutGlyphButton({0, 0, 100, 40}, 10, 10, 20, 10, blGlyphBottom, 2, 4, 0);
    EXPECT_EQ(r.glyph.y, 40 - 2 - 10);
    EXPECT_EQ(r.caption.top, r.glyph.y - 4 - 10);
    EXPECT_EQ(r.glyph.x, 45);
}

TEST(FlatButtonModel, PressAndReleaseInsideClicks) {
    TFlatButtonModel model;
    model.MouseDown(true);
    EXPECT_EQ(model.state, bsDown);
    model.MouseMove(false);
    EXPECT_EQ(model.state, bsUp);
    model.MouseMove(true);
    EXPECT_EQ(model.state, bsDown);
    EXPECT_TRUE(model.MouseUp(true));
    EXPECT_EQ(model.state, bsUp);
    EXPECT_FALSE(model.dragging);
}

TEST(FlatButtonModel, ReleaseOutsideDoesNotClick) {
    TFlatButtonModel model;
    model.MouseDown(true);
    model.MouseMove(false);
    EXPECT_FALSE(model.MouseUp(false));
    EXPECT_EQ(model.state, bsUp);
    EXPECT_FALSE(model.MouseUp(true)); // no press pending
}

TEST(FlatButtonModel, DisabledPressDoesNothing) {
    TFlatButtonModel model;
    model.EnabledChanged(false);
    model.MouseDown(false);
    EXPECT_EQ(model.state, bsDisabled);
    EXPECT_FALSE(model.MouseUp(true));
    model.EnabledChanged(true);
    EXPECT_EQ(model.state, bsUp);
}

TEST(FlatButtonModel, DisablingCancelsADrag) {
    TFlatButtonModel model;
    model.MouseDown(true);
    model.EnabledChanged(false);
    EXPECT_FALSE(model.dragging);
    EXPECT_FALSE(model.MouseUp(true));
}

TEST(FlatButtonModel, GroupReleaseTogglesDown) {
    TFlatButtonModel model;
    model.groupIndex = 1;
    model.allowAllUp = true;
    model.MouseDown(true);
    EXPECT_TRUE(model.MouseUp(true));
    EXPECT_TRUE(model.down);
    EXPECT_EQ(model.state, bsExclusive);
    model.MouseDown(true);
    EXPECT_EQ(model.state, bsExclusive); // a Down button keeps its look when pressed
    model.MouseMove(false);
    EXPECT_EQ(model.state, bsExclusive);
    EXPECT_TRUE(model.MouseUp(true));
    EXPECT_FALSE(model.down);
    EXPECT_EQ(model.state, bsUp);
    model.EnabledChanged(false);
    model.SetDown(true);
    model.EnabledChanged(true);
    EXPECT_EQ(model.state, bsExclusive);
}

TEST(FlatButtonModel, DownNeedsAGroupAndAllowAllUpToRelease) {
    TFlatButtonModel model;
    EXPECT_FALSE(model.SetDown(true));
    model.groupIndex = 2;
    EXPECT_TRUE(model.SetDown(true));
    EXPECT_FALSE(model.SetDown(false)); // the last button of a group stays down
    model.allowAllUp = true;
    EXPECT_TRUE(model.SetDown(false));
}

TEST(FlatButtonModel, SpaceShowsDownThenClicks) {
    TFlatButtonModel model;
    model.KeyDown(true);
    EXPECT_EQ(model.state, bsDown);
    EXPECT_TRUE(model.KeyUp(true));
    EXPECT_EQ(model.state, bsUp);
    EXPECT_FALSE(model.KeyUp(true)); // a release without a press here does not click
}

TEST(FlatButtonModel, SpaceReleasedAfterFocusLossDoesNotClick) {
    TFlatButtonModel model;
    model.KeyDown(true);
    model.KeyCancelled();
    EXPECT_EQ(model.state, bsUp);
    EXPECT_FALSE(model.KeyUp(true));
    model.KeyDown(true);
    model.EnabledChanged(false);
    EXPECT_FALSE(model.KeyUp(false));
}

TEST(FlatButtonModel, SpaceInAGroupSetsDown) {
    TFlatButtonModel model;
    model.groupIndex = 3;
    model.KeyDown(true);
    EXPECT_TRUE(model.down);
    EXPECT_EQ(model.state, bsExclusive);
    EXPECT_TRUE(model.KeyUp(true));
    EXPECT_EQ(model.state, bsExclusive);
}

} // namespace
} // namespace ks
