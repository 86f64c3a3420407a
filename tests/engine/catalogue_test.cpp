// Reading the server catalogue and deciding from it whether a package needs an update.
#include "engine/catalogue.h"

#include <gtest/gtest.h>

#include "engine/descrambler.h"

namespace ks {
namespace {

const CatalogueKeys kKeys{"zip", "version", "size", "sha256"};
const std::string kDigest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

Catalogue Read(std::vector<std::string> lines) {
    return Catalogue::Read(lines);
}

TEST(CatalogueRead, TrimsSkipsCommentsAndMatchesWithoutCase) {
    const Catalogue catalogue = Read(
        {"zip=before-any-section.zip", "", "  ; a comment", "\t[ Keltra ]  ",
         "  Zip =  keltra-2.zip \t", ";zip=commented.zip", "no equals sign here", "Version=2.0.0.1",
         "size = 0x10", "", "[KELTRASETUP]", "ZIP=setup.zip", "zip=second.zip", "empty="});
    EXPECT_EQ(catalogue.Value("keltra", "ZIP"), "keltra-2.zip");
    EXPECT_EQ(catalogue.Value("KELTRA", "version"), "2.0.0.1");
    EXPECT_EQ(catalogue.Value("Keltra", "SIZE"), "0x10");
    EXPECT_EQ(catalogue.Value("keltrasetup", "zip"), "setup.zip") << "the first key wins";
    EXPECT_EQ(catalogue.Value("KeltraSetup", "empty"), "");
    EXPECT_EQ(catalogue.Value("keltra", "no equals sign here"), std::nullopt);
    EXPECT_EQ(catalogue.Value("Missing", "zip"), std::nullopt);
    EXPECT_EQ(catalogue.Value("keltrasetup", "version"), std::nullopt);
}

TEST(CatalogueRead, ValueKeepsEverythingAfterTheFirstEquals) {
    const Catalogue catalogue = Read({"[a]", "url = http://x/?a=b=c", "[b]", "=v"});
    EXPECT_EQ(catalogue.Value("a", "url"), "http://x/?a=b=c");
    EXPECT_EQ(catalogue.Value("b", ""), "v");
}

TEST(CatalogueRead, SectionLinesNeedBothBrackets) {
    const Catalogue catalogue = Read({"[a]", "k=1", "[b", "k2=2", "b]", "[]", "k=3"});
    EXPECT_EQ(catalogue.Value("a", "k2"), "2") << "\"[b\" opens no section";
    EXPECT_EQ(catalogue.Value("", "k"), "3");
    EXPECT_EQ(catalogue.Value("b", "k2"), std::nullopt);
}

TEST(CatalogueRead, ByteOrderMarkKeepsTheFirstSection) {
    const Catalogue catalogue = Read({"\xEF\xBB\xBF[KELTRASETUP]", "zip=s.zip", "\xEF\xBB\xBF[b]"});
    EXPECT_EQ(catalogue.Value("KELTRASETUP", "zip"), "s.zip");
    EXPECT_EQ(catalogue.Value("b", "zip"), std::nullopt) << "only a mark at the very start";
}

TEST(CatalogueRead, ErrorPageGivesNoSections) {
    const Catalogue catalogue =
        Read({"<html><head><title>404 Not Found</title></head>", "<body>x=1</body></html>"});
    EXPECT_EQ(catalogue.Value("keltra", "zip"), std::nullopt);
}

TEST(CatalogueInteger, DecimalAndHexadecimal) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {{"2500", 2500},
                 {"0", 0},
                 {"-12", -12},
                 {"+5", 5},
                 {"0x1F", 31},
                 {"0X1f", 31},
                 {"$ff", 255},
                 {"$7FFFFFFF", INT32_MAX},
                 {"2147483647", INT32_MAX},
                 {"2147483648", 0},
                 {"-2147483648", INT32_MIN},
                 {"$80000000", 0},
                 {"", 0},
                 {"12 MB", 0},
                 {"1e3", 0},
                 {"0x", 0},
                 {"$", 0},
                 {"x10", 0},
                 {"0x1G", 0},
                 {"-", 0},
                 {"007", 7}};
    for (const auto& c : cases)
        EXPECT_EQ(CatalogueInteger(c.text), c.value) << "\"" << c.text << "\"";
}

struct UpdateCase {
    const char* name;
    const char* current;
    std::vector<std::string> section; // lines after "[Keltra]"
    bool updateBefore;
    const char* fileName;
    const char* remoteVersion;
    std::int32_t size;
    bool updateAfter;
    DigestState sha256State = DigestState::None;
};

class UpdateNeededTest : public testing::TestWithParam<UpdateCase> {};

TEST_P(UpdateNeededTest, FollowsTheOffer) {
    const UpdateCase& c = GetParam();
    std::vector<std::string> lines{"[Keltra]"};
    lines.insert(lines.end(), c.section.begin(), c.section.end());
    TZipPackage package;
    package.Name = "Keltra";
    package.CurrentVersion = c.current;
    package.UpdateNeeded = c.updateBefore;
    FillPackageFromCatalogue(Catalogue::Read(lines), kKeys, package);
    EXPECT_EQ(package.FileName, c.fileName);
    EXPECT_EQ(package.RemoteVersion, c.remoteVersion);
    EXPECT_EQ(package.Size, c.size);
    EXPECT_EQ(package.UpdateNeeded, c.updateAfter);
    EXPECT_EQ(package.CurrentVersion, c.current) << "the version at hand is never changed";
    EXPECT_EQ(package.Sha256State, c.sha256State);
    EXPECT_EQ(Sha256Hex(package.Sha256),
              c.sha256State == DigestState::Valid ? kDigest : std::string(64, '0'));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateNeededTest,
    testing::Values(UpdateCase{"NoVersionAtHandAnyOffer",
                               "",
                               {"zip=k.zip", "version=0.0.0.1", "size=9"},
                               false,
                               "k.zip",
                               "0.0.0.1",
                               9,
                               true},
                    UpdateCase{"NoVersionAtHandOfferZero",
                               "",
                               {"zip=k.zip", "version=0.0.0.0", "size=9"},
                               true,
                               "k.zip",
                               "0.0.0.0",
                               9,
                               false},
                    UpdateCase{"NoVersionAtHandOfferPlainZero",
                               "",
                               {"zip=k.zip", "version=0", "size=9"},
                               true,
                               "k.zip",
                               "0",
                               9,
                               false},
                    UpdateCase{"EqualVersions",
                               "1.2.3.4",
                               {"zip=k.zip", "version=1.2.3.4", "size=9"},
                               true,
                               "k.zip",
                               "1.2.3.4",
                               9,
                               false},
                    UpdateCase{"TenIsNewerThanNine",
                               "1.9",
                               {"zip=k.zip", "version=1.10", "size=9"},
                               false,
                               "k.zip",
                               "1.10",
                               9,
                               true},
                    UpdateCase{"OlderOfferClears",
                               "1.10",
                               {"zip=k.zip", "version=1.9", "size=9"},
                               true,
                               "k.zip",
                               "1.9",
                               9,
                               false},
                    UpdateCase{"PartWrapsModulo256",
                               "1.0",
                               {"zip=k.zip", "version=1.256", "size=9"},
                               true,
                               "k.zip",
                               "1.256",
                               9,
                               false},
                    UpdateCase{"TwoIsNewerThan1999",
                               "1.9.9.9",
                               {"zip=k.zip", "version=2", "size=9"},
                               false,
                               "k.zip",
                               "2",
                               9,
                               true},
                    UpdateCase{"SizeZeroKeepsFlag",
                               "1.0",
                               {"zip=k.zip", "version=2.0", "size=0"},
                               false,
                               "k.zip",
                               "2.0",
                               0,
                               false},
                    UpdateCase{"NegativeSizeKeepsFlag",
                               "1.0",
                               {"zip=k.zip", "version=0.5", "size=-3"},
                               true,
                               "k.zip",
                               "0.5",
                               -3,
                               true},
                    UpdateCase{"SizeNotANumber",
                               "1.0",
                               {"zip=k.zip", "version=2.0", "size=big"},
                               false,
                               "k.zip",
                               "2.0",
                               0,
                               false},
                    UpdateCase{"HexadecimalSize",
                               "1.0",
                               {"zip=k.zip", "version=2.0", "size=$400"},
                               false,
                               "k.zip",
                               "2.0",
                               1024,
                               true},
                    UpdateCase{"QuestionMarkInName",
                               "1.0",
                               {"zip=k?.zip", "version=2.0", "size=9"},
                               false,
                               "k?.zip",
                               "2.0",
                               9,
                               false},
                    UpdateCase{"QuestionMarkInVersion",
                               "3.0",
                               {"zip=k.zip", "version=2.?", "size=9"},
                               true,
                               "k.zip",
                               "2.?",
                               9,
                               true},
                    UpdateCase{"MissingKeys", "1.0", {"other=1"}, true, "?", "?", 0, true},
                    UpdateCase{"KeysInOtherCase",
                               "1.0",
                               {"ZIP=k.zip", "VERSION=1.1", "Size=9"},
                               false,
                               "k.zip",
                               "1.1",
                               9,
                               true}),
    [](const auto& info) { return info.param.name; });

// A digest that is not one must never read as "no digest": that would skip the check.
INSTANTIATE_TEST_SUITE_P(
    Sha256, UpdateNeededTest,
    testing::Values(
        UpdateCase{"InEitherCase",
                   "1.0",
                   {"zip=k.zip", "version=1.1", "size=9",
                    "SHA256=BA7816BF8F01CFEA414140DE5DAE2223b00361a396177a9cb410ff61f20015ad"},
                   false,
                   "k.zip",
                   "1.1",
                   9,
                   true,
                   DigestState::Valid},
        UpdateCase{"OneDigitShort",
                   "1.0",
                   {"zip=k.zip", "version=1.1", "size=9", "sha256=" + kDigest.substr(1)},
                   false,
                   "k.zip",
                   "1.1",
                   9,
                   true,
                   DigestState::Malformed},
        UpdateCase{"NotHexadecimal",
                   "1.0",
                   {"zip=k.zip", "version=1.1", "size=9", "sha256=" + kDigest.substr(0, 63) + "g"},
                   false,
                   "k.zip",
                   "1.1",
                   9,
                   true,
                   DigestState::Malformed},
        UpdateCase{"Empty",
                   "1.0",
                   {"zip=k.zip", "version=1.1", "size=9", "sha256="},
                   false,
                   "k.zip",
                   "1.1",
                   9,
                   true,
                   DigestState::Malformed}),
    [](const auto& info) { return info.param.name; });

TEST(UpdateNeeded, MissingSectionMarksTheRecord) {
    TZipPackage package{"KELTRASETUP", "1.0.0.0", "old.zip", "1.0", 77, true};
    FillPackageFromCatalogue(Catalogue::Read({"[Keltra]", "zip=k.zip"}), kKeys, package);
    EXPECT_EQ(package.FileName, "?");
    EXPECT_EQ(package.RemoteVersion, "?");
    EXPECT_EQ(package.Size, 0);
    EXPECT_TRUE(package.UpdateNeeded);
}

TEST(UpdateNeeded, TwoRecordsFromOneCatalogueWithSectionsInAnyCase) {
    const Catalogue catalogue =
        Catalogue::Read({"[keltrasetup]", "zip=setup-2.zip", "version=2.0.0.0", "size=100",
                         "[KELTRA]", "zip=keltra-5.zip", "version=5.1", "size=0x200"});
    TZipPackage setup{"KELTRASETUP", "1.0.0.0", "", "", 0, false};
    TZipPackage product{"Keltra", "", "", "", 0, false};
    FillPackageFromCatalogue(catalogue, kKeys, setup);
    FillPackageFromCatalogue(catalogue, kKeys, product);
    EXPECT_EQ(setup.FileName, "setup-2.zip");
    EXPECT_TRUE(setup.UpdateNeeded);
    EXPECT_EQ(product.FileName, "keltra-5.zip");
    EXPECT_EQ(product.Size, 512);
    EXPECT_TRUE(product.UpdateNeeded);
}

TEST(CataloguePath, FillsTheServerPathFormat) {
    EXPECT_EQ(CataloguePath("packages/%s.%s", "Keltra", "ini"), "packages/Keltra.ini");
    EXPECT_EQ(CataloguePath("%s", "a", "b"), "a");
    EXPECT_EQ(CataloguePath("%s/%s/%s", "a", "b"), "a/b/");
    EXPECT_EQ(CataloguePath("100%%/%s%d", "a", "b"), "100%/a%d");
    EXPECT_EQ(CataloguePath("end%", "a", "b"), "end%");
}

TEST(CatalogueUrlSuffix, DecodesToAQueryAndIsNotStoredReadably) {
    const std::string suffix = CatalogueUrlSuffix();
    EXPECT_EQ(suffix, "?channel=preview");
    EXPECT_EQ(Scramble(suffix).find("channel"), std::string::npos);
}

} // namespace
} // namespace ks
