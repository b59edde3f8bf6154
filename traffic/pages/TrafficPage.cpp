#include "traffic/pages/TrafficPage.h"

#include "traffic/pages/TrafficPageSupport.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CTrafficPage, CPropertyPage)

using namespace trafficpage;

namespace {

// The list's column caption.
char16_t s_title[CTrafficPage::kTitleChars + 1] = u"전체 교통정보";
// The navigation state kept for the next opening: a copy of the database's state record, which
// the database overwrites on its next save.
sSAVETRAFFIC s_savedState;
// The last map-move request.
sMOVEMAP s_mapMove;

} // namespace

CTrafficPage::CTrafficPage() : CPropertyPage(IDD) {}

CTrafficPage::~CTrafficPage() = default;

void CTrafficPage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_CHILD;
    t.title = u"교통정보";
    const DWORD v = WS_VISIBLE | WS_TABSTOP;
    t.items = {
        {IDC_UP, WC_BUTTON, RECT{202, 6, 230, 34}, v, u"UP"},
        {IDC_TIME, WC_BUTTON, RECT{200, 80, 228, 137}, v, u"TIME"},
        {IDC_SPEED, WC_BUTTON, RECT{200, 80, 228, 137}, v, u"SPEED"},
        {IDC_DOWN, WC_BUTTON, RECT{202, 182, 230, 210}, v, u"DOWN"},
        {IDC_PREV, WC_BUTTON, RECT{6, 216, 56, 242}, v, u"이전"},
        {IDC_NEXT, WC_BUTTON, RECT{60, 216, 110, 242}, v, u"다음"},
        {IDC_MAPMOVE, WC_BUTTON, RECT{114, 216, 174, 242}, v, u"지도이동"},
        {IDC_ADD_INTEREST, WC_BUTTON, RECT{178, 216, 236, 242}, v, u"관심추가"},
    };
    AfxRegisterDialogTemplate(IDD, t);
}

void CTrafficPage::SetTitle(const CString& title) {
    const int n = std::min(title.GetLength(), kTitleChars);
    std::copy_n(title.GetString(), n, s_title);
    s_title[n] = 0;
}

CString CTrafficPage::GetTitle() {
    return CString(s_title);
}

BOOL CTrafficPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_up.AutoLoad(IDC_UP, this);
    m_down.AutoLoad(IDC_DOWN, this);
    m_speed.AutoLoad(IDC_SPEED, this);
    m_time.AutoLoad(IDC_TIME, this);
    m_speed.MoveWindow(200, 80, 28, 57);
    m_time.MoveWindow(200, 80, 28, 57);

    m_list = std::make_unique<TrafficSectionList>();
    CreateList(m_list.get(), this, RECT{10, 6, 198, 210}, IDC_LIST, CString(s_title), 180);
    SetUnit(0);
    if (!m_list->OpenDatabase()) {
        for (int id : {IDC_PREV, IDC_NEXT, IDC_MAPMOVE, IDC_ADD_INTEREST, IDC_TIME, IDC_SPEED, IDC_UP, IDC_DOWN})
            ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
        Notice(this, kNoDatabase);
        return FALSE;
    }
    ReadInterestFile();

    CSheetStorage* storage = CSheetStorage::instance();
    const sSAVETRAFFIC* stored = storage->RestoreTrafficPage();
    m_highWay = storage->RestoreHighWayFlag();
    // A stored state the tables no longer hold (they were replaced) starts again from the top.
    if (stored && m_list->RestoreState(stored)) {
        UpdateButtons();
        FillAndSelect(m_list->GetSelected());
    } else {
        if (stored) m_highWay = 0;
        UpdateButtons();
        FillAndSelect(0);
    }
    UpdateScrollButtons();
    return FALSE;
}

void CTrafficPage::FillAndSelect(int row) {
    m_list->Fill();
    if (m_list->GetItemCount() == 0) return;
    m_list->SelectRow(std::clamp(row, 0, m_list->GetItemCount() - 1));
}

void CTrafficPage::ReadInterestFile() {
    const CString path = CInterestRoadFile::PathOf(m_config);
    if (!path.IsEmpty()) CInterestRoadFile::Read(path.GetString(), m_slots);
}

void CTrafficPage::SetUnit(int unit) {
    m_unit = unit;
    if (m_list) m_list->SetUnit(unit);
    ShowUnitButtons(this, IDC_SPEED, IDC_TIME, unit);
}

void CTrafficPage::UpdateButtons() {
    if (!m_list || !m_list->IsOpen()) return;
    const int level = m_list->GetLevel();
    const bool sections = m_list->IsSectionLevel() != 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PREV), level != 0);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_NEXT), !sections);
    for (int id : {IDC_MAPMOVE, IDC_TIME, IDC_SPEED}) ::EnableWindow(::GetDlgItem(m_hWnd, id), sections);
    const bool add = (!m_highWay && level >= 2) || (m_highWay && level >= 1);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_ADD_INTEREST), add);
}

void CTrafficPage::UpdateScrollButtons() {
    trafficpage::UpdateScrollButtons(m_list.get(), this, IDC_UP, IDC_DOWN);
}

