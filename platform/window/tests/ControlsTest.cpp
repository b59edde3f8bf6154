// Native controls, dialog templates, data exchange, the dialog keys, property sheets and the
// drawn message box, driven through pen and key input as a user would.
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/Afx.h"
#include "platform/window/PropertySheet.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kTemplate = 700;
constexpr int kNumber = 1001;
constexpr int kReal = 1002;
constexpr int kName = 1003;
constexpr int kButton = 1004;
constexpr int kList = 1005;
constexpr int kCombo = 1006;

std::vector<std::string>* g_log = nullptr;
void Log(const std::string& s) {
    if (g_log) g_log->push_back(s);
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&m_clock);
        GdiUseBuiltinFont(true);
        WinResetForTests();
        g_log = &m_log;
    }
    void TearDown() override {
        WinResetForTests();
        g_log = nullptr;
        WinSetMessageBoxHandler(nullptr);
        InstallClock(nullptr);
    }
    // Dispatches what is queued, giving the framework windows under top their PreTranslateMessage.
    static void Pump(HWND top) {
        MSG m;
        for (int guard = 0; guard < 1000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (m.message == WM_QUIT) break;
            if (CWnd::WalkPreTranslateTree(top, &m)) continue;
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        WinDispatchPending();
    }
    static void Tap(HWND top, int x, int y) {
        WinInjectPen(WM_LBUTTONDOWN, x, y);
        WinInjectPen(WM_LBUTTONUP, x, y);
        Pump(top);
    }
    static void Pen(HWND top, UINT message, int x, int y) {
        WinInjectPen(message, x, y);
        Pump(top);
    }
    static void Key(HWND top, BYTE vk, bool shift = false) {
        if (shift) keybd_event(VK_SHIFT, 0, 0, 0);
        keybd_event(vk, 0, 0, 0);
        keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
        if (shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
        Pump(top);
    }
    static void Type(HWND top, const std::u16string& text) {
        for (char16_t c : text) WinInjectChar(c);
        Pump(top);
    }
    SimulatedClock m_clock;
    std::vector<std::string> m_log;
};

// A dialog at (0, 0) with controls in pixels, in tab order.
void RegisterFormTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 200};
    info.style = WS_POPUP;
    info.title = u"폼";
    info.items = {
        {kNumber, WC_EDIT, RECT{10, 10, 110, 30}, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_NUMBER, u""},
        {kReal, WC_EDIT, RECT{120, 10, 230, 30}, WS_VISIBLE | WS_TABSTOP | WS_BORDER, u""},
        {kName, WC_EDIT, RECT{10, 40, 110, 60}, WS_VISIBLE | WS_TABSTOP | WS_BORDER, u""},
        {9999, WC_STATIC, RECT{120, 40, 230, 60}, WS_VISIBLE, u"라벨"},
        {kButton, WC_BUTTON, RECT{10, 70, 80, 90}, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, u"Go"},
        {kList, WC_LISTBOX, RECT{10, 100, 110, 160}, WS_VISIBLE | WS_TABSTOP | WS_BORDER | LBS_NOTIFY, u""},
        {kCombo, WC_COMBOBOX, RECT{120, 100, 230, 180}, WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, u""},
    };
    AfxRegisterDialogTemplate(kTemplate, info);
}

class FormDialog : public CDialog {
public:
    FormDialog() : CDialog(kTemplate) {}
    int m_number = 7;
    double m_real = 2.5;
    CString m_name = u"집";
    int m_changes = 0;
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, kNumber, m_number);
        DDX_Text(dx, kReal, m_real);
        DDX_Text(dx, kName, m_name);
        DDV_MaxChars(dx, m_name, 5);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == kButton && code == BN_CLICKED) Log("clicked");
        if (id == kNumber && code == EN_CHANGE) ++m_changes;
        if (id == kList && code == LBN_SELCHANGE) {
            const int i = static_cast<int>(SendDlgItemMessageW(m_hWnd, kList, LB_GETCURSEL, 0, 0));
            Log("list data " + std::to_string(SendDlgItemMessageW(m_hWnd, kList, LB_GETITEMDATA,
                                                                  static_cast<WPARAM>(i), 0)));
        }
        if (id == kCombo && code == CBN_SELCHANGE)
            Log("combo " + std::to_string(SendDlgItemMessageW(m_hWnd, kCombo, CB_GETCURSEL, 0, 0)));
        return CDialog::OnCommand(wParam, lParam);
    }
    void OnOK() override {
        Log("OnOK");
        CDialog::OnOK();
    }
    void OnCancel() override {
        Log("OnCancel");
        CDialog::OnCancel();
    }
};

TEST_F(ControlsTest, DialogUnitsFollowTheWindowsRuleWithSevenByFourteenBaseUnits) {
    struct Case {
        RECT units;
        RECT pixels;
    };
    // x = round(dx * 7 / 4), y = round(dy * 14 / 8).
    const Case cases[] = {
        {{7, 129, 44, 140}, {12, 226, 77, 245}},      // the news page's first button
        {{102, 124, 135, 138}, {179, 217, 236, 242}}, // the stock page's last button, inside 240
        {{0, 0, 37, 131}, {0, 0, 65, 229}},           // the simulation player strip
        {{7, 101, 132, 139}, {12, 177, 231, 243}},    // the weather report box
    };
    for (const Case& c : cases) {
        const RECT r = DialogUnitsToPixels(c.units);
        EXPECT_EQ(r.left, c.pixels.left);
        EXPECT_EQ(r.top, c.pixels.top);
        EXPECT_EQ(r.right, c.pixels.right);
        EXPECT_EQ(r.bottom, c.pixels.bottom);
    }
}

