// The skinned controls under Wine: rendered into 32-bit DIBs and driven by window messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/combo_edit.h"
#include "skin/flat_button.h"
#include "skin/flat_check_box.h"
#include "skin/flat_combo_box.h"
#include "skin/flat_speed_button.h"
#include "skin/gauge.h"
#include "skin/gradient.h"
#include "skin/hot_tracker_win.h"
#include "skin/label.h"
#include "skin/pending_picture_win.h"
#include "skin/picture_win.h"
#include "skin/png_button.h"
#include "sys/errors.h"
#include "tests/common/test_paths.h"
#include "tests/skin/skin_test_host_win.h"

namespace ks {
namespace {

using kstest::ColorAt;
using kstest::CountColor;
using kstest::PointParam;
using kstest::Render;
using kstest::SkinTestHost;

const TColor kOrange = Rgb(255, 128, 0);
const TColor kOrangeFocused = Rgb(248, 155, 63);
const TColor kGreen = Rgb(6, 123, 10);
const TColor kGreenFocused = Rgb(10, 203, 15);
const TColor kGlyphBlue = Rgb(0x1F, 0x4E, 0x8C);
const TColor kGlyphGrey = Rgb(0x9A, 0x9A, 0x9A);

TFontSpec WhiteFont() {
    TFontSpec font;
    font.color = clWhite;
    return font;
}

void SetUpTermsButton(TFlatSpeedButton& button) {
    button.SetCaption("&Terms && conditions");
    button.SetColor(kOrange);
    button.SetColorFocused(kOrangeFocused);
    button.SetColorBorder(clBlack);
    button.SetTransparentMode(tmNotFocused);
    button.SetFont(WhiteFont());
}

void SetUpInstallButton(TFlatSpeedButton& button) {
    button.SetCaption("Install");
    button.SetColor(kGreen);
    button.SetColorFocused(kGreenFocused);
    button.SetColorDown(kGreenFocused);
    button.SetColorBorder(clWhite);
    button.SetColorShadow(Rgb(7, 53, 99));
    button.SetGlyph(LoadBitmapResource("INSTALLGLYPH"));
    button.SetNumGlyphs(2);
    button.SetLayout(blGlyphLeft);
    button.SetFont(WhiteFont());
}

TEST(Pictures, DecodeTheProgramArt) {
    const TPicture logo = LoadPictureResource("LOGO");
    EXPECT_EQ(logo.width, 120);
    EXPECT_EQ(logo.height, 31);
    EXPECT_TRUE(logo.hasAlpha);
    EXPECT_EQ(logo.At(0, 0) >> 24, 0u); // the corner is transparent
    const TPicture background = LoadPictureResource("BACKGROUND");
    EXPECT_EQ(background.width, 595);
    EXPECT_EQ(background.height, 360);
    EXPECT_FALSE(background.hasAlpha);
    const TPicture glyph = LoadBitmapResource("INSTALLGLYPH");
    EXPECT_EQ(glyph.width, 32);
    EXPECT_EQ(glyph.height, 16);
    EXPECT_EQ(ColorOf(glyph.At(0, 15)), Rgb(255, 0, 255));
    const TPicture fromFile = LoadPictureFile(kstest::SourcePath("resources/art/logo.png"));
    EXPECT_EQ(fromFile.pixels, logo.pixels);
    PendingPicture pending("LOGO");
    EXPECT_EQ(pending.Take().pixels, logo.pixels);
    EXPECT_TRUE(pending.Take().Empty());
}

TEST(Pictures, MissingOrBrokenPicturesRaise) {
    EXPECT_THROW(LoadPictureResource("NO_SUCH_PICTURE"), Error);
    EXPECT_THROW(LoadBitmapResource("NO_SUCH_BITMAP"), Error);
    PendingPicture pending("NO_SUCH_PICTURE");
    EXPECT_THROW(pending.Take(), Error);
    EXPECT_THROW(LoadPictureFile(kstest::SourcePath("resources/terms.rtf")), Error);
    const char garbage[] = "not a picture at all";
    EXPECT_THROW(DecodePicture(garbage, sizeof(garbage)), Error);
}

TEST(Gradient, ReflectedStretchKeepsEndAtTheEdgesAndBeginInTheMiddle) {
    TGradient gradient;
    gradient.SetBounds(0, 0, 499, 134);
    gradient.SetColorBegin(Rgb(0, 128, 255));
    gradient.SetColorEnd(Rgb(0, 64, 128));
    gradient.SetStyle(gsReflectedV);
    WindowDC screen(nullptr);
    TOffscreen buffer(screen.Get(), 499, 134);
    gradient.PaintOn(buffer.Dc());
    GdiFlush();
    const auto at = [&](int x, int y) { return ColorOf(buffer.Pixels()[y * 499 + x]); };
    for (int y : {0, 67, 133}) {
        EXPECT_EQ(at(0, y), Rgb(0, 64, 128));
        EXPECT_EQ(at(249, y), Rgb(0, 128, 255));
    }
    EXPECT_EQ(at(120, 0), at(120, 133)); // colour changes across the width only
}

TEST(Gradient, EqualColoursPaintFlat) {
    TGradient gradient;
    gradient.SetBounds(5, 5, 90, 60);
    gradient.SetColorBegin(Rgb(9, 8, 7));
    gradient.SetColorEnd(Rgb(9, 8, 7));
    gradient.SetStyle(gsRadialT);
    WindowDC screen(nullptr);
    TOffscreen buffer(screen.Get(), 100, 70);
    gradient.PaintOn(buffer.Dc());
    GdiFlush();
    for (int y = 5; y < 65; ++y)
        for (int x = 5; x < 95; ++x)
            ASSERT_EQ(ColorOf(buffer.Pixels()[y * 100 + x]), Rgb(9, 8, 7)) << x << "," << y;
    EXPECT_EQ(ColorOf(buffer.Pixels()[0]), clBlack); // nothing outside its bounds
}

TEST(FlatSpeedButton, NotFocusedModeShowsNoFillUntilHovered) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatSpeedButton button;
    SetUpTermsButton(button);
    ASSERT_TRUE(button.Create(host.Handle(), 20, 20, 113, 25));
    const RECT face = {1, 1, 112, 24};

