#include "search/ui/CDlgAddrSrch.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/window/Afx.h"
#include "search/SearchFormat.h"
#include "search/ui/NaviFlowString.h"
#include "search/ui/SearchStrings.h"
#include "skinui/NaviPanel.h"
#include "skinui/controls/NaviControlIds.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kSkinTimerPeriod = 200;
constexpr RECT kListRect{11, 67, 11 + 218, 67 + 140};
constexpr RECT kLotRect{11, 67, 11 + 218, 67 + 20};
constexpr int kMapScale[4] = {3, 5, 6, 8};

void RegisterTemplate(UINT id, RECT rect) {
    DialogTemplateInfo info;
    info.rect = rect;
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(id, info);
}

CString FromCp949(const char* text, std::size_t size) {
    return CString(Cp949ToUtf16(std::string(text, tolvik::FieldLength(text, size))).c_str());
}

} // namespace

// ---- CDlgNearLot ----

CDlgNearLot::CDlgNearLot(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CDlgNearLot::~CDlgNearLot() {
    DeletePanel();
}

INT_PTR CDlgNearLot::DoModal() {
    RegisterTemplate(kTemplate, RECT{2, 88, 2 + 237, 88 + 152});
    return NaviDialog::DoModal();
}

BOOL CDlgNearLot::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    MoveWindow(2, 88, 237, 152);
    if (!m_engine) {
        m_index = -1;
        EndDialog(IDCANCEL);
        return TRUE;
    }
    const int count = std::min(m_engine->GetNearLotCount(), 2);
    for (int i = 0; i < count; ++i) {
        const std::string text = CSrchAddr::LotText(m_engine->GetNearLot(i)) + "\xB9\xF8\xC1\xF6"; // "번지"
        SendToPanel(u"인접지번선택 그룹", kCmdRenameRow, i, CString(Cp949ToUtf16(text).c_str()));
    }
    SendToPanel(u"인접지번선택 그룹", kCmdSelect, 0, CString());
    SendToPanel(u"인접지번설명", kCmdSetLabelText, -1, SearchString(kStrChooseNearLot));
    m_index = 0;
    return TRUE;
}

void CDlgNearLot::ProcessEvent(NaviCommand& cmd) {
    if (cmd.target == u"확 인") {
        EndDialog(IDOK);
    } else if (cmd.target == u"취 소") {
        m_index = -1;
        EndDialog(IDCANCEL);
    } else if (cmd.target == u"인접지번선택 그룹") {
        if (cmd.param1 >= 0 && cmd.param1 < std::min(m_engine ? m_engine->GetNearLotCount() : 0, 2))
            m_index = cmd.param1;
    }
}

// ---- CDlgAddrSrch ----

CDlgAddrSrch::CDlgAddrSrch(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CDlgAddrSrch::~CDlgAddrSrch() {
    DeletePanel();
}

bool CDlgAddrSrch::OpenOn(const char16_t* addressPath, const char16_t* adminNamePath) {
    return m_engine.OpenOn(addressPath, adminNamePath);
}

bool CDlgAddrSrch::Reload(const char16_t* addressPath, const char16_t* adminNamePath) {
    return m_engine.Reload(addressPath, adminNamePath);
}

void CDlgAddrSrch::GetTolvik(_ADDR_RESULT& out) {
    for (int i = 0; i < 4; ++i) m_result.levelIndex[i] = m_index[i];
    out = m_result;
}

INT_PTR CDlgAddrSrch::DoModal() {
    RegisterTemplate(kTemplate, RECT{0, 0, 240, 320});
    return NaviDialog::DoModal();
}

void CDlgAddrSrch::Notice(int id) {
    NaviMessageBox::ShowMessage(SearchString(id), NaviMessageBox::kNotice);
}

BOOL CDlgAddrSrch::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    CreateNaviFlowString();
    StartTimer(kSkinTimerPeriod);
    m_list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, kListRect, this, kListControl);
    m_lot.Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, kLotRect, this, kLotControl);
    MoveWindow(0, 0, 240, 320);
    m_pointType = m_prev.pointType;
    SetPointType();
    if (!RunPrevFunction()) {
        m_depth = 0;
        AddAddrList(0);
        if (m_list.GetCount() > 0) m_list.SetCurSel(0);
        SetStaticText(0);
        ManageWindowControl();
    }
    return TRUE;
}