TEST_F(ControlsTest, NumberEditRefusesLettersAndUpdateDataReadsIntDoubleAndString) {
    RegisterFormTemplate();
    FormDialog dialog;
    ASSERT_TRUE(dialog.Create(kTemplate));
    dialog.ShowWindow(SW_SHOW);
    // OnInitDialog put the members into the controls.
    CString text;
    dialog.GetDlgItemText(kNumber, text);
    EXPECT_EQ(text, u"7");
    dialog.GetDlgItemText(kReal, text);
    EXPECT_EQ(text, u"2.5");

    Tap(dialog, 20, 20);
    SendDlgItemMessageW(dialog, kNumber, EM_SETSEL, 0, -1);
    dialog.m_changes = 0;
    Type(dialog, u"4a2-b");
    dialog.GetDlgItemText(kNumber, text);
    EXPECT_EQ(text, u"42");
    EXPECT_EQ(dialog.m_changes, 2); // one change per accepted digit, none for refused keys

    Tap(dialog, 130, 20);
    SendDlgItemMessageW(dialog, kReal, EM_SETSEL, 0, -1);
    Type(dialog, u"-3.75");
    Tap(dialog, 20, 50);
    SendDlgItemMessageW(dialog, kName, EM_SETSEL, 0, -1);
    Type(dialog, u"abc");
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_number, 42);
    EXPECT_DOUBLE_EQ(dialog.m_real, -3.75);
    EXPECT_EQ(dialog.m_name, u"abc");
}

TEST_F(ControlsTest, UpdateDataFailsOnTextThatIsNotANumberAndFocusesTheField) {
    RegisterFormTemplate();
    FormDialog dialog;
    ASSERT_TRUE(dialog.Create(kTemplate));
    const char16_t* bad[] = {u"", u"1.2.3", u"abc", u"1e999", u"12x"};
    for (const char16_t* text : bad) {
        SetDlgItemTextW(dialog, kReal, text);
        dialog.m_real = 9.0;
        EXPECT_FALSE(dialog.UpdateData(TRUE)) << Utf16ToUtf8(text);
        EXPECT_DOUBLE_EQ(dialog.m_real, 9.0);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kReal));
    }
    SetDlgItemTextW(dialog, kReal, u"0.5");
    SetDlgItemTextW(dialog, kNumber, u"99999999999");
    EXPECT_FALSE(dialog.UpdateData(TRUE)); // beyond int
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kNumber));
    // The name field: limited to 5 characters when loaded, and a longer text fails when saved.
    EXPECT_EQ(SendDlgItemMessageW(dialog, kName, EM_GETLIMITTEXT, 0, 0), 5);
    SetDlgItemTextW(dialog, kNumber, u"-12");
    SetDlgItemTextW(dialog, kName, u"여섯글자이름");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kName));
    SetDlgItemTextW(dialog, kName, u"다섯글자요");
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_number, -12);
    EXPECT_DOUBLE_EQ(dialog.m_real, 0.5);
}

TEST_F(ControlsTest, TabWalksTheTemplateOrderAndWrapsEnterAndEscapeReachOkAndCancel) {
    RegisterFormTemplate();
    FormDialog dialog;
    ASSERT_TRUE(dialog.Create(kTemplate));
    dialog.ShowWindow(SW_SHOW);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kNumber)); // the first tab stop after OnInitDialog
    const int order[] = {kReal, kName, kButton, kList, kCombo, kNumber};
    for (int id : order) {
        Key(dialog, VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
    }
    Key(dialog, VK_TAB, true);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), kCombo);

    // Enter on an edit is the dialog's OK; on a push button it presses the button.
    SetFocus(GetDlgItem(dialog, kName));
    Key(dialog, VK_RETURN);
    SetFocus(GetDlgItem(dialog, kButton));
    Key(dialog, VK_RETURN);
    Key(dialog, VK_ESCAPE);
    EXPECT_EQ(m_log, (std::vector<std::string>{"OnOK", "clicked", "OnCancel"}));
}

TEST_F(ControlsTest, TapsReachButtonListBoxAndComboWithTheirItemData) {
    RegisterFormTemplate();
    FormDialog dialog;
    ASSERT_TRUE(dialog.Create(kTemplate));
    dialog.ShowWindow(SW_SHOW);
    HWND list = GetDlgItem(dialog, kList);
    const char16_t* names[] = {u"가", u"나", u"다"};
    for (int i = 0; i < 3; ++i) {
        const auto at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
        SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), 100 + i);
    }
    HWND combo = GetDlgItem(dialog, kCombo);
    for (const char16_t* s : {u"날씨", u"기온", u"눈/비 확률"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);

    Tap(dialog, 40, 80); // the button
    const int h = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(h, 12);                     // built-in font line (10) + 2
    Tap(dialog, 40, 100 + 1 + h + h / 2); // second row
    Tap(dialog, 40, 100 + 1 + h + h / 2); // same row again: no change

    // The combo box is one line high; a tap drops its list below it, a tap on the third row picks it.
    RECT cr;
    GetWindowRect(combo, &cr);
    EXPECT_EQ(cr.bottom - cr.top, 18);
    Tap(dialog, 150, 105);
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    Tap(dialog, 150, cr.bottom + 1 + 2 * h + 3);
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(m_log, (std::vector<std::string>{"clicked", "list data 101", "combo 2"}));
}

