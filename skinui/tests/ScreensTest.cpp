// The screen catalogue and the screens it lays out, built without a skin archive: which builder a
// name reaches, the groups a screen leaves set, and the layout values the screens are defined by.
#include "SkinTestSupport.h"

#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/controls/NaviScrollList.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "skinui/screens/NaviControlTree.h"
#include "skinui/screens/NaviScreenCatalogue.h"

#include <memory>
#include <string>
#include <vector>

namespace {

struct Released {
    void operator()(NaviPanel* panel) const { panel->Release(); }
};
using Screen = std::unique_ptr<NaviPanel, Released>;

std::string U8(const CString& s) {
    return Utf16ToUtf8(s.Str());
}

class Screens : public ::testing::Test {
protected:
    Screen Build(const char16_t* name) {
        Screen panel(new NaviPanel());
        builder.BuildPanel(nullptr, panel.get(), name);
        return panel;
    }
    template <typename T> T* Get(NaviPanel* root, const char16_t* path) {
        NaviControl* c = FindControl(root, path);
        EXPECT_NE(c, nullptr) << U8(path);
        T* typed = dynamic_cast<T*>(c);
        EXPECT_NE(typed, nullptr) << U8(path);
        return typed;
    }
    static std::vector<std::string> Items(NaviComboBox* combo) {
        std::vector<std::string> out;
        for (int i = 0; combo && i < combo->GetCount(); ++i) out.push_back(U8(combo->GetItem(i)));
        return out;
    }
    static POINT At(NaviControl* c) { return c ? c->GetPos() : POINT{-1, -1}; }
    NaviRcBuilder builder;
};

bool operator==(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

TEST_F(Screens, DispatchTakesTheFirstRuleTheNameMeets) {
    struct Case {
        const char16_t* name;
        ScreenBuilderFn expected; // null: no row
    };
    const Case cases[] = {
        {u"나만의메뉴 편집", BuildComboPopupScreen},
        {u"나만의메뉴3", BuildComboPopupScreen},
        // The substring rule comes before every exact one.
        {u"POIInfo나만의메뉴", BuildComboPopupScreen},
        {u"Button설정0", BuildComboPopupScreen},
        {u"Button설정10", nullptr},
        {u"Button설정", nullptr},
        {u"콤보", BuildComboPopupScreen},
        {u"안내레벨콤보", BuildComboPopupScreen},
        {u"POIInfo", BuildPoiInfoScreen},
        {u"POIInfoAdv", BuildPoiInfoAdvScreen},
        {u"poiinfo", nullptr},
        {u"환경설정-시스템", BuildSystemSettings},
        {u"사용자정보-정보저장위치", BuildSaveLocationSettings},
        {u"PDA_GPS_CONFIG", BuildGpsConfigScreen},
        {u"InitGPSConfig", BuildGpsConfigScreen},
        {u"GPS 천공도(Button3)", BuildGpsSkyScreen3},
        {u"GPS 천공도(Button2)", BuildGpsSkyScreen2},
        {u"GPS 천공도", nullptr},
        {u"NaviMain", nullptr},
        {u"", nullptr},
        {u"경고창", nullptr},
        {u"버젼정보", nullptr},
    };
    for (const Case& c : cases) {
        const ScreenCatalogueRow* row = FindScreenRow(c.name);
        EXPECT_EQ(row ? row->build : nullptr, c.expected) << U8(c.name);
    }
    EXPECT_EQ(ScreenCatalogue().size(), 43u);
}

TEST_F(Screens, TheComboPopupIsNamedForItselfAndListsTheAskedName) {
    for (const char16_t* name : {u"나만의메뉴 편집", u"Button설정0", u"콤보", u"안내레벨콤보", u"재탐색표시간격"}) {
        Screen popup = Build(name);
        EXPECT_EQ(U8(popup->Name()), "팝업다이얼로그");
        const RECT r = popup->GetRect();
        EXPECT_EQ(r.right - r.left, 148);
        EXPECT_EQ(r.bottom - r.top, 313);
        auto* list = Get<NaviScrollList>(popup.get(), (CString(name) + u"그룹").GetString());
        if (list) {
            EXPECT_EQ(list->GetRect().left, 18);
            EXPECT_EQ(list->GetRect().bottom, 227);
        }
        auto* up = Get<NaviFrameWnd>(popup.get(), u"DisableArrowUp");
        if (up) { EXPECT_FALSE(up->IsEnabled()); }
        EXPECT_EQ(U8(builder.GetImageGroup()), "Configure");
    }
}

TEST_F(Screens, ANameNoRowTakesLeavesTheRootUntouched) {
    for (const char16_t* name : {u"NaviMain", u"", u"Button설정10", u"Button설정"}) {
        Screen panel = Build(name);
        EXPECT_TRUE(panel->GetChildren().empty()) << U8(name);
        EXPECT_TRUE(panel->Name().IsEmpty());
        EXPECT_EQ(panel->GetSize().cx, 0);
        EXPECT_EQ(panel->GetSize().cy, 0);
    }
}

TEST_F(Screens, TheDispatchersOwnPanelsLeaveTheirGroupsSet) {
    struct Case {
        const char16_t* name;
        const char* group;
        RECT rect;
    };
    const Case cases[] = {
        {u"다중경로탐색", "RouteResult", {12, 126, 228, 300}},
        {u"다중탐색시작", "AddressSearch", {2, 255, 238, 317}},
        {u"모의주행", "SimulRoute", {2, 157, 52, 318}},
        {u"볼륨창", "Volume", {0, 0, 98, 260}},
    };
    for (const Case& c : cases) {
        builder.SetCheckGroup(u"none");
        Screen panel = Build(c.name);
        EXPECT_EQ(U8(builder.GetImageGroup()), c.group) << U8(c.name);
        EXPECT_EQ(U8(panel->Name()), U8(c.name));
        const RECT r = panel->GetRect();
        EXPECT_TRUE(r.left == c.rect.left && r.top == c.rect.top && r.right == c.rect.right &&
                    r.bottom == c.rect.bottom)
            << U8(c.name);
        EXPECT_FALSE(panel->IsTransparent());
        if (std::u16string(c.name) == u"다중탐색시작") { EXPECT_EQ(U8(builder.GetCheckGroup()), "버튼1"); }
    }
    Screen multi = Build(u"다중경로탐색");
    for (const char16_t* frame : {u"탐색결과_고속우선", u"탐색결과_추천경로", u"탐색결과_일반우선1", u"탐색결과_일반우선2"}) {
        auto* f = Get<NaviFrameWnd>(multi.get(), frame);
        if (f) { EXPECT_FALSE(f->IsEnabled()); }
    }
    Screen bar = Build(u"다중탐색시작");
    auto* question = Get<NaviLabel>(bar.get(), u"가");
    if (question) { EXPECT_EQ(U8(question->GetText()), "추가경로를 탐색하시겠습니까?"); }
}

TEST_F(Screens, DisplayPageValues) {
    Screen page = Build(u"환경설정-디스플레이");
    auto* list = Get<NaviItemList>(page.get(), u"환경설정패널들");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 4);
    EXPECT_EQ(U8(list->GetCurrentItem()->Name()), "일반");
    const std::vector<std::string> levels = {"변경없음", "4레벨", "5레벨", "6레벨", "7레벨", "8레벨", "9레벨"};
    for (const char16_t* combo : {u"환경설정패널들/레벨/안내레벨콤보", u"환경설정패널들/레벨/교차로레벨콤보", u"환경설정패널들/레벨/저속레벨콤보", u"환경설정패널들/레벨/중속레벨콤보",
                                  u"환경설정패널들/레벨/고속레벨콤보"})
        EXPECT_EQ(Items(Get<NaviComboBox>(page.get(), combo)), levels);
    std::vector<std::string> start, end;
    for (int h = 16; h <= 24; ++h) start.push_back(std::to_string(h) + "시");
    for (int h = 4; h <= 12; ++h) end.push_back((h < 10 ? "0" : "") + std::to_string(h) + "시");
    EXPECT_EQ(Items(Get<NaviComboBox>(page.get(), u"환경설정패널들/색상/야간시작시간")), start);
    EXPECT_EQ(Items(Get<NaviComboBox>(page.get(), u"환경설정패널들/색상/야간종료시간")), end);
    EXPECT_TRUE(Items(Get<NaviComboBox>(page.get(), u"환경설정패널들/색상/기본지도색상콤보")).empty());
    auto* tabs = Get<NaviTabCtrl>(page.get(), u"환경설정탭");
    if (tabs) {
        EXPECT_EQ(tabs->GetCount(), 4);
        EXPECT_EQ(tabs->GetRect().top, 284);
    }
    EXPECT_EQ(U8(builder.GetTabGroup()), "Window");
    // Each tab panel's controls report to it; the panels report to the root.
    auto* mode = Get<NaviRadioGroup>(page.get(), u"환경설정패널들/일반/지도모드그룹");
    if (mode) {
        EXPECT_EQ(mode->GetListener(), dynamic_cast<NaviListener*>(list->GetItem(0)));
        EXPECT_EQ(mode->GetCount(), 3);
    }
    EXPECT_EQ(list->GetItem(0)->GetListener(), static_cast<NaviListener*>(page.get()));
}

TEST_F(Screens, RouteAndGuidancePageValues) {
    Screen route = Build(u"환경설정-경로탐색");
    EXPECT_EQ(Items(Get<NaviComboBox>(route.get(), u"환경설정패널들/교통정보/재탐색표시간격")),
              (std::vector<std::string>{"안함", "5분", "10분", "15분", "30분", "45분", "60분"}));
    // The same button names in three groups on two tabs.
    EXPECT_NE(FindControl(route.get(), u"환경설정패널들/교통정보/교통정보재탐색버튼그룹/자동"), nullptr);
    EXPECT_NE(FindControl(route.get(), u"환경설정패널들/재탐색/경로이탈후재탐색그룹/자동"), nullptr);

    Screen guide = Build(u"환경설정-안전운행안내");
    auto* speed = Get<NaviLabel>(guide.get(), u"환경설정패널들/경고음/고속도로속도");
    if (speed) { EXPECT_EQ(U8(speed->GetText()), "고속도로속도"); }
    const std::vector<std::string> speeds = Items(Get<NaviComboBox>(guide.get(), u"환경설정패널들/안내음/최저속도안내"));
    ASSERT_EQ(speeds.size(), 13u);
    EXPECT_EQ(speeds.front(), "항상안내");
    EXPECT_EQ(speeds[1], "30 km 이하");
    EXPECT_EQ(speeds.back(), "140 km 이하");
    auto* roads = Get<NaviRadioGroup>(guide.get(), u"환경설정패널들/경고음/경고음안내그룹");
    if (roads) { EXPECT_EQ(roads->GetCount(), 5); }
}

TEST_F(Screens, SystemPageButtonRowsFollowTheDevice) {
    struct Case {
        int type, buttons;
        std::vector<std::string> rows; // the icon (or letter) of each row made
    };
    const Case cases[] = {
        {5, 4, {"Calendar", "Contacts", "Launch"}},
        {10, 4, {"A", "B", "C"}},
        {3, 6, {"Home", "Contacts", "Calendar", "Tasks"}},
        {15, 4, {"KorEng", "Star"}},
        {99, 4, {}},
        {0, 0, {}},
    };
    for (const Case& c : cases) {
        builder.SetDeviceType(c.type);
        builder.SetButtonCount(c.buttons);
        Screen page = Build(u"환경설정-시스템");
        auto* list = Get<NaviItemList>(page.get(), u"환경설정패널들");
        ASSERT_NE(list, nullptr);
        auto* tab = dynamic_cast<NaviPanel*>(list->GetItem(2));
        ASSERT_NE(tab, nullptr);
        std::vector<std::string> icons;
        int combos = 0;
        for (NaviControl* child : tab->GetChildren()) {
            const std::string name = U8(child->Name());
            if (child->GetPos().x == 35 && name != "사용") icons.push_back(name);
            if (auto* combo = dynamic_cast<NaviComboBox*>(child)) {
                EXPECT_EQ(name, "Button설정" + std::to_string(combos));
                EXPECT_EQ(combo->GetPos().y, 68 + 32 * combos);
                EXPECT_EQ(combo->GetCount(), 18);
                ++combos;
            }
        }
        EXPECT_EQ(icons, c.rows) << "device " << c.type;
        EXPECT_EQ(combos, static_cast<int>(c.rows.size()));
    }
}

TEST_F(Screens, SystemPageMyMenuCombos) {
    Screen page = Build(u"환경설정-시스템");
    for (int i = 0; i < 8; ++i) {
        CString path;
        path.Format(u"환경설정패널들/초기메뉴패널/나만의메뉴%d", i);
        auto* combo = Get<NaviComboBox>(page.get(), path.GetString());
        if (!combo) continue;
        EXPECT_TRUE(At(combo) == (POINT{i % 2 == 0 ? 30 : 126, 131 + 29 * (i / 2)})) << i;
        EXPECT_EQ(combo->GetCount(), 31);
        EXPECT_EQ(U8(combo->GetItem(30)), "시스템");
    }
    // The radio group is added after "Apply".
    auto* list = Get<NaviItemList>(page.get(), u"환경설정패널들");
    auto* tab = dynamic_cast<NaviPanel*>(list->GetItem(3));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(U8(tab->GetChildren().back()->Name()), "초기메뉴설정그룹");
    EXPECT_EQ(U8(tab->GetChildren()[tab->GetChildren().size() - 2]->Name()), "Apply");
    EXPECT_EQ(Items(Get<NaviComboBox>(page.get(), u"환경설정패널들/GPS패널/Port설정")).back(), "COM9:");
}

TEST_F(Screens, PointAndEntryScreenValues) {
    Screen reg = Build(u"지점등록");
    EXPECT_TRUE(At(FindControl(reg.get(), u"지점등록패널들/심볼설정/지점등록심볼_카테고리/호텔")) == (POINT{178, 176}));
    auto* back = Get<NaviCheckButton>(reg.get(), u"지점등록패널들/심볼설정/등록지점_이전");
    if (back) {
        EXPECT_FALSE(back->IsVisible());
        EXPECT_EQ(U8(back->GetText()), "이전");
    }
    EXPECT_EQ(Get<NaviComboBox>(reg.get(), u"지점등록패널들/심볼설정/음성설정")->GetCount(), 15);
    EXPECT_EQ(FindControl(reg.get(), u"지점등록패널들/폴더생성페널/확인")->GetPos().y, 100);

    Screen latlon = Build(u"경위도이동");
    EXPECT_EQ(FindControl(latlon.get(), u"점")->GetPos().y, 222);
    EXPECT_EQ(FindControl(latlon.get(), u"9")->GetPos().y, 221);
    EXPECT_EQ(FindControl(latlon.get(), u"위치보기")->GetPos().y, 118);
    Screen dorva = Build(u"도르바이동");
    EXPECT_EQ(FindControl(dorva.get(), u"바로탐색")->GetPos().y, 102);

    Screen recent = Build(u"최근목적지");
    auto* label = Get<NaviLabel>(recent.get(), u"최근 목적지 목록");
    if (label) { EXPECT_EQ(U8(label->GetText()), "최근목적지 목록"); }

    Screen setting = Build(u"경로재설정");
    EXPECT_NE(FindControl(setting.get(), u"현위치"), nullptr);
    EXPECT_EQ(FindControl(setting.get(), u"이전"), nullptr);
}

TEST_F(Screens, TwinsDifferOnlyWhereTheyShould) {
    struct Twin {
        const char16_t* beginner;
        const char16_t* advanced;
    };
    for (const Twin& t : {Twin{u"AroundSearch", u"AroundSearchAdv"}, Twin{u"NameSearch", u"NameSearchAdv"},
                          Twin{u"AddressSearch", u"AddressSearchAdv"}, Twin{u"ThemeSearch", u"ThemeSearchAdv"},
                          Twin{u"POIInfo", u"POIInfoAdv"}}) {
        Screen a = Build(t.beginner);
        Screen b = Build(t.advanced);
        std::vector<std::string> pa, pb;
        WalkControls(a.get(), [&](const CString& path, NaviControl* c) {
            const RECT r = c->GetRect();
            pa.push_back(U8(path) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                         std::to_string(r.right) + "," + std::to_string(r.bottom));
        });
        WalkControls(b.get(), [&](const CString& path, NaviControl* c) {
            const RECT r = c->GetRect();
            pb.push_back(U8(path) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                         std::to_string(r.right) + "," + std::to_string(r.bottom));
        });
        std::vector<std::string> onlyA, onlyB;
        for (const std::string& s : pa)
            if (std::find(pb.begin(), pb.end(), s) == pb.end()) onlyA.push_back(s);
        for (const std::string& s : pb)
            if (std::find(pa.begin(), pa.end(), s) == pa.end()) onlyB.push_back(s);
        const std::string name = U8(t.beginner);
        std::vector<std::string> expectA, expectB;
        const std::string tab = name == "AroundSearch"    ? "주변검색/텝_주변검색"
                                : name == "NameSearch"    ? "텝_명칭검색"
                                : name == "AddressSearch" ? "텝_주소검색"
                                : name == "ThemeSearch"   ? "테마시설물선택/텝_테마검색"
                                                          : "텝_상세정보";
        const std::string prefix = name == "AroundSearch" ? "주변검색패널들/" : name == "ThemeSearch" ? "테마검색패널들/" : "";
        expectA.push_back(prefix + tab + " 4,284,236,313");
        expectB.push_back(prefix + tab + " 4,284,244,314");
        if (name == "AroundSearch") {
            // Pages at x 7 against 6, and two category names.
            onlyA.erase(std::remove_if(onlyA.begin(), onlyA.end(),
                                       [](const std::string& s) { return s.find("주변검색패널들/주변") == 0; }),
                        onlyA.end());
            onlyB.erase(std::remove_if(onlyB.begin(), onlyB.end(),
                                       [](const std::string& s) { return s.find("주변검색패널들/주변") == 0; }),
                        onlyB.end());
            expectA = {};
            expectB = {};
            EXPECT_NE(FindControl(a.get(), u"주변검색패널들/주변검색/주변시설물검색_카테고리_그룹/LPG충전소"), nullptr);
            EXPECT_NE(FindControl(b.get(), u"주변검색패널들/주변검색/주변시설물검색_카테고리_그룹/LPG 충전소"), nullptr);
            EXPECT_NE(FindControl(a.get(), u"주변검색패널들/주변보기/주변시설물보기_카테고리_그룹/지하철"), nullptr);
            EXPECT_NE(FindControl(b.get(), u"주변검색패널들/주변보기/주변시설물보기_카테고리_그룹/지하철역"), nullptr);
            EXPECT_EQ(FindControl(a.get(), u"주변검색패널들/주변검색")->GetPos().x, 7);
            EXPECT_EQ(FindControl(b.get(), u"주변검색패널들/주변검색")->GetPos().x, 6);
            auto* tabsA = dynamic_cast<NaviTabCtrl*>(FindControl(a.get(), u"주변검색패널들/주변검색/텝_주변검색"));
            auto* tabsB = dynamic_cast<NaviTabCtrl*>(FindControl(b.get(), u"주변검색패널들/주변검색/텝_주변검색"));
            ASSERT_TRUE(tabsA && tabsB);
            EXPECT_EQ(tabsA->GetCount(), 2);
            EXPECT_EQ(tabsB->GetCount(), 4);
        }
        EXPECT_EQ(onlyA, expectA) << name;
        EXPECT_EQ(onlyB, expectB) << name;
    }
}

TEST_F(Screens, SearchScreensOpenOnTheirFirstPage) {
    struct Case {
        const char16_t* screen;
        const char16_t* list;
        const char* first;
        int pages;
    };
    const Case cases[] = {
        {u"AroundSearch", u"주변검색패널들", "주변검색", 3},
        {u"NameSearch", u"명칭검색패널들", "명칭검색", 1},
        {u"AddressSearch", u"주소검색패널들", "주소검색", 2},
        {u"CateSearch", u"종별검색패널들", "종별선택", 2},
        {u"ThemeSearch", u"테마검색패널들", "테마선택", 3},
        {u"POIInfo", u"POI상세정보패널", "종별선택", 1},
        {u"지점등록", u"지점등록패널들", "심볼설정", 3},
        {u"등록지점관리", u"등록지점패널들", "등록지점_초기", 2},
    };
    for (const Case& c : cases) {
        Screen screen = Build(c.screen);
        auto* list = Get<NaviItemList>(screen.get(), c.list);
        ASSERT_NE(list, nullptr) << U8(c.screen);
        EXPECT_EQ(list->GetCount(), c.pages) << U8(c.screen);
        EXPECT_EQ(U8(list->GetCurrentItem()->Name()), c.first);
        for (int i = 1; i < list->GetCount(); ++i) EXPECT_FALSE(list->GetItem(i)->IsVisible()) << U8(c.screen) << i;
    }
    // "NearLotSelect" is not its own listener; its dialog sets one.
    Screen nearLot = Build(u"NearLotSelect");
    EXPECT_EQ(nearLot->GetListener(), nullptr);
    EXPECT_FALSE(nearLot->IsVisible());
    auto* choice = Get<NaviRadioGroup>(nearLot.get(), u"인접지번선택 그룹");
    if (choice) { EXPECT_EQ(choice->GetCount(), 2); }
}

} // namespace

namespace {

// Every row, without an archive: builds, draws and disposes cleanly (the sanitizers watch), lays
// out controls, and draws something where the layout has texts of its own.
TEST(ScreenSweep, EveryRowBuildsAndDrawsWithoutTheArchive) {
    NaviRcBuilder builder;
    builder.SetDeviceType(3);
    builder.SetButtonCount(4);
    const std::vector<CString> names = CatalogueScreenNames();
    ASSERT_EQ(names.size(), 43u);
    for (const CString& name : names) {
        ASSERT_NE(FindScreenRow(name), nullptr);
        auto* panel = new NaviPanel();
        builder.BuildPanel(nullptr, panel, name);
        int controls = 0;
        WalkControls(panel, [&](const CString&, NaviControl*) { ++controls; });
        EXPECT_GT(controls, 0) << name.ToUtf8();
        EXPECT_FALSE(panel->Name().IsEmpty()) << name.ToUtf8();
        Canvas canvas(240, 320);
        panel->Paint(&canvas.cdc);
        panel->Release();
    }
}

} // namespace
