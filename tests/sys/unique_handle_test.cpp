// The move-only handle owner: every handle closed exactly once, none closed twice.
#include "sys/unique_handle.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace {

std::vector<int> closed;

struct FakeTraits {
    using Handle = int;
    static Handle Invalid() { return -1; }
    static void Close(Handle handle) { closed.push_back(handle); }
};
using FakeHandle = ks::UniqueHandle<FakeTraits>;

class UniqueHandleTest : public ::testing::Test {
protected:
    void SetUp() override { closed.clear(); }
};

static_assert(!std::is_copy_constructible_v<FakeHandle>);
static_assert(!std::is_copy_assignable_v<FakeHandle>);
static_assert(std::is_nothrow_move_constructible_v<FakeHandle>);

TEST_F(UniqueHandleTest, ClosesOnDestruction) {
    {
        FakeHandle handle(7);
        EXPECT_TRUE(handle);
    }
    EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueHandleTest, EmptyAndInvalidAreNeverClosed) {
    {
        FakeHandle empty;
        FakeHandle invalid(-1);
        EXPECT_FALSE(empty);
        EXPECT_FALSE(invalid);
    }
    EXPECT_TRUE(closed.empty());
}

TEST_F(UniqueHandleTest, MoveTransfersOwnership) {
    {
        FakeHandle a(1);
        FakeHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.Get(), 1);
        EXPECT_TRUE(closed.empty());
    }
    EXPECT_EQ(closed, std::vector<int>{1});
}

TEST_F(UniqueHandleTest, MoveAssignmentClosesTheTargetsHandle) {
    FakeHandle a(1);
    FakeHandle b(2);
    b = std::move(a);
    EXPECT_EQ(closed, std::vector<int>{2});
    EXPECT_EQ(b.Get(), 1);
    FakeHandle& self = b;
    b = std::move(self);
    EXPECT_EQ(closed, std::vector<int>{2});
    EXPECT_EQ(b.Get(), 1);
}

TEST_F(UniqueHandleTest, ReleaseGivesUpWithoutClosing) {
    FakeHandle handle(3);
    EXPECT_EQ(handle.Release(), 3);
    EXPECT_FALSE(handle);
    handle.Reset();
    EXPECT_TRUE(closed.empty());
}

TEST_F(UniqueHandleTest, ResetClosesTheOldHandle) {
    FakeHandle handle(4);
    handle.Reset(5);
    EXPECT_EQ(closed, std::vector<int>{4});
    handle.Reset();
    EXPECT_EQ(closed, (std::vector<int>{4, 5}));
    EXPECT_FALSE(handle);
}

TEST_F(UniqueHandleTest, PutClosesBeforeHandingOutTheSlot) {
    FakeHandle handle(6);
    *handle.Put() = 8;
    EXPECT_EQ(closed, std::vector<int>{6});
    EXPECT_EQ(handle.Get(), 8);
}

} // namespace
