// The route engine's block caches: whole per-map blocks of the network files under one byte
// budget, loaded per (map, kind) on first use and dropped a whole map at a time, the map
// loaded longest ago first. CacheHeader is the bookkeeping behind RpCache.
#pragma once

#include "route/MRReader.h"

#include <cstdint>
#include <memory>
#include <vector>

class CacheHeader {
public:
    // Init: the table of mapCount entries plus the sentinel, kinds block slots per entry.
    int Init(std::int64_t budget, int mapCount, int kinds);
    // 1 when the map's block of the kind is present and the map's stamp is at least level; a
    // present block with a lower stamp evicts the whole map first. 0 otherwise.
    int Lookup(int map, int kind, int level);
    // Takes ownership of block (also when it fails, the block is then freed).
    int Insert(int map, std::unique_ptr<std::uint8_t[]> block, std::int64_t size, int kind, int stamp);
    int Evict(int map);
    int Clear(bool reinitialise);
    void Free();

    const std::uint8_t* Block(int map, int kind) const;
    std::int64_t BlockSize(int map, int kind) const;
    std::int64_t BytesInUse() const { return m_inUse; }
    std::int64_t Budget() const { return m_budget; }
    int MapCount() const { return m_mapCount; }
    int Kinds() const { return m_kinds; }
    // The map loaded longest ago, -1 when none is cached.
    int Oldest() const {
        return m_entries.empty() || m_entries[m_mapCount].next == m_mapCount ? -1
                                                                             : m_entries[m_mapCount].next;
    }
    bool Holds(int map) const;

private:
    struct Entry {
        std::int64_t bytes = 0;
        int next = 0; // towards the newer end
        int prev = 0; // towards the older end
        std::vector<std::unique_ptr<std::uint8_t[]>> blocks;
        std::vector<std::int64_t> sizes;
        int stamp = 0;
    };
    bool ValidMap(int map) const { return map >= 0 && map < m_mapCount; }
    void Unlink(int map);
    void LinkNewest(int map);

    std::vector<Entry> m_entries;
    int m_mapCount = 0;
    std::int64_t m_inUse = 0;
    int m_kinds = 0;
    std::int64_t m_budget = 0;
};

class RpCache {
public:
    enum Kind { kNodes = 0, kJunctions = 1, kExNodes = 2, kLinks = 3, kGuides = 4, kKindCount = 5 };
    static constexpr std::int64_t kDefaultBudget = 5242880;

    int Init(std::int64_t budget, int mapCount, int kinds, MRReader* reader);
    int EnableAll();
    // Drops what one search left in the cache: the per-kind switches it turned off go back to
    // on, so the next search starts as after Init. The cached blocks stay. 0 when the cache was
    // never initialised (or was freed).
    int ReleaseSearch();
    void SetEnabled(int kind, std::uint8_t enabled);
    std::uint8_t Enabled(int kind) const {
        return kind >= 0 && kind < static_cast<int>(m_enabled.size()) ? m_enabled[kind] : 0;
    }
    void Free();
    int LoadBlock(int map, int kind, int level);
    // In-memory copy of MRNeighb.bin (the caller keeps it); null switches it off.
    void SetExternalExNodes(const std::uint8_t* base, std::int64_t size);

    // 1 read; 2 beyond the level's block but inside the map; 0 on error.
    int ReadLink(void* buffer, int map, int link, int level);
    int ReadNode(void* buffer, int map, int node, int level);
    int ReadCross(MRCrossNode& junction, int map, std::uint32_t nodeRef, int level);
    int ReadExNode(void* buffer, int map, std::uint32_t nodeRef, int level);
    int ReadGuide(void* buffer, std::int64_t bufferSize, int map, int n, const MRCrossNode& junction,
                  int level);

    CacheHeader& Header() { return m_header; }

private:
    // The block of a kind for a request, loading it when needed; null with *fail set on error.
    const std::uint8_t* Acquire(int map, int kind, int level, std::int64_t& size, bool& direct, int& fail);

    MRReader* m_reader = nullptr;
    CacheHeader m_header;
    std::vector<std::uint8_t> m_enabled;
    const std::uint8_t* m_extBase = nullptr;
    std::int64_t m_extSize = 0;
};
