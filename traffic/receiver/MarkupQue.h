// A ring queue of news entries (heads or body parts) with its own lock and its own iteration
// position. Writers and readers take the lock with a 10 ms time-out and give up instead of
// waiting longer: a writer then drops its entry, a reader ends its pass.
#pragma once

#include "platform/threads/Threads.h"

#include <cstdint>
#include <vector>

struct MarkupEntry {
    static constexpr int kTextSize = 1024;
    std::uint16_t document = 0;
    std::uint16_t number = 0;
    char text[kTextSize] = {}; // NUL-terminated CP949
    std::uint8_t unread = 0;
    std::uint32_t time = 0; // broadcast time, month << 24 | day << 16 | hour << 8 | minute
    std::uint8_t part = 0;
    std::uint8_t lastPart = 0;
    std::uint8_t serial = 0;
    std::uint8_t kind = 0;
};

class CMarkupQue {
public:
    static constexpr unsigned kLockMs = 10;

    CMarkupQue() = default;
    virtual ~CMarkupQue() = default;
    CMarkupQue(const CMarkupQue&) = delete;
    CMarkupQue& operator=(const CMarkupQue&) = delete;

    // Allocates capacity empty entries.
    void SetSize(int capacity);
    // Empties every entry and the indices.
    void Init();
    // 0 for an empty text or one the queue holds already; 1 when written, and also when the
    // lock could not be had (the entry is then dropped). A document's entries of an older
    // serial are cleared on the way.
    int Push(const MarkupEntry& entry);
    // The next entry from the oldest; 0 after the last one (the next call starts again).
    int Next(MarkupEntry& entry);
    void SetTargetSen(std::uint16_t document, std::uint8_t kind);
    // The document's parts 0 to its last part are all held.
    int IsDocAvailable(std::uint16_t document);
    int GetNum();
    // Starts the next iteration from the oldest entry.
    void Rewind();
    // Calls f for every entry from the oldest, under the lock; false when it was not had.
    template <class F> bool ForEach(F f) {
        CSingleLock lock(&m_section);
        if (!lock.Lock(kLockMs)) return false;
        for (int i = 0; i < m_count; ++i) f(m_entries[static_cast<std::size_t>((Oldest() + i) % m_capacity)]);
        return true;
    }

private:
    bool IsSenExist(const MarkupEntry& entry);
    int Oldest() const;

    int m_write = 0;
    int m_count = 0;
    int m_iterStart = 0;
    int m_iterDone = -1; // entries returned in this pass; -1 = no pass running
    std::uint16_t m_targetDocument = 0;
    std::uint8_t m_targetKind = 0;
    std::vector<MarkupEntry> m_entries;
    int m_capacity = 0;
    CCriticalSection m_section;
};
