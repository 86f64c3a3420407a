// The extraction component on disk: flat targets, overwrite, failure routing, progress and
// the file name and folder assignment rules.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/file_access.h"
#include "archive/zip_extractor.h"
#include "tests/archive/reader_support.h"
#include "tests/common/test_paths.h"

namespace {

using namespace ks::archive;
using namespace kstest::zip;
namespace fs = std::filesystem;

struct Failure {
    std::string member;
    ErrorClass errorClass;
    int code;
};

class Extraction : public ::testing::Test {
protected:
    Extraction() : scratch_("zip-extractor"), out_(scratch_.File("out")) {
        fs::create_directories(out_);
        zip_.OnProcessItemFailure = [this](ZipExtractor&, const ZipMember& m, ProcessType,
                                           ErrorClass c, int code) {
            failures_.push_back({m.name, c, code});
        };
        // What the setup engine answers.
        zip_.OnConfirmOverwrite = [this](std::string& name, bool& confirm) {
            overwritten_.push_back(name);
            SetFileDosAttributes(name, 0x20);
            confirm = true;
        };
    }

    std::string Package(const Bytes& bytes, const std::string& name = "package.zip") {
        const std::string path = scratch_.File(name);
        WriteFile(path, bytes);
        return path;
    }

    void ExtractAll(const Bytes& bytes, const std::string& mask = "*.*") {
        zip_.SetFileName(Package(bytes));
        zip_.SetBaseDirectory(out_);
        zip_.ExtractByMask(mask);
        zip_.ReleaseArchive();
    }

