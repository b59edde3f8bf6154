// The marker the map overlay draws on a chosen point: the program's icon 478, 24 x 24 pixels,
// centred on the point's screen position.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/gdi/Gdi.h"

class CDC;

class CMapMarkIcon {
public:
    static constexpr UINT kIconId = 478;
    static constexpr int kSize = 24;

    // Loads the icon at 24 x 24.
    CMapMarkIcon();
    ~CMapMarkIcon();
    CMapMarkIcon(const CMapMarkIcon&) = delete;
    CMapMarkIcon& operator=(const CMapMarkIcon&) = delete;

    // The point's screen position; the rectangle becomes (x, y, x + 24, y + 24).
    void SetPoint(int x, int y);
    POINT GetPoint() const { return m_point; }
    const RECT& GetRect() const { return m_rect; }
    bool IsLoaded() const { return m_icon != nullptr; }

    // Draws the icon with its centre on the point, at (x - 12, y - 12). Nothing once released.
    void Draw(CDC* dc) const;
    // Destroys the icon; the handle is cleared, so a second call does nothing.
    void Release();

private:
    POINT m_point{0, 0};
    RECT m_rect{0, 0, 0, 0};
    HICON m_icon = nullptr;
    int m_width = kSize;
    int m_height = kSize;
};
