// The highway-mode panel: while the car drives on a highway, the next facilities ahead (rest
// areas, interchanges, junctions), three rows at a time, with their distances and the services
// of each rest area, and the remaining distance and time drawn with the skin's digit images.
// The user pages through the list and restricts it to one kind. The view makes the window once
// (a child of the view), fills it on each fix on the user-interface thread, and releases it.
#pragma once

#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class NaviBitmap;
class NaviControl;
class NaviLabel;

class CHighwayPanel : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 993;
    static constexpr int kRows = 3;
    static constexpr int kWaypointImages = 5;
    static constexpr int kFuelImages = 6;
    static constexpr int kRowY[kRows] = {162, 114, 66}; // row 0, the nearest, at the bottom
    // List types.
    static constexpr int kRestAreas = 2, kJunctions = 3, kInterchanges = 4, kAll = 5;

    struct Row {
        std::u16string name;
        std::u16string distance;
        std::int32_t brand = 0; // the fuel brand of the facility's station
        std::uint8_t fuel = 0, lpg = 0, repair = 0;
    };
    // Called with the new first index and the panel whenever the user pages.
    using PagingCallback = std::function<void(int firstIndex, CHighwayPanel* panel)>;

    // A text drawn with the digit images, where.
    struct DrawnText {
        std::u16string text;
        int x = 0, y = 0;
        bool speedDigits = false;
    };
    // A skin image drawn over the panel, where.
    struct DrawnImage {
        std::u16string name;
        int x = 0, y = 0;
    };

    CHighwayPanel();
    ~CHighwayPanel() override;

    // Makes the window (a child of parent covering its client area, hidden) once; later calls do
    // nothing. False when the window cannot be made.
    bool Create(CWnd* parent);
    // Destroys the window and the panel's images; clears the created flag.
    void Release();
    int CreateCount() const { return m_createCount; }

    void SetPagingCallback(PagingCallback callback) { m_paging = std::move(callback); }

    // The values of one fill.
    void SetFacilityCount(int count) { m_facilityCount = count; }
    int GetFacilityCount() const { return m_facilityCount; }
    // Remaining distance and a second distance (metres), a time in seconds, a count and a flag:
    // "%3.1fk", "%3.1f", "%02d:%02d" (hours and minutes; 99:59 at most), "%d".
    void SetRemaining(double dist, double second, int seconds, int count, std::uint8_t flag);
    const std::u16string& RemainingText() const { return m_remainingText; }
    const std::u16string& SecondText() const { return m_secondText; }
    const std::u16string& TimeText() const { return m_timeText; }
    const std::u16string& CountText() const { return m_countText; }
    std::uint8_t RemainingFlag() const { return m_remainingFlag; }
    // Whether a route with waypoints is followed and its index; a change of the first refreshes.
    void SetRouteState(bool following, int routeIndex);
    bool IsFollowingRoute() const { return m_following; }
    int GetRouteIndex() const { return m_routeIndex; }
    void SetNotSimulating(bool on) { m_notSimulating = on; }
    bool IsNotSimulating() const { return m_notSimulating; }
    void SetRows(int rows) { m_rows = rows < 0 ? 0 : rows > kRows ? kRows : rows; }
    int GetRows() const { return m_rows; }
    // Row i (0 to 2; others are taken as the nearest end).
    Row& RowAt(int i);
    void ClearRows();
    void SetListType(int type) { m_listType = type; }
    int GetListType() const { return m_listType; }
    bool IsShowingAll() const { return m_listType == kAll; }
    int GetPageIndex() const { return m_pageIndex; }
    void SetPageIndex(int index) { m_pageIndex = index < 0 ? 0 : index; }
    // A new next facility means the nearest one has been passed: one page back, not below 0.
    void SetNextFacility(int id);
    void Refresh(bool repaint);
    int RefreshCount() const { return m_refreshes; }

    void ProcessEvent(NaviCommand& cmd) override;

    // Looks for the panel's own controls (tests and the tool).
    NaviControl* Control(const char16_t* name) const;
    NaviControl* RowControl(int row, int which) const; // which: 0 name, 1 distance, 2 fuel, 3 LPG, 4 repair
    // What the last paint drew over the controls.
    const std::vector<DrawnText>& DrawnTexts() const { return m_drawnTexts; }
    const std::vector<DrawnImage>& DrawnImages() const { return m_drawnImages; }
    // Composes the panel into dc (the off-screen bitmap of a paint).
    void Compose(CDC* dc);

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

protected:
    BOOL OnInitDialog() override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    BOOL OnEraseBkgnd(CDC* dc) override;

private:
    void BuildControls();
    void LoadPanelImages();
    void FreeImages();
    void RestoreKindButtons();
    void Page(int index);
    void DrawDigits(CDC* dc, const std::u16string& text, int x, int y, bool speed);
    NaviBitmap* DigitImage(char16_t c, bool speed) const;

    PagingCallback m_paging;
    int m_createCount = 0;
    int m_facilityCount = 0;
    int m_pageIndex = 0;
    int m_listType = kAll;
    int m_rows = 0;
    Row m_row[kRows];
    int m_routeIndex = -1;
    bool m_following = false;
    bool m_notSimulating = false;
    std::uint8_t m_remainingFlag = 0;
    std::u16string m_remainingText, m_secondText, m_timeText, m_countText;
    int m_nextFacility = -1;
    int m_refreshes = 0;
    // Controls (owned by the root panel).
    NaviControl* m_routeState = nullptr;
    NaviControl* m_rowControls[kRows][5] = {};
    // Images (owned).
    NaviBitmap* m_digits[13] = {};      // 0-9, point, k, colon
    NaviBitmap* m_speedDigits[10] = {};
    NaviBitmap* m_fuel[kFuelImages] = {};
    NaviBitmap* m_waypointNumbers[kWaypointImages] = {};
    std::vector<DrawnText> m_drawnTexts;
    std::vector<DrawnImage> m_drawnImages;
};
