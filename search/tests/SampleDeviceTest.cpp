// The sample device's search databases against its road network and map: every place, parcel,
// area and theme place, decoded as the program decodes it, lies on its sheet and attaches to a
// road in the first search pass; every detail, record and admin-name number resolves.
#include "mapview/CodeRecord.h"
#include "platform/files/tests/TempRoot.h"
#include "route/MapDataHeader.h"
#include "route/PointManage.h"
#include "route/RoutePlan.h"
#include "route/base/Coords.h"
#include "search/CateIndex.h"
#include "search/NameDBFile.h"
#include "search/PoiFile.h"
#include "search/SearchFormat.h"
#include "search/SrchAddr.h"
#include "search/ThemeDB.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/testing/SampleDeviceCopy.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <vector>

namespace {

const char16_t* kData = u"\\Storage Card\\MapData";
const char16_t* kNames = u"\\Storage Card\\MapData\\SearchDB\\nVelko.db";
const char16_t* kAdmin = u"\\Storage Card\\MapData\\SearchDB\\AdminName.db";
const char16_t* kAddr = u"\\Storage Card\\MapData\\SearchDB\\aVelko.db";
const char16_t* kPoi = u"\\Storage Card\\MapData\\SearchDB\\POI.db";

struct SampleDevice {
    TempRoot root;
    SampleDevice() {
        mkdev::MakeSampleDevice(root.Path());
        DeviceRoot::SetRoot(root.Path());
    }
};

// The map point the program forms from a stored position: the sheet's corner B, its x times 1.2
// in single precision, plus the offsets.
bool MapPoint(const std::uint16_t pos[3], std::int32_t& x, std::int32_t& y) {
    char code[16];
    std::snprintf(code, sizeof code, "00%d", pos[0]);
    POINT a{0, 0}, b{0, 0};
    if (!SheetCodeToRect(code, a, b)) return false;
    x = static_cast<std::int32_t>(static_cast<float>(b.x) * 1.2f) + pos[1];
    y = b.y + pos[2];
    return true;
}

class SampleSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_device = new SampleDevice; }
    static void TearDownTestSuite() {
        delete s_device;
        s_device = nullptr;
    }
    void SetUp() override { DeviceRoot::SetRoot(s_device->root.Path()); }

    // The position lies on one of the sample's sheets and attaches to a road within 100 m, which
    // the first pass (links within 2,400 units) always finds.
    void ExpectAttaches(const std::uint16_t pos[3], const std::string& what) {
        static const std::set<int> sheets = {6732, 6733, 6734, 6736, 6737, 6738, 6742, 6743, 6744};
        EXPECT_TRUE(sheets.count(pos[0])) << what << " sheet " << pos[0];
        EXPECT_LT(pos[1], 12000) << what;
        EXPECT_LT(pos[2], 10000) << what;
        std::int32_t x = 0, y = 0;
        ASSERT_TRUE(MapPoint(pos, x, y)) << what;
        EXPECT_GE(x, 192000) << what;
        EXPECT_LT(x, 228000) << what;
        EXPECT_GE(y, 520000) << what;
        EXPECT_LT(y, 550000) << what;
        std::int32_t nx = 0, ny = 0;
        MapToNetCoord(x, y, nx, ny);
        ExpectAttachesNet(nx, ny, what);
    }
    void ExpectAttachesNet(std::int32_t nx, std::int32_t ny, const std::string& what) {
        LinkPos out;
        const NetXY p{nx, ny};
        ASSERT_GE(engine.Points().AttachPoint(PointManage::kStart, p, out), 1) << what;
        EXPECT_LE(engine.Points().LinkDistance(out.mapId, out.linkId, p), 100u) << what;
    }

    CRoutePlan engine;
    static SampleDevice* s_device;
};

SampleDevice* SampleSearch::s_device = nullptr;

} // namespace

TEST(SheetPosition, TheProgramsMapPoint) {
    // Sheet 6733 is column 16, row 53 of the 7'30" x 5' sheets from 125 E, 33 05' N: corner B
    // (160000, 530000), x times 1.2 = 192000, plus the offsets.
    const std::uint16_t pos[3] = {6733, 11143, 1663};
    std::int32_t x = 0, y = 0;
    ASSERT_TRUE(MapPoint(pos, x, y));
    EXPECT_EQ(x, 203143);
    EXPECT_EQ(y, 531663);
}

