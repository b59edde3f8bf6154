#include "skinui/main/NaviMainScreen.h"

#include "skinui/NaviClickSound.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviSymbolManager.h"
#include "skinui/NaviZarnIcon.h"
#include "skinui/controls/NaviAnimImage.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviCarMark.h"
#include "skinui/controls/NaviCompass.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviDigitPanel.h"
#include "skinui/controls/NaviDistBar.h"
#include "skinui/controls/NaviEventText.h"
#include "skinui/controls/NaviExLevelBar.h"
#include "skinui/controls/NaviGpsIcon.h"
#include "skinui/controls/NaviGuideArrow.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviLevelBar.h"
#include "skinui/controls/NaviReRouteMark.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/controls/NaviTrafficReRouteMark.h"
#include "skinui/controls/NaviVolumeIcon.h"
#include "skinui/main/NaviHighwayBar.h"
#include "skinui/main/NaviMenus.h"
#include "skinui/main/NaviPoiBar.h"
#include "skinui/main/NaviRouteBars.h"
#include "skinui/main/NaviRouteResult.h"

namespace {

constexpr const char16_t* kLauncherName = u"VelkoMenu";
constexpr const char16_t* kWaypointBarName = u"경유지설정";
constexpr const char16_t* kRoutePanelName = u"다중탐색";

bool IsMenuMode(int mode) {
    return mode == kCmdMenuBasic || mode == kCmdMenuAdvanced || mode == kCmdMenuMine;
}

} // namespace

NaviMainScreen::NaviMainScreen() = default;

NaviMainScreen::~NaviMainScreen() {
    for (NaviControl* c : m_controls) delete c;
    delete m_symbols;
    delete m_digit;
    delete m_clickSound;
    delete m_builder;
}

void NaviMainScreen::CreateRcBuilder(int startMode) {
    m_mode = startMode;
    m_screenWidth = 240;
    m_screenHeight = 320;
    m_myMenuOn = startMode == kCmdMenuMine;
    delete m_builder;
    m_builder = new NaviRcBuilder();
}

void NaviMainScreen::OpenSkin(const CString& folder) {
    if (!m_builder) return;
    m_builder->OpenSkin(folder);
    delete m_clickSound;
    m_clickSound = new NaviClickSound();
    m_clickSound->Load(folder);
}

CString NaviMainScreen::GetSkinFolder() const {
    return m_builder ? m_builder->GetSkinFolder() : CString();
}

void NaviMainScreen::SetClickSound(bool on) {
    m_clickSoundOn = on;
    if (m_builder) m_builder->SetClickSound(on);
}

bool NaviMainScreen::TakeTaskbarShownEvent() {
    const bool event = m_taskbarShownEvent;
    m_taskbarShownEvent = false;
    return event;
}

void NaviMainScreen::AddControl(NaviControl* control) {
    if (control) m_controls.push_back(control);
}

NaviControl* NaviMainScreen::FindControl(const CString& name) const {
    for (NaviControl* c : m_controls)
        if (c->Name() == name) return c;
    return nullptr;
}

