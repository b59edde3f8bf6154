// The main view's event line, the deletion of the announced safe-driving section, moves by Dorva
// code and the hand-over file, on the sample device (message boxes and the Dorva dialog under the
// headless host). The Dorva dialog's screen: keypad "1" to "9" at (16 + 55c, 157 + 32r), "0" at
// (16, 253), "Clear" at (181, 253); "위치보기" on the row at y 102-129 (x 13-109); "이전" and
// "현위치" at the top; the three fields at y 64-85.
#include "MainViewFixture.h"

#include "app/SafePointList.h"
#include "commondlg/NaviMessageBox.h"
#include "position/GuideRecords.h"
#include "platform/window/AfxControls.h"
#include "skinui/controls/NaviEventText.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/main/NaviMainScreen.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <filesystem>

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

std::string Key(char digit) {
    if (digit == '0') return "tap 42 268\n";
    const int d = digit - '1';
    return "tap " + std::to_string(42 + 55 * (d % 3)) + " " + std::to_string(172 + 32 * (d / 3)) + "\n";
}
std::string Keys(const std::string& digits) {
    std::string s;
    for (char c : digits) s += Key(c);
    return s;
}
const std::string kClear = "tap 202 268\n";
const std::string kShow = "tap 60 115\n";
const std::string kBack = "tap 175 18\n";
const std::string kHere = "tap 217 18\n";
const std::string kFieldDigits = "tap 187 74\n";

class MainViewEventsTest : public MainViewTest {
protected:
    NaviEventText* EventText() {
        return dynamic_cast<NaviEventText*>(m_view->GetMainScreen()->FindControl(u"EventString"));
    }
    NaviSafeZoneMark* Mark() {
        return dynamic_cast<NaviSafeZoneMark*>(m_view->GetMainScreen()->FindControl(u"SafeZone"));
    }
    // Setting n as config.bin holds it (format mark, then the 200 settings).
    std::int32_t StoredSetting(int n) {
        const std::vector<std::uint8_t> bytes = ReadCe(m_config->GetItemPath(u"환경설정", -1).Str());
        if (bytes.size() < 1004) return -999;
        return static_cast<std::int32_t>(U32(bytes.data() + 4 + 4 * n));
    }
    HostedRun Hosted(const std::string& script, const std::function<void()>& body) {
        return RunHosted(s_device->root, script, [&] {
            body();
            return 0;
        });
    }
};

