#include "engine/msg_base_form.h"

#include <windowsx.h>

#include <vector>

#include "engine/msg_base_form_win.h"
#include "engine/msg_form_rules.h"
#include "skin/accessible_win.h"
#include "skin/dpi_win.h"
#include "skin/paint_win.h"
#include "skin/picture_scale.h"
#include "skin/picture_win.h"
#include "sys/application.h"

namespace ks {
namespace {

TFontSpec FormFont(TColor color, bool bold, int height = -11) {
    TFontSpec font;
    font.name = "MS Sans Serif";
    font.height = height;
    font.bold = bold;
    font.color = color;
    return font;
}

void SetUpDialogButton(TFlatButton& button, const char* caption, int left, int modalResult,
                       int tabOrder) {
    button.SetBounds(left, 96, 89, 25);
    button.SetCaption(caption);
    button.SetColorBorder(clWhite);
    button.SetFont(FormFont(clWhite, false));
    button.SetTransparentMode(tmAlways);
    button.SetTabOrder(tabOrder);
    button.SetModalResult(modalResult);
}

void CreateChild(HWND parent, TSkinControl& control) {
    control.Create(parent, control.Left(), control.Top(), control.Width(), control.Height());
}

template <typename Control> void ScaleControl(Control& control, int dpi) {
    const TRect edges = ScaleRect({control.Left(), control.Top(), control.Left() + control.Width(),
                                   control.Top() + control.Height()},
                                  dpi);
    control.SetBounds(edges.left, edges.top, edges.Width(), edges.Height());
    control.SetDpi(dpi);
}

// The form as laid out for 96 DPI, brought to the display's DPI once, before its window exists.
void ScaleParts(TFrmMsgBase::Parts& p, int dpi) {
    p.dpi = dpi;
    p.clientWidth = ScaleLength(p.clientWidth, dpi);
    p.clientHeight = ScaleLength(p.clientHeight, dpi);
    ScaleControl(p.btOk, dpi);
    ScaleControl(p.btKo, dpi);
    ScaleControl(p.fondo, dpi);
    ScaleControl(p.KVRLogo, dpi);
    ScaleControl(p.lbMsg, dpi);
    ScaleControl(p.Label2, dpi);
    ScaleControl(p.Label1, dpi);
    TPicture doubled;
    if (ArtSetFor(dpi) == 2) {
        try {
            doubled = LoadPictureResource("LOGO2X");
        } catch (const std::exception&) {
            // the single-size logo is resampled instead
        }
    }
    p.KVRLogo.SetImageNormal(ArtForDpi(p.KVRLogo.ImageNormal(), doubled, dpi));
}

BOOL CALLBACK DisableOtherWindow(HWND window, LPARAM context) {
    auto* disabled = reinterpret_cast<std::vector<HWND>*>(context);
    if (window != disabled->front() && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        disabled->push_back(window);
    }
    return TRUE;
}

} // namespace

// The Windows side of the form: window procedure and handlers.
class TFrmMsgBaseWindow {
public:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void FormCreate(TFrmMsgBase::Parts& parts);
    static LRESULT HandleHitTest(const TFrmMsgBase::Parts& parts, LPARAM lParam);
    static void PaintForm(TFrmMsgBase::Parts& parts, HDC dc);
};

TFrmMsgBase::TFrmMsgBase() : parts_(std::make_unique<Parts>()) {
    Parts& p = *parts_;
    p.font = FormFont(clWindowText, false);
    SetUpDialogButton(p.btOk, "Yes", 264, mrOk, 0);
    SetUpDialogButton(p.btKo, "No", 368, mrCancel, 1);

    p.fondo.BeginUpdate();
    p.fondo.SetBounds(0, 0, p.clientWidth, p.clientHeight);
    p.fondo.SetColorBegin(Rgb(0, 128, 255));
    p.fondo.SetColorEnd(Rgb(0, 64, 128));
    p.fondo.SetStyle(gsReflectedV);
    p.fondo.EndUpdate();

    p.KVRLogo.SetBounds(8, 8, 129, 33);
    p.KVRLogo.SetImageNormal(LoadPictureResource("LOGO"));
    p.KVRLogo.SetButtonLayout(pbsImageLeft);
    p.KVRLogo.SetButtonStyle(pbsNoFrame);

    p.lbMsg.SetBounds(24, 48, 433, 33);
    p.lbMsg.SetAlignment(taCenter);
    p.lbMsg.SetWordWrap(true);
    p.lbMsg.SetFont(FormFont(clWhite, true));

    p.Label2.SetVisible(false);
    p.Label1.SetVisible(false);
}

TFrmMsgBase::~TFrmMsgBase() {
    if (parts_->window)
        DestroyWindow(parts_->window);
}

std::string TFrmMsgBase::GetSingleButtonCaption() const {
    return "Ok";
}

void TFrmMsgBase::SetMessageText(const std::string& text) {
    parts_->lbMsg.SetCaption(text);
    if (parts_->window)
        InvalidateRect(parts_->window, nullptr, FALSE);
}

int TFrmMsgBase::ModalResult() const {
    return parts_->modalResult;
}

void* TFrmMsgBase::Handle() {
    Parts& p = *parts_;
    if (p.created)
        return p.window;
    p.created = true;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExA(instance, p.className, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = TFrmMsgBaseWindow::Proc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = p.className;
        RegisterClassExA(&windowClass);
    }
    ScaleParts(p, SystemDpi());
    const int left = (GetSystemMetrics(SM_CXSCREEN) - p.clientWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - p.clientHeight) / 2;
    CreateWindowExA(WS_EX_TOPMOST, p.className, ApplicationTitle().c_str(),
                    WS_POPUP | WS_CLIPCHILDREN, left, top, p.clientWidth, p.clientHeight, nullptr,
                    nullptr, instance, this);
    return p.window;
}

bool TFrmMsgBase::Ask(const std::string& text, bool twoButtons) {
    Parts& p = *parts_;
    if (!twoButtons) {
        p.btKo.SetCaption(GetSingleButtonCaption());
        p.btKo.SetModalResult(mrOk);
        p.btOk.SetVisible(false);
    }
    SetMessageText(text);
    return ShowModal() == mrOk;
}

int TFrmMsgBase::ShowModal() {
    Parts& p = *parts_;
    const HWND window = static_cast<HWND>(Handle());
    p.modalResult = mrNone;
    if (!window)
        return p.modalResult = mrCancel;

    std::vector<HWND> disabled = {window};
    if (!TerminationRequested()) {
        EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow,
                          reinterpret_cast<LPARAM>(&disabled));
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetFocus(window); // passed on to the first button
    }
    // A pending quit request closes the form at once with the negative answer and stays
    // pending: a WM_QUIT taken from the queue here is posted again.
    MSG message;
    while (p.modalResult == mrNone) {
        if (TerminationRequested() || !p.window) {
            p.modalResult = mrCancel;
            break;
        }
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            p.modalResult = mrCancel;
            break;
        }
        if (got == -1) {
            p.modalResult = mrCancel;
            break;
        }
        if (!IsSkinDialogMessage(window, message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // FormClose: the other windows come back before this one goes, so that one of them is
    // activated; the form is released once its modal loop has returned. The destructor does not
    // release it again.
    for (std::size_t i = 1; i < disabled.size(); ++i)
        if (IsWindow(disabled[i]))
            EnableWindow(disabled[i], TRUE);
    if (p.window)
        DestroyWindow(p.window);
    return p.modalResult;
}

void TFrmMsgBaseWindow::FormCreate(TFrmMsgBase::Parts& parts) {
    // The layout was scaled to the display's DPI before the window was made.
    const int corner = ScaleLength(9, parts.dpi);
    UniqueRegion region(
        CreateRoundRectRgn(0, 0, parts.clientWidth, parts.clientHeight, corner, corner));
    if (region && SetWindowRgn(parts.window, region.Get(), TRUE))
        region.Release(); // the window owns it now
    parts.fondo.SetBounds(0, 0, parts.clientWidth, parts.clientHeight);
    CreateChild(parts.window, parts.btOk);
    CreateChild(parts.window, parts.btKo);
}

LRESULT TFrmMsgBaseWindow::HandleHitTest(const TFrmMsgBase::Parts& parts, LPARAM lParam) {
    if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000))
        return HTCLIENT;
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(parts.window, &point);
    RECT client;
    GetClientRect(parts.window, &client);
    return InMsgFormDragFrame(point.x, point.y, client.right, client.bottom, parts.dpi) ? HTCAPTION
                                                                                        : HTCLIENT;
}

