// Method 6: LZ77 with a 4 KiB or 8 KiB dictionary; literals are plain bytes or come from a
// Shannon-Fano tree, match lengths and the high distance bits always do.
#include "archive/legacy_methods.h"
#include "archive/legacy_shannon_fano.h"

#include <memory>

namespace ks::archive {
namespace {

constexpr unsigned kLiteralValues = 256;
constexpr unsigned kLengthValues = 64;
constexpr unsigned kDistanceValues = 64;
constexpr int kLongLength = 63; // takes one more byte of length

struct ImplodeState {
    ShannonFanoTree literals;
    ShannonFanoTree lengths;
    ShannonFanoTree distances;
};

// Ok, or the reason to give up: InputEnded stops quietly, TooManyValues is malformed.
ShannonFanoTree::ReadResult ReadTrees(ImplodeState& s, bool threeTrees, LegacyBitReader& input) {
    using Read = ShannonFanoTree::ReadResult;
    Read result = Read::Ok;
    if (threeTrees)
        result = s.literals.Read(input, kLiteralValues);
    if (result == Read::Ok)
        result = s.lengths.Read(input, kLengthValues);
    if (result == Read::Ok)
        result = s.distances.Read(input, kDistanceValues);
    return result;
}

// Decodes symbols while a whole symbol's bits are in the current input block and the longest
// match fits in the current output block; returns true on a code that matches nothing.
bool FastLoop(const ImplodeState& s, bool threeTrees, unsigned lowDistanceBits,
              std::uint32_t minMatch, LegacyBitReader& reader, LegacyOutputWindow& window) {
    static_assert(1 + 7 + 2 * ShannonFanoTree::kMaxBits + 8 <=
                  LegacyBitReader::Burst::kGuaranteedBits);
    constexpr std::uint32_t kLongestMatch = kLongLength + 255 + 3;
    LegacyBitReader::Burst input(reader);
    LegacyOutputWindow::Burst output(window);
    while (output.Room() >= kLongestMatch && input.Refill()) {
        if (input.Bits(1) != 0) {
            const int literal =
                threeTrees ? s.literals.Decode(input) : static_cast<int>(input.Bits(8));
            if (literal < 0)
                return true;
            output.Put(static_cast<std::uint8_t>(literal));
            continue;
        }
        const std::uint32_t low = input.Bits(lowDistanceBits);
        const int high = s.distances.Decode(input);
        int length = s.lengths.Decode(input);
        if (high < 0 || length < 0)
            return true;
        if (length == kLongLength)
            length += static_cast<int>(input.Bits(8));
        output.Copy((static_cast<std::uint32_t>(high) << lowDistanceBits) + low + 1,
                    static_cast<std::uint32_t>(length) + minMatch);
    }
    return false;
}

} // namespace

LegacyResult Explode(bool bigDictionary, bool threeTrees, LegacyBitReader& input,
                     LegacyOutputWindow& output) {
    auto state = std::make_unique<ImplodeState>();
    ImplodeState& s = *state;
    switch (ReadTrees(s, threeTrees, input)) {
    case ShannonFanoTree::ReadResult::Ok:
        break;
    case ShannonFanoTree::ReadResult::InputEnded:
        return LegacyResult::Ok;
    case ShannonFanoTree::ReadResult::TooManyValues:
        return LegacyResult::MalformedStream;
    }

    const unsigned lowDistanceBits = bigDictionary ? 7 : 6;
    const std::uint32_t minMatch = threeTrees ? 3 : 2;
    // Both the stream ending and a code that matches nothing end the loop; only the latter
    // is an error.
    auto failed = [&input](int value) { return value < 0 && !input.Exhausted(); };

    while (!input.Exhausted() && !output.AtLimit()) {
        if (FastLoop(s, threeTrees, lowDistanceBits, minMatch, input, output))
            return LegacyResult::MalformedStream;
        if (output.AtLimit())
            break;

        // One symbol with every check: near the end of an input block, an output block or the
        // declared size.
        if (input.Bits(1) != 0) {
            const int literal =
                threeTrees ? s.literals.Decode(input) : static_cast<int>(input.Bits(8));
            if (failed(literal))
                return LegacyResult::MalformedStream;
            if (input.Exhausted())
                break;
            output.Put(static_cast<std::uint8_t>(literal));
            continue;
        }
        const std::uint32_t low = input.Bits(lowDistanceBits);
        const int high = s.distances.Decode(input);
        if (failed(high))
            return LegacyResult::MalformedStream;
        int length = s.lengths.Decode(input);
        if (failed(length))
            return LegacyResult::MalformedStream;
        if (length == kLongLength)
            length += static_cast<int>(input.Bits(8));
        if (input.Exhausted())
            break;
        const std::uint32_t distance =
            (static_cast<std::uint32_t>(high) << lowDistanceBits) + low + 1;
        if (!output.Copy(distance, static_cast<std::uint32_t>(length) + minMatch))
            return LegacyResult::OutputOverflow;
    }
    return LegacyResult::Ok;
}

} // namespace ks::archive
