// The display options page: the four ON/OFF pairs start from the page-state store, the buttons
// change them, the swatches show the map colours, and repainting makes no new brushes.
#include "traffic/pages/DisplayPage.h"
#include "traffic/pages/tests/PagesFixture.h"

using namespace pagestest;

namespace {

COLORREF ScreenPixel(int x, int y) {
    WinComposeScreen();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GdiGetScreenBitmap());
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

} // namespace

class DisplayPageTest : public PagesFixture {
protected:
    void Open() {
        CDisplayPage::RegisterTemplate();
        m_page = std::make_unique<CDisplayPage>();
        m_page->RestoreOptions();
        m_sheet = std::make_unique<CPropertySheet>(u"시트");
        m_sheet->AddPage(m_page.get());
        ASSERT_TRUE(m_sheet->Create(nullptr, WS_POPUP | WS_VISIBLE));
        Pump();
        ASSERT_NE(m_page->m_hWnd, nullptr);
    }
    void Close() {
        m_page->StoreOptions();
        m_sheet->DestroyWindow();
        m_sheet.reset();
        m_page.reset();
    }
    void Click(int id) {
        ::SendMessageW(::GetDlgItem(m_page->m_hWnd, id), BM_CLICK, 0, 0);
        Pump();
    }
    UINT Checked(int id) const { return m_page->IsDlgButtonChecked(id); }
    std::unique_ptr<CDisplayPage> m_page;
    std::unique_ptr<CPropertySheet> m_sheet;
};

TEST_F(DisplayPageTest, OptionsComeFromTheStoreAndGoBack) {
    // The first opening: all four on.
    Open();
    for (int id : {4156, 4158, 4160, 4162}) EXPECT_EQ(Checked(id), BST_CHECKED) << id;
    for (int id : {4157, 4159, 4161, 4163}) EXPECT_EQ(Checked(id), BST_UNCHECKED) << id;
    // 정체 OFF.
    Click(4163);
    EXPECT_EQ(Checked(4163), BST_CHECKED);
    EXPECT_EQ(Checked(4162), BST_UNCHECKED);
    EXPECT_FALSE(m_page->m_show[3]);
    Close();
    bool kept[4] = {};
    CSheetStorage::instance()->RestoreDisplayOption(kept);
    EXPECT_TRUE(kept[0] && kept[1] && kept[2]);
    EXPECT_FALSE(kept[3]);
    // The next opening shows it; 전체OFF, then 서행 ON.
    Open();
    EXPECT_EQ(Checked(4163), BST_CHECKED);
    EXPECT_EQ(Checked(4156), BST_CHECKED);
    Click(4164);
    for (int id : {4157, 4159, 4161, 4163}) EXPECT_EQ(Checked(id), BST_CHECKED) << id;
    Click(4158);
    EXPECT_EQ(Checked(4159), BST_UNCHECKED);
    const bool want[4] = {false, true, false, false};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m_page->m_show[i], want[i]) << i;
    Click(4155);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(m_page->m_show[i]) << i;
    Close();
}

TEST_F(DisplayPageTest, SwatchesShowTheMapColoursWithBrushesMadeOnce) {
    Open();
    const COLORREF colours[4] = {0xDC0000, 0x00B93D, 0x1894C9, 0x8000FF};
    int before = 0;
    for (int round = 0; round < 3; ++round) {
        m_sheet->Invalidate();
        m_page->Invalidate();
        for (int i = 0; i < 4; ++i) ::InvalidateRect(::GetDlgItem(m_page->m_hWnd, 4165 + i), nullptr, TRUE);
        Pump();
        for (int i = 0; i < 4; ++i) {
            RECT r;
            ::GetWindowRect(::GetDlgItem(m_page->m_hWnd, 4165 + i), &r);
            EXPECT_EQ(ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2), colours[i]) << i;
        }
        if (round == 0) before = GdiLiveObjectCount();
        EXPECT_EQ(GdiLiveObjectCount(), before) << "round " << round;
    }
    Close();
}
