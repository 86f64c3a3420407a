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
    Mode mode = Mode::Literal;
    std::uint8_t lengthByte = 0; // the byte after the escape that started the match
    std::uint32_t length = 0;

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
};

} // namespace

LegacyResult Unreduce(int factor, LegacyBitReader& input, LegacyOutputWindow& output) {
    if (factor < 1 || factor > 4)
        return LegacyResult::UnsupportedMethod;
    using Mode = ReduceState::Mode;
    auto state = std::make_unique<ReduceState>();
    ReduceState& s = *state;
    if (!s.ReadFollowerSets(input))
        return LegacyResult::MalformedStream;

    const std::uint32_t lengthMask = 0xFFu >> factor;
    const unsigned highShift = 8 - static_cast<unsigned>(factor);
    std::uint8_t last = 0;
    while (!input.Exhausted() && !output.AtLimit()) {
        const unsigned count = s.followerCount[last];
        std::uint8_t byte;
        if (count == 0 || input.Bits(1) != 0) {
            byte = static_cast<std::uint8_t>(input.Bits(8));
        } else {
            const std::uint32_t index = input.Bits(s.indexWidth[last]);
            if (input.Exhausted())
                break;
            if (index >= count)
                return LegacyResult::MalformedStream;
            byte = s.followers[last][index];
        }
        if (input.Exhausted())
            break;
        last = byte;

        switch (s.mode) {
        case Mode::Literal:
            if (byte == kEscape)
                s.mode = Mode::Escaped;
            else
                output.Put(byte);
            break;
        case Mode::Escaped:
            if (byte == 0) {
                output.Put(kEscape);
                s.mode = Mode::Literal;
                break;
            }
            s.lengthByte = byte;
            s.length = byte & lengthMask;
            s.mode = s.length == lengthMask ? Mode::ExtraLength : Mode::Distance;
            break;
        case Mode::ExtraLength:
            s.length += byte;
            s.mode = Mode::Distance;
            break;
        case Mode::Distance: {
            const std::uint32_t high = (s.lengthByte >> highShift) & ((1u << factor) - 1u);
            const std::uint32_t distance = high * 256 + byte + 1;
            s.mode = Mode::Literal;
            if (!output.Copy(distance, s.length + kMinMatch))
                return LegacyResult::OutputOverflow;
            break;
        }
        }
    }
    return LegacyResult::Ok;
}

} // namespace ks::archive
