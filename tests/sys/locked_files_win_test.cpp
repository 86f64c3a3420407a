// Waiting for locked files: which failures are waited for, and that the wait is bounded.
#include "sys/locked_files_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/common/test_paths.h"

namespace {

struct LockCase {
    const char* name;
    DWORD error;
    DWORD attributes; // of the file at the path; 0: no file there
    bool waited;
};

class RetryWhileLocked : public testing::TestWithParam<LockCase> {};

TEST_P(RetryWhileLocked, WaitsOnlyForLocks) {
    kstest::ScratchFolder folder("locked-files");
    const std::string path = folder.File("target");
    if (GetParam().attributes) {
        CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        SetFileAttributesA(path.c_str(), GetParam().attributes);
    }
    int attempts = 0;
    const bool done = ks::RetryWhileLocked(
        path,
        [&] {
            ++attempts;
            SetLastError(GetParam().error);
            return false;
        },
        200);
    const DWORD error = GetLastError();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(done);
    EXPECT_EQ(error, GetParam().error) << "the caller reports the real error";
    if (GetParam().waited)
        EXPECT_GT(attempts, 2);
    else
        EXPECT_EQ(attempts, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RetryWhileLocked,
    testing::Values(LockCase{"SharingViolation", ERROR_SHARING_VIOLATION, 0, true},
                    LockCase{"LockViolation", ERROR_LOCK_VIOLATION, 0, true},
                    LockCase{"AccessDenied", ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_NORMAL, true},
                    LockCase{"ReadOnlyIsFinal", ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_READONLY,
                             false},
                    LockCase{"MissingFolder", ERROR_PATH_NOT_FOUND, 0, false},
                    LockCase{"DiskFull", ERROR_DISK_FULL, 0, false}),
    [](const auto& info) { return info.param.name; });

TEST(RetryWhileLocked, ALockThatEndsLetsTheOperationThrough) {
    int attempts = 0;
    EXPECT_TRUE(ks::RetryWhileLocked(
        "C:\\unused",
        [&] {
            SetLastError(ERROR_SHARING_VIOLATION);
            return ++attempts == 3;
        },
        5000));
    EXPECT_EQ(attempts, 3);
}

} // namespace
