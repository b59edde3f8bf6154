// The GPS information window: the value texts, the values shown from a fix, the receiver settings
// panel with its questions, the GPS reset and the receiver search through a reader whose receivers
// sit on pseudo-terminals, the hidden gesture, and popup commands with no popup open.
#include "app/CGpsInfoDlg.h"

#include "config/NaviConfig.h"
#include "platform/window/WindowHost.h"
#include "position/tests/WorkerHarness.h"
#include "skinui/NaviImageCtrl.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckBox.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/controls/NaviSkyView.h"
#include "skinui/screens/NaviControlTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <string>
#include <thread>
#include <vector>

namespace {

const char16_t kData[] = u"Storage Card\\MapData";

TEST(GpsInfoTexts, ValuesAsTheWindowShowsThem) {
    EXPECT_EQ(CGpsInfoDlg::SpeedText(1234), CString(u"123km/h"));
    EXPECT_EQ(CGpsInfoDlg::SpeedText(-1), CString(u"0km/h"));
    EXPECT_EQ(CGpsInfoDlg::SpeedText(0), CString(u"0km/h"));
    EXPECT_EQ(CGpsInfoDlg::AltitudeText(1234), CString(u"123m"));
    EXPECT_EQ(CGpsInfoDlg::AltitudeText(-50), CString(u"0m"));
    EXPECT_EQ(CGpsInfoDlg::TimeText(20, 15, 0), CString(u"05:15:00"));
    EXPECT_EQ(CGpsInfoDlg::TimeText(14, 59, 7), CString(u"23:59:07"));
    EXPECT_EQ(CGpsInfoDlg::TimeText(15, 0, 0), CString(u"00:00:00"));
    // 45,735,368 hundredths of a second: 127 x 360,000 + 2 x 6,000 + 33 x 100 + 68.
    EXPECT_EQ(CGpsInfoDlg::LongitudeText(45735368), CString(u"동경 127:02:33.68"));
    // 13,536,388: 37 x 360,000 + 36 x 6,000 + 3 x 100 + 88.
    EXPECT_EQ(CGpsInfoDlg::LatitudeText(13536388), CString(u"북위 37:36:03.88"));
    EXPECT_EQ(CGpsInfoDlg::LongitudeText(0), CString(u"동경 000:00:00.00"));
    // Under one degree: the numbers show as zeros.
    EXPECT_EQ(CGpsInfoDlg::LatitudeText(359999), CString(u"북위 00:00:00.00"));
    const char16_t* links[] = {u"시리얼 포트를 사용할 수 없습니다.", u"시리얼 포트가 정상 동작 중 입니다.",
                               u"GPS 수신기 연결상태를 확인하세요.", u"GPS 데이터를 수신 중입니다."};
    for (int state = 0; state < 4; ++state) EXPECT_EQ(CGpsInfoDlg::LinkStateText(state), CString(links[state]));
    EXPECT_EQ(CGpsInfoDlg::LinkStateText(4), CString());
}

template <class T>
T* Find(NaviPanel* panel, const char16_t* name) {
    T* found = nullptr;
    WalkControls(panel, [&](const CString&, NaviControl* c) {
        if (auto* t = dynamic_cast<T*>(c); t && c->GetName() == CString(name)) found = t;
    });
    return found;
}

// The window on a bare builder (no skin archive), its configuration on a throw-away root; message
// boxes answered from a queue and logged.
class InfoFixture {
public:
    InfoFixture() {
        m_config.SetDeviceType(0);
        m_config.Load(kData);
        m_config.SetValue(28, 1);
        m_config.SetValue(29, 2);
        m_config.SetValue(30, 3);
        m_config.SetValue(31, 0);
        m_config.SetValue(32, 0);
        m_builder.SetDeviceType(0);
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            asked.push_back(text);
            if (answers.empty()) return IDNO;
            const int a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~InfoFixture() {
        dlg.reset();
        WinSetMessageBoxHandler(nullptr);
        WinResetForTests();
    }
    void Open(const char16_t* screen = u"GPS 천공도(Button3)") {
        dlg = std::make_unique<CGpsInfoDlg>(&m_config);
        dlg->SetRcBuilder(&m_builder);
        dlg->SetPanelName(screen);
        dlg->SetApplyHandler([this] { ++applied; });
        dlg->SetClosedHandler([this] { ++closed; });
        ASSERT_TRUE(dlg->Open(nullptr));
    }
    // A control's report, as the panel passes it on.
    void Event(const char16_t* target, int id, int value = -1) {
        NaviCommand cmd;
        cmd.target = target;
        cmd.id = id;
        cmd.param1 = value;
        dlg->ProcessEvent(cmd);
    }
    void Tap(const char16_t* target, int value = -1) { Event(target, kCmdTapped, value); }
    NaviPanel* Panel() { return dlg->GetPanel(); }

    CNaviConfig m_config;
    NaviRcBuilder m_builder;
    std::unique_ptr<CGpsInfoDlg> dlg;
    std::deque<int> answers;
    std::vector<std::u16string> asked;
    int applied = 0;
    int closed = 0;
};

class GpsInfoDlgTest : public ::testing::Test {
protected:
    TempRoot m_root;
    InfoFixture f;
};

TEST_F(GpsInfoDlgTest, ShowsTheFixAndHidesTheChartWithoutOne) {
    f.Open();
    EXPECT_TRUE(f.dlg->IsOpen());
    EXPECT_EQ(f.dlg->ShownText(u"시리얼포트상태"), CString(u"시리얼 포트가 정상 동작 중 입니다.")); // state 1 at start
    GpsSatRecord sats;
    sats.inView = 1;
    sats.elevations[0] = 45;
    sats.azimuths[0] = 180;
    GpsPosRecord fix;
    fix.speed = 1234;
    fix.altitude = 1234;
    fix.hour = 20;
    fix.minute = 15;
    fix.hdop = 1.25;
    fix.longitude = 45735368;
    fix.latitude = 13536388;
    f.dlg->SetGpsData(sats, fix);
    f.dlg->SetLinkState(CGpsInfoDlg::kReceiving);
    f.dlg->SetSignalQuality(130);
    WinDispatchPending(); // the posted repaint
    EXPECT_EQ(f.dlg->ShownText(u"속도"), CString(u"123km/h"));
    EXPECT_EQ(f.dlg->ShownText(u"고도"), CString(u"123m"));
    EXPECT_EQ(f.dlg->ShownText(u"시간"), CString(u"05:15:00"));
    EXPECT_EQ(f.dlg->ShownText(u"HDOP"), CString(u"1.2"));
    EXPECT_EQ(f.dlg->ShownText(u"동경"), CString(u"동경 127:02:33.68"));
    EXPECT_EQ(f.dlg->ShownText(u"북위"), CString(u"북위 37:36:03.88"));
    EXPECT_EQ(f.dlg->ShownText(u"시리얼포트상태"), CString(u"GPS 데이터를 수신 중입니다."));
    EXPECT_EQ(f.dlg->GetSignalQuality(), 100);
    ASSERT_NE(f.dlg->GetQualityBar(), nullptr);
    EXPECT_EQ(f.dlg->GetQualityBar()->GetValue(), 100);
    ASSERT_NE(f.dlg->GetSkyView(), nullptr);
    EXPECT_TRUE(f.dlg->GetSkyView()->IsVisible());
    // A speed the record carries past the signed range, and no position.
    fix.speed = 0xFFF0;
    fix.longitude = 0;
    f.dlg->SetGpsData(sats, fix);
    f.dlg->SetSignalQuality(-3);
    WinDispatchPending();
    EXPECT_EQ(f.dlg->ShownText(u"속도"), CString(u"0km/h"));
    EXPECT_EQ(f.dlg->ShownText(u"동경"), CString(u"동경 000:00:00.00"));
    EXPECT_FALSE(f.dlg->GetSkyView()->IsVisible());
    EXPECT_EQ(f.dlg->GetQualityBar()->GetValue(), 0);
    f.dlg->Close();
    EXPECT_FALSE(f.dlg->IsOpen());
    EXPECT_EQ(f.dlg->GetSkyView(), nullptr);
}

TEST_F(GpsInfoDlgTest, TheSettingsPanelAsksOnlyAfterAChangeAndSavesOnYes) {
    f.Open();
    // The controls took the stored values.
    EXPECT_EQ(Find<NaviRadioGroup>(f.Panel(), u"수신좌표계그룹")->GetSelectedIndex(), 1);
    EXPECT_EQ(Find<NaviComboBox>(f.Panel(), u"Port설정")->GetSelected(), 2);
    EXPECT_EQ(Find<NaviComboBox>(f.Panel(), u"BaudRate설정")->GetSelected(), 3);
    // Leaving without a change asks nothing.
    f.Tap(u"재설정");
    EXPECT_TRUE(f.dlg->IsSettingsPanelShown());
    f.Tap(u"확 인");
    EXPECT_TRUE(f.asked.empty());
    EXPECT_FALSE(f.dlg->IsSettingsPanelShown());
    EXPECT_EQ(f.applied, 0);
    // A change answered no: the controls are reloaded from the configuration.
    f.Tap(u"재설정");
    f.Tap(u"Port설정", 5);
    f.answers = {IDNO};
    f.Tap(u"확 인");
    ASSERT_EQ(f.asked.size(), 1u);
    EXPECT_EQ(f.asked[0], u"변경사항을 적용하시겠습니까?");
    EXPECT_EQ(f.m_config.GetValue(29), 2);
    EXPECT_EQ(Find<NaviComboBox>(f.Panel(), u"Port설정")->GetSelected(), 2);
    EXPECT_EQ(f.applied, 0);
    // Yes saves 28-32 and asks the view to reconfigure.
    f.Tap(u"재설정");
    f.Tap(u"수신좌표계그룹", 0);
    f.Tap(u"Port설정", 4);
    f.Tap(u"BaudRate설정", 1);
    f.answers = {IDYES};
    f.Tap(u"확 인");
    EXPECT_EQ(f.applied, 1);
    CNaviConfig saved;
    saved.SetDeviceType(0);
    saved.Load(kData);
    EXPECT_EQ(saved.GetValue(28), 0);
    EXPECT_EQ(saved.GetValue(29), 4);
    EXPECT_EQ(saved.GetValue(30), 1);
    EXPECT_EQ(saved.GetValue(31), 0);
    EXPECT_EQ(saved.GetValue(32), 0);
}

TEST_F(GpsInfoDlgTest, TheUnitChoicesDriveThePortControls) {
    f.Open();
    auto* port = Find<NaviComboBox>(f.Panel(), u"Port설정");
    auto* speed = Find<NaviComboBox>(f.Panel(), u"BaudRate설정");
    auto* separate = Find<NaviCheckBox>(f.Panel(), u"별도 GPS 수신기 사용");
    ASSERT_TRUE(port && speed && separate);
    f.Tap(u"재설정");
    EXPECT_TRUE(port->IsActive());
    f.Tap(u"ZARN 수신기 사용", 1); // the unit alone: its fixed port
    EXPECT_FALSE(port->IsActive());
    EXPECT_FALSE(speed->IsActive());
    f.Tap(u"별도 GPS 수신기 사용", 1);
    EXPECT_TRUE(port->IsActive());
    EXPECT_TRUE(speed->IsActive());
    separate->ProcessCommand(*[] {
        static NaviCommand c;
        c.target = kTargetDialog;
        c.control = u"별도 GPS 수신기 사용";
        c.id = kCmdSelect;
        c.param1 = 1;
        return &c;
    }());
    f.Tap(u"ZARN 수신기 사용", 0); // the unit off: no separate GPS beside it
    EXPECT_FALSE(separate->IsChecked());
    EXPECT_TRUE(port->IsActive());
    // Popup commands with no popup open go nowhere.
    for (int id : {kCmdSelect, kCmdAddRow, kCmdPageList, kCmdComboDone}) f.Event(u"Port설정", id, 3);
    f.Event(u"Port설정", kCmdComboTapped, 0x7FFFFFF0); // a combo that does not exist
    EXPECT_TRUE(f.dlg->IsOpen());
    f.answers = {IDYES};
    f.Tap(u"확 인");
    CNaviConfig saved;
    saved.SetDeviceType(0);
    saved.Load(kData);
    EXPECT_EQ(saved.GetValue(31), 0);
    EXPECT_EQ(saved.GetValue(32), 0);
}

TEST_F(GpsInfoDlgTest, TheHiddenGestureAndTheCloseButton) {
    f.Open();
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(f.dlg->CountGestureTap(POINT{32 + i * 30, 151 - i * 30}));
    EXPECT_FALSE(f.dlg->CountGestureTap(POINT{135, 100})); // just outside: the count starts again
    EXPECT_EQ(f.dlg->GestureCount(), 0);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(f.dlg->CountGestureTap(POINT{83, 98}));
    EXPECT_FALSE(f.dlg->TakeMemoryFiguresRequest());
    EXPECT_TRUE(f.dlg->CountGestureTap(POINT{134, 49}));
    EXPECT_TRUE(f.dlg->TakeMemoryFiguresRequest());
    EXPECT_FALSE(f.dlg->TakeMemoryFiguresRequest()); // read once
    EXPECT_FALSE(f.dlg->IsOpen());
    EXPECT_EQ(f.closed, 1);
    // While the settings panel is shown the square counts nothing.
    f.Open();
    f.Tap(u"재설정");
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(f.dlg->CountGestureTap(POINT{83, 98}));
    EXPECT_TRUE(f.dlg->IsOpen());
    f.Tap(u"확 인");
    f.Tap(u"확인");
    EXPECT_FALSE(f.dlg->IsOpen());
    EXPECT_EQ(f.closed, 2);
}

// ---- through the reader, receivers on pseudo-terminals ----

class GpsInfoReaderTest : public WorkerHarness {
protected:
    void TearDown() override {
        f.dlg.reset();
        WorkerHarness::TearDown();
    }
    // Taps "수신기자동찾기" on the window's thread, which takes part in simulated time while a
    // helper moves the clock and lets the responders talk.
    void Search(std::initializer_list<Responder*> responders) {
        std::atomic<bool> done{false}, hosting{false};
        m_clock.AddWorker();
        // The helper becomes the clock's host for the search, so the window's thread waits for
        // it instead of moving time at once; the test's thread is the host again afterwards.
        std::thread host([&] {
            m_clock.SetHosted(true);
            hosting = true;
            while (!done) {
                Run(100);
                for (Responder* p : responders) p->Poll();
            }
        });
        while (!hosting) std::this_thread::yield();
        f.Tap(u"수신기자동찾기");
        done = true;
        m_clock.RemoveWorker();
        host.join();
        m_clock.SetHosted(true);
    }
    InfoFixture f;
};

TEST_F(GpsInfoReaderTest, TheResetIsRefusedInUnitModeAndOtherwiseWritten) {
    Line(2);
    StartReader();
    f.Open();
    f.dlg->SetWorkers(&Workers());
    f.dlg->SetUnitMode(true);
    f.Tap(u"초기화");
    ASSERT_EQ(f.asked.size(), 1u);
    EXPECT_EQ(f.asked[0], u"GPS 초기화를 할 수 없습니다.");
    EXPECT_FALSE(f.dlg->TakeGpsResetRequest());
    Run(100);
    EXPECT_EQ(Received(2, 50), "");
    f.dlg->SetUnitMode(false);
    f.Tap(u"초기화");
    EXPECT_EQ(f.asked.size(), 1u);
    Run(100);
    EXPECT_EQ(Received(2).substr(0, 9), "$PSRF104,");
}

TEST_F(GpsInfoReaderTest, TheReceiverSearchFillsTheControlsOrSaysNothingWasFound) {
    for (int n : {1, 2, 4, 6, 8}) Line(n);
    f.Open();
    f.dlg->SetWorkers(&Workers());
    f.Tap(u"재설정");
    {
        Responder gps(Line(5), B4800, NmeaWrap("GPGGA,120000.00,,,,,0,00,,,M,,M,,"));
        Search({&gps});
    }
    ASSERT_EQ(f.asked.size(), 1u);
    EXPECT_EQ(f.asked[0], u"수신기를 찾았습니다.");
    EXPECT_TRUE(f.dlg->IsChanged());
    EXPECT_EQ(Find<NaviRadioGroup>(f.Panel(), u"수신좌표계그룹")->GetSelectedIndex(), 0);
    EXPECT_EQ(Find<NaviComboBox>(f.Panel(), u"Port설정")->GetSelected(), 4);
    EXPECT_EQ(Find<NaviComboBox>(f.Panel(), u"BaudRate설정")->GetSelected(), 1);
    // Nothing on any line: the three-line notice, the controls as they were.
    f.asked.clear();
    Search({});
    ASSERT_EQ(f.asked.size(), 1u);
    EXPECT_EQ(f.asked[0], u"수신기를 찾지 못했습니다.\n다시 자동 찾기를 하시거나\n수동으로 설정하시기 바랍니다.");
    EXPECT_EQ(Find<NaviComboBox>(f.Panel(), u"Port설정")->GetSelected(), 4);
}

} // namespace

namespace {

// The reader's thread feeds the window while the window's thread shows the values: every shown
// speed is one that was fed whole.
TEST_F(GpsInfoDlgTest, AFeedFromAnotherThreadIsShownOnTheWindowsThread) {
    f.Open();
    std::atomic<bool> done{false};
    std::thread reader([&] {
        GpsSatRecord sats;
        GpsPosRecord fix;
        fix.longitude = 45735368;
        fix.latitude = 13536388;
        for (int i = 0; i < 500; ++i) {
            fix.speed = static_cast<std::uint16_t>(i % 2 ? 1000 : 2000);
            f.dlg->SetGpsData(sats, fix);
            f.dlg->SetLinkState(i % 4);
            f.dlg->SetSignalQuality(i);
        }
        done = true;
    });
    while (!done) {
        WinDispatchPending();
        const CString speed = f.dlg->ShownText(u"속도");
        EXPECT_TRUE(speed == CString(u"0km/h") || speed == CString(u"100km/h") || speed == CString(u"200km/h"))
            << speed.ToUtf8();
    }
    reader.join();
    WinDispatchPending();
    EXPECT_EQ(f.dlg->ShownText(u"속도"), CString(u"100km/h"));
    EXPECT_EQ(f.dlg->ShownText(u"시리얼포트상태"), CString(u"GPS 데이터를 수신 중입니다."));
    EXPECT_EQ(f.dlg->GetSignalQuality(), 100);
}

} // namespace
