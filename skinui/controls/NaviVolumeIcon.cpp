#include "skinui/controls/NaviVolumeIcon.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

NaviVolumeIcon::NaviVolumeIcon() {
    SetSize(34, 21);
}

void NaviVolumeIcon::Place() {
    SetPos(4, m_baseHeight - (m_muted ? 118 : 83));
}

void NaviVolumeIcon::LoadImages(NaviRcBuilder* builder) {
    if (builder) m_baseHeight = builder->GetScreenHeight();
    Place();
    CString name;
    name.Format(u"Volume\\%s", m_name.GetString());
    SetImage(LoadSkinImage(builder, name));
}

void NaviVolumeIcon::SetMuted(bool muted) {
    m_muted = muted;
    Place();
}

void NaviVolumeIcon::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y, m_image);
}

int NaviVolumeIcon::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviVolumeIcon::ProcessCommand(NaviCommand& cmd) {
    if (cmd.id == kCmdScreenSize) {
        m_baseHeight = cmd.param2;
        Place();
    } else if (cmd.id == kCmdSliderValue) {
        m_visible = cmd.param1 == 0;
    }
}
