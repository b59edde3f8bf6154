// The name search screen under the headless host on a database of thirty names that all begin
// with "가" ("가00" ... "가29"): rows loaded twelve at a time, the count texts, and a previous
// result whose row the database no longer has. The list's rows start at y 81 and are 14 high (built-in font).
#include "commondlg/NaviMessageBox.h"
#include "search/tests/SearchBytes.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "platform/window/Afx.h"
#include "platform/window/WindowHost.h"
#include "search/ui/CDlgNameSrch.h"
#include "skinui/NaviRcBuilder.h"

#include <cstdio>

namespace {

constexpr int kNames = 30;

// One top-level index entry "가" holding every record; records from 100, the 30-byte table after.
std::string ThirtyNames() {
    DbHeaderFields f;
    f.offset[2] = 84;
    f.count[2] = 1;
    f.recordBase = 100;
    f.recordEnd = 100 + 40 * kNames;
    f.entry30 = f.recordEnd;
    SearchBytes b = DbHeaderBytes(f);
    b.raw(K("가")).u32(0).u16(0).u32(0).u32(kNames);
    for (int i = 0; i < kNames; ++i) {
        char digits[12];
        std::snprintf(digits, sizeof digits, "%02d", i);
        NameRecordBytes(b, K("가") + digits, 6733, 100 + i, 200 + i, 1, 2, 0);
    }
    return b.s;
}

class NameDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("SearchDB/nVelko.db", ThirtyNames());
        root.MakeFile("SearchDB/AdminName.db", AdminNameBytes({"한울남도", "가람시"}));
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
    }
    void TearDown() override { box.Destruct(); }

    // Runs the screen with the script, "이전" tapped at the end.
    HostedRun RunScreen(CDlgNameSrch& dlg, const std::string& script) {
        dlg.SetPanelName(u"NameSearch");
        dlg.SetRcBuilder(&builder);
        EXPECT_TRUE(dlg.OpenOn(u"\\SearchDB\\nVelko.db", u"\\SearchDB\\AdminName.db", u"\\SearchDB\\POI.db"));
        return RunHosted(root, "wait 100\n" + script + "tap 175 18\nwait 100\n",
                         [&] { return static_cast<int>(dlg.DoModal()); });
    }

    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

TEST_F(NameDialogTest, TwelveRowsAtATimeAndTheCountTexts) {
    struct Case {
        const char* what;
        std::string script;
        int loaded;
        const char16_t* count;
    };
    const Case cases[] = {
        {"typed", "text \"가\"\nwait 100\n", 12, u"총 30 건"},
        {"fifth row", "text \"가\"\nwait 100\ntap 60 144\nwait 100\n", 12, u"총 5/30 건"},
        // The twelfth (last loaded) row selected by key: the next twelve.
        {"twelfth row", "text \"가\"\nwait 100\ntap 60 88\n" + [] {
             std::string keys;
             for (int i = 0; i < 11; ++i) keys += "key DOWN\n";
             return keys;
         }() + "wait 100\n",
         24, u"총 12/30 건"},
        {"nothing typed", "", 0, u"총 0 건"},
    };
    for (const Case& c : cases) {
        CDlgNameSrch dlg;
        const HostedRun run = RunScreen(dlg, c.script);
        ASSERT_FALSE(run.failed) << c.what << ": " << run.failure;
        EXPECT_EQ(run.code, IDCANCEL) << c.what;
        EXPECT_EQ(dlg.List().GetLoaded(), c.loaded) << c.what;
        EXPECT_TRUE(dlg.GetCountText() == c.count) << c.what << " " << dlg.GetCountText().ToUtf8();
    }
}

TEST_F(NameDialogTest, PreviousResultRestoresItsRowOrTheLastHit) {
    struct Case {
        int row;
        int loaded;
        const char16_t* count;
    };
    // Row 13 needs two pages; row 99 lies past the 30 hits of today's database: the last hit.
    const Case cases[] = {{4, 12, u"총 5/30 건"}, {13, 24, u"총 14/30 건"}, {99, 30, u"총 30/30 건"}};
    for (const Case& c : cases) {
        _NAME_RESULT prev;
        tolvik::CopyField(K("가"), prev.query, sizeof prev.query);
        tolvik::CopyField(K("가04"), prev.name, sizeof prev.name);
        prev.row = c.row;
        CDlgNameSrch dlg;
        dlg.SetPrevResult(prev);
        const HostedRun run = RunScreen(dlg, "");
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(dlg.List().GetLoaded(), c.loaded) << c.row;
        EXPECT_TRUE(dlg.GetCountText() == c.count) << c.row << " " << dlg.GetCountText().ToUtf8();
    }
}

// A list five rows high (16-pixel header, 14-pixel rows): line-down steps load the next twelve
// once the top row reaches the loaded count − 10, and not before.
TEST_F(NameDialogTest, LineDownScrollNearTheEndLoadsTheNextPage) {
    WinResetForTests();
    {
        CWnd host;
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                                  nullptr, nullptr));
        CNameSearcher searcher;
        ASSERT_TRUE(searcher.Create());
        ASSERT_TRUE(searcher.OpenOn(u"\\SearchDB\\nVelko.db", u"\\SearchDB\\AdminName.db"));
        int code = 0;
        ASSERT_TRUE(searcher.SearchPrefix(K("가").c_str(), code));
        CNameListCtrl list;
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_REPORT, RECT{0, 0, 218, 88},
                                &host, 5));
        list.SetupColumns();
        list.SetSearcher(&searcher);
        list.Reset();
        list.LoadPage();
        ASSERT_EQ(list.GetTotal(), kNames);
        std::vector<int> loaded;
        for (int step = 0; step < 4; ++step) {
            list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
            loaded.push_back(list.GetLoaded());
        }
        // Top rows 1 and 2 (loaded 12 − 10 = 2 reached), then 3 and 4 (24 − 10 = 14 not reached).
        EXPECT_EQ(loaded, (std::vector<int>{12, 24, 24, 24}));
        // Another scroll kind (the end of a scroll) loads nothing.
        list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
        EXPECT_EQ(list.GetLoaded(), 24);
        host.DestroyWindow();
    }
    WinResetForTests();
}

} // namespace
