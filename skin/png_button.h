// TPNGButton: a picture button drawn with the picture's alpha channel over the parent. A
// graphic control: the message forms use it only as a logo, without clicks.
#pragma once
#include <windows.h>

#include <string>

#include "skin/control.h"
#include "skin/picture.h"
#include "skin/png_button_geometry.h"

namespace ks {

class TPNGButton : public TGraphicControl {
public:
    void SetImageNormal(const TPicture& picture) { image_ = picture; }
    const TPicture& ImageNormal() const { return image_; }
    void SetButtonStyle(TPNGButtonStyle style) { style_ = style; }
    TPNGButtonStyle ButtonStyle() const { return style_; }
    void SetButtonLayout(TPNGButtonLayout layout) { layout_ = layout; }
    TPNGButtonLayout ButtonLayout() const { return layout_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    const std::string& Caption() const { return caption_; }
    void SetFont(const TFontSpec& font) { font_ = font; }
    void SetDisabledIsTransparent(bool value) { disabledIsTransparent_ = value; }
    bool DisabledIsTransparent() const { return disabledIsTransparent_; }

protected:
    void Paint(HDC dc, const RECT& bounds) override;

private:
    TPicture image_;
    TPNGButtonStyle style_ = pbsDefault;
    TPNGButtonLayout layout_ = pbsImageAbove;
    std::string caption_;
    TFontSpec font_;
    bool disabledIsTransparent_ = false;
};

} // namespace ks
