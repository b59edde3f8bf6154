#include "skinui/controls/NaviItemList.h"

#include "skinui/NaviPanel.h"
#include "skinui/controls/NaviControlIds.h"

NaviItemList::NaviItemList() {
    m_pressFeedback = true;
}

NaviItemList::~NaviItemList() {
    for (NaviControl* page : m_pages) delete page;
}

void NaviItemList::AddItem(NaviControl* page) {
    if (!page || page == this) return;
    m_pages.push_back(page);
    if (m_current == -1) m_current = 0;
    ShowPage(m_current);
}

void NaviItemList::ShowPage(int i) {
    if (i < 0 || i >= GetCount()) return;
    m_current = i;
    for (NaviControl* page : m_pages) page->SetVisible(false);
    m_pages[i]->SetVisible(true);
}

NaviControl* NaviItemList::GetCurrentItem() const {
    return m_current >= 0 && m_current < GetCount() ? m_pages[m_current] : nullptr;
}

void NaviItemList::Draw(CDC* dc) {
    for (NaviControl* page : m_pages)
        if (page->IsVisible()) page->Draw(dc);
}

int NaviItemList::HitTest(int x, int y) {
    if (!PtInRect(&m_rect, POINT{x, y}) || m_pages.empty()) return 0;
    m_lastHit = POINT{x, y};
    return 1;
}

// Only panels can dispatch the pen to their controls; other pages are passed over.
template <typename Dispatch> void NaviItemList::PassPen(Dispatch dispatch) {
    for (NaviControl* page : m_pages) {
        auto* panel = dynamic_cast<NaviPanel*>(page);
        if (!panel || !panel->IsVisible() || panel->HitTest(m_lastHit.x, m_lastHit.y) == 0) continue;
        dispatch(panel);
        return;
    }
}

void NaviItemList::OnPenDown() {
    PassPen([this](NaviPanel* panel) { panel->DispatchPenDown(m_lastHit.x, m_lastHit.y); });
}

void NaviItemList::OnPenUp() {
    PassPen([this](NaviPanel* panel) { panel->DispatchPenUp(m_lastHit.x, m_lastHit.y); });
}

void NaviItemList::ProcessCommand(NaviCommand& cmd) {
    if (cmd.control == m_name && cmd.id == kCmdSelect) {
        ShowPage(cmd.param1);
    } else if (cmd.target == kTargetDialog) {
        for (std::size_t i = 0; i < m_pages.size(); ++i) m_pages[i]->ProcessCommand(cmd);
    } else if (m_owner) {
        m_owner->ProcessEvent(cmd);
    }
}
