// POSIX specifics of extraction: symbolic links in the target folder are not followed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "archive/zip_extractor.h"
#include "tests/archive/zip_builder.h"
#include "tests/common/test_paths.h"

namespace {

using namespace ks::archive;
using namespace kstest::zip;

TEST(PosixExtraction, ALinkInTheTargetFolderIsNotFollowed) {
    kstest::ScratchFolder scratch("posix-extraction");
    const std::string out = scratch.File("out");
    std::filesystem::create_directories(out);
    WriteFile(scratch.File("outside.txt"), "keep");
    ASSERT_EQ(::symlink(scratch.File("outside.txt").c_str(), (out + "/link.txt").c_str()), 0);
    WriteFile(scratch.File("p.zip"), Build({{"link.txt", "replaced"}}));

    ZipExtractor zip;
    std::vector<ErrorClass> failures;
    zip.OnProcessItemFailure = [&failures](ZipExtractor&, const ZipMember&, ProcessType,
                                           ErrorClass c, int) { failures.push_back(c); };
    zip.SetFileName(scratch.File("p.zip"));
    zip.SetBaseDirectory(out);
    zip.ExtractByMask("*.*");
    EXPECT_EQ(ReadFile(scratch.File("outside.txt")), "keep");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], ErrorClass::ecFileCreateError);
}

} // namespace
