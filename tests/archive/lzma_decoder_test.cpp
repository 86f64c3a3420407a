// LZMA (method 14) members written by 7z and Python's zipfile, fed to the decoder in small
// steps, and damaged copies of them: each kind of damage ends in its own result.
#include "archive/lzma_decoder.h"
#include "tests/archive/legacy_test_support.h"

#include <functional>
#include <ostream>

namespace ks::archive {
inline void PrintTo(LzmaResult result, std::ostream* os) {
    static const char* const names[] = {"NeedInput", "WindowFull",     "Finished",
                                        "BadHeader", "WindowTooLarge", "Malformed",
                                        "Truncated", "OutputOverflow"};
    *os << names[static_cast<int>(result)];
}
} // namespace ks::archive

namespace {

using namespace kstest::legacy;
using ks::archive::LzmaDecoder;
using ks::archive::LzmaResult;

struct Outcome {
    LzmaResult result = LzmaResult::NeedInput;
    Bytes output;
};

// Gives the decoder at most `step` bytes per call and drains its window after every call.
Outcome DecodeInSteps(const Bytes& stream, std::uint64_t size, bool endMarker, std::size_t step) {
    LzmaDecoder decoder(size, endMarker);
    Outcome outcome;
    std::size_t offset = 0;
    for (;;) {
        const std::size_t n = std::min(step, stream.size() - offset);
        const std::uint8_t* next = stream.data() + offset;
        const std::uint8_t* end = next + n;
        const bool ended = offset + n == stream.size();
        do {
            outcome.result = decoder.Decode(next, end, ended);
            std::size_t pending = 0;
            const std::uint8_t* data = decoder.Pending(pending);
            outcome.output.insert(outcome.output.end(), data, data + pending);
            decoder.Drained();
        } while (outcome.result == LzmaResult::WindowFull);
        offset = static_cast<std::size_t>(next - stream.data());
        if (outcome.result != LzmaResult::NeedInput || ended)
            return outcome;
    }
}

// 7z's far.bin and text.txt use a 4 KiB dictionary, so their matches reach across the wrap of
// the window, and period.bin's read the bytes just past the write position; random.bin does
// not compress; lp2 has lc=0, lp=2, pb=0.
const RealMember kRealStreams[] = {
    {"ks_lzma_7z_eos.zip", "far.bin"},
    {"ks_lzma_7z_eos.zip", "text.txt"},
    {"ks_lzma_7z_noeos.zip", "far.bin"},
    {"ks_lzma_7z_noeos.zip", "text.txt"},
    {"ks_lzma_7z_lp2.zip", "far.bin"},
    {"ks_lzma_7z_lp2.zip", "text.txt"},
    {"ks_lzma_7z_wrap.zip", "period.bin"},
    {"ks_lzma_python.zip", "empty.txt"},
    {"ks_lzma_python.zip", "one.bin"},
    {"ks_lzma_python.zip", "text.txt"},
    {"ks_lzma_python.zip", "random.bin"},
    {"ks_lzma_python.zip", "far.bin"},
    {"la_test_read_format_zip_lzma_multi.zipx", "smartd.conf"},
    {"la_test_read_format_zip_lzma_stream_end.zipx", "vimrc"},
};

class LzmaRealStream : public ::testing::TestWithParam<RealMember> {};

TEST_P(LzmaRealStream, DecodesToItsCrcInAnySteps) {
    const StoredMember m = Load(GetParam());
    ASSERT_EQ(m.method, 14);
    for (std::size_t step : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
        const Outcome outcome = DecodeInSteps(m.data, m.size, (m.flags & 2) != 0, step);
        EXPECT_EQ(outcome.result, LzmaResult::Finished) << "step " << step;
        EXPECT_EQ(outcome.output.size(), m.size) << "step " << step;
        EXPECT_EQ(Crc32(outcome.output), m.crc) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, LzmaRealStream, ::testing::ValuesIn(kRealStreams));

struct Damage {
    const char* name;
    const char* archive; // member text.txt, far.bin for the dictionary case
    std::function<void(Bytes& stream, std::uint64_t& size)> apply;
    LzmaResult result;
};

std::ostream& operator<<(std::ostream& os, const Damage& d) {
    return os << d.name;
}

const char* const kEos = "ks_lzma_python.zip";
const char* const kNoEos = "ks_lzma_7z_noeos.zip";

const Damage kDamages[] = {
    {"PropertySizeNotFive", kEos, [](Bytes& s, std::uint64_t&) { s[2] = 4; },
     LzmaResult::BadHeader},
    {"PropertiesByteOutOfRange", kEos, [](Bytes& s, std::uint64_t&) { s[4] = 225; },
     LzmaResult::BadHeader},
    {"DictionaryAboveLimit", kEos,
     [](Bytes& s, std::uint64_t& size) {
         s[8] = 0x40;
         size = std::uint64_t{1} << 31;
     },
     LzmaResult::WindowTooLarge},
    {"FirstRangeByteNotZero", kEos, [](Bytes& s, std::uint64_t&) { s[9] = 1; },
     LzmaResult::Malformed},
    {"HeaderCut", kEos, [](Bytes& s, std::uint64_t&) { s.resize(6); }, LzmaResult::Truncated},
    {"StreamCut", kEos, [](Bytes& s, std::uint64_t&) { s.resize(s.size() / 2); },
     LzmaResult::Truncated},
    {"DistanceBeforeFirstByte", kEos, [](Bytes& s, std::uint64_t&) { s[40] ^= 0x80; },
     LzmaResult::Malformed},
    {"EndMarkerBeforeDeclaredSize", kEos, [](Bytes&, std::uint64_t& size) { ++size; },
     LzmaResult::Malformed},
    {"DataPastDeclaredSize", kEos, [](Bytes&, std::uint64_t& size) { --size; },
     LzmaResult::OutputOverflow},
    {"MatchPastDeclaredSize", kNoEos, [](Bytes&, std::uint64_t& size) { size -= 3; },
     LzmaResult::OutputOverflow},
    {"EndMarkerNotClean", kEos, [](Bytes& s, std::uint64_t&) { s.back() ^= 1; },
     LzmaResult::Malformed},
};

class LzmaDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(LzmaDamage, FailsWithItsResult) {
    const Damage& d = GetParam();
    StoredMember m = Load({d.archive, "text.txt"});
    const bool endMarker = (m.flags & 2) != 0;
    d.apply(m.data, m.size);
    for (std::size_t step : {std::size_t{1}, std::size_t{4096}}) {
        const Outcome outcome = DecodeInSteps(m.data, m.size, endMarker, step);
        EXPECT_EQ(outcome.result, d.result) << "step " << step;
        EXPECT_LE(outcome.output.size(), m.size) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, LzmaDamage, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

// Any flipped byte ends in a result, never past the declared size (the sanitizer run watches
// the memory side).
TEST(LzmaDamage, FlippedBytesStayInBounds) {
    const StoredMember m = Load({"ks_lzma_7z_eos.zip", "far.bin"});
    for (std::size_t at = 9; at < m.data.size(); at += 5) {
        Bytes stream = m.data;
        stream[at] ^= static_cast<std::uint8_t>(at | 1);
        const Outcome outcome = DecodeInSteps(stream, m.size, true, 64);
        EXPECT_NE(outcome.result, LzmaResult::NeedInput) << at;
        EXPECT_LE(outcome.output.size(), m.size) << at;
    }
}

} // namespace
