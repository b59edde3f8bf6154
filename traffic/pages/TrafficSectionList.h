// The owner-drawn list in which the traffic pages show the road tree: one row per entry with its
// name at the upper levels; at a road's sections two rows per section, a place-name row and a
// speed row showing both directions side by side, each with a coloured double chevron and the
// speed or the travel time. The list owns the page's road database and a copy of every row's
// display record, and turns pen taps and drags into selection and scrolling.
#pragma once

#include "platform/window/Afx.h"
#include "traffic/pages/TrafficRoadDB.h"

#include <memory>

// What a page that owns a section list does for it: bring its page-up and page-down buttons up
// to date after the user scrolled the list.
class TrafficListOwner {
public:
    virtual void UpdateScrollButtons() = 0;

protected:
    ~TrafficListOwner() = default;
};

class TrafficSectionList : public CListCtrl {
public:
    // Row colours (0x00BBGGRR).
    static constexpr COLORREF kSpeedRowColour = 0xF6F6F6;
    static constexpr COLORREF kNameRowColour = 0xF0ECD0;
    static constexpr COLORREF kTextColour = 0x000000;
    static constexpr COLORREF kSelectedSpeedRowColour = 0xDDF0B1;
    static constexpr COLORREF kFrameTopLeft = 0x7800A0;
    static constexpr COLORREF kFrameBottomRight = 0xB500A0;
    // Pixels one page-up or page-down step and one drag scroll move the list.
    static constexpr int kScrollStep = 80;
    // A pen movement of more than this many pixels up or down is a drag, not a tap.
    static constexpr int kDragDistance = 50;

    TrafficSectionList();
    ~TrafficSectionList() override;

    // Child, visible, border, vertical scroll bar, report view, always showing the selection,
    // owner-drawn fixed rows.
    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Appends a row showing the record's name, with its own copy of the record.
    int AddItem(const TrafficSectionInfo& info);
    // Rebuilds every row from the database's current level.
    void Fill();
    // Brings the speed rows' speeds up to date; without force only rows whose speeds changed
    // are redrawn.
    void RefreshSpeeds(int force);
    // The record a row shows; null outside the rows.
    const TrafficSectionInfo* GetRowInfo(int row) const;

    void SetUnit(int unit) { m_unit = unit; }
    int GetUnit() const { return m_unit; }
    void SetMode(int mode) { m_mode = mode; }
    int GetMode() const { return m_mode; }
    void SetOwnerKind(int kind) { m_ownerKind = kind; }
    int GetOwnerKind() const { return m_ownerKind; }
    void ScrollUp() { Scroll(CSize(0, -kScrollStep)); }
    void ScrollDown() { Scroll(CSize(0, kScrollStep)); }
    // The first selected row, -1 for none.
    int GetFirstSelected() const { return GetNextItem(-1, LVNI_SELECTED); }
    // Selects one row alone and shows it.
    void SelectRow(int row);

    // Opens "<map folder>\Darc\DLevel1.db"; 1 on success.
    int OpenDatabase();
    TrafficRoadDB* Database() { return m_db.get(); }
    int IsOpen() const;
    int GetLevel() const;
    int IsSectionLevel() const;
    int GetSectionX(int record) const;
    int GetSectionY(int record) const;
    unsigned long GetSectionLength(int record) const;
    int GetGridCode(int record) const;
    int GetSelected() const;
    void SetSelected(int row);
    int EnterRecord(int record);
    int LevelUp();
    int ReloadLevel();
    // The database's state record, overwritten by its next call: keep a copy.
    const sSAVETRAFFIC* SaveState();
    int RestoreState(const sSAVETRAFFIC* state);

    // A double tap: the first selected visible row becomes the level's selected row; true when
    // the owning page should enter it (the list is not at the section level).
    bool OnDoubleTap();

    void MeasureItem(LPMEASUREITEMSTRUCT item) override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnVScroll(UINT code, UINT pos, CWnd* scrollBar) override;

private:
    void LoadIcons();
    void DrawSpeedRow(HDC dc, const RECT& rc, const TrafficSectionInfo& info, bool selected);

    int m_unit = 1;
    std::unique_ptr<TrafficRoadDB> m_db;
    int m_itemCount = 0;
    int m_recordCount = 0;
    int m_ownerKind = 0;
    int m_iconWidth = 16;
    int m_iconHeight = 16;
    // Left (first speed) icons 623-626 and 658, right (second speed) icons 619-622 and 653, in
    // the class order 원활, 서행, 지체, 정체, no speed.
    HICON m_leftIcons[5] = {};
    HICON m_rightIcons[5] = {};
    int m_mode = 0;
    CPoint m_penDown;
};

// The speed or travel-time text of one direction: 255 "미수신", 254 "정보없음", with speeds
// shown "%3dkm", else the travel time over length metres "%2d분%2d초" ("정체구간" below 6 km/h or
// for a length of 0).
CString TrafficSpeedText(int speed, int unit, unsigned long length);
