#include "route/RoutePath.h"

#include <algorithm>
#include <limits>

namespace {

// Index of a facility code's count: codes 2, 3, 4, 1; -1 for any other code.
int CountSlot(int code) {
    switch (code) {
    case 2:
        return 0;
    case 3:
        return 1;
    case 4:
        return 2;
    case 1:
        return 3;
    default:
        return -1;
    }
}

// Reads count records into list; false when the count is negative or its records do not fit
// in the bytes the reader has left.
template <class List, class T> bool ReadList(CMemReader& reader, std::int32_t count, List& list) {
    if (count < 0) return false;
    const std::int64_t bytes = static_cast<std::int64_t>(count) * T::kSize;
    if (bytes > reader.Remaining()) return false;
    list.Items().reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        T item;
        if (!item.Read(reader) || (!reader.IsValid() && i + 1 < count)) return false;
        list.Add(item);
    }
    return true;
}

template <class List> void PackList(const List& list, std::uint8_t*& at) {
    for (const auto& item : list.Items()) {
        item.Write(at);
        at += item.GetSize();
    }
}

} // namespace

void CRoutePath::Clear() {
    m_loaded = 0;
    std::fill(std::begin(m_facilityCount), std::end(m_facilityCount), 0);
    std::fill(std::begin(m_header), std::end(m_header), 0);
    m_itemRuns.Clear();
    m_items.Clear();
    m_pointRuns.Clear();
    m_points.Clear();
    m_guideRuns.Clear();
    m_guides.Clear();
    m_facilities.Clear();
    m_code1.clear();
    m_code234.clear();
    m_code2.clear();
    m_code4.clear();
    m_code3.clear();
}

int CRoutePath::Read(CMemReader& reader) {
    Clear();
    std::int32_t header[kHeaderValues] = {};
    for (std::int32_t& v : header)
        if (!reader.Read(v)) return 0;
    bool ok = ReadList<LinkRefList, CPathLinkRef>(reader, header[kItemRuns + 1], m_itemRuns) &&
              ReadList<LinkItemList, CPathLinkItem>(reader, header[kItems + 1], m_items) &&
              ReadList<LinkRefList, CPathLinkRef>(reader, header[kPointRuns + 1], m_pointRuns) &&
              ReadList<PointList, CPathPoint>(reader, header[kPoints + 1], m_points) &&
              ReadList<LinkRefList, CPathLinkRef>(reader, header[kGuideRuns + 1], m_guideRuns) &&
              ReadList<LinkKeyList, CRouteLinkKey>(reader, header[kGuides + 1], m_guides) &&
              ReadList<GuideItemList, CPathGuideItem>(reader, header[kFacilities + 1], m_facilities);
    if (!ok) {
        Clear();
        return 0;
    }
    std::copy(std::begin(header), std::end(header), std::begin(m_header));
    for (const CPathGuideItem& f : m_facilities.Items()) {
        int slot = CountSlot(f.code);
        if (slot >= 0) ++m_facilityCount[slot];
    }
    m_loaded = 1;
    if (m_facilities.Count() > 0) BuildFacilityLists();
    return m_loaded;
}

int CRoutePath::ReadBuffer(const void* buffer, std::int32_t size) {
    if (!buffer || size < kHeaderSize) {
        Clear();
        return 0;
    }
    CMemReader reader(buffer, size);
    return Read(reader);
}

int CRoutePath::Load(CBinFile& file) {
    const long position = file.GetPosition();
    const long size = file.GetSize();
    if (position < 0 || size <= position || size - position > std::numeric_limits<std::int32_t>::max())
        return 0;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size - position));
    const int got = file.Read(bytes.data(), static_cast<int>(bytes.size()));
    if (got < 1) return 0;
    return ReadBuffer(bytes.data(), got);
}

int CRoutePath::WriteHeader(void* buffer) const {
    CMemWriter writer(buffer, kHeaderSize);
    for (std::int32_t v : m_header) writer.Write(v);
    return 1;
}

void CRoutePath::SyncCounts() {
    m_header[kItemRuns + 1] = m_itemRuns.Count();
    m_header[kItems + 1] = m_items.Count();
    m_header[kPointRuns + 1] = m_pointRuns.Count();
    m_header[kPoints + 1] = m_points.Count();
    m_header[kGuideRuns + 1] = m_guideRuns.Count();
    m_header[kGuides + 1] = m_guides.Count();
    m_header[kFacilities + 1] = m_facilities.Count();
}

