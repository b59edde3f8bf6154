// The main screen's launcher and menus, the advanced menu's pages and the message-box button row.
#include "SkinTestSupport.h"

#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/main/NaviMenuButton.h"
#include "skinui/main/NaviMenuPages.h"
#include "skinui/main/NaviMenus.h"

#include <memory>
#include <string>
#include <vector>

namespace {

const COLORREF kLauncher = RGB(10, 0, 0);
const COLORREF kPro = RGB(20, 0, 0);
const COLORREF kClose = RGB(30, 0, 0);
const COLORREF kSimul = RGB(40, 0, 0);
const COLORREF kBasicBack = RGB(0, 50, 0);
const COLORREF kBalloon = RGB(0, 60, 0);
const COLORREF kTab = RGB(0, 0, 70);
const COLORREF kTabChecked = RGB(0, 0, 80);
const COLORREF kKey = RGB(90, 90, 0);
const COLORREF kLabel = RGB(100, 0, 100);
const COLORREF kNumber = RGB(0, 110, 110);

// Skin images are drawn with their top-left pixel's colour cut out: that pixel is magenta here.
Bytes Keyed(int width, int height, COLORREF c) {
    return RgbPng(width, height, [c](int x, int y) { return x == 0 && y == 0 ? RGB(255, 0, 255) : c; });
}

ArchiveEntry Entry(const char16_t* name, const Bytes& png) {
    return ArchiveEntry{Cp949(name), png};
}

class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<ArchiveEntry> entries = {
            Entry(u"VelkoMenu\\VelkoMenu", Keyed(38, 37, kLauncher)),
            Entry(u"VelkoMenu\\VelkoMenu_Pro", Keyed(38, 37, kPro)),
            Entry(u"VelkoMenu\\VelkoMenu_Close", Keyed(118, 21, kClose)),
            Entry(u"VelkoMenu\\VelkoSimul", Keyed(38, 37, kSimul)),
            Entry(u"NaviMenu\\초보_배경", Keyed(228, 296, kBasicBack)),
            Entry(u"NaviMenu\\풍선", Keyed(20, 10, kBalloon)),
            Entry(u"NaviMenuAdv\\경로찾기", Keyed(92, 31, kTab)),
            Entry(u"NaviMenuAdv\\경로찾기_Check", Keyed(92, 31, kTabChecked)),
            Entry(u"NaviMenu\\메뉴버튼", Keyed(95, 31, kKey)),
            Entry(u"NaviMenuAdv\\명칭검색", Keyed(30, 10, kLabel)),
            Entry(u"NaviMenuAdv\\3", Keyed(12, 12, kNumber)),
        };
        const Bytes b = ArchiveBytes(entries, static_cast<int>(entries.size()));
        root.MakeFile("res/ResData.bin", std::string(b.begin(), b.end()));
        builder.OpenSkin(u"\\res");
    }
    TempRoot root;
    NaviRcBuilder builder;
};

std::vector<std::u16string> NamesOf(const std::vector<NaviControl*>& controls) {
    std::vector<std::u16string> names;
    for (NaviControl* c : controls) names.emplace_back(c->Name().GetString());
    return names;
}

void Send(NaviControl& control, int id, int param1 = -1, int param2 = -1) {
    NaviCommand cmd;
    cmd.target = kTargetMain;
    cmd.id = id;
    cmd.param1 = param1;
    cmd.param2 = param2;
    control.ProcessCommand(cmd);
}

} // namespace

