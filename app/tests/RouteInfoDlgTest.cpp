// The route information screen: the summary of a route over 가람로, a highway and a national road
// (links given by a small link source), its pages, the information page's texts and the action
// codes of the buttons.
#include "app/RouteInfoDlg.h"

#include "app/CMainView.h"
#include "app/tests/DialogTestSupport.h"
#include "platform/base/Clock.h"
#include "platform/gdi/Gdi.h"
#include "route/RouteManager.h"
#include "skinui/NaviRcBuilder.h"
#include "platform/base/Text.h"
#include "route/RoutePath.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::string K(const char16_t* text) {
    return Utf16ToCp949(text);
}

struct FakeLink {
    SummaryLink link;
    std::u16string road;  // road-name table entry ("" none)
    std::u16string cross; // the junction at the link's end
    std::uint8_t guide = 0;
};

class FakeSource : public IRouteLinkSource {
public:
    std::map<int, FakeLink> links; // by link id
    bool ReadLink(int, int linkId, SummaryLink& link) override {
        auto it = links.find(linkId);
        if (it == links.end()) return false;
        link = it->second.link;
        return true;
    }
    bool OrdinaryRoadName(int, int linkId, std::string& name) override {
        auto it = links.find(linkId);
        if (it == links.end() || it->second.road.empty()) return false;
        name = K(it->second.road.c_str());
        return true;
    }
    bool CrossName(int, int linkId, bool atFirstNode, std::string& name) override {
        auto it = links.find(linkId);
        if (it == links.end() || atFirstNode) return false; // the route drives every link forwards
        name = K(it->second.cross.c_str());
        return true;
    }
};

// A path over links 1..n of map 0 in order, each with its guide code.
CRoutePath PathOver(const FakeSource& source) {
    CRoutePath path;
    int index = 0;
    for (const auto& [id, fake] : source.links) {
        CPathLinkItem item;
        item.linkId = static_cast<std::uint16_t>(id);
        path.Items().Add(item);
        CRouteLinkKey key;
        key.linkId = static_cast<std::uint16_t>(id);
        key.itemIndex = static_cast<std::int16_t>(index++);
        key.guideCode = fake.guide;
        path.Guides().Add(key);
    }
    CPathLinkRef run;
    run.count = static_cast<std::uint16_t>(index);
    path.ItemRuns().Add(run);
    path.GuideRuns().Add(run);
    path.SyncCounts();
    path.SetLoaded(1);
    return path;
}

CString RoadNumberName(int number) {
    return CMainView::GetRoadNumberName(static_cast<short>(number));
}

std::vector<std::u16string> Texts(const CRouteSummary& summary) {
    std::vector<std::u16string> out;
    for (const RouteSummaryEntry& e : summary.Entries()) out.push_back(CRouteSummary::RowText(e).GetString());
    return out;
}

class RouteSummaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // 600 m and 700 m of 가람로 (class 2), 가람IC entering; 3000 m and 2500 m of highway 1,
        // 나루IC leaving; 400 m of national road 38.
        source.links[1] = {{600, 2, 0}, u"가람로", u"", 0};
        source.links[2] = {{700, 2, 0}, u"가람로", u"가람IC", 9};
        source.links[3] = {{3000, 1, 1}, u"", u"", 0};
        source.links[4] = {{2500, 1, 1}, u"", u"나루IC", 4};
        source.links[5] = {{400, 3, 38}, u"", u"", 0};
    }
    void Build(const std::vector<SummaryWaypoint>& waypoints = {}) {
        path = PathOver(source);
        summary.Build(path, u"출발", u"도착", waypoints, source, RoadNumberName);
    }
    FakeSource source;
    CRoutePath path;
    CRouteSummary summary;
};

