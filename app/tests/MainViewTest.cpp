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

TEST_F(MainViewTest, ABaseLayerThatDoesNotOpenIsNamedAndFails) {
    Open();
    std::vector<std::u16string> shown;
    WinSetMessageBoxHandler([&](HWND, const std::u16string& text, const std::u16string&, UINT) {
        shown.push_back(text);
        return IDOK;
    });
    MapLayerRecord missing;
    missing.name = u"MAP\\NOWHERE.MDC";
    m_doc->layers.insert(m_doc->layers.begin() + 1, missing);
    EXPECT_FALSE(m_view->OpenMapLayers());
    WinSetMessageBoxHandler(nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], u"'MAP\\NOWHERE.MDC' 지도를 읽을 수 없습니다.");
}

TEST_F(MainViewTest, FirstRunOpensAtTheDefaultPlaceFollowingTheVehicle) {
    m_vehicleAtMap = true;
    Open();
    EXPECT_TRUE(m_view->IsFollowing());
    EXPECT_TRUE(m_view->GetMainScreen()->IsFollowCar());
    EXPECT_EQ(m_view->GetMapLevel(), 11);
    std::int32_t x = 0, y = 0;
    m_view->GetMapWnd().GetCenter(x, y);
    EXPECT_EQ(x, CMapDocState::kDefaultX);
    EXPECT_EQ(y, CMapDocState::kDefaultY);
}

TEST_F(MainViewTest, MapAwayFromTheVehicleOpensWithoutFollowing) {
    Open();
    EXPECT_FALSE(m_view->IsFollowing());
    EXPECT_FALSE(m_view->GetMainScreen()->IsFollowCar());
}

TEST_F(MainViewTest, SearchMarkersAreOwnedByTheViewAndClearedByStateTwo) {
    Open();
    m_view->AddItem(new AroundFacilityItem(u"병원", 169000, 531000, 3));
    m_view->AddItem(new AroundFacilityItem(u"약국", 169100, 531100, 4));
    m_view->AddItem(nullptr);
    EXPECT_EQ(m_view->GetMarkerCount(), 2u);
    // Out-of-range indices change nothing.
    m_view->SetItem(2, AroundFacilityItem(u"x", 1, 1, 1));
    m_view->SetItem(-1, AroundFacilityItem(u"x", 1, 1, 1));
    m_view->SetItem(1, AroundFacilityItem(u"약국2", 169200, 531200, AroundFacilityItem::kHighlighted));
    m_view->SetState(1);
    Compose();
    EXPECT_EQ(m_view->GetMarkerCount(), 2u);
    m_view->SetState(2);
    Compose();
    EXPECT_EQ(m_view->GetMarkerCount(), 0u);
}

} // namespace mainview_test
