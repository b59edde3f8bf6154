#include "skinui/controls/NaviTabCtrl.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

// The first text rectangle relative to the strip and the step to the next, by tab count.
constexpr int kLayouts[4][5] = {
    {6, 10, 88, 19, 0}, {6, 10, 88, 19, 107}, {5, 10, 54, 19, 69}, {7, 10, 35, 19, 52}};

} // namespace

NaviTabCtrl::NaviTabCtrl() {
    SetSize(160, 34);
}

NaviTabCtrl::~NaviTabCtrl() {
    for (NaviBitmap* image : m_images) delete image;
}

bool NaviTabCtrl::SetTabs(const CString names[], int n) {
    if (!names || n < 1 || n > kMaxTabs) return false;
    m_count = n;
    for (int i = 0; i < kMaxTabs; ++i) m_names[i] = i < n ? names[i] : CString();
    const int* l = kLayouts[n - 1];
    m_layout = TextLayout{l[0], l[1], l[2], l[3], l[4]};
    m_selected = 0;
    return true;
}

bool NaviTabCtrl::SetTabTexts(const CString texts[], int n) {
    if (!texts || n < 1 || n > kMaxTabs) return false;
    for (int i = 0; i < kMaxTabs; ++i) m_texts[i] = i < n ? texts[i] : CString();
    m_textMode = true;
    return true;
}

void NaviTabCtrl::SelectTab(int i) {
    if (i >= 0 && i < m_count) m_selected = i;
}

CString NaviTabCtrl::GetSelectedName() const {
    return m_selected >= 0 && m_selected < m_count ? m_names[m_selected] : CString();
}

void NaviTabCtrl::LoadImages(NaviRcBuilder* builder) {
    m_rect = RECT{m_x, m_y, m_x + m_width, m_y + m_height};
    if (!builder) return;
    const CString group = builder->GetTabGroup();
    for (int i = 0; i < kMaxTabs; ++i) {
        delete m_images[i];
        m_images[i] = nullptr;
        if (i >= m_count) continue;
        CString name;
        if (m_textMode) name.Format(u"%s\\%dtab%d", group.GetString(), m_count, i + 1);
        else name.Format(u"%s\\%s", group.GetString(), m_names[i].GetString());
        m_images[i] = builder->LoadImage(name);
        if (m_images[i] && m_images[i]->IsEmpty()) {
            delete m_images[i];
            m_images[i] = nullptr;
        }
    }
}

void NaviTabCtrl::Draw(CDC* dc) {
    if (!dc || m_count == 0) return;
    if (m_images[m_selected]) DrawImage(dc, m_x, m_y, m_images[m_selected]);
    if (!m_textMode) return;
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    for (int i = 0; i < m_count; ++i) {
        const int left = m_rect.left + m_layout.left + m_layout.step * i;
        const int top = m_rect.top + m_layout.top;
        RECT r{left, top, left + m_layout.width, top + m_layout.height};
        dc->DrawText(m_texts[i], &r, format);
        if (i == m_selected) {
            OffsetRect(&r, 1, 0);
            dc->DrawText(m_texts[i], &r, format);
        }
    }
    dc->SetBkMode(oldMode);
}

int NaviTabCtrl::HitTest(int x, int y) {
    if (!PtInRect(&m_rect, POINT{x, y}) || m_count < 1) return 0;
    const int width = m_rect.right - m_rect.left;
    const int tab = width / m_count;
    const int offset = x - m_rect.left;
    // The last tab takes what the division leaves over.
    int i = 0;
    while (i < m_count - 1 && offset >= tab * (i + 1)) ++i;
    m_selected = i;
    return 1;
}

void NaviTabCtrl::OnPenUp() {
    NaviCommand cmd;
    cmd.target = m_name;
    cmd.text = GetSelectedName();
    cmd.id = kCmdTapped;
    cmd.param1 = m_selected;
    ProcessCommand(cmd);
}

void NaviTabCtrl::ProcessCommand(NaviCommand& cmd) {
    if (cmd.control == m_name && cmd.id == kCmdSelect) {
        SelectTab(cmd.param1);
        return;
    }
    if (cmd.control == m_name && cmd.id == kCmdDisable) return;
    if (cmd.target == kTargetDialog) {
        if (cmd.control == m_name && cmd.id == kCmdHide) m_visible = false;
        if (cmd.control == m_name && cmd.id == kCmdShow) m_visible = true;
        return;
    }
    if (m_listener) m_listener->ProcessEvent(cmd);
}
