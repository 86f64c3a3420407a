// Extraction against the Win32 file system: files held open elsewhere, times and attributes.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include "archive/archive_error.h"
#include "archive/file_access.h"
#include "archive/zip_extractor.h"
#include "sys/locked_files_win.h"
#include "tests/archive/zip_builder.h"
#include "tests/common/test_paths.h"
#include "tests/helpers/helper_program_win.h"

namespace {

using namespace ks::archive;
using namespace kstest::zip;

class WinExtraction : public ::testing::Test {
protected:
    WinExtraction() : scratch_("zip-extractor-win"), out_(scratch_.File("out")) {
        CreateDirectoryA(out_.c_str(), nullptr);
        zip_.OnProcessItemFailure = [this](ZipExtractor&, const ZipMember&, ProcessType,
                                           ErrorClass c, int) { classes_.push_back(c); };
    }
    void Extract(const Bytes& bytes) {
        WriteFile(scratch_.File("p.zip"), bytes);
        zip_.SetFileName(scratch_.File("p.zip"));
        zip_.SetBaseDirectory(out_);
        zip_.ExtractByMask("*.*");
        zip_.ReleaseArchive();
    }
    std::string Out(const std::string& name) const { return out_ + "\\" + name; }

    kstest::ScratchFolder scratch_;
    std::string out_;
    ZipExtractor zip_;
    std::vector<ErrorClass> classes_;
};

TEST_F(WinExtraction, TargetHeldOpenWithoutSharingStaysUnchanged) {
    WriteFile(Out("busy.dll"), "in use");
    HANDLE held = CreateFileA(Out("busy.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_NO_THROW(Extract(Build({{"busy.dll", "replacement"}, {"next.txt", "n"}})));
    CloseHandle(held);
    EXPECT_EQ(ReadFile(Out("busy.dll")), "in use");
    EXPECT_EQ(ReadFile(Out("next.txt")), "n");
    ASSERT_EQ(classes_.size(), 1u);
    EXPECT_EQ(classes_[0], ErrorClass::ecFileCreateError);
}

// Another program (a scanner, say) holds the target without sharing for a moment.
class HeldTarget : public WinExtraction {
protected:
    void HoldFor(const std::string& path, DWORD milliseconds) {
        const std::string ready = scratch_.File("held.ready");
        holder_ = std::make_unique<kstest::HelperProcess>(
            "hold \"" + path + "\" " + std::to_string(milliseconds) + " \"" + ready + "\"");
        ASSERT_TRUE(holder_->Started());
        ASSERT_TRUE(kstest::WaitForFile(ready, 10000));
    }
    std::unique_ptr<kstest::HelperProcess> holder_;
};

TEST_F(HeldTarget, ExtractionWaitsForAShortHold) {
    ASSERT_GT(ks::LockWaitMs(), 2000u) << "KS_LOCK_WAIT_MS too short for a 1.5 s hold";
    HoldFor(Out("scanned.dll"), 1500);
    Extract(Build({{"scanned.dll", "fresh"}}));
    EXPECT_EQ(ReadFile(Out("scanned.dll")), "fresh");
    EXPECT_TRUE(classes_.empty());
}

TEST_F(HeldTarget, HoldToTheEndFailsWithinTheBoundNamingTheFile) {
    HoldFor(Out("locked.dll"), 60000);
    const ULONGLONG start = GetTickCount64();
    try {
        OutputFile file(Out("locked.dll"));
        FAIL() << "a held file was opened";
    } catch (const FileCreateError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("\"" + Out("locked.dll") + "\""), std::string::npos) << message;
        std::cout << "held file: " << message << "; holders: \""
                  << ks::ProgramsHolding(Out("locked.dll")) << "\"\n";
    }
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited + 50, ks::LockWaitMs());
    EXPECT_LT(waited, ks::LockWaitMs() + 2000u);
}

TEST_F(WinExtraction, TimeIsTheDosTimeAsLocalTimeAndAttributesAreDosBits) {
    Entry e{"stamped.txt", "t"};
    e.date = static_cast<std::uint16_t>(((2021 - 1980) << 9) | (7 << 5) | 14);
    e.time = static_cast<std::uint16_t>((13 << 11) | (45 << 5) | (30 / 2));
    e.externalAttributes = 0x21;
    Extract(Build({e}));

    HANDLE file = CreateFileA(Out("stamped.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME written{};
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    FILETIME local{};
    FileTimeToLocalFileTime(&written, &local);
    WORD date = 0;
    WORD time = 0;
    FileTimeToDosDateTime(&local, &date, &time);
    EXPECT_EQ(date, e.date);
    EXPECT_EQ(time, e.time);
    const DWORD attributes = GetFileAttributesA(Out("stamped.txt").c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesA(Out("stamped.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WinExtraction, DriveRootKeepsItsBackslash) {
    WriteFile(scratch_.File("p.zip"), Build({{"a", "1"}}));
    zip_.SetFileName(scratch_.File("p.zip"));
    zip_.SetBaseDirectory("Z:\\");
    EXPECT_EQ(zip_.BaseDirectory(), "Z:\\");
}

} // namespace
