// The sample device's area tables against its table of areas and its address database: every
// neighbourhood is named at a point inside it and at its node position in the address
// database, and a point in the gap between two neighbourhoods is given the nearer one.
#include "admin/AdminSearch.h"
#include "mapview/CodeRecord.h"
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"
#include "route/base/Coords.h"
#include "search/SrchAddr.h"
#include "tools/mkdevice/AreaStage.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/PlaceTable.h"
#include "tools/mkdevice/testing/SampleDeviceCopy.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct MapXY {
    long x, y;
};

MapXY KmToMap(double e, double n) {
    const mkdev::NetPoint p = mkdev::SampleNet(e, n);
    std::int32_t x = 0, y = 0;
    NetToMapCoord(p.x, p.y, x, y);
    return {x, y};
}

class SampleAreas : public ::testing::Test {
protected:
    void SetUp() override {
        mkdev::MakeSampleDevice(root.Path());
        DeviceRoot::SetRoot(root.Path());
        ASSERT_EQ(search.OpenTbl("\\Storage Card\\MapData\\SearchDB\\"), 1);
    }
    std::string Ask(MapXY p, bool guOnly = false) {
        char answer[25];
        std::memset(answer, '#', sizeof answer);
        if (!(guOnly ? search.GetGuName(p.x, p.y, answer) : search.DoSrch(p.x, p.y, answer))) return "<none>";
        return Cp949ToUtf8(answer);
    }

    TempRoot root;
    CAdminSearch search;
};

} // namespace

TEST_F(SampleAreas, EveryNeighbourhoodIsNamedInsideIt) {
    const mkdev::PlaceTable& t = mkdev::SamplePlaces();
    int checked = 0;
    for (const mkdev::Area& a : t.areas) {
        if (a.level != 2) continue;
        const std::string district = Utf16ToUtf8(t.areas[static_cast<std::size_t>(a.parent)].name);
        const std::string expected = district + " " + Utf16ToUtf8(a.name);
        for (const mkdev::KmBox& b : a.boxes) {
            // The middle of the box and a point just inside its south-west corner.
            EXPECT_EQ(Ask(KmToMap((b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2)), expected);
            EXPECT_EQ(Ask(KmToMap(b.x0 + 0.05, b.y0 + 0.05)), expected);
            EXPECT_EQ(Ask(KmToMap((b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2), true), district);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 12);
    // The program's default map position.
    EXPECT_EQ(Ask({203143, 531663}), "가람시 시청동");
    EXPECT_EQ(Ask({100, 100}), "<none>");
    // Between 향교동 and 시청동 (boxes meeting at 11.5 km east, drawn 20 units inside): 5 units
    // west of the shared line is 15 units from 향교동 and 25 from 시청동.
    const MapXY edge = KmToMap(11.5, 10.6);
    EXPECT_EQ(Ask({edge.x - 5, edge.y}), "가람시 향교동");
    EXPECT_EQ(Ask({edge.x + 8, edge.y}), "가람시 시청동");
    EXPECT_EQ(mkdev::SampleMeshCells(16, 52), 1);
    EXPECT_EQ(mkdev::SampleMeshCells(18, 54), 7);
}

TEST_F(SampleAreas, AddressNodesAreNamedAtTheirPositions) {
    CSrchAddr addr;
    ASSERT_TRUE(addr.OpenOn(u"\\Storage Card\\MapData\\SearchDB\\aVelko.db",
                            u"\\Storage Card\\MapData\\SearchDB\\AdminName.db"));
    int checked = 0;
    for (int p = 0; p < addr.GetListCount(0); ++p) {
        ASSERT_TRUE(addr.Search(0, p));
        for (int d = 0; d < addr.GetListCount(1); ++d) {
            ASSERT_TRUE(addr.Search(1, d));
            char district[21] = {};
            ASSERT_TRUE(addr.GetTypeName(1, d, district));
            for (int t = 0; t < addr.GetListCount(2); ++t) {
                char town[21] = {};
                _ADDR_RESULT r;
                ASSERT_TRUE(addr.GetTypeName(2, t, town));
                ASSERT_TRUE(addr.GetSearchResult(2, t, r));
                char code[16];
                std::snprintf(code, sizeof code, "00%d", r.pos[0]);
                POINT a{0, 0}, b{0, 0};
                ASSERT_TRUE(SheetCodeToRect(code, a, b));
                const MapXY at{static_cast<long>(static_cast<float>(b.x) * 1.2f) + r.pos[1], b.y + r.pos[2]};
                EXPECT_EQ(Ask(at), Cp949ToUtf8(district) + " " + Cp949ToUtf8(town));
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 12);
}
