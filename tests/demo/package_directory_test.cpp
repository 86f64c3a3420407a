// Reading member names from real archives, and refusing damaged ones.
#include "demo/package_directory.h"

#include <gtest/gtest.h>

#include "tests/common/test_paths.h"

namespace ks::demo {
namespace {

std::vector<std::string> Names(const char* file) {
    return ReadZipMemberNames(kstest::SourcePath(std::string("tests/data/demo/") + file));
}

TEST(PackageDirectory, ListsEveryMember) {
    EXPECT_EQ(Names("package.zip"),
              (std::vector<std::string>{"keltra.exe", "readme.txt", "agent.zip"}));
}

TEST(PackageDirectory, SkipsAFalseEndRecordInsideTheComment) {
    EXPECT_EQ(Names("commented.zip"), std::vector<std::string>{"sub/keltra.ico"});
}

TEST(PackageDirectory, DamagedOrForeignFilesGiveNoNames) {
    EXPECT_TRUE(Names("truncated_directory.zip").empty());
    EXPECT_TRUE(Names("not_a_zip.zip").empty());
    EXPECT_TRUE(Names("missing.zip").empty());
}

TEST(PackageDirectory, EntryRunningPastTheDirectoryIsRefused) {
    // One entry header whose name length points beyond the buffer.
    std::string entry(46, '\0');
    entry[0] = 'P';
    entry[1] = 'K';
    entry[2] = 1;
    entry[3] = 2;
    entry[28] = 10;
    std::vector<std::string> names;
    EXPECT_FALSE(ParseZipDirectory(entry + "short", 1, names));
    EXPECT_TRUE(ParseZipDirectory(entry + "0123456789", 1, names));
    EXPECT_EQ(names, std::vector<std::string>{"0123456789"});
    EXPECT_FALSE(ParseZipDirectory(entry + "0123456789", 2, names));
}

TEST(PackageDirectory, EndRecordMustFollowItsDirectory) {
    std::string end(22, '\0');
    end[0] = 'P';
    end[1] = 'K';
    end[2] = 5;
    end[3] = 6;
    end[12] = 100; // a directory of 100 bytes at offset 0 cannot end before byte 22
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t entries = 0;
    EXPECT_FALSE(FindZipDirectory({end, 0}, offset, size, entries));
    EXPECT_TRUE(FindZipDirectory({end, 100}, offset, size, entries));
    EXPECT_EQ(size, 100u);
    EXPECT_FALSE(FindZipDirectory({std::string_view(end).substr(0, 21), 0}, offset, size, entries));
}

} // namespace
} // namespace ks::demo