void NaviMainScreen::CreateControls() {
    if (!m_builder) CreateRcBuilder(m_mode);
    NaviRcBuilder* b = m_builder;
    auto setUp = [b](NaviControl* c, const char16_t* name, bool visible, bool press) {
        c->SetName(name);
        c->SetVisible(visible);
        c->SetPressFeedback(press);
        return c;
    };

    auto* gps = new NaviGpsIcon();
    setUp(gps, u"Gps", true, true)->LoadImages(b);
    auto* compass = new NaviCompass();
    setUp(compass, u"Compass", true, true)->LoadImages(b);
    m_routeIndicator = new NaviAnimImage();
    setUp(m_routeIndicator, u"RouteResult", true, true)->LoadImages(b);
    auto* safeZone = new NaviSafeZoneMark();
    setUp(safeZone, u"SafeZone", true, true);
    safeZone->SetTransparent(true);
    safeZone->LoadImages(b);
    m_levelBar = new NaviLevelBar();
    setUp(m_levelBar, u"LevelBar", true, true)->LoadImages(b);
    m_exLevelBar = new NaviExLevelBar();
    setUp(m_exLevelBar, u"ExLevelBar", true, true)->LoadImages(b);
    auto* trackBar = new NaviHighwayBar();
    setUp(trackBar, u"TrackBar", false, false);
    trackBar->SetTransparent(true);
    trackBar->LoadImages(b);
    auto* distBar = new NaviDistBar();
    setUp(distBar, u"DistBar", distBar->IsVisible(), false);
    distBar->SetTransparent(false);
    distBar->SetEnabled(false);
    distBar->LoadImages(b);
    auto* zarn = new NaviZarnIcon();
    setUp(zarn, u"Zarn", false, true)->LoadImages(b);
    auto* mute = new NaviVolumeIcon();
    setUp(mute, u"Mute", false, true)->LoadImages(b);
    m_launcher = new NaviMenuLauncher();
    setUp(m_launcher, kLauncherName, true, true)->LoadImages(b);
    m_toolBar = new NaviRouteSearchBar();
    setUp(m_toolBar, u"ToolBar", true, true)->LoadImages(b);
    b->SetMenuGroup(u"NaviMenu");
    m_basicMenu = new NaviBasicMenu();
    setUp(m_basicMenu, u"NaviMenu", false, true)->LoadImages(b);
    b->SetMenuGroup(u"NaviMenuAdv");
    m_advancedMenu = new NaviAdvancedMenu();
    setUp(m_advancedMenu, u"NaviMenuAdv", false, true)->LoadImages(b);
    m_advancedMenu->SetMyMenuMark(m_myMenuOn);
    b->SetMenuGroup(u"NaviMenu");
    m_myMenu = new NaviMyMenuCtrl();
    setUp(m_myMenu, u"NaviMyMenu", false, true)->LoadImages(b);
    m_myMenu->SetRcBuilder(b);
    delete m_symbols;
    m_symbols = new NaviSymbolManager();
    m_symbols->SetName(u"SymbolManager");
    m_symbols->LoadImages(b);
    m_symbols->LoadDisSymbols(255);
    for (int i = 0; i < 256; ++i) m_symbols->LoadLandmark(i);
    delete m_digit;
    m_digit = new NaviDigitPanel();
    m_digit->SetName(u"Digit");
    m_digit->SetTransparent(false);
    m_digit->LoadImages(b);
    trackBar->SetDigitPanel(m_digit);
    auto* guide = new NaviGuideArrow();
    setUp(guide, u"Guide", false, true);
    guide->SetSize(62, 94);
    guide->LoadImages(b);
    auto* car = new NaviCarMark();
    setUp(car, u"Car", true, false);
    car->SetEnabled(false);
    car->LoadImages(b);
    auto* eventText = new NaviEventText();
    setUp(eventText, u"EventString", true, true)->LoadImages(b);
    auto* reRoute = new NaviReRouteMark();
    setUp(reRoute, u"ReRoute", false, true)->LoadImages(b);
    auto* trafficReRoute = new NaviTrafficReRouteMark();
    setUp(trafficReRoute, u"TrafficUpdateRoute", false, true)->LoadImages(b);
    auto* message = new NaviLabel();
    setUp(message, u"시스템메세지", true, false);
    message->SetFramed(true);
    message->SetAlign(kAlignLeftOfX);
    message->SetPos(238, 8);
    message->SetEnabled(false);
    message->LoadImages(b);
    m_waypointBar = new NaviWaypointBar();
    setUp(m_waypointBar, kWaypointBarName, true, true);
    m_waypointBar->SetEnabled(true);
    m_waypointBar->LoadImages(b);
    m_registerButton = new NaviRouteResultButton();
    setUp(m_registerButton, u"지점등록", false, true)->LoadImages(b);
    m_routePanel = new NaviRouteResult();
    setUp(m_routePanel, kRoutePanelName, false, true)->LoadImages(b);
    m_poiBar = new NaviPoiBar();
    setUp(m_poiBar, u"POIBAR", true, true);
    m_poiBar->SetSymbolManager(m_symbols);
    m_poiBar->SetSize(166, 23);
    m_poiBar->SetListPos(41, 37);
    m_poiBar->LoadImages(b);
    b->SetImageGroup(u"RouteResult");
    auto* walk = new NaviImageButton();
    setUp(walk, u"보행자", false, true)->LoadImages(b);
    // The highway-mode switch takes its image from the top bar's folder.
    b->SetImageGroup(u"TrackBar");
    NaviButton* highway = b->CreateButton(u"고속모드", false, true, false, true, 171, 36, 67, 33, nullptr);

    for (NaviControl* c : std::initializer_list<NaviControl*>{
             car, compass, m_routeIndicator, gps, zarn, reRoute, trafficReRoute, safeZone, m_poiBar, m_levelBar,
             m_exLevelBar, trackBar, distBar, mute, eventText, message, highway, walk, guide, m_toolBar, m_launcher,
             m_registerButton, m_waypointBar, m_basicMenu, m_advancedMenu, m_myMenu, m_routePanel})
        AddControl(c);

    NaviCommand cmd;
    cmd.target = kTargetMain;
    cmd.id = m_mode;
    Broadcast(cmd);
}

