// The small panel at the top left of the main screen ("POIBAR") that lists up to two facilities
// near the point the user picked on the map: each row shows the facility's map symbol, a numbered
// marker (drawn on the map as well) and its name. A toggle opens and closes the list. The bar
// only shows while the map is moved away from the car.
#pragma once

#include "mapview/MapFeatureInfo.h"
#include "skinui/NaviControl.h"

class NaviButton;
class NaviCheckButton;
class NaviLabel;
class NaviSymbolManager;

// Hit codes.
constexpr int kPoiHitRow1 = 1;
constexpr int kPoiHitRow2 = 2;
constexpr int kPoiHitLabel = 3;
constexpr int kPoiHitClose = 4; // the toggle while the list is open
constexpr int kPoiHitOpen = 5;  // the toggle while it is closed

class NaviPoiBar : public NaviControl {
public:
    static constexpr int kEntries = 3;
    static constexpr const char16_t* kNothingNear = u"주변에는 상세정보가 없음.";

    NaviPoiBar();
    ~NaviPoiBar() override;

    void OnPenDown() override;
    void OnPenUp() override {}
    // The toggle answers 4 whether open or closed (the hit code tells them apart); a row its
    // number; else 0.
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetSymbolManager(NaviSymbolManager* symbols) { m_symbols = symbols; }
    void SetButtonListener(NaviListener* listener) { m_buttonListener = listener; }
    int SetSelection(int selection) {
        m_selection = selection;
        return 1;
    }
    bool HasSelection() const { return m_selection >= 0; }
    // -1 toggles the list; any other value opens it when non-zero, closes it when 0.
    void SetCurrentEntry(int v);
    bool GetCurrentEntry() const { return m_open; }
    void SetFlag(bool suppressed) { m_suppressed = suppressed; }
    void SetRouteResultMode(bool on) { m_routeResultMode = on; }
    void ClearItems();
    bool IsShowable() const;
    void SetListPos(int x, int y) {
        m_listX = x;
        m_listY = y;
    }
    int GetHitCode() const { return m_hitCode; }
    MapFeatureInfo& Entry(int i) { return m_entries[i]; }
    NaviLabel* GetLabel() const { return m_label; }
    // The entry's name (code page 949, at most its 21 bytes, whether or not they end in a zero).
    static CString EntryName(const MapFeatureInfo& entry);

private:
    // The map marks a free entry with distance -1.
    static bool IsEmptyEntry(const MapFeatureInfo& e) { return e.distance < 0; }

    NaviSymbolManager* m_symbols = nullptr;
    NaviListener* m_buttonListener = nullptr;
    int m_hitCode = -1;
    bool m_followCar = false;
    bool m_suppressed = false;
    bool m_simulating = false;
    bool m_routeResultMode = false;
    bool m_hidden = false;
    int m_selection = -1;
    bool m_open = true;
    int m_listX = 41;
    int m_listY = 37;
    NaviButton* m_handle = nullptr;
    NaviCheckButton* m_toggles[2] = {};
    NaviCheckButton* m_rows[2] = {};
    NaviLabel* m_label = nullptr;
    MapFeatureInfo m_entries[kEntries];
};
