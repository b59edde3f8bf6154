// The stock tab in a property sheet, driven headless as a user would: taps on its buttons and
// rows, the dialogs it opens run modally with their steps done one per idle round, message
// boxes answered by the test, and the refresh timer run in simulated time.
#include "platform/gdi/GdiObjects.h"
#include "platform/window/Shell.h"
#include "platform/window/WindowHost.h"
#include "traffic/pages/DARCSheet.h"
#include "traffic/pages/DARCStockPage.h"
#include "traffic/pages/SearchStock.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/pages/StockDetailDialog.h"
#include "traffic/pages/StockIndexDialog.h"
#include "traffic/pages/StockSearchDialog.h"
#include "traffic/pages/tests/StockFixture.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string U8(const CString& s) {
    return Utf16ToUtf8(s.Str());
}

template <class T> T* Active() {
    return dynamic_cast<T*>(CWnd::FromHandlePermanent(GetActiveWindow()));
}

} // namespace

class StockPageTest : public StockFixture {
protected:
    StockPageTest() {
        GdiUseBuiltinFont(true);
        WinResetForTests();
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            m_boxes.push_back(Utf16ToUtf8(text));
            return m_answer;
        });
    }
    ~StockPageTest() override {
        CloseSheet();
        WinSetIdleHandler(nullptr);
        WinSetMessageBoxHandler(nullptr);
        WinResetForTests();
        SearchStock::destruct();
    }

    void OpenSheet() {
        m_sheet = std::make_unique<CPropertySheet>(u"ZARN정보");
        m_page = std::make_unique<CDARCStockPage>();
        m_sheet->AddPage(m_page.get());
        ASSERT_TRUE(m_sheet->Create(nullptr, WS_POPUP | WS_VISIBLE));
        Pump();
    }
    void CloseSheet() {
        if (!m_sheet) return;
        if (m_page) m_page->OnSheetDestroy();
        if (m_sheet->m_hWnd) m_sheet->DestroyWindow();
        m_sheet.reset();
        m_page.reset();
    }
    static void Pump() {
        MSG m;
        for (int guard = 0; guard < 1000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (m.message == WM_QUIT) break;
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        WinDispatchPending();
    }
    static void TapAt(POINT p) {
        WinInjectPen(WM_LBUTTONDOWN, p.x, p.y);
        WinInjectPen(WM_LBUTTONUP, p.x, p.y);
        Pump();
    }
    static POINT Centre(HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Taps a button of the page; the dialog it opens runs the steps, one per idle round. Once
    // they are done, a dialog still open after a few idle rounds is cancelled so that a failing
    // step cannot hang.
    void TapButton(int id, std::vector<std::function<void()>> steps = {}) {
        std::size_t next = 0;
        int after = 0;
        int cancels = 0;
        WinSetIdleHandler([&](int depth) {
            if (next < steps.size()) {
                steps[next++]();
                return true;
            }
            if (depth == 0) return false;
            // A step that pumped the queue itself may have taken the message that tells the modal
            // loop its dialog ended: another one lets the loop look again.
            if (++after <= 3) return ::PostMessageW(GetActiveWindow(), WM_NULL, 0, 0) != FALSE;
            if (cancels++ < 10) {
                ::PostMessageW(GetActiveWindow(), WM_COMMAND, IDCANCEL, 0);
                return true;
            }
            return false;
        });
        TapAt(Centre(::GetDlgItem(m_page->m_hWnd, id)));
        WinSetIdleHandler(nullptr);
        EXPECT_EQ(next, steps.size());
        EXPECT_EQ(cancels, 0) << "a dialog was left open";
    }
    void TapRow(int row) {
        RECT r;
        ASSERT_TRUE(m_page->List()->GetItemRect(row, &r, LVIR_BOUNDS));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        m_page->List()->ClientToScreen(&p);
        TapAt(p);
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(m_page->m_hWnd, id)) != FALSE; }
    std::string Text(int id) const {
        CString t;
        m_page->GetDlgItemText(id, t);
        return U8(t);
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        InterestStockList* list = m_page->List();
        for (int i = 0; i < list->GetItemCount(); ++i) {
            std::string row;
            for (int c = 0; c < InterestStockList::kColumns; ++c)
                row += (c ? "|" : "") + U8(list->GetItemText(i, c));
            rows.push_back(row);
        }
        return rows;
    }
    // True when some pixel of the screen rectangle r has colour c.
    static bool ScreenHas(const RECT& r, COLORREF c) {
        WinComposeScreen();
        gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (screen->GetColor(x, y) == c) return true;
        return false;
    }
    static RECT OnScreen(CWnd* wnd, RECT r) {
        wnd->ClientToScreen(&r);
        return r;
    }

    std::unique_ptr<CPropertySheet> m_sheet;
    std::unique_ptr<CDARCStockPage> m_page;
    std::vector<std::string> m_boxes;
    int m_answer = IDOK;
};

