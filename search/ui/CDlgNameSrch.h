// The name search: one input field searched on every key by the beginning of the name, a
// word search on "확장", and a result list from which the user shows a place's details, takes
// its position or routes to it directly.
#pragma once

#include "platform/window/AfxControls.h"
#include "search/NameSearcher.h"
#include "search/SearchRecords.h"
#include "search/ui/CNameListCtrl.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class CDlgNameSrch : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 4731;
    static constexpr int kInputControl = 1000;
    static constexpr int kListControl = 1001;

    explicit CDlgNameSrch(CWnd* parent = nullptr);
    ~CDlgNameSrch() override;

    void SetUIType(int type) { m_uiType = type; }
    void SetDirectRoute(bool on) { m_directRouteAllowed = on; }
    void SetPrevResult(const _NAME_RESULT& prev) { m_prev = prev; }
    bool OpenOn(const char16_t* namePath, const char16_t* adminPath, const char16_t* poiPath);
    bool Reload(const char16_t* namePath, const char16_t* adminPath, const char16_t* poiPath);
    void GetTolvik(_NAME_RESULT& out) const { out = m_result; }
    bool IsCurrentPos() const { return m_currentPos; }

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

    // For the caller's checks: the count text, the list and the mode shown (0 none, 1 prefix,
    // 2 word search).
    const CString& GetCountText() const { return m_countText; }
    CNameListCtrl& List() { return m_list; }
    int GetMode() const { return m_mode; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

private:
    CString InputText() const;
    void OnChangeInputName();
    void OnButtonSearch();
    void ExpandSearch();
    bool MoveMap();
    void ShowPOIInfo();
    void SetCountText(int variant);
    bool RunPrevFunction();
    void SetPointType();
    bool DirectRouteRefused();
    void Notice(int id);

    CNameSearcher m_searcher;
    CString m_lastSearched;
    _NAME_RESULT m_result;
    _NAME_RESULT m_prev;
    int m_mode = 0;
    int m_pointType = 0;
    int m_uiType = 2004;
    bool m_directRouteAllowed = false;
    bool m_directRouteChosen = false;
    bool m_currentPos = false;
    CString m_poiPath;
    CString m_countText;
    CEdit m_input;
    CNameListCtrl m_list;
};
