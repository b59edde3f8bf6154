#include "route/RpCache.h"

#include "route/base/ErrorLog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr const char* kCacheUnit = "VelkoRpCache";
constexpr const char* kHeaderUnit = "VelkoCacheHeader";

int LogCache(int line, const char* message) {
    ErrorLog::Instance().WriteErrorLog(line, kCacheUnit, message);
    return 0;
}

int LogHeader(int line, const char* message) {
    ErrorLog::Instance().WriteErrorLog(line, kHeaderUnit, message);
    return 0;
}

int LogIndex(int line, const char* what, int map, int index) {
    char text[96];
    std::snprintf(text, sizeof text, "Mapid(%d) %s(%d) read error", map, what, index);
    return LogCache(line, text);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CacheHeader

int CacheHeader::Init(std::int64_t budget, int mapCount, int kinds) {
    Free();
    if (budget < 0 || mapCount < 0 || kinds < 1) return LogHeader(__LINE__, "Memory Alloacate Error");
    try {
        m_entries.resize(static_cast<std::size_t>(mapCount) + 1);
        for (Entry& e : m_entries) {
            e.blocks.resize(static_cast<std::size_t>(kinds));
            e.sizes.assign(static_cast<std::size_t>(kinds), 0);
            e.next = e.prev = mapCount;
        }
    } catch (const std::bad_alloc&) {
        m_entries.clear();
        return LogHeader(__LINE__, "Memory Alloacate Error");
    }
    m_mapCount = mapCount;
    m_kinds = kinds;
    m_budget = budget;
    m_inUse = 0;
    return 1;
}

void CacheHeader::Free() {
    m_entries.clear();
    m_mapCount = 0;
    m_kinds = 0;
    m_inUse = 0;
}

bool CacheHeader::Holds(int map) const {
    if (!ValidMap(map)) return false;
    for (const auto& b : m_entries[map].blocks)
        if (b) return true;
    return false;
}

void CacheHeader::Unlink(int map) {
    Entry& e = m_entries[map];
    m_entries[e.prev].next = e.next;
    m_entries[e.next].prev = e.prev;
    e.next = e.prev = m_mapCount;
}

void CacheHeader::LinkNewest(int map) {
    Entry& sentinel = m_entries[m_mapCount];
    Entry& e = m_entries[map];
    e.next = m_mapCount;
    e.prev = sentinel.prev;
    m_entries[sentinel.prev].next = map;
    sentinel.prev = map;
}

int CacheHeader::Lookup(int map, int kind, int level) {
    if (kind < 0 || kind >= m_kinds) return LogHeader(__LINE__, "Overflow DataNum ");
    if (!ValidMap(map)) return 0;
    Entry& e = m_entries[map];
    if (!e.blocks[kind]) return 0;
    if (e.stamp >= level) return 1;
    Evict(map);
    return 0;
}

int CacheHeader::Insert(int map, std::unique_ptr<std::uint8_t[]> block, std::int64_t size, int kind,
                        int stamp) {
    if (!ValidMap(map) || kind < 0 || kind >= m_kinds || !block || size < 0) return 0;
    if (size > m_budget) return 0;
    // A second block of the same kind is refused before anything is evicted for it.
    if (m_entries[map].blocks[kind]) return 0;
    while (m_inUse + size > m_budget) {
        int oldest = Oldest();
        if (oldest < 0 || !Evict(oldest)) return 0;
    }
    Entry& e = m_entries[map];
    const bool held = Holds(map);
    if (!held) LinkNewest(map);
    e.blocks[kind] = std::move(block);
    e.sizes[kind] = size;
    e.bytes += size;
    m_inUse += size;
    // The map's stamp is the lowest level any of its blocks was loaded for, so that a block
    // loaded for a lower level is never taken for a higher one.
    e.stamp = held ? std::min(e.stamp, stamp) : stamp;
    return 1;
}

int CacheHeader::Evict(int map) {
    if (!ValidMap(map)) return 0; // the sentinel (map == count) cannot be evicted
    Entry& e = m_entries[map];
    if (Holds(map)) Unlink(map);
    m_inUse -= e.bytes;
    e.bytes = 0;
    for (int k = 0; k < m_kinds; ++k) {
        e.blocks[k].reset();
        e.sizes[k] = 0;
    }
    e.stamp = 0;
    return 1;
}

int CacheHeader::Clear(bool reinitialise) {
    (void)reinitialise; // the table is always left consistent: empty list, nothing in use
    for (Entry& e : m_entries) {
        for (auto& b : e.blocks) b.reset();
        std::fill(e.sizes.begin(), e.sizes.end(), 0);
        e.bytes = 0;
        e.stamp = 0;
        e.next = e.prev = m_mapCount;
    }
    m_inUse = 0;
    return 1;
}

const std::uint8_t* CacheHeader::Block(int map, int kind) const {
    if (!ValidMap(map) || kind < 0 || kind >= m_kinds) return nullptr;
    return m_entries[map].blocks[kind].get();
}

std::int64_t CacheHeader::BlockSize(int map, int kind) const {
    if (!ValidMap(map) || kind < 0 || kind >= m_kinds) return 0;
    return m_entries[map].sizes[kind];
}

// ---------------------------------------------------------------------------------------------
// RpCache

int RpCache::Init(std::int64_t budget, int mapCount, int kinds, MRReader* reader) {
    m_reader = reader;
    if (!reader) return LogCache(__LINE__, "Cache Header initialize Error");
    if (!m_header.Init(budget, mapCount, kinds)) return LogCache(__LINE__, "Cache Header initialize Error");
    try {
        m_enabled.assign(static_cast<std::size_t>(kinds), 1);
    } catch (const std::bad_alloc&) {
        return LogCache(__LINE__, "Memory alloc error");
    }
    return 1;
}

int RpCache::EnableAll() {
    std::fill(m_enabled.begin(), m_enabled.end(), 1);
    return 1;
}

int RpCache::ReleaseSearch() {
    if (m_enabled.empty() || m_header.Kinds() != static_cast<int>(m_enabled.size()))
        return LogCache(__LINE__, "Cache Header initialize Error");
    return EnableAll();
}

void RpCache::SetEnabled(int kind, std::uint8_t enabled) {
    if (kind >= 0 && kind < static_cast<int>(m_enabled.size())) m_enabled[kind] = enabled;
}

void RpCache::Free() {
    m_enabled.clear();
    m_header.Free();
}

void RpCache::SetExternalExNodes(const std::uint8_t* base, std::int64_t size) {
    m_extBase = base;
    m_extSize = base ? size : 0;
}

int RpCache::LoadBlock(int map, int kind, int level) {
    static const char* const kReadErrors[kKindCount] = {
        "Reading Block Node Error", "Reading Block CrossNode Error", "Reading Block ExNode Error",
        "Reading Block Link Error", "Reading Block guide Code Error"};
    static const char* const kInsertErrors[kKindCount] = {
        "Insert Node Cache of Head Error", "Insert CrossNode Cache of Head Error",
        "Insert ExNode Cache of Head Error", "Insert link Cache of Head Error",
        "Insert Guide Code Cache of Head Error"};
    const MRMapRecord* r = m_reader ? m_reader->MapRecord(map) : nullptr;
    if (!r || kind < 0 || kind >= kKindCount || kind >= m_header.Kinds() || level < 0 || level > 3)
        return LogCache(__LINE__, "Memory Alloacate Error");

    // The block's size from the map record, checked against the map, the file and the budget
    // before anything is allocated.
    std::int64_t size = -1, offset = 0, fileSize = -1;
    switch (kind) {
    case kNodes:
        if (r->levelNodes[level] >= 0 && r->levelNodes[level] <= r->nodeCount)
            size = static_cast<std::int64_t>(r->levelNodes[level]) * mrformat::kNodeSize;
        offset = r->nodeOffset;
        fileSize = m_reader->FileSize(MRReader::kNode);
        break;
    case kJunctions:
        if (r->levelCrossSize[level] >= 0 && r->levelCrossSize[level] <= r->levelCrossSize[3])
            size = r->levelCrossSize[level];
        offset = r->crossOffset;
        fileSize = m_reader->FileSize(MRReader::kCross);
        break;
    case kExNodes:
        size = m_reader->GetExNodeBlockSize(map);
        offset = r->exNodeOffset;
        fileSize = m_reader->FileSize(MRReader::kNeighb);
        break;
    case kLinks:
        if (r->levelLinks[level] >= 0 && r->levelLinks[level] <= r->linkCount)
            size = static_cast<std::int64_t>(r->levelLinks[level]) * mrformat::kLinkSize;
        offset = r->linkOffset;
        fileSize = m_reader->FileSize(MRReader::kLink);
        break;
    case kGuides:
        if (r->levelGuideSize[level] >= 0 && r->levelGuideSize[level] <= r->levelGuideSize[3])
            size = r->levelGuideSize[level];
        offset = r->guideOffset;
        fileSize = m_reader->FileSize(MRReader::kGuide);
        break;
    }
    if (size < 0 || size > m_header.Budget() || fileSize < 0 || offset > fileSize || size > fileSize - offset)
        return LogCache(__LINE__, kReadErrors[kind]);

    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[size > 0 ? size : 1]());
    if (!block) return LogCache(__LINE__, "Memory Alloacate Error");
    int ok = 0;
    switch (kind) {
    case kNodes:
        ok = m_reader->ReadNodeBlock(block.get(), map, static_cast<int>(size / mrformat::kNodeSize));
        break;
    case kJunctions:
        ok = m_reader->ReadCrossBlock(block.get(), map, size);
        break;
    case kExNodes:
        ok = m_reader->ReadExNodeBlock(block.get(), map, size);
        break;
    case kLinks:
        ok = m_reader->ReadLinkBlock(block.get(), map, static_cast<int>(size / mrformat::kLinkSize));
        break;
    case kGuides:
        ok = m_reader->ReadGuideBlock(block.get(), map, size);
        break;
    }
    if (!ok) return LogCache(__LINE__, kReadErrors[kind]); // the block is freed here
    if (!m_header.Insert(map, std::move(block), size, kind, level))
        return LogCache(__LINE__, kInsertErrors[kind]);
    return 1;
}

