// The route result panel, the "지점등록" and "보행자" buttons, the route search bar and the
// waypoint bar of the main screen.
#include "SkinTestSupport.h"

#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/main/NaviRouteBars.h"
#include "skinui/main/NaviRouteResult.h"

#include <string>
#include <vector>

namespace {

void Send(NaviControl& control, int id, int param1 = -1, int param2 = -1, const char16_t* target = kTargetMain,
          const char16_t* text = u"") {
    NaviCommand cmd;
    cmd.target = target;
    cmd.text = text;
    cmd.id = id;
    cmd.param1 = param1;
    cmd.param2 = param2;
    control.ProcessCommand(cmd);
}

std::vector<std::u16string> VisibleNames(const std::vector<NaviControl*>& controls) {
    std::vector<std::u16string> names;
    for (NaviControl* c : controls)
        if (c->IsVisible()) names.emplace_back(c->Name().GetString());
    return names;
}

} // namespace

TEST(RouteResult, TextsWrapHoursAndKeepTheirRow) {
    struct Case {
        int value;
        const char16_t* text;
    };
    for (const Case& c : {Case{3725, u"01:02"}, Case{90000, u"01:00"}, Case{59, u"00:00"}, Case{86399, u"23:59"}})
        EXPECT_EQ(NaviRouteResult::FormatTime(c.value), CString(c.text)) << c.value;
    for (const Case& c : {Case{1234, u"1.2"}, Case{0, u"0.0"}, Case{25750, u"25.8"}})
        EXPECT_EQ(NaviRouteResult::FormatDistance(c.value), CString(c.text)) << c.value;

    NaviRcBuilder builder;
    NaviRouteResult panel;
    panel.LoadImages(&builder);
    EXPECT_TRUE(SameRect(panel.GetRect(), RECT{2, 72, 66, 114}));
    Send(panel, 2023);
    Send(panel, 2, 1234, 3725);
    Send(panel, 1, 5000, 600);
    Send(panel, 2, 2000, 60); // again: new texts, same row
    EXPECT_EQ(panel.GetDisplayOrder()[0], 2);
    EXPECT_EQ(panel.GetDisplayOrder()[1], 1);
    EXPECT_EQ(panel.GetDisplayOrder()[2], 0);
    EXPECT_EQ(panel.GetDistanceText(2), CString(u"2.0"));
    EXPECT_EQ(panel.GetTimeText(2), CString(u"00:01"));
    EXPECT_EQ(panel.GetSelectedRoute(), 2);
    // Another target is not for the panel.
    Send(panel, 3, 1000, 60, u"DIALOG");
    EXPECT_EQ(panel.GetDisplayOrder()[2], 0);
    // Flags exist for routes 1..4 only.
    Send(panel, 2030, 4, 1);
    EXPECT_EQ(panel.GetRouteFlag(4), 1);
    for (int bad : {0, 5, -1}) Send(panel, 2030, bad, 7);
    for (int id = 1; id <= 4; ++id) EXPECT_EQ(panel.GetRouteFlag(id), id == 4 ? 1 : 0);
    // The reset empties the rows.
    Send(panel, 2023);
    EXPECT_EQ(panel.GetDisplayOrder()[0], 0);
    EXPECT_EQ(panel.GetDistanceText(2), CString());
}

TEST(RouteResult, HitsOfRowsAndBar) {
    NaviRcBuilder builder;
    NaviRouteResult panel;
    panel.SetVisible(true);
    panel.LoadImages(&builder);
    // On show but without results the panel takes every tap, code 0.
    for (POINT p : {POINT{3, 73}, POINT{200, 10}, POINT{100, 300}}) {
        EXPECT_EQ(panel.HitTest(p.x, p.y), 1);
        EXPECT_EQ(panel.GetHitCode(), 0);
    }
    Send(panel, 2023);
    Send(panel, 2005);
    for (int id = 1; id <= 3; ++id) Send(panel, id, 1000 * id, 600 * id);
    Send(panel, 2022);
    // Rows are 44 apart from y 72: row 2 spans 116..157.
    EXPECT_EQ(panel.HitTest(30, 130), 1);
    EXPECT_EQ(panel.GetHitCode(), 2);
    EXPECT_EQ(panel.GetSelectedRoute(), 2);
    EXPECT_EQ(panel.HitTest(30, 72 + 3 * 44 + 5), 0); // no fourth row
    EXPECT_EQ(panel.GetHitCode(), 0);
    EXPECT_EQ(panel.HitTest(10, 290), 1);
    EXPECT_EQ(panel.GetHitCode(), kRouteHitMore);
    EXPECT_EQ(panel.HitTest(100, 290), 1);
    EXPECT_EQ(panel.GetHitCode(), kRouteHitInfo);
    panel.OnPenDown();
    EXPECT_TRUE(panel.GetButton(u"경로정보")->IsPressed());
    EXPECT_EQ(panel.HitTest(200, 290), 1);
    EXPECT_EQ(panel.GetHitCode(), kRouteHitStart);
    // The guidance bar: rows give way, the bar's own codes.
    panel.SetGuidanceBar(true);
    EXPECT_TRUE(panel.GetButton(u"안내시작")->IsVisible()); // hidden first, then shown: results are present
    Send(panel, 2041);
    EXPECT_EQ(panel.HitTest(30, 130), 0);
    EXPECT_EQ(panel.HitTest(200, 290), 1);
    EXPECT_EQ(panel.GetHitCode(), kRouteHitStartBar);
    EXPECT_EQ(panel.HitTest(100, 290), 1);
    EXPECT_EQ(panel.GetHitCode(), kRouteHitInfoBar);
}

