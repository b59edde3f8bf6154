// The route save and saved-routes screens under the headless host: naming a route, the saved
// routes listed, opened and deleted (with a delete that fails), and the storage-location page.
#include "app/RouteSaveDlg.h"

#include "app/tests/DialogTestSupport.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/gdi/Gdi.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/screens/NaviControlTree.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The storage folder in use (the card by default): saved routes lie beside the other user data.
constexpr const char* kFolder = "Storage Card/VelkoData/";
constexpr const char* kBack = "tap 175 18\n";
constexpr const char* kView = "tap 45 268\n";
constexpr const char* kDelete = "tap 112 268\n";
constexpr const char* kSave = "tap 118 136\n";

class RouteSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        for (const char* name : {"가람-나루R.vkp", "메모R.vkp", "이전경로R.vkp"})
            root.MakeFile(std::string(kFolder) + name, "route");
        root.MakeFile(std::string(kFolder) + "readme.txt", "not a route");
        root.MakeFile(std::string(kFolder) + "position", "registered points");
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
        CNaviConfig::DestroyInstance();
        CNaviConfig::GetInstance()->Load(u"Storage Card\\MapData"); // defaults: user data on the card
    }
    void TearDown() override {
        box.Destruct();
        CNaviConfig::DestroyInstance();
    }
    HostedRun Run(CRouteSaveDlg& dlg, const char16_t* screen, const std::string& script) {
        dlg.SetPanelName(screen);
        dlg.SetRcBuilder(&builder);
        // As the view does: the folder in use, without a trailing backslash (the dialog adds it).
        if (std::u16string_view(screen) == CRouteSaveDlg::kSavedScreen)
            dlg.SetRouteFolder(CNaviConfig::GetInstance()->GetItemPath(u"현재저장위치", -1));
        return RunHosted(root, script + "wait 100\n", [&] { return static_cast<int>(dlg.DoModal()); });
    }
    bool Exists(const char* name) { return std::filesystem::exists(root.Host(std::string(kFolder) + name)); }
    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

// Captures the listed rows and the radio buttons' names while the screen is up.
class WatchedSaveDlg : public CRouteSaveDlg {
public:
    std::vector<CString> rowsAtStart;
    std::vector<CString> radios;
    BOOL OnInitDialog() override {
        const BOOL result = CRouteSaveDlg::OnInitDialog();
        rowsAtStart = ListedRoutes();
        WalkControls(GetPanel(), [&](const CString& path, NaviControl*) {
            const int group = path.Find(u"정보저장위치그룹/");
            if (group >= 0) radios.push_back(path.Mid(group));
        });
        return result;
    }
};

TEST_F(RouteSaveTest, SavedRoutesAreListedAndViewedBySelection) {
    WatchedSaveDlg dlg;
    // "보기" with nothing selected stays open; "이전" leaves.
    HostedRun run = Run(dlg, CRouteSaveDlg::kSavedScreen, std::string(kView) + kBack);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(dlg.rowsAtStart, (std::vector<CString>{u"가람-나루R.vkp", u"메모R.vkp", u"이전경로R.vkp"}));
    EXPECT_EQ(dlg.GetFileCount(), 3);
    EXPECT_EQ(dlg.GetActionCode(), CRouteSaveDlg::kActionBack);
    EXPECT_EQ(dlg.GetRouteFolder(), CString(u"Storage Card\\VelkoData\\"));
    EXPECT_EQ(dlg.radios, (std::vector<CString>{u"정보저장위치그룹/PDA(My Documents\\VelkoData)",
                                                u"정보저장위치그룹/저장장치(Storage Card\\VelkoData)"}));
    EXPECT_TRUE(run.msgboxLog.empty());

    CRouteSaveDlg view;
    view.SetSelectedRoute(u"메모R.vkp");
    run = Run(view, CRouteSaveDlg::kSavedScreen, kView);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(view.GetActionCode(), CRouteSaveDlg::kActionOpen);
    EXPECT_EQ(view.GetSelectedRoute(), CString(u"메모R.vkp"));
    EXPECT_FALSE(view.IsReverseSearch());

    CRouteSaveDlg reverse;
    reverse.SetSelectedRoute(u"가람-나루R.vkp");
    run = Run(reverse, CRouteSaveDlg::kSavedScreen, "tap 187 268\n");
    EXPECT_EQ(reverse.GetActionCode(), CRouteSaveDlg::kActionOpen);
    EXPECT_TRUE(reverse.IsReverseSearch());
}

TEST_F(RouteSaveTest, DeletingAsksRemovesTheFileAndTheRow) {
    WatchedSaveDlg dlg;
    dlg.SetSelectedRoute(u"메모R.vkp");
    std::vector<CString> after;
    HostedRun run = Run(dlg, CRouteSaveDlg::kSavedScreen, std::string("answer yes\nanswer ok\n") + kDelete + kBack);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(BoxTexts(run.msgboxLog), "'메모R.vkp' 을(를) 삭제하시겠습니까?\t3000\t4001\n"
                                       "'메모R.vkp' 을(를) 삭제하였습니다.\t3001\t4001\n");
    EXPECT_FALSE(Exists("메모R.vkp"));
    EXPECT_TRUE(Exists("가람-나루R.vkp"));
    EXPECT_EQ(dlg.GetFileCount(), 2);

    // Answering no keeps the file.
    CRouteSaveDlg keep;
    keep.SetSelectedRoute(u"이전경로R.vkp");
    run = Run(keep, CRouteSaveDlg::kSavedScreen, std::string("answer no\n") + kDelete + kBack);
    EXPECT_TRUE(Exists("이전경로R.vkp"));
    EXPECT_EQ(keep.GetFileCount(), 2);

    // A delete that fails: its notice, and the row stays.
    CRouteSaveDlg failing;
    failing.SetSelectedRoute(u"이전경로R.vkp");
    failing.SetDeleteFile([](const CString&) { return false; });
    run = Run(failing, CRouteSaveDlg::kSavedScreen, std::string("answer yes\nanswer ok\n") + kDelete + kBack);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(BoxTexts(run.msgboxLog),
              "'이전경로R.vkp' 을(를) 삭제하시겠습니까?\t3000\t4001\n"
              "'이전경로R.vkp' 을(를) 삭제할 수 없습니다. 다른 응용프로그램이 사용하고 있거나 파일이 손상되었습니다.\t3001\t4001\n");
    EXPECT_EQ(failing.GetFileCount(), 2);
    EXPECT_TRUE(Exists("이전경로R.vkp"));

    // Nothing selected: no question at all.
    CRouteSaveDlg none;
    run = Run(none, CRouteSaveDlg::kSavedScreen, std::string(kDelete) + kBack);
    EXPECT_TRUE(run.msgboxLog.empty());
}

