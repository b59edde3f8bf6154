// The name search's result list: the detail mark, the name and the region of each hit, loaded
// from the search front twelve rows at a time.
#pragma once

#include "platform/window/AfxControls.h"

class CNameSearcher;

class CNameListCtrl : public CListCtrl {
public:
    static constexpr int kPage = 12;
    // A line-down scroll this close to the end of the loaded rows loads the next page.
    static constexpr int kReloadMargin = 10;

    void SetSearcher(CNameSearcher* searcher) { m_searcher = searcher; }
    void SetupColumns();
    // Empties the list and takes the front's hit count as the total.
    void Reset();
    void Empty();
    // Loads the next page; false when every hit is loaded already.
    bool LoadPage();
    int GetLoaded() const { return m_loaded; }
    int GetTotal() const { return m_total; }
    int GetSelected() const { return GetNextItem(-1, LVNI_SELECTED); }
    void SelectRow(int row);

    void OnVScroll(UINT code, UINT pos, CWnd* bar) override;

private:
    CNameSearcher* m_searcher = nullptr;
    int m_loaded = 0;
    int m_total = 0;
};