void CDlgAddrSrch::CreateNaviFlowString() {
    if (NaviFlowString* flow = NaviFlowString::AddCaption(GetPanel(), u"지역명칭", RECT{24, 49, 227, 62}))
        m_flow = flow;
}

void CDlgAddrSrch::SetPointType() {
    const bool basic = GetPanelName() == u"AddressSearch";
    if (m_pointType == 0) m_pointType = basic ? 2 : 4;
    int tab = 3;
    if (basic) tab = m_pointType == 1 ? 1 : 0;
    else if (m_pointType == 1) tab = 2;
    else if (m_pointType == 2) tab = 0;
    else if (m_pointType == 3) tab = 1;
    SendToPanel(u"텝_주소검색", kCmdSelect, tab);
    m_result.pointType = static_cast<std::uint8_t>(m_pointType);
}

void CDlgAddrSrch::AddAddrList(int level) {
    m_list.ResetContent();
    const int count = m_engine.GetListCount(level);
    for (int i = 0; i < count; ++i) {
        char name[32] = {};
        if (!m_engine.GetTypeName(level, i, name)) continue;
        const CString text = FromCp949(name, 21);
        m_list.AddString(text.GetString());
        if (i == 0 && m_index[level] < 0) m_names[level] = text;
    }
}

void CDlgAddrSrch::ResetDepthIndex(int fromLevel) {
    for (int i = std::max(fromLevel, 0); i < 4; ++i) {
        m_index[i] = -1;
        m_names[i] = CString();
    }
}

void CDlgAddrSrch::SetStaticText(int depth) {
    const int deepest = std::clamp(depth, 0, 3);
    m_caption = SearchString(depth >= 4 ? kStrLotInput : kStrAreaCaption + deepest);
    m_routeText = CString();
    const int last = depth >= 4 ? m_savedDepth : deepest;
    for (int i = 0; i <= last; ++i) {
        if (m_names[i].IsEmpty()) break;
        if (i > 0) m_routeText += u" ";
        m_routeText += m_names[i];
    }
    SendToPanel(u"지역구분", kCmdSetLabelText, -1, m_caption);
    if (m_flow) m_flow->SetText(m_routeText);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CDlgAddrSrch::ManageWindowControl() {
    const bool lot = m_depth >= 4;
    if (m_list.GetSafeHwnd()) m_list.ShowWindow(lot ? SW_HIDE : SW_SHOW);
    if (m_lot.GetSafeHwnd()) m_lot.ShowWindow(lot ? SW_SHOW : SW_HIDE);
    SendToPanel(u"주소검색패널들", kCmdSelect, lot ? 1 : 0);
}

void CDlgAddrSrch::EnterLotInput() {
    m_mode = 1;
    m_savedDepth = m_depth;
    m_depth = 4;
    m_engine.SetDepth(m_savedDepth);
    ManageWindowControl();
}

void CDlgAddrSrch::OnSelchangeAddrList() {
    if (m_depth > 3) return;
    const int sel = m_list.GetCurSel();
    if (sel < 0) return;
    m_index[m_depth] = sel;
    m_list.GetText(sel, m_names[m_depth]);
    SetStaticText(m_depth);
}

void CDlgAddrSrch::Next() {
    if (m_depth > 3) return;
    const int d = m_depth;
    const int s = m_list.GetCurSel();
    if (s < 0) return;
    m_list.GetText(s, m_names[d]);
    for (int i = d + 1; i < 4; ++i) {
        m_names[i] = CString();
        m_index[i] = -1;
    }
    m_index[d] = s;
    // Below level 1 the engine answers false for an area whose parcels lie below it; the node is
    // selected all the same.
    if (!m_engine.Search(d, s) && d <= 1) return;
    if (d <= 1) {
        m_depth = d + 1;
        AddAddrList(m_depth);
        if (m_list.GetCount() > 0) m_list.SetCurSel(0);
    } else {
        const int type = m_engine.GetDownNodeType(d, s);
        if (d == 2 && type == 2) {
            m_depth = 3;
            AddAddrList(3);
            if (m_list.GetCount() > 0) m_list.SetCurSel(0);
        } else if (type == 3) {
            EnterLotInput();
        } else if (type == 6) {
            MoveMap(d);
            return;
        }
    }
    ManageWindowControl();
    SetStaticText(m_depth);
}

void CDlgAddrSrch::Prev() {
    if (m_depth < 1 || m_depth > 3) return;
    const int up = m_depth - 1;
    ResetDepthIndex(m_depth);
    m_depth = up;
    AddAddrList(up);
    if (m_index[up] >= 0) m_list.SetCurSel(m_index[up]);
    ManageWindowControl();
    SetStaticText(up);
}

bool CDlgAddrSrch::RunPrevFunction() {
    if (m_prev.levelIndex[0] < 0) return false;
    int deepest = -1;
    for (int level = 0; level < 4; ++level) {
        const int index = m_prev.levelIndex[level];
        // A record from an older database: restore as far as today's lists reach.
        if (index < 0 || index >= m_engine.GetListCount(level)) break;
        if (!m_engine.Search(level, index) && level <= 1) break;
        char name[32] = {};
        if (!m_engine.GetTypeName(level, index, name)) break;
        m_names[level] = FromCp949(name, 21);
        m_index[level] = index;
        deepest = level;
    }
    if (deepest < 0) return false;
    m_depth = deepest;
    AddAddrList(deepest);
    m_list.SetCurSel(m_index[deepest]);
    const int type = m_engine.GetDownNodeType(deepest, m_index[deepest]);
    if (m_prev.lotInput[0] != 0 && deepest >= 2 && type == 3) {
        EnterLotInput();
        SetLotText(FromCp949(m_prev.lotInput, sizeof m_prev.lotInput));
    } else {
        ManageWindowControl();
    }
    SetStaticText(m_depth);
    return true;
}

CString CDlgAddrSrch::GetLotText() const {
    // The edit's text while it exists; the last text it held after the dialog closed.
    if (!m_lot.GetSafeHwnd()) return m_lotText;
    CString text;
    m_lot.GetWindowText(text);
    return text;
}

void CDlgAddrSrch::SetLotText(const CString& text) {
    m_lotText = text;
    if (m_lot.GetSafeHwnd()) m_lot.SetWindowText(text.GetString());
}

BOOL CDlgAddrSrch::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == kLotControl && code == EN_CHANGE) {
        OnChangeInputLot1();
        return TRUE;
    }
    if (id == kListControl && code == LBN_SELCHANGE) {
        OnSelchangeAddrList();
        return TRUE;
    }
    if (id == kListControl && code == LBN_DBLCLK) {
        Next();
        return TRUE;
    }
    return NaviDialog::OnCommand(wParam, lParam);
}

