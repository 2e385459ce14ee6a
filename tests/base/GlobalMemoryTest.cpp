#include "platform/base/GlobalMemory.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(GlobalMemory, MoveableBlockLocksCountAndFrees)
{
    size_t before = platform::GlobalBlockCount();
    HGLOBAL h = GlobalAlloc(GHND, 100);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 100u);
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(p[i], 0) << i;
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    EXPECT_EQ(GlobalHandle(p), h);

    EXPECT_TRUE(GlobalUnlock(h));
    SetLastError(ERROR_INVALID_DATA);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_LOCKED));

    EXPECT_EQ(platform::GlobalBlockCount(), before + 1);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(platform::GlobalBlockCount(), before);
}

TEST(GlobalMemory, FixedBlockHandleIsItsAddress)
{
    HGLOBAL h = GlobalAlloc(GPTR, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), h);
    EXPECT_EQ(GlobalFlags(h), 0u); // fixed blocks keep a lock count of 0
    SetLastError(ERROR_INVALID_DATA);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));
    std::memset(h, 0xAB, 16);
    EXPECT_EQ(GlobalHandle(h), h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, StaleAndForgedHandlesFailCleanly)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_EQ(GlobalFree(h), nullptr);
    // The slot is reused by the next block, under a new generation.
    HGLOBAL next = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(next, h);

    int local = 0;
    HGLOBAL forged[] = {h, reinterpret_cast<HGLOBAL>(0x1), reinterpret_cast<HGLOBAL>(0x12345678),
        reinterpret_cast<HGLOBAL>(uintptr_t(0xFFFFFFF8)), &local};
    for (HGLOBAL bad : forged) {
        SetLastError(0);
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalFlags(bad), UINT(GMEM_INVALID_HANDLE));
        EXPECT_EQ(GlobalReAlloc(bad, 16, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GlobalFree(bad), bad);
    }
    // The address inside a moveable block is not a handle either.
    void* p = GlobalLock(next);
    EXPECT_EQ(GlobalSize(p), 0u);
    GlobalUnlock(next);
    EXPECT_EQ(GlobalSize(next), 8u);
    GlobalFree(next);
}

TEST(GlobalMemory, ReAllocKeepsContentsAndZeroesGrowth)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, 4);
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    std::memcpy(p, "abcd", 4);
    GlobalUnlock(h);

    HGLOBAL grown = GlobalReAlloc(h, 5000, GMEM_MOVEABLE);
    EXPECT_EQ(grown, h); // a moveable block keeps its handle when it moves
    EXPECT_EQ(GlobalSize(h), 5000u);
    p = static_cast<BYTE*>(GlobalLock(h));
    EXPECT_EQ(std::memcmp(p, "abcd", 4), 0);
    EXPECT_EQ(p[4], 0);
    EXPECT_EQ(p[4999], 0);
    p[4] = 'e';
    GlobalUnlock(h);

    ASSERT_EQ(GlobalReAlloc(h, 2, 0), h);
    EXPECT_EQ(GlobalSize(h), 2u);
    // Growing back within the memory it had shows zeros, not old bytes.
    ASSERT_EQ(GlobalReAlloc(h, 5, 0), h);
    p = static_cast<BYTE*>(GlobalLock(h));
    EXPECT_EQ(std::memcmp(p, "ab\0\0\0", 5), 0);
    GlobalUnlock(h);
    GlobalFree(h);
}

TEST(GlobalMemory, LockedOrFixedBlocksMoveOnlyWhenAllowed)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    void* p = GlobalLock(h);
    SetLastError(0);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalSize(h), 16u);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE), h);
    EXPECT_NE(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalHandle(p), nullptr); // the old address is gone
    GlobalFree(h); // locked blocks are freed too

    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 16);
    EXPECT_EQ(GlobalReAlloc(fixed, 64, 0), nullptr);
    HGLOBAL movedFixed = GlobalReAlloc(fixed, 64, GMEM_MOVEABLE);
    ASSERT_NE(movedFixed, nullptr);
    EXPECT_EQ(GlobalLock(movedFixed), movedFixed);
    EXPECT_EQ(GlobalSize(movedFixed), 64u);

    // GMEM_MODIFY turns it moveable: same memory, new handle.
    HGLOBAL modified = GlobalReAlloc(movedFixed, 0, GMEM_MODIFY | GMEM_MOVEABLE);
    ASSERT_NE(modified, nullptr);
    EXPECT_NE(modified, movedFixed);
    EXPECT_EQ(GlobalLock(modified), static_cast<void*>(movedFixed));
    EXPECT_EQ(GlobalSize(movedFixed), 0u);
    EXPECT_EQ(GlobalFree(modified), nullptr);
}

TEST(GlobalMemory, EmptyMoveableBlockIsDiscarded)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalFlags(h), UINT(GMEM_DISCARDED));
    ASSERT_EQ(GlobalReAlloc(h, 10, GMEM_MOVEABLE), h);
    EXPECT_NE(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalFlags(h), 1u);
    GlobalUnlock(h);
    ASSERT_EQ(GlobalReAlloc(h, 0, GMEM_MOVEABLE), h);
    EXPECT_EQ(GlobalFlags(h), UINT(GMEM_DISCARDED));
    GlobalFree(h);
}

TEST(GlobalMemory, RefusesAbsurdSizes)
{
    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GHND, SIZE_T(1) << 31), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalAlloc(GPTR, SIZE_T(-1)), nullptr);
    HGLOBAL h = GlobalAlloc(GHND, 1);
    EXPECT_EQ(GlobalReAlloc(h, SIZE_T(-1), GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(h), 1u);
    GlobalFree(h);
}