TEST_F(StockPageTest, EmptyListDisablesDeleteAndDetailAndTheBroadcastTimeHeadsThePage) {
    OpenStore({{593, 'A', "삼성"}});
    ASSERT_EQ(Feed(Time(10, 3, 9, 5)), 1);
    OpenSheet();
    EXPECT_EQ(m_page->List()->GetItemCount(), 0);
    EXPECT_FALSE(Enabled(CDARCStockPage::IDC_DELETE));
    EXPECT_FALSE(Enabled(CDARCStockPage::IDC_DETAIL));
    EXPECT_TRUE(Enabled(CDARCStockPage::IDC_ADD));
    EXPECT_TRUE(Enabled(CDARCStockPage::IDC_INDEX));
    EXPECT_EQ(Text(CDARCStockPage::IDC_TIME), "10월 3일  9:05 현재");
    // The page's template in dialog units, each edge converted: "추가" from (3, 124) to (36, 138)
    // is x 5.25 to 63, y 217 to 241.5 (rounded up): 58 x 25 pixels.
    RECT add;
    ::GetWindowRect(::GetDlgItem(m_page->m_hWnd, CDARCStockPage::IDC_ADD), &add);
    RECT page;
    m_page->GetWindowRect(&page);
    EXPECT_EQ(add.left - page.left, 5);
    EXPECT_EQ(add.top - page.top, 217);
    EXPECT_EQ(add.right - add.left, 58);
    EXPECT_EQ(add.bottom - add.top, 25);
}

TEST_F(StockPageTest, RowsShowGroupedQuotationsColouredByDirectionAndNotReceivedWithoutVolume) {
    OpenStore({{593, 'A', "삼성"}, {8, 0, "삼양"}, {9, 0, "가람"}, {10, 0, "다솜"}});
    ASSERT_EQ(Feed(Quote(593, 'A', {0x4C35, 2, 0x4019, 1000, 0, 0, 0, 0})), 1); // 31,250, +250
    ASSERT_EQ(Feed(Quote(8, 0, {9750, 5, 250, 0, 0, 0, 0, 0})), 1);             // volume 0
    ASSERT_EQ(Feed(Quote(9, 0, {1200, 4, 30, 77, 0, 0, 0, 0})), 1);
    m_root.MakeFile(kInterestFile, Le32(4) + InterestRecord(9, 0, "가람") + InterestRecord(10, 0, "다솜") +
                                       InterestRecord(593, 'A', "삼성") + InterestRecord(8, 0, "삼양"));
    OpenSheet();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"00009|가람|1,200|30", "00010|다솜|미수신|미수신",
                                                "00593A|삼성|31,250|250", "00008|삼양|미수신|미수신"}));
    EXPECT_EQ(m_page->List()->GetSelectedRow(), -1);
    EXPECT_FALSE(Enabled(CDARCStockPage::IDC_DELETE));
    // Red for the rise, blue for the fall, in the price cells (column 2 from x 118 of the row).
    m_page->UpdateWindow();
    m_page->List()->UpdateWindow();
    RECT rise;
    RECT fall;
    m_page->List()->GetItemRect(2, &rise, LVIR_BOUNDS);
    m_page->List()->GetItemRect(0, &fall, LVIR_BOUNDS);
    rise.left = fall.left = 118;
    EXPECT_TRUE(ScreenHas(OnScreen(m_page->List(), rise), RGB(220, 0, 0)));
    EXPECT_FALSE(ScreenHas(OnScreen(m_page->List(), rise), RGB(0, 0, 220)));
    EXPECT_TRUE(ScreenHas(OnScreen(m_page->List(), fall), RGB(0, 0, 220)));

    // A tap selects a row and enables both buttons; the refresh every 2 seconds updates rows in
    // place and keeps the selection.
    TapRow(2);
    EXPECT_EQ(m_page->List()->GetSelectedRow(), 2);
    EXPECT_TRUE(Enabled(CDARCStockPage::IDC_DELETE));
    EXPECT_TRUE(Enabled(CDARCStockPage::IDC_DETAIL));
    ASSERT_EQ(Feed(Quote(10, 0, {500, 1, 10, 5, 0, 0, 0, 0})), 1);
    WinRunFor(1999);
    EXPECT_EQ(Rows()[1], "00010|다솜|미수신|미수신");
    WinRunFor(1);
    EXPECT_EQ(Rows()[1], "00010|다솜|500|10");
    EXPECT_EQ(m_page->List()->GetSelectedRow(), 2);
}

