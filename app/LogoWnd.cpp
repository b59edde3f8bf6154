#include "app/LogoWnd.h"

#include "platform/window/Afx.h"
#include "platform/window/Window.h"
#include "skinui/NaviBitmap.h"

namespace {

void RegisterTemplate() {
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP;
    AfxRegisterDialogTemplate(CLogoWnd::kTemplate, info);
}

} // namespace

CLogoWnd::CLogoWnd() : CDialog(kTemplate) {}

CLogoWnd::~CLogoWnd() {
    if (GetSafeHwnd()) DestroyWindow();
    delete m_image;
}

void CLogoWnd::SetImage(NaviBitmap* image) {
    if (image == m_image) return;
    delete m_image;
    m_image = image;
}

BOOL CLogoWnd::Create(CWnd* parent) {
    RegisterTemplate();
    if (!CDialog::Create(kTemplate, parent)) return FALSE;
    MoveWindow(0, 0, 240, 320);
    return TRUE;
}

void CLogoWnd::Refresh() {
    if (!GetSafeHwnd()) return;
    MoveWindow(0, 0, 240, 320);
    ShowWindow(SW_SHOW);
    UpdateWindow();
}

BOOL CLogoWnd::DestroyWindow() {
    delete m_image;
    m_image = nullptr;
    return CDialog::DestroyWindow();
}

void CLogoWnd::OnPaint() {
    CPaintDC dc(this);
    if (m_image) m_image->Draw(dc.GetSafeHdc(), 0, 0);
}