// ---- list view ----

constexpr int kListView = 2000;

class RowList : public CListCtrl {
public:
    int m_measured = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT item) override {
        // Two lines of text per row.
        CDC* dc = GetDC();
        TEXTMETRICW tm;
        GetTextMetricsW(dc->GetSafeHdc(), &tm);
        ReleaseDC(dc);
        item->itemHeight = static_cast<UINT>(2 * tm.tmHeight);
        ++m_measured;
    }
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        HBRUSH b = CreateSolidBrush((item->itemState & ODS_SELECTED) ? RGB(0, 0, 200) : RGB(255, 255, 255));
        FillRect(item->hDC, &item->rcItem, b);
        DeleteObject(b);
    }
};

class ListHost : public CWnd {
public:
    std::vector<LPARAM> m_deleted;
    std::vector<std::string> m_changes;
    int m_doubleTaps = 0;
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
        auto* nm = reinterpret_cast<LPNMLISTVIEW>(lParam);
        if (nm->hdr.code == LVN_DELETEITEM) m_deleted.push_back(nm->lParam);
        if (nm->hdr.code == LVN_ITEMCHANGED && (nm->uNewState & LVIS_SELECTED) &&
            !(nm->uOldState & LVIS_SELECTED))
            m_changes.push_back("selected " + std::to_string(nm->iItem) + " data " +
                                std::to_string(nm->lParam));
        if (nm->hdr.code == NM_DBLCLK) ++m_doubleTaps;
        *result = 0;
        return FALSE;
    }
};

TEST_F(ControlsTest, OwnerDrawnListViewRowsScrollingSelectionAndDeleteNotifications) {
    ListHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    RowList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED,
                            RECT{10, 10, 230, 230}, &host, kListView));
    list.InsertColumn(0, u"구간", LVCFMT_LEFT, 220);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list.SetBkColor(RGB(255, 255, 255));
    list.GetHeaderCtrl()->EnableWindow(FALSE);
    list.SetRedraw(FALSE);
    for (int i = 0; i < 30; ++i) {
        const std::u16string name = u"row " + Utf8ToUtf16(std::to_string(i));
        list.InsertItem(i, name.c_str());
        list.SetItemData(i, static_cast<std::uintptr_t>(500 + i));
    }
    list.SetRedraw(TRUE);
    UpdateWindow(host);
    EXPECT_GT(list.m_measured, 0);

    // RedrawItems invalidates exactly those rows (header 16, rows 20 high, the client 220 wide);
    // with redrawing off nothing is invalidated.
    RECT update;
    list.RedrawItems(1, 2);
    ASSERT_TRUE(GetUpdateRect(list, &update, FALSE));
    EXPECT_EQ(CRect(update), CRect(0, 36, 220, 76));
    UpdateWindow(list);
    list.SetRedraw(FALSE);
    list.RedrawItems(0, 5);
    list.SetItemText(3, 0, u"changed");
    EXPECT_FALSE(GetUpdateRect(list, &update, FALSE));
    list.SetRedraw(TRUE);
    EXPECT_TRUE(GetUpdateRect(list, &update, FALSE));
    UpdateWindow(list);

    RECT row;
    ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
    EXPECT_EQ(row.bottom - row.top, 20); // twice the built-in font's 10-pixel line
    // 220 pixels less the 16-pixel header leave 10 whole rows.
    EXPECT_EQ(list.GetCountPerPage(), 10);
    const int headerBottom = row.top;
    EXPECT_EQ(headerBottom, 16);

    list.Scroll(CSize(0, 80));
    EXPECT_EQ(list.GetTopIndex(), 4);
    list.Scroll(CSize(0, -80));
    EXPECT_EQ(list.GetTopIndex(), 0);
    list.Scroll(CSize(0, 10000)); // no further than the last page
    EXPECT_EQ(list.GetTopIndex(), 20);
    list.EnsureVisible(3, FALSE);
    EXPECT_EQ(list.GetTopIndex(), 3);

    // A tap on the second visible row (item 4) selects it; a second tap is a double tap.
    Tap(host, 50, 10 + headerBottom + 20 + 5);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 4);
    EXPECT_EQ(list.GetItemData(list.GetNextItem(-1, LVNI_SELECTED)), 504u);
    Tap(host, 50, 10 + headerBottom + 20 + 5);
    EXPECT_EQ(host.m_doubleTaps, 1);
    EXPECT_EQ(host.m_changes, (std::vector<std::string>{"selected 4 data 504"}));
    UINT flags = 0;
    EXPECT_EQ(list.HitTest(CPoint(100, headerBottom + 2), &flags), 3);
    EXPECT_EQ(flags, LVHT_ONITEMLABEL);
    EXPECT_EQ(list.HitTest(CPoint(100, 5), &flags), -1);

    ASSERT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(host.m_deleted, (std::vector<LPARAM>{500}));
    list.DeleteAllItems();
    ASSERT_EQ(host.m_deleted.size(), 30u);
    for (int i = 1; i < 30; ++i) EXPECT_EQ(host.m_deleted[static_cast<std::size_t>(i)], 500 + i);
    list.DestroyWindow();
    host.DestroyWindow();
}

