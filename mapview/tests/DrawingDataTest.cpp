// The sample device's drawing data, read back with the map display's own layer reader: every
// layer reopens with the header it was written with, the roads are those of the network, and
// the facility and guide-point files keep the rules their readers rely on.
#include "mapview/LayerRecords.h"
#include "mapview/MapLayerFile.h"
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/DrawingStage.h"
#include "tools/mkdevice/Networks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace {

const char16_t* kMapData = u"\\Storage Card\\MapData";

struct Decoded {
    MapLayerHeader header;
    std::vector<LayerRecord> records;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> cells; // offset, block size
    bool truncated = false;
};

Decoded ReadLayer(const std::string& name) {
    Decoded d;
    CMapLayerFile layer;
    const std::u16string wide = Utf8ToUtf16(name);
    EXPECT_EQ(layer.Open(kMapData, wide.c_str()), 1) << name;
    d.header = layer.GetHeader();
    const std::uint32_t count = d.header.IsTiled() ? static_cast<std::uint32_t>(d.header.CellCount()) : 1;
    for (std::uint32_t c = 0; c < count; ++c) {
        if (d.header.IsTiled() && layer.GetCellOffset(c) == 0) continue;
        EXPECT_EQ(layer.LoadCell(static_cast<std::int32_t>(c)), 1);
        d.cells.push_back({layer.GetCellOffset(c), layer.GetBlockSize()});
        std::int32_t ox = 0, oy = 0;
        layer.GetCellOrigin(static_cast<std::int32_t>(c), ox, oy);
        CLayerRecordReader reader(d.header.kind, d.header.IsTiled(), layer.GetBlock(), layer.GetBlockSize(),
                                  ox, oy);
        LayerRecord r;
        while (reader.Next(r)) d.records.push_back(r);
        d.truncated = d.truncated || reader.Truncated();
    }
    return d;
}

struct Extent {
    std::int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    void Add(std::int32_t x, std::int32_t y) {
        minX = std::min(minX, x), minY = std::min(minY, y), maxX = std::max(maxX, x),
        maxY = std::max(maxY, y);
    }
};

Extent ExtentOf(const std::vector<LayerRecord>& records) {
    Extent e;
    for (const LayerRecord& r : records) {
        if (r.points.empty()) e.Add(r.at.x, r.at.y);
        for (const LayerPoint& p : r.points) e.Add(p.x, p.y);
    }
    return e;
}

std::pair<std::int32_t, std::int32_t> MapOf(mkdev::NetPoint p) {
    std::int32_t x = 0, y = 0;
    NetToMapCoord(p.x, p.y, x, y);
    return {x, y};
}

class DrawingData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_root = new TempRoot();
        s_model = new mkdev::NetModel(mkdev::BuildSampleRegion());
        s_summary = new mkdev::DrawingSummary(
            mkdev::BuildDrawingStage(mkdev::DeviceLayout(s_root->Path()), *s_model, true));
    }
    static void TearDownTestSuite() {
        delete s_summary;
        delete s_model;
        delete s_root;
    }
    void SetUp() override { DeviceRoot::SetRoot(s_root->Path()); }

    static std::string File(const std::string& rel) { return s_root->Read("Storage Card/MapData/" + rel); }

    static TempRoot* s_root;
    static mkdev::NetModel* s_model;
    static mkdev::DrawingSummary* s_summary;
};

TempRoot* DrawingData::s_root = nullptr;
mkdev::NetModel* DrawingData::s_model = nullptr;
mkdev::DrawingSummary* DrawingData::s_summary = nullptr;

} // namespace