    TPicture cold = Render(button);
    EXPECT_EQ(CountColor(cold, face, kOrange), 0);
    EXPECT_EQ(CountColor(cold, face, kOrangeFocused), 0);
    EXPECT_EQ(ColorAt(cold, 2, 2), kstest::kHostColor);
    EXPECT_EQ(ColorAt(cold, 0, 0), clBlack);        // its border
    EXPECT_GT(CountColor(cold, face, clWhite), 20); // the caption

    SendMessageA(button.Handle(), WM_MOUSEMOVE, 0, PointParam(10, 10));
    EXPECT_TRUE(button.Hot());
    const TPicture hot = Render(button);
    EXPECT_EQ(ColorAt(hot, 2, 2), kOrangeFocused);
    EXPECT_EQ(CountColor(hot, face, kstest::kHostColor), 0);
    EXPECT_EQ(ColorAt(hot, 0, 0), clWhite); // raised: highlight top and left
    EXPECT_EQ(ColorAt(hot, 112, 24), clBlack);
}

TEST(FlatSpeedButton, OnScreenPaintMatchesTheRendering) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatSpeedButton button;
    SetUpTermsButton(button);
    ASSERT_TRUE(button.Create(host.Handle(), 20, 20, 113, 25));
    RedrawWindow(host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    WindowDC window(button.Handle());
    TOffscreen copy(window.Get(), 113, 25);
    BitBlt(copy.Dc(), 0, 0, 113, 25, window.Get(), 0, 0, SRCCOPY);
    GdiFlush();
    const TPicture rendered = Render(button);
    int different = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 113; ++x)
            different += ColorOf(copy.Pixels()[y * 113 + x]) != ColorAt(rendered, x, y);
    EXPECT_EQ(different, 0);
    EXPECT_EQ(ColorOf(copy.Pixels()[2 * 113 + 2]), kstest::kHostColor);
}

TEST(FlatSpeedButton, OnlyOneButtonIsHot) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatSpeedButton first;
    TFlatSpeedButton second;
    ASSERT_TRUE(first.Create(host.Handle(), 0, 0, 50, 20));
    ASSERT_TRUE(second.Create(host.Handle(), 60, 0, 50, 20));
    SendMessageA(first.Handle(), WM_MOUSEMOVE, 0, PointParam(5, 5));
    EXPECT_TRUE(first.Hot());
    SendMessageA(second.Handle(), WM_MOUSEMOVE, 0, PointParam(5, 5));
    EXPECT_FALSE(first.Hot());
    EXPECT_TRUE(second.Hot());
}

TEST(FlatSpeedButton, DisabledInstallButtonShowsSecondImageAndEngravedCaption) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatSpeedButton button;
    SetUpInstallButton(button);
    button.SetEnabled(false);
    ASSERT_TRUE(button.Create(host.Handle(), 20, 20, 113, 33));
    const RECT all = {0, 0, 113, 33};
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);

    const TPicture disabled = Render(button);
    EXPECT_EQ(button.State(), bsDisabled);
    EXPECT_GT(CountColor(disabled, all, kGlyphGrey), 10);
    EXPECT_EQ(CountColor(disabled, all, kGlyphBlue), 0);
    EXPECT_EQ(CountColor(disabled, all, Rgb(255, 0, 255)), 0); // magenta stays transparent
    EXPECT_GT(CountColor(disabled, all, shadow), 10);          // engraved caption
    EXPECT_EQ(ColorAt(disabled, 0, 0), clWhite);               // flat border

    button.SetEnabled(true);
    const TPicture enabled = Render(button);
    EXPECT_EQ(button.State(), bsUp);
    EXPECT_GT(CountColor(enabled, all, kGlyphBlue), 10);
    EXPECT_EQ(CountColor(enabled, all, kGlyphGrey), 0);
    EXPECT_EQ(CountColor(enabled, all, shadow), 0);
    EXPECT_EQ(ColorAt(enabled, 2, 2), kGreen);
}

