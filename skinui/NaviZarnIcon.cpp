#include "skinui/NaviZarnIcon.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"

NaviZarnIcon::NaviZarnIcon() {
    SetSize(33, 33);
}

NaviZarnIcon::~NaviZarnIcon() {
    for (NaviBitmap* image : m_images) delete image;
}

int NaviZarnIcon::HitTest(int x, int y) {
    if (m_hidden) return 0;
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviZarnIcon::LoadImages(NaviRcBuilder* builder) {
    if (!builder) return;
    SetPos(2, builder->GetScreenHeight() - 95);
    for (int i = 0; i < 4; ++i) {
        delete m_images[i];
        CString name;
        name.Format(u"%s\\Zarn%d", m_name.GetString(), i);
        m_images[i] = builder->LoadImage(name);
    }
}

void NaviZarnIcon::Draw(CDC* dc) {
    if (m_hidden) return;
    const int state = m_state >= 0 && m_state <= 3 ? m_state : 0;
    if (m_images[state]) DrawImage(dc, m_x, m_y, m_images[state]);
}

void NaviZarnIcon::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdZarnMove: SetPos(2, cmd.param2 - 95); break;
    case kCmdZarnHide: m_hidden = true; break;
    case kCmdZarnShow: m_hidden = false; break;
    default: break;
    }
}
