// The ring queue of 100 short texts, with its lock (10 ms time-out) and one iteration position.
#pragma once

#include "platform/threads/Threads.h"

#include <cstdint>
#include <vector>

struct STSEntry {
    static constexpr int kTextSize = 1024;
    char text[kTextSize] = {}; // NUL-terminated CP949
    std::uint8_t unread = 0;
    std::uint32_t time = 0; // month << 24 | day << 16 | hour << 8 | minute
    std::uint32_t kind = 0;
};

class CSTSQue {
public:
    static constexpr int kCapacity = 100;
    static constexpr unsigned kLockMs = 10;

    CSTSQue();
    virtual ~CSTSQue() = default;
    CSTSQue(const CSTSQue&) = delete;
    CSTSQue& operator=(const CSTSQue&) = delete;

    void Init();
    // 0 for an empty text or one held already; 1 when written or dropped for want of the lock.
    int Push(const char* text, std::uint8_t unread, std::uint32_t time, std::uint32_t kind);
    // The next text from the oldest (its unread flag is cleared); 0 at the end, after which the
    // next call starts again.
    int Next(char* text, std::uint8_t& unread, std::uint32_t& time, std::uint32_t& kind);
    int IsDataAvailable(int kind);
    int GetNum();
    void SetTimeReceiveStatus(const unsigned char* status16);
    static int STSStrCmp(const char* a, const char* b, int n);
    // Calls f for every entry from the oldest under the lock; false when it was not had.
    template <class F> bool ForEach(F f) {
        CSingleLock lock(&m_section);
        if (!lock.Lock(kLockMs)) return false;
        const int oldest = Oldest();
        for (int i = 0; i < m_count; ++i) {
            const STSEntry& e = m_entries[static_cast<std::size_t>((oldest + i) % kCapacity)];
            if (!e.text[0]) break;
            f(e);
        }
        return true;
    }

private:
    int Oldest() const { return m_entries[static_cast<std::size_t>(m_write)].text[0] ? m_write : 0; }

    int m_write = 0;
    int m_count = 0;
    int m_iterStart = 0;
    int m_iterDone = -1;
    int m_hasText[4] = {};
    std::vector<STSEntry> m_entries;
    unsigned char m_status[16] = {};
    CCriticalSection m_section;
};
