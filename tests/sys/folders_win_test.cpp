// The standard folders against what Windows reports for them.
#include "sys/folders.h"

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::string ShellReported(int csidl) {
    char path[MAX_PATH + 1] = {};
    if (SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return {};
    return path;
}

std::string Reported(ks::FolderKind kind) {
    char path[MAX_PATH + 1] = {};
    switch (kind) {
    case ks::fkWindows:
        GetWindowsDirectoryA(path, sizeof path);
        return path;
    case ks::fkSystem:
        GetSystemDirectoryA(path, sizeof path);
        return path;
    case ks::fkTemp: {
        std::string temp(path, GetTempPathA(sizeof path, path));
        temp.pop_back();
        return temp;
    }
    default:
        break;
    }
    static const int ids[] = {CSIDL_PROGRAM_FILES,
                              CSIDL_DESKTOP,
                              CSIDL_LOCAL_APPDATA,
                              CSIDL_PROGRAMS,
                              CSIDL_STARTUP,
                              CSIDL_COMMON_DESKTOPDIRECTORY,
                              CSIDL_COMMON_DOCUMENTS,
                              CSIDL_COMMON_PROGRAMS,
                              CSIDL_COMMON_STARTUP,
                              CSIDL_PERSONAL,
                              0,
                              0,
                              0,
                              CSIDL_COMMON_APPDATA};
    return ShellReported(ids[kind]);
}

class SystemFolderTest : public ::testing::TestWithParam<int> {};

TEST_P(SystemFolderTest, MatchesWhatWindowsReports) {
    const auto kind = static_cast<ks::FolderKind>(GetParam());
    const std::string folder = ks::GetSystemFolder(kind);
    EXPECT_FALSE(folder.empty());
    EXPECT_EQ(folder, Reported(kind));
    if (folder.size() > 3) {
        EXPECT_NE(folder.back(), '\\');
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, SystemFolderTest, ::testing::Range(0, ks::kFolderKindCount));

TEST(SystemFolderTest, KindsKeepTheirFixedOrder) {
    EXPECT_EQ(static_cast<int>(ks::fkProgramFiles), 0);
    EXPECT_EQ(static_cast<int>(ks::fkCommonDocuments), 6);
    EXPECT_EQ(static_cast<int>(ks::fkTemp), 12);
    EXPECT_EQ(static_cast<int>(ks::fkCommonAppData), 13);
    EXPECT_EQ(sizeof(ks::FolderKind), 1u);
}

TEST(SystemFolderTest, ValueOutsideTheKindsGivesNothing) {
    EXPECT_EQ(ks::GetSystemFolder(static_cast<ks::FolderKind>(14)), "");
    EXPECT_EQ(ks::GetSystemFolder(static_cast<ks::FolderKind>(255)), "");
}

TEST(ShellFolderTest, UnknownIdentifierGivesNothing) {
    EXPECT_EQ(ks::GetShellFolder(0x7E), "");
}

TEST(TempFolderTest, EndsWithOneBackslashAfterTheTempKind) {
    const std::string temp = ks::GetSystemFolder(ks::fkTemp);
    ASSERT_FALSE(temp.empty());
    EXPECT_NE(temp.back(), '\\');
    EXPECT_EQ(ks::TempFolder(), temp + "\\");
    EXPECT_EQ(GetFileAttributesA(ks::TempFolder().c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

} // namespace
