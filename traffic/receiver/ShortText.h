// The short-text store: plain texts, emergencies, accidents and notices of the broadcast,
// joined from their packets, checked with their CRC and kept in a queue of 100 texts that the
// news page lists with their time and a prefix by kind. Survives a restart through
// "\My Documents\Velko\STSStore.bin" while it is younger than 1440 minutes.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CTime.h"
#include "traffic/receiver/DARCString.h"
#include "traffic/receiver/STSQue.h"

#include <atomic>
#include <cstdint>

class CShortText {
public:
    static constexpr int kTextBufferSize = 10240; // the news page's buffer

    static CShortText* instance();
    static void destruct();
    virtual ~CShortText() = default;
    CShortText(const CShortText&) = delete;
    CShortText& operator=(const CShortText&) = delete;

    void openFile(const CString& folder);
    int close();
    int setData(const unsigned char* payload, int length);
    void reset();
    void externalReset();
    int getReset() { return m_reset.exchange(0); }
    void setReset(int flag) { m_reset.store(flag); }
    // The next text with its time and prefix (CP949, at most kTextBufferSize bytes with the NUL).
    int getSentence(char* text, int& unread, int& kind);
    // kindIndex is the kind less one (0-3).
    int GetLastUpdatedTime(CTime& time, int kindIndex, int useNow) const;
    int IsDataAvailable(int kind) { return IsLoaded() ? m_queue.IsDataAvailable(kind) : 0; }
    static void GetTime(std::uint32_t packed, int& month, int& day, int& hour, int& minute);
    CSTSQue& Queue() { return m_queue; }

private:
    CShortText();
    bool IsLoaded() const { return m_loaded.load() != 0; }
    void CheckSentence();

    std::atomic<int> m_segment{-1}; // -1: no sentence being joined
    std::uint8_t m_expected = 0;
    int m_kind = -1;
    std::uint32_t m_firstTime = 0;
    std::atomic<int> m_reset{0};
    std::atomic<std::uint32_t> m_serial{0};
    std::atomic<std::uint32_t> m_times[4];
    std::atomic<int> m_loaded{0};
    CSTSQue m_queue;
    CDARCString m_text;
    CDARCString m_block;
};
