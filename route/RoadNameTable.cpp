#include "route/RoadNameTable.h"

#include "platform/base/CString.h"
#include "platform/base/Text.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

namespace {
std::unique_ptr<CRoadNameTable> g_nameTable;
std::unique_ptr<CMRNetAccess> g_netAccess;
} // namespace

CRoadNameTable& CRoadNameTable::Instance() {
    if (!g_nameTable) g_nameTable = std::make_unique<CRoadNameTable>();
    return *g_nameTable;
}

void CRoadNameTable::Destroy() {
    g_nameTable.reset();
}

bool CRoadNameTable::Open(const char16_t* folder) {
    CString path = CString(folder ? folder : u"") + u"\\MRData\\RoadNameTbl.bin";
    return m_table.Open(path, CBinFile::kModeRead) == 0;
}

int CRoadNameTable::Load(const char16_t* folder) {
    m_index.clear();
    if (!Open(folder)) return 0;
    CBinFile index;
    CString path = CString(folder ? folder : u"") + u"\\MRData\\RoadNameIndex.bin";
    if (index.Open(path, CBinFile::kModeRead) != 0) return 0;
    std::uint8_t head[4];
    if (index.Read(head, 4) != 4) return 0;
    const std::uint32_t stored = mrformat::U32(head);
    // The count is only believed as far as the file holds entries.
    const long size = index.GetSize();
    const std::uint32_t room = size >= 4 ? static_cast<std::uint32_t>((size - 4) / 8) : 0;
    const std::uint32_t count = std::min(stored, room);
    if (count == 0) return stored == 0 ? 1 : 0;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(count) * 8);
    if (index.Read(raw.data(), static_cast<int>(raw.size())) != static_cast<int>(raw.size())) return 0;
    m_index.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = raw.data() + 8 * i;
        m_index.push_back({mrformat::I16(p), mrformat::I16(p + 2), mrformat::U32(p + 4)});
    }
    return stored == count ? 1 : 0;
}

void CRoadNameTable::Unload() {
    m_table.Close();
    m_index.clear();
}

bool CRoadNameTable::FindNameOffset(int mapId, int linkId, std::uint32_t& offset) const {
    if (m_index.empty()) return false;
    const auto key = std::make_tuple(static_cast<std::int16_t>(mapId), static_cast<std::int16_t>(linkId));
    auto keyOf = [&](std::size_t i) { return std::make_tuple(m_index[i].mapId, m_index[i].linkId); };
    std::size_t lo = 0, hi = m_index.size();
    for (;;) {
        std::size_t mid = (lo + hi) / 2;
        if (mid == lo || mid == hi) {
            if (mid < m_index.size() && keyOf(mid) == key) {
                offset = m_index[mid].offset;
                return true;
            }
            return false;
        }
        if (keyOf(mid) == key) {
            offset = m_index[mid].offset;
            return true;
        }
        if (key < keyOf(mid))
            hi = mid;
        else
            lo = mid;
    }
}

int CRoadNameTable::ReadName(std::uint32_t offset, char* buffer, int bufferSize) {
    if (!buffer || bufferSize < 1) return 0;
    char name[kNameSize] = {};
    int got = m_table.ReadAt(name, kNameSize, static_cast<long>(offset));
    if (got < 1) return 0;
    std::memcpy(buffer, name, static_cast<std::size_t>(std::min(bufferSize, kNameSize)));
    return got;
}

bool CRoadNameTable::IsOrdinaryRoad(int mapId, int linkId, char* buffer, int bufferSize) {
    std::uint32_t offset = 0;
    if (!FindNameOffset(mapId, linkId, offset)) return false;
    if (ReadName(offset, buffer, bufferSize) < 1) return false;
    const int n = std::min(bufferSize, kNameSize);
    int len = 0;
    while (len < n && buffer[len]) ++len;
    CString name(Cp949ToUtf16(std::string_view(buffer, static_cast<std::size_t>(len))));
    if (name.Find(u"고가차도") >= 0) return false;
    if (name.Find(u"지하차도") >= 0) return false;
    return true;
}

bool CRoadNameTable::GetRoadName(int mapId, int linkId, char* buffer, int bufferSize) {
    const auto m = static_cast<std::int16_t>(mapId), l = static_cast<std::int16_t>(linkId);
    for (const Entry& e : m_index)
        if (e.mapId == m && e.linkId == l) return ReadName(e.offset, buffer, bufferSize) >= 1;
    return false;
}

// ---------------------------------------------------------------------------------------------

CMRNetAccess& CMRNetAccess::Instance() {
    if (!g_netAccess) g_netAccess = std::make_unique<CMRNetAccess>();
    return *g_netAccess;
}

void CMRNetAccess::Destroy() {
    g_netAccess.reset();
}

bool CMRNetAccess::GetLink(int mapId, int linkIndex, std::uint8_t (&link)[mrformat::kLinkSize]) {
    return m_reader.IsOpened() && m_reader.ReadLink(link, mapId, linkIndex) != 0;
}

bool CMRNetAccess::GetCrossName(int mapId, int linkId, bool atFirstNode, char* buffer, int bufferSize) {
    if (!m_reader.IsOpened() || !buffer || bufferSize < 1) return false;
    std::uint8_t link[mrformat::kLinkSize];
    if (!m_reader.ReadLink(link, mapId, linkId)) return false;
    const int node = atFirstNode ? mrformat::LinkStartNode(link) : mrformat::LinkEndNode(link);
    std::uint8_t nodeRec[mrformat::kNodeSize];
    if (!m_reader.ReadNode(nodeRec, mapId, node)) return false;
    const std::uint32_t ref = mrformat::U32(nodeRec + 4);
    // A pass-through node has a boundary record, not a junction; a dead end has no name.
    if (mrformat::IsPassThrough(ref) || mrformat::LinkCountOf(ref) <= 1) return false;
    MRCrossNode junction;
    if (!m_reader.ReadCrossNode(junction, mapId, ref)) return false;
    const int length = static_cast<std::int8_t>(junction.head >> 24);
    if (length > kMaxCrossName || length >= bufferSize) return false;
    if (length <= 0) {
        buffer[0] = 0;
        return true;
    }
    if (!m_reader.ReadCrossName(buffer, bufferSize - 1, mapId, junction.head)) return false;
    buffer[length] = 0;
    return true;
}
