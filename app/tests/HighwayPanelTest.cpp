// The highway-mode panel on the sample skin: the remaining values and where the digit images
// draw them, the rows' service icons and fuel brands, paging with the view's callback, the kind
// buttons, and the guards for rows and route indices past the panel's arrays.
#include "app/HighwayPanel.h"

#include "app/tests/DialogTestSupport.h"
#include "platform/window/Window.h"
#include "platform/window/WindowHost.h"
#include "skinui/NaviControl.h"
#include "skinui/NaviRcBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class HighwayPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"PanelTestView";
        RegisterClassW(&wc);
        ASSERT_TRUE(view.Attach(CreateWindowExW(0, u"PanelTestView", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                                                nullptr, nullptr, nullptr, nullptr)));
        panel.SetPanelName(u"고속모드");
        panel.SetRcBuilder(&builder);
        ASSERT_TRUE(panel.Create(&view));
        panel.SetPagingCallback([this](int first, CHighwayPanel*) { pages.push_back(first); });
    }
    void TearDown() override {
        panel.Release();
        view.DestroyWindow();
        WinResetForTests();
    }
    void Press(const char16_t* name) {
        NaviCommand cmd;
        cmd.target = name;
        panel.ProcessEvent(cmd);
    }
    TempRoot root;
    NaviRcBuilder builder;
    CWnd view;
    CHighwayPanel panel;
    std::vector<int> pages;
};

using Drawn = std::vector<std::u16string>;

TEST_F(HighwayPanelTest, RemainingValuesAreDrawnWithTheDigitImages) {
    panel.SetRemaining(12340, 2500, 3725, 7, 1);
    EXPECT_EQ(panel.RemainingText(), u"12.3k");
    EXPECT_EQ(panel.SecondText(), u"2.5");
    EXPECT_EQ(panel.TimeText(), u"01:02");
    EXPECT_EQ(panel.CountText(), u"7");
    panel.Compose(nullptr);
    const auto& texts = panel.DrawnTexts();
    ASSERT_EQ(texts.size(), 3u); // no route: distance, time and the speed count
    EXPECT_EQ(texts[0].text, u"12.3k");
    EXPECT_EQ(texts[0].x, 142);
    EXPECT_EQ(texts[0].y, 18);
    EXPECT_EQ(texts[1].text, u"01:02");
    EXPECT_EQ(texts[1].x, 183);
    EXPECT_EQ(texts[2].text, u"7");
    EXPECT_TRUE(texts[2].speedDigits);
    EXPECT_EQ(texts[2].x, 220);
    EXPECT_EQ(texts[2].y, 206);

    // Following a route: its waypoint number and the second distance too.
    panel.SetRouteState(true, 1);
    panel.Compose(nullptr);
    ASSERT_EQ(panel.DrawnImages().size(), 1u);
    EXPECT_EQ(panel.DrawnImages()[0].name, u"경유지번호2");
    EXPECT_EQ(panel.DrawnTexts()[0].text, u"2.5");
    EXPECT_EQ(panel.DrawnTexts()[0].x, 91);
    EXPECT_EQ(panel.DrawnTexts()[1].x, 160);
    EXPECT_EQ(panel.DrawnTexts()[2].x, 205);
    // An index past the five numbers draws no number image.
    panel.SetRouteState(true, 7);
    panel.Compose(nullptr);
    EXPECT_TRUE(panel.DrawnImages().empty());

    // Days count as hours; two digits end at 99:59.
    struct Case {
        int seconds;
        const char16_t* text;
    };
    for (const Case& c : {Case{90061, u"25:01"}, Case{86400, u"24:00"}, Case{359999, u"99:59"},
                          Case{360000, u"99:59"}, Case{59, u"00:00"}, Case{-5, u"00:00"}}) {
        panel.SetRemaining(0, 0, c.seconds, 0, 0);
        EXPECT_EQ(panel.TimeText(), c.text) << c.seconds;
    }
}

