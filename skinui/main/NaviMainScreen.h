// The overlay of the main screen "NaviMain": the indicators, bars, menus and route panels drawn
// over the moving map. It owns no window: the main view draws it into its own context, hands it
// the pen and receives through its listener every command a tap produces (the names the shell
// dispatches) and the redraw requests "UIRefresh0". It owns the process's skin builder and the
// click-sound player. Everything here runs on the UI thread.
#pragma once

#include "platform/base/CString.h"
#include "skinui/NaviCommand.h"

#include <vector>

class CDC;
class NaviAdvancedMenu;
class NaviAnimImage;
class NaviBasicMenu;
class NaviClickSound;
class NaviControl;
class NaviDigitPanel;
class NaviExLevelBar;
class NaviLevelBar;
class NaviListener;
class NaviMenuLauncher;
class NaviMyMenuCtrl;
class NaviPoiBar;
class NaviRcBuilder;
class NaviRouteResult;
class NaviRouteResultButton;
class NaviRouteSearchBar;
class NaviSymbolManager;
class NaviWaypointBar;

constexpr int kCmdCloseMenus = 100;     // to "NaviMain": every menu closes
constexpr int kCmdRestoreMenu = 102;    // to "NaviMain": the current menu mode opens again
constexpr int kCmdMenuClose = 2007;
constexpr int kCmdMenuCloseRecent = 2008;
constexpr int kCmdMenuCloseOther = 2038;
constexpr int kCmdHighwayOn = 2036;
constexpr int kCmdHighwayOff = 2037;
constexpr int kCmdLauncherClose = 2042; // the launcher tapped while a menu is open

inline constexpr const char16_t* kTargetRefresh = u"UIRefresh0";
inline constexpr const char16_t* kTargetPenDown = u"LBUTTONDOWN";
inline constexpr const char16_t* kTargetMapMove = u"지도이동";

class NaviMainScreen {
public:
    static constexpr int kIdleStopped = -1;
    static constexpr int kIdleOff = -100;

    NaviMainScreen();
    NaviMainScreen(const NaviMainScreen&) = delete;
    NaviMainScreen& operator=(const NaviMainScreen&) = delete;
    virtual ~NaviMainScreen();

    void CreateRcBuilder(int startMode);
    void OpenSkin(const CString& folder);
    CString GetSkinFolder() const;
    NaviRcBuilder* GetRcBuilder() const { return m_builder; }
    int GetUIType() const { return m_uiType; }
    int GetMode() const { return m_mode; }
    bool IsSimulation() const { return m_simulation; }
    bool IsFollowCar() const { return m_followCar; }
    NaviDigitPanel* GetDigitPanel() const { return m_digit; }
    NaviSymbolManager* GetSymbolManager() const { return m_symbols; }

    void CreateControls();
    void AddControl(NaviControl* control);
    void SetListener(NaviListener* listener) { m_listener = listener; }
    int Draw(CDC* dc);
    void Broadcast(NaviCommand cmd);

    void SetFollowCar(bool on);
    void SetSimulation(bool on);
    void SetHighwayDisplay(bool on);
    void SetMenuMode(int mode);
    void SetMode(int mode);
    void CloseMenu();
    void SetRouteResultMode(bool on);
    bool IsRouteResultMode() const { return m_routeResult; }
    void SetRouteResultPending(bool on) { m_routeResultPending = on; }
    bool IsRouteResultPending() const { return m_routeResultPending; }
    void RequestExit() { m_exitRequested = true; }
    bool IsExitRequested() const { return m_exitRequested; }
    void SetTaskbarShown(bool on) { m_taskbarShown = on; }
    bool IsTaskbarShown() const { return m_taskbarShown; }
    // True once after the taskbar was shown.
    bool TakeTaskbarShownEvent();
    void SetClickSound(bool on);
    bool GetClickSound() const { return m_clickSoundOn; }
    int GetIdleTicks() const { return m_idleTicks; }
    void TickIdle() {
        if (m_idleTicks >= 0) ++m_idleTicks;
    }
    void ResetIdleTicks() { m_idleTicks = 0; }
    void StopIdleTicks() { m_idleTicks = kIdleOff; }
    void SetHighwayMode(bool on) { m_highwayMode = on; }
    bool IsHighwayMode() const { return m_highwayMode; }
    const CString& GetMenuName() const { return m_menuName; }
    const CString& GetSubMode() const { return m_subMode; }
    bool IsMyMenuOn() const { return m_myMenuOn; }

    void OnPenDown(int x, int y);
    // A tap (pen-up near its pen-down): what was taken, target empty and id 0 when nothing.
    NaviCommand OnTap(int x, int y);
    void ProcessCommand(NaviCommand& cmd);

    const std::vector<NaviControl*>& GetControls() const { return m_controls; }
    NaviControl* FindControl(const CString& name) const;

private:
    void Send(NaviCommand& cmd);
    void SendTarget(const char16_t* target, int id = -1);
    void Refresh(int id = 1);
    void PlayClick();
    // While a menu is open only the menu and the launcher are reached.
    bool Filtered(const NaviControl* c) const;
    void ToggleTaskbar(NaviCommand& out);
    void HideWaypointBar();
    void MainMenuTap(NaviCommand& out);
    void OtherMenuTap(NaviCommand& out, bool advanced);
    void ToolBarTap(NaviCommand& out);

    bool m_simulation = false;
    bool m_followCar = false;
    int m_mode = 0;
    int m_screenWidth = 240;
    int m_screenHeight = 320;
    NaviRcBuilder* m_builder = nullptr;
    NaviListener* m_listener = nullptr;
    std::vector<NaviControl*> m_controls;
    CString m_menuName;
    CString m_subMode;
    int m_uiType = 2;
    bool m_routeResult = false;
    bool m_exitRequested = false;
    bool m_routeResultPending = false;
    bool m_myMenuOn = false;
    bool m_taskbarShown = false;
    bool m_taskbarShownEvent = false;
    bool m_clickSoundOn = true;
    int m_idleTicks = kIdleStopped;
    bool m_highwayMode = false;

    NaviAnimImage* m_routeIndicator = nullptr;
    NaviLevelBar* m_levelBar = nullptr;
    NaviExLevelBar* m_exLevelBar = nullptr;
    NaviMenuLauncher* m_launcher = nullptr;
    NaviRouteSearchBar* m_toolBar = nullptr;
    NaviBasicMenu* m_basicMenu = nullptr;
    NaviAdvancedMenu* m_advancedMenu = nullptr;
    NaviMyMenuCtrl* m_myMenu = nullptr;
    NaviSymbolManager* m_symbols = nullptr;
    NaviDigitPanel* m_digit = nullptr;
    NaviWaypointBar* m_waypointBar = nullptr;
    NaviRouteResultButton* m_registerButton = nullptr;
    NaviRouteResult* m_routePanel = nullptr;
    NaviPoiBar* m_poiBar = nullptr;
    NaviClickSound* m_clickSound = nullptr;
};
