// The nearby search's result list: owner-drawn rows of a direction arrow, the name and the
// distance; the selected row blue with white text.
#pragma once

#include "platform/window/AfxControls.h"

class NaviBitmap;
class NaviRcBuilder;

class CAroundListCtrl : public CListCtrl {
public:
    static constexpr int kSectors = 8;
    static constexpr COLORREF kSelectedBack = 0xFF0000;

    CAroundListCtrl() = default;
    ~CAroundListCtrl() override;

    // Loads "Direction\0" ... "Direction\7".
    void LoadImages(NaviRcBuilder* builder);
    void FreeImages();
    // The arrow of a bearing in degrees: 0 up, then clockwise in 45° steps; -1 outside 0..360.
    static int Sector(int bearing);
    int GetSelected() const { return GetNextItem(-1, LVNI_SELECTED); }

    void DrawItem(LPDRAWITEMSTRUCT item) override;

private:
    NaviBitmap* m_images[kSectors] = {};
};
