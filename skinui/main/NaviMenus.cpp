#include "skinui/main/NaviMenus.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviSliderBar.h"
#include "skinui/main/NaviMenuButton.h"
#include "skinui/main/NaviMenuPages.h"

const char16_t* const MyMenuEntryTable[kMyMenuEntryCount] = {
    u"없음",         u"집으로",       u"자주가는곳",   u"등록지점",     u"명칭검색",   u"주소검색",
    u"주변검색",     u"테마검색",     u"시설분류",     u"도르바",       u"경위도",     u"저장경로",
    u"경로정보",     u"전체경로보기", u"경로재설정",   u"경로저장",     u"경로취소",   u"목적지이동",
    u"경유지관리",   u"출발지이동",   u"모의주행",     u"최근목적지",   u"등록지점관리", u"안전운행관리",
    u"저장정보관리", u"GPS정보보기",  u"버전정보보기", u"디스플레이",   u"안내-탐색",  u"안전운행구간",
    u"시스템",
};

namespace {

const char16_t* const kTabNames[5] = {u"경로찾기", u"경로관리", u"사용자정보", u"부가정보", u"환경설정"};
const char16_t* const kPageNames[NaviAdvancedMenu::kPageCount] = {u"경로찾기", u"경로관리", u"사용자정보",
                                                                  u"부가정보", u"환경설정", u"아래로"};

NaviBitmap* LoadNamed(NaviRcBuilder* builder, const CString& group, const CString& name) {
    CString full;
    full.Format(u"%s\\%s", group.GetString(), name.GetString());
    NaviBitmap* image = builder->LoadImage(full);
    if (image && image->IsEmpty()) {
        delete image;
        return nullptr;
    }
    return image;
}

void DeleteAll(std::vector<NaviControl*>& controls) {
    for (NaviControl* c : controls) delete c;
    controls.clear();
}

NaviControl* FindIn(const std::vector<NaviControl*>& controls, const CString& name) {
    for (NaviControl* c : controls)
        if (c->Name() == name) return c;
    return nullptr;
}

// The first visible control that takes the point, or null.
NaviControl* FirstHit(const std::vector<NaviControl*>& controls, int x, int y) {
    for (NaviControl* c : controls)
        if (c->IsVisible() && c->HitTest(x, y)) return c;
    return nullptr;
}

// The pen-down of a menu goes to the entry the hit test chose, when it shows a press.
bool PressChild(const std::vector<NaviControl*>& controls, const CString& hitName) {
    if (hitName.IsEmpty()) return false;
    NaviControl* c = FindIn(controls, hitName);
    if (!c) return false;
    if (c->HasPressFeedback()) c->OnPenDown();
    return true;
}

bool Inside(const RECT& r, int x, int y) {
    return PtInRect(&r, POINT{x, y}) != 0;
}

// A volume slider at the menu position plus the offset, its images from the current image group.
NaviSliderBar* MakeSlider(NaviRcBuilder* builder, int x, int y, int width, int height) {
    auto* slider = new NaviSliderBar();
    slider->SetName(u"볼륨");
    slider->SetVisible(true);
    slider->SetPressFeedback(false);
    slider->SetSize(width, height);
    slider->SetPos(x, y);
    slider->LoadImages(builder);
    return slider;
}

} // namespace

// --- launcher ---

NaviMenuLauncher::NaviMenuLauncher() {
    SetSize(38, 37);
}

NaviMenuLauncher::~NaviMenuLauncher() {
    delete m_proImage;
    delete m_closeImage;
    delete m_simulImage;
}

int NaviMenuLauncher::HitTest(int x, int y) {
    return Inside(m_menuOpen ? kCloseRect : m_rect, x, y) ? 1 : 0;
}

void NaviMenuLauncher::LoadImages(NaviRcBuilder* builder) {
    if (!builder) return;
    SetPos(2, builder->GetScreenHeight() - 39);
    SetImage(LoadNamed(builder, m_name, u"VelkoMenu"));
    delete m_proImage;
    m_proImage = LoadNamed(builder, m_name, u"VelkoMenu_Pro");
    delete m_closeImage;
    m_closeImage = LoadNamed(builder, m_name, u"VelkoMenu_Close");
    delete m_simulImage;
    m_simulImage = LoadNamed(builder, m_name, u"VelkoSimul");
}

