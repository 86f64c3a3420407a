// Member names: UTF-8 detection, the OEM look, the order of the name rules, and the derived
// member properties.
#include <gtest/gtest.h>

#include "archive/name_decoding.h"
#include "archive/zip_member.h"
#include "tests/archive/zip_builder.h"

namespace {

using namespace ks::archive;
using kstest::zip::Bytes;

struct Utf8Case {
    const char* raw;
    bool utf8;
};

class Utf8Detection : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Detection, Table) {
    EXPECT_EQ(DetectUtf8(GetParam().raw), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Table, Utf8Detection,
                         ::testing::Values(Utf8Case{"plain.txt", false}, Utf8Case{"", false},
                                           Utf8Case{"\xc3\xa4.txt", true},
                                           Utf8Case{"\xe2\x82\xac", true},
                                           Utf8Case{"\xf0\x9f\x98\x80", true},
                                           Utf8Case{"\xc3", false}, Utf8Case{"\xe2\x82", false},
                                           Utf8Case{"\x84.txt", false}, Utf8Case{"\xc0\x80", false},
                                           Utf8Case{"\xf5\x80\x80\x80", false},
                                           Utf8Case{"\xc3\xa4\x84", false},
                                           Utf8Case{"\xc3"
                                                    "a",
                                                    false}));

TEST(OemLook, Cp437Letters) {
    EXPECT_TRUE(LooksLikeOem("\x94\x84\x81", 437));  // ö ä ü in 437
    EXPECT_FALSE(LooksLikeOem("\xf6\xe4\xfc", 437)); // the same letters in 1252
    EXPECT_FALSE(LooksLikeOem("ascii", 437));
    EXPECT_FALSE(LooksLikeOem("\x94", 932)); // no table for this code page
    EXPECT_TRUE(LooksLikeOem("\xa0\xa1", 866));
}

Bytes UnicodePathField(std::uint8_t version, std::uint32_t crc, const std::string& utf8) {
    Bytes field;
    kstest::zip::Put16(field, 0x7075);
    kstest::zip::Put16(field, static_cast<std::uint32_t>(5 + utf8.size()));
    field += static_cast<char>(version);
    kstest::zip::Put32(field, crc);
    return field + utf8;
}

Bytes UnicodeNameField(const std::u16string& units, int countOverride = -1) {
    Bytes field;
    kstest::zip::Put16(field, 0x554E);
    kstest::zip::Put16(field, static_cast<std::uint32_t>(8 + 2 * units.size()));
    kstest::zip::Put32(field, 0x5843554E);
    kstest::zip::Put32(field, static_cast<std::uint32_t>(countOverride >= 0
                                                             ? countOverride
                                                             : static_cast<int>(units.size())));
    for (char16_t u : units)
        kstest::zip::Put16(field, u);
    return field;
}

TEST(NameRules, BitElevenMakesPlainAsciiUtf8) {
    EXPECT_EQ(ChooseName("readme.txt", 0x0800, "", 0, 1252, 437).encoding, NameEncoding::Utf8);
    EXPECT_EQ(ChooseName("readme.txt", 0, "", 3, 1252, 437).encoding, NameEncoding::Ansi);
}

TEST(NameRules, UnicodePathFieldNeedsTheRawNameCrc) {
    const std::string raw = "caf\x82.txt";
    const Bytes good = UnicodePathField(1, kstest::zip::Crc(raw), "caf\xc3\xa9.txt");
    const NameChoice chosen = ChooseName(raw, 0, good, 3, 1252, 437);
    EXPECT_EQ(chosen.encoding, NameEncoding::Utf8);
    EXPECT_EQ(chosen.bytes, "caf\xc3\xa9.txt");

    const Bytes wrongCrc = UnicodePathField(1, kstest::zip::Crc(raw) ^ 1, "other.txt");
    EXPECT_EQ(ChooseName(raw, 0, wrongCrc, 3, 1252, 437).bytes, raw);
    const Bytes wrongVersion = UnicodePathField(2, kstest::zip::Crc(raw), "other.txt");
    EXPECT_EQ(ChooseName(raw, 0, wrongVersion, 3, 1252, 437).bytes, raw);
}

TEST(NameRules, UnicodeNameFieldNeedsAMatchingCount) {
    const NameChoice chosen = ChooseName("x", 0, UnicodeNameField(u"\u00e9t\u00e9"), 3, 1252, 437);
    EXPECT_EQ(chosen.encoding, NameEncoding::Utf16);
    EXPECT_EQ(chosen.units, u"\u00e9t\u00e9");
    EXPECT_EQ(ChooseName("x", 0, UnicodeNameField(u"abc", 2), 3, 1252, 437).encoding,
              NameEncoding::Ansi);
}

TEST(NameRules, OemForDosHostsOrOemLookingNames) {
    EXPECT_EQ(ChooseName("\x94", 0, "", 0, 1252, 437).encoding, NameEncoding::Oem);
    EXPECT_EQ(ChooseName("plain", 0, "", 0, 1252, 437).encoding, NameEncoding::Oem);
    EXPECT_EQ(ChooseName("\x94\x84", 0, "", 3, 1252, 437).encoding, NameEncoding::Oem);
    EXPECT_EQ(ChooseName("\xf6", 0, "", 3, 1252, 437).encoding, NameEncoding::Ansi);
    // Same ANSI and OEM code page: nothing to convert.
    EXPECT_EQ(ChooseName("\x94", 0, "", 0, 437, 437).encoding, NameEncoding::Ansi);
}

TEST(NameRules, DecodedNamesReachTheSystemCodePage) {
#ifdef _WIN32
    const std::string ae = "\xe4"; // ANSI 1252, as Wine's default locale has it
#else
    const std::string ae = "\xc3\xa4"; // UTF-8
#endif
    EXPECT_EQ(DecodeMemberName("\xc3\xa4.txt", 0x0800, "", 3), ae + ".txt");
    EXPECT_EQ(DecodeMemberName("\x84.txt", 0, "", 0), ae + ".txt");
}

struct ModeCase {
    std::uint32_t mode;
    std::uint32_t attributes;
};

class UnixModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(UnixModes, MapToDosAttributes) {
    EXPECT_EQ(AttributesFromUnixMode(GetParam().mode), GetParam().attributes);
}

INSTANTIATE_TEST_SUITE_P(Table, UnixModes,
                         ::testing::Values(ModeCase{0100644, 0x00}, ModeCase{0100444, 0x01},
                                           ModeCase{040755, 0x10}, ModeCase{040555, 0x11},
                                           ModeCase{0120777, 0x04}, ModeCase{010644, 0x04},
                                           ModeCase{020644, 0x04}, ModeCase{060644, 0x04},
                                           ModeCase{0140644, 0x04}, ModeCase{0644, 0x00},
                                           ModeCase{0170600, 0x00}));

TEST(MemberProperties, DerivedFromTheHeader) {
    ZipMember m;
    m.name = "folder/";
    EXPECT_TRUE(m.IsDirectory());
    m.name = "file";
    EXPECT_FALSE(m.IsDirectory());
    m.header.externalAttributes = 0x10;
    EXPECT_TRUE(m.IsDirectory());

    m.header.versionMadeBy = 0x0314; // Unix host
    m.header.externalAttributes = (0100444u << 16) | 0x20;
    EXPECT_EQ(m.NativeAttributes(), 0x01u);
    m.header.versionMadeBy = 0x0014; // MS-DOS host, DOS bits as they stand
    m.header.externalAttributes = 0x23;
    EXPECT_EQ(m.NativeAttributes(), 0x23u);
    m.header.externalAttributes = (0100644u << 16) | 0x21; // above 0x1FFFF: Unix mode
    EXPECT_EQ(m.NativeAttributes(), 0x00u);

    m.header.method = 0x0188;
    EXPECT_EQ(m.Method(), 0x88);
    EXPECT_EQ(m.DecoderMethod(), 8);
    m.header.date = 0x5A21;
    m.header.time = 0x6000;
    EXPECT_EQ(m.DosDateTime(), 0x5A216000u);
}

} // namespace