const std::uint8_t* RpCache::Acquire(int map, int kind, int level, std::int64_t& size, bool& direct,
                                     int& fail) {
    direct = false;
    fail = 0;
    if (!m_header.Lookup(map, kind, level)) {
        if (kind < static_cast<int>(m_enabled.size()) && m_enabled[kind] == 0) {
            direct = true;
            return nullptr;
        }
        if (!LoadBlock(map, kind, level)) {
            fail = 1;
            return nullptr;
        }
    }
    size = m_header.BlockSize(map, kind);
    return m_header.Block(map, kind);
}

int RpCache::ReadLink(void* buffer, int map, int link, int level) {
    const MRMapRecord* r = m_reader ? m_reader->MapRecord(map) : nullptr;
    if (!r || link < 0 || link >= r->linkCount) return LogIndex(__LINE__, "link", map, link);
    std::int64_t size = 0;
    bool direct;
    int fail;
    const std::uint8_t* block = Acquire(map, kLinks, level, size, direct, fail);
    if (direct) return m_reader->ReadLink(buffer, map, link) ? 1 : LogCache(__LINE__, "Read Link error");
    if (!block) return 0;
    const std::int64_t at = static_cast<std::int64_t>(link) * mrformat::kLinkSize;
    if (at + mrformat::kLinkSize > size) return 2;
    std::memcpy(buffer, block + at, mrformat::kLinkSize);
    return 1;
}

