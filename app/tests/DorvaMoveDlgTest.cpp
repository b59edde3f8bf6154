// The location-code move dialog under the headless host on the sample skin: keypad keys "1" to
// "9" at (16 + 55c, 157 + 32r), "0" at (16, 253), "Clear" at (181, 253), each 53 x 30 (the side
// keys 43 wide); "위치보기" 13-109 and "바로탐색" 131-227 on the row at y 102-129; "이전" 154-195 and
// "현위치" 197-238 at the top; the four type tabs at y 284; the three fields at y 64-85.
#include "app/DorvaMoveDlg.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/window/WindowHost.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "skinui/NaviRcBuilder.h"

#include <gtest/gtest.h>

namespace {

// Script lines that tap a keypad key, a field or a button.
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
const std::string kRouteNow = "tap 180 115\n";
const std::string kBack = "tap 175 18\n";
const std::string kHere = "tap 217 18\n";
const std::string kFieldFineX = "tap 57 74\n";
const std::string kFieldFineY = "tap 121 74\n";
const std::string kWaypointTab = "tap 91 298\n";

struct Outcome {
    INT_PTR code = 0;
    HostedRun run;
    CString texts[3];
    int focus = 0;
    std::uint64_t clicks = 0;
};

class DorvaMoveDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
    }
    void TearDown() override { box.Destruct(); }

    Outcome Run(CDorvaMoveDlg& dialog, const std::string& script,
                std::array<const char16_t*, 3> texts = {u"", u"", u""}) {
        Outcome out;
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"도르바이동");
        const CString in[3] = {texts[0], texts[1], texts[2]};
        dialog.SetCodeTexts(in);
        out.run = RunHosted(root, script, [&] {
            const std::uint64_t before = WinKeyClickCount();
            out.code = dialog.DoModal();
            out.clicks = WinKeyClickCount() - before;
            return 0;
        });
        dialog.GetCodeTexts(out.texts);
        out.focus = dialog.GetFocusedEdit();
        return out;
    }

    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

