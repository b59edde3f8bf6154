#include "skinui/controls/NaviAnimImage.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

NaviAnimImage::NaviAnimImage() {
    SetSize(33, 33);
}

NaviAnimImage::~NaviAnimImage() {
    for (int i = 0; i < kFrames; ++i) {
        delete m_highway[i];
        delete m_ordinary[i];
    }
}

void NaviAnimImage::LoadImages(NaviRcBuilder* builder) {
    SetPos(2, 72);
    CString name;
    for (int i = 0; i < kFrames; ++i) {
        name.Format(u"%s\\%s%d", m_name.GetString(), u"고속", i);
        ReloadSkinImage(m_highway[i], builder, name);
        name.Format(u"%s\\%s%d", m_name.GetString(), u"일반", i);
        ReloadSkinImage(m_ordinary[i], builder, name);
    }
}

void NaviAnimImage::SetState(int state) {
    m_state = state;
    m_frame = state >= 1 && state <= kFrames ? state - 1 : 0;
}

void NaviAnimImage::Draw(CDC* dc) {
    if (m_suppressed || m_hidden) return;
    NaviBitmap* image = m_setSelector == 0 ? m_ordinary[m_frame] : m_highway[m_frame];
    if (image) DrawImage(dc, m_x, m_y, image);
}

int NaviAnimImage::HitTest(int x, int y) {
    if (m_suppressed || m_hidden) return 0;
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviAnimImage::ProcessCommand(NaviCommand& cmd) {
    if (cmd.id == kCmdIndicatorHide) m_hidden = true;
    else if (cmd.id == kCmdIndicatorShow) m_hidden = false;
}
