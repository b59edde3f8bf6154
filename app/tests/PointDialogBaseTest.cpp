// The behaviour the point dialogs share, on a small dialog over the recent-destination screen
// under the headless host ("삭제" 13-81, "위치보기" 86-154 on the row at y 256-283; "이전" 154-195
// and "현위치" 197-238 at the top): the full-screen window, the taps reaching the dialog, Enter and
// Escape swallowed (or kept), closing and cancelling, and state 3 around message boxes.
#include "app/PointDialogBase.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/window/Shell.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "skinui/NaviRcBuilder.h"

#include <gtest/gtest.h>

namespace {

class ProbeDialog : public CPointDialogBase {
public:
    explicit ProbeDialog(bool keepKeys) : CPointDialogBase(kTemplate, nullptr), m_keepKeys(keepKeys) {}
    static constexpr UINT kTemplate = 4990;

    void ProcessEvent(NaviCommand& cmd) override {
        events.push_back(cmd.target);
        if (cmd.target == u"이전") {
            Close();
        } else if (cmd.target == u"현위치") {
            Cancel();
        } else if (cmd.target == u"삭제") {
            if (!answers.empty()) {
                answers.push_back(Ask(u"지울까요?"));
                return;
            }
            // The first box of the run: what the activation after it did.
            sipCallsBefore = ShellSipPreferenceCalls().size();
            answers.push_back(Ask(u"지울까요?"));
            stateAfterBox = GetActivationState();
            sipCallsAfter = ShellSipPreferenceCalls().size();
            HWND taskbar = FindWindowW(u"HHTaskbar", nullptr);
            taskbarVisibleAfterBox = taskbar && ::IsWindowVisible(taskbar);
        } else if (cmd.target == u"위치보기") {
            Notify(u"알림");
        }
    }

    std::vector<CString> events;
    std::vector<int> answers;
    RECT openedRect{};
    int stateAfterBox = -1;
    std::size_t sipCallsBefore = 0, sipCallsAfter = 0;
    bool taskbarVisibleAfterBox = true;

protected:
    bool KeepsDialogKeys() const override { return m_keepKeys; }
    void OnOpen() override { GetWindowRect(&openedRect); }

private:
    bool m_keepKeys;
};

class PointDialogBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
    }
    void TearDown() override { box.Destruct(); }

    HostedRun Run(ProbeDialog& dialog, const std::string& script, INT_PTR& code) {
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"최근목적지");
        return RunHosted(root, script, [&] {
            code = dialog.DoModal();
            return 0;
        });
    }

    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

TEST_F(PointDialogBaseTest, OpensFullScreenSwallowsEnterAndEscapeAndClosesWithOk) {
    ProbeDialog dialog(false);
    INT_PTR code = 0;
    const HostedRun run = Run(dialog,
                              "key RETURN\nkey ESCAPE\nanswer yes\ntap 47 270\nanswer ok\ntap 120 270\n"
                              "answer no\ntap 47 270\ntap 175 18\n",
                              code);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(dialog.openedRect.left, 0);
    EXPECT_EQ(dialog.openedRect.top, 0);
    EXPECT_EQ(dialog.openedRect.right, 240);
    EXPECT_EQ(dialog.openedRect.bottom, 320);
    // Enter and Escape did not end the dialog; every tap reached it, in order.
    EXPECT_EQ(dialog.events, (std::vector<CString>{u"삭제", u"위치보기", u"삭제", u"이전"}));
    EXPECT_EQ(dialog.answers, (std::vector<int>{NaviMessageBox::kYes, NaviMessageBox::kNo}));
    EXPECT_EQ(run.msgboxLog.find("지울까요?\t3000\t4001") != std::string::npos, true) << run.msgboxLog;
    EXPECT_NE(run.msgboxLog.find("알림\t3001\t4001"), std::string::npos) << run.msgboxLog;
    // State 3 held across the boxes: the activation after a box redid nothing.
    EXPECT_EQ(dialog.stateAfterBox, kActivationChildUp);
    EXPECT_EQ(dialog.sipCallsAfter, dialog.sipCallsBefore);
    EXPECT_FALSE(dialog.taskbarVisibleAfterBox);
    // Closing marks the dialog as closing.
    EXPECT_EQ(dialog.GetActivationState(), kActivationClosing);
}

TEST_F(PointDialogBaseTest, CancelAndTheDialogKeysEndWithIdCancel) {
    struct Case {
        const char* what;
        bool keepKeys;
        std::string script;
        std::vector<CString> events;
    };
    const Case cases[] = {
        {"the cancel operation", false, "tap 217 18\n", {u"현위치"}},
        {"Escape kept by the dialog", true, "key ESCAPE\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeDialog dialog(c.keepKeys);
        INT_PTR code = 0;
        const HostedRun run = Run(dialog, c.script, code);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(code, IDCANCEL);
        EXPECT_EQ(dialog.events, c.events);
        EXPECT_EQ(dialog.GetActivationState(), kActivationClosing);
    }
}

TEST(PointDialogBaseTabs, TypesAndTabsMatchBothWays) {
    // type -> tab index, the tab's name -> type.
    const struct {
        int type;
        int tab;
        const char16_t* name;
    } rows[] = {{2, 0, u"텝_목적지"}, {3, 1, u"텝_경유지"}, {1, 2, u"텝_출발지"}, {4, 3, u"텝_이동"}};
    for (const auto& row : rows) {
        EXPECT_EQ(CPointDialogBase::TabIndexForType(row.type), row.tab);
        EXPECT_EQ(CPointDialogBase::TypeForTabName(row.name), row.type);
    }
    EXPECT_EQ(CPointDialogBase::TabIndexForType(0), 3);
    EXPECT_EQ(CPointDialogBase::TabIndexForType(7), 3);
    EXPECT_EQ(CPointDialogBase::TypeForTabName(u"텝_기타"), 0);
    // A 20-byte field without a terminator, and one stopped by its NUL.
    const char full[20] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
                           'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T'};
    EXPECT_EQ(CPointDialogBase::FromCp949(full, sizeof full), CString(u"ABCDEFGHIJKLMNOPQRST"));
    const char cut[20] = "\xB0\xA1\0junk";
    EXPECT_EQ(CPointDialogBase::FromCp949(cut, sizeof cut), CString(u"가"));
}

} // namespace
