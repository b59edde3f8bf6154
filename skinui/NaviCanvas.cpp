#include "skinui/NaviCanvas.h"

HBITMAP CreateScreenBitmap(HDC dc, int width, int height) {
    if (HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height)) return bitmap;
    BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

NaviCanvas::~NaviCanvas() {
    if (m_bitmap) DeleteObject(m_bitmap);
}

int NaviCanvas::Create(CDC* dc, RECT rc, CDC* target) {
    if (!dc || !target) return 0;
    m_rect = rc;
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    HDC memory = CreateCompatibleDC(dc->GetSafeHdc());
    if (!memory) return 0;
    HBITMAP bitmap = CreateScreenBitmap(dc->GetSafeHdc(), width, height);
    if (!bitmap) {
        DeleteDC(memory);
        return 0;
    }
    m_bitmap = bitmap;
    m_oldBitmap = SelectObject(memory, bitmap);
    const RECT all{0, 0, width, height};
    ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &all, u"", 0, nullptr);
    target->Attach(memory);
    return 1;
}

void NaviCanvas::Blit(CDC* dst, CDC* src) {
    if (!dst || !src) return;
    BitBlt(dst->GetSafeHdc(), 0, 0, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, src->GetSafeHdc(), 0, 0,
           SRCCOPY);
}

void NaviCanvas::BlitAnd(CDC* dst, int x, int y, CDC* src, int srcX, int srcY, int width) {
    if (!dst || !src) return;
    BitBlt(dst->GetSafeHdc(), x, y, width, m_rect.bottom - m_rect.top, src->GetSafeHdc(), srcX, srcY, SRCAND);
}

void NaviCanvas::Release(CDC* dc) {
    if (!dc) return;
    HDC memory = dc->Detach();
    if (memory) {
        SelectObject(memory, m_oldBitmap);
        DeleteDC(memory);
    }
    if (m_bitmap) DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    m_oldBitmap = nullptr;
}
