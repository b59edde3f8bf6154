// A column of radio buttons of which one is selected. The group does the hit testing: the pen
// selects the button under it, and the lifted pen reports the choice with the button's name.
#pragma once

#include "skinui/NaviControl.h"

#include <vector>

class NaviRadioGroup : public NaviControl {
public:
    NaviRadioGroup();
    ~NaviRadioGroup() override;

    void OnPenDown() override;
    void OnPenUp() override;
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override { m_builder = builder; }
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Takes ownership; the group's rectangle grows to hold the button.
    void AddButton(NaviControl* button);
    int GetCount() const { return static_cast<int>(m_buttons.size()); }
    NaviControl* GetButton(int i) const;
    NaviControl* GetSelectedButton() const { return GetButton(m_selected); }
    int GetSelectedIndex() const { return m_selected; }
    // Both ignore an index outside the buttons.
    void Select(int i);
    void ClearSelection(int i);
    bool IsSelected(NaviControl* button) const;

protected:
    bool Valid(int i) const { return i >= 0 && i < GetCount(); }
    // Selects row i after clearing every row's pressed look (nothing for an invalid i).
    void SelectOnly(int i);
    // Moves a row's position, rectangle and text together.
    static void MoveRow(NaviControl* row, int x, int y);

    std::vector<NaviControl*> m_buttons;
    int m_previous = -1;
    int m_selected = -1;
    bool m_groupLaidOut = false;
    int m_nextRowY = 0;
    NaviRcBuilder* m_builder = nullptr;
    POINT m_lastHit{-1, -1};
};