class ScrollSpyList : public CListCtrl {
public:
    std::vector<std::pair<int, int>> m_scrolls;
    void OnVScroll(UINT code, UINT pos, CWnd* bar) override {
        m_scrolls.emplace_back(static_cast<int>(code), static_cast<int>(pos));
        CListCtrl::OnVScroll(code, pos, bar); // the list view scrolls
    }
};

TEST_F(ControlsTest, ListViewScrollBarSendsItsScrollsToTheListFirst) {
    ListHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    ScrollSpyList list;
    ASSERT_TRUE(
        list.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT, RECT{10, 10, 230, 230}, &host, 2001));
    list.InsertColumn(0, u"c", LVCFMT_LEFT, 200);
    for (int i = 0; i < 30; ++i) list.InsertItem(i, u"r");
    // Rows of the built-in font: 10 + 4 = 14 pixels; 204 pixels under the 16-pixel header hold 14.
    ASSERT_EQ(list.GetCountPerPage(), 14);
    // The bar: x 210-220, y 16-220 in the list; arrows of 10; a 184-pixel track; thumb length
    // 184 * 14 / 30 = 85 at the top. A tap below the thumb pages down by 14 rows.
    Tap(host, 10 + 215, 10 + 150);
    EXPECT_EQ(list.GetTopIndex(), 14);
    EXPECT_EQ(list.m_scrolls, (std::vector<std::pair<int, int>>{{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    // The down arrow: one row, no further than the last page (16).
    list.m_scrolls.clear();
    Tap(host, 10 + 215, 10 + 215);
    Tap(host, 10 + 215, 10 + 215);
    Tap(host, 10 + 215, 10 + 215);
    EXPECT_EQ(list.GetTopIndex(), 16);
    // Dragging the thumb (now at the bottom of the track) to the top, the pen off the list.
    list.m_scrolls.clear();
    Pen(host, WM_LBUTTONDOWN, 10 + 215, 10 + 200);
    Pen(host, WM_MOUSEMOVE, 10 + 215, 0);
    Pen(host, WM_LBUTTONUP, 10 + 215, 0);
    EXPECT_EQ(list.GetTopIndex(), 0);
    EXPECT_EQ(list.m_scrolls, (std::vector<std::pair<int, int>>{
                                  {SB_THUMBTRACK, 0}, {SB_THUMBPOSITION, 0}, {SB_ENDSCROLL, 0}}));
    list.DestroyWindow();
    host.DestroyWindow();
}

// ---- trackbar ----

class ScrollHost : public CWnd {
public:
    std::vector<std::pair<int, int>> m_scrolls;
    std::vector<std::pair<int, int>> m_vscrolls;
    void OnVScroll(UINT code, UINT pos, CWnd*) override {
        m_vscrolls.emplace_back(static_cast<int>(code), static_cast<int>(pos));
    }
    void OnHScroll(UINT code, UINT pos, CWnd*) override {
        m_scrolls.emplace_back(static_cast<int>(code), static_cast<int>(pos));
    }
};

// Sees the pen before the trackbar, keeps the drag under its own capture, and hands the rest on.
class SpySlider : public CSliderCtrl {
public:
    std::vector<std::string> m_seen;
    void OnLButtonDown(UINT flags, CPoint p) override {
        m_seen.push_back("down " + std::to_string(p.x));
        CSliderCtrl::OnLButtonDown(flags, p);
    }
    void OnMouseMove(UINT flags, CPoint p) override {
        m_seen.push_back("move " + std::to_string(p.x) + (GetCapture() == m_hWnd ? " captured" : ""));
        CSliderCtrl::OnMouseMove(flags, p);
    }
};

TEST_F(ControlsTest, TrackbarDragSendsPositionsThenThumbPositionAndEndScroll) {
    ScrollHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    CSliderCtrl plain;
    ASSERT_TRUE(plain.Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 110, 20}, &host, 3000));
    plain.SetRange(0, 100);
    // Channel: 110 - 2 * 4 - 10 = 92 pixels; the thumb of position 0 covers x 4 to 13.
    Pen(host, WM_LBUTTONDOWN, 8, 10);
    Pen(host, WM_MOUSEMOVE, 55, 10);  // (55 - 9) * 100 / 92 = 50
    Pen(host, WM_MOUSEMOVE, 56, 10);  // 51.08 rounds to 51
    Pen(host, WM_MOUSEMOVE, 230, 60); // beyond the end, off the control: 100
    Pen(host, WM_LBUTTONUP, 230, 60);
    const std::vector<std::pair<int, int>> expected = {{SB_THUMBTRACK, 50},
                                                       {SB_THUMBTRACK, 51},
                                                       {SB_THUMBTRACK, 100},
                                                       {SB_THUMBPOSITION, 100},
                                                       {SB_ENDSCROLL, 100}};
    EXPECT_EQ(host.m_scrolls, expected);
    EXPECT_EQ(plain.GetPos(), 100);

    // Beside the thumb: a page (a fifth of the range) towards the pen.
    host.m_scrolls.clear();
    Tap(host, 20, 10);
    EXPECT_EQ(host.m_scrolls, (std::vector<std::pair<int, int>>{{SB_PAGEUP, 80}, {SB_ENDSCROLL, 80}}));

    // A vertical trackbar (minimum at the top) reports through WM_VSCROLL: 60 pixels high, a
    // 42-pixel channel, range 0 to 10; the pen 21 pixels down the channel is position 5.
    CSliderCtrl vertical;
    ASSERT_TRUE(vertical.Create(WS_CHILD | WS_VISIBLE | TBS_VERT, RECT{150, 100, 170, 160}, &host, 3002));
    vertical.SetRange(0, 10);
    Pen(host, WM_LBUTTONDOWN, 160, 108);
    Pen(host, WM_MOUSEMOVE, 160, 100 + 9 + 21);
    Pen(host, WM_LBUTTONUP, 160, 100 + 9 + 21);
    EXPECT_EQ(host.m_vscrolls, (std::vector<std::pair<int, int>>{
                                   {SB_THUMBTRACK, 5}, {SB_THUMBPOSITION, 5}, {SB_ENDSCROLL, 5}}));
    // An empty range keeps the thumb at its minimum.
    vertical.SetRange(4, 4);
    Pen(host, WM_LBUTTONDOWN, 160, 108);
    Pen(host, WM_MOUSEMOVE, 160, 150);
    Pen(host, WM_LBUTTONUP, 160, 150);
    EXPECT_EQ(vertical.GetPos(), 4);
    vertical.DestroyWindow();
    plain.DestroyWindow();
    host.DestroyWindow();
}

TEST_F(ControlsTest, SubclassedTrackbarSeesThePenFirstAndKeepsTheDragWhenThePenLeaves) {
    RegisterNativeControls();
    ScrollHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    HWND raw = CreateWindowExW(0, TRACKBAR_CLASS, u"", WS_CHILD | WS_VISIBLE, 0, 0, 110, 20, host,
                               reinterpret_cast<HMENU>(3001), nullptr, nullptr);
    ASSERT_NE(raw, nullptr);
    SpySlider slider;
    ASSERT_TRUE(slider.SubclassDlgItem(3001, &host));
    slider.SetRange(0, 100);
    Pen(host, WM_LBUTTONDOWN, 8, 10);
    Pen(host, WM_MOUSEMOVE, 101, 100); // far below the control: still the slider's
    Pen(host, WM_LBUTTONUP, 101, 100);
    EXPECT_EQ(slider.m_seen, (std::vector<std::string>{"down 8", "move 101 captured"}));
    EXPECT_EQ(slider.GetPos(), 100);
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_FALSE(host.m_scrolls.empty());
    EXPECT_EQ(host.m_scrolls.back(), std::make_pair(SB_ENDSCROLL, 100));
    slider.DestroyWindow();
    host.DestroyWindow();
}

// ---- property sheet ----

constexpr UINT kPageA = 710;
constexpr UINT kPageB = 711;

class TracePage : public CPropertyPage {
public:
    TracePage(UINT id, const char* name) : CPropertyPage(id), m_name(name) {}
    BOOL OnSetActive() override {
        Log(m_name + " set active");
        return TRUE;
    }
    BOOL OnKillActive() override {
        Log(m_name + " kill active");
        return m_allowLeave;
    }
    std::string m_name;
    BOOL m_allowLeave = TRUE;
};

TEST_F(ControlsTest, PropertySheetSwitchesPagesCallingKillActiveThenSetActive) {
    DialogTemplateInfo a;
    a.rect = RECT{0, 0, 240, 200};
    a.style = WS_CHILD;
    a.title = u"교통";
    a.items = {{4000, WC_EDIT, RECT{10, 10, 100, 30}, WS_VISIBLE | WS_TABSTOP | WS_BORDER, u""}};
    AfxRegisterDialogTemplate(kPageA, a);
    DialogTemplateInfo b = a;
    b.title = u"기상";
    AfxRegisterDialogTemplate(kPageB, b);

    CPropertySheet sheet(u"시트");
    TracePage pa(kPageA, "A");
    TracePage pb(kPageB, "B");
    sheet.AddPage(&pa);
    sheet.AddPage(&pb);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    RECT tab;
    ASSERT_TRUE(SendMessageW(*sheet.GetTabControl(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab)));
    Tap(sheet, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_TRUE(pb.IsWindowVisible());
    EXPECT_FALSE(pa.IsWindowVisible());
    // A page that refuses to be left keeps its tab.
    pb.m_allowLeave = FALSE;
    ASSERT_TRUE(SendMessageW(*sheet.GetTabControl(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab)));
    Tap(sheet, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(sheet.GetTabControl()->GetCurSel(), 1);
    EXPECT_EQ(m_log,
              (std::vector<std::string>{"A set active", "A kill active", "B set active", "B kill active"}));
    sheet.DestroyWindow();
}

// ---- message box ----

TEST_F(ControlsTest, MessageBoxIsOnTheScreenWhenTheHostAnswersItEvenInsideAModalDialog) {
    std::vector<std::string> seen;
    WinSetMessageBoxHandler([&](HWND, const std::u16string& text, const std::u16string&, UINT type) {
        HWND box = FindWindowW(u"MessageBoxWnd", nullptr);
        seen.push_back(Utf16ToUtf8(text) + (box && IsWindowVisible(box) ? " shown" : " hidden"));
        int buttons = 0;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++buttons;
        seen.push_back("buttons " + std::to_string(buttons));
        return (type & 0x0F) == MB_YESNO ? IDNO : IDOK;
    });
    EXPECT_EQ(AfxMessageBox(168), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, u"주파수를 변경하시겠습니까?", u"", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(FindWindowW(u"MessageBoxWnd", nullptr), nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"명칭을 입력하십시오. shown", "buttons 1",
                                              "주파수를 변경하시겠습니까? shown", "buttons 2"}));
}

TEST_F(ControlsTest, UnansweredMessageBoxWaitsForATapOnItsButton) {
    WinSetMessageBoxHandler([](HWND, const std::u16string&, const std::u16string&, UINT) { return 0; });
    // The tap comes from a timer while the box's modal loop runs.
    HWND timerWnd = CreateWindowExW(0, AfxRegisterWndClass(0), u"t", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    nullptr, nullptr);
    SetTimer(timerWnd, 1, 10, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
        KillTimer(hwnd, id);
        HWND box = FindWindowW(u"MessageBoxWnd", nullptr);
        HWND no = GetDlgItem(box, IDNO);
        RECT r;
        GetWindowRect(no, &r);
        WinInjectPen(WM_LBUTTONDOWN, r.left + 2, r.top + 2);
        WinInjectPen(WM_LBUTTONUP, r.left + 2, r.top + 2);
    });
    WinSetIdleHandler([this](int) {
        m_clock.Advance(10);
        return true;
    });
    EXPECT_EQ(MessageBoxW(nullptr, u"?", u"", MB_YESNO), IDNO);
    WinSetIdleHandler(nullptr);
    DestroyWindow(timerWnd);
}

COLORREF ScreenAt(int x, int y) {
    WinComposeScreen();
    gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
    return screen ? screen->GetColor(x, y) : CLR_INVALID;
}

// ---- edit details ----

class EditHost : public CWnd {
public:
    std::vector<std::string> m_codes;
    HBRUSH m_brush = nullptr;
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        const int code = HIWORD(wParam);
        m_codes.push_back(code == EN_CHANGE      ? "change"
                          : code == EN_SETFOCUS  ? "setfocus"
                          : code == EN_KILLFOCUS ? "killfocus"
                          : code == EN_MAXTEXT   ? "maxtext"
                                                 : std::to_string(code));
        return TRUE;
    }
    HBRUSH OnCtlColor(CDC* dc, CWnd*, UINT kind) override {
        if (kind != CTLCOLOR_STATIC || !m_brush) return nullptr;
        dc->SetTextColor(RGB(255, 255, 255));
        return m_brush;
    }
};