TEST(FlatSpeedButton, PressedStateMovesTheFaceAndReleaseClicks) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatSpeedButton button;
    SetUpInstallButton(button);
    button.SetModalResult(mrOk);
    ASSERT_TRUE(button.Create(host.Handle(), 20, 20, 113, 33));
    button.OnClick = [&host](TSkinControl&) { host.Log().push_back("click"); };

    SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(50, 10));
    EXPECT_EQ(button.State(), bsDown);
    const TPicture down = Render(button);
    EXPECT_EQ(ColorAt(down, 2, 2), kGreenFocused);  // ColorDown
    EXPECT_EQ(ColorAt(down, 0, 0), Rgb(7, 53, 99)); // sunken: shadow top-left
    EXPECT_EQ(ColorAt(down, 112, 32), clWhite);     // highlight bottom-right
    SendMessageA(button.Handle(), WM_MOUSEMOVE, MK_LBUTTON, PointParam(200, 10));
    EXPECT_EQ(button.State(), bsUp);
    SendMessageA(button.Handle(), WM_MOUSEMOVE, MK_LBUTTON, PointParam(50, 10));
    EXPECT_EQ(button.State(), bsDown);
    SendMessageA(button.Handle(), WM_LBUTTONUP, 0, PointParam(50, 10));
    EXPECT_EQ(button.State(), bsUp);
    EXPECT_FALSE(button.Hot());
    EXPECT_EQ(host.Log(), (std::vector<std::string>{"modal 1", "click"}));

    host.Log().clear();
    SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(50, 10));
    SendMessageA(button.Handle(), WM_LBUTTONUP, 0, PointParam(-5, 10));
    EXPECT_TRUE(host.Log().empty()); // released outside
}

TEST(FlatButton, SpaceAndAcceleratorClick) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatButton button;
    button.SetCaption("&Yes");
    button.SetModalResult(mrOk);
    ASSERT_TRUE(button.Create(host.Handle(), 10, 10, 89, 25));
    int clicks = 0;
    button.OnClick = [&clicks](TSkinControl&) { ++clicks; };

    SendMessageA(button.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(button.State(), bsDown);
    EXPECT_EQ(clicks, 0);
    SendMessageA(button.Handle(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(button.State(), bsUp);
    EXPECT_EQ(clicks, 1);

    MSG alt = {button.Handle(), WM_SYSCHAR, 'y', 0, 0, {0, 0}};
    EXPECT_TRUE(IsSkinDialogMessage(host.Handle(), alt));
    EXPECT_EQ(clicks, 2);
    MSG other = {button.Handle(), WM_SYSCHAR, 'n', 0, 0, {0, 0}};
    EXPECT_FALSE(IsSkinDialogMessage(host.Handle(), other));
    button.SetEnabled(false);
    EXPECT_FALSE(IsSkinDialogMessage(host.Handle(), alt));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(host.Log(), (std::vector<std::string>{"modal 1", "modal 1"}));
}

TEST(FlatButton, FocusGivesTheHotLookAndTabMovesIt) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatButton yes;
    TFlatButton no;
    yes.SetTransparentMode(tmAlways);
    no.SetTransparentMode(tmAlways);
    no.SetTabOrder(1);
    ASSERT_TRUE(no.Create(host.Handle(), 110, 10, 89, 25));
    ASSERT_TRUE(yes.Create(host.Handle(), 10, 10, 89, 25));
    SetForegroundWindow(host.Handle());
    yes.SetFocus();
    ASSERT_TRUE(yes.Focused());
    const TPicture focused = Render(yes);
    EXPECT_EQ(ColorAt(focused, 0, 0), clWhite); // raised
    EXPECT_EQ(ColorAt(focused, 5, 5), kstest::kHostColor);
    MSG tab = {yes.Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(IsSkinDialogMessage(host.Handle(), tab));
    EXPECT_TRUE(no.Focused());
    const TPicture left = Render(yes);
    EXPECT_EQ(ColorAt(left, 0, 0), Rgb(160, 150, 131)); // flat border again
    EXPECT_TRUE(IsSkinDialogMessage(host.Handle(), tab));
    EXPECT_TRUE(yes.Focused()); // wraps around
}

TEST(FlatButton, DefaultDrawsATwoPixelBorder) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatButton button;
    button.SetColorBorder(clBlack);
    button.SetDefault(true);
    ASSERT_TRUE(button.Create(host.Handle(), 10, 10, 40, 20));
    const TPicture picture = Render(button);
    EXPECT_EQ(ColorAt(picture, 1, 1), clBlack);
    EXPECT_EQ(ColorAt(picture, 38, 18), clBlack);
    EXPECT_NE(ColorAt(picture, 2, 2), clBlack);
}

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        box.SetCaption("I have read && agree the terms && conditions");
        box.SetLayout(checkboxRight);
        box.SetTransparent(true);
        box.SetFont(WhiteFont());
        ASSERT_TRUE(box.Create(host.Handle(), 20, 20, 225, 17));
        box.OnClick = [this](TSkinControl&) {
            log.push_back(box.Checked() ? "click on" : "click off");
        };
        box.OnChange = [this](TSkinControl&) { log.push_back("change"); };
    }
    SkinTestHost& host = kstest::SharedHost();
    TFlatCheckBox box;
    std::vector<std::string> log;
};

