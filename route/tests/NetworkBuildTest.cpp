// The builder's networks read back through the route readers: the sample region and the
// fixtures agree with what the readers expect, and the same input gives the same bytes.
#include "route/MRReader.h"
#include "route/RoadNameTable.h"
#include "route/RpCache.h"

#include "route/tests/NetTestSupport.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/testing/SampleDeviceCopy.h"
#include "tools/mkdevice/Networks.h"

#include "platform/base/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

namespace {

void Build(const NetRoot& root, const std::string& network) {
    mkdev::DeviceOptions o;
    o.outDir = root.Dir().string();
    o.network = network;
    o.quiet = true;
    mkdev::BuildDevice(o);
}

constexpr const char16_t* kData = u"\\Storage Card\\MapData";

TEST(NetworkBuildTest, EveryJunctionOfTheSampleRegionReadsBackCoherently) {
    NetRoot root;
    mkdev::MakeSampleDevice(root.Dir().string());
    MRReader reader;
    ASSERT_EQ(reader.Open(3, kData), 1);
    ASSERT_EQ(reader.MapCount(), 9);
    RpCache cache;
    ASSERT_EQ(cache.Init(RpCache::kDefaultBudget, reader.MapCount(), RpCache::kKindCount, &reader), 1);
    int junctions = 0, passThrough = 0;
    for (int map = 0; map < reader.MapCount(); ++map) {
        const MRMapRecord* r = reader.MapRecord(map);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->xScale, 27654);
        EXPECT_EQ(r->neighbours[4], map);
        for (int node = 0; node < r->nodeCount; ++node) {
            std::uint8_t rec[8];
            ASSERT_EQ(cache.ReadNode(rec, map, node, 3), 1);
            const std::uint32_t ref = mrformat::U32(rec + 4);
            if (mrformat::IsPassThrough(ref)) {
                ++passThrough;
                std::uint8_t ex[6];
                ASSERT_EQ(cache.ReadExNode(ex, map, ref, 3), 1);
                const int other = mrformat::U16(ex) & 0x3FFF;
                ASSERT_LT(other, reader.MapCount());
                // The continuation in the other map comes back to this node.
                std::uint8_t back[8], backEx[6];
                ASSERT_EQ(cache.ReadNode(back, other, mrformat::U16(ex + 2), 3), 1);
                ASSERT_EQ(cache.ReadExNode(backEx, other, mrformat::U32(back + 4), 3), 1);
                EXPECT_EQ(mrformat::U16(backEx) & 0x3FFF, map);
                EXPECT_EQ(mrformat::U16(backEx + 2), node);
                continue;
            }
            ++junctions;
            MRCrossNode j;
            ASSERT_EQ(cache.ReadCross(j, map, ref, 3), 1);
            for (int e = 0; e < j.count; ++e) {
                std::uint8_t link[28];
                ASSERT_EQ(cache.ReadLink(link, map, j.links[e], 3), 1);
                EXPECT_TRUE(mrformat::LinkStartNode(link) == node || mrformat::LinkEndNode(link) == node);
            }
        }
    }
    EXPECT_GT(junctions, 90);
    EXPECT_GT(passThrough, 20);
}

// The link lengths follow the geometry: for each link of the centre sheet, the sum of its
// segment lengths (0.27654 m per x unit, 0.30879 m per y unit), rounded up.
TEST(NetworkBuildTest, LinkLengthsFollowTheGeometry) {
    NetRoot root;
    mkdev::MakeSampleDevice(root.Dir().string());
    MRReader reader;
    ASSERT_EQ(reader.Open(3, kData), 1);
    const int centre = 4;
    const MRMapRecord* r = reader.MapRecord(centre);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->west, 45756000);
    EXPECT_EQ(r->south, 13500000);
    for (int l = 0; l < r->linkCount; ++l) {
        std::uint8_t link[28], a[8], b[8];
        ASSERT_EQ(reader.ReadLink(link, centre, l), 1);
        ASSERT_EQ(reader.ReadNode(a, centre, mrformat::LinkStartNode(link)), 1);
        ASSERT_EQ(reader.ReadNode(b, centre, mrformat::LinkEndNode(link)), 1);
        std::vector<std::pair<int, int>> pts{{mrformat::U16(a), mrformat::U16(a + 2)}};
        std::vector<std::uint8_t> v(mrformat::LinkVertexCount(link) * 4u + 4);
        ASSERT_EQ(reader.ReadVertices(v.data(), static_cast<std::int64_t>(v.size()), centre, link), 1);
        for (int k = 0; k < mrformat::LinkVertexCount(link); ++k)
            pts.push_back({mrformat::U16(&v[4 * k]), mrformat::U16(&v[4 * k + 2])});
        pts.push_back({mrformat::U16(b), mrformat::U16(b + 2)});
        double metres = 0;
        for (std::size_t k = 1; k < pts.size(); ++k)
            metres += std::hypot((pts[k].first - pts[k - 1].first) * 0.27654,
                                 (pts[k].second - pts[k - 1].second) * 0.30879);
        EXPECT_EQ(mrformat::U16(link + 8), static_cast<int>(std::max(1.0, std::ceil(metres))))
            << "link " << l;
    }
}