TEST_F(Menus, LauncherImageFollowsModeSimulationAndOpenMenu) {
    NaviMenuLauncher launcher;
    launcher.SetName(u"VelkoMenu");
    launcher.LoadImages(&builder);
    EXPECT_TRUE(SameRect(launcher.GetRect(), RECT{2, 281, 40, 318}));
    struct Case {
        int command; // 0: none
        bool open;
        COLORREF at;  // colour at the probe point
        int px, py;
    };
    // Mode 0 (before any command) is not the basic mode: the pro image shows.
    const Case cases[] = {
        {0, false, kPro, 10, 290},
        {kCmdMenuBasic, false, kLauncher, 10, 290},
        {kCmdMenuAdvanced, false, kPro, 10, 290},
        {kCmdMenuMine, false, kPro, 10, 290},
        {kCmdSimulationOn, false, kSimul, 10, 290},
        {kCmdSimulationOff, true, kClose, 120, 310}, // the close image at (6, 298), 118 wide
    };
    for (const Case& c : cases) {
        if (c.command) Send(launcher, c.command);
        launcher.SetMenuOpen(c.open);
        Canvas canvas(240, 320);
        launcher.Draw(&canvas.cdc);
        EXPECT_EQ(canvas.At(c.px, c.py), c.at) << c.command;
    }
    // While a menu is open only the close area takes the pen; otherwise the button itself.
    EXPECT_EQ(launcher.HitTest(3, 290), 0);
    EXPECT_EQ(launcher.HitTest(100, 300), 1);
    EXPECT_EQ(launcher.HitTest(6, 297), 0);
    launcher.SetMenuOpen(false);
    EXPECT_EQ(launcher.HitTest(3, 290), 1);
    EXPECT_EQ(launcher.HitTest(100, 300), 0);
    // A new screen height moves it to 39 pixels above the bottom.
    Send(launcher, kCmdScreenSize, 320, 240);
    EXPECT_TRUE(SameRect(launcher.GetRect(), RECT{2, 201, 40, 238}));
}

TEST_F(Menus, BasicMenuLayoutHitsAndPress) {
    builder.SetMenuGroup(u"NaviMenu");
    NaviBasicMenu menu;
    menu.SetName(u"NaviMenu");
    menu.LoadImages(&builder);
    EXPECT_TRUE(SameRect(menu.GetRect(), RECT{6, 6, 234, 302}));
    EXPECT_EQ(NamesOf(menu.GetChildren()),
              (std::vector<std::u16string>{u"명칭검색", u"주소검색", u"주변검색", u"테마검색", u"메뉴전환", u"종료",
                                           u"윈도버튼", u"볼륨", u"기본메뉴타이틀"}));
    // Offsets from the menu's place (6, 6).
    EXPECT_TRUE(SameRect(menu.FindChild(u"명칭검색")->GetRect(), RECT{21, 43, 117, 85}));
    EXPECT_TRUE(SameRect(menu.FindChild(u"종료")->GetRect(), RECT{177, 242, 225, 290}));
    EXPECT_TRUE(SameRect(menu.FindChild(u"윈도버튼")->GetRect(), RECT{163, 6, 234, 47}));
    EXPECT_TRUE(SameRect(menu.FindChild(u"볼륨")->GetRect(), RECT{12, 248, 165, 291}));

    // On an entry: its name, and the pen-down presses it.
    EXPECT_EQ(menu.HitTest(50, 60), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString(u"명칭검색"));
    menu.OnPenDown();
    EXPECT_TRUE(menu.FindChild(u"명칭검색")->IsPressed());
    // Inside but on no entry: consumed with an empty name, nothing pressed.
    menu.FindChild(u"명칭검색")->SetPressed(false);
    EXPECT_EQ(menu.HitTest(130, 150), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString());
    menu.OnPenDown();
    for (NaviControl* c : menu.GetChildren()) EXPECT_FALSE(c->IsPressed()) << Utf16ToUtf8(c->Name().GetString());
    // The slider shows no press.
    EXPECT_EQ(menu.HitTest(20, 260), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString(u"볼륨"));
    menu.OnPenDown();
    EXPECT_FALSE(menu.FindChild(u"볼륨")->IsPressed());
    // Outside.
    EXPECT_EQ(menu.HitTest(3, 200), 0);
    EXPECT_EQ(menu.HitTest(10, 302), 0);

    Canvas canvas(240, 320);
    menu.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(120, 160), kBasicBack);
    EXPECT_EQ(canvas.At(6 + 116, 6 + 57), kBalloon);
    EXPECT_EQ(canvas.At(6 + 115 + 20, 6 + 57), kBasicBack);
}

