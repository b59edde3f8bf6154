#include "skinui/controls/NaviReRouteMark.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

namespace {

constexpr const char16_t* kNames[] = {u"교통재탐색_수동", u"교통재탐색_자동", u"일반재탐색_수동",
                                      u"일반재탐색_자동", u"재탐색_수동",     u"재탐색_자동"};
enum { kTrafficManual, kTrafficAuto, kOrdinaryManual, kOrdinaryAuto, kPlainManual, kPlainAuto };
constexpr int kMarkX = 186;
constexpr int kAboveBottom = 76;

} // namespace

NaviReRouteMark::NaviReRouteMark() {
    SetSize(52, 47);
}

NaviReRouteMark::~NaviReRouteMark() {
    for (NaviBitmap* image : m_images) delete image;
}

const char16_t* NaviReRouteMark::ImageName(int index) {
    return index >= 0 && index < kImages ? kNames[index] : u"";
}

void NaviReRouteMark::LoadImages(NaviRcBuilder* builder) {
    SetPos(kMarkX, (builder ? builder->GetScreenHeight() : 320) - kAboveBottom);
    CString name;
    for (int i = 0; i < kImages; ++i) {
        name.Format(u"%s\\%s", m_name.GetString(), kNames[i]);
        ReloadSkinImage(m_images[i], builder, name);
    }
}

int NaviReRouteMark::ImageShown() const {
    if (!m_combined) return m_autoSearch ? kPlainAuto : kPlainManual;
    if (m_autoSearch) return m_traffic ? kTrafficAuto : kOrdinaryAuto;
    return m_traffic ? kTrafficManual : kOrdinaryManual;
}

void NaviReRouteMark::Draw(CDC* dc) {
    NaviBitmap* image = m_images[ImageShown()];
    if (image) DrawImage(dc, m_x, m_y, image);
}

int NaviReRouteMark::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviReRouteMark::ProcessCommand(NaviCommand& cmd) {
    if (cmd.id == kCmdScreenSize) SetPos(kMarkX, cmd.param2 - kAboveBottom);
}
