#include "traffic/pages/tests/RoadTablesFixture.h"

#include <cstring>

namespace {

std::string Utf8(const char* cp949) { return Cp949ToUtf8(cp949); }

} // namespace

class TrafficRoadDBTest : public RoadTablesFixture {};

TEST_F(TrafficRoadDBTest, OpensLevelZeroAndWalksDownAndUp) {
    TrafficRoadDB db;
    EXPECT_EQ(db.GetLevel(), -1);
    EXPECT_EQ(db.GetCount(), -1);
    EXPECT_EQ(db.GetSelected(), -1);
    OpenSample(db);
    EXPECT_EQ(db.GetLevel(), 0);
    ASSERT_EQ(db.GetCount(), 2);
    EXPECT_FALSE(db.IsSectionLevel());
    TrafficSectionInfo info;
    EXPECT_EQ(db.GetSectionInfo(1, &info), 1);
    EXPECT_EQ(Utf8(info.roadName), "국도");

    // 국도 → 한빛시 → 국도1호선 → its six sections at level 3.
    ASSERT_EQ(db.EnterRecord(1), 1);
    EXPECT_EQ(db.GetLevel(), 1);
    ASSERT_EQ(db.GetCount(), 1);
    ASSERT_EQ(db.EnterRecord(0), 1);
    ASSERT_EQ(db.EnterRecord(0), 1);
    EXPECT_EQ(db.GetLevel(), 3);
    EXPECT_EQ(db.GetCount(), 6);
    EXPECT_TRUE(db.IsSectionLevel());
    EXPECT_EQ(db.GetFirstKind(), 0);
    EXPECT_EQ(db.GetSectionX(2), 102);
    EXPECT_EQ(db.GetSectionY(2), 202);
    EXPECT_EQ(db.GetSectionLength(2), 1002u);
    EXPECT_EQ(db.GetGridCode(2), 1201);

    // A section has no children: entering it succeeds and changes nothing.
    db.SetSelected(3);
    EXPECT_EQ(db.EnterRecord(2), 1);
    EXPECT_EQ(db.GetLevel(), 3);
    EXPECT_EQ(db.GetCount(), 6);
    EXPECT_EQ(db.GetSelected(), 3);

    ASSERT_EQ(db.LevelUp(), 1);
    ASSERT_EQ(db.LevelUp(), 1);
    ASSERT_EQ(db.LevelUp(), 1);
    EXPECT_EQ(db.GetLevel(), 0);
    EXPECT_EQ(db.GetSelected(), 1); // the row entered from level 0
    EXPECT_EQ(db.LevelUp(), 1);     // nothing above level 0
    EXPECT_EQ(db.GetLevel(), 0);
    db.Close();
    EXPECT_EQ(db.GetLevel(), -1);
    EXPECT_EQ(db.EnterRecord(0), 0);
}

