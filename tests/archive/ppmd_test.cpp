// PPMd (method 98) members written by 7z and another tool, fed to the decoder in small steps,
// and damaged copies of them: each kind of damage ends in its own result.
#include "archive/archive_error.h"
#include "archive/ppmd_decoder.h"
#include "tests/archive/legacy_test_support.h"
#include "tests/archive/reader_support.h"

#include <functional>
#include <ostream>

namespace ks::archive {
inline void PrintTo(PpmdResult result, std::ostream* os) {
    static const char* const names[] = {
        "Ok",          "BadOrder",  "BadRestoreMethod", "MemoryTooLarge",
        "OutOfMemory", "Truncated", "Malformed"};
    *os << names[static_cast<int>(result)];
}
} // namespace ks::archive

namespace {

using namespace kstest::legacy;
using ks::archive::PpmdResult;

// Gives the decoder at most `step` bytes per read.
StepOutcome<PpmdResult> DecodeInSteps(const Bytes& stream, std::uint64_t size, std::size_t step) {
    std::size_t offset = 0;
    const ks::archive::PpmdReader reader = [&](std::uint8_t* buffer, std::size_t capacity) {
        const std::size_t n = std::min({capacity, step, stream.size() - offset});
        std::copy_n(stream.begin() + static_cast<long>(offset), n, buffer);
        offset += n;
        return n;
    };
    VectorSink sink;
    const PpmdResult result = ks::archive::DecodePpmdStream(reader, sink, size);
    return {result, sink.bytes};
}

// Orders 2 to 16, models of 1, 2 and 16 MB; big.txt fills a 1 MB model several times, so
// the model restarts (method 0) or is cut down (method 1); the members of ks_ppmd_cut.zip end
// inside longer streams (empty, one byte, random bytes).
const RealMember kRealStreams[] = {
    {"ks_ppmd_7z_o2.zip", "text.txt"},
    {"ks_ppmd_7z_o6.zip", "far.bin"},
    {"ks_ppmd_7z_o6.zip", "random-then-zeros.bin"},
    {"ks_ppmd_7z_o12_16m.zip", "big.txt"},
    {"ks_ppmd_7z_o16_restart.zip", "big.txt"},
    {"ks_ppmd_7z_o16_cutoff.zip", "big.txt"},
    {"ks_ppmd_7z_o16_cutoff.zip", "far.bin"},
    {"ks_ppmd_cut.zip", "empty"},
    {"ks_ppmd_cut.zip", "one"},
    {"ks_ppmd_cut.zip", "incompressible.bin"},
    {"la_test_read_format_zip_ppmd8_multi.zipx", "smartd.conf"},
};

class PpmdRealStream : public ::testing::TestWithParam<RealMember> {};

TEST_P(PpmdRealStream, DecodesToItsCrcInAnySteps) {
    const StoredMember m = Load(GetParam());
    ASSERT_EQ(m.method, 98);
    for (std::size_t step : {std::size_t{1}, std::size_t{1} << 16}) {
        const StepOutcome<PpmdResult> outcome = DecodeInSteps(m.data, m.size, step);
        EXPECT_EQ(outcome.status, PpmdResult::Ok) << "step " << step;
        EXPECT_EQ(outcome.output.size(), m.size) << "step " << step;
        EXPECT_EQ(Crc32(outcome.output), m.crc) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, PpmdRealStream, ::testing::ValuesIn(kRealStreams));

struct Damage {
    const char* name;
    std::function<void(Bytes& stream, std::uint64_t& size)> apply;
    PpmdResult result;
};

std::ostream& operator<<(std::ostream& os, const Damage& d) {
    return os << d.name;
}

// The properties word: order - 1 in bits 0-3, memory MB - 1 in bits 4-11, restore in 12-15.
void SetWord(Bytes& s, unsigned word) {
    s[0] = static_cast<std::uint8_t>(word);
    s[1] = static_cast<std::uint8_t>(word >> 8);
}

const Damage kDamages[] = {
    {"OrderOne", [](Bytes& s, std::uint64_t&) { SetWord(s, 0x0000); }, PpmdResult::BadOrder},
    {"RestoreFreeze", [](Bytes& s, std::uint64_t&) { SetWord(s, 0x2001); },
     PpmdResult::BadRestoreMethod},
    {"MemoryAboveLimit", [](Bytes& s, std::uint64_t&) { SetWord(s, 192 << 4 | 1); },
     PpmdResult::MemoryTooLarge},
    {"HeaderCut", [](Bytes& s, std::uint64_t&) { s.resize(1); }, PpmdResult::Truncated},
    {"StreamCut", [](Bytes& s, std::uint64_t&) { s.resize(s.size() / 2); }, PpmdResult::Truncated},
    {"CodeAllOnes", [](Bytes& s, std::uint64_t&) { std::fill_n(s.begin() + 2, 4, 0xFF); },
     PpmdResult::Malformed},
    {"EndMarkBeforeDeclaredSize", [](Bytes&, std::uint64_t& size) { ++size; },
     PpmdResult::Malformed},
};

class PpmdDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(PpmdDamage, FailsWithItsResult) {
    const Damage& d = GetParam();
    StoredMember m = Load({"ks_ppmd_7z_o2.zip", "text.txt"});
    d.apply(m.data, m.size);
    for (std::size_t step : {std::size_t{1}, std::size_t{4096}}) {
        const StepOutcome<PpmdResult> outcome = DecodeInSteps(m.data, m.size, step);
        EXPECT_EQ(outcome.status, d.result) << "step " << step;
        EXPECT_LE(outcome.output.size(), m.size) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, PpmdDamage, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

// A flipped byte never goes unnoticed and never writes past the declared size (the sanitizer
// run watches the memory side).
TEST(PpmdDamage, FlippedBytesFailOrMissTheCrc) {
    const StoredMember m = Load({"ks_ppmd_7z_o6.zip", "far.bin"});
    // The last bytes only finish the end mark, which the declared size never reaches.
    for (std::size_t at = 6; at + 8 < m.data.size(); at += 97) {
        Bytes stream = m.data;
        stream[at] ^= static_cast<std::uint8_t>(at | 1);
        const StepOutcome<PpmdResult> outcome = DecodeInSteps(stream, m.size, 512);
        EXPECT_LE(outcome.output.size(), m.size) << at;
        EXPECT_TRUE(outcome.status != PpmdResult::Ok || Crc32(outcome.output) != m.crc) << at;
    }
}

// The member fails with a message that names the limit.
TEST(PpmdMember, MemoryAboveTheLimitFailsClearly) {
    std::string stream(8, '\0');
    stream[0] = 0x85; // order 6, 201 MB
    stream[1] = 0x0C;
    kstest::zip::MemorySource source(stream);
    ks::archive::DataWindow input(source, 0, stream.size());
    VectorSink sink;
    try {
        ks::archive::DecodePpmd(input, sink, 10);
        ADD_FAILURE() << "decoded";
    } catch (const ks::archive::DecoderError& error) {
        EXPECT_STREQ(error.what(), "PPMd error: model memory of 201 MB above the 192 MB limit");
    }
}

} // namespace
