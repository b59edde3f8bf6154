// The route lock set: a small numbered set of critical sections, each taken by a single try
// with a time-out. Index -1 means every entry. An entry remembers the thread that holds it, so a
// failed try by one thread never disturbs another thread's hold, and only the holder can
// release it.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/threads/Threads.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class CLockSet {
public:
    static constexpr int kMaxEntries = 10;

    CLockSet() = default;
    ~CLockSet();
    CLockSet(const CLockSet&) = delete;
    CLockSet& operator=(const CLockSet&) = delete;

    // Makes n entries (1 to 10), releasing an existing set first. Any other n answers false and
    // leaves the set as it was.
    bool Create(int n);
    // Takes entry i within ms, or with -1 every entry in index order; when one of them cannot be
    // taken the ones already taken are released in reverse order and the answer is false. An
    // entry the calling thread holds already answers true and is not taken twice.
    bool Lock(int i, DWORD ms);
    // -1: whether any entry is held. An index beyond the set answers true, so that callers skip
    // the guarded work.
    bool IsLocked(int i) const;
    // Releases entry i, or with -1 every entry the calling thread holds, in reverse order. False
    // for an entry the calling thread does not hold (with -1: when any was not held).
    bool Unlock(int i);
    int Count() const { return static_cast<int>(m_entries.size()); }

private:
    struct Entry {
        CCriticalSection section;
        std::atomic<std::thread::id> holder{};
    };

    bool InRange(int i) const { return i >= 0 && i < Count(); }
    bool LockEntry(Entry& entry, DWORD ms);
    bool UnlockEntry(Entry& entry);
    void Release();

    std::vector<std::unique_ptr<Entry>> m_entries;
};
