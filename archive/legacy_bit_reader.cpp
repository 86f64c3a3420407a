// Refilling the bit accumulator from the 4 KiB input block.
#include "archive/legacy_bit_reader.h"

namespace ks::archive {

bool LegacyBitReader::LoadBlock() {
    if (ended_)
        return false;
    next_ = 0;
    fill_ = input_(block_, kBlockSize);
    if (fill_ > kBlockSize)
        fill_ = kBlockSize;
    return fill_ != 0;
}

void LegacyBitReader::PadEnd() {
    if (!ended_) {
        ended_ = true;
        realBitsAtEnd_ = count_;
    } else {
        paddingUsed_ += kPaddedCount - count_;
    }
    // The accumulator's bits above count_ are already zero.
    count_ = kPaddedCount;
}

void LegacyBitReader::Refill(unsigned needed) {
    if (fill_ - next_ >= 8) {
        // Whole-word top-up: adds as many whole bytes as fit below bit 64.
        bits_ |= LoadLittleEndian64(block_ + next_) << count_;
        next_ += (63 - count_) >> 3;
        count_ |= 56;
        return;
    }
    while (count_ < needed) {
        if (next_ == fill_ && !LoadBlock()) {
            PadEnd();
            return;
        }
        bits_ |= std::uint64_t{block_[next_++]} << count_;
        count_ += 8;
    }
}

} // namespace ks::archive
