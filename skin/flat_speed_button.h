// TFlatSpeedButton: a flat button that never takes the keyboard focus.
#pragma once
#include "skin/flat_button_base.h"

namespace ks {

class TFlatSpeedButton : public TFlatButtonBase {
public:
    TFlatSpeedButton();
};

} // namespace ks
