// File versions, the platform's bitness and the registry view chosen from it.
#include "sys/version.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "sys/system_info_win.h"
#include "tests/helpers/helper_program_win.h"

namespace {

TEST(FileVersionStringTest, ReadsTheProjectVersionOfABuiltProgram) {
    std::uint32_t ms = 0;
    std::uint32_t ls = 0;
    EXPECT_EQ(ks::FileVersionString(kstest::HelperPath(), &ms, &ls), KS_PROJECT_VERSION);
    EXPECT_EQ(ks::FormatFileVersion(ms, ls), KS_PROJECT_VERSION);
    EXPECT_EQ(ks::FileVersionString(kstest::HelperPath()), KS_PROJECT_VERSION);
    // The setup program itself, when the whole tree was built.
    const std::string setup = kstest::OwnFolder() + "keltrasetup.exe";
    if (GetFileAttributesA(setup.c_str()) != INVALID_FILE_ATTRIBUTES) {
        EXPECT_EQ(ks::FileVersionString(setup), KS_PROJECT_VERSION);
    }
}

TEST(FileVersionStringTest, NoVersionResourceGivesNothingAndLeavesTheOutValues) {
    std::uint32_t ms = 0xDEADBEEF;
    std::uint32_t ls = 0xFEEDFACE;
    char self[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_EQ(ks::FileVersionString(self, &ms, &ls), "");
    EXPECT_EQ(ks::FileVersionString(kstest::OwnFolder() + "missing.exe", &ms, &ls), "");
    EXPECT_EQ(ms, 0xDEADBEEFu);
    EXPECT_EQ(ls, 0xFEEDFACEu);
}

TEST(PlatformTest, BitnessAgreesWithWow64) {
    SYSTEM_INFO info{};
    EXPECT_TRUE(ks::ReadNativeSystemInfo(info));
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    // A 64-bit program needs 64-bit Windows and never runs under WOW64; a 32-bit program runs
    // under WOW64 exactly when Windows is 64-bit.
    const bool program64 = sizeof(void*) == 8;
    if (program64) {
        EXPECT_FALSE(wow64);
    }
    const bool windows64 = program64 || wow64 != FALSE;
    EXPECT_EQ(ks::IsWindows64(), windows64);
    EXPECT_EQ(ks::RegistryViewFlag(), windows64 ? 0x0100 : 0x0200);
}

} // namespace