TEST_F(StockPageTest, DeletionAsksAndCancellingChangesNothing) {
    OpenStore({{593, 'A', "삼성"}, {8, 0, "삼양"}});
    m_root.MakeFile(kInterestFile, Le32(2) + InterestRecord(593, 'A', "삼성") + InterestRecord(8, 0, "삼양"));
    OpenSheet();
    TapRow(1);
    m_answer = IDCANCEL;
    TapButton(CDARCStockPage::IDC_DELETE);
    EXPECT_EQ(m_boxes, (std::vector<std::string>{"선택된 종목을 관심리스트에서 삭제하시겠습니까?"}));
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_EQ(SearchStock::instance()->GetStockInterestCount(), 2);
    EXPECT_EQ(m_page->List()->GetSelectedRow(), 1);
    m_answer = IDOK;
    TapButton(CDARCStockPage::IDC_DELETE);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"00593A|삼성|미수신|미수신"}));
    EXPECT_FALSE(Enabled(CDARCStockPage::IDC_DELETE));
    // The sheet closing saves the list.
    CloseSheet();
    EXPECT_EQ(m_root.Read(kInterestFile), Le32(1) + InterestRecord(593, 'A', "삼성"));
}

TEST_F(StockPageTest, SearchAddsTheStockTypedByNameAndTheListLoadsInBatches) {
    std::vector<Listed> stocks = {{593, 'A', "삼성"}, {8, 0, "삼양"}};
    std::vector<std::string> names;
    for (int i = 0; i <= 62; ++i)
        names.push_back("종목" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    for (int i = 0; i <= 62; ++i) stocks.push_back({100 + i, 0, names[static_cast<std::size_t>(i)].c_str()});
    OpenStore(stocks); // sorted: 삼성, 삼양, 종목00 ... 종목62 (index 64)
    OpenSheet();
    StockSearchDialog* dialog = nullptr;
    TapButton(CDARCStockPage::IDC_ADD,
              {[&] {
                   dialog = Active<StockSearchDialog>();
                   ASSERT_NE(dialog, nullptr);
                   StockListWnd& list = dialog->List();
                   EXPECT_EQ(list.GetCount(), 20);
                   CString row;
                   list.GetText(0, row);
                   EXPECT_EQ(U8(row), "[00593A]  삼성");
                   // The input panel went up for typing.
                   ASSERT_FALSE(ShellSipPreferenceCalls().empty());
                   EXPECT_EQ(ShellSipPreferenceCalls().back().state, SIP_UP);
                   // Rows of the built-in font are 12 pixels: 92 pixels inside the border show 7.
                   // One line down brings the top row within 20 of the 20 loaded: 20 more.
                   RECT r;
                   list.GetWindowRect(&r);
                   TapAt(POINT{r.right - 6, r.bottom - 5});
                   EXPECT_EQ(list.GetTopIndex(), 1);
                   EXPECT_EQ(list.GetCount(), 40);
                   // The track below the thumb (y 12-24 of the list) pages down to top 8: no batch.
                   TapAt(POINT{r.right - 6, r.top + 60});
                   EXPECT_EQ(list.GetTopIndex(), 8);
                   EXPECT_EQ(list.GetCount(), 40);
                   // Dragging the thumb (now y 25-37) to the end of the 40 rows (top 33): 20 more.
                   for (const auto& [message, y] : {std::pair<UINT, int>{WM_LBUTTONDOWN, r.top + 31},
                                                    {WM_MOUSEMOVE, r.bottom + 100},
                                                    {WM_LBUTTONUP, r.bottom + 100}}) {
                       WinInjectPen(message, r.right - 6, y);
                       Pump();
                   }
                   EXPECT_EQ(list.GetCount(), 60);
                   // A tap that selects a row while the top row lies within 20 rows of the end
                   // (45 of 60) loads the last 5.
                   list.SetTopIndex(45);
                   TapAt(POINT{r.left + 40, r.top + 1 + 12 * 2 + 6});
                   EXPECT_EQ(list.GetCurSel(), 47);
                   EXPECT_EQ(list.GetCount(), 65);
               },
               [&] {
                   dialog->SetDlgItemText(StockSearchDialog::IDC_TEXT, Utf8ToUtf16("종목62").c_str());
                   EXPECT_EQ(dialog->List().GetCurSel(), 64);
                   // An empty text (spaces) changes nothing.
                   dialog->SetDlgItemText(StockSearchDialog::IDC_TEXT, u"  ");
                   EXPECT_EQ(dialog->List().GetCurSel(), 64);
                   // 삼 selects the first stock whose name begins with it.
                   dialog->SetDlgItemText(StockSearchDialog::IDC_TEXT, u" 삼 ");
                   EXPECT_EQ(dialog->List().GetCurSel(), 0);
                   dialog->SetDlgItemText(StockSearchDialog::IDC_TEXT, u"00008");
                   EXPECT_EQ(dialog->List().GetCurSel(), 1);
               },
               [&] { TapAt(Centre(::GetDlgItem(dialog->m_hWnd, IDOK))); }});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"00008|삼양|미수신|미수신"}));
    EXPECT_EQ(ShellSipPreferenceCalls().back().state, SIP_FORCEDOWN);

    // Again: a typed name whose row is not loaded yet loads the rows up to it and selects it;
    // "이전" adds nothing.
    TapButton(CDARCStockPage::IDC_ADD, {[&] {
                                            dialog = Active<StockSearchDialog>();
                                            ASSERT_NE(dialog, nullptr);
                                            EXPECT_EQ(dialog->List().GetCount(), 20);
                                            dialog->SetDlgItemText(StockSearchDialog::IDC_TEXT,
                                                                   Utf8ToUtf16("종목62").c_str());
                                            EXPECT_EQ(dialog->List().GetCount(), 65);
                                            EXPECT_EQ(dialog->List().GetCurSel(), 64);
                                            EXPECT_EQ(dialog->List().GetTopIndex(), 65 - 7);
                                        },
                                        [&] { TapAt(Centre(::GetDlgItem(dialog->m_hWnd, IDCANCEL))); }});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"00008|삼양|미수신|미수신"}));
}