TEST_F(DrawingData, EveryLayerReopensWithItsHeaderAndDataExtent) {
    std::set<std::string> names;
    for (const mkdev::WrittenLayer& w : s_summary->layers) names.insert(w.name);
    for (const char* expected : {"MAP\\WATER.MDC",
                                 "MAP\\PARK.MDC",
                                 "MAP\\BLOCK.MDC",
                                 "MAP\\ROAD_HIGHWAY.MDC",
                                 "MAP\\ROAD_STREET.MDC",
                                 "MAP\\SYMBOL.MDC",
                                 "MAP\\LANDMARK.MDC",
                                 "MAP\\TOWN.MDC",
                                 "MAP\\SYMBOLTEXT.MDC",
                                 "POINT\\GOVERNROADNUM.MDC",
                                 "POINT\\GOVERNROADNUM456.MDC",
                                 "POINT\\HIGHWAYROADNUM.MDC",
                                 "POINT\\HIGHWAYROADNUM456.MDC",
                                 "POINT\\TOPROADNUM.MDC",
                                 "NEIGH\\HOSP.MDC",
                                 "NEIGH\\SUBWAY.MDC",
                                 "NEIGH\\POI_CAR.MDC",
                                 "DARC\\DARC_HIGHWAY.MDC",
                                 "DARC\\DARC_NATIONAL.MDC",
                                 "DARC\\DARC_ETC2.MDC",
                                 "DARC\\DARC_ETC4.MDC",
                                 "POINT\\newGuidePoint.MDC"})
        EXPECT_TRUE(names.count(expected)) << expected;

    std::set<int> kinds;
    for (const mkdev::WrittenLayer& w : s_summary->layers) {
        SCOPED_TRACE(w.name);
        const Decoded d = ReadLayer(w.name);
        EXPECT_EQ(d.header.tiled == 1, w.tiled);
        EXPECT_EQ(d.header.minX, w.minX);
        EXPECT_EQ(d.header.maxY, w.maxY);
        EXPECT_FALSE(d.truncated);
        if (w.name == "POINT\\newGuidePoint.MDC") continue; // its own record layout, below
        kinds.insert(d.header.kind);
        EXPECT_EQ(static_cast<long>(d.records.size()), w.records);
        if (d.records.empty()) continue;
        // The header box is the data's real extent.
        const Extent e = ExtentOf(d.records);
        EXPECT_EQ(d.header.minX, e.minX);
        EXPECT_EQ(d.header.minY, e.minY);
        EXPECT_EQ(d.header.maxX, e.maxX);
        EXPECT_EQ(d.header.maxY, e.maxY);
        for (const LayerRecord& r : d.records) {
            // Texts end inside their field: at most 20 bytes of CP949 (10 syllables).
            EXPECT_LE(r.text.size(), 20u);
            EXPECT_LE(r.text2.size(), 20u);
            if (r.points.empty()) continue;
            // Record boxes bound their points; runs index them.
            for (const LayerPoint& p : r.points) {
                EXPECT_TRUE(p.x >= r.minX && p.x <= r.maxX && p.y >= r.minY && p.y <= r.maxY);
            }
            if (r.kind == layerkind::kEdgeRunArea) {
                EXPECT_EQ(r.runs.size(), 2u);
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 13}));
}

TEST_F(DrawingData, RoadLayersCarryEveryLinkOfTheNetwork) {
    std::set<std::pair<std::int32_t, std::int32_t>> highway, street;
    for (const LayerRecord& r : ReadLayer("MAP\\ROAD_HIGHWAY.MDC").records)
        for (const LayerPoint& p : r.points) highway.insert({p.x, p.y});
    for (const LayerRecord& r : ReadLayer("MAP\\ROAD_STREET.MDC").records)
        for (const LayerPoint& p : r.points) street.insert({p.x, p.y});
    int expressways = 0, streets = 0;
    for (const mkdev::NetLink& l : s_model->Links()) {
        const auto a = MapOf(s_model->NodePoint(l.a)), b = MapOf(s_model->NodePoint(l.b));
        if (l.type == mkdev::RoadType::Expressway || l.type == mkdev::RoadType::ExpresswayTunnel) {
            ++expressways;
            EXPECT_TRUE(highway.count(a) && highway.count(b))
                << "expressway link " << &l - &s_model->Links()[0];
        } else if (l.type == mkdev::RoadType::TownStreet) {
            ++streets;
            EXPECT_TRUE(street.count(a) && street.count(b));
        }
    }
    EXPECT_GT(expressways, 10);
    EXPECT_GT(streets, 10);
}

