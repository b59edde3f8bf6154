// The highway facility tables: rest areas, junctions and interchanges with their services
// ("Wave\RestareaDB.db", 28-byte records) and junction directions ("Wave\HighwayDB.db", 44-byte
// records), with the clips that name them worked out while loading. Both tables are sorted by
// id and looked up by id.
#pragma once

#include "position/GuideRecords.h"

#include <string>
#include <string_view>
#include <vector>

class CSoundIndex;

class CHighwayDB {
public:
    static constexpr int kRestAreaSize = 28;
    static constexpr int kHighwaySize = 44;

    // Loads the tables that are not loaded yet from the data folder (a CE path); names are
    // looked up in the sound index. True when both tables are loaded.
    bool Load(const std::u16string& folder, const CSoundIndex& names);
    bool IsLoaded() const { return m_restLoaded && m_highwayLoaded; }
    void Clear();

    // Copies the record of an id (low 16 bits); false, out untouched, when there is none.
    bool GetRestArea(int id, RestAreaRecord& out) const;
    int GetNameClip(int id) const;
    bool GetHighway(int id, HighwayRecord& out) const;
    int RestAreaCount() const { return static_cast<int>(m_rest.size()); }
    int HighwayCount() const { return static_cast<int>(m_highway.size()); }

    // Record decoding, exposed for the data builder's checks.
    static RestAreaRecord DecodeRestArea(const std::uint8_t* p, const CSoundIndex& names);
    static HighwayRecord DecodeHighway(const std::uint8_t* p, const CSoundIndex& names);
    // The part of a facility name that its name clip says.
    static std::string SpokenName(std::string_view name, int kind);

private:
    std::vector<RestAreaRecord> m_rest;
    std::vector<HighwayRecord> m_highway;
    bool m_restLoaded = false;
    bool m_highwayLoaded = false;
};
