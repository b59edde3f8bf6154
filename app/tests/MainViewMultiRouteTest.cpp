// The multi-route search on the sample device with the real route engine and the page
// "다중경로탐색" in the common dialog, tapped as a user would: the kinds searched, what the main
// screen is told, the voice message, the saved ticks, a failing kind, leaving the page, and the
// route lock set released whatever way the search ends.
#include "MainViewFixture.h"

#include "app/LockSet.h"
#include "app/MainViewRoutes.h"
#include "app/MultiRoutePageListener.h"
#include "app/NaviApp.h"
#include "app/RecentDestList.h"
#include "app/RouteInfoDlg.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/sound/Sound.h"
#include "position/GuideManager.h"
#include "route/base/Coords.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviRouteBars.h"
#include "skinui/main/NaviRouteResult.h"
#include "tools/mkdevice/Networks.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <algorithm>
#include <string>
#include <vector>

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

POINT At(double east, double north) {
    const mkdev::NetPoint n = mkdev::KmToNet(45720000, 13470000, east, north);
    std::int32_t x = 0, y = 0;
    NetToMapCoord(n.x, n.y, x, y);
    return POINT{x, y};
}

// Screen points of the page's controls: the page's panel stands at (12, 126).
const char* const kTapKind[5] = {"", "tap 32 209\n", "tap 123 209\n", "tap 32 234\n", "tap 123 234\n"};
constexpr const char* kTapStart = "tap 69 276\n";
constexpr const char* kTapCancel = "tap 170 276\n";

class MainViewMultiRouteTest : public MainViewTest {
protected:
    void SetUp() override {
        MainViewTest::SetUp();
        Open();
        m_view->CreatePositionServices();
        ASSERT_TRUE(m_view->OpenRouteData(kDataFolder));
        m_view->LoadGuidanceData(kDataFolder);
        navi::g_recentDestPath = CRecentDestList::FilePath(navi::g_deviceType, *m_config);
        routes_dialogs::SetRouteInfoRunner([](CRouteInfoDlg&) { return 6; });
        m_recorder = std::make_shared<SoundRecorder>();
        SoundSetOutput(m_recorder);
    }
    void TearDown() override {
        SoundSetOutput(nullptr);
        // The shared sample keeps its multi-route ticks cleared for the next test.
        const std::int32_t none[4] = {0, 0, 0, 0};
        m_config->SetMultiRouteOptions(none);
        m_config->SaveSettings(-1);
        navi::g_recentDestPath = CString();
        CRecentDestList::Instance().Clear();
        routes_dialogs::SetRouteInfoRunner(nullptr);
        CMultiRoutePageListener::SetPageRunner(nullptr);
        MainViewTest::TearDown();
    }
    CRouteManager& Routes() { return m_view->GetRouteManager(); }

    // A route of the given kind between two places of the sample, found as the route search does.
    void FindRoute(int kind) {
        const POINT s = At(10.6, 10.3), g = At(13.6, 12.7);
        ASSERT_GE(Routes().SetStart(s.x, s.y, u"출발"), 1);
        ASSERT_GE(Routes().SetGoal(g.x, g.y, u"도착"), 1);
        Routes().SetRouteKind(kind);
        ASSERT_TRUE(m_view->RunRouteSearch(false));
        ASSERT_EQ(Routes().GetRouteCount(), 1);
        ASSERT_EQ(m_view->CurrentRouteKind(), kind);
        // The search's own announcement is over before the multi-route search begins.
        SoundReset();
        SoundSetOutput(m_recorder);
        m_recorder->Take();
    }
    // The hosted run of "다중탐색" with a script of taps.
    HostedRun MultiSearch(const std::string& taps) {
        return RunHosted(s_device->root, "wait 100\n" + taps + "wait 50\n", [&] {
            m_view->SearchMultiRoute();
            return 0;
        });
    }
    std::vector<int> ResultKinds() {
        std::vector<int> kinds;
        for (int i = 0; i < Routes().GetRouteCount(); ++i) kinds.push_back(Routes().Result(i)->header->kind);
        return kinds;
    }
    NaviRouteResult& Panel() {
        return *dynamic_cast<NaviRouteResult*>(m_view->GetMainScreen()->FindControl(u"다중탐색"));
    }
    std::vector<std::int32_t> SavedTicks() {
        CNaviConfig saved;
        saved.Load(kDataFolder);
        std::int32_t flags[4] = {};
        saved.GetMultiRouteOptions(flags);
        return {flags[0], flags[1], flags[2], flags[3]};
    }
    // Message 17 was played once among the clips of the run (taps click too).
    bool PlayedMessage17Once() {
        const std::vector<SoundClip> played = m_recorder->Take();
        SoundReset();
        SoundSetOutput(m_recorder);
        m_view->GetGuideManager()->Voice().PlayMessage(17);
        const std::vector<SoundClip> expected = m_recorder->Take();
        if (expected.size() != 1u) return false;
        const auto hash = SoundHash(expected[0].image);
        return std::count_if(played.begin(), played.end(),
                             [&](const SoundClip& c) { return SoundHash(c.image) == hash; }) == 1;
    }
    std::shared_ptr<SoundRecorder> m_recorder;
};