TEST_F(DrawingData, TrafficLinksUseTheNetworksLinkIndices) {
    const struct {
        const char* name;
        std::set<mkdev::RoadType> types;
    } layers[] = {
        {"DARC\\DARC_HIGHWAY.MDC", {mkdev::RoadType::Expressway, mkdev::RoadType::ExpresswayTunnel}},
        {"DARC\\DARC_NATIONAL.MDC", {mkdev::RoadType::NationalRoad}},
        {"DARC\\DARC_ETC2.MDC", {mkdev::RoadType::ProvincialRoad}},
        {"DARC\\DARC_ETC4.MDC", {mkdev::RoadType::TownMain}},
    };
    for (const auto& layer : layers) {
        SCOPED_TRACE(layer.name);
        // The broadcast indices the network gives each direction of the layer's roads.
        std::set<std::size_t> expected;
        for (const mkdev::NetLink& l : s_model->Links()) {
            if (!layer.types.count(l.type)) continue;
            for (std::uint16_t index : {l.broadcastForward, l.broadcastBackward})
                if (index != 0xFFFF) expected.insert(index);
        }
        EXPECT_FALSE(expected.empty());
        const Decoded d = ReadLayer(layer.name);
        EXPECT_EQ(d.header.kind, 8);
        std::set<std::size_t> seen;
        for (const LayerRecord& r : d.records) {
            EXPECT_TRUE(expected.count(r.linkIndex)) << r.linkIndex;
            ASSERT_GE(r.points.size(), 2u);
            ASSERT_EQ(r.directions.size(), r.points.size() + 1);
            for (auto [dx, dy] : r.directions) EXPECT_LE(dx * dx + dy * dy, 126 * 126);
            seen.insert(r.linkIndex);
        }
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(DrawingData, FacilityFilesKeepTheirReadersRules) {
    const std::set<int> namedBrands = {31, 44, 45, 46, 47, 48, 69};
    const char* files[] = {"HOSP",      "PHARM",     "LPG",      "OIL",         "SERVICE",  "PARKING",
                           "BANK",      "HOTEL",     "FASTFOOD", "SUBWAY",      "POI_BANK", "POI_REST",
                           "POI_HOTEL", "POI_SPORT", "POI_HOSP", "POI_CULTURE", "POI_CAR"};
    long total = 0;
    std::set<int> brands;
    for (const char* f : files) {
        const std::string name = std::string("NEIGH\\") + f + ".MDC";
        SCOPED_TRACE(name);
        const std::string bytes = File(std::string("NEIGH/") + f + ".MDC");
        const Decoded d = ReadLayer(name);
        EXPECT_EQ(d.header.columns, 48);
        EXPECT_EQ(d.header.rows, 66);
        EXPECT_EQ(d.header.cellWidth, 12000u);
        EXPECT_EQ(d.header.cellHeight, 10000u);
        EXPECT_EQ(d.header.originX, 0u);
        EXPECT_EQ(d.header.originY, 0u);
        EXPECT_TRUE(d.header.kind == 4 || d.header.kind == 1);
        const std::uint32_t recordSize = d.header.kind == 4 ? 8 : 32;
        // The table read raw: nothing in cell 0, no offset twice.
        std::set<std::uint32_t> offsets;
        for (int c = 0; c < 3168; ++c) {
            std::uint32_t o = 0;
            std::memcpy(&o, bytes.data() + 50 + 4 * c, 4);
            if (c == 0) {
                EXPECT_EQ(o, 0u);
            }
            if (o) {
                EXPECT_TRUE(offsets.insert(o).second) << "cell " << c;
            }
        }
        ASSERT_FALSE(d.cells.empty());
        for (auto [offset, size] : d.cells) EXPECT_EQ(size % recordSize, 0u) << "offset " << offset;
        for (const LayerRecord& r : d.records) {
            ++total;
            if (d.header.kind == 4) {
                if (std::string(f) == "OIL" || std::string(f) == "PARKING") {
                    EXPECT_TRUE(namedBrands.count(r.symbol));
                    brands.insert(r.symbol);
                }
            } else {
                EXPECT_FALSE(r.text.empty());
                // Hospital and pharmacy names may run to 20 bytes: the reader keeps a name that
                // cannot take its word.
                EXPECT_LE(r.text.size(), 20u);
            }
        }
    }
    EXPECT_EQ(total, s_summary->facilities);
    // Every brand that the search names itself is there, so each of its names shows up.
    EXPECT_EQ(brands, namedBrands);
}

TEST_F(DrawingData, GuidePointsFollowTheRoads) {
    const std::string bytes = File("POINT/newGuidePoint.MDC");
    std::uint32_t sizeWord = 0;
    std::memcpy(&sizeWord, bytes.data() + 6, 4);
    EXPECT_EQ(sizeWord, bytes.size());
    const Decoded d = ReadLayer("POINT\\newGuidePoint.MDC");
    EXPECT_EQ(d.header.CellCount(), 3168u);
    EXPECT_EQ(d.header.rows, 66);
    long points = 0;
    for (auto [offset, size] : d.cells) {
        EXPECT_EQ(size % 32, 0u);
        for (std::uint32_t at = offset; at + 32 <= offset + size; at += 32) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data()) + at;
            ++points;
            EXPECT_GE(p[1], 1);
            EXPECT_GT(p[2], 0); // a speed limit
            EXPECT_LT(p[3] | (p[4] << 8), 360);
        }
    }
    EXPECT_EQ(points, s_summary->guidePoints);
    EXPECT_GT(points, 10);
}

