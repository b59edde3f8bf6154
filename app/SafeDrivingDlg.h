// The safe-driving points ("안전운행관리"): the points the user registered (list kind 0) and the
// supplied points the user switched off (list kind 1). A registered point can be deleted, a
// switched-off one restored; either can be shown on the map or routed to, as in the recent
// destinations. The view reads the result, the chosen point and whether a point was restored.
#pragma once

#include "app/PointDialogBase.h"
#include "app/SelectedPoint.h"
#include "platform/window/AfxControls.h"

#include <vector>

class CSafePointList;
class NaviCheckButton;

// The point hand-over record with the list it was chosen from in front.
class CSafePointSelection : public CSelectedPoint {
public:
    void Reset() { *this = CSafePointSelection(); }
    std::int32_t listKind = 0; // 0 registered points, 1 switched-off points
};

class CSafeDrivingDlg : public CPointDialogBase {
public:
    static constexpr UINT kTemplate = 661;
    static constexpr int kListControl = 1134;
    static constexpr int kShow = 1;
    static constexpr int kRouteNow = 2;
    static constexpr int kClosed = 3;
    static constexpr int kCurrentPosition = 4;

    // The two lists and the files each is saved to after a change.
    CSafeDrivingDlg(CWnd* parent, CSafePointList& registered, const CString& registeredFile,
                    CSafePointList& switchedOff, const CString& switchedOffFile);

    void SetDirectRoute(bool on) { m_directRoute = on; }
    void SetSelection(const CSafePointSelection& selection) { m_selection = selection; }
    int GetResult() const { return m_result; }
    // The chosen row's point (name, map x and y) with the list kind, row and type; false when
    // the row is not an entry of the current list.
    bool GetSelection(CSafePointSelection& selection);
    // True once a switched-off point was restored (the view hands the list to guidance again).
    bool WasRestored() const { return m_restored; }

    void ProcessEvent(NaviCommand& cmd) override;
    // What the list showed last, and the push button's name ("삭제" or "복원").
    const std::vector<CString>& GetRows() const { return m_rows; }
    CString GetButtonName() const;

    // A registered point's row: its id with at least three digits, "@", its name.
    static CString RegisteredRowText(long id, const CString& name);

protected:
    void AddTemplateItems(DialogTemplateInfo& info) override;
    void OnOpen() override;

private:
    CSafePointList& CurrentList() const;
    const CString& CurrentFile() const;
    void FillList();
    void DeleteOrRestore();

    bool m_restored = false;
    CSafePointSelection m_selection;
    int m_result = kClosed;
    bool m_directRoute = false;
    NaviCheckButton* m_button = nullptr; // owned by the panel
    CListBox m_listBox;
    std::vector<CString> m_rows;
    CString m_buttonName;
    CSafePointList& m_registered;
    CString m_registeredFile;
    CSafePointList& m_switchedOff;
    CString m_switchedOffFile;
};
