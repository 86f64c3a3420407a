// The single hot (mouse-over) control of a kind. While one is hot a shared 100 ms timer checks
// the cursor; when it left the control's window the control stops being hot.
#pragma once
#include <windows.h>

#include <functional>

namespace ks {

class THotTracker {
public:
    // Makes the window the hot one; the previous hot control's leave handler runs first.
    void Enter(HWND window, std::function<void()> onLeave);
    // The hot control stops being hot (its leave handler runs).
    void Leave();
    // A destroyed control: forgotten without calling its handler.
    void Forget(HWND window);
    bool IsHot(HWND window) const { return window && window == window_; }
    // Timer step: leaves when the cursor is no longer over the hot window.
    void Check();

private:
    void StopTimer();

    HWND window_ = nullptr;
    std::function<void()> onLeave_;
    UINT_PTR timer_ = 0;
};

THotTracker& ButtonHotTracker();
THotTracker& CheckBoxHotTracker();

} // namespace ks
