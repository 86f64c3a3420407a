// TFlatButton: the focusable flat button. Space and its accelerator letter click it.
#pragma once
#include "skin/flat_button_base.h"

namespace ks {

class TFlatButton : public TFlatButtonBase {
public:
    TFlatButton();

    // A default button draws its border 2 pixels wide.
    void SetDefault(bool isDefault);
    bool Default() const { return default_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool IsDefault() const override { return default_; }
    bool ShowsHot() const override;

private:
    bool default_ = false;
};

} // namespace ks
