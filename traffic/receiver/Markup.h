// The news document store: broadcast news sentences are joined from their packets, checked
// with their CRC, cut into head and body entries and kept in two ring queues (heads 100, body
// parts 1000) that the news page reads by document number. Survives a restart through
// "\My Documents\Velko\MDSStore.bin" while it is younger than 240 minutes.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CTime.h"
#include "traffic/receiver/DARCString.h"
#include "traffic/receiver/MarkupQue.h"

#include <atomic>
#include <cstdint>
#include <memory>

class CMarkup {
public:
    static constexpr int kHeads = 0;
    static constexpr int kBodies = 1;
    static constexpr int kBodyTextSize = 10240; // the news page's buffer
    static constexpr int kMaxBlock = 1024;

    static CMarkup* instance();
    static void destruct();
    virtual ~CMarkup();
    CMarkup(const CMarkup&) = delete;
    CMarkup& operator=(const CMarkup&) = delete;

    void openFile(const CString& folder);
    // Writes the save file (aside, then renamed); 0 when not loaded or not written.
    int close();
    int setData(const unsigned char* payload, int length);
    void reset();
    void externalReset();
    int getReset() { return m_reset.exchange(0); }
    void setReset(int flag) { m_reset.store(flag); }
    // text receives at most kBodyTextSize bytes including the terminating NUL.
    int GetSentence(unsigned short document, unsigned char kind, char* text, unsigned short& number,
                    unsigned char& serial, unsigned char& unread);
    int GetLastUpdatedTime(CTime& time, int useNow) const;
    int IsDocAvailable(unsigned short document, unsigned char subKey, unsigned char kind);
    int IsDataAvailable(int kind);

    CMarkupQue& Queue(int which) { return m_queues[which]; }

private:
    CMarkup();
    bool IsLoaded() const { return m_loaded.load() != 0; }
    void CheckSentence();
    void PushEntry(int kind, std::uint16_t number, const unsigned char* text, std::size_t length, bool body);
    void LoadSaveFile();

    std::atomic<int> m_segment{255};
    std::uint8_t m_version = 0;
    std::atomic<std::uint16_t> m_document{0};
    std::uint8_t m_part = 0;
    std::uint8_t m_lastPart = 0;
    std::uint8_t m_serial = 0;
    std::uint8_t m_kind = 0;
    std::uint16_t m_textLength = 0;
    std::uint32_t m_firstTime = 0;
    std::atomic<int> m_reset{0};
    std::atomic<std::uint32_t> m_time{0};
    std::atomic<int> m_loaded{0};
    std::unique_ptr<CMarkupQue[]> m_queues;
    CDARCString m_text;
    CDARCString m_block;
};
