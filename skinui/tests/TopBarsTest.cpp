// The top distance-and-time bar and the nearby-facility bar of the main screen.
#include "SkinTestSupport.h"

#include "platform/base/Clock.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviPoiBar.h"
#include "skinui/controls/NaviLabel.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

// Skin images are drawn with their top-left pixel's colour cut out: that pixel is magenta here.
Bytes Keyed(int width, int height, COLORREF c) {
    return RgbPng(width, height, [c](int x, int y) { return x == 0 && y == 0 ? RGB(255, 0, 255) : c; });
}

class ClockFixture : public ::testing::Test {
protected:
    // 2026-01-31 23:59:00 UTC: a month's end one minute away.
    void SetUp() override {
        clock.SetUtc(1769903940000LL);
        InstallClock(&clock);
    }
    void TearDown() override { InstallClock(nullptr); }
    void Pass(int seconds) { clock.SetUtc(clock.UtcMilliseconds() + 1000LL * seconds); }
    SimulatedClock clock;
};

using HighwayBar = ClockFixture;

std::uint32_t Remaining(const NaviHighwayBar& bar) {
    std::uint32_t v = 0;
    bar.GetRemainingTime(v);
    return v;
}

} // namespace

TEST_F(HighwayBar, EstimateBlendsRouteAndAverage) {
    NaviHighwayBar bar;
    bar.SetRouteTime(600);
    EXPECT_EQ(Remaining(bar), 600u);
    bar.SetRouteLength(10000);
    bar.AddTravelled(0);
    EXPECT_EQ(Remaining(bar), 600u); // nothing travelled: the route time
    bar.AddTravelled(1000); // the clock starts here
    Pass(100);
    bar.SetDistances(9000, -1);
    // 10 m/s: by route 600 * 9000 / 10000 = 540, by average 900; (540 * 9000 + 900 * 1000) / 10000.
    EXPECT_EQ(Remaining(bar), 576u);
    // A negative distance keeps the stored one but the estimate moves with the clock: 200 s,
    // 5 m/s, by average 1800: (540 * 9000 + 1800 * 1000) / 10000 = 666.
    Pass(100);
    bar.SetDistances(-1, -1);
    EXPECT_EQ(Remaining(bar), 666u);
    EXPECT_EQ(bar.Snapshot().destDistance, 9000);
}

TEST_F(HighwayBar, MonthEndAndMissingRouteLength) {
    NaviHighwayBar bar;
    bar.SetRouteTime(600);
    bar.SetRouteLength(10000);
    bar.AddTravelled(1000);
    Pass(120); // into February
    bar.SetDistances(9000, -1);
    // 120 s: by average 1080; (540 * 9000 + 1080 * 1000) / 10000 = 594.
    EXPECT_EQ(Remaining(bar), 594u);
    // No route length: the route time is the route's own estimate: (600 * 9000 + 1080 * 1000) / 10000.
    bar.SetRouteLength(0);
    bar.SetDistances(9000, -1);
    EXPECT_EQ(Remaining(bar), 648u);
}

TEST(HighwayBarEstimate, LimitsAndTimeText) {
    NaviHighwayBar::State s;
    s.routeTime = 30;
    s.routeLength = 1000;
    s.destDistance = 500;
    s.travelled = 500;
    s.startSeconds = 0;
    // by route 15, by average 10 (50 m/s): 12.5 is raised to a minute.
    EXPECT_EQ(NaviHighwayBar::Estimate(s, 10), 60u);
    s.remainingTime = 60;
    EXPECT_EQ(NaviHighwayBar::TimeText(s), CString(u"00:01"));
    s.remainingTime = 90061;
    EXPECT_EQ(NaviHighwayBar::TimeText(s), CString(u"01:01"));
    s.pedestrian = true;
    EXPECT_EQ(NaviHighwayBar::TimeText(s), CString(u"00:00"));
    // No time passed yet, or a clock set back: the route time.
    EXPECT_EQ(NaviHighwayBar::Estimate(s, 0), 30u);
    EXPECT_EQ(NaviHighwayBar::Estimate(s, -5), 30u);
    // An estimate beyond the unsigned range is held at its top.
    s.routeTime = 2000000000;
    s.routeLength = 1;
    s.destDistance = 1e9;
    EXPECT_EQ(NaviHighwayBar::Estimate(s, 10), std::numeric_limits<std::uint32_t>::max());
}

