// TComboEdit: a one-line edit field with a browse button (a flat speed button with a glyph)
// at its right. Alt+Down in the field clicks the button too.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "skin/control.h"
#include "skin/flat_speed_button.h"

namespace ks {

enum TEditBorderStyle { ebsNone, ebsSingle };

class TComboEdit : public TSkinControl {
public:
    TComboEdit();
    ~TComboEdit() override;

    // Setting the text from the program raises OnChange when it differs.
    void SetText(const std::string& text);
    std::string Text() const;
    // At 96 DPI; the button scales with the control's DPI.
    void SetButtonWidth(int width);
    int ButtonWidth() const { return buttonWidth_; }
    void SetGlyph(const TPicture& glyph);
    void SetGlyphSize(int width, int height);
    void SetNumGlyphs(int count);
    // False: the keyboard cannot type or paste; only the program changes the text.
    void SetDirectInput(bool direct);
    bool DirectInput() const { return directInput_; }
    void SetBorderStyle(TEditBorderStyle style);
    TEditBorderStyle BorderStyle() const { return borderStyle_; }
    void SetColor(TColor color);
    TColor Color() const { return color_; }

    TFlatSpeedButton& Button() { return button_; }
    HWND EditHandle() const { return edit_; }

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnChange;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void Created() override;
    void EnabledChanged() override;
    void FontChanged() override;
    void Describe(TAccessibleQuery& query) const override;

private:
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ArrangeChildren();
    void ButtonClicked();

    TFlatSpeedButton button_;
    HWND edit_ = nullptr;
    WNDPROC editProc_ = nullptr;
    UniqueBrush colorBrush_;
    std::string pendingText_;
    int buttonWidth_ = 21;
    bool directInput_ = true;
    TEditBorderStyle borderStyle_ = ebsSingle;
    TColor color_ = clWindow;
    bool settingText_ = false;
};

} // namespace ks
