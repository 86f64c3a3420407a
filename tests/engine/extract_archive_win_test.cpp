// The engine's extraction driver: archive names, overwrite answers, and which outcomes count
// as a failed extraction.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/form_dm_base.h"
#include "tests/archive/zip_builder.h"
#include "tests/common/test_paths.h"

namespace ks {
namespace {

using kstest::zip::Build;
using kstest::zip::Entry;

class ExtractArchiveTest : public ::testing::Test {
protected:
    ExtractArchiveTest() : scratch_("extract-archive"), target_(scratch_.File("target")) {
        CreateDirectoryA(target_.c_str(), nullptr);
    }

    std::string Package(const std::string& name, const kstest::zip::Bytes& bytes) {
        kstest::zip::WriteFile(scratch_.File(name), bytes);
        return scratch_.File(name);
    }
    std::string Target(const std::string& name) const { return target_ + "\\" + name; }
    static bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    kstest::ScratchFolder scratch_;
    std::string target_;
    TDMBase engine_;
};

TEST_F(ExtractArchiveTest, EmptyMaskAndStarDotStarExtractEveryMember) {
    const std::string zip = Package("p.zip", Build({{"a/one.txt", "1"}, {"two", "2"}}));
    for (const char* mask : {"", "*.*"}) {
        EXPECT_TRUE(engine_.ExtractArchive(zip, target_, mask)) << mask;
        EXPECT_EQ(kstest::zip::ReadFile(Target("one.txt")), "1");
        EXPECT_EQ(kstest::zip::ReadFile(Target("two")), "2");
        EXPECT_EQ(engine_.UnZipper.FileName(), "") << "released after success";
        DeleteFileA(Target("one.txt").c_str());
        DeleteFileA(Target("two").c_str());
    }
}

TEST_F(ExtractArchiveTest, MaskTakesOneMemberOutOfAPackage) {
    const std::string zip =
        Package("p.zip", Build({{"bin/kagent.exe", "agent"}, {"other.dll", "x"}}));
    EXPECT_TRUE(engine_.ExtractArchive(zip, target_, "kagent.exe"));
    EXPECT_TRUE(Exists(Target("kagent.exe")));
    EXPECT_FALSE(Exists(Target("other.dll")));
}

TEST_F(ExtractArchiveTest, ProtectedTargetsAreOverwrittenWithoutAQuestion) {
    kstest::zip::WriteFile(Target("locked.txt"), "old");
    SetFileAttributesA(Target("locked.txt").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const std::string zip = Package("p.zip", Build({{"locked.txt", "new"}}));
    EXPECT_TRUE(engine_.ExtractArchive(zip, target_, ""));
    EXPECT_EQ(kstest::zip::ReadFile(Target("locked.txt")), "new");
    ASSERT_TRUE(engine_.UnZipper.OnConfirmOverwrite) << "attached when the engine is created";
}

TEST_F(ExtractArchiveTest, InnerExtensionsAreDroppedForTheRunAndRestoredAfterwards) {
    const std::string zip = Package("pkg.beta.zip", Build({{"a", "1"}}));
    bool openedUnderArchiveName = false;
    engine_.UnZipper.OnArchiveProgress = [&](archive::ZipExtractor&, int, bool&) {
        openedUnderArchiveName = Exists(scratch_.File("pkg.zip")) && !Exists(zip);
    };
    EXPECT_TRUE(engine_.ExtractArchive(zip, target_, ""));
    EXPECT_TRUE(openedUnderArchiveName);
    EXPECT_TRUE(Exists(zip));
    EXPECT_FALSE(Exists(scratch_.File("pkg.zip")));
}

TEST_F(ExtractArchiveTest, FailedRunStillRestoresTheNameAndReleasesThePackage) {
    const std::string broken = Package("pkg.v2.zip", "this is not an archive at all");
    EXPECT_FALSE(engine_.ExtractArchive(broken, target_, ""));
    EXPECT_TRUE(Exists(broken));
    EXPECT_FALSE(Exists(scratch_.File("pkg.zip")));

    const std::string good = Package("good.v1.zip", Build({{"a", "1"}}));
    EXPECT_FALSE(engine_.ExtractArchive(good, scratch_.File("no-such-folder"), ""));
    EXPECT_TRUE(Exists(good));
    EXPECT_TRUE(DeleteFileA(good.c_str())) << "the package must not stay open";
}

TEST_F(ExtractArchiveTest, RemovedEarlierTargetDoesNotFailTheNextPackage) {
    const std::string earlier = scratch_.File("earlier");
    CreateDirectoryA(earlier.c_str(), nullptr);
    const std::string zip = Package("p.zip", Build({{"a", "1"}}));
    EXPECT_TRUE(engine_.ExtractArchive(zip, earlier, ""));
    DeleteFileA((earlier + "\\a").c_str());
    ASSERT_TRUE(RemoveDirectoryA(earlier.c_str()));
    EXPECT_TRUE(engine_.ExtractArchive(zip, target_, ""));
    EXPECT_EQ(kstest::zip::ReadFile(Target("a")), "1");
}

TEST_F(ExtractArchiveTest, FileAlreadyUnderTheArchiveNameIsNotExtractedInstead) {
    const std::string stale = Package("pkg.zip", Build({{"stale.txt", "old package"}}));
    const std::string fresh = Package("pkg.beta.zip", Build({{"fresh.txt", "new package"}}));
    EXPECT_FALSE(engine_.ExtractArchive(fresh, target_, ""));
    EXPECT_FALSE(Exists(Target("stale.txt")));
    EXPECT_TRUE(Exists(stale));
    EXPECT_TRUE(Exists(fresh));
}

TEST_F(ExtractArchiveTest, MissingPackageGivesFalse) {
    EXPECT_FALSE(engine_.ExtractArchive(scratch_.File("absent.zip"), target_, ""));
}

TEST_F(ExtractArchiveTest, DamagedMemberMakesTheExtractionFail) {
    Entry damaged{"damaged.bin", "payload"};
    damaged.crc = 0x1234;
    const std::string zip = Package("p.zip", Build({damaged, {"fine.txt", "ok"}}));
    EXPECT_FALSE(engine_.ExtractArchive(zip, target_, ""));
    EXPECT_EQ(kstest::zip::ReadFile(Target("fine.txt")), "ok");
    EXPECT_FALSE(engine_.UnZipper.OnProcessItemFailure) << "no handler left behind";

    Entry unsupported{"method7.bin", "x", 7};
    EXPECT_FALSE(engine_.ExtractArchive(Package("q.zip", Build({unsupported})), target_, ""));
    EXPECT_TRUE(engine_.ExtractArchive(Package("r.zip", Build({{"x", "y"}})), target_, ""));
}

} // namespace
} // namespace ks