TEST_F(RouteSummaryTest, RoadsJunctionsAndPointsInRouteOrder) {
    Build();
    EXPECT_EQ(Texts(summary), (std::vector<std::u16string>{u"출발", u"가람로 [1.30km]", u"=======>가람IC 진입",
                                                           u"경부고속도로 [5.50km]", u"=======>나루IC 출구",
                                                           u"도착 [0.40km]"}));
    ASSERT_EQ(summary.Entries().size(), 6u);
    EXPECT_EQ(summary.Entries()[0].kind, RouteSummaryEntry::kStart);
    EXPECT_EQ(summary.Entries()[3].icon, 0);
    EXPECT_EQ(summary.Entries()[3].roadNumber, 1);
    EXPECT_EQ(summary.Entries()[2].icon, 6);
    EXPECT_EQ(summary.PageCount(), 2);

    // Page 1 from the bottom up: the start's icon in row "1" (23, 205), the shield of highway 1
    // in row "4" (23, 97).
    const SummaryPage one = summary.Layout(1);
    ASSERT_EQ(one.rows.size(), 5u);
    EXPECT_EQ(one.rows[0].icon, CString(u"출발지"));
    EXPECT_EQ(one.rows[0].iconX, 25);
    EXPECT_EQ(one.rows[0].iconY, 207);
    EXPECT_EQ(one.rows[0].labelX, 67);
    EXPECT_EQ(one.rows[0].text, CString(u"출발"));
    EXPECT_EQ(one.rows[1].labelX, 28); // no icon: x + 5
    ASSERT_EQ(one.spots.size(), 1u);
    EXPECT_EQ(one.spots[0].x, 25);
    EXPECT_EQ(one.spots[0].y, 101);
    EXPECT_EQ(one.spots[0].roadNumber, 1);
    EXPECT_EQ(one.rows[3].labelX, 23 + 21 + 5);
    EXPECT_TRUE(one.upShown);
    EXPECT_FALSE(one.downShown);
    const SummaryPage two = summary.Layout(2);
    ASSERT_EQ(two.rows.size(), 1u);
    EXPECT_EQ(two.rows[0].icon, CString(u"목적지"));
    EXPECT_EQ(two.rows[0].text, CString(u"도착"));
    EXPECT_FALSE(two.upShown);
    EXPECT_TRUE(two.downShown);
    EXPECT_TRUE(summary.Layout(3).rows.empty());
    EXPECT_TRUE(summary.Layout(0).rows.empty());
}

TEST_F(RouteSummaryTest, AJunctionMarkOnlyCountsAfterTheFirstCharacter) {
    source.links[2].cross = u"IC가람";
    source.links[4].cross = u"분기점";
    Build();
    for (const std::u16string& text : Texts(summary)) EXPECT_EQ(text.find(u"=======>"), std::u16string::npos);
    // A junction without a state: passing.
    source.links[2].cross = u"가람JC";
    source.links[2].guide = 0;
    Build();
    EXPECT_EQ(Texts(summary)[2], u"=======>가람JC 경유");
    EXPECT_EQ(summary.Entries()[2].icon, 7);
}

TEST_F(RouteSummaryTest, ShortRoutesWaypointsAndManyPages) {
    FakeSource one;
    one.links[1] = {{900, 2, 0}, u"가람로", u"", 0};
    CRoutePath single = PathOver(one);
    summary.Build(single, u"출발", u"도착", {}, one, RoadNumberName);
    EXPECT_EQ(Texts(summary), (std::vector<std::u16string>{u"출발", u"도착 [0.90km]"}));
    EXPECT_EQ(summary.PageCount(), 1);
    EXPECT_FALSE(summary.Layout(1).upShown);
    EXPECT_FALSE(summary.Layout(1).downShown);

    // Three waypoints on three links of one road, then the destination: each waypoint preceded
    // by a section of the road.
    FakeSource road;
    for (int id = 1; id <= 4; ++id) road.links[id] = {{1234, 2, 0}, u"가람로", u"", 0};
    CRoutePath along = PathOver(road);
    summary.Build(along, u"출발", u"도착", {{0, 1, u"가"}, {0, 2, u"나"}, {0, 3, u"다"}}, road, RoadNumberName);
    EXPECT_EQ(Texts(summary),
              (std::vector<std::u16string>{u"출발", u"가람로 [1.23km]", u"가", u"가람로 [1.23km]", u"나",
                                           u"가람로 [1.23km]", u"다", u"도착 [1.23km]"}));
    EXPECT_EQ(summary.Entries()[4].waypoint, 2);
    EXPECT_EQ(summary.Layout(1).rows[2].icon, CString(u"경유지1"));
    EXPECT_EQ(summary.PageCount(), 2);

    // Sections below 100 m show whole metres.
    RouteSummaryEntry section;
    section.name = K(u"가람로");
    section.distance = 57;
    EXPECT_EQ(CRouteSummary::RowText(section), CString(u"가람로 [57m]"));
    section.distance = 1234;
    EXPECT_EQ(CRouteSummary::RowText(section), CString(u"가람로 [1.23km]"));
}

