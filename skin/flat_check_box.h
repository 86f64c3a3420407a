// TFlatCheckBox: an 11x11 flat box with a tick and a word-wrapped caption beside it.
#pragma once
#include <windows.h>

#include "skin/check_box_geometry.h"
#include "skin/control.h"

namespace ks {

class TFlatCheckBox : public TSkinControl {
public:
    TFlatCheckBox();
    ~TFlatCheckBox() override;

    // A change raises OnClick, repaints, then raises OnChange.
    void SetChecked(bool checked);
    bool Checked() const { return checked_; }
    void SetColor(TColor color);
    TColor Color() const { return colors_.color; }
    void SetColorFocused(TColor color);
    TColor ColorFocused() const { return colors_.focused; }
    void SetColorDown(TColor color);
    TColor ColorDown() const { return colors_.down; }
    void SetColorCheck(TColor color);
    TColor ColorCheck() const { return colors_.check; }
    void SetColorBorder(TColor color);
    TColor ColorBorder() const { return colors_.border; }
    void SetLayout(TCheckBoxLayout layout);
    TCheckBoxLayout Layout() const { return layout_; }
    // Paints the parent's image under the caption instead of filling with Color.
    void SetTransparent(bool transparent);
    bool Transparent() const { return transparent_; }

    bool Hot() const;
    bool Pressed() const { return pressed_; }

    TNotifyEvent OnChange;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void EnabledChanged() override;
    void Describe(TAccessibleQuery& query) const override;
    void DoDefaultAction() override;

private:
    void SetHot(bool hot);
    void Toggle();

    TCheckBoxColors colors_;
    TCheckBoxLayout layout_ = checkboxLeft;
    bool checked_ = false;
    bool transparent_ = false;
    bool pressed_ = false;
};

} // namespace ks
