// The Win32 traits: each kind is closed by its own function, and never when it is invalid.
#include "sys/unique_handle_win.h"

#include <gtest/gtest.h>

#include "tests/common/test_paths.h"

namespace {

bool IsOpenHandle(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(UniqueHandleWinTest, KernelHandleIsClosedWithItsOwner) {
    HANDLE raw = nullptr;
    {
        ks::UniqueKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        raw = event.Get();
        ASSERT_TRUE(IsOpenHandle(raw));
        ks::UniqueKernelHandle moved(std::move(event));
        EXPECT_TRUE(IsOpenHandle(raw));
    }
    EXPECT_FALSE(IsOpenHandle(raw));
}

TEST(UniqueHandleWinTest, FailedCreateFileIsNotAHandle) {
    kstest::ScratchFolder scratch("handles");
    ks::UniqueFileHandle missing(CreateFileA(scratch.File("no\\such\\file").c_str(), GENERIC_READ,
                                             0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    ks::UniqueFileHandle file(CreateFileA(scratch.File("f").c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    const HANDLE raw = file.Get();
    file.Reset();
    EXPECT_FALSE(IsOpenHandle(raw));
    // Closed, so the file can be deleted at once.
    EXPECT_TRUE(DeleteFileA(scratch.File("f").c_str()));
}

TEST(UniqueHandleWinTest, RegistryKeyAndGdiObjectsAreReleased) {
    ks::UniqueRegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Put()), ERROR_SUCCESS);
    EXPECT_TRUE(key);
    key.Reset();
    EXPECT_FALSE(key);

    ks::UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    const HBRUSH raw = brush.Get();
    ASSERT_NE(GetObjectType(raw), 0u);
    brush.Reset();
    EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST(UniqueHandleWinTest, SelectGuardRestoresThePreviousObject) {
    ks::UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    ks::UniquePen pen(CreatePen(PS_SOLID, 1, RGB(9, 9, 9)));
    const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_PEN);
    {
        ks::SelectGuard select(dc.Get(), pen.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), before);
}

} // namespace