TEST_F(Menus, AdvancedTabsCheckThemselvesAndPagesSwitch) {
    builder.SetMenuGroup(u"NaviMenuAdv");
    NaviAdvancedMenu menu;
    menu.SetName(u"NaviMenuAdv");
    menu.LoadImages(&builder);
    EXPECT_TRUE(SameRect(menu.GetRect(), RECT{5, 5, 123, 302}));
    EXPECT_EQ(NamesOf(menu.GetChildren()),
              (std::vector<std::u16string>{u"경로찾기", u"경로관리", u"사용자정보", u"부가정보", u"환경설정", u"종료",
                                           u"윈도버튼", u"메뉴전환", u"볼륨", u"고급메뉴타이틀"}));
    auto tab = [&](const char16_t* name) { return static_cast<NaviMenuButton*>(menu.FindChild(name)); };
    // Tab i at (5 + 14, 5 + 42 + 35 i).
    EXPECT_TRUE(SameRect(tab(u"경로관리")->GetRect(), RECT{19, 82, 111, 113}));

    // A tab checks itself and unchecks the others.
    tab(u"경로찾기")->SetChecked(true);
    EXPECT_EQ(menu.HitTest(30, 90), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString(u"경로관리"));
    EXPECT_TRUE(tab(u"경로관리")->IsChecked());
    EXPECT_FALSE(tab(u"경로찾기")->IsChecked());
    // Any other child leaves the tabs as they are.
    EXPECT_EQ(menu.HitTest(100, 270), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString(u"종료"));
    EXPECT_TRUE(tab(u"경로관리")->IsChecked());

    // Pages: none visible at first; hidden pages claim no taps.
    EXPECT_EQ(menu.VisiblePage(), nullptr);
    EXPECT_EQ(menu.HitTest(150, 20), 0);
    EXPECT_EQ(menu.ShowPage(u"없는페이지"), 0);
    EXPECT_EQ(menu.VisiblePage(), nullptr);
    EXPECT_EQ(menu.ShowPage(u"위로"), 1);
    ASSERT_NE(menu.VisiblePage(), nullptr);
    EXPECT_EQ(menu.VisiblePage()->Name(), CString(u"경로찾기"));
    EXPECT_EQ(menu.ShowPage(u"경로관리"), 1);
    EXPECT_EQ(menu.VisiblePage()->Name(), CString(u"경로관리"));
    EXPECT_EQ(menu.ShowPage(u"없는페이지"), 0);
    EXPECT_EQ(menu.VisiblePage()->Name(), CString(u"경로관리"));
    int visible = 0;
    for (int i = 0; i < NaviAdvancedMenu::kPageCount; ++i) visible += menu.GetPage(i)->IsVisible() ? 1 : 0;
    EXPECT_EQ(visible, 1);

    // A tap on a page entry: the page's hit name, and the press reaches the entry. Entry 2 of
    // "경로관리" ("경로재설정") lies at y 6 + 70.
    EXPECT_EQ(menu.HitTest(150, 80), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString(u"경로재설정"));
    menu.OnPenDown();
    NaviMenuPage* page = menu.VisiblePage();
    EXPECT_TRUE(page->GetEntry(2)->IsPressed());
    // Below the last entry of a shown page: taken, no name.
    EXPECT_EQ(menu.HitTest(150, 318), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString());
}

