// Global memory: fixed and moveable blocks, lock counts, reallocation and discarding.
#include "tests/conformance/fixture.h"

#include <cstring>

namespace {

class Memory : public Conformance {};

bool all_zero(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i]) return false;
    return true;
}

TEST_F(Memory, FixedBlocksAreTheirOwnAddress) {
    HGLOBAL h = GlobalAlloc(GPTR, 100);
    ASSERT_NE(h, nullptr);
    void* p = GlobalLock(h);
    EXPECT_EQ(p, h);
    EXPECT_TRUE(all_zero(p, 100));
    EXPECT_EQ(GlobalFlags(h), 0u) << "a fixed block has no lock count";
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_TRUE(GlobalUnlock(h)) << "however often: unlocking never ends for a fixed block";
    EXPECT_GE(GlobalSize(h), 100u);
    EXPECT_EQ(GlobalHandle(p), h);

    std::memset(p, 'x', 100);
    HGLOBAL smaller = GlobalReAlloc(h, 40, 0);
    EXPECT_EQ(smaller, h) << "shrinks in place";
    HGLOBAL bigger = GlobalReAlloc(smaller, 4000, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_NE(bigger, nullptr);
    auto* b = static_cast<char*>(GlobalLock(bigger));
    EXPECT_EQ(std::string(b, 40), std::string(40, 'x'));
    EXPECT_TRUE(all_zero(b + 100, 3900));
    EXPECT_EQ(GlobalFree(bigger), nullptr);
}

TEST_F(Memory, MoveableBlocksCountTheirLocks) {
    HGLOBAL h = GlobalAlloc(GHND, 64);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);
    auto* p = static_cast<char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_NE(static_cast<void*>(p), h);
    EXPECT_TRUE(all_zero(p, 64));
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    EXPECT_EQ(GlobalHandle(p), h);
    EXPECT_EQ(GlobalSize(h), 64u);

    EXPECT_TRUE(GlobalUnlock(h)) << "still locked once";
    SetLastError(12345);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR)) << "unlocked now";
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST_F(Memory, ReallocationKeepsTheHandleAndTheContent) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
    ASSERT_NE(h, nullptr);
    std::memcpy(GlobalLock(h), "0123456789abcdef", 16);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalReAlloc(h, 1000, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
    EXPECT_EQ(GlobalSize(h), 1000u);
    auto* p = static_cast<char*>(GlobalLock(h));
    EXPECT_EQ(std::string(p, 16), "0123456789abcdef");
    EXPECT_TRUE(all_zero(p + 16, 1000 - 16));
    GlobalUnlock(h);
    EXPECT_EQ(GlobalReAlloc(h, 8, GMEM_MOVEABLE), h);
    EXPECT_EQ(GlobalSize(h), 8u);
    EXPECT_EQ(std::string(static_cast<char*>(GlobalLock(h)), 8), "01234567");
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST_F(Memory, DiscardedBlocks) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(h, nullptr) << "a moveable block of no bytes is created discarded";
    EXPECT_EQ(GlobalFlags(h) & GMEM_DISCARDED, static_cast<UINT>(GMEM_DISCARDED));
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalReAlloc(h, 10, GMEM_MOVEABLE), h);
    EXPECT_EQ(GlobalFlags(h) & GMEM_DISCARDED, 0u);
    EXPECT_NE(GlobalLock(h), nullptr);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalDiscard(h), h);
    EXPECT_EQ(GlobalFlags(h) & GMEM_DISCARDED, static_cast<UINT>(GMEM_DISCARDED));
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST_F(Memory, ModifyAndFreeingALockedBlock) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 32);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalReAlloc(h, 0, GMEM_MODIFY | GMEM_DISCARDABLE), h);
    EXPECT_EQ(GlobalFlags(h) & GMEM_DISCARDABLE, static_cast<UINT>(GMEM_DISCARDABLE));
    EXPECT_EQ(GlobalSize(h), 32u) << "modifying the flags keeps the size";
    ASSERT_NE(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalFree(h), nullptr) << "a locked block is freed all the same";

    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 8);
    std::memcpy(fixed, "fixed!!", 8);
    HGLOBAL moveable = GlobalReAlloc(fixed, 0, GMEM_MODIFY | GMEM_MOVEABLE);
    ASSERT_NE(moveable, nullptr);
    EXPECT_NE(moveable, fixed) << "a moveable handle now";
    EXPECT_STREQ(static_cast<char*>(GlobalLock(moveable)), "fixed!!");
    EXPECT_EQ(GlobalFlags(moveable) & GMEM_LOCKCOUNT, 1u);
    GlobalUnlock(moveable);
    EXPECT_EQ(GlobalFree(moveable), nullptr);
}

} // namespace