TEST_F(DrawingData, ConfigurationListsTheLayersAndScalesTheLevels) {
    const std::string para = File("Color/para.bin");
    ASSERT_EQ(para.size() % 320, 0u);
    EXPECT_EQ(para, File("Gray/para.bin"));
    std::vector<std::string> listed;
    for (std::size_t at = 0; at < para.size(); at += 320)
        listed.push_back(para.substr(at, para.find('\0', at) - at));
    // Drawing order: areas, lines, labels, shields.
    ASSERT_GE(listed.size(), 19u);
    EXPECT_EQ(listed[0], "MAP\\WATER.MDC");
    EXPECT_EQ(listed[2], "MAP\\BLOCK.MDC");
    EXPECT_EQ(listed.back(), "POINT\\TOPROADNUM.MDC");
    std::vector<int> order;
    for (const std::string& n : listed) {
        const Decoded d = ReadLayer(n);
        const int k = d.header.kind;
        order.push_back(k == 3 || k == 7 ? 0 : k == 2 || k == 5 ? 1 : n.rfind("POINT\\", 0) == 0 ? 3 : 2);
    }
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    // A layer missing from para.bin would never be drawn: every base and shield layer is listed.
    for (const mkdev::WrittenLayer& w : s_summary->layers) {
        const bool drawn = w.name.rfind("MAP\\", 0) == 0 ||
                           (w.name.rfind("POINT\\", 0) == 0 && w.name != "POINT\\newGuidePoint.MDC");
        if (drawn) {
            EXPECT_EQ(std::count(listed.begin(), listed.end(), w.name), 1) << w.name;
        }
    }

    EXPECT_EQ(File("Color/color.bin").size(), 64u);
    EXPECT_EQ(File("Gray/color.bin").size(), 64u);
    EXPECT_EQ(File(std::string("Color/Color_") + mkdev::kDaySchemeName + ".bin").size(), 144u);
    EXPECT_EQ(File(std::string("Color/Color_") + mkdev::kNightSchemeName + ".bin").size(), 144u);
    // The day scheme's colour table is color.bin's.
    EXPECT_EQ(File(std::string("Color/Color_") + mkdev::kDaySchemeName + ".bin").substr(0, 64),
              File("Color/color.bin"));
    EXPECT_EQ(File("line.bin").size(), 32u);

    // Level 1 spans the map box that the window builds from every layer the shell opens.
    std::int32_t minX = INT32_MAX, maxX = INT32_MIN;
    for (const mkdev::WrittenLayer& w : s_summary->layers) {
        if (w.name == "POINT\\newGuidePoint.MDC") continue;
        minX = std::min(minX, w.minX);
        maxX = std::max(maxX, w.maxX);
    }
    const std::string level = File("level.bin");
    ASSERT_EQ(level.size(), 192u);
    std::uint32_t previous = UINT32_MAX;
    for (int j = 0; j < 16; ++j) {
        std::uint32_t v = 0;
        std::memcpy(&v, level.data() + 12 * j + 4, 4);
        EXPECT_EQ(level[12 * j], 1);
        EXPECT_LT(v, previous);
        previous = v;
        if (j == 0) {
            EXPECT_EQ(v, static_cast<std::uint32_t>(maxX - minX));
        }
    }
    EXPECT_GE(previous, 150u);
}
