// bzip2 pulled in pieces of every size: real members decode to their CRC-32, and a hand-made
// one-byte stream, broken one field at a time, fails for each fault class without crashing.
#include "archive/bzip2_decoder.h"
#include "tests/archive/legacy_test_support.h"

#include <functional>

namespace {

using namespace kstest::legacy;
using ks::archive::Bzip2Result;

using Unpacked = StepOutcome<Bzip2Result>;

Unpacked BunzipWith(std::vector<std::uint32_t>& workspace, const Bytes& input, std::uint64_t limit,
                    std::size_t step) {
    std::size_t at = 0;
    VectorSink sink;
    const auto outcome = ks::archive::DecodeBzip2Stream(
        [&](std::uint8_t* buffer, std::size_t size) {
            const std::size_t n = std::min({size, step, input.size() - at});
            std::copy_n(input.begin() + static_cast<long>(at), n, buffer);
            at += n;
            return n;
        },
        sink, limit, workspace);
    return {outcome.result, sink.bytes};
}

Unpacked Bunzip(const Bytes& input, std::uint64_t limit, std::size_t step) {
    std::vector<std::uint32_t> workspace;
    return BunzipWith(workspace, input, limit, step);
}

const RealMember kRealMembers[] = {
    {"ks_bzip2-7z.zip", "words.txt"},
    {"ks_bzip2-7z.zip", "runs.bin"},
    {"ks_bzip2-7z.zip", "zeros.bin"},
    {"ks_bzip2-python.zip", "one"},
    {"ks_bzip2-python.zip", "incompressible.bin"},
    {"ks_bzip2-python.zip", "two-streams"},
    {"cc_bzip2-zip.zip", "lots-of-as"},
    {"la_test_read_format_zip_bzip2_multi.zipx", "smartd.conf"},
};

class Bzip2Member : public ::testing::TestWithParam<RealMember> {};

// Regression: a declared size below the real one stops the output there; a cut-off stream
// or a flipped bit fails.
TEST_P(Bzip2Member, DecodesInPiecesAndFailsWhenDamaged) {
    ExpectDecodesInPiecesWithinBounds(GetParam(), 12, Bunzip, {1, 7, 65536}, Bzip2Result::Ok,
                                      Bzip2Result::OutputOverflow, Bzip2Result::Malformed);
    const StoredMember m = Load(GetParam());
    Bytes flipped = m.data;
    flipped[flipped.size() / 2] ^= 0x10;
    const Unpacked damaged = Bunzip(flipped, m.size, 65536);
    EXPECT_NE(damaged.status, Bzip2Result::Ok);
    EXPECT_LE(damaged.output.size(), m.size);
}

INSTANTIATE_TEST_SUITE_P(Archives, Bzip2Member, ::testing::ValuesIn(kRealMembers));

// Members of one archive share the block tables: nothing of one member's blocks, whole or
// damaged, may leak into the next.
TEST(Bzip2Workspace, SharedAcrossMembers) {
    std::vector<std::uint32_t> workspace;
    for (int pass = 0; pass < 2; ++pass) {
        for (const RealMember& real : kRealMembers) {
            SCOPED_TRACE(real.member);
            const StoredMember m = Load(real);
            const Unpacked result = BunzipWith(workspace, m.data, m.size, 65536);
            EXPECT_EQ(result.status, Bzip2Result::Ok);
            EXPECT_EQ(Crc32(result.output), m.crc);
            Bytes damaged = m.data;
            damaged[damaged.size() * 2 / 3] ^= 0x44;
            EXPECT_NE(BunzipWith(workspace, damaged, m.size, 65536).status, Bzip2Result::Ok);
        }
    }
}

// Most significant bit first, as the format packs its fields.
class MsbWriter {
public:
    MsbWriter& Put(std::uint64_t value, unsigned bits) {
        for (unsigned i = bits; i-- > 0;) {
            if (used_ == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1u)
                bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (0x80u >> used_));
            used_ = (used_ + 1) % 8;
        }
        return *this;
    }
    MsbWriter& Bits(const std::string& ones) {
        for (char c : ones)
            Put(c == '1', 1);
        return *this;
    }
    MsbWriter& Pad() {
        used_ = 0;
        return *this;
    }
    const Bytes& Data() const { return bytes_; }

private:
    Bytes bytes_;
    unsigned used_ = 0;
};

std::uint32_t BlockCrcOf(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= static_cast<std::uint32_t>(c) << 24;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return ~crc;
}

// The fields of a stream holding the one byte "a" in one block. The alphabet is RUNA, RUNB
// and end of block, coded 0, 10 and 11 in both tables; "a" is one run of the front byte.
struct OneByteStream {
    std::string header = "BZh1";
    std::uint64_t blockMagic = 0x314159265359;
    std::uint32_t blockCrc = BlockCrcOf("a");
    unsigned randomised = 0;
    std::uint32_t origin = 0;
    std::uint32_t ranges = 0x0200;  // bytes 0x60-0x6F
    std::uint32_t present = 0x4000; // 0x61
    unsigned tables = 2;
    unsigned selectors = 1;
    std::string selectorBits = "0";
    unsigned firstLength = 1;
    std::string lengthBits = "0"
                             "100"
                             "0"; // 1, 2, 2
    std::string symbols = "0"
                          "11";  // RUNA, end of block
    std::int64_t streamCrc = -1; // -1: the right one
    int copies = 1;              // streams one after the other