TEST_F(HighwayPanelTest, RowsShowTheirServicesAndFuelBrand) {
    panel.SetFacilityCount(2);
    panel.SetRows(2);
    panel.RowAt(0) = {u"가람휴게소", u"1.5", 1, 1, 1, 1};
    panel.RowAt(1) = {u"누리휴게소", u"12.0", 9, 1, 0, 1};
    panel.Refresh(false);
    // Row 0 at y 162: LPG then repair at x 87 and 104.
    EXPECT_TRUE(panel.RowControl(0, 3)->IsVisible());
    EXPECT_EQ(panel.RowControl(0, 3)->GetPos().x, 87);
    EXPECT_EQ(panel.RowControl(0, 3)->GetPos().y, 162);
    EXPECT_EQ(panel.RowControl(0, 4)->GetPos().x, 104);
    EXPECT_EQ(panel.RowControl(0, 4)->GetPos().y, 162);
    // Row 1 at y 114 without LPG: repair takes the first place.
    EXPECT_FALSE(panel.RowControl(1, 3)->IsVisible());
    EXPECT_EQ(panel.RowControl(1, 4)->GetPos().x, 87);
    EXPECT_EQ(panel.RowControl(1, 4)->GetPos().y, 114);
    EXPECT_FALSE(panel.RowControl(2, 2)->IsVisible());
    panel.Compose(nullptr);
    const auto& images = panel.DrawnImages();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].name, u"주유소0"); // brand 1
    EXPECT_EQ(images[0].x, 52);
    EXPECT_EQ(images[0].y, 162);
    EXPECT_EQ(images[1].name, u"주유소5"); // any brand past 5
    EXPECT_EQ(images[1].x, 45);
    EXPECT_EQ(images[1].y, 114);
    panel.ClearRows();
    EXPECT_FALSE(panel.RowControl(0, 3)->IsVisible());
    EXPECT_EQ(panel.RowAt(0).fuel + panel.RowAt(0).lpg + panel.RowAt(0).repair, 0);
    // Rows past three are clamped.
    panel.SetRows(7);
    EXPECT_EQ(panel.GetRows(), 3);
    EXPECT_EQ(&panel.RowAt(5), &panel.RowAt(2));
    EXPECT_EQ(&panel.RowAt(-1), &panel.RowAt(0));
}

TEST_F(HighwayPanelTest, PagingFollowsTheFacilityCount) {
    panel.SetFacilityCount(4);
    panel.Refresh(false);
    EXPECT_TRUE(panel.Control(u"위로")->IsEnabled());
    EXPECT_FALSE(panel.Control(u"아래로")->IsEnabled());
    Press(u"위로");
    Press(u"위로"); // once only with four
    EXPECT_EQ(pages, (std::vector<int>{1}));
    EXPECT_EQ(panel.GetPageIndex(), 1);
    EXPECT_FALSE(panel.Control(u"위로")->IsEnabled());
    EXPECT_TRUE(panel.Control(u"아래로")->IsEnabled());
    Press(u"아래로");
    EXPECT_EQ(pages, (std::vector<int>{1, 0}));
    // Passing a facility steps back one page, never below 0.
    Press(u"위로");
    panel.SetNextFacility(11);
    EXPECT_EQ(panel.GetPageIndex(), 0);
    panel.SetNextFacility(12);
    EXPECT_EQ(panel.GetPageIndex(), 0);
    Press(u"처음으로");
    EXPECT_EQ(pages.back(), 0);

    pages.clear();
    panel.SetFacilityCount(3);
    panel.Refresh(false);
    EXPECT_FALSE(panel.Control(u"위로")->IsEnabled());
    Press(u"위로");
    EXPECT_TRUE(pages.empty());
    EXPECT_EQ(panel.GetPageIndex(), 0);

    // Without a callback the paging buttons do nothing.
    panel.SetPagingCallback(nullptr);
    panel.SetFacilityCount(9);
    Press(u"위로");
    EXPECT_EQ(panel.GetPageIndex(), 0);
}

TEST_F(HighwayPanelTest, KindButtonsChooseTheList) {
    panel.SetFacilityCount(9);
    Press(u"위로");
    Press(u"IC");
    EXPECT_EQ(panel.GetListType(), CHighwayPanel::kInterchanges);
    EXPECT_EQ(panel.GetPageIndex(), 0);
    EXPECT_FALSE(panel.Control(u"IC")->IsVisible());
    EXPECT_TRUE(panel.Control(u"전체_IC")->IsVisible());
    Press(u"휴게소");
    EXPECT_EQ(panel.GetListType(), CHighwayPanel::kRestAreas);
    EXPECT_TRUE(panel.Control(u"IC")->IsVisible());
    EXPECT_FALSE(panel.Control(u"전체_IC")->IsVisible());
    EXPECT_TRUE(panel.Control(u"전체_휴게소")->IsVisible());
    Press(u"분기점");
    EXPECT_EQ(panel.GetListType(), CHighwayPanel::kJunctions);
    Press(u"전체_분기점");
    EXPECT_TRUE(panel.IsShowingAll());
    EXPECT_TRUE(panel.Control(u"분기점")->IsVisible());
    EXPECT_FALSE(panel.Control(u"전체_분기점")->IsVisible());
    panel.held = 1;
    Press(u"고속모드_하단");
    EXPECT_EQ(panel.held, 0);
}

} // namespace
