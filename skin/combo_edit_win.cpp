#include "skin/combo_edit.h"

#include <vector>

#include "skin/accessible_win.h"
#include "skin/paint_win.h"

namespace ks {
namespace {

constexpr char kEditOwnerProperty[] = "KsComboEdit";

} // namespace

TComboEdit::TComboEdit() : TSkinControl("TComboEdit", WS_TABSTOP | WS_CLIPCHILDREN) {
    button_.OnClick = [this](TSkinControl&) { ButtonClicked(); };
    button_.SetAccessibleName("Browse");
}

void TComboEdit::Describe(TAccessibleQuery& query) const {
    TSkinControl::Describe(query);
    query.info.role = ROLE_SYSTEM_GROUPING;
    query.info.value = Text();
}

TComboEdit::~TComboEdit() {
    if (edit_) {
        SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
        RemovePropA(edit_, kEditOwnerProperty);
    }
}

void TComboEdit::Created() {
    edit_ = CreateWindowExA(0, "EDIT", pendingText_.c_str(),
                            WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_LEFT |
                                (directInput_ ? 0 : ES_READONLY),
                            0, 0, 1, 1, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (edit_) {
        SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
        SetPropA(edit_, kEditOwnerProperty, this);
        editProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    }
    button_.SetEnabled(Enabled());
    button_.SetDpi(Dpi());
    button_.Create(Handle(), 0, 0, 1, 1);
    ArrangeChildren();
}

void TComboEdit::ArrangeChildren() {
    if (!Handle())
        return;
    const int inset = borderStyle_ == ebsSingle ? ScaleLineWidth(1, Dpi()) : 0;
    const int buttonWidth = Scaled(buttonWidth_);
    const int buttonLeft = Width() - inset - buttonWidth;
    // Without a border the button takes the full height.
    button_.SetBounds(buttonLeft, inset, buttonWidth, Height() - 2 * inset);
    if (edit_) {
        // The text is centred vertically in the area left of the button.
        TEXTMETRICA metrics = {};
        {
            WindowDC dc(edit_);
            SelectGuard font(dc.Get(), FontHandle());
            GetTextMetricsA(dc.Get(), &metrics);
        }
        const int areaHeight = Height() - 2 * inset;
        const int textHeight = metrics.tmHeight > 0 && metrics.tmHeight < areaHeight
                                   ? static_cast<int>(metrics.tmHeight)
                                   : areaHeight;
        const int top = inset + (areaHeight - textHeight) / 2;
        MoveWindow(edit_, inset + 1, top, buttonLeft - inset - 1, textHeight, TRUE);
    }
}

void TComboEdit::SetText(const std::string& text) {
    if (!edit_) {
        if (text != pendingText_) {
            pendingText_ = text;
            RaiseEvent(OnChange);
        }
        return;
    }
    if (text == Text())
        return;
    // The edit control reports the change through EN_CHANGE, which raises OnChange.
    SetWindowTextA(edit_, text.c_str());
}

std::string TComboEdit::Text() const {
    if (!edit_)
        return pendingText_;
    const int length = GetWindowTextLengthA(edit_);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(edit_, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void TComboEdit::SetButtonWidth(int width) {
    buttonWidth_ = width;
    ArrangeChildren();
}

void TComboEdit::SetGlyph(const TPicture& glyph) {
    button_.SetGlyph(glyph);
}

void TComboEdit::SetGlyphSize(int width, int height) {
    button_.SetGlyphSize(width, height);
}

void TComboEdit::SetNumGlyphs(int count) {
    button_.SetNumGlyphs(count);
}

void TComboEdit::SetDirectInput(bool direct) {
    directInput_ = direct;
    if (edit_)
        SendMessageA(edit_, EM_SETREADONLY, direct ? FALSE : TRUE, 0);
}

void TComboEdit::SetBorderStyle(TEditBorderStyle style) {
    borderStyle_ = style;
    ArrangeChildren();
    Invalidate();
}

void TComboEdit::SetColor(TColor color) {
    color_ = color;
    colorBrush_.Reset();
    Invalidate();
    if (edit_)
        InvalidateRect(edit_, nullptr, TRUE);
}

void TComboEdit::EnabledChanged() {
    if (edit_)
        EnableWindow(edit_, Enabled() ? TRUE : FALSE);
    button_.SetEnabled(Enabled());
}

void TComboEdit::FontChanged() {
    // Also where a DPI change arrives: the browse button follows.
    button_.SetDpi(Dpi());
    if (edit_)
        SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    ArrangeChildren();
}

void TComboEdit::ButtonClicked() {
    RaiseEvent(OnButtonClick);
}

LRESULT CALLBACK TComboEdit::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = static_cast<TComboEdit*>(GetPropA(window, kEditOwnerProperty));
    if (!owner)
        return DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC original = owner->editProc_;
    if (message == WM_SYSKEYDOWN && wParam == VK_DOWN) {
        owner->ButtonClicked();
        return 0;
    }
    // The field is what takes the focus: it carries the name of the whole control.
    if (message == WM_GETOBJECT) {
        if (const LRESULT object = AnswerGetObject(window, wParam, lParam))
            return object;
    }
    if (message == WM_KS_ACCDESCRIBE) {
        auto* query = reinterpret_cast<TAccessibleQuery*>(lParam);
        if (query->child != CHILDID_SELF)
            return 0;
        DescribeWindow(window, owner->SpokenCaption(), ROLE_SYSTEM_TEXT, true, *query);
        query->info.shortcut.clear();
        if (!owner->directInput_)
            query->info.state |= STATE_SYSTEM_READONLY;
        query->info.value = owner->Text();
        return 1;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(window, kEditOwnerProperty);
        owner->edit_ = nullptr;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

LRESULT TComboEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        if (edit_)
            ::SetFocus(edit_);
        return 0;
    case WM_SIZE:
        TSkinControl::HandleMessage(message, wParam, lParam);
        ArrangeChildren();
        return 0;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == edit_ && edit_ && HIWORD(wParam) == EN_CHANGE)
            RaiseEvent(OnChange);
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        // A read-only field keeps the field's colour instead of the grey of a static.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, ResolveColor(Enabled() ? Font().color : clBtnShadow));
        SetBkColor(dc, ResolveColor(color_));
        if (!colorBrush_)
            colorBrush_.Reset(CreateSolidBrush(ResolveColor(color_)));
        return reinterpret_cast<LRESULT>(colorBrush_.Get());
    }
    default:
        return TSkinControl::HandleMessage(message, wParam, lParam);
    }
}

void TComboEdit::Paint(HDC dc, const RECT& client) {
    FillSolid(dc, client, color_);
    if (borderStyle_ == ebsSingle)
        Frame3D(dc, client, clBtnShadow, clBtnHighlight, ScaleLineWidth(1, Dpi()));
}

} // namespace ks
