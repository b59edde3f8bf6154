#include "platform/base/LocalMemory.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(LocalMemory, ZeroInitialisedBlockKeepsItsSizeAndIsFreed) {
    HLOCAL block = LocalAlloc(LHND, 1000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(LocalSize(block), 1000u);
    auto* bytes = static_cast<unsigned char*>(LocalLock(block));
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(bytes[i], 0) << i;
    std::memset(bytes, 0xAB, 1000);
    EXPECT_TRUE(LocalUnlock(block));
    EXPECT_EQ(LocalFree(block), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(LocalMemory, OversizedRequestIsRefused) {
    EXPECT_EQ(LocalAlloc(LMEM_MOVEABLE, kMaxLocalBlock + 1), nullptr);
    EXPECT_EQ(LocalSize(nullptr), 0u);
}
