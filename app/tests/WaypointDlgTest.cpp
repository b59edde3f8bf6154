// The waypoint management screen over a route with waypoints A, B and C: the rows, moving a
// waypoint up and down (and not while the route lock is busy), and the action codes.
#include "app/WaypointDlg.h"

#include "app/LockSet.h"
#include "app/tests/DialogTestSupport.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/gdi/Gdi.h"
#include "route/RouteManager.h"
#include "skinui/NaviRcBuilder.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class WaypointDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
        ASSERT_TRUE(locks.Create(3));
        for (const char16_t* name : {u"A", u"B", u"C"}) {
            RouteWaypoint w;
            w.name = name;
            manager.EditedRoute().waypoints.Add(w);
        }
    }
    void TearDown() override { box.Destruct(); }
    std::vector<CString> Order() {
        std::vector<CString> names;
        for (int i = 0; i < manager.GetWaypointCount(); ++i) names.push_back(manager.GetWaypointLabel(i));
        return names;
    }
    // Runs the screen modeless under the host and presses the controls in turn.
    HostedRun Press(CWaypointDlg& dlg, const std::vector<const char16_t*>& names, const std::string& answers = "") {
        return RunHosted(root, answers + "wait 10\n", [&] {
            dlg.Broker().SetPanelName(u"경유지관리");
            dlg.Broker().SetRcBuilder(&builder);
            dlg.SetRouteManager(&manager);
            if (!dlg.Create(nullptr)) return -1;
            for (const char16_t* name : names) {
                NaviCommand cmd;
                cmd.target = name;
                dlg.ProcessEvent(cmd);
            }
            return 0;
        });
    }
    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
    CLockSet locks;
    CRouteManager manager;
};

TEST_F(WaypointDlgTest, RowsShowTheWaypointsInOrder) {
    CWaypointDlg dlg(locks);
    ASSERT_FALSE(Press(dlg, {}).failed);
    EXPECT_EQ(dlg.RowText(0), CString(u"(1) A"));
    EXPECT_EQ(dlg.RowText(1), CString(u"(2) B"));
    EXPECT_EQ(dlg.RowText(2), CString(u"(3) C"));
    for (int row : {0, 1, 2}) EXPECT_TRUE(dlg.IsRowShown(row)) << row;
    for (int row : {3, 4}) EXPECT_FALSE(dlg.IsRowShown(row)) << row;
    EXPECT_EQ(dlg.MarkedRow(), -1);
    dlg.DestroyWindow();
}

TEST_F(WaypointDlgTest, MovingUpReordersTheRouteAndIsSearchedAgain) {
    CWaypointDlg dlg(locks);
    ASSERT_FALSE(Press(dlg, {u"2", u"경유지_위"}).failed);
    EXPECT_EQ(Order(), (std::vector<CString>{u"A", u"C", u"B"}));
    EXPECT_EQ(dlg.MarkedRow(), 1);
    EXPECT_EQ(dlg.RowText(1), CString(u"(2) C"));
    EXPECT_EQ(dlg.GetActionCode(), CWaypointDlg::kActionReordered);
    EXPECT_FALSE(dlg.IsClosed());
    // "이전" and "위치보기" keep the reorder's code.
    NaviCommand back;
    back.target = u"이전";
    dlg.ProcessEvent(back);
    EXPECT_TRUE(dlg.IsClosed());
    EXPECT_EQ(dlg.GetActionCode(), CWaypointDlg::kActionReordered);
    dlg.DestroyWindow();

    CWaypointDlg down(locks);
    ASSERT_FALSE(Press(down, {u"0", u"경유지_아래", u"위치보기"}).failed);
    EXPECT_EQ(Order(), (std::vector<CString>{u"C", u"A", u"B"}));
    EXPECT_EQ(down.GetSelection(), 1);
    EXPECT_EQ(down.GetActionCode(), CWaypointDlg::kActionReordered);
    down.DestroyWindow();
}

TEST_F(WaypointDlgTest, TheEndsAndABusyLockChangeNothing) {
    CWaypointDlg dlg(locks);
    ASSERT_FALSE(Press(dlg, {u"0", u"경유지_위", u"2", u"경유지_아래", u"경유지_위"}).failed);
    // Only the last press (row 2 up) moved anything.
    EXPECT_EQ(Order(), (std::vector<CString>{u"A", u"C", u"B"}));
    dlg.DestroyWindow();

    // Another thread holds the route lock: the order stays and the screen says nothing moved.
    std::atomic<bool> held{false}, release{false};
    std::thread worker([&] {
        locks.Lock(1, 100);
        held = true;
        while (!release) std::this_thread::yield();
        locks.Unlock(1);
    });
    while (!held) std::this_thread::yield();
    CWaypointDlg busy(locks);
    ASSERT_FALSE(Press(busy, {u"1", u"경유지_위", u"1", u"경유지_아래"}).failed);
    release = true;
    worker.join();
    EXPECT_EQ(Order(), (std::vector<CString>{u"A", u"C", u"B"}));
    EXPECT_EQ(busy.GetActionCode(), 4);
    EXPECT_EQ(busy.MarkedRow(), 1);
    busy.DestroyWindow();
}

TEST_F(WaypointDlgTest, ActionsNeedAMarkedRowWhereTheyActOnOne) {
    struct Case {
        std::vector<const char16_t*> presses;
        int action;
        bool closed;
        std::string notices;
        int selection;
    };
    const std::string none = "선택된 경유지가 없습니다.\t3001\t4001\n";
    const Case cases[] = {
        {{u"위치수정"}, 12, false, none, -1},
        {{u"위치수정", u"이전"}, 3, true, none, -1},
        {{u"위치보기"}, 4, false, none, -1},
        {{u"삭제"}, 4, false, none, -1},
        {{u"1", u"위치보기"}, 11, true, "", 1},
        {{u"2", u"삭제"}, 13, true, "", 2},
        {{u"0", u"위치수정"}, 12, true, "", 0},
        {{u"경로탐색"}, 15, true, "", -1},
        {{u"현위치"}, 4, true, "", -1},
        {{u"모르는단추"}, 4, true, "", -1},
    };
    for (const Case& c : cases) {
        CWaypointDlg dlg(locks);
        const HostedRun run = Press(dlg, c.presses, c.notices.empty() ? "" : "answer ok\n");
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(dlg.GetActionCode(), c.action) << Utf16ToUtf8(c.presses.back());
        EXPECT_EQ(dlg.IsClosed(), c.closed) << Utf16ToUtf8(c.presses.back());
        EXPECT_EQ(BoxTexts(run.msgboxLog), c.notices) << Utf16ToUtf8(c.presses.back());
        EXPECT_EQ(dlg.GetSelection(), c.selection) << Utf16ToUtf8(c.presses.back());
        dlg.DestroyWindow();
    }
    EXPECT_EQ(Order(), (std::vector<CString>{u"A", u"B", u"C"}));
}

} // namespace
