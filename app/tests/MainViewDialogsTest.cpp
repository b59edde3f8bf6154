// The view's dialog commands on the sample device, run as the user meets them: the volume window,
// the program information, the start-up warning, the point-of-interest bar's detail screen in the
// basic menu, the safe-driving points shown on the map, and the nearby-facility markers the search
// screens hand over.
#include "MainViewFixture.h"

#include "app/PositionStore.h"
#include "app/SafePointList.h"
#include "app/VolumeDlg.h"
#include "app/WarningDlg.h"
#include "platform/sound/Sound.h"
#include "search/CSearchManager.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/main/NaviPoiBar.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviRouteBars.h"
#include "app/tests/DialogTestSupport.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

constexpr int kBasicMenu = 2004;

class MainViewDialogsTest : public MainViewTest {
protected:
    void TearDown() override {
        CMainView::Runners() = CMainView::SearchRunners();
        CSafePointList::Added().Clear();
        SoundReset();
        MainViewTest::TearDown();
    }
    NaviRouteSearchBar& ToolBar() {
        return *dynamic_cast<NaviRouteSearchBar*>(m_view->GetMainScreen()->FindControl(u"ToolBar"));
    }
    // The tool bar in guidance state, so that the command 100 a shown point sends is seen.
    void ToolBarGuiding() {
        NaviCommand guiding;
        guiding.target = kTargetMain;
        guiding.id = kCmdRouteGuiding;
        m_view->GetMainScreen()->ProcessCommand(guiding);
        ASSERT_EQ(ToolBar().GetState(), kCmdRouteGuiding);
    }
};

// The volume window is made with the skinned interface, placed for the menu mode (2004: at
// (111, 12)) and sets the device's volume; "Mute" switches the sound off through it.
TEST_F(MainViewDialogsTest, TheVolumeWindowSetsTheLevelAndMuteGoesThroughIt) {
    Open();
    ASSERT_TRUE(m_view->HasVolumeWindow());
    m_view->GetMainScreen()->SetMode(kBasicMenu);
    waveOutSetVolume(nullptr, 0x8000);
    // "3단계" at (160, 100) and "닫기" at (160, 235) of the window at (111, 12).
    const HostedRun run =
        RunHosted(s_device->root, "wait 300\ntap 160 100\nwait 100\ntap 160 235\nwait 100\n", [&] {
            m_view->ShowVolumeWindow();
            return 0;
        });
    ASSERT_FALSE(run.failed) << run.failure;
    // Level 3 is 60 %: 0.6 x 65535 = 39321 in the low word, which reads back as 60 %.
    EXPECT_EQ(SoundLastVolumeWord(), 39321u);
    EXPECT_EQ(CVolumeDlg::GetWaveVolume(), 60);
    m_view->ToggleMute();
    EXPECT_TRUE(m_view->GetVolumeWindow()->IsMuted());
    EXPECT_EQ(CVolumeDlg::GetWaveVolume(), 0);
    m_view->ToggleMute();
    EXPECT_FALSE(m_view->GetVolumeWindow()->IsMuted());
    EXPECT_EQ(CVolumeDlg::GetWaveVolume(), 60);
}

// The start-up warning covers the screen; taps beside its button change nothing, its button
// removes it at pen-up, and it is shown once per run.
class StartupWarningTest : public MainViewDialogsTest {
protected:
    // The warning shown, then the view's message loop until the script ends.
    HostedRun ShowWarning(const std::string& taps) {
        return RunHosted(s_device->root, "wait 100\n" + taps + "wait 50\n", [&] {
            m_view->ShowStartupWarning();
            warning = m_view->GetWarningDialog();
            if (warning && warning->GetSafeHwnd()) warning->GetWindowRect(&rect);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            return 0;
        });
    }
    CWarningDlg* warning = nullptr;
    RECT rect{};
};

