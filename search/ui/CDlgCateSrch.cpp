#include "search/ui/CDlgCateSrch.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/window/Afx.h"
#include "route/base/TextTruncate.h"
#include "search/SearchFormat.h"
#include "search/ui/CDlgPOI.h"
#include "search/ui/NaviFlowString.h"
#include "search/ui/SearchStrings.h"
#include "skinui/NaviPanel.h"
#include "skinui/controls/NaviControlIds.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kSkinTimerPeriod = 200;
constexpr RECT kNameRect{11, 67, 11 + 84, 67 + 21};
constexpr RECT kListRect{11, 68, 11 + 218, 68 + 176};
constexpr RECT kFacilityRect{11, 94, 11 + 218, 94 + 118};
constexpr UINT kDetailIcon = 131;

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CDlgCateSrch::kTemplate, info);
}

bool Contains(const CString& text, const char16_t* word) {
    return std::u16string(text.GetString()).find(word) != std::u16string::npos;
}

std::string TrimmedCp949(const CString& text) {
    const std::u16string s = text.GetString();
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == u' ' || s[a] == u'\t')) ++a;
    while (b > a && (s[b - 1] == u' ' || s[b - 1] == u'\t')) --b;
    return Utf16ToCp949(s.substr(a, b - a));
}

// strncmp over the first n bytes as unsigned bytes; a name shorter than n compares with its zeros.
int ComparePrefix(const std::string& input, const std::string& name) {
    for (std::size_t i = 0; i < input.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(input[i]);
        const unsigned char b = i < name.size() ? static_cast<unsigned char>(name[i]) : 0;
        if (a != b) return a < b ? -1 : 1;
    }
    return 0;
}

} // namespace

CDlgCateSrch::CDlgCateSrch(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CDlgCateSrch::~CDlgCateSrch() {
    DeletePanel();
}

bool CDlgCateSrch::OpenOn(const char16_t* namePath, const char16_t* adminPath, const char16_t* poiPath) {
    if (!m_cate.OpenOn(namePath, adminPath)) return false;
    m_poiPath = poiPath ? poiPath : u"";
    return true;
}

bool CDlgCateSrch::Reload(const char16_t* namePath, const char16_t* adminPath, const char16_t* poiPath) {
    if (!m_cate.Reload(namePath, adminPath)) return false;
    m_poiPath = poiPath ? poiPath : u"";
    return true;
}

INT_PTR CDlgCateSrch::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

void CDlgCateSrch::Notice(int id) {
    NaviMessageBox::ShowMessage(SearchString(id), NaviMessageBox::kNotice);
}

CString CDlgCateSrch::FilterString(const CString& name, bool className) {
    if (className) {
        const std::string bytes = Utf16ToCp949(std::u16string(name.GetString()));
        if (bytes.size() <= 9) return name;
        // Eight bytes, but never half a character.
        return CString((Cp949ToUtf16(CutCp949(bytes, 8)) + u"..").c_str());
    }
    const std::u16string text = name.GetString();
    if (text.size() == 5) return CString((text.substr(0, 2) + u"시").c_str());
    if (text.size() == 4) return CString(std::u16string{text[0], text[2]}.c_str());
    return name;
}

BOOL CDlgCateSrch::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    m_facilityName.Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, kNameRect, this, kNameControl);
    const DWORD listStyle = WS_CHILD | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    m_list.Create(listStyle | WS_VISIBLE, kListRect, this, kListControl);
    m_facilities.Create(listStyle, kFacilityRect, this, kFacilityControl);
    m_list.SetIndex(&m_cate);
    m_facilities.SetIndex(&m_cate);
    CreateNaviFlowString();
    StartTimer(kSkinTimerPeriod);
    AfxRegisterSystemIcons();
    if (m_icons.Create(16, 16, ILC_COLOR | ILC_MASK, 1, 1)) {
        // The list keeps its own copy of the image.
        if (HICON icon = LoadIcon(nullptr, MAKEINTRESOURCE(kDetailIcon))) {
            m_icons.Add(icon);
            DestroyIcon(icon);
        }
        m_facilities.SetImageList(&m_icons, LVSIL_SMALL);
    }
    m_facilities.SetupFacilityColumns();
    m_pointType = m_prev.pointType;
    SetPointType();
    if (!RunPrevFunction()) FillLevel(0, 0);
    return TRUE;
}