void CDlgAddrSrch::OnChangeInputLot1() {
    std::u16string text = GetLotText().GetString();
    m_lotText = CString(text.c_str());
    std::size_t a = 0, b = text.size();
    while (a < b && text[a] == u' ') ++a;
    while (b > a && text[b - 1] == u' ') --b;
    const std::u16string trimmed = text.substr(a, b - a);
    const int length = static_cast<int>(trimmed.size()) + (trimmed.find(u'산') != std::u16string::npos ? 1 : 0);
    if (length > kMaxLotChars && !text.empty()) {
        Notice(kStrBadLot);
        text.pop_back();
        SetLotText(CString(text.c_str()));
    }
}

int CDlgAddrSrch::SearchLotNumber() {
    const std::string text = Utf16ToCp949(std::u16string(GetLotText().GetString()));
    unsigned char mountain = 0;
    int main = 0, sub = 0;
    if (!CSrchAddr::ParseLotText(text, mountain, main, sub)) return -1;
    m_engine.SetDepth(m_savedDepth);
    const int found = m_engine.Search(mountain, main, sub);
    if (found == 0) {
        m_nearIndex = -1;
        m_lastLot = 0;
        return 0;
    }
    if (found == 2) {
        m_nearIndex = 0;
        m_lotKind = 2;
        m_lastLot = 2;
        return 2;
    }
    const int chosen = GetNearLotIndex();
    if (chosen < 0) {
        m_lastLot = -1;
        return -1;
    }
    m_nearIndex = chosen;
    m_lotKind = 1;
    m_lastLot = 1;
    return 1;
}

int CDlgAddrSrch::GetNearLotIndex() {
    CDlgNearLot dlg(this);
    dlg.SetPanelName(u"NearLotSelect");
    dlg.SetRcBuilder(GetRcBuilder());
    dlg.SetCaption(m_routeText);
    dlg.SetEngine(&m_engine);
    const bool ok = dlg.DoModal() == IDOK;
    return ok ? dlg.GetIndex() : -1;
}

