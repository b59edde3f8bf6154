// The settings pages' listeners on their real screens (built from the sample skin into the common
// dialog's panel, not shown): what each page shows from the stored settings, how the user's
// changes land in its copy, what reaches the store and the settings file, the common buttons and
// message boxes, and what the pages ask of the main view (a recording stand-in here).
#include "app/DisplayPageListener.h"
#include "app/RouteSearchPageListener.h"
#include "app/SafeDrivePageListener.h"
#include "app/SaveLocationPageListener.h"
#include "app/SettingsPageView.h"
#include "app/SoundPageListener.h"
#include "app/SystemPageListener.h"
#include "commondlg/CNaviCommonDlg.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/WindowHost.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckBox.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

constexpr const char16_t* kDataFolder = u"\\Storage Card\\MapData";
constexpr const char* kSettingsFile = "Storage Card/VelkoData/config.bin";

class RecordingView : public ISettingsPageView {
public:
    void ClearTrail() override { calls.push_back("ClearTrail"); }
    void SetPoiBarEntry(int entry) override { calls.push_back("SetPoiBarEntry " + std::to_string(entry)); }
    void SetPoiBarSelection(int selection) override {
        calls.push_back("SetPoiBarSelection " + std::to_string(selection));
    }
    int UpdateDayNightColors() override {
        calls.push_back("UpdateDayNightColors");
        return switched;
    }
    void ApplyDayNightColors() override { calls.push_back("ApplyDayNightColors"); }
    bool FindReceivers(int& port, int& speed, bool& unit, bool& separateGps) override {
        calls.push_back("FindReceivers");
        if (!found) return false;
        port = 3;
        speed = 5;
        unit = true;
        separateGps = true;
        return true;
    }
    void SetVoiceGuidance(bool on) override { calls.push_back(std::string("SetVoiceGuidance ") + (on ? "1" : "0")); }
    void SetClickSound(bool on) override { calls.push_back(std::string("SetClickSound ") + (on ? "1" : "0")); }
    void SetMessageBoxSound(bool on) override {
        calls.push_back(std::string("SetMessageBoxSound ") + (on ? "1" : "0"));
    }
    std::vector<std::string> calls;
    int switched = 0;
    bool found = false;
};

struct Box {
    std::string text;
    int stateBefore; // the dialog's activation state when the box came up
};

class SettingsPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        root.MakeFile("Storage Card/MapData/Color/Color_주간.bin", std::string(80, '\0'));
        root.MakeFile("Storage Card/MapData/Color/Color_야간.bin", std::string(80, '\0'));
        builder.OpenSkin(u"\\res");
        CNaviConfig::DestroyInstance();
        config = CNaviConfig::GetInstance();
        config->Load(kDataFolder);
        dialog.SetRcBuilder(&builder);
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT type) {
            boxes.push_back(Box{Utf16ToUtf8(text), dialog.GetActivationState()});
            if (type != MB_YESNO) return IDOK;
            const int answer = answers.empty() ? IDYES : answers.front();
            if (!answers.empty()) answers.pop_front();
            return answer;
        });
    }
    void TearDown() override {
        WinSetMessageBoxHandler(nullptr);
        CNaviConfig::DestroyInstance();
        GdiUseBuiltinFont(false);
    }

    // Builds the page into the dialog's panel and tells the listener so.
    void Open(CSettingsPageListener& listener, const char16_t* page) {
        dialog.SetPanelName(page);
        dialog.SetNaviListener(&listener);
        dialog.CreatePanel(nullptr);
        dialog.SetActivationState(kActivationActive);
        NaviCommand built;
        built.target = kTargetDialog;
        built.control = page;
        built.id = kCmdDialogBuilt;
        listener.ProcessEvent(built);
    }
    // What a control reports when the user changes it.
    static void Tap(CSettingsPageListener& listener, const char16_t* control, int value = -1,
                    const CString& text = CString()) {
        NaviCommand cmd;
        cmd.target = control;
        cmd.id = kCmdTapped;
        cmd.param1 = value;
        cmd.text = text;
        listener.ProcessEvent(cmd);
    }

    // The first control of that kind and name (a heading may share its group's name).
    template <typename T = NaviControl> static T* Find(NaviControl* control, const CString& name) {
        if (!control) return nullptr;
        if (auto* list = dynamic_cast<NaviItemList*>(control)) {
            for (int i = 0; i < list->GetCount(); ++i)
                if (T* found = Find<T>(list->GetItem(i), name)) return found;
        } else if (auto* panel = dynamic_cast<NaviPanel*>(control)) {
            for (NaviControl* child : panel->GetChildren())
                if (T* found = Find<T>(child, name)) return found;
        }
        return control->GetName() == name ? dynamic_cast<T*>(control) : nullptr;
    }
    template <typename T> T* Control(const char16_t* name) {
        T* control = Find<T>(dialog.GetPanel(), name);
        EXPECT_NE(control, nullptr) << Utf16ToUtf8(name);
        return control;
    }
    int Group(const char16_t* name) {
        auto* g = Control<NaviRadioGroup>(name);
        return g ? g->GetSelectedIndex() : -100;
    }
    int Combo(const char16_t* name) {
        auto* c = Control<NaviComboBox>(name);
        return c ? c->GetSelected() : -100;
    }
    int Check(const char16_t* name) {
        auto* c = Control<NaviCheckBox>(name);
        return c ? (c->IsChecked() ? 1 : 0) : -100;
    }
    std::string Items(const char16_t* name) {
        std::string items;
        if (auto* c = Control<NaviComboBox>(name))
            for (int i = 0; i < c->GetCount(); ++i) items += (i ? "|" : "") + Utf16ToUtf8(c->GetItem(i).Str());
        return items;
    }
    std::string Label(const char16_t* name) {
        auto* l = Control<NaviLabel>(name);
        return l ? Utf16ToUtf8(l->GetText().Str()) : "?";
    }
    std::string SettingsFile() { return root.Exists(kSettingsFile) ? root.Read(kSettingsFile) : std::string(); }
    // Setting i as the settings file holds it.
    std::int32_t Stored(int i) {
        const std::string bytes = SettingsFile();
        if (bytes.size() != CNaviConfig::kFileSize) return -12345;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + 4 + 4 * i;
        return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24));
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Box& b : boxes) texts.push_back(b.text);
        return texts;
    }

    TempRoot root;
    NaviRcBuilder builder;
    CNaviConfig* config = nullptr;
    CNaviCommonDlg dialog{nullptr};
    RecordingView view;
    std::vector<Box> boxes;
    std::deque<int> answers;
};

const std::string kSaveQuestion = "설정사항을 저장하시겠습니까?";
const std::string kApplyQuestion = "변경사항을 적용하였습니다.\n환경설정을 계속하시겠습니까?";

// ---- display page ----

TEST_F(SettingsPagesTest, TheDisplayPageShowsTheDefaults) {
    CDisplayPageListener page(&dialog, config, &view);
    Open(page, CDisplayPageListener::kPageName);
    EXPECT_EQ(Group(u"지도모드그룹"), 2);
    EXPECT_EQ(Group(u"궤적표시그룹"), 1); // setting 1 = 0: "해제"
    EXPECT_EQ(Group(u"모드설정그룹"), 0);
    EXPECT_EQ(Group(u"지도에표시그룹"), 1);
    EXPECT_EQ(Check(u"표시 안함"), 0);
    EXPECT_EQ(Combo(u"안내레벨콤보"), 5); // level 8
    for (const char16_t* combo : {u"교차로레벨콤보", u"저속레벨콤보", u"중속레벨콤보", u"고속레벨콤보"})
        EXPECT_EQ(Combo(combo), 0) << Utf16ToUtf8(combo);
    EXPECT_EQ(Combo(u"야간시작시간"), 3); // 19시
    EXPECT_EQ(Combo(u"야간종료시간"), 3); // 07시
    EXPECT_EQ(Check(u"야간시간에 색상 변경"), 1);
    EXPECT_EQ(Check(u"사용자 정의 시간 사용"), 0);
    for (const char16_t* name : {u"야간시작시간", u"야간종료시간", u"~"})
        EXPECT_FALSE(Find(dialog.GetPanel(), name)->IsVisible()) << Utf16ToUtf8(name);
    EXPECT_FALSE(page.IsChanged());
    // Turning the user's hours on shows the three time controls.
    Tap(page, u"사용자 정의 시간 사용", 1);
    for (const char16_t* name : {u"야간시작시간", u"야간종료시간", u"~"})
        EXPECT_TRUE(Find(dialog.GetPanel(), name)->IsVisible()) << Utf16ToUtf8(name);
}

