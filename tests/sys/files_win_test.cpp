// Folders on disk: creation, listing, unique work folders, copies and resource extraction.
#include "sys/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

#include "sys/errors.h"
#include "sys/paths.h"
#include "sys/resources_win.h"
#include "sys/unique_handle_win.h"
#include "tests/common/test_paths.h"
#include "tests/helpers/helper_program_win.h"

namespace {

void WriteFile(const std::string& path, const std::string& text) {
    ks::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(
        ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

TEST(ForceFoldersTest, CreatesEveryMissingParent) {
    kstest::ScratchFolder scratch("force");
    const std::string deep = scratch.Path() + "\\a\\b\\c\\";
    EXPECT_TRUE(ks::ForceFolders(deep));
    EXPECT_TRUE(ks::FolderExists(deep));
    EXPECT_TRUE(ks::ForceFolders(deep));
    WriteFile(scratch.File("file"), "x");
    EXPECT_FALSE(ks::ForceFolders(scratch.File("file") + "\\below"));
}

TEST(ListFolderTest, ListsEveryEntryExceptDotNames) {
    kstest::ScratchFolder scratch("list");
    WriteFile(scratch.File("plain.txt"), "1");
    WriteFile(scratch.File("hidden.txt"), "2");
    SetFileAttributesA(scratch.File("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(scratch.File(".dotfile"), "3");
    CreateDirectoryA(scratch.File("sub").c_str(), nullptr);
    CreateDirectoryA(scratch.File(".dotdir").c_str(), nullptr);
    std::vector<std::string> names = ks::ListFolder(scratch.Path() + "\\*.*");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"hidden.txt", "plain.txt", "sub"}));
    EXPECT_EQ(ks::ListFolder(scratch.Path() + "\\*.txt").size(), 2u);
}

TEST(IsFolderEmptyTest, DotNamesAndMissingFoldersCountAsEmpty) {
    kstest::ScratchFolder scratch("empty");
    EXPECT_TRUE(ks::IsFolderEmpty(scratch.Path()));
    EXPECT_TRUE(ks::IsFolderEmpty(scratch.Path() + "\\"));
    WriteFile(scratch.File(".only-dots"), "x");
    EXPECT_TRUE(ks::IsFolderEmpty(scratch.Path()));
    EXPECT_TRUE(ks::IsFolderEmpty(scratch.Path() + "\\missing"));
    WriteFile(scratch.File("a"), "x");
    EXPECT_FALSE(ks::IsFolderEmpty(scratch.Path()));
    EXPECT_FALSE(ks::IsFolderEmpty(scratch.Path() + "\\"));
}

TEST(CopyFileToTest, ReplacesUnlessAsked) {
    kstest::ScratchFolder scratch("copy");
    WriteFile(scratch.File("source"), "new content");
    WriteFile(scratch.File("target"), "old content, longer than the new one");
    EXPECT_FALSE(ks::CopyFileTo(scratch.File("source"), scratch.File("target"), true));
    EXPECT_EQ(kstest::ReadWholeFile(scratch.File("target")),
              "old content, longer than the new one");
    EXPECT_TRUE(ks::CopyFileTo(scratch.File("source"), scratch.File("target"), false));
    EXPECT_EQ(kstest::ReadWholeFile(scratch.File("target")), "new content");
    EXPECT_FALSE(ks::CopyFileTo(scratch.File("missing"), scratch.File("other"), false));
}

bool LooksUnique(const std::string& path, const std::string& base, const std::string& prefix) {
    const std::string stem = ks::IncludeTrailingBackslash(base) + prefix;
    if (path.size() != stem.size() + 9 || path.compare(0, stem.size(), stem) != 0 ||
        path.back() != '\\')
        return false;
    return std::all_of(path.begin() + stem.size(), path.end() - 1,
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

TEST(CreateUniqueFolderTest, ManyCallsInOneMillisecondGiveNewFolders) {
    kstest::ScratchFolder scratch("unique");
    std::set<std::string> seen;
    for (int i = 0; i < 300; ++i) {
        const std::string folder = ks::CreateUniqueFolder(scratch.Path(), "tmp");
        EXPECT_TRUE(LooksUnique(folder, scratch.Path(), "tmp")) << folder;
        EXPECT_TRUE(ks::FolderExists(folder));
        EXPECT_TRUE(ks::IsFolderEmpty(folder));
        EXPECT_TRUE(seen.insert(folder).second) << "returned twice: " << folder;
        // Something inside marks it as used: a second return would not be empty.
        WriteFile(folder + "used", "x");
    }
}

TEST(CreateUniqueFolderTest, ConcurrentCallersNeverShareAFolder) {
    kstest::ScratchFolder scratch("unique-threads");
    std::vector<std::vector<std::string>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&result, &scratch] {
            for (int i = 0; i < 50; ++i)
                result.push_back(ks::CreateUniqueFolder(scratch.Path(), "w"));
        });
    for (auto& thread : threads)
        thread.join();
    std::set<std::string> all;
    for (const auto& result : results)
        all.insert(result.begin(), result.end());
    EXPECT_EQ(all.size(), 200u);
    EXPECT_EQ(ks::ListFolder(scratch.Path() + "\\*.*").size(), 200u);
}

TEST(CreateUniqueFolderTest, FailsRatherThanReturnAFolderThatExisted) {
    kstest::ScratchFolder scratch("unique-taken");
    ASSERT_TRUE(CreateDirectoryA(scratch.File("w0000002A").c_str(), nullptr));
    WriteFile(scratch.File("w0000002A\\theirs"), "x");
    EXPECT_THROW(ks::CreateUniqueFolder(scratch.Path(), "w", [] { return 42u; }), ks::OsError);
    std::uint32_t next = 42;
    EXPECT_EQ(ks::CreateUniqueFolder(scratch.Path(), "w", [&next] { return next++; }),
              scratch.File("w0000002B\\"))
        << "a collision is retried with the next number";
}

TEST(CreateUniqueFolderTest, CreatesAMissingBase) {
    kstest::ScratchFolder scratch("unique-base");
    const std::string base = scratch.Path() + "\\x\\y";
    const std::string folder = ks::CreateUniqueFolder(base, "");
    EXPECT_TRUE(LooksUnique(folder, base, ""));
    EXPECT_TRUE(ks::FolderExists(folder));
}

class ExtractResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        helper_.Reset(
            LoadLibraryExA(kstest::HelperPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(helper_) << kstest::HelperPath();
    }
    ks::UniqueLibrary helper_;
    kstest::ScratchFolder scratch_{"resource"};
};

TEST_F(ExtractResourceTest, WritesTheBytesIntoNewFolders) {
    const std::string target = scratch_.Path() + "\\a\\b\\terms.rtf";
    ks::ExtractResourceToFile("kstestdata", target, helper_.Get());
    EXPECT_EQ(kstest::ReadWholeFile(target), std::string("keltrasetup test resource\r\n", 27));
}

TEST_F(ExtractResourceTest, ReplacesAnExistingFileWhole) {
    const std::string target = scratch_.File("terms.rtf");
    WriteFile(target, std::string(4000, 'o'));
    ks::ExtractResourceToFile("KSTESTDATA", target, helper_.Get());
    EXPECT_EQ(kstest::ReadWholeFile(target).size(), 27u);
}

TEST_F(ExtractResourceTest, MissingResourceRaisesItsUpperCaseName) {
    try {
        ks::ExtractResourceToFile("nothing", scratch_.File("x"), helper_.Get());
        FAIL() << "no error";
    } catch (const ks::Error& error) {
        EXPECT_STREQ(error.what(), "Resource NOTHING not found");
    }
    EXPECT_FALSE(ks::FileExists(scratch_.File("x")));
}

TEST_F(ExtractResourceTest, UnwritableTargetRaisesTheFileError) {
    const std::string target = scratch_.File("folder-in-the-way");
    CreateDirectoryA(target.c_str(), nullptr);
    EXPECT_THROW(ks::ExtractResourceToFile("KSTESTDATA", target, helper_.Get()), ks::OsError);
}

} // namespace