void CDlgAddrSrch::FillResult(int level) {
    const int index = level <= 3 ? m_index[level] : m_nearIndex;
    m_engine.GetSearchResult(level, index, m_result);
    for (int i = 0; i < 4; ++i) m_result.levelIndex[i] = m_index[i];
    std::memset(m_result.lotInput, 0, sizeof m_result.lotInput);
    const std::string lot = Utf16ToCp949(std::u16string(GetLotText().GetString()));
    tolvik::CopyField(lot, m_result.lotInput, sizeof m_result.lotInput);
    const int area = std::clamp(level <= 3 ? level : m_savedDepth, 0, 3);
    m_result.mapLevel = static_cast<std::uint16_t>(level >= 4 ? 8 : kMapScale[area]);
    m_result.pointType = static_cast<std::uint8_t>(m_pointType);
    if (level >= 4) {
        const std::string areaName = Utf16ToCp949(std::u16string(m_names[m_savedDepth].GetString()));
        const std::string lotText = CSrchAddr::LotText(m_engine.GetNearLot(m_nearIndex));
        CSrchAddr::LotDetail(areaName.c_str(), lotText.c_str(), m_result.detail);
    }
}

bool CDlgAddrSrch::MoveMap(int level) {
    FillResult(level);
    EndDialog(IDOK);
    return true;
}

bool CDlgAddrSrch::Move() {
    if (m_depth > 3) return false;
    const int sel = m_list.GetCurSel();
    if (sel < 0) return false;
    m_index[m_depth] = sel;
    m_list.GetText(sel, m_names[m_depth]);
    if (!m_engine.Search(m_depth, sel) && m_depth < 2) return false;
    FillResult(m_depth);
    return true;
}

bool CDlgAddrSrch::DirectRouteRefused() {
    if (m_directRouteAllowed || m_pointType == 2 || m_pointType == 4) return false;
    Notice(kStrSetDestinationFirst);
    return true;
}

void CDlgAddrSrch::ParcelSearch(bool routeDirectly) {
    if (GetLotText().IsEmpty()) {
        Notice(kStrEnterLot);
        return;
    }
    const int found = SearchLotNumber();
    if (found != 1 && found != 2) return;
    // The byte is set only now, with the parcel taken: a search that found nothing or a cancelled
    // choice must not leave it set for a later "검색".
    m_result.routeDirectly = routeDirectly ? 1 : 0;
    MoveMap(4);
}

void CDlgAddrSrch::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    const CString lot = GetLotText();
    if (name == u"<<이전") {
        if (m_mode == 0) {
            Prev();
        } else {
            SetLotText(CString());
            m_depth = m_savedDepth;
            m_mode = 0;
            ManageWindowControl();
            SetStaticText(m_depth);
        }
    } else if (name == u"다음>>") {
        Next();
    } else if (name == u"위치보기") {
        m_result.routeDirectly = 0;
        if (Move()) EndDialog(IDOK);
    } else if (name == u"바로탐색") {
        if (DirectRouteRefused()) return;
        if (m_mode == 0) {
            if (Move()) {
                m_result.routeDirectly = 1;
                EndDialog(IDOK);
            }
        } else {
            ParcelSearch(true);
        }
    } else if (name == u"검색") {
        ParcelSearch(false);
    } else if (name == u"현위치") {
        m_currentPos = true;
        EndDialog(IDCANCEL);
    } else if (name == u"이전") {
        EndDialog(IDCANCEL);
    } else if (name.GetLength() == 1 && name[0] >= u'0' && name[0] <= u'9') {
        SetLotText(lot + name);
    } else if (name == u"Space") {
        SetLotText(lot + u" ");
    } else if (name == u"하이픈") {
        if (std::u16string(lot.GetString()).find(u'-') == std::u16string::npos) SetLotText(lot + u"-");
    } else if (name == u"산") {
        if (std::u16string(lot.GetString()).find(u'산') == std::u16string::npos) SetLotText(CString(u"산") + lot);
    } else if (name == u"백스페이스") {
        std::u16string text = lot.GetString();
        if (!text.empty()) {
            text.pop_back();
            SetLotText(CString(text.c_str()));
        }
    } else if (name == u"Clear") {
        SetLotText(CString());
    } else if (name == u"텝_주소검색") {
        if (cmd.text == u"텝_출발지") m_pointType = 1;
        else if (cmd.text == u"텝_목적지") m_pointType = 2;
        else if (cmd.text == u"텝_경유지") m_pointType = 3;
        else if (cmd.text == u"텝_이동") m_pointType = 4;
        m_result.pointType = static_cast<std::uint8_t>(m_pointType);
    }
}