void NaviMenuLauncher::Draw(CDC* dc) {
    if (m_menuOpen) {
        if (m_closeImage) DrawImage(dc, kCloseRect.left, kCloseRect.top, m_closeImage);
    } else if (!m_simulating) {
        NaviBitmap* img = m_mode == kCmdMenuBasic ? m_image : m_proImage;
        if (img) DrawImage(dc, m_x, m_y, img);
    } else if (m_simulImage) {
        DrawImage(dc, m_x, m_y, m_simulImage);
    }
}

void NaviMenuLauncher::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdScreenSize: SetPos(2, cmd.param2 - 39); break;
    case kCmdSimulationOn:
    case kCmdSimulationOff: m_simulating = cmd.id == kCmdSimulationOn; break;
    case kCmdMenuBasic:
    case kCmdMenuAdvanced:
    case kCmdMenuMine: m_mode = cmd.id; break;
    default: break;
    }
}

// --- basic menu ---

NaviBasicMenu::NaviBasicMenu() {
    SetSize(228, 296);
}

NaviBasicMenu::~NaviBasicMenu() {
    DeleteAll(m_children);
    delete m_balloonImage;
}

NaviControl* NaviBasicMenu::FindChild(const CString& name) const {
    return FindIn(m_children, name);
}

void NaviBasicMenu::OnPenDown() {
    PressChild(m_children, m_hitName);
}

int NaviBasicMenu::HitTest(int x, int y) {
    if (!Inside(m_rect, x, y)) return 0;
    m_hitName.Empty();
    if (NaviControl* c = FirstHit(m_children, x, y))
        if (c->Name() != u"텝_초보메뉴") m_hitName = c->Name();
    return 1;
}

void NaviBasicMenu::LoadImages(NaviRcBuilder* builder) {
    SetPos(6, 6);
    if (!builder) return;
    DeleteAll(m_children);
    m_slider = nullptr;
    SetImage(LoadNamed(builder, m_name, u"초보_배경"));
    struct Entry {
        const char16_t* name;
        int x, y, width, height;
    };
    static constexpr Entry kEntries[] = {
        {u"명칭검색", 15, 37, 96, 42},   {u"주소검색", 15, 86, 96, 42},  {u"주변검색", 15, 135, 96, 42},
        {u"테마검색", 15, 185, 96, 42},  {u"메뉴전환", 120, 204, 92, 22}, {u"종료", 171, 236, 48, 48},
        {u"윈도버튼", 157, 0, 71, 41},
    };
    for (const Entry& e : kEntries)
        m_children.push_back(builder->CreateMenuButton(e.name, true, m_x + e.x, m_y + e.y, e.width, e.height, false, -1));
    builder->SetImageGroup(u"NaviMenu");
    m_slider = MakeSlider(builder, m_x + 6, m_y + 242, 153, 43);
    m_children.push_back(m_slider);
    m_children.push_back(builder->CreateFrameWnd(u"기본메뉴타이틀", true, true, m_x + 16, m_y + 8, 45, 14));
    delete m_balloonImage;
    m_balloonImage = LoadNamed(builder, m_name, u"풍선");
}

void NaviBasicMenu::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y);
    for (std::size_t i = 0; i < m_children.size(); ++i) m_children[i]->Draw(dc);
    if (m_balloonImage) DrawImage(dc, m_x + 115, m_y + 56, m_balloonImage);
}

void NaviBasicMenu::ProcessCommand(NaviCommand& cmd) {
    if (m_slider) m_slider->ProcessCommand(cmd);
}

// --- menu page ---

NaviMenuPage::NaviMenuPage() {
    SetSize(118, 297);
}

NaviMenuPage::~NaviMenuPage() {
    // The slots point into the children: only the children are deleted.
    DeleteAll(m_children);
}

bool NaviMenuPage::SetEntry(NaviControl* entry, int slot) {
    if (!entry || slot < 0 || slot >= kSlotCount) return false;
    m_slots[slot] = entry;
    m_children.push_back(entry);
    return true;
}

NaviControl* NaviMenuPage::GetEntry(int slot) const {
    return slot >= 0 && slot < kSlotCount ? m_slots[slot] : nullptr;
}

void NaviMenuPage::OnPenDown() {
    PressChild(m_children, m_hitName);
}

int NaviMenuPage::HitTest(int x, int y) {
    if (!Inside(m_rect, x, y)) return 0;
    m_hitName.Empty();
    if (NaviControl* c = FirstHit(m_children, x, y)) m_hitName = c->Name();
    return 1;
}

void NaviMenuPage::LoadImages(NaviRcBuilder*) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
}

void NaviMenuPage::Draw(CDC* dc) {
    for (std::size_t i = 0; i < m_children.size(); ++i) m_children[i]->Draw(dc);
}