TEST_F(DorvaMoveDlgTest, KeypadDigitsAdvanceAFullFieldButKeyboardTextDoesNot) {
    struct Case {
        const char* what;
        std::string script;
        const char16_t* texts[3];
        int focus;
        std::uint64_t clicks; // only the advancing Tab clicks: keypad keys are silent
    };
    const Case cases[] = {
        {"keys 1 2 3", Keys("123"), {u"123", u"", u""}, CDorvaMoveDlg::kEditFineY, 1},
        {"key 2 three times", Keys("222"), {u"222", u"", u""}, CDorvaMoveDlg::kEditFineY, 1},
        {"through both fine fields", Keys("1234567"), {u"123", u"456", u"7"}, CDorvaMoveDlg::kEditDigits, 2},
        {"the digits field does not advance",
         Keys("00000012345"),
         {u"000", u"000", u"1234"},
         CDorvaMoveDlg::kEditDigits,
         2},
        {"keyboard text", "text \"123\"\n", {u"123", u"", u""}, CDorvaMoveDlg::kEditFineX, 0},
        {"backspace",
         Keys("12") + "tap 202 172\n" + Keys("45"),
         {u"145", u"", u""},
         CDorvaMoveDlg::kEditFineY,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDorvaMoveDlg dialog(nullptr);
        const Outcome out = Run(dialog, c.script + kBack);
        ASSERT_FALSE(out.run.failed) << out.run.failure;
        EXPECT_EQ(out.code, IDCANCEL);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(out.texts[i], CString(c.texts[i])) << i;
        EXPECT_EQ(out.focus, c.focus);
        EXPECT_EQ(out.clicks, c.clicks);
    }
}

TEST_F(DorvaMoveDlgTest, ShowConfirmsAValidCodeAndDecodesTheCellCentre) {
    CDorvaMoveDlg dialog(nullptr);
    const Outcome out = Run(dialog, Keys("0000003606") + kShow);
    ASSERT_FALSE(out.run.failed) << out.run.failure;
    EXPECT_EQ(out.code, IDOK);
    EXPECT_EQ(out.run.msgboxLog, "");
    EXPECT_FALSE(dialog.IsRouteNow());
    EXPECT_FALSE(dialog.IsCurrentPosition());
    std::int32_t x = 0;
    std::int32_t y = 0;
    DorvaCode code;
    ASSERT_TRUE(dialog.GetPosition(x, y, code));
    // Sheet column 3, row 6, sub-column 0, sub-row 6, fine 0 and 0:
    // x = ((0 + 8*3 - 8) * 1000 + 0) * 10 + 5, y = ((6 + 8*6 - 1) * 1000 + 0) * 10 + 5.
    EXPECT_EQ(x, 160005);
    EXPECT_EQ(y, 530005);
    EXPECT_EQ(static_cast<std::int32_t>(x * 1.2), 192006); // the shell's map x
    EXPECT_EQ(code.sheetColumn, 3);
    EXPECT_EQ(code.sheetRow, 6);
    EXPECT_EQ(code.subColumn, 0);
    EXPECT_EQ(code.subRow, 6);
    EXPECT_EQ(code.fineX, 0);
    EXPECT_EQ(code.fineY, 0);
}

TEST_F(DorvaMoveDlgTest, RefusedEntriesKeepTheDialogOpenWithTheFocusWhereTheFaultIs) {
    const CString invalid = AfxLoadString(61208);
    const CString outside = AfxLoadString(211);
    const CString routeFirst = AfxLoadString(61210);
    struct Case {
        const char* what;
        std::array<const char16_t*, 3> texts;
        std::string script;
        CString notice;
        int focus;
    };
    const Case cases[] = {
        {"empty second field", {u"000", u"", u"3606"}, kShow, invalid, CDorvaMoveDlg::kEditFineY},
        {"empty first field",
         {u"", u"000", u"3606"},
         kFieldFineY + kShow,
         invalid,
         CDorvaMoveDlg::kEditFineX},
        {"empty digits", {u"000", u"000", u""}, kShow, invalid, CDorvaMoveDlg::kEditDigits},
        {"a remembered text that is no number",
         {u"000", u"0x1", u"3606"},
         kShow,
         invalid,
         CDorvaMoveDlg::kEditFineY},
        {"outside the map",
         {u"999", u"999", u"9999"},
         kFieldFineY + kShow,
         outside,
         CDorvaMoveDlg::kEditFineX},
        // Sub-column 8 names no cell (it would land in the next sheet's first column).
        {"sub-column above 7",
         {u"000", u"000", u"3686"},
         kFieldFineY + kShow,
         outside,
         CDorvaMoveDlg::kEditFineX},
        {"sub-row above 7",
         {u"000", u"000", u"3608"},
         kFieldFineY + kShow,
         outside,
         CDorvaMoveDlg::kEditFineX},
        {"route now to a waypoint without a destination",
         {u"000", u"000", u"3606"},
         kWaypointTab + kRouteNow,
         routeFirst,
         CDorvaMoveDlg::kEditFineX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDorvaMoveDlg dialog(nullptr);
        const Outcome out = Run(dialog, "answer ok\n" + c.script + kBack, c.texts);
        ASSERT_FALSE(out.run.failed) << out.run.failure;
        EXPECT_EQ(out.code, IDCANCEL);
        EXPECT_NE(out.run.msgboxLog.find(c.notice.ToUtf8() + "\t3001"), std::string::npos)
            << out.run.msgboxLog;
        EXPECT_EQ(out.focus, c.focus);
    }
}

TEST_F(DorvaMoveDlgTest, TypesRouteNowAndTheCurrentPosition) {
    struct Case {
        const char* what;
        std::string script;
        bool direct;
        INT_PTR code;
        int type;
        bool routeNow;
        bool here;
    };
    const Case cases[] = {
        {"route now to the destination", "tap 33 298\n" + kRouteNow, false, IDOK, 2, true, false},
        {"route now to a waypoint with a destination set", kWaypointTab + kRouteNow, true, IDOK, 3, true,
         false},
        {"show, starting as a move", kShow, false, IDOK, 4, false, false},
        {"the start tab, then show", "tap 149 298\n" + kShow, false, IDOK, 1, false, false},
        {"current position", kHere, false, IDCANCEL, 4, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDorvaMoveDlg dialog(nullptr);
        dialog.SetDirectRoute(c.direct);
        const Outcome out = Run(dialog, c.script, {u"000", u"000", u"3606"});
        ASSERT_FALSE(out.run.failed) << out.run.failure;
        EXPECT_EQ(out.code, c.code);
        EXPECT_EQ(out.run.msgboxLog, "");
        EXPECT_EQ(dialog.GetType(), c.type);
        EXPECT_EQ(dialog.IsRouteNow(), c.routeNow);
        EXPECT_EQ(dialog.IsCurrentPosition(), c.here);
    }
}

TEST_F(DorvaMoveDlgTest, ClearEmptiesOnlyTheFocusedField) {
    CDorvaMoveDlg dialog(nullptr);
    const Outcome out = Run(dialog, kFieldFineY + kClear + kBack, {u"111", u"222", u"3333"});
    ASSERT_FALSE(out.run.failed) << out.run.failure;
    EXPECT_EQ(out.texts[0], CString(u"111"));
    EXPECT_EQ(out.texts[1], CString(u""));
    EXPECT_EQ(out.texts[2], CString(u"3333"));
}

TEST(DorvaMoveDlgDecode, SplitsTheDigitsAndRefusesCellsOutsideTheSheet) {
    struct Case {
        int fineX, fineY, digits;
        bool ok;
        int d1, d2, d3, d4;
        std::int32_t x, y;
    };
    // x = ((d3 + 8 d1 - 8) * 1000 + fineX) * 10 + 5, y = ((d4 + 8 d2 - 1) * 1000 + fineY) * 10 + 5.
    const Case cases[] = {
        {0, 0, 3606, true, 3, 6, 0, 6, 160005, 530005},
        {999, 999, 3606, true, 3, 6, 0, 6, 169995, 539995},
        {0, 0, 1234, true, 1, 2, 3, 4, 30005, 190005},
        {0, 0, 7, false, 0, 0, 0, 7, 0, 0},    // sheet column 0 lies west of the map
        {0, 0, 3686, false, 3, 6, 8, 6, 0, 0}, // sub-column 8 is no cell
        {0, 0, 3608, false, 3, 6, 0, 8, 0, 0}, // sub-row 8 is no cell
        {0, 0, 9999, false, 9, 9, 9, 9, 0, 0},
        {0, 0, 1803, false, 1, 8, 0, 3, 0, 0}, // y 660005 lies north of the map
    };
    for (const Case& c : cases) {
        DorvaCode code;
        std::int32_t x = 0;
        std::int32_t y = 0;
        const bool ok = CDorvaMoveDlg::Decode(c.fineX, c.fineY, c.digits, code, x, y);
        EXPECT_EQ(ok, c.ok) << c.digits;
        EXPECT_EQ(code.sheetColumn, c.d1) << c.digits;
        EXPECT_EQ(code.sheetRow, c.d2) << c.digits;
        EXPECT_EQ(code.subColumn, c.d3) << c.digits;
        EXPECT_EQ(code.subRow, c.d4) << c.digits;
        if (c.ok) {
            EXPECT_EQ(x, c.x) << c.digits;
            EXPECT_EQ(y, c.y) << c.digits;
        }
    }
    DorvaCode code;
    std::int32_t x = 0;
    std::int32_t y = 0;
    EXPECT_FALSE(CDorvaMoveDlg::Decode(1000, 0, 3606, code, x, y));
    EXPECT_FALSE(CDorvaMoveDlg::Decode(0, 0, 10000, code, x, y));
    EXPECT_FALSE(CDorvaMoveDlg::Decode(-1, 0, 3606, code, x, y));
}

} // namespace
