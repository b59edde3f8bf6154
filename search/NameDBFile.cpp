#include "search/NameDBFile.h"

#include <cstring>

using tolvik::Le16;
using tolvik::Le32;

bool CNameDBFile::Reload(const char16_t* namePath, const char16_t* adminPath) {
    return m_files.Reopen(namePath, adminPath);
}

bool CNameDBFile::OpenOn(const char16_t* namePath, const char16_t* adminPath) {
    m_opened = false;
    m_index.clear();
    ResetState();
    if (!m_files.Open(namePath, adminPath)) return false;
    const tolvik::DbHeader& h = m_files.header;
    const std::uint32_t start = h.groupOffset[2];
    std::uint32_t end = h.groupOffset[3];
    if (end == 0) end = h.groupOffset[4];
    if (end == 0) end = h.recordBase;
    if (end < start || !m_files.names.Fits(start, end - start)) return false;
    m_index.resize(end - start);
    if (!m_files.names.ReadAt(start, m_index.data(), m_index.size())) {
        m_index.clear();
        return false;
    }
    m_opened = true;
    return true;
}

void CNameDBFile::ResetState() {
    m_state = IndexEntry{};
    m_state.childCount = m_files.header.groupCount[2];
}

void CNameDBFile::Clear() {
    ResetState();
}

int CNameDBFile::GetCount() {
    return static_cast<int>(m_state.recordCount);
}

bool CNameDBFile::FindKey(std::uint32_t childOffset, std::uint32_t count, const std::uint8_t key[2],
                          IndexEntry& out) const {
    if (count == 0) return false;
    if (static_cast<std::uint64_t>(childOffset) + static_cast<std::uint64_t>(count) * 16 > m_index.size())
        return false;
    std::int64_t lower = 1, upper = count;
    while (lower <= upper) {
        const std::int64_t middle = (lower + upper) / 2;
        const std::uint8_t* e = m_index.data() + childOffset + (middle - 1) * 16;
        const int cmp = e[0] != key[0] ? (key[0] < e[0] ? -1 : 1) : (e[1] != key[1] ? (key[1] < e[1] ? -1 : 1) : 0);
        if (cmp < 0) {
            upper = middle - 1;
        } else if (cmp > 0) {
            lower = middle + 1;
        } else {
            out.key[0] = static_cast<char>(e[0]);
            out.key[1] = static_cast<char>(e[1]);
            out.key[2] = 0;
            out.childOffset = Le32(e + 2);
            out.childCount = Le16(e + 6);
            out.recordOffset = Le32(e + 8);
            out.recordCount = Le32(e + 12);
            return true;
        }
    }
    return false;
}

bool CNameDBFile::Search(const char* query) {
    if (!query) query = "";
    const std::size_t length = strnlen(query, kQueryMax);
    std::memset(m_query, 0, sizeof m_query);
    std::memcpy(m_query, query, length);
    ResetState();
    if (!m_opened || length == 0) return false;

    const auto* q = reinterpret_cast<const std::uint8_t*>(m_query);
    std::size_t at = 0;
    int matched = 0;
    while (at < length) {
        std::uint8_t key[2] = {q[at], 0};
        std::size_t step = 1;
        if (!(q[at] >= 0x21 && q[at] <= 0x7F)) {
            key[1] = at + 1 < length ? q[at + 1] : 0;
            step = 2;
        }
        IndexEntry found;
        if (!FindKey(m_state.childOffset, m_state.childCount, key, found)) {
            if (matched == 0) {
                ResetState();
                return false;
            }
            return NarrowByPrefix(m_query, length);
        }
        m_state = found;
        ++matched;
        at += step;
    }
    // The whole query is a path of the tree: its records are the result, when they lie in the file.
    const std::uint64_t bytes = static_cast<std::uint64_t>(m_state.recordCount) * 40;
    if (!m_files.names.Fits(static_cast<std::uint64_t>(m_files.header.recordBase) + m_state.recordOffset, bytes)) {
        ResetState();
        return false;
    }
    return m_state.recordCount > 0;
}

bool CNameDBFile::NarrowByPrefix(const char* query, std::size_t length) {
    const std::uint32_t count = m_state.recordCount;
    const std::uint64_t first = static_cast<std::uint64_t>(m_files.header.recordBase) + m_state.recordOffset;
    // A name holds at most 20 bytes: a longer query begins no name.
    if (length > 20 || count == 0 || !m_files.names.Fits(first, static_cast<std::uint64_t>(count) * 40)) {
        ResetState();
        return false;
    }
    // -1: the name sorts before the query's range, 0: it begins with the query, 1: after it.
    bool failed = false;
    auto compare = [&](std::uint32_t i) {
        NameRecord r;
        if (!m_files.ReadRecord(m_state.recordOffset + static_cast<std::uint64_t>(i) * 40, r)) {
            failed = true;
            return 0;
        }
        const int c = std::memcmp(r.name, query, length);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    };
    // First record not before the range, then first record after it.
    std::uint32_t lo = 0, hi = count;
    while (lo < hi && !failed) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (compare(mid) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    const std::uint32_t begin = lo;
    hi = count;
    while (lo < hi && !failed) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (compare(mid) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    const std::uint32_t end = lo;
    if (failed || begin >= end) {
        ResetState();
        return false;
    }
    m_state.recordOffset += begin * 40;
    m_state.recordCount = end - begin;
    return true;
}

bool CNameDBFile::ReadHitRecord(int i, NameRecord& record) {
    if (i < 0 || static_cast<std::uint32_t>(i) >= m_state.recordCount) return false;
    return m_files.ReadRecord(m_state.recordOffset + static_cast<std::uint64_t>(i) * 40, record);
}

bool CNameDBFile::GetPosition(int i, _NAME_RESULT& result) {
    NameRecord r;
    if (!ReadHitRecord(i, r)) return false;
    std::memset(result.name, 0, sizeof result.name);
    std::memcpy(result.name, r.name, 20);
    std::memcpy(result.pos, r.pos, sizeof result.pos);
    return true;
}

std::uint32_t CNameDBFile::GetDetailNumber(int i) {
    NameRecord r;
    return ReadHitRecord(i, r) ? r.detail : 0;
}

bool CNameDBFile::GetHit(int i, NameHit& hit) {
    NameRecord r;
    return ReadHitRecord(i, r) && m_files.MakeHit(r, hit);
}

bool CNameDBFile::GetName(int i, char* buffer) {
    NameRecord r;
    if (!ReadHitRecord(i, r)) return false;
    std::memcpy(buffer, r.name, 20);
    return true;
}

bool CNameDBFile::GetLocal(int n, char* buffer) {
    return m_files.GetLocal(n, buffer);
}

bool CNameDBFile::ReadEntry30(int n, char* buffer) {
    return m_files.ReadEntry30(n, buffer);
}

bool CNameDBFile::ReadVersion(const char16_t* path, _VERSION_INFO& version) {
    tolvik::DbFile file;
    if (!file.Open(path)) return false;
    std::uint8_t text[32];
    if (!file.ReadAt(0, text, sizeof text)) return false;
    return tolvik::ParseVersionText(reinterpret_cast<const char*>(text), version);
}