TEST_F(SettingsPagesTest, ShowNothingKeepsTheSelectionInvertedUntilUnchecked) {
    config->SetValue(3, -3); // selection 2 with "표시 안함"
    CDisplayPageListener page(&dialog, config, &view);
    Open(page, CDisplayPageListener::kPageName);
    EXPECT_EQ(Check(u"표시 안함"), 1);
    EXPECT_EQ(Group(u"지도에표시그룹"), -1);
    Tap(page, u"표시 안함", 0);
    EXPECT_EQ(Group(u"지도에표시그룹"), 2);
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(config->GetValue(3), 2);
    EXPECT_EQ(config->GetValue(49), 2);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"SetPoiBarEntry 2", "SetPoiBarSelection 2"}));
    // Checked again: the group loses its choice, the setting holds it inverted, the bar none.
    view.calls.clear();
    Tap(page, u"표시 안함", 1);
    EXPECT_EQ(Group(u"지도에표시그룹"), -1);
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(config->GetValue(3), ~2);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"SetPoiBarEntry 2", "SetPoiBarSelection -1"}));
    // A choice in the group unchecks "표시 안함".
    Tap(page, u"지도에표시그룹", 4);
    EXPECT_EQ(Check(u"표시 안함"), 0);
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(config->GetValue(3), 4);
}

TEST_F(SettingsPagesTest, LevelCombosAndNightHoursMapToTheirSettings) {
    CDisplayPageListener page(&dialog, config, &view);
    Open(page, CDisplayPageListener::kPageName);
    Tap(page, u"안내레벨콤보", 0);
    Tap(page, u"교차로레벨콤보", 2);
    Tap(page, u"고속레벨콤보", 6);
    Tap(page, u"야간시작시간", 8);
    Tap(page, u"야간종료시간", 0);
    Tap(page, u"궤적표시그룹", 0);
    EXPECT_TRUE(page.IsChanged());
    ASSERT_TRUE(page.Save());
    EXPECT_FALSE(page.IsChanged());
    EXPECT_EQ(Stored(4), -1);
    EXPECT_EQ(Stored(5), 5);
    EXPECT_EQ(Stored(8), 9);
    EXPECT_EQ(Stored(9), 24);
    EXPECT_EQ(Stored(10), 4);
    EXPECT_EQ(Stored(1), 1);
    // The night hours changed: the colours are checked again, and applied when nothing switched.
    EXPECT_EQ(view.calls.back(), "ApplyDayNightColors");
}

