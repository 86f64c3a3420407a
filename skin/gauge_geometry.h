// Rules of the gauge: percent, bar extent and the inner area.
#pragma once
#include "skin/dpi_scale.h"
#include "skin/flat_button_geometry.h"

namespace ks {

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum TGaugeBorderStyle { bsNone, bsSingle };

// (progress - min) * 100 / (max - min), truncated; 0 for an empty range.
int GaugePercent(long long progress, long long minValue, long long maxValue);
// The area inside the border (a line of 1 pixel at 96 DPI with the single border).
TRect GaugeInnerRect(int clientWidth, int clientHeight, TGaugeBorderStyle border,
                     int dpi = kBaseDpi);
// The bar's columns: from the inner left edge up to (not including) e = (inner width + 1) *
// percent / 100; empty when e is below 1; the whole inner area at 100 percent.
TRect GaugeBarRect(const TRect& inner, int percent);

} // namespace ks
