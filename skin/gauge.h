// TGauge: a progress bar (horizontal kind) with the percent drawn inverted over it.
#pragma once
#include <windows.h>

#include "skin/control.h"
#include "skin/gauge_geometry.h"

namespace ks {

class TGauge : public TSkinControl {
public:
    TGauge();

    void SetKind(TGaugeKind kind);
    TGaugeKind Kind() const { return kind_; }
    void SetMinValue(long long value);
    long long MinValue() const { return minValue_; }
    void SetMaxValue(long long value);
    long long MaxValue() const { return maxValue_; }
    // Clamped to MinValue..MaxValue; repaints at once only when the percent changes.
    void SetProgress(long long value);
    long long Progress() const { return progress_; }
    int PercentDone() const { return GaugePercent(progress_, minValue_, maxValue_); }
    void SetShowText(bool show);
    bool ShowText() const { return showText_; }
    void SetBorderStyle(TGaugeBorderStyle style);
    TGaugeBorderStyle BorderStyle() const { return borderStyle_; }
    void SetForeColor(TColor color);
    TColor ForeColor() const { return foreColor_; }
    void SetBackColor(TColor color);
    TColor BackColor() const { return backColor_; }

protected:
    void Paint(HDC dc, const RECT& client) override;
    void Describe(TAccessibleQuery& query) const override;

private:
    void ValueChanged(int oldPercent);

    TGaugeKind kind_ = gkHorizontalBar;
    long long minValue_ = 0;
    long long maxValue_ = 100;
    long long progress_ = 0;
    bool showText_ = true;
    TGaugeBorderStyle borderStyle_ = bsSingle;
    TColor foreColor_ = clBlack;
    TColor backColor_ = clWhite;
};

} // namespace ks
