#include "skin/control.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "skin/accessible_win.h"
#include "skin/paint_win.h"
#include "sys/application.h"

namespace ks {

UniqueFont CreateSkinFont(const TFontSpec& font, BYTE quality, int dpi) {
    LOGFONTA logFont = {};
    logFont.lfHeight = ScaleFontHeight(font.height, dpi);
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = quality;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    // A face name LOGFONT cannot hold is no font name at all: the system default is used.
    if (font.name.size() < sizeof(logFont.lfFaceName))
        std::memcpy(logFont.lfFaceName, font.name.c_str(), font.name.size() + 1);
    return UniqueFont(CreateFontIndirectA(&logFont));
}

TColor ResolveColor(TColor color) {
    if (IsSystemColor(color))
        return static_cast<TColor>(GetSysColor(SystemColorIndex(color)));
    return color;
}

TSkinControl::TSkinControl(const char* className, DWORD style, DWORD exStyle)
    : className_(className), style_(style), exStyle_(exStyle) {}

TSkinControl::~TSkinControl() {
    if (!window_)
        return;
    // The derived parts are gone: the window's last messages must not reach this object.
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(window_, nullptr));
}

void TSkinControl::RegisterClassOnce(const char* className) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, className, &existing))
        return;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
}

bool TSkinControl::Create(HWND parent, int left, int top, int width, int height) {
    if (window_)
        return false;
    RegisterClassOnce(className_);
    parent_ = parent;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (!fontHandle_)
        fontHandle_ = CreateSkinFont(font_, DEFAULT_QUALITY, dpi_);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | style_;
    if (visible_)
        style |= WS_VISIBLE;
    if (!enabled_)
        style |= WS_DISABLED;
    CreateWindowExA(exStyle_, className_, caption_.c_str(), style, left, top, width, height, parent,
                    nullptr, GetModuleHandleA(nullptr), this);
    if (!window_)
        return false;
    Created();
    return window_ != nullptr;
}

void TSkinControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (window_)
        MoveWindow(window_, left, top, width, height, TRUE);
}

void TSkinControl::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (window_)
        EnableWindow(window_, enabled ? TRUE : FALSE);
    EnabledChanged();
    Invalidate();
    NotifyAccessibleChange(window_, EVENT_OBJECT_STATECHANGE);
}

