#include "skin/check_box_geometry.h"

#include <cstdlib>

namespace ks {

TRect CheckBoxRect(int clientWidth, int /*clientHeight*/, TCheckBoxLayout layout) {
    const int left = layout == checkboxLeft ? 1 : clientWidth - 1 - kCheckBoxSize;
    return {left, 3, left + kCheckBoxSize, 3 + kCheckBoxSize};
}

TRect CheckBoxCaptionRect(int clientWidth, int clientHeight, TCheckBoxLayout layout) {
    if (layout == checkboxLeft)
        return {16, 1, clientWidth - 1, clientHeight - 1};
    return {1, 1, clientWidth - 16, clientHeight - 1};
}

TColor CheckBoxFill(const TCheckBoxColors& colors, bool hot, bool pressed, bool focused) {
    if (pressed)
        return colors.down;
    if (!hot && !focused)
        return colors.color;
    return colors.focused;
}

const std::vector<TLine>& CheckMarkLines() {
    static const std::vector<TLine> lines = {
        {{2, 4}, {6, 8}}, {{2, 5}, {5, 8}}, {{2, 6}, {5, 9}},
        {{8, 2}, {4, 6}}, {{8, 3}, {4, 7}}, {{8, 4}, {5, 7}},
    };
    return lines;
}

std::vector<TPoint> CheckMarkPixels() {
    std::vector<TPoint> pixels;
    for (const TLine& line : CheckMarkLines()) {
        // Every tick line is a 45-degree diagonal.
        const int steps = std::abs(line.to.x - line.from.x);
        const int dx = line.to.x > line.from.x ? 1 : -1;
        const int dy = line.to.y > line.from.y ? 1 : -1;
        for (int i = 0; i < steps; ++i)
            pixels.push_back({line.from.x + i * dx, line.from.y + i * dy});
    }
    return pixels;
}

} // namespace ks
