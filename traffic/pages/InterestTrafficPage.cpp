#include "traffic/pages/InterestTrafficPage.h"

#include "traffic/pages/TrafficPageSupport.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CInterestTrafficPage, CPropertyPage)

using namespace trafficpage;

namespace {

// The last map-move request.
sMOVEMAP s_mapMove;

} // namespace

CInterestTrafficPage::CInterestTrafficPage() : CPropertyPage(IDD) {}

CInterestTrafficPage::~CInterestTrafficPage() = default;

void CInterestTrafficPage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_CHILD;
    t.title = u"관심";
    const DWORD v = WS_VISIBLE | WS_TABSTOP;
    t.items = {
        {IDC_UP, WC_BUTTON, RECT{202, 6, 230, 34}, v, u"UP"},
        {IDC_TIME, WC_BUTTON, RECT{200, 80, 228, 137}, v, u"TIME"},
        {IDC_SPEED, WC_BUTTON, RECT{200, 80, 228, 137}, v, u"SPEED"},
        {IDC_DOWN, WC_BUTTON, RECT{202, 182, 230, 210}, v, u"DOWN"},
        {IDC_PREV, WC_BUTTON, RECT{6, 216, 56, 242}, v, u"이전"},
        {IDC_NEXT, WC_BUTTON, RECT{60, 216, 110, 242}, v, u"다음"},
        {IDC_MAPMOVE, WC_BUTTON, RECT{114, 216, 174, 242}, v, u"지도이동"},
        {IDC_DELETE, WC_BUTTON, RECT{178, 216, 236, 242}, v, u"관심삭제"},
    };
    AfxRegisterDialogTemplate(IDD, t);
}

bool CInterestTrafficPage::ReadFile() {
    const CString path = CInterestRoadFile::PathOf(m_config);
    return !path.IsEmpty() && CInterestRoadFile::Read(path.GetString(), m_slots);
}

bool CInterestTrafficPage::WriteFile() {
    // Only the traffic tab creates the file; here it is replaced only when it exists.
    const CString path = CInterestRoadFile::PathOf(m_config);
    return !path.IsEmpty() && CInterestRoadFile::Write(path.GetString(), m_slots, false);
}

BOOL CInterestTrafficPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_up.AutoLoad(IDC_UP, this);
    m_down.AutoLoad(IDC_DOWN, this);
    m_speed.AutoLoad(IDC_SPEED, this);
    m_time.AutoLoad(IDC_TIME, this);
    m_speed.MoveWindow(200, 80, 28, 57);
    m_time.MoveWindow(200, 80, 28, 57);

    m_list = std::make_unique<TrafficSectionList>();
    CreateList(m_list.get(), this, RECT{10, 6, 198, 210}, IDC_LIST, CString(u"관심도로 교통정보"), 180);
    SetUnit(1);
    if (!m_list->OpenDatabase()) {
        Notice(this, kNoDatabase);
        for (int id : {IDC_PREV, IDC_NEXT, IDC_MAPMOVE, IDC_DELETE, IDC_TIME, IDC_SPEED, IDC_UP, IDC_DOWN})
            ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
        return FALSE;
    }
    // The tables may have been replaced since the roads were stored: each road is looked up by
    // its name again.
    if (ReadFile()) {
        m_list->Database()->ReanchorInterestRoads(CInterestRoadFile::kSlots, m_slots);
        WriteFile();
    }

    int slot = -1, row = -1;
    CSheetStorage::instance()->RestoreInterestIndex(slot, row);
    if (slot >= 0 && slot < CInterestRoadFile::kSlots && m_slots[slot].IsUsed() &&
        m_list->RestoreState(&m_slots[slot].state)) {
        m_shownSlot = slot;
        m_list->Fill();
        if (row >= 0 && row < m_list->GetItemCount()) m_list->SelectRow(row);
        UpdateButtons();
    } else {
        ShowRoadList();
    }
    UpdateScrollButtons();
    return FALSE;
}

void CInterestTrafficPage::ShowRoadList() {
    m_shownSlot = -1;
    m_list->SetMode(0);
    m_list->DeleteAllItems();
    for (const InterestRoadSlot& slot : m_slots) {
        if (!slot.IsUsed()) continue;
        TrafficSectionInfo info{};
        std::memcpy(info.roadName, slot.name, std::min(sizeof info.roadName, sizeof slot.name));
        info.roadName[sizeof info.roadName - 1] = 0;
        m_list->AddItem(info);
    }
    int row = 0;
    CString name;
    CSheetStorage::instance()->GetInterestPrevInfo(row, name);
    if (row >= 0 && row < m_list->GetItemCount()) m_list->SelectRow(row);
    UpdateButtons();
}

void CInterestTrafficPage::SetUnit(int unit) {
    m_unit = unit;
    if (m_list) m_list->SetUnit(unit);
    ShowUnitButtons(this, IDC_SPEED, IDC_TIME, unit);
}

void CInterestTrafficPage::UpdateButtons() {
    if (!m_list || !m_list->IsOpen()) return;
    const bool rows = m_list->GetItemCount() > 0;
    const bool sections = m_shownSlot >= 0 && m_list->IsSectionLevel();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PREV), rows && sections);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_NEXT), rows && !sections);
    for (int id : {IDC_MAPMOVE, IDC_TIME, IDC_SPEED}) ::EnableWindow(::GetDlgItem(m_hWnd, id), rows && sections);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_DELETE), rows);
}

