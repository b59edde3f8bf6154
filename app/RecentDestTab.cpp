#include "app/RecentDestTab.h"

#include "app/RecentDestList.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/window/Afx.h"
#include "skinui/controls/NaviControlIds.h"

#include <cstring>

namespace {
constexpr RECT kListRect{11, 50, 11 + 218, 50 + 194};
constexpr int kStringRouteNeedsDestination = 61210;
} // namespace

CRecentDestTab::CRecentDestTab(CWnd* parent, CRecentDestList& list, const CString& listFile)
    : CPointDialogBase(kTemplate, parent), m_list(list), m_listFile(listFile) {}

void CRecentDestTab::AddTemplateItems(DialogTemplateInfo& info) {
    info.items.push_back(DialogItem{kListControl, WC_LISTBOX, kListRect,
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY, u"", 0});
}

CString CRecentDestTab::RowText(const CString& name, int waypoint) {
    CString text;
    if (waypoint >= 1 && waypoint <= 5) text.Format(u"%s - 경유지%d", name.GetString(), waypoint);
    else text = name; // the destination itself (and any number this system never writes)
    return text;
}

void CRecentDestTab::OnOpen() {
    m_listBox.SubclassDlgItem(kListControl, this);
    m_listBox.MoveWindow(kListRect.left, kListRect.top, kListRect.right - kListRect.left,
                         kListRect.bottom - kListRect.top);
    FillList();
    const int tab = GetPanelName() == u"최근목적지" ? TabIndexForType(m_selection.type) : -1;
    SendToPanel(u"텝_최근목적지", kCmdSelect, tab);
    m_openedTab = tab;
}

void CRecentDestTab::FillList() {
    m_listBox.ResetContent();
    m_rows.clear();
    for (int i = 0; i < m_list.GetCount(); ++i) {
        const CRecentDestRecord* r = m_list.GetAt(i);
        m_rows.push_back(RowText(FromCp949(r->name, CRecentDestRecord::kNameSize), r->kind));
        m_listBox.AddString(m_rows.back().GetString());
    }
    m_listBox.SetCurSel(m_selection.index);
}

bool CRecentDestTab::GetSelection(CSelectedPoint& point) {
    const CRecentDestRecord* r = m_list.GetAt(m_selection.index);
    if (!r) return false;
    std::memcpy(m_selection.name, r->name, CSelectedPoint::kNameSize - 1);
    m_selection.name[CSelectedPoint::kNameSize - 1] = '\0';
    m_selection.x = r->x;
    m_selection.y = r->y;
    m_selection.kind = CSelectedPoint::kRecentDestination;
    point = m_selection;
    return true;
}

void CRecentDestTab::ProcessEvent(NaviCommand& cmd) {
    m_selection.index = m_listBox.GetSafeHwnd() ? m_listBox.GetCurSel() : -1;
    const CString& control = cmd.target;
    if (control == u"이전") {
        m_result = kClosed;
        Close();
    } else if (control == u"현위치") {
        m_result = kCurrentPosition;
        Close();
    } else if (control == u"삭제") {
        Delete();
    } else if (control == u"위치보기") {
        m_result = kShow;
        if (m_listBox.GetCurSel() >= 0) Close();
    } else if (control == u"바로탐색") {
        if (m_listBox.GetCurSel() < 0) {
            m_result = kClosed;
            Notify(u"선택한 최근목적지가 없습니다.");
            return;
        }
        m_result = kRouteNow;
        if (m_directRoute || m_selection.type == kTypeDestination || m_selection.type == kTypeMove) {
            Close();
            return;
        }
        m_result = kClosed;
        Notify(AfxLoadString(kStringRouteNeedsDestination));
    } else if (control == u"텝_최근목적지") {
        const int type = TypeForTabName(cmd.text);
        if (type == 0) Close();
        else m_selection.type = type;
    } else {
        Close();
    }
}

void CRecentDestTab::Delete() {
    const int row = m_listBox.GetCurSel();
    if (row < 0 || !m_list.GetAt(row)) return;
    CString text, question;
    m_listBox.GetText(row, text);
    question.Format(u"'%s'를 삭제 하시겠습니까?", text.GetString());
    if (Ask(question) != NaviMessageBox::kYes) return;
    // The row the user chose goes (not the first entry at its place), then the list is put back
    // in its order and shown again, so that rows and entries match.
    m_list.RemoveAt(row);
    m_list.StableSort([](const CRecentDestRecord& a, const CRecentDestRecord& b) { return a.values[0] < b.values[0]; });
    m_list.SaveTo(m_listFile.GetString()); // a failed save leaves the old file whole
    const int count = m_list.GetCount();
    m_selection.index = row < count ? row : row - 1;
    FillList();
}
