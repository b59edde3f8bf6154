#include "traffic/receiver/STSQue.h"

#include <algorithm>
#include <cstring>

CSTSQue::CSTSQue() : m_entries(kCapacity) {}

void CSTSQue::Init() {
    CSingleLock lock(&m_section, TRUE);
    std::fill(m_entries.begin(), m_entries.end(), STSEntry{});
    m_write = m_count = 0;
    m_iterDone = -1;
    for (int& f : m_hasText) f = 0;
}

int CSTSQue::STSStrCmp(const char* a, const char* b, int n) { return std::strncmp(a, b, static_cast<std::size_t>(n)) == 0 ? 0 : 1; }

int CSTSQue::Push(const char* text, std::uint8_t unread, std::uint32_t time, std::uint32_t kind) {
    if (!text || !text[0]) return 0;
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) return 1;
    for (const STSEntry& e : m_entries)
        if (e.text[0] && STSStrCmp(e.text, text, STSEntry::kTextSize) == 0) return 0;
    if (kind >= 1 && kind <= 4) m_hasText[kind - 1] = 1;
    STSEntry& e = m_entries[static_cast<std::size_t>(m_write)];
    std::size_t n = strnlen(text, STSEntry::kTextSize - 1);
    std::memcpy(e.text, text, n);
    e.text[n] = 0;
    e.unread = unread;
    e.time = time;
    e.kind = kind;
    m_write = (m_write + 1) % kCapacity;
    if (m_count < kCapacity) ++m_count;
    return 1;
}

int CSTSQue::Next(char* text, std::uint8_t& unread, std::uint32_t& time, std::uint32_t& kind) {
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) {
        m_iterDone = -1;
        return 0;
    }
    if (m_iterDone < 0) {
        m_iterStart = Oldest();
        m_iterDone = 0;
    }
    STSEntry* e = m_iterDone < kCapacity ? &m_entries[static_cast<std::size_t>((m_iterStart + m_iterDone) % kCapacity)] : nullptr;
    if (!e || !e->text[0]) {
        m_iterDone = -1;
        return 0;
    }
    ++m_iterDone;
    std::memcpy(text, e->text, std::strlen(e->text) + 1);
    unread = e->unread;
    time = e->time;
    kind = e->kind;
    e->unread = 0;
    return 1;
}

int CSTSQue::IsDataAvailable(int kind) {
    if (kind < 1 || kind > 4) return 0;
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) return 0;
    return m_hasText[kind - 1];
}

int CSTSQue::GetNum() {
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) return 0;
    return m_count;
}

void CSTSQue::SetTimeReceiveStatus(const unsigned char* status16) {
    if (!status16) return;
    CSingleLock lock(&m_section, TRUE);
    std::memcpy(m_status, status16, sizeof m_status);
}
