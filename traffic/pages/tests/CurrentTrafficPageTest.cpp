// The current-road page: the road of the matched links with the matched section's speed row
// selected, looked up again every five seconds, and its map move.
#include "traffic/pages/CurrentTrafficPage.h"
#include "traffic/pages/tests/SheetTestSupport.h"

using namespace pagestest;

class CurrentTrafficPageTest : public SheetFixture {
protected:
    // The page alone in a sheet (the traffic sheet gives it no tab).
    void OpenPage() {
        CCurrentTrafficPage::RegisterTemplate();
        m_page = std::make_unique<CCurrentTrafficPage>();
        m_host = std::make_unique<CPropertySheet>(u"주행");
        m_host->AddPage(m_page.get());
        ASSERT_TRUE(m_host->Create(nullptr, WS_POPUP | WS_VISIBLE));
        Pump();
    }
    void Match(unsigned long a, unsigned long b) { CDARC::instance()->SetMatchDARCID(a, b); }
    ~CurrentTrafficPageTest() override {
        if (m_host && m_host->m_hWnd) m_host->DestroyWindow();
        m_host.reset();
        m_page.reset();
    }
    std::unique_ptr<CCurrentTrafficPage> m_page;
    std::unique_ptr<CPropertySheet> m_host;
};

TEST_F(CurrentTrafficPageTest, ShowsTheMatchedRoadAndFollowsTheMatch) {
    MakeDevice({{"가람고속도로", 4, true}, {"누리고속도로", 8, true}});
    // Link indices 4-11 are 누리고속도로's records 0-7; index 7 is record 3, the last of the
    // first half (row 7), and 8 its mirror, record 4 (row 7 too).
    Match(7, 0xFFFF);
    OpenPage();
    EXPECT_TRUE(m_page->GetHeaderText() == CString(u"주행도로 - 누리고속도로"));
    ASSERT_EQ(m_page->GetList()->GetItemCount(), 9);
    EXPECT_EQ(m_page->GetList()->GetFirstSelected(), 7);
    EXPECT_TRUE(Enabled(m_page.get(), CCurrentTrafficPage::IDC_MAPMOVE));
    Match(8, 0xFFFF);
    WinRunFor(5000);
    EXPECT_EQ(m_page->GetList()->GetFirstSelected(), 7);
    // The other road after the next lookup.
    Match(1, 0xFFFF);
    WinRunFor(5000);
    EXPECT_TRUE(m_page->GetHeaderText() == CString(u"주행도로 - 가람고속도로"));
    EXPECT_EQ(m_page->GetList()->GetFirstSelected(), 3);
    // No match: no road, no rows, no map move.
    Match(0, 0);
    WinRunFor(5000);
    EXPECT_TRUE(m_page->GetHeaderText() == CString(u"주행도로 -  해당도로 없음"));
    EXPECT_EQ(m_page->GetList()->GetItemCount(), 0);
    EXPECT_FALSE(Enabled(m_page.get(), CCurrentTrafficPage::IDC_MAPMOVE));
    // An index outside the link table finds nothing either.
    Match(500, 0xFFFF);
    WinRunFor(5000);
    EXPECT_TRUE(m_page->GetHeaderText() == CString(u"주행도로 -  해당도로 없음"));
}

TEST_F(CurrentTrafficPageTest, MapMoveToTheSelectedSection) {
    MakeDevice({{"누리고속도로", 8, true}, {"가람고속도로", 4, true, 300, 0}});
    Match(2, 0xFFFF); // 누리고속도로 record 2: row 5, at (102, 202)
    OpenPage();
    ASSERT_EQ(m_page->GetList()->GetFirstSelected(), 5);
    Click(m_page.get(), CCurrentTrafficPage::IDC_MAPMOVE);
    ASSERT_EQ(CSheetStorage::instance()->IsMapMoveFlag(), 1);
    EXPECT_EQ(CSheetStorage::instance()->GetMapMove()->x, 102);
    EXPECT_EQ(CSheetStorage::instance()->GetMapMove()->y, 202);
    EXPECT_EQ(CSheetStorage::instance()->GetMapMove()->code, 1234);
    EXPECT_FALSE(m_host->m_hWnd && ::IsWindow(m_host->m_hWnd)); // asked to close
    CSheetStorage::instance()->SetMapMoveFlag(0);
    // A section at x 0 (가람고속도로's first, link index 8) is refused like on the other pages.
    Match(8, 0xFFFF);
    OpenPage();
    ASSERT_EQ(m_page->GetList()->GetFirstSelected(), 1);
    Click(m_page.get(), CCurrentTrafficPage::IDC_MAPMOVE);
    EXPECT_EQ(Texts(), std::vector<std::string>{"지도이동을 할수가 없는 구간 입니다."});
    EXPECT_EQ(CSheetStorage::instance()->IsMapMoveFlag(), 0);
    // A place row.
    m_boxes.clear();
    m_page->GetList()->SelectRow(2);
    Click(m_page.get(), CCurrentTrafficPage::IDC_MAPMOVE);
    EXPECT_EQ(Texts(), std::vector<std::string>{"선택된 항목이 없습니다."});
}
