// The setup program's one window.
#pragma once
#include <windows.h>

#include <memory>

#include "engine/form_dm_base.h"

namespace ks {

class TFrmInstall {
public:
    static constexpr int kClientWidth = 595;
    static constexpr int kClientHeight = 360;

    TFrmInstall();
    ~TFrmInstall();
    TFrmInstall(const TFrmInstall&) = delete;
    TFrmInstall& operator=(const TFrmInstall&) = delete;

    // Creates the window and runs FormCreate; false when the window could not be made.
    bool Create(HINSTANCE instance);
    HWND Handle() const { return window_; }

    void FormCreate();
    void FormDestroy();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::unique_ptr<TDMBase> engine_;
};

} // namespace ks
