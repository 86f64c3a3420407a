// Shared part of the flat buttons: colours, transparency, glyph strip, layout, group and
// modal result, mouse handling and the single application-wide hot button.
#pragma once
#include <windows.h>

#include "skin/control.h"
#include "skin/flat_button_geometry.h"
#include "skin/picture.h"

namespace ks {

class TFlatButtonBase : public TSkinControl {
public:
    ~TFlatButtonBase() override;

    void SetColor(TColor color);
    TColor Color() const { return colors_.color; }
    void SetColorFocused(TColor color);
    TColor ColorFocused() const { return colors_.focused; }
    void SetColorDown(TColor color);
    TColor ColorDown() const { return colors_.down; }
    void SetColorBorder(TColor color);
    TColor ColorBorder() const { return colors_.border; }
    void SetColorHighLight(TColor color);
    TColor ColorHighLight() const { return colors_.highlight; }
    void SetColorShadow(TColor color);
    TColor ColorShadow() const { return colors_.shadow; }
    void SetTransparentMode(TTransparentMode mode);
    TTransparentMode TransparentMode() const { return transparentMode_; }

    // A strip of NumGlyphs images side by side; each image's bottom-left pixel colour is
    // transparent.
    void SetGlyph(const TPicture& glyph);
    const TPicture& Glyph() const { return glyph_; }
    // The size each image is drawn at, resampled smoothly (0 x 0: its own size); a strip drawn
    // at twice the size stays sharp on a high-DPI display.
    void SetGlyphSize(int width, int height);
    void SetNumGlyphs(int count); // 1..4
    int NumGlyphs() const { return numGlyphs_; }
    void SetLayout(TButtonLayout layout);
    TButtonLayout Layout() const { return layout_; }
    void SetMargin(int margin);
    int Margin() const { return margin_; }
    void SetSpacing(int spacing);
    int Spacing() const { return spacing_; }

    void SetGroupIndex(int index);
    int GroupIndex() const { return model_.groupIndex; }
    void SetDown(bool down);
    bool Down() const { return model_.down; }
    void SetAllowAllUp(bool allow) { model_.allowAllUp = allow; }
    bool AllowAllUp() const { return model_.allowAllUp; }
    void SetModalResult(int result) { modalResult_ = result; }
    int ModalResult() const { return modalResult_; }

    TButtonState State() const { return model_.state; }
    bool Hot() const;
    // Clicks as a release over the button does: modal result first, then OnClick.
    void Click();

protected:
    TFlatButtonBase(const char* className, DWORD style);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void EnabledChanged() override;
    void Describe(TAccessibleQuery& query) const override;
    void DoDefaultAction() override;
    virtual bool IsDefault() const { return false; }
    // Taking the keyboard focus shows the hot look on the focusable button.
    virtual bool ShowsHot() const;
    void SetHot(bool hot);

    TFlatButtonModel model_;

private:
    void ReleaseGroupSiblings();

    TFlatButtonColors colors_;
    TTransparentMode transparentMode_ = tmNone;
    TPicture glyph_;
    int numGlyphs_ = 1;
    TPoint glyphSize_;
    TButtonLayout layout_ = blGlyphTop;
    int margin_ = -1;
    int spacing_ = 4;
    int modalResult_ = mrNone;
};

} // namespace ks
