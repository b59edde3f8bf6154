#include "skinui/controls/NaviButton.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"

NaviButton::NaviButton() {
    SetSize(33, 33);
}

NaviButton::~NaviButton() {
    delete m_altImage;
}

void NaviButton::OnPenUp() {
    Report();
}

int NaviButton::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

NaviBitmap* NaviButton::LoadNamed(NaviRcBuilder* builder, const CString& group, const CString& base,
                                  const char16_t* suffix) {
    if (!builder) return nullptr;
    CString name;
    name.Format(u"%s\\%s%s", group.GetString(), base.GetString(), suffix);
    NaviBitmap* image = builder->LoadImage(name);
    if (image && image->IsEmpty()) {
        delete image;
        return nullptr;
    }
    return image;
}

void NaviButton::LoadImages(NaviRcBuilder* builder) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    if (!builder) return;
    const CString group = builder->GetImageGroup();
    SetImage(LoadNamed(builder, group, m_name, u""));
    if (m_altFlag) {
        delete m_altImage;
        m_altImage = LoadNamed(builder, group, m_name, u"_Snd");
    }
    if (m_pressImageFlag) SetPressedImage(LoadNamed(builder, group, m_name, u"_Press"));
}

void NaviButton::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y, m_altFlag && m_altImage ? m_altImage : m_image);
}

void NaviButton::Report(int param1) {
    NaviCommand cmd;
    cmd.target = m_name;
    cmd.id = kCmdTapped;
    cmd.param1 = param1;
    ProcessCommand(cmd);
}

void NaviButton::ProcessCommand(NaviCommand& cmd) {
    if (cmd.control == m_name && cmd.id == kCmdDisable) {
        m_visible = false;
        return;
    }
    if (cmd.target != kTargetDialog && m_listener) m_listener->ProcessEvent(cmd);
}