int RpCache::ReadNode(void* buffer, int map, int node, int level) {
    const MRMapRecord* r = m_reader ? m_reader->MapRecord(map) : nullptr;
    if (!r || node < 0 || node >= r->nodeCount) return LogIndex(__LINE__, "node", map, node);
    std::int64_t size = 0;
    bool direct;
    int fail;
    const std::uint8_t* block = Acquire(map, kNodes, level, size, direct, fail);
    if (direct) return m_reader->ReadNode(buffer, map, node) ? 1 : LogCache(__LINE__, "Read node error");
    if (!block) return 0;
    const std::int64_t at = static_cast<std::int64_t>(node) * mrformat::kNodeSize;
    if (at + mrformat::kNodeSize > size) return 2;
    std::memcpy(buffer, block + at, mrformat::kNodeSize);
    return 1;
}

int RpCache::ReadCross(MRCrossNode& junction, int map, std::uint32_t nodeRef, int level) {
    const MRMapRecord* r = m_reader ? m_reader->MapRecord(map) : nullptr;
    const int n = mrformat::LinkCountOf(nodeRef);
    // A junction of more than eight links does not fit the junction; a pass-through node has none.
    if (!r || mrformat::IsPassThrough(nodeRef) || n < 1 || n > mrformat::kMaxJunctionLinks)
        return LogCache(__LINE__, "Read cross node error");
    const std::int64_t off = mrformat::BlockOffsetOf(nodeRef), len = (n + 2) * 3;
    if (off + len > r->levelCrossSize[3]) return LogCache(__LINE__, "Read cross node error");
    std::int64_t size = 0;
    bool direct;
    int fail;
    const std::uint8_t* block = Acquire(map, kJunctions, level, size, direct, fail);
    if (direct)
        return m_reader->ReadCrossNode(junction, map, nodeRef) ? 1
                                                               : LogCache(__LINE__, "Read cross node error");
    if (!block) return 0;
    if (off + len > size) return 2;
    std::uint8_t raw[(mrformat::kMaxJunctionLinks + 2) * 3];
    std::memcpy(raw, block + off, static_cast<std::size_t>(len));
    return junction.Unpack(raw, n) ? 1 : 0;
}