TEST_F(ControlsTest, EditLimitsSelectionLineScrollAndFocusNotifications) {
    EditHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    CEdit one;
    ASSERT_TRUE(one.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{0, 0, 100, 20}, &host, 1));
    CEdit memo;
    ASSERT_TRUE(memo.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN,
                            RECT{0, 30, 100, 60}, &host, 2));
    one.LimitText(3);
    one.SetFocus();
    Type(host, u"abcd");
    CString text;
    one.GetWindowText(text);
    EXPECT_EQ(text, u"abc");
    one.SetSel(1, 2);
    Type(host, u"X");
    one.GetWindowText(text);
    EXPECT_EQ(text, u"aXc"); // the selection is replaced, within the limit
    int a = 0;
    int b = 0;
    one.GetSel(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 2);
    memo.SetFocus();
    EXPECT_EQ(host.m_codes, (std::vector<std::string>{"setfocus", "change", "change", "change", "maxtext",
                                                      "change", "killfocus", "setfocus"}));

    // The program's text is not cut to the limit; typing past it is refused.
    one.SetWindowText(u"long text");
    one.GetWindowText(text);
    EXPECT_EQ(text, u"long text");

    memo.SetWindowText(u"one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(memo.GetLineCount(), 4);
    memo.LineScroll(2);
    EXPECT_EQ(memo.GetFirstVisibleLine(), 2);
    memo.LineScroll(10); // no further than the last line
    EXPECT_EQ(memo.GetFirstVisibleLine(), 3);
    memo.LineScroll(-10);
    EXPECT_EQ(memo.GetFirstVisibleLine(), 0);
    EXPECT_EQ(memo.LineIndex(2), 10);
    EXPECT_EQ(memo.LineFromChar(11), 2);
    // Enter in a multi-line edit that wants it is a line break, not the dialog's OK.
    memo.SetSel(3, 3);
    Key(host, VK_RETURN);
    memo.GetWindowText(text);
    EXPECT_EQ(text, u"one\r\n\r\ntwo\r\nthree\r\nfour");
    host.DestroyWindow();
}