TEST(HighwayBarLayout, WhichStripShows) {
    NaviHighwayBar bar;
    using L = NaviHighwayBar::Layout;
    struct Case {
        int nearDistance;
        int kind;
        int facilityDistance;
        L layout;
    };
    const Case cases[] = {
        {999, 1, 0, L::kNearBanner},    {0, 1, 0, L::kDistanceBar},       {1000, 0, 999, L::kFacilityBanner},
        {1, 0, 0, L::kNearBanner},      {-5, 0, 1000, L::kDistanceBar},   {0, 1, 500, L::kDistanceBar},
        {0, 0, 1, L::kFacilityBanner},
    };
    for (const Case& c : cases) {
        bar.SetNearFacilityName(u"휴게소", c.nearDistance);
        bar.SetNextFacility(u"주유소", u"", c.kind, c.facilityDistance, 1, 1, 0);
        EXPECT_EQ(NaviHighwayBar::ChooseLayout(bar.Snapshot()), c.layout) << c.nearDistance << " " << c.kind;
    }
}

TEST(HighwayBarDraw, WaypointSectionAndNumbers) {
    const COLORREF dest = RGB(0, 0, 200), way = RGB(0, 200, 0), wayLeft = RGB(200, 0, 0), number = RGB(50, 50, 50),
                   destLeft = RGB(0, 120, 120);
    std::vector<ArchiveEntry> entries = {
        {Cp949(u"TrackBar\\목적지_가운데"), Keyed(7, 20, dest)},
        {Cp949(u"TrackBar\\목적지_왼쪽"), Keyed(10, 20, destLeft)},
        {Cp949(u"TrackBar\\경유지_가운데"), Keyed(7, 20, way)},
        {Cp949(u"TrackBar\\경유지_왼쪽"), Keyed(10, 20, wayLeft)},
        {Cp949(u"TrackBar\\1"), Keyed(5, 5, number)},
    };
    const Bytes b = ArchiveBytes(entries, static_cast<int>(entries.size()));
    TempRoot root;
    root.MakeFile("res/ResData.bin", std::string(b.begin(), b.end()));
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    NaviHighwayBar bar;
    bar.SetName(u"TrackBar");
    bar.LoadImages(&builder);
    bar.SetDistances(5000, 2000);
    // 13 destination tiles from 228 end at x 137; eight waypoint tiles end at 81, their cap at
    // 71, the number at (79, 11); the destination's left cap at 127 is drawn over them.
    struct Case {
        bool waypoint;
        bool pedestrian;
        int number;
        COLORREF at85, at75, at81, at131;
    };
    const COLORREF white = RGB(255, 255, 255);
    const Case cases[] = {
        {true, false, 1, way, wayLeft, number, destLeft},
        {true, false, 7, way, wayLeft, way, destLeft}, // no such number image
        {true, true, 1, white, white, white, destLeft},
        {false, false, 1, white, white, white, destLeft},
    };
    for (const Case& c : cases) {
        bar.SetWaypoint(c.waypoint, c.number);
        bar.SetPedestrian(c.pedestrian);
        Canvas canvas(240, 40);
        bar.Draw(&canvas.cdc);
        EXPECT_EQ(canvas.At(140, 10), dest);
        EXPECT_EQ(canvas.At(85, 10), c.at85);
        EXPECT_EQ(canvas.At(75, 10), c.at75);
        EXPECT_EQ(canvas.At(81, 13), c.at81);
        EXPECT_EQ(canvas.At(131, 10), c.at131);
    }
}

using PoiBar = ::testing::Test;

namespace {

void Fill(MapFeatureInfo& e, const char* name) {
    e.distance = 10;
    std::strncpy(e.name, name, sizeof e.name);
}

void Send(NaviControl& c, int id) {
    NaviCommand cmd;
    cmd.id = id;
    c.ProcessCommand(cmd);
}

} // namespace

