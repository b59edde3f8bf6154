#include "traffic/receiver/MarkupQue.h"

#include <algorithm>
#include <cstring>

void CMarkupQue::SetSize(int capacity) {
    CSingleLock lock(&m_section, TRUE);
    m_capacity = capacity > 0 ? capacity : 1;
    m_entries.assign(static_cast<std::size_t>(m_capacity), MarkupEntry{});
    m_write = m_count = 0;
    m_iterDone = -1;
}

void CMarkupQue::Init() {
    CSingleLock lock(&m_section, TRUE);
    std::fill(m_entries.begin(), m_entries.end(), MarkupEntry{});
    m_write = m_count = 0;
    m_iterDone = -1;
}

int CMarkupQue::Oldest() const { return m_entries[static_cast<std::size_t>(m_write)].text[0] ? m_write : 0; }

bool CMarkupQue::IsSenExist(const MarkupEntry& entry) {
    const int oldest = Oldest(); // before any slot is cleared
    bool exists = false;
    for (MarkupEntry& slot : m_entries) {
        if (!slot.text[0] || slot.document != entry.document) continue;
        if (slot.serial != entry.serial) {
            slot = MarkupEntry{};
            continue;
        }
        if (slot.kind == entry.kind && slot.part == entry.part && slot.number == entry.number &&
            std::strcmp(slot.text, entry.text) == 0)
            exists = true;
    }
    if (exists) return true;
    // Clearing older serials may leave holes: close them so the ring stays in order.
    std::vector<MarkupEntry> kept;
    kept.reserve(static_cast<std::size_t>(m_count));
    for (int i = 0; i < m_count; ++i) {
        const MarkupEntry& e = m_entries[static_cast<std::size_t>((oldest + i) % m_capacity)];
        if (e.text[0]) kept.push_back(e);
    }
    if (static_cast<int>(kept.size()) != m_count) {
        std::fill(m_entries.begin(), m_entries.end(), MarkupEntry{});
        for (std::size_t i = 0; i < kept.size(); ++i) m_entries[i] = kept[i];
        m_count = static_cast<int>(kept.size());
        m_write = m_count % m_capacity;
        m_iterDone = -1;
    }
    return false;
}

int CMarkupQue::Push(const MarkupEntry& entry) {
    if (!entry.text[0] || m_capacity == 0) return 0;
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) return 1;
    if (IsSenExist(entry)) return 0;
    m_entries[static_cast<std::size_t>(m_write)] = entry;
    m_entries[static_cast<std::size_t>(m_write)].text[MarkupEntry::kTextSize - 1] = 0;
    m_write = (m_write + 1) % m_capacity;
    if (m_count < m_capacity) ++m_count;
    return 1;
}

int CMarkupQue::Next(MarkupEntry& entry) {
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) {
        m_iterDone = -1;
        return 0;
    }
    if (m_iterDone < 0) {
        m_iterStart = m_capacity ? Oldest() : 0;
        m_iterDone = 0;
    }
    if (m_iterDone >= m_count) {
        m_iterDone = -1;
        return 0;
    }
    MarkupEntry& slot = m_entries[static_cast<std::size_t>((m_iterStart + m_iterDone) % m_capacity)];
    ++m_iterDone;
    entry = slot;
    if ((slot.kind == 2 && m_targetKind == 2) || (slot.kind == 3 && slot.document == m_targetDocument))
        slot.unread = 0;
    return 1;
}

void CMarkupQue::Rewind() {
    CSingleLock lock(&m_section);
    if (lock.Lock(kLockMs)) m_iterDone = -1;
}

void CMarkupQue::SetTargetSen(std::uint16_t document, std::uint8_t kind) {
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) return;
    m_targetDocument = document;
    m_targetKind = kind;
}

int CMarkupQue::IsDocAvailable(std::uint16_t document) {
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) return 0;
    // Parts are counted by their index, so a repeated part does not stand in for a missing one.
    std::uint32_t held = 0;
    int last = -1;
    for (const MarkupEntry& e : m_entries) {
        if (!e.text[0] || e.document != document || e.part > 15) continue;
        held |= 1u << e.part;
        last = e.lastPart;
    }
    if (last < 0 || last > 15) return 0;
    std::uint32_t need = (last == 15) ? 0xFFFFu : ((1u << (last + 1)) - 1);
    return (held & need) == need ? 1 : 0;
}

int CMarkupQue::GetNum() {
    CSingleLock lock(&m_section);
    if (!lock.Lock(kLockMs)) return 0;
    return m_count;
}
