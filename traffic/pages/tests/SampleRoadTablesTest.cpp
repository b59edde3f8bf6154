// The sample device's broadcast road tables, read back byte by byte and through TrafficRoadDB:
// every section names a link of the broadcast link table, its map move lands on its road, and
// the tree is the one the traffic pages browse.
#include "mapview/CodeRecord.h"
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/BroadcastStage.h"
#include "tools/mkdevice/Networks.h"
#include "tools/mkdevice/TrafficRoadTables.h"
#include "traffic/pages/DARCTraffic.h"
#include "traffic/pages/TrafficRoadDB.h"
#include "traffic/receiver/Traffic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

namespace {

std::uint32_t U32(const std::string& f, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(f.at(at))) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(f.at(at + 1))) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(f.at(at + 2))) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(f.at(at + 3))) << 24;
}
std::int16_t I16(const std::string& f, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<unsigned char>(f.at(at)) | static_cast<unsigned char>(f.at(at + 1)) << 8);
}

// Metres from a network point to a segment, 0.27654 m per x unit and 0.30879 m per y unit.
double SegmentMetres(double px, double py, mkdev::NetPoint a, mkdev::NetPoint b) {
    const double ax = a.x * 0.27654, ay = a.y * 0.30879, bx = b.x * 0.27654, by = b.y * 0.30879;
    const double x = px * 0.27654, y = py * 0.30879;
    const double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
    double t = len > 0 ? ((x - ax) * dx + (y - ay) * dy) / len : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(x - (ax + t * dx), y - (ay + t * dy));
}

// The position the program moves the map to: the sheet code's corner B with x times 1.2 in
// single precision, plus the offsets; then network coordinates.
bool MapMove(std::int16_t code, std::int16_t x, std::int16_t y, std::int32_t& netX, std::int32_t& netY) {
    char text[16];
    std::snprintf(text, sizeof text, "00%d", static_cast<int>(code));
    POINT a{}, b{};
    if (!SheetCodeToRect(text, a, b)) return false;
    MapToNetCoord(static_cast<std::int32_t>(static_cast<float>(b.x) * 1.2f) + x, b.y + y, netX, netY);
    return true;
}

class SampleRoadTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s = new Shared;
        mkdev::DeviceLayout layout(s->root.Path());
        std::filesystem::create_directories(layout.mrData);
        s->model = mkdev::BuildSampleRegion();
        s->ids = mkdev::AssignBroadcastLinks(s->model);
        mkdev::WriteBroadcastFiles(layout, s->ids);
        s->summary = mkdev::WriteTrafficRoadTables(layout, s->model, s->ids);
        s->file = s->root.Read("Storage Card/MapData/DARC/DLevel1.db");
    }
    static void TearDownTestSuite() {
        delete s;
        s = nullptr;
    }
    void SetUp() override {
        DeviceRoot::SetRoot(s->root.Path());
        CTraffic::instance()->openFile(CString(u"\\Storage Card\\MapData"));
        ASSERT_EQ(CTraffic::instance()->GetLinkCount(), static_cast<int>(s->ids.size()));
    }
    void TearDown() override {
        CDARCTraffic::destruct();
        CTraffic::destruct();
    }

    struct Shared {
        TempRoot root;
        mkdev::NetModel model;
        std::vector<std::uint32_t> ids;
        mkdev::TrafficRoadSummary summary;
        std::string file;
    };
    static Shared* s;
};
SampleRoadTables::Shared* SampleRoadTables::s = nullptr;

} // namespace

TEST_F(SampleRoadTables, EverySectionNamesABroadcastLinkAndMovesTheMapOntoItsRoad) {
    const std::string& f = s->file;
    ASSERT_GE(f.size(), 88u);
    const std::uint32_t sections = U32(f, 64), count = U32(f, 68);
    EXPECT_EQ(count, static_cast<std::uint32_t>(s->summary.sections));
    EXPECT_EQ(s->summary.unpaired, 0);
    ASSERT_GT(count, 40u);
    ASSERT_LE(sections + 36ull * count, f.size());
    std::map<std::uint32_t, std::size_t> indexOf;
    for (std::size_t i = 0; i < s->ids.size(); ++i) indexOf[s->ids[i]] = i;
    std::set<std::uint32_t> seen;
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::size_t at = sections + 36ull * k;
        const std::uint32_t id = U32(f, at + 14);
        SCOPED_TRACE(testing::Message() << "section " << k << " link " << std::hex << id);
        EXPECT_EQ(f[at + 6], 0); // kind 0
        ASSERT_TRUE(indexOf.count(id));
        EXPECT_TRUE(seen.insert(id).second); // each link once
        std::int32_t nx = 0, ny = 0;
        ASSERT_TRUE(MapMove(I16(f, at + 22), I16(f, at + 24), I16(f, at + 26), nx, ny));
        EXPECT_NE(I16(f, at + 24), 0);
        EXPECT_NE(I16(f, at + 26), 0);
        double best = 1e18;
        for (const mkdev::NetLink& l : s->model.Links()) {
            if (l.broadcastForward != indexOf[id] && l.broadcastBackward != indexOf[id]) continue;
            std::vector<mkdev::NetPoint> pts{s->model.NodePoint(l.a)};
            pts.insert(pts.end(), l.shape.begin(), l.shape.end());
            pts.push_back(s->model.NodePoint(l.b));
            for (std::size_t i = 1; i < pts.size(); ++i) best = std::min(best, SegmentMetres(nx, ny, pts[i - 1], pts[i]));
        }
        EXPECT_LE(best, 100.0);
        EXPECT_GT(U32(f, at + 28), 0u); // length in metres
    }
    // Every stretch of the broadcast table has its section.
    EXPECT_EQ(seen.size(), s->ids.size());
}

