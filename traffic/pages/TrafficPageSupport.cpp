#include "traffic/pages/TrafficPageSupport.h"

namespace trafficpage {

void Notice(CWnd* /*page*/, const CString& text) {
    AfxMessageBox(text.GetString(), MB_OK);
}

void UpdateScrollButtons(TrafficSectionList* list, CWnd* page, int upId, int downId) {
    if (!list || !list->m_hWnd || !page) return;
    const int top = list->GetTopIndex();
    ::EnableWindow(::GetDlgItem(page->m_hWnd, upId), top != 0);
    ::EnableWindow(::GetDlgItem(page->m_hWnd, downId), top + list->GetCountPerPage() < list->GetItemCount());
}

void ShowUnitButtons(CWnd* page, int speedId, int timeId, int unit) {
    ::ShowWindow(::GetDlgItem(page->m_hWnd, speedId), unit ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(page->m_hWnd, timeId), unit ? SW_HIDE : SW_SHOW);
}

bool RequestMapMove(CPropertyPage* page, TrafficSectionList* list, int row, sMOVEMAP* move) {
    if (!list || !list->IsSectionLevel()) return false;
    if (row < 0) row = 0;
    if (row % 2 == 0) {
        Notice(page, kNothingSelected);
        return false;
    }
    const int section = row / 2;
    const int x = list->GetSectionX(section);
    const int y = list->GetSectionY(section);
    if (x == 0 || y == 0) {
        Notice(page, kCannotMove);
        return false;
    }
    move->x = x;
    move->y = y;
    move->extent = static_cast<std::uint32_t>(list->GetSectionLength(section));
    move->code = list->GetGridCode(section);
    CSheetStorage::instance()->SetMapMove(move);
    CSheetStorage::instance()->SetMapMoveFlag(1);
    if (CPropertySheet* sheet = page->GetSheet()) sheet->PostMessage(WM_CLOSE);
    page->OnOK();
    return true;
}

bool IsSwallowedKey(const MSG* msg) {
    return msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE);
}

bool CreateList(TrafficSectionList* list, CWnd* page, const RECT& rect, UINT id, const CString& caption, int width,
                int format) {
    if (!list->Create(rect, page, id)) return false;
    list->InsertColumn(0, caption.GetString(), format, width);
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list->SetBkColor(RGB(255, 255, 255));
    if (CWnd* header = list->GetHeaderCtrl()) header->EnableWindow(FALSE);
    list->SetFocus();
    return true;
}

} // namespace trafficpage
