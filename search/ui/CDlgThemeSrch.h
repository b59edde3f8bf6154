// The theme search: the kind of theme, then a theme from the list of theme files, then the
// theme's places, filtered by region or by distance from the car and by words, and one taken.
#pragma once

#include "platform/window/AfxControls.h"
#include "search/SearchRecords.h"
#include "search/ThemeDB.h"
#include "search/ui/CThemeListCtrl.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class NaviFlowString;

class CDlgThemeSrch : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 138;
    static constexpr int kThemeListControl = 1008;
    static constexpr int kComboControl = 1009;
    static constexpr int kTextControl = 1011;
    static constexpr int kPlaceListControl = 1012;
    static constexpr int kRegionMode = 1;
    static constexpr int kDistanceMode = 2;

    explicit CDlgThemeSrch(CWnd* parent = nullptr);
    ~CDlgThemeSrch() override;

    // Lists the theme files of the folder; false when none is usable.
    bool Init(const char16_t* themeFolder);
    bool Reload();
    // The car's position in the theme files' units (network coordinates / 10).
    void SetCurrentPos(unsigned long x, unsigned long y);
    void SetUIType(int type) { m_uiType = type; }
    void SetDirectRoute(bool on) { m_directRouteAllowed = on; }
    void SetPrevResult(const _THEME_RESULT& prev) { m_prev = prev; }
    void GetTolvik(_THEME_RESULT& out) const { out = m_result; }
    bool IsCurrentPos() const { return m_currentPos; }

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

    // A region's name in the filter combo: the metropolitan cities and the three-syllable
    // provinces keep their first two syllables, the double provinces their first and third,
    // any other name stays whole.
    static CString ShortRegion(const CString& name);
    // The engine's filter value of a combo selection: the region number, or the distance in km.
    static int FilterValue(int mode, int selection);

    // For the caller's checks.
    int GetStage() const { return m_stage; }
    int GetFilterMode() const { return m_mode; }
    const CString& GetCountText() const { return m_countText; }
    CComboBox& Combo() { return m_combo; }
    CThemeListCtrl& Places() { return m_places; }
    NaviFlowString* Description() const { return m_description; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

private:
    // Forces the input panel down (the search text is no longer typed).
    void InputPanelDown();
    void ShowStage(int stage);
    void Next();
    void Prev();
    void FillCombo();
    bool Refilter(bool fromSearchButton, bool force = false);
    void SetCountText(bool withSelection);
    bool TakeResult();
    void ShowDetail();
    void HideDescription();
    bool RunPrevFunction();
    void SetPointType();
    bool DirectRouteRefused();
    void Notice(int id);
    CString SearchText() const;

    CThemeDB m_engine;
    int m_stage = 0;
    int m_mode = kRegionMode;
    int m_prevMode = 0;
    int m_selection = 0;
    int m_prevSelection = -1;
    CString m_lastText;
    int m_theme = -1;
    int m_themeKind = -1;
    int m_pointType = 2;
    int m_uiType = 2004;
    bool m_directRouteAllowed = false;
    bool m_directRouteChosen = false;
    bool m_currentPos = false;
    unsigned long m_curX = 0, m_curY = 0;
    _THEME_RESULT m_result;
    _THEME_RESULT m_prev;
    CString m_countText;
    CImageList m_icons;
    CListBox m_themes;
    CComboBox m_combo;
    CEdit m_text;
    CThemeListCtrl m_places;
    NaviFlowString* m_description = nullptr;
};