std::vector<std::uint8_t> CRoutePath::Pack() const {
    // The counts written are those of the vectors, so a file never promises more than it holds.
    CRoutePath counted;
    std::copy(std::begin(m_header), std::end(m_header), std::begin(counted.m_header));
    counted.m_itemRuns = m_itemRuns;
    counted.m_items = m_items;
    counted.m_pointRuns = m_pointRuns;
    counted.m_points = m_points;
    counted.m_guideRuns = m_guideRuns;
    counted.m_guides = m_guides;
    counted.m_facilities = m_facilities;
    counted.SyncCounts();
    const std::size_t total = kHeaderSize + static_cast<std::size_t>(m_itemRuns.GetSize()) +
                              m_items.GetSize() + m_pointRuns.GetSize() + m_points.GetSize() +
                              m_guideRuns.GetSize() + m_guides.GetSize() + m_facilities.GetSize();
    std::vector<std::uint8_t> bytes(total, 0);
    counted.WriteHeader(bytes.data());
    std::uint8_t* at = bytes.data() + kHeaderSize;
    PackList(m_itemRuns, at);
    PackList(m_items, at);
    PackList(m_pointRuns, at);
    PackList(m_points, at);
    PackList(m_guideRuns, at);
    PackList(m_guides, at);
    PackList(m_facilities, at);
    return bytes;
}

int CRoutePath::Save(CBinFile& file) {
    m_loaded = 0;
    const std::vector<std::uint8_t> bytes = Pack();
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return 0;
    const int written = file.Write(bytes.data(), static_cast<int>(bytes.size()));
    if (written <= 0 || static_cast<std::size_t>(written) != bytes.size()) return 0;
    m_loaded = 1;
    return 1;
}

void CRoutePath::GetItemSizes(int& runs, int& items, int& runBytes, int& itemBytes) const {
    runs = m_itemRuns.Count();
    items = m_items.Count();
    runBytes = runs * CPathLinkRef::kSize;
    itemBytes = items * CPathLinkItem::kSize;
}

int CRoutePath::WriteRunsAndItems(void* runBuffer, void* itemBuffer) const {
    if (!runBuffer) return 0;
    m_itemRuns.WriteAll(runBuffer);
    if (itemBuffer) m_items.WriteAll(itemBuffer);
    return 1;
}

void CRoutePath::BuildFacilityLists() {
    m_code1.clear();
    m_code234.clear();
    m_code2.clear();
    m_code4.clear();
    m_code3.clear();
    for (int k = 0; k < m_facilities.Count(); ++k) {
        RouteFacility f;
        f.entry = m_facilities[k];
        if (k > 0) {
            int metres = 0;
            if (GetDistanceBetween(m_facilities[k - 1].itemIndex, f.entry.itemIndex, metres))
                f.distance = metres;
        }
        switch (f.entry.code) {
        case 1:
            m_code1.push_back(f);
            break;
        case 2:
            m_code2.push_back(f);
            break;
        case 3:
            m_code3.push_back(f);
            break;
        case 4:
            m_code4.push_back(f);
            break;
        default:
            continue;
        }
        if (f.entry.code != 1) m_code234.push_back(f);
    }
}

const std::vector<RouteFacility>* CRoutePath::FacilityList(int code) const {
    switch (code) {
    case 1:
        return &m_code1;
    case 2:
        return &m_code2;
    case 3:
        return &m_code3;
    case 4:
        return &m_code4;
    case kCodeAllButJunction:
        return &m_code234;
    default:
        return nullptr;
    }
}

int CRoutePath::FindItem(int map, int link, int direction, int from) const {
    for (int k = std::max(from, 0); k < m_items.Count(); ++k) {
        const CPathLinkItem& it = m_items[k];
        if (it.mapId == map && it.linkId == link && it.direction == direction) return k;
    }
    return -1;
}

int CRoutePath::FindGuide(int map, int link, int direction, int item) const {
    for (const CPathLinkRef& run : m_guideRuns.Items()) {
        if (run.mapId != map) continue;
        const int from = std::max(run.firstIndex, 0);
        const int to = static_cast<int>(
            std::min<std::int64_t>(static_cast<std::int64_t>(run.firstIndex) + run.count, m_guides.Count()));
        for (int g = from; g < to; ++g) {
            const CRouteLinkKey& key = m_guides[g];
            if (key.linkId == link && key.direction == direction && key.itemIndex == item) return g;
        }
    }
    return -1;
}

int CRoutePath::FindRouteItem(int map, int link, int direction, CRouteLinkKey* guides, int& index, int cont) {
    if (!m_loaded) return 0;
    int found = -1;
    for (const CPathLinkRef& run : m_itemRuns.Items()) {
        if (run.mapId != map) continue;
        int from = std::max(run.firstIndex, 0);
        const int to = static_cast<int>(
            std::min<std::int64_t>(static_cast<std::int64_t>(run.firstIndex) + run.count, m_items.Count()));
        if (cont && index >= from && index < to) from = index;
        for (int k = from; k < to; ++k) {
            if (m_items[k].linkId == link && m_items[k].direction == direction) {
                found = k;
                break;
            }
        }
        if (found >= 0) break;
    }
    index = found;
    if (found < 0) return 0;
    if (guides) {
        const int g = FindGuide(map, link, direction, found);
        if (g < 0) return 0;
        guides[0] = m_guides[g];
        guides[1] = g + 1 < m_guides.Count() ? m_guides[g + 1] : CRouteLinkKey();
    }
    return 1;
}

