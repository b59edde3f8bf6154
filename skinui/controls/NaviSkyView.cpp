#include "skinui/controls/NaviSkyView.h"

#include "skinui/controls/SkinImage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kCentreX = 83;
constexpr int kCentreY = 98;
constexpr double kPixelsPerDegree = 0.5777777777777777;

} // namespace

NaviSkyView::NaviSkyView() {
    SetSize(12, 8);
}

NaviSkyView::~NaviSkyView() {
    delete m_inViewImage;
    delete m_usedImage;
}

void NaviSkyView::LoadImages(NaviRcBuilder* builder) {
    SetPos(kCentreX - m_width / 2, kCentreY - m_height / 2);
    CString name;
    name.Format(u"%s\\GPS비활성", m_name.GetString());
    ReloadSkinImage(m_inViewImage, builder, name);
    name.Format(u"%s\\GPS활성", m_name.GetString());
    ReloadSkinImage(m_usedImage, builder, name);
}

POINT NaviSkyView::ChartPoint(int elevation, int azimuth) {
    const double r = (90 - elevation) * kPixelsPerDegree;
    const double angle = azimuth * std::numbers::pi * (1.0 / 180);
    return POINT{kCentreX + static_cast<int>(r * std::sin(angle)), kCentreY - static_cast<int>(r * std::cos(angle))};
}

void NaviSkyView::Draw(CDC* dc) {
    // The count comes from the receiver: never more than the record's slots.
    const int n = std::min<int>(static_cast<std::uint8_t>(m_satellites.inView), kMaxSatellites);
    for (int i = 0; i < n; ++i) {
        const POINT at = ChartPoint(m_satellites.elevations[i], m_satellites.azimuths[i]);
        SetPos(at.x, at.y);
        if (!m_visible) continue;
        NaviBitmap* image = m_satellites.used[i] ? m_usedImage : m_inViewImage;
        if (image) DrawImage(dc, at.x, at.y, image);
    }
}

int NaviSkyView::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}
