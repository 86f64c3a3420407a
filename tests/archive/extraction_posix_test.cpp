// POSIX specifics of extraction: symbolic links in the target folder are never followed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "archive/file_access.h"
#include "archive/zip_extractor.h"
#include "tests/archive/zip_builder.h"
#include "tests/common/test_paths.h"

namespace {

using namespace ks::archive;
using namespace kstest::zip;

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

class PosixExtraction : public ::testing::Test {
protected:
    PosixExtraction() : scratch_("posix-extraction"), out_(scratch_.File("out")) {
        std::filesystem::create_directories(out_);
        zip_.OnProcessItemFailure = [this](ZipExtractor&, const ZipMember&, ProcessType,
                                           ErrorClass c, int) { failures_.push_back(c); };
        // What the setup engine answers: the target's attributes are reset first.
        zip_.OnConfirmOverwrite = [](std::string& name, bool& confirm) {
            SetFileDosAttributes(name, 0x20);
            confirm = true;
        };
    }
    void Extract(const Bytes& bytes) {
        WriteFile(scratch_.File("p.zip"), bytes);
        zip_.SetFileName(scratch_.File("p.zip"));
        zip_.SetBaseDirectory(out_);
        zip_.ExtractByMask("*.*");
    }

    kstest::ScratchFolder scratch_;
    std::string out_;
    ZipExtractor zip_;
    std::vector<ErrorClass> failures_;
};

TEST_F(PosixExtraction, ALinkInTheTargetFolderIsNotFollowed) {
    const std::string outside = scratch_.File("outside.txt");
    WriteFile(outside, "keep");
    ASSERT_EQ(::chmod(outside.c_str(), 0444), 0);
    ASSERT_EQ(::symlink(outside.c_str(), (out_ + "/link.txt").c_str()), 0);
    Extract(Build({{"link.txt", "replaced"}}));
    EXPECT_EQ(ReadFile(outside), "keep");
    EXPECT_EQ(StatOf(outside).st_mode & 07777, 0444u) << "the overwrite answer chmod-ed the link";
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0], ErrorClass::ecFileCreateError);
}

TEST_F(PosixExtraction, ARestoredFolderThatIsALinkIsNeverWrittenThrough) {
    const std::string outside = scratch_.File("outside");
    std::filesystem::create_directories(outside);
    ASSERT_EQ(::chmod(outside.c_str(), 0755), 0);
    const struct stat before = StatOf(outside);
    ASSERT_EQ(::symlink(outside.c_str(), (out_ + "/linked").c_str()), 0);
    zip_.ExtractOptions.eoRestorePath = true;
    Extract(Build({{"linked/", "", 0, 0, 20, 20, 0x11}, {"linked/x.txt", "through"}}));
    const struct stat after = StatOf(outside);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_mtime, before.st_mtime);
    EXPECT_FALSE(std::filesystem::exists(outside + "/x.txt"));
    EXPECT_EQ(failures_.size(), 1u);
}

} // namespace
