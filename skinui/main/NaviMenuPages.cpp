#include "skinui/main/NaviMenuPages.h"

#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/main/NaviMenuButton.h"
#include "skinui/main/NaviMenus.h"

#include <initializer_list>

namespace {

struct PageLayout {
    const char16_t* name;
    std::initializer_list<const char16_t*> entries;
    int firstNumber;
    const char16_t* scrollName; // null when the page has no scroll button
    int scrollY;
    int scrollSlot;
    int height;
};

const PageLayout kPages[] = {
    {u"경로찾기",
     {u"집으로", u"자주가는곳", u"최근목적지", u"등록지점", u"주소검색", u"명칭검색", u"주변검색", u"테마검색"},
     1, u"아래로", 286, 8, 315},
    {u"아래로", {u"시설분류", u"도르바", u"경위도"}, 9, u"위로", 111, 0, 140},
    {u"경로관리",
     {u"경로정보", u"전체경로보기", u"경로재설정", u"경로저장", u"경로취소", u"목적지이동", u"경유지관리",
      u"출발지이동", u"모의주행"},
     1, nullptr, 0, 0, 315},
    {u"사용자정보",
     {u"최근목적지관리", u"등록지점관리", u"안전운행관리", u"저장정보관리", u"GPS정보보기", u"버젼정보"},
     1, nullptr, 0, 0, 210},
    {u"부가정보", {u"ZARN", u"한국도로공사"}, 1, nullptr, 0, 0, 70},
    {u"환경설정", {u"디스플레이", u"안내-탐색", u"안전운행구간", u"사운드", u"시스템"}, 1, nullptr, 0, 0, 175},
};

constexpr int kPageX = 134;
constexpr int kPageY = 6;

} // namespace

NaviMenuPage* BuildAdvancedMenuPage(NaviRcBuilder* builder, const CString& pageName) {
    auto* page = new NaviMenuPage();
    page->AssignName(pageName);
    if (!builder) return page;
    builder->SetMenuGroup(kTargetAdvancedMenu);
    const PageLayout* layout = nullptr;
    for (const PageLayout& p : kPages)
        if (pageName == p.name) layout = &p;
    if (!layout) return page;
    int i = 0;
    for (const char16_t* entry : layout->entries) {
        page->SetEntry(builder->CreateMenuButton(entry, true, kPageX, kPageY + 35 * i, 90, 31, true,
                                                 layout->firstNumber + i),
                       i);
        ++i;
    }
    if (layout->scrollName) {
        // The scroll button takes a slot of its own; on "아래로" that is the slot of the first
        // entry, which then stays reachable only through the children.
        NaviMenuButton* scroll =
            builder->CreateMenuButton(layout->scrollName, true, kPageX, layout->scrollY, 90, 31, false, -1);
        page->SetEntry(scroll, layout->scrollSlot);
    }
    page->SetVisible(false);
    page->SetSize(98, layout->height);
    page->MoveTo(kPageX, kPageY);
    page->SetPressFeedback(true);
    page->LoadImages(builder);
    return page;
}

int MessageButtonRowY(int y) {
    switch (y) {
    case kMessageRowMiddle: return 244;
    case kMessageRowBottom: return 276;
    case kMessageRowHigh: return 224;
    case kMessageRowLow: return 256;
    default: return y;
    }
}

void BuildMessageButtons(NaviRcBuilder* builder, NaviPanel* panel, NaviListener* listener, int y,
                         const char16_t* name1, const char16_t* name2, const char16_t* name3,
                         const char16_t* text1, const char16_t* text2, const char16_t* text3) {
    if (!builder || !panel || !name1) return;
    const int rowY = MessageButtonRowY(y);
    builder->SetImageGroup(u"Window\\Button");
    struct Placed {
        const char16_t* name;
        const char16_t* text;
        int x;
    };
    std::vector<Placed> row;
    if (!name2) {
        builder->SetCheckGroup(u"Button1");
        row = {{name1, text1, 33}};
    } else if (name3) {
        builder->SetCheckGroup(u"Button3");
        row = {{name1, text1, 13}, {name2, text2, 86}, {name3, text3, 159}};
    } else {
        builder->SetCheckGroup(u"Button2");
        row = {{name1, text1, 13}, {name2, text2, 131}};
    }
    for (const Placed& b : row)
        panel->AddChild(builder->CreateCheckButton(b.name, true, true, true, b.x, rowY, 0, 0, true, true, listener,
                                                   true, b.text));
}
