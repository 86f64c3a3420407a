// TImage: a picture painted by its parent at the control's top-left corner (no window).
#pragma once
#include <windows.h>

#include <utility>

#include "skin/control.h"
#include "skin/picture.h"

namespace ks {

class TImage : public TGraphicControl {
public:
    void SetPicture(TPicture picture) { SetArt(std::move(picture), {}); }
    const TPicture& Picture() const { return picture_; }
    // A picture drawn for 96 DPI and, optionally, the same drawn twice the size: the control
    // shows the nearer one resampled to its DPI.
    void SetArt(TPicture single, TPicture doubled);
    // What the control paints at its current DPI.
    const TPicture& Shown() const;

protected:
    void Paint(HDC dc, const RECT& bounds) override;

private:
    TPicture picture_;
    TPicture doubled_;
    mutable TPicture shown_;
    mutable int shownDpi_ = 0;
};

} // namespace ks