TEST_F(ControlsTest, ShiftWithHomeOrEndStretchesTheSelectionFromItsAnchor) {
    EditHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{0, 0, 100, 20}, &host, 1));
    edit.SetWindowText(u"12.345");
    edit.SetFocus();
    struct Case {
        int anchor;
        BYTE vk;
        bool shift;
        int from;
        int to;
    };
    const Case cases[] = {
        {2, VK_END, true, 2, 6},  // caret at 2: the tail is selected
        {2, VK_HOME, true, 0, 2}, // the head
        {0, VK_END, true, 0, 6},  // from the start: everything
        {6, VK_END, true, 6, 6},  // already at the end: nothing to select
        {2, VK_END, false, 6, 6}, // without Shift the caret only moves
        {2, VK_HOME, false, 0, 0},
    };
    for (const Case& c : cases) {
        edit.SetSel(c.anchor, c.anchor);
        Key(host, c.vk, c.shift);
        int a = -1;
        int b = -1;
        edit.GetSel(a, b);
        EXPECT_EQ(a, c.from) << c.anchor << " vk " << int(c.vk) << " shift " << c.shift;
        EXPECT_EQ(b, c.to) << c.anchor << " vk " << int(c.vk) << " shift " << c.shift;
    }
    // Shift+End then Shift+Home swings the selection over the anchor to the other side.
    edit.SetSel(3, 3);
    Key(host, VK_END, true);
    Key(host, VK_HOME, true);
    int a = -1;
    int b = -1;
    edit.GetSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 3);
    // Typing replaces the stretched selection.
    edit.SetSel(2, 2);
    Key(host, VK_END, true);
    Type(host, u"9");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, u"129");
    host.DestroyWindow();
}

