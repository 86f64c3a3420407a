#include "skin/flat_button.h"

namespace ks {

TFlatButton::TFlatButton() : TFlatButtonBase("TFlatButton", WS_TABSTOP) {}

void TFlatButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    Invalidate();
}

bool TFlatButton::ShowsHot() const {
    return Hot() || Focused();
}

LRESULT TFlatButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        Invalidate();
        return 0;
    case WM_KILLFOCUS:
        model_.KeyCancelled();
        Invalidate();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !(lParam & 0x40000000)) { // ignore auto-repeat
            model_.KeyDown(Enabled());
            Repaint();
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && model_.KeyUp(Enabled())) {
            Repaint();
            Click();
        }
        return 0;
    default:
        return TFlatButtonBase::HandleMessage(message, wParam, lParam);
    }
}

} // namespace ks
