#include "skinui/controls/NaviCompass.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

NaviCompass::NaviCompass() {
    SetSize(33, 33);
}

NaviCompass::~NaviCompass() {
    for (NaviBitmap* image : m_images) delete image;
}

void NaviCompass::LoadImages(NaviRcBuilder* builder) {
    SetPos(2, 37);
    CString name;
    for (int k = 0; k < kImages; ++k) {
        name.Format(u"%s\\%d", m_name.GetString(), 10 * k);
        ReloadSkinImage(m_images[k], builder, name);
    }
}

int NaviCompass::ImageFor(int index) {
    if (index == 0 || index == 36) return index;
    if (index >= 1 && index <= 35) return 35 - index;
    return -1;
}

void NaviCompass::Draw(CDC* dc) {
    if (m_hidden) return;
    const int k = ImageFor(m_headingIndex);
    if (k >= 0 && m_images[k]) DrawImage(dc, m_x, m_y, m_images[k]);
}

void NaviCompass::DrawHeading(CDC* dc, int index) {
    m_headingIndex = index;
    Draw(dc);
}

int NaviCompass::HitTest(int x, int y) {
    return !m_hidden && PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviCompass::ProcessCommand(NaviCommand& cmd) {
    if (cmd.id == kCmdIndicatorHide) m_hidden = true;
    else if (cmd.id == kCmdIndicatorShow) m_hidden = false;
}
