// The route object: its stream (against hand-packed bytes), the bounded reader, and the
// queries guidance uses, on a small route written out by hand.
#include "platform/files/tests/TempRoot.h"
#include "route/RoutePath.h"
#include "route/tests/HandNetwork.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using handnet::Out;

struct ItemSpec {
    int map, link, dir, kind, fac;
    std::uint32_t remaining;
};

// A route of ten items on maps 3 and 5; remaining distances fall by hand-chosen lengths.
//   index:     0     1     2     3     4     5     6     7     8     9
//   remaining: 5000  4200  3900  3700  3000  2500  1700  1000  600   100
const ItemSpec kItems[10] = {
    {3, 10, 0, 0, 0, 5000}, {3, 11, 1, 1, 0, 4200}, {3, 12, 0, 0, 4, 3900}, {3, 13, 0, 2, 0, 3700},
    {5, 20, 1, 0, 0, 3000}, {5, 21, 0, 1, 2, 2500}, {5, 22, 0, 0, 0, 1700}, {5, 23, 0, 2, 3, 1000},
    {5, 24, 1, 0, 0, 600},  {5, 25, 0, 3, 0, 100},
};

// The stream: header (offsets 0 here, the reader ignores them), 2 item runs, 10 items, one
// point run, 3 points, 2 guide runs, 4 guides, 5 facility entries (one of code 7).
std::vector<std::uint8_t> HandStream() {
    Out o;
    const int counts[7] = {2, 10, 1, 3, 2, 4, 5};
    o.u32(5000).u32(400).u32(1).u32(37);
    for (int c : counts) o.u32(0).u32(static_cast<std::uint32_t>(c));
    o.u16(3).u16(4).u32(0);
    o.u16(5).u16(6).u32(4);
    for (const ItemSpec& s : kItems) {
        o.u16(s.map).u16(s.link).u8(s.dir).u8(s.kind).u8(s.fac).u8(0).u32(s.remaining);
        for (int k = 0; k < 20; ++k) o.u8(s.link == 11 && k < 3 ? 'A' + k : 0);
    }
    o.u16(3).u16(3).u32(0);
    o.u32(10).u32(20).u32(30).u32(40).u32(50).u32(60);
    o.u16(3).u16(2).u32(0);
    o.u16(5).u16(2).u32(2);
    // guides: (link, dir, item, 0, code)
    o.u16(11).u16(1).u16(1).u8(0).u8(12);
    o.u16(13).u16(0).u16(3).u8(0).u8(59);
    o.u16(21).u16(0).u16(5).u8(0).u8(13);
    o.u16(25).u16(0).u16(9).u8(0).u8(60);
    // facilities: (value, code, item)
    o.u16(101).u16(4).u16(2);
    o.u16(102).u16(2).u16(5);
    o.u16(103).u16(7).u16(6);
    o.u16(104).u16(3).u16(7);
    o.u16(105).u16(1).u16(8);
    return o.b;
}

CRoutePath Loaded() {
    CRoutePath path;
    const auto bytes = HandStream();
    EXPECT_EQ(path.ReadBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size())), 1);
    return path;
}

} // namespace

TEST(RoutePathStream, ReadsHandPackedBytesAndPacksThemBackUnchanged) {
    CRoutePath path = Loaded();
    EXPECT_EQ(path.TotalLength(), 5000);
    EXPECT_EQ(path.TotalTime(), 400);
    ASSERT_EQ(path.ItemCount(), 10);
    EXPECT_EQ(path.Items()[1].direction, 1);
    EXPECT_STREQ(path.Items()[1].name, "ABC");
    EXPECT_EQ(path.Points()[2].y, 60);
    EXPECT_EQ(path.Guides()[3].guideCode, 60);
    EXPECT_EQ(path.Facilities()[4].value, 105);
    EXPECT_EQ(path.Pack(), HandStream());
}

TEST(RoutePathStream, SaveThenLoadFromTheSamePositionGivesTheSameStream) {
    TempRoot root;
    CRoutePath path = Loaded();
    CBinFile file;
    ASSERT_EQ(file.Create(u"\\route.bin"), 0);
    ASSERT_EQ(file.Write(std::int32_t{77}), 4); // something before the stream
    ASSERT_EQ(path.Save(file), 1);
    file.Close();
    ASSERT_EQ(file.Open(u"\\route.bin", CBinFile::kModeRead), 0);
    file.Seek(4, 0);
    CRoutePath again;
    ASSERT_EQ(again.Load(file), 1);
    EXPECT_EQ(again.Pack(), HandStream());
    for (int i = 0; i < 18; ++i) EXPECT_EQ(again.Header(i), path.Header(i)) << i;
}

TEST(RoutePathStream, AnEmptyPathSavesExactly72Bytes) {
    TempRoot root;
    CRoutePath empty;
    CBinFile file;
    ASSERT_EQ(file.Create(u"\\empty.bin"), 0);
    EXPECT_EQ(empty.Save(file), 1);
    EXPECT_EQ(file.GetSize(), 72);
    EXPECT_EQ(empty.IsValid(), 1);
}

