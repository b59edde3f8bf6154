#include "app/RouteSaveDlg.h"

#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/files/Files.h"
#include "platform/window/Shell.h"
#include "platform/window/Window.h"
#include "route/base/InputPanel.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviRadioButton.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "skinui/screens/NaviScreenCatalogue.h"

namespace {

constexpr const char16_t* kPages = u"저장정보관리패널들";
constexpr const char16_t* kLocationGroup = u"정보저장위치그룹";
constexpr int kSettingStorage = 64;
constexpr COLORREF kLabelColour = RGB(0, 0, 0);

constexpr const char16_t* kEnterName = u"저장할 명칭을 입력하여 주십시요.";
constexpr const char16_t* kBadName = u"저장할 수 없는 이름입니다.";
constexpr const char16_t* kAskDelete = u"'%s' 을(를) 삭제하시겠습니까?";                        // 10009
constexpr const char16_t* kCannotDelete = u"'%s' 을(를) 삭제할 수 없습니다. 다른 응용프로그램이 사용하고 있거나 "
                                          u"파일이 손상되었습니다.";                            // 10003
constexpr const char16_t* kDeleted = u"'%s' 을(를) 삭제하였습니다.";                            // 10002
constexpr const char16_t* kAskStore = u"설정사항을 저장하시겠습니까?";
constexpr const char16_t* kApplied = u"변경사항을 적용하였습니다.\n환경설정을 계속하시겠습니까?";

struct Explanation {
    const char16_t* button;
    const char16_t* text;
};
constexpr Explanation kExplanations[] = {
    {u"등록지점", u"관심 지점을 등록하면 생성되는 정보입니다.\n\n파일명 : Position, *.pos"},
    {u"안전운행", u"안전운행구간을 등록하거나 삭제할 때 생성되는 정보입니다.\n\n파일명 : GuidePoint, DGuidePoint"},
    {u"환경설정", u"디스플레이, 탐색, 안전운행, 시스템 등의 설정 정보입니다.\n\n파일명 : config.bin"},
    {u"저장경로", u"탐색된 경로를 저장하면 생성되는 정보입니다.\n\n파일명 : *.vkp"},
    {u"관심종목", u"주식 정보에서 관심 종목을 등록하면 생성되는 정보입니다.\n\n파일명 : stock.bin"},
    {u"관심도로", u"교통정보 서비스에서 관심 도로를 등록하면 생성되는 정보입니다.\n\n파일명 : itraffic.bin"},
};

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    DialogItem edit;
    edit.id = CRouteSaveDlg::kEditId;
    edit.className = WC_EDIT;
    edit.rect = RECT{35, 81, 211, 102};
    edit.style = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    DialogItem list;
    list.id = CRouteSaveDlg::kListId;
    list.className = WC_LISTBOX;
    list.rect = RECT{11, 47, 229, 234};
    list.style = WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    info.items = {edit, list};
    AfxRegisterDialogTemplate(CRouteSaveDlg::kTemplate, info);
}

CString Formatted(const char16_t* format, const CString& name) {
    CString text;
    text.Format(format, name.GetString());
    return text;
}

} // namespace

CRouteSaveDlg::CRouteSaveDlg(CWnd* parent)
    : NaviDialog(kTemplate, parent, parent), m_delete([](const CString& path) {
          return DeleteFileW(path.GetString()) != 0;
      }) {}

CRouteSaveDlg::~CRouteSaveDlg() {
    DeletePanel();
}

void CRouteSaveDlg::SetRouteFolder(const CString& folder) {
    m_routeFolder = folder;
    if (!m_routeFolder.IsEmpty() && m_routeFolder[m_routeFolder.GetLength() - 1] != u'\\') m_routeFolder += u"\\";
}

bool CRouteSaveDlg::IsValidRouteName(const CString& name) {
    if (name.IsEmpty() || name[0] == u'.') return false;
    for (int i = 0; i < name.GetLength(); ++i) {
        const char16_t c = name[i];
        if (c < 0x20 || c == 0x7F) return false;
        if (std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) return false;
    }
    return true;
}

