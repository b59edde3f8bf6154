#include "skinui/NaviControl.h"

#include "platform/sound/Sound.h"
#include "skinui/NaviBitmap.h"

NaviControl::NaviControl() = default;

NaviControl::~NaviControl() {
    delete m_image;
    delete m_pressedImage;
}

void NaviControl::SetRect(RECT rect) {
    m_rect = rect;
}

void NaviControl::SetName(const char16_t* name) {
    m_name = name ? name : u"";
}

void NaviControl::AssignName(const CString& name) {
    m_name = name;
}

void NaviControl::SetSize(int width, int height) {
    m_width = width;
    m_height = height;
}

void NaviControl::SetPos(int x, int y) {
    m_x = x;
    m_y = y;
    m_rect = RECT{x, y, x + m_width, y + m_height};
}

void NaviControl::SetListener(NaviListener* listener) {
    if (listener && listener == dynamic_cast<NaviListener*>(this)) return;
    m_listener = listener;
}

int NaviControl::DrawImage(CDC* dc, int x, int y, NaviBitmap* img) {
    return DrawImage(dc ? dc->GetSafeHdc() : nullptr, x, y, img);
}

int NaviControl::DrawImage(HDC dc, int x, int y, NaviBitmap* img) {
    if (!img) img = m_image;
    if (!img) return 0;
    if (m_pressed) {
        m_pressed = false;
        if (m_pressedImage) {
            img = m_pressedImage;
        } else {
            ++x;
            ++y;
        }
    }
    img->SetTransparent(m_transparent);
    img->Draw(dc, x, y, -1, -1);
    return 1;
}

void NaviControl::PlaySound() {
    if (m_sound.empty()) return;
    ::PlaySoundW(reinterpret_cast<LPCWSTR>(m_sound.data()), nullptr, SND_ASYNC | SND_MEMORY);
}

void NaviControl::SetImage(NaviBitmap* image) {
    if (image == m_image) return;
    delete m_image;
    m_image = image;
}

void NaviControl::SetPressedImage(NaviBitmap* image) {
    if (image == m_pressedImage) return;
    delete m_pressedImage;
    m_pressedImage = image;
}
