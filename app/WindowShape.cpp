#include "app/WindowShape.h"

#include "platform/window/Afx.h"

namespace {

// Measured inwards from a corner: 5 x 1 and 1 x 5 at the corner, 1 x 2 and 2 x 1 one pixel in.
constexpr RECT kCornerCuts[] = {{0, 0, 5, 1}, {0, 0, 1, 5}, {1, 1, 2, 3}, {1, 1, 3, 2}};

} // namespace

void CutRoundCorners(CRgn& region, int width, int top, int bottom) {
    CRgn cut;
    cut.CreateRectRgn(0, 0, 0, 0);
    for (const RECT& c : kCornerCuts) {
        const RECT corners[] = {
            {c.left, top + c.top, c.right, top + c.bottom},
            {width - c.right, top + c.top, width - c.left, top + c.bottom},
            {c.left, bottom - c.bottom, c.right, bottom - c.top},
            {width - c.right, bottom - c.bottom, width - c.left, bottom - c.top},
        };
        for (const RECT& r : corners) {
            cut.SetRectRgn(&r);
            region.CombineRgn(&region, &cut, RGN_DIFF);
        }
    }
}

void ApplyWindowRegion(CWnd& window, const CRgn& region) {
    const HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
    ::CombineRgn(copy, region, nullptr, RGN_COPY);
    window.SetWindowRgn(copy, TRUE);
}