std::vector<CString> CRouteSaveDlg::ListedRoutes() const {
    std::vector<CString> out;
    if (!m_list.GetSafeHwnd()) return out;
    for (int i = 0; i < m_list.GetCount(); ++i) {
        CString text;
        m_list.GetText(i, text);
        out.push_back(text);
    }
    return out;
}

INT_PTR CRouteSaveDlg::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

int CRouteSaveDlg::Ask(const CString& text, int type) {
    const int before = GetActivationState();
    // No full-screen set-up on the activation that follows the box.
    if (before != kActivationClosing) SetActivationState(kActivationChildUp);
    const int answer = NaviMessageBox::ShowMessage(text, type);
    if (GetActivationState() == kActivationChildUp) SetActivationState(before);
    return answer;
}

void CRouteSaveDlg::Close() {
    if (GetSafeHwnd())
        OnCancel();
    else
        SetActivationState(kActivationClosing);
}

void CRouteSaveDlg::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (IsSaveScreen()) {
        if (name == u"저장") {
            m_action = kActionSave;
            if (m_edit.GetSafeHwnd()) m_edit.GetWindowText(m_routeName);
            if (m_routeName.IsEmpty()) {
                Ask(kEnterName, NaviMessageBox::kNotice);
                return;
            }
            // The name becomes a file name in the route folder: nothing that leaves the folder,
            // names a device or matches other files.
            if (!IsValidRouteName(m_routeName)) {
                Ask(kBadName, NaviMessageBox::kNotice);
                return;
            }
            Close();
        } else if (name == u"현위치") {
            m_action = kActionCurrentPos;
            Close();
        } else if (name == u"이전") {
            m_action = kActionBack;
            Close();
        } else {
            Close();
        }
        return;
    }
    if (name == u"삭제") {
        DeleteSelected();
        return;
    }
    if (name == u"보기" || name == u"역방향탐색") {
        if (!TakeSelection()) return;
        m_action = kActionOpen;
        if (name == u"역방향탐색") m_reverse = 1;
        Close();
        return;
    }
    for (const Explanation& e : kExplanations)
        if (name == e.button) {
            Ask(e.text, NaviMessageBox::kNotice);
            return;
        }
    if (name == u"Apply") {
        if (m_locationChanged) StoreLocation();
        SetActivationState(kActivationChildUp);
        const int answer = NaviMessageBox::ShowMessage(kApplied, NaviMessageBox::kQuestion);
        if (answer == NaviMessageBox::kYes) {
            SetActivationState(kActivationActive);
            return;
        }
        Close();
        return;
    }
    if (name == u"저장정보관리텝") {
        if (cmd.text == u"tab_경로관리") ShowPage(0);
        else if (cmd.text == u"tab_저장위치") ShowPage(1);
        return;
    }
    if (name == kLocationGroup && cmd.id == kCmdTapped) {
        m_locationChanged = 1;
        m_chosenLocation = cmd.param1;
        return;
    }
    if (name == u"현위치") {
        m_action = kActionCurrentPos;
        OfferToStore();
    } else if (name == u"이전") {
        m_action = kActionBack;
        OfferToStore();
    }
    Close();
}

bool CRouteSaveDlg::TakeSelection() {
    if (!m_list.GetSafeHwnd()) return false;
    const int index = m_list.GetCurSel();
    if (index < 0) return false;
    CString text;
    m_list.GetText(index, text);
    if (text.IsEmpty()) return false;
    m_selectedFile = text;
    return true;
}

void CRouteSaveDlg::DeleteSelected() {
    if (!TakeSelection()) return;
    const int index = m_list.GetCurSel();
    if (Ask(Formatted(kAskDelete, m_selectedFile), NaviMessageBox::kQuestion) != NaviMessageBox::kYes) return;
    if (!m_delete || !m_delete(m_routeFolder + m_selectedFile)) {
        Ask(Formatted(kCannotDelete, m_selectedFile), NaviMessageBox::kNotice);
        return;
    }
    m_list.DeleteString(static_cast<UINT>(index));
    if (m_fileCount > 0) --m_fileCount;
    Ask(Formatted(kDeleted, m_selectedFile), NaviMessageBox::kNotice);
}