int NaviMainScreen::Draw(CDC* dc) {
    for (std::size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->IsVisible()) m_controls[i]->Draw(dc);
    return 1;
}

void NaviMainScreen::Broadcast(NaviCommand cmd) {
    for (std::size_t i = 0; i < m_controls.size(); ++i) m_controls[i]->ProcessCommand(cmd);
}

void NaviMainScreen::Send(NaviCommand& cmd) {
    if (m_listener) m_listener->ProcessEvent(cmd);
}

void NaviMainScreen::SendTarget(const char16_t* target, int id) {
    NaviCommand cmd;
    cmd.target = target;
    cmd.id = id;
    Send(cmd);
}

void NaviMainScreen::Refresh(int id) {
    SendTarget(kTargetRefresh, id);
}

void NaviMainScreen::PlayClick() {
    if (m_clickSoundOn && m_clickSound) m_clickSound->Play();
}

void NaviMainScreen::SetFollowCar(bool on) {
    if (m_simulation) return;
    m_followCar = on;
    NaviCommand cmd;
    cmd.target = kTargetMain;
    cmd.id = on ? kCmdFollowCar : kCmdFollowOff;
    Broadcast(cmd);
    Refresh();
}

void NaviMainScreen::SetSimulation(bool on) {
    m_simulation = on;
    NaviCommand cmd;
    cmd.target = kTargetMain;
    cmd.id = on ? kCmdSimulationOn : kCmdSimulationOff;
    Broadcast(cmd);
}

void NaviMainScreen::SetHighwayDisplay(bool on) {
    NaviCommand cmd;
    cmd.target = kTargetMain;
    cmd.id = on ? kCmdHighwayOn : kCmdHighwayOff;
    Broadcast(cmd);
}

void NaviMainScreen::SetMenuMode(int mode) {
    if (!m_basicMenu) return;
    struct Menu {
        int mode;
        NaviControl* menu;
    };
    const Menu menus[] = {{kCmdMenuBasic, m_basicMenu}, {kCmdMenuAdvanced, m_advancedMenu}, {kCmdMenuMine, m_myMenu}};
    if (IsMenuMode(mode)) {
        for (const Menu& m : menus) m.menu->SetVisible(m.mode == mode);
        for (const Menu& m : menus)
            if (m.mode == mode) m_menuName = m.menu->Name();
        m_mode = mode;
        m_launcher->SetMenuOpen(true);
    } else if (mode == kCmdMenuClose || mode == kCmdMenuCloseRecent || mode == kCmdMenuCloseOther) {
        for (const Menu& m : menus) m.menu->SetVisible(false);
        m_menuName.Empty();
        m_launcher->SetMenuOpen(false);
    } else {
        return;
    }
    NaviCommand cmd;
    cmd.target = kTargetMain;
    cmd.id = m_mode;
    Broadcast(cmd);
}

void NaviMainScreen::SetMode(int mode) {
    m_mode = mode;
    if (mode == kCmdMenuMine) m_myMenuOn = true;
    else if (mode == kCmdMenuBasic) m_myMenuOn = false;
    if (m_advancedMenu) m_advancedMenu->SetMyMenuMark(m_myMenuOn);
    NaviCommand cmd;
    cmd.target = kTargetMain;
    cmd.id = mode;
    Broadcast(cmd);
}

void NaviMainScreen::CloseMenu() {
    if (m_menuName.IsEmpty()) return;
    SetMenuMode(kCmdMenuClose);
    Refresh();
}

void NaviMainScreen::SetRouteResultMode(bool on) {
    m_routeResult = m_routeResultPending = on;
    if (m_poiBar) m_poiBar->SetRouteResultMode(on);
    if (m_routeIndicator) m_routeIndicator->SetSuppressed(on);
    if (m_registerButton) m_registerButton->SetSuppressed(on);
    if (m_routePanel) m_routePanel->SetVisible(on);
}

