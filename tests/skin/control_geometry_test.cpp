// Check box, drop-down list, gauge and picture button geometry.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "skin/check_box_geometry.h"
#include "skin/combo_box_geometry.h"
#include "skin/gauge_geometry.h"
#include "skin/png_button_geometry.h"

namespace ks {
namespace {

TEST(CheckBox, BoxSitsThreeBelowTheTopOnTheLayoutSide) {
    EXPECT_EQ(CheckBoxRect(225, 17, checkboxLeft), (TRect{1, 3, 12, 14}));
    EXPECT_EQ(CheckBoxRect(225, 17, checkboxRight), (TRect{213, 3, 224, 14}));
    EXPECT_EQ(CheckBoxCaptionRect(225, 17, checkboxLeft), (TRect{16, 1, 224, 16}));
    EXPECT_EQ(CheckBoxCaptionRect(225, 17, checkboxRight), (TRect{1, 1, 209, 16}));
}

TEST(CheckBox, FillByHoverPressAndFocus) {
    const TCheckBoxColors colors{Rgb(1, 1, 1), Rgb(2, 2, 2), Rgb(3, 3, 3), clBlack, clGray};
    EXPECT_EQ(CheckBoxFill(colors, false, false, false), colors.color);
    EXPECT_EQ(CheckBoxFill(colors, true, false, false), colors.focused);
    EXPECT_EQ(CheckBoxFill(colors, false, false, true), colors.focused);
    EXPECT_EQ(CheckBoxFill(colors, true, true, true), colors.down);
    EXPECT_EQ(CheckBoxFill(colors, false, true, false), colors.down);
}

TEST(CheckBox, TickIsTheThreePixelWideMark) {
    // Rows of the tick inside the box, as drawn: x positions per y.
    const std::set<std::pair<int, int>> expected = {
        {8, 2}, {7, 3}, {8, 3}, {2, 4}, {6, 4}, {7, 4}, {8, 4}, {2, 5}, {3, 5}, {5, 5}, {6, 5},
        {7, 5}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}, {3, 7}, {4, 7}, {5, 7}, {4, 8}};
    std::set<std::pair<int, int>> drawn;
    for (const TPoint& p : CheckMarkPixels()) {
        EXPECT_GT(p.x, 0);
        EXPECT_LT(p.x, kCheckBoxSize - 1); // never on the frame
        EXPECT_GT(p.y, 0);
        EXPECT_LT(p.y, kCheckBoxSize - 1);
        drawn.insert({p.x, p.y});
    }
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(CheckMarkLines().size(), 6u);
}

TEST(ComboBox, ArrowAreaAtTheRightEdge) {
    EXPECT_EQ(ComboArrowRect(113, 21), (TRect{102, 0, 113, 21}));
    EXPECT_EQ(ComboTextRect(113, 21), (TRect{3, 3, 101, 18}));
}

TEST(ComboBox, ArrowPointsDownThenUpWhenDropped) {
    const TRect area = ComboArrowRect(113, 21);
    const auto down = ComboArrowRuns(area, false);
    ASSERT_EQ(down.size(), 3u);
    EXPECT_EQ(down[0], (TRect{105, 9, 110, 10}));
    EXPECT_EQ(down[1], (TRect{106, 10, 109, 11}));
    EXPECT_EQ(down[2], (TRect{107, 11, 108, 12}));
    const auto up = ComboArrowRuns(area, true);
    EXPECT_EQ(up[0], (TRect{107, 9, 108, 10}));
    EXPECT_EQ(up[2], (TRect{105, 11, 110, 12}));
}

TEST(ComboBox, TypedLetterFindsTheNextMatchingItem) {
    const std::vector<std::string> items = {"All users", "Current user", "custom", ""};
    EXPECT_EQ(NextItemStartingWith(items, 0, 'c'), 1);
    EXPECT_EQ(NextItemStartingWith(items, 1, 'C'), 2);
    EXPECT_EQ(NextItemStartingWith(items, 2, 'c'), 1); // wraps around
    EXPECT_EQ(NextItemStartingWith(items, 1, 'a'), 0);
    EXPECT_EQ(NextItemStartingWith(items, -1, 'a'), 0);
    EXPECT_EQ(NextItemStartingWith(items, 0, 'x'), -1);
    EXPECT_EQ(NextItemStartingWith({}, -1, 'a'), -1);
}

struct PercentCase {
    long long progress, minValue, maxValue;
    int percent;
};

class GaugePercentTable : public ::testing::TestWithParam<PercentCase> {};

TEST_P(GaugePercentTable, Truncates) {
    const PercentCase& c = GetParam();
    EXPECT_EQ(GaugePercent(c.progress, c.minValue, c.maxValue), c.percent);
}

INSTANTIATE_TEST_SUITE_P(Cases, GaugePercentTable,
                         ::testing::Values(PercentCase{0, 0, 100, 0}, PercentCase{100, 0, 100, 100},
                                           PercentCase{45, 0, 60, 75}, PercentCase{2, 0, 3, 66},
                                           PercentCase{15, 10, 20, 50}, PercentCase{5, 5, 5, 0},
                                           PercentCase{3000000000LL, 0, 4000000000LL, 75}));

TEST(Gauge, ExtentRules) {
    // The setup window's gauge: 369x24, single border.
    const TRect inner = GaugeInnerRect(369, 24, bsSingle);
    EXPECT_EQ(inner, (TRect{1, 1, 368, 23}));
    EXPECT_EQ(GaugeBarRect(inner, 0).Width(), 0);
    EXPECT_EQ(GaugeBarRect(inner, 100), inner);
    // e = 368 * 50 / 100 = 184: columns 1..183.
    EXPECT_EQ(GaugeBarRect(inner, 50), (TRect{1, 1, 184, 23}));
    // A narrow gauge: e = 4 * 1 / 100 = 0 -> nothing; e = 4 * 25 / 100 = 1 -> still nothing.
    const TRect small = GaugeInnerRect(5, 5, bsSingle);
    EXPECT_EQ(GaugeBarRect(small, 1).Width(), 0);
    EXPECT_EQ(GaugeBarRect(small, 25).Width(), 0);
    EXPECT_EQ(GaugeBarRect(small, 50).right, 2);
    EXPECT_EQ(GaugeInnerRect(10, 10, bsNone), (TRect{0, 0, 10, 10}));
    EXPECT_EQ(GaugeBarRect(GaugeInnerRect(10, 10, bsNone), 100).right, 10);
}

// The fixed inner lengths at 100%, 125%, 150% and 200%, in a 300x40 client area.
struct ScaledCase {
    const char* name;
    int dpi;
    TRect box;        // check box at the right
    TRect caption;    // its caption
    std::size_t tick; // pixels of the tick
    TRect comboArrow; // drop-down list's arrow area
    TRect comboText;  // and text area
    int arrowRows;    // rows of the arrow triangle
    TRect gaugeInner; // inside the gauge's single border
};

class ScaledGeometry : public ::testing::TestWithParam<ScaledCase> {};

TEST_P(ScaledGeometry, InnerLengthsFollowTheDpi) {
    const ScaledCase& c = GetParam();
    EXPECT_EQ(CheckBoxRect(300, 40, checkboxRight, c.dpi), c.box);
    EXPECT_EQ(CheckBoxCaptionRect(300, 40, checkboxRight, c.dpi), c.caption);
    const std::vector<TPoint> tick = CheckMarkPixels(c.dpi);
    std::set<std::pair<int, int>> distinct;
    const int line = ScaleLineWidth(1, c.dpi);
    for (const TPoint& p : tick) {
        distinct.insert({p.x, p.y});
        EXPECT_TRUE(p.x >= line && p.x < c.box.Width() - line && p.y >= line &&
                    p.y < c.box.Height() - line)
            << "tick on the frame at " << p.x << "," << p.y;
    }
    EXPECT_EQ(distinct.size(), c.tick);
    EXPECT_EQ(tick.size(), c.tick);
    EXPECT_EQ(ComboArrowRect(300, 40, c.dpi), c.comboArrow);
    EXPECT_EQ(ComboTextRect(300, 40, c.dpi), c.comboText);
    const auto runs = ComboArrowRuns(c.comboArrow, false, c.dpi);
    ASSERT_EQ(static_cast<int>(runs.size()), c.arrowRows);
    EXPECT_EQ(runs.front().Width(), 2 * c.arrowRows - 1); // 45-degree sides
    EXPECT_EQ(runs.back().Width(), 1);
    EXPECT_EQ(runs.front().top, (40 - c.arrowRows) / 2);
    EXPECT_EQ(GaugeInnerRect(300, 40, bsSingle, c.dpi), c.gaugeInner);
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledGeometry,
                         ::testing::Values(ScaledCase{"At100",
                                                      96,
                                                      {288, 3, 299, 14},
                                                      {1, 1, 284, 39},
                                                      21,
                                                      {289, 0, 300, 40},
                                                      {3, 3, 288, 37},
                                                      3,
                                                      {1, 1, 299, 39}},
                                           ScaledCase{"At125",
                                                      120,
                                                      {285, 4, 299, 18},
                                                      {1, 1, 280, 39},
                                                      30,
                                                      {286, 0, 300, 40},
                                                      {4, 4, 285, 36},
                                                      4,
                                                      {1, 1, 299, 39}},
                                           ScaledCase{"At150",
                                                      144,
                                                      {281, 5, 298, 22},
                                                      {2, 2, 276, 38},
                                                      52,
                                                      {283, 0, 300, 40},
                                                      {5, 5, 282, 35},
                                                      5,
                                                      {1, 1, 299, 39}},
                                           ScaledCase{"At200",
                                                      192,
                                                      {276, 6, 298, 28},
                                                      {2, 2, 268, 38},
                                                      84,
                                                      {278, 0, 300, 40},
                                                      {6, 6, 276, 34},
                                                      6,
                                                      {2, 2, 298, 38}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngButton, CaptionlessLogoIsCentred) {
    const TButtonLayoutResult r = LayoutPngButton({8, 8, 137, 41}, 120, 31, 0, 0, pbsImageLeft);
    EXPECT_EQ(r.glyph, (TPoint{12, 9}));
}

TEST(PngButton, CaptionFollowsFivePixelsRight) {
    const TButtonLayoutResult r = LayoutPngButton({0, 0, 200, 40}, 100, 30, 40, 10, pbsImageLeft);
    EXPECT_EQ(r.glyph, (TPoint{27, 5}));
    EXPECT_EQ(r.caption, (TRect{132, 15, 172, 25}));
    const TButtonLayoutResult below =
        LayoutPngButton({0, 0, 200, 100}, 100, 30, 40, 10, pbsImageBellow);
    EXPECT_EQ(below.caption.top, (100 - 45) / 2);
    EXPECT_EQ(below.glyph.y, below.caption.bottom + 5);
}

} // namespace
} // namespace ks
