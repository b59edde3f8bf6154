#include "skinui/main/NaviMenuButton.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

// "<group>\<name>" from the builder's archive, or null when the archive lacks it.
NaviBitmap* LoadGroupImage(NaviRcBuilder* builder, const CString& group, const CString& name) {
    CString full;
    full.Format(u"%s\\%s", group.GetString(), name.GetString());
    NaviBitmap* image = builder->LoadImage(full);
    if (image && image->IsEmpty()) {
        delete image;
        return nullptr;
    }
    return image;
}

} // namespace

NaviMenuButton::NaviMenuButton() {
    SetSize(96, 42);
}

NaviMenuButton::~NaviMenuButton() {
    delete m_labelImage;
    delete m_numberImage;
    delete m_checkImage;
}

int NaviMenuButton::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviMenuButton::LoadImages(NaviRcBuilder* builder) {
    // Both styles take their rectangle from position and size: a numbered button is reached by
    // the pen as much as a plain one.
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    if (!builder) return;
    if (!m_numbered) {
        SetImage(LoadGroupImage(builder, builder->GetMenuGroup(), m_name));
        delete m_checkImage;
        m_checkImage = LoadGroupImage(builder, builder->GetMenuGroup(), m_name + u"_Check");
        return;
    }
    SetImage(LoadGroupImage(builder, builder->GetMenuGroup(), u"메뉴버튼"));
    // Labels and numbers of every numbered button live with the advanced menu's images.
    builder->SetMenuGroup(kTargetAdvancedMenu);
    delete m_labelImage;
    m_labelImage = LoadGroupImage(builder, builder->GetMenuGroup(), m_name);
    delete m_numberImage;
    m_numberImage = nullptr;
    if (m_number != -1) {
        CString number;
        number.Format(u"%d", m_number);
        m_numberImage = LoadGroupImage(builder, builder->GetMenuGroup(), number);
    }
}

void NaviMenuButton::Draw(CDC* dc) {
    // The press offset is taken before DrawImage consumes the pending press.
    const int p = m_pressed ? 1 : 0;
    DrawImage(dc, m_x, m_y, m_checked && m_checkImage ? m_checkImage : m_image);
    if (!m_numbered) return;
    HDC hdc = dc ? dc->GetSafeHdc() : nullptr;
    if (m_labelImage) {
        m_labelImage->SetTransparent(m_transparent);
        m_labelImage->Draw(hdc, m_x + p + 22, m_y + p + 10);
    }
    if (m_numberImage) {
        m_numberImage->SetTransparent(m_transparent);
        m_numberImage->Draw(hdc, m_x + p, m_y + p + 8);
    }
}

void NaviMenuButton::ProcessCommand(NaviCommand& cmd) {
    if (cmd.target != kTargetAdvancedMenu) return;
    if (cmd.id == kCmdCheck) m_checked = true;
    else if (cmd.id == kCmdUncheck) m_checked = false;
}
