// The two bars at the foot of the main screen: the route search bar ("ToolBar": start, waypoint,
// destination, search, back; two large buttons in the basic menu) and the waypoint bar
// ("경유지설정": up to five waypoints in a column with move, delete and go-to actions). Both only
// name what was tapped; the application acts and tells them what to show.
#pragma once

#include "skinui/NaviControl.h"

#include <vector>

class NaviCheckButton;

constexpr int kCmdAddWaypoint = 2012;      // to "NaviMain": the text is a new waypoint
constexpr int kCmdClearWaypoints = 2016;
constexpr int kCmdRemoveWaypoint = 2026;   // param1 the index
constexpr int kCmdRouteSearchOn = 2043;
constexpr int kCmdRouteSearchOff = 2044;

inline constexpr const char16_t* kTargetWaypoints = u"경유지";
inline constexpr const char16_t* kTargetWaypointBar = u"경유지설정";

// An image button drawn from "ToolBar\<name>".
class NaviToolButton : public NaviControl {
public:
    NaviToolButton();
    ~NaviToolButton() override = default;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand&) override {}
};

class NaviRouteSearchBar : public NaviControl {
public:
    NaviRouteSearchBar();
    ~NaviRouteSearchBar() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetMode(int mode) { m_mode = mode; }
    int GetMode() const { return m_mode; }
    int GetState() const { return m_state; }
    CString GetSelectedName() const { return m_hitName; }
    void ClearBackFlag() { m_backAvailable = false; }
    void UpdateVisibility();
    // Places the bar and its buttons with the bar's left end at x.
    void SetPos(int x, int y);
    const std::vector<NaviControl*>& GetChildren() const { return m_children; }
    NaviControl* FindChild(const CString& name) const;

private:
    std::vector<NaviControl*> m_children; // the six tools, then the two beginner buttons
    CString m_hitName;
    bool m_simulating = false;
    bool m_followCar = false;
    int m_mode = 0;
    int m_state = 0;
    bool m_backAvailable = false;
    bool m_searchPossible = false;
};

class NaviWaypointBar : public NaviControl {
public:
    static constexpr int kMaxWaypoints = 5;

    NaviWaypointBar();
    ~NaviWaypointBar() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // 1 when the name was added, -1 when five are held already.
    int AddWaypoint(const CString& name);
    // 1 when the name at index was removed, -1 when there is none there.
    int RemoveWaypoint(int index);
    void ClearWaypoints() { m_names.clear(); }
    // Shows one waypoint button per name and the add button (none without names): the count.
    int Refresh();
    // Chooses the waypoint button of that name and shows the actions beside it.
    void SelectWaypoint(const CString& name);
    CString GetSelectedName() const { return m_hitName; }
    int GetCurrentIndex() const { return m_current; }
    int GetCount() const { return static_cast<int>(m_names.size()); }
    const CString& GetWaypoint(int i) const { return m_names[static_cast<std::size_t>(i)]; }
    void SetPos(int x, int y);
    const std::vector<NaviControl*>& GetChildren() const { return m_children; }
    NaviControl* FindChild(const CString& name) const;

private:
    std::vector<CString> m_names;
    int m_current = -1;
    CString m_hitName;
    std::vector<NaviControl*> m_children;
    NaviCheckButton* m_add = nullptr;
    NaviCheckButton* m_move = nullptr;
    NaviCheckButton* m_delete = nullptr;
    NaviCheckButton* m_goTo = nullptr;
    NaviCheckButton* m_points[kMaxWaypoints] = {};
};
