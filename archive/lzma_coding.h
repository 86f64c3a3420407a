// What the LZMA decoder and its probe share: where each group of probabilities sits, and the
// range decoder's two kinds of decision. Both must decide every bit the same way.
#pragma once
#include <cstdint>

namespace ks::archive::lzma {

using Prob = std::uint16_t;

constexpr std::uint32_t kTop = 1u << 24;
constexpr unsigned kModelBits = 11;
constexpr std::uint32_t kModelTotal = 1u << kModelBits;
constexpr unsigned kMoveBits = 5;
constexpr std::uint32_t kEndMarkerDistance = 0xFFFFFFFFu;

// Where each group of probabilities sits in one array.
constexpr unsigned kIsMatch = 0;                 // 12 states x 16 position states
constexpr unsigned kIsRep = kIsMatch + 192;      // 12
constexpr unsigned kIsRepG0 = kIsRep + 12;       // 12
constexpr unsigned kIsRepG1 = kIsRepG0 + 12;     // 12
constexpr unsigned kIsRepG2 = kIsRepG1 + 12;     // 12
constexpr unsigned kIsRep0Long = kIsRepG2 + 12;  // 12 x 16
constexpr unsigned kPosSlot = kIsRep0Long + 192; // 4 length states x 64
constexpr unsigned kSpecPos = kPosSlot + 256;    // distances 4..127: 114
constexpr unsigned kAlign = kSpecPos + 114;      // 16
constexpr unsigned kMatchLength = kAlign + 16;   // 514 each (see length layout)
constexpr unsigned kRepLength = kMatchLength + 514;
constexpr unsigned kLiteral = kRepLength + 514; // 0x300 per literal context
// Inside a length coder.
constexpr unsigned kChoice = 0, kChoice2 = 1, kLow = 2, kMid = kLow + 128, kHigh = kMid + 128;

constexpr unsigned kLiteralStates = 7; // below this the previous symbol was a literal

// One modelled decision of the range decoder; `prob` is the chance of a 0.
inline unsigned DecideBit(std::uint32_t& range, std::uint32_t& code, std::uint32_t prob) {
    const std::uint32_t bound = (range >> kModelBits) * prob;
    if (code < bound) {
        range = bound;
        return 0;
    }
    range -= bound;
    code -= bound;
    return 1;
}

// A bit of even chance. All ones when code >= range, so the subtraction needs no branch; the
// probe shares it, so both agree on streams where code >= range.
inline unsigned DecideDirectBit(std::uint32_t& range, std::uint32_t& code) {
    range >>= 1;
    code -= range;
    const std::uint32_t mask = 0u - (code >> 31);
    code += range & mask;
    return mask + 1;
}

} // namespace ks::archive::lzma
