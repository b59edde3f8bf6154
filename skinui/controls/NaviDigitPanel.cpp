#include "skinui/controls/NaviDigitPanel.h"

#include "skinui/controls/SkinImage.h"

NaviDigitPanel::NaviDigitPanel() {
    SetSize(8, 15);
}

NaviDigitPanel::~NaviDigitPanel() {
    for (int i = 0; i < 10; ++i) {
        delete m_big[i];
        delete m_small[i];
        delete m_waypoint[i];
    }
    delete m_point;
    delete m_waypointPoint;
    delete m_colon;
    delete m_km;
}

int NaviDigitPanel::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviDigitPanel::LoadImages(NaviRcBuilder* builder) {
    CString name;
    const char16_t* own = m_name.GetString();
    for (int i = 0; i < 10; ++i) {
        name.Format(u"%s\\%s\\%d", own, u"큰숫자", i);
        ReloadSkinImage(m_big[i], builder, name);
        name.Format(u"%s\\%s\\%d", own, u"작은숫자", i);
        ReloadSkinImage(m_small[i], builder, name);
        name.Format(u"%s\\%s\\%d", own, u"경유지", i);
        ReloadSkinImage(m_waypoint[i], builder, name);
    }
    name.Format(u"%s\\%s", own, u"기호\\점");
    ReloadSkinImage(m_point, builder, name);
    name.Format(u"%s\\%s", own, u"경유지\\점");
    ReloadSkinImage(m_waypointPoint, builder, name);
    name.Format(u"%s\\%s", own, u"기호\\세미콜론");
    ReloadSkinImage(m_colon, builder, name);
    name.Format(u"%s\\%s", own, u"기호\\km");
    ReloadSkinImage(m_km, builder, name);
}

void NaviDigitPanel::Put(CDC* dc, NaviBitmap* image, int x, int y) {
    if (image) DrawImage(dc, x, y, image);
}

void NaviDigitPanel::DrawDistanceText(CDC* dc, const CString& text, int right, int y) {
    int x = right;
    for (int i = text.GetLength(); i-- > 0;) {
        const char16_t c = text[i];
        if (const int d = Digit(c); d >= 0) {
            x -= 10;
            Put(dc, m_big[d], x, y);
        } else if (c == u'.') {
            x -= 4;
            Put(dc, m_point, x, y + 13);
        } else if (c == u'k') {
            x -= 16;
            Put(dc, m_km, x, y + 10);
        }
    }
}

void NaviDigitPanel::DrawKmText(CDC* dc, const CString& text, int right, int y) {
    int x = right;
    for (int i = text.GetLength(); i-- > 0;) {
        const char16_t c = text[i];
        if (const int d = Digit(c); d >= 0) {
            x -= 30;
            Put(dc, m_big[d], x, y);
        } else if (c == u'k') {
            x -= 34;
            Put(dc, m_km, x, y + 43);
        }
    }
}

void NaviDigitPanel::DrawTimeText(CDC* dc, const CString& text, int right, int y) {
    int x = right;
    for (int i = text.GetLength(); i-- > 0;) {
        const char16_t c = text[i];
        if (const int d = Digit(c); d >= 0) {
            x -= 8;
            Put(dc, m_small[d], x, y);
        } else if (c == u':') {
            x -= 5;
            Put(dc, m_colon, x, y + 1);
        }
    }
}

void NaviDigitPanel::DrawWaypointText(CDC* dc, const CString& text, int right, int y) {
    int x = right;
    for (int i = text.GetLength(); i-- > 0;) {
        const char16_t c = text[i];
        if (const int d = Digit(c); d >= 0) {
            x -= 10;
            Put(dc, m_waypoint[d], x, y);
        } else if (c == u'.') {
            x -= 4;
            Put(dc, m_waypointPoint, x, y + 13);
        }
    }
}

void NaviDigitPanel::DrawTextLeft(CDC* dc, const CString& text, int left, int y) {
    int x = left;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char16_t c = text[i];
        if (const int d = Digit(c); d >= 0) {
            Put(dc, m_big[d], x, y);
            x += 15;
        } else if (c == u'.') {
            Put(dc, m_point, x, y);
            x += 5;
        } else if (c == u'k') {
            Put(dc, m_km, x, y);
            x += 18;
        }
    }
}
