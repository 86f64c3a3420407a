#include "skin/flat_check_box.h"

#include <windowsx.h>

#include "skin/accelerator.h"
#include "skin/accessible_win.h"
#include "skin/hot_tracker_win.h"
#include "skin/paint_win.h"

namespace ks {

TFlatCheckBox::TFlatCheckBox() : TSkinControl("TFlatCheckBox", WS_TABSTOP) {}

TFlatCheckBox::~TFlatCheckBox() {
    CheckBoxHotTracker().Forget(Handle());
}

void TFlatCheckBox::SetChecked(bool checked) {
    if (checked == checked_)
        return;
    checked_ = checked;
    if (!RaiseEvent(OnClick))
        return;
    Repaint();
    NotifyAccessibleChange(Handle(), EVENT_OBJECT_STATECHANGE);
    RaiseEvent(OnChange);
}

void TFlatCheckBox::SetColor(TColor color) {
    colors_.color = color;
    Invalidate();
}
void TFlatCheckBox::SetColorFocused(TColor color) {
    colors_.focused = color;
    Invalidate();
}
void TFlatCheckBox::SetColorDown(TColor color) {
    colors_.down = color;
    Invalidate();
}
void TFlatCheckBox::SetColorCheck(TColor color) {
    colors_.check = color;
    Invalidate();
}
void TFlatCheckBox::SetColorBorder(TColor color) {
    colors_.border = color;
    Invalidate();
}
void TFlatCheckBox::SetLayout(TCheckBoxLayout layout) {
    layout_ = layout;
    Invalidate();
}
void TFlatCheckBox::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

bool TFlatCheckBox::Hot() const {
    return CheckBoxHotTracker().IsHot(Handle());
}

void TFlatCheckBox::SetHot(bool hot) {
    if (hot == Hot() || !Handle())
        return;
    if (hot)
        CheckBoxHotTracker().Enter(Handle(), [this] { Invalidate(); });
    else
        CheckBoxHotTracker().Leave();
    Invalidate();
}

void TFlatCheckBox::Toggle() {
    SetChecked(!checked_);
}

void TFlatCheckBox::Describe(TAccessibleQuery& query) const {
    TSkinControl::Describe(query);
    query.info.role = ROLE_SYSTEM_CHECKBUTTON;
    if (checked_)
        query.info.state |= STATE_SYSTEM_CHECKED;
    query.info.defaultAction = checked_ ? "Uncheck" : "Check";
}

void TFlatCheckBox::DoDefaultAction() {
    if (Enabled() && Visible())
        Toggle();
}

void TFlatCheckBox::EnabledChanged() {
    if (!Enabled()) {
        pressed_ = false;
        if (GetCapture() == Handle())
            ReleaseCapture();
        SetHot(false);
    }
}

LRESULT TFlatCheckBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto inside = [this, lParam] {
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        return x >= 0 && x < Width() && y >= 0 && y < Height();
    };
    switch (message) {
    case WM_MOUSEMOVE:
        if (Enabled())
            SetHot(true);
        if (GetCapture() == Handle() && pressed_ != inside()) {
            pressed_ = inside();
            Repaint();
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (!Enabled())
            return 0;
        ::SetFocus(Handle());
        pressed_ = true;
        SetCapture(Handle());
        Repaint();
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != Handle())
            return 0;
        const bool over = inside();
        pressed_ = false;
        ReleaseCapture();
        Repaint();
        if (over)
            Toggle();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (pressed_) {
            pressed_ = false;
            Invalidate();
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && Enabled() && !(lParam & 0x40000000))
            Toggle();
        return 0;
    case WM_KS_DIALOGCHAR:
        if (Enabled() && Visible() && IsAccelerator(static_cast<char>(wParam), Caption())) {
            ::SetFocus(Handle());
            Toggle();
            return 1;
        }
        return 0;
    case WM_NCDESTROY:
        CheckBoxHotTracker().Forget(Handle());
        return TSkinControl::HandleMessage(message, wParam, lParam);
    default:
        return TSkinControl::HandleMessage(message, wParam, lParam);
    }
}

void TFlatCheckBox::Paint(HDC dc, const RECT& client) {
    if (transparent_)
        PaintParentBackground(dc);
    else
        FillSolid(dc, client, colors_.color);

    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const TRect box = CheckBoxRect(width, height, layout_, Dpi());
    FillSolid(dc, ToRect(box), CheckBoxFill(colors_, Hot(), pressed_, Focused()));
    FrameSolid(dc, ToRect(box), colors_.border, ScaleLineWidth(1, Dpi()));
    if (checked_) {
        const COLORREF tick = ResolveColor(Enabled() ? colors_.check : clBtnShadow);
        for (const TPoint& point : CheckMarkPixels(Dpi()))
            SetPixelV(dc, box.left + point.x, box.top + point.y, tick);
    }

    const TRect caption = CheckBoxCaptionRect(width, height, layout_, Dpi());
    const UINT format = DT_WORDBREAK | DT_TOP | (layout_ == checkboxLeft ? DT_LEFT : DT_RIGHT);
    DrawCaption(dc, FontHandle(), Caption(), ToRect(caption), format, Font().color, !Enabled());
}

} // namespace ks