void CTrafficPage::Refresh(int force) {
    if (!m_list || !m_list->IsSectionLevel()) return;
    const int row = m_list->GetFirstSelected();
    m_list->ReloadLevel();
    m_list->RefreshSpeeds(force);
    if (row >= 0 && row < m_list->GetItemCount())
        m_list->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CTrafficPage::EnterSelected() {
    if (!m_list || !m_list->IsOpen()) return;
    const int row = std::max(0, m_list->GetFirstSelected());
    if (m_list->GetLevel() == 0) m_highWay = row == 0 ? 1 : 0;
    CSheetStorage::instance()->SetTrafficPrevInfo(row, m_list->GetItemText(row, 0));
    if (!m_list->EnterRecord(row)) return;
    const int select = m_list->IsSectionLevel() ? 1 : 0;
    FillAndSelect(select);
    UpdateButtons();
    m_list->SetSelected(select);
    m_mapMoveFlag = 0;
    UpdateScrollButtons();
}

void CTrafficPage::OnPrev() {
    if (!m_list->LevelUp()) return;
    m_mapMoveFlag = 0;
    FillAndSelect(m_list->GetSelected());
    UpdateButtons();
    UpdateScrollButtons();
}

void CTrafficPage::OnMapMove() {
    if (RequestMapMove(this, m_list.get(), m_list->GetFirstSelected(), &s_mapMove)) m_mapMoveFlag = 1;
}

void CTrafficPage::OnAddInterest() {
    const int slot = CInterestRoadFile::FindFree(m_slots);
    if (slot < 0) {
        CString text;
        text.Format(u"관심 도로 추가는 %d개만 가능합니다.삭제후 다시 시도 하여 주십시요", CInterestRoadFile::kSlots);
        Notice(this, text);
        return;
    }
    const bool sections = m_list->IsSectionLevel() != 0;
    const int row = std::max(0, m_list->GetFirstSelected());
    CString name;
    if (sections) {
        int prevRow = 0;
        CSheetStorage::instance()->GetTrafficPrevInfo(prevRow, name);
    } else {
        name = m_list->GetItemText(row, 0);
    }
    if (CInterestRoadFile::FindByName(m_slots, name.GetString()) >= 0) {
        CString text;
        text.Format(u" '%s'는 이미 관심 도로로 추가 되어 있습니다.", name.GetString());
        Notice(this, text);
        return;
    }
    if (sections) {
        CInterestRoadFile::Fill(m_slots[slot], slot, name.GetString(), *m_list->SaveState());
    } else {
        const sSAVETRAFFIC kept = *m_list->SaveState();
        if (!m_list->EnterRecord(row)) {
            Notice(this, u"관심 도로 추가에 실패 하였습니다");
            return;
        }
        CInterestRoadFile::Fill(m_slots[slot], slot, name.GetString(), *m_list->SaveState());
        m_list->RestoreState(&kept);
    }
    const CString path = CInterestRoadFile::PathOf(m_config);
    if (path.IsEmpty() || !CInterestRoadFile::Write(path.GetString(), m_slots, true)) {
        // Nothing was saved: the slot is free again, so the road is not reported as added.
        m_slots[slot] = InterestRoadSlot{};
        Notice(this, u"관심도로 파일 저장오류!");
        return;
    }
    CString text;
    text.Format(u" '%s' 를 관심 도로로 추가 하였습니다.", name.GetString());
    Notice(this, text);
    UpdateScrollButtons();
}

void CTrafficPage::OnScroll(int id) {
    CBitmapButton& button = id == IDC_UP ? m_up : m_down;
    button.SetState(TRUE);
    if (id == IDC_UP)
        m_list->ScrollUp();
    else
        m_list->ScrollDown();
    UpdateScrollButtons();
    button.SetState(FALSE);
}

BOOL CTrafficPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && m_list && m_list->IsOpen()) {
        switch (LOWORD(wParam)) {
        case IDC_PREV:
            OnPrev();
            return TRUE;
        case IDC_NEXT:
            EnterSelected();
            return TRUE;
        case IDC_MAPMOVE:
            OnMapMove();
            return TRUE;
        case IDC_ADD_INTEREST:
            OnAddInterest();
            return TRUE;
        case IDC_TIME:
            SetUnit(1);
            Refresh(1);
            return TRUE;
        case IDC_SPEED:
            SetUnit(0);
            Refresh(1);
            return TRUE;
        case IDC_UP:
        case IDC_DOWN:
            OnScroll(LOWORD(wParam));
            return TRUE;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

BOOL CTrafficPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (m_list && header && header->hwndFrom == m_list->m_hWnd && header->code == NM_DBLCLK) {
        if (m_list->OnDoubleTap()) EnterSelected();
        *result = 0;
        return TRUE;
    }
    return CPropertyPage::OnNotify(wParam, lParam, result);
}

BOOL CTrafficPage::OnSetActive() {
    if (m_list) {
        m_list->SetOwnerKind(1);
        Refresh(0);
        ReadInterestFile(); // the roads-of-interest tab may have changed it
    }
    SetTimer(kRefreshTimer, kRefreshMs);
    return CPropertyPage::OnSetActive();
}

BOOL CTrafficPage::OnKillActive() {
    KillTimer(kRefreshTimer);
    return CPropertyPage::OnKillActive();
}

void CTrafficPage::OnTimer(UINT_PTR id) {
    if (id == kRefreshTimer) {
        Refresh(0);
        return;
    }
    CPropertyPage::OnTimer(id);
}

void CTrafficPage::OnDestroy() {
    if (m_list && m_list->IsOpen()) {
        s_savedState = *m_list->SaveState();
        CSheetStorage::instance()->StoreTrafficPage(&s_savedState);
        CSheetStorage::instance()->StoreHighWayFlag(m_highWay);
    }
    KillTimer(kRefreshTimer);
    m_list.reset();
    CPropertyPage::OnDestroy();
}

BOOL CTrafficPage::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedKey(msg)) return TRUE;
    return CPropertyPage::PreTranslateMessage(msg);
}
