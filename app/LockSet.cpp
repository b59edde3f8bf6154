#include "app/LockSet.h"

CLockSet::~CLockSet() {
    Release();
}

void CLockSet::Release() {
    // Entries still held by this thread are let go before their sections go away.
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) UnlockEntry(**it);
    m_entries.clear();
}

bool CLockSet::Create(int n) {
    if (n < 1 || n > kMaxEntries) return false;
    Release();
    for (int i = 0; i < n; ++i) m_entries.push_back(std::make_unique<Entry>());
    return true;
}

bool CLockSet::LockEntry(Entry& entry, DWORD ms) {
    const std::thread::id self = std::this_thread::get_id();
    if (entry.holder.load() == self) return true;
    if (!entry.section.Lock(ms)) return false;
    entry.holder.store(self);
    return true;
}

bool CLockSet::UnlockEntry(Entry& entry) {
    if (entry.holder.load() != std::this_thread::get_id()) return false;
    entry.holder.store(std::thread::id());
    return entry.section.Unlock() != FALSE;
}

bool CLockSet::Lock(int i, DWORD ms) {
    if (i != -1) return InRange(i) && LockEntry(*m_entries[i], ms);
    if (m_entries.empty()) return false;
    std::vector<Entry*> taken;
    for (auto& entry : m_entries) {
        // An entry this thread held before the call stays held when the rest fails.
        const bool heldBefore = entry->holder.load() == std::this_thread::get_id();
        if (!LockEntry(*entry, ms)) {
            for (auto it = taken.rbegin(); it != taken.rend(); ++it) UnlockEntry(**it);
            return false;
        }
        if (!heldBefore) taken.push_back(entry.get());
    }
    return true;
}

bool CLockSet::IsLocked(int i) const {
    if (i == -1) {
        for (const auto& entry : m_entries)
            if (entry->holder.load() != std::thread::id()) return true;
        return false;
    }
    if (!InRange(i)) return true;
    return m_entries[i]->holder.load() != std::thread::id();
}

bool CLockSet::Unlock(int i) {
    if (i != -1) return InRange(i) && UnlockEntry(*m_entries[i]);
    if (m_entries.empty()) return false;
    // Every entry this thread holds is released even when an earlier one was not held, so that
    // none stays locked behind the failure.
    bool all = true;
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (!UnlockEntry(**it)) all = false;
    return all;
}
