#include "traffic/pages/DARCStockPage.h"

#include "traffic/pages/DARCStock.h"
#include "traffic/pages/SearchStock.h"
#include "traffic/pages/StockDetailDialog.h"
#include "traffic/pages/StockIndexDialog.h"
#include "traffic/pages/StockSearchDialog.h"

IMPLEMENT_DYNCREATE(CDARCStockPage, CPropertyPage)

CDARCStockPage::CDARCStockPage() : CPropertyPage(IDD) {
    RegisterTemplate();
}

CDARCStockPage::~CDARCStockPage() = default;

void CDARCStockPage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.dialogUnits = true;
    t.rect = RECT{0, 0, 137, 153}; // 240 x 268 pixels
    t.style = WS_CHILD;
    t.title = u"증권";
    const DWORD v = WS_VISIBLE | WS_TABSTOP;
    t.items = {
        {IDC_ADD, WC_BUTTON, RECT{3, 124, 3 + 33, 124 + 14}, v, u"추가"},
        {IDC_DELETE, WC_BUTTON, RECT{36, 124, 36 + 33, 124 + 14}, v, u"삭제"},
        {IDC_DETAIL, WC_BUTTON, RECT{69, 124, 69 + 33, 124 + 14}, v, u"상세"},
        {IDC_INDEX, WC_BUTTON, RECT{102, 124, 102 + 33, 124 + 14}, v, u"지수"},
        {IDC_TIME, WC_STATIC, RECT{58, 4, 58 + 76, 4 + 8}, WS_VISIBLE | SS_RIGHT, u""},
    };
    AfxRegisterDialogTemplate(IDD, t);
}

BOOL CDARCStockPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SearchStock::instance();
    m_time.SubclassDlgItem(IDC_TIME, this);
    m_list = std::make_unique<InterestStockList>();
    if (!m_list->CreateList(RECT{8, 25, 232, 215}, this, IDC_LIST)) m_list.reset();
    Refresh(true);
    return TRUE;
}

BOOL CDARCStockPage::OnSetActive() {
    SetTimer(kRefreshTimer, kRefreshMs);
    return CPropertyPage::OnSetActive();
}

BOOL CDARCStockPage::OnKillActive() {
    KillTimer(kRefreshTimer);
    return CPropertyPage::OnKillActive();
}

void CDARCStockPage::OnTimer(UINT_PTR id) {
    if (id == kRefreshTimer) Refresh(false);
    // Timer 7000 is not used.
}

void CDARCStockPage::Refresh(bool forced) {
    if ((!forced && m_busy) || !m_list) return;
    CTime time;
    if (CDARCStock::instance()->GetLastUpdatedTime(time)) {
        CString text;
        text.Format(u"%d월 %d일 %2d:%02d 현재", time.GetMonth(), time.GetDay(), time.GetHour(),
                    time.GetMinute());
        m_time.SetWindowText(text);
    }
    SearchStock* keeper = SearchStock::instance();
    const int count = keeper->GetStockInterestCount();
    if (count >= 1) {
        // Rows in place keep their selection; a list of another length starts over unselected.
        if (m_list->GetItemCount() != 0 && m_list->GetItemCount() != count) m_list->DeleteAllItems();
        for (int i = 0; i < count; ++i) {
            StockInterest stock;
            if (keeper->GetInfoForInterestSel(i, stock)) m_list->SetRow(i, stock);
        }
        m_list->RedrawItems(0, count - 1);
    }
    UpdateButtons();
}

void CDARCStockPage::UpdateButtons() {
    const bool selected = m_list && m_list->GetSelectedRow() >= 0;
    if (CWnd* del = GetDlgItem(IDC_DELETE)) del->EnableWindow(selected);
    if (CWnd* detail = GetDlgItem(IDC_DETAIL)) detail->EnableWindow(selected);
}

void CDARCStockPage::Reload() {
    if (m_list) m_list->DeleteAllItems();
    Refresh(true);
}

void CDARCStockPage::PauseRefresh() {
    m_busy = 1;
    KillTimer(kRefreshTimer);
}

void CDARCStockPage::ResumeRefresh() {
    SetTimer(kRefreshTimer, kRefreshMs);
    m_busy = 0;
}

void CDARCStockPage::OnAdd() {
    PauseRefresh();
    StockSearchDialog search(this);
    if (search.DoModal() == IDOK) {
        StockIndex stock;
        if (SearchStock::instance()->GetStockIndexForAllSel(search.GetSelected(), stock))
            SearchStock::instance()->AddInterest(stock.code, stock.suffix, stock.name);
        Reload();
    }
    ResumeRefresh();
}

void CDARCStockPage::OnDelete() {
    PauseRefresh();
    const int row = m_list ? m_list->GetSelectedRow() : -1;
    if (row >= 0 && MessageBox(u"선택된 종목을 관심리스트에서 삭제하시겠습니까?", u"",
                               MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
        SearchStock::instance()->DeleteInterest(row);
        Reload();
    }
    ResumeRefresh();
}

void CDARCStockPage::OnDetail() {
    const int row = m_list ? m_list->GetSelectedRow() : -1;
    if (row < 0) return;
    PauseRefresh();
    StockInterest stock;
    if (SearchStock::instance()->GetInfoForInterestSel(row, stock)) {
        StockDetailDialog detail(stock, this);
        detail.DoModal();
    }
    ResumeRefresh();
}

void CDARCStockPage::OnIndex() {
    PauseRefresh();
    StockIndexDialog index(this);
    index.DoModal();
    ResumeRefresh();
}

BOOL CDARCStockPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_ADD:
            OnAdd();
            return TRUE;
        case IDC_DELETE:
            OnDelete();
            return TRUE;
        case IDC_DETAIL:
            OnDetail();
            return TRUE;
        case IDC_INDEX:
            OnIndex();
            return TRUE;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

BOOL CDARCStockPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->idFrom == IDC_LIST && header->code == LVN_ITEMCHANGED) UpdateButtons();
    return CPropertyPage::OnNotify(wParam, lParam, result);
}

void CDARCStockPage::OnSheetDestroy() {
    if (!m_list) return;
    m_list->DeleteAllItems();
    m_list->DestroyWindow();
    m_list.reset();
    SearchStock::instance()->Exit();
}
