#include "skin/hot_tracker_win.h"

#include <utility>

namespace ks {
namespace {

constexpr UINT kHotCheckMilliseconds = 100;

void CALLBACK HotTimerTick(HWND, UINT, UINT_PTR, DWORD) {
    ButtonHotTracker().Check();
    CheckBoxHotTracker().Check();
}

} // namespace

THotTracker& ButtonHotTracker() {
    static THotTracker tracker;
    return tracker;
}

THotTracker& CheckBoxHotTracker() {
    static THotTracker tracker;
    return tracker;
}

void THotTracker::Enter(HWND window, std::function<void()> onLeave) {
    if (window == window_)
        return;
    Leave();
    window_ = window;
    onLeave_ = std::move(onLeave);
    if (!timer_)
        timer_ = SetTimer(nullptr, 0, kHotCheckMilliseconds, HotTimerTick);
}

void THotTracker::Leave() {
    StopTimer();
    window_ = nullptr;
    // The handler may start another hot control: take it out first.
    std::function<void()> onLeave = std::move(onLeave_);
    onLeave_ = nullptr;
    if (onLeave)
        onLeave();
}

void THotTracker::Forget(HWND window) {
    if (window != window_ || !window)
        return;
    StopTimer();
    window_ = nullptr;
    onLeave_ = nullptr;
}

void THotTracker::Check() {
    if (!window_)
        return;
    POINT cursor;
    if (!GetCursorPos(&cursor) || WindowFromPoint(cursor) != window_ || !IsWindowVisible(window_))
        Leave();
}

void THotTracker::StopTimer() {
    if (timer_)
        KillTimer(nullptr, timer_);
    timer_ = 0;
}

} // namespace ks
