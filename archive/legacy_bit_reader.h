// Least-significant-bit-first reader over a member's compressed bytes, pulled in 4 KiB blocks.
// It is the only code that touches the input. Past the end it yields zero bits and, once a
// decoder has consumed one of those, a sticky Exhausted() that every decoder tests.
#pragma once
#include "archive/legacy_decoders.h"

#include <cstdint>
#include <cstring>

namespace ks::archive {

// Eight bytes as a little-endian number, in one load where the host allows.
inline std::uint64_t LoadLittleEndian64(const std::uint8_t* bytes) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
#else
    std::uint64_t word = 0;
    for (unsigned i = 0; i < 8; ++i)
        word |= std::uint64_t{bytes[i]} << (8 * i);
    return word;
#endif
}

class LegacyBitReader {
public:
    static constexpr std::size_t kBlockSize = 4096;

    explicit LegacyBitReader(const LegacyInput& input) : input_(input) {}
    LegacyBitReader(const LegacyBitReader&) = delete;
    LegacyBitReader& operator=(const LegacyBitReader&) = delete;

    // Takes n (1..32) bits; the first bit taken is bit 0 of the result.
    std::uint32_t Bits(unsigned n) {
        Ensure(n);
        const std::uint32_t value = Peek(n);
        Drop(n);
        return value;
    }

    // Look-ahead without consuming: Ensure(n) makes n (<= 32) bits available to Peek, padding
    // with zeros at the end of the input. Only bits actually dropped count towards exhaustion.
    void Ensure(unsigned n) {
        if (count_ < n)
            Refill(n);
    }
    std::uint32_t Peek(unsigned n) const {
        return static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << n) - 1u));
    }
    void Drop(unsigned n) {
        bits_ >>= n;
        count_ -= n;
    }

    // True once a bit beyond the end of the input has been consumed.
    bool Exhausted() const {
        return ended_ && paddingUsed_ + (kPaddedCount - count_) > realBitsAtEnd_;
    }

    class Burst;

private:
    static constexpr unsigned kPaddedCount = 64;

    void Refill(unsigned needed);
    bool LoadBlock();
    void PadEnd();

    const LegacyInput& input_;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    std::size_t next_ = 0;
    std::size_t fill_ = 0;
    bool ended_ = false;
    unsigned realBitsAtEnd_ = 0;
    std::uint64_t paddingUsed_ = 0;
    std::uint8_t block_[kBlockSize] = {};
};

// The reader's state copied into locals for a decoder's inner loop, so the compiler can keep it
// in registers (stores to the output bytes would otherwise force reloads). Refill() succeeds
// only while the current block still holds eight unread bytes, so inside a burst the input can
// neither run dry nor need a new block. The state goes back to the reader on destruction.
class LegacyBitReader::Burst {
public:
    // Bits guaranteed after a successful Refill().
    static constexpr unsigned kGuaranteedBits = 56;

    explicit Burst(LegacyBitReader& reader)
        : reader_(reader), bits_(reader.bits_), count_(reader.count_),
          next_(reader.block_ + reader.next_), end_(reader.block_ + reader.fill_) {}
    ~Burst() {
        reader_.bits_ = bits_;
        reader_.count_ = count_;
        reader_.next_ = static_cast<std::size_t>(next_ - reader_.block_);
    }
    Burst(const Burst&) = delete;
    Burst& operator=(const Burst&) = delete;

    bool Refill() {
        if (end_ - next_ < 8)
            return false;
        if (count_ < kGuaranteedBits) {
            const std::uint64_t word = LoadLittleEndian64(next_);
            // Bits above the new count are copies of the bytes still ahead, which later
            // refills OR in again at the same place.
            bits_ |= word << count_;
            next_ += (63 - count_) >> 3;
            count_ |= 56;
        }
        return true;
    }
    // Nothing to do: Refill() already provided kGuaranteedBits.
    void Ensure(unsigned) {}
    std::uint32_t Peek(unsigned n) const {
        return static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << n) - 1u));
    }
    void Drop(unsigned n) {
        bits_ >>= n;
        count_ -= n;
    }
    std::uint32_t Bits(unsigned n) {
        const std::uint32_t value = Peek(n);
        Drop(n);
        return value;
    }

private:
    LegacyBitReader& reader_;
    std::uint64_t bits_;
    unsigned count_;
    const std::uint8_t* next_;
    const std::uint8_t* end_;
};

} // namespace ks::archive
