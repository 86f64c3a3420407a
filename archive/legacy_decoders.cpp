// Entry point for members stored with methods 1 to 6: sets up the bit reader and the output
// window, runs the method's decoder and hands on whatever was decoded.
#include "archive/legacy_decoders.h"

#include "archive/legacy_methods.h"

namespace ks::archive {
namespace {

constexpr std::uint16_t kImplodeBigDictionary = 0x0002;
constexpr std::uint16_t kImplodeThreeTrees = 0x0004;

LegacyResult RunMethod(int method, std::uint16_t generalFlags, LegacyBitReader& input,
                       LegacyOutputWindow& output) {
    switch (method) {
    case 1:
        return Unshrink(input, output);
    case 2:
    case 3:
    case 4:
    case 5:
        return Unreduce(method - 1, input, output);
    case 6:
        return Explode((generalFlags & kImplodeBigDictionary) != 0,
                       (generalFlags & kImplodeThreeTrees) != 0, input, output);
    default:
        return LegacyResult::UnsupportedMethod;
    }
}

} // namespace

LegacyResult DecodeLegacyMember(int method, std::uint16_t generalFlags,
                                std::uint64_t uncompressedSize, const LegacyInput& input,
                                const LegacyOutput& output) {
    if (method < 1 || method > 6)
        return LegacyResult::UnsupportedMethod;
    auto reader = std::make_unique<LegacyBitReader>(input);
    LegacyOutputWindow window(uncompressedSize, output);
    const LegacyResult result = RunMethod(method, generalFlags, *reader, window);
    window.Flush();
    return result;
}

} // namespace ks::archive
