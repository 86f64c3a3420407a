// Path joining and splitting: separators, empty parts and dotted names.
#include "sys/paths.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* name;
    std::string a;
    std::string b;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const TextCase& c) {
    return out << c.name;
}

class JoinPathTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(JoinPathTest, JoinsWithExactlyOneBackslash) {
    EXPECT_EQ(ks::JoinPath(GetParam().a, GetParam().b), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinPathTest,
    ::testing::Values(TextCase{"BothSlashes", "C:\\A\\", "\\b.txt", "C:\\A\\b.txt"},
                      TextCase{"NoSlashes", "C:\\A", "b.txt", "C:\\A\\b.txt"},
                      TextCase{"SlashOnA", "C:\\A\\", "b.txt", "C:\\A\\b.txt"},
                      TextCase{"SlashOnB", "C:\\A", "\\b.txt", "C:\\A\\b.txt"},
                      TextCase{"EmptyADropsB", "", "b.txt", "\\"},
                      TextCase{"EmptyB", "C:\\A", "", "C:\\A\\"},
                      TextCase{"EmptyBKeepsSlash", "C:\\A\\", "", "C:\\A\\"},
                      TextCase{"BothEmpty", "", "", "\\"},
                      TextCase{"DriveRoot", "C:\\", "x", "C:\\x"},
                      TextCase{"OnlyOneSlashRemoved", "C:\\A\\\\", "\\b", "C:\\A\\\\b"},
                      TextCase{"SubPath", "C:\\A", "b\\c", "C:\\A\\b\\c"}),
    [](const auto& info) { return std::string(info.param.name); });

class JoinFolderTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(JoinFolderTest, EndsWithExactlyOneBackslash) {
    EXPECT_EQ(ks::JoinFolder(GetParam().a, GetParam().b), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, JoinFolderTest,
                         ::testing::Values(TextCase{"Plain", "C:\\A", "B", "C:\\A\\B\\"},
                                           TextCase{"SubHasSlash", "C:\\A\\", "B\\", "C:\\A\\B\\"},
                                           TextCase{"EmptySub", "C:\\A", "", "C:\\A\\"},
                                           TextCase{"EmptyBase", "", "B", "\\"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* name;
    std::string path;
    std::string base;
    std::string dropped;
};

std::ostream& operator<<(std::ostream& out, const NameCase& c) {
    return out << c.name;
}

class FileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNameTest, BaseFileName) {
    EXPECT_EQ(ks::BaseFileName(GetParam().path), GetParam().base);
}

TEST_P(FileNameTest, DropInnerExtensions) {
    EXPECT_EQ(ks::DropInnerExtensions(GetParam().path), GetParam().dropped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileNameTest,
    ::testing::Values(
        NameCase{"OneInner", "C:\\t\\pkg.beta.zip", "pkg.beta", "C:\\t\\pkg.zip"},
        NameCase{"TwoInner", "C:\\t\\a.b.c.zip", "a.b.c", "C:\\t\\a.zip"},
        NameCase{"SingleExtension", "C:\\t\\pkg.zip", "pkg", "C:\\t\\pkg.zip"},
        NameCase{"NoExtension", "C:\\t\\pkg", "pkg", "C:\\t\\pkg"},
        NameCase{"DottedFolders", "C:\\v1.2\\x.y\\pkg.zip", "pkg", "C:\\v1.2\\x.y\\pkg.zip"},
        NameCase{"DottedFoldersInner", "C:\\v1.2\\pkg.rc1.zip", "pkg.rc1", "C:\\v1.2\\pkg.zip"},
        NameCase{"DottedFolderNoExtension", "C:\\v1.2\\pkg", "pkg", "C:\\v1.2\\pkg"},
        NameCase{"NoFolder", "a.b.zip", "a.b", "a.zip"},
        NameCase{"DriveOnly", "C:pkg.x.zip", "pkg.x", "C:pkg.zip"},
        NameCase{"Settings", "C:\\work\\Keltra.ini", "Keltra", "C:\\work\\Keltra.ini"},
        NameCase{"Empty", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PathPartsTest, SplitsAtLastBackslashOrColon) {
    EXPECT_EQ(ks::FolderPart("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(ks::FileNamePart("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(ks::FolderPart("C:b.txt"), "C:");
    EXPECT_EQ(ks::FolderPart("b.txt"), "");
    EXPECT_EQ(ks::LastExtension("C:\\a.d\\b"), "");
    EXPECT_EQ(ks::LastExtension("C:\\a\\b.tar.gz"), ".gz");
}

TEST(TrailingBackslashTest, AddsAndRemoves) {
    EXPECT_EQ(ks::IncludeTrailingBackslash(""), "\\");
    EXPECT_EQ(ks::IncludeTrailingBackslash("C:\\A"), "C:\\A\\");
    EXPECT_EQ(ks::IncludeTrailingBackslash("C:\\A\\"), "C:\\A\\");
    EXPECT_EQ(ks::ExcludeTrailingBackslash("C:\\A\\\\"), "C:\\A");
    EXPECT_EQ(ks::ExcludeTrailingBackslash("C:\\A"), "C:\\A");
}

TEST(QuoteIfSpacedTest, QuotesOnlyTextsWithBlanks) {
    EXPECT_EQ(ks::QuoteIfSpaced("C:\\Program Files\\x"), "\"C:\\Program Files\\x\"");
    EXPECT_EQ(ks::QuoteIfSpaced("C:\\x"), "C:\\x");
    EXPECT_EQ(ks::QuoteIfSpaced(""), "");
    EXPECT_EQ(ks::QuoteIfSpaced(" "), "\" \"");
}

} // namespace
