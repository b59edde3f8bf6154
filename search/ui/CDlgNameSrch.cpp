#include "search/ui/CDlgNameSrch.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/window/Afx.h"
#include "search/SearchFormat.h"
#include "search/ui/CDlgPOI.h"
#include "search/ui/SearchStrings.h"
#include "skinui/NaviPanel.h"
#include "skinui/controls/NaviControlIds.h"

#include <algorithm>

namespace {

constexpr RECT kInputRect{15, 35, 15 + 84, 35 + 21};
constexpr RECT kListRect{11, 64, 11 + 218, 64 + 179};

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CDlgNameSrch::kTemplate, info);
}

std::string Trimmed(const std::u16string& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && (text[a] == u' ' || text[a] == u'\t')) ++a;
    while (b > a && (text[b - 1] == u' ' || text[b - 1] == u'\t')) --b;
    return Utf16ToCp949(text.substr(a, b - a));
}

} // namespace

CDlgNameSrch::CDlgNameSrch(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CDlgNameSrch::~CDlgNameSrch() {
    DeletePanel();
}

bool CDlgNameSrch::OpenOn(const char16_t* namePath, const char16_t* adminPath, const char16_t* poiPath) {
    m_searcher.Create();
    if (!m_searcher.OpenOn(namePath, adminPath)) return false;
    m_poiPath = poiPath ? poiPath : u"";
    return true;
}

bool CDlgNameSrch::Reload(const char16_t* namePath, const char16_t* adminPath, const char16_t* /*poiPath*/) {
    return m_searcher.Reload(namePath, adminPath);
}

INT_PTR CDlgNameSrch::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

BOOL CDlgNameSrch::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    m_input.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, kInputRect, this, kInputControl);
    m_list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kListRect,
                  this, kListControl);
    m_list.SetupColumns();
    m_list.SetSearcher(&m_searcher);
    m_pointType = m_prev.pointType;
    SetPointType();
    if (!RunPrevFunction()) SetCountText(1);
    m_input.SetFocus();
    return FALSE;
}

void CDlgNameSrch::OnDestroy() {
    if (m_list.GetSafeHwnd()) m_list.DeleteAllItems();
    NaviDialog::OnDestroy();
}

CString CDlgNameSrch::InputText() const {
    CString text;
    if (m_input.GetSafeHwnd()) m_input.GetWindowText(text);
    return text;
}

BOOL CDlgNameSrch::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kInputControl && HIWORD(wParam) == EN_CHANGE) {
        OnChangeInputName();
        return TRUE;
    }
    return NaviDialog::OnCommand(wParam, lParam);
}

BOOL CDlgNameSrch::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->idFrom == kListControl && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) {
            // The last loaded row selected while more hits wait: the next page.
            if (change->iItem == m_list.GetLoaded() - 1) m_list.LoadPage();
            SetCountText(2);
        }
        *result = 0;
        return TRUE;
    }
    return NaviDialog::OnNotify(wParam, lParam, result);
}

void CDlgNameSrch::OnChangeInputName() {
    const CString input = InputText();
    if (input.IsEmpty()) {
        m_lastSearched = CString();
        m_list.Empty();
    } else {
        OnButtonSearch();
    }
    SetCountText(1);
}

void CDlgNameSrch::OnButtonSearch() {
    const std::u16string input = InputText().GetString();
    const std::string query = Trimmed(input);
    if (query.empty()) return;
    const CString text(Cp949ToUtf16(query).c_str());
    if (text == m_lastSearched && m_list.GetItemCount() > 0) return;
    int code = 0;
    if (m_searcher.SearchPrefix(query.c_str(), code)) {
        m_lastSearched = text;
        m_list.Reset();
        m_list.LoadPage();
        m_mode = 1;
        return;
    }
    if (code == 0 && !m_lastSearched.IsEmpty() &&
        std::u16string(text.GetString()).rfind(m_lastSearched.GetString(), 0) == 0)
        return; // a bare consonant typed after a searched text: its list stays
    m_searcher.Clear();
    m_list.Empty();
    m_mode = 0;
}

void CDlgNameSrch::ExpandSearch() {
    const std::string query = Trimmed(InputText().GetString());
    if (query.empty()) {
        Notice(kStrEnterText);
        return;
    }
    m_list.Empty();
    int code = 0;
    if (m_searcher.SearchExpanded(query.c_str(), code)) {
        m_list.Reset();
        m_list.LoadPage();
        m_mode = 2;
    } else {
        m_mode = 0;
        Notice(kStrNothingFound);
    }
    SetCountText(1);
}

