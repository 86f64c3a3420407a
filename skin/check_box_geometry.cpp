#include "skin/check_box_geometry.h"

#include <cstdlib>

namespace ks {

TRect CheckBoxRect(int clientWidth, int /*clientHeight*/, TCheckBoxLayout layout, int dpi) {
    const int size = ScaleLength(kCheckBoxSize, dpi);
    const int margin = ScaleLength(1, dpi);
    const int top = ScaleLength(3, dpi);
    const int left = layout == checkboxLeft ? margin : clientWidth - margin - size;
    return {left, top, left + size, top + size};
}

TRect CheckBoxCaptionRect(int clientWidth, int clientHeight, TCheckBoxLayout layout, int dpi) {
    const int one = ScaleLength(1, dpi);
    const int boxSide = ScaleLength(16, dpi);
    if (layout == checkboxLeft)
        return {boxSide, one, clientWidth - one, clientHeight - one};
    return {one, one, clientWidth - boxSide, clientHeight - one};
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

std::vector<TPoint> CheckMarkPixels(int dpi) {
    std::vector<TPoint> pixels;
    const auto addBlock = [&pixels, dpi](int x, int y) {
        for (int by = ScaleLength(y, dpi); by < ScaleLength(y + 1, dpi); ++by)
            for (int bx = ScaleLength(x, dpi); bx < ScaleLength(x + 1, dpi); ++bx)
                pixels.push_back({bx, by});
    };
    for (const TLine& line : CheckMarkLines()) {
        // Every tick line is a 45-degree diagonal.
        const int steps = std::abs(line.to.x - line.from.x);
        const int dx = line.to.x > line.from.x ? 1 : -1;
        const int dy = line.to.y > line.from.y ? 1 : -1;
        for (int i = 0; i < steps; ++i)
            addBlock(line.from.x + i * dx, line.from.y + i * dy);
    }
    return pixels;
}

} // namespace ks
