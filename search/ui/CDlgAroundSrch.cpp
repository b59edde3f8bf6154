#include "search/ui/CDlgAroundSrch.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/window/Afx.h"
#include "search/SearchFormat.h"
#include "search/ui/SearchStrings.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviLabel.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr RECT kListRect{9, 32, 9 + 150, 32 + 107};

struct ButtonPlace {
    const char16_t* name;
    const char16_t* group;
    int x, y, w, h;
    bool visible;
};
// "현위치" and "이전" in the search phase; the three result buttons beside the list.
constexpr ButtonPlace kButtons[5] = {
    {u"현위치", u"Window", 197, 3, 41, 32, true},      {u"이전", u"Window", 154, 3, 41, 32, true},
    {u"바로탐색", u"NeighList", 162, 32, 67, 28, false}, {u"위치보기", u"NeighList", 162, 72, 67, 28, false},
    {u"주변_이전", u"NeighList", 162, 112, 67, 28, false},
};

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CDlgAroundSrch::kTemplate, info);
}

CString FromCp949(const char* text, std::size_t size) {
    return CString(Cp949ToUtf16(std::string(text, tolvik::FieldLength(text, size))).c_str());
}

int TextWidth(HDC dc, const std::u16string& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

} // namespace

CDlgAroundSrch::CDlgAroundSrch(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CDlgAroundSrch::~CDlgAroundSrch() {
    DeletePanel();
}

INT_PTR CDlgAroundSrch::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

void CDlgAroundSrch::GetTolvik(_AROUND_RESULT& out) const {
    out = m_result;
    out.kind = m_searchType == 0 ? 1 : m_searchType;
}

CString CDlgAroundSrch::GetCateName(int category) {
    static constexpr const char16_t* kNames[CNeighManage::kCategories] = {
        u"병원", u"약국", u"LPG충전소", u"주유소", u"정비소", u"주차장", u"은행", u"호텔＆모텔", u"패스트푸드점", u"지하철역"};
    if (category < 0 || category >= CNeighManage::kCategories) return CString();
    return kNames[category];
}

CString CDlgAroundSrch::ModifyName(HDC dc, const CString& name) {
    const std::u16string text = name.GetString();
    if (TextWidth(dc, text) <= kNameWidth) return name;
    std::u16string part = text;
    for (std::size_t n = 1; n <= text.size(); ++n) {
        if (TextWidth(dc, text.substr(0, n)) >= kNameCut) {
            part = text.substr(0, n);
            break;
        }
    }
    return CString((part + u"..").c_str());
}

void CDlgAroundSrch::Notice(int id) {
    NaviMessageBox::ShowMessage(SearchString(id), NaviMessageBox::kNotice);
}

BOOL CDlgAroundSrch::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    if (NaviPanel* panel = GetPanel()) {
        m_caption = new NaviLabel();
        m_caption->SetName(u"주변보기종별");
        m_caption->SetPos(12, 4);
        m_caption->SetSize(140, 14);
        m_caption->SetTextColor(RGB(255, 255, 255));
        m_caption->SetBackColor(RGB(0x1E, 0x4E, 0x8C)); // the list's title bar
        m_caption->SetVisible(false);
        panel->AddChild(m_caption);
        NaviRcBuilder* builder = GetRcBuilder();
        for (int i = 0; i < 5; ++i) {
            const ButtonPlace& b = kButtons[i];
            auto* button = new NaviButton();
            button->SetName(b.name);
            button->SetSize(b.w, b.h);
            button->SetPos(b.x, b.y);
            button->SetVisible(b.visible);
            if (builder) builder->SetImageGroup(b.group);
            button->LoadImages(builder);
            button->SetListener(panel);
            panel->AddChild(button);
            m_buttons[i] = button;
        }
    }
    m_list.LoadImages(GetRcBuilder());
    m_list.Create(WS_CHILD | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED,
                  kListRect, this, kListControl);
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, u"방향", LVCFMT_LEFT, 16);
    m_list.InsertColumn(1, u"명칭", LVCFMT_LEFT, 80);
    m_list.InsertColumn(2, u"거리(Km)", LVCFMT_LEFT, 50);
    RunPrevFunction();
    return TRUE;
}