TEST(RoutePathStream, CountsThatDoNotFitTheBytesLeftAreRefused) {
    const auto good = HandStream();
    struct Case {
        const char* what;
        std::size_t at; // header word to change, or the new length
        std::int64_t value;
        bool truncate;
    };
    const Case cases[] = {
        {"item count one too many", 7 * 4, 11, false},
        {"negative shape-point count", 11 * 4, -1, false},
        {"facility count past the end", 17 * 4, 6, false},
        {"huge guide count", 15 * 4, 0x7fffffff, false},
        {"stream cut inside the facilities", good.size() - 3, 0, true},
        {"stream cut inside the header", 40, 0, true},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        if (c.truncate)
            bytes.resize(c.at);
        else
            handnet::PutU32(bytes, c.at, static_cast<std::uint32_t>(c.value));
        CRoutePath path;
        EXPECT_EQ(path.ReadBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size())), 0) << c.what;
        EXPECT_EQ(path.IsValid(), 0) << c.what;
        EXPECT_EQ(path.ItemCount(), 0) << c.what;
    }
}

TEST(RoutePathQueries, EveryQueryOnAFreshObjectFailsAndLeavesItsOutValues) {
    CRoutePath path;
    int a = 42, b = 43;
    std::uint16_t w = 44;
    RouteFacility f;
    f.distance = 45;
    EXPECT_EQ(path.FindRouteItem(3, 10, 0, nullptr, a, 0), 0);
    EXPECT_EQ(a, 42);
    EXPECT_EQ(path.GetNextItemIds(0, a, b), 0);
    EXPECT_EQ(path.GetItemIds(0, a, b, w), 0);
    EXPECT_EQ(path.GetDistanceBetween(0, 0, a), 0);
    EXPECT_EQ(path.FindNextGuided(0, a, b), 0);
    EXPECT_EQ(path.FindItemOfKind(1, 0, a), 0);
    EXPECT_EQ(path.CountItemsOfKind(3, 10, 0, 1, a), 0);
    EXPECT_EQ(path.GetFacilityCount(a, 5), 0);
    EXPECT_EQ(path.FindFacilityIndex(0, a, 5), 0);
    EXPECT_EQ(path.GetFacility(0, f, 5), 0);
    EXPECT_EQ(path.IsAheadWithin(0, 3, 10), 0);
    EXPECT_EQ(path.UpdateProgress(3, 10, 0, 0, a), 0);
    EXPECT_EQ(a, 42);
    EXPECT_EQ(b, 43);
    EXPECT_EQ(w, 44);
    EXPECT_EQ(f.distance, 45);
}

TEST(RoutePathQueries, DistanceBetweenItems) {
    CRoutePath path = Loaded();
    struct Case {
        int i, j, ok, metres;
    };
    const Case cases[] = {
        {3, 3, 1, 0},     // the same item
        {2, -1, 1, 3700}, // -1: the remaining distance of the next item
        {2, 10, 1, 3900}, // the item count: the item's own remaining distance
        {1, 4, 1, 1200},  // 4200 - 3000
        {9, -1, 0, -7},   // no next item
        {10, 0, 0, -7},   // i out of range
        {0, 11, 0, -7},   // j out of range
    };
    for (const Case& c : cases) {
        int metres = -7;
        EXPECT_EQ(path.GetDistanceBetween(c.i, c.j, metres), c.ok) << c.i << "," << c.j;
        EXPECT_EQ(metres, c.metres) << c.i << "," << c.j;
    }
}

TEST(RoutePathQueries, FindsItemsAndTheirGuides) {
    CRoutePath path = Loaded();
    int index = 0;
    CRouteLinkKey guides[2];
    ASSERT_EQ(path.FindRouteItem(5, 21, 0, guides, index, 0), 1);
    EXPECT_EQ(index, 5);
    EXPECT_EQ(guides[0].guideCode, 13);
    EXPECT_EQ(guides[1].guideCode, 60); // the guide item after it
    // The last guide item has no follower: zeroes.
    ASSERT_EQ(path.FindRouteItem(5, 25, 0, guides, index, 0), 1);
    EXPECT_EQ(guides[1].linkId, 0);
    EXPECT_EQ(guides[1].guideCode, 0);
    // Wrong direction, wrong map: not found, index -1.
    EXPECT_EQ(path.FindRouteItem(5, 21, 1, nullptr, index, 0), 0);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(path.FindRouteItem(3, 21, 0, nullptr, index, 0), 0);
    // An item without a guide: found, but asking for its guides fails.
    EXPECT_EQ(path.FindRouteItem(3, 10, 0, guides, index, 0), 0);
    EXPECT_EQ(index, 0);
    // Continuing from the current index inside a run skips the items before it.
    index = 7;
    EXPECT_EQ(path.FindRouteItem(5, 21, 0, nullptr, index, 1), 0);

    CRouteLinkKey g;
    int gi = -1;
    ASSERT_EQ(path.FindGuideOfItem(3, g, gi), 1);
    EXPECT_EQ(gi, 1);
    EXPECT_EQ(g.guideCode, 59);
    int map = 0, link = 0;
    std::uint16_t dirKind = 0;
    ASSERT_EQ(path.GetItemIds(1, map, link, dirKind), 1);
    EXPECT_EQ(dirKind, 0x0101); // direction 1, kind 1
    ASSERT_EQ(path.GetNextItemIds(3, map, link), 1);
    EXPECT_EQ(map, 5);
    EXPECT_EQ(link, 20);
    EXPECT_EQ(path.GetNextItemIds(9, map, link), 0);
}