TEST_F(StartupWarningTest, TapsBesideTheButtonLeaveItInPlace) {
    Open();
    const HostedRun run = ShowWarning("tap 20 20\nwait 50\ntap 120 100\nwait 50\ntap 60 290\nwait 50\n");
    ASSERT_FALSE(run.failed) << run.failure;
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right - rect.left, 240);
    EXPECT_EQ(rect.bottom - rect.top, 320);
    EXPECT_NE(warning->GetSafeHwnd(), nullptr);
    EXPECT_FALSE(warning->IsConfirmed());
}

TEST_F(StartupWarningTest, ItsButtonRemovesItOnceAndForAll) {
    Open();
    // "확인" at (91, 230), 107 x 39.
    const HostedRun run = ShowWarning("tap 20 20\nwait 50\ntap 144 249\nwait 50\n");
    ASSERT_FALSE(run.failed) << run.failure;
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->GetSafeHwnd(), nullptr);
    EXPECT_TRUE(warning->IsConfirmed());
    // The map under it draws as before; a later activation shows nothing again.
    Compose();
    m_view->ShowStartupWarning();
    EXPECT_EQ(m_view->GetWarningDialog(), warning);
    EXPECT_EQ(warning->GetSafeHwnd(), nullptr);
}

// In the basic menu the bar's first entry opens "POIInfo"; its result 1 moves the map to the
// facility at step 8 and tells the main screen (command 100) under that name.
TEST_F(MainViewDialogsTest, APoiBarEntryShownInTheBasicMenuMovesTheMap) {
    Open();
    m_view->GetMainScreen()->SetMode(kBasicMenu);
    auto* bar = dynamic_cast<NaviPoiBar*>(m_view->GetMainScreen()->FindControl(u"POIBAR"));
    ASSERT_NE(bar, nullptr);
    MapFeatureInfo& entry = bar->Entry(0);
    entry.distance = 10;
    entry.x = 192000;
    entry.y = 530000;
    entry.number = 5;
    std::strcpy(entry.name, "poi");
    std::vector<CString> screens;
    CMainView::Runners().poi = [&](CSearchManager& m, _POI_RESULT_AUTO&) {
        screens.push_back(m.GetSearchName());
        return 1;
    };
    ToolBarGuiding();
    m_view->StartFollowing();
    m_view->OnPoiBarSelect(1);
    EXPECT_EQ(screens, (std::vector<CString>{u"POIInfo"}));
    std::int32_t x = 0, y = 0;
    m_view->GetMapWnd().GetCenter(x, y);
    EXPECT_EQ(x, 192000);
    EXPECT_EQ(y, 530000);
    EXPECT_EQ(m_view->GetMapLevel(), m_view->StepToLevel(8));
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_view->GetAutoReturn(), 0);
    EXPECT_EQ(ToolBar().GetState(), kCmdRouteIdle);
}

NaviCommand MenuCommand(const char16_t* name) {
    NaviCommand cmd;
    cmd.target = name;
    cmd.id = 0;
    return cmd;
}

// Through the menu: "안전운행관리" on the sample opens the safe-driving points; "위치보기" on the
// first registered point moves the map there and tells the main screen.
TEST_F(MainViewDialogsTest, ASafeDrivingPointShownFromTheMenuMovesTheMap) {
    ASSERT_TRUE(CSafePointList::Added().LoadFrom(m_config->GetItemPath(u"안전운행지점", -1).GetString()));
    Open();
    ToolBarGuiding();
    m_view->StartFollowing();
    const HostedRun run = RunHosted(s_device->root, "wait 100\ntap 122 264\nwait 50\n", [&] {
        NaviCommand cmd = MenuCommand(u"안전운행관리");
        m_view->ProcessEvent(cmd);
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.msgboxLog, "");
    // The first point: point-file x 160,000 (map x 192,000), y 530,000.
    std::int32_t x = 0, y = 0;
    m_view->GetMapWnd().GetCenter(x, y);
    EXPECT_EQ(x, 192000);
    EXPECT_EQ(y, 530000);
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"안전운행관리"));
    EXPECT_EQ(ToolBar().GetState(), kCmdRouteIdle);
}

