#include "skin/flat_button_base.h"

#include <windowsx.h>

#include "skin/accelerator.h"
#include "skin/accessible_win.h"
#include "skin/glyph.h"
#include "skin/hot_tracker_win.h"
#include "skin/paint_win.h"
#include "skin/picture_scale.h"
#include "skin/picture_win.h"

namespace ks {

TFlatButtonBase::TFlatButtonBase(const char* className, DWORD style)
    : TSkinControl(className, style) {}

TFlatButtonBase::~TFlatButtonBase() {
    ButtonHotTracker().Forget(Handle());
}

void TFlatButtonBase::SetColor(TColor color) {
    colors_.color = color;
    Invalidate();
}
void TFlatButtonBase::SetColorFocused(TColor color) {
    colors_.focused = color;
    Invalidate();
}
void TFlatButtonBase::SetColorDown(TColor color) {
    colors_.down = color;
    Invalidate();
}
void TFlatButtonBase::SetColorBorder(TColor color) {
    colors_.border = color;
    Invalidate();
}
void TFlatButtonBase::SetColorHighLight(TColor color) {
    colors_.highlight = color;
    Invalidate();
}
void TFlatButtonBase::SetColorShadow(TColor color) {
    colors_.shadow = color;
    Invalidate();
}
void TFlatButtonBase::SetTransparentMode(TTransparentMode mode) {
    transparentMode_ = mode;
    Invalidate();
}
void TFlatButtonBase::SetGlyph(const TPicture& glyph) {
    glyph_ = glyph;
    Invalidate();
}
void TFlatButtonBase::SetGlyphSize(int width, int height) {
    glyphSize_ = {width, height};
    Invalidate();
}
void TFlatButtonBase::SetNumGlyphs(int count) {
    numGlyphs_ = count < 1 ? 1 : count > 4 ? 4 : count;
    Invalidate();
}
void TFlatButtonBase::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    Invalidate();
}
void TFlatButtonBase::SetMargin(int margin) {
    margin_ = margin;
    Invalidate();
}
void TFlatButtonBase::SetSpacing(int spacing) {
    spacing_ = spacing;
    Invalidate();
}

void TFlatButtonBase::SetGroupIndex(int index) {
    model_.groupIndex = index;
    if (index == 0)
        model_.down = false;
    Invalidate();
}

void TFlatButtonBase::SetDown(bool down) {
    if (!model_.SetDown(down))
        return;
    if (model_.down)
        ReleaseGroupSiblings();
    Invalidate();
}

