#include "skin/combo_box_geometry.h"

#include <cctype>

namespace ks {

TRect ComboArrowRect(int clientWidth, int clientHeight, int dpi) {
    return {clientWidth - ScaleLength(kComboArrowWidth, dpi), 0, clientWidth, clientHeight};
}

TRect ComboTextRect(int clientWidth, int clientHeight, int dpi) {
    // One border frame and two frames in the face colour.
    const int frames = ScaleLength(3, dpi);
    return {frames, frames, clientWidth - ScaleLength(kComboArrowWidth + 1, dpi),
            clientHeight - frames};
}

std::vector<TRect> ComboArrowRuns(const TRect& arrowArea, bool up, int dpi) {
    const int rows = ScaleLength(3, dpi);
    const int centreX = arrowArea.left + arrowArea.Width() / 2;
    const int top = arrowArea.top + (arrowArea.Height() - rows) / 2;
    std::vector<TRect> runs;
    for (int row = 0; row < rows; ++row) {
        const int half = up ? row : rows - 1 - row;
        runs.push_back({centreX - half, top + row, centreX + half + 1, top + row + 1});
    }
    return runs;
}

int NextItemStartingWith(const std::vector<std::string>& items, int current, char typed) {
    const auto lower = [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    const int count = static_cast<int>(items.size());
    for (int step = 1; step <= count; ++step) {
        const int index = ((current < 0 ? -1 : current) + step) % count;
        const std::string& item = items[static_cast<std::size_t>(index)];
        if (!item.empty() && lower(item[0]) == lower(typed))
            return index;
    }
    return -1;
}

} // namespace ks
