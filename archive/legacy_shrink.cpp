// Method 1: LZW with codes growing from 9 to 13 bits, where code 256 announces a control code
// (1 widens the codes, 2 frees every code that is no other code's prefix).
#include "archive/legacy_methods.h"

#include <memory>

namespace ks::archive {
namespace {

constexpr unsigned kCodeCount = 8192;
constexpr unsigned kControlCode = 256;
constexpr unsigned kFirstDefinable = 257;
constexpr unsigned kFirstWidth = 9;
constexpr unsigned kMaxWidth = 13;
constexpr unsigned kStackSize = kCodeCount + 1;
constexpr std::int16_t kFree = -1;

enum Control : std::uint32_t { kWiden = 1, kPartialClear = 2 };

struct ShrinkState {
    std::int16_t prefix[kCodeCount];
    std::uint8_t suffix[kCodeCount];
    bool isPrefix[kCodeCount];
    std::uint8_t stack[kStackSize];
    unsigned width = kFirstWidth;
    unsigned nextFree = kFirstDefinable;
    unsigned previous = 0;
    std::uint8_t lastFirst = 0;

    ShrinkState() {
        for (unsigned code = 0; code < kCodeCount; ++code) {
            prefix[code] = code < kControlCode ? 0 : kFree;
            suffix[code] = static_cast<std::uint8_t>(code);
        }
        prefix[kControlCode] = 0;
    }

    bool IsFree(unsigned code) const { return prefix[code] == kFree; }

    void AdvanceNextFree() {
        while (nextFree < kCodeCount && !IsFree(nextFree))
            ++nextFree;
    }

    void PartialClear() {
        for (unsigned code = kFirstDefinable; code < nextFree; ++code)
            isPrefix[code] = false;
        for (unsigned code = kFirstDefinable; code < nextFree; ++code) {
            const int parent = prefix[code];
            if (parent >= static_cast<int>(kFirstDefinable) && parent < static_cast<int>(nextFree))
                isPrefix[parent] = true;
        }
        for (unsigned code = kFirstDefinable; code < nextFree; ++code) {
            if (!isPrefix[code])
                prefix[code] = kFree;
        }
        nextFree = kFirstDefinable;
        AdvanceNextFree();
    }

    // Writes the string of `code`; a free code stands for the string being defined right now.
    LegacyResult Emit(unsigned code, LegacyOutputWindow& output) {
        unsigned depth = 0;
        while (code > kControlCode) {
            if (depth == kStackSize)
                return LegacyResult::MalformedStream;
            if (IsFree(code)) {
                stack[depth++] = lastFirst;
                code = previous;
            } else {
                stack[depth++] = suffix[code];
                code = static_cast<unsigned>(prefix[code]);
            }
        }
        lastFirst = static_cast<std::uint8_t>(code);
        if (!output.Put(lastFirst))
            return LegacyResult::OutputOverflow;
        while (depth > 0) {
            if (!output.Put(stack[--depth]))
                return LegacyResult::OutputOverflow;
        }
        return LegacyResult::Ok;
    }
};

} // namespace

LegacyResult Unshrink(LegacyBitReader& input, LegacyOutputWindow& output) {
    auto state = std::make_unique<ShrinkState>();
    ShrinkState& s = *state;

    const std::uint32_t first = input.Bits(kFirstWidth);
    if (input.Exhausted())
        return LegacyResult::Ok;
    if (first >= kControlCode)
        return LegacyResult::MalformedStream;
    s.previous = first;
    s.lastFirst = static_cast<std::uint8_t>(first);
    if (!output.Put(s.lastFirst))
        return LegacyResult::OutputOverflow;

    for (;;) {
        std::uint32_t code = input.Bits(s.width);
        while (code == kControlCode && !input.Exhausted()) {
            const std::uint32_t control = input.Bits(s.width);
            if (control == kWiden) {
                if (++s.width > kMaxWidth)
                    return LegacyResult::MalformedStream;
            } else if (control == kPartialClear) {
                s.PartialClear();
            }
            code = input.Bits(s.width);
        }
        if (input.Exhausted())
            return LegacyResult::Ok;

        const LegacyResult emitted = s.Emit(code, output);
        if (emitted != LegacyResult::Ok)
            return emitted;
        if (s.nextFree < kCodeCount) {
            s.prefix[s.nextFree] = static_cast<std::int16_t>(s.previous);
            s.suffix[s.nextFree] = s.lastFirst;
            s.AdvanceNextFree();
        }
        s.previous = code;
    }
}

} // namespace ks::archive
