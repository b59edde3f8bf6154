// The category search's lists: the class and area names of one level, or the facilities of a
// district (the detail icon, the name and the region), loaded twelve rows at a time.
#pragma once

#include "platform/window/AfxControls.h"

class CCateIndex;

class CCateListCtrl : public CListCtrl {
public:
    static constexpr int kPage = 12;
    // A line-down scroll this close to the end of the loaded rows loads the next page.
    static constexpr int kReloadMargin = 10;

    void SetIndex(CCateIndex* index) { m_index = index; }
    // One column of the given heading, 222 wide.
    void SetupNameColumn(const CString& heading);
    // "I" (the detail icon), "명칭" and "행정명".
    void SetupFacilityColumns();
    void RemoveColumns();
    // The names of the list at level 0..3.
    void FillLevel(int level);
    // Empties the list and takes the district's facility count as the total.
    void ResetFacilities();
    // Loads the next page of facilities; false when every one is loaded already.
    bool LoadPage();
    int GetLoaded() const { return m_loaded; }
    int GetTotal() const { return m_total; }
    // The row of a facility: the first row's offset into the facility list is 0 here, every
    // facility from the first one is loaded on the way down.
    int GetFirstOffset() const { return m_firstOffset; }
    int GetSelected() const { return GetNextItem(-1, LVNI_SELECTED); }
    // Selects and shows a row, loading pages until it is there; false past the list.
    bool SelectRow(int row);

    void OnVScroll(UINT code, UINT pos, CWnd* bar) override;

private:
    CCateIndex* m_index = nullptr;
    int m_loaded = 0;
    int m_total = 0;
    int m_firstOffset = 0;
};