TEST_F(CheckBoxTest, TogglesOnlyOnAReleaseOverIt) {
    SendMessageA(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(218, 8));
    EXPECT_TRUE(box.Pressed());
    EXPECT_FALSE(box.Checked());
    SendMessageA(box.Handle(), WM_LBUTTONUP, 0, PointParam(300, 8));
    EXPECT_FALSE(box.Checked());
    EXPECT_TRUE(log.empty());

    SendMessageA(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(218, 8));
    SendMessageA(box.Handle(), WM_LBUTTONUP, 0, PointParam(100, 8));
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(log, (std::vector<std::string>{"click on", "change"}));
    SendMessageA(box.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(box.Checked());
}

TEST_F(CheckBoxTest, PaintsTheTickInsideTheRightHandBox) {
    box.SetChecked(true);
    const TPicture picture = Render(box);
    const TRect rect = CheckBoxRect(225, 17, checkboxRight);
    EXPECT_EQ(ColorAt(picture, rect.left, rect.top), Rgb(160, 150, 131)); // frame
    const auto tick = CheckMarkPixels();
    for (const TPoint& p : tick)
        EXPECT_EQ(ColorAt(picture, rect.left + p.x, rect.top + p.y), clBlack);
    // Not hot, not focused: the box is filled with the control's colour.
    EXPECT_EQ(ColorAt(picture, rect.left + 1, rect.top + 1), ResolveColor(clBtnFace));
    EXPECT_EQ(ColorAt(picture, rect.left + 9, rect.top + 9), ResolveColor(clBtnFace));
    // Transparent: the host shows around the box, and the caption is at the left.
    EXPECT_EQ(ColorAt(picture, 205, 1), kstest::kHostColor);
    EXPECT_GT(CountColor(picture, {0, 0, 205, 17}, clWhite), 30);
    // Right-aligned: the caption ends near the box's side.
    int rightmost = -1;
    for (int x = 0; x < 225; ++x)
        if (CountColor(picture, {x, 0, x + 1, 17}, clWhite) > 0)
            rightmost = x;
    EXPECT_GE(rightmost, 200);
    EXPECT_LT(rightmost, 209);

    box.SetEnabled(false);
    const TPicture disabled = Render(box);
    for (const TPoint& p : tick)
        EXPECT_EQ(ColorAt(disabled, rect.left + p.x, rect.top + p.y), ResolveColor(clBtnShadow));
}

TEST_F(CheckBoxTest, BoxFillFollowsHoverAndPress) {
    const TRect rect = CheckBoxRect(225, 17, checkboxRight);
    const auto fill = [&] { return ColorAt(Render(box), rect.left + 1, rect.top + 1); };
    EXPECT_EQ(fill(), ResolveColor(clBtnFace));
    SendMessageA(box.Handle(), WM_MOUSEMOVE, 0, PointParam(218, 8));
    EXPECT_TRUE(box.Hot());
    EXPECT_EQ(fill(), clWhite); // ColorFocused
    SendMessageA(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(218, 8));
    EXPECT_EQ(fill(), Rgb(217, 214, 197)); // ColorDown while held
    SendMessageA(box.Handle(), WM_MOUSEMOVE, MK_LBUTTON, PointParam(400, 8));
    EXPECT_NE(fill(), Rgb(217, 214, 197)); // dragged off
    SendMessageA(box.Handle(), WM_LBUTTONUP, 0, PointParam(400, 8));
    EXPECT_FALSE(box.Checked());
}

TEST(Accelerators, LettersGoToControlsUnlessTheFocusTakesCharacters) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatCheckBox box;
    box.SetCaption("&Agree");
    ASSERT_TRUE(box.Create(host.Handle(), 10, 10, 100, 17));
    TFlatComboBox combo;
    combo.SetItems({"All users", "Current user"});
    combo.SetItemIndex(0);
    ASSERT_TRUE(combo.Create(host.Handle(), 10, 40, 113, 21));
    TComboEdit field;
    ASSERT_TRUE(field.Create(host.Handle(), 10, 70, 200, 18));
    SetForegroundWindow(host.Handle());

    SetFocus(host.Handle());
    MSG alt = {host.Handle(), WM_SYSCHAR, 'a', 0, 0, {0, 0}};
    EXPECT_TRUE(IsSkinDialogMessage(host.Handle(), alt));
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(box.Focused()); // the accelerator focuses the box too

    MSG plain = {box.Handle(), WM_CHAR, 'a', 0, 0, {0, 0}};
    EXPECT_TRUE(IsSkinDialogMessage(host.Handle(), plain));
    EXPECT_FALSE(box.Checked());

    combo.SetFocus();
    MSG inCombo = {combo.Handle(), WM_CHAR, 'c', 0, 0, {0, 0}};
    EXPECT_FALSE(IsSkinDialogMessage(host.Handle(), inCombo));
    DispatchMessageA(&inCombo);
    EXPECT_EQ(combo.ItemIndex(), 1); // the list's own letter search

    SetFocus(field.EditHandle());
    MSG inEdit = {field.EditHandle(), WM_CHAR, 'a', 0, 0, {0, 0}};
    EXPECT_FALSE(IsSkinDialogMessage(host.Handle(), inEdit));
    EXPECT_FALSE(box.Checked());
    MSG altInEdit = {field.EditHandle(), WM_SYSCHAR, 'a', 0, 0, {0, 0}};
    EXPECT_TRUE(IsSkinDialogMessage(host.Handle(), altInEdit));
    EXPECT_TRUE(box.Checked());
}