TEST_F(StockPageTest, DetailShowsTheQuotationAndTheIndexDialogTheMarkets) {
    OpenStore({{593, 'A', "삼성"}, {8, 0, "삼양"}});
    ASSERT_EQ(Feed(Quote(593, 'A', {10250, 2, 250, 12345u | 1u << 22, 10300, 10100, 10260, 10240})), 1);
    ASSERT_EQ(Feed(Market(0, 200000, 0x8064, 1)), 1); // 2000.00, +1.00 red
    ASSERT_EQ(Feed(Market(1, 123456, 0x0032, 5)), 1); // 1234.56, 0.50 blue
    ASSERT_EQ(Feed(Market(2, 99999, 0x0001, 0)), 1);  // validity 0: not received
    m_root.MakeFile(kInterestFile, Le32(2) + InterestRecord(593, 'A', "삼성") + InterestRecord(8, 0, "삼양"));
    OpenSheet();
    TapRow(0);
    TapButton(CDARCStockPage::IDC_DETAIL, {[&] {
                  StockDetailDialog* detail = Active<StockDetailDialog>();
                  ASSERT_NE(detail, nullptr);
                  EXPECT_TRUE(m_page->IsBusy());
                  std::vector<std::string> values;
                  for (const CString& v : detail->ValueTexts()) values.push_back(U8(v));
                  EXPECT_EQ(values,
                            (std::vector<std::string>{"[00593A]", "삼성", "10,250", "250 (+2.50%)", "123,450",
                                                      "10,300 / 10,100", "10,260 / 10,240"}));
                  // Labels and values on their two colours, in the cells of the first row (y 36-56).
                  detail->UpdateWindow();
                  const RECT label = OnScreen(detail, RECT{10, 36, 88, 56});
                  const RECT value = OnScreen(detail, RECT{90, 36, 230, 56});
                  EXPECT_TRUE(ScreenHas(label, RGB(198, 214, 236)));
                  EXPECT_FALSE(ScreenHas(value, RGB(198, 214, 236)));
                  EXPECT_TRUE(ScreenHas(value, RGB(255, 255, 255)));
                  TapAt(Centre(::GetDlgItem(detail->m_hWnd, IDCANCEL)));
              }});
    EXPECT_FALSE(m_page->IsBusy());
    TapRow(1);
    TapButton(CDARCStockPage::IDC_DETAIL, {[&] {
                  StockDetailDialog* detail = Active<StockDetailDialog>();
                  ASSERT_NE(detail, nullptr);
                  const auto values = detail->ValueTexts();
                  EXPECT_EQ(U8(values[0]), "[00008]");
                  EXPECT_EQ(U8(values[1]), "삼양");
                  for (int i = 2; i < StockDetailDialog::kRows; ++i)
                      EXPECT_EQ(U8(values[static_cast<std::size_t>(i)]), "미수신");
                  detail->EndDialog(IDCANCEL);
              }});
    TapButton(CDARCStockPage::IDC_INDEX, {[&] {
                  StockIndexDialog* index = Active<StockIndexDialog>();
                  ASSERT_NE(index, nullptr);
                  index->UpdateWindow();
                  std::vector<std::string> texts;
                  for (int i = 0; i < 4; ++i) {
                      StockMarket m;
                      ASSERT_EQ(SearchStock::instance()->GetStockMarketForIndex(i, m), 1);
                      texts.push_back(Cp949ToUtf8(m.name) + " " + U8(StockIndexDialog::IndexText(m)) + " " +
                                      U8(StockIndexDialog::ChangeText(m)));
                  }
                  EXPECT_EQ(texts,
                            (std::vector<std::string>{"KOSPI 2000.00 1.00", "KOSDAQ 1234.56 0.50",
                                                      "KOSPI200 미수신 미수신", "선물 미수신 미수신"}));
                  // The change cells: red with the flag bit (KOSPI), blue without (KOSDAQ).
                  EXPECT_TRUE(ScreenHas(OnScreen(index, StockIndexDialog::Cell(1, 2)), RGB(220, 0, 0)));
                  EXPECT_TRUE(ScreenHas(OnScreen(index, StockIndexDialog::Cell(2, 2)), RGB(0, 0, 220)));
                  EXPECT_FALSE(ScreenHas(OnScreen(index, StockIndexDialog::Cell(2, 2)), RGB(220, 0, 0)));
                  TapAt(Centre(::GetDlgItem(index->m_hWnd, IDCANCEL)));
              }});
}

