// The recent destinations: a full-screen list from which the user shows a destination on the map
// ("위치보기"), routes to it at once ("바로탐색") or deletes it ("삭제", after a question); the
// point tabs choose what the chosen point becomes (start, destination, waypoint, map move). The
// view reads the result and the chosen point afterwards.
#pragma once

#include "app/PointDialogBase.h"
#include "app/SelectedPoint.h"
#include "platform/window/AfxControls.h"

#include <vector>

class CRecentDestList;

class CRecentDestTab : public CPointDialogBase {
public:
    static constexpr UINT kTemplate = 990;
    static constexpr int kListControl = 1679;
    // Results.
    static constexpr int kShow = 1;
    static constexpr int kRouteNow = 2;
    static constexpr int kClosed = 3;
    static constexpr int kCurrentPosition = 4;

    // The list and the file it is saved to after a deletion.
    CRecentDestTab(CWnd* parent, CRecentDestList& list, const CString& listFile);

    void SetDirectRoute(bool on) { m_directRoute = on; }
    void SetSelection(const CSelectedPoint& point) { m_selection = point; }
    int GetResult() const { return m_result; }
    // The chosen row's name, x and y with the row and type; false when the row is not a list
    // entry.
    bool GetSelection(CSelectedPoint& point);

    void ProcessEvent(NaviCommand& cmd) override;
    // What the list showed last, and the tab selected on opening (-1 none).
    const std::vector<CString>& GetRows() const { return m_rows; }
    int GetOpenedTab() const { return m_openedTab; }

    // A row's text: the name, with " - 경유지n" for the n-th waypoint of a route (1 to 5).
    static CString RowText(const CString& name, int waypoint);

protected:
    void AddTemplateItems(DialogTemplateInfo& info) override;
    void OnOpen() override;

private:
    void FillList();
    void Delete();

    CRecentDestList& m_list;
    CString m_listFile;
    int m_result = kClosed;
    bool m_directRoute = false;
    CSelectedPoint m_selection;
    CListBox m_listBox;
    std::vector<CString> m_rows;
    int m_openedTab = -1;
};
