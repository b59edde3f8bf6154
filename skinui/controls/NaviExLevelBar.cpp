#include "skinui/controls/NaviExLevelBar.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

NaviExLevelBar::NaviExLevelBar() {
    SetSize(29, 24);
}

NaviExLevelBar::~NaviExLevelBar() {
    for (int i = 0; i < kImages; ++i) {
        delete m_images[i];
        delete m_activeImages[i];
    }
}

void NaviExLevelBar::LoadImages(NaviRcBuilder* builder) {
    m_originY = 2;
    m_originX = 2 * m_width + 151;
    m_rect = RECT{m_originX, 2, m_originX + m_width, 8 * m_height + 18};
    CString name;
    for (int i = 0; i < kImages; ++i) {
        name.Format(u"%s\\%d", m_name.GetString(), i + 1);
        ReloadSkinImage(m_images[i], builder, name);
        name.Format(u"%s\\%d_A", m_name.GetString(), i + 1);
        ReloadSkinImage(m_activeImages[i], builder, name);
    }
}

void NaviExLevelBar::DrawAt(CDC* dc, NaviBitmap* image, int pos, bool pressRule) {
    int p = 0;
    if (pressRule && pos == m_pressedPos && m_pressCount > 0) {
        p = 1;
        --m_pressCount;
    }
    if (image) DrawImage(dc, m_originX + p, m_originY + pos * (m_height + 2) + p, image);
}

void NaviExLevelBar::Draw(CDC* dc) {
    if (m_hidden) return;
    for (int i = 0; i < kImages; ++i) DrawAt(dc, m_images[i], i, true);
    // No level in use (or one past the column) has no highlighted image.
    if (m_currentPos >= 0 && m_currentPos < kImages) DrawAt(dc, m_activeImages[m_currentPos], m_currentPos, true);
}

void NaviExLevelBar::DrawLevel(CDC* dc, int level) {
    SetLevel(level);
    const int pending = m_pressCount;
    m_pressCount = 0;
    Draw(dc);
    m_pressCount = pending;
}

int NaviExLevelBar::HitTest(int x, int y) {
    if (m_hidden) return 0;
    for (int i = 0; i < kImages; ++i) {
        const int top = m_originY + i * (m_height + 2);
        const RECT r{m_originX, top, m_originX + m_width, top + m_height};
        if (!PtInRect(&r, POINT{x, y})) continue;
        m_pressedPos = i;
        return i == m_currentPos ? kHitCurrent : StepToLevel(i + 1);
    }
    return 0;
}

void NaviExLevelBar::ProcessCommand(NaviCommand& cmd) {
    if (cmd.id == kCmdIndicatorHide) m_hidden = true;
    else if (cmd.id == kCmdIndicatorShow) m_hidden = false;
}