TEST_F(PoiBar, ShowsOnlyWithASelectionAwayFromTheCar) {
    NaviRcBuilder builder;
    NaviPoiBar bar;
    bar.LoadImages(&builder);
    Fill(bar.Entry(0), "A");
    Fill(bar.Entry(1), "B");
    // No selection: nothing drawn, nothing hit.
    Canvas canvas(240, 120);
    bar.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
    for (POINT p : {POINT{90, 10}, POINT{50, 45}, POINT{50, 65}}) EXPECT_EQ(bar.HitTest(p.x, p.y), 0);
    bar.SetSelection(0);
    EXPECT_EQ(bar.HitTest(50, 45), 1);
    EXPECT_EQ(bar.HitTest(50, 65), 2);
    EXPECT_EQ(bar.GetHitCode(), 2);
    // The toggle answers 4 open or closed; the code tells which.
    EXPECT_EQ(bar.HitTest(90, 10), 4);
    EXPECT_EQ(bar.GetHitCode(), kPoiHitClose);
    bar.SetCurrentEntry(-1);
    EXPECT_FALSE(bar.GetCurrentEntry());
    EXPECT_EQ(bar.HitTest(90, 10), 4);
    EXPECT_EQ(bar.GetHitCode(), kPoiHitOpen);
    EXPECT_EQ(bar.HitTest(50, 45), 0); // closed: no rows
    bar.SetCurrentEntry(3);
    EXPECT_TRUE(bar.GetCurrentEntry());
    // Whatever keeps it off the screen also keeps its taps away.
    struct Off {
        int on, off;
    };
    for (const Off& o : {Off{2002, 2003}, Off{2000, 2001}, Off{113, 114}}) {
        Send(bar, o.on);
        EXPECT_FALSE(bar.IsShowable());
        EXPECT_EQ(bar.HitTest(90, 10), 0);
        Send(bar, o.off);
        EXPECT_EQ(bar.HitTest(90, 10), 4);
    }
    bar.SetRouteResultMode(true);
    EXPECT_EQ(bar.HitTest(50, 45), 0);
    canvas.Clear();
    bar.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
    bar.SetRouteResultMode(false);
    bar.SetFlag(true);
    EXPECT_EQ(bar.HitTest(50, 45), 0);
}

TEST_F(PoiBar, RowsOfFoundEntries) {
    NaviRcBuilder builder;
    NaviPoiBar bar;
    bar.LoadImages(&builder);
    bar.SetSelection(0);
    // Nothing found: one row saying so at (50, 43); neither row takes a tap.
    Canvas canvas(240, 120);
    bar.Draw(&canvas.cdc); // no symbol manager: rows and text only
    EXPECT_EQ(bar.GetLabel()->GetText(), CString(NaviPoiBar::kNothingNear));
    EXPECT_EQ(bar.GetLabel()->GetPos().x, 50);
    EXPECT_EQ(bar.GetLabel()->GetPos().y, 43);
    EXPECT_NE(canvas.Ink().right, 0);
    EXPECT_EQ(bar.HitTest(50, 45), 0);
    // Only the first entry: the second row's background takes nothing.
    Fill(bar.Entry(0), "\xC1\xD6\xC0\xAF\xBC\xD2"); // "주유소"
    EXPECT_EQ(bar.HitTest(50, 45), 1);
    EXPECT_EQ(bar.HitTest(50, 65), 0);
    bar.Draw(&canvas.cdc);
    EXPECT_EQ(bar.GetLabel()->GetText(), CString(u"주유소"));
    EXPECT_EQ(bar.GetLabel()->GetPos().x, 88);
    bar.ClearItems();
    EXPECT_EQ(bar.HitTest(50, 45), 0);
}

TEST(PoiBarName, NeverReadsPastTheRecord) {
    MapFeatureInfo e;
    std::memset(e.name, 'A', sizeof e.name); // no terminating zero
    e.number = 0x42424242; // the bytes that follow
    EXPECT_EQ(NaviPoiBar::EntryName(e), CString(std::u16string(21, u'A').c_str()));
    std::strcpy(e.name, "Gas");
    EXPECT_EQ(NaviPoiBar::EntryName(e), CString(u"Gas"));
}

TEST(HighwayBarThreads, FedByTheGpsThreadWhileDrawn) {
    NaviHighwayBar bar;
    bar.SetRouteTime(600);
    bar.SetRouteLength(10000);
    std::atomic<bool> stop{false};
    std::atomic<int> fixes{0};
    std::thread gps([&] {
        for (int i = 0; !stop.load(); ++i) {
            bar.AddTravelled(10);
            bar.SetDistances(10000 - (i % 1000), 500);
            bar.SetNextFacility(i % 2 ? u"휴게소" : u"주유소", u"", i % 2, 100 + i % 900, i % 6, i % 2, 0);
            bar.SetNearFacilityName(u"졸음쉼터", i % 1200);
            fixes.store(i + 1);
        }
    });
    Canvas canvas(240, 40);
    for (int i = 0; i < 200 || fixes.load() < 100; ++i) bar.Draw(&canvas.cdc);
    stop = true;
    gps.join();
    EXPECT_GT(bar.Snapshot().travelled, 0);
}
