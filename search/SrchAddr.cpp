#include "search/SrchAddr.h"

#include "route/base/TextTruncate.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

using tolvik::Le16;
using tolvik::Le32;

namespace {

void ParseNode(const std::uint8_t* p, CSrchAddr::Node& n) {
    n.nameIndex = Le16(p);
    n.childOffset = Le32(p + 2);
    n.childCount = Le16(p + 6);
    n.secondOffset = Le32(p + 8);
    n.secondCount = Le16(p + 12);
    n.downType = p[14];
    n.value15 = Le16(p + 15);
    n.value17 = Le16(p + 17);
    n.value19 = p[19];
    for (int k = 0; k < 3; ++k) n.pos[k] = Le16(p + 20 + 2 * k);
    n.value26 = Le16(p + 26);
}

// Ordering of parcels: mountain flag, then main number, then sub-number.
int CompareLot(const _ADDR& a, const _ADDR& b) {
    if (a.mountain != b.mountain) return a.mountain < b.mountain ? -1 : 1;
    if (a.main != b.main) return a.main < b.main ? -1 : 1;
    if (a.sub != b.sub) return a.sub < b.sub ? -1 : 1;
    return 0;
}

} // namespace

bool CSrchAddr::Reload(const char16_t* addressPath, const char16_t* adminNamePath) {
    m_address.Close();
    m_admin.Close();
    return m_address.Open(addressPath) && m_admin.Open(adminNamePath);
}

bool CSrchAddr::OpenOn(const char16_t* addressPath, const char16_t* adminNamePath) {
    for (auto& l : m_lists) l.clear();
    for (auto& c : m_current) c = Node{};
    if (!m_address.Open(addressPath) || !m_admin.Open(adminNamePath)) return false;
    if (!tolvik::ReadDbHeader(m_address, m_header) || !tolvik::ReadAdminHeader(m_admin, m_adminHeader)) return false;
    if (m_header.groupCount[0] == 0) return false;
    if (!ReadListAdmin(0, m_header.groupOffset[0], m_header.groupCount[0])) return false;
    const std::uint64_t base = m_header.groupOffset[0];
    if (!ReadListAdmin(1, base + m_current[0].childOffset, m_current[0].childCount)) return false;
    if (!ReadListAdmin(2, base + m_current[1].childOffset, m_current[1].childCount)) return false;
    if (!m_lists[2].empty() && m_current[2].downType == 2 &&
        !ReadListAdmin(3, base + m_current[2].childOffset, m_current[2].childCount))
        return false;
    return true;
}

bool CSrchAddr::GetAddrDBVersionInfo(const char16_t* path, _VERSION_INFO& version) {
    tolvik::DbFile file;
    if (!file.Open(path)) return false;
    std::uint8_t header[tolvik::DbHeader::kSize];
    if (!file.ReadAt(0, header, sizeof header)) return false;
    return tolvik::ParseVersionText(reinterpret_cast<const char*>(header), version);
}

bool CSrchAddr::ReadListAdmin(int level, std::uint64_t offset, std::uint16_t count) {
    std::vector<Node>& list = m_lists[level];
    list.clear();
    m_current[level] = Node{};
    if (count == 0) return true;
    const std::size_t bytes = static_cast<std::size_t>(count) * 28;
    if (!m_address.Fits(offset, bytes)) return false;
    std::vector<std::uint8_t> raw(bytes);
    if (!m_address.ReadAt(offset, raw.data(), bytes)) return false;
    list.resize(count);
    for (std::size_t i = 0; i < count; ++i) ParseNode(raw.data() + 28 * i, list[i]);
    m_current[level] = list[0];
    return true;
}

int CSrchAddr::GetListCount(int level) const {
    return level >= 0 && level < 4 ? static_cast<int>(m_lists[level].size()) : 0;
}

const CSrchAddr::Node* CSrchAddr::NodeAt(int level, int index) const {
    if (level < 0 || level > 3 || index < 0 || static_cast<std::size_t>(index) >= m_lists[level].size()) return nullptr;
    return &m_lists[level][static_cast<std::size_t>(index)];
}