TEST_F(RouteSummaryTest, ElevenEntriesMakeThreePages) {
    // Five 300 m links of one road, waypoints on the first four and a junction at the end of the
    // fifth: 출발, four times (가람로, 점), 가람JC, 도착.
    FakeSource many;
    std::vector<SummaryWaypoint> points;
    for (int id = 1; id <= 5; ++id) many.links[id] = {{300, 2, 0}, u"가람로", u"", 0};
    for (int id = 1; id <= 4; ++id) points.push_back({0, id, u"점"});
    many.links[5].cross = u"가람JC";
    CRoutePath p = PathOver(many);
    summary.Build(p, u"출발", u"도착", points, many, RoadNumberName);
    ASSERT_EQ(summary.Entries().size(), 11u);
    EXPECT_EQ(summary.PageCount(), 3);
    EXPECT_EQ(summary.Layout(3).rows.size(), 1u);
    EXPECT_TRUE(summary.Layout(2).upShown);
    EXPECT_TRUE(summary.Layout(2).downShown);
}

TEST(RouteSummaryNames, RoadNamesByClassAndLongNamesCutBetweenCharacters) {
    FakeSource source;
    source.links[1] = {{0, 0, 0}, u"고가로", u"", 0};
    struct Case {
        int roadClass, number;
        const char16_t* name;
        int icon;
    };
    const Case cases[] = {
        {1, 1, u"경부고속도로", 0},        {1, 100, u"서울외곽순환", 1}, {1, 999, u"고속도로", 1},
        {2, 0, u"고가로", 10},             {3, 0, u"국도", 10},          {3, 38, u"38번국도", 2},
        {3, 100, u"100번국도", 3},         {4, 7, u"7번지방도", 4},      {4, 700, u"700번지방도", 5},
        {4, 0, u"지방도", 10},             {5, 3, u"일반도로", 10},      {6, 0, u"고가로", 10},
    };
    for (const Case& c : cases) {
        int icon = -5;
        EXPECT_EQ(CRouteSummary::RoadName(c.roadClass, c.number, 0, 1, source, RoadNumberName, icon), CString(c.name))
            << c.roadClass << " " << c.number;
        EXPECT_EQ(icon, c.icon) << c.roadClass << " " << c.number;
    }
    // No road-name entry: 일반도로. Classes 0 and 7: no name, the icon kept.
    int icon = 4;
    EXPECT_EQ(CRouteSummary::RoadName(2, 0, 0, 9, source, RoadNumberName, icon), CString(u"일반도로"));
    icon = 4;
    EXPECT_TRUE(CRouteSummary::RoadName(7, 0, 0, 1, source, RoadNumberName, icon).IsEmpty());
    EXPECT_EQ(icon, 4);

    // Twelve syllables (24 bytes) leave eleven (22 bytes) in the 24-byte field.
    source.links[1] = {{500, 2, 0}, u"가나다라마바사아자차카타", u"", 0};
    CRoutePath p = PathOver(source);
    CRouteSummary summary;
    summary.Build(p, u"가나다라마바사아자차카타", u"도착", {}, source, RoadNumberName);
    EXPECT_EQ(summary.Entries()[0].name, K(u"가나다라마바사아자차카"));
    EXPECT_EQ(summary.Entries()[0].name.size(), 22u);
    // A mixed name is cut after its last whole character: "A" + eleven syllables = 23 bytes.
    summary.Build(p, u"A가나다라마바사아자차카타", u"도착", {}, source, RoadNumberName);
    EXPECT_EQ(summary.Entries()[0].name, K(u"A가나다라마바사아자차카"));
}

