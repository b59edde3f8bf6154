#include "search/ui/CDlgThemeSrch.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/window/Afx.h"
#include "platform/window/Shell.h"
#include "search/SearchFormat.h"
#include "search/ui/CDlgPOI.h"
#include "search/ui/NaviFlowString.h"
#include "search/ui/SearchStrings.h"
#include "skinui/NaviPanel.h"
#include "skinui/controls/NaviControlIds.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kDescriptionTimer = 100;
constexpr UINT kDetailIcon = 131;
constexpr RECT kThemeListRect{11, 67, 11 + 218, 67 + 190};
constexpr RECT kPlaceListRect{11, 107, 11 + 218, 107 + 100};
constexpr RECT kComboRect{11, 60, 11 + 77, 60 + 200};
constexpr RECT kTextRect{92, 60, 189, 81};
constexpr int kDistances[] = {0, 5, 10, 50, 100};
constexpr const char16_t* kDistanceTexts[] = {u"전국", u"5Km", u"10Km", u"50Km", u"100Km"};

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CDlgThemeSrch::kTemplate, info);
}

CString FromCp949(const char* text, std::size_t size) {
    return CString(Cp949ToUtf16(std::string(text, tolvik::FieldLength(text, size))).c_str());
}

std::u16string Trimmed(const std::u16string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == u' ' || s[a] == u'\t')) ++a;
    while (b > a && (s[b - 1] == u' ' || s[b - 1] == u'\t')) --b;
    return s.substr(a, b - a);
}

} // namespace

CDlgThemeSrch::CDlgThemeSrch(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CDlgThemeSrch::~CDlgThemeSrch() {
    DeletePanel();
}

bool CDlgThemeSrch::Init(const char16_t* themeFolder) {
    return m_engine.Init(themeFolder);
}

bool CDlgThemeSrch::Reload() {
    return m_engine.Reopen();
}

void CDlgThemeSrch::SetCurrentPos(unsigned long x, unsigned long y) {
    m_curX = x;
    m_curY = y;
    m_engine.SetCurrentPos(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
}

INT_PTR CDlgThemeSrch::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

CString CDlgThemeSrch::ShortRegion(const CString& name) {
    static constexpr const char16_t* kFirstTwo[] = {u"서울특별시", u"부산광역시", u"대구광역시", u"인천광역시", u"광주광역시",
                                                    u"대전광역시", u"울산광역시", u"경기도",     u"강원도",     u"제주도"};
    static constexpr const char16_t* kFirstThird[] = {u"충청북도", u"충청남도", u"전라북도",
                                                      u"전라남도", u"경상북도", u"경상남도"};
    const std::u16string text = name.GetString();
    for (const char16_t* n : kFirstTwo)
        if (text == n) return CString(text.substr(0, 2).c_str());
    for (const char16_t* n : kFirstThird)
        if (text == n) return CString(std::u16string{text[0], text[2]}.c_str());
    return name;
}

int CDlgThemeSrch::FilterValue(int mode, int selection) {
    if (selection < 0) return 0;
    if (mode == kDistanceMode) return selection < 5 ? kDistances[selection] : 0;
    return selection;
}

void CDlgThemeSrch::Notice(int id) {
    NaviMessageBox::ShowMessage(SearchString(id), NaviMessageBox::kNotice);
}

BOOL CDlgThemeSrch::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    InputPanelDown();
    AfxRegisterSystemIcons();
    if (m_icons.Create(16, 16, ILC_COLOR | ILC_MASK, 1, 1)) {
        // The list keeps its own copy of the image.
        if (HICON icon = LoadIcon(nullptr, MAKEINTRESOURCE(kDetailIcon))) {
            m_icons.Add(icon);
            DestroyIcon(icon);
        }
    }
    m_themes.Create(WS_CHILD | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, kThemeListRect, this, kThemeListControl);
    m_places.Create(WS_CHILD | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kPlaceListRect,
                    this, kPlaceListControl);
    m_combo.Create(WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, kComboRect, this, kComboControl);
    m_text.Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, kTextRect, this, kTextControl);
    MoveWindow(0, 0, 240, 320);
    m_places.SetImageList(&m_icons, LVSIL_SMALL);
    m_places.SetEngine(&m_engine);
    m_places.SetupColumns(kRegionMode);
    if (NaviPanel* panel = GetPanel()) {
        m_description = new NaviFlowString();
        m_description->SetName(u"테마내용검색설명");
        m_description->SetBox(RECT{8, 84, 232, 103});
        m_description->SetVisible(false);
        m_description->SetAlign(1);
        m_description->SetFlowMode(0);
        panel->AddChild(m_description);
    }
    m_pointType = m_prev.pointType;
    SetPointType();
    if (!RunPrevFunction()) ShowStage(0);
    return TRUE;
}

