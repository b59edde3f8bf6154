#include "skinui/controls/NaviRadioButton.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"

namespace {

constexpr int kTextGap = 3; // between the image and the text

} // namespace

NaviRadioButton::NaviRadioButton() {
    m_pressImageFlag = true;
}

void NaviRadioButton::SetRect(RECT rect) {
    OffsetRect(&m_textRect, rect.left - m_rect.left, rect.top - m_rect.top);
    m_rect = rect;
}

void NaviRadioButton::SetPos(int x, int y) {
    RECT moved = m_rect;
    OffsetRect(&moved, x - m_x, y - m_y);
    m_x = x;
    m_y = y;
    SetRect(moved);
}

void NaviRadioButton::LoadImages(NaviRcBuilder* builder) {
    if (builder) {
        const CString group = builder->GetImageGroup();
        SetImage(LoadNamed(builder, group, m_imageName, u""));
        SetPressedImage(m_pressImageFlag ? LoadNamed(builder, group, m_imageName, u"_Press") : nullptr);
        if (m_image) {
            SetSize(m_image->GetWidth(), m_image->GetHeight());
            m_transparent = m_image->GetBkgndIndex() >= 0;
        }
    }
    m_rect = RECT{m_x + 1, m_y, m_x + m_width + 1, m_y + m_height};
}

void NaviRadioButton::Layout(CDC* dc) {
    const SIZE text = MeasureText(dc, m_name);
    const int w = m_width;
    const int h = m_height;
    const int dy = (h - text.cy) / 2;
    m_textRect.top = m_rect.top + dy;
    m_textRect.bottom = m_rect.top + text.cy + dy;
    m_textRect.left = m_rect.left + w + kTextGap;
    m_textRect.right = m_textRect.left + text.cx;
    SetSize(w + kTextGap + text.cx, h);
    m_rect.right = m_rect.left + m_width;
    m_textLaidOut = true;
}

void NaviRadioButton::Draw(CDC* dc) {
    if (!dc) return;
    if (!m_textLaidOut) Layout(dc);
    const bool selected = m_pressed;
    DrawImage(dc, m_x, m_y, m_image);
    m_pressed = selected;
    if (!m_showText) return;
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    RECT r = m_textRect;
    dc->DrawText(m_name, &r, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    dc->SetBkMode(oldMode);
}