bool NaviMainScreen::Filtered(const NaviControl* c) const {
    return !m_menuName.IsEmpty() && c->Name() != m_menuName && c->Name() != kLauncherName;
}

void NaviMainScreen::OnPenDown(int x, int y) {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        NaviControl* c = *it;
        if (Filtered(c)) continue;
        if (c->HasPressFeedback() && c->IsVisible() && c->HitTest(x, y)) {
            c->OnPenDown();
            Refresh(2);
            return;
        }
    }
}

void NaviMainScreen::HideWaypointBar() {
    if (m_waypointBar) m_waypointBar->SetVisible(false);
}

NaviCommand NaviMainScreen::OnTap(int x, int y) {
    NaviCommand result;
    result.id = 0;
    if (m_routeResult) {
        if (m_routePanel && m_routePanel->HitTest(x, y)) {
            PlayClick();
            result.target = kRoutePanelName;
            result.id = m_routePanel->GetHitCode();
            Send(result);
            Refresh();
            return result;
        }
        for (NaviControl* bar : {static_cast<NaviControl*>(m_levelBar), static_cast<NaviControl*>(m_exLevelBar)}) {
            if (!bar || !bar->IsVisible()) continue;
            const int code = bar->HitTest(x, y);
            if (code) {
                result.target = bar->Name();
                result.id = code;
                NaviCommand cmd = result;
                ProcessCommand(cmd);
                return result;
            }
        }
        return result;
    }
    const bool menuOpen = !m_menuName.IsEmpty();
    if (menuOpen) result.id = 1;
    CString taken;
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        NaviControl* c = *it;
        if (Filtered(c) || !c->IsVisible() || !c->IsEnabled()) continue;
        const int code = c->HitTest(x, y);
        if (!code) continue;
        taken = c->Name();
        result.target = taken;
        result.id = code;
        if (taken == kLauncherName && menuOpen) result.id = kCmdLauncherClose;
        NaviCommand cmd = result;
        ProcessCommand(cmd);
        result.id = 1;
        break;
    }
    if (result.id == 0 && m_subMode == kWaypointBarName) {
        m_subMode.Empty();
        HideWaypointBar();
    }
    if ((!taken.IsEmpty() || menuOpen) && taken != u"ToolBar" && taken != kWaypointBarName) {
        m_subMode.Empty();
        HideWaypointBar();
        SendTarget(kTargetMapMove);
    }
    return result;
}

void NaviMainScreen::ToggleTaskbar(NaviCommand& out) {
    if (!m_taskbarShown) {
        out.target = u"TASKBAR_SHOW";
        m_taskbarShown = true;
        m_taskbarShownEvent = true;
    } else {
        out.target = u"TASKBAR_HIDE";
        m_taskbarShown = false;
    }
}

void NaviMainScreen::MainMenuTap(NaviCommand& out) {
    const CString entry = m_basicMenu->GetSelectedName();
    out.target = entry;
    StopIdleTicks();
    if (entry == u"명칭검색" || entry == u"주변검색" || entry == u"주소검색" || entry == u"테마검색" ||
        entry == u"메뉴닫기") {
        SetMenuMode(kCmdMenuClose);
    } else if (entry == u"윈도버튼") {
        ToggleTaskbar(out);
    } else if (entry == u"볼륨" || entry == u"종료") {
        // passed on as they are
    } else if (entry == u"메뉴전환") {
        SetMenuMode(kCmdMenuAdvanced);
        ResetIdleTicks();
    } else if (entry == u"텝_출발지" || entry == u"텝_목적지") {
        out.target = u"텝_초보메뉴";
        out.text = entry;
        m_uiType = entry == u"텝_출발지" ? 1 : 2;
    } else {
        SetMenuMode(kCmdMenuClose);
    }
    Send(out);
    Refresh();
}