TEST_F(MainViewEventsTest, TheEventLineCyclesThroughFiveKindsAndKeepsTheModeInSetting42) {
    Open();
    struct Case {
        int from;
        int to;
        const char16_t* label;
    };
    const Case cases[] = {
        {1, 2, u"[경위도]"},
        {2, 3, u"[차량운행정보]"},
        {3, 4, u"[도로정보]"},
        {4, 5, u"[DORVA]"},
        {5, 1, u"[행정구역]"},
        // Values config.bin may hold but no mode has: the line starts again at 1.
        {0, 1, u"[행정구역]"},
        {6, 1, u"[행정구역]"},
        {-3, 1, u"[행정구역]"},
        {32767, 1, u"[행정구역]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        m_view->SetEventMode(c.from);
        m_view->NextEventString();
        ASSERT_NE(EventText(), nullptr);
        EXPECT_EQ(EventText()->GetText(), CString(c.label));
        EXPECT_EQ(EventText()->GetHoldCount(), 2); // id 112: kept over the next two redraws
        EXPECT_EQ(m_config->GetValue(42), c.to);
        EXPECT_EQ(StoredSetting(42), c.to);
    }
}

TEST_F(MainViewEventsTest, RefusingTheSafeZoneQuestionChangesNothingAndYesSwitchesThePointOff) {
    Open();
    CSafePointList& removed = CSafePointList::Removed();
    removed.Clear();
    removed.SetMode(1);
    const std::string file = DeviceRoot::Resolve(m_config->GetItemPath(u"안전운행지점(지운것)", -1).Str());
    std::filesystem::remove(file);
    ASSERT_NE(Mark(), nullptr);
    // A close section alert (kind 2 within 100 m blinks) at network 45761782, 13504989, heading
    // 90, limit 60 at 50 m.
    Mark()->SetAlert(45761782, 13504989, 60, 50, 2, 90, 7, 3, 0);
    m_view->SetSafeZoneKind(2);
    ASSERT_EQ(Mark()->GetBlinkLimit(), 5);
    const std::string question = "안전운행 구간을 삭제 하시겠습니까?\t3000\t";

    HostedRun run = Hosted("answer no\n", [&] { m_view->DeleteSafeZoneSection(); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find(question + "4002"), std::string::npos) << run.msgboxLog;
    EXPECT_EQ(removed.GetCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(m_view->GetSafeZoneKind(), 2);
    EXPECT_EQ(Mark()->GetBlinkLimit(), 5);

    run = Hosted("answer yes\n", [&] { m_view->DeleteSafeZoneSection(); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find(question + "4001"), std::string::npos) << run.msgboxLog;
    ASSERT_EQ(removed.GetCount(), 1);
    const CSafePointRecord* point = removed.GetAt(0);
    // 45761782 / 100 s = 127° 06' 57", 13504989 = 37° 30' 49".
    EXPECT_STREQ(point->name, "E1270657 N373049");
    EXPECT_EQ(point->x, 45761782);
    EXPECT_EQ(point->y, 13504989);
    EXPECT_EQ(point->values[0], 2);  // kind
    EXPECT_EQ(point->values[1], 90); // heading
    EXPECT_EQ(point->values[2], 7);
    // Saved: the count and one 36-byte record.
    EXPECT_EQ(std::filesystem::file_size(file), 4u + 36u);
    EXPECT_EQ(m_view->GetSafeZoneKind(), 0);
    EXPECT_EQ(Mark()->GetBlinkLimit(), 0);
    EXPECT_EQ(Mark()->GetBlinkCounter(), -1);
}

// The guide point ahead as the per-fix work gives it to the sign: the deletion switches off that
// point, with the kind and heading guidance matches switched-off points by.
TEST_F(MainViewEventsTest, TheSignAFixSetsIsDeletedAtItsPoint) {
    Open();
    CSafePointList& removed = CSafePointList::Removed();
    removed.Clear();
    removed.SetMode(1);
    ASSERT_NE(Mark(), nullptr);
    GuidePointNotice ahead;
    ahead.x = 45761782;
    ahead.y = 13504989;
    ahead.directionMode = 1;
    ahead.heading = 270;
    ahead.type = 3;
    ahead.speedLimit = 60;
    ahead.distance = 80;
    ahead.index = 12;
    ahead.level = 2;
    ahead.value = 5;
    m_view->SetSafeZoneKind(CMainView::ShowSafeZoneAlert(*Mark(), ahead, 1));
    EXPECT_EQ(m_view->GetSafeZoneKind(), 3);
    EXPECT_EQ(Mark()->GetBlinkLimit(), 5); // kind 3 within 100 m blinks

    const HostedRun run = Hosted("answer yes\n", [&] { m_view->DeleteSafeZoneSection(); });
    ASSERT_FALSE(run.failed) << run.failure;
    ASSERT_EQ(removed.GetCount(), 1);
    const CSafePointRecord* point = removed.GetAt(0);
    EXPECT_STREQ(point->name, "E1270657 N373049");
    EXPECT_EQ(point->x, 45761782);
    EXPECT_EQ(point->y, 13504989);
    EXPECT_EQ(point->values[0], 3);   // kind
    EXPECT_EQ(point->values[1], 270); // heading
    EXPECT_EQ(m_view->GetSafeZoneKind(), 0);
    removed.Clear();

    // The point passed, none ahead: the sign keeps the old point's values but shows no alert,
    // and a tap deletes nothing.
    m_view->SetSafeZoneKind(CMainView::ShowSafeZoneAlert(*Mark(), ahead, 1));
    m_view->SetSafeZoneKind(CMainView::ShowSafeZoneAlert(*Mark(), GuidePointNotice{}, 1));
    EXPECT_EQ(m_view->GetSafeZoneKind(), 0);
    const HostedRun after = Hosted("wait 10\n", [&] { m_view->DeleteSafeZoneSection(); });
    ASSERT_FALSE(after.failed) << after.failure;
    EXPECT_EQ(after.msgboxLog, "");
    EXPECT_EQ(removed.GetCount(), 0);
}

TEST_F(MainViewEventsTest, WithoutAnAlertNothingIsAsked) {
    Open();
    CSafePointList::Removed().Clear();
    const HostedRun run = Hosted("wait 10\n", [&] { m_view->DeleteSafeZoneSection(); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.msgboxLog, "");
    EXPECT_EQ(CSafePointList::Removed().GetCount(), 0);
}

TEST_F(MainViewEventsTest, ADorvaMoveRemembersTheCodeAndAnOutsideCodeOrACancelKeepsIt) {
    Open();
    m_view->SetFollowing(true);
    // "000-000-3606": shown on the map ("위치보기"), a map move (kind 4).
    HostedRun run = Hosted(Keys("0000003606") + kShow, [&] { m_view->MoveByDorvaCode(false); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.msgboxLog, "");
    CString texts[3];
    CMainView::GetDorvaCodeTexts(texts);
    EXPECT_EQ(texts[0], CString(u"000"));
    EXPECT_EQ(texts[1], CString(u"000"));
    EXPECT_EQ(texts[2], CString(u"3606"));
    EXPECT_EQ(m_view->GetLastSearchName(), CString(u"도르바이동"));
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_EQ(m_view->GetAutoReturn(), 0); // counting towards the vehicle again
    EXPECT_EQ(m_view->GetPointPickMode(), CMainView::kPickMove);

    // "000-000-9000" lies east of the map: the dialog says so and stays; "이전" then leaves the
    // remembered code as it was.
    const std::string outside = AfxLoadString(211).ToUtf8() + "\t3001";
    run = Hosted("answer ok\n" + kFieldDigits + kClear + Keys("9000") + kShow + kBack,
                 [&] { m_view->MoveByDorvaCode(false); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find(outside), std::string::npos) << run.msgboxLog;
    CMainView::GetDorvaCodeTexts(texts);
    EXPECT_EQ(texts[2], CString(u"3606"));
    EXPECT_FALSE(m_view->GetRouteManager().HasGoal());

    // "현위치" goes back to the vehicle.
    run = Hosted(kHere, [&] { m_view->MoveByDorvaCode(false); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_TRUE(m_view->IsFollowing());
}

TEST_F(MainViewEventsTest, AHandOverIsTakenAtTheNextActivationAndTheFileDeleted) {
    Open();
    const std::string file = DeviceRoot::Resolve(u"\\windows\\Velko.wp");
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << "100000 200000";
    m_view->OnActivateView(FALSE, m_view, m_view);
    EXPECT_TRUE(std::filesystem::exists(file)); // going to the back takes nothing
    EXPECT_EQ(m_view->GetHandoverPoint().x, -1);
    m_view->OnActivateView(TRUE, m_view, m_view);
    EXPECT_FALSE(std::filesystem::exists(file));
    // x 100000 x 1.2, y as it is.
    EXPECT_EQ(m_view->GetHandoverPoint().x, 120000);
    EXPECT_EQ(m_view->GetHandoverPoint().y, 200000);
    // The map stands there.
    std::int32_t cx = 0, cy = 0;
    m_view->GetMapWnd().GetCenter(cx, cy);
    EXPECT_EQ(cx, 120000);
    EXPECT_EQ(cy, 200000);
    EXPECT_EQ(m_doc->mapX, 120000);
    EXPECT_EQ(m_doc->mapY, 200000);
    // Nothing to take the next time; an unusable file is deleted all the same.
    std::ofstream(file, std::ios::binary) << "1000002000";
    EXPECT_EQ(m_view->ReadHandoverFile(), 1);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(m_view->ReadHandoverFile(), 1);
    EXPECT_EQ(m_view->GetHandoverPoint().x, 120000);
}

} // namespace
