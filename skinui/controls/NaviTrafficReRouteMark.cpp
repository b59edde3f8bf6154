#include "skinui/controls/NaviTrafficReRouteMark.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

namespace {

constexpr int kMarkX = 186;

} // namespace

NaviTrafficReRouteMark::NaviTrafficReRouteMark() {
    SetSize(52, 47);
}

void NaviTrafficReRouteMark::LoadImages(NaviRcBuilder* builder) {
    if (builder) m_baseHeight = builder->GetScreenHeight();
    SetPos(kMarkX, m_baseHeight - 76);
    SetImage(LoadSkinImage(builder, u"ReRoute\\교통수신재탐색"));
}

void NaviTrafficReRouteMark::Reposition(int kind) {
    if (kind == kCmdEventNormal) SetPos(kMarkX, m_baseHeight - 76);
    else if (kind == kCmdEventUpper) SetPos(kMarkX, m_baseHeight - 170);
}

void NaviTrafficReRouteMark::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y, m_image);
}

int NaviTrafficReRouteMark::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviTrafficReRouteMark::ProcessCommand(NaviCommand& cmd) {
    if (cmd.id != kCmdScreenSize) return;
    m_baseHeight = cmd.param2;
    SetPos(kMarkX, m_baseHeight - 76);
}