TEST_F(TrafficRoadDBTest, FourSectionsPairFirstHalfWithMirrors) {
    TrafficRoadDB db;
    OpenSample(db);
    // 가람고속도로: records 0-3, 0 with 3 and 1 with 2. Speeds for records 0, 1 and 3; none for
    // record 2.
    SendSpeeds({{{GaramLink(0), 80}, {GaramLink(1), 45}, {GaramLink(3), 12}, {kUnusedLink, 60}}});
    ASSERT_EQ(db.EnterRecord(0), 1);
    ASSERT_EQ(db.EnterRecord(1), 1);
    ASSERT_EQ(db.GetCount(), 4);

    struct Case {
        int record, result, speed0, speed1, direction;
        const char* start;
        const char* end;
    };
    const Case cases[] = {
        {0, 1, 80, 12, 1, "가온IC", "나래JC"},
        {1, 1, 45, 255, 1, "나래JC", "다솜휴게소"}, // the mirror's link has no speed
        {2, 1, 255, 45, 0, "나래JC", "다솜휴게소"},
        {3, 1, 12, 80, 0, "가온IC", "나래JC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        TrafficSectionInfo info;
        EXPECT_EQ(db.GetSectionInfo(c.record, &info), c.result);
        EXPECT_EQ(info.speed[0], c.speed0);
        EXPECT_EQ(info.speed[1], c.speed1);
        EXPECT_EQ(info.direction, c.direction);
        EXPECT_EQ(info.highway, 1);
        EXPECT_EQ(info.reserved, 0);
        EXPECT_EQ(Utf8(info.startName), c.start);
        EXPECT_EQ(Utf8(info.endName), c.end);
        EXPECT_EQ(info.roadName[0], 0);
        EXPECT_EQ(info.x, 100 + c.record);
        EXPECT_EQ(info.length, 1000u + static_cast<unsigned>(c.record));
    }
}

TEST_F(TrafficRoadDBTest, UnpairedSectionsAndRoadClass) {
    TrafficRoadDB db;
    OpenSample(db);
    SendSpeeds({{{Route1Link(0), 30}, {Route1Link(2), 40}, {Route1Link(3), 50}, {Route1Link(4), 20}}});
    ASSERT_EQ(db.EnterRecord(1), 1);
    ASSERT_EQ(db.EnterRecord(0), 1);
    ASSERT_EQ(db.EnterRecord(0), 1);
    ASSERT_EQ(db.GetCount(), 6);
    struct Case {
        int record, result, speed0, speed1, highway;
    };
    const Case cases[] = {
        {0, 1, 30, 255, 1},  // paired with record 5 (no speed); road class 2 counts as highway
        {1, 0, 255, 20, 0},  // records 1 and 4 both without the bit: only the mirror's speed
        {2, 0, 0, 0, 0},     // bits differ but the keys (3 and 9) do not match
        {4, 0, 255, 255, 0}, // without the bit, and its mirror (record 1) has no speed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        TrafficSectionInfo info;
        EXPECT_EQ(db.GetSectionInfo(c.record, &info), c.result);
        EXPECT_EQ(info.speed[0], c.speed0);
        EXPECT_EQ(info.speed[1], c.speed1);
        EXPECT_EQ(info.highway, c.highway);
    }
}

TEST_F(TrafficRoadDBTest, IndicesOutsideTheLevelAnswerZero) {
    TrafficRoadDB db;
    OpenSample(db);
    ASSERT_EQ(db.EnterRecord(0), 1);
    ASSERT_EQ(db.EnterRecord(0), 1);
    ASSERT_EQ(db.GetCount(), 8);
    for (int i : {-1, 8, 1 << 20}) {
        SCOPED_TRACE(i);
        TrafficSectionInfo info;
        info.startName[0] = 'x';
        info.speed[0] = 90;
        EXPECT_EQ(db.GetSectionInfo(i, &info), 0);
        EXPECT_EQ(info.startName[0], 0);
        EXPECT_EQ(info.speed[0], 0);
        EXPECT_EQ(db.GetSectionX(i), 0);
        EXPECT_EQ(db.GetSectionY(i), 0);
        EXPECT_EQ(db.GetSectionLength(i), 0u);
        EXPECT_EQ(db.GetGridCode(i), 0);
        EXPECT_EQ(db.EnterRecord(i), 0);
        EXPECT_EQ(db.GetLevel(), 2);
    }
}

TEST_F(TrafficRoadDBTest, DrivingRoadOfAnExpresswayAndItsMirror) {
    TrafficRoadDB db;
    OpenSample(db);
    // The last section of the first half of 누리고속도로 (record 3) and its mirror (record 4);
    // the second index is the missing one of a one-way carriageway.
    for (int record : {3, 4}) {
        SCOPED_TRACE(record);
        const sSAVETRAFFIC* found = db.FindDrivingRoad(NuriIndex(record), 0xFFFF);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(db.GetDrivingRow(), 7);
        EXPECT_EQ(std::u16string(db.GetDrivingRoadName()), u"누리고속도로");
        // Level 2: the level-0 table from the header, the roads, the sections.
        EXPECT_EQ(found->level, 2u);
        EXPECT_EQ(found->offset[0], 88u);
        EXPECT_EQ(found->count[0], 2u);
        EXPECT_EQ(found->offset[1], kRoads);
        EXPECT_EQ(found->count[1], 2u);
        EXPECT_EQ(found->offset[2], kNuri);
        EXPECT_EQ(found->count[2], 8u);
        EXPECT_EQ(found->selected[0], 0u);
        EXPECT_EQ(found->selected[1], 0u);
        EXPECT_EQ(found->selected[2], 7u);
        EXPECT_EQ(found->count[3], 0u);
    }
    // The first index unknown to the link table: the second one is searched.
    const sSAVETRAFFIC* found = db.FindDrivingRoad(0xFFFF, NuriIndex(0));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(db.GetDrivingRow(), 1);

    const sSAVETRAFFIC kept = *found;
    ASSERT_EQ(db.RestoreState(&kept), 1);
    EXPECT_EQ(db.GetLevel(), 2);
    EXPECT_EQ(db.GetCount(), 8);
    EXPECT_EQ(db.GetSelected(), 1);
    ASSERT_EQ(db.LevelUp(), 1);
    ASSERT_EQ(db.GetCount(), 2);
    TrafficSectionInfo info;
    EXPECT_EQ(db.GetSectionInfo(0, &info), 1);
    EXPECT_EQ(Utf8(info.roadName), "누리고속도로");
    ASSERT_EQ(db.LevelUp(), 1);
    EXPECT_EQ(db.GetCount(), 2);
    EXPECT_EQ(db.GetLevel(), 0);
}

TEST_F(TrafficRoadDBTest, DrivingRoadUnderATownAndMisses) {
    TrafficRoadDB db;
    OpenSample(db);
    const sSAVETRAFFIC* found = db.FindDrivingRoad(Route1Index(4), Route1Index(1));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(std::u16string(db.GetDrivingRoadName()), u"국도1호선");
    EXPECT_EQ(db.GetDrivingRow(), 3); // record 4 mirrors record 1: the second pair
    EXPECT_EQ(found->level, 3u);
    const std::uint32_t offsets[] = {88, kTowns, kRoads + 72, kRoute1};
    const std::uint32_t counts[] = {2, 1, 1, 6};
    const std::uint32_t rows[] = {1, 0, 0, 3};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(found->offset[k], offsets[k]);
        EXPECT_EQ(found->count[k], counts[k]);
        EXPECT_EQ(found->selected[k], rows[k]);
    }

    EXPECT_EQ(db.FindDrivingRoad(18, 0xFFFF), nullptr); // a link no section has
    EXPECT_EQ(db.FindDrivingRoad(0xFFFF, 0xFFFF), nullptr);
    EXPECT_EQ(db.FindDrivingRoad(500, 600), nullptr);
}

