#include "skinui/controls/NaviRadioGroup.h"

#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviRadioButton.h"

namespace {

constexpr int kRowStep = 20;
constexpr int kRowX = 4;

} // namespace

NaviRadioGroup::NaviRadioGroup() {
    SetSize(0, 0);
}

NaviRadioGroup::~NaviRadioGroup() {
    for (NaviControl* button : m_buttons) delete button;
}

NaviControl* NaviRadioGroup::GetButton(int i) const {
    return Valid(i) ? m_buttons[i] : nullptr;
}

void NaviRadioGroup::AddButton(NaviControl* button) {
    if (!button || button == this) return;
    m_buttons.push_back(button);
    const RECT r = button->GetRect();
    RECT grown{};
    UnionRect(&grown, &m_rect, &r);
    m_rect = grown;
    if (m_selected == -1) m_selected = 0;
}

void NaviRadioGroup::Select(int i) {
    if (!Valid(i)) return;
    m_selected = i;
    m_buttons[i]->SetPressed(true);
}

void NaviRadioGroup::ClearSelection(int i) {
    if (!Valid(i)) return;
    if (NaviControl* selected = GetSelectedButton()) selected->SetPressed(false);
    m_selected = -1;
}

bool NaviRadioGroup::IsSelected(NaviControl* button) const {
    return button && GetSelectedButton() == button;
}

void NaviRadioGroup::SelectOnly(int i) {
    if (!Valid(i)) return;
    for (NaviControl* button : m_buttons) button->SetPressed(false);
    Select(i);
}

void NaviRadioGroup::MoveRow(NaviControl* row, int x, int y) {
    if (auto* radio = dynamic_cast<NaviRadioButton*>(row)) radio->SetPos(x, y);
    else row->SetPos(x, y);
}

void NaviRadioGroup::Draw(CDC* dc) {
    DrawImage(dc, m_x, m_y, m_image);
    for (NaviControl* button : m_buttons) {
        if (!button->IsVisible()) continue;
        const bool pressed = button->IsPressed();
        button->Draw(dc);
        button->SetPressed(pressed);
    }
    if (!m_groupLaidOut) {
        for (NaviControl* button : m_buttons) {
            const RECT r = button->GetRect();
            RECT grown{};
            UnionRect(&grown, &m_rect, &r);
            m_rect = grown;
        }
        m_x = m_rect.left;
        m_y = m_rect.top;
        SetSize(m_rect.right - m_rect.left, m_rect.bottom - m_rect.top);
        m_groupLaidOut = true;
    }
}

int NaviRadioGroup::HitTest(int x, int y) {
    if (!PtInRect(&m_rect, POINT{x, y})) return 0;
    m_lastHit = POINT{x, y};
    return 1;
}

void NaviRadioGroup::OnPenDown() {
    m_previous = m_selected;
    for (int i = 0; i < GetCount(); ++i) {
        NaviControl* button = m_buttons[i];
        if (!button->IsVisible() || button->HitTest(m_lastHit.x, m_lastHit.y) == 0) continue;
        button->SetPressed(true);
        m_selected = i;
        m_pressed = true;
        break;
    }
    if (m_previous != -1 && m_previous != m_selected && Valid(m_previous)) m_buttons[m_previous]->SetPressed(false);
}

void NaviRadioGroup::OnPenUp() {
    if (!m_pressed) return;
    m_pressed = false;
    NaviCommand cmd;
    cmd.target = m_name;
    if (NaviControl* selected = GetSelectedButton()) cmd.text = selected->GetName();
    cmd.id = kCmdTapped;
    cmd.param1 = m_selected;
    ProcessCommand(cmd);
}

void NaviRadioGroup::ProcessCommand(NaviCommand& cmd) {
    if (cmd.control == m_name) {
        switch (cmd.id) {
        case kCmdRenameRow:
            if (Valid(cmd.param1)) m_buttons[cmd.param1]->AssignName(cmd.text);
            break;
        case kCmdSelect: SelectOnly(cmd.param1); break;
        case kCmdUncheck: ClearSelection(cmd.param1); break;
        case kCmdAddRow: {
            m_nextRowY += kRowStep;
            NaviRadioButton* row = m_builder ? m_builder->CreateRadioButton(cmd.text, 0, kRowX, m_nextRowY, true)
                                             : NaviRcBuilder::NewRadioButton(cmd.text, kRowX, m_nextRowY, true);
            AddButton(row);
            Select(cmd.param1);
            break;
        }
        default: break;
        }
    }
    if (cmd.target != kTargetDialog && m_listener) m_listener->ProcessEvent(cmd);
}