TEST(RouteResult, MoreRoutesNeverInTheBasicMenu) {
    NaviRcBuilder builder;
    NaviRouteResult panel;
    panel.LoadImages(&builder);
    auto more = [&] { return panel.GetButton(u"추가경로")->IsVisible(); };
    EXPECT_EQ(panel.GetMode(), 2004);
    Send(panel, 2022);
    EXPECT_FALSE(more());
    EXPECT_TRUE(panel.GetButton(u"경로정보")->IsVisible());
    Send(panel, 2006); // the my menu counts as advanced
    EXPECT_EQ(panel.GetMode(), 2005);
    Send(panel, 2041);
    EXPECT_TRUE(more());
    Send(panel, 2004);
    Send(panel, 2041);
    EXPECT_FALSE(more());
    EXPECT_EQ(panel.HitTest(10, 290), 1);
    EXPECT_EQ(panel.GetHitCode(), 0);
}

TEST(MainImageButtons, RegisterAndPedestrianFollowTheirCommands) {
    NaviRcBuilder builder;
    NaviRouteResultButton reg;
    reg.SetName(u"지점등록");
    reg.LoadImages(&builder);
    EXPECT_TRUE(SameRect(reg.GetRect(), RECT{174, 281, 205, 318}));
    struct Step {
        int id;
        bool visible;
    };
    for (const Step& s : {Step{2005, true}, Step{2002, false}, Step{2003, true}, Step{2000, false}, Step{2001, true},
                          Step{2004, false}, Step{2006, true}})
        EXPECT_EQ((Send(reg, s.id), reg.IsVisible()), s.visible) << s.id;
    EXPECT_EQ(reg.HitTest(180, 290), 1);
    reg.SetSuppressed(true);
    EXPECT_EQ(reg.HitTest(180, 290), 0);
    reg.SetSuppressed(false);
    Send(reg, 113);
    EXPECT_EQ(reg.HitTest(180, 290), 0);
    Send(reg, 114);
    Send(reg, 106, 240, 400);
    EXPECT_EQ(reg.HitTest(180, 370), 1);

    NaviImageButton walk;
    walk.SetName(u"보행자");
    walk.LoadImages(&builder);
    EXPECT_EQ(walk.GetPos().y, 242);
    Send(walk, 2001); // mode 2004 from the start: stays low
    EXPECT_EQ(walk.GetPos().y, 242);
    Send(walk, 2005);
    Send(walk, 2001);
    EXPECT_EQ(walk.GetPos().y, 201);
    Send(walk, 2000);
    EXPECT_EQ(walk.GetPos().y, 242);
}

TEST(RouteSearchBar, WhichButtonsShow) {
    NaviRcBuilder builder;
    NaviRouteSearchBar bar;
    bar.LoadImages(&builder);
    EXPECT_EQ(bar.GetPos().y, 281);
    EXPECT_TRUE(SameRect(bar.FindChild(u"경로탐색불가")->GetRect(), RECT{141, 281, 174, 314}));
    EXPECT_TRUE(SameRect(bar.FindChild(u"이전")->GetRect(), RECT{207, 281, 238, 318}));
    EXPECT_TRUE(SameRect(bar.FindChild(u"탐색_초보")->GetRect(), RECT{44, 281, 165, 318}));
    using Names = std::vector<std::u16string>;
    struct Step {
        int id;
        const char16_t* text;
        Names visible;
    };
    const Step steps[] = {
        {2004, u"", {}},
        {100, u"", {u"탐색_초보"}},
        {100, u"이전", {u"탐색_초보", u"이전_초보"}},
        {101, u"", {}}, // basic menu, guiding: nothing
        {2005, u"", {u"출발지", u"경유지", u"목적지", u"경로탐색불가", u"이전"}},
        {2043, u"", {u"출발지", u"경유지", u"목적지", u"경로탐색", u"이전"}},
        {2002, u"", {}}, // simulating: nothing whatever else holds
        {100, u"", {}},
        {2003, u"", {u"출발지", u"경유지", u"목적지", u"경로탐색", u"이전"}},
        {2000, u"", {}},
        {2001, u"", {u"출발지", u"경유지", u"목적지", u"경로탐색", u"이전"}},
        {101, u"", {u"출발지", u"경유지", u"목적지", u"경로탐색불가", u"이전"}},
    };
    for (const Step& s : steps) {
        Send(bar, s.id, -1, -1, u"any", s.text);
        EXPECT_EQ(VisibleNames(bar.GetChildren()), s.visible) << s.id;
    }
    bar.ClearBackFlag();
    bar.UpdateVisibility();
    EXPECT_EQ(bar.FindChild(u"이전")->IsVisible(), false);
    EXPECT_EQ(bar.HitTest(80, 290), 1);
    EXPECT_EQ(bar.GetSelectedName(), CString(u"경유지"));
    bar.OnPenDown();
    EXPECT_TRUE(bar.FindChild(u"경유지")->IsPressed());
    EXPECT_EQ(bar.HitTest(220, 290), 0);
    bar.SetVisible(false);
    EXPECT_EQ(bar.HitTest(80, 290), 0);
}