TEST(RouteInfoTexts, InformationPageValues) {
    // 14:05:30 local (offset +9 h) on 2026-12-11.
    SimulatedClock clock(MillisecondsFromSystemTime(SYSTEMTIME{2026, 12, 5, 11, 5, 5, 30, 0}), 9 * 60);
    InstallClock(&clock);
    const CTime now = CTime::GetCurrentTime() + CTimeSpan(-30);
    EXPECT_EQ(CRouteInfoDlg::ClockText(now), CString(u"14시 5분 0초"));
    EXPECT_EQ(CRouteInfoDlg::ClockText(now + CTimeSpan(3661)), CString(u"15시 6분 1초"));
    InstallClock(nullptr);
    struct Case {
        int seconds;
        const char16_t* text;
    };
    for (const Case& c : {Case{3661, u"1시간 1분 1초"}, Case{3599, u"59분 59초"}, Case{86400, u"24시간 0분 0초"},
                          Case{90000, u"25시간 0분 0초"}, Case{0, u"0분 0초"}})
        EXPECT_EQ(CRouteInfoDlg::RemainingText(c.seconds), CString(c.text)) << c.seconds;
    EXPECT_EQ(CRouteInfoDlg::DistanceText(15300), CString(u"15.30 Km"));
    EXPECT_EQ(CRouteInfoDlg::CompositionText(true, 1), CString(u"(교통)고속도로로 구성"));
    EXPECT_EQ(CRouteInfoDlg::CompositionText(true, 0), CString(u"(교통)일반도로로 구성"));
    EXPECT_EQ(CRouteInfoDlg::CompositionText(false, 1), CString(u"고속도로로 구성"));
    EXPECT_EQ(CRouteInfoDlg::CompositionText(false, 2), CString(u"일반도로로 구성"));
    CString image, text;
    ASSERT_TRUE(CRouteInfoDlg::TabOf(1, image, text));
    EXPECT_EQ(text, CString(u"고속"));
    EXPECT_EQ(image, CString(u"텝_고속우선"));
    ASSERT_TRUE(CRouteInfoDlg::TabOf(2, image, text));
    EXPECT_EQ(text, CString(u"추천"));
    for (int id : {0, 5, -1, 100}) EXPECT_FALSE(CRouteInfoDlg::TabOf(id, image, text)) << id;
}

TEST(RouteInfoActions, EveryButtonClosesWithItsCodeButTheSummaryOnes) {
    struct Case {
        const char16_t* name;
        int action;
        bool closes;
    };
    const Case cases[] = {
        {u"경유지관리", 15, true}, {u"출발지이동", 13, true}, {u"목적지이동", 14, true}, {u"현위치", 4, true},
        {u"이전", 3, true},        {u"안내시작", 6, true},    {u"경로취소", 5, true},   {u"전체경로", 9, true},
        {u"경로설정", 7, true},    {u"추가경로", 7, true},    {u"경로저장", 8, true},   {u"모의주행", 10, true},
        {u"경로요약", 11, false},  {u"<<이전", 6, false},     {u"3", 6, false},         {u"위로버튼", 6, false},
        {u"아래로버튼", 6, false}, {u"모르는버튼", 6, true},
    };
    for (const Case& c : cases) {
        CRouteInfoDlg dlg;
        NaviCommand cmd;
        cmd.target = c.name;
        dlg.ProcessEvent(cmd);
        EXPECT_EQ(dlg.GetActionCode(), c.action) << Utf16ToUtf8(c.name);
        EXPECT_EQ(dlg.GetActivationState() == kActivationClosing, c.closes) << Utf16ToUtf8(c.name);
    }
}

} // namespace

