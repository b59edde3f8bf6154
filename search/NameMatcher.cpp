#include "search/NameMatcher.h"

#include "search/CharClass.h"

#include <algorithm>
#include <cstring>
#include <new>

bool CNameMatcher::Reload(const char16_t* namePath, const char16_t* adminPath) {
    return m_files.Reopen(namePath, adminPath);
}

bool CNameMatcher::OpenOn(const char16_t* namePath, const char16_t* adminPath) {
    return m_files.Open(namePath, adminPath);
}

std::uint8_t CNameMatcher::Score(bool w1, bool w2, bool w3) {
    if (w1 && w2 && w3) return 1;
    if (w1 && w2) return 2;
    if (w1 && w3) return 3;
    if (w2 && w3) return 4;
    if (w1) return 5;
    if (w2) return 6;
    return 7;
}

bool CNameMatcher::Search(const char* query) {
    if (!query) return false;
    const auto* q = reinterpret_cast<const unsigned char*>(query);
    const bool first = q[0] && (tolvik::IsHangulSyllable(q) || tolvik::IsPrintableByte(q));
    if (!first) return false;
    m_hits.clear();
    const std::vector<std::string> words = tolvik::QueryWords(query);
    for (int k = 0; k < 3; ++k) m_words[k] = words[k];
    if (m_words[0].empty()) return false;

    const tolvik::DbHeader& h = m_files.header;
    const std::uint32_t end = h.recordEnd != 0 ? h.recordEnd : h.entry30Base;
    if (h.recordBase == 0 || end == 0 || end < h.recordBase || !m_files.names.Fits(h.recordBase, end - h.recordBase))
        return false;
    const std::uint32_t count = (end - h.recordBase) / 40;
    if (count == 0) return true;

    std::vector<std::uint8_t> chunk;
    try {
        chunk.resize(static_cast<std::size_t>(std::min(count, kChunkRecords)) * 40);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::uint32_t from = 0; from < count; from += kChunkRecords) {
        const std::uint32_t n = std::min(kChunkRecords, count - from);
        if (!m_files.names.ReadAt(h.recordBase + static_cast<std::uint64_t>(from) * 40, chunk.data(),
                                  static_cast<std::size_t>(n) * 40))
            return false;
        for (std::uint32_t r = 0; r < n; ++r) {
            const std::uint8_t* p = chunk.data() + static_cast<std::size_t>(r) * 40;
            const std::string_view name(reinterpret_cast<const char*>(p), tolvik::FieldLength(reinterpret_cast<const char*>(p), 20));
            bool flag[3] = {};
            for (int k = 0; k < 3; ++k) flag[k] = tolvik::ContainsBytes(name, m_words[k]);
            if (!flag[0] && !flag[1] && !flag[2]) continue;
            Hit hit;
            hit.record.Parse(p);
            hit.score = Score(flag[0], flag[1], flag[2]);
            if (m_hits.size() < kMaxHits) {
                m_hits.push_back(hit);
            } else if (hit.score < m_hits.back().score) {
                m_hits.back() = hit;
            } else {
                continue;
            }
            std::stable_sort(m_hits.begin(), m_hits.end(),
                             [](const Hit& a, const Hit& b) { return a.score < b.score; });
        }
    }
    return !m_hits.empty();
}

const CNameMatcher::Hit* CNameMatcher::At(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= m_hits.size()) return nullptr;
    return &m_hits[static_cast<std::size_t>(i)];
}

bool CNameMatcher::GetPosition(int i, _NAME_RESULT& result) {
    const Hit* h = At(i);
    if (!h) return false;
    std::memset(result.name, 0, sizeof result.name);
    std::memcpy(result.name, h->record.name, 20);
    std::memcpy(result.pos, h->record.pos, sizeof result.pos);
    return true;
}

std::uint32_t CNameMatcher::GetDetailNumber(int i) {
    const Hit* h = At(i);
    return h ? h->record.detail : 0;
}

bool CNameMatcher::GetHit(int i, NameHit& hit) {
    const Hit* h = At(i);
    return h && m_files.MakeHit(h->record, hit);
}

bool CNameMatcher::GetName(int i, char* buffer) {
    const Hit* h = At(i);
    if (!h) return false;
    std::memcpy(buffer, h->record.name, 20);
    return true;
}

bool CNameMatcher::GetLocal(int n, char* buffer) {
    return m_files.GetLocal(n, buffer);
}

bool CNameMatcher::ReadEntry30(int n, char* buffer) {
    return m_files.ReadEntry30(n, buffer);
}

int CNameMatcher::GetCount() {
    return static_cast<int>(m_hits.size());
}

void CNameMatcher::Clear() {
    m_hits.clear();
}
