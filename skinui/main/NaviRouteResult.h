// The rows of alternative routes after a route search ("다중탐색" on the main screen) with the bar
// of "추가경로", "경로정보" and "안내시작" below them, and two small image buttons of the main
// screen: "지점등록" (register the point) and "보행자" (pedestrian mode).
#pragma once

#include "skinui/NaviControl.h"

#include <array>

class NaviCheckButton;

constexpr int kCmdRouteResultShow = 2022;   // results are present: show the bar
constexpr int kCmdRouteResultReset = 2023;  // a new search begins
constexpr int kCmdRouteFlag = 2030;         // route param1 (1..4) flagged by param2
constexpr int kCmdGuidanceBarOff = 2031;
constexpr int kCmdResultOnly = 2041;

// Hit codes of the panel.
constexpr int kRouteHitNone = 0;
constexpr int kRouteHitInfo = 5;        // "경로정보" with the rows
constexpr int kRouteHitStart = 6;       // "안내시작" with the rows
constexpr int kRouteHitInfoBar = 7;     // "경로정보" of the guidance bar
constexpr int kRouteHitStartBar = 8;    // "안내시작" of the guidance bar
constexpr int kRouteHitMore = 9;        // "추가경로"

class NaviRouteResult : public NaviControl {
public:
    static constexpr int kRoutes = 4;
    static constexpr int kRowStep = 44; // row height and a gap of 2
    static constexpr RECT kBarRect{0, 278, 240, 320};

    NaviRouteResult();
    ~NaviRouteResult() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    // Commands for "NaviMain" only.
    void ProcessCommand(NaviCommand& cmd) override;

    int GetHitCode() const { return m_hitCode; }
    int GetSelectedRoute() const { return m_selected; }
    bool IsShown() const { return m_shown; }
    int GetMode() const { return m_mode; }
    // The owner raises the guidance bar (its rows then give way to the bar alone).
    void SetGuidanceBar(bool on);
    bool HasGuidanceBar() const { return m_guidanceBar; }
    // The texts of route id 1..4 (empty for others).
    CString GetDistanceText(int id) const;
    CString GetTimeText(int id) const;
    int GetRouteFlag(int id) const { return id >= 1 && id <= kRoutes ? m_flags[id - 1] : 0; }
    // Route ids in the order their rows are drawn, 0 for a free entry.
    const std::array<int, kRoutes>& GetDisplayOrder() const { return m_order; }
    NaviCheckButton* GetButton(const CString& name) const;

    static CString FormatDistance(int metres);
    static CString FormatTime(int seconds);

private:
    void UpdateButtons();

    NaviBitmap* m_rows[kRoutes][2] = {};
    NaviBitmap* m_frames[2] = {};
    CString m_distance[kRoutes];
    CString m_time[kRoutes];
    std::array<int, kRoutes> m_flags{};
    NaviCheckButton* m_start = nullptr;
    NaviCheckButton* m_info = nullptr;
    NaviCheckButton* m_more = nullptr;
    bool m_shown = false;
    int m_hitCode = kRouteHitNone;
    bool m_guidanceBar = false;
    bool m_resultOnly = false;
    int m_selected = 0;
    std::array<int, kRoutes> m_order{};
    int m_mode = 2004;
};

// "지점등록": shown only in the advanced menus, while neither following the car nor simulating.
class NaviRouteResultButton : public NaviControl {
public:
    NaviRouteResultButton();
    ~NaviRouteResultButton() override = default;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetSuppressed(bool on) { m_suppressed = on; }
    bool IsSuppressed() const { return m_suppressed; }
    bool IsHiddenByCommand() const { return m_hidden; }

private:
    int m_mode = 0;
    bool m_hidden = false;
    bool m_followCar = false;
    bool m_simulating = false;
    bool m_suppressed = false;
};

// "보행자": an image button that sits higher while the map is moved away from the car (the
// route bar then shows below it) except in the basic menu.
class NaviImageButton : public NaviControl {
public:
    NaviImageButton();
    ~NaviImageButton() override = default;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

private:
    int m_screenHeight = 320;
    int m_mode = 2004;
};