int RpCache::ReadExNode(void* buffer, int map, std::uint32_t nodeRef, int level) {
    const MRMapRecord* r = m_reader ? m_reader->MapRecord(map) : nullptr;
    if (!r || !mrformat::IsPassThrough(nodeRef)) return LogCache(__LINE__, "Read cross node error");
    const std::int64_t off = mrformat::BlockOffsetOf(nodeRef);
    const std::int64_t blockSize = m_reader->GetExNodeBlockSize(map);
    if (blockSize < 0 || off + mrformat::kExNodeSize > blockSize)
        return LogCache(__LINE__, "Read cross node error");
    if (m_extBase) {
        const std::int64_t at = static_cast<std::int64_t>(r->exNodeOffset) + off;
        if (at + mrformat::kExNodeSize > m_extSize) return LogCache(__LINE__, "Read cross node error");
        std::memcpy(buffer, m_extBase + at, mrformat::kExNodeSize);
        return 1;
    }
    std::int64_t size = 0;
    bool direct;
    int fail;
    const std::uint8_t* block = Acquire(map, kExNodes, level, size, direct, fail);
    if (direct)
        return m_reader->ReadExNode(buffer, map, nodeRef) ? 1 : LogCache(__LINE__, "Read cross node error");
    if (!block || off + mrformat::kExNodeSize > size) return 0;
    std::memcpy(buffer, block + off, mrformat::kExNodeSize);
    return 1;
}

int RpCache::ReadGuide(void* buffer, std::int64_t bufferSize, int map, int n, const MRCrossNode& junction,
                       int level) {
    const MRMapRecord* r = m_reader ? m_reader->MapRecord(map) : nullptr;
    if (!r || n < 1 || n > mrformat::kMaxJunctionLinks || n * n > bufferSize ||
        junction.guideOffset == mrformat::kNoGuideTable ||
        junction.guideOffset + static_cast<std::int64_t>(n) * n > r->levelGuideSize[3])
        return LogCache(__LINE__, "Read GuideCode error");
    std::int64_t size = 0;
    bool direct;
    int fail;
    const std::uint8_t* block = Acquire(map, kGuides, level, size, direct, fail);
    if (direct)
        return m_reader->ReadGuideCode(buffer, bufferSize, map, n, junction)
                   ? 1
                   : LogCache(__LINE__, "Read GuideCode error");
    if (!block) return 0;
    if (junction.guideOffset + static_cast<std::int64_t>(n) * n > size) return 2;
    std::memcpy(buffer, block + junction.guideOffset, static_cast<std::size_t>(n * n));
    return 1;
}
