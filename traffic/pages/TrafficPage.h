// The traffic tab ("교통정보"): the whole road tree level by level down to the sections of a
// road, both directions' speeds or travel times refreshed every ten seconds, a map move to a
// section, and adding the road being looked at to the roads of interest (at most ten, shared
// with the roads-of-interest tab through the roads-of-interest file).
#pragma once

#include "platform/window/PropertySheet.h"
#include "traffic/pages/InterestRoadFile.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/pages/TrafficSectionList.h"

#include <memory>

class CNaviConfig;

class CTrafficPage : public CPropertyPage, public TrafficListOwner {
    DECLARE_DYNAMIC(CTrafficPage)
public:
    static constexpr UINT IDD = 4302;
    enum : int {
        IDC_PREV = 3234,
        IDC_NEXT = 3235,
        IDC_MAPMOVE = 3236,
        IDC_ADD_INTEREST = 4129,
        IDC_UP = 4148,
        IDC_DOWN = 4149,
        IDC_TIME = 4166,
        IDC_SPEED = 4173,
        IDC_LIST = 2202,
    };
    static constexpr int kTitleChars = 127;
    static constexpr UINT kRefreshMs = 10000;

    CTrafficPage();
    ~CTrafficPage() override;
    static void RegisterTemplate();

    // The list's column caption ("전체 교통정보" until a title is set), at most 127 characters.
    static void SetTitle(const CString& title);
    static CString GetTitle();
    void SetConfigPointer(CNaviConfig* config) { m_config = config; }
    // The sheet's closing hook (nothing to do: the page stores its state when it is destroyed).
    void OnSheetDestroy() {}

    // "다음": enters the selected row (also a double tap on a row above the section level).
    void EnterSelected();
    void UpdateScrollButtons() override;
    TrafficSectionList* GetList() const { return m_list.get(); }
    int GetUnit() const { return m_unit; }
    int GetHighWayFlag() const { return m_highWay; }
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
    void OnPrev();
    void OnMapMove();
    void OnAddInterest();
    void OnScroll(int id);
    void SetUnit(int unit);
    void UpdateButtons();
    void Refresh(int force);
    void ReadInterestFile();
    void FillAndSelect(int row);

    std::unique_ptr<TrafficSectionList> m_list;
    CBitmapButton m_up;
    CBitmapButton m_down;
    CBitmapButton m_speed;
    CBitmapButton m_time;
    int m_highWay = 0;
    InterestRoadSlot m_slots[CInterestRoadFile::kSlots];
    int m_mapMoveFlag = 0;
    int m_unit = 0;
    CNaviConfig* m_config = nullptr;
};