void CDlgAroundSrch::OnDestroy() {
    if (m_list.GetSafeHwnd()) m_list.DeleteAllItems();
    NaviDialog::OnDestroy();
}

BOOL CDlgAroundSrch::OnEraseBkgnd(CDC* dc) {
    if (!m_eraseNext) return TRUE;
    m_eraseNext = false;
    ++m_erased;
    return NaviDialog::OnEraseBkgnd(dc);
}

void CDlgAroundSrch::SetSearchType() {
    if (m_searchType != 2) m_searchType = 1;
    const int tab = m_searchType == 2 ? 1 : 0;
    SendToPanel(u"주변검색텝", kCmdSelect, tab);
    SendToPanel(u"주변검색패널들", kCmdSelect, tab);
}

void CDlgAroundSrch::SetPointType() {
    int tab = 3;
    if (GetPanelName() == u"AroundSearch") {
        if (m_pointType == 0) m_pointType = 2;
        tab = m_pointType == 1 ? 1 : 0;
    } else {
        if (m_pointType == 0) m_pointType = 4;
        if (m_pointType == 1) tab = 2;
        else if (m_pointType == 2) tab = 0;
        else if (m_pointType == 3) tab = 1;
    }
    SendToPanel(u"텝_주변검색", kCmdSelect, tab);
}

void CDlgAroundSrch::SetRadioButton() {
    if (m_category >= 0) SendToPanel(u"주변시설물검색_카테고리_그룹", kCmdSelect, m_category);
    if (m_viewCategory < 0) {
        SendToPanel(u"없음", kCmdSelect, 1);
        m_noneToggle = true;
    } else {
        SendToPanel(u"주변시설물보기_카테고리_그룹", kCmdSelect, m_viewCategory);
        SendToPanel(u"없음", kCmdSelect, 0);
        m_noneToggle = false;
    }
}

bool CDlgAroundSrch::InitNeighManage(int category) {
    const char16_t* file = CNeighManage::CategoryFile(category);
    if (!file) return false;
    return m_engine.InitNeighManage(category, static_cast<long>(m_curX), static_cast<long>(m_curY),
                                    m_storage.GetString(), file);
}

AroundFacilityItem* CDlgAroundSrch::MakeItem(int hit, bool highlighted) const {
    if (hit < 0 || hit >= m_engine.GetCount()) return nullptr;
    const NeighHit& h = m_engine.Hits()[static_cast<std::size_t>(hit)];
    return new AroundFacilityItem(FromCp949(h.name, sizeof h.name), h.x, h.y, highlighted ? kHighlight : h.brand);
}

bool CDlgAroundSrch::ShowAroundFacility() {
    if (!InitNeighManage(m_category) || m_engine.GetCount() <= 0) return false;
    m_shown = true;
    m_eraseNext = true;
    AddAroundFacilityList();
    SendToPanel(u"주변검색패널들", kCmdSelect, 2);
    m_list.ShowWindow(SW_SHOW);
    MoveWindow(kResultRect.left, kResultRect.top, kResultRect.right - kResultRect.left,
               kResultRect.bottom - kResultRect.top);
    m_top = kResultRect.top;
    return true;
}