void TFrmMsgBaseWindow::PaintForm(TFrmMsgBase::Parts& parts, HDC dc) {
    parts.fondo.PaintOn(dc);
    parts.KVRLogo.PaintOn(dc);
    parts.lbMsg.PaintOn(dc);
    parts.Label2.PaintOn(dc);
    parts.Label1.PaintOn(dc);
}

LRESULT CALLBACK TFrmMsgBaseWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<TFrmMsgBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->Controls().window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TFrmMsgBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcA(window, message, wParam, lParam);
    TFrmMsgBase::Parts& parts = form->Controls();
    try {
        switch (message) {
        case WM_CREATE:
            FormCreate(parts);
            return 0;
        case WM_NCHITTEST:
            return HandleHitTest(parts, lParam);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            TOffscreen buffer(dc, parts.clientWidth, parts.clientHeight);
            if (buffer) {
                PaintForm(parts, buffer.Dc());
                BitBlt(dc, 0, 0, parts.clientWidth, parts.clientHeight, buffer.Dc(), 0, 0, SRCCOPY);
            } else {
                PaintForm(parts, dc);
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintForm(parts, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_GETOBJECT:
            if (const LRESULT object = AnswerGetObject(window, wParam, lParam))
                return object;
            break;
        case WM_KS_ACCDESCRIBE:
            DescribeForm(window, ROLE_SYSTEM_DIALOG, {&parts.lbMsg, &parts.Label2, &parts.Label1},
                         *reinterpret_cast<TAccessibleQuery*>(lParam));
            return 1;
        case WM_KS_DIALOGBUTTON: {
            // Enter answers the first button shown, Escape the last (No, or the only Ok).
            const TFlatButton& button =
                wParam == IDOK && parts.btOk.Visible() ? parts.btOk : parts.btKo;
            return reinterpret_cast<LRESULT>(button.Handle());
        }
        case WM_SETFOCUS: {
            // Coming back to the form puts the focus on its first button again.
            TFlatButton& first = parts.btOk.Visible() ? parts.btOk : parts.btKo;
            first.SetFocus();
            return 0;
        }
        case WM_KS_SETMODALRESULT:
            parts.modalResult = static_cast<int>(wParam);
            return 0;
        case WM_CLOSE:
            // Closing by other means than the buttons answers Cancel.
            if (parts.modalResult == mrNone)
                parts.modalResult = mrCancel;
            return 0;
        case WM_NCDESTROY: {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            parts.window = nullptr;
            if (parts.onWindowDestroyed)
                parts.onWindowDestroyed();
            break;
        }
        default:
            break;
        }
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace ks