TEST_F(SettingsPagesTest, StoredValuesNoControlCanShowOpenAsDefaultsAndAreSavedSo) {
    struct Case {
        int setting;
        std::int32_t stored;
        const char16_t* control;
        int shown;
        std::int32_t saved;
    };
    const Case cases[] = {
        {4, 12, u"안내레벨콤보", 5, 8}, {6, 2, u"저속레벨콤보", 0, -1}, {9, 3, u"야간시작시간", 3, 19},
        {10, 20, u"야간종료시간", 3, 7}, {3, 9, u"지도에표시그룹", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        config->SetValue(c.setting, c.stored);
        CDisplayPageListener page(&dialog, config, &view);
        Open(page, CDisplayPageListener::kPageName);
        EXPECT_EQ(c.setting == 3 ? Group(c.control) : Combo(c.control), c.shown);
        EXPECT_TRUE(page.IsChanged());
        answers.push_back(IDNO);
        Tap(page, u"Apply");
        EXPECT_EQ(Stored(c.setting), c.saved);
    }
}

TEST_F(SettingsPagesTest, SchemeCombosListTheColourFilesOnceEach) {
    config->SetMapColorName(u"기본지도색상", u"주간");
    config->SetMapColorName(u"야간지도색상", u"야간");
    root.MakeFile("Storage Card/MapData/Color/Color_기본.bin", std::string(80, '\0'));
    // 50 characters do not fit the 100-byte name with its end: not offered.
    root.MakeFile("Storage Card/MapData/Color/Color_" + std::string(50, 'x') + ".bin", std::string(80, '\0'));
    CDisplayPageListener page(&dialog, config, &view);
    Open(page, CDisplayPageListener::kPageName);
    EXPECT_EQ(Items(u"기본지도색상콤보"), "기본|야간|주간");
    EXPECT_EQ(Items(u"야간지도색상콤보"), "기본|야간|주간");
    EXPECT_EQ(Combo(u"기본지도색상콤보"), 2);
    EXPECT_EQ(Combo(u"야간지도색상콤보"), 1);
    Tap(page, u"야간지도색상콤보", 0, u"기본");
    ASSERT_TRUE(page.Save());
    char16_t name[CNaviConfig::kNameChars] = {};
    ASSERT_TRUE(config->GetMapColorName(u"야간지도색상", name));
    EXPECT_EQ(CString(name), CString(u"기본"));
    // The store's file holds the names after the mark and the 200 settings (50 units each).
    const std::string bytes = SettingsFile();
    ASSERT_EQ(bytes.size(), 1004u);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(bytes.data() + 804), 2)), "주간");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(bytes.data() + 904), 2)), "기본");
}

TEST_F(SettingsPagesTest, WithoutSchemeFilesOnlyTheBuiltInSchemeIsListed) {
    std::filesystem::remove_all(root.Host("Storage Card/MapData/Color"));
    CDisplayPageListener page(&dialog, config, &view);
    Open(page, CDisplayPageListener::kPageName);
    EXPECT_EQ(Items(u"기본지도색상콤보"), "기본");
    EXPECT_EQ(Combo(u"기본지도색상콤보"), -1);
}

TEST_F(SettingsPagesTest, ApplyWithoutAChangeWritesNothingButStillAsks) {
    ASSERT_TRUE(config->SaveSettings(-1));
    const std::string before = SettingsFile();
    CDisplayPageListener page(&dialog, config, &view);
    Open(page, CDisplayPageListener::kPageName);
    answers = {IDYES, IDNO};
    Tap(page, u"Apply");
    EXPECT_EQ(dialog.GetCommonRet(), 0); // staying on the page
    Tap(page, u"Apply");
    EXPECT_EQ(dialog.GetCommonRet(), 4);
    EXPECT_EQ(SettingsFile(), before);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kApplyQuestion, kApplyQuestion}));
    for (const Box& b : boxes) EXPECT_EQ(b.stateBefore, kActivationChildUp);
}

TEST_F(SettingsPagesTest, DeletingTheTrailActsAtOnceAndLeavingUnsavedKeepsTheSettings) {
    ASSERT_TRUE(config->SaveSettings(-1));
    const std::string before = SettingsFile();
    CDisplayPageListener page(&dialog, config, &view);
    Open(page, CDisplayPageListener::kPageName);
    Tap(page, u"궤적삭제");
    EXPECT_EQ(view.calls, std::vector<std::string>{"ClearTrail"});
    EXPECT_FALSE(page.IsChanged());
    Tap(page, u"지도모드그룹", 0);
    answers.push_back(IDNO);
    Tap(page, u"현위치");
    EXPECT_EQ(dialog.GetCommonRet(), 4);
    EXPECT_EQ(SettingsFile(), before);
    EXPECT_EQ(config->GetValue(0), 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"궤적을 삭제하였습니다.", kSaveQuestion}));
    EXPECT_EQ(view.calls, std::vector<std::string>{"ClearTrail"});
}

TEST_F(SettingsPagesTest, TheTabStripSwitchesThePanels) {
    CDisplayPageListener page(&dialog, config, &view);
    Open(page, CDisplayPageListener::kPageName);
    Tap(page, u"환경설정탭", 2, u"tab_레벨");
    EXPECT_EQ(Control<NaviItemList>(u"환경설정패널들")->GetCurrentIndex(), 2);
}

