// Methods 2 to 5: bytes coded against per-byte follower sets, then an escape-144 run-length
// layer whose length/distance split depends on the compression factor (1 to 4).
#include "archive/legacy_methods.h"

#include <memory>

namespace ks::archive {
namespace {

constexpr unsigned kMaxFollowers = 32;
constexpr std::uint8_t kEscape = 144;
constexpr std::uint32_t kMinMatch = 3;

// Bits needed for a follower index in a set of n: enough to write n - 1, at least 1.
constexpr std::uint8_t IndexWidth(unsigned n) {
    unsigned width = 1;
    while ((1u << width) < n)
        ++width;
    return static_cast<std::uint8_t>(width);
}

struct ReduceState {
    enum class Mode { Literal, Escaped, ExtraLength, Distance };

    std::uint8_t followers[256][kMaxFollowers] = {};
    std::uint8_t followerCount[256] = {};
    std::uint8_t indexWidth[256] = {};
    std::uint8_t last = 0; // the byte before, which selects the follower set
    Mode mode = Mode::Literal;
    std::uint8_t lengthByte = 0; // the byte after the escape that started the match
    std::uint32_t length = 0;
    std::uint32_t lengthMask = 0;
    unsigned highShift = 0;
    std::uint32_t highMask = 0;

    explicit ReduceState(int factor)
        : lengthMask(0xFFu >> factor), highShift(8 - static_cast<unsigned>(factor)),
          highMask((1u << factor) - 1u) {}

    bool ReadFollowerSets(LegacyBitReader& input) {
        for (int value = 255; value >= 0; --value) {
            const unsigned count = input.Bits(6);
            if (input.Exhausted())
                return true;
            if (count > kMaxFollowers)
                return false;
            followerCount[value] = static_cast<std::uint8_t>(count);
            indexWidth[value] = IndexWidth(count);
            for (unsigned i = 0; i < count; ++i)
                followers[value][i] = static_cast<std::uint8_t>(input.Bits(8));
        }
        return true;
    }

    // The next byte of the follower layer, or -1 for an index beyond the set. Past the end
    // of the input the value is meaningless; the caller checks.
    template <class BitSource> int NextByte(BitSource& input) {
        const unsigned count = followerCount[last];
        if (count == 0 || input.Bits(1) != 0)
            return static_cast<int>(input.Bits(8));
        const std::uint32_t index = input.Bits(indexWidth[last]);
        return index < count ? followers[last][index] : -1;
    }

    // Runs the escape layer on one byte; Copy is only called for a complete match.
    template <class Output> bool Escape(std::uint8_t byte, Output& output) {
        switch (mode) {
        case Mode::Literal:
            if (byte == kEscape)
                mode = Mode::Escaped;
            else
                output.Put(byte);
            return true;
        case Mode::Escaped:
            if (byte == 0) {
                output.Put(kEscape);
                mode = Mode::Literal;
                return true;
            }
            lengthByte = byte;
            length = byte & lengthMask;
            mode = length == lengthMask ? Mode::ExtraLength : Mode::Distance;
            return true;
        case Mode::ExtraLength:
            length += byte;
            mode = Mode::Distance;
            return true;
        case Mode::Distance:
            mode = Mode::Literal;
            return CopyMatch(output, ((lengthByte >> highShift) & highMask) * 256 + byte + 1,
                             length + kMinMatch);
        }
        return true;
    }

private:
    static bool CopyMatch(LegacyOutputWindow& output, std::uint32_t distance, std::uint32_t size) {
        return output.Copy(distance, size);
    }
    static bool CopyMatch(LegacyOutputWindow::Burst& output, std::uint32_t distance,
                          std::uint32_t size) {
        output.Copy(distance, size);
        return true;
    }
};

// Bytes while the current input block holds enough bits for one and the longest match fits
// in the current output block; returns false on an index beyond its set.
bool FastLoop(ReduceState& s, LegacyBitReader& reader, LegacyOutputWindow& window) {
    constexpr std::uint32_t kLongestMatch = 0x7F + 255 + kMinMatch;
    LegacyBitReader::Burst input(reader);
    LegacyOutputWindow::Burst output(window);
    while (output.Room() >= kLongestMatch && input.Refill()) {
        const int byte = s.NextByte(input);
        if (byte < 0)
            return false;
        s.last = static_cast<std::uint8_t>(byte);
        s.Escape(s.last, output);
    }
    return true;
}

} // namespace

LegacyResult Unreduce(int factor, LegacyBitReader& input, LegacyOutputWindow& output) {
    if (factor < 1 || factor > 4)
        return LegacyResult::UnsupportedMethod;
    auto state = std::make_unique<ReduceState>(factor);
    ReduceState& s = *state;
    if (!s.ReadFollowerSets(input))
        return LegacyResult::MalformedStream;

    while (!input.Exhausted() && !output.AtLimit()) {
        if (!FastLoop(s, input, output))
            return LegacyResult::MalformedStream;
        if (output.AtLimit())
            break;
        // One byte with every check: near the end of a block or of the declared size.
        const int byte = s.NextByte(input);
        if (input.Exhausted())
            break;
        if (byte < 0)
            return LegacyResult::MalformedStream;
        s.last = static_cast<std::uint8_t>(byte);
        if (!s.Escape(s.last, output))
            return LegacyResult::OutputOverflow;
    }
    return LegacyResult::Ok;
}

} // namespace ks::archive
