// The nearby search: the user picks a facility category, the ten nearest facilities are listed
// with a direction arrow, name and distance, and one marker per facility goes to the program's
// map through the mediator while the dialog shrinks to the lower part of the screen. The view
// tab instead picks the category the map shows.
#pragma once

#include "platform/window/AfxControls.h"
#include "search/NaviMediator.h"
#include "search/NeighManage.h"
#include "search/SearchRecords.h"
#include "search/ui/CAroundListCtrl.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class NaviButton;
class NaviLabel;

class CDlgAroundSrch : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 137;
    static constexpr int kListControl = 1007;
    // The marker value of the highlighted facility.
    static constexpr int kHighlight = AroundFacilityItem::kHighlighted;
    // The results' place: the lower part of the 240 x 320 screen.
    static constexpr RECT kResultRect{2, 166, 2 + 236, 166 + 152};
    static constexpr int kScreenHeight = 320;
    // Names wider than this (pixels) are shortened with "..".
    static constexpr int kNameWidth = 80;
    static constexpr int kNameCut = 71;

    using MapCallback = int (*)(unsigned long x, unsigned long y, int level, int height);

    explicit CDlgAroundSrch(CWnd* parent = nullptr);
    ~CDlgAroundSrch() override;

    void SetCurrentPos(unsigned long x, unsigned long y) {
        m_curX = x;
        m_curY = y;
    }
    void SetDirectRoute(bool on) { m_directRouteAllowed = on; }
    void SetStoragePath(const char16_t* folder) { m_storage = folder ? folder : u""; }
    void SetNaviMediator(NaviMediator* mediator) { m_mediator = mediator; }
    void SetMapCallback(MapCallback callback) { m_callback = callback; }
    void SetUIType(int type) { m_uiType = type; }
    void SetPrevResult(const _AROUND_RESULT& prev) { m_prev = prev; }
    void GetTolvik(_AROUND_RESULT& out) const;
    int GetAroundSrchType() const { return m_searchType; }
    bool IsCurrentPos() const { return m_currentPos; }

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;
    void OnItemchangedSrcharoundList(int row);

    // The display name of category 0..9, empty otherwise.
    static CString GetCateName(int category);
    // A name wider than 80 pixels in dc's font: its shortest leading part (whole characters) at
    // least 71 pixels wide, or the whole name, followed by "..".
    static CString ModifyName(HDC dc, const CString& name);

    // For the caller's checks.
    bool IsShown() const { return m_shown; }
    // How many background-erase messages were let through (erased) so far.
    int GetErasedCount() const { return m_erased; }
    int GetSelected() const { return m_selected; }
    int GetPointType() const { return m_pointType; }
    CAroundListCtrl& List() { return m_list; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;
    BOOL OnEraseBkgnd(CDC* dc) override;

private:
    bool InitNeighManage(int category);
    bool ShowAroundFacility();
    void AddAroundFacilityList();
    bool DisplayAroundFacilityList();
    bool MoveMap();
    bool RunPrevFunction();
    void SetSearchType();
    void SetPointType();
    void SetRadioButton();
    void ShowResultControls(bool results);
    void LeaveResults();
    AroundFacilityItem* MakeItem(int hit, bool highlighted) const;
    bool DirectRouteRefused();
    void Notice(int id);

    int m_uiType = 2004;
    int m_category = -1;
    int m_viewCategory = -1;
    bool m_noneToggle = false;
    int m_pointType = 0;
    int m_searchType = 1;
    int m_selected = -1;
    bool m_shown = false;
    // The results were just shown: the next background erase clears the full-screen search panel
    // left below the shrunken dialog; every other one is suppressed.
    bool m_eraseNext = false;
    int m_erased = 0;
    bool m_currentPos = false;
    bool m_directRouteAllowed = false;
    bool m_directRouteChosen = false;
    bool m_filling = false;
    unsigned long m_curX = 0, m_curY = 0;
    CString m_storage;
    CString m_cateName;
    _AROUND_RESULT m_result;
    _AROUND_RESULT m_prev;
    NaviMediator* m_mediator = nullptr;
    int m_markers = 0;
    int m_farLevel = 0;
    int m_top = 0;
    MapCallback m_callback = nullptr;
    CNeighManage m_engine;
    CAroundListCtrl m_list;
    NaviLabel* m_caption = nullptr;
    NaviButton* m_buttons[5] = {};
};