namespace {

// The screen under the host over a route loaded from a file the test writes: 15300 m, 3661 s, a
// highway route; the summary page shown by tapping "경로요약", then back to the map.
TEST(RouteInfoScreen, ShowsTheLoadedRouteAndItsSummary) {
    GdiUseBuiltinFont(true);
    TempRoot root;
    root.MakeFile("res/ResData.bin", SampleSkin());
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    FakeSource source;
    source.links[1] = {{600, 2, 0}, u"가람로", u"", 0};
    source.links[2] = {{700, 2, 0}, u"가람로", u"가람IC", 9};
    source.links[3] = {{14000, 1, 1}, u"", u"", 0};
    CRoutePath path = PathOver(source);
    path.SetHeader(CRoutePath::kLength, 15300);
    path.SetHeader(CRoutePath::kTime, 3661);
    path.SetHeader(CRoutePath::kHighway, 1);
    RouteHeader header;
    RouteHeader::SetName(header.startName, K(u"출발"));
    RouteHeader::SetName(header.goalName, K(u"도착"));
    std::vector<std::uint8_t> bytes(RouteHeader::kSize);
    header.Write(bytes.data());
    const std::vector<std::uint8_t> stream = path.Pack();
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    root.MakeFile("route.vkp", std::string(bytes.begin(), bytes.end()));
    CRouteManager manager;
    ASSERT_TRUE(manager.LoadRouteFile(u"\\route.vkp"));

    SimulatedClock clock(MillisecondsFromSystemTime(SYSTEMTIME{2026, 12, 5, 11, 5, 5, 30, 0}), 9 * 60);
    InstallClock(&clock);
    CRouteInfoDlg dlg;
    dlg.SetPanelName(CRouteInfoDlg::kPanelName);
    dlg.SetRcBuilder(&builder);
    dlg.SetRouteManager(&manager);
    dlg.SetClockOffset(-30);
    dlg.SetLinkSource(&source);
    // "경로요약" (the third button of the upper row), a look, then "현위치".
    const HostedRun run = RunHosted(root, "tap 190 237\nwait 20\nsnapshot summary\ntap 215 18\nwait 50\n",
                                    [&] { return static_cast<int>(dlg.DoModal()); });
    InstallClock(nullptr);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(dlg.GetActionCode(), 4);
    EXPECT_TRUE(dlg.IsSummaryMode());
    EXPECT_EQ(dlg.LabelText(u"탐색결과"), CString(u"고속도로로 구성"));
    EXPECT_EQ(dlg.LabelText(u"전체거리값"), CString(u"15.30 Km"));
    EXPECT_EQ(dlg.LabelText(u"현재시각값"), CString(u"14시 5분 0초"));
    EXPECT_EQ(dlg.LabelText(u"도착예정시각값"), CString(u"15시 6분 1초"));
    EXPECT_EQ(dlg.LabelText(u"잔여시간값"), CString(u"1시간 1분 1초"));
    EXPECT_EQ(dlg.LabelText(u"출발지"), CString(u"출발지 : 출발"));
    EXPECT_EQ(dlg.LabelText(u"목적지"), CString(u"목적지 : 도착"));
    EXPECT_EQ(dlg.LabelText(u"경유지"), CString(u"경유지 : "));
    // The summary is emptied with the window; it was shown on its page.
    EXPECT_TRUE(dlg.Summary().Entries().empty());
    EXPECT_EQ(dlg.GetCurrentPage(), 1);
    EXPECT_EQ(dlg.TabCount(), 0); // a loaded route is no search result
}

} // namespace