TEST(WaypointBar, ListChooseAndAct) {
    // The action buttons take their size from their images.
    std::vector<ArchiveEntry> entries;
    for (const char16_t* n : {u"ToolBar\\경유지추가", u"ToolBar\\이동", u"ToolBar\\삭제", u"ToolBar\\지점이동"})
        entries.push_back(ArchiveEntry{Cp949(n), SolidPng(30, 18, RGB(0, 0, 200))});
    const Bytes b = ArchiveBytes(entries, static_cast<int>(entries.size()));
    TempRoot root;
    root.MakeFile("res/ResData.bin", std::string(b.begin(), b.end()));
    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    NaviWaypointBar bar;
    bar.SetVisible(false);
    bar.LoadImages(&builder);
    EXPECT_TRUE(VisibleNames(bar.GetChildren()).empty());
    // No names: target "경유지" leaves the hidden bar hidden.
    Send(bar, 0, -1, -1, kTargetWaypoints);
    EXPECT_FALSE(bar.IsVisible());
    for (const char16_t* n : {u"a", u"b", u"c", u"d", u"e", u"f"}) Send(bar, kCmdAddWaypoint, -1, -1, kTargetMain, n);
    EXPECT_EQ(bar.GetCount(), 5);
    EXPECT_EQ(bar.AddWaypoint(u"g"), -1);
    for (int bad : {5, -1, 100}) EXPECT_EQ(bar.RemoveWaypoint(bad), -1) << bad;
    Send(bar, kCmdRemoveWaypoint, 1);
    Send(bar, kCmdRemoveWaypoint, 1);
    EXPECT_EQ(bar.GetCount(), 3);
    EXPECT_EQ(bar.GetWaypoint(1), CString(u"d"));
    Send(bar, 0, -1, -1, kTargetWaypoints);
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_EQ(VisibleNames(bar.GetChildren()),
              (std::vector<std::u16string>{u"경유지추가", u"경유지1", u"경유지2", u"경유지3"}));
    EXPECT_EQ(bar.GetCurrentIndex(), 3);

    // Waypoint 1 sits at (72, 230), 57 wide: a tap there shows the actions beside it.
    EXPECT_EQ(bar.HitTest(80, 240), 1);
    bar.OnPenDown();
    auto* first = static_cast<NaviCheckButton*>(bar.FindChild(u"경유지1"));
    EXPECT_TRUE(first->IsChecked());
    EXPECT_EQ(bar.HitTest(80, 240), 1); // pen-up
    EXPECT_EQ(bar.GetCurrentIndex(), 0);
    EXPECT_EQ(bar.FindChild(u"이동")->GetPos().x, 128);
    EXPECT_EQ(bar.FindChild(u"이동")->GetPos().y, 186);
    EXPECT_EQ(bar.FindChild(u"지점이동")->GetPos().x, 128);
    EXPECT_EQ(bar.FindChild(u"지점이동")->GetPos().y, 206);
    EXPECT_EQ(bar.FindChild(u"삭제")->GetPos().x, 128);
    EXPECT_EQ(bar.FindChild(u"삭제")->GetPos().y, 226);
    EXPECT_TRUE(bar.FindChild(u"삭제")->IsVisible());

    // A hit test alone (no pen-down) acts on nothing; "삭제" hides the bar at pen-up.
    const POINT del = bar.FindChild(u"삭제")->GetPos();
    EXPECT_EQ(bar.HitTest(del.x + 1, del.y + 1), 1);
    EXPECT_TRUE(bar.IsVisible());
    bar.OnPenDown();
    EXPECT_FALSE(first->IsChecked());
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_EQ(bar.HitTest(del.x + 1, del.y + 1), 1);
    EXPECT_FALSE(bar.IsVisible());

    // Following the car hides it; 2016 empties it and a refresh then shows nothing.
    Send(bar, 0, -1, -1, kTargetWaypoints);
    EXPECT_TRUE(bar.IsVisible());
    Send(bar, kCmdFollowCar);
    EXPECT_FALSE(bar.IsVisible());
    Send(bar, kCmdClearWaypoints);
    EXPECT_EQ(bar.Refresh(), 0);
    EXPECT_EQ(bar.GetCurrentIndex(), -1);
    EXPECT_TRUE(VisibleNames(bar.GetChildren()).empty());
}