TEST_F(TrafficRoadDBTest, MatchedSectionOutsideItsRoadGivesNull) {
    LoadLinks();
    std::string bytes = BuildTables();
    // Section 0 of 누리고속도로 claims 가람고속도로 as its road.
    Put32(bytes, 88 + kNuri + 32, kRoads + 36);
    WriteTables(bytes);
    TrafficRoadDB db;
    ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
    EXPECT_EQ(db.FindDrivingRoad(NuriIndex(0), 0xFFFF), nullptr);
    EXPECT_NE(db.FindDrivingRoad(NuriIndex(1), 0xFFFF), nullptr);
}

TEST_F(TrafficRoadDBTest, CorruptTablesFailWithoutHarm) {
    LoadLinks();
    std::string bytes = BuildTables();
    Put16(bytes, 88 + 4, -1);                    // 고속도로: child count -1
    Put32(bytes, 88 + 36, 1u << 30);             // 국도: children far past the end
    Put16(bytes, 88 + kRoads + 8, -3);           // 누리고속도로: negative road-name index
    Put16(bytes, 88 + kRoads + 36 + 8, 30000);   // 가람고속도로: road-name index past the end
    WriteTables(bytes);
    TrafficRoadDB db;
    ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
    EXPECT_EQ(db.EnterRecord(0), 0);
    EXPECT_EQ(db.EnterRecord(1), 0);
    EXPECT_EQ(db.GetLevel(), 0);
    EXPECT_EQ(db.GetCount(), 2);

    sSAVETRAFFIC state;
    state.level = 1;
    state.offset[0] = 88;
    state.count[0] = 2;
    state.offset[1] = kRoads;
    state.count[1] = 2;
    state.selected[1] = 7; // outside the level: row 0
    ASSERT_EQ(db.RestoreState(&state), 1);
    EXPECT_EQ(db.GetSelected(), 0);
    TrafficSectionInfo info;
    EXPECT_EQ(db.GetSectionInfo(0, &info), 1);
    EXPECT_EQ(info.roadName[0], 0);
    EXPECT_EQ(db.GetSectionInfo(1, &info), 1);
    EXPECT_EQ(info.roadName[0], 0);

    struct Bad {
        const char* what;
        std::uint32_t level, offset, count;
    };
    const Bad bad[] = {
        {"level 5", 5, kRoads, 2},
        {"level -1", 0xFFFFFFFFu, kRoads, 2},
        {"offset past the file", 1, 1u << 20, 2},
        {"run past the file", 1, kRoads, 5000},
        {"count -1", 1, kRoads, 0xFFFFFFFFu},
        {"no run", 1, 0, 2},
        {"empty run", 1, kRoads, 0},
        {"level 0 in the header", 0, 4, 2},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        sSAVETRAFFIC s = state;
        s.level = b.level;
        if (b.level < 4) {
            s.offset[b.level] = b.offset;
            s.count[b.level] = b.count;
        }
        EXPECT_EQ(db.RestoreState(&s), 0);
        EXPECT_EQ(db.GetLevel(), 1);
        EXPECT_EQ(db.GetCount(), 2);
    }
    // A stored state whose upper level is broken restores; going up then fails and stays.
    sSAVETRAFFIC upper = state;
    upper.count[0] = 0xFFFF;
    ASSERT_EQ(db.RestoreState(&upper), 1);
    EXPECT_EQ(db.LevelUp(), 0);
    EXPECT_EQ(db.GetLevel(), 1);
    EXPECT_EQ(db.GetCount(), 2);
}