// ---- safe-driving page ----

TEST_F(SettingsPagesTest, SafeDrivingSpeedsShowTheirTextsAndStepWithinTheList) {
    CSafeDrivePageListener page(&dialog, config, &view);
    Open(page, CSafeDrivePageListener::kPageName);
    EXPECT_EQ(Label(u"고속도로속도"), "120");
    EXPECT_EQ(Label(u"도시고속도로속도"), "110");
    EXPECT_EQ(Label(u"국도속도"), "110");
    EXPECT_EQ(Label(u"지방도로속도"), "90");
    EXPECT_EQ(Label(u"일반도로속도"), "90");
    EXPECT_EQ(Check(u"상시안전운행구간"), 1);
    EXPECT_EQ(Check(u"주의안전운행구간"), 0);
    EXPECT_EQ(Check(u"안내 없음"), 1);
    // No class chosen: the steps do nothing.
    Tap(page, u"플러스");
    EXPECT_FALSE(page.IsChanged());
    Tap(page, u"경고음안내그룹", 4);
    EXPECT_FALSE(page.IsChanged());
    Tap(page, u"마이너스");
    EXPECT_EQ(Label(u"일반도로속도"), "80");
    EXPECT_TRUE(page.IsChanged());
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(Stored(27), 6);
    EXPECT_EQ(Stored(23), 10);
}

TEST_F(SettingsPagesTest, SpeedStepsStopAtTheEndsButStillMarkTheChange) {
    config->SetValue(23, 13);
    config->SetValue(24, 0);
    CSafeDrivePageListener page(&dialog, config, &view);
    Open(page, CSafeDrivePageListener::kPageName);
    Tap(page, u"경고음안내그룹", 0);
    Tap(page, u"플러스");
    EXPECT_EQ(Label(u"고속도로속도"), "150");
    EXPECT_TRUE(page.IsChanged());
    ASSERT_TRUE(page.Save());
    Tap(page, u"경고음안내그룹", 1);
    Tap(page, u"마이너스");
    EXPECT_EQ(Label(u"도시고속도로속도"), "없음");
    EXPECT_TRUE(page.IsChanged());
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(Stored(23), 13);
    EXPECT_EQ(Stored(24), 0);
}

TEST_F(SettingsPagesTest, ASpeedBeyondTheListShowsAndSavesNone) {
    config->SetValue(25, 14);
    CSafeDrivePageListener page(&dialog, config, &view);
    Open(page, CSafeDrivePageListener::kPageName);
    EXPECT_EQ(Label(u"국도속도"), "없음");
    answers.push_back(IDNO);
    Tap(page, u"Apply");
    EXPECT_EQ(Stored(25), 0);
    EXPECT_EQ(dialog.GetCommonRet(), 4);
}

TEST_F(SettingsPagesTest, ResetThenBackWithoutSavingLeavesTheSettings) {
    config->SetValue(19, 1);
    config->SetValue(23, 3);
    ASSERT_TRUE(config->SaveSettings(-1));
    const std::string before = SettingsFile();
    CSafeDrivePageListener page(&dialog, config, &view);
    Open(page, CSafeDrivePageListener::kPageName);
    Tap(page, u"Reset");
    EXPECT_EQ(Label(u"고속도로속도"), "120");
    EXPECT_EQ(Check(u"주의안전운행구간"), 0);
    EXPECT_EQ(Check(u"안내 없음"), 0);
    answers.push_back(IDNO);
    Tap(page, u"이전");
    EXPECT_EQ(dialog.GetCommonRet(), 3);
    EXPECT_EQ(SettingsFile(), before);
    EXPECT_EQ(config->GetValue(23), 3);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"초기화하였습니다.", kSaveQuestion}));
    for (const Box& b : boxes) EXPECT_EQ(b.stateBefore, kActivationChildUp);
}

// ---- route page ----

