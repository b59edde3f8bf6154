// The skinned message box and common dialog under the headless host: script answers and taps on
// the box's buttons, its log lines, the fallback before it is set up, line breaking, and the
// common dialog's build notice, listener, closing and result.
#include "commondlg/CNaviComboPopup.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"

#include "platform/files/tests/TempRoot.h"
#include "platform/host/HeadlessHost.h"
#include "platform/window/Afx.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

constexpr UINT kStarterTemplate = 4950;

// Runs fn from a timer inside a dialog's modal loop, so that the script's first commands (the
// answers) have run when fn shows its box.
class Starter : public CDialog {
public:
    explicit Starter(std::function<void()> fn) : CDialog(kStarterTemplate), m_fn(std::move(fn)) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetTimer(1, 50);
        return TRUE;
    }
    void OnTimer(UINT_PTR) override {
        KillTimer(1);
        m_fn();
        EndDialog(IDOK);
    }

private:
    std::function<void()> m_fn;
};

struct ScriptRun {
    bool failed = false;
    std::string failure;
    std::string msgboxLog;
};

ScriptRun RunScript(TempRoot& root, const std::string& script, const std::function<void()>& fn) {
    root.MakeFile("run.script", script);
    HostOptions options;
    options.script = root.Host("run.script");
    options.outDir = root.Host("out");
    HeadlessHost host(options);
    std::string error;
    EXPECT_TRUE(host.Prepare(&error)) << error;
    host.Run([&] {
        DialogTemplateInfo info;
        info.rect = RECT{0, 0, 240, 320};
        info.style = WS_POPUP | WS_VISIBLE;
        AfxRegisterDialogTemplate(kStarterTemplate, info);
        Starter starter(fn);
        starter.DoModal();
        return 0;
    });
    ScriptRun run;
    run.failed = host.Failed();
    run.failure = host.Failure();
    std::ifstream log(root.Host("out/msgbox.log"));
    std::stringstream text;
    text << log.rdbuf();
    run.msgboxLog = text.str();
    std::ifstream hostLog(root.Host("out/host.log"));
    std::stringstream hostText;
    hostText << hostLog.rdbuf();
    if (run.failed) run.failure += "\n" + hostText.str() + "\n" + run.msgboxLog;
    return run;
}

// The text, type and answer fields of each msgbox.log line.
std::vector<std::string> Boxes(const std::string& log) {
    std::vector<std::string> out;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        // time \t caption \t text \t type \t answer
        const std::size_t first = line.find('\t');
        const std::size_t second = line.find('\t', first + 1);
        out.push_back(second == std::string::npos ? line : line.substr(second + 1));
    }
    return out;
}

class MessageBoxTest : public ::testing::Test {
protected:
    void TearDown() override { box.Destruct(); }
    NaviRcBuilder builder;
    NaviMessageBox box;
    TempRoot root;
};

} // namespace

