#include "skinui/NaviImageCtrl.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"

NaviImageCtrl::NaviImageCtrl() {
    SetSize(150, 21);
}

NaviImageCtrl::~NaviImageCtrl() {
    delete m_tile;
}

void NaviImageCtrl::SetTile(NaviBitmap* tile) {
    if (tile == m_tile) return;
    delete m_tile;
    m_tile = tile;
}

int NaviImageCtrl::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviImageCtrl::LoadImages(NaviRcBuilder* builder) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    if (builder) {
        CString name;
        name.Format(u"%s\\%s", builder->GetImageGroup().GetString(), m_name.GetString());
        SetTile(builder->LoadImage(name));
    }
    m_transparent = false;
}

void NaviImageCtrl::Draw(CDC* dc) {
    // No maximum or no tile: nothing to divide by, nothing to step with.
    if (m_value <= 0 || m_maximum <= 0 || !m_tile || m_tile->IsEmpty()) return;
    const double limit = static_cast<double>(m_value) * m_width / m_maximum;
    const int step = m_tile->GetWidth() + 4;
    for (int i = 0; i < limit; i += step) DrawImage(dc, m_x + i, m_y, m_tile);
}

void NaviImageCtrl::ProcessCommand(NaviCommand& cmd) {
    if (cmd.target == kTargetDialog) return;
    if (m_listener) m_listener->ProcessEvent(cmd);
}