void TSkinControl::SetVisible(bool visible) {
    visible_ = visible;
    if (window_)
        ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void TSkinControl::SetCaption(const std::string& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    if (window_)
        SetWindowTextA(window_, caption_.c_str());
    CaptionChanged();
    NotifyAccessibleChange(window_, EVENT_OBJECT_NAMECHANGE);
}

void TSkinControl::SetFont(const TFontSpec& font) {
    font_ = font;
    fontHandle_ = CreateSkinFont(font_, DEFAULT_QUALITY, dpi_);
    FontChanged();
}

void TSkinControl::SetDpi(int dpi) {
    if (dpi == dpi_ || dpi <= 0)
        return;
    dpi_ = dpi;
    fontHandle_ = CreateSkinFont(font_, DEFAULT_QUALITY, dpi_);
    FontChanged();
}

HFONT TSkinControl::FontHandle() const {
    if (!fontHandle_)
        fontHandle_ = CreateSkinFont(font_, DEFAULT_QUALITY, dpi_);
    return fontHandle_.Get();
}

bool TSkinControl::Focused() const {
    return window_ && GetFocus() == window_;
}

void TSkinControl::SetFocus() {
    if (window_)
        ::SetFocus(window_);
}

void TSkinControl::Invalidate() {
    if (window_)
        InvalidateRect(window_, nullptr, FALSE);
}

void TSkinControl::Repaint() {
    if (!window_)
        return;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

void TSkinControl::PaintTo(HDC dc) {
    const TSavedDC saved(dc);
    IntersectClipRect(dc, 0, 0, width_, height_);
    const RECT client = {0, 0, width_, height_};
    Paint(dc, client);
}

void TSkinControl::PaintParentBackground(HDC dc) const {
    if (!parent_)
        return;
    POINT origin = {0, 0};
    if (window_)
        MapWindowPoints(window_, parent_, &origin, 1);
    else
        origin = {left_, top_};
    POINT previous;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    SendMessageA(parent_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parent_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void TSkinControl::SetParentModalResult(int modalResult) const {
    if (parent_ && modalResult != mrNone)
        SendMessageA(parent_, WM_KS_SETMODALRESULT, static_cast<WPARAM>(modalResult), 0);
}

bool TSkinControl::RaiseEvent(const TNotifyEvent& handler) {
    if (!handler)
        return true;
    std::weak_ptr<char> alive = lifeToken_;
    try {
        handler(*this);
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
    }
    return !alive.expired();
}

LRESULT CALLBACK TSkinControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* control =
            static_cast<TSkinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        control->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    auto* control = reinterpret_cast<TSkinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!control)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        control->HandleMessage(message, wParam, lParam);
        control->window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    try {
        return control->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
        return 0;
    }
}

LRESULT TSkinControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        RECT client;
        GetClientRect(window_, &client);
        // Composed off-screen and copied in one step: no flicker.
        TOffscreen buffer(dc, client.right, client.bottom);
        if (buffer) {
            Paint(buffer.Dc(), client);
            BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Dc(), 0, 0, SRCCOPY);
        } else {
            Paint(dc, client);
        }
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(window_, &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_GETOBJECT:
        if (const LRESULT object = AnswerGetObject(window_, wParam, lParam))
            return object;
        break;
    case WM_KS_ACCDESCRIBE: {
        auto* query = reinterpret_cast<TAccessibleQuery*>(lParam);
        if (query->child != CHILDID_SELF)
            return 0;
        Describe(*query);
        return 1;
    }
    case WM_KS_ACCACTION:
        if (wParam == CHILDID_SELF)
            DoDefaultAction();
        return 0;
    case WM_SIZE:
        width_ = LOWORD(lParam);
        height_ = HIWORD(lParam);
        break;
    case WM_MOVE: {
        RECT bounds;
        GetWindowRect(window_, &bounds);
        MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&bounds), 2);
        left_ = bounds.left;
        top_ = bounds.top;
        break;
    }
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void TSkinControl::Describe(TAccessibleQuery& query) const {
    const bool focusable = (GetWindowLongA(window_, GWL_STYLE) & WS_TABSTOP) != 0;
    DescribeWindow(window_, SpokenCaption(), ROLE_SYSTEM_CLIENT, focusable, query);
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TGraphicControl::PaintOn(HDC dc) {
    if (!visible_)
        return;
    const TSavedDC saved(dc);
    IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
    Paint(dc, Bounds());
}

TSkinControl* TSkinControl::FromHandle(HWND window) {
    if (!window || GetWindowLongPtrA(window, GWLP_WNDPROC) !=
                       reinterpret_cast<LONG_PTR>(&TSkinControl::WindowProc))
        return nullptr;
    return reinterpret_cast<TSkinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

namespace {

struct FocusCandidate {
    HWND window;
    int order;
    int position;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
    auto* children = reinterpret_cast<std::vector<HWND>*>(context);
    children->push_back(window);
    return TRUE;
}

std::vector<HWND> DirectChildren(HWND form) {
    std::vector<HWND> all;
    EnumChildWindows(form, CollectChild, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> direct;
    for (HWND child : all)
        if (GetParent(child) == form)
            direct.push_back(child);
    return direct;
}

bool CanTakeFocus(HWND window) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    return (style & WS_TABSTOP) && IsWindowVisible(window) && IsWindowEnabled(window);
}

bool MoveFocus(HWND form, bool backward) {
    std::vector<FocusCandidate> candidates;
    int position = 0;
    for (HWND child : DirectChildren(form)) {
        ++position;
        if (!CanTakeFocus(child))
            continue;
        const TSkinControl* control = TSkinControl::FromHandle(child);
        candidates.push_back({child, control ? control->TabOrder() : 0, position});
    }
    if (candidates.empty())
        return false;
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const FocusCandidate& a, const FocusCandidate& b) {
                         return a.order != b.order ? a.order < b.order : a.position < b.position;
                     });
    const HWND focus = GetFocus();
    int current = -1;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (candidates[i].window == focus || IsChild(candidates[i].window, focus))
            current = static_cast<int>(i);
    const int count = static_cast<int>(candidates.size());
    int next;
    if (current < 0)
        next = backward ? count - 1 : 0;
    else
        next = (current + (backward ? count - 1 : 1)) % count;
    SetFocus(candidates[next].window);
    return true;
}

// Letters typed into a control that takes characters (an edit field, a list's search) are
// its own; elsewhere they are accelerators.
bool FocusWantsChars() {
    const HWND focus = GetFocus();
    return focus && (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) != 0;
}

bool DispatchDialogChar(HWND form, char typed) {
    for (HWND child : DirectChildren(form)) {
        if (!IsWindowVisible(child) || !IsWindowEnabled(child) || !TSkinControl::FromHandle(child))
            continue;
        if (SendMessageA(child, WM_KS_DIALOGCHAR, static_cast<unsigned char>(typed), 0) == 1)
            return true;
    }
    return false;
}

// Enter and Escape belong to a focus that wants them (an open list, a multi-line field).
bool FocusWantsKey() {
    const HWND focus = GetFocus();
    return focus && (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS) != 0;
}

bool ClickDialogButton(HWND form, WPARAM key) {
    const HWND focus = GetFocus();
    HWND button = nullptr;
    if (key == VK_RETURN && focus && IsChild(form, focus) &&
        (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON))
        button = focus;
    else
        button = reinterpret_cast<HWND>(
            SendMessageA(form, WM_KS_DIALOGBUTTON, key == VK_RETURN ? IDOK : IDCANCEL, 0));
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return false;
    SendMessageA(button, BM_CLICK, 0, 0);
    return true;
}

} // namespace

bool IsSkinDialogMessage(HWND form, MSG& message) {
    if (!form || (message.hwnd != form && !IsChild(form, message.hwnd)))
        return false;
    switch (message.message) {
    case WM_KEYDOWN:
        if (message.wParam == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000))
            return MoveFocus(form, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        if ((message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
            !(message.lParam & 0x40000000) && !FocusWantsKey())
            return ClickDialogButton(form, message.wParam);
        return false;
    case WM_SYSCHAR:
        return DispatchDialogChar(form, static_cast<char>(message.wParam));
    case WM_CHAR:
        if (message.wParam <= ' ' || FocusWantsChars())
            return false;
        return DispatchDialogChar(form, static_cast<char>(message.wParam));
    default:
        return false;
    }
}

} // namespace ks
