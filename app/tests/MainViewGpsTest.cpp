// The main view's GPS information window: the Gps command opens it on the screen the handheld
// calls for and closes it again, and the GPS state reaches its quality bar.
#include "MainViewFixture.h"

#include "app/CGpsInfoDlg.h"
#include "app/NaviApp.h"

using namespace mainview_test;

namespace {

void Gps(CMainView& view) {
    NaviCommand cmd;
    cmd.target = u"Gps";
    cmd.id = 0;
    view.ProcessEvent(cmd);
}

TEST_F(MainViewTest, TheGpsCommandOpensAndClosesTheInformationWindow) {
    Open();
    const std::int16_t type = navi::g_deviceType;
    navi::g_deviceType = 14;
    EXPECT_FALSE(m_view->IsGpsDialogOpen());
    Gps(*m_view);
    ASSERT_TRUE(m_view->IsGpsDialogOpen());
    EXPECT_EQ(m_view->GpsDialog().GetPanelName(), CString(u"GPS 천공도(Button3)"));
    m_view->SetGpsState(57);
    EXPECT_EQ(m_view->GpsDialog().GetSignalQuality(), 57);
    m_view->SetGpsState(-1); // no link: an empty bar
    EXPECT_EQ(m_view->GpsDialog().GetSignalQuality(), 0);
    // A "Gps" that follows the vehicle again (id 1) leaves the window alone; the next one closes it.
    NaviCommand follow;
    follow.target = u"Gps";
    follow.id = 1;
    m_view->ProcessEvent(follow);
    EXPECT_TRUE(m_view->IsGpsDialogOpen());
    Gps(*m_view);
    EXPECT_FALSE(m_view->IsGpsDialogOpen());
    // The handhelds without a GPS reset get the two-button window.
    for (std::int16_t t : {7, 9, 21}) {
        navi::g_deviceType = t;
        Gps(*m_view);
        EXPECT_EQ(m_view->GpsDialog().GetPanelName(), CString(u"GPS 천공도(Button2)")) << t;
        Gps(*m_view);
    }
    navi::g_deviceType = type;
    m_view->RequestGpsReconfigure(); // without the reader: nothing to ask
}

} // namespace