// --- advanced menu ---

NaviAdvancedMenu::NaviAdvancedMenu() {
    SetSize(118, 297);
}

NaviAdvancedMenu::~NaviAdvancedMenu() {
    DeleteAll(m_children);
    for (NaviMenuPage*& page : m_pages) {
        delete page;
        page = nullptr;
    }
}

NaviControl* NaviAdvancedMenu::FindChild(const CString& name) const {
    return FindIn(m_children, name);
}

NaviMenuPage* NaviAdvancedMenu::VisiblePage() const {
    for (NaviMenuPage* page : m_pages)
        if (page && page->IsVisible()) return page;
    return nullptr;
}

void NaviAdvancedMenu::OnPenDown() {
    if (PressChild(m_children, m_hitName)) return;
    if (m_hitName.IsEmpty()) return;
    for (NaviMenuPage* page : m_pages)
        if (page && page->IsVisible() && page->GetSelectedName() == m_hitName) {
            page->OnPenDown();
            return;
        }
}

int NaviAdvancedMenu::HitTest(int x, int y) {
    m_hitName.Empty();
    // Only a page on show claims its area: hidden pages must not swallow taps meant for the map.
    bool inPage = false;
    for (NaviMenuPage* page : m_pages)
        if (page && page->IsVisible() && Inside(page->GetRect(), x, y)) inPage = true;
    if (!Inside(m_rect, x, y) && !inPage) return 0;
    if (NaviControl* c = FirstHit(m_children, x, y)) {
        m_hitName = c->Name();
        NaviCommand cmd;
        cmd.target = kTargetAdvancedMenu;
        cmd.id = kCmdCheck;
        c->ProcessCommand(cmd);
        bool tab = false;
        for (const char16_t* name : kTabNames) tab = tab || m_hitName == name;
        if (tab) {
            cmd.id = kCmdUncheck;
            for (NaviControl* other : m_children)
                if (other != c) other->ProcessCommand(cmd);
        }
        return 1;
    }
    for (NaviMenuPage* page : m_pages)
        if (page && page->IsVisible() && page->HitTest(x, y)) {
            m_hitName = page->GetSelectedName();
            break;
        }
    return 1;
}

void NaviAdvancedMenu::LoadImages(NaviRcBuilder* builder) {
    SetPos(5, 5);
    if (!builder) return;
    DeleteAll(m_children);
    for (NaviMenuPage*& page : m_pages) {
        delete page;
        page = nullptr;
    }
    m_slider = nullptr;
    m_switch = nullptr;
    SetImage(LoadNamed(builder, m_name, u"고급_배경"));
    for (int i = 0; i < 5; ++i)
        m_children.push_back(builder->CreateMenuButton(kTabNames[i], true, m_x + 14, m_y + 42 + 35 * i, 92, 31, false, -1));
    builder->SetImageGroup(u"NaviMenuAdv");
    m_children.push_back(builder->CreateButton(u"종료", true, true, false, true, m_x + 75, m_y + 247, 43, 44, nullptr));
    m_children.push_back(builder->CreateButton(u"윈도버튼", true, true, false, true, m_x + 59, m_y, 60, 36, nullptr));
    m_switch = new NaviButton();
    m_switch->SetName(u"메뉴전환");
    m_switch->SetVisible(true);
    m_switch->SetTransparent(false);
    m_switch->SetSize(92, 22);
    m_switch->SetPos(m_x + 14, m_y + 218);
    m_switch->SetPressFeedback(true);
    m_switch->SetHasPressImage(true);
    m_switch->SetAltImage(true); // so that the "_Snd" image is loaded as well
    m_switch->LoadImages(builder);
    m_switch->SetAltImage(false);
    m_children.push_back(m_switch);
    m_slider = MakeSlider(builder, m_x + 3, m_y + 249, 72, 38);
    m_children.push_back(m_slider);
    for (int i = 0; i < kPageCount; ++i) m_pages[i] = BuildAdvancedMenuPage(builder, kPageNames[i]);
    m_children.push_back(builder->CreateFrameWnd(u"고급메뉴타이틀", true, true, m_x + 11, m_y + 6, 45, 14));
}

void NaviAdvancedMenu::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y);
    for (std::size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i]->IsVisible()) m_children[i]->Draw(dc);
    for (NaviMenuPage* page : m_pages)
        if (page && page->IsVisible()) page->Draw(dc);
}

void NaviAdvancedMenu::ProcessCommand(NaviCommand& cmd) {
    if (m_slider) m_slider->ProcessCommand(cmd);
}