void CRouteSaveDlg::StoreLocation() {
    CNaviConfig* config = CNaviConfig::GetInstance();
    config->SetValue(kSettingStorage, m_chosenLocation);
    config->SaveSettings(m_chosenLocation == 0 ? 0 : 1);
    m_locationChanged = 0;
}

void CRouteSaveDlg::OfferToStore() {
    if (!m_locationChanged) return;
    if (Ask(kAskStore, NaviMessageBox::kQuestion) == NaviMessageBox::kYes) StoreLocation();
}

void CRouteSaveDlg::ShowPage(int page) {
    m_page = page;
    SendToPanel(kPages, kCmdSelect, page);
    if (m_list.GetSafeHwnd()) m_list.ShowWindow(page == 0 ? SW_SHOW : SW_HIDE);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CRouteSaveDlg::FillList() {
    m_fileCount = 0;
    if (!m_list.GetSafeHwnd()) return;
    m_list.ResetContent();
    WIN32_FIND_DATAW data{};
    const CString pattern = m_routeFolder + u"*.vkp";
    const HANDLE find = FindFirstFileW(pattern.GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        m_list.AddString(data.cFileName);
        ++m_fileCount;
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

void CRouteSaveDlg::BuildSaveScreen() {
    NaviPanel* root = GetPanel();
    NaviRcBuilder* b = GetRcBuilder();
    if (!root || !b) return;
    b->CreateTitledWindow(root, GetPanelName());
    b->SetImageGroup(u"RouteResult");
    root->AddChild(b->CreateFrameWnd(u"경로저장_타이틀", true, true, 4, 0, 0, 0));
    root->AddChild(b->CreateFrameWnd(u"경로저장_회색배경", true, true, 25, 74, 0, 0));
    root->AddChild(b->CreateFrameWnd(u"세모", true, true, 17, 51, 0, 0));
    NaviLabel* title = b->CreateLabel(u"경로명입력", 17, 32, 0, 14, kLabelColour, 0, 0, RGB(255, 255, 255));
    title->SetText(u"경로명입력");
    root->AddChild(title);
    NaviLabel* hint = b->CreateLabel(u"이름을 입력하세요.", 29, 49, 0, 14, kLabelColour, 0, 0, RGB(255, 255, 255));
    hint->SetText(u"이름을 입력하세요.");
    root->AddChild(hint);
    root->AddChild(b->CreateCheckButton(u"저장", true, true, true, 70, 123, 96, 27, false, false, root, false, nullptr));
    if (m_list.GetSafeHwnd()) m_list.ShowWindow(SW_HIDE);
    if (m_edit.GetSafeHwnd()) {
        m_edit.MoveWindow(35, 81, 176, 21);
        m_edit.SetWindowText(m_routeName);
        m_edit.ShowWindow(SW_SHOW);
    }
}

void CRouteSaveDlg::BuildSavedScreen() {
    NaviPanel* root = GetPanel();
    NaviRcBuilder* b = GetRcBuilder();
    if (!root || !b) return;
    b->CreateTitledWindow(root, GetPanelName());
    b->SetImageGroup(u"RouteResult");
    NaviItemList* pages = b->CreateItemList(kPages);
    root->AddChild(b->CreateFrameWnd(u"저장정보관리", true, true, 4, 0, 0, 0));
    NaviPanel* routes = b->CreatePanel(u"저장경로");
    NaviPanel* location = b->CreatePanel(u"정보저장위치");
    for (NaviPanel* p : {routes, location}) {
        p->SetTransparent(true);
        p->SetListener(root);
    }
    b->SetImageGroup(u"RouteResult");
    routes->AddChild(b->CreateCheckButton(u"보기", true, true, true, 15, 255, 61, 27, false, false, root, false, nullptr));
    routes->AddChild(b->CreateCheckButton(u"삭제", true, true, true, 82, 255, 61, 27, false, false, root, false, nullptr));
    routes->AddChild(
        b->CreateCheckButton(u"역방향탐색", true, true, true, 149, 255, 76, 27, false, false, root, false, nullptr));

    CNaviConfig* config = CNaviConfig::GetInstance();
    b->SetImageGroup(u"Configure");
    NaviLabel* heading = b->CreateLabel(u"정보저장위치", 20, 52, 0, 14, kLabelColour, 0, 0, RGB(255, 255, 255));
    heading->SetText(u"정보저장위치");
    location->AddChild(heading);
    location->AddChild(b->CreateFrameWnd(u"Background", true, false, 12, 70, 216, 64));
    NaviRadioGroup* group = b->CreateRadioGroup(kLocationGroup);
    group->SetListener(root);
    const CString memory = Formatted(u"PDA(%s)", config->GetItemPath(u"PDA", 0));
    const CString card = Formatted(u"저장장치(%s)", config->GetItemPath(u"저장장치", 1));
    NaviRadioButton* first = b->CreateRadioButton(memory, 0, 20, 80, true);
    NaviRadioButton* second = b->CreateRadioButton(card, 0, 20, 106, true);
    group->AddButton(first);
    group->AddButton(second);
    location->AddChild(group);
    location->AddChild(b->CreateFrameWnd(u"Background", true, false, 12, 140, 216, 110));
    NaviLabel* about = b->CreateLabel(u"관련정보 설명보기", 20, 143, 0, 14, kLabelColour, 0, 0, RGB(255, 255, 255));
    about->SetText(u"관련정보 설명보기");
    location->AddChild(about);
    b->SetImageGroup(u"AddressSearch");
    b->SetCheckGroup(u"버튼1");
    struct Spot {
        const char16_t* name;
        int x, y;
    };
    for (const Spot& s : {Spot{u"등록지점", 18, 159}, Spot{u"안전운행", 125, 159}, Spot{u"환경설정", 18, 189},
                          Spot{u"저장경로", 125, 189}, Spot{u"관심종목", 18, 219}, Spot{u"관심도로", 125, 219}})
        location->AddChild(
            b->CreateCheckButton(s.name, true, true, true, s.x, s.y, 96, 27, true, true, root, false, s.name));
    b->SetImageGroup(u"Configure");
    location->AddChild(b->CreateButton(u"Apply", true, true, true, false, 71, 256, 97, 27, root));
    pages->AddItem(routes);
    pages->AddItem(location);
    root->AddChild(pages);
    NaviTabCtrl* tabs = BuildSavedDataTabs(b);
    tabs->SetListener(root);
    tabs->SetPressFeedback(true);
    root->AddChild(tabs);

    if (m_edit.GetSafeHwnd()) m_edit.ShowWindow(SW_HIDE);
    if (m_list.GetSafeHwnd()) m_list.MoveWindow(11, 47, 218, 187);
    FillList();
    if (!m_selectedFile.IsEmpty() && m_list.GetSafeHwnd()) {
        const std::vector<CString> listed = ListedRoutes();
        for (std::size_t i = 0; i < listed.size(); ++i)
            if (listed[i] == m_selectedFile) m_list.SetCurSel(static_cast<int>(i));
    }
    const int storage = config->GetValue(kSettingStorage);
    SendToPanel(kLocationGroup, kCmdSelect, storage);
    m_chosenLocation = storage;
    ShowPage(m_page);
}

BOOL CRouteSaveDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    m_edit.SubclassDlgItem(kEditId, this);
    m_list.SubclassDlgItem(kListId, this);
    CreatePanel(this);
    if (GetPanel()) GetPanel()->SetListener(this);
    if (IsSaveScreen())
        BuildSaveScreen();
    else
        BuildSavedScreen();
    HideTaskbar();
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    return TRUE;
}

BOOL CRouteSaveDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kEditId) {
        if (HIWORD(wParam) == EN_SETFOCUS) SHSipPreference(GetSafeHwnd(), SIP_UP);
        if (HIWORD(wParam) == EN_KILLFOCUS) SHSipPreference(GetSafeHwnd(), SIP_FORCEDOWN);
    }
    return NaviDialog::OnCommand(wParam, lParam);
}

BOOL CRouteSaveDlg::OnEraseBkgnd(CDC* /*dc*/) {
    return TRUE;
}

void CRouteSaveDlg::OnLButtonDown(UINT flags, CPoint point) {
    SetFocus();
    NaviDialog::OnLButtonDown(flags, point);
}

void CRouteSaveDlg::OnPaint() {
    NaviDialog::OnPaint();
}