TEST_F(SampleRoadTables, TheTreeThePagesBrowse) {
    TrafficRoadDB db;
    ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
    ASSERT_EQ(db.GetCount(), 4);
    const char* groups[] = {"고속도로", "국도", "지방도", "시내도로"};
    TrafficSectionInfo info;
    for (int g = 0; g < 4; ++g) {
        EXPECT_EQ(db.GetSectionInfo(g, &info), 1);
        EXPECT_EQ(Cp949ToUtf8(info.roadName), groups[g]);
    }
    // Every group: expressways at level 1 with sections at level 2; other roads under a town.
    int roads = 0;
    for (int g = 0; g < 4; ++g) {
        SCOPED_TRACE(groups[g]);
        ASSERT_EQ(db.EnterRecord(g), 1);
        const int towns = g == 0 ? 1 : db.GetCount();
        for (int t = 0; t < towns; ++t) {
            if (g > 0) {
                EXPECT_EQ(db.GetSectionInfo(t, &info), 1);
                EXPECT_TRUE(std::string(info.roadName).size() > 0);
                ASSERT_EQ(db.EnterRecord(t), 1);
                EXPECT_EQ(db.GetLevel(), 2);
            }
            for (int r = 0; r < db.GetCount(); ++r) {
                ++roads;
                ASSERT_EQ(db.GetSectionInfo(r, &info), 1);
                const std::string road = Cp949ToUtf8(info.roadName);
                SCOPED_TRACE(road);
                ASSERT_EQ(db.EnterRecord(r), 1);
                EXPECT_EQ(db.GetLevel(), g == 0 ? 2 : 3);
                ASSERT_TRUE(db.IsSectionLevel());
                const int n = db.GetCount();
                EXPECT_EQ(n % 2, 0);
                for (int i = 0; i < n; ++i) {
                    EXPECT_EQ(db.GetSectionInfo(i, &info), 1) << i; // paired with its mirror
                    EXPECT_EQ(info.direction, i < n / 2 ? 1 : 0);
                    EXPECT_EQ(info.speed[0], 255); // nothing received yet
                    EXPECT_GT(std::string(info.startName).size(), 0u);
                    EXPECT_GT(std::string(info.endName).size(), 0u);
                    EXPECT_EQ(info.highway, g == 0 ? 1 : 0);
                }
                ASSERT_EQ(db.LevelUp(), 1);
            }
            if (g > 0) {
                ASSERT_EQ(db.LevelUp(), 1);
            }
        }
        ASSERT_EQ(db.LevelUp(), 1);
    }
    EXPECT_EQ(roads, s->summary.roads);

    // 누리고속도로 is an expressway: first row of the first group, westernmost section first.
    ASSERT_EQ(db.EnterRecord(0), 1);
    ASSERT_EQ(db.GetSectionInfo(0, &info), 1);
    EXPECT_EQ(Cp949ToUtf8(info.roadName), "누리고속도로");
    ASSERT_EQ(db.EnterRecord(0), 1);
    ASSERT_EQ(db.GetSectionInfo(0, &info), 1);
    EXPECT_EQ(Cp949ToUtf8(info.startName), "누리시점");
    EXPECT_EQ(Cp949ToUtf8(info.endName), "가람IC");
    const int n = db.GetCount();
    ASSERT_EQ(db.GetSectionInfo(n - 1, &info), 1);
    EXPECT_EQ(Cp949ToUtf8(info.startName), "가람IC"); // the westbound carriageway, the other way
    EXPECT_EQ(Cp949ToUtf8(info.endName), "누리시점");
}

TEST_F(SampleRoadTables, EveryLinkFindsItsRoadAndRow) {
    TrafficRoadDB db;
    ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
    const std::string& f = s->file;
    const std::uint32_t sections = U32(f, 64), count = U32(f, 68);
    std::map<std::uint32_t, std::size_t> indexOf;
    for (std::size_t i = 0; i < s->ids.size(); ++i) indexOf[s->ids[i]] = i;
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::size_t at = sections + 36ull * k;
        const std::uint32_t id = U32(f, at + 14);
        const std::uint32_t road = 88 + U32(f, at + 32);
        const std::uint32_t first = 88 + U32(f, road);
        const int n = I16(f, road + 4);
        const int i = static_cast<int>((at - first) / 36);
        const int pair = i < n / 2 ? i : n - 1 - i;
        SCOPED_TRACE(testing::Message() << "section " << k);
        // The matched link of a one-way carriageway comes with 0xFFFF as the other index.
        const sSAVETRAFFIC* found = db.FindDrivingRoad(static_cast<unsigned short>(indexOf[id]), 0xFFFF);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(db.GetDrivingRow(), 2 * pair + 1);
        EXPECT_EQ(Utf16ToCp949(db.GetDrivingRoadName()), std::string(f.c_str() + 88 + U32(f, 72) + 60 * I16(f, road + 8)));
        const sSAVETRAFFIC state = *found;
        ASSERT_EQ(db.RestoreState(&state), 1);
        EXPECT_EQ(db.GetCount(), n);
        EXPECT_EQ(db.GetSelected(), 2 * pair + 1);
        EXPECT_EQ(db.GetSectionX(i), I16(f, at + 24));
    }
}