void CDlgThemeSrch::OnDestroy() {
    StopTimer();
    if (m_places.GetSafeHwnd()) m_places.DeleteAllItems();
    NaviDialog::OnDestroy();
}

void CDlgThemeSrch::SetPointType() {
    int tab = 3;
    if (GetPanelName() == u"ThemeSearch") {
        if (m_pointType == 0) m_pointType = 2;
        tab = m_pointType == 1 ? 1 : 0;
    } else {
        if (m_pointType == 0) m_pointType = 4;
        if (m_pointType == 1) tab = 2;
        else if (m_pointType == 2) tab = 0;
        else if (m_pointType == 3) tab = 1;
    }
    SendToPanel(u"텝_테마검색", kCmdSelect, tab);
}

void CDlgThemeSrch::ShowStage(int stage) {
    m_stage = stage;
    SendToPanel(u"테마검색패널들", kCmdSelect, stage);
    if (m_themes.GetSafeHwnd()) m_themes.ShowWindow(stage == 1 ? SW_SHOW : SW_HIDE);
    const int places = stage == 2 ? SW_SHOW : SW_HIDE;
    if (m_combo.GetSafeHwnd()) m_combo.ShowWindow(places);
    if (m_places.GetSafeHwnd()) m_places.ShowWindow(places);
    if (m_text.GetSafeHwnd()) m_text.ShowWindow(places);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CDlgThemeSrch::HideDescription() {
    if (m_description) m_description->SetVisible(false);
    StopTimer();
}

CString CDlgThemeSrch::SearchText() const {
    CString text;
    if (m_text.GetSafeHwnd()) m_text.GetWindowText(text);
    return text;
}

void CDlgThemeSrch::FillCombo() {
    m_combo.ResetContent();
    m_combo.AddString(u"전국");
    if (m_mode == kDistanceMode) {
        for (int i = 1; i < 5; ++i) m_combo.AddString(kDistanceTexts[i]);
    } else {
        const int regions = m_engine.GetRegionCount();
        for (int n = 1; n <= regions; ++n) {
            char name[21] = {};
            const CString text = m_engine.GetRegionName(n, name) ? FromCp949(name, sizeof name) : CString();
            m_combo.AddString(ShortRegion(text).GetString());
        }
    }
    m_combo.SetCurSel(0);
    m_selection = 0;
}

void CDlgThemeSrch::SetCountText(bool withSelection) {
    const int selected = m_places.GetSafeHwnd() ? m_places.GetSelected() : -1;
    if (withSelection && selected >= 0)
        m_countText.Format(u"총 %ld/%ld 건", static_cast<long>(selected + 1), static_cast<long>(m_places.GetTotal()));
    else
        m_countText.Format(u"총 %ld 건", static_cast<long>(m_places.GetTotal()));
    SendToPanel(u"테마검색건수", kCmdSetLabelText, -1, m_countText);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CDlgThemeSrch::Next() {
    if (m_stage == 0) {
        m_themeKind = 0;
        m_themes.ResetContent();
        for (int i = 0; i < m_engine.GetThemeCount(); ++i) {
            char title[41] = {};
            m_engine.GetThemeTitle(i, title);
            m_themes.AddString(FromCp949(title, sizeof title).GetString());
        }
        if (m_themes.GetCount() > 0) m_themes.SetCurSel(0);
        SendToPanel(u"테마구분", kCmdSetLabelText, -1, SearchString(kStrThemeTour));
        CString title;
        if (m_themes.GetCurSel() >= 0) m_themes.GetText(m_themes.GetCurSel(), title);
        SendToPanel(u"테마명칭", kCmdSetLabelText, -1, title);
        ShowStage(1);
    } else if (m_stage == 1) {
        const int sel = m_themes.GetCurSel();
        if (sel < 0 || !m_engine.LoadTheme(sel)) return;
        m_theme = sel;
        m_mode = kRegionMode;
        SendToPanel(u"테마검색조건 그룹", kCmdSelect, 0);
        FillCombo();
        m_prevMode = m_mode;
        m_prevSelection = 0;
        m_lastText = CString();
        if (m_description) {
            char description[101] = {};
            m_engine.GetThemeDescription(sel, description);
            m_description->SetText(FromCp949(description, sizeof description));
            m_description->SetVisible(true);
        }
        StartTimer(kDescriptionTimer);
        m_places.SetupColumns(m_mode);
        m_places.Reset();
        m_places.LoadPage();
        ShowStage(2);
        SetCountText(false);
    } else {
        if (TakeResult()) {
            HideDescription();
            EndDialog(IDOK);
        } else {
            Notice(kStrNoSelection);
        }
    }
}

void CDlgThemeSrch::Prev() {
    if (m_stage == 1) {
        ShowStage(0);
    } else if (m_stage == 2) {
        m_text.SetWindowText(u"");
        m_lastText = CString();
        m_places.Empty();
        HideDescription();
        SendToPanel(u"테마구분", kCmdSetLabelText, -1, SearchString(kStrThemeTour));
        CString title;
        if (m_themes.GetCurSel() >= 0) m_themes.GetText(m_themes.GetCurSel(), title);
        SendToPanel(u"테마명칭", kCmdSetLabelText, -1, title);
        ShowStage(1);
    }
}

bool CDlgThemeSrch::Refilter(bool fromSearchButton, bool force) {
    if (m_stage != 2) return false;
    const int selection = std::max(0, m_combo.GetCurSel());
    const CString text = SearchText();
    if (!force && m_mode == m_prevMode && selection == m_prevSelection && text == m_lastText && !text.IsEmpty())
        return false;
    BeginWaitCursor();
    const std::u16string trimmed = Trimmed(text.GetString());
    m_lastText = text;
    m_prevMode = m_mode;
    m_prevSelection = selection;
    m_selection = selection;
    const bool found = m_engine.Search(FilterValue(m_mode, selection), Utf16ToCp949(trimmed).c_str(), m_mode);
    EndWaitCursor();
    if (found) {
        m_places.SetupColumns(m_mode);
        m_places.Reset();
        m_places.LoadPage();
        SetCountText(false);
        if (fromSearchButton) {
            m_places.SetFocus();
            m_places.SelectRow(0);
        }
        return true;
    }
    m_places.Empty();
    SetCountText(false);
    Notice(kStrNothingFound);
    return false;
}

bool CDlgThemeSrch::TakeResult() {
    const int row = m_places.GetSafeHwnd() ? m_places.GetSelected() : -1;
    if (row < 0) return false;
    _THEME_RESULT out;
    if (!m_engine.GetPosition(row, out)) return false;
    out.x *= 10;
    out.y *= 10;
    out.themeKind = m_themeKind;
    out.theme = m_theme;
    out.row = row;
    out.filterMode = m_mode;
    out.filterSelection = std::max(0, m_combo.GetCurSel());
    tolvik::CopyField(Utf16ToCp949(std::u16string(m_lastText.GetString())), out.text, sizeof out.text);
    out.mapLevel = 8;
    out.fromX = static_cast<std::int32_t>(m_curX);
    out.fromY = static_cast<std::int32_t>(m_curY);
    out.pointType = static_cast<std::uint8_t>(m_pointType);
    out.routeDirectly = m_directRouteChosen ? 1 : 0;
    m_result = out;
    return true;
}

bool CDlgThemeSrch::DirectRouteRefused() {
    if (m_directRouteAllowed || m_pointType == 2 || m_pointType == 4) return false;
    Notice(kStrSetDestinationFirst);
    return true;
}

void CDlgThemeSrch::ShowDetail() {
    const int row = m_places.GetSafeHwnd() ? m_places.GetSelected() : -1;
    if (m_stage != 2 || row < 0) {
        Notice(kStrNoSelection);
        return;
    }
    const int detail = m_engine.GetDetailNumber(row);
    if (detail < 1) return;
    _POI_RESULT info;
    if (!m_engine.GetDetail(detail - 1, info.items)) return;
    ThemeRow place;
    if (m_engine.GetRow(row, place)) std::memcpy(info.name, place.name, sizeof info.name);
    CDlgPOI dlg(this);
    dlg.Prepare(m_uiType, GetRcBuilder(), m_pointType, m_directRouteAllowed, detail);
    dlg.SetPOIInfo(info);
    const bool ok = dlg.DoModal() == IDOK;
    m_pointType = dlg.GetPointType();
    if (!ok) {
        SetPointType();
        return;
    }
    if (dlg.IsShowPosition()) {
        if (TakeResult()) {
            HideDescription();
            EndDialog(IDOK);
        }
    } else if (dlg.IsRouteDirectly()) {
        if (DirectRouteRefused()) return;
        m_directRouteChosen = true;
        if (TakeResult()) {
            HideDescription();
            EndDialog(IDOK);
        } else {
            m_directRouteChosen = false;
        }
    } else if (dlg.IsCurrentPos()) {
        m_currentPos = true;
        HideDescription();
        EndDialog(IDCANCEL);
    } else if (dlg.IsBack()) {
        HideDescription();
        EndDialog(IDCANCEL);
    } else {
        SetPointType();
    }
}

bool CDlgThemeSrch::RunPrevFunction() {
    if (m_prev.theme < 0 || m_prev.theme >= m_engine.GetThemeCount()) return false;
    if (m_prev.fromX != 0 || m_prev.fromY != 0) SetCurrentPos(static_cast<unsigned long>(m_prev.fromX),
                                                              static_cast<unsigned long>(m_prev.fromY));
    m_stage = 0;
    Next(); // the theme list
    m_themes.SetCurSel(m_prev.theme);
    Next(); // the places of that theme
    if (m_stage != 2) return false;
    m_themeKind = m_prev.themeKind;
    const int mode = m_prev.filterMode == kDistanceMode ? kDistanceMode : kRegionMode;
    if (mode != m_mode) {
        m_mode = mode;
        SendToPanel(u"테마검색조건 그룹", kCmdSelect, mode - 1);
        FillCombo();
    }
    // A record from an older theme file: a selection past today's combo falls back to "전국".
    const int selection = m_prev.filterSelection >= 0 && m_prev.filterSelection < m_combo.GetCount()
                              ? m_prev.filterSelection
                              : 0;
    m_combo.SetCurSel(selection);
    const CString text = FromCp949(m_prev.text, sizeof m_prev.text);
    m_text.SetWindowText(text.GetString());
    bool listed = true;
    if (mode != kRegionMode || selection != 0 || !text.IsEmpty()) listed = Refilter(false, true);
    if (listed && m_prev.row >= 0 && m_places.GetTotal() > 0) {
        m_places.SelectRow(std::min(m_prev.row, m_places.GetTotal() - 1));
        SetCountText(true);
    }
    return true;
}

void CDlgThemeSrch::InputPanelDown() {
    if (GetSafeHwnd()) SHSipPreference(m_hWnd, SIP_FORCEDOWN);
}

BOOL CDlgThemeSrch::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    // The search text is typed on the input panel: up while the field has the focus.
    if (id == kTextControl && code == EN_SETFOCUS) {
        SHSipPreference(m_hWnd, SIP_UP);
        return TRUE;
    }
    if (id == kTextControl && code == EN_KILLFOCUS) {
        InputPanelDown();
        return TRUE;
    }
    if (id == kComboControl && code == CBN_SELCHANGE) {
        Refilter(false);
        return TRUE;
    }
    if (id == kThemeListControl && code == LBN_SELCHANGE) {
        CString title;
        if (m_themes.GetCurSel() >= 0) m_themes.GetText(m_themes.GetCurSel(), title);
        SendToPanel(u"테마명칭", kCmdSetLabelText, -1, title);
        if (GetSafeHwnd()) Invalidate(FALSE);
        return TRUE;
    }
    return NaviDialog::OnCommand(wParam, lParam);
}

BOOL CDlgThemeSrch::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->idFrom == kPlaceListControl) {
        if (header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) {
                if (change->iItem == m_places.GetLoaded() - 1) m_places.LoadPage();
                SetCountText(true);
            }
        }
        *result = 0;
        return TRUE;
    }
    return NaviDialog::OnNotify(wParam, lParam, result);
}