void CDlgAroundSrch::AddAroundFacilityList() {
    m_filling = true;
    m_list.DeleteAllItems();
    const int hits = m_engine.GetCount();
    m_markers = hits + 1;
    // A restored row past today's hits falls back to the first.
    if (m_selected < 0 || m_selected >= hits) m_selected = 0;
    CClientDC client(this);
    CFont font;
    font.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    CFont* old = client.SelectObject(&font);
    for (int i = 0; i < hits; ++i) {
        const NeighHit& h = m_engine.Hits()[static_cast<std::size_t>(i)];
        if (m_mediator) m_mediator->AddItem(MakeItem(i, false));
        m_farLevel = h.level;
        const CString name = ModifyName(client.GetSafeHdc(), FromCp949(h.name, sizeof h.name));
        // The shortened name must still fit the 20 bytes of a facility name.
        char stored[21] = {};
        tolvik::CopyField(Utf16ToCp949(std::u16string(name.GetString())), stored, sizeof stored);
        CString bearing, distance;
        bearing.Format(u"%d", h.bearing);
        distance.Format(u"%.2fKm", h.distance * 0.001);
        m_list.InsertItem(i, bearing.GetString());
        m_list.SetItemText(i, 1, FromCp949(stored, sizeof stored).GetString());
        m_list.SetItemText(i, 2, distance.GetString());
    }
    client.SelectObject(old);
    m_list.SetItemState(m_selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.EnsureVisible(m_selected, FALSE);
    if (m_mediator) m_mediator->AddItem(MakeItem(m_selected, false));
    m_filling = false;
}

bool CDlgAroundSrch::DisplayAroundFacilityList() {
    if (m_selected < 0 || m_selected >= m_engine.GetCount()) return false;
    if (AroundFacilityItem* item = MakeItem(m_selected, true)) {
        if (m_mediator) m_mediator->SetItem(m_markers - 1, *item);
        delete item;
    }
    if (m_farLevel > 0 && m_callback) m_callback(m_curX, m_curY, m_farLevel, kScreenHeight - m_top);
    return true;
}

bool CDlgAroundSrch::MoveMap() {
    const int row = m_list.GetSafeHwnd() ? m_list.GetSelected() : -1;
    if (row < 0 || row >= m_engine.GetCount()) return false;
    const NeighHit& h = m_engine.Hits()[static_cast<std::size_t>(row)];
    m_result.x = h.x;
    m_result.y = h.y;
    m_result.pointType = static_cast<std::uint8_t>(m_pointType);
    std::memset(m_result.name, 0, sizeof m_result.name);
    std::memcpy(m_result.name, h.name, 20);
    m_result.fromX = static_cast<std::int32_t>(m_curX);
    m_result.fromY = static_cast<std::int32_t>(m_curY);
    m_result.category = m_category;
    m_result.shownCategory = m_viewCategory;
    m_result.kind = 1;
    m_result.mapLevel = 8;
    m_result.routeDirectly = m_directRouteChosen ? 1 : 0;
    m_result.row = row;
    return true;
}

void CDlgAroundSrch::ShowResultControls(bool results) {
    if (m_buttons[0]) m_buttons[0]->SetVisible(!results);
    if (m_buttons[1]) m_buttons[1]->SetVisible(!results);
    for (int i = 2; i < 5; ++i)
        if (m_buttons[i]) m_buttons[i]->SetVisible(results);
    if (m_caption) {
        m_caption->SetText(results ? m_cateName : CString());
        m_caption->SetVisible(results);
    }
    if (GetSafeHwnd()) Invalidate(FALSE);
}

bool CDlgAroundSrch::RunPrevFunction() {
    m_searchType = m_prev.kind;
    m_category = m_prev.category;
    m_viewCategory = m_prev.shownCategory;
    m_pointType = m_prev.pointType;
    SetSearchType();
    SetPointType();
    SetRadioButton();
    if (m_prev.kind != 1 || m_prev.category < 0 || m_prev.row < 0) return false;
    m_selected = m_prev.row;
    m_result = m_prev;
    m_cateName = GetCateName(m_category);
    ShowResultControls(true);
    // The restored search starts a fresh marker list, as a new one does.
    if (m_mediator) m_mediator->SetState(1);
    if (!ShowAroundFacility()) {
        Notice(kStrNoFacilityNear);
        ShowResultControls(false);
        return false;
    }
    DisplayAroundFacilityList();
    return true;
}

void CDlgAroundSrch::LeaveResults() {
    m_selected = 0;
    if (m_mediator) m_mediator->SetState(2);
    DisplayAroundFacilityList();
    ShowResultControls(false);
    m_list.DeleteAllItems();
    m_list.ShowWindow(SW_HIDE);
    MoveWindow(0, 0, 240, 320);
    m_top = 0;
    SendToPanel(u"주변검색패널들", kCmdSelect, 0);
    m_shown = false;
}

bool CDlgAroundSrch::DirectRouteRefused() {
    if (m_directRouteAllowed || m_pointType == 2 || m_pointType == 4) return false;
    Notice(kStrSetDestinationFirst);
    return true;
}

void CDlgAroundSrch::OnItemchangedSrcharoundList(int row) {
    if (m_filling || row < 0) return;
    m_selected = row;
    DisplayAroundFacilityList();
}

BOOL CDlgAroundSrch::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->idFrom == kListControl) {
        if (header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
                OnItemchangedSrcharoundList(change->iItem);
        }
        *result = 0;
        return TRUE;
    }
    return NaviDialog::OnNotify(wParam, lParam, result);
}