    std::string Out(const std::string& name) const { return out_ + Sep() + name; }
    static char Sep() { return fs::path::preferred_separator == '\\' ? '\\' : '/'; }
    std::vector<std::string> OutNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(out_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    kstest::ScratchFolder scratch_;
    std::string out_;
    ZipExtractor zip_;
    std::vector<Failure> failures_;
    std::vector<std::string> overwritten_;
};

TEST_F(Extraction, FlatTargetsOverwriteInDirectoryOrder) {
    ExtractAll(Build({{"bin/tool.exe", "first"},
                      {"data/", "", 0, 0, 20, 20, 0x10},
                      {"data/tool.exe", "second"},
                      {"readme", "text"}}));
    EXPECT_EQ(OutNames(), (std::vector<std::string>{"readme", "tool.exe"}));
    EXPECT_EQ(ReadFile(Out("tool.exe")), "second");
    ASSERT_EQ(overwritten_.size(), 1u);
    EXPECT_EQ(overwritten_[0], out_ + "\\tool.exe");
    EXPECT_TRUE(failures_.empty());
}

TEST_F(Extraction, MaskSelectsMembers) {
    ExtractAll(Build({{"sub/Tool.exe", "t"}, {"a.txt", "a"}, {"SUB/b.txt", "b"}}),
               "tool.exe; sub\\*.txt");
    EXPECT_EQ(OutNames(), (std::vector<std::string>{"Tool.exe", "b.txt"}));
}

TEST_F(Extraction, ReadOnlyTargetIsOverwrittenAndGetsTheMemberAttributes) {
    WriteFile(Out("tool.exe"), "old");
    fs::permissions(Out("tool.exe"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Entry readOnly{"tool.exe", "new"};
    readOnly.externalAttributes = 0x21;
    ExtractAll(Build({readOnly, {"writable.txt", "w"}}));
    EXPECT_EQ(ReadFile(Out("tool.exe")), "new");
    EXPECT_TRUE(failures_.empty());
    EXPECT_EQ(fs::status(Out("tool.exe")).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_NE(fs::status(Out("writable.txt")).permissions() & fs::perms::owner_write,
              fs::perms::none);
}

TEST_F(Extraction, CrcFailureKeepsTheFileAndIsReported) {
    Entry bad{"bad.bin", "decoded bytes"};
    bad.crc = 0xDEADBEEF;
    ExtractAll(Build({bad, {"good.bin", "fine"}}));
    EXPECT_EQ(ReadFile(Out("bad.bin")), "decoded bytes");
    EXPECT_EQ(ReadFile(Out("good.bin")), "fine");
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0].member, "bad.bin");
    EXPECT_EQ(failures_[0].errorClass, ErrorClass::ecArchive);
    EXPECT_EQ(failures_[0].code, kCrcFailed);
}

TEST_F(Extraction, FailuresAreClassifiedAndTheRunGoesOn) {
    Entry cut{"cut.bin", Bytes(50000, 'c')};
    cut.method = 8;
    Bytes zip = Build({cut});
    // Corrupt the deflate stream: an invalid block type.
    zip[30 + 7] = static_cast<char>(0xFF);
    Entry tooNew{"new.bin", "n"};
    tooNew.versionNeeded = 64;
    Entry method7{"seven.bin", "s"};
    method7.method = 7;
    Entry locked{"locked.bin", "l"};
    locked.flags = 1;
    WriteFile(Out("new.bin"), "untouched");

    zip_.SetFileName(Package(zip, "corrupt.zip"));
    zip_.SetBaseDirectory(out_);
    zip_.ExtractByMask("*.*");
    zip_.SetFileName(Package(Build({tooNew, method7, locked, {"ok.txt", "ok"}})));
    zip_.ExtractByMask("*.*");

    ASSERT_EQ(failures_.size(), 4u);
    EXPECT_EQ(failures_[0].errorClass, ErrorClass::ecOther);
    EXPECT_FALSE(fs::exists(Out("cut.bin"))); // deleted after the decoding error
    EXPECT_EQ(failures_[1].code, kNewerVersionRequired);
    EXPECT_EQ(ReadFile(Out("new.bin")), "untouched"); // failed before the target was touched
    EXPECT_EQ(failures_[2].code, kUnsupportedMethod);
    EXPECT_EQ(failures_[3].code, kInvalidPassword);
    EXPECT_FALSE(fs::exists(Out("locked.bin")));
    EXPECT_EQ(ReadFile(Out("ok.txt")), "ok");
}

TEST_F(Extraction, ProgressRunsTwiceFromLoadAndExtraction) {
    std::vector<int> seen;
    zip_.OnArchiveProgress = [&seen](ZipExtractor&, int p, bool&) { seen.push_back(p); };
    ExtractAll(Build({{"a", "1"}, {"b", "2"}, {"c", "3"}}));
    EXPECT_EQ(seen, (std::vector<int>{33, 66, 100, 100, 33, 66, 100, 100}));
}

TEST_F(Extraction, AbortAnsweredToArchiveProgressEscapes) {
    zip_.SetFileName(Package(Build({{"a", "1"}, {"b", "2"}})));
    zip_.SetBaseDirectory(out_);
    zip_.OnArchiveProgress = [](ZipExtractor&, int, bool& abort) { abort = true; };
    EXPECT_EQ(ArchiveErrorOf([&] { zip_.ExtractByMask("*.*"); }), kAbortedByUser);
    EXPECT_EQ(OutNames(), (std::vector<std::string>{"a"}));
}

TEST_F(Extraction, AbortWhileWritingAMemberInvalidatesTheArchive) {
    zip_.SetFileName(Package(Build({{"big.bin", Bytes(300000, 'b')}, {"next.txt", "n"}})));
    zip_.SetBaseDirectory(out_);
    zip_.OnArchiveItemProgress = [](ZipExtractor&, const ZipMember&, int progress, bool& abort) {
        abort = progress >= 50;
    };
    EXPECT_EQ(ArchiveErrorOf([&] { zip_.ExtractByMask("*.*"); }), kArchiveMissing);
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0].code, kAbortedByUser);
    EXPECT_EQ(zip_.Archive()->Status(), ArchiveStatus::Invalid);
    EXPECT_TRUE(OutNames().empty()) << "the aborted file is deleted, the next one never starts";
}

TEST_F(Extraction, FileNameRules) {
    EXPECT_EQ(ArchiveErrorOf([&] { zip_.SetFileName(scratch_.File("missing.zip")); }),
              kFileNotFound);
    EXPECT_EQ(zip_.FileName(), "");
    EXPECT_EQ(ArchiveErrorOf([&] { zip_.SetFileName(Package("", "empty.zip")); }), kInvalidStream);
    EXPECT_EQ(ArchiveErrorOf([&] { zip_.SetFileName(Package(Bytes(300, 'x'), "x.ZIP")); }),
              kUnhandledArchiveType);
    EXPECT_EQ(ArchiveErrorOf([&] { zip_.ExtractByMask("*.*"); }), kArchiveMissing);
    EXPECT_EQ(ArchiveErrorOf([&] { zip_.SetFileName(Package(Bytes(300, 'x'), "x.bin")); }),
              kUnhandledArchiveType);
}

TEST_F(Extraction, BaseDirectoryRules) {
    zip_.SetBaseDirectory(scratch_.File("not-yet"));
    EXPECT_EQ(zip_.BaseDirectory(), scratch_.File("not-yet")); // checked at the next open
    EXPECT_EQ(ArchiveErrorOf([&] {
                  zip_.SetFileName(Package(Build({{"a", "1"}})));
              }),
              kDirectoryMissing);

    zip_.SetBaseDirectory("");
    zip_.SetFileName(Package(Build({{"a", "1"}})));
    EXPECT_EQ(ArchiveErrorOf([&] { zip_.SetBaseDirectory(scratch_.File("gone")); }),
              kDirectoryMissing);
    EXPECT_EQ(zip_.BaseDirectory(), "");
    zip_.SetBaseDirectory(out_ + "\\");
    EXPECT_EQ(zip_.BaseDirectory(), out_);
}

TEST_F(Extraction, RestoredPathsStayBelowTheBase) {
    zip_.ExtractOptions.eoRestorePath = true;
    ExtractAll(Build({{"sub/deeper/", "", 0, 0, 20, 20, 0x10},
                      {"sub/deeper/ok.txt", "ok"},
                      {"../escape.txt", "bad"},
                      {"sub/../../escape2.txt", "bad"},
                      {"x//evil.txt", "bad"},
                      {"sub/CON/evil.txt", "bad"}}));
    EXPECT_EQ(ReadFile(out_ + Sep() + "sub" + Sep() + "deeper" + Sep() + "ok.txt"), "ok");
    EXPECT_FALSE(fs::exists(scratch_.File("escape.txt")));
    EXPECT_FALSE(fs::exists(scratch_.File("escape2.txt")));
    ASSERT_EQ(failures_.size(), 4u);
    EXPECT_EQ(failures_[0].errorClass, ErrorClass::ecOther);
}

// Windows would open these as devices or cut the name at the NUL: "success" with no file.
TEST_F(Extraction, DeviceNamesAndNulBytesAreMemberFailures) {
    ExtractAll(Build({{"NUL", "1"},
                      {"sub/nul.txt", "2"},
                      {"Com1 .log.", "3"},
                      {std::string("evil.dll\0.txt", 13), "4"},
                      {"fine.txt", "5"}}));
    EXPECT_EQ(OutNames(), (std::vector<std::string>{"fine.txt"}));
    EXPECT_EQ(failures_.size(), 4u);
}

TEST_F(Extraction, EmptyArchiveReportsOnlyTheLoad) {
    std::vector<int> seen;
    zip_.OnArchiveProgress = [&seen](ZipExtractor&, int p, bool&) { seen.push_back(p); };
    ExtractAll(Build({}));
    EXPECT_EQ(seen, (std::vector<int>{100}));
}

} // namespace
