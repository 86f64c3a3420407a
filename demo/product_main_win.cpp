// The demo product: one window of the product's class, the running-instance atom held while
// it runs, and an orderly end when the setup asks it to close.
#include <windows.h>

#include <string>

#include "demo/demo_names.h"

namespace {

#ifdef KS_PRODUCT_IGNORES_CLOSE
constexpr bool kHonourClose = false; // test variant: a product that will not let go
#else
constexpr bool kHonourClose = true;
#endif

class RunningAtom {
public:
    RunningAtom() : atom_(GlobalAddAtomA(ks::demo::kRunningAtom)) {}
    ~RunningAtom() {
        if (atom_)
            GlobalDeleteAtom(atom_);
    }
    RunningAtom(const RunningAtom&) = delete;
    RunningAtom& operator=(const RunningAtom&) = delete;

private:
    ATOM atom_;
};

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const int height = client.bottom - client.top;
    for (int y = 0; y < height; ++y) {
        const int shade = 128 - y * 64 / (height > 0 ? height : 1);
        HBRUSH brush = CreateSolidBrush(RGB(0, shade, 2 * shade - 1));
        RECT line = {client.left, y, client.right, y + 1};
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const std::string text =
        std::string(ks::demo::kProduct) + " " + ks::demo::kVersion + " is running.";
    DrawTextA(dc, text.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    if (message == ks::demo::kCloseMessage) {
        if (kHonourClose && wParam == ks::demo::kCloseParameter)
            DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    RunningAtom atom;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ks::demo::kWindowClass;
    if (!RegisterClassExA(&windowClass))
        return 1;
    HWND window = CreateWindowExA(0, ks::demo::kWindowClass, ks::demo::kProduct,
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480, 300,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
