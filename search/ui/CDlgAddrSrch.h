// The address search: the user walks down the administrative areas in a list, types a parcel
// number on the keypad and, when it does not exist, picks one of the two nearest parcels
// (CDlgNearLot).
#pragma once

#include "platform/window/AfxControls.h"
#include "search/SearchRecords.h"
#include "search/SrchAddr.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class NaviFlowString;

// The choice between the two parcels nearest to a number that does not exist.
class CDlgNearLot : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 135;

    explicit CDlgNearLot(CWnd* parent = nullptr);
    ~CDlgNearLot() override;

    void SetEngine(CSrchAddr* engine) { m_engine = engine; }
    void SetCaption(const CString& caption) { m_caption = caption; }
    // The chosen entry, −1 when cancelled.
    int GetIndex() const { return m_index; }

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

protected:
    BOOL OnInitDialog() override;

private:
    CSrchAddr* m_engine = nullptr;
    CString m_caption;
    int m_index = 0;
};

class CDlgAddrSrch : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 133;
    static constexpr int kListControl = 1005;
    static constexpr int kLotControl = 1024;
    // Longest parcel text, a leading "산" counting one more.
    static constexpr int kMaxLotChars = 20;

    explicit CDlgAddrSrch(CWnd* parent = nullptr);
    ~CDlgAddrSrch() override;

    bool OpenOn(const char16_t* addressPath, const char16_t* adminNamePath);
    bool Reload(const char16_t* addressPath, const char16_t* adminNamePath);
    void SetPrevResult(const _ADDR_RESULT& prev) { m_prev = prev; }
    void GetTolvik(_ADDR_RESULT& out);
    bool IsCurrentPos() const { return m_currentPos; }
    void SetDirectRoute(bool on) { m_directRouteAllowed = on; }
    void SetUIType(int type) { m_uiType = type; }
    // 2 exact, 1 a near parcel chosen, 0 nothing found, −1 no text or the choice cancelled.
    int SearchLotNumber();
    int GetNearLotIndex();

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

    // For the caller's checks.
    int GetDepth() const { return m_depth; }
    int GetMode() const { return m_mode; }
    CString GetLotText() const;
    const CString& GetCaption() const { return m_caption; }
    const CString& GetRouteText() const { return m_routeText; }
    int GetPointType() const { return m_pointType; }
    CListBox& List() { return m_list; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    bool MoveMap(int level);
    bool Move();
    void FillResult(int level);
    void AddAddrList(int level);
    void Next();
    void Prev();
    void SetStaticText(int depth);
    void ResetDepthIndex(int fromLevel);
    void EnterLotInput();
    bool RunPrevFunction();
    void ManageWindowControl();
    void SetPointType();
    void CreateNaviFlowString();
    void OnChangeInputLot1();
    void OnSelchangeAddrList();
    void SetLotText(const CString& text);
    void ParcelSearch(bool routeDirectly);
    bool DirectRouteRefused();
    void Notice(int id);

    CListBox m_list;
    CEdit m_lot;
    CString m_lotText;
    CSrchAddr m_engine;
    CString m_names[5];
    int m_index[4] = {-1, -1, -1, -1};
    int m_nearIndex = -1;
    int m_lotKind = -1;
    int m_uiType = 2004;
    int m_lastLot = 0;
    _ADDR_RESULT m_result;
    _ADDR_RESULT m_prev;
    bool m_currentPos = false;
    CString m_routeText;
    CString m_caption;
    int m_mode = 0;
    int m_depth = 0;
    int m_savedDepth = 0;
    int m_pointType = 0;
    NaviFlowString* m_flow = nullptr;
    bool m_directRouteAllowed = false;
};
