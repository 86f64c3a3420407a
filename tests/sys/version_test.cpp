// Version texts to comparable numbers, and fixed file versions to text.
#include "sys/version.h"

#include <gtest/gtest.h>

namespace {

struct VersionCase {
    const char* name;
    std::string text;
    std::uint32_t expected;
};

std::ostream& operator<<(std::ostream& out, const VersionCase& c) {
    return out << c.name;
}

class VersionNumberTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionNumberTest, PacksOneBytePerPart) {
    EXPECT_EQ(ks::VersionNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionNumberTest,
    ::testing::Values(
        VersionCase{"FourParts", "2.1.0.15", 33619983u}, VersionCase{"TwoParts", "2.1", 33619968u},
        VersionCase{"LetterStops", "2.x.3.4", 33554432u},
        VersionCase{"Part256IsZero", "1.256.2.3", 0x01000203u},
        VersionCase{"Part257IsOne", "257", 0x01000000u},
        VersionCase{"Simple", "1.2.3.4", 16909060u}, VersionCase{"OnePart", "10", 167772160u},
        VersionCase{"Empty", "", 0u}, VersionCase{"FifthPartIgnored", "1.2.3.4.5", 16909060u},
        VersionCase{"EmptyMiddlePartStops", "1..3.4", 0x01000000u},
        VersionCase{"TrailingDot", "1.2.", 0x01020000u}, VersionCase{"LeadingLetter", "v1.2", 0u},
        VersionCase{"HighTopByte", "200.0.0.1", 0xC8000001u},
        VersionCase{"Overflow", "99999999999.1", 0u}, VersionCase{"Negative", "-1.0", 0xFF000000u},
        VersionCase{"SpaceInside", "1. 2", 0x01000000u}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VersionNumberTest, PartTextIsCutAfterTwentyCharacters) {
    // Only 20 characters follow each full stop into the next round: a long zero-padded part
    // loses the rest of the text.
    EXPECT_EQ(ks::VersionNumber("1.0000000000000000002.3"), 0x01020000u);
    EXPECT_EQ(ks::VersionNumber("1.00000000000000000002.3"), 0x01000000u);
}

TEST(VersionNumberTest, ComparesUnsigned) {
    EXPECT_GT(ks::VersionNumber("128.0"), ks::VersionNumber("127.255.255.255"));
    EXPECT_GT(ks::VersionNumber("255.0.0.0"), ks::VersionNumber("1.0.0.0"));
    EXPECT_LT(ks::VersionNumber("1.9"), ks::VersionNumber("1.10"));
}

TEST(FormatFileVersionTest, UsesTheFourWords) {
    EXPECT_EQ(ks::FormatFileVersion(0x00020001u, 0x0000000Fu), "2.1.0.15");
    EXPECT_EQ(ks::FormatFileVersion(0xFFFF0000u, 0x0001FFFFu), "65535.0.1.65535");
}

} // namespace