TEST(RoutePathQueries, NextGuidedKindsAndLookAhead) {
    CRoutePath path = Loaded();
    int index = -1, metres = -1;
    ASSERT_EQ(path.FindNextGuided(2, index, metres), 1);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(metres, 3900 - 3000);
    ASSERT_EQ(path.FindNextGuided(9, index, metres), 1); // the last item: its own distance
    EXPECT_EQ(metres, 100);
    ASSERT_EQ(path.FindItemOfKind(2, 4, index), 1);
    EXPECT_EQ(index, 7);
    EXPECT_EQ(path.FindItemOfKind(3, 10, index), 0);
    int count = -1;
    ASSERT_EQ(path.CountItemsOfKind(3, 12, 0, 2, count), 1);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(path.CountItemsOfKind(5, 23, 0, 2, count), 1);
    EXPECT_EQ(count, 1);
    // 1,300 m ahead of item 3 (3700): items up to remaining 2400 count, so 5 (2500) yes, 6 (1700) no.
    EXPECT_EQ(path.IsAheadWithin(3, 5, 21), 1);
    EXPECT_EQ(path.IsAheadWithin(3, 5, 22), 0);
    EXPECT_EQ(path.IsAheadWithin(0, 3, 10), 1); // the item itself
    EXPECT_EQ(path.IsAheadWithin(4, 3, 10), 0); // behind
    // Exactly 1,300 m: item 4 (3000) from item 2 (3900) is 900; item 6 (1700) from 4 is 1300.
    EXPECT_EQ(path.IsAheadWithin(4, 5, 22), 1);
}

TEST(RoutePathQueries, FacilityCountsListsAndDistances) {
    CRoutePath path = Loaded();
    int count = -1;
    const int expected[6] = {0, 1, 1, 1, 1, 3}; // codes 1..5; code 7 counts nowhere
    for (int code = 1; code <= 5; ++code) {
        EXPECT_EQ(path.GetFacilityCount(count, code), 1) << code;
        EXPECT_EQ(count, expected[code]) << code;
    }
    EXPECT_EQ(path.GetFacilityCount(count, 7), 0);
    // Codes 2-4 together, in route order, with distances from the previous entry's item
    // (whatever its code): 101 first (0), 102 at item 5 after item 2 (3900-2500), 104 at item 7
    // after the code-7 entry at item 6 (1700-1000).
    struct Expect {
        int value, distance;
    };
    const Expect list5[3] = {{101, 0}, {102, 1400}, {104, 700}};
    for (int k = 0; k < 3; ++k) {
        RouteFacility f;
        ASSERT_EQ(path.GetFacility(k, f, 5), 1);
        EXPECT_EQ(f.entry.value, list5[k].value);
        EXPECT_EQ(f.distance, list5[k].distance);
    }
    RouteFacility f;
    EXPECT_EQ(path.GetFacility(3, f, 5), 0);
    ASSERT_EQ(path.GetFacility(0, f, 1), 1);
    EXPECT_EQ(f.entry.value, 105);
    EXPECT_EQ(f.distance, 1000 - 600);
    int k = -1;
    ASSERT_EQ(path.FindFacilityIndex(3, k, 5), 1);
    EXPECT_EQ(k, 1);
    EXPECT_EQ(path.FindFacilityIndex(8, k, 5), 0);
}

TEST(RoutePathQueries, ProgressCountsTheWaypointsStillAhead) {
    CRoutePath path = Loaded();
    struct Case {
        int map, link, dir, from, ok, ahead;
    };
    const Case cases[] = {
        {3, 10, 0, 0, 1, 2},  // before both waypoints
        {3, 13, 0, 0, 1, 2},  // on the first waypoint's link: not passed yet
        {5, 20, 1, 0, 1, 1},  // past the first
        {5, 24, 1, 0, 1, 0},  // past both
        {5, 24, 0, 0, 0, -1}, // the other direction is not on the route
        {3, 10, 0, 4, 0, -1}, // searched from item 4 on
    };
    for (const Case& c : cases) {
        int ahead = -1;
        EXPECT_EQ(path.UpdateProgress(c.map, c.link, c.dir, c.from, ahead), c.ok) << c.link;
        EXPECT_EQ(ahead, c.ahead) << c.link;
    }
}