bool CSrchAddr::Search(int level, int index) {
    if (level < 0 || level > 3) return true;
    const Node* n = NodeAt(level, index);
    if (!n) return false;
    m_current[level] = *n;
    const Node node = *n;
    const std::uint64_t base = m_header.groupOffset[0];
    switch (level) {
    case 0:
        // The lists below are those of the first entries; a failed read empties them all.
        if (!ReadListAdmin(1, base + node.childOffset, node.childCount)) return false;
        if (!ReadListAdmin(2, base + m_current[1].childOffset, m_current[1].childCount)) return false;
        m_lists[3].clear();
        m_current[3] = Node{};
        if (!m_lists[2].empty() && m_current[2].downType == 2)
            return ReadListAdmin(3, base + m_current[2].childOffset, m_current[2].childCount);
        return true;
    case 1:
        if (!ReadListAdmin(2, base + node.childOffset, node.childCount)) return false;
        m_lists[3].clear();
        m_current[3] = Node{};
        if (!m_lists[2].empty() && m_current[2].downType == 2)
            return ReadListAdmin(3, base + m_current[2].childOffset, m_current[2].childCount);
        return true;
    case 2:
        if (node.downType == 3 || node.downType == 4) return false;
        if (node.downType != 2) {
            m_lists[3].clear();
            m_current[3] = Node{};
            return true;
        }
        return ReadListAdmin(3, base + node.childOffset, node.childCount);
    default:
        return true;
    }
}

void CSrchAddr::SetDepth(int level) {
    m_depth = std::clamp(level, 0, 3);
}

bool CSrchAddr::MakeAddrVector(std::uint32_t inflated, std::uint32_t stored, std::uint32_t count, std::uint8_t flag,
                               const std::vector<std::uint8_t>& bytes) {
    m_lots.clear();
    const std::uint64_t need = static_cast<std::uint64_t>(count) * 12;
    if (inflated > kMaxBlockBytes || need > inflated) return false;
    std::vector<std::uint8_t> plain;
    if (flag == 0) {
        if (stored < need || stored > inflated) return false;
        plain.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(need));
    } else {
        plain.resize(inflated);
        uLongf length = inflated;
        if (uncompress(plain.data(), &length, bytes.data(), stored) != Z_OK || length != need) return false;
    }
    m_lots.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = plain.data() + static_cast<std::size_t>(i) * 12;
        _ADDR& a = m_lots[i];
        a.unused = p[0];
        a.mountain = p[1];
        a.main = Le16(p + 2);
        a.sub = Le16(p + 4);
        for (int k = 0; k < 3; ++k) a.pos[k] = Le16(p + 6 + 2 * k);
    }
    return true;
}

int CSrchAddr::Search(unsigned char mountain, int main, int sub) {
    m_near[0] = m_near[1] = _ADDR{};
    m_nearCount = 0;
    m_lots.clear();
    const Node& node = m_current[m_depth];
    if (node.childCount == 0) return 0;
    const std::uint64_t at = static_cast<std::uint64_t>(m_header.groupOffset[0]) + node.childOffset;
    std::uint8_t head[13];
    if (!m_address.ReadAt(at, head, sizeof head)) return 0;
    const std::uint32_t inflated = Le32(head), stored = Le32(head + 4), count = Le32(head + 8);
    if (stored == 0 || stored > kMaxBlockBytes || !m_address.Fits(at + 13, stored)) return 0;
    std::vector<std::uint8_t> bytes(stored);
    if (!m_address.ReadAt(at + 13, bytes.data(), stored)) return 0;
    if (!MakeAddrVector(inflated, stored, count, head[12], bytes)) return 0;
    const std::size_t n = m_lots.size();
    if (n == 0) return 0;

    int result = 0;
    if (n == 1) {
        m_near[0] = m_lots[0];
        m_nearCount = 1;
        result = 2;
    } else {
        _ADDR key;
        key.mountain = mountain ? 1 : 0;
        // A number past the 16-bit field is searched as the largest one.
        key.main = static_cast<std::uint16_t>(std::clamp(main, 0, 65535));
        key.sub = static_cast<std::uint16_t>(std::clamp(sub, 0, 65535));
        int notExact = 1;
        const int i = FindLot_BinarySrch(key, notExact);
        if (notExact == 0) {
            m_near[0] = m_lots[static_cast<std::size_t>(i)];
            m_nearCount = 1;
            result = 2;
        } else {
            std::size_t a = static_cast<std::size_t>(i), b = a + 1;
            if (n == 2 || i == 0) {
                a = 0;
                b = 1;
            } else if (static_cast<std::size_t>(i) >= n - 1) {
                a = n - 2;
                b = n - 1;
            }
            m_near[0] = m_lots[a];
            m_near[1] = m_lots[b];
            m_nearCount = 2;
            result = 1;
        }
    }
    std::memcpy(m_resultPos, m_near[m_nearCount - 1].pos, sizeof m_resultPos);
    m_lots.clear();
    return result;
}

