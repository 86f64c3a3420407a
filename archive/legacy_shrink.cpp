// Method 1: LZW with codes growing from 9 to 13 bits, where code 256 announces a control code
// (1 widens the codes, 2 frees every code that is no other code's prefix).
#include "archive/legacy_methods.h"

#include <algorithm>
#include <memory>

namespace ks::archive {
namespace {

constexpr unsigned kCodeCount = 8192;
constexpr unsigned kControlCode = 256;
constexpr unsigned kFirstDefinable = 257;
constexpr unsigned kFirstWidth = 9;
constexpr unsigned kMaxWidth = 13;
constexpr unsigned kStackSize = kCodeCount + 1;
// A free code's prefix: the control code, which no string can have as its prefix, so the
// string walk stops on it without a separate test.
constexpr std::uint16_t kFree = kControlCode;

enum Control : std::uint32_t { kWiden = 1, kPartialClear = 2 };

struct ShrinkState {
    std::uint16_t prefix[kCodeCount];
    std::uint8_t suffix[kCodeCount];
    // Length of the code's string when it was defined: lets the string be written straight
    // into the output back to front. Only a hint; the walk checks it.
    std::uint16_t length[kCodeCount];
    bool isPrefix[kCodeCount];
    std::uint8_t stack[kStackSize + 1]; // the string plus its first byte
    unsigned width = kFirstWidth;
    unsigned nextFree = kFirstDefinable;

    // The previous code, its string's first byte and length.
    unsigned previous = 0;
    std::uint8_t lastFirst = 0;
    std::size_t previousLength = 0;

    ShrinkState() {
        for (unsigned code = 0; code < kCodeCount; ++code) {
            prefix[code] = code < kControlCode ? 0 : kFree;
            suffix[code] = static_cast<std::uint8_t>(code);
            length[code] = 1;
        }
        prefix[kControlCode] = 0;
    }

    bool IsFree(unsigned code) const { return code > kControlCode && prefix[code] == kFree; }

    void AdvanceNextFree() {
        while (nextFree < kCodeCount && !IsFree(nextFree))
            ++nextFree;
    }

    void PartialClear() {
        for (unsigned code = kFirstDefinable; code < nextFree; ++code)
            isPrefix[code] = false;
        for (unsigned code = kFirstDefinable; code < nextFree; ++code) {
            const unsigned parent = prefix[code];
            if (parent >= kFirstDefinable && parent < nextFree)
                isPrefix[parent] = true;
        }
        for (unsigned code = kFirstDefinable; code < nextFree; ++code) {
            if (!isPrefix[code])
                prefix[code] = kFree;
        }
        nextFree = kFirstDefinable;
        AdvanceNextFree();
    }

    // Writes the string of `code` back to front into `to`, when the code's recorded length
    // fits in `room` and the walk meets no free code; returns the bytes written or 0.
    std::size_t EmitDirect(unsigned code, std::uint8_t* to, std::size_t room) const {
        const std::size_t size = length[code];
        if (code <= kControlCode || size > room)
            return 0;
        std::uint8_t* p = to + size;
        while (code > kControlCode) {
            if (p == to + 1)
                return 0;
            *--p = suffix[code];
            code = prefix[code];
        }
        if (code == kFree || p != to + 1)
            return 0;
        *to = static_cast<std::uint8_t>(code);
        return size;
    }

    // Builds the string of `code` at the end of the stack, following every rule: a free code
    // stands for the string being defined right now. Returns its start, or nullptr when the
    // walk loops beyond the stack.
    const std::uint8_t* EmitToStack(unsigned code) {
        std::uint8_t* p = StackEnd();
        for (;;) {
            while (code > kControlCode) {
                if (p == stack + 1)
                    return nullptr;
                *--p = suffix[code];
                code = prefix[code];
            }
            if (code != kFree)
                break;
            // The last code walked was free: in its place goes the previous string's first
            // byte, and the walk goes on with the previous code.
            *p = lastFirst;
            code = previous;
        }
        *--p = static_cast<std::uint8_t>(code);
        return p;
    }
    std::uint8_t* StackEnd() { return stack + kStackSize + 1; }

    // Defines the next free code as the previous string plus the first byte of the string of
    // `code` just written, then makes `code` the previous one.
    void Define(unsigned code, std::uint8_t firstByte, std::size_t size) {
        if (nextFree < kCodeCount) {
            prefix[nextFree] = static_cast<std::uint16_t>(previous);
            suffix[nextFree] = firstByte;
            length[nextFree] =
                static_cast<std::uint16_t>(previousLength < 0xFFFF ? previousLength + 1 : 0xFFFF);
            AdvanceNextFree();
        }
        previous = code;
        lastFirst = firstByte;
        previousLength = size;
    }

    // The careful way: any code, through the window's checked writes.
    LegacyResult Emit(unsigned code, LegacyOutputWindow& output) {
        const std::uint8_t* p = EmitToStack(code);
        if (p == nullptr)
            return LegacyResult::MalformedStream;
        const auto size = static_cast<std::size_t>(StackEnd() - p);
        if (!output.Write(p, size))
            return LegacyResult::OutputOverflow;
        Define(code, *p, size);
        return LegacyResult::Ok;
    }
};

// Codes without control codes, while the current input block holds enough bytes for one and
// the string fits in the current output block; stops before a control code or a string that
// does not fit, without consuming it, so the careful loop handles that one.
LegacyResult FastLoop(ShrinkState& s, LegacyBitReader& reader, LegacyOutputWindow& window) {
    LegacyBitReader::Burst input(reader);
    LegacyOutputWindow::Burst output(window);
    while (input.Refill()) {
        const std::uint32_t code = input.Peek(s.width);
        if (code == kControlCode)
            break;
        std::uint8_t* to = output.Cursor();
        std::size_t size;
        if (code < kControlCode && output.Room() > 0) {
            *to = static_cast<std::uint8_t>(code);
            size = 1;
        } else if ((size = s.EmitDirect(code, to, output.Room())) == 0) {
            const std::uint8_t* p = s.EmitToStack(code);
            if (p == nullptr)
                return LegacyResult::MalformedStream;
            size = static_cast<std::size_t>(s.StackEnd() - p);
            if (size > output.Room())
                break;
            std::copy(p, p + size, to);
        }
        input.Drop(s.width);
        output.Advance(size);
        s.Define(code, *to, size);
    }
    return LegacyResult::Ok;
}

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
    s.previousLength = 1;
    if (!output.Put(s.lastFirst))
        return LegacyResult::OutputOverflow;

    for (;;) {
        const LegacyResult fast = FastLoop(s, input, output);
        if (fast != LegacyResult::Ok)
            return fast;

        // One code with every check: control codes, or the end of an input block.
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
    }
}

} // namespace ks::archive
