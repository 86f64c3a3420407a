#include "skin/flat_combo_box.h"

#include <algorithm>
#include <utility>

#include "skin/accessible_win.h"
#include "skin/paint_win.h"

namespace ks {
namespace {

constexpr char kListOwnerProperty[] = "KsFlatComboBox";

} // namespace

TFlatComboBox::TFlatComboBox() : TSkinControl("TFlatComboBox", WS_TABSTOP) {}

TFlatComboBox::~TFlatComboBox() {
    CloseList(false);
}

void TFlatComboBox::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    if (itemIndex_ >= static_cast<int>(items_.size()))
        itemIndex_ = -1;
    Invalidate();
}

void TFlatComboBox::SetItemIndex(int index) {
    itemIndex_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    Invalidate();
    NotifyAccessibleChange(Handle(), EVENT_OBJECT_VALUECHANGE);
}

void TFlatComboBox::Describe(TAccessibleQuery& query) const {
    TSkinControl::Describe(query);
    query.info.role = ROLE_SYSTEM_COMBOBOX;
    query.info.state |= DroppedDown() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    query.info.value = Text();
}

std::string TFlatComboBox::Text() const {
    return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)] : std::string();
}

void TFlatComboBox::SetColor(TColor color) {
    colors_.color = color;
    Invalidate();
}
void TFlatComboBox::SetColorArrow(TColor color) {
    colors_.arrow = color;
    Invalidate();
}
void TFlatComboBox::SetColorArrowBackground(TColor color) {
    colors_.arrowBackground = color;
    Invalidate();
}
void TFlatComboBox::SetColorBorder(TColor color) {
    colors_.border = color;
    Invalidate();
}

void TFlatComboBox::EnabledChanged() {
    if (!Enabled())
        CloseList(false);
}

void TFlatComboBox::SelectByUser(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size()) || index == itemIndex_)
        return;
    itemIndex_ = index;
    Repaint();
    NotifyAccessibleChange(Handle(), EVENT_OBJECT_VALUECHANGE);
    RaiseEvent(OnChange);
}

void TFlatComboBox::SetDroppedDown(bool dropped) {
    if (dropped == DroppedDown())
        return;
    if (!dropped) {
        CloseList(false);
        return;
    }
    if (!Handle() || !Enabled() || items_.empty())
        return;
    RECT bounds;
    GetWindowRect(Handle(), &bounds);
    HWND owner = GetAncestor(Handle(), GA_ROOT);
    list_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "LISTBOX", "",
                            WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS,
                            bounds.left, bounds.bottom, bounds.right - bounds.left, 10, owner,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!list_)
        return;
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    for (const std::string& item : items_)
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    const int itemHeight = static_cast<int>(SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0));
    const int visible = std::min<int>(static_cast<int>(items_.size()), 8);
    SetWindowPos(list_, HWND_TOPMOST, bounds.left, bounds.bottom, bounds.right - bounds.left,
                 itemHeight * visible + 2, SWP_NOACTIVATE);
    SetPropA(list_, kListOwnerProperty, this);
    listProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    ShowWindow(list_, SW_SHOW);
    ::SetFocus(list_);
    Invalidate();
}

void TFlatComboBox::CloseList(bool accept) {
    if (!list_)
        return;
    const HWND list = list_;
    const int chosen = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    list_ = nullptr;
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc_));
    RemovePropA(list, kListOwnerProperty);
    DestroyWindow(list);
    if (Handle() && GetFocus() == nullptr)
        ::SetFocus(Handle());
    Invalidate();
    if (accept && chosen != LB_ERR)
        SelectByUser(chosen);
}

LRESULT CALLBACK TFlatComboBox::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* combo = static_cast<TFlatComboBox*>(GetPropA(window, kListOwnerProperty));
    if (!combo)
        return DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC original = combo->listProc_;
    switch (message) {
    case WM_LBUTTONUP: {
        const LRESULT result = CallWindowProcA(original, window, message, wParam, lParam);
        combo->CloseList(true);
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            combo->CloseList(true);
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            combo->CloseList(false);
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KILLFOCUS: {
        // Clicking elsewhere closes the list without choosing.
        POINT cursor;
        combo->suppressDrop_ = GetCursorPos(&cursor) && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) &&
                               WindowFromPoint(cursor) == combo->Handle();
        combo->CloseList(false);
        return 0;
    }
    default:
        break;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

LRESULT TFlatComboBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        if (Enabled()) {
            ::SetFocus(Handle());
            if (!std::exchange(suppressDrop_, false))
                SetDroppedDown(!DroppedDown());
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_CHAR:
        SelectByUser(NextItemStartingWith(items_, itemIndex_, static_cast<char>(wParam)));
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_DOWN || wParam == VK_UP) {
            SetDroppedDown(!DroppedDown());
            return 0;
        }
        break;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_F4:
            SetDroppedDown(!DroppedDown());
            return 0;
        case VK_UP:
        case VK_LEFT:
            SelectByUser(std::max(0, itemIndex_ - 1));
            return 0;
        case VK_DOWN:
        case VK_RIGHT:
            SelectByUser(std::min(static_cast<int>(items_.size()) - 1, itemIndex_ + 1));
            return 0;
        default:
            return 0;
        }
    default:
        break;
    }
    return TSkinControl::HandleMessage(message, wParam, lParam);
}

void TFlatComboBox::Paint(HDC dc, const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    FillSolid(dc, client, colors_.color);
    FrameSolid(dc, client, colors_.border, ScaleLineWidth(1, Dpi()));

    const TRect textArea = ComboTextRect(width, height, Dpi());
    RECT text = ToRect(textArea);
    TColor textColor = Enabled() ? Font().color : clBtnShadow;
    if (Focused() && !DroppedDown() && itemIndex_ >= 0) {
        FillSolid(dc, text, static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHT)));
        textColor = static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    text.left += Scaled(1);
    DrawCaption(dc, FontHandle(), Text(), text,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, textColor,
                false);

    const TRect arrowArea = ComboArrowRect(width, height, Dpi());
    FillSolid(dc, ToRect(arrowArea), colors_.arrowBackground);
    FrameSolid(dc, ToRect(arrowArea), colors_.border, ScaleLineWidth(1, Dpi()));
    const auto runs = ComboArrowRuns(arrowArea, DroppedDown(), Dpi());
    if (Enabled()) {
        for (const TRect& run : runs)
            FillSolid(dc, ToRect(run), colors_.arrow);
        return;
    }
    for (const TRect& run : runs) {
        RECT shifted = ToRect(run);
        OffsetRect(&shifted, ScaleLineWidth(1, Dpi()), ScaleLineWidth(1, Dpi()));
        FillSolid(dc, shifted, clWhite);
    }
    for (const TRect& run : runs)
        FillSolid(dc, ToRect(run), Rgb(128, 128, 128));
}

} // namespace ks