TEST_F(ControlsTest, ParentColoursStaticTextThroughCtlColor) {
    EditHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    CBrush green(RGB(0, 128, 0));
    host.m_brush = green;
    CStatic label;
    ASSERT_TRUE(label.Create(u"AB", WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 30}, &host));
    CStatic plain;
    ASSERT_TRUE(plain.Create(u"", WS_CHILD | WS_VISIBLE, RECT{70, 10, 120, 30}, &host));
    ::UpdateWindow(label);
    ::UpdateWindow(plain);
    EXPECT_EQ(ScreenAt(55, 25), RGB(0, 128, 0));
    // "A" of the built-in font: its top-left ink is 2 pixels in from the left of the cell.
    bool white = false;
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 16; ++x) white = white || ScreenAt(x, y) == RGB(255, 255, 255);
    EXPECT_TRUE(white);
    host.m_brush = nullptr;
    ::InvalidateRect(plain, nullptr, TRUE);
    ::UpdateWindow(plain);
    EXPECT_EQ(ScreenAt(100, 25), GetSysColor(COLOR_BTNFACE));
    host.DestroyWindow();
}

// ---- owner-drawn list box ----

class DrawnList : public CListBox {
public:
    std::vector<std::uintptr_t> m_drawn;
    void MeasureItem(LPMEASUREITEMSTRUCT item) override { item->itemHeight = 15; }
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        m_drawn.push_back(item->itemData);
        CDC::FromHandle(item->hDC)->FillSolidRect(
            &item->rcItem, (item->itemState & ODS_SELECTED) ? RGB(255, 0, 0) : RGB(0, 0, 255));
    }
};

TEST_F(ControlsTest, OwnerDrawnListBoxIsMeasuredAndDrawnByItsOwnClass) {
    EditHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    DrawnList list;
    ASSERT_TRUE(
        list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_NOTIFY, RECT{0, 0, 100, 40}, &host, 5));
    for (std::uintptr_t d : {7u, 8u, 9u})
        list.AddString(reinterpret_cast<LPCWSTR>(d)); // the data is the item
    EXPECT_EQ(list.GetItemHeight(), 15);
    EXPECT_EQ(list.GetItemData(2), 9u);
    list.SetCurSel(1);
    ::UpdateWindow(list);
    // 40 pixels hold the first two 15-pixel rows and part of the third.
    EXPECT_EQ(list.m_drawn, (std::vector<std::uintptr_t>{7, 8, 9}));
    EXPECT_EQ(ScreenAt(50, 5), RGB(0, 0, 255));
    EXPECT_EQ(ScreenAt(50, 20), RGB(255, 0, 0));
    list.SetHorizontalExtent(300);
    EXPECT_EQ(list.GetHorizontalExtent(), 300);
    EXPECT_EQ(list.SetTopIndex(5), LB_ERR);
    EXPECT_EQ(list.DeleteString(7), LB_ERR);
    host.DestroyWindow();
}

class ScrollSpyListBox : public CListBox {
public:
    std::vector<std::pair<int, int>> m_scrolls;
    void OnVScroll(UINT code, UINT pos, CWnd* bar) override {
        m_scrolls.emplace_back(static_cast<int>(code), static_cast<int>(pos));
        CListBox::OnVScroll(code, pos, bar); // the list box scrolls
    }
};

