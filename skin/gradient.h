// TGradient: a background that stretches a small gradient pattern over its bounds. A graphic
// control: the form paints it first, under everything else.
#pragma once
#include <windows.h>

#include "skin/control.h"
#include "skin/gradient_geometry.h"

namespace ks {

enum TGradientShape { stRectangle, stRoundRect, stEllipse };

class TGradient : public TGraphicControl {
public:
    TGradient() = default;

    void SetColorBegin(TColor color);
    TColor ColorBegin() const { return colorBegin_; }
    void SetColorEnd(TColor color);
    TColor ColorEnd() const { return colorEnd_; }
    void SetStyle(TGradientStyle style);
    TGradientStyle Style() const { return style_; }
    void SetReverse(bool reverse);
    bool Reverse() const { return reverse_; }
    void SetShift(int shift); // clamped to -100..100
    int Shift() const { return shift_; }
    // Kept for completeness; the styles drawn here do not rotate.
    void SetRotation(int rotation);
    int Rotation() const { return rotation_; }
    void SetShape(TGradientShape shape) { shape_ = shape; }
    TGradientShape Shape() const { return shape_; }
    void SetBorderWidth(int width) { borderWidth_ = width; }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderColor(TColor color) { borderColor_ = color; }
    TColor BorderColor() const { return borderColor_; }

    // Holds pattern rebuilds while a form sets several properties; EndUpdate rebuilds once.
    void BeginUpdate() { ++updating_; }
    void EndUpdate();

    // The pattern as painting stretches it (rebuilt on first use after a change).
    const TGradientPattern& Pattern();

protected:
    void Paint(HDC dc, const RECT& bounds) override;

private:
    void Changed();

    TColor colorBegin_ = clWhite;
    TColor colorEnd_ = clBtnFace;
    TGradientStyle style_ = gsRadialC;
    bool reverse_ = false;
    int shift_ = 0;
    int rotation_ = 0;
    TGradientShape shape_ = stRectangle;
    int borderWidth_ = 0;
    TColor borderColor_ = clBlack;
    int updating_ = 0;
    bool dirty_ = true;
    TGradientPattern pattern_;
};

} // namespace ks
