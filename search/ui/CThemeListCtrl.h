// The theme search's place list: the detail icon, the name and the region (or, by distance, the
// distance), loaded twelve rows at a time from the theme engine's current hits.
#pragma once

#include "platform/window/AfxControls.h"

class CThemeDB;

class CThemeListCtrl : public CListCtrl {
public:
    static constexpr int kPage = 12;
    static constexpr int kReloadMargin = 10;

    void SetEngine(CThemeDB* engine) { m_engine = engine; }
    // "I", "명칭", and "행정명" (modes 0 and 1) or "거리" (mode 2).
    void SetupColumns(int mode);
    // Empties the list and takes the engine's count as the total.
    void Reset();
    void Empty();
    bool LoadPage();
    int GetLoaded() const { return m_loaded; }
    int GetTotal() const { return m_total; }
    int GetSelected() const { return GetNextItem(-1, LVNI_SELECTED); }
    bool SelectRow(int row);

    void OnVScroll(UINT code, UINT pos, CWnd* bar) override;

private:
    CThemeDB* m_engine = nullptr;
    int m_loaded = 0;
    int m_total = 0;
};
