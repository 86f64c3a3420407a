// The control table's consistency and the pure display rules of the setup window.
#include "app/frm_install_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ks::install_form {
namespace {

TEST(InstallFormTable, EntryLookupFindsEveryControlByItsId) {
    for (int i = 0; i < kControlCount; ++i) {
        const auto id = static_cast<ControlId>(i);
        EXPECT_EQ(Entry(id).id, id) << "entry " << i;
        EXPECT_EQ(&Entry(id), &Controls()[i]);
    }
}

TEST(InstallFormTable, NamesAreUniqueAndBoundsLieInsideTheClientArea) {
    std::set<std::string> names;
    for (const ControlEntry& entry : Controls()) {
        EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
        EXPECT_GE(entry.bounds.left, 0) << entry.name;
        EXPECT_GE(entry.bounds.top, 0) << entry.name;
        EXPECT_LE(entry.bounds.left + entry.bounds.width, kClientWidth) << entry.name;
        EXPECT_LE(entry.bounds.top + entry.bounds.height, kClientHeight) << entry.name;
    }
}

TEST(InstallFormTable, TabOrderRunsThroughTheFourInputs) {
    const ControlId expected[] = {ControlId::InsFolder, ControlId::cbUser, ControlId::DatFolder,
                                  ControlId::chTerms};
    int counted = 0;
    for (const ControlEntry& entry : Controls()) {
        if (entry.tabOrder < 0)
            continue;
        ++counted;
        ASSERT_LT(entry.tabOrder, 4) << entry.name;
        EXPECT_EQ(entry.id, expected[entry.tabOrder]) << entry.name;
    }
    EXPECT_EQ(counted, 4);
}

TEST(InstallFormTable, InstallDisabledAndSafeHiddenAtStart) {
    for (const ControlEntry& entry : Controls()) {
        EXPECT_EQ(entry.enabled, entry.id != ControlId::BtInstall) << entry.name;
        EXPECT_EQ(entry.visible, entry.id != ControlId::btSafe) << entry.name;
    }
}

TEST(InstallFormTable, BackgroundLiesBelowEveryOtherControl) {
    EXPECT_EQ(Controls().front().id, ControlId::Mask);
    const Bounds mask = Entry(ControlId::Mask).bounds;
    EXPECT_EQ(mask.width, kClientWidth);
    EXPECT_EQ(mask.height, kClientHeight);
}

TEST(InstallFormColours, ButtonSetupsDifferOnlyWhereTheTableSays) {
    EXPECT_EQ(Rgb(6, 123, 10), 0x000A7B06u);
    const ButtonSetup install = GreenButton(clWhite);
    const ButtonSetup safe = GreenButton(clBlack);
    EXPECT_EQ(install.colors.border, clWhite);
    EXPECT_EQ(safe.colors.border, clBlack);
    EXPECT_EQ(install.colors.down, install.colors.focused);
    EXPECT_EQ(install.mode, tmNone);
    const ButtonSetup orange = OrangeButton();
    EXPECT_EQ(orange.mode, tmNotFocused);
    EXPECT_EQ(orange.colors.border, clBlack);
    EXPECT_EQ(orange.colors.down, Rgb(217, 214, 197));
}

struct TransferCase {
    const char* name;
    int total;
    int current;
    int maximumBefore;
    int maximum;
    int progress;
};

class TransferReadingTest : public testing::TestWithParam<TransferCase> {};

TEST_P(TransferReadingTest, GivesTheGaugeMaximumAndProgress) {
    const TransferCase& c = GetParam();
    const GaugeReading reading = TransferReading(c.total, c.current, c.maximumBefore);
    EXPECT_EQ(reading.maximum, c.maximum);
    EXPECT_EQ(reading.progress, c.progress);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransferReadingTest,
    testing::Values(TransferCase{"KnownSizeStartsAtZero", 4096, 0, 100, 100, 0},
                    TransferCase{"KnownSizeTruncatesThePercentage", 3, 2, 100, 100, 66},
                    TransferCase{"KnownSizeDone", 4096, 4096, 100, 100, 100},
                    TransferCase{"KnownSizeKeepsAnEarlierMaximum", 1000, 500, 60, 60, 50},
                    TransferCase{"LargeSizeDoesNotOverflow", 2000000000, 1000000000, 100, 100, 50},
                    TransferCase{"UnknownSizeFirstRead", 0, 0, 100, 20, 0},
                    TransferCase{"UnknownSizeAfter45Reads", 0, 45, 100, 60, 45},
                    TransferCase{"UnknownSizeOnAStep", -1, 40, 60, 60, 40},
                    TransferCase{"UnknownSizeJustBelowAStep", 0, 39, 40, 40, 39}),
    [](const testing::TestParamInfo<TransferCase>& info) { return info.param.name; });

TEST(InstallFormDrag, OnlyAPressAboveLine160Drags) {
    EXPECT_TRUE(IsDragPoint(true, 0));
    EXPECT_TRUE(IsDragPoint(true, 159));
    EXPECT_FALSE(IsDragPoint(true, 160));
    EXPECT_FALSE(IsDragPoint(true, 300));
    EXPECT_FALSE(IsDragPoint(false, 10));
    EXPECT_TRUE(IsDragPoint(true, -5)); // a point above the client area still drags
}

struct ScaleCase {
    const char* name;
    int dpi;
    int clientWidth;
    int clientHeight;
    int dragLimit; // first client line that no longer drags
    Bounds install;
};

class InstallFormScale : public testing::TestWithParam<ScaleCase> {};

TEST_P(InstallFormScale, WindowControlsAndDragBandScaleTogether) {
    const ScaleCase& c = GetParam();
    EXPECT_EQ(ScaleLength(kClientWidth, c.dpi), c.clientWidth);
    EXPECT_EQ(ScaleLength(kClientHeight, c.dpi), c.clientHeight);
    EXPECT_TRUE(IsDragPoint(true, c.dragLimit - 1, c.dpi));
    EXPECT_FALSE(IsDragPoint(true, c.dragLimit, c.dpi));
    const Bounds install = ScaleBounds(Entry(ControlId::BtInstall).bounds, c.dpi);
    EXPECT_EQ(install.left, c.install.left);
    EXPECT_EQ(install.top, c.install.top);
    EXPECT_EQ(install.width, c.install.width);
    EXPECT_EQ(install.height, c.install.height);
    // Rounding never pushes a control out of the window, and the background still fills it.
    for (const ControlEntry& entry : Controls()) {
        const Bounds b = ScaleBounds(entry.bounds, c.dpi);
        EXPECT_LE(b.left + b.width, c.clientWidth) << entry.name;
        EXPECT_LE(b.top + b.height, c.clientHeight) << entry.name;
    }
    const Bounds mask = ScaleBounds(Entry(ControlId::Mask).bounds, c.dpi);
    EXPECT_EQ(mask.width, c.clientWidth);
    EXPECT_EQ(mask.height, c.clientHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Dpi, InstallFormScale,
    testing::Values(ScaleCase{"At100", 96, 595, 360, 160, {440, 192, 113, 33}},
                    ScaleCase{"At125", 120, 744, 450, 200, {550, 240, 141, 41}},
                    ScaleCase{"At150", 144, 893, 540, 240, {660, 288, 170, 50}},
                    ScaleCase{"At200", 192, 1190, 720, 320, {880, 384, 226, 66}}),
    [](const testing::TestParamInfo<ScaleCase>& info) { return info.param.name; });

TEST(InstallFormPicker, TitleNamesTheField) {
    EXPECT_EQ(SelectFolderTitle(Entry(ControlId::lbInstall).caption),
              "Please select Installation folder:");
    EXPECT_EQ(SelectFolderTitle(Entry(ControlId::lbData).caption), "Please select Data folder:");
}

} // namespace
} // namespace ks::install_form
