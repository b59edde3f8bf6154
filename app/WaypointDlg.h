// The waypoint management screen "경유지관리": the waypoints of the route being edited (at most
// five), to show one on the map, move it elsewhere, delete it, move it up or down in the order, or
// search the route again. Reordering happens at once in the route manager under the route lock;
// every other choice closes the screen with an action code the caller carries out.
#pragma once

#include "platform/window/Dialog.h"
#include "skinui/CNaviDialogBroker.h"
#include "skinui/NaviListener.h"

class CLockSet;
class CRouteManager;
class NaviCheckButton;

class CWaypointDlg : public CDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 680;
    static constexpr int kRows = 5;
    static constexpr int kActionReordered = 14;
    static constexpr DWORD kLockWaitMs = 10;

    // The lock set guards the route manager against the workers that read the route.
    explicit CWaypointDlg(CLockSet& routeLocks, CWnd* parent = nullptr);
    ~CWaypointDlg() override;

    void SetMode(bool fromMenu) { m_mode = fromMenu ? 1 : 0; }
    void SetRouteManager(CRouteManager* manager) { m_routeManager = manager; }
    CNaviDialogBroker& Broker() { return m_broker; }
    int GetActionCode() const { return m_action; }
    int GetSelection() const { return m_selection; }
    const CString& GetSelectedText() const { return m_selectedText; }
    bool IsClosed() const { return m_closed; }

    // Makes the window modeless (the tool and tests); DoModal for the view.
    BOOL Create(CWnd* parent);
    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

    // The first marked row, or -1.
    int MarkedRow() const;
    // A row's text and whether it shows (for the caller's checks).
    CString RowText(int row) const;
    bool IsRowShown(int row) const;
    bool IsRowMarked(int row) const;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    BOOL OnEraseBkgnd(CDC* dc) override;

private:
    void Close();
    void RefreshRows();
    bool Move(int from, bool up);
    bool NoneMarked();

    CNaviDialogBroker m_broker;
    CLockSet& m_locks;
    std::uint8_t m_mode = 1;
    CRouteManager* m_routeManager = nullptr;
    NaviCheckButton* m_rows[kRows] = {};
    int m_selection = -1;
    int m_action = 4;
    CString m_selectedText;
    bool m_closed = false;
};
