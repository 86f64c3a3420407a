// TFlatComboBox: a flat drop-down list (no typing) with an 11-pixel arrow area at the right.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "skin/combo_box_geometry.h"
#include "skin/control.h"

namespace ks {

enum TComboBoxStyle { csDropDownList };

class TFlatComboBox : public TSkinControl {
public:
    TFlatComboBox();
    ~TFlatComboBox() override;

    void SetItems(const std::vector<std::string>& items);
    const std::vector<std::string>& Items() const { return items_; }
    // -1 selects nothing. Setting it from the program does not raise OnChange.
    void SetItemIndex(int index);
    int ItemIndex() const { return itemIndex_; }
    std::string Text() const;

    void SetColor(TColor color);
    TColor Color() const { return colors_.color; }
    void SetColorArrow(TColor color);
    TColor ColorArrow() const { return colors_.arrow; }
    void SetColorArrowBackground(TColor color);
    TColor ColorArrowBackground() const { return colors_.arrowBackground; }
    void SetColorBorder(TColor color);
    TColor ColorBorder() const { return colors_.border; }
    void SetStyle(TComboBoxStyle style) { style_ = style; }
    TComboBoxStyle Style() const { return style_; }

    bool DroppedDown() const { return list_ != nullptr; }
    void SetDroppedDown(bool dropped);

    // Raised when the user picks another item.
    TNotifyEvent OnChange;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void EnabledChanged() override;
    void Describe(TAccessibleQuery& query) const override;

private:
    static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void SelectByUser(int index);
    void CloseList(bool accept);

    std::vector<std::string> items_;
    int itemIndex_ = -1;
    TComboBoxColors colors_;
    TComboBoxStyle style_ = csDropDownList;
    HWND list_ = nullptr;
    WNDPROC listProc_ = nullptr;
    // The list closed because this control was clicked: that click must not open it again.
    bool suppressDrop_ = false;
};

} // namespace ks
