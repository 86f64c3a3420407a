// Reading one symbol of a PPMd variant I stream: the carry-less range decoder, the binary
// contexts, and the escapes to shorter contexts with the symbols already seen masked out.
#include <cstring>

#include "archive/ppmd_model.h"

namespace ks::archive {
namespace {

constexpr std::uint32_t kTop = 1u << 24;
constexpr std::uint32_t kBottom = 1u << 15;
constexpr unsigned kIntBits = 7;
constexpr unsigned kPeriodBits = 7;
constexpr unsigned kBinScale = 1u << (kIntBits + kPeriodBits);
constexpr std::uint8_t kExpEscape[16] = {25, 14, 9, 7, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 2};

unsigned Mean(unsigned prob) {
    return (prob + (1u << (kPeriodBits - 2))) >> kPeriodBits;
}

void UpdateSee(ppmd::See* see) {
    if (see->shift < kPeriodBits && --see->count == 0) {
        see->summ = static_cast<std::uint16_t>(see->summ << 1);
        see->count = static_cast<std::uint8_t>(3 << see->shift++);
    }
}

} // namespace

bool PpmdModel::StartDecoding(PpmdByteInput& input) {
    input_ = &input;
    low_ = 0;
    range_ = 0xFFFFFFFFu;
    code_ = 0;
    for (int i = 0; i < 4; ++i)
        code_ = (code_ << 8) | input.Next();
    return code_ < 0xFFFFFFFFu;
}

// False when the total leaves no range: only a damaged stream gets there.
bool PpmdModel::Scale(std::uint32_t total) {
    if (total == 0)
        return false;
    range_ /= total;
    return range_ != 0;
}

void PpmdModel::Decode(std::uint32_t start, std::uint32_t size) {
    start *= range_;
    low_ += start;
    code_ -= start;
    range_ *= size;
    for (;;) {
        if ((low_ ^ (low_ + range_)) >= kTop) {
            if (range_ >= kBottom)
                return;
            range_ = (0u - low_) & (kBottom - 1);
        }
        code_ = (code_ << 8) | input_->Next();
        range_ <<= 8;
        low_ <<= 8;
    }
}

int PpmdModel::DecodeSymbol() {
    std::uint8_t charMask[256];
    if (minContext_->numStats != 0) {
        State* s = Stats(minContext_);
        if (!Scale(minContext_->summFreq))
            return kMalformed;
        std::uint32_t hiCnt = s->freq;
        if (Below(hiCnt)) {
            PrefetchUpdateReads(s);
            Decode(0, s->freq);
            foundState_ = s;
            const std::uint8_t symbol = s->symbol;
            Update1First();
            return symbol;
        }
        prevSuccess_ = 0;
        unsigned i = minContext_->numStats;
        do {
            ++s;
            hiCnt += s->freq;
            if (Below(hiCnt)) {
                PrefetchUpdateReads(s);
                Decode(hiCnt - s->freq, s->freq);
                foundState_ = s;
                const std::uint8_t symbol = s->symbol;
                Update1();
                return symbol;
            }
        } while (--i);
        if (!Below(minContext_->summFreq))
            return kMalformed;
        Decode(hiCnt, minContext_->summFreq - hiCnt);
        std::memset(charMask, 0xFF, sizeof charMask);
        const State* stats = Stats(minContext_);
        for (unsigned k = 0; k <= minContext_->numStats; ++k)
            charMask[stats[k].symbol] = 0;
    } else {
        State* only = OneState(minContext_);
        std::uint16_t* prob = &binSumm_[ns2Index_[only->freq - 1]]
                                       [prevSuccess_ + ns2BsIndex_[Suffix(minContext_)->numStats] +
                                        minContext_->flags + ((runLength_ >> 26) & 0x20)];
        // The most frequent step: a product against the code instead of a division.
        range_ >>= 14;
        if (code_ < std::uint64_t{range_} * *prob) {
            PrefetchUpdateReads(only);
            Decode(0, *prob);
            *prob = static_cast<std::uint16_t>(*prob + (1u << kIntBits) - Mean(*prob));
            foundState_ = only;
            const std::uint8_t symbol = only->symbol;
            UpdateBin();
            return symbol;
        }
        Decode(*prob, kBinScale - *prob);
        *prob = static_cast<std::uint16_t>(*prob - Mean(*prob));
        initEsc_ = kExpEscape[*prob >> 10];
        std::memset(charMask, 0xFF, sizeof charMask);
        charMask[only->symbol] = 0;
        prevSuccess_ = 0;
    }
    for (;;) {
        const unsigned numMasked = minContext_->numStats;
        do {
            ++orderFall_;
            if (minContext_->suffix == 0)
                return kEndMark;
            minContext_ = Suffix(minContext_);
        } while (minContext_->numStats == numMasked);
        if (minContext_->numStats < numMasked)
            return kMalformed;
        // Every symbol of the longer context is in this one; sum the others' counts. Without
        // branches: whether a symbol is masked is as good as random.
        State* const stats = Stats(minContext_);
        const State* const end = stats + minContext_->numStats + 1;
        std::uint32_t hiCnt = 0;
#pragma GCC unroll 4
        for (const State* s = stats; s != end; ++s)
            hiCnt += s->freq & charMask[s->symbol];
        std::uint32_t freqSum = 0;
        See* see = MakeEscFreq(numMasked, freqSum);
        freqSum += hiCnt;
        if (!Scale(freqSum))
            return kMalformed;
        if (Below(hiCnt)) {
            // One division here, then plain compares along the states.
            const std::uint32_t count = code_ / range_;
            State* s = stats;
#pragma GCC unroll 4
            for (hiCnt = 0; (hiCnt += s->freq & charMask[s->symbol]) <= count; ++s) {
            }
            PrefetchUpdateReads(s);
            Decode(hiCnt - s->freq, s->freq);
            UpdateSee(see);
            foundState_ = s;
            const std::uint8_t symbol = s->symbol;
            Update2();
            return symbol;
        }
        if (!Below(freqSum))
            return kMalformed;
        Decode(hiCnt, freqSum - hiCnt);
        see->summ = static_cast<std::uint16_t>(see->summ + freqSum);
#pragma GCC unroll 4
        for (const State* s = stats; s != end; ++s)
            charMask[s->symbol] = 0;
    }
}

} // namespace ks::archive
