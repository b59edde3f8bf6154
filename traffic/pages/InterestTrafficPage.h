// The roads-of-interest tab ("관심", shown first): the roads the user marked on the traffic tab,
// each opened straight at its sections with live speeds or travel times, a map move to a
// section, and deleting roads of interest.
#pragma once

#include "platform/window/PropertySheet.h"
#include "traffic/pages/InterestRoadFile.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/pages/TrafficSectionList.h"

#include <memory>

class CNaviConfig;

class CInterestTrafficPage : public CPropertyPage, public TrafficListOwner {
    DECLARE_DYNAMIC(CInterestTrafficPage)
public:
    static constexpr UINT IDD = 4301;
    enum : int {
        IDC_PREV = 4138,
        IDC_NEXT = 4139,
        IDC_MAPMOVE = 4140,
        IDC_DELETE = 4141,
        IDC_UP = 4150,
        IDC_DOWN = 4151,
        IDC_TIME = 4167,
        IDC_SPEED = 4174,
        IDC_LIST = 105,
    };
    static constexpr UINT kRefreshMs = 10000;

    CInterestTrafficPage();
    ~CInterestTrafficPage() override;
    static void RegisterTemplate();

    void SetConfigPointer(CNaviConfig* config) { m_config = config; }
    // The sheet's closing hook (nothing to do: the page stores its state when it is destroyed).
    void OnSheetDestroy() {}

    // "다음": opens the selected road of interest at its sections (also a double tap on the
    // list of roads).
    void OpenSelectedRoad();
    void UpdateScrollButtons() override;
    TrafficSectionList* GetList() const { return m_list.get(); }
    int GetShownSlot() const { return m_shownSlot; }
    int GetUnit() const { return m_unit; }
    const InterestRoadSlot* GetSlots() const { return m_slots; }

    BOOL OnInitDialog() override;
    void OnDestroy() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    void ShowRoadList();
    void OnPrev();
    void OnDelete();
    void OnScroll(int id);
    void SetUnit(int unit);
    void UpdateButtons();
    void Refresh(int force);
    bool ReadFile();
    bool WriteFile();

    std::unique_ptr<TrafficSectionList> m_list;
    InterestRoadSlot m_slots[CInterestRoadFile::kSlots];
    int m_shownSlot = -1;
    CBitmapButton m_up;
    CBitmapButton m_down;
    CBitmapButton m_speed;
    CBitmapButton m_time;
    int m_unit = 1;
    CNaviConfig* m_config = nullptr;
};
