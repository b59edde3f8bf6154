// The flowing text line and the big-row list box, drawn with the built-in font (height 13:
// Hangul syllables 12 pixels wide, ASCII 6).
#include "platform/base/Clock.h"
#include "platform/gdi/AfxGdi.h"
#include "platform/window/Afx.h"
#include "platform/window/WindowHost.h"
#include "search/ui/CExListBox.h"
#include "search/ui/NaviFlowString.h"
#include "skinui/NaviCommand.h"
#include "skinui/tests/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr RECT kBox{10, 5, 213, 25}; // 203 wide

// Nineteen syllables: 228 pixels, 238 with the gap.
const char16_t* const kLong = u"가나다라마바사아자차카타파하가나다라마";

// The left edges of count draws, the canvas cleared before each (the owner repaints its
// background every paint).
std::vector<int> Lefts(NaviFlowString& flow, Canvas& canvas, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) {
        canvas.Clear();
        flow.Draw(&canvas.cdc);
        out.push_back(flow.TextLeft());
    }
    return out;
}

std::vector<int> Repeat(int value, int n) {
    return std::vector<int>(static_cast<std::size_t>(n), value);
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(NaviFlowStringTest, LongTextInFitModeRestsEightDrawsAtEachEndAndMovesTwoPixels) {
    Canvas canvas(240, 40);
    NaviFlowString flow;
    flow.SetBox(kBox);
    flow.SetAlign(0);
    flow.SetFlowMode(1);
    flow.SetText(kLong);
    std::vector<int> moving;
    for (int left = -2; left >= -34; left -= 2) moving.push_back(left);
    const std::vector<int> expected = Join({Repeat(0, 8), moving, Repeat(-36, 8), Repeat(0, 8), {-2}});
    EXPECT_EQ(Lefts(flow, canvas, static_cast<int>(expected.size())), expected);
    EXPECT_EQ(flow.TextLength(), 238);
}

TEST(NaviFlowStringTest, TextIsDrawnOnlyInsideTheBoxAndShiftsWithTheEdge) {
    Canvas canvas(240, 40);
    NaviFlowString flow;
    flow.SetBox(kBox);
    flow.SetAlign(0);
    flow.SetFlowMode(1);
    flow.SetText(kLong);
    canvas.Clear();
    flow.Draw(&canvas.cdc);
    const RECT first = canvas.Ink();
    EXPECT_GE(first.left, kBox.left);
    EXPECT_LE(first.right, kBox.right);
    EXPECT_GE(first.top, kBox.top);
    EXPECT_LE(first.bottom, kBox.bottom);
    std::vector<COLORREF> atStart;
    for (int x = kBox.left + 2; x < kBox.right; ++x) atStart.push_back(canvas.At(x, 15));
    Lefts(flow, canvas, 8); // seven rests, then the first move of 2 pixels
    ASSERT_EQ(flow.TextLeft(), -2);
    for (int x = kBox.left; x < kBox.right - 2; ++x)
        ASSERT_EQ(canvas.At(x, 15), atStart[static_cast<std::size_t>(x - kBox.left)]) << x;
    EXPECT_LE(canvas.Ink().right, kBox.right);
}

TEST(NaviFlowStringTest, FittingTextNeverMovesAndAnEmptyTextDrawsNothing) {
    Canvas canvas(240, 40);
    NaviFlowString flow;
    flow.SetBox(kBox);
    flow.SetFlowMode(1);
    flow.SetAlign(0);
    flow.SetText(u"가람시청 ABC");
    EXPECT_EQ(Lefts(flow, canvas, 40), Repeat(0, 40));
    EXPECT_EQ(flow.TextLength(), 48 + 24 + 10);
    // Centred, it stays at half the box.
    flow.SetAlign(1);
    flow.SetText(u"가람시청 ABC");
    EXPECT_EQ(Lefts(flow, canvas, 20), Repeat(101, 20));

    NaviFlowString empty;
    empty.SetBox(kBox);
    canvas.Clear();
    empty.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
}

TEST(NaviFlowStringTest, TickerLeavesOnTheLeftAndEntersAgainAtTheBoxEnd) {
    Canvas canvas(240, 40);
    NaviFlowString flow;
    flow.SetBox(RECT{0, 0, 100, 20});
    flow.SetFlowMode(0); // a ticker, centred start: 50
    flow.SetText(u"ABC"); // 18 + 10 = 28
    std::vector<int> expected;
    for (int left = 50; left >= 2; left -= 2) expected.push_back(left);
    // At the start limit it rests like the scrolling mode, then leaves until its right edge
    // passes 0 (left -28) and comes back in at the box's right edge.
    expected = Join({expected, Repeat(0, 8)});
    for (int left = -2; left >= -26; left -= 2) expected.push_back(left);
    expected = Join({expected, {100, 98, 96}});
    EXPECT_EQ(Lefts(flow, canvas, static_cast<int>(expected.size())), expected);
}

TEST(NaviFlowStringTest, SettingTheTextAgainRestartsAndCommand107ByNameSetsIt) {
    Canvas canvas(240, 40);
    NaviFlowString flow;
    flow.SetName(u"주소");
    flow.SetBox(kBox);
    flow.SetAlign(0);
    flow.SetFlowMode(1);
    flow.SetText(kLong);
    Lefts(flow, canvas, 12);
    ASSERT_EQ(flow.TextLeft(), -8);
    flow.SetText(kLong);
    EXPECT_EQ(Lefts(flow, canvas, 9), Join({Repeat(0, 8), {-2}}));

    struct Case {
        const char16_t* target;
        const char16_t* control;
        int id;
        bool taken;
    };
    const Case cases[] = {
        {u"DIALOG", u"주소", 107, true},   {u"NaviMain", u"주소", 107, true},
        {u"DIALOG", u"전화번호", 107, false}, {u"DIALOG", u"주소", 108, false},
        {u"OTHER", u"주소", 107, false},
    };
    for (const Case& c : cases) {
        flow.SetText(u"before");
        NaviCommand cmd;
        cmd.target = c.target;
        cmd.control = c.control;
        cmd.id = c.id;
        cmd.text = u"after";
        flow.ProcessCommand(cmd);
        EXPECT_EQ(CString(flow.GetText()) == CString(u"after"), c.taken) << c.id;
    }
}

class ExListHost : public CWnd {};

COLORREF ScreenAt(int x, int y) {
    WinComposeScreen();
    gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
    return screen ? screen->GetColor(x, y) : CLR_INVALID;
}

TEST(CExListBoxTest, EveryRowDrawsItsOwnTextInTripledRows) {
    GdiUseBuiltinFont(true);
    WinResetForTests();
    {
        ExListHost host;
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                                  nullptr, nullptr));
        CExListBox list;
        ASSERT_TRUE(list.CreateListBox(&host, RECT{0, 0, 240, 320}));
        EXPECT_EQ(list.GetDlgCtrlID(), 1);
        list.AddInfo();
        ASSERT_EQ(list.GetCount(), 100);
        // The built-in font's line at the list's font, tripled.
        const int base = list.GetItemHeight();
        EXPECT_EQ(base % 3, 0);
        for (int row : {0, 57, 99}) {
            const auto* text = reinterpret_cast<const CString*>(list.GetItemData(row));
            ASSERT_NE(text, nullptr);
            const CString want = CString(Utf8ToUtf16(std::to_string(row)).c_str()) + CString(u" 우리나라 만세...!!!");
            EXPECT_TRUE(*text == want) << row;
        }
        list.SetTopIndex(56);
        list.SetCurSel(57);
        ::UpdateWindow(list);
        // Row 56 at the top (yellow), row 57 below it (blue); each with some text in its colour.
        auto rowHas = [&](int top, COLORREF back, COLORREF ink) {
            bool sawBack = false, sawInk = false;
            for (int y = top + 1; y < top + base - 1; ++y)
                for (int x = 2; x < 200; ++x) {
                    const COLORREF c = ScreenAt(x, y);
                    sawBack = sawBack || c == back;
                    sawInk = sawInk || c == ink;
                }
            return sawBack && sawInk;
        };
        EXPECT_TRUE(rowHas(1, RGB(255, 255, 0), RGB(255, 0, 0)));
        EXPECT_TRUE(rowHas(1 + base, RGB(0, 0, 255), RGB(255, 255, 0)));
        host.DestroyWindow();
    }
    WinResetForTests();
}

} // namespace