TEST_F(ControlsTest, ListBoxScrollBarIsDrawnAndScrollsWithoutTouchingTheSelection) {
    EditHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    ScrollSpyListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY,
                            RECT{10, 10, 110, 130}, &host, 6));
    CListBox few;
    ASSERT_TRUE(
        few.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, RECT{120, 10, 220, 130}, &host, 7));
    for (int i = 0; i < 30; ++i) list.AddString(u"항목");
    few.AddString(u"하나");
    // Items of the built-in font are 10 + 2 = 12 pixels: 118 pixels inside the border hold 9.
    ASSERT_EQ(list.GetItemHeight(), 12);
    // The bar takes x 89-99 of the list; items end where it begins. A list whose items fit shows
    // no bar and keeps the whole width.
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.right, 89);
    SendMessageW(few, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.right, 99);
    // Arrows of 10 at y 1-11 and 109-119; a 98-pixel track with a thumb of 98 * 9 / 30 = 29 at
    // its top (y 11-40); below the thumb the track's own colour.
    ::UpdateWindow(list);
    EXPECT_EQ(ScreenAt(10 + 94, 10 + 25), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ScreenAt(10 + 94, 10 + 80), GetSysColor(COLOR_SCROLLBAR));

    Tap(host, 10 + 40, 10 + 1 + 12 * 2 + 5);
    ASSERT_EQ(list.GetCurSel(), 2);
    // The down arrow: one line; the selection stays.
    Tap(host, 10 + 94, 10 + 114);
    EXPECT_EQ(list.GetTopIndex(), 1);
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(list.m_scrolls, (std::vector<std::pair<int, int>>{{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    // The thumb of top 1 sits (98 - 29) * 1 / 21 = 3 pixels down (y 14-43): the track below it
    // pages down by 9 rows.
    list.m_scrolls.clear();
    Tap(host, 10 + 94, 10 + 80);
    EXPECT_EQ(list.GetTopIndex(), 10);
    EXPECT_EQ(list.m_scrolls, (std::vector<std::pair<int, int>>{{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    // Dragging the thumb (now 69 * 10 / 21 = 32 down, y 43-72) far below the list: the last page.
    list.m_scrolls.clear();
    Pen(host, WM_LBUTTONDOWN, 10 + 94, 10 + 50);
    Pen(host, WM_MOUSEMOVE, 10 + 94, 300);
    Pen(host, WM_LBUTTONUP, 10 + 94, 300);
    EXPECT_EQ(list.GetTopIndex(), 21);
    EXPECT_EQ(list.m_scrolls, (std::vector<std::pair<int, int>>{
                                  {SB_THUMBTRACK, 21}, {SB_THUMBPOSITION, 21}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(GetCapture(), nullptr);
    // Scrolls past either end stop at the first and the last page.
    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(list.GetTopIndex(), 21);
    list.SendMessage(WM_VSCROLL, SB_TOP, 0);
    list.SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(list.GetTopIndex(), 0);
    host.DestroyWindow();
}

// ---- resources ----

TEST_F(ControlsTest, NumberedStringsAndIcons) {
    EXPECT_EQ(AfxLoadString(168), u"명칭을 입력하십시오.");
    EXPECT_EQ(AfxLoadString(61208), u"입력값이 유효하지 않습니다.");
    EXPECT_TRUE(AfxLoadString(12345).IsEmpty());
    char16_t small[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(LoadStringW(nullptr, 168, small, 4), 3); // cut to the buffer, terminated
    EXPECT_EQ(std::u16string(small), u"명칭을");

    AfxRegisterSystemIcons();
    struct Case {
        UINT id;
        int size;
    };
    for (const Case c :
         {Case{131, 16}, Case{478, 24}, Case{619, 16}, Case{626, 16}, Case{653, 16}, Case{658, 16}}) {
        HICON icon =
            static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(c.id), IMAGE_ICON, c.size, c.size, 0));
        EXPECT_NE(icon, nullptr) << c.id;
        if (icon) DestroyIcon(icon);
    }
}

TEST_F(ControlsTest, ImageListKeepsItsOwnCopyOfTheIcon) {
    AfxRegisterSystemIcons();
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR | ILC_MASK, 1, 1));
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(626), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(images.Add(icon), 0);
    DestroyIcon(icon); // the caller's icon goes; the list still draws
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 16, 16));
    CBitmap* old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(CRect(0, 0, 16, 16), RGB(1, 2, 3));
    ASSERT_TRUE(images.Draw(&dc, 0, CPoint(0, 0), ILD_NORMAL));
    int congested = 0;
    int background = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const COLORREF c = dc.GetPixel(x, y);
            congested += c == RGB(0xDC, 0, 0); // COLORREF 0x0000DC is red 220
            background += c == RGB(1, 2, 3);
        }
    EXPECT_GT(congested, 0);
    EXPECT_GT(background, 0); // transparent pixels leave the background
    dc.SelectObject(old);
    EXPECT_FALSE(images.Draw(&dc, 1, CPoint(0, 0), ILD_NORMAL));
}

TEST_F(ControlsTest, BitmapButtonShowsUpDownAndDisabledImages) {
    RegisterNativeControls();
    EditHost host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), u"host", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                              nullptr, nullptr));
    ASSERT_NE(CreateWindowExW(0, WC_BUTTON, u"SPEED", WS_CHILD | WS_VISIBLE, 200, 80, 10, 10, host,
                              reinterpret_cast<HMENU>(4173), nullptr, nullptr),
              nullptr);
    CBitmapButton speed;
    ASSERT_TRUE(speed.AutoLoad(4173, &host));
    RECT r;
    speed.GetWindowRect(&r);
    EXPECT_EQ(r.right - r.left, 28); // the bitmaps' size: one shows in the other's 28 x 57 place
    EXPECT_EQ(r.bottom - r.top, 57);
    ::UpdateWindow(speed);
    const COLORREF up = ScreenAt(203, 83);
    speed.SetState(TRUE);
    ::UpdateWindow(speed);
    const COLORREF down = ScreenAt(203, 83);
    speed.SetState(FALSE);
    speed.EnableWindow(FALSE);
    ::UpdateWindow(speed);
    EXPECT_NE(up, down);
    EXPECT_EQ(ScreenAt(203, 83), up); // the disabled image keeps the face, greys the caption
    for (const char16_t* name : {u"SPEED", u"FOOU", u"U", u""})
        EXPECT_EQ(LoadBitmapW(nullptr, name), nullptr);
    HBITMAP time = LoadBitmapW(nullptr, u"timex"); // names are not case-sensitive
    EXPECT_NE(time, nullptr);
    DeleteObject(time);
    host.DestroyWindow();
}

} // namespace