void CDlgCateSrch::OnDestroy() {
    if (m_list.GetSafeHwnd()) m_list.DeleteAllItems();
    if (m_facilities.GetSafeHwnd()) m_facilities.DeleteAllItems();
    NaviDialog::OnDestroy();
}

void CDlgCateSrch::CreateNaviFlowString() {
    if (NaviFlowString* flow = NaviFlowString::AddCaption(GetPanel(), u"분류내역", RECT{24, 49, 227, 62}))
        m_flow = flow;
}

void CDlgCateSrch::SetPointType() {
    const bool cateScreen = GetPanelName() == u"CateSearch";
    if (m_pointType == 0) m_pointType = cateScreen ? 4 : 2;
    int tab = 3;
    if (m_pointType == 1) tab = 2;
    else if (m_pointType == 2) tab = 0;
    else if (m_pointType == 3) tab = 1;
    SendToPanel(u"텝_종별검색", kCmdSelect, tab);
    m_result.pointType = static_cast<std::uint8_t>(m_pointType);
}

CString CDlgCateSrch::HeadingOf(int level) const {
    const bool highway = Contains(m_names[0], u"고속도로");
    switch (level) {
    case 0: return u"대분류";
    case 1: return highway ? u"고속도로명" : u"소분류";
    case 2: return highway ? u"소분류" : u"행정명(시/도)";
    default:
        if (Contains(m_names[0], u"교통시설") && Contains(m_names[1], u"지하철")) return u"지하철 노선명";
        return highway ? u"행정명(시/도)" : u"행정명(시/군/구)";
    }
}

void CDlgCateSrch::FillLevel(int level, int select) {
    m_level = level;
    m_heading = HeadingOf(level);
    m_list.SetupNameColumn(m_heading);
    m_list.FillLevel(level);
    if (select >= 0 && select < m_list.GetItemCount()) m_list.SelectRow(select);
    ManageWindowControl();
    SetStaticText();
    SetCountText();
}

void CDlgCateSrch::ManageWindowControl() {
    const bool facilities = m_level == kFacilityLevel;
    if (m_list.GetSafeHwnd()) m_list.ShowWindow(facilities ? SW_HIDE : SW_SHOW);
    if (m_facilities.GetSafeHwnd()) m_facilities.ShowWindow(facilities ? SW_SHOW : SW_HIDE);
    if (m_facilityName.GetSafeHwnd()) m_facilityName.ShowWindow(facilities ? SW_SHOW : SW_HIDE);
    SendToPanel(u"종별검색패널들", kCmdSelect, facilities ? 1 : 0);
}