void CInterestTrafficPage::UpdateScrollButtons() {
    trafficpage::UpdateScrollButtons(m_list.get(), this, IDC_UP, IDC_DOWN);
}

void CInterestTrafficPage::Refresh(int force) {
    if (!m_list || m_shownSlot < 0 || !m_list->IsSectionLevel()) return;
    const int row = m_list->GetFirstSelected();
    m_list->ReloadLevel();
    m_list->RefreshSpeeds(force);
    if (row >= 0 && row < m_list->GetItemCount())
        m_list->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CInterestTrafficPage::OpenSelectedRoad() {
    if (!m_list || !m_list->IsOpen() || m_shownSlot >= 0) return;
    const int row = m_list->GetFirstSelected();
    if (row < 0) return;
    const CString name = m_list->GetItemText(row, 0);
    CSheetStorage::instance()->SetInterestPrevInfo(row, name);
    const int slot = CInterestRoadFile::FindByName(m_slots, name.GetString());
    if (slot < 0 || !m_list->RestoreState(&m_slots[slot].state)) return;
    m_shownSlot = slot;
    m_list->Fill();
    m_list->SelectRow(1);
    m_list->SetSelected(1);
    UpdateButtons();
    UpdateScrollButtons();
}

void CInterestTrafficPage::OnPrev() {
    m_list->LevelUp();
    ShowRoadList();
    UpdateScrollButtons();
}

void CInterestTrafficPage::OnDelete() {
    const bool sections = m_shownSlot >= 0;
    int row = 0;
    CString name;
    if (sections) {
        CSheetStorage::instance()->GetInterestPrevInfo(row, name);
    } else {
        row = m_list->GetFirstSelected();
        if (row < 0) {
            Notice(this, u"관심도로에서 삭제할 도로를 선택 하여 주세요.");
            return;
        }
        name = m_list->GetItemText(row, 0);
    }
    CString question;
    question.Format(u" '%s'를 관심 도로에서 삭제 하시겠습니까?", name.GetString());
    if (MessageBox(question.GetString(), u"관심 도로삭제", MB_YESNO) != IDYES) return;
    const int slot = CInterestRoadFile::FindByName(m_slots, name.GetString());
    if (slot >= 0) m_slots[slot] = InterestRoadSlot{};
    if (sections) {
        m_list->LevelUp();
        ShowRoadList();
    } else {
        m_list->DeleteItem(row);
    }
    const int count = m_list->GetItemCount();
    if (count > 0) m_list->SelectRow(row < count ? row : count - 1);
    WriteFile();
    UpdateButtons();
    UpdateScrollButtons();
}

void CInterestTrafficPage::OnScroll(int id) {
    CBitmapButton& button = id == IDC_UP ? m_up : m_down;
    button.SetState(TRUE);
    if (id == IDC_UP)
        m_list->ScrollUp();
    else
        m_list->ScrollDown();
    UpdateScrollButtons();
    button.SetState(FALSE);
}

BOOL CInterestTrafficPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && m_list && m_list->IsOpen()) {
        switch (LOWORD(wParam)) {
        case IDC_PREV:
            OnPrev();
            return TRUE;
        case IDC_NEXT:
            OpenSelectedRoad();
            return TRUE;
        case IDC_MAPMOVE:
            if (m_shownSlot >= 0) RequestMapMove(this, m_list.get(), m_list->GetFirstSelected(), &s_mapMove);
            return TRUE;
        case IDC_DELETE:
            OnDelete();
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

BOOL CInterestTrafficPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (m_list && header && header->hwndFrom == m_list->m_hWnd && header->code == NM_DBLCLK) {
        if (m_list->OnDoubleTap() && m_shownSlot < 0) OpenSelectedRoad();
        *result = 0;
        return TRUE;
    }
    return CPropertyPage::OnNotify(wParam, lParam, result);
}

BOOL CInterestTrafficPage::OnSetActive() {
    if (m_list && m_list->IsOpen()) {
        m_list->SetOwnerKind(0);
        ReadFile(); // the traffic tab may have added a road
        if (m_shownSlot < 0) ShowRoadList();
        Refresh(0);
        UpdateButtons();
    }
    SetTimer(kRefreshTimer, kRefreshMs);
    return CPropertyPage::OnSetActive();
}

BOOL CInterestTrafficPage::OnKillActive() {
    KillTimer(kRefreshTimer);
    return CPropertyPage::OnKillActive();
}

void CInterestTrafficPage::OnTimer(UINT_PTR id) {
    if (id == kRefreshTimer) {
        Refresh(0);
        return;
    }
    CPropertyPage::OnTimer(id);
}

void CInterestTrafficPage::OnDestroy() {
    if (m_list && m_list->IsOpen())
        CSheetStorage::instance()->StoreInterestIndex(m_shownSlot, m_list->GetFirstSelected());
    KillTimer(kRefreshTimer);
    m_list.reset();
    CPropertyPage::OnDestroy();
}

BOOL CInterestTrafficPage::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedKey(msg)) return TRUE;
    return CPropertyPage::PreTranslateMessage(msg);
}
