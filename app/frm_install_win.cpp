#include "app/frm_install.h"

#include "sys/application.h"

namespace ks {
namespace {

constexpr char kWindowClass[] = "TFrmInstall";

} // namespace

TFrmInstall::TFrmInstall() = default;

TFrmInstall::~TFrmInstall() {
    if (window_)
        DestroyWindow(window_);
}

bool TFrmInstall::Create(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = LoadIconA(instance, "MAINICON");
    RegisterClassExA(&windowClass);

    RECT frame = {0, 0, kClientWidth, kClientHeight};
    const DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    AdjustWindowRect(&frame, style, FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_ = CreateWindowExA(WS_EX_APPWINDOW, kWindowClass, "keltra setup", style, left, top,
                              width, height, nullptr, nullptr, instance, this);
    return window_ != nullptr;
}

void TFrmInstall::FormCreate() {
    engine_ = std::make_unique<TDMBase>();
    DMBase = engine_.get();
}

void TFrmInstall::FormDestroy() {
    DMBase = nullptr;
    engine_.reset();
}

LRESULT CALLBACK TFrmInstall::WindowProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TFrmInstall*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TFrmInstall*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcA(window, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT TFrmInstall::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_CREATE:
            FormCreate();
            return 0;
        case WM_DESTROY:
            FormDestroy();
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            break;
        default:
            break;
        }
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

} // namespace ks