TEST_F(StockPageTest, InTheBroadcastSheetTheStockTabReadsAndSavesTheInterestStocksOfTheConfiguration) {
    OpenStore({{593, 'A', "삼성"}, {8, 0, "삼양"}});
    m_root.MakeFile(kInterestFile, Le32(2) + InterestRecord(593, 'A', "삼성") + InterestRecord(8, 0, "삼양"));
    CDARCStock::destruct(); // the sheet hands the configuration over, as the program's host does
    CSheetStorage::instance()->StoreDARCSheet(2);
    {
        CDARCSheet sheet(u"ZARN정보");
        sheet.SetTrafficTitle(CString(u"교통정보"), nullptr);
        sheet.SetConfigPointer(&m_config);
        ASSERT_TRUE(sheet.Create(nullptr, WS_POPUP | WS_VISIBLE));
        Pump();
        ASSERT_EQ(sheet.GetActivePage(), &sheet.m_stockPage);
        ASSERT_NE(sheet.m_stockPage.List(), nullptr);
        EXPECT_EQ(sheet.m_stockPage.List()->GetItemCount(), 2);
        // Select 삼양 and delete it; the sheet closing saves the one left.
        RECT r;
        ASSERT_TRUE(sheet.m_stockPage.List()->GetItemRect(1, &r, LVIR_BOUNDS));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        sheet.m_stockPage.List()->ClientToScreen(&p);
        TapAt(p);
        ::SendMessageW(::GetDlgItem(sheet.m_stockPage.m_hWnd, CDARCStockPage::IDC_DELETE), BM_CLICK, 0, 0);
        Pump();
        EXPECT_EQ(sheet.m_stockPage.List()->GetItemCount(), 1);
        sheet.DestroyWindow();
    }
    EXPECT_EQ(m_root.Read(kInterestFile), Le32(1) + InterestRecord(593, 'A', "삼성"));
    CSheetStorage::destruct();
}
