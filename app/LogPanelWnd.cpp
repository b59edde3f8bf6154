#include "app/LogPanelWnd.h"

#include "platform/window/Afx.h"
#include "platform/window/Controls.h"
#include "platform/window/Window.h"

namespace {

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.dialogUnits = true;
    info.rect = RECT{0, 0, 112, 64};
    info.style = WS_POPUP | WS_BORDER;
    auto item = [](int id, LPCWSTR cls, RECT rect, DWORD style, const char16_t* text) {
        DialogItem i;
        i.id = id;
        i.className = cls;
        i.rect = rect;
        i.style = WS_VISIBLE | style;
        i.text = text;
        return i;
    };
    info.items = {
        item(CLogPanelWnd::kMainId, WC_BUTTON, RECT{4, 4, 52, 16}, BS_RADIOBUTTON, u"Main"),
        item(CLogPanelWnd::kStorageId, WC_BUTTON, RECT{56, 4, 108, 16}, BS_RADIOBUTTON, u"Storage"),
        item(CLogPanelWnd::kToggleId, WC_BUTTON, RECT{4, 20, 108, 36}, BS_PUSHBUTTON, u"GATHER!"),
        item(CLogPanelWnd::kSpaceId, WC_STATIC, RECT{4, 42, 108, 58}, SS_LEFT, u"Main             Strg"),
    };
    AfxRegisterDialogTemplate(CLogPanelWnd::kTemplate, info);
}

} // namespace

CLogPanelWnd::CLogPanelWnd() : CDialog(kTemplate) {}

CLogPanelWnd::~CLogPanelWnd() {
    if (GetSafeHwnd()) DestroyWindow();
}

BOOL CLogPanelWnd::Create(CWnd* view) {
    RegisterTemplate();
    m_closed = 0;
    m_created = CDialog::Create(kTemplate, view) ? 1 : 0;
    if (!m_created) return FALSE;
    RECT rect;
    GetWindowRect(&rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    MoveWindow(rect.left + 120 - width / 2, rect.top + 70, width, height);
    ShowWindow(SW_SHOW);
    return TRUE;
}

CString CLogPanelWnd::FreeSpaceText(std::uint64_t memoryBytes, std::uint64_t cardBytes) {
    CString text;
    text.Format(u"Main:%3.1fMB   Strg:%3.1fMB", static_cast<double>(memoryBytes) * 0.000001,
                static_cast<double>(cardBytes) * 0.000001);
    return text;
}

void CLogPanelWnd::SelectStorage(int which) {
    m_storage = which == 1 ? 1 : 0;
    if (!GetSafeHwnd()) return;
    CheckDlgButton(kMainId, m_storage == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kStorageId, m_storage == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void CLogPanelWnd::ShowLoggingState() {
    if (!GetSafeHwnd()) return;
    for (int id : {kMainId, kStorageId})
        if (CWnd* radio = GetDlgItem(id)) radio->EnableWindow(m_logging ? FALSE : TRUE);
    SetDlgItemText(kToggleId, m_logging ? u"STOP" : u"START");
}

void CLogPanelWnd::ToggleLogging() {
    m_logging = m_logging ? 0 : 1;
    ShowLoggingState();
    if (!m_logging) SelectStorage(m_storage);
    OnOK();
}

void CLogPanelWnd::OnOK() {
    m_closed = 1;
    m_created = 0;
    if (GetSafeHwnd()) DestroyWindow();
    if (m_onClosed) m_onClosed();
}

BOOL CLogPanelWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case kMainId:
        // While logging the place cannot change.
        if (!m_logging) SelectStorage(0);
        return TRUE;
    case kStorageId:
        if (!m_logging) SelectStorage(1);
        return TRUE;
    case kToggleId:
        ToggleLogging();
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CLogPanelWnd::OnPaint() {
    if (m_closed) {
        CDialog::OnPaint();
        return;
    }
    SetDlgItemText(kSpaceId, FreeSpaceText(m_memoryFree, m_cardFree).GetString());
    SelectStorage(m_storage);
    ShowLoggingState();
    CDialog::OnPaint();
}
