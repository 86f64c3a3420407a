// The product-folder suffix, the folders of each installation type and the safe configuration.
#include "app/folder_rules.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

struct SuffixCase {
    const char* name;
    const char* text;
    const char* expected;
};

class ProductSuffixTest : public testing::TestWithParam<SuffixCase> {};

TEST_P(ProductSuffixTest, AppendsTheProductFolderOnlyWhenMissing) {
    EXPECT_EQ(WithProductFolder(GetParam().text, kProductFolder), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProductSuffixTest,
    testing::Values(SuffixCase{"PlainFolder", "C:\\Apps", "C:\\Apps\\Keltra"},
                    SuffixCase{"TrailingBackslash", "C:\\Apps\\", "C:\\Apps\\Keltra"},
                    SuffixCase{"DriveRoot", "D:\\", "D:\\Keltra"},
                    SuffixCase{"AlreadyThere", "C:\\Apps\\Keltra", "C:\\Apps\\Keltra"},
                    SuffixCase{"LowerCase", "c:\\apps\\keltra", "c:\\apps\\keltra"},
                    SuffixCase{"UpperCaseInside", "E:\\KELTRA data\\x", "E:\\KELTRA data\\x"},
                    SuffixCase{"PartOfALongerName", "C:\\Keltra2020", "C:\\Keltra2020"},
                    SuffixCase{"EmptyStaysEmpty", "", ""}),
    [](const testing::TestParamInfo<SuffixCase>& info) { return info.param.name; });

std::string FakeFolder(FolderKind kind) {
    return "F" + std::to_string(static_cast<int>(kind));
}

TEST(ScopeFoldersTest, AllUsersTakesTheCommonFolders) {
    const ScopeFolders folders = FoldersForScope(0, "D:\\Kept", "Group", FakeFolder);
    EXPECT_EQ(folders.installFolder, "D:\\Kept");
    EXPECT_EQ(folders.dataFolder, FakeFolder(fkCommonDocuments) + "\\Keltra");
    EXPECT_EQ(folders.menuFolder, FakeFolder(fkCommonPrograms) + "\\Group");
    EXPECT_EQ(folders.desktopFolder, FakeFolder(fkCommonDesktop));
    EXPECT_TRUE(folders.allUsers);
}

TEST(ScopeFoldersTest, CurrentUserTakesTheUserFoldersAndKeepsTheInstallFolder) {
    const ScopeFolders folders = FoldersForScope(1, "D:\\Kept", "Group", FakeFolder);
    EXPECT_EQ(folders.installFolder, "D:\\Kept");
    EXPECT_EQ(folders.dataFolder, FakeFolder(fkPersonal) + "\\Keltra");
    EXPECT_EQ(folders.menuFolder, FakeFolder(fkPrograms) + "\\Group");
    EXPECT_EQ(folders.desktopFolder, FakeFolder(fkDesktop));
    EXPECT_FALSE(folders.allUsers);
}

TEST(ScopeFoldersTest, EmptyInstallFolderDefaultsBelowProgramFiles) {
    for (int item : {0, 1}) {
        const ScopeFolders folders = FoldersForScope(item, "", "Group", FakeFolder);
        EXPECT_EQ(folders.installFolder, FakeFolder(fkProgramFiles) + "\\Keltra");
    }
}

TEST(ScopeFoldersTest, MenuGroupJoinsWithExactlyOneBackslash) {
    const auto rooted = [](FolderKind) { return std::string("C:\\Menu\\"); };
    EXPECT_EQ(FoldersForScope(0, "x", "Group", rooted).menuFolder, "C:\\Menu\\Group");
}

TEST(SafeConfigurationTest, DriveAndNameFollowDirectly) {
    const SafeFolders folders = SafeConfiguration("C:\\", "Keltra", "Data");
    EXPECT_EQ(folders.installFolder, "C:\\Keltra");
    EXPECT_EQ(folders.dataFolder, "C:\\Keltra\\Data");
}

} // namespace
} // namespace ks