int CSrchAddr::FindLot_BinarySrch(const _ADDR& key, int& notExact) const {
    notExact = 1;
    const int n = static_cast<int>(m_lots.size());
    if (n == 0) return 0;
    int lo = 0, hi = n - 1, mid = 0, last = 0;
    while (lo <= hi) {
        mid = static_cast<int>((lo + hi) * 0.5);
        const int c = CompareLot(key, m_lots[static_cast<std::size_t>(mid)]);
        if (c == 0) {
            notExact = 0;
            return mid;
        }
        last = c;
        if (c < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    int i = last < 0 ? mid - 1 : mid;
    if (i < 0) i = 0;
    const _ADDR& e = m_lots[static_cast<std::size_t>(i)];
    if (e.mountain == key.mountain && e.main == key.main) {
        notExact = 0;
        return i;
    }
    if (i + 1 < n) {
        const _ADDR& f = m_lots[static_cast<std::size_t>(i + 1)];
        if (f.mountain == key.mountain && f.main == key.main) {
            notExact = 0;
            return i + 1;
        }
    }
    if (key.mountain) return (i == n - 1 || e.mountain) ? i : i + 1;
    if (i + 1 < n && m_lots[static_cast<std::size_t>(i + 1)].mountain) return std::max(i - 1, 0);
    return i;
}

std::string CSrchAddr::LotText(const _ADDR& lot) {
    char text[32];
    if (lot.mountain)
        lot.sub ? std::snprintf(text, sizeof text, "\xBB\xEA %d-%d", lot.main, lot.sub)
                : std::snprintf(text, sizeof text, "\xBB\xEA %d", lot.main);
    else
        lot.sub ? std::snprintf(text, sizeof text, "%d-%d", lot.main, lot.sub) : std::snprintf(text, sizeof text, "%d", lot.main);
    return text;
}

void CSrchAddr::LotDetail(const char* areaName, const char* lotText, char* detail31) {
    const std::string text = std::string(areaName, tolvik::FieldLength(areaName, 20)) + " " + lotText + "\xB9\xF8\xC1\xF6"; // "번지"
    tolvik::CopyField(text, detail31, 31);
}

bool CSrchAddr::ParseLotText(const std::string& input, unsigned char& mountain, int& main, int& sub) {
    std::string text = input;
    auto trim = [](std::string& s) {
        while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.erase(s.begin());
        while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    };
    trim(text);
    if (text.empty()) return false;
    mountain = 0;
    const std::string mountainMark = "\xBB\xEA"; // "산" in code page 949
    if (text.rfind(mountainMark, 0) == 0) {
        mountain = 1;
        text.erase(0, mountainMark.size());
        trim(text);
    }
    const std::size_t dash = text.find('-');
    const std::string mainPart = text.substr(0, dash);
    const std::string subPart = dash == std::string::npos ? "" : text.substr(dash + 1);
    auto number = [](const std::string& part) { return part.size() >= 6 ? 99999 : std::atoi(part.c_str()); };
    main = number(mainPart);
    sub = dash == std::string::npos ? 0 : number(subPart);
    return true;
}

bool CSrchAddr::GetSearchResult(int level, int index, _ADDR_RESULT& result) {
    if (level < 0 || level > 5) return true;
    if (level <= 3) {
        const Node* n = NodeAt(level, index);
        if (!n) return false;
        char name[21] = {};
        if (!GetLocal(n->nameIndex, name)) return false;
        std::memset(result.detail, 0, sizeof result.detail);
        std::memcpy(result.detail, name, 20);
        std::memcpy(result.pos, n->pos, sizeof result.pos);
        return true;
    }
    if (index < 0 || index > 1) return false;
    const _ADDR& lot = m_near[index];
    std::memcpy(result.pos, lot.pos, sizeof result.pos);
    tolvik::CopyField(LotText(lot), result.detail, sizeof result.detail);
    return true;
}

int CSrchAddr::GetDownNodeType(int level, int index) const {
    const Node* n = NodeAt(level, index);
    return n ? n->downType : -1;
}

int CSrchAddr::GetDownNodeCount(int level) const {
    if (level == 6) return m_header.groupCount[0];
    if (level < 0 || level > 3) return 0;
    return m_current[level].childCount;
}

bool CSrchAddr::GetTypeName(int level, int index, char* out) {
    const Node* n = NodeAt(level, index);
    return n && GetLocal(n->nameIndex, out);
}

bool CSrchAddr::GetLocal(int nameIndex, char* out) {
    return tolvik::ReadAdminName(m_admin, m_adminHeader, nameIndex, out);
}