TEST_F(RouteSaveTest, TheStorageLocationIsStoredOnlyWhenTheUserSaysSo) {
    // The location page's choices, run as the screen's controls report them.
    auto body = [&](const std::vector<NaviCommand>& commands, CRouteSaveDlg& dlg) {
        return RunHosted(root, "answer no\nanswer no\nwait 10\n", [&] {
            dlg.SetPanelName(CRouteSaveDlg::kSavedScreen);
            for (NaviCommand cmd : commands) dlg.ProcessEvent(cmd);
            return 0;
        });
    };
    NaviCommand pda;
    pda.target = u"정보저장위치그룹";
    pda.id = 2015;
    pda.param1 = 0;
    NaviCommand back;
    back.target = u"이전";
    CRouteSaveDlg dlg;
    HostedRun run = body({pda, back}, dlg);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(BoxTexts(run.msgboxLog), "설정사항을 저장하시겠습니까?\t3000\t4002\n");
    EXPECT_EQ(CNaviConfig::GetInstance()->GetValue(64), 1);
    EXPECT_EQ(dlg.GetActionCode(), CRouteSaveDlg::kActionBack);

    // "Apply" without a change asks only whether to continue; no closes.
    NaviCommand apply;
    apply.target = u"Apply";
    CRouteSaveDlg unchanged;
    run = body({apply}, unchanged);
    EXPECT_EQ(BoxTexts(run.msgboxLog), "변경사항을 적용하였습니다. 환경설정을 계속하시겠습니까?\t3000\t4002\n");
    EXPECT_EQ(unchanged.GetActivationState(), kActivationClosing);

    // With a change "Apply" stores it (memory: setting 64 = 0) and the settings file is written.
    CRouteSaveDlg changed;
    run = RunHosted(root, "answer yes\nwait 10\n", [&] {
        changed.SetPanelName(CRouteSaveDlg::kSavedScreen);
        changed.ProcessEvent(pda);
        changed.ProcessEvent(apply);
        return 0;
    });
    EXPECT_EQ(CNaviConfig::GetInstance()->GetValue(64), 0);
    EXPECT_NE(changed.GetActivationState(), kActivationClosing);
    EXPECT_TRUE(std::filesystem::exists(root.Host("My Documents/VelkoData/config.bin")));

    // The explanations are notices that leave the screen open.
    NaviCommand stock;
    stock.target = u"관심종목";
    CRouteSaveDlg info;
    run = RunHosted(root, "answer ok\nwait 10\n", [&] {
        info.SetPanelName(CRouteSaveDlg::kSavedScreen);
        info.ProcessEvent(stock);
        return 0;
    });
    EXPECT_NE(BoxTexts(run.msgboxLog).find("stock.bin\t3001\t4001"), std::string::npos);
    EXPECT_NE(info.GetActivationState(), kActivationClosing);
}

TEST_F(RouteSaveTest, ARouteNameMustMakeAFileName) {
    CRouteSaveDlg dlg;
    dlg.SetRouteName(u"출근길");
    HostedRun run = Run(dlg, CRouteSaveDlg::kSaveScreen, kSave);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(dlg.GetActionCode(), CRouteSaveDlg::kActionSave);
    EXPECT_EQ(dlg.GetRouteName(), CString(u"출근길"));
    EXPECT_TRUE(run.msgboxLog.empty());

    struct Case {
        const char16_t* name;
        const char* notice;
    };
    for (const Case& c : {Case{u"", "저장할 명칭을 입력하여 주십시요."}, Case{u"..\\x", "저장할 수 없는 이름입니다."}}) {
        CRouteSaveDlg refused;
        refused.SetRouteName(c.name);
        run = Run(refused, CRouteSaveDlg::kSaveScreen, std::string("answer ok\n") + kSave + kBack);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(BoxTexts(run.msgboxLog), std::string(c.notice) + "\t3001\t4001\n");
        EXPECT_EQ(refused.GetActionCode(), CRouteSaveDlg::kActionBack); // stayed open until "이전"
    }
    for (const char16_t* bad : {u"a/b", u"a\\b", u"c:", u"*", u"a?", u".hidden", u"tab\there", u"<x>", u"a|b"})
        EXPECT_FALSE(CRouteSaveDlg::IsValidRouteName(bad)) << Utf16ToUtf8(bad);
    for (const char16_t* good : {u"출근길", u"가람-나루", u"집 2", u"a.b"})
        EXPECT_TRUE(CRouteSaveDlg::IsValidRouteName(good)) << Utf16ToUtf8(good);
}

} // namespace
