// A road network described in network coordinates (1/100 arc-second), independent of map
// sheets, and its compilation into the "MRData" files: links are cut at sheet borders into
// pass-through node pairs, ordered by level, and written record by record, little-endian.
#pragma once

#include "tools/mkdevice/RoadTables.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mkdev {

struct NetPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const NetPoint&, const NetPoint&) = default;
};

// The sheet grid: sheet (col, row) covers [x0 + col*width, x0 + (col+1)*width) and likewise in y.
struct SheetGrid {
    std::int32_t x0 = 45000000;
    std::int32_t y0 = 11910000;
    std::int32_t width = 36000;
    std::int32_t height = 30000;
};

struct LinkOptions {
    int oneWay = 0;      // 0 both ways, 1 only from the first node to the second, 2 only back, 3 closed
    std::u16string name; // road name (RoadNameTbl.bin), empty = none
    std::uint16_t roadNumber = 0;       // link bytes 12-13
    std::uint8_t facilityCode = 0;      // link byte 1
    std::uint16_t facilityValue = 0;    // facility table value (0 = no entry)
    std::uint8_t facilityDirection = 0; // facility table direction condition
};

struct NetNode {
    NetPoint pt;
    std::u16string crossName;
    bool border = false; // created where a link crosses a sheet border
};

struct NetLink {
    int a = -1;
    int b = -1;
    std::vector<NetPoint> shape; // vertices between a and b
    RoadType type = RoadType::TownStreet;
    LinkOptions opt;
    int order = 0; // creation order, kept by the pieces of a cut link
    // Traffic-broadcast link-table index of each travel direction (first node to second, and
    // back), link bytes 24 and 26; 0xFFFF = no broadcast link.
    std::uint16_t broadcastForward = 0xFFFF;
    std::uint16_t broadcastBackward = 0xFFFF;
};

struct BuildLimits {
    int maxLinksPerMap = 8192;
    int maxLinksPerNode = 8;
    int maxMaps = 9999;
};

// What the writer reports about the files it wrote.
struct NetworkSummary {
    int maps = 0;
    long links = 0;
    long nodes = 0;
    long borderRecords = 0;
    long facilityEntries = 0;
    long roadNames = 0;
};

class NetModel {
public:
    explicit NetModel(SheetGrid grid = {}) : m_grid(grid) {}

    const SheetGrid& Grid() const { return m_grid; }

    // Adds a node; a point on a sheet border line is moved one unit east or north so that every
    // junction lies inside one sheet.
    int AddNode(std::int32_t x, std::int32_t y, std::u16string crossName = u"");
    int AddLink(int a, int b, RoadType type, LinkOptions opt = {}, std::vector<NetPoint> shape = {});
    // Forbids turning at node from link `from` into link `to` (both must end at node).
    void BanTurn(int node, int from, int to);
    void SetCrossName(int node, std::u16string name) { m_nodes.at(node).crossName = std::move(name); }

    const std::vector<NetNode>& Nodes() const { return m_nodes; }
    const std::vector<NetLink>& Links() const { return m_links; }
    NetLink& LinkAt(int link) { return m_links.at(static_cast<std::size_t>(link)); }
    NetPoint NodePoint(int node) const { return m_nodes.at(node).pt; }

    // Writes MRManage.bin ... LinkIDvsCode.db, RoadNameIndex.bin and RoadNameTbl.bin into the
    // folder (host path). Throws std::runtime_error when a limit is broken.
    NetworkSummary Write(const std::string& mrDataDir, const BuildLimits& limits = {});

private:
    struct Ban {
        int node, from, to;
    };
    NetPoint OffGrid(NetPoint p) const;
    void CutAtBorders(std::vector<std::vector<int>>& pieces);

    SheetGrid m_grid;
    std::vector<NetNode> m_nodes;
    std::vector<NetLink> m_links;
    std::vector<Ban> m_bans;
};

// Length of a polyline in metres, 0.27654 m per x unit and 0.30879 m per y unit, rounded up, at least 1.
std::uint32_t PolylineMetres(const std::vector<NetPoint>& points);

// Writes a file: the bytes go to NAME.tmp beside it, which is then renamed over NAME.
void WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace mkdev
