#include "skin/gauge.h"

#include <algorithm>
#include <string>

#include "skin/accessible_win.h"
#include "skin/paint_win.h"

namespace ks {

TGauge::TGauge() : TSkinControl("TGauge", 0) {}

void TGauge::SetKind(TGaugeKind kind) {
    kind_ = kind;
    Invalidate();
}

void TGauge::SetMinValue(long long value) {
    const int before = PercentDone();
    minValue_ = value;
    maxValue_ = std::max(maxValue_, minValue_);
    progress_ = std::clamp(progress_, minValue_, maxValue_);
    ValueChanged(before);
}

void TGauge::SetMaxValue(long long value) {
    const int before = PercentDone();
    maxValue_ = value;
    minValue_ = std::min(minValue_, maxValue_);
    progress_ = std::clamp(progress_, minValue_, maxValue_);
    ValueChanged(before);
}

void TGauge::SetProgress(long long value) {
    const int before = PercentDone();
    progress_ = std::clamp(value, minValue_, maxValue_);
    ValueChanged(before);
}

void TGauge::ValueChanged(int oldPercent) {
    if (PercentDone() == oldPercent)
        return;
    Repaint();
    NotifyAccessibleChange(Handle(), EVENT_OBJECT_VALUECHANGE);
}

void TGauge::Describe(TAccessibleQuery& query) const {
    TSkinControl::Describe(query);
    query.info.role = ROLE_SYSTEM_PROGRESSBAR;
    query.info.state |= STATE_SYSTEM_READONLY;
    query.info.value = std::to_string(PercentDone()) + "%";
}

void TGauge::SetShowText(bool show) {
    showText_ = show;
    Invalidate();
}
void TGauge::SetBorderStyle(TGaugeBorderStyle style) {
    borderStyle_ = style;
    Invalidate();
}
void TGauge::SetForeColor(TColor color) {
    foreColor_ = color;
    Invalidate();
}
void TGauge::SetBackColor(TColor color) {
    backColor_ = color;
    Invalidate();
}

void TGauge::Paint(HDC dc, const RECT& client) {
    FillSolid(dc, client, clBlack);
    const TRect inner =
        GaugeInnerRect(client.right - client.left, client.bottom - client.top, borderStyle_, Dpi());
    if (inner.Width() <= 0 || inner.Height() <= 0)
        return;
    FillSolid(dc, ToRect(inner), backColor_);
    const int percent = PercentDone();
    // Only the horizontal bar is drawn; the other kinds show the same bar.
    const TRect bar = GaugeBarRect(inner, percent);
    if (bar.Width() > 0)
        FillSolid(dc, ToRect(bar), foreColor_);
    if (!showText_)
        return;

    // White text on black, combined by exclusive-or: each text pixel inverts the colour under it.
    TOffscreen mask(dc, inner.Width(), inner.Height());
    if (!mask)
        return;
    const RECT maskRect = {0, 0, inner.Width(), inner.Height()};
    FillSolid(mask.Dc(), maskRect, clBlack);
    TFontSpec font = Font();
    const UniqueFont crisp = CreateSkinFont(font, NONANTIALIASED_QUALITY, Dpi());
    const std::string text = std::to_string(percent) + "%";
    RECT textRect = maskRect;
    DrawCaption(mask.Dc(), crisp.Get(), text, textRect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, clWhite, false);
    BitBlt(dc, inner.left, inner.top, inner.Width(), inner.Height(), mask.Dc(), 0, 0, SRCINVERT);
}

} // namespace ks