TEST(MenuPages, TableOfPages) {
    NaviRcBuilder builder; // no skin: the layout does not depend on images
    struct Case {
        const char16_t* page;
        std::vector<std::u16string> children;
        int height;
        int firstNumber;
    };
    const Case cases[] = {
        {u"경로찾기",
         {u"집으로", u"자주가는곳", u"최근목적지", u"등록지점", u"주소검색", u"명칭검색", u"주변검색", u"테마검색",
          u"아래로"},
         315, 1},
        {u"아래로", {u"시설분류", u"도르바", u"경위도", u"위로"}, 140, 9},
        {u"경로관리",
         {u"경로정보", u"전체경로보기", u"경로재설정", u"경로저장", u"경로취소", u"목적지이동", u"경유지관리",
          u"출발지이동", u"모의주행"},
         315, 1},
        {u"사용자정보",
         {u"최근목적지관리", u"등록지점관리", u"안전운행관리", u"저장정보관리", u"GPS정보보기", u"버젼정보"}, 210, 1},
        {u"부가정보", {u"ZARN", u"한국도로공사"}, 70, 1},
        {u"환경설정", {u"디스플레이", u"안내-탐색", u"안전운행구간", u"사운드", u"시스템"}, 175, 1},
    };
    for (const Case& c : cases) {
        std::unique_ptr<NaviMenuPage> page(BuildAdvancedMenuPage(&builder, c.page));
        EXPECT_EQ(builder.GetMenuGroup(), CString(u"NaviMenuAdv"));
        EXPECT_EQ(NamesOf(page->GetChildren()), c.children) << Utf16ToUtf8(c.page);
        EXPECT_FALSE(page->IsVisible());
        EXPECT_TRUE(page->HasPressFeedback());
        EXPECT_TRUE(SameRect(page->GetRect(), RECT{134, 6, 232, 6 + c.height}));
        // Entries: numbered, 90 x 31 at (134, 6 + 35 i); the scroll button is plain.
        int i = 0;
        for (NaviControl* child : page->GetChildren()) {
            auto* b = static_cast<NaviMenuButton*>(child);
            const bool scroll = b->Name() == u"아래로" || b->Name() == u"위로";
            EXPECT_EQ(b->IsNumbered(), !scroll);
            EXPECT_EQ(b->GetNumber(), scroll ? -1 : c.firstNumber + i);
            if (!scroll) {
                EXPECT_TRUE(SameRect(b->GetRect(), RECT{134, 6 + 35 * i, 224, 37 + 35 * i}));
            }
            ++i;
        }
    }
    // The scroll buttons' places and slots; "위로" takes slot 0 from "시설분류".
    std::unique_ptr<NaviMenuPage> first(BuildAdvancedMenuPage(&builder, u"경로찾기"));
    EXPECT_EQ(first->GetEntry(8)->Name(), CString(u"아래로"));
    EXPECT_EQ(first->GetEntry(8)->GetRect().top, 286);
    std::unique_ptr<NaviMenuPage> second(BuildAdvancedMenuPage(&builder, u"아래로"));
    EXPECT_EQ(second->GetEntry(0)->Name(), CString(u"위로"));
    EXPECT_EQ(second->GetEntry(0)->GetRect().top, 111);
    EXPECT_EQ(second->GetEntry(1)->Name(), CString(u"도르바"));
    // Another name: an empty page of that name.
    std::unique_ptr<NaviMenuPage> other(BuildAdvancedMenuPage(&builder, u"기타"));
    EXPECT_EQ(other->Name(), CString(u"기타"));
    EXPECT_TRUE(other->GetChildren().empty());
    EXPECT_EQ(other->GetEntry(0), nullptr);
}

TEST_F(Menus, MySlotsAreGuardedAndNumbered) {
    builder.SetMenuGroup(u"NaviMenu");
    NaviMyMenuCtrl menu;
    menu.SetName(u"NaviMyMenu");
    menu.LoadImages(&builder);
    EXPECT_EQ(NamesOf(menu.GetChildren()), (std::vector<std::u16string>{u"메뉴전환", u"종료", u"윈도버튼", u"볼륨",
                                                                         u"나만의메뉴타이틀", u"나만의풍선"}));
    // Without a builder nothing happens.
    menu.SetSlot(2, 4);
    EXPECT_EQ(menu.GetSlot(2), nullptr);
    menu.SetRcBuilder(&builder);
    const int refused[][2] = {{8, 1}, {0, 31}, {-1, 1}, {0, -1}};
    for (const auto& r : refused) menu.SetSlot(r[0], r[1]);
    for (int s = 0; s < NaviMyMenuCtrl::kSlotCount; ++s) EXPECT_EQ(menu.GetSlot(s), nullptr) << s;

    menu.SetSlot(2, 4);
    NaviMenuButton* slot = menu.GetSlot(2);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->Name(), CString(u"명칭검색"));
    EXPECT_TRUE(SameRect(slot->GetRect(), RECT{124, 91, 219, 122}));
    EXPECT_TRUE(slot->IsNumbered());
    EXPECT_EQ(slot->GetNumber(), 3);
    // Entry 0: the plain empty slot.
    Send(menu, kCmdMyMenuSlot, 7, 0);
    ASSERT_NE(menu.GetSlot(7), nullptr);
    EXPECT_EQ(menu.GetSlot(7)->Name(), CString(u"메뉴버튼"));
    EXPECT_FALSE(menu.GetSlot(7)->IsNumbered());
    EXPECT_EQ(menu.GetSlot(7)->GetNumber(), -1);
    EXPECT_TRUE(SameRect(menu.GetSlot(7)->GetRect(), RECT{21, 202, 116, 233}));

    // The slot's key image, its label at (+22, +10) and its number at (0, +8).
    Canvas canvas(240, 320);
    menu.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(124 + 80, 91 + 2), kKey);
    EXPECT_EQ(canvas.At(124 + 22, 91 + 10), kKey); // the label's cut-out corner
    EXPECT_EQ(canvas.At(124 + 23, 91 + 10), kLabel);
    EXPECT_EQ(canvas.At(124 + 51, 91 + 19), kLabel);
    EXPECT_EQ(canvas.At(124 + 52, 91 + 20), kKey);
    EXPECT_EQ(canvas.At(124 + 1, 91 + 8), kNumber);
    EXPECT_EQ(canvas.At(124 + 11, 91 + 19), kNumber);
    EXPECT_EQ(canvas.At(124 + 12, 91 + 20), kKey);

    // A tap on the slot names it and remembers the slot; the pen-down presses it, and it is
    // drawn one pixel lower and to the right once.
    EXPECT_EQ(menu.HitTest(130, 100), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString(u"명칭검색"));
    EXPECT_EQ(menu.GetSelectedSlot(), 2);
    menu.OnPenDown();
    EXPECT_TRUE(slot->IsPressed());
    canvas.Clear();
    menu.Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(124 + 24, 91 + 11), kLabel);
    EXPECT_EQ(canvas.At(124 + 23, 91 + 10), kKey);
    EXPECT_EQ(canvas.At(124, 91 + 8), kBasicBack);
    EXPECT_FALSE(slot->IsPressed());

    // 2039 empties every slot.
    Send(menu, kCmdMyMenuClear);
    for (int s = 0; s < NaviMyMenuCtrl::kSlotCount; ++s) EXPECT_EQ(menu.GetSlot(s), nullptr) << s;
    EXPECT_EQ(menu.HitTest(130, 100), 1);
    EXPECT_EQ(menu.GetSelectedName(), CString());
}

