#include "skinui/controls/NaviScrollList.h"

#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviRadioButton.h"

void NaviScrollList::SetPos(int x, int y) {
    NaviControl::SetPos(x, y);
    m_origin = y;
    m_nextRowY = y;
}

void NaviScrollList::AddItem(NaviControl* row) {
    if (!row || row == this) return;
    m_buttons.push_back(row);
    if (GetCount() > kRowsPerPage) m_pageCount = (GetCount() - 1) / kRowsPerPage + 1;
    if (m_selected == -1) m_selected = 0;
}

void NaviScrollList::SendArrow(const char16_t* name, int id) {
    NaviCommand cmd;
    cmd.target = kTargetDialog;
    cmd.control = name;
    cmd.id = id;
    m_listener->ProcessEvent(cmd);
}

void NaviScrollList::UpdateArrows() {
    if (!m_listener) return;
    SendArrow(u"DisableArrowUp", m_currentPage == 0 ? kCmdMarkShow : kCmdDisable);
    SendArrow(u"DisableArrowDown", m_currentPage + 1 < m_pageCount ? kCmdDisable : kCmdMarkShow);
}

void NaviScrollList::ScrollRows(int dy) {
    for (NaviControl* row : m_buttons) {
        const POINT at = row->GetPos();
        MoveRow(row, at.x, at.y + dy);
    }
}

void NaviScrollList::SelectRow(int i) {
    if (!Valid(i)) {
        // No row chosen (a combo without a value yet): the list opens on its first page, and the
        // arrows must say so.
        if (i == -1 && m_currentPage == 0) UpdateArrows();
        return;
    }
    SelectOnly(i);
    m_currentPage = m_selected / kRowsPerPage;
    UpdateArrows();
    // Rows go to their places on that page from the origin, wherever earlier paging left them.
    const int shift = m_height * m_currentPage;
    for (int k = 0; k < GetCount(); ++k) {
        NaviControl* row = m_buttons[k];
        MoveRow(row, row->GetPos().x, m_origin + kRowPitch * k - shift);
    }
}

void NaviScrollList::NextPage() {
    if (m_currentPage + 1 > m_pageCount - 1) return;
    ++m_currentPage;
    for (int step = 0; step < m_height; step += kRowPitch) {
        ScrollRows(-kRowPitch);
        NaviCommand cmd;
        cmd.target = m_name;
        cmd.id = kCmdScrollStep;
        ProcessCommand(cmd);
    }
    UpdateArrows();
}

void NaviScrollList::PrevPage() {
    if (m_currentPage - 1 < 0) return;
    --m_currentPage;
    for (int step = 0; step < m_height; step += kRowPitch) {
        ScrollRows(kRowPitch);
        NaviCommand cmd;
        cmd.target = m_name;
        cmd.id = kCmdScrollStep;
        ProcessCommand(cmd);
    }
    UpdateArrows();
}

void NaviScrollList::Draw(CDC* dc) {
    for (NaviControl* row : m_buttons) {
        const RECT r = row->GetRect();
        if (!PtInRect(&m_rect, POINT{r.left, r.top}) || !PtInRect(&m_rect, POINT{r.right, r.bottom})) continue;
        const bool pressed = row->IsPressed();
        row->Draw(dc);
        row->SetPressed(pressed);
    }
}

void NaviScrollList::ProcessCommand(NaviCommand& cmd) {
    if (cmd.control == m_name) {
        if (cmd.id == kCmdAddRow && cmd.target == kTargetDialog) {
            NaviRadioButton* row = m_builder ? m_builder->CreateRadioButton(cmd.text, 0, kRowX, m_nextRowY, true)
                                             : NaviRcBuilder::NewRadioButton(cmd.text, kRowX, m_nextRowY, true);
            AddItem(row);
            m_nextRowY += kRowPitch;
            return;
        }
        if (cmd.id == kCmdSelect) {
            SelectRow(cmd.param1);
            return;
        }
        if (cmd.id == kCmdPageList) {
            if (cmd.param1 == 1) NextPage();
            else if (cmd.param1 == -1) PrevPage();
            return;
        }
    }
    if (cmd.target != kTargetDialog && m_listener) m_listener->ProcessEvent(cmd);
}
