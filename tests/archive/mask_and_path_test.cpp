// Mask lists and the target path text rules.
#include <gtest/gtest.h>

#include "archive/mask_match.h"
#include "archive/target_path.h"

namespace {

using namespace ks::archive;

struct MaskCase {
    const char* mask;
    const char* member;
    bool isDirectory;
    bool matches;
};

std::ostream& operator<<(std::ostream& os, const MaskCase& c) {
    return os << "'" << c.mask << "' vs '" << c.member << "'";
}

class MaskMatching : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskMatching, Table) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(MatchesMaskList(c.mask, c.member, c.isDirectory), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaskMatching,
    ::testing::Values(
        MaskCase{"TOOL.EXE", "tool.exe", false, true},
        MaskCase{"TOOL.EXE", "sub/Tool.exe", false, true},
        MaskCase{"TOOL.EXE", "tool.exe.bak", false, false},
        MaskCase{"sub\\*.txt", "SUB/a.txt", false, true},
        MaskCase{"sub\\*.txt", "a.txt", false, false},
        MaskCase{"sub/*.txt", "sub\\deeper\\a.txt", false, false},
        MaskCase{"*.*", "README", false, true}, MaskCase{"*", "README", false, true},
        MaskCase{"*.txt", "README", false, false}, MaskCase{"*.*", "dir/", true, true},
        MaskCase{"*.*", "", false, false}, MaskCase{"", "a.txt", false, false},
        MaskCase{" ; ", "a.txt", false, false}, MaskCase{"*.exe; *.txt ", "notes.TXT", false, true},
        MaskCase{"\t*.exe ;\r\n a?c.dat", "abc.dat", false, true},
        MaskCase{"a?c.dat", "ac.dat", false, false}, MaskCase{"a*b*c", "axxbyyc", false, true},
        MaskCase{"a*b*c", "axxbyy", false, false}, MaskCase{"C:\\*.txt", "deep/x.txt", false, true},
        MaskCase{"C:\\sub\\*.txt", "sub/x.txt", false, true},
        MaskCase{"\\\\srv\\share\\sub\\*.txt", "sub/x.txt", false, true},
        MaskCase{"*\\x.txt", "a/x.txt", false, true}, MaskCase{"*\\x.txt", "x.txt", false, false}));

TEST(TargetPath, BaseDirectoryLosesOneTrailingBackslash) {
    EXPECT_EQ(NormaliseBaseDirectory("C:\\work\\"), "C:\\work");
    EXPECT_EQ(NormaliseBaseDirectory("C:\\work"), "C:\\work");
    EXPECT_EQ(NormaliseBaseDirectory("C:\\"), "C:\\");
    EXPECT_EQ(NormaliseBaseDirectory("C:\\work\\\\"), "C:\\work\\");
    EXPECT_EQ(NormaliseBaseDirectory(""), "");
}

TEST(TargetPath, FlatNamesKeepOnlyTheLastPart) {
    EXPECT_EQ(MemberTargetName("bin/tool.exe", false, false), "tool.exe");
    EXPECT_EQ(MemberTargetName("a\\b/c.txt", false, false), "c.txt");
    EXPECT_EQ(MemberTargetName("C:evil.txt", false, false), "evil.txt");
    EXPECT_EQ(MemberTargetName("a/b/", true, true), "a\\b");
    EXPECT_EQ(MemberTargetName("a/b/c.txt", false, true), "a\\b\\c.txt");
}

TEST(TargetPath, JoinsTheBaseDirectory) {
    EXPECT_EQ(JoinBase("C:\\out", "a.txt"), "C:\\out\\a.txt");
    EXPECT_EQ(JoinBase("C:\\", "a.txt"), "C:\\a.txt");
    EXPECT_EQ(JoinBase("C:", "a.txt"), "C:a.txt");
    EXPECT_EQ(JoinBase("", "a.txt"), "a.txt");
    EXPECT_TRUE(IsAbsoluteTarget("C:\\x"));
    EXPECT_TRUE(IsAbsoluteTarget("\\\\srv\\share\\x"));
    EXPECT_FALSE(IsAbsoluteTarget("\\x"));
    EXPECT_EQ(FolderOf("C:\\out\\a.txt"), "C:\\out");
    EXPECT_EQ(FolderOf("a.txt"), "");
}

TEST(TargetPath, FolderLevelsNeverCreateADriveOrShare) {
    EXPECT_EQ(FolderLevels("C:\\a\\b\\c"),
              (std::vector<std::string>{"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}));
    EXPECT_EQ(FolderLevels("C:\\a"), (std::vector<std::string>{"C:\\a"}));
    EXPECT_EQ(FolderLevels("\\\\srv\\share\\a\\b"),
              (std::vector<std::string>{"\\\\srv\\share\\a", "\\\\srv\\share\\a\\b"}));
}

TEST(TargetPath, RestoredPathsThatLeaveTheBaseAreRecognised) {
    EXPECT_TRUE(LeavesBaseFolder("..\\x"));
    EXPECT_TRUE(LeavesBaseFolder("a\\..\\..\\x"));
    EXPECT_TRUE(LeavesBaseFolder("a\\.. \\x"));
    EXPECT_TRUE(LeavesBaseFolder("\\windows\\x"));
    EXPECT_TRUE(LeavesBaseFolder("C:\\x"));
    EXPECT_TRUE(LeavesBaseFolder("C:x"));
    EXPECT_FALSE(LeavesBaseFolder("a\\b\\x"));
    EXPECT_FALSE(LeavesBaseFolder("a\\..b\\x"));
    EXPECT_TRUE(LeavesBaseFolder("...")); // Windows drops trailing dots
    EXPECT_TRUE(LeavesBaseFolder("x\\\\evil.txt")) << "a doubled separator";
    EXPECT_TRUE(LeavesBaseFolder("x\\ .\\evil.txt")) << "a part Windows reads as empty";
}

TEST(TargetPath, DeviceNamesAreRecognisedInEveryForm) {
    for (const char* name : {"NUL", "nul.txt", "CON", "com1", "LPT9.tar.gz", "aux. ", "Nul .txt",
                             "PRN.", "conout$", "COM\xB9"})
        EXPECT_TRUE(IsDeviceName(name)) << name;
    for (const char* name : {"null", "con1", "COM", "xNUL", "nul_", "LPT10", "com1a.txt", ".."})
        EXPECT_FALSE(IsDeviceName(name)) << name;
}

} // namespace