TEST_F(SampleSearch, EveryNameLiesOnTheMapAndResolves) {
    ASSERT_EQ(engine.Init(kData), 1);
    CNameDBFile db;
    ASSERT_TRUE(db.OpenOn(kNames, kAdmin));
    CPoiFile poi;
    ASSERT_TRUE(poi.Open(kPoi));
    // Every name begins with some character of the top level: searching each name finds it.
    std::ifstream in(s_device->root.Host("Storage Card/MapData/SearchDB/nVelko.db"), std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::uint32_t base = tolvik::Le32(reinterpret_cast<const std::uint8_t*>(file.data()) + 68);
    const std::uint32_t end = tolvik::Le32(reinterpret_cast<const std::uint8_t*>(file.data()) + 76);
    ASSERT_GT(end, base);
    const std::uint32_t count = (end - base) / 40;
    EXPECT_GE(count, 120u);
    int garam = 0;
    for (std::uint32_t r = 0; r < count; ++r) {
        const std::string name = file.substr(base + 40 * r, 20).c_str();
        if (name.rfind(Utf8ToCp949("가람"), 0) == 0) ++garam;
        ASSERT_TRUE(db.Search(name.c_str())) << Cp949ToUtf8(name);
        bool found = false;
        for (int i = 0; i < db.GetCount(); ++i) {
            NameHit hit;
            ASSERT_TRUE(db.GetHit(i, hit)) << Cp949ToUtf8(name);
            if (std::string(hit.name, tolvik::FieldLength(hit.name, 20)) != name) continue;
            found = true;
            ExpectAttaches(hit.pos, Cp949ToUtf8(name));
            _POI_RESULT details;
            ASSERT_TRUE(poi.ReadPOI(static_cast<int>(db.GetDetailNumber(i)), details)) << Cp949ToUtf8(name);
            EXPECT_EQ(std::string(details.name, tolvik::FieldLength(details.name, 20)), name);
        }
        EXPECT_TRUE(found) << Cp949ToUtf8(name);
    }
    EXPECT_GE(garam, 30);
    ASSERT_TRUE(db.Search(Utf8ToCp949("가람시종합사회복지관").c_str()));
    char twenty[21] = {};
    ASSERT_TRUE(db.GetName(0, twenty));
    EXPECT_EQ(tolvik::FieldLength(twenty, 20), 20u);
    // "똠" and "LG주" walk keys 8C 63; 4C 00, 47 00, C1 D6.
    EXPECT_TRUE(db.Search("\x8C\x63"));
    EXPECT_TRUE(db.Search("LG\xC1\xD6"));

    CMapDataHeader header;
    EXPECT_EQ(header.Open(kData), 1);
}

TEST_F(SampleSearch, EveryCategoryFacilityResolves) {
    ASSERT_EQ(engine.Init(kData), 1);
    CCateIndex c;
    ASSERT_TRUE(c.OpenOn(kNames, kAdmin));
    int facilities = 0;
    for (int a = 0; a < c.GetListCount(0); ++a) {
        ASSERT_TRUE(c.Select(0, a));
        for (int b = 0; b < c.GetListCount(1); ++b) {
            ASSERT_TRUE(c.Select(1, b));
            for (int p = 0; p < c.GetListCount(2); ++p) {
                ASSERT_TRUE(c.Select(2, p));
                for (int d = 0; d < c.GetListCount(3); ++d) {
                    ASSERT_TRUE(c.Select(3, d));
                    char names[4][31] = {};
                    for (int l = 0; l < 4; ++l)
                        ASSERT_TRUE(c.GetItemName(l, c.GetSelected(l), names[l])) << a << b << p << d;
                    ASSERT_GT(c.GetFacilityCount(), 0);
                    for (int i = 0; i < c.GetFacilityCount(); ++i) {
                        NameHit hit;
                        ASSERT_TRUE(c.GetHit(i, hit));
                        ExpectAttaches(hit.pos, Cp949ToUtf8(hit.name));
                        ++facilities;
                    }
                }
            }
        }
    }
    EXPECT_GT(facilities, 60);
}

namespace {

struct Parcel {
    unsigned mountain, main, sub;
    std::uint16_t pos[3];
};

// The parcels below every area of the address file, read apart from the library.
std::vector<Parcel> AllParcels(const std::string& file, std::vector<std::array<std::uint16_t, 3>>& areaPositions) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(file.data());
    const std::uint32_t base = tolvik::Le32(p + 32);
    std::vector<Parcel> out;
    std::function<void(std::uint32_t, unsigned, int)> walk = [&](std::uint32_t at, unsigned count, int level) {
        for (unsigned i = 0; i < count; ++i) {
            const std::uint8_t* n = p + at + 28 * i;
            areaPositions.push_back({tolvik::Le16(n + 20), tolvik::Le16(n + 22), tolvik::Le16(n + 24)});
            const std::uint32_t child = base + tolvik::Le32(n + 2);
            const unsigned childCount = tolvik::Le16(n + 6);
            const unsigned type = n[14];
            if (childCount == 0 || type == 6) continue;
            if (level < 2 || (level == 2 && type == 2)) {
                walk(child, childCount, level + 1);
                continue;
            }
            const std::uint32_t inflated = tolvik::Le32(p + child), stored = tolvik::Le32(p + child + 4);
            const std::uint32_t entries = tolvik::Le32(p + child + 8);
            std::vector<std::uint8_t> plain(inflated);
            if (p[child + 12] == 0) {
                std::memcpy(plain.data(), p + child + 13, stored);
            } else {
                uLongf length = inflated;
                EXPECT_EQ(uncompress(plain.data(), &length, p + child + 13, stored), Z_OK);
            }
            for (std::uint32_t e = 0; e < entries; ++e) {
                const std::uint8_t* q = plain.data() + 12 * e;
                out.push_back({q[1], tolvik::Le16(q + 2), tolvik::Le16(q + 4),
                               {tolvik::Le16(q + 6), tolvik::Le16(q + 8), tolvik::Le16(q + 10)}});
            }
        }
    };
    walk(base, tolvik::Le16(p + 36), 0);
    return out;
}

} // namespace