TEST_F(TrafficRoadDBTest, NeverDescendsBelowLevelThree) {
    // A record whose children are itself: entered three times, the fourth fails.
    std::string file(88, '\0');
    Put32(file, 40, 88);
    Put32(file, 44, 1);
    file += RecordBytes({36, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    file += RecordBytes({36, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 36});
    WriteTables(file);
    TrafficRoadDB db;
    ASSERT_EQ(db.Open(u"\\MapData\\Darc\\DLevel1.db"), 1);
    for (int level = 1; level <= 3; ++level) {
        ASSERT_EQ(db.EnterRecord(0), 1);
        EXPECT_EQ(db.GetLevel(), level);
    }
    EXPECT_EQ(db.EnterRecord(0), 0);
    EXPECT_EQ(db.GetLevel(), 3);
    EXPECT_EQ(db.GetCount(), 1);
    const sSAVETRAFFIC saved = *db.SaveState();
    EXPECT_EQ(saved.level, 3u);
    EXPECT_EQ(saved.offset[3], 36u);
}

TEST_F(TrafficRoadDBTest, OpenRefusesMissingShortAndEmptyFiles) {
    TrafficRoadDB db;
    EXPECT_EQ(db.Open(u"\\MapData\\Darc\\DLevel1.db"), 0);
    const std::string good = BuildTables();
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string noCount = good;
    Put32(noCount, 44, 0);
    std::string noOffset = good;
    Put32(noOffset, 40, 0);
    std::string huge = good;
    Put32(huge, 44, 0x7FFFFFFF);
    std::string inHeader = good;
    Put32(inHeader, 40, 8);
    const Case cases[] = {
        {"empty", ""},
        {"short header", good.substr(0, 87)},
        {"level 0 cut", good.substr(0, 88 + 40)},
        {"count 0", noCount},
        {"offset 0", noOffset},
        {"count past the file", huge},
        {"table in the header", inHeader},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteTables(c.bytes);
        EXPECT_EQ(db.Open(u"\\MapData\\Darc\\DLevel1.db"), 0);
        EXPECT_FALSE(db.IsOpen());
        EXPECT_EQ(db.GetCount(), -1);
    }
}

TEST_F(TrafficRoadDBTest, ReanchorsRoadsOfInterestToMovedTables) {
    LoadLinks();
    WriteTables(BuildTables());
    TrafficRoadDB db;
    ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
    // Slots kept while the file was the old one: 누리고속도로 (sections at level 2) and
    // 국도1호선 (level 3), plus a road the file no longer has.
    InterestRoadSlot slots[3];
    ASSERT_NE(db.FindDrivingRoad(NuriIndex(0), 0xFFFF), nullptr);
    slots[0].number = 1;
    std::strcpy(slots[0].name, Utf8ToCp949("누리고속도로").c_str());
    slots[0].state = *db.FindDrivingRoad(NuriIndex(2), 0xFFFF);
    slots[1].number = 2;
    std::strcpy(slots[1].name, Utf8ToCp949("국도1호선").c_str());
    slots[1].state = *db.FindDrivingRoad(Route1Index(0), 0xFFFF);
    slots[2].number = 3;
    std::strcpy(slots[2].name, Utf8ToCp949("없는도로").c_str());
    slots[2].state = slots[1].state;

    // An unchanged file keeps the slots as they are, the selected section row included.
    const sSAVETRAFFIC before = slots[0].state;
    EXPECT_EQ(db.ReanchorInterestRoads(3, slots), 1);
    EXPECT_EQ(std::memcmp(&slots[0].state, &before, sizeof before), 0);

    // The file replaced by one whose tables all moved by 360 bytes.
    const std::uint32_t shift = 360;
    WriteTables(BuildTables(shift));
    ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
    EXPECT_EQ(db.ReanchorInterestRoads(3, slots), 1);
    EXPECT_EQ(slots[0].state.level, 2u); // an expressway's sections stay at level 2
    EXPECT_EQ(slots[0].state.offset[0], 88u + shift);
    EXPECT_EQ(slots[0].state.offset[1], kRoads + shift);
    EXPECT_EQ(slots[0].state.offset[2], kNuri + shift);
    EXPECT_EQ(slots[0].state.count[2], 8u);
    EXPECT_EQ(slots[1].state.level, 3u);
    EXPECT_EQ(slots[1].state.offset[3], kRoute1 + shift);
    EXPECT_EQ(slots[1].state.count[3], 6u);
    EXPECT_EQ(slots[1].state.offset[2], kRoads + 72 + shift);
    EXPECT_EQ(slots[2].state.offset[3], kRoute1); // not found: untouched

    for (int s = 0; s < 2; ++s) {
        SCOPED_TRACE(s);
        ASSERT_EQ(db.RestoreState(&slots[s].state), 1);
        ASSERT_TRUE(db.IsSectionLevel());
        TrafficSectionInfo info;
        EXPECT_EQ(db.GetSectionInfo(0, &info), 1);
        EXPECT_EQ(Utf8(info.startName), "가온IC");
    }
    db.Close();
    EXPECT_EQ(db.ReanchorInterestRoads(3, slots), 0);
}

TEST_F(TrafficRoadDBTest, ReanchorComparesNamesCutAsTheSlotKeepsThem) {
    LoadLinks();
    // A road name of 56 bytes: 28 Korean characters; the slot keeps the first 24 (48 bytes).
    const std::string longName = "가나다라마바사아자차카타파하가나다라마바사아자차카타파하";
    WriteTables(BuildTables(0, longName.c_str()));
    TrafficRoadDB db;
    ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
    InterestRoadSlot slot;
    slot.number = 1;
    const std::string cut = Utf8ToCp949(longName).substr(0, 48);
    std::memcpy(slot.name, cut.data(), cut.size());
    slot.state.level = 3; // kept at a wrong level
    EXPECT_EQ(db.ReanchorInterestRoads(1, &slot), 1);
    EXPECT_EQ(slot.state.level, 2u);
    EXPECT_EQ(slot.state.offset[2], kNuri);
    EXPECT_EQ(slot.state.count[2], 8u);
}