TEST(FlatComboBox, ArrowAreaAndKeyboardSelection) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatComboBox combo;
    combo.SetItems({"All users", "Current user"});
    combo.SetItemIndex(0);
    ASSERT_TRUE(combo.Create(host.Handle(), 10, 10, 113, 21));
    int changes = 0;
    combo.OnChange = [&changes](TSkinControl&) { ++changes; };

    const TPicture picture = Render(combo);
    EXPECT_EQ(ColorAt(picture, 0, 0), Rgb(160, 150, 131));
    EXPECT_EQ(ColorAt(picture, 103, 2), Rgb(217, 214, 197));
    EXPECT_EQ(ColorAt(picture, 102, 5), Rgb(160, 150, 131)); // arrow area frame
    EXPECT_EQ(ColorAt(picture, 107, 11), clBlack);           // tip of the arrow
    EXPECT_EQ(ColorAt(picture, 105, 9), clBlack);
    EXPECT_EQ(ColorAt(picture, 1, 1), ResolveColor(clWindow));

    SendMessageA(combo.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Text(), "Current user");
    SendMessageA(combo.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    combo.SetItemIndex(0); // from the program: no event
    EXPECT_EQ(changes, 1);

    combo.SetEnabled(false);
    const TPicture disabled = Render(combo);
    EXPECT_EQ(ColorAt(disabled, 107, 11), Rgb(128, 128, 128));
    EXPECT_EQ(ColorAt(disabled, 108, 12), clWhite);
}

TEST(FlatComboBox, DropDownListPicksAnItem) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatComboBox combo;
    combo.SetItems({"All users", "Current user"});
    combo.SetItemIndex(0);
    ASSERT_TRUE(combo.Create(host.Handle(), 10, 10, 113, 21));
    int changes = 0;
    combo.OnChange = [&changes](TSkinControl&) { ++changes; };
    SendMessageA(combo.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(50, 10));
    ASSERT_TRUE(combo.DroppedDown());
    const TPicture up = Render(combo);
    EXPECT_EQ(ColorAt(up, 107, 9), clBlack); // the arrow points up
    EXPECT_EQ(ColorAt(up, 105, 11), clBlack);
    HWND list = GetFocus();
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(combo.DroppedDown());
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
}

class GaugeTest : public ::testing::Test {
protected:
    void SetUp() override {
        gauge.SetBackColor(clWhite);
        gauge.SetForeColor(clNavy);
        ASSERT_TRUE(gauge.Create(host.Handle(), 10, 10, 369, 24));
    }
    // Every inner pixel is the colour or its inverse (the text).
    void ExpectInnerOnly(const TPicture& picture, const RECT& area, TColor color) {
        const TColor inverse = color ^ 0xFFFFFF;
        int inverted = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const TColor c = ColorAt(picture, x, y);
                ASSERT_TRUE(c == color || c == inverse) << x << "," << y << " " << std::hex << c;
                inverted += c == inverse;
            }
        }
        EXPECT_GT(inverted, 10);
    }
    SkinTestHost& host = kstest::SharedHost();
    TGauge gauge;
};

TEST_F(GaugeTest, ZeroPercentShowsOnlyBackColourInsideTheBlackFrame) {
    const TPicture picture = Render(gauge);
    EXPECT_EQ(ColorAt(picture, 0, 0), clBlack);
    EXPECT_EQ(ColorAt(picture, 368, 23), clBlack);
    EXPECT_EQ(ColorAt(picture, 1, 1), clWhite);
    ExpectInnerOnly(picture, {1, 1, 368, 23}, clWhite);
}

