#include "traffic/pages/DisplayPage.h"

#include "traffic/pages/SheetStorage.h"

IMPLEMENT_DYNAMIC(CDisplayPage, CPropertyPage)

namespace {

constexpr const char16_t* kClassNames[4] = {u"원활", u"서행", u"지체", u"정체"};

int OnId(int i) {
    return CDisplayPage::IDC_FAST_ON + 2 * i;
}
int OffId(int i) {
    return CDisplayPage::IDC_FAST_OFF + 2 * i;
}
int SwatchId(int i) {
    return CDisplayPage::IDC_FAST_SWATCH + i;
}

} // namespace

CDisplayPage::CDisplayPage() : CPropertyPage(IDD) {
    for (int i = 0; i < 4; ++i) m_brush[i] = CreateSolidBrush(kSwatch[i]);
}

CDisplayPage::~CDisplayPage() {
    for (HBRUSH& b : m_brush) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
}

void CDisplayPage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_CHILD;
    t.title = u"화면 표시";
    const DWORD v = WS_VISIBLE;
    t.items.push_back({-1, WC_STATIC, RECT{10, 10, 230, 30}, v, u"지도에 표시할 교통정보"});
    for (int i = 0; i < 4; ++i) {
        const int y = 40 + 38 * i;
        t.items.push_back({-1, WC_STATIC, RECT{12, y + 4, 60, y + 26}, v, kClassNames[i]});
        t.items.push_back({SwatchId(i), WC_STATIC, RECT{62, y, 110, y + 28}, v | WS_BORDER, u""});
        t.items.push_back(
            {OnId(i), WC_BUTTON, RECT{122, y + 2, 172, y + 26}, v | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, u"ON"});
        t.items.push_back({OffId(i), WC_BUTTON, RECT{176, y + 2, 232, y + 26}, v | BS_AUTORADIOBUTTON, u"OFF"});
    }
    t.items.push_back({IDC_ALL_ON, WC_BUTTON, RECT{20, 204, 112, 234}, v | WS_TABSTOP | WS_GROUP, u"전체ON"});
    t.items.push_back({IDC_ALL_OFF, WC_BUTTON, RECT{128, 204, 220, 234}, v | WS_TABSTOP, u"전체OFF"});
    AfxRegisterDialogTemplate(IDD, t);
}

void CDisplayPage::RestoreOptions() {
    CSheetStorage::instance()->RestoreDisplayOption(m_show);
}

void CDisplayPage::StoreOptions() const {
    CSheetStorage::instance()->StoreDisplayOption(m_show);
}

BOOL CDisplayPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    for (int i = 0; i < 4; ++i) SetOne(i, m_show[i]);
    return TRUE;
}

void CDisplayPage::SetOne(int i, bool on) {
    m_show[i] = on;
    CheckDlgButton(OnId(i), on ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(OffId(i), on ? BST_UNCHECKED : BST_CHECKED);
}

void CDisplayPage::SetAll(bool on) {
    for (int i = 0; i < 4; ++i) SetOne(i, on);
}

BOOL CDisplayPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED) {
        if (id == IDC_ALL_ON || id == IDC_ALL_OFF) {
            SetAll(id == IDC_ALL_ON);
            return TRUE;
        }
        for (int i = 0; i < 4; ++i)
            if (id == OnId(i) || id == OffId(i)) {
                SetOne(i, id == OnId(i));
                return TRUE;
            }
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

HBRUSH CDisplayPage::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    const int id = wnd ? wnd->GetDlgCtrlID() : 0;
    if (ctlColor == CTLCOLOR_STATIC && id >= IDC_FAST_SWATCH && id <= IDC_CONGESTED_SWATCH)
        return m_brush[id - IDC_FAST_SWATCH];
    return CPropertyPage::OnCtlColor(dc, wnd, ctlColor);
}
