// Every method 1 to 6 member of the real archives in tests/data/zip decodes to its recorded
// size and CRC-32, whatever the size of the input blocks.
#include "tests/archive/legacy_test_support.h"
#include "tests/common/test_paths.h"

#include <ostream>

namespace {

using namespace kstest::legacy;
using ks::archive::LegacyResult;

struct RealMember {
    const char* archive;
    const char* member;
    int method;
    std::uint64_t size;
    std::uint32_t crc;
};

std::ostream& operator<<(std::ostream& os, const RealMember& m) {
    return os << m.archive << ":" << m.member;
}

// Sizes and CRC-32 values as recorded in the archives' central directories.
const RealMember kRealMembers[] = {
    {"cc_SHRUNK.ZIP", "TEST1.XML", 1, 76, 0x393a497a},
    {"cc_SHRUNK.ZIP", "TEST2.XML", 1, 81, 0xd19abf92},
    {"sc_Zip.shrink.zip", "TECT.TXT", 1, 15498, 0x9bd160fa},
    {"sc_Zip.shrink.zip", "TEST.EXE", 1, 45056, 0xcfb109c8},
    {"sc_Zip.reduce1.zip", "TECT.TXT", 1, 15498, 0x9bd160fa},
    {"sc_Zip.reduce1.zip", "TEST.EXE", 2, 45056, 0xcfb109c8},
    {"sc_Zip.reduce1.zip", "TEST.JPG", 2, 40372, 0x088814e3},
    {"sc_Zip.reduce2.zip", "TECT.TXT", 1, 15498, 0x9bd160fa},
    {"sc_Zip.reduce2.zip", "TEST.EXE", 3, 45056, 0xcfb109c8},
    {"sc_Zip.reduce2.zip", "TEST.JPG", 3, 40372, 0x088814e3},
    {"sc_Zip.reduce3.zip", "TECT.TXT", 1, 15498, 0x9bd160fa},
    {"sc_Zip.reduce3.zip", "TEST.EXE", 4, 45056, 0xcfb109c8},
    {"sc_Zip.reduce3.zip", "TEST.JPG", 4, 40372, 0x088814e3},
    {"sc_Zip.reduce4.zip", "TECT.TXT", 1, 15498, 0x9bd160fa},
    {"sc_Zip.reduce4.zip", "TEST.EXE", 5, 45056, 0xcfb109c8},
    {"sc_Zip.reduce4.zip", "TEST.JPG", 5, 40372, 0x088814e3},
    {"cc_imploding-4Kdict-2trees.zip", "HEADER.TXT", 6, 818, 0x3222d8c7},
    {"cc_imploding-8Kdict-3trees.zip", "LICENSE.TXT", 6, 11560, 0x495fc599},
    {"sc_Zip.implode.zip", "EXE/TEST.EXE", 6, 45056, 0xcfb109c8},
    {"sc_Zip.implode.zip", "\xe2\xa5\xe1\xe2.txt", 6, 15498, 0x9bd160fa},
    {"lapr_test_read_format_zip_implode.zip", "I.BIN", 6, 2048, 0x8314ddd9},
};

class RealArchiveMember : public ::testing::TestWithParam<RealMember> {
protected:
    StoredMember Load() const {
        const RealMember& m = GetParam();
        StoredMember stored = FindMember(
            ReadWholeFile(kstest::SourcePath(std::string("tests/data/zip/") + m.archive)),
            m.member);
        EXPECT_EQ(stored.method, m.method);
        EXPECT_EQ(stored.size, m.size);
        EXPECT_EQ(stored.crc, m.crc);
        return stored;
    }
};

TEST_P(RealArchiveMember, DecodesToRecordedSizeAndCrc) {
    const StoredMember stored = Load();
    ASSERT_FALSE(stored.data.empty());
    // Whole 4 KiB blocks, then odd small steps that split codes across block boundaries.
    for (std::size_t step :
         {std::size_t{4096}, std::size_t{1}, std::size_t{7}, std::size_t{4097}}) {
        SCOPED_TRACE(step);
        const Decoded decoded = Decode(stored.method, stored.flags, stored.size, stored.data, step);
        EXPECT_EQ(decoded.result, LegacyResult::Ok);
        EXPECT_EQ(decoded.output.size(), GetParam().size);
        EXPECT_EQ(Crc32(decoded.output), GetParam().crc);
        EXPECT_LE(decoded.largestBlock, 32768u);
    }
}

// Regression: a declared size below the real one cuts the output there and never exceeds it.
TEST_P(RealArchiveMember, NeverWritesPastDeclaredSize) {
    const StoredMember stored = Load();
    const Decoded full = Decode(stored.method, stored.flags, stored.size, stored.data, 4096);
    const std::uint64_t declared = stored.size / 2;
    const Decoded cut = Decode(stored.method, stored.flags, declared, stored.data, 4096);
    ASSERT_EQ(cut.output.size(), declared);
    EXPECT_TRUE(std::equal(cut.output.begin(), cut.output.end(), full.output.begin()));
    // Shrink only stops at the end of its input, so it runs into the limit; the others stop
    // there unless a match straddles it.
    if (stored.method == 1)
        EXPECT_EQ(cut.result, LegacyResult::OutputOverflow);
    else
        EXPECT_NE(cut.result, LegacyResult::MalformedStream);
}

// Cut-off input ends the member quietly (the CRC check catches it) without overrunning.
TEST_P(RealArchiveMember, TruncatedInputStopsWithinBounds) {
    const StoredMember stored = Load();
    for (std::size_t keep :
         {std::size_t{0}, std::size_t{1}, stored.data.size() / 3, stored.data.size() - 1}) {
        SCOPED_TRACE(keep);
        const Bytes cut(stored.data.begin(), stored.data.begin() + static_cast<long>(keep));
        const Decoded decoded = Decode(stored.method, stored.flags, stored.size, cut, 4096);
        EXPECT_EQ(decoded.result, LegacyResult::Ok);
        EXPECT_LE(decoded.output.size(), stored.size);
        if (keep < stored.data.size() / 2) {
            EXPECT_LT(decoded.output.size(), stored.size);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PublicArchives, RealArchiveMember, ::testing::ValuesIn(kRealMembers));

} // namespace
