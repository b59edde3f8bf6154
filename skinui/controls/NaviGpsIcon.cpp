#include "skinui/controls/NaviGpsIcon.h"

#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/SkinImage.h"

namespace {

constexpr const char16_t* kNames[] = {u"Gps_Cur", u"Gps_VeryGood", u"Gps_Good", u"Gps_Bad", u"Gps_Disconnect"};
constexpr int kGoodReception = 75;

} // namespace

NaviGpsIcon::NaviGpsIcon() {
    SetSize(33, 33);
}

NaviGpsIcon::~NaviGpsIcon() {
    for (NaviBitmap* image : m_images) delete image;
}

void NaviGpsIcon::LoadImages(NaviRcBuilder* builder) {
    SetPos(2, 2);
    CString name;
    for (int i = 0; i < kImageCount; ++i) {
        name.Format(u"%s\\%s", m_name.GetString(), kNames[i]);
        ReloadSkinImage(m_images[i], builder, name);
    }
}

bool NaviGpsIcon::SetFollowCar(bool on) {
    const bool changed = on != m_followCar;
    m_followCar = on;
    return changed;
}

int NaviGpsIcon::ImageShown() const {
    if (m_hidden || m_reception < -1) return -1;
    if (!m_followCar) return kCur;
    if (m_reception == -1) return kDisconnect;
    if (m_reception == 0) return kBad;
    return m_reception < kGoodReception ? kGood : kVeryGood;
}

void NaviGpsIcon::Draw(CDC* dc) {
    const int shown = ImageShown();
    if (shown >= 0 && m_images[shown]) DrawImage(dc, m_x, m_y, m_images[shown]);
}

int NaviGpsIcon::HitTest(int x, int y) {
    return !m_hidden && PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviGpsIcon::ProcessCommand(NaviCommand& cmd) {
    switch (cmd.id) {
    case kCmdIndicatorHide: m_hidden = true; break;
    case kCmdIndicatorShow: m_hidden = false; break;
    case kCmdFollowCar: m_followCar = true; break;
    case kCmdFollowOff: m_followCar = false; break;
    default: break;
    }
}
