#include "skin/dpi_win.h"

#include "skin/dpi_scale.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

template <typename Function> Function User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(GetProcAddress(user32, name)))
                  : nullptr;
}

int Valid(UINT dpi) {
    return dpi > 0 ? static_cast<int>(dpi) : kBaseDpi;
}

} // namespace

int SystemDpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    const auto getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
    if (getDpiForSystem)
        return Valid(getDpiForSystem());
    WindowDC screen(nullptr);
    return Valid(screen.Get() ? static_cast<UINT>(GetDeviceCaps(screen.Get(), LOGPIXELSX)) : 0);
}

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window)
        return Valid(getDpiForWindow(window));
    return SystemDpi();
}

} // namespace ks