void CDlgNameSrch::SetCountText(int variant) {
    const int selected = m_list.GetSafeHwnd() ? m_list.GetSelected() : -1;
    if (variant == 1 || selected < 0) {
        if (InputText().IsEmpty()) {
            m_searcher.Clear();
            m_countText = u"총 0 건";
        } else {
            m_countText.Format(u"총 %ld 건", static_cast<long>(m_list.GetTotal()));
        }
    } else {
        m_countText.Format(u"총 %ld/%ld 건", static_cast<long>(selected + 1), static_cast<long>(m_list.GetTotal()));
    }
    SendToPanel(u"검색건수", kCmdSetLabelText, -1, m_countText);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

bool CDlgNameSrch::MoveMap() {
    const int selected = m_list.GetSelected();
    if (InputText().IsEmpty() || selected < 0) return false;
    _NAME_RESULT out;
    if (!m_searcher.GetPosition(selected, out)) return false;
    const CString& query = m_mode == 1 ? m_lastSearched : InputText();
    tolvik::CopyField(Utf16ToCp949(query.GetString()), out.query, sizeof out.query);
    out.row = selected;
    out.mapLevel = 8;
    out.pointType = static_cast<std::uint8_t>(m_pointType);
    out.routeDirectly = m_directRouteChosen ? 1 : 0;
    m_result = out;
    return true;
}

bool CDlgNameSrch::DirectRouteRefused() {
    if (m_directRouteAllowed || m_pointType == 2 || m_pointType == 4) return false;
    Notice(kStrSetDestinationFirst);
    return true;
}

void CDlgNameSrch::Notice(int id) {
    NaviMessageBox::ShowMessage(SearchString(id), NaviMessageBox::kNotice);
}

void CDlgNameSrch::SetPointType() {
    const bool basic = GetPanelName() == u"NameSearch";
    if (m_pointType == 0) m_pointType = basic ? 2 : 4;
    int tab = 3;
    if (basic) tab = m_pointType == 1 ? 1 : 0;
    else if (m_pointType == 1) tab = 2;
    else if (m_pointType == 2) tab = 0;
    else if (m_pointType == 3) tab = 1;
    SendToPanel(u"텝_명칭검색", kCmdSelect, tab);
}

bool CDlgNameSrch::RunPrevFunction() {
    if (m_prev.row < 0 || m_prev.name[0] == 0 || m_prev.query[0] == 0) return false;
    const std::u16string query =
        Cp949ToUtf16(std::string(m_prev.query, tolvik::FieldLength(m_prev.query, sizeof m_prev.query)));
    m_input.SetWindowText(query.c_str());
    OnButtonSearch();
    if (m_list.GetTotal() <= 0) return false;
    // A record from an older database may name a row past today's hits: the last hit instead.
    const int row = std::min(m_prev.row, m_list.GetTotal() - 1);
    while (m_list.GetLoaded() <= row && m_list.LoadPage()) {
    }
    m_list.SelectRow(std::min(row, m_list.GetLoaded() - 1));
    SetCountText(2);
    return true;
}

void CDlgNameSrch::ShowPOIInfo() {
    const int selected = m_list.GetSelected();
    if (selected < 0) {
        Notice(kStrNoSelection);
        return;
    }
    const std::uint32_t detail = m_searcher.GetDetailNumber(selected);
    if (detail == 0 || detail > 0x7FFFFFFF) {
        Notice(kStrNoDetail);
        return;
    }
    CDlgPOI dlg(this);
    dlg.Prepare(m_uiType, GetRcBuilder(), m_pointType, m_directRouteAllowed, static_cast<int>(detail));
    if (!dlg.OpenOn(m_poiPath.GetString())) {
        Notice(kStrNoDetail);
        return;
    }
    const bool ok = dlg.DoModal() == IDOK;
    m_pointType = dlg.GetPointType();
    if (!ok) {
        SetPointType();
        return;
    }
    if (dlg.IsShowPosition()) {
        if (MoveMap()) EndDialog(IDOK);
    } else if (dlg.IsRouteDirectly()) {
        if (DirectRouteRefused()) return;
        m_directRouteChosen = true;
        if (MoveMap()) EndDialog(IDOK);
        else m_directRouteChosen = false;
    } else if (dlg.IsCurrentPos()) {
        m_currentPos = true;
        EndDialog(IDCANCEL);
    } else if (dlg.IsBack()) {
        EndDialog(IDCANCEL);
    }
}

void CDlgNameSrch::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"현위치") {
        m_currentPos = true;
        EndDialog(IDCANCEL);
    } else if (name == u"이전") {
        EndDialog(IDCANCEL);
    } else if (name == u"확장") {
        ExpandSearch();
    } else if (name == u"상세정보") {
        ShowPOIInfo();
    } else if (name == u"위치보기") {
        if (MoveMap()) EndDialog(IDOK);
        else Notice(kStrNoSelection);
    } else if (name == u"바로탐색") {
        if (m_list.GetSelected() < 0) {
            Notice(kStrNoSelection);
            return;
        }
        if (DirectRouteRefused()) return;
        m_directRouteChosen = true;
        if (MoveMap()) {
            EndDialog(IDOK);
        } else {
            m_directRouteChosen = false;
            Notice(kStrNoSelection);
        }
    } else if (name == u"텝_명칭검색") {
        if (cmd.text == u"텝_출발지") m_pointType = 1;
        else if (cmd.text == u"텝_목적지") m_pointType = 2;
        else if (cmd.text == u"텝_경유지") m_pointType = 3;
        else if (cmd.text == u"텝_이동") m_pointType = 4;
    }
}