// With only the current kind ticked the search starts nothing, yet says its message, keeps the
// ticks and counts as run. (The page is answered here without taps: a tap's click would still be
// sounding when the message comes.)
TEST_F(MainViewMultiRouteTest, OnlyTheCurrentKindRunsNoSearchButAnnouncesAndSaves) {
    FindRoute(1);
    CMultiRoutePageListener::SetPageRunner([](CMultiRoutePageListener& page) {
        NaviCommand start;
        start.target = u"탐색시작";
        start.id = kCmdTapped;
        page.ProcessEvent(start);
    });
    EXPECT_EQ(m_view->ShowMultiRoutePage(0), 1);
    EXPECT_EQ(ResultKinds(), (std::vector<int>{1}));
    EXPECT_TRUE(PlayedMessage17Once());
    EXPECT_EQ(SavedTicks(), (std::vector<std::int32_t>{1, 0, 0, 0}));
    EXPECT_TRUE(Panel().IsShown());

    // The same on the page itself, tapped.
    const HostedRun run = RunHosted(s_device->root, std::string("wait 100\n") + kTapStart + "wait 50\n", [&] {
        CMultiRoutePageListener::SetPageRunner(nullptr);
        return m_view->ShowMultiRoutePage(0);
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(ResultKinds(), (std::vector<int>{1}));
}

// Ticking kind 3 beside the current kind 1 searches once more with option 3; the main screen gets
// the row of route 3 with its flag, and the current route stays selected.
TEST_F(MainViewMultiRouteTest, AnotherKindIsSearchedAndShownBesideTheCurrentOne) {
    FindRoute(1);
    // The extra route is flagged as one that weighs traffic.
    Routes().SetUseTraffic(1);
    const HostedRun run = MultiSearch(std::string(kTapKind[3]) + kTapStart);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.msgboxLog, "");
    ASSERT_EQ(ResultKinds(), (std::vector<int>{1, 3}));
    const CRoute& third = *Routes().Result(1);
    EXPECT_EQ(Panel().GetDistanceText(3), NaviRouteResult::FormatDistance(third.path->TotalLength()));
    EXPECT_EQ(Panel().GetTimeText(3), NaviRouteResult::FormatTime(third.path->TotalTime()));
    EXPECT_EQ(Panel().GetRouteFlag(3), 1);
    EXPECT_EQ(Panel().GetDisplayOrder()[0], 1);
    EXPECT_EQ(Panel().GetDisplayOrder()[1], 3);
    // The current route is selected again and announced last.
    EXPECT_EQ(Routes().SelectedIndex(), 0);
    EXPECT_EQ(Panel().GetSelectedRoute(), 1);
    EXPECT_EQ(SavedTicks(), (std::vector<std::int32_t>{1, 0, 1, 0}));
    EXPECT_FALSE(m_view->GetLockSet()->IsLocked(-1));
    EXPECT_TRUE(m_view->GetMainScreen()->IsRouteResultMode());
}

// A kind whose search fails is left out without a message; the next kind is still searched.
TEST_F(MainViewMultiRouteTest, AFailingKindIsSkipped) {
    FindRoute(1);
    // The engine the next search uses gives up at once; a failed search makes a fresh one.
    Routes().Engine()->SetLimitsForTest(1, 1);
    const HostedRun run = MultiSearch(std::string(kTapKind[2]) + kTapKind[3] + kTapStart);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.msgboxLog, "");
    EXPECT_EQ(ResultKinds(), (std::vector<int>{1, 3}));
    EXPECT_EQ(Panel().GetDistanceText(2), CString());
    EXPECT_EQ(SavedTicks(), (std::vector<std::int32_t>{1, 1, 1, 0}));
}

