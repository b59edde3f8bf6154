#include "traffic/pages/CurrentTrafficPage.h"

#include "traffic/pages/TrafficPageSupport.h"
#include "traffic/receiver/DARC.h"

IMPLEMENT_DYNAMIC(CCurrentTrafficPage, CPropertyPage)

using namespace trafficpage;

namespace {

// The last map-move request.
sMOVEMAP s_mapMove;

} // namespace

CCurrentTrafficPage::CCurrentTrafficPage() : CPropertyPage(IDD) {}

CCurrentTrafficPage::~CCurrentTrafficPage() = default;

void CCurrentTrafficPage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_CHILD;
    t.title = u"주행";
    t.items = {{IDC_MAPMOVE, WC_BUTTON, RECT{80, 216, 160, 242}, WS_VISIBLE | WS_TABSTOP, u"지도이동"}};
    AfxRegisterDialogTemplate(IDD, t);
}

BOOL CCurrentTrafficPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_list = std::make_unique<TrafficSectionList>();
    m_header = u"주행도로 교통정보";
    CreateList(m_list.get(), this, RECT{5, 5, 230, 210}, IDC_LIST, m_header, kColumnWidth);
    if (!m_list->OpenDatabase()) {
        Notice(this, kNoDatabase);
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MAPMOVE), FALSE);
        return FALSE;
    }
    ShowDrivingRoad();
    return FALSE;
}

void CCurrentTrafficPage::SetHeader(const CString& text) {
    m_header = text;
    m_list->DeleteColumn(0);
    m_list->InsertColumn(0, text.GetString(), LVCFMT_CENTER, kColumnWidth);
}

bool CCurrentTrafficPage::ShowDrivingRoad() {
    if (!m_list || !m_list->IsOpen()) return false;
    unsigned long first = 0, second = 0;
    CDARC::instance()->GetMatchDARCID(first, second);
    const sSAVETRAFFIC* found = nullptr;
    TrafficRoadDB* db = m_list->Database();
    if (first != 0 || second != 0)
        found = db->FindDrivingRoad(static_cast<unsigned short>(first & 0xFFFF),
                                    static_cast<unsigned short>(second & 0xFFFF));
    if (found) {
        CString header;
        header.Format(u"%s%s", u"주행도로 - ", db->GetDrivingRoadName());
        SetHeader(header);
        const int row = db->GetDrivingRow();
        if (m_list->RestoreState(found)) {
            m_list->Fill();
            m_list->SelectRow(row);
        }
    } else {
        SetHeader(CString(u"주행도로 -  해당도로 없음"));
        m_list->DeleteAllItems();
    }
    m_list->Invalidate();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MAPMOVE), found != nullptr);
    return found != nullptr;
}

void CCurrentTrafficPage::OnMapMove() {
    // The first selected row among the rows on view; none counts as row 0.
    const int top = m_list->GetTopIndex();
    int row = 0;
    for (int i = top; i < top + m_list->GetCountPerPage() && i < m_list->GetItemCount(); ++i)
        if (m_list->GetItemState(i, LVIS_SELECTED)) {
            row = i;
            break;
        }
    RequestMapMove(this, m_list.get(), row, &s_mapMove);
}

BOOL CCurrentTrafficPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_MAPMOVE && m_list && m_list->IsOpen()) {
        OnMapMove();
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

BOOL CCurrentTrafficPage::OnSetActive() {
    ShowDrivingRoad();
    SetTimer(kRefreshTimer, kRefreshMs);
    return CPropertyPage::OnSetActive();
}

BOOL CCurrentTrafficPage::OnKillActive() {
    KillTimer(kRefreshTimer);
    return CPropertyPage::OnKillActive();
}

void CCurrentTrafficPage::OnTimer(UINT_PTR id) {
    if (id == kRefreshTimer) {
        ShowDrivingRoad();
        return;
    }
    CPropertyPage::OnTimer(id);
}

void CCurrentTrafficPage::OnDestroy() {
    KillTimer(kRefreshTimer);
    m_list.reset();
    CPropertyPage::OnDestroy();
}
