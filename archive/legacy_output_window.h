// Output side of the legacy decoders: collects decoded bytes into 32 KiB blocks for the caller,
// keeps at least the last 32 KiB readable for back-references, and never lets the output grow
// past the member's declared size.
#pragma once
#include "archive/legacy_decoders.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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
        PassOnFullBlock();
        ring_[pos_] = byte;
        ++produced_;
        pos_ = (pos_ + 1) & kRingMask;
        return true;
    }

    // Appends `size` bytes; false if they did not fit below the declared size (as many as
    // fit are written).
    bool Write(const std::uint8_t* data, std::size_t size) {
        if (size <= limit_ - produced_ && size <= RoomInBlock()) {
            std::uint8_t* to = ring_.get() + pos_;
            if (size <= kShortWrite) {
                for (std::size_t i = 0; i < size; ++i)
                    to[i] = data[i];
            } else {
                std::memcpy(to, data, size);
            }
            produced_ += size;
            pos_ = (pos_ + size) & kRingMask;
            return true;
        }
        return WriteSlow(data, size);
    }

    // Appends `length` bytes copied one at a time from `distance` (1..kHistorySize) bytes back,
    // so overlapping copies repeat. Positions before the start of the output read as zero.
    // Stops at the declared size and returns false if the copy did not fit.
    bool Copy(std::uint32_t distance, std::uint32_t length);

    // Hands the bytes not yet passed on to the caller.
    void Flush();

    std::uint64_t Produced() const { return produced_; }
    bool AtLimit() const { return produced_ == limit_; }

    class Burst;

private:
    static constexpr std::size_t kRingSize = 2 * kBlockSize;
    static constexpr std::size_t kRingMask = kRingSize - 1;
    static constexpr std::size_t kBlockMask = kBlockSize - 1;
    // Below this a plain loop beats a library call.
    static constexpr std::size_t kShortWrite = 16;

    // A block is handed on lazily, just before the first byte of the next one is written.
    bool BlockPending() const { return (pos_ & kBlockMask) == 0 && produced_ != passedOn_; }
    void PassOnFullBlock() {
        if (BlockPending())
            PassOn();
    }
    std::size_t RoomInBlock() const {
        return BlockPending() ? 0 : kBlockSize - (pos_ & kBlockMask);
    }
    void PassOn();
    bool WriteSlow(const std::uint8_t* data, std::size_t size);

    const LegacyOutput& output_;
    std::uint64_t limit_;
    std::uint64_t produced_ = 0;
    std::uint64_t passedOn_ = 0;
    std::size_t pos_ = 0;
    // Two blocks: one being filled while the other still holds the previous 32 KiB.
    std::unique_ptr<std::uint8_t[]> ring_;
};

// The window's write position copied into locals for a decoder's inner loop. It covers the rest
// of the current block below the declared size; callers check Room() before each write, so no
// write inside a burst needs a limit or hand-off check. The state goes back on destruction.
class LegacyOutputWindow::Burst {
public:
    explicit Burst(LegacyOutputWindow& window)
        : window_(window), ring_(window.ring_.get()), producedAtStart_(window.produced_),
          start_(window.pos_), pos_(window.pos_),
          end_(window.pos_ + static_cast<std::size_t>(std::min<std::uint64_t>(
                                 window.limit_ - window.produced_, window.RoomInBlock()))) {}
    ~Burst() {
        window_.produced_ += pos_ - start_;
        window_.pos_ = pos_ & kRingMask;
    }
    Burst(const Burst&) = delete;
    Burst& operator=(const Burst&) = delete;

    std::size_t Room() const { return end_ - pos_; }
    void Put(std::uint8_t byte) { ring_[pos_++] = byte; }
    // Direct access: up to Room() bytes may be written at Cursor(), then Advance() over them.
    std::uint8_t* Cursor() { return ring_ + pos_; }
    void Advance(std::size_t size) { pos_ += size; }
    // Same rules as LegacyOutputWindow::Copy; `length` must not exceed Room().
    void Copy(std::uint32_t distance, std::uint32_t length) {
        std::uint8_t* to = ring_ + pos_;
        if (distance <= pos_ && distance <= producedAtStart_ + (pos_ - start_)) {
            const std::uint8_t* from = to - distance;
            for (std::uint32_t i = 0; i < length; ++i)
                to[i] = from[i];
        } else {
            CopyWrapped(distance, length);
        }
        pos_ += length;
    }

private:
    void CopyWrapped(std::uint32_t distance, std::uint32_t length) {
        const std::uint64_t produced = producedAtStart_ + (pos_ - start_);
        for (std::uint32_t i = 0; i < length; ++i) {
            ring_[pos_ + i] =
                produced + i < distance ? 0 : ring_[(pos_ + i - distance) & kRingMask];
        }
    }

    LegacyOutputWindow& window_;
    std::uint8_t* ring_;
    std::uint64_t producedAtStart_;
    std::size_t start_;
    std::size_t pos_;
    std::size_t end_;
};

} // namespace ks::archive