// "취소" searches nothing, leaves route-result mode, rebuilds the waypoint bar from the route's
// waypoints and releases the lock set.
TEST_F(MainViewMultiRouteTest, CancelRestoresTheMainScreenAndTheWaypointBar) {
    const POINT via = At(12.1, 11.8);
    ASSERT_GE(Routes().InsertWaypoint(via.x, via.y, u"경유", 0), 1);
    FindRoute(1);
    auto* bar = dynamic_cast<NaviWaypointBar*>(m_view->GetMainScreen()->FindControl(u"경유지설정"));
    ASSERT_NE(bar, nullptr);
    const HostedRun run = MultiSearch(std::string(kTapKind[3]) + kTapCancel);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(ResultKinds(), (std::vector<int>{1}));
    EXPECT_FALSE(m_view->GetMainScreen()->IsRouteResultMode());
    EXPECT_EQ(bar->GetCount(), 1);
    EXPECT_FALSE(PlayedMessage17Once());
    EXPECT_FALSE(m_view->GetLockSet()->IsLocked(-1));
    // Nothing was searched: the ticks stay as they were stored.
    EXPECT_EQ(SavedTicks(), (std::vector<std::int32_t>{0, 0, 0, 0}));
}

// A held lock set refuses the search with its notice; a re-search running refuses with its own.
TEST_F(MainViewMultiRouteTest, RefusalsLeaveTheLockSetAsItWas) {
    FindRoute(1);
    std::vector<std::u16string> shown;
    WinSetMessageBoxHandler([&](HWND, const std::u16string& text, const std::u16string&, UINT) {
        shown.push_back(text);
        return IDOK;
    });
    int pages = 0;
    CMultiRoutePageListener::SetPageRunner([&](CMultiRoutePageListener&) { ++pages; });
    ASSERT_TRUE(m_view->GetLockSet()->Lock(1, 10));
    m_view->SearchMultiRoute();
    EXPECT_TRUE(m_view->GetLockSet()->IsLocked(1));
    m_view->GetLockSet()->Unlock(1);
    m_view->SetResearchRunning(true);
    m_view->SearchMultiRoute();
    m_view->SetResearchRunning(false);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"추가경로 탐색을 할 수 없습니다. 재시도 해 주십시요",
                                                  u"재탐색 실행 중입니다."}));
    // Left without starting, the page still gives the whole set back.
    m_view->SearchMultiRoute();
    EXPECT_EQ(pages, 1);
    EXPECT_FALSE(m_view->GetLockSet()->IsLocked(-1));
    WinSetMessageBoxHandler(nullptr);
}

// The page's listener: the current kind is ticked and cannot be unticked; a kind outside 1 to 4 is
// no current kind; the buttons decide whether to start.
TEST(MultiRoutePageListenerTest, TicksAndButtons) {
    struct Case {
        int current;
        std::vector<std::int32_t> stored;
        std::vector<std::pair<const char16_t*, int>> events;
        std::vector<std::int32_t> flags;
        bool started;
    };
    const std::vector<Case> cases = {
        {2, {0, 0, 0, 0}, {{u"탐색시작", -1}}, {0, 1, 0, 0}, true},
        {2,
         {1, 1, 0, 0},
         {{u"추천경로", 0}, {u"고속우선", 0}, {u"일반단거리(2)", 1}, {u"예", -1}},
         {0, 1, 0, 1},
         true},
        {0, {0, 0, 0, 0}, {{u"고속우선", 1}, {u"취소", -1}}, {1, 0, 0, 0}, false},
        {5, {0, 0, 1, 0}, {{u"탐색시작", -1}, {u"아니요", -1}}, {0, 0, 1, 0}, false},
        {-1, {0, 0, 0, 0}, {{u"일반추천(1)", 7}}, {0, 0, 1, 0}, false},
    };
    for (const Case& c : cases) {
        CMultiRoutePageListener page(nullptr, c.stored.data(), c.current);
        for (const auto& [sender, value] : c.events) {
            NaviCommand cmd;
            cmd.target = sender;
            cmd.id = kCmdTapped;
            cmd.param1 = value;
            page.ProcessEvent(cmd);
        }
        std::int32_t flags[4] = {};
        page.GetFlags(flags);
        EXPECT_EQ(std::vector<std::int32_t>(flags, flags + 4), c.flags) << "current " << c.current;
        EXPECT_EQ(page.Started(), c.started) << "current " << c.current;
    }
}

} // namespace
