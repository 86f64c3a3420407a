// Code assignment and slow-path decoding of the implode trees.
#include "archive/legacy_shannon_fano.h"

#include <algorithm>

namespace ks::archive {
namespace {

std::uint32_t Reverse(std::uint32_t code, unsigned length) {
    std::uint32_t reversed = 0;
    for (unsigned i = 0; i < length; ++i) {
        reversed = (reversed << 1) | (code & 1u);
        code >>= 1;
    }
    return reversed;
}

} // namespace

ShannonFanoTree::ReadResult ShannonFanoTree::Read(LegacyBitReader& input, unsigned valueCount) {
    std::uint8_t lengths[kMaxValues] = {};
    const unsigned descriptionBytes = input.Bits(8) + 1;
    unsigned value = 0;
    for (unsigned i = 0; i < descriptionBytes; ++i) {
        const std::uint32_t byte = input.Bits(8);
        if (input.Exhausted())
            return ReadResult::InputEnded;
        const unsigned length = (byte & 0x0F) + 1;
        const unsigned repeat = (byte >> 4) + 1;
        if (repeat > valueCount - value)
            return ReadResult::TooManyValues;
        for (unsigned r = 0; r < repeat; ++r)
            lengths[value++] = static_cast<std::uint8_t>(length);
    }
    if (input.Exhausted())
        return ReadResult::InputEnded;
    Build(lengths, valueCount);
    return ReadResult::Ok;
}

void ShannonFanoTree::Build(const std::uint8_t* bitLengths, unsigned valueCount) {
    // Counting sort keeps values ascending within each length.
    std::uint16_t perLength[kMaxBits + 1] = {};
    for (unsigned v = 0; v < valueCount; ++v)
        ++perLength[bitLengths[v]];
    unsigned start = 0;
    maxLength_ = 0;
    for (unsigned length = 0; length <= kMaxBits; ++length) {
        runStart_[length] = static_cast<std::uint16_t>(start);
        runCount_[length] = perLength[length];
        start += perLength[length];
        if (perLength[length] != 0 && length != 0)
            maxLength_ = length;
    }
    std::uint16_t placed[kMaxBits + 1] = {};
    for (unsigned v = 0; v < valueCount; ++v) {
        const unsigned length = bitLengths[v];
        sorted_[runStart_[length] + placed[length]++] = static_cast<std::uint8_t>(v);
    }

    // Codes are handed out from the longest (last) entry backwards as 16-bit left-aligned
    // numbers; within a run they step by one unit of the run's length.
    std::uint32_t code = 0;
    std::uint32_t increment = 0;
    unsigned previousLength = 0;
    for (unsigned i = valueCount; i-- > 0;) {
        code = (code + increment) & 0xFFFFu;
        const unsigned length = bitLengths[sorted_[i]];
        if (length != previousLength) {
            previousLength = length;
            increment = std::uint32_t{1} << (16 - length);
            if (length != 0) {
                // First code met for this length: the run's highest value. A code with bits
                // set below its length can never equal what is read, so such a run is dead.
                const std::uint32_t lowBits = (std::uint32_t{1} << (16 - length)) - 1u;
                runBase_[length] = code >> (16 - length);
                if ((code & lowBits) != 0)
                    runCount_[length] = 0;
            }
        }
    }

    // Table of the codes up to tableBits_ long: each code fills every slot whose low bits are
    // its bits in reading order. Shorter codes first and, within a length, values in sorted
    // order, never overwriting: the slot keeps the first code a bit-by-bit search would meet.
    tableBits_ = maxLength_ < kMaxTableBits ? (maxLength_ == 0 ? 1 : maxLength_) : kMaxTableBits;
    const unsigned slots = 1u << tableBits_;
    std::fill(table_, table_ + slots, std::uint16_t{0});
    for (unsigned length = 1; length <= tableBits_; ++length) {
        const unsigned count = runCount_[length];
        const std::uint32_t mask = (std::uint32_t{1} << length) - 1u;
        for (unsigned j = count; j-- > 0;) {
            // Sorted entry runStart + count - 1 - j carries code runBase + j.
            const unsigned value = sorted_[runStart_[length] + count - 1 - j];
            const std::uint32_t first = Reverse((runBase_[length] + j) & mask, length);
            const auto entry = static_cast<std::uint16_t>(value | (length << 8));
            for (std::uint32_t slot = first; slot < slots; slot += mask + 1) {
                if (table_[slot] == 0)
                    table_[slot] = entry;
            }
        }
    }
}

int ShannonFanoTree::Match(unsigned length, std::uint32_t code) const {
    const unsigned count = runCount_[length];
    if (count == 0)
        return -1;
    const std::uint32_t mask = (std::uint32_t{1} << length) - 1u;
    const std::uint32_t step = (code - runBase_[length]) & mask;
    if (step >= count)
        return -1;
    // With more values than codes of this length, codes repeat; the earliest value wins.
    const std::uint32_t lastStep = step + (((count - 1 - step) >> length) << length);
    return sorted_[runStart_[length] + count - 1 - lastStep];
}

int ShannonFanoTree::DecodeLong(std::uint32_t bits) const {
    std::uint32_t read = Reverse(bits, tableBits_);
    for (unsigned length = tableBits_ + 1; length <= maxLength_; ++length) {
        read = (read << 1) | ((bits >> (length - 1)) & 1u);
        const int value = Match(length, read);
        if (value >= 0)
            return value | static_cast<int>(length << 8);
    }
    return -1;
}

} // namespace ks::archive
