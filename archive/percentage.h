// The progress percentage of archive and member progress reports.
#pragma once
#include <cstdint>

namespace ks::archive {

// Large totals are scaled down by 256 first (rounded) so the product cannot overflow.
inline int Percentage(std::uint64_t done, std::uint64_t total) {
    if (total > 16384000) {
        done = (done + 128) >> 8;
        total = (total + 128) >> 8;
    }
    if (total == 0)
        return 0;
    if (done >= total)
        return 100;
    return static_cast<int>(done * 100 / total);
}

} // namespace ks::archive
