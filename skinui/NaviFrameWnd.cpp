#include "skinui/NaviFrameWnd.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"

namespace {
constexpr const char16_t* kBackgroundName = u"Background";
constexpr const char16_t* kCornerNames[4] = {u"LeftTop", u"RightTop", u"LeftBottom", u"RightBottom"};
} // namespace

NaviFrameWnd::NaviFrameWnd() {
    m_pressFeedback = false;
}

NaviFrameWnd::~NaviFrameWnd() {
    for (NaviBitmap* corner : m_corners) delete corner;
}

void NaviFrameWnd::NoteName() {
    if (m_name == kBackgroundName) m_kind = 1;
}

void NaviFrameWnd::SetName(const char16_t* name) {
    NaviControl::SetName(name);
    NoteName();
}

void NaviFrameWnd::AssignName(const CString& name) {
    NaviControl::AssignName(name);
    NoteName();
}

void NaviFrameWnd::LoadImages(NaviRcBuilder* builder) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    // The name may have been set through the base.
    NoteName();
    if (!builder) return;
    CString name;
    name.Format(u"%s\\%s", builder->GetImageGroup().GetString(), m_name.GetString());
    SetImage(builder->LoadImage(name));
    if (m_kind != 1) return;
    const CString saved = builder->GetImageGroup();
    builder->SetImageGroup(u"Window\\Background");
    for (int i = 0; i < 4; ++i) {
        delete m_corners[i];
        name.Format(u"%s\\%s", builder->GetImageGroup().GetString(), kCornerNames[i]);
        m_corners[i] = builder->LoadImage(name);
        if (!m_corners[i]) continue;
        const int w = m_corners[i]->GetWidth(), h = m_corners[i]->GetHeight();
        const bool right = i == 1 || i == 3, bottom = i >= 2;
        m_cornerPos[i] = POINT{right ? m_rect.right - w : m_rect.left, bottom ? m_rect.bottom - h : m_rect.top};
    }
    builder->SetImageGroup(saved);
}

void NaviFrameWnd::Draw(CDC* dc) {
    if (!m_enabled || !dc) return;
    DrawImage(dc, m_x, m_y);
    if (m_kind != 1) return;
    HDC hdc = dc->GetSafeHdc();
    HBRUSH brush = CreateSolidBrush(kFrameBackgroundColor);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    // A null pen leaves the outline out: the fill covers the rectangle exactly.
    Rectangle(hdc, m_rect.left, m_rect.top, m_rect.right + 1, m_rect.bottom + 1);
    for (int i = 0; i < 4; ++i)
        if (m_corners[i]) DrawImage(hdc, m_cornerPos[i].x, m_cornerPos[i].y, m_corners[i]);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(brush);
}

void NaviFrameWnd::ProcessCommand(NaviCommand& cmd) {
    if (!(cmd.control == m_name)) return;
    if (cmd.id == kCmdFrameHide) m_enabled = false;
    else if (cmd.id == kCmdFrameShow) m_enabled = true;
}
