#include "search/ui/CDlgPOI.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/window/Afx.h"
#include "search/PoiFile.h"
#include "search/ui/NaviFlowString.h"
#include "search/ui/SearchStrings.h"
#include "skinui/NaviPanel.h"
#include "skinui/controls/NaviControlIds.h"

#include <cstring>

namespace {

constexpr RECT kDetailRect{11, 81, 11 + 218, 81 + 166};
constexpr int kWrapMargin = 40;
constexpr UINT kSkinTimerPeriod = 200;

CString FromCp949(const char* text, std::size_t size) {
    return CString(Cp949ToUtf16(std::string(text, strnlen(text, size))).c_str());
}

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CDlgPOI::kTemplate, info);
}

} // namespace

CDlgPOI::CDlgPOI(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {}

CDlgPOI::~CDlgPOI() {
    // The flowing lines belong to the root panel, which frees them.
    DeletePanel();
}

bool CDlgPOI::OpenOn(const char16_t* poiPath) {
    if (m_poiIndex < 0 || !poiPath) return false;
    CPoiFile file;
    if (!file.Open(poiPath)) return false;
    return file.ReadPOI(m_poiIndex, m_poi);
}

INT_PTR CDlgPOI::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

CString CDlgPOI::FilteringAddress(const CString& address) {
    const std::u16string text = address.GetString();
    const std::size_t blank = text.find(u' ');
    const std::u16string first = text.substr(0, blank);
    const std::u16string rest = blank == std::u16string::npos ? u"" : text.substr(blank);
    std::u16string shortened = first;
    if (first.size() == 5) shortened = first.substr(0, 2) + u"시";
    else if (first.size() == 4) shortened = std::u16string{first[0], first[2]};
    return CString((shortened + rest).c_str());
}

CString CDlgPOI::StringProcessor(HDC dc, const CString& text, int width) {
    // Character by character: a line takes characters while its width stays within the limit
    // (always at least one character, so a narrow box cannot loop).
    std::u16string out, line;
    const std::u16string in = text.GetString();
    auto lineWidth = [&](const std::u16string& s) {
        SIZE size{0, 0};
        GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    };
    for (std::size_t i = 0; i < in.size(); ++i) {
        const char16_t c = in[i];
        if (c == u'\r') continue;
        if (c == u'\n') {
            out += line + u"\r\n";
            line.clear();
            continue;
        }
        if (!line.empty() && lineWidth(line + c) > width) {
            out += line + u"\r\n";
            line.clear();
        }
        line += c;
    }
    out += line;
    return CString(out.c_str());
}

void CDlgPOI::BuildTexts() {
    m_name = FromCp949(m_poi.name, sizeof m_poi.name);
    const CString telLabel = SearchString(kStrTelephone);
    const CString addrLabel = SearchString(kStrAddress);
    m_telephone = CString();
    m_address = CString();
    m_detail = CString();
    bool haveTel = false, haveAddr = false;
    HDC dc = CreateCompatibleDC(nullptr);
    CFont font;
    font.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    const HGDIOBJ oldFont = SelectObject(dc, font.GetSafeHandle());
    for (const _POI_ITEM& item : m_poi.items) {
        const CString label = FromCp949(item.label, sizeof item.label);
        const CString text = FromCp949(item.text, sizeof item.text);
        if (!haveAddr && label == addrLabel) {
            m_address = text;
            haveAddr = true;
        } else if (!haveTel && label == telLabel) {
            m_telephone = text;
            haveTel = true;
        } else if (!label.IsEmpty() && !text.IsEmpty()) {
            CString line;
            line.Format(u"※ %s : %s\r\n", label.GetString(), text.GetString());
            m_detail += StringProcessor(dc, line, (kDetailRect.right - kDetailRect.left) - kWrapMargin);
        }
    }
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    if (m_telephone.IsEmpty()) {
        m_telephone = m_address;
        m_address = CString();
    }
    if (m_detail.IsEmpty()) m_detail = SearchString(kStrNoOtherDetail);
    if (!m_address.IsEmpty()) m_address = FilteringAddress(m_address);
}

BOOL CDlgPOI::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    if (!m_useMenuButton) SendToPanel(u"이전", kCmdDisable, -1);
    m_detailEdit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY, kDetailRect,
                        this, kDetailControl);
    MoveWindow(0, 0, 240, 320);
    CreateNaviFlowString();
    StartTimer(kSkinTimerPeriod);
    BuildTexts();
    DisplayText();
    ShowPointType();
    return TRUE;
}

CString CDlgPOI::ScreenFor(int uiType) {
    return uiType == 2004 ? u"POIInfo" : u"POIInfoAdv";
}

void CDlgPOI::Prepare(int uiType, NaviRcBuilder* builder, int pointType, bool directRoute, int poiIndex) {
    SetPanelName(ScreenFor(uiType));
    SetRcBuilder(builder);
    SetPointType(pointType);
    SetDirectRoute(directRoute);
    SetPOIIndex(poiIndex);
}

void CDlgPOI::CreateNaviFlowString() {
    NaviPanel* panel = GetPanel();
    if (!panel) return;
    m_telephoneFlow = NaviFlowString::AddCaption(panel, u"전화번호", RECT{29, 49, 227, 62});
    m_addressFlow = NaviFlowString::AddCaption(panel, u"주소", RECT{29, 67, 227, 80});
}

void CDlgPOI::DisplayText() {
    SendToPanel(u"시설명칭", kCmdSetLabelText, -1, m_name);
    if (m_telephoneFlow) m_telephoneFlow->SetText(m_telephone);
    if (m_addressFlow) m_addressFlow->SetText(m_address);
    if (m_detailEdit.GetSafeHwnd()) m_detailEdit.SetWindowText(m_detail);
}

void CDlgPOI::ShowPointType() {
    const bool basic = GetPanelName() == u"POIInfo";
    if (m_pointType == 0) m_pointType = basic ? 2 : 4;
    int tab = 3;
    if (basic) tab = m_pointType == 1 ? 1 : 0;
    else if (m_pointType == 1) tab = 2;
    else if (m_pointType == 2) tab = 0;
    else if (m_pointType == 3) tab = 1;
    SendToPanel(u"텝_상세정보", kCmdSelect, tab);
}

void CDlgPOI::OnTimer(UINT_PTR /*id*/) {
    Invalidate(FALSE);
}

void CDlgPOI::OnDestroy() {
    StopTimer();
    NaviDialog::OnDestroy();
}

void CDlgPOI::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"현위치") {
        m_currentPos = true;
        EndDialog(IDOK);
    } else if (name == u"이전") {
        m_back = true;
        EndDialog(IDOK);
    } else if (name == u"<< 이전") {
        EndDialog(IDCANCEL);
    } else if (name == u"위치보기") {
        m_showPosition = true;
        EndDialog(IDOK);
    } else if (name == u"바로탐색") {
        if (!m_directRouteAllowed && m_pointType != 2 && m_pointType != 4) {
            NaviMessageBox::ShowMessage(SearchString(kStrSetDestinationFirst), NaviMessageBox::kNotice);
            return;
        }
        m_routeDirectly = true;
        EndDialog(IDOK);
    } else if (name == u"텝_상세정보") {
        if (cmd.text == u"텝_출발지") m_pointType = 1;
        else if (cmd.text == u"텝_목적지") m_pointType = 2;
        else if (cmd.text == u"텝_경유지") m_pointType = 3;
        else if (cmd.text == u"텝_이동") m_pointType = 4;
    }
}
