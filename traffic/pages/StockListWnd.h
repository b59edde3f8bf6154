// The list of every stock in the stock search dialog, one row "[code]  name" per stock of the
// stock keeper's list, in its order. Rows are added lazily, 20 at a time: when the list is
// scrolled (thumb tracking or one line down) or its selection moves to within 20 rows of the
// last row added, and when a row not yet added is to be selected.
#pragma once

#include "platform/window/Afx.h"

class StockListWnd : public CListBox {
public:
    static constexpr int kBatch = 20;

    // Starts over with the first batch.
    void LoadFirst();
    // Adds the next batch (fewer at the end of the list); false when every row is there.
    bool LoadBatch();
    // Adds a batch when position lies within 20 rows of the end of what is loaded.
    void LoadNear(int position);
    // Adds batches (without redrawing meanwhile) until row index exists, then selects it and
    // scrolls it into view; false for an index beyond the stock list.
    bool SelectRow(int index);
    int Loaded() const { return m_loaded; }
    int Total() const { return m_total; }

    void OnVScroll(UINT code, UINT pos, CWnd* bar) override;

private:
    int m_loaded = 0;
    int m_total = 0;
};
