// The nearby search: the ten nearest facilities of one category around the car, from the
// category's facility file ("Neigh\HOSP.MDC" ... "Neigh\SUBWAY.MDC"): cells of the national
// grid (10,000 point-file units each) are read in square rings around the car's cell, nearest
// first, until a ring pass leaves ten hits.
#pragma once

#include "search/SearchFormat.h"

#include <cstdint>
#include <vector>

struct NeighHit {
    std::uint8_t brand = 0;
    char name[21] = {};
    std::int32_t distance = 0; // metres
    std::int32_t x = 0, y = 0; // point-file coordinates
    std::int32_t level = 0;    // map level for the distance
    std::int32_t bearing = 0;  // degrees clockwise from north
};

class CNeighManage {
public:
    static constexpr int kCategories = 10;
    static constexpr int kMaxHits = 10;
    static constexpr int kColumns = 48;
    static constexpr int kRows = 66;
    static constexpr int kCells = kColumns * kRows;
    static constexpr std::uint32_t kHeaderSize = 50;
    static constexpr std::int32_t kMaxDistance = 50000;

    // "Neigh\HOSP.MDC" ... for categories 0..9, null otherwise.
    static const char16_t* CategoryFile(int category);
    // The map level of a distance in metres.
    static int LevelOf(std::int32_t metres);

    // Searches "%s\%s" of folder and file around the network position; true when a hit was
    // found. A category outside 0..9 answers false.
    bool InitNeighManage(int category, long x, long y, const char16_t* folder, const char16_t* file);
    int GetCount() const { return static_cast<int>(m_hits.size()); }
    bool GetFacility(int i, std::uint8_t& brand, std::int32_t& x, std::int32_t& y, std::int32_t& distance,
                     std::int32_t& bearing, std::int32_t& level, char* name21) const;
    const std::vector<NeighHit>& Hits() const { return m_hits; }

    // The cell offsets and sizes of a cell table as the search uses them (tests and tools).
    static void CellExtents(const std::vector<std::uint32_t>& offsets, std::uint64_t end,
                            std::vector<std::uint32_t>& start, std::vector<std::uint32_t>& size);

private:
    void SearchCell(tolvik::DbFile& file, int kind, int cx, int cy, std::uint32_t offset, std::uint32_t size);
    void Offer(const NeighHit& hit);
    void NameOf(const char* stored, std::uint8_t brand, char* out21) const;

    int m_category = -1;
    std::int32_t m_netX = 0, m_netY = 0;
    std::int32_t m_pointX = 0, m_pointY = 0;
    std::vector<NeighHit> m_hits;
};