void CDlgThemeSrch::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"현위치") {
        m_currentPos = true;
        HideDescription();
        EndDialog(IDCANCEL);
    } else if (name == u"이전") {
        HideDescription();
        EndDialog(IDCANCEL);
    } else if (name == u"테마관광") {
        if (m_stage == 0) Next();
    } else if (name == u"다음 >>") {
        if (m_stage >= 1) Next();
    } else if (name == u"<< 이전") {
        Prev();
    } else if (name == u"지역별여행" || name == u"사용자추천") {
        Notice(kStrNotReady);
    } else if (name == u"상세정보") {
        ShowDetail();
    } else if (name == u"위치보기") {
        if (TakeResult()) {
            HideDescription();
            EndDialog(IDOK);
        } else {
            Notice(kStrNoSelection);
        }
    } else if (name == u"바로탐색") {
        if (DirectRouteRefused()) return;
        m_directRouteChosen = true;
        if (TakeResult()) {
            HideDescription();
            EndDialog(IDOK);
        } else {
            m_directRouteChosen = false;
            Notice(kStrNoSelection);
        }
    } else if (name == u"검색") {
        InputPanelDown();
        Refilter(true);
    } else if (name == u"테마검색조건 그룹") {
        const int mode = cmd.param1 == 1 ? kDistanceMode : kRegionMode;
        if (m_stage != 2 || mode == m_mode) return;
        m_mode = mode;
        FillCombo();
        Refilter(false);
    } else if (name == u"텝_테마검색") {
        if (cmd.text == u"텝_출발지") m_pointType = 1;
        else if (cmd.text == u"텝_목적지") m_pointType = 2;
        else if (cmd.text == u"텝_경유지") m_pointType = 3;
        else if (cmd.text == u"텝_이동") m_pointType = 4;
    }
}
