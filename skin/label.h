// TLabel: a transparent text painted by its parent (a graphic control).
#pragma once
#include <windows.h>

#include <string>

#include "skin/control.h"

namespace ks {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    void SetCaption(const std::string& caption) { caption_ = caption; }
    const std::string& Caption() const { return caption_; }
    void SetFont(const TFontSpec& font) { font_ = font; }
    const TFontSpec& Font() const { return font_; }
    void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
    TAlignment Alignment() const { return alignment_; }
    void SetWordWrap(bool wrap) { wordWrap_ = wrap; }
    bool WordWrap() const { return wordWrap_; }
    // True (default): "&" marks the accelerator letter and "&&" shows one "&"; false
    // shows the caption as typed.
    void SetShowAccelChar(bool show) { showAccelChar_ = show; }
    bool ShowAccelChar() const { return showAccelChar_; }
    // The caption as shown, for naming things by it.
    std::string ShownCaption() const;

protected:
    // Text beyond the fixed bounds is cut off.
    void Paint(HDC dc, const RECT& bounds) override;

private:
    std::string caption_;
    TFontSpec font_;
    TAlignment alignment_ = taLeftJustify;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
};

} // namespace ks
