// Names a catalogue gives to packages are kept inside the folder they are stored in.
#include "app/package_cache.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

struct NameCase {
    const char* name;
    const char* catalogue;
    const char* stored;
};

class PackageFileNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(PackageFileNameTest, KeepsTheLastPart) {
    EXPECT_EQ(PackageFileName(GetParam().catalogue), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PackageFileNameTest,
    testing::Values(NameCase{"Plain", "Keltra.zip", "Keltra.zip"},
                    NameCase{"ParentFolders", "..\\..\\Windows\\evil.exe", "evil.exe"},
                    NameCase{"ForwardSlashes", "../x/Keltra.zip", "Keltra.zip"},
                    NameCase{"DriveLetter", "C:evil.zip", "evil.zip"},
                    NameCase{"AbsolutePath", "C:\\Temp\\evil.zip", "evil.zip"},
                    NameCase{"UncPath", "\\\\host\\share\\p.zip", "p.zip"},
                    NameCase{"Unknown", "?", "?"}, NameCase{"Empty", "", ""}),
    [](const testing::TestParamInfo<NameCase>& info) { return info.param.name; });

} // namespace
} // namespace ks
