// A list box of large two-colour rows drawn by the box itself: a hundred numbered greetings.
#pragma once

#include "platform/window/AfxControls.h"

#include <vector>

class CExListBox : public CListBox {
public:
    // The child list box (id 1) in rect of parent; false when it cannot be made.
    bool CreateListBox(CWnd* parent, const RECT& rect);
    // Adds the rows "0 우리나라 만세...!!!" to "99 우리나라 만세...!!!".
    void AddInfo();
    void DrawItem(LPDRAWITEMSTRUCT item) override;
    void MeasureItem(LPMEASUREITEMSTRUCT item) override;

private:
    // Each row's item data points to its own text here.
    std::vector<CString> m_texts;
};
