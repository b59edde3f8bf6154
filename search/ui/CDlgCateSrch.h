// The category search: major class, minor class, province and district are picked in turn from
// one list, then the district's facilities are listed, searched by the start of their name,
// opened in the detail screen and taken as the result.
#pragma once

#include "platform/window/AfxControls.h"
#include "search/CateIndex.h"
#include "search/SearchRecords.h"
#include "search/ui/CCateListCtrl.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class NaviFlowString;

class CDlgCateSrch : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 134;
    static constexpr int kNameControl = 1004;
    static constexpr int kListControl = 1005;
    static constexpr int kFacilityControl = 1006;
    // Levels: 0 major class, 1 minor class, 2 province, 3 district, 4 the facility list.
    static constexpr int kFacilityLevel = 4;

    explicit CDlgCateSrch(CWnd* parent = nullptr);
    ~CDlgCateSrch() override;

    bool OpenOn(const char16_t* namePath, const char16_t* adminPath, const char16_t* poiPath);
    bool Reload(const char16_t* namePath, const char16_t* adminPath, const char16_t* poiPath);
    void SetPrevResult(const _CATE_RESULT& prev) { m_prev = prev; }
    void GetTolvik(_CATE_RESULT& out) const { out = m_result; }
    bool IsCurrentPos() const { return m_currentPos; }
    void SetDirectRoute(bool on) { m_directRouteAllowed = on; }
    void SetUIType(int type) { m_uiType = type; }

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

    // Shortens a name for the captions: a class name (levels 0 and 1) longer than 9 bytes to its
    // first 8 bytes (whole characters) and ".."; an area name of five syllables to its first two
    // and "시", of four syllables to its first and third.
    static CString FilterString(const CString& name, bool className);

    // For the caller's checks.
    int GetLevel() const { return m_level; }
    const CString& GetCaption() const { return m_caption; }
    const CString& GetPathText() const { return m_pathText; }
    const CString& GetCountText() const { return m_countText; }
    const CString& GetColumnHeading() const { return m_heading; }
    int GetPointType() const { return m_pointType; }
    CCateListCtrl& List() { return m_list; }
    CCateListCtrl& Facilities() { return m_facilities; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

private:
    bool MoveMap();
    void SetStaticText();
    void SetCountText();
    void FillLevel(int level, int select);
    void Next();
    void Prev();
    void SearchMove();
    int FindIndex_Linear(const std::string& input);
    int FindIndex_Binary(const std::string& input);
    int SearchFirstName(const std::string& input, int mid);
    bool RunPrevFunction();
    void ManageWindowControl();
    void SetPointType();
    void CreateNaviFlowString();
    void ShowPOIInfo();
    bool DirectRouteRefused();
    bool TakeFacility(bool routeDirectly);
    CString HeadingOf(int level) const;
    std::string FacilityName(int i);
    void Notice(int id);

    CString m_names[4];
    int m_index[5] = {-1, -1, -1, -1, -1};
    int m_level = 0;
    int m_pointType = 0;
    bool m_routeDirectly = false;
    _CATE_RESULT m_prev;
    _CATE_RESULT m_result;
    CString m_poiPath;
    bool m_currentPos = false;
    bool m_directRouteAllowed = false;
    int m_uiType = 2004;
    CString m_caption;
    CString m_pathText;
    CString m_countText;
    CString m_heading;
    CEdit m_facilityName;
    CCateIndex m_cate;
    CCateListCtrl m_list;
    CCateListCtrl m_facilities;
    CImageList m_icons;
    NaviFlowString* m_flow = nullptr;
};
