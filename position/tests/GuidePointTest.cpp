// Guide points: the file's cells, the search ahead of the car and the announcements, checked on
// the images the voice thread plays. The car has no road link here (status 2), so the road test
// passes and only distance, box and headings decide.
#include "position/GuideManager.h"
#include "position/GuidePoint.h"
#include "position/SoundIndex.h"
#include "position/tests/GuideFixture.h"
#include "position/tests/VoiceFixture.h"

#include <cmath>

using namespace guidetest;
using Clips = std::vector<std::vector<int>>;

namespace {

// Point-file (171,000, 531,000): the south-west part of cell (17, 53).
constexpr std::int32_t kCarX = 45769500;
constexpr std::int32_t kCarY = 13503000;

std::int32_t East(double metres) {
    return static_cast<std::int32_t>(std::lround(metres / 0.27654));
}

int Metres(std::int32_t dx, std::int32_t dy) {
    return static_cast<int>(std::sqrt(std::pow(0.30879 * dy, 2) + std::pow(0.27654 * dx, 2)));
}

MatchResult Car(std::int32_t x, int heading, int kmh, std::uint8_t roadClass = kOrdinaryRoad) {
    MatchResult m;
    m.status = 2;
    m.mapId = -1;
    m.linkIndex = -1;
    m.x = x;
    m.y = kCarY;
    m.heading = static_cast<std::int16_t>(heading);
    m.speedKmh = kmh;
    m.speedMps = static_cast<std::int16_t>(kmh * 10 / 36);
    m.link[10] = roadClass;
    return m;
}

class GuidePointTest : public SoundFixture {
protected:
    ~GuidePointTest() override { CSoundIndex::Destroy(); }
    void Load(const std::vector<mkdev::GuidePointEntry>& points) {
        VoiceData().Write(MapData());
        mkdev::WriteMapFile(MapData(), "Wave/RestareaDB.db", mkdev::RestAreaTable({}));
        mkdev::WriteMapFile(MapData(), "Wave/HighwayDB.db", mkdev::HighwayTable({}));
        mkdev::WriteMapFile(MapData(), "POINT/newGuidePoint.MDC", mkdev::GuidePointFile(points));
        ASSERT_EQ(manager.LoadData(kFolder, 1), CGuideManager::kLoaded);
        manager.Reset();
    }
    // The car `metres` before the first loaded point along x, heading east.
    MatchResult Before(double metres, int kmh = 60, std::uint8_t roadClass = kOrdinaryRoad) {
        return Car(manager.GuidePoints().Points().at(0).x - East(metres), 90, kmh, roadClass);
    }
    const GuidePointNotice& Step(const MatchResult& car) {
        manager.Guide(cont, car, nullptr, nullptr, nullptr, 0, 0, 0, 0);
        manager.ProcessVoice();
        return manager.GuidePointAnnouncement();
    }
    CGuideManager manager;
    int cont = 1;
};

mkdev::GuidePointEntry Camera(double eastMetres, int heading, int limit, int flag = 0) {
    mkdev::GuidePointEntry p;
    p.x = kCarX + East(eastMetres);
    p.y = kCarY;
    p.heading = heading;
    p.speedLimit = limit;
    p.type = 1;
    p.directionFlag = flag;
    p.value = 7;
    return p;
}

TEST_F(GuidePointTest, ACameraAheadIsAnnouncedInBandsWithItsLimitOnce) {
    Load({Camera(2000, 90, 80)});
    const CGuidePoint::Point& p = manager.GuidePoints().Points().at(0);
    EXPECT_EQ(p.directionMode, 1);
    EXPECT_EQ(p.heading, 90);
    EXPECT_EQ(p.value, 7);
    EXPECT_NEAR(p.x, kCarX + East(2000), 5); // the file keeps x in 4.5-unit steps
    EXPECT_EQ(Step(Before(800)).index, -1);    // beyond 780 m
    const GuidePointNotice& n = Step(Before(700));
    EXPECT_EQ(n.index, 0);
    EXPECT_EQ(n.distance, Metres(East(700), 0));
    EXPECT_EQ(n.level, 1);
    Step(Before(690));
    Step(Before(400));
    Step(Before(150));
    EXPECT_EQ(Played(), (Clips{{18, 37, 82, 146, 155, 134}, {16, 37, 82}, {34, 82}}));
    CGuideInfo info;
    manager.GetTurnInfo(info);
    EXPECT_EQ(info.pointMode, 2);
    EXPECT_EQ(info.pointLimit, 80);
    EXPECT_EQ(info.pointValue, 7);
}

TEST_F(GuidePointTest, AnExpresswayLooksFurtherAhead) {
    Load({Camera(2000, 90, 100)});
    const GuidePointNotice& n = Step(Before(1100, 90, kExpressway));
    EXPECT_EQ(n.index, 0);
    EXPECT_EQ(n.distanceClip, 23);
    EXPECT_EQ(Played(), (Clips{{23, 37, 82, 146, 157, 134}}));
}

TEST_F(GuidePointTest, PointsBehindOrFacingAwayAreNotFound) {
    Load({Camera(2000, 90, 80), Camera(2600, 270, 80), Camera(2800, 130, 80), Camera(3000, 131, 80)});
    // 300 m past the first point: it lies behind; the second faces the other way; the third
    // differs from the heading by 40 degrees and is found; the fourth by 41 is also within 50.
    const std::int32_t x = manager.GuidePoints().Points().at(0).x + East(300);
    EXPECT_EQ(Step(Car(x, 90, 60)).index, 2);
    // Heading 40: every point is more than 50 degrees off the bearing 90.
    EXPECT_EQ(Step(Car(x, 40, 60)).index, -1);
}

TEST_F(GuidePointTest, MinimumSpeedSilencesPointsTheCarIsNotSpeedingFor) {
    Load({Camera(2000, 90, 30), Camera(5000, 90, 50)});
    const int limits[5] = {0, 0, 0, 0, 0};
    manager.SetSpeedLimits(4, 1, limits, 5); // warnings from (4 + 2) x 10 = 60 km/h
    EXPECT_EQ(Step(Before(700, 40)).distanceClip, 18);
    const std::int32_t x = manager.GuidePoints().Points().at(1).x - East(700);
    EXPECT_EQ(Step(Car(x, 90, 40)).distanceClip, 0);
    EXPECT_EQ(Played(), (Clips{{18, 37, 82, 146, 150, 134}}));
}

TEST_F(GuidePointTest, DeletedUserPointsDisableNearbyPointsOfTheSameHeading) {
    Load({Camera(2000, 90, 80)});
    const CGuidePoint::Point p = manager.GuidePoints().Points().at(0);
    SafePointEntry near;
    near.x = p.x + 11;
    near.y = p.y - 11;
    near.heading = 104;
    manager.SetDisabledGuidePoints({near});
    EXPECT_EQ(Step(Before(700)).index, -1);
    near.heading = 105; // 15 degrees off: not the same point
    manager.SetDisabledGuidePoints({near});
    EXPECT_EQ(Step(Before(690)).index, 0);
    near.heading = 90;
    near.x = p.x + 12; // 12 units away: not the same point
    manager.SetDisabledGuidePoints({near});
    EXPECT_EQ(Step(Before(680)).index, 0);
}

TEST_F(GuidePointTest, ACarOutsideTheGridSearchesNoCells) {
    // A point at the grid's west edge (point-file x about 100, cell column 0, row 4). A car 249 m
    // west of it lies west of the grid: its point-file x is negative, which truncates to column 0
    // as well, but it searches no cells.
    mkdev::GuidePointEntry p = Camera(0, 90, 80);
    p.x = 45000450;
    p.y = 11910000 + 45000 * 3;
    Load({p});
    const CGuidePoint::Point& loaded = manager.GuidePoints().Points().at(0);
    MatchResult car = Car(loaded.x + 10, 90, 60);
    car.y = loaded.y - 3;
    car.x = loaded.x - 900;
    ASSERT_LT(car.x, 45000000);
    EXPECT_EQ(Step(car).index, -1);
    car.x = loaded.x - 400; // inside the grid: found
    EXPECT_EQ(Step(car).index, 0);
}

TEST_F(GuidePointTest, SpeedingPastAnAnnouncedCameraSoundsTheBeep) {
    Load({Camera(2000, 90, 80)});
    Step(Before(700, 100));
    EXPECT_EQ(Played(), (Clips{{18, 37, 82, 146, 155, 134}}));
    Step(Before(650, 100)); // within range, no prompt due, 100 km/h over the limit of 80
    EXPECT_EQ(Played(), Clips{{-1}});
    Step(Before(600, 70));
    EXPECT_TRUE(Played().empty());
}

TEST(GuidePointFile, CorruptCellsAreEmptyAndWrongSizesUnload) {
    TempRoot root;
    auto point = [](std::uint8_t limit) {
        std::string r(32, '\0');
        r[2] = static_cast<char>(limit);
        return r;
    };
    constexpr std::uint32_t kTableEnd = 50 + 3168 * 4;
    auto file = [&](const std::vector<std::pair<int, std::uint32_t>>& offsets, const std::string& records,
                    long sizeWord = -1) {
        std::string b(kTableEnd, '\0');
        for (const auto& [cell, offset] : offsets)
            for (int i = 0; i < 4; ++i) b[50 + cell * 4 + i] = static_cast<char>(offset >> (8 * i));
        b += records;
        const std::uint32_t size = sizeWord < 0 ? static_cast<std::uint32_t>(b.size()) : static_cast<std::uint32_t>(sizeWord);
        for (int i = 0; i < 4; ++i) b[6 + i] = static_cast<char>(size >> (8 * i));
        return b;
    };
    struct Case {
        const char* what;
        std::string bytes;
        bool loaded;
        std::vector<std::uint32_t> counts; // of cells 0, 1, 2
    } cases[] = {
        {"two cells", file({{0, kTableEnd}, {2, kTableEnd + 64}}, point(1) + point(2) + point(3)), true, {2, 0, 1}},
        {"a partial record is dropped", file({{0, kTableEnd}}, point(1) + "abc"), true, {1, 0, 0}},
        {"an offset inside the table", file({{0, 100}, {1, kTableEnd}}, point(1)), true, {0, 1, 0}},
        {"an offset past the file", file({{0, kTableEnd}, {1, 1u << 30}}, point(1)), true, {0, 0, 0}},
        {"the next offset below its own", file({{0, kTableEnd + 32}, {1, kTableEnd}}, point(1) + point(2)), true, {0, 2, 0}},
        {"a wrong size word", file({{0, kTableEnd}}, point(1), 5), false, {}},
        {"shorter than the table", std::string(100, '\0'), false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        root.MakeFile("MapData/POINT/newGuidePoint.MDC", c.bytes);
        CGuidePoint g;
        EXPECT_EQ(g.Load(u"\\MapData"), c.loaded);
        if (!c.loaded) continue;
        for (std::size_t i = 0; i < c.counts.size(); ++i) EXPECT_EQ(g.Cells()[i].count, c.counts[i]) << i;
    }
}

TEST(GuidePointFile, TheWritersRecordIsTheHandWrittenOne) {
    mkdev::GuidePointEntry e;
    // Point-file (171,006, 531,007): cell 17 x 66 + 53, offsets 1,006 and 1,007; the map x offset
    // ceil(1,006 x 1.2) = 1,208 (0x4B8), which reads back as int(1,208 / 1.2) = 1,006.
    e.x = 45000000 + 171006 * 9 / 2;
    e.y = 11910000 + 531007 * 3;
    e.directionFlag = 1;
    e.type = 4;
    e.speedLimit = 60;
    e.heading = 10; // kept as 190
    e.value = 0x0102;
    const std::vector<std::uint8_t> f = mkdev::GuidePointFile({e});
    const std::size_t cell = 17 * 66 + 53, at = 50 + 3168 * 4;
    ASSERT_EQ(f.size(), at + 32);
    EXPECT_EQ(f[50 + cell * 4] | (f[51 + cell * 4] << 8), static_cast<int>(at & 0xFFFF));
    const std::vector<std::uint8_t> record(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(at) + 11);
    EXPECT_EQ(record, (std::vector<std::uint8_t>{1, 4, 60, 190, 0, 0xB8, 0x04, 0xEF, 0x03, 2, 1}));
}

} // namespace