    Bytes Build() const {
        MsbWriter w;
        for (int i = 0; i < copies; ++i) {
            for (char c : header)
                w.Put(static_cast<unsigned char>(c), 8);
            w.Put(blockMagic, 48).Put(blockCrc, 32).Put(randomised, 1).Put(origin, 24);
            w.Put(ranges, 16).Put(present, 16).Put(tables, 3).Put(selectors, 15);
            w.Bits(selectorBits);
            for (unsigned t = 0; t < tables; ++t)
                w.Put(firstLength, 5).Bits(lengthBits);
            w.Bits(symbols);
            w.Put(0x177245385090, 48);
            w.Put(streamCrc >= 0 ? static_cast<std::uint32_t>(streamCrc) : blockCrc, 32).Pad();
        }
        return w.Data();
    }
};

struct CraftedCase {
    const char* name;
    std::function<void(OneByteStream&)> change;
    Bzip2Result result;
    const char* output;
};

std::ostream& operator<<(std::ostream& os, const CraftedCase& c) {
    return os << c.name;
}

const CraftedCase kCrafted[] = {
    {"Valid", [](OneByteStream&) {}, Bzip2Result::Ok, "a"},
    {"TwoStreams", [](OneByteStream& s) { s.copies = 2; }, Bzip2Result::Ok, "aa"},
    {"NotBzip2", [](OneByteStream& s) { s.header = "BZx1"; }, Bzip2Result::Malformed, ""},
    {"BlockSizeDigit", [](OneByteStream& s) { s.header = "BZh0"; }, Bzip2Result::Malformed, ""},
    {"BlockMagic", [](OneByteStream& s) { s.blockMagic ^= 1; }, Bzip2Result::Malformed, ""},
    {"Randomised", [](OneByteStream& s) { s.randomised = 1; }, Bzip2Result::Randomised, ""},
    {"OriginPastBlock", [](OneByteStream& s) { s.origin = 1; }, Bzip2Result::Malformed, ""},
    {"NoBytesInUse", [](OneByteStream& s) { s.ranges = 0; }, Bzip2Result::Malformed, ""},
    {"OneTable", [](OneByteStream& s) { s.tables = 1; }, Bzip2Result::Malformed, ""},
    {"SevenTables", [](OneByteStream& s) { s.tables = 7; }, Bzip2Result::Malformed, ""},
    {"NoSelectors", [](OneByteStream& s) { s.selectors = 0; }, Bzip2Result::Malformed, ""},
    {"SelectorPastTables", [](OneByteStream& s) { s.selectorBits = "110"; }, Bzip2Result::Malformed,
     ""},
    {"CodeLengthZero", [](OneByteStream& s) { s.firstLength = 0; }, Bzip2Result::Malformed, ""},
    {"CodeLengthAbove20", [](OneByteStream& s) { s.firstLength = 21; }, Bzip2Result::Malformed, ""},
    {"OverSubscribedCode", [](OneByteStream& s) { s.lengthBits = "000"; }, Bzip2Result::Malformed,
     ""},
    // RUNA forty times: a run far longer than the 100,000-byte block.
    {"RunPastBlock", [](OneByteStream& s) { s.symbols = std::string(40, '0') + "11"; },
     Bzip2Result::Malformed, ""},
    {"BlockCrc", [](OneByteStream& s) { s.blockCrc ^= 1; }, Bzip2Result::Malformed, "a"},
    {"StreamCrc", [](OneByteStream& s) { s.streamCrc = 0; }, Bzip2Result::Malformed, "a"},
};

class Bzip2Crafted : public ::testing::TestWithParam<CraftedCase> {};

TEST_P(Bzip2Crafted, DecodesOrFailsWithinBounds) {
    OneByteStream stream;
    GetParam().change(stream);
    const Bytes input = stream.Build();
    for (std::size_t step : {std::size_t{1}, input.size()}) {
        const Unpacked result = Bunzip(input, 100, step);
        EXPECT_EQ(result.status, GetParam().result) << "step " << step;
        EXPECT_EQ(result.output, Text(GetParam().output)) << "step " << step;
    }
    // Cut anywhere, a single stream fails.
    const bool cutFails = GetParam().result == Bzip2Result::Ok && stream.copies == 1;
    for (std::size_t keep = 0; cutFails && keep + 1 < input.size(); ++keep)
        EXPECT_NE(
            Bunzip(Bytes(input.begin(), input.begin() + static_cast<long>(keep)), 100, 1).status,
            Bzip2Result::Ok)
            << "kept " << keep;
}

INSTANTIATE_TEST_SUITE_P(Streams, Bzip2Crafted, ::testing::ValuesIn(kCrafted),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace ks::archive {
inline void PrintTo(Bzip2Result result, std::ostream* os) {
    static const char* const names[] = {"Ok", "Malformed", "Randomised", "OutputOverflow"};
    *os << names[static_cast<int>(result)];
}
} // namespace ks::archive
