// The LZMA decoder's probe: walks the next symbol on a copy of the range decoder's registers
// without changing anything, to learn whether the input at hand holds all of it. It runs only
// on the last few bytes of each piece of input, so it is built for size.
#include "archive/lzma_coding.h"
#include "archive/lzma_decoder.h"

#include <algorithm>

namespace ks::archive {
namespace {

using namespace lzma;

// The range decoder's registers, for the probe (the real decoder keeps them in locals).
struct ProbeCoder {
    std::uint32_t range;
    std::uint32_t code;
    const std::uint8_t* buf;
    const std::uint8_t* end;
    bool short_ = false;

    bool Normalize() {
        if (range >= kTop)
            return true;
        if (buf == end) {
            short_ = true;
            return false;
        }
        range <<= 8;
        code = (code << 8) | *buf++;
        return true;
    }
    unsigned Bit(Prob p) { return Normalize() ? DecideBit(range, code, p) : 0; }
    unsigned Tree(const Prob* probs, unsigned bits) {
        unsigned m = 1;
        for (unsigned i = 0; i < bits && !short_; ++i)
            m = (m << 1) | Bit(probs[m]);
        return m - (1u << bits);
    }
    unsigned DirectBit() { return Normalize() ? DecideDirectBit(range, code) : 0; }
    unsigned Length(const Prob* coder, unsigned posState) {
        if (Bit(coder[kChoice]) == 0)
            return Tree(coder + kLow + posState * 8, 3);
        if (Bit(coder[kChoice2]) == 0)
            return 8 + Tree(coder + kMid + posState * 8, 3);
        return 16 + Tree(coder + kHigh, 8);
    }
};

} // namespace

LzmaDecoder::Kind LzmaDecoder::Probe(const std::uint8_t* buf, std::size_t size,
                                     std::size_t& used) const {
    ProbeCoder rc{range_, code_, buf, buf + size};
    const Prob* probs = probs_.data();
    const unsigned posState = static_cast<unsigned>(produced_) & pbMask_;
    const unsigned state = state_;
    auto done = [&](Kind kind) {
        used = static_cast<std::size_t>(rc.buf - buf);
        return rc.short_ ? Kind::NotEnough : kind;
    };
    if (rc.Bit(probs[kIsMatch + (state << 4) + posState]) == 0) {
        const unsigned previous =
            produced_ == 0 ? 0 : window_[(dicPos_ == 0 ? windowSize_ : dicPos_) - 1];
        const Prob* literal = probs + kLiteral +
                              0x300 * (((static_cast<unsigned>(produced_) & lpMask_) << lc_) +
                                       (previous >> (8 - lc_)));
        unsigned symbol = 1;
        if (state < kLiteralStates || produced_ == 0) {
            while (symbol < 0x100 && !rc.short_)
                symbol = (symbol << 1) | rc.Bit(literal[symbol]);
        } else {
            const std::size_t back = std::size_t{reps_[0]} + 1;
            unsigned matchByte =
                window_[dicPos_ >= back ? dicPos_ - back : dicPos_ + windowSize_ - back];
            unsigned offset = 0x100;
            while (symbol < 0x100 && !rc.short_) {
                matchByte <<= 1;
                const unsigned matchBit = matchByte & offset;
                const unsigned bit = rc.Bit(literal[offset + matchBit + symbol]);
                symbol = (symbol << 1) | bit;
                offset &= bit ? matchBit : ~matchBit;
            }
        }
        return done(Kind::Symbol);
    }
    if (rc.Bit(probs[kIsRep + state]) == 0) {
        const unsigned length = rc.Length(probs + kMatchLength, posState);
        const unsigned slot = rc.Tree(probs + kPosSlot + (std::min(length, 3u) << 6), 6);
        // A tree cut short by the input gives no slot at all.
        if (slot < 4 || rc.short_)
            return done(Kind::Symbol);
        const unsigned directBits = (slot >> 1) - 1;
        const std::uint32_t base = (2u | (slot & 1)) << directBits;
        std::uint32_t low = 0;
        if (slot < 14) {
            rc.Tree(probs + kSpecPos + base - slot - 1, directBits);
            return done(Kind::Symbol);
        }
        // Only the all-ones distance, the end marker, needs its bits gathered.
        std::uint32_t direct = 0;
        for (unsigned i = 0; i < directBits - 4 && !rc.short_; ++i)
            direct = (direct << 1) | rc.DirectBit();
        unsigned m = 1;
        for (unsigned i = 0; i < 4 && !rc.short_; ++i) {
            const unsigned bit = rc.Bit(probs[kAlign + m]);
            m = (m << 1) | bit;
            low |= bit << i;
        }
        if (base + (direct << 4) + low != kEndMarkerDistance)
            return done(Kind::Symbol);
        // A clean end leaves nothing of the code after the final normalisation.
        rc.Normalize();
        return done(rc.code == 0 ? Kind::EndMarker : Kind::DirtyEnd);
    }
    if (rc.Bit(probs[kIsRepG0 + state]) == 0) {
        if (rc.Bit(probs[kIsRep0Long + (state << 4) + posState]) == 0)
            return done(Kind::Symbol);
    } else if (rc.Bit(probs[kIsRepG1 + state]) != 0) {
        rc.Bit(probs[kIsRepG2 + state]);
    }
    rc.Length(probs + kRepLength, posState);
    return done(Kind::Symbol);
}

} // namespace ks::archive
