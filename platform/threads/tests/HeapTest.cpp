#include "platform/threads/Threads.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define VELKO_HAVE_LSAN 1
#endif

namespace {

bool AllBytesAre(const void* block, std::size_t size, unsigned char value) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i] != value) return false;
    return true;
}

TEST(PrivateHeap, ZeroFilledAllocation) {
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(heap, nullptr);
    // Dirty some memory first so that a zero-filled block cannot be zero by chance of reuse.
    for (std::size_t size : {64u, 4096u, 1u << 20}) {
        void* dirty = HeapAlloc(heap, 0, size);
        ASSERT_NE(dirty, nullptr);
        std::memset(dirty, 0xAB, size);
        EXPECT_TRUE(HeapFree(heap, 0, dirty));
        void* clean = HeapAlloc(heap, HEAP_ZERO_MEMORY, size);
        ASSERT_NE(clean, nullptr);
        EXPECT_TRUE(AllBytesAre(clean, size, 0)) << size;
        EXPECT_EQ(HeapSize(heap, 0, clean), size);
    }
    void* empty = HeapAlloc(heap, 0, 0); // a zero-byte block is still a block
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(HeapSize(heap, 0, empty), 0u);
    EXPECT_TRUE(HeapDestroy(heap));
}

TEST(PrivateHeap, DestroyFreesEveryBlock) {
    HANDLE heap = HeapCreate(0, 0x10000, 0);
    ASSERT_NE(heap, nullptr);
    for (int i = 0; i < 2000; ++i) {
        void* block = HeapAlloc(heap, (i % 2) ? HEAP_ZERO_MEMORY : 0, static_cast<std::size_t>(16 + i * 7));
        ASSERT_NE(block, nullptr);
        std::memset(block, i & 0xFF, 16);
    }
    EXPECT_TRUE(HeapDestroy(heap));
#ifdef VELKO_HAVE_LSAN
    // Nothing allocated by the heap may be left behind.
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

TEST(PrivateHeap, ForeignBlocksAreRefused) {
    HANDLE a = HeapCreate(0, 0, 0);
    HANDLE b = HeapCreate(0, 0, 0);
    char* block = static_cast<char*>(HeapAlloc(a, 0, 32));
    ASSERT_NE(block, nullptr);
    int onStack = 0;

    SetLastError(0);
    EXPECT_FALSE(HeapFree(b, 0, block)); // from another heap
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(HeapFree(a, 0, &onStack));
    EXPECT_FALSE(HeapFree(a, 0, block + 1)); // inside a block, not its start
    EXPECT_EQ(HeapSize(b, 0, block), static_cast<std::size_t>(-1));
    EXPECT_TRUE(HeapFree(a, 0, nullptr));

    // The refused block is intact and still belongs to its heap.
    std::memset(block, 0x5A, 32);
    EXPECT_EQ(HeapSize(a, 0, block), 32u);
    EXPECT_TRUE(HeapFree(a, 0, block));
    EXPECT_FALSE(HeapFree(a, 0, block)); // freed twice
    EXPECT_TRUE(HeapDestroy(a));
    EXPECT_TRUE(HeapDestroy(b));
}

TEST(PrivateHeap, InvalidHeapHandles) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (HANDLE h : {HANDLE(nullptr), INVALID_HANDLE_VALUE, event}) {
        EXPECT_EQ(HeapAlloc(h, 0, 16), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        int x = 0;
        EXPECT_FALSE(HeapFree(h, 0, &x));
        EXPECT_FALSE(HeapDestroy(h));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    CloseHandle(event);
}

TEST(PrivateHeap, MaximumSizeAndHugeRequests) {
    HANDLE heap = HeapCreate(0, 0, 1000);
    void* first = HeapAlloc(heap, 0, 600);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(HeapAlloc(heap, 0, 600), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_TRUE(HeapFree(heap, 0, first));
    void* second = HeapAlloc(heap, 0, 600);
    EXPECT_NE(second, nullptr);
    EXPECT_TRUE(HeapDestroy(heap));

    HANDLE growable = HeapCreate(0, 0, 0);
    EXPECT_EQ(HeapAlloc(growable, 0, std::size_t{0xFFFFFFFF}), nullptr); // a size read from a bad file
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(HeapAlloc(growable, 0, static_cast<std::size_t>(-1)), nullptr);
    EXPECT_TRUE(HeapDestroy(growable));
}

TEST(PrivateHeap, ReAllocKeepsContentAndZeroFillsGrowth) {
    HANDLE heap = HeapCreate(0, 0, 0);
    auto* block = static_cast<unsigned char*>(HeapAlloc(heap, 0, 8));
    std::memcpy(block, "ABCDEFGH", 8);
    auto* grown = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 4096));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(std::memcmp(grown, "ABCDEFGH", 8), 0);
    EXPECT_TRUE(AllBytesAre(grown + 8, 4096 - 8, 0));
    EXPECT_EQ(HeapSize(heap, 0, grown), 4096u);
    int onStack = 0;
    EXPECT_EQ(HeapReAlloc(heap, 0, &onStack, 16), nullptr);
    EXPECT_TRUE(HeapDestroy(heap));
}

TEST(PrivateHeap, SeveralThreadsShareAHeap) {
    HANDLE heap = HeapCreate(0, 0, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([heap, t] {
            std::vector<void*> mine;
            for (int i = 0; i < 2000; ++i) {
                void* p = HeapAlloc(heap, HEAP_ZERO_MEMORY, static_cast<std::size_t>(8 + (i + t) % 64));
                if (p) mine.push_back(p);
                if (i % 3 == 0 && !mine.empty()) {
                    HeapFree(heap, 0, mine.back());
                    mine.pop_back();
                }
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_TRUE(HeapDestroy(heap)); // frees what the threads kept
}

} // namespace
