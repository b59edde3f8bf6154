// The view's settings commands on the sample device: each page runs in the view's common dialog
// from a script of taps and answers, and the view carries out what the page left: the guidance
// limits, the view mode, the receiver ports, and the move of the user's data to the other
// storage location (and a move that fails).
#include "app/tests/MainViewFixture.h"

#include "app/PositionStore.h"
#include "platform/base/Text.h"
#include "config/NaviConfig.h"
#include "platform/files/Files.h"
#include "position/GuideManager.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/main/NaviMenuButton.h"
#include "skinui/main/NaviMenus.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <filesystem>
#include <string>

namespace mainview_test {
SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
} // namespace mainview_test

using namespace mainview_test;

namespace {

namespace fs = std::filesystem;

// The page's buttons on the sample skin: "이전" on the title bar, "Apply" of the first tab.
constexpr const char* kBack = "tap 175 18\n";
constexpr const char* kApply = "tap 119 269\n";

// Keeps the sample's user-data folders and puts them back after the test.
class KeepUserData {
public:
    explicit KeepUserData(const std::string& root) : m_root(root) {
        for (const char* folder : kFolders) {
            std::error_code ec;
            fs::remove_all(Saved(folder), ec);
            if (fs::exists(m_root + "/" + folder))
                fs::copy(m_root + "/" + folder, Saved(folder), fs::copy_options::recursive, ec);
        }
    }
    ~KeepUserData() {
        for (const char* folder : kFolders) {
            std::error_code ec;
            fs::remove_all(m_root + "/" + folder, ec);
            if (fs::exists(Saved(folder))) fs::rename(Saved(folder), m_root + "/" + folder, ec);
        }
    }

private:
    static constexpr const char* kFolders[2] = {"Storage Card/VelkoData", "My Documents/VelkoData"};
    std::string Saved(const char* folder) const {
        std::string name = folder;
        for (char& c : name)
            if (c == '/') c = '_';
        return m_root + "/../kept-" + name;
    }
    std::string m_root;
};

class MainViewSettingsTest : public MainViewTest {
protected:
    void TearDown() override {
        FilesFailNextOperations(0);
        MainViewTest::TearDown();
    }
    HostedRun Run(const std::string& script, const std::function<void()>& body) {
        return RunHosted(s_device->root, script, [&] {
            body();
            return 0;
        });
    }
};

TEST_F(MainViewSettingsTest, TheGuidanceTakesTheSafeDrivingSettingsAfterThePage) {
    Open();
    m_view->LoadGuidanceData(kDataFolder);
    CGuideManager* guide = m_view->GetGuideManager();
    ASSERT_NE(guide, nullptr);
    // "안내 없음" on (the default): no warning speed for any class.
    HostedRun run = Run(std::string("wait 300\n") + kBack + "wait 100\n", [&] { m_view->ShowSafeDriveSettings(); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_TRUE(guide->SafeDrivingSwitch(1));  // setting 18, always-on sections
    EXPECT_FALSE(guide->SafeDrivingSwitch(2)); // setting 19, caution sections
    EXPECT_TRUE(guide->SafeDrivingSwitch(0));  // setting 20, user-registered sections
    for (int i = 0; i < 5; ++i) EXPECT_EQ(guide->SpeedLimit(i), 100000) << i;
    // Off: each class warns above its speed, (index + 2) x 10 km/h.
    m_config->SetValue(22, 0);
    m_config->SetValue(4, 6);
    m_view->SetGuiding(true);
    run = Run(std::string("wait 300\n") + kBack + "wait 100\n", [&] { m_view->ShowSafeDriveSettings(); });
    ASSERT_FALSE(run.failed) << run.failure;
    const int expected[5] = {120, 110, 110, 90, 90};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(guide->SpeedLimit(i), expected[i]) << i;
    // While guiding, the level of setting 4.
    EXPECT_EQ(m_view->GetMapLevel(), 6);
}

TEST_F(MainViewSettingsTest, TheDisplayPagesMapModeIsTheViewsOnceSaved) {
    KeepUserData keep(s_device->root.Path());
    Open();
    ASSERT_EQ(m_config->GetValue(0), 2);
    // "고정" of "지도모드그룹", then "이전" answering yes to the save question.
    const HostedRun run = Run(std::string("wait 300\ntap 44 73\nwait 100\nanswer yes\n") + kBack + "wait 100\n",
                              [&] { m_view->ShowDisplaySettings(); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find("설정사항을 저장하시겠습니까?"), std::string::npos) << run.msgboxLog;
    EXPECT_EQ(m_config->GetValue(0), 0);
    EXPECT_EQ(m_view->GetViewMode(), 0);
}

TEST_F(MainViewSettingsTest, PortsAreReopenedOnlyWhenTheReceiverSettingsChanged) {
    Open();
    const CMainView::GpsPortSettings before = m_view->GetGpsPortSettings();
    m_view->ApplyGpsPortSettings(before);
    EXPECT_EQ(m_view->GetPortReopenRequests(), 0);
    for (int setting : {29, 30, 28, 31, 32}) {
        const CMainView::GpsPortSettings snapshot = m_view->GetGpsPortSettings();
        m_config->SetValue(setting, m_config->GetValue(setting) == 1 ? 2 : 1);
        m_view->ApplyGpsPortSettings(snapshot);
    }
    EXPECT_EQ(m_view->GetPortReopenRequests(), 5);
    // The page left without a change reopens nothing.
    const HostedRun run = Run(std::string("wait 300\n") + kBack + "wait 100\n", [&] { m_view->ShowSystemSettings(0); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(m_view->GetPortReopenRequests(), 5);
}

TEST_F(MainViewSettingsTest, TheUserMenuIsRebuiltOnlyWhenAnEntryChanged) {
    KeepUserData keep(s_device->root.Path());
    Open();
    auto* menu = dynamic_cast<NaviMyMenuCtrl*>(m_view->GetMainScreen()->FindControl(u"NaviMyMenu"));
    ASSERT_NE(menu, nullptr);
    menu->SetSlot(3, 9); // not what setting 57 says: a rebuild would show
    const int mode = m_view->GetMainScreen()->GetMode();
    auto slotName = [&] { return menu->GetSlot(3) ? std::string(Utf16ToUtf8(menu->GetSlot(3)->GetName().Str())) : ""; };
    ASSERT_EQ(slotName(), "도르바");
    // Tab "버튼" (133, 302): "사용" (41, 213) off, then "Apply" answered no.
    HostedRun run = Run(std::string("wait 300\ntap 133 302\nwait 100\ntap 41 213\nwait 100\nanswer no\n") + kApply +
                            "wait 100\n",
                        [&] { m_view->ShowSystemSettings(0); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(m_config->GetValue(34), 0);
    EXPECT_EQ(slotName(), "도르바");
    EXPECT_EQ(m_view->GetMainScreen()->GetMode(), mode);
    // Tab "메뉴" (183, 302): "나만의메뉴3" (170, 172) opens its list; "주소검색" is its sixth row.
    run = Run(std::string("wait 300\ntap 183 302\nwait 100\ntap 170 172\nwait 300\ntap 60 175\nwait 300\n"
                          "answer no\n") + kApply + "wait 100\n",
              [&] { m_view->ShowSystemSettings(0); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(m_config->GetValue(57), 5);
    EXPECT_EQ(slotName(), "주소검색");
    EXPECT_EQ(m_view->GetMainScreen()->GetMode(), mode);
}

TEST_F(MainViewSettingsTest, MovingTheUserDataToMemoryKeepsThePoints) {
    KeepUserData keep(s_device->root.Path());
    Open();
    ASSERT_EQ(m_config->GetValue(64), 1);
    CPositionStore& store = CPositionStore::Instance();
    store.SetBaseFolder(m_config->GetItemPath(u"현재저장위치", -1));
    ASSERT_TRUE(store.Reload());
    const int points = store.GetCount();
    ASSERT_GT(points, 0);
    // "PDA", then "Apply" and the notice.
    const HostedRun run = Run(std::string("wait 300\ntap 44 73\nwait 100\nanswer ok\n") + kApply + "wait 100\n",
                              [&] { m_view->ShowSaveLocationSettings(); });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find("적용하였습니다."), std::string::npos) << run.msgboxLog;
    EXPECT_EQ(m_config->GetValue(64), 0);
    const std::string memory = s_device->root.Path() + "/My Documents/VelkoData/";
    EXPECT_TRUE(fs::exists(memory + "position"));
    EXPECT_FALSE(fs::exists(s_device->root.Path() + "/Storage Card/VelkoData/position"));
    // The saved routes go along, so the saved-route list of the new place still shows them.
    EXPECT_TRUE(fs::exists(memory + "가람-나루R.vkp"));
    EXPECT_FALSE(fs::exists(s_device->root.Path() + "/Storage Card/VelkoData/가람-나루R.vkp"));
    const std::vector<std::uint8_t> bytes = ReadCe(u"\\My Documents\\VelkoData\\config.bin");
    ASSERT_EQ(bytes.size(), 1004u);
    EXPECT_EQ(U32(bytes.data() + 4 + 4 * 64), 0u);
    EXPECT_EQ(store.GetCount(), points);
}

TEST_F(MainViewSettingsTest, AFailedMoveIsReportedAndTheCardStaysInUse) {
    KeepUserData keep(s_device->root.Path());
    Open();
    ASSERT_TRUE(m_config->SaveSettings(-1)); // the card's settings file, location 1
    const HostedRun run = Run(std::string("wait 300\ntap 44 73\nwait 100\nanswer ok\nanswer ok\n") + kApply +
                                  "wait 100\n",
                              [&] {
                                  // The storage refuses every change from here on.
                                  FilesFailNextOperations(1000);
                                  m_view->ShowSaveLocationSettings();
                                  FilesFailNextOperations(0);
                              });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find("사용자 정보 저장 위치를 변경할 수 없습니다."), std::string::npos) << run.msgboxLog;
    EXPECT_EQ(m_config->GetValue(64), 1);
    EXPECT_TRUE(fs::exists(s_device->root.Path() + "/Storage Card/VelkoData/position"));
    const std::vector<std::uint8_t> bytes = ReadCe(u"\\Storage Card\\VelkoData\\config.bin");
    ASSERT_EQ(bytes.size(), 1004u);
    EXPECT_EQ(U32(bytes.data() + 4 + 4 * 64), 1u);
}

} // namespace
