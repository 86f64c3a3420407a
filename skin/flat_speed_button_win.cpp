#include "skin/flat_speed_button.h"

namespace ks {

TFlatSpeedButton::TFlatSpeedButton() : TFlatButtonBase("TFlatSpeedButton", 0) {}

} // namespace ks
