// The guidance manager: the distance table walk, the prompt chosen at each distance, arrival and
// off-route messages, facility names in exit and junction prompts, and the display record; the
// prompts are checked on the images the voice thread plays.
#include "position/GuideManager.h"
#include "position/SoundIndex.h"
#include "position/tests/GuideFixture.h"
#include "position/tests/VoiceFixture.h"

using namespace guidetest;
using Clips = std::vector<std::vector<int>>;

namespace {

TEST(GuideTableWalk, ClipsByStageAndDistance) {
    struct Case {
        int stage, d;
        bool goal, expressway;
        int clip;
    } cases[] = {
        // Stage 0: a new manoeuvre.
        {0, 0, false, false, 2},     {0, 150, false, false, 34}, {0, 151, false, false, 13},
        {0, 201, false, false, 14},  {0, 251, false, false, 15}, {0, 300, false, false, 15},
        {0, 301, false, false, 16},  {0, 380, false, false, 16}, {0, 381, false, false, 17},
        {0, 480, false, false, 17},  {0, 481, false, false, 18}, {0, 1000, false, false, 23},
        {0, 1080, false, false, 23}, {0, 1081, false, false, 24}, {0, 2000, false, false, 33},
        {0, 2050, false, false, 33}, {0, 2051, false, false, 2},  {0, 2100, false, false, 2},
        {0, 70, true, false, 34},    {0, 71, true, false, 12},   {0, 150, true, false, 12},
        {0, 280, false, true, 34},   {0, 281, false, true, 16},
        // Stage 1: the manoeuvre was announced.
        {1, 450, false, false, 0},   {1, 400, false, false, 16}, {1, 281, false, false, 16},
        {1, 280, false, false, 0},   {1, 150, false, false, 34}, {1, 100, false, false, 34},
        {1, 70, false, false, 0},    {1, 70, true, false, 34},   {1, 200, true, false, 0},
        {1, 300, false, true, 0},    {1, 71, false, true, 34},   {1, 600, false, false, 18},
        {1, 601, false, false, 0},   {1, 1100, false, false, 23}, {1, 2000, false, false, 33},
        // Stage 2: guide points.
        {2, 700, false, false, 18},  {2, 400, false, false, 16}, {2, 150, false, false, 34},
        {2, 800, false, false, 20},  {2, 1100, false, true, 23}, {2, 950, false, true, 20},
        {2, 0, false, true, 20},
        // Stage 3: facilities.
        {3, 949, false, true, 22},   {3, 950, false, true, 23},  {3, 1099, false, true, 23},
        {3, 1100, false, true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CGuideManager::TableWalk(c.stage, c.d, c.goal, c.expressway), c.clip)
            << "stage " << c.stage << " at " << c.d << (c.goal ? " goal" : "") << (c.expressway ? " expressway" : "");
}

class GuideManagerTest : public SoundFixture {
protected:
    GuideManagerTest() {
        VoiceData voice;
        voice.Name(1, u"가람").Name(2, u"한울고속도로").Name(3, u"바람").Name(4, u"누리");
        voice.Write(MapData());
        mkdev::WriteMapFile(MapData(), "Wave/RestareaDB.db",
                            mkdev::RestAreaTable({{1, 2, 1, 0, 0, 0, Utf16ToCp949(u"누리휴게소(상)")},
                                                  {3, 0, 0, 0, 2, 0, Utf16ToCp949(u"가람IC")},
                                                  {4, 0, 0, 0, 1, 0, Utf16ToCp949(u"누리JC")}}));
        mkdev::WriteMapFile(MapData(), "Wave/HighwayDB.db",
                            mkdev::HighwayTable({{1, Utf16ToCp949(u"한울고속도로;바람")}}));
        // No guide-point file: code 2, everything else loaded.
        EXPECT_EQ(manager.LoadData(kFolder, 1), CGuideManager::kGuidePointsFailed);
        manager.Reset();
    }
    ~GuideManagerTest() override { CSoundIndex::Destroy(); }

    // One step at the car's place and one voice-thread pass.
    void Step(const MatchResult& car, CRoutePath* path, std::int32_t destX = 0, std::int32_t destY = 0) {
        manager.Guide(cont, car, path, nullptr, nullptr, 0, 0, destX, destY);
        manager.ProcessVoice();
    }

    CGuideManager manager;
    int cont = 1;
};

// Three 3 km links: turn left at the end of the second, right at the end of the third, then the goal.
CRoutePath TwoTurns() {
    return MakeRoute({{3000, 0, 0}, {3000, 1, 12}, {3000, 1, 13}, {500, 3, 60}});
}

TEST_F(GuideManagerTest, ANewManoeuvreIsAnnouncedByItsDistanceBand) {
    CRoutePath path = TwoTurns();
    struct Case {
        int d;
        PromptRequest request;
    } cases[] = {
        {1000, {23, 12, 0, 2, 13}}, // the right turn is 3 km further: no connector, its clip 2 kept
        {480, {17, 12, 0, 2, 13}},
        {481, {18, 12, 0, 2, 13}},
        {2100, {2, 15, 0, 0, 0}}, // beyond 2,050 m: follow the road
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.d);
        manager.Reset();
        manager.Guide(cont, CarOn(path, 1, 3000, c.d), &path, nullptr, nullptr, 0, 0, 0, 0);
        EXPECT_EQ(manager.DistanceToNext(), c.d);
        EXPECT_EQ(manager.NextGuide(), 1);
        EXPECT_TRUE(manager.PromptRequested());
        EXPECT_EQ(manager.Request(), c.request);
    }
}

TEST_F(GuideManagerTest, AnAnnouncedManoeuvreIsRepeatedOnlyInItsBands) {
    CRoutePath path = TwoTurns();
    Step(CarOn(path, 1, 3000, 1000), &path);
    Step(CarOn(path, 1, 3000, 990), &path); // the same band: not again
    Step(CarOn(path, 1, 3000, 450), &path);
    EXPECT_FALSE(manager.PromptRequested());
    EXPECT_EQ(manager.Request(), (PromptRequest{0, 12, 0, 0, 0}));
    Step(CarOn(path, 1, 3000, 400), &path);
    Step(CarOn(path, 1, 3000, 390), &path);
    EXPECT_FALSE(manager.PromptRequested()); // an identical request for the same guide item
    Step(CarOn(path, 1, 3000, 100), &path);
    EXPECT_EQ(Played(), (Clips{{23, 37, 74}, {16, 37, 74}, {34, 74}}));
    // On the next link the right turn is new, with the goal 500 m behind it: its clip 18 is kept
    // in the request, but without a connector it is not said.
    Step(CarOn(path, 2, 3000, 300), &path);
    EXPECT_EQ(manager.NextGuide(), 2);
    EXPECT_EQ(manager.Request(), (PromptRequest{15, 13, 0, 18, 60}));
    EXPECT_EQ(Played(), (Clips{{15, 37, 75}}));
}

TEST_F(GuideManagerTest, TheGoalIsSaidAheadAndGuidanceEnds) {
    CRoutePath path = TwoTurns();
    Step(CarOn(path, 3, 500, 300), &path);
    EXPECT_EQ(manager.Request(), (PromptRequest{15, 60, 0, 0, 0}));
    Step(CarOn(path, 3, 500, 60), &path);
    EXPECT_EQ(manager.Request(), (PromptRequest{0, 61, 0, 0, 0}));
    EXPECT_EQ(Played(), (Clips{{15, 36, 84, 85}, {84, 87, 86}}));
    EXPECT_EQ(cont, 1);
    Step(CarOn(path, 3, 500, 40), &path);
    EXPECT_EQ(cont, 0);
    EXPECT_TRUE(Played().empty());
}

TEST_F(GuideManagerTest, OffTheRouteArrivalAndTheOffRouteMessage) {
    CRoutePath path = TwoTurns();
    Step(CarOn(path, 2, 3000, 2500), &path); // on the route: arrival armed
    Played();
    MatchResult off = CarOn(path, 50, 3000, 100); // link 150 is not on the route
    // The destination 80 m east: arrival.
    Step(off, &path, off.x + 290, off.y);
    EXPECT_EQ(manager.CarItem(), -1);
    EXPECT_EQ(manager.Request(), (PromptRequest{0, 62, 0, 0, 0}));
    EXPECT_EQ(Played(), (Clips{{84, 85, 86}}));

    // Far from the destination: 10 m/s off the route adds up to message 24 at the fourth fix, once.
    manager.Reset();
    off.speedMps = 10;
    for (int i = 0; i < 8; ++i) Step(off, &path, off.x + 20000, off.y);
    EXPECT_EQ(Played(), Clips{{kMsgBase + 24}});
    manager.Reset();
    for (int i = 0; i < 4; ++i) Step(off, &path, off.x + 20000, off.y);
    EXPECT_EQ(Played(), Clips{{kMsgBase + 24}});
}

TEST_F(GuideManagerTest, ExitAndJunctionPromptsSayTheirNames) {
    // Exit right (3) at the end of item 1, where interchange 3 ("가람IC") is; the junction's keep
    // left (7) at the end of item 3, whose direction record 1 sits on item 4.
    CRoutePath path = MakeRoute({{3000, 0, 0}, {3000, 1, 3}, {3000, 0, 0}, {3000, 1, 7}, {3000, 0, 0}, {500, 3, 60}},
                                {{4, 3, 1}, {1, 1, 4}, {2, 1, 2}});
    Step(CarOn(path, 1, 3000, 1000, kExpressway), &path);
    EXPECT_EQ(manager.Request(), (PromptRequest{23, 66, 0, 2, 7})); // the junction 6 km on
    CGuideInfo info;
    manager.GetTurnInfo(info);
    EXPECT_EQ(info.code, 3);
    EXPECT_EQ(info.distance, 1000);
    Step(CarOn(path, 3, 3000, 1000, kExpressway), &path);
    EXPECT_EQ(manager.Request(), (PromptRequest{23, 64, 0, 2, 60}));
    manager.GetTurnInfo(info);
    EXPECT_EQ(info.code, 7);
    EXPECT_EQ(info.directionText, u"한울고속 : 바람 방면");
    EXPECT_TRUE(info.highway);
    EXPECT_EQ(Played(), (Clips{{23, 36, kAddBase + 1, 187, 54, 185, 68, 70},
                               {23, 37, 57, 185, kAddBase + 2, kAddBase + 3, 184}}));
    // Off the expressway classes the same exit is said without its name.
    manager.Reset();
    Step(CarOn(path, 1, 3000, 1000, kOrdinaryRoad), &path);
    EXPECT_EQ(manager.Request(), (PromptRequest{23, 3, 0, 2, 7}));
}

TEST_F(GuideManagerTest, ARestAreaAheadIsAnnouncedOnceWithItsServices) {
    // Rest area 1 (brand 2, LPG) at the end of item 1.
    CRoutePath path = MakeRoute({{3000, 0, 0}, {3000, 0, 0}, {3000, 0, 0}, {500, 3, 60}}, {{2, 1, 1}});
    CGuideInfo info;
    for (int before : {2000, 1500, 1000, 900, 500}) {
        const MatchResult car = CarOn(path, 1, 3000, before, kExpressway);
        manager.Guide(cont, car, &path, nullptr, nullptr, 0, 0, 0, 0);
        manager.GetHighwayInfo(info, car, &path, 0, 5);
        manager.ProcessVoice();
        EXPECT_EQ(info.next.distance, before);
    }
    EXPECT_EQ(info.facilityCount, 1);
    EXPECT_EQ(info.rows, 1);
    EXPECT_EQ(info.row[0].name, u"누리휴게소(상)");
    EXPECT_EQ(info.row[0].distanceText, u"0.5");
    // The goal is 5.5 km away at the first fix: follow the road; then the rest area, once.
    EXPECT_EQ(Played(), (Clips{{2, 55}, {23, 36, kAddBase + 4, 198, 191, 194, 119}}));
    // A page beyond the list fills no rows.
    const MatchResult car = CarOn(path, 1, 3000, 400, kExpressway);
    manager.GetHighwayInfo(info, car, &path, 1, 5);
    EXPECT_EQ(info.rows, 0);
    manager.GetHighwayInfo(info, car, &path, -1, 5);
    EXPECT_EQ(info.rows, 0);
}

TEST_F(GuideManagerTest, SpeedLimitsTakeAtMostFiveRoadClasses) {
    const int indices[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    manager.SetSpeedLimits(1, 0, indices, 8); // must not write past the five limits
    CRoutePath path = TwoTurns();
    // Class 3 uses limit 3: (3 + 2) x 10 = 50 km/h. The first fix has a prompt due (follow the
    // road, the turn is 5.9 km away): no beep at 46 km/h (13 m/s) nor while a prompt is due.
    Step(CarOn(path, 0, 3000, 2900, kOrdinaryRoad, 15), &path);
    EXPECT_EQ(Played(), (Clips{{2, 55}}));
    Step(CarOn(path, 0, 3000, 2800, kOrdinaryRoad, 13), &path);
    EXPECT_TRUE(Played().empty());
    Step(CarOn(path, 0, 3000, 2700, kOrdinaryRoad, 14), &path); // 50 km/h reaches the limit
    EXPECT_EQ(Played(), Clips{{-1}});
}

} // namespace

namespace {

class AlertList : public CAlertPointList {
public:
    bool usable = true;
    std::vector<CAlertPointRecord> points;
    bool Refresh(std::int32_t, std::int32_t) override { return usable; }
    int Count() const override { return static_cast<int>(points.size()); }
    CAlertPointRecord* At(int i) override { return &points.at(static_cast<std::size_t>(i)); }
};

TEST_F(GuideManagerTest, AlertPointsAreSaidOnceWhileNear) {
    CRoutePath path = TwoTurns();
    const MatchResult first = CarOn(path, 0, 3000, 2900);
    Step(first, &path); // the follow-the-road prompt is due first
    Played();
    AlertList alerts;
    // 300 m east of the car: kind 3; a kind outside 1..14 beside it; an unusable kind 0.
    const MatchResult car = CarOn(path, 0, 3000, 2800);
    alerts.points = {{car.x + 1085, car.y, 20, 0}, {car.x + 1085, car.y, 3, 0}, {car.x + 1000, car.y, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        manager.Guide(cont, car, &path, &alerts, nullptr, 0, 0, 0, 0);
        manager.ProcessVoice();
    }
    EXPECT_EQ(Played(), (Clips{{118, 106, 119}}));
    EXPECT_EQ(alerts.points[1].announced, 1);
    EXPECT_EQ(alerts.points[0].announced, 0);
    // 350 m or farther (but inside the box) clears the announced flag; near again, it is said again.
    alerts.points[1].x = car.x + 1300;
    manager.Guide(cont, car, &path, &alerts, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(alerts.points[1].announced, 0);
    alerts.points[1].x = car.x + 1085;
    manager.Guide(cont, car, &path, &alerts, nullptr, 0, 0, 0, 0);
    manager.ProcessVoice();
    EXPECT_EQ(Played(), (Clips{{118, 106, 119}}));
    // A list that cannot be used is not walked.
    alerts.points[1].announced = 0;
    alerts.usable = false;
    manager.Guide(cont, car, &path, &alerts, nullptr, 0, 0, 0, 0);
    manager.ProcessVoice();
    EXPECT_TRUE(Played().empty());
}

} // namespace

namespace {

TEST(GuideLoadData, TheLaterFailureGivesTheCode) {
    struct Case {
        const char* what;
        bool voice, highway, points;
        int flags, code;
    } cases[] = {
        {"everything", true, true, true, 1, CGuideManager::kLoaded},
        {"no voice files", false, true, true, 1, CGuideManager::kVoiceFailed},
        {"no facility tables", true, false, true, 1, CGuideManager::kHighwayFailed},
        {"no guide points", true, true, false, 1, CGuideManager::kGuidePointsFailed},
        {"no tables and no points: the points fail later", true, false, false, 1, CGuideManager::kGuidePointsFailed},
        {"nothing", false, false, false, 1, CGuideManager::kGuidePointsFailed},
        {"voice only asked for", true, false, false, 0x100, CGuideManager::kLoaded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempRoot root;
        const std::string mapData = root.Path() + "/MapData";
        std::filesystem::create_directories(mapData);
        if (c.voice) VoiceData().Write(mapData);
        if (c.highway) {
            mkdev::WriteMapFile(mapData, "Wave/RestareaDB.db", mkdev::RestAreaTable({}));
            mkdev::WriteMapFile(mapData, "Wave/HighwayDB.db", mkdev::HighwayTable({}));
        }
        if (c.points) mkdev::WriteMapFile(mapData, "POINT/newGuidePoint.MDC", mkdev::GuidePointFile({}));
        CGuideManager manager;
        EXPECT_EQ(manager.LoadData(u"\\MapData", c.flags), c.code);
        EXPECT_EQ(manager.Voice().IsLoaded(), c.voice);
        CSoundIndex::Destroy();
    }
}

} // namespace
