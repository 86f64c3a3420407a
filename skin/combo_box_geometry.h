// Paint rules of the flat drop-down list: the arrow area, the arrow triangle and the frames.
#pragma once
#include <string>
#include <vector>

#include "skin/colors.h"
#include "skin/dpi_scale.h"
#include "skin/flat_button_geometry.h"

namespace ks {

struct TComboBoxColors {
    TColor color = clWindow;
    TColor arrow = clBlack;
    TColor arrowBackground = Rgb(217, 214, 197);
    TColor border = Rgb(160, 150, 131);
};

constexpr int kComboArrowWidth = 11;

// Lengths at 96 DPI, scaled by dpi.
TRect ComboArrowRect(int clientWidth, int clientHeight, int dpi = kBaseDpi);
// The text area inside the frames, left of the arrow area.
TRect ComboTextRect(int clientWidth, int clientHeight, int dpi = kBaseDpi);
// Horizontal pixel runs of the triangle, centred in the arrow area; pointing down, or up
// while the list is dropped. Its rows (3 at 96 DPI) scale, its sides stay at 45 degrees.
std::vector<TRect> ComboArrowRuns(const TRect& arrowArea, bool up, int dpi = kBaseDpi);

// Typing a letter in the closed list: the next item after `current` (wrapping around) whose
// text starts with it, case-insensitive; -1 when there is none.
int NextItemStartingWith(const std::vector<std::string>& items, int current, char typed);

} // namespace ks
