// A radio group whose rows sit 30 pixels apart, seven to a page. It pages in 30-pixel steps,
// reporting each step so that the screen can redraw, and tells the screen when its up and down
// arrows must show as disabled.
#pragma once

#include "skinui/controls/NaviRadioGroup.h"

class NaviScrollList : public NaviRadioGroup {
public:
    static constexpr int kRowPitch = 30;
    static constexpr int kRowsPerPage = 7;
    static constexpr int kRowX = 18;

    NaviScrollList() = default;

    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    // Stores the position; y is also where the first row goes.
    void SetPos(int x, int y);
    // Takes ownership of the row.
    void AddItem(NaviControl* row);
    void NextPage();
    void PrevPage();
    void UpdateArrows();
    int GetCurrentPage() const { return m_currentPage; }
    int GetPageCount() const { return m_pageCount; }

private:
    void SelectRow(int i);
    void ScrollRows(int dy);
    void SendArrow(const char16_t* name, int id);

    int m_origin = 0;
    int m_currentPage = 0;
    int m_pageCount = 1;
};