void CDlgCateSrch::SetStaticText() {
    m_caption = SearchString(kStrCateCaption + std::clamp(m_level, 0, 4));
    CString parts[4];
    for (int i = 0; i < 4; ++i) parts[i] = FilterString(m_names[i], i <= 1);
    m_pathText = CString();
    if (m_level == kFacilityLevel) {
        m_pathText.Format(u"%s >%s >%s >%s", parts[0].GetString(), parts[1].GetString(), parts[2].GetString(),
                          parts[3].GetString());
    } else {
        for (int i = 0; i <= m_level && i < 4; ++i) {
            if (m_names[i].IsEmpty()) break;
            if (i > 0) m_pathText += u">";
            m_pathText += parts[i];
        }
    }
    SendToPanel(u"분류구분", kCmdSetLabelText, -1, m_caption);
    if (m_flow) m_flow->SetText(m_pathText);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CDlgCateSrch::SetCountText() {
    if (m_level == kFacilityLevel) {
        const int selected = m_facilities.GetSelected();
        if (selected >= 0)
            m_countText.Format(u"%ld/%ld 건", static_cast<long>(selected + 1), static_cast<long>(m_facilities.GetTotal()));
        else
            m_countText.Format(u"%ld 건", static_cast<long>(m_facilities.GetTotal()));
    } else {
        m_countText.Format(u"%ld 건", static_cast<long>(m_cate.GetListCount(m_level)));
    }
    SendToPanel(u"검색건수", kCmdSetLabelText, -1, m_countText);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CDlgCateSrch::Next() {
    if (m_level == kFacilityLevel) {
        TakeFacility(false);
        return;
    }
    const int s = m_list.GetSelected();
    if (s < 0) return;
    const int level = m_level;
    m_names[level] = m_list.GetItemText(s, 0);
    m_index[level] = s;
    for (int l = level + 1; l < 5; ++l) {
        m_index[l] = -1;
        if (l < 4) m_names[l] = CString();
    }
    if (!m_cate.Select(level, s)) return;
    if (level < 3) {
        FillLevel(level + 1, 0);
        return;
    }
    m_level = kFacilityLevel;
    m_facilities.ResetFacilities();
    m_facilities.LoadPage();
    ManageWindowControl();
    SetStaticText();
    SetCountText();
}

void CDlgCateSrch::Prev() {
    if (m_level <= 0) return;
    if (m_level == kFacilityLevel) {
        m_facilityName.SetWindowText(u"");
        m_facilities.DeleteAllItems();
        m_index[kFacilityLevel] = -1;
    }
    const int up = m_level - 1;
    for (int l = up + 1; l < 4; ++l) {
        m_names[l] = CString();
        m_index[l] = -1;
    }
    FillLevel(up, m_index[up]);
}

bool CDlgCateSrch::RunPrevFunction() {
    if (m_prev.index[4] < 0) return false;
    int deepest = -1;
    for (int level = 0; level < 4; ++level) {
        const int index = m_prev.index[level];
        // A record from an older database: restore as far as today's lists reach.
        if (index < 0 || index >= m_cate.GetListCount(level)) break;
        char name[31] = {};
        if (!m_cate.GetItemName(level, index, name) || !m_cate.Select(level, index)) break;
        m_names[level] = CString(Cp949ToUtf16(std::string(name, tolvik::FieldLength(name, level <= 1 ? 30 : 20))).c_str());
        m_index[level] = index;
        deepest = level;
    }
    if (deepest < 0) return false;
    if (deepest < 3) {
        // Stop at the deepest level that still exists, on the entry the record chose there.
        m_names[deepest] = CString();
        FillLevel(deepest, m_index[deepest]);
        return true;
    }
    m_level = kFacilityLevel;
    m_facilities.ResetFacilities();
    m_facilities.LoadPage();
    if (m_facilities.GetTotal() > 0) {
        const int row = std::min(m_prev.index[4], m_facilities.GetTotal() - 1);
        m_facilities.SelectRow(row);
    }
    ManageWindowControl();
    SetStaticText();
    SetCountText();
    return true;
}

std::string CDlgCateSrch::FacilityName(int i) {
    char name[21] = {};
    if (!m_cate.GetName(i, name)) return std::string();
    return std::string(name, tolvik::FieldLength(name, 20));
}

int CDlgCateSrch::FindIndex_Linear(const std::string& input) {
    const int count = m_facilities.GetTotal();
    for (int i = 0; i < count; ++i)
        if (FacilityName(i).rfind(input, 0) == 0) return i;
    return 0;
}

int CDlgCateSrch::SearchFirstName(const std::string& input, int mid) {
    for (int i = mid - 1; i >= 0; --i)
        if (ComparePrefix(input, FacilityName(i)) > 0) return i + 1;
    return 0;
}

int CDlgCateSrch::FindIndex_Binary(const std::string& input) {
    int lo = 0, hi = m_facilities.GetTotal() - 1, mid = 0;
    while (lo <= hi) {
        mid = static_cast<int>((lo + hi) * 0.5);
        const int c = ComparePrefix(input, FacilityName(mid));
        if (c == 0) return SearchFirstName(input, mid);
        if (c < 0) hi = mid - 1;
        else lo = mid + 1;
    }
    return mid;
}

void CDlgCateSrch::SearchMove() {
    if (m_level != kFacilityLevel) return;
    CString text;
    m_facilityName.GetWindowText(text);
    if (text.IsEmpty()) {
        Notice(kStrEnterText);
        return;
    }
    const std::string input = TrimmedCp949(text);
    if (input.empty() || m_facilities.GetTotal() <= 0) return;
    BeginWaitCursor();
    const bool linear = (Contains(m_names[0], u"고속도로") && !Contains(m_names[1], u"전체")) ||
                        (Contains(m_names[1], u"지하철역") && !Contains(m_names[3], u"전체"));
    const int found = linear ? FindIndex_Linear(input) : FindIndex_Binary(input);
    EndWaitCursor();
    m_facilities.SelectRow(std::clamp(found, 0, m_facilities.GetTotal() - 1));
    SetCountText();
}

bool CDlgCateSrch::MoveMap() {
    if (m_level != kFacilityLevel) return false;
    const int selected = m_facilities.GetSelected();
    if (selected < 0) return false;
    const int facility = m_facilities.GetFirstOffset() + selected;
    _CATE_RESULT out;
    if (!m_cate.GetFacility(facility, out)) return false;
    m_index[kFacilityLevel] = facility;
    for (int i = 0; i < 5; ++i) out.index[i] = m_index[i];
    out.mapLevel = 8;
    out.pointType = static_cast<std::uint8_t>(m_pointType);
    out.routeDirectly = m_routeDirectly ? 1 : 0;
    m_result = out;
    return true;
}

bool CDlgCateSrch::DirectRouteRefused() {
    if (m_directRouteAllowed || m_pointType == 2 || m_pointType == 4) return false;
    Notice(kStrSetDestinationFirst);
    return true;
}

// Takes the selected facility and closes with OK; only on the facility list with a selection.
bool CDlgCateSrch::TakeFacility(bool routeDirectly) {
    if (m_level != kFacilityLevel || m_facilities.GetSelected() < 0) return false;
    if (routeDirectly && DirectRouteRefused()) return false;
    m_routeDirectly = routeDirectly;
    if (!MoveMap()) {
        m_routeDirectly = false;
        return false;
    }
    EndDialog(IDOK);
    return true;
}

void CDlgCateSrch::ShowPOIInfo() {
    if (m_level != kFacilityLevel) return;
    const int selected = m_facilities.GetSelected();
    if (selected < 0) {
        Notice(kStrNoSelection);
        return;
    }
    const std::uint32_t detail = m_cate.GetDetailNumber(m_facilities.GetFirstOffset() + selected);
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
        TakeFacility(false);
    } else if (dlg.IsRouteDirectly()) {
        TakeFacility(true);
    } else if (dlg.IsCurrentPos()) {
        m_currentPos = true;
        EndDialog(IDCANCEL);
    } else if (dlg.IsBack()) {
        EndDialog(IDCANCEL);
    } else {
        SetPointType();
    }
}

BOOL CDlgCateSrch::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && (header->idFrom == kListControl || header->idFrom == kFacilityControl)) {
        if (header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) {
                // The last loaded facility selected while more wait: the next page.
                if (header->idFrom == kFacilityControl && change->iItem == m_facilities.GetLoaded() - 1)
                    m_facilities.LoadPage();
                // A class or area row selected: the path caption shows it.
                if (header->idFrom == kListControl && m_level < kFacilityLevel && change->iItem >= 0) {
                    m_names[m_level] = m_list.GetItemText(change->iItem, 0);
                    SetStaticText();
                }
                SetCountText();
            }
        } else if (header->code == NM_DBLCLK) {
            Next();
        }
        *result = 0;
        return TRUE;
    }
    return NaviDialog::OnNotify(wParam, lParam, result);
}

void CDlgCateSrch::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"현위치") {
        m_currentPos = true;
        EndDialog(IDCANCEL);
    } else if (name == u"이전") {
        EndDialog(IDCANCEL);
    } else if (name == u"검색") {
        SearchMove();
    } else if (name == u"<<이전") {
        Prev();
    } else if (name == u"다음>>") {
        Next();
    } else if (name == u"위치보기") {
        TakeFacility(false);
    } else if (name == u"바로탐색") {
        TakeFacility(true);
    } else if (name == u"상세정보") {
        ShowPOIInfo();
    } else if (name == u"텝_종별검색") {
        if (cmd.text == u"텝_출발지") m_pointType = 1;
        else if (cmd.text == u"텝_목적지") m_pointType = 2;
        else if (cmd.text == u"텝_경유지") m_pointType = 3;
        else if (cmd.text == u"텝_이동") m_pointType = 4;
        m_result.pointType = static_cast<std::uint8_t>(m_pointType);
    }
}
