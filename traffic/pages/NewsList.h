// What the news page's two list classes share: a report list of owner-drawn rows in one
// centred column, the count of new rows (drawn red), the row limit that drops the oldest rows
// from the bottom, and the pen: a drag of more than 50 pixels scrolls by 14 rows.
#pragma once

#include "platform/window/Afx.h"

#include <cstdint>

class NewsList : public CListCtrl {
public:
    static constexpr int kScrollRows = 14;
    static constexpr int kDragPixels = 50;
    // A short tap below this line scrolls towards later rows, above it towards earlier ones.
    static constexpr int kTapSplitY = 121;
    static constexpr COLORREF kSelectedColor = RGB(68, 196, 203);
    static constexpr COLORREF kNewColor = RGB(255, 0, 0);

    ~NewsList() override;
    // Destroys the window with its rows (derived lists call it from their destructors).
    void DestroyList();

    // Makes the list at the page's list place with its column caption.
    BOOL CreateList(CWnd* parent, UINT id, LPCWSTR caption);
    void ResetNewCount() { m_newCount = 0; }
    int GetNewCount() const { return m_newCount; }
    // Deletes every row (and what it owns).
    void DeleteAllRows();
    CFont* GetRowFont() { return &m_font; }
    // Scrolls by rows (negative: towards earlier rows).
    void ScrollRows(int rows);

    void DrawItem(LPDRAWITEMSTRUCT item) override;
    void MeasureItem(LPMEASUREITEMSTRUCT item) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnDestroy() override;

protected:
    explicit NewsList(int maxRows) : m_maxRows(maxRows) {}
    // Inserts a row at the top after dropping rows from the bottom to make room; the list owns
    // data from then on. isNew counts the row as new.
    int InsertRow(const char16_t* text, std::uintptr_t data, bool isNew);
    // A pen lifted within 50 pixels of where it went down.
    virtual void OnShortTap(CPoint down, CPoint up);
    virtual const char16_t* RowText(std::uintptr_t data) const = 0;
    virtual bool RowUnderlined(std::uintptr_t /*data*/) const { return false; }
    virtual void DeleteRowData(std::uintptr_t data) = 0;
    // Frees every row's record and clears its item data (so a second call frees nothing).
    void FreeRowData();
    virtual void MakeDrawingObjects() {}

    CFont m_font;
    CFont m_underlined; // made by the lists that draw underlined rows
    CBrush m_selectedBrush;
    CBrush m_plainBrush;

private:
    int m_maxRows;
    int m_newCount = 0;
    CPoint m_down{0, 0};
    bool m_penOnRows = false;
};