int NaviAdvancedMenu::ShowPage(const CString& name) {
    NaviMenuPage* previous = VisiblePage();
    if (previous) previous->SetVisible(false);
    const CString wanted = name == u"위로" ? CString(u"경로찾기") : name;
    for (NaviMenuPage* page : m_pages)
        if (page && page->Name() == wanted) {
            page->SetVisible(true);
            return 1;
        }
    if (previous) previous->SetVisible(true);
    return 0;
}

void NaviAdvancedMenu::SetMyMenuMark(bool on) {
    if (m_switch) m_switch->SetAltImage(on);
}

// --- my menu ---

NaviMyMenuCtrl::NaviMyMenuCtrl() {
    SetSize(228, 296);
}

NaviMyMenuCtrl::~NaviMyMenuCtrl() {
    DeleteAll(m_children);
    ClearSlots();
}

NaviControl* NaviMyMenuCtrl::FindChild(const CString& name) const {
    return FindIn(m_children, name);
}

void NaviMyMenuCtrl::OnPenDown() {
    if (PressChild(m_children, m_hitName)) return;
    NaviMenuButton* slot = GetSlot(m_hitSlot);
    if (slot && !m_hitName.IsEmpty() && slot->Name() == m_hitName && slot->HasPressFeedback()) slot->OnPenDown();
}

int NaviMyMenuCtrl::HitTest(int x, int y) {
    if (!Inside(m_rect, x, y)) return 0;
    m_hitName.Empty();
    if (NaviControl* c = FirstHit(m_children, x, y)) {
        m_hitName = c->Name();
        return 1;
    }
    for (int i = 0; i < kSlotCount; ++i)
        if (m_slots[i] && m_slots[i]->HitTest(x, y)) {
            m_hitName = m_slots[i]->Name();
            m_hitSlot = i;
            break;
        }
    return 1;
}

void NaviMyMenuCtrl::LoadImages(NaviRcBuilder* builder) {
    SetPos(6, 6);
    if (!builder) return;
    DeleteAll(m_children);
    m_slider = nullptr;
    SetImage(LoadNamed(builder, u"NaviMenu", u"초보_배경"));
    builder->SetImageGroup(u"NaviMenu");
    m_children.push_back(builder->CreateMenuButton(u"메뉴전환", true, m_x + 120, m_y + 204, 92, 22, false, -1));
    m_children.push_back(builder->CreateMenuButton(u"종료", true, m_x + 171, m_y + 236, 48, 48, false, -1));
    m_children.push_back(builder->CreateMenuButton(u"윈도버튼", true, m_x + 157, m_y, 71, 41, false, -1));
    m_slider = MakeSlider(builder, m_x + 6, m_y + 242, 153, 43);
    m_children.push_back(m_slider);
    m_children.push_back(builder->CreateFrameWnd(u"나만의메뉴타이틀", true, true, m_x + 16, m_y + 8, 55, 14));
    m_children.push_back(builder->CreateFrameWnd(u"나만의풍선", true, true, m_x + 23, m_y + 32, 75, 54));
}

void NaviMyMenuCtrl::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y);
    for (std::size_t i = 0; i < m_children.size(); ++i) m_children[i]->Draw(dc);
    for (NaviMenuButton* slot : m_slots)
        if (slot && slot->IsVisible()) slot->Draw(dc);
}

void NaviMyMenuCtrl::ProcessCommand(NaviCommand& cmd) {
    if (m_slider) m_slider->ProcessCommand(cmd);
    if (cmd.id == kCmdMyMenuClear) ClearSlots();
    else if (cmd.id == kCmdMyMenuSlot) SetSlot(cmd.param1, cmd.param2);
}

void NaviMyMenuCtrl::SetSlot(int slot, int entry) {
    if (!m_builder || slot < 0 || slot >= kSlotCount || entry < 0 || entry >= kMyMenuEntryCount) return;
    delete m_slots[slot];
    m_slots[slot] = nullptr;
    if (m_hitSlot == slot) m_hitSlot = -1;
    m_builder->SetMenuGroup(u"NaviMenu");
    const bool numbered = entry >= 1;
    m_slots[slot] = m_builder->CreateMenuButton(numbered ? MyMenuEntryTable[entry] : u"메뉴버튼", true, kSlotX[slot],
                                                kSlotY[slot], 95, 31, numbered, numbered ? slot + 1 : -1);
}

void NaviMyMenuCtrl::ClearSlots() {
    for (NaviMenuButton*& slot : m_slots) {
        delete slot;
        slot = nullptr;
    }
    m_hitSlot = -1;
}