TEST_F(GaugeTest, HundredPercentFillsTheInnerArea) {
    gauge.SetProgress(100);
    const TPicture picture = Render(gauge);
    EXPECT_EQ(ColorAt(picture, 0, 0), clBlack);
    ExpectInnerOnly(picture, {1, 1, 368, 23}, clNavy);
    EXPECT_EQ(ColorAt(picture, 367, 22), clNavy);
}

TEST_F(GaugeTest, BarEndsAtTheExtentAndTextIsInverted) {
    gauge.SetProgress(25); // e = 368 * 25 / 100 = 92
    const TPicture picture = Render(gauge);
    EXPECT_EQ(ColorAt(picture, 91, 5), clNavy);
    EXPECT_EQ(ColorAt(picture, 92, 5), clWhite);
    ExpectInnerOnly(picture, {92, 1, 368, 23}, clWhite);
    gauge.SetProgress(500);
    EXPECT_EQ(gauge.Progress(), 100);
    gauge.SetProgress(-3);
    EXPECT_EQ(gauge.Progress(), 0);
}

int gaugePaints = 0;
HWND gaugeWindow = nullptr;
LRESULT CALLBACK CountPaints(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code >= 0 && message->hwnd == gaugeWindow && message->message == WM_PAINT)
        ++gaugePaints;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(GaugeTest, RepaintsAtOnceOnlyWhenThePercentChanges) {
    gauge.SetMaxValue(1000);
    SkinTestHost::Pump();
    gaugeWindow = gauge.Handle();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountPaints, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    gaugePaints = 0;
    gauge.SetProgress(5); // still 0 percent
    EXPECT_EQ(gaugePaints, 0);
    gauge.SetProgress(10); // 1 percent: painted before SetProgress returns
    EXPECT_EQ(gaugePaints, 1);
    gauge.SetProgress(19);
    EXPECT_EQ(gaugePaints, 1);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(gauge.PercentDone(), 1);
}

TEST(ComboEdit, ButtonAltDownAndProgramTextChanges) {
    SkinTestHost& host = kstest::SharedHost();
    TComboEdit field;
    field.SetBorderStyle(ebsNone);
    field.SetButtonWidth(24);
    field.SetDirectInput(false);
    field.SetGlyph(LoadBitmapResource("FOLDERGLYPH"));
    ASSERT_TRUE(field.Create(host.Handle(), 56, 161, 345, 18));
    std::vector<std::string> log;
    field.OnButtonClick = [&](TSkinControl& sender) {
        log.push_back(&sender == &field ? "button" : "wrong sender");
    };
    field.OnChange = [&](TSkinControl&) { log.push_back("change " + field.Text()); };

    EXPECT_EQ(field.Button().Left(), 345 - 24);
    EXPECT_EQ(field.Button().Width(), 24);
    EXPECT_EQ(field.Button().Height(), 18);
    EXPECT_TRUE(GetWindowLongA(field.EditHandle(), GWL_STYLE) & ES_READONLY);

    field.SetText("C:\\Program Files\\Keltra");
    field.SetText("C:\\Program Files\\Keltra"); // unchanged: no event
    SendMessageA(field.EditHandle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000000);
    SendMessageA(field.Button().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 5));
    SendMessageA(field.Button().Handle(), WM_LBUTTONUP, 0, PointParam(5, 5));
    EXPECT_EQ(log,
              (std::vector<std::string>{"change C:\\Program Files\\Keltra", "button", "button"}));

    // Read-only: typed characters do not reach the text.
    SendMessageA(field.EditHandle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(field.Text(), "C:\\Program Files\\Keltra");
    field.SetDirectInput(true);
    SendMessageA(field.EditHandle(), WM_CHAR, 'x', 0);
    EXPECT_NE(field.Text(), "C:\\Program Files\\Keltra");
}

TEST(PngButton, LogoBlendsOverTheBackgroundCentred) {
    TPNGButton logo;
    logo.SetBounds(8, 8, 129, 33);
    logo.SetImageNormal(LoadPictureResource("LOGO"));
    logo.SetButtonStyle(pbsNoFrame);
    logo.SetButtonLayout(pbsImageLeft);
    WindowDC screen(nullptr);
    TOffscreen buffer(screen.Get(), 150, 50);
    FillSolid(buffer.Dc(), {0, 0, 150, 50}, Rgb(0, 64, 128));
    logo.PaintOn(buffer.Dc());
    GdiFlush();
    const auto at = [&](int x, int y) { return ColorOf(buffer.Pixels()[y * 150 + x]); };
    // The image starts at (12, 9): its transparent corner shows the background.
    EXPECT_EQ(at(12, 9), Rgb(0, 64, 128));
    EXPECT_EQ(at(8, 8), Rgb(0, 64, 128)); // no frame
    int changed = 0;
    for (int y = 9; y < 40; ++y)
        for (int x = 12; x < 132; ++x)
            changed += at(x, y) != Rgb(0, 64, 128);
    EXPECT_GT(changed, 300);
    for (int y = 0; y < 50; ++y) {
        EXPECT_EQ(at(11, y), Rgb(0, 64, 128));
        EXPECT_EQ(at(132, y), Rgb(0, 64, 128));
    }
}

} // namespace
} // namespace ks