void TFlatButtonBase::ReleaseGroupSiblings() {
    if (!Parent() || model_.groupIndex == 0)
        return;
    for (HWND child = GetWindow(Parent(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        auto* other = dynamic_cast<TFlatButtonBase*>(TSkinControl::FromHandle(child));
        if (!other || other == this || other->model_.groupIndex != model_.groupIndex)
            continue;
        if (other->model_.down) {
            other->model_.down = false;
            if (other->model_.state != bsDisabled)
                other->model_.state = bsUp;
            other->Invalidate();
        }
    }
}

bool TFlatButtonBase::Hot() const {
    return ButtonHotTracker().IsHot(Handle());
}

bool TFlatButtonBase::ShowsHot() const {
    return Hot();
}

void TFlatButtonBase::SetHot(bool hot) {
    if (hot == Hot() || !Handle())
        return;
    if (hot)
        ButtonHotTracker().Enter(Handle(), [this] { Invalidate(); });
    else
        ButtonHotTracker().Leave();
    Invalidate();
}

void TFlatButtonBase::EnabledChanged() {
    model_.EnabledChanged(Enabled());
    if (!Enabled()) {
        if (GetCapture() == Handle())
            ReleaseCapture();
        SetHot(false);
    }
}

void TFlatButtonBase::Describe(TAccessibleQuery& query) const {
    TSkinControl::Describe(query);
    query.info.role = ROLE_SYSTEM_PUSHBUTTON;
    if (model_.down)
        query.info.state |= STATE_SYSTEM_PRESSED;
    query.info.defaultAction = "Press";
}

void TFlatButtonBase::DoDefaultAction() {
    if (Enabled() && Visible())
        Click();
}

void TFlatButtonBase::Click() {
    SetParentModalResult(modalResult_);
    RaiseEvent(OnClick);
}

LRESULT TFlatButtonBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        if (Enabled())
            SetHot(true);
        if (model_.dragging) {
            const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const TButtonState before = model_.state;
            model_.MouseMove(point.x >= 0 && point.x < Width() && point.y >= 0 &&
                             point.y < Height());
            if (model_.state != before)
                Repaint();
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (!Enabled())
            return 0;
        if (GetWindowLongA(Handle(), GWL_STYLE) & WS_TABSTOP)
            ::SetFocus(Handle());
        model_.MouseDown(true);
        SetCapture(Handle());
        Repaint();
        return 0;
    case WM_LBUTTONUP: {
        if (!model_.dragging)
            return 0;
        const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool inside = point.x >= 0 && point.x < Width() && point.y >= 0 && point.y < Height();
        const bool click = model_.MouseUp(inside);
        if (GetCapture() == Handle())
            ReleaseCapture();
        if (model_.groupIndex == 0)
            SetHot(false);
        else if (model_.down)
            ReleaseGroupSiblings();
        Repaint();
        if (click)
            Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (model_.dragging && reinterpret_cast<HWND>(lParam) != Handle()) {
            model_.dragging = false;
            model_.state = model_.down ? bsExclusive : bsUp;
            Invalidate();
        }
        return 0;
    case BM_CLICK:
        DoDefaultAction();
        return 0;
    case WM_KS_DIALOGCHAR:
        if (Enabled() && Visible() && IsAccelerator(static_cast<char>(wParam), Caption())) {
            Click();
            return 1;
        }
        return 0;
    case WM_NCDESTROY:
        // Destroyed with its parent: the hot tracker must not call back into it.
        ButtonHotTracker().Forget(Handle());
        return TSkinControl::HandleMessage(message, wParam, lParam);
    default:
        return TSkinControl::HandleMessage(message, wParam, lParam);
    }
}

void TFlatButtonBase::Paint(HDC dc, const RECT& client) {
    const TButtonState state =
        EffectiveButtonState(model_.state, Enabled(), model_.down, model_.groupIndex);
    TFlatButtonColors colors;
    colors.color = ResolveColor(colors_.color);
    colors.focused = ResolveColor(colors_.focused);
    colors.down = ResolveColor(colors_.down);
    colors.border = ResolveColor(colors_.border);
    colors.highlight = ResolveColor(colors_.highlight);
    colors.shadow = ResolveColor(colors_.shadow);
    const TFlatButtonLook look =
        FlatButtonLook(state, ShowsHot(), transparentMode_, colors, IsDefault());

    if (look.fill)
        FillSolid(dc, client, *look.fill);
    else
        PaintParentBackground(dc);

    Frame3D(dc, client, look.frameTopLeft, look.frameBottomRight,
            ScaleLineWidth(look.frameWidth, Dpi()));

    const TGlyphChoice choice = GlyphImageFor(state, numGlyphs_);
    TPicture image = GlyphImage(glyph_, numGlyphs_, choice.index);
    if (choice.embossed)
        image = EmbossedGlyph(image, ResolveColor(clBtnHighlight), ResolveColor(clBtnShadow));
    if (glyphSize_.x > 0 && glyphSize_.y > 0)
        image = ResizePicture(image, glyphSize_.x, glyphSize_.y);
    const SIZE text = MeasureCaption(dc, FontHandle(), Caption());
    const TRect area = {client.left, client.top, client.right, client.bottom};
    const TButtonLayoutResult layout = LayoutGlyphButton(
        area, image.width, image.height, text.cx, text.cy, layout_,
        margin_ < 0 ? margin_ : Scaled(margin_), Scaled(spacing_), Scaled(look.offset));
    DrawPicture(dc, layout.glyph.x, layout.glyph.y, image);
    DrawCaption(dc, FontHandle(), Caption(), ToRect(layout.caption),
                DT_CENTER | DT_VCENTER | DT_SINGLELINE, Font().color, look.engravedCaption);
}

} // namespace ks