TEST_F(SettingsPagesTest, RouteIntervalOutsideTheListOpensAtFifteenMinutes) {
    config->SetValue(16, 20);
    config->SetValue(12, 3);
    CRouteSearchPageListener page(&dialog, config, &view);
    Open(page, CRouteSearchPageListener::kPageName);
    EXPECT_EQ(Combo(u"재탐색표시간격"), 3);
    EXPECT_EQ(Group(u"우선탐색그룹"), 2);
    EXPECT_EQ(Group(u"교통정보반영그룹"), 0);       // setting 14 = 1
    EXPECT_EQ(Group(u"교통정보재탐색버튼그룹"), 1); // setting 15 = 0
    EXPECT_EQ(Group(u"경로이탈후재탐색그룹"), 0);
    Tap(page, u"교통정보반영그룹", 1);
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(Stored(16), 15);
    EXPECT_EQ(Stored(14), 0);
    EXPECT_EQ(Stored(12), 3);
    Tap(page, u"재탐색표시간격", 6);
    Tap(page, u"우선탐색그룹", 0);
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(Stored(16), 60);
    EXPECT_EQ(Stored(12), 1);
}

// ---- system page ----

TEST_F(SettingsPagesTest, PortChoicesFollowTheReceivers) {
    config->SetValue(32, 1);
    config->SetValue(31, 0);
    CSystemPageListener page(&dialog, config, &view, 0);
    Open(page, CSystemPageListener::kPageName);
    EXPECT_FALSE(Control<NaviComboBox>(u"Port설정")->IsActive());
    EXPECT_FALSE(Control<NaviComboBox>(u"BaudRate설정")->IsActive());
    Tap(page, u"별도 GPS 수신기 사용", 1);
    EXPECT_TRUE(Control<NaviComboBox>(u"Port설정")->IsActive());
    EXPECT_TRUE(Control<NaviComboBox>(u"BaudRate설정")->IsActive());
    // Without the ZARN unit there is no separate receiver beside it.
    Tap(page, u"ZARN 수신기 사용", 0);
    EXPECT_EQ(Check(u"별도 GPS 수신기 사용"), 0);
    EXPECT_TRUE(Control<NaviComboBox>(u"Port설정")->IsActive());
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(Stored(31), 0);
    EXPECT_EQ(Stored(32), 0);
    EXPECT_FALSE(page.InitialMenuChanged());
    EXPECT_FALSE(page.UserMenuChanged());
}

TEST_F(SettingsPagesTest, KeyFunctionsFollowTheKeyLayoutAndChangeNoMenu) {
    config->SetKeyLayout(3);
    builder.SetButtonCount(3);
    config->SetValue(35, 4);
    config->SetValue(36, 5);
    config->SetValue(37, 6);
    config->SetValue(38, 7);
    CSystemPageListener page(&dialog, config, &view, 2);
    Open(page, CSystemPageListener::kPageName);
    EXPECT_EQ(Control<NaviItemList>(u"환경설정패널들")->GetCurrentIndex(), 2);
    EXPECT_EQ(Combo(u"Button설정0"), 4);
    EXPECT_EQ(Combo(u"Button설정1"), 5);
    EXPECT_EQ(Combo(u"Button설정2"), 6);
    Tap(page, u"Button설정1", 9, u"경로 재설정");
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(Stored(36), 9);
    EXPECT_EQ(Stored(38), 7);
    EXPECT_FALSE(page.InitialMenuChanged());
    EXPECT_FALSE(page.UserMenuChanged());
    // Four keys: slots 0-3 are settings 38, 37, 35, 36.
    config->SetKeyLayout(4);
    CSystemPageListener four(&dialog, config, &view, 0);
    Open(four, CSystemPageListener::kPageName);
    Tap(four, u"Button설정0", 12);
    ASSERT_TRUE(four.Save());
    EXPECT_EQ(Stored(38), 12);
}

TEST_F(SettingsPagesTest, MenusCarrierAndKeysReachTheirSettings) {
    CSystemPageListener page(&dialog, config, &view, 0);
    Open(page, CSystemPageListener::kPageName);
    Tap(page, u"나만의메뉴3", 0x10007);
    Tap(page, u"초기메뉴설정그룹", 2);
    Tap(page, u"통신사설정", 0xFFFF);
    Tap(page, u"사용", 0);
    ASSERT_TRUE(page.Save());
    EXPECT_TRUE(page.UserMenuChanged());
    EXPECT_TRUE(page.InitialMenuChanged());
    EXPECT_EQ(Stored(57), 7); // the low 16 bits
    EXPECT_EQ(Stored(39), 2);
    EXPECT_EQ(Stored(33), -1); // sign-extended from 16 bits
    EXPECT_EQ(Stored(34), 0);
}

