#include "app/LockSet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

// Runs `work` on another thread that keeps what it took until told to let go.
class Holder {
public:
    explicit Holder(std::function<void()> take, std::function<void()> release)
        : m_thread([this, take = std::move(take), release = std::move(release)] {
              take();
              m_taken = true;
              while (!m_letGo) std::this_thread::yield();
              release();
          }) {
        while (!m_taken) std::this_thread::yield();
    }
    ~Holder() { LetGo(); }
    void LetGo() {
        m_letGo = true;
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::atomic<bool> m_taken{false};
    std::atomic<bool> m_letGo{false};
    std::thread m_thread;
};

TEST(LockSet, CreateOutsideOneToTenLeavesTheSetAsItWas) {
    CLockSet set;
    EXPECT_FALSE(set.Create(0));
    EXPECT_EQ(set.Count(), 0);
    ASSERT_TRUE(set.Create(3));
    ASSERT_TRUE(set.Lock(2, 10));
    for (int n : {0, 11, -1}) {
        EXPECT_FALSE(set.Create(n)) << n;
        EXPECT_EQ(set.Count(), 3) << n;
        EXPECT_TRUE(set.IsLocked(2)) << n;
    }
    EXPECT_TRUE(set.Unlock(2));
    // 1 and 10 are the bounds; a new set replaces the old one, nothing held.
    EXPECT_TRUE(set.Create(10));
    EXPECT_EQ(set.Count(), 10);
    EXPECT_TRUE(set.Create(1));
    EXPECT_EQ(set.Count(), 1);
    EXPECT_FALSE(set.IsLocked(-1));
}

TEST(LockSet, LockingAllWhileOneEntryIsHeldElsewhereGivesBackWhatItTook) {
    CLockSet set;
    ASSERT_TRUE(set.Create(3));
    {
        Holder other([&] { ASSERT_TRUE(set.Lock(1, 10)); }, [&] { EXPECT_TRUE(set.Unlock(1)); });
        EXPECT_TRUE(set.IsLocked(1));
        EXPECT_TRUE(set.IsLocked(-1));
        EXPECT_FALSE(set.Lock(-1, 10));
        EXPECT_FALSE(set.IsLocked(0)); // taken first, released after entry 1 failed
        EXPECT_FALSE(set.IsLocked(2)); // never reached
        EXPECT_TRUE(set.IsLocked(1));  // the other thread's hold is untouched
        // Not the holder: this thread cannot release it.
        EXPECT_FALSE(set.Unlock(1));
        EXPECT_TRUE(set.IsLocked(1));
        // A single entry that is free is still available meanwhile.
        EXPECT_TRUE(set.Lock(0, 10));
        EXPECT_TRUE(set.Unlock(0));
    }
    EXPECT_FALSE(set.IsLocked(-1));
    EXPECT_TRUE(set.Lock(-1, 10));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(set.IsLocked(i)) << i;
    EXPECT_TRUE(set.Unlock(-1));
    EXPECT_FALSE(set.IsLocked(-1));
}

TEST(LockSet, IndicesBeyondTheSet) {
    CLockSet set;
    ASSERT_TRUE(set.Create(3));
    // Callers test IsLocked before the guarded work: an unknown entry must make them skip it.
    for (int i : {3, 5, -2}) {
        EXPECT_TRUE(set.IsLocked(i)) << i;
        EXPECT_FALSE(set.Lock(i, 10)) << i;
        EXPECT_FALSE(set.Unlock(i)) << i;
    }
    EXPECT_FALSE(set.IsLocked(-1));
    CLockSet empty;
    EXPECT_FALSE(empty.Lock(-1, 10));
    EXPECT_FALSE(empty.Unlock(-1));
    EXPECT_FALSE(empty.IsLocked(-1));
    EXPECT_TRUE(empty.IsLocked(0));
}

TEST(LockSet, OwnHoldsAreTakenOnceAndKeptWhenLockingAllFails) {
    CLockSet set;
    ASSERT_TRUE(set.Create(3));
    // Twice by the same thread: one release frees it for others.
    EXPECT_TRUE(set.Lock(0, 10));
    EXPECT_TRUE(set.Lock(0, 10));
    EXPECT_TRUE(set.Unlock(0));
    EXPECT_FALSE(set.IsLocked(0));
    bool otherTook = false;
    std::thread([&] {
        otherTook = set.Lock(0, 10);
        if (otherTook) set.Unlock(0);
    }).join();
    EXPECT_TRUE(otherTook);

    // Entry 0 held by this thread before a failing Lock(-1) stays held; entry 1 it took is let go.
    ASSERT_TRUE(set.Lock(0, 10));
    {
        Holder other([&] { ASSERT_TRUE(set.Lock(2, 10)); }, [&] { set.Unlock(2); });
        EXPECT_FALSE(set.Lock(-1, 10));
        EXPECT_TRUE(set.IsLocked(0));
        EXPECT_FALSE(set.IsLocked(1));
        // Unlocking all lets go of what this thread holds and reports the entry it did not hold.
        EXPECT_FALSE(set.Unlock(-1));
        EXPECT_FALSE(set.IsLocked(0));
        EXPECT_TRUE(set.IsLocked(2));
    }
    EXPECT_FALSE(set.IsLocked(-1));
}

TEST(LockSet, ALockTriedElsewhereWaitsOnlyItsTimeOut) {
    CLockSet set;
    ASSERT_TRUE(set.Create(1));
    ASSERT_TRUE(set.Lock(0, 10));
    bool took = true;
    std::thread([&] { took = set.Lock(0, 50); }).join();
    EXPECT_FALSE(took);
    EXPECT_TRUE(set.IsLocked(0));
    EXPECT_TRUE(set.Unlock(0));
    // Destroying a set whose entry this thread holds releases it first.
    ASSERT_TRUE(set.Lock(0, 10));
}

} // namespace