TEST_F(SampleSearch, EveryParcelAndAreaAttaches) {
    ASSERT_EQ(engine.Init(kData), 1);
    std::ifstream in(s_device->root.Host("Storage Card/MapData/SearchDB/aVelko.db"), std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::array<std::uint16_t, 3>> areas;
    const std::vector<Parcel> parcels = AllParcels(file, areas);
    EXPECT_GT(parcels.size(), 500u);
    int mountains = 0, subs = 0;
    for (const Parcel& q : parcels) {
        mountains += q.mountain;
        subs += q.sub != 0;
        ExpectAttaches(q.pos, "parcel " + std::to_string(q.main));
    }
    EXPECT_GT(mountains, 20);
    EXPECT_GT(subs, 50);
    for (const auto& a : areas) ExpectAttaches(a.data(), "area");

    // The library walks the same tree: every node's name resolves.
    CSrchAddr addr;
    ASSERT_TRUE(addr.OpenOn(kAddr, kAdmin));
    for (int p = 0; p < addr.GetListCount(0); ++p) {
        ASSERT_TRUE(addr.Search(0, p));
        for (int d = 0; d < addr.GetListCount(1); ++d) {
            ASSERT_TRUE(addr.Search(1, d));
            for (int t = 0; t < addr.GetListCount(2); ++t) {
                char name[21] = {};
                ASSERT_TRUE(addr.GetTypeName(2, t, name));
                addr.Search(2, t);
                addr.SetDepth(2);
                const int type = addr.GetDownNodeType(2, t);
                if (type == 3) {
                    EXPECT_GE(addr.Search(0, 1, 0), 1) << Cp949ToUtf8(name);
                }
                for (int v = 0; type == 2 && v < addr.GetListCount(3); ++v) {
                    ASSERT_TRUE(addr.GetTypeName(3, v, name));
                    ASSERT_TRUE(addr.Search(3, v));
                    addr.SetDepth(3);
                    EXPECT_GE(addr.Search(0, 1, 0), 1) << Cp949ToUtf8(name);
                }
            }
        }
    }
}

TEST_F(SampleSearch, ThemePlacesAttach) {
    ASSERT_EQ(engine.Init(kData), 1);
    CThemeDB t;
    ASSERT_TRUE(t.Init(u"\\Storage Card\\MapData\\SearchDB\\Theme"));
    ASSERT_EQ(t.GetThemeCount(), 2);
    for (int i = 0; i < t.GetThemeCount(); ++i) {
        ASSERT_TRUE(t.LoadTheme(i));
        ASSERT_TRUE(t.Search(0, "", 0));
        for (int k = 0; k < t.GetCount(); ++k) {
            ThemeRow row;
            ASSERT_TRUE(t.GetRow(k, row));
            ExpectAttachesNet(static_cast<std::int32_t>(row.x) * 10, static_cast<std::int32_t>(row.y) * 10,
                              Cp949ToUtf8(row.name));
            std::vector<_POI_ITEM> items;
            EXPECT_TRUE(t.GetDetail(t.GetDetailNumber(k) - 1, items));
            EXPECT_FALSE(items.empty());
        }
    }
}