void NaviMainScreen::OtherMenuTap(NaviCommand& out, bool advanced) {
    const CString entry = advanced ? m_advancedMenu->GetSelectedName() : m_myMenu->GetSelectedName();
    out.target = entry;
    StopIdleTicks();
    if (entry == u"메뉴전환") {
        SetMenuMode(advanced ? (m_myMenuOn ? kCmdMenuMine : kCmdMenuBasic) : kCmdMenuAdvanced);
        ResetIdleTicks();
    } else if (entry == u"최근목적지관리" || entry == u"최근목적지") {
        out.target = u"최근목적지";
        SetMenuMode(kCmdMenuCloseRecent);
    } else if (entry == u"윈도버튼") {
        ToggleTaskbar(out);
        if (m_taskbarShown) SetMenuMode(kCmdMenuCloseRecent);
    } else if (entry == u"볼륨") {
        // passed on as it is
    } else if (entry == u"메뉴버튼") {
        out.target = u"메뉴없음";
    } else if (m_advancedMenu->ShowPage(entry)) {
        ResetIdleTicks();
    } else {
        SetMenuMode(kCmdMenuCloseRecent);
    }
    Send(out);
    Refresh();
}

void NaviMainScreen::ToolBarTap(NaviCommand& out) {
    const CString tool = m_toolBar->GetSelectedName();
    out.target = tool;
    m_toolBar->ClearBackFlag();
    if (!m_highwayMode) m_waypointBar->ProcessCommand(out);
    if (tool == u"경유지" && !m_highwayMode) {
        NaviCommand sub;
        sub.target = kWaypointBarName;
        if (m_subMode == kWaypointBarName) {
            m_subMode.Empty();
            sub.control = u"설정취소";
            HideWaypointBar();
        } else {
            m_subMode = kWaypointBarName;
            if (m_waypointBar->GetCurrentIndex() == -1) sub.control = u"경유지추가";
            else sub.id = 0;
        }
        Send(sub);
    } else if (tool != u"경유지") {
        m_subMode.Empty();
        HideWaypointBar();
    }
    Send(out);
    Refresh();
}

void NaviMainScreen::ProcessCommand(NaviCommand& cmd) {
    if (cmd.target == kTargetPenDown) {
        OnPenDown(cmd.param1, cmd.param2);
        return;
    }
    if (cmd.target != kTargetMain) {
        PlayClick();
        NaviCommand out;
        out.target = cmd.target;
        out.id = 0;
        const CString& t = cmd.target;
        if (t == kLauncherName) {
            if (cmd.id == kCmdLauncherClose) {
                SetMenuMode(kCmdMenuClose);
            } else {
                m_toolBar->ClearBackFlag();
                if (m_simulation) SendTarget(u"SimulDlgOn");
                else if (IsMenuMode(m_mode)) SetMenuMode(m_mode);
                ResetIdleTicks();
            }
            Refresh();
        } else if (t == u"NaviMenu") {
            MainMenuTap(out);
        } else if (t == u"NaviMenuAdv" || t == u"NaviMyMenu") {
            OtherMenuTap(out, t == u"NaviMenuAdv");
        } else if (t == u"ToolBar") {
            ToolBarTap(out);
        } else if (t == u"Gps") {
            if (!m_simulation) {
                if (!m_followCar) out.id = 1;
                Send(out);
            }
        } else if (t == u"RouteResult" || t == u"Zarn") {
            if (!m_simulation) Send(out);
        } else if (t == kWaypointBarName) {
            out.control = m_waypointBar->GetSelectedName();
            out.id = m_waypointBar->GetCurrentIndex();
            m_subMode.Empty();
            Send(out);
            Refresh();
        } else if (t == u"고속모드" || t == u"보행자" || t == u"지점등록" || t == u"SafeZone" ||
                   t == u"TrafficUpdateRoute" || t == u"EventString" || t == u"ExLevelBar" || t == u"LevelBar" ||
                   t == u"ReRoute" || t == u"Compass" || t == u"Guide" || t == u"Mute") {
            out.id = cmd.id;
            Send(out);
            Refresh();
        } else if (t == u"POIBAR") {
            out.id = cmd.id;
            Send(out);
        }
        return;
    }
    Broadcast(cmd);
    switch (cmd.id) {
    case kCmdFollowCar: m_followCar = true; break;
    case kCmdFollowOff: m_followCar = false; break;
    case kCmdCloseMenus:
        SetMenuMode(kCmdMenuClose);
        SetMenuMode(kCmdMenuCloseRecent);
        SetMenuMode(kCmdMenuCloseOther);
        break;
    case kCmdRestoreMenu:
        if (IsMenuMode(m_mode)) SetMenuMode(m_mode);
        ResetIdleTicks();
        break;
    default: break;
    }
}
