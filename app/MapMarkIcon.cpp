#include "app/MapMarkIcon.h"

#include "platform/gdi/AfxGdi.h"
#include "platform/window/AfxControls.h"

CMapMarkIcon::CMapMarkIcon() {
    AfxRegisterSystemIcons();
    m_icon =
        static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, m_width, m_height, 0));
}

CMapMarkIcon::~CMapMarkIcon() {
    Release();
}

void CMapMarkIcon::SetPoint(int x, int y) {
    m_point = POINT{x, y};
    m_rect = RECT{x, y, x + m_width, y + m_height};
}

void CMapMarkIcon::Draw(CDC* dc) const {
    if (!dc || !m_icon) return;
    DrawIconEx(dc->GetSafeHdc(), m_point.x - m_width / 2, m_point.y - m_height / 2, m_icon, m_width, m_height,
               0, nullptr, DI_NORMAL);
}

void CMapMarkIcon::Release() {
    if (!m_icon) return;
    DestroyIcon(m_icon);
    m_icon = nullptr;
}