namespace ks {
namespace {

// A sheet of the controls in their states, for the documentation.
class Sheet {
public:
    Sheet(int width, int height) : screen_(nullptr), buffer_(screen_.Get(), width, height) {
        FillSolid(buffer_.Dc(), {0, 0, width, height}, kstest::kHostColor);
    }
    void Add(TSkinControl& control, int x, int y) {
        POINT previous;
        SetViewportOrgEx(buffer_.Dc(), x, y, &previous);
        control.PaintTo(buffer_.Dc());
        SetViewportOrgEx(buffer_.Dc(), previous.x, previous.y, nullptr);
    }
    void Add(TGraphicControl& control) { control.PaintOn(buffer_.Dc()); }
    // A plain child window (the edit field of TComboEdit) through WM_PRINTCLIENT.
    void AddWindow(HWND window, int x, int y) {
        // The edit control leaves its clipping in the DC.
        const TSavedDC saved(buffer_.Dc());
        SetViewportOrgEx(buffer_.Dc(), x, y, nullptr);
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer_.Dc()), PRF_CLIENT);
    }
    void Caption(const std::string& text, int x, int y) {
        TLabel label;
        TFontSpec font;
        font.color = clWhite;
        label.SetFont(font);
        label.SetCaption(text);
        label.SetBounds(x, y, 300, 14);
        label.PaintOn(buffer_.Dc());
    }
    TPicture Picture() const {
        GdiFlush();
        TPicture picture;
        picture.width = buffer_.Width();
        picture.height = buffer_.Height();
        picture.pixels.assign(buffer_.Pixels(), buffer_.Pixels() + picture.width * picture.height);
        return picture;
    }

private:
    WindowDC screen_;
    TOffscreen buffer_;
};