TEST(NetworkBuildTest, TheTinyFixtureHasItsNamesLevelsAndBannedTurn) {
    NetRoot root;
    Build(root, "fixture:tiny");
    MRReader reader;
    ASSERT_EQ(reader.Open(3, kData), 1);
    ASSERT_EQ(reader.MapCount(), 1);
    const MRMapRecord* r = reader.MapRecord(0);
    // One level-0 link pair (the expressway), one national road, two level-2 links, one alley.
    EXPECT_EQ(r->levelLinks[0], 3); // the expressway and the tunnel
    EXPECT_EQ(r->levelLinks[1], 4);
    EXPECT_EQ(r->levelLinks[2], 5);
    EXPECT_EQ(r->levelLinks[3], 6);

    CMRNetAccess access;
    ASSERT_TRUE(access.Open(kData));
    CRoadNameTable names;
    ASSERT_EQ(names.Load(kData), 1);
    int found21 = 0, refused22 = 0;
    for (int l = 0; l < r->linkCount; ++l)
        for (bool first : {true, false}) {
            char buf[22];
            if (access.GetCrossName(0, l, first, buf, sizeof buf)) {
                if (std::strlen(buf) == 21) ++found21;
            } else {
                std::uint8_t link[28], node[8];
                ASSERT_TRUE(access.GetLink(0, l, link));
                ASSERT_EQ(reader.ReadNode(
                              node, 0, first ? mrformat::LinkStartNode(link) : mrformat::LinkEndNode(link)),
                          1);
                MRCrossNode j;
                if (mrformat::LinkCountOf(mrformat::U32(node + 4)) > 1 &&
                    reader.ReadCrossNode(j, 0, mrformat::U32(node + 4)) && j.NameLength() == 22)
                    ++refused22;
            }
        }
    EXPECT_EQ(found21, 2);   // both links at the 21-byte junction
    EXPECT_EQ(refused22, 2); // both links at the 22-byte junction
    char road[20];
    bool sawTunnel = false;
    for (int l = 0; l < r->linkCount; ++l)
        if (names.GetRoadName(0, l, road) &&
            Cp949ToUtf16(std::string_view(road, strnlen(road, 20))) == u"한빛터널") {
            std::uint8_t link[28];
            ASSERT_TRUE(access.GetLink(0, l, link));
            EXPECT_EQ((mrformat::U16(link + 10) >> 8) & 7, 3); // width class 3: a tunnel
            sawTunnel = true;
        }
    EXPECT_TRUE(sawTunnel);
}

std::vector<char> Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

TEST(NetworkBuildTest, TheSameInputGivesTheSameBytes) {
    for (const std::string& net : {std::string("sample"), std::string("fixture:border")}) {
        // The sample built here against the tool tests' device, where ctest names one.
        NetRoot a, b;
        if (net == "sample")
            mkdev::MakeSampleDevice(a.Dir().string());
        else
            Build(a, net);
        Build(b, net);
        for (const char* f :
             {"MRManage.bin", "MRLink.bin", "MRCross.bin", "MRNeighb.bin", "RoadNameTbl.bin"}) {
            auto pa = a.Dir() / "Storage Card" / "MapData" / "MRData" / f;
            auto pb = b.Dir() / "Storage Card" / "MapData" / "MRData" / f;
            EXPECT_EQ(Slurp(pa), Slurp(pb)) << net << " " << f;
        }
    }
}

TEST(NetworkBuildTest, UnknownNetworksAreRefused) {
    NetRoot root;
    EXPECT_THROW(Build(root, "fixture:nothing"), std::invalid_argument);
    EXPECT_THROW(Build(root, "everything"), std::invalid_argument);
}

} // namespace
