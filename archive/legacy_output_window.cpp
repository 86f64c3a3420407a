// Block hand-off and back-reference copies of the legacy decoders' output.
#include "archive/legacy_output_window.h"

namespace ks::archive {

LegacyOutputWindow::LegacyOutputWindow(std::uint64_t limit, const LegacyOutput& output)
    : output_(output), limit_(limit), ring_(new std::uint8_t[kRingSize]) {}

void LegacyOutputWindow::PassOn() {
    const std::size_t size = static_cast<std::size_t>(produced_ - passedOn_);
    if (size == 0)
        return;
    const std::size_t start = static_cast<std::size_t>(passedOn_ & kRingMask);
    passedOn_ = produced_;
    output_(ring_.get() + start, size);
}

void LegacyOutputWindow::Flush() {
    PassOn();
}

bool LegacyOutputWindow::WriteSlow(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (!Put(data[i]))
            return false;
    }
    return true;
}

bool LegacyOutputWindow::Copy(std::uint32_t distance, std::uint32_t length) {
    const std::uint64_t room = limit_ - produced_;
    const bool fits = length <= room;
    std::size_t left = fits ? length : static_cast<std::size_t>(room);

    // The part of the reference that lies before the first output byte.
    while (left > 0 && produced_ < distance) {
        Put(0);
        --left;
    }
    std::uint8_t* ring = ring_.get();
    while (left > 0) {
        PassOnFullBlock();
        // Stay inside the current block so the hand-off check runs once per chunk.
        const std::size_t chunk = std::min(left, kBlockSize - (pos_ & kBlockMask));
        const std::size_t from = (pos_ - distance) & kRingMask;
        std::uint8_t* to = ring + pos_;
        if (from + chunk <= kRingSize) {
            const std::uint8_t* source = ring + from;
            for (std::size_t i = 0; i < chunk; ++i)
                to[i] = source[i];
        } else {
            for (std::size_t i = 0; i < chunk; ++i)
                to[i] = ring[(from + i) & kRingMask];
        }
        produced_ += chunk;
        left -= chunk;
        pos_ = (pos_ + chunk) & kRingMask;
    }
    return fits;
}

} // namespace ks::archive
