#include "skinui/controls/NaviDistBar.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

NaviDistBar::NaviDistBar() {
    SetSize(36, 19);
}

NaviDistBar::~NaviDistBar() {
    for (NaviBitmap* image : m_images) delete image;
}

int NaviDistBar::ImageIndex(int level) {
    switch (level) {
    case 1:
    case 2: return 0;
    case 3: return 1;
    case 4:
    case 5: return 2;
    case 6: return 3;
    case 7: return 4;
    case 8: return 5;
    case 9: return 6;
    case 10: return 7;
    case 11: return 8;
    default: return 0;
    }
}

void NaviDistBar::LoadImages(NaviRcBuilder* builder) {
    SetPos(3, (builder ? builder->GetScreenHeight() : 320) - 60);
    CString name;
    for (int i = 0; i < kImages; ++i) {
        name.Format(u"%s\\%d", m_name.GetString(), i + 1);
        ReloadSkinImage(m_images[i], builder, name);
    }
    m_transparent = false;
}

void NaviDistBar::Draw(CDC* dc) {
    NaviBitmap* image = m_images[ImageIndex(m_value)];
    if (image) DrawImage(dc, m_x, m_y, image);
}

void NaviDistBar::DrawValue(CDC* dc, int value) {
    m_value = value;
    Draw(dc);
}

int NaviDistBar::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviDistBar::ProcessCommand(NaviCommand& cmd) {
    if (cmd.id == kCmdScreenSize) SetPos(3, cmd.param2 - 60);
}
