// The highway-mode panel: the facilities ahead on a highway, at the bottom of the map. This is
// the panel as the main view sees it: its window (a child of the view, made once), the flags the
// view reads and sets, and the values it fills in on each fix. The panel's own skinned drawing
// and paging replace the plain window later behind the same operations.
#pragma once

#include "platform/window/Afx.h"
#include "skinui/CNaviDialogBroker.h"

#include <cstdint>
#include <string>

class CHighwayPanel : public CWnd, public CNaviDialogBroker {
public:
    static constexpr int kRows = 3;
    static constexpr int kHeight = 131; // the lower part of the screen, from y = 189

    struct Row {
        std::u16string name;
        std::u16string distance;
        std::int32_t brand = 0;
        std::uint8_t fuel = 0, lpg = 0, repair = 0;
    };

    CHighwayPanel();
    ~CHighwayPanel() override;

    // Makes the window, a child of parent along the bottom of its client area, hidden; later
    // calls do nothing. False when the window cannot be made.
    bool Create(CWnd* parent);
    // Destroys the window and clears the created flag.
    void Release();
    int CreateCount() const { return m_createCount; }

    // The values of one fill.
    void SetFacilityCount(int count) { m_facilityCount = count; }
    int GetFacilityCount() const { return m_facilityCount; }
    // Remaining distance and a second distance (metres), a time in seconds, a count and a flag:
    // "%3.1fk", "%3.1f", "%02d:%02d" (hours modulo 24, minutes), "%d".
    void SetRemaining(double dist, double second, int seconds, int count, std::uint8_t flag);
    const std::u16string& RemainingText() const { return m_remainingText; }
    const std::u16string& SecondText() const { return m_secondText; }
    const std::u16string& TimeText() const { return m_timeText; }
    const std::u16string& CountText() const { return m_countText; }
    std::uint8_t RemainingFlag() const { return m_remainingFlag; }
    void SetRouteState(bool following, int routeIndex);
    bool IsFollowingRoute() const { return m_following; }
    int GetRouteIndex() const { return m_routeIndex; }
    void SetNotSimulating(bool on) { m_notSimulating = on; }
    bool IsNotSimulating() const { return m_notSimulating; }
    void SetRows(int rows) { m_rows = rows < 0 ? 0 : rows > kRows ? kRows : rows; }
    int GetRows() const { return m_rows; }
    Row& RowAt(int i) { return m_row[i]; }
    void ClearRows();
    void SetListType(int type) { m_listType = type; }
    int GetListType() const { return m_listType; }
    bool IsShowingAll() const { return m_listType == 5; }
    int GetPageIndex() const { return m_pageIndex; }
    // A new next facility means the nearest one has been passed: one page back, not below 0.
    void SetNextFacility(int id);
    void Refresh(bool repaint);
    int RefreshCount() const { return m_refreshes; }

    // The flags the view reads and sets.
    std::uint8_t created = 0;
    std::uint8_t shown = 0;
    std::uint8_t spare = 0;
    std::uint8_t alert = 0;
    std::uint8_t visible = 1;
    std::uint8_t filling = 0; // the view is filling the panel
    std::uint8_t held = 0;    // the view keeps the panel as it is (cleared to unfreeze it)
    int selected = -1;
    int pageSize = 5;
    int counter = 0;

private:
    int m_createCount = 0;
    int m_facilityCount = 0;
    int m_pageIndex = 0;
    int m_listType = 5;
    int m_rows = 0;
    Row m_row[kRows];
    int m_routeIndex = -1;
    bool m_following = false;
    bool m_notSimulating = false;
    std::uint8_t m_remainingFlag = 0;
    std::u16string m_remainingText, m_secondText, m_timeText, m_countText;
    int m_nextFacility = -1;
    int m_refreshes = 0;
};
