#include "skinui/controls/NaviLevelBar.h"

#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviDistBar.h"
#include "skinui/controls/SkinImage.h"

NaviLevelBar::NaviLevelBar() {
    SetSize(29, 29);
}

NaviLevelBar::~NaviLevelBar() {
    for (NaviBitmap* image : m_images) delete image;
    delete m_zoomIn;
    delete m_zoomOut;
}

void NaviLevelBar::LoadImages(NaviRcBuilder* builder) {
    m_originX = 147;
    m_originY = 2;
    m_rect = RECT{2 * m_width + 151, 2, 3 * m_width + 151, m_height + 2};
    CString name;
    for (int i = 0; i < kImages; ++i) {
        name.Format(u"%s\\%d", m_name.GetString(), i + 1);
        ReloadSkinImage(m_images[i], builder, name);
    }
    if (builder) builder->SetImageGroup(u"LevelBar");
    const char16_t* names[] = {u"확대", u"축소"};
    NaviButton** buttons[] = {&m_zoomIn, &m_zoomOut};
    for (int i = 0; i < 2; ++i) {
        delete *buttons[i];
        auto* button = new NaviButton();
        button->SetName(names[i]);
        button->SetSize(29, 29);
        button->SetVisible(true);
        button->SetPos(m_originX + (m_width + 2) * i, m_originY);
        button->SetAltImage(true);
        button->LoadImages(builder);
        button->SetAltImage(false);
        *buttons[i] = button;
    }
}

void NaviLevelBar::Draw(CDC* dc) {
    if (m_hidden) return;
    const int index = NaviDistBar::ImageIndex(m_currentLevel);
    const int p = m_levelPressed ? 1 : 0;
    m_levelPressed = false;
    if (m_images[index]) DrawImage(dc, m_originX + 2 * (m_width + 2) + p, m_originY + p, m_images[index]);
    if (m_zoomIn) m_zoomIn->SetAltImage(index == 8);
    if (m_zoomOut) m_zoomOut->SetAltImage(index == 0);
    if (m_zoomIn) m_zoomIn->Draw(dc);
    if (m_zoomOut) m_zoomOut->Draw(dc);
}

void NaviLevelBar::DrawLevel(CDC* dc, int level) {
    m_currentLevel = level;
    Draw(dc);
}

int NaviLevelBar::HitTest(int x, int y) {
    if (m_hidden) return 0;
    m_hitCode = kHitNone;
    if (m_zoomIn && m_zoomIn->HitTest(x, y)) m_hitCode = kHitZoomIn;
    if (m_zoomOut && m_zoomOut->HitTest(x, y)) m_hitCode = kHitZoomOut;
    if (PtInRect(&m_rect, POINT{x, y})) m_hitCode = kHitLevel;
    return m_hitCode;
}

void NaviLevelBar::OnPenDown() {
    if (m_hitCode == kHitZoomIn && m_zoomIn) m_zoomIn->OnPenDown();
    else if (m_hitCode == kHitZoomOut && m_zoomOut) m_zoomOut->OnPenDown();
    else if (m_hitCode == kHitLevel) m_levelPressed = true;
}

void NaviLevelBar::ProcessCommand(NaviCommand& cmd) {
    if (cmd.id == kCmdIndicatorHide) m_hidden = true;
    else if (cmd.id == kCmdIndicatorShow) m_hidden = false;
}
