// The registered-point tab ("등록지점관리"): the registered points folder by folder with their
// location codes; a point is shown on the map or routed to at once, deleted, or the folders are
// managed through the point registration dialog.
#pragma once

#include "app/PointDialogBase.h"
#include "platform/window/AfxControls.h"

#include <cstdint>
#include <vector>

class CPointTabDlg : public CPointDialogBase {
public:
    static constexpr UINT kTemplate = 109;
    static constexpr int kListPoints = 1026;
    static constexpr int kListFolders = 1688;
    // Results: 1 show on the map, 2 route at once, 3 closed, 4 current position.
    static constexpr int kResultShow = 1;
    static constexpr int kResultRoute = 2;
    static constexpr int kResultClosed = 3;
    static constexpr int kResultHere = 4;

    // What the shell keeps between openings.
    struct ListState {
        int pointRow = 0;
        int folderRow = 0;
        int type = kTypeMove;
    };
    // One point row: its row in its folder and its stored (network) position.
    struct PointRow {
        int row = 0;
        std::int32_t x = 0;
        std::int32_t y = 0;
        CString name;
        CString code;
    };

    explicit CPointTabDlg(CWnd* parent);

    void SetDirectRoute(bool on) { m_directRoute = on; }
    void SetListState(const ListState& state);
    const ListState& GetListState() const { return m_state; }
    // The chosen point (network coordinates as stored); false when none was chosen.
    bool GetSelectedPoint(std::int32_t& x, std::int32_t& y, CString& name) const;
    int GetResult() const { return m_result; }
    const std::vector<CString>& GetFolderRows() const { return m_folderRows; }
    const std::vector<PointRow>& GetPointRows() const { return m_points; }
    const CString& GetCurrentFolder() const { return m_folder; }

    // The location code of a stored position, "%03d-%03d-%01d%01d%01d%01d" (fine x, fine y,
    // sheet column, sheet row, sub-column, sub-row); empty outside the covered area.
    static CString DorvaText(std::int32_t netX, std::int32_t netY);

    void ProcessEvent(NaviCommand& cmd) override;
    // Enter ends the tab as Escape does, with the result as it is.
    void OnOK() override;

protected:
    void AddTemplateItems(DialogTemplateInfo& info) override;
    void OnOpen() override;
    bool KeepsDialogKeys() const override { return true; }
    bool SwallowsEraseBackground() const override { return true; }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void FillLists();
    int SelectedPointRow() const;
    void Choose();
    void DeletePoint();
    void ManageFolders();
    void EditPoint();

    bool m_chosen = false;
    bool m_directRoute = false;
    std::int32_t m_x = -1;
    std::int32_t m_y = -1;
    CString m_name;
    int m_page = 0;
    CString m_folder = u"기본";
    ListState m_state;
    int m_listFocus = 1; // 1 the folder list was tapped last, 2 the point list
    int m_result = kResultClosed;
    CListCtrl m_pointList;
    CListCtrl m_folderList;
    std::vector<CString> m_folderRows;
    std::vector<PointRow> m_points; // the point list's item data are indexes into this
};
