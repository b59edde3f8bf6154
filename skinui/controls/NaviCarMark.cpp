#include "skinui/controls/NaviCarMark.h"

#include "skinui/controls/SkinImage.h"

NaviCarMark::NaviCarMark() {
    SetSize(32, 32);
}

NaviCarMark::~NaviCarMark() {
    for (NaviBitmap* image : m_cars) delete image;
    for (NaviBitmap* image : m_circles) delete image;
    for (NaviBitmap* image : m_bcars) delete image;
}

void NaviCarMark::LoadImages(NaviRcBuilder* builder) {
    CString name;
    for (int i = 0; i < kHeadings; ++i) {
        name.Format(u"%s\\car%d", m_name.GetString(), 10 * i);
        ReloadSkinImage(m_cars[i], builder, name);
        name.Format(u"%s\\circle%d", m_name.GetString(), 10 * i);
        ReloadSkinImage(m_circles[i], builder, name);
    }
    for (int i = 0; i < 2; ++i) {
        name.Format(u"%s\\bcar%d", m_name.GetString(), i);
        ReloadSkinImage(m_bcars[i], builder, name);
    }
}

void NaviCarMark::Draw(CDC* dc) {
    const int x = m_x, y = m_y;
    if (m_carIndex == kTwoPieceCar) {
        if (m_bcars[1]) DrawImage(dc, x - 22, y - 13, m_bcars[1]);
        if (m_bcars[0]) DrawImage(dc, x - 12, y - 7, m_bcars[0]);
    }
    // Negative indices name no image.
    if (m_carIndex >= 0 && m_carIndex < kHeadings && m_cars[m_carIndex])
        DrawImage(dc, x - m_width / 2, y - m_height / 2, m_cars[m_carIndex]);
    if (m_circleIndex >= 0 && m_circleIndex < kHeadings && m_carIndex < kTwoPieceCar && m_circles[m_circleIndex])
        DrawImage(dc, x - 25, y - 25, m_circles[m_circleIndex]);
}

bool NaviCarMark::SetCarHue(int n, int hue) {
    NaviBitmap* image = GetCarImage(n);
    if (!image || image->GetBpp() > 8 || image->GetPaletteSize() / 4 < 6) return false;
    for (int i = 0; i < 6; ++i) {
        RGBQUAD hsl = NaviBitmap::RGBtoHSL(image->GetPaletteColor(i));
        hsl.rgbRed = static_cast<BYTE>(hue);
        const RGBQUAD rgb = NaviBitmap::HSLtoRGB(hsl);
        image->SetPaletteColor(i, rgb.rgbRed, rgb.rgbGreen, rgb.rgbBlue);
    }
    // The image's section was made from the old palette: a fresh copy makes it again on drawing.
    NaviBitmap fresh(*image);
    *image = fresh;
    return true;
}
