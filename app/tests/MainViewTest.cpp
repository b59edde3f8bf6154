// The main frame and view on the sample device: the map window under the main screen.
#include "MainViewFixture.h"

#include "skinui/NaviControl.h"
#include "skinui/main/NaviMainScreen.h"

namespace mainview_test {

SampleDevice* MainViewTest::s_device = nullptr;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

TEST_F(MainViewTest, MapWindowFillsTheViewUnderTheMainScreen) {
    m_config->SetValue(0, 0);
    Open();
    CMapWnd& map = m_view->GetMapWnd();
    ASSERT_NE(map.m_hWnd, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(map.m_hWnd), CMainView::kMapWindowId);
    EXPECT_EQ(map.GetWindowWidth(), 240);
    EXPECT_EQ(map.GetWindowHeight(), 320);
    std::int32_t x = 0, y = 0;
    map.GetCenter(x, y);
    EXPECT_EQ(x, 203143);
    EXPECT_EQ(y, 531663);

    NaviControl* compass = m_view->GetMainScreen()->FindControl(u"Compass");
    ASSERT_NE(compass, nullptr);
    const RECT r = compass->GetRect();
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    Compose();
    ASSERT_TRUE(SavePng("mainview_start.png"));
    const COLORREF withOverlay = Pixel(cx, cy);
    // The same frame without the overlay's controls shows the map there.
    for (NaviControl* c : m_view->GetMainScreen()->GetControls()) c->SetVisible(false);
    Compose();
    EXPECT_NE(Pixel(cx, cy), withOverlay);
}

} // namespace mainview_test
