#include "app/PointDialogBase.h"

#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "route/base/InputPanel.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviPanel.h"

#include <cstring>

namespace {
constexpr RECT kFullScreen{0, 0, 240, 320};
} // namespace

CPointDialogBase::CPointDialogBase(UINT templateId, CWnd* parent) : NaviDialog(templateId, parent, parent) {}

CPointDialogBase::~CPointDialogBase() {
    DeletePanel();
}

INT_PTR CPointDialogBase::DoModal() {
    if (!AfxFindDialogTemplate(m_templateId, nullptr)) {
        DialogTemplateInfo info;
        info.rect = kFullScreen;
        info.style = WS_POPUP | WS_VISIBLE;
        AddTemplateItems(info);
        AfxRegisterDialogTemplate(m_templateId, info);
    }
    return NaviDialog::DoModal();
}

int CPointDialogBase::TabIndexForType(int type) {
    switch (type) {
    case kTypeDestination:
        return 0;
    case kTypeWaypoint:
        return 1;
    case kTypeStart:
        return 2;
    default:
        return 3;
    }
}

int CPointDialogBase::TypeForTabName(const CString& name) {
    if (name == u"텝_출발지") return kTypeStart;
    if (name == u"텝_목적지") return kTypeDestination;
    if (name == u"텝_경유지") return kTypeWaypoint;
    if (name == u"텝_이동") return kTypeMove;
    return 0;
}

CString CPointDialogBase::FromCp949(const char* field, std::size_t size) {
    if (!field) return CString();
    const void* end = std::memchr(field, 0, size);
    const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : size;
    return CString(Cp949ToUtf16(std::string_view(field, length)).c_str());
}

BOOL CPointDialogBase::OnInitDialog() {
    HideTaskbar();
    NaviDialog::OnInitDialog();
    CreatePanel(this);
    if (NaviPanel* panel = GetPanel()) panel->SetListener(this);
    m_inputPanel.Init();
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    OnOpen();
    return TRUE;
}

BOOL CPointDialogBase::PreTranslateMessage(MSG* msg) {
    if (!KeepsDialogKeys() && IsEnterOrEscape(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CPointDialogBase::OnEraseBkgnd(CDC* dc) {
    if (SwallowsEraseBackground()) return TRUE;
    return NaviDialog::OnEraseBkgnd(dc);
}

void CPointDialogBase::OnPaint() {
    CPaintDC dc(this);
    const RECT rect = GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    PaintUnderPanel(&memory, RECT{0, 0, width, height});
    // The panel draws in screen coordinates; the window's client area starts at its corner.
    ::SetViewportOrgEx(memory.GetSafeHdc(), -rect.left, -rect.top, nullptr);
    Draw(&memory);
    ::SetViewportOrgEx(memory.GetSafeHdc(), 0, 0, nullptr);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}

void CPointDialogBase::Close() {
    OnOK();
}

void CPointDialogBase::Cancel() {
    OnCancel();
}

int CPointDialogBase::Ask(const CString& text) {
    MarkChildUp();
    return NaviMessageBox::ShowMessage(text, NaviMessageBox::kQuestion);
}

void CPointDialogBase::Notify(const CString& text) {
    MarkChildUp();
    NaviMessageBox::ShowMessage(text, NaviMessageBox::kNotice);
}

