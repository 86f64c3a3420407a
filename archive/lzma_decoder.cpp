// The LZMA decoder's state machine. Whole symbols are decoded straight from the caller's input
// while at least kMaxSymbolInput bytes remain; the last few bytes of each piece go through a
// probe that walks the next symbol without side effects, so a symbol is decoded only when all
// of its input is there and nothing is ever half-done between calls.
#include "archive/lzma_decoder.h"
#include "archive/lzma_coding.h"

#include <algorithm>
#include <cstring>

namespace ks::archive {
namespace {

using namespace lzma;

constexpr std::uint32_t kMinWindow = 1u << 12;
constexpr std::size_t kCopySlack = 8;
constexpr unsigned kMatchMinLength = 2;
constexpr unsigned kStates = 12;
constexpr unsigned kNextAfterLiteral[kStates] = {0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 4, 5};

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

} // namespace

LzmaDecoder::LzmaDecoder(std::uint64_t outputSize, bool endMarker)
    : outputSize_(outputSize), endMarker_(endMarker) {}

LzmaResult LzmaDecoder::Decode(const std::uint8_t*& next, const std::uint8_t* end,
                               bool inputEnded) {
    if (mode_ == Mode::Header) {
        const LzmaResult result = TakeHeader(next, end);
        if (result != LzmaResult::Finished)
            return result == LzmaResult::NeedInput && inputEnded ? Fail(LzmaResult::Truncated)
                                                                 : result;
    }
    if (mode_ == Mode::RangeInit) {
        const LzmaResult result = TakeRangeInit(next, end);
        if (result != LzmaResult::Finished)
            return result == LzmaResult::NeedInput && inputEnded ? Fail(LzmaResult::Truncated)
                                                                 : result;
    }
    if (mode_ == Mode::Done)
        return result_;
    return DecodeSymbols(next, end, inputEnded);
}

// Finished here means "this part is complete".
LzmaResult LzmaDecoder::TakeHeader(const std::uint8_t*& next, const std::uint8_t* end) {
    const std::size_t take = std::min<std::size_t>(kHeaderSize - heldSize_, end - next);
    std::memcpy(held_ + heldSize_, next, take);
    heldSize_ += take;
    next += take;
    if (heldSize_ < kHeaderSize)
        return LzmaResult::NeedInput;
    heldSize_ = 0;
    // Two version bytes, the property size, then lc/lp/pb in one byte and the dictionary size.
    const unsigned propertySize = held_[2] | unsigned{held_[3]} << 8;
    unsigned d = held_[4];
    if (propertySize != 5 || d >= 9 * 5 * 5)
        return Fail(LzmaResult::BadHeader);
    lc_ = d % 9;
    d /= 9;
    lpMask_ = (1u << (d % 5)) - 1;
    pbMask_ = (1u << (d / 5)) - 1;
    const std::uint64_t wanted =
        std::min<std::uint64_t>(std::max(Le32(held_ + 5), kMinWindow), outputSize_);
    if (wanted > kMaxWindow)
        return Fail(LzmaResult::WindowTooLarge);
    windowSize_ = std::max<std::size_t>(static_cast<std::size_t>(wanted), 1);
    // The slack takes a match copy's last whole word past the window's end.
    window_.reset(new std::uint8_t[windowSize_ + kCopySlack]);
    std::memset(window_.get() + windowSize_, 0, kCopySlack);
    probs_.assign(kLiteral + (0x300u << (lc_ + (d % 5))), Prob{kModelTotal / 2});
    mode_ = Mode::RangeInit;
    return LzmaResult::Finished;
}

LzmaResult LzmaDecoder::TakeRangeInit(const std::uint8_t*& next, const std::uint8_t* end) {
    const std::size_t take = std::min<std::size_t>(kRangeInitSize - heldSize_, end - next);
    std::memcpy(held_ + heldSize_, next, take);
    heldSize_ += take;
    next += take;
    if (heldSize_ < kRangeInitSize)
        return LzmaResult::NeedInput;
    heldSize_ = 0;
    range_ = 0xFFFFFFFFu;
    code_ = std::uint32_t{held_[1]} << 24 | std::uint32_t{held_[2]} << 16 |
            std::uint32_t{held_[3]} << 8 | held_[4];
    if (held_[0] != 0 || code_ == range_)
        return Fail(LzmaResult::Malformed);
    mode_ = Mode::Symbols;
    return LzmaResult::Finished;
}

std::size_t LzmaDecoder::DicLimit() const {
    return dicPos_ + static_cast<std::size_t>(
                         std::min<std::uint64_t>(windowSize_ - dicPos_, outputSize_ - produced_));
}

void LzmaDecoder::CopyPending(std::size_t dicLimit) {
    const std::size_t length = std::min<std::size_t>(pendingLength_, dicLimit - dicPos_);
    std::uint8_t* dic = window_.get();
    const std::size_t back = std::size_t{reps_[0]} + 1;
    std::size_t from = dicPos_ >= back ? dicPos_ - back : dicPos_ + windowSize_ - back;
    for (std::size_t i = 0; i < length; ++i) {
        dic[dicPos_ + i] = dic[from];
        if (++from == windowSize_)
            from = 0;
    }
    dicPos_ += length;
    produced_ += length;
    pendingLength_ -= static_cast<std::uint32_t>(length);
}

LzmaResult LzmaDecoder::DecodeSymbols(const std::uint8_t*& next, const std::uint8_t* end,
                                      bool inputEnded) {
    for (;;) {
        if (dicPos_ == windowSize_) {
            if (drainedPos_ != dicPos_)
                return LzmaResult::WindowFull;
            dicPos_ = drainedPos_ = 0;
        }
        if (pendingLength_ > 0) {
            if (produced_ == outputSize_)
                return Fail(LzmaResult::OutputOverflow);
            CopyPending(DicLimit());
            continue;
        }
        if (produced_ == outputSize_ && !endMarker_) {
            mode_ = Mode::Done;
            return result_ = LzmaResult::Finished;
        }
        if (heldSize_ == 0 && produced_ < outputSize_ &&
            static_cast<std::size_t>(end - next) >= kMaxSymbolInput) {
            next = Run(next, end - kMaxSymbolInput, DicLimit());
        } else {
            const LzmaResult result = DecodeTail(next, end, inputEnded);
            if (result != LzmaResult::WindowFull)
                return result;
        }
        if (sawBadDistance_)
            return Fail(LzmaResult::Malformed);
        // The marker before the declared size: the member would come out short.
        if (sawEndMarker_)
            return Fail(LzmaResult::Malformed);
    }
}

// WindowFull here means "a symbol was decoded, go on".
LzmaResult LzmaDecoder::DecodeTail(const std::uint8_t*& next, const std::uint8_t* end,
                                   bool inputEnded) {
    const std::size_t before = heldSize_;
    const std::size_t take = std::min<std::size_t>(kMaxSymbolInput - before, end - next);
    std::memcpy(held_ + before, next, take);
    const std::size_t available = before + take;
    std::size_t used = 0;
    const Kind kind = Probe(held_, available, used);
    if (kind == Kind::NotEnough) {
        if (!inputEnded) {
            heldSize_ = available;
            next += take;
            return LzmaResult::NeedInput;
        }
        // A writer that sets the marker bit but stops at the declared size ends cleanly here.
        if (produced_ == outputSize_ && available == 0) {
            mode_ = Mode::Done;
            return result_ = LzmaResult::Finished;
        }
        return Fail(LzmaResult::Truncated);
    }
    if (kind == Kind::DirtyEnd)
        return Fail(LzmaResult::Malformed);
    if (produced_ == outputSize_) {
        if (kind != Kind::EndMarker)
            return Fail(LzmaResult::OutputOverflow);
        next += used > before ? used - before : 0;
        mode_ = Mode::Done;
        return result_ = LzmaResult::Finished;
    }
    if (kind == Kind::EndMarker)
        return Fail(LzmaResult::Malformed);
    Run(held_, held_, DicLimit());
    if (used >= before) {
        next += used - before;
        heldSize_ = 0;
    } else {
        std::memmove(held_, held_ + used, before - used);
        heldSize_ = before - used;
    }
    return LzmaResult::WindowFull;
}

// Matches are mostly short: copied a word at a time they take one step instead of a loop with
// a mispredicted exit. Vectorised, the copies would load bytes written a moment ago wider
// than they were stored and stall on it, so the compiler is kept from doing that.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-vectorize")))
#endif
const std::uint8_t*
LzmaDecoder::Run(const std::uint8_t* buf, const std::uint8_t* bufLimit, std::size_t dicLimit) {
    Prob* const probs = probs_.data();
    std::uint8_t* const dic = window_.get();
    const std::size_t dicSize = windowSize_;
    std::size_t dicPos = dicPos_;
    const std::uint64_t base = produced_ - dicPos_;
    std::uint32_t range = range_;
    std::uint32_t code = code_;
    unsigned state = state_;
    std::uint32_t rep0 = reps_[0], rep1 = reps_[1], rep2 = reps_[2], rep3 = reps_[3];
    const unsigned lc = lc_, lpMask = lpMask_, pbMask = pbMask_;
    unsigned previous = produced_ == 0 ? 0 : dic[(dicPos == 0 ? dicSize : dicPos) - 1];

    auto normalize = [&] {
        if (range < kTop) {
            range <<= 8;
            code = (code << 8) | *buf++;
        }
    };
    auto bit = [&](Prob* p) -> unsigned {
        normalize();
        const std::uint32_t prob = *p;
        const unsigned b = DecideBit(range, code, prob);
        *p = static_cast<Prob>(b ? prob - (prob >> kMoveBits)
                                 : prob + ((kModelTotal - prob) >> kMoveBits));
        return b;
    };
    // Inside bit trees and literals the bits are close to random, so the decision is made
    // without a jump: a mispredicted branch costs more than computing both outcomes.
    auto treeDecide = [&](Prob* p, std::uint32_t prob) -> unsigned {
        normalize();
        const std::uint32_t bound = (range >> kModelBits) * prob;
        const unsigned one = code >= bound;
        const std::uint32_t mask = 0u - one;
        range = (bound & ~mask) | ((range - bound) & mask);
        code -= bound & mask;
        const std::uint32_t up = prob + ((kModelTotal - prob) >> kMoveBits);
        const std::uint32_t down = prob - (prob >> kMoveBits);
        *p = static_cast<Prob>((up & ~mask) | (down & mask));
        return one;
    };
    auto treeBit = [&](Prob* p) { return treeDecide(p, *p); };
    // Both children's chances are loaded before the bit is known, which takes the load off the
    // chain from one bit to the next. The last bit's look ahead reads past a short tree into
    // the groups after it, never past the array.
    auto tree = [&](Prob* p, unsigned bits) {
        unsigned m = 1;
        std::uint32_t prob = p[1];
        for (unsigned i = 0; i < bits; ++i) {
            const std::uint32_t next0 = p[m * 2];
            const std::uint32_t next1 = p[m * 2 + 1];
            const unsigned one = treeDecide(p + m, prob);
            m = (m << 1) | one;
            prob = one ? next1 : next0;
        }
        return m - (1u << bits);
    };
    auto length = [&](Prob* coder, unsigned posState) {
        if (bit(coder + kChoice) == 0)
            return tree(coder + kLow + posState * 8, 3);
        if (bit(coder + kChoice2) == 0)
            return 8 + tree(coder + kMid + posState * 8, 3);
        return 16 + tree(coder + kHigh, 8);
    };
    auto backFrom = [&](std::uint32_t distance) {
        const std::size_t back = std::size_t{distance} + 1;
        return dicPos >= back ? dicPos - back : dicPos + dicSize - back;
    };

    do {
        const std::uint64_t produced = base + dicPos;
        const unsigned posState = static_cast<unsigned>(produced) & pbMask;
        if (bit(probs + kIsMatch + (state << 4) + posState) == 0) {
            Prob* literal = probs + kLiteral +
                            0x300 * (((static_cast<unsigned>(produced) & lpMask) << lc) +
                                     (previous >> (8 - lc)));
            // Eight bits each way: a fixed count lets the compiler unroll the loops.
            unsigned symbol = 1;
            if (state < kLiteralStates) {
                symbol = tree(literal, 8) | 0x100;
            } else {
                unsigned matchByte = dic[backFrom(rep0)];
                unsigned offset = 0x100;
                for (int i = 0; i < 8; ++i) {
                    matchByte <<= 1;
                    const unsigned matchBit = matchByte & offset;
                    const unsigned b = treeBit(literal + offset + matchBit + symbol);
                    symbol = (symbol << 1) | b;
                    offset &= matchBit ^ (b - 1u);
                }
            }
            previous = symbol & 0xFF;
            dic[dicPos++] = static_cast<std::uint8_t>(previous);
            state = kNextAfterLiteral[state];
            continue;
        }
        unsigned len;
        if (bit(probs + kIsRep + state) == 0) {
            len = length(probs + kMatchLength, posState);
            const unsigned slot = tree(probs + kPosSlot + (std::min(len, 3u) << 6), 6);
            std::uint32_t distance = slot;
            if (slot >= 4) {
                const unsigned directBits = (slot >> 1) - 1;
                distance = (2u | (slot & 1)) << directBits;
                if (slot < 14) {
                    Prob* p = probs + kSpecPos + distance - slot - 1;
                    unsigned m = 1;
                    for (unsigned i = 0; i < directBits; ++i) {
                        const unsigned b = treeBit(p + m);
                        m = (m << 1) | b;
                        distance |= b << i;
                    }
                } else {
                    std::uint32_t direct = 0;
                    for (unsigned i = 0; i < directBits - 4; ++i) {
                        normalize();
                        direct = (direct << 1) + DecideDirectBit(range, code);
                    }
                    distance += direct << 4;
                    unsigned m = 1;
                    for (unsigned i = 0; i < 4; ++i) {
                        const unsigned b = treeBit(probs + kAlign + m);
                        m = (m << 1) | b;
                        distance |= b << i;
                    }
                    if (distance == kEndMarkerDistance) {
                        sawEndMarker_ = true;
                        break;
                    }
                }
            }
            if (distance >= produced || distance >= dicSize) {
                sawBadDistance_ = true;
                break;
            }
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            rep0 = distance;
            state = state < kLiteralStates ? 7 : 10;
        } else {
            if (produced == 0) {
                sawBadDistance_ = true;
                break;
            }
            if (bit(probs + kIsRepG0 + state) == 0) {
                if (bit(probs + kIsRep0Long + (state << 4) + posState) == 0) {
                    previous = dic[backFrom(rep0)];
                    dic[dicPos++] = static_cast<std::uint8_t>(previous);
                    state = state < kLiteralStates ? 9 : 11;
                    continue;
                }
            } else {
                std::uint32_t distance;
                if (bit(probs + kIsRepG1 + state) == 0) {
                    distance = rep1;
                } else {
                    if (bit(probs + kIsRepG2 + state) == 0) {
                        distance = rep2;
                    } else {
                        distance = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = distance;
            }
            len = length(probs + kRepLength, posState);
            state = state < kLiteralStates ? 8 : 11;
        }
        len += kMatchMinLength;
        const std::size_t room = dicLimit - dicPos;
        const unsigned now = len < room ? len : static_cast<unsigned>(room);
        pendingLength_ = len - now;
        std::size_t from = backFrom(rep0);
        std::uint8_t* to = dic + dicPos;
        if (rep0 >= 7 && from + now <= dicSize) {
            // Whole words, the last one running past the match; the bytes it overruns may be
            // history once the window has wrapped, so they are put back.
            const std::uint8_t* source = dic + from;
            std::uint64_t after;
            std::memcpy(&after, to + now, 8);
            for (unsigned i = 0; i < now; i += 8) {
                std::uint64_t word;
                std::memcpy(&word, source + i, 8);
                std::memcpy(to + i, &word, 8);
            }
            std::memcpy(to + now, &after, 8);
        } else if (from + now <= dicSize) {
            const std::uint8_t* source = dic + from;
#if defined(__clang__)
#pragma clang loop vectorize(disable)
#endif
            for (unsigned i = 0; i < now; ++i)
                to[i] = source[i];
        } else {
            for (unsigned i = 0; i < now; ++i) {
                to[i] = dic[from];
                if (++from == dicSize)
                    from = 0;
            }
        }
        dicPos += now;
        previous = dic[dicPos - 1];
    } while (dicPos < dicLimit && buf < bufLimit);

    produced_ = base + dicPos;
    dicPos_ = dicPos;
    range_ = range;
    code_ = code;
    state_ = state;
    reps_[0] = rep0;
    reps_[1] = rep1;
    reps_[2] = rep2;
    reps_[3] = rep3;
    return buf;
}

} // namespace ks::archive