// With both safe-driving lists empty the menu entry says so and restores the main screen.
TEST_F(MainViewDialogsTest, NoSafeDrivingPointsFromTheMenuSaySo) {
    Open();
    CSafePointList::Added().Clear();
    CSafePointList::Removed().Clear();
    ToolBarGuiding();
    const HostedRun run = RunHosted(s_device->root, "answer ok\nwait 50\n", [&] {
        NaviCommand cmd = MenuCommand(u"안전운행관리");
        m_view->ProcessEvent(cmd);
        return 0;
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(BoxTexts(run.msgboxLog), "등록/삭제된 안전운행 구간이 존재하지 않습니다.\t3001\t4001\n");
}

// Through the menu: "지점등록" opens the point registration for the map centre; "저장" stores it.
TEST_F(MainViewDialogsTest, ThePointRegisteredFromTheMenuIsTheMapCentre) {
    const std::string positionFile = DeviceRoot::Resolve(u"\\Storage Card\\VelkoData\\position");
    std::string kept;
    {
        std::ifstream in(positionFile, std::ios::binary);
        kept.assign(std::istreambuf_iterator<char>(in), {});
    }
    CPositionStore& store = CPositionStore::Instance();
    store.SetBaseFolder(m_config->GetItemPath(u"현재저장위치", -1));
    ASSERT_TRUE(store.Reload());
    Open();
    m_view->MoveMapTo(192000, 530000, 0);
    // The name the dialog proposes when no map label is near: the status line's.
    m_view->SetEventText(u"%s", u"시험지점");
    const int before = store.GetCount();
    // "저장" of the registration dialog at (185, 66).
    const HostedRun run = RunHosted(s_device->root, "wait 100\ntap 185 66\nwait 50\n", [&] {
        NaviCommand cmd = MenuCommand(u"지점등록");
        m_view->ProcessEvent(cmd);
        return 0;
    });
    const int after = store.GetCount();
    CPosRecord added{};
    if (CPosList* folder = store.GetFolder(u"기본"); folder && folder->GetCount() > 0)
        added = folder->GetAt(folder->GetCount() - 1)[0];
    std::ofstream(positionFile, std::ios::binary | std::ios::trunc) << kept;
    store.Reload();
    ASSERT_FALSE(run.failed) << run.failure;
    ASSERT_EQ(after, before + 1);
    // Map 192,000, 530,000 is network 45,720,000, 13,500,000.
    EXPECT_EQ(added.x, 45720000);
    EXPECT_EQ(added.y, 13500000);
}

// The markers the search screens hand over: added items belong to the view, SetItem copies into
// an existing one only, state 2 clears them at the next drawing, and what is left at teardown
// is freed with the view (the leak checker watches).
TEST_F(MainViewDialogsTest, MarkersAreCopiedClearedAndFreed) {
    Open();
    NaviMediator& mediator = *m_view;
    mediator.AddItem(new AroundFacilityItem(u"가", 100, 200, 3));
    mediator.AddItem(new AroundFacilityItem(u"나", 300, 400, 4));
    mediator.AddItem(nullptr);
    EXPECT_EQ(m_view->GetMarkerCount(), 2u);
    mediator.SetItem(1, AroundFacilityItem(u"다", 500, 600, 7));
    mediator.SetItem(2, AroundFacilityItem(u"없음", 1, 1, 1));
    mediator.SetItem(-1, AroundFacilityItem(u"없음", 1, 1, 1));
    EXPECT_EQ(m_view->GetMarkerCount(), 2u);
    mediator.SetState(2);
    EXPECT_EQ(m_view->GetMediatorState(), 2);
    Compose();
    EXPECT_EQ(m_view->GetMarkerCount(), 0u);
    mediator.SetState(1);
    mediator.AddItem(new AroundFacilityItem(u"라", 700, 800, 5));
    EXPECT_EQ(m_view->GetMarkerCount(), 1u);
}

} // namespace
