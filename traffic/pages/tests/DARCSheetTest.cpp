// The sheet: its tabs and the page it builds without one, its title and place, and what it
// keeps in the page-state store from one opening to the next.
#include "traffic/pages/tests/SheetTestSupport.h"

using namespace pagestest;

class DARCSheetTest : public SheetFixture {};

TEST_F(DARCSheetTest, SevenTabsTitleAndPlace) {
    MakeDevice({{"누리고속도로", 4, true}});
    OpenSheet(CString(std::u16string(130, u'가')));
    ASSERT_EQ(m_sheet->GetPageCount(), 7);
    const char16_t* captions[7] = {u"관심", u"교통정보", u"증권", u"기상", u"뉴스", u"상태", u"화면 표시"};
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(m_sheet->GetPage(i)->GetCaption() == CString(captions[i])) << i;
    // The current-road page exists with the sheet but has no tab.
    EXPECT_EQ(m_sheet->GetPageIndex(&m_sheet->m_currentPage), -1);
    EXPECT_EQ(m_sheet->m_currentPage.m_hWnd, nullptr);
    // The first opening shows the roads of interest.
    EXPECT_EQ(m_sheet->GetActiveIndex(), 0);
    // The title is cut to 127 characters and captions the traffic list.
    EXPECT_TRUE(m_sheet->GetTrafficTitle() == CString(std::u16string(127, u'가')));
    EXPECT_TRUE(CTrafficPage::GetTitle() == CString(std::u16string(127, u'가')));
    // Below the top bar, the rest of the screen.
    RECT r;
    m_sheet->GetWindowRect(&r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 320);
    CloseSheet();
}

TEST_F(DARCSheetTest, ReopensOnTheTabLeftWithTheDisplayOptions) {
    MakeDevice({{"누리고속도로", 4, true}});
    const bool mapOptions[4] = {true, false, true, true};
    CSheetStorage::instance()->StoreDisplayOption(mapOptions);
    OpenSheet();
    ShowTab(6);
    EXPECT_FALSE(m_sheet->m_displayPage.m_show[1]);
    EXPECT_EQ(m_sheet->m_displayPage.IsDlgButtonChecked(CDisplayPage::IDC_MOVING_OFF), BST_CHECKED);
    SheetFixture::Click(&m_sheet->m_displayPage, CDisplayPage::IDC_CONGESTED_OFF);
    ShowTab(4);
    CloseSheet();
    bool options[4] = {};
    CSheetStorage::instance()->RestoreDisplayOption(options);
    EXPECT_TRUE(options[0]);
    EXPECT_FALSE(options[1]);
    EXPECT_TRUE(options[2]);
    EXPECT_FALSE(options[3]);
    OpenSheet();
    EXPECT_EQ(m_sheet->GetActiveIndex(), 4);
    CloseSheet();
    // A restart (a new store) opens on the first tab again.
    CSheetStorage::destruct();
    OpenSheet();
    EXPECT_EQ(m_sheet->GetActiveIndex(), 0);
    CloseSheet();
}
