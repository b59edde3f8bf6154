#include "skinui/controls/NaviCheckBox.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

constexpr int kTextGap = 3;   // between the image and the text
constexpr int kTouchMargin = 3; // the touch area reaches this far past image and text

} // namespace

NaviCheckBox::NaviCheckBox() {
    m_pressImageFlag = true;
}

void NaviCheckBox::LoadImages(NaviRcBuilder* builder) {
    if (builder) {
        const CString group = builder->GetImageGroup();
        SetImage(LoadNamed(builder, group, m_imageName, u""));
        SetPressedImage(m_pressImageFlag ? LoadNamed(builder, group, m_imageName, u"_Press") : nullptr);
        if (m_image) {
            SetSize(m_image->GetWidth(), m_image->GetHeight());
            m_transparent = m_image->GetBkgndIndex() >= 0;
        }
    }
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
}

void NaviCheckBox::Layout(CDC* dc) {
    const SIZE text = MeasureText(dc, m_name);
    const int w = m_width;
    const int h = m_height;
    m_textRect = m_rect;
    const int dy = (h - text.cy) / 2;
    m_textRect.top = m_rect.top + dy;
    m_textRect.bottom = m_rect.top + text.cy + dy;
    m_textRect.left = m_rect.left + w + kTextGap;
    m_textRect.right = m_textRect.left + text.cx;
    SetSize(w + kTextGap + text.cx, h);
    m_rect.right = m_rect.left + m_width;
    InflateRect(&m_rect, kTouchMargin, kTouchMargin);
    m_textLaidOut = true;
}

void NaviCheckBox::Draw(CDC* dc) {
    if (!dc) return;
    if (!m_textLaidOut) Layout(dc);
    const bool checked = m_pressed;
    DrawImage(dc, m_x, m_y, m_image);
    m_pressed = checked;
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    RECT r = m_textRect;
    dc->DrawText(m_name, &r, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    dc->SetBkMode(oldMode);
}

void NaviCheckBox::OnPenDown() {
    if (!m_enabled) return;
    m_pressed = !m_pressed;
    Report(m_pressed ? 1 : 0);
}

void NaviCheckBox::ProcessCommand(NaviCommand& cmd) {
    if (cmd.control == m_name) {
        if (cmd.id == kCmdSelect) m_pressed = cmd.param1 != 0;
        else if (cmd.id == kCmdDisable) m_enabled = cmd.param1 != 0;
    }
    if (cmd.target != kTargetDialog && m_listener) m_listener->ProcessEvent(cmd);
}
