#include "skin/picture_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "skin/dpi_scale.h"

namespace ks {
namespace {

using Channels = std::array<float, 4>; // premultiplied blue, green, red, alpha

struct Tap {
    int source;
    float weight;
};

// For each output index, the source indices its interval covers and by how much (summing to 1).
std::vector<std::vector<Tap>> BoxTaps(int sourceSize, int targetSize) {
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(targetSize));
    const double ratio = static_cast<double>(sourceSize) / targetSize;
    for (int i = 0; i < targetSize; ++i) {
        const double begin = i * ratio;
        const double end = (i + 1) * ratio;
        const int first = static_cast<int>(std::floor(begin));
        const int last = std::min(sourceSize - 1, static_cast<int>(std::ceil(end)) - 1);
        for (int j = first; j <= last; ++j) {
            const double overlap = std::min(end, j + 1.0) - std::max(begin, static_cast<double>(j));
            if (overlap > 0)
                taps[static_cast<std::size_t>(i)].push_back(
                    {j, static_cast<float>(overlap / ratio)});
        }
    }
    return taps;
}

Channels Unpack(TPixel pixel, bool hasAlpha) {
    const float alpha = hasAlpha ? static_cast<float>(pixel >> 24) / 255.0f : 1.0f;
    return {static_cast<float>(pixel & 0xFF) * alpha,
            static_cast<float>((pixel >> 8) & 0xFF) * alpha,
            static_cast<float>((pixel >> 16) & 0xFF) * alpha, alpha};
}

TPixel Pack(const Channels& c, bool hasAlpha) {
    const float alpha = hasAlpha ? c[3] : 1.0f;
    const auto channel = [alpha](float premultiplied) {
        if (alpha <= 0.0f)
            return 0u;
        return static_cast<unsigned>(std::clamp(premultiplied / alpha + 0.5f, 0.0f, 255.0f));
    };
    const unsigned a = static_cast<unsigned>(std::clamp(alpha * 255.0f + 0.5f, 0.0f, 255.0f));
    return (a << 24) | (channel(c[2]) << 16) | (channel(c[1]) << 8) | channel(c[0]);
}

} // namespace

TPicture ResizePicture(const TPicture& source, int width, int height) {
    if (source.Empty() || width <= 0 || height <= 0 ||
        (width == source.width && height == source.height))
        return source;
    const auto columns = BoxTaps(source.width, width);
    const auto rows = BoxTaps(source.height, height);
    // Horizontal pass into a width x source.height buffer, then the vertical pass.
    std::vector<Channels> across(static_cast<std::size_t>(width) * source.height);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < width; ++x) {
            Channels sum{};
            for (const Tap& tap : columns[static_cast<std::size_t>(x)]) {
                const Channels c = Unpack(source.At(tap.source, y), source.hasAlpha);
                for (int k = 0; k < 4; ++k)
                    sum[k] += c[k] * tap.weight;
            }
            across[static_cast<std::size_t>(y) * width + x] = sum;
        }
    TPicture result;
    result.width = width;
    result.height = height;
    result.hasAlpha = source.hasAlpha;
    result.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Channels sum{};
            for (const Tap& tap : rows[static_cast<std::size_t>(y)]) {
                const Channels& c = across[static_cast<std::size_t>(tap.source) * width + x];
                for (int k = 0; k < 4; ++k)
                    sum[k] += c[k] * tap.weight;
            }
            result.pixels[static_cast<std::size_t>(y) * width + x] = Pack(sum, source.hasAlpha);
        }
    return result;
}

TPicture ArtForDpi(const TPicture& single, const TPicture& doubled, int dpi) {
    const TPicture& source = ArtSetFor(dpi) == 2 && !doubled.Empty() ? doubled : single;
    return ResizePicture(source, ScaleLength(single.width, dpi), ScaleLength(single.height, dpi));
}

} // namespace ks
