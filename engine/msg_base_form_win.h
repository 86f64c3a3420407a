// The controls and window state of the message forms (Windows build; tests read them too).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "engine/msg_base_form.h"
#include "skin/flat_button.h"
#include "skin/gradient.h"
#include "skin/label.h"
#include "skin/png_button.h"

namespace ks {

struct TFrmMsgBase::Parts {
    const char* className = "TFrmMsgBase";
    int clientWidth = TFrmMsgBase::kClientWidth;
    int clientHeight = TFrmMsgBase::kClientHeight;
    // Bounds and sizes above are laid out at 96 DPI until the window is made, then at this DPI.
    int dpi = kBaseDpi;
    TFontSpec font;

    // In declaration order; the graphic controls paint in this order too.
    TFlatButton btOk;
    TFlatButton btKo;
    TGradient fondo;
    TPNGButton KVRLogo;
    TLabel lbMsg;
    // The folder-error form's additions (hidden on the base form).
    TLabel Label2;
    TLabel Label1;

    HWND window = nullptr;
    bool created = false; // a released form is not made again
    int modalResult = mrNone;
    // Called once when the window is destroyed (tests count releases with it).
    std::function<void()> onWindowDestroyed;
};

} // namespace ks