TEST_F(SettingsPagesTest, TheReceiverSearchFillsTheControlsOrSaysItFoundNone) {
    CSystemPageListener page(&dialog, config, &view, 0);
    Open(page, CSystemPageListener::kPageName);
    Tap(page, u"수신기자동찾기");
    EXPECT_FALSE(page.IsChanged());
    view.found = true;
    Tap(page, u"수신기자동찾기");
    EXPECT_TRUE(page.IsChanged());
    EXPECT_EQ(Combo(u"Port설정"), 3);
    EXPECT_EQ(Combo(u"BaudRate설정"), 5);
    EXPECT_EQ(Check(u"ZARN 수신기 사용"), 1);
    EXPECT_EQ(Check(u"별도 GPS 수신기 사용"), 1);
    EXPECT_TRUE(Control<NaviComboBox>(u"Port설정")->IsActive());
    EXPECT_EQ(Texts(), (std::vector<std::string>{std::string(Utf16ToUtf8(CSystemPageListener::kNotFound)),
                                                 "수신기를 찾았습니다."}));
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(Stored(29), 3);
    EXPECT_EQ(Stored(30), 5);
    EXPECT_EQ(Stored(28), 0);
}

// ---- save-location and sound pages ----

TEST_F(SettingsPagesTest, SaveLocationApplySavesSaysSoAndCloses) {
    CSaveLocationPageListener page(&dialog, config, &view);
    Open(page, CSaveLocationPageListener::kPageName);
    EXPECT_EQ(Group(u"정보저장위치"), 1);
    Tap(page, u"정보저장위치", 0);
    Tap(page, u"Apply");
    EXPECT_EQ(dialog.GetCommonRet(), 3);
    EXPECT_EQ(config->GetValue(64), 0);
    // Setting 64 names the memory folder now: the file is written there.
    EXPECT_TRUE(root.Exists("My Documents/VelkoData/config.bin"));
    EXPECT_EQ(Texts(), std::vector<std::string>{"적용하였습니다."});
    answers.push_back(IDNO);
    CSaveLocationPageListener again(&dialog, config, &view);
    Open(again, CSaveLocationPageListener::kPageName);
    Tap(again, u"정보저장위치", 1);
    Tap(again, u"현위치");
    EXPECT_EQ(dialog.GetCommonRet(), 4);
    EXPECT_EQ(config->GetValue(64), 0);
}

TEST_F(SettingsPagesTest, SoundSwitchesApplyAtOnceWithoutMarkingTheDialog) {
    CSoundPageListener page(&dialog, config, &view, 1);
    Open(page, CSoundPageListener::kPageName);
    EXPECT_EQ(Group(u"음성안내ONOFF그룹"), 0);
    EXPECT_EQ(Group(u"버튼효과음ONOFF그룹"), 0);
    Tap(page, u"버튼효과음ONOFF그룹", 1);
    answers.push_back(IDNO);
    Tap(page, u"Apply");
    EXPECT_EQ(dialog.GetCommonRet(), 4);
    EXPECT_EQ(Stored(65), 1);
    EXPECT_EQ(Stored(66), 0);
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"SetVoiceGuidance 1", "SetClickSound 0", "SetMessageBoxSound 0"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].stateBefore, kActivationActive);
    // Back, answering yes to save the voice switched off.
    CSoundPageListener again(&dialog, config, &view, 0);
    Open(again, CSoundPageListener::kPageName);
    EXPECT_EQ(Group(u"버튼효과음ONOFF그룹"), 1);
    Tap(again, u"음성안내ONOFF그룹", 1);
    Tap(again, u"이전");
    EXPECT_EQ(dialog.GetCommonRet(), 3);
    EXPECT_EQ(Stored(65), 0);
}

} // namespace