TEST_F(MessageBoxTest, ScriptAnswersQuestionsAndNoticesWithTheBoxTypes) {
    box.Initialize(&builder);
    std::vector<int> answers;
    const ScriptRun run = RunScript(root, "answer yes\nanswer no\nanswer ok\nwait 100\n", [&] {
        answers.push_back(NaviMessageBox::ShowMessage(u"경로를 저장하시겠습니까?", NaviMessageBox::kQuestion));
        answers.push_back(NaviMessageBox::ShowMessage(u"경로를 저장하시겠습니까?", NaviMessageBox::kQuestion));
        answers.push_back(NaviMessageBox::ShowMessage(u"저장되었습니다.", NaviMessageBox::kNotice));
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(answers, (std::vector<int>{4001, 4002, 4001}));
    EXPECT_EQ(Boxes(run.msgboxLog), (std::vector<std::string>{"경로를 저장하시겠습니까?\t3000\t4001",
                                                              "경로를 저장하시겠습니까?\t3000\t4002",
                                                              "저장되었습니다.\t3001\t4001"}));
    // The box was on the screen (its frame) while it was answered.
    EXPECT_TRUE(root.Exists("out/frames/msgbox-1.png"));
}

TEST_F(MessageBoxTest, TapsOnTheButtonsAnswerAndTheLogHoldsTheAnswer) {
    box.Initialize(&builder);
    std::vector<int> answers;
    // Button row at y 256, 27 high: "예" from x 13, "아니요" from x 131 (96 wide); "확인" from 33.
    // "answer 0" leaves a box to its buttons; each box opens as soon as the one before is answered.
    const ScriptRun run = RunScript(root, "answer 0\nanswer 0\nanswer 0\nwait 100\ntap 60 268\ntap 170 268\n"
                                    "tap 100 268\n",
                              [&] {
                                  answers.push_back(NaviMessageBox::ShowMessage(u"삭제할까요?", 3000));
                                  answers.push_back(NaviMessageBox::ShowMessage(u"삭제할까요?", 3000));
                                  answers.push_back(NaviMessageBox::ShowMessage(u"알림", 3001));
                              });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(answers, (std::vector<int>{4001, 4002, 4001}));
    EXPECT_EQ(Boxes(run.msgboxLog),
              (std::vector<std::string>{"삭제할까요?\t3000\t4001", "삭제할까요?\t3000\t4002", "알림\t3001\t4001"}));
}

// A short mono WAV image: the click the builder plays on taps.
std::string ClickWav() {
    std::string wav = "RIFF";
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) wav.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(36 + 40, 4);
    wav += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(22050, 4);
    put(44100, 4);
    put(2, 2);
    put(16, 2);
    wav += "data";
    put(40, 4);
    for (int i = 0; i < 20; ++i) put(static_cast<std::uint32_t>(i * 500), 2);
    return wav;
}

TEST_F(MessageBoxTest, WithTheSoundSwitchedOffTheBoxPlaysNothing) {
    root.MakeFile("res/click.wav", ClickWav());
    builder.OpenSkin(u"\\res");
    box.Initialize(&builder);
    box.SetSoundEvent(false);
    std::vector<int> answers;
    const ScriptRun run = RunScript(root, "answer 0\nanswer 0\nwait 100\ntap 60 268\ntap 100 268\n", [&] {
        answers.push_back(NaviMessageBox::ShowMessage(u"삭제할까요?", NaviMessageBox::kQuestion));
        answers.push_back(NaviMessageBox::ShowMessage(u"알림", NaviMessageBox::kNotice));
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(answers, (std::vector<int>{NaviMessageBox::kYes, NaviMessageBox::kYes}));
    std::ifstream log(root.Host("out/sounds.log"));
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str(), "");
}

TEST_F(MessageBoxTest, WithTheSoundOnEachButtonTapClicks) {
    root.MakeFile("res/click.wav", ClickWav());
    builder.OpenSkin(u"\\res");
    box.Initialize(&builder);
    box.SetSoundEvent(true);
    const ScriptRun run = RunScript(root, "answer 0\nanswer 0\nwait 100\ntap 60 268\ntap 100 268\n", [&] {
        NaviMessageBox::ShowMessage(u"삭제할까요?", NaviMessageBox::kQuestion);
        NaviMessageBox::ShowMessage(u"알림", NaviMessageBox::kNotice);
    });
    ASSERT_FALSE(run.failed) << run.failure;
    std::ifstream log(root.Host("out/sounds.log"));
    int clicks = 0;
    for (std::string line; std::getline(log, line);) ++clicks;
    EXPECT_EQ(clicks, 2);
}

TEST_F(MessageBoxTest, BeforeItIsSetUpTheWindowSystemsBoxAsks) {
    int answer = 0;
    const ScriptRun run = RunScript(root, "answer no\nwait 100\n", [&] {
        answer = NaviMessageBox::ShowMessage(u"주파수를 변경하시겠습니까?", NaviMessageBox::kQuestion);
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(answer, 4002);
    // The window system's own box: its Win32 type (MB_YESNO) and answer (IDNO).
    EXPECT_EQ(Boxes(run.msgboxLog), (std::vector<std::string>{"주파수를 변경하시겠습니까?\t0004\t7"}));
}

TEST(MessageBoxLines, BreakAtLineFeedsBlanksAndTheBoxWidth) {
    using Lines = std::vector<CString>;
    // Hangul is 13 pixels a character in the 200-pixel text: 15 fit on a line.
    std::u16string twenty(20, u'가');
    EXPECT_EQ(NaviMessageBox::BreakLines(twenty.c_str()),
              (Lines{std::u16string(15, u'가').c_str(), std::u16string(5, u'가').c_str()}));
    EXPECT_EQ(NaviMessageBox::BreakLines(u"수신기를 찾았습니다.\nGPS 수신기 : 내장\n\n설정하시겠습니까?"),
              (Lines{u"수신기를 찾았습니다.", u"GPS 수신기 : 내장", u"", u"설정하시겠습니까?"}));
    // A long line breaks at its last blank: 12 Hangul (156) + blank (7) + 4 Hangul would be 215.
    EXPECT_EQ(NaviMessageBox::BreakLines(u"가가가가가가가가가가가가 나나나나"),
              (Lines{u"가가가가가가가가가가가가", u"나나나나"}));
    EXPECT_EQ(NaviMessageBox::BreakLines(u""), (Lines{u""}));
}

namespace {

// A screen of one button, "이전", and a listener that logs and can close the dialog.
class OneButtonBuilder : public NaviRcBuilder {
public:
    void BuildPanel(CWnd*, NaviPanel* root, CString) override {
        root->SetSize(240, 120);
        root->SetPos(0, 100);
        auto* button = new NaviButton();
        button->SetName(u"이전");
        button->SetSize(60, 30);
        button->SetPos(20, 150);
        button->SetListener(root);
        root->AddChild(button);
    }
};

class PageListener : public NaviListener {
public:
    CNaviCommonDlg* dialog = nullptr;
    bool closeOnBuild = false;
    int retOnBuild = 4; // -1: closes without a result
    std::vector<std::string> events;
    void ProcessEvent(NaviCommand& cmd) override {
        events.push_back(Utf16ToUtf8(cmd.target.Str()) + "/" + Utf16ToUtf8(cmd.control.Str()) + "/" +
                         std::to_string(cmd.id));
        if (cmd.id == kCmdDialogBuilt && closeOnBuild) {
            if (retOnBuild >= 0) dialog->SetCommonRet(retOnBuild);
            dialog->Close();
        }
        if (cmd.target == CString(u"이전")) {
            dialog->SetCommonRet(3);
            dialog->Close();
        }
    }
};

} // namespace

TEST(CommonDialog, BuildNoticeFirstThenTheScreensCommandsAndTheResult) {
    TempRoot root;
    OneButtonBuilder builder;
    PageListener listener;
    int ret = -1;
    const ScriptRun run = RunScript(root, "wait 100\ntap 50 165\n", [&] {
        CNaviCommonDlg dialog(nullptr);
        listener.dialog = &dialog;
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"환경설정-화면");
        dialog.SetNaviListener(&listener);
        dialog.SetRoundType(true);
        EXPECT_EQ(dialog.GetCommonRet(), 0);
        dialog.DoModal();
        ret = dialog.GetCommonRet();
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(listener.events, (std::vector<std::string>{"DIALOG/환경설정-화면/2020", "이전//2015"}));
    EXPECT_EQ(ret, 3);
}

TEST(CommonDialog, ClosingWhileLoadingTheScreenEndsTheRun) {
    TempRoot root;
    OneButtonBuilder builder;
    PageListener listener;
    listener.closeOnBuild = true;
    int ret = -1;
    const ScriptRun run = RunScript(root, "wait 100\n", [&] {
        CNaviCommonDlg dialog(nullptr);
        listener.dialog = &dialog;
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"정보저장위치");
        dialog.SetNaviListener(&listener);
        dialog.DoModal();
        ret = dialog.GetCommonRet();
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(listener.events, (std::vector<std::string>{"DIALOG/정보저장위치/2020"}));
    EXPECT_EQ(ret, 4);
}

TEST(CommonDialog, EveryRunStartsWithoutAResult) {
    TempRoot root;
    OneButtonBuilder builder;
    PageListener listener;
    std::vector<int> rets;
    // The first run ends on "이전" (3); the second is closed by the listener without a result.
    const ScriptRun run = RunScript(root, "wait 100\ntap 50 165\nwait 100\n", [&] {
        CNaviCommonDlg dialog(nullptr);
        listener.dialog = &dialog;
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"환경설정-화면");
        dialog.SetNaviListener(&listener);
        dialog.DoModal();
        rets.push_back(dialog.GetCommonRet());
        listener.closeOnBuild = true;
        listener.retOnBuild = -1;
        dialog.DoModal();
        rets.push_back(dialog.GetCommonRet());
    });
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(rets, (std::vector<int>{3, 0}));
}

TEST(CommonDialog, WithoutAListenerCommandsAreDropped) {
    CNaviCommonDlg dialog(nullptr);
    NaviCommand cmd;
    cmd.target = u"이전";
    cmd.id = 2015;
    dialog.ProcessEvent(cmd); // nothing to hand it to, nothing happens
    dialog.ProcessCommand(cmd);
    EXPECT_EQ(dialog.GetCommonRet(), 0);
}

namespace {

// A control of the pop-up screen that logs the commands addressed to it.
class LogControl : public NaviControl {
public:
    explicit LogControl(std::vector<std::string>* log) : m_log(log) {}
    void OnPenDown() override {}
    void OnPenUp() override {}
    int HitTest(int, int) override { return 0; }
    void LoadImages(NaviRcBuilder*) override {}
    void Draw(CDC*) override {}
    void ProcessCommand(NaviCommand& cmd) override {
        if (cmd.control != m_name) return;
        m_log->push_back(std::to_string(cmd.id) + ":" + Utf16ToUtf8(cmd.text.Str()) + ":" + std::to_string(cmd.param1));
    }

private:
    std::vector<std::string>* m_log;
};

// A combo without skin images: it takes taps at its place (drawing lays a combo out by its
// images, which are missing here).
class FixedCombo : public NaviComboBox {
public:
    int HitTest(int x, int y) override { return x >= 20 && x < 120 && y >= 100 && y < 130; }
};

// The calling screen: a combo "음성설정" (three items, the second selected) and "이전"; the
// pop-up screen named after the combo: its list "음성설정그룹" and a "Close" button.
class ComboBuilder : public NaviRcBuilder {
public:
    std::vector<std::string> popupLog;
    void BuildPanel(CWnd*, NaviPanel* root, CString name) override {
        root->SetSize(240, 320);
        root->SetPos(0, 0);
        auto button = [&](const char16_t* text, int y) {
            auto* b = new NaviButton();
            b->SetName(text);
            b->SetSize(60, 30);
            b->SetPos(20, y);
            b->SetListener(root);
            root->AddChild(b);
        };
        if (name == CString(u"음성설정")) {
            auto* list = new LogControl(&popupLog);
            list->SetName(u"음성설정그룹");
            root->AddChild(list);
            button(u"Close", 200);
            return;
        }
        auto* combo = new FixedCombo();
        combo->AssignName(u"음성설정");
        combo->SetVisible(true);
        combo->SetEnabled(true);
        combo->SetSize(100, 30);
        combo->SetPos(20, 100);
        for (const char16_t* item : {u"남성", u"여성", u"없음"}) combo->AddItem(item);
        combo->Select(1);
        combo->SetListener(root);
        root->AddChild(combo);
        button(u"이전", 150);
    }
};

class ComboPageListener : public NaviListener {
public:
    CNaviCommonDlg* dialog = nullptr;
    CNaviComboPopup* popup = nullptr;
    int comboTaps = 0;
    std::vector<std::string> events;
    void ProcessEvent(NaviCommand& cmd) override {
        if (cmd.id == kCmdComboTapped) ++comboTaps;
        if (popup->Handle(cmd)) return;
        events.push_back(Utf16ToUtf8(cmd.target.Str()) + "/" + std::to_string(cmd.id));
        if (cmd.target == CString(u"이전")) dialog->Close();
    }
};

} // namespace

TEST(ComboPopup, OpensOverTheCallerFilledByTheComboAndClosesOnItsWord) {
    TempRoot root;
    ComboBuilder builder;
    ComboPageListener listener;
    bool openAfter = true;
    const ScriptRun run = RunScript(root, "wait 100\ntap 70 115\nwait 100\ntap 50 215\nwait 100\ntap 50 165\n", [&] {
        CNaviCommonDlg dialog(nullptr);
        CNaviComboPopup popup(&dialog, &builder);
        listener.dialog = &dialog;
        listener.popup = &popup;
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"화면");
        dialog.SetNaviListener(&listener);
        dialog.DoModal();
        openAfter = popup.IsOpen();
    });
    ASSERT_FALSE(run.failed) << run.failure;
    // The combo's rows and its selection reached the pop-up's list.
    EXPECT_EQ(builder.popupLog, (std::vector<std::string>{"2021:남성:-1", "2021:여성:-1", "2021:없음:-1", "2014::1"}));
    // The caller saw its own commands only: the build notice and "이전".
    EXPECT_EQ(listener.events, (std::vector<std::string>{"DIALOG/2020", "이전/2015"}));
    EXPECT_EQ(listener.comboTaps, 1);
    EXPECT_FALSE(openAfter);
}