int CRoutePath::FindGuideOfItem(int i, CRouteLinkKey& guide, int& guideIndex) const {
    if (!m_loaded || i < 0 || i >= m_items.Count()) return 0;
    const CPathLinkItem& item = m_items[i];
    const int g = FindGuide(item.mapId, item.linkId, item.direction, i);
    if (g < 0) return 0;
    guide = m_guides[g];
    guideIndex = g;
    return 1;
}

int CRoutePath::GetNextItemIds(int i, int& map, int& link) const {
    if (!m_loaded || i < -1 || i + 1 >= m_items.Count()) return 0;
    map = m_items[i + 1].mapId;
    link = m_items[i + 1].linkId;
    return 1;
}

int CRoutePath::GetItemIds(int i, int& map, int& link, std::uint16_t& directionAndKind) const {
    if (!m_loaded || i < 0 || i >= m_items.Count()) return 0;
    const CPathLinkItem& item = m_items[i];
    map = item.mapId;
    link = item.linkId;
    directionAndKind = static_cast<std::uint16_t>(item.direction | (item.kind << 8));
    return 1;
}

int CRoutePath::GetDistanceBetween(int i, int j, int& metres) const {
    const int n = m_items.Count();
    if (!m_loaded || i < 0 || i >= n) return 0;
    if (j == i) {
        metres = 0;
    } else if (j == -1) {
        if (i + 1 >= n) return 0;
        metres = static_cast<int>(Remaining(i + 1));
    } else if (j == n) {
        metres = static_cast<int>(Remaining(i));
    } else if (j >= 0 && j < n) {
        metres = static_cast<int>(static_cast<std::int64_t>(Remaining(i)) - Remaining(j));
    } else {
        return 0;
    }
    return 1;
}

int CRoutePath::FindNextGuided(int i, int& index, int& metres) const {
    const int n = m_items.Count();
    if (!m_loaded || i < 0 || i >= n) return 0;
    for (int k = i; k < n; ++k) {
        if (m_items[k].kind == 0) continue;
        index = k;
        metres = k + 1 < n ? static_cast<int>(static_cast<std::int64_t>(Remaining(i)) - Remaining(k + 1))
                           : static_cast<int>(Remaining(i));
        return 1;
    }
    return 0;
}

int CRoutePath::FindItemOfKind(int kind, int from, int& index) const {
    if (!m_loaded || from < 0) return 0;
    for (int k = from; k < m_items.Count(); ++k) {
        if (m_items[k].kind == kind) {
            index = k;
            return 1;
        }
    }
    return 0;
}

int CRoutePath::CountItemsOfKind(int map, int link, int direction, int kind, int& count) {
    if (!m_loaded) return 0;
    int index = 0;
    if (!FindRouteItem(map, link, direction, nullptr, index, 0)) return 0;
    int n = 0;
    for (int k = index; k < m_items.Count(); ++k)
        if (m_items[k].kind == kind) ++n;
    count = n;
    return 1;
}

int CRoutePath::UpdateProgress(int map, int link, int direction, int from, int& waypointsAhead) {
    if (!m_loaded) return 0;
    if (from < 0 || from >= m_items.Count()) from = 0;
    const int index = FindItem(map, link, direction, from);
    if (index < 0) return 0;
    int n = 0;
    for (int k = index; k < m_items.Count(); ++k)
        if (m_items[k].kind == 2) ++n;
    waypointsAhead = n;
    return 1;
}

int CRoutePath::GetFacilityCount(int& count, int code) const {
    if (!m_loaded) return 0;
    int n = 0;
    if (code == kCodeAllButJunction) {
        n = m_facilityCount[0] + m_facilityCount[1] + m_facilityCount[2];
    } else {
        const int slot = CountSlot(code);
        if (slot < 0) return 0;
        n = m_facilityCount[slot];
    }
    count = n;
    return n != 0 ? 1 : 0;
}

int CRoutePath::FindFacilityIndex(int i, int& k, int code) const {
    const std::vector<RouteFacility>* list = FacilityList(code);
    if (!m_loaded || !list) return 0;
    for (std::size_t e = 0; e < list->size(); ++e) {
        if ((*list)[e].entry.itemIndex >= i) {
            k = static_cast<int>(e);
            return 1;
        }
    }
    return 0;
}

int CRoutePath::GetFacility(int k, RouteFacility& facility, int code) const {
    const std::vector<RouteFacility>* list = FacilityList(code);
    if (!m_loaded || !list || k < 0 || static_cast<std::size_t>(k) >= list->size()) return 0;
    facility = (*list)[static_cast<std::size_t>(k)];
    return 1;
}

int CRoutePath::IsAheadWithin(int i, int map, int link) const {
    const int n = m_items.Count();
    if (!m_loaded || i < 0 || i >= n) return 0;
    const std::int64_t from = Remaining(i);
    for (int k = i; k < n && from - static_cast<std::int64_t>(Remaining(k)) <= kAheadMetres; ++k)
        if (m_items[k].mapId == map && m_items[k].linkId == link) return 1;
    return 0;
}
