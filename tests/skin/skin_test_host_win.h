// A plain parent window for control tests: a solid background it also paints for
// WM_PRINTCLIENT, and a log of the modal results its children set.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "skin/control.h"
#include "skin/paint_win.h"
#include "skin/picture.h"

namespace kstest {

constexpr ks::TColor kHostColor = ks::Rgb(10, 100, 40);

class SkinTestHost {
public:
    SkinTestHost(int width = 420, int height = 300) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KsSkinTestHost";
        RegisterClassExA(&windowClass);
        window_ = CreateWindowExA(0, "KsSkinTestHost", "host", WS_POPUP | WS_CLIPCHILDREN, 40, 40,
                                  width, height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
    }
    ~SkinTestHost() { DestroyWindow(window_); }
    SkinTestHost(const SkinTestHost&) = delete;
    SkinTestHost& operator=(const SkinTestHost&) = delete;

    HWND Handle() const { return window_; }
    std::vector<std::string>& Log() { return log_; }

    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* host = reinterpret_cast<SkinTestHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            ks::FillSolid(dc, client, kHostColor);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT client;
            GetClientRect(window, &client);
            ks::FillSolid(reinterpret_cast<HDC>(wParam), client, kHostColor);
            return 0;
        }
        case ks::WM_KS_SETMODALRESULT:
            if (host)
                host->log_.push_back("modal " + std::to_string(wParam));
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    }

    HWND window_ = nullptr;
    std::vector<std::string> log_;
};

// One host for all tests of a program: without a window manager, Wine waits about 2 s for every
// activated top-level window that is hidden. Each call clears the log.
inline SkinTestHost& SharedHost() {
    static SkinTestHost host;
    host.Log().clear();
    return host;
}

// Renders a control as it is now into a 32-bit picture of its size.
inline ks::TPicture Render(ks::TSkinControl& control) {
    ks::WindowDC screen(nullptr);
    ks::TOffscreen buffer(screen.Get(), control.Width(), control.Height());
    control.PaintTo(buffer.Dc());
    GdiFlush();
    ks::TPicture picture;
    picture.width = buffer.Width();
    picture.height = buffer.Height();
    picture.pixels.assign(buffer.Pixels(), buffer.Pixels() + picture.width * picture.height);
    for (ks::TPixel& pixel : picture.pixels)
        pixel |= 0xFF000000u;
    return picture;
}

inline ks::TColor ColorAt(const ks::TPicture& picture, int x, int y) {
    return ks::ColorOf(picture.At(x, y));
}

// How many pixels of the rectangle have the colour.
inline int CountColor(const ks::TPicture& picture, const RECT& area, ks::TColor color) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (ColorAt(picture, x, y) == color)
                ++count;
    return count;
}

inline LPARAM PointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                      static_cast<WORD>(static_cast<short>(y)));
}

} // namespace kstest