TEST(MessageButtons, RowPlacesAndCounts) {
    NaviRcBuilder builder;
    struct RowY {
        int in, out;
    };
    for (const RowY& r : {RowY{-4, 244}, RowY{-3, 276}, RowY{-2, 224}, RowY{-1, 256}, RowY{300, 300}, RowY{0, 0}}) {
        NaviPanel panel;
        BuildMessageButtons(&builder, &panel, nullptr, r.in, u"확인", nullptr, nullptr, u"확인", nullptr, nullptr);
        ASSERT_EQ(panel.GetChildren().size(), 1u);
        EXPECT_EQ(panel.GetChildren()[0]->GetPos().y, r.out) << r.in;
    }
    struct Row {
        const char16_t* names[3];
        const char16_t* group;
        std::vector<int> xs;
    };
    const Row rows[] = {
        {{u"a", nullptr, nullptr}, u"Button1", {33}},
        {{u"a", nullptr, u"c"}, u"Button1", {33}}, // name 2 missing: one button whatever name 3 is
        {{u"a", u"b", nullptr}, u"Button2", {13, 131}},
        {{u"a", u"b", u"c"}, u"Button3", {13, 86, 159}},
    };
    for (const Row& row : rows) {
        NaviPanel panel;
        BuildMessageButtons(&builder, &panel, &panel, -1, row.names[0], row.names[1], row.names[2], u"t1", u"t2",
                            nullptr);
        EXPECT_EQ(builder.GetImageGroup(), CString(u"Window\\Button"));
        EXPECT_EQ(builder.GetCheckGroup(), CString(row.group));
        ASSERT_EQ(panel.GetChildren().size(), row.xs.size());
        for (std::size_t i = 0; i < row.xs.size(); ++i) {
            auto* b = static_cast<NaviCheckButton*>(panel.GetChildren()[i]);
            EXPECT_EQ(b->GetPos().x, row.xs[i]);
            EXPECT_EQ(b->Name(), CString(row.names[i]));
            EXPECT_TRUE(b->IsVisible());
            EXPECT_TRUE(b->HasPressFeedback());
            EXPECT_TRUE(b->GetShowText());
            EXPECT_EQ(b->GetListener(), &panel);
        }
        EXPECT_EQ(static_cast<NaviCheckButton*>(panel.GetChildren()[0])->GetText(), CString(u"t1"));
        if (row.xs.size() == 3) {
            EXPECT_EQ(static_cast<NaviCheckButton*>(panel.GetChildren()[2])->GetText(), CString());
        }
    }
}
