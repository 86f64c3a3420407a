#include "skin/combo_box_geometry.h"

namespace ks {

TRect ComboArrowRect(int clientWidth, int clientHeight) {
    return {clientWidth - kComboArrowWidth, 0, clientWidth, clientHeight};
}

TRect ComboTextRect(int clientWidth, int clientHeight) {
    // One border frame and two frames in the face colour.
    return {3, 3, clientWidth - kComboArrowWidth - 1, clientHeight - 3};
}

std::vector<TRect> ComboArrowRuns(const TRect& arrowArea, bool up) {
    const int centreX = arrowArea.left + arrowArea.Width() / 2;
    const int top = arrowArea.top + (arrowArea.Height() - 3) / 2;
    std::vector<TRect> runs;
    for (int row = 0; row < 3; ++row) {
        const int half = up ? row : 2 - row;
        runs.push_back({centreX - half, top + row, centreX + half + 1, top + row + 1});
    }
    return runs;
}

} // namespace ks
