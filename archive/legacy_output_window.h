// Output side of the legacy decoders: collects decoded bytes into 32 KiB blocks for the caller,
// keeps at least the last 32 KiB readable for back-references, and never lets the output grow
// past the member's declared size.
#pragma once
#include "archive/legacy_decoders.h"

#include <cstdint>
#include <memory>

namespace ks::archive {

class LegacyOutputWindow {
public:
    static constexpr std::size_t kBlockSize = 32768;
    // Longest back-reference the window guarantees to serve.
    static constexpr std::uint32_t kHistorySize = kBlockSize;

    LegacyOutputWindow(std::uint64_t limit, const LegacyOutput& output);
    LegacyOutputWindow(const LegacyOutputWindow&) = delete;
    LegacyOutputWindow& operator=(const LegacyOutputWindow&) = delete;

    // Appends one byte; false (and nothing written) once the declared size is reached.
    bool Put(std::uint8_t byte) {
        if (produced_ == limit_)
            return false;
        ring_[pos_] = byte;
        ++produced_;
        pos_ = (pos_ + 1) & kRingMask;
        if ((pos_ & (kBlockSize - 1)) == 0)
            PassOn();
        return true;
    }

    // Appends `length` bytes copied one at a time from `distance` (1..kHistorySize) bytes back,
    // so overlapping copies repeat. Positions before the start of the output read as zero.
    // Stops at the declared size and returns false if the copy did not fit.
    bool Copy(std::uint32_t distance, std::uint32_t length);

    // Hands the bytes not yet passed on to the caller.
    void Flush();

    std::uint64_t Produced() const { return produced_; }
    bool AtLimit() const { return produced_ == limit_; }

private:
    static constexpr std::size_t kRingSize = 2 * kBlockSize;
    static constexpr std::size_t kRingMask = kRingSize - 1;

    void PassOn();

    const LegacyOutput& output_;
    std::uint64_t limit_;
    std::uint64_t produced_ = 0;
    std::uint64_t passedOn_ = 0;
    std::size_t pos_ = 0;
    // Two blocks: one being filled while the other still holds the previous 32 KiB.
    std::unique_ptr<std::uint8_t[]> ring_;
};

} // namespace ks::archive