TEST(Screenshots, ControlSheet) {
    SkinTestHost& host = kstest::SharedHost();
    Sheet sheet(760, 320);
    const auto hover = [](TSkinControl& control) {
        SendMessageA(control.Handle(), WM_MOUSEMOVE, 0, PointParam(3, 3));
    };
    const auto press = [](TSkinControl& control) {
        SendMessageA(control.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(3, 3));
    };
    const auto release = [](TSkinControl& control) {
        SendMessageA(control.Handle(), WM_LBUTTONUP, 0, PointParam(-50, -50));
    };

    sheet.Caption("not focused: cold, hot, down", 10, 6);
    for (int i = 0; i < 3; ++i) {
        TFlatSpeedButton terms;
        SetUpTermsButton(terms);
        ASSERT_TRUE(terms.Create(host.Handle(), 0, 0, 113, 25));
        if (i >= 1)
            hover(terms);
        if (i == 2)
            press(terms);
        sheet.Add(terms, 10 + i * 125, 24);
        release(terms);
    }

    sheet.Caption("install: disabled, up, hot, down", 10, 58);
    for (int i = 0; i < 4; ++i) {
        TFlatSpeedButton install;
        SetUpInstallButton(install);
        install.SetEnabled(i != 0);
        ASSERT_TRUE(install.Create(host.Handle(), 0, 0, 113, 33));
        if (i >= 2)
            hover(install);
        if (i == 3)
            press(install);
        sheet.Add(install, 10 + i * 125, 76);
        release(install);
    }

    sheet.Caption("form buttons: up, focused, default", 10, 118);
    for (int i = 0; i < 3; ++i) {
        TFlatButton button;
        button.SetCaption(i == 0 ? "No" : "&Yes");
        button.SetColorBorder(clWhite);
        button.SetFont(WhiteFont());
        button.SetTransparentMode(tmAlways);
        button.SetDefault(i == 2);
        ASSERT_TRUE(button.Create(host.Handle(), 0, 0, 89, 25));
        if (i == 1) {
            SetForegroundWindow(host.Handle());
            button.SetFocus();
        }
        sheet.Add(button, 10 + i * 125, 136);
    }

    sheet.Caption("check box: off, on, hot, disabled", 10, 170);
    for (int i = 0; i < 4; ++i) {
        TFlatCheckBox box;
        box.SetCaption(i % 2 ? "&Left box" : "Right box");
        box.SetLayout(i % 2 ? checkboxLeft : checkboxRight);
        box.SetTransparent(true);
        box.SetFont(WhiteFont());
        box.SetChecked(i > 0);
        box.SetEnabled(i != 3);
        ASSERT_TRUE(box.Create(host.Handle(), 0, 0, 110, 17));
        if (i == 2)
            SendMessageA(box.Handle(), WM_MOUSEMOVE, 0, PointParam(3, 3));
        sheet.Add(box, 10 + i * 125, 188);
    }

    sheet.Caption("drop-down list: closed, dropped, disabled", 10, 214);
    for (int i = 0; i < 3; ++i) {
        TFlatComboBox combo;
        combo.SetItems({"All users", "Current user"});
        combo.SetItemIndex(i == 1 ? 1 : 0);
        combo.SetEnabled(i != 2);
        ASSERT_TRUE(combo.Create(host.Handle(), 0, 0, 113, 21));
        if (i == 1)
            combo.SetDroppedDown(true);
        sheet.Add(combo, 10 + i * 125, 232);
        combo.SetDroppedDown(false);
    }

    sheet.Caption("gauge: start, 45%, 100%", 10, 262);
    for (int i = 0; i < 3; ++i) {
        TGauge gauge;
        gauge.SetBackColor(i == 0 ? Rgb(160, 160, 164) : clWhite);
        gauge.SetForeColor(clNavy);
        ASSERT_TRUE(gauge.Create(host.Handle(), 0, 0, 180, 24));
        gauge.SetProgress(i == 0 ? 0 : i == 1 ? 45 : 100);
        sheet.Add(gauge, 10 + i * 195, 280);
    }

    sheet.Caption("edit with browse button", 520, 6);
    TComboEdit field;
    field.SetBorderStyle(ebsNone);
    field.SetButtonWidth(24);
    field.SetGlyph(LoadBitmapResource("FOLDERGLYPH"));
    field.SetText("C:\\Program Files\\Keltra");
    ASSERT_TRUE(field.Create(host.Handle(), 0, 0, 220, 18));
    sheet.Add(field, 520, 24);
    sheet.Add(field.Button(), 520 + field.Button().Left(), 24 + field.Button().Top());
    RECT edit;
    GetWindowRect(field.EditHandle(), &edit);
    MapWindowPoints(nullptr, field.Handle(), reinterpret_cast<POINT*>(&edit), 2);
    sheet.AddWindow(field.EditHandle(), 520 + edit.left, 24 + edit.top);

    sheet.Caption("gradient and logo", 520, 118);
    TGradient gradient;
    gradient.SetBounds(520, 136, 220, 90);
    gradient.SetColorBegin(Rgb(0, 128, 255));
    gradient.SetColorEnd(Rgb(0, 64, 128));
    gradient.SetStyle(gsRadialT);
    sheet.Add(gradient);
    TPNGButton logo;
    logo.SetBounds(565, 160, 129, 33);
    logo.SetImageNormal(LoadPictureResource("LOGO"));
    logo.SetButtonStyle(pbsNoFrame);
    logo.SetButtonLayout(pbsImageLeft);
    sheet.Add(logo);

    const TPicture picture = sheet.Picture();
    EXPECT_EQ(ColorOf(picture.At(10 + 125 + 2, 24 + 2)), kOrangeFocused); // hot terms button
    EXPECT_EQ(ColorOf(picture.At(10 + 2, 24 + 2)), kstest::kHostColor);   // cold one
    CreateDirectoryA(kstest::BinaryPath("screenshots").c_str(), nullptr);
    SavePicturePng(picture, kstest::BinaryPath("screenshots\\skin-controls.png"));
}

} // namespace
} // namespace ks

namespace ks {
namespace {

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        SkinTestHost::Pump();
        Sleep(10);
    }
}

TEST(HotTracking, TimerEndsTheHotLookWhenTheCursorLeaves) {
    SkinTestHost& host = kstest::SharedHost();
    TFlatSpeedButton button;
    TFlatCheckBox box;
    ASSERT_TRUE(button.Create(host.Handle(), 10, 10, 60, 20));
    ASSERT_TRUE(box.Create(host.Handle(), 10, 40, 60, 17));
    // The cursor stays far from both controls.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);
    SendMessageA(button.Handle(), WM_MOUSEMOVE, 0, PointParam(5, 5));
    SendMessageA(box.Handle(), WM_MOUSEMOVE, 0, PointParam(5, 5));
    EXPECT_TRUE(button.Hot());
    EXPECT_TRUE(box.Hot()); // each kind has its own hot control
    PumpFor(300);
    EXPECT_FALSE(button.Hot());
    EXPECT_FALSE(box.Hot());
}

TEST(HotTracking, AControlDestroyedWithItsParentIsForgotten) {
    SkinTestHost& host = kstest::SharedHost();
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                                  host.Handle(), nullptr, nullptr, nullptr);
    TFlatSpeedButton button;
    ASSERT_TRUE(button.Create(parent, 0, 0, 50, 20));
    SendMessageA(button.Handle(), WM_MOUSEMOVE, 0, PointParam(5, 5));
    const HWND hot = button.Handle();
    ASSERT_TRUE(ButtonHotTracker().IsHot(hot));
    DestroyWindow(parent);
    EXPECT_EQ(button.Handle(), nullptr);
    EXPECT_FALSE(ButtonHotTracker().IsHot(hot));
    ButtonHotTracker().Leave(); // would call into the destroyed control if it were remembered
}

} // namespace
} // namespace ks
