// Road and junction names of a route's links for the route information dialog:
// CRoadNameTable reads "MRData\RoadNameTbl.bin" through its index "RoadNameIndex.bin";
// CMRNetAccess reads links and junction names of the road network.
#pragma once

#include "route/MRReader.h"
#include "route/base/BinFile.h"

#include <cstdint>
#include <memory>
#include <vector>

class CRoadNameTable {
public:
    static constexpr int kNameSize = 20;
    struct Entry {
        std::int16_t mapId = 0;
        std::int16_t linkId = 0;
        std::uint32_t offset = 0;
    };

    static CRoadNameTable& Instance();
    static void Destroy();

    CRoadNameTable() = default;
    ~CRoadNameTable() { Unload(); }

    bool Open(const char16_t* folder);
    void Close() { m_table.Close(); }
    // Opens the name table and reads the index (its count limited to what the file holds);
    // 1 when both were read, 0 otherwise (the index is then empty).
    int Load(const char16_t* folder);
    void Unload();

    // Binary search of the index by (map id, link id), both compared as signed 16-bit values.
    bool FindNameOffset(int mapId, int linkId, std::uint32_t& offset) const;
    // Reads the link's 20-byte name into buffer (at most bufferSize bytes); false when the link
    // has no name, when nothing could be read, or when the name is an overpass (고가차도) or an
    // underpass (지하차도); the name stays in the buffer whenever it was read.
    bool IsOrdinaryRoad(int mapId, int linkId, char* buffer, int bufferSize = kNameSize);
    // The first entry of the link by a linear scan, its name read into buffer.
    bool GetRoadName(int mapId, int linkId, char* buffer, int bufferSize = kNameSize);

    int EntryCount() const { return static_cast<int>(m_index.size()); }

private:
    int ReadName(std::uint32_t offset, char* buffer, int bufferSize);

    CBinFile m_table;
    std::vector<Entry> m_index;
};

class CMRNetAccess {
public:
    static constexpr int kMaxCrossName = 21;

    static CMRNetAccess& Instance();
    static void Destroy();

    bool Open(const char16_t* folder) { return m_reader.Open(3, folder) != 0; }
    void Close() { m_reader.Close(); }
    bool GetLink(int mapId, int linkIndex, std::uint8_t (&link)[mrformat::kLinkSize]);
    // The name of the junction at the link's first node (atFirstNode) or second node, CP949,
    // terminated, into a buffer of bufferSize bytes (callers pass 22). False when the link or
    // node cannot be read, the node is a pass-through node or a dead end, the name is longer
    // than 21 bytes or does not fit; a junction without a name gives an empty text.
    bool GetCrossName(int mapId, int linkId, bool atFirstNode, char* buffer, int bufferSize);

private:
    MRReader m_reader;
};