void CDlgAroundSrch::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    // Taking a facility and leaving the results act at any time.
    if (name == u"바로탐색") {
        if (DirectRouteRefused()) return;
        if (m_mediator) m_mediator->SetState(2);
        DisplayAroundFacilityList();
        m_directRouteChosen = true;
        if (MoveMap()) {
            EndDialog(IDOK);
        } else {
            m_directRouteChosen = false;
            Notice(kStrNoSelection);
        }
        return;
    }
    if (name == u"위치보기") {
        if (m_mediator) m_mediator->SetState(2);
        DisplayAroundFacilityList();
        if (MoveMap()) EndDialog(IDOK);
        else Notice(kStrNoSelection);
        return;
    }
    if (name == u"주변_이전") {
        LeaveResults();
        return;
    }
    // The search panel's controls do nothing while results are shown.
    if (m_shown) return;
    if (name == u"현위치") {
        m_currentPos = true;
        EndDialog(IDCANCEL);
    } else if (name == u"이전") {
        EndDialog(IDCANCEL);
    } else if (name == u"주변시설물검색_카테고리_그룹") {
        if (cmd.param1 >= 0 && cmd.param1 < CNeighManage::kCategories) {
            m_category = cmd.param1;
            m_cateName = GetCateName(m_category);
        }
    } else if (name == u"주변시설물보기_카테고리_그룹") {
        if (cmd.param1 >= 0 && cmd.param1 < CNeighManage::kCategories) {
            m_viewCategory = cmd.param1;
            SendToPanel(u"없음", kCmdSelect, 0);
            m_noneToggle = false;
        }
    } else if (name == u"검색") {
        if (m_category < 0) {
            Notice(kStrChooseCategory);
            return;
        }
        m_result.category = m_category;
        m_result.shownCategory = m_viewCategory;
        m_result.kind = 1;
        if (m_mediator) m_mediator->SetState(1);
        m_selected = -1;
        if (ShowAroundFacility()) {
            ShowResultControls(true);
            DisplayAroundFacilityList();
        } else {
            Notice(kStrNoFacilityNear);
        }
    } else if (name == u"적용") {
        m_searchType = 2;
        m_result.kind = 2;
        if (m_noneToggle) m_viewCategory = -1;
        m_result.pointType = static_cast<std::uint8_t>(m_pointType);
        m_result.category = m_category;
        m_result.shownCategory = m_viewCategory;
        EndDialog(IDOK);
    } else if (name == u"없음") {
        if (!m_noneToggle) m_noneToggle = true;
        else SendToPanel(u"없음", kCmdSelect, 1);
        if (m_noneToggle && m_viewCategory >= 0) {
            SendToPanel(u"주변시설물보기_카테고리_그룹", kCmdUncheck, m_viewCategory);
            m_viewCategory = -1;
        }
    } else if (name == u"주변검색텝") {
        if (cmd.text == u"텝_검색") m_searchType = 1;
        else if (cmd.text == u"텝_보기") m_searchType = 2;
        SendToPanel(u"주변검색패널들", kCmdSelect, m_searchType == 2 ? 1 : 0);
    } else if (name == u"텝_주변검색") {
        if (cmd.text == u"텝_출발지") m_pointType = 1;
        else if (cmd.text == u"텝_목적지") m_pointType = 2;
        else if (cmd.text == u"텝_경유지") m_pointType = 3;
        else if (cmd.text == u"텝_이동") m_pointType = 4;
    }
}
