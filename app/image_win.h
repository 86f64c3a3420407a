// TImage: a picture painted by its parent at the control's top-left corner (no window).
#pragma once
#include <windows.h>

#include <utility>

#include "skin/control.h"
#include "skin/picture.h"

namespace ks {

class TImage : public TGraphicControl {
public:
    void SetPicture(TPicture picture) { picture_ = std::move(picture); }
    const TPicture& Picture() const { return picture_; }

protected:
    void Paint(HDC dc, const RECT& bounds) override;

private:
    TPicture picture_;
};

} // namespace ks
