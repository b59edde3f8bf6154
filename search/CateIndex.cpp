#include "search/CateIndex.h"

#include <cstring>

using tolvik::Le16;
using tolvik::Le32;

bool CCateIndex::Reload(const char16_t* namePath, const char16_t* adminPath) {
    m_names.Close();
    m_admin.Close();
    return m_names.Open(namePath) && m_admin.Open(adminPath);
}

bool CCateIndex::OpenOn(const char16_t* namePath, const char16_t* adminPath) {
    for (auto& l : m_lists) l.clear();
    for (auto& c : m_current) c = Node{};
    if (!m_names.Open(namePath) || !m_admin.Open(adminPath)) return false;
    if (!tolvik::ReadDbHeader(m_names, m_header) || !tolvik::ReadAdminHeader(m_admin, m_adminHeader)) return false;
    if (m_header.groupCount[4] == 0) return false;
    if (!ReadList(0, m_header.groupOffset[4], m_header.groupCount[4])) return false;
    return ReadBelow(0);
}

bool CCateIndex::ReadList(int level, std::uint64_t offset, std::uint32_t count) {
    std::vector<Node>& list = m_lists[level];
    list.clear();
    m_current[level] = Node{};
    count &= 0xFFFF;
    if (count == 0) return true;
    const std::size_t bytes = static_cast<std::size_t>(count) * 12;
    std::vector<std::uint8_t> raw(bytes);
    if (!m_names.ReadAt(offset, raw.data(), bytes)) return false;
    list.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = raw.data() + 12 * i;
        Node& n = list[i];
        n.nameIndex = Le16(p);
        n.childOffset = Le32(p + 2);
        n.childCount = Le32(p + 6);
        n.value10 = p[10];
        n.kind = p[11] == 5 ? 3 : p[11];
    }
    m_current[level] = list[0];
    return true;
}

// Reads the lists below a level, each from the first entry of the list above.
bool CCateIndex::ReadBelow(int level) {
    const std::uint64_t base = m_header.groupOffset[4];
    for (int l = level + 1; l <= 3; ++l) {
        const Node& above = m_current[l - 1];
        if (m_lists[l - 1].empty()) {
            m_lists[l].clear();
            m_current[l] = Node{};
            continue;
        }
        if (!ReadList(l, base + above.childOffset, above.childCount)) return false;
    }
    return true;
}

bool CCateIndex::Select(int level, int index) {
    if (level < 0 || level > 3) return true;
    const Node* n = GetNode(level, index);
    if (!n) return false;
    m_selected[level] = index;
    m_current[level] = *n;
    for (int l = level + 1; l <= 3; ++l) m_selected[l] = -1;
    return ReadBelow(level);
}

const CCateIndex::Node* CCateIndex::GetNode(int level, int index) const {
    if (level < 0 || level > 3 || index < 0 || static_cast<std::size_t>(index) >= m_lists[level].size()) return nullptr;
    return &m_lists[level][static_cast<std::size_t>(index)];
}

bool CCateIndex::GetItemName(int level, int index, char* out31) {
    const Node* n = GetNode(level, index);
    if (!n) return false;
    std::memset(out31, 0, 31);
    return level <= 1 ? ReadEntry30(n->nameIndex, out31) : GetLocal(n->nameIndex, out31);
}

int CCateIndex::GetListCount() const {
    return GetListCount(m_level);
}

int CCateIndex::GetListCount(int level) const {
    return level >= 0 && level < 4 ? static_cast<int>(m_lists[level].size()) : 0;
}

int CCateIndex::GetFacilityCount() const {
    if (m_lists[3].empty()) return 0;
    const std::uint32_t n = m_current[3].childCount;
    // Only the record numbers that lie inside the file count.
    const std::uint64_t at = static_cast<std::uint64_t>(m_header.groupOffset[4]) + m_current[3].childOffset;
    if (!m_names.Fits(at, static_cast<std::uint64_t>(n) * 4)) return 0;
    return static_cast<int>(n);
}

bool CCateIndex::ReadFacility(int i, NameRecord& record) {
    if (i < 0 || i >= GetFacilityCount()) return false;
    const std::uint64_t at =
        static_cast<std::uint64_t>(m_header.groupOffset[4]) + m_current[3].childOffset + 4ull * static_cast<unsigned>(i);
    std::uint8_t b[4];
    if (!m_names.ReadAt(at, b, 4)) return false;
    const std::uint32_t r = Le32(b);
    const std::uint32_t end = m_header.recordEnd != 0 ? m_header.recordEnd : m_header.entry30Base;
    if (r == 0) return false;
    const std::uint64_t offset = static_cast<std::uint64_t>(r - 1) * 40;
    if (end != 0 && (end < m_header.recordBase || offset + 40 > end - m_header.recordBase)) return false;
    std::uint8_t rec[40];
    if (!m_names.ReadAt(m_header.recordBase + offset, rec, sizeof rec)) return false;
    record.Parse(rec);
    return true;
}

std::uint32_t CCateIndex::GetDetailNumber(int i) {
    NameRecord r;
    return ReadFacility(i, r) ? r.detail : 0;
}

bool CCateIndex::GetHit(int i, NameHit& hit) {
    NameRecord r;
    if (!ReadFacility(i, r)) return false;
    char province[21] = {}, district[21] = {};
    if (!GetLocal(r.admin1, province) || !GetLocal(r.admin2, district)) return false;
    hit = NameHit{};
    std::memcpy(hit.name, r.name, 20);
    tolvik::RegionText(province, district, hit.text, sizeof hit.text);
    std::memcpy(hit.pos, r.pos, sizeof hit.pos);
    hit.hasDetail = r.detail != 0 ? 1 : 0;
    return true;
}

bool CCateIndex::GetName(int i, char* out) {
    NameRecord r;
    if (!ReadFacility(i, r)) return false;
    std::memcpy(out, r.name, 20);
    return true;
}

bool CCateIndex::GetFacility(int i, _CATE_RESULT& result) {
    NameRecord r;
    if (!ReadFacility(i, r)) return false;
    std::memset(result.name, 0, sizeof result.name);
    std::memcpy(result.name, r.name, 20);
    std::memcpy(result.pos, r.pos, sizeof result.pos);
    return true;
}

bool CCateIndex::GetLocal(int n, char* out) {
    return tolvik::ReadAdminName(m_admin, m_adminHeader, n, out);
}

bool CCateIndex::ReadEntry30(int n, char* out) {
    if (n < 1) return false;
    char entry[31] = {};
    if (!m_names.ReadAt(m_header.entry30Base + static_cast<std::uint64_t>(n - 1) * 30, entry, 30)) return false;
    std::memcpy(out, entry, 31);
    return true;
}
