// The map window's paint: rendering views into off-screen bitmaps, the overlay passes on a copy
// of the cached rendering, the split composition and the flat drag snapshot.
#include "mapview/MapWnd.h"

#include <cmath>
#include <limits>

namespace {

// Selects a bitmap into a memory DC for the lifetime of the object.
class MemoryDC {
public:
    MemoryDC(CDC* like, HBITMAP bitmap) {
        if (!bitmap || !m_dc.CreateCompatibleDC(like)) return;
        m_old = m_dc.SelectObject(bitmap);
        m_ok = true;
    }
    ~MemoryDC() {
        if (m_ok) m_dc.SelectObject(m_old);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    bool Ok() const { return m_ok; }
    CDC* Dc() { return &m_dc; }

private:
    CDC m_dc;
    HGDIOBJ m_old = nullptr;
    bool m_ok = false;
};

std::int32_t TruncSat(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

} // namespace

HBITMAP CMapWnd::CreateViewBitmap(HDC dc, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    if (HBITMAP b = ::CreateCompatibleBitmap(dc, width, height)) return b;
    BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

void CMapWnd::DeleteViewBitmaps() {
    for (HBITMAP& b : m_bitmaps) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
}

void CMapWnd::FillBackground(CDC* dc, int width, int height) {
    const RECT r{0, 0, width, height};
    const COLORREF old = dc->SetBkColor(m_backColor);
    dc->ExtTextOut(0, 0, ETO_OPAQUE, &r, u"", 0, nullptr);
    dc->SetBkColor(old);
}

// Renders the current view into dc: owner-drawn in mode 2, else background and layers; then the
// owner's pass (1 after a full rendering, 3 when it is the only bitmap).
void CMapWnd::RenderView(CDC* dc, int width, int height, int pass) {
    const MapViewState& v = V();
    if (v.mode == 2) {
        if (m_ownerDrawHook) m_ownerDrawHook(dc, width, height);
        if (m_paintHook) m_paintHook(dc, m_current, 1);
        return;
    }
    FillBackground(dc, width, height);
    if (m_highest >= 0) {
        dc->SetBkMode(TRANSPARENT);
        DrawMapLayers(dc);
    }
    if (m_paintHook) m_paintHook(dc, m_current, pass);
}

void CMapWnd::OnPaint() {
    CPaintDC paint(this);
    if (m_drag && m_views[0].transform.View().mode == 0) {
        const int saved = m_current;
        m_current = 0;
        PaintDragScroll(&paint);
        m_current = saved;
        return;
    }
    if (!m_bitmaps[0]) m_quickRepaint = 0;
    if (m_prePaintHook) m_prePaintHook();
    const bool flagged =
        m_views[0].transform.View().rerender || (m_split && m_views[1].transform.View().rerender);
    const bool render = flagged && !m_quickRepaint;
    const int saved = m_current;
    if (m_split)
        PaintSplit(&paint, render);
    else {
        m_current = 0;
        if (render) {
            // A fresh rendering replaces the cached one.
            DeleteViewBitmaps();
            m_singleBitmap = 0;
        }
        PaintSingle(&paint);
    }
    m_current = saved;
}

// Without split: bitmap 0 holds view 0's rendering (layers and pass 1), bitmap 1 a copy of it
// with the owner's dynamic overlay (pass 3 after a rendering, 4 on a repaint). When bitmap 1
// cannot be made, the map is rendered again into bitmap 0 on every paint.
void CMapWnd::PaintSingle(CDC* windowDc) {
    MapViewState& v = m_views[0].transform.View();
    const int w = v.width, h = v.height;
    const bool haveMap = m_bitmaps[0] != nullptr && !m_singleBitmap;
    if (!haveMap) {
        if (m_bitmaps[0]) DeleteObject(m_bitmaps[0]);
        m_bitmaps[0] = CreateViewBitmap(windowDc->GetSafeHdc(), w, h);
        if (!m_bitmaps[0]) return; // nothing to draw on: the view stays marked
        const bool rerendered = v.rerender;
        {
            MemoryDC map(windowDc, m_bitmaps[0]);
            if (!map.Ok()) return;
            if (m_singleBitmap && !rerendered) {
                // A repaint with one bitmap: the map again, then the dynamic overlay on it.
                RenderView(map.Dc(), w, h, v.mode == 2 ? 1 : 3);
                v.rerender = false;
                windowDc->BitBlt(0, 0, m_windowWidth, m_windowHeight, map.Dc(), 0, 0, SRCCOPY);
                return;
            }
            RenderView(map.Dc(), w, h, 1);
        }
        v.rerender = false;
        if (m_bitmaps[1]) DeleteObject(m_bitmaps[1]);
        m_bitmaps[1] = CreateViewBitmap(windowDc->GetSafeHdc(), w, h);
        MemoryDC map(windowDc, m_bitmaps[0]);
        if (!map.Ok()) return;
        if (!m_bitmaps[1]) {
            m_singleBitmap = 1;
            map.Dc()->SetBkMode(TRANSPARENT);
            if (m_paintHook) m_paintHook(map.Dc(), 0, 3);
            windowDc->BitBlt(0, 0, m_windowWidth, m_windowHeight, map.Dc(), 0, 0, SRCCOPY);
            return;
        }
        MemoryDC display(windowDc, m_bitmaps[1]);
        if (!display.Ok()) return;
        FillBackground(display.Dc(), w, h);
        display.Dc()->BitBlt(0, 0, w, h, map.Dc(), 0, 0, SRCCOPY);
        display.Dc()->SetBkMode(TRANSPARENT);
        if (m_paintHook) m_paintHook(display.Dc(), 0, 3);
        windowDc->BitBlt(0, 0, m_windowWidth, m_windowHeight, display.Dc(), 0, 0, SRCCOPY);
        return;
    }
    // Repaint from the cached map.
    if (m_bitmaps[1]) DeleteObject(m_bitmaps[1]);
    m_bitmaps[1] = CreateViewBitmap(windowDc->GetSafeHdc(), w, h);
    if (!m_bitmaps[1]) {
        m_singleBitmap = 1;
        PaintSingle(windowDc);
        return;
    }
    MemoryDC map(windowDc, m_bitmaps[0]);
    MemoryDC display(windowDc, m_bitmaps[1]);
    if (!map.Ok() || !display.Ok()) return;
    FillBackground(display.Dc(), w, h);
    display.Dc()->BitBlt(0, 0, w, h, map.Dc(), 0, 0, SRCCOPY);
    display.Dc()->SetBkMode(TRANSPARENT);
    if (m_paintHook) m_paintHook(display.Dc(), 0, 4);
    windowDc->BitBlt(0, 0, m_windowWidth, m_windowHeight, display.Dc(), 0, 0, SRCCOPY);
}

// With split: bitmaps 0 and 1 keep each view's rendering (only marked views render again), the
// composition bitmap 2 receives both panes and the owner's pass (2 after a rendering, 4 on a
// repaint, view argument 2).
void CMapWnd::PaintSplit(CDC* windowDc, bool render) {
    for (int i = 0; i < 2; ++i) {
        MapViewState& v = m_views[i].transform.View();
        BITMAP info{};
        if (m_bitmaps[i] &&
            (!GetObjectW(m_bitmaps[i], sizeof(info), &info) || info.bmWidth != v.width || info.bmHeight != v.height)) {
            DeleteObject(m_bitmaps[i]);
            m_bitmaps[i] = nullptr;
        }
        if (m_bitmaps[i] && !(render && v.rerender)) continue;
        if (!m_bitmaps[i]) m_bitmaps[i] = CreateViewBitmap(windowDc->GetSafeHdc(), v.width, v.height);
        if (!m_bitmaps[i]) continue;
        MemoryDC pane(windowDc, m_bitmaps[i]);
        if (!pane.Ok()) continue;
        m_current = i;
        RenderView(pane.Dc(), v.width, v.height, 1);
        v.rerender = false;
    }
    if (m_bitmaps[2]) DeleteObject(m_bitmaps[2]);
    m_bitmaps[2] = CreateViewBitmap(windowDc->GetSafeHdc(), m_windowWidth, m_windowHeight);
    if (!m_bitmaps[2]) return;
    MemoryDC all(windowDc, m_bitmaps[2]);
    if (!all.Ok()) return;
    FillBackground(all.Dc(), m_windowWidth, m_windowHeight);
    const MapViewState& v0 = m_views[0].transform.View();
    for (int i = 0; i < 2; ++i) {
        if (!m_bitmaps[i]) continue;
        MemoryDC pane(windowDc, m_bitmaps[i]);
        if (!pane.Ok()) continue;
        const MapViewState& v = m_views[i].transform.View();
        const int x = i == 1 && m_splitOrientation == 0 ? v0.width : 0;
        const int y = i == 1 && m_splitOrientation == 1 ? v0.height : 0;
        all.Dc()->BitBlt(x, y, v.width, v.height, pane.Dc(), 0, 0, SRCCOPY);
    }
    all.Dc()->SetBkMode(TRANSPARENT);
    if (m_paintHook) m_paintHook(all.Dc(), 2, render ? 2 : 4);
    windowDc->BitBlt(0, 0, m_windowWidth, m_windowHeight, all.Dc(), 0, 0, SRCCOPY);
}

// The flat drag: the map is rendered once into a picture larger than the window in the drag
// direction, and each tick copies the window-sized part at the advancing position.
void CMapWnd::PaintDragScroll(CDC* windowDc) {
    MapViewState& v = V();
    const int dx = m_dragStep[0], dy = m_dragStep[1];
    const int nx = m_dragPos[0] + dx, ny = m_dragPos[1] + dy;
    const bool fits = m_snapshot && nx >= 0 && ny >= 0 && nx <= m_snapshotSize[0] - v.width &&
                      ny <= m_snapshotSize[1] - v.height;
    if (!fits) {
        if (m_snapshot) {
            MoveByDraggedPixels();
            DeleteObject(m_snapshot);
            m_snapshot = nullptr;
        }
        m_dragPos[0] = m_dragPos[1] = 0;
        double shiftX = 0.0, shiftY = 0.0;
        int sw = v.width, sh = v.height;
        if (v.scaleFactor != 0.0) {
            if (dx != 0) {
                if (dy != 0) {
                    shiftX = 0.3 / v.scaleFactor * v.width;
                    sw = v.width * 8 / 5;
                } else {
                    shiftX = (v.width / 2) / v.scaleFactor;
                    sw = v.width * 2;
                }
                if (dx < 0) {
                    shiftX = -shiftX;
                    m_dragPos[0] = sw - v.width;
                }
            }
            if (dy != 0) {
                if (dx != 0) {
                    shiftY = 0.3 / v.scaleFactor * v.height;
                    sh = v.height * 8 / 5;
                } else {
                    shiftY = (v.height / 2) / v.scaleFactor;
                    sh = v.height * 2;
                }
                if (dy < 0) {
                    shiftY = -shiftY;
                    m_dragPos[1] = sh - v.height;
                }
            }
        }
        if (!m_snapshotAsDib) m_snapshot = ::CreateCompatibleBitmap(windowDc->GetSafeHdc(), sw, sh);
        if (!m_snapshot) {
            m_snapshotAsDib = true;
            m_snapshot = CreateViewBitmap(windowDc->GetSafeHdc(), sw, sh);
        }
        if (!m_snapshot) return;
        m_snapshotSize[0] = sw;
        m_snapshotSize[1] = sh;
        const std::int32_t ox = v.originX, oy = v.originY;
        const int w = v.width, h = v.height;
        v.originX = TruncSat(ox + (v.sin * shiftY + v.cos * shiftX));
        v.originY = TruncSat(oy + (v.sin * shiftX - v.cos * shiftY));
        v.width = sw;
        v.height = sh;
        {
            MemoryDC snap(windowDc, m_snapshot);
            if (snap.Ok()) {
                FillBackground(snap.Dc(), sw, sh);
                snap.Dc()->SetBkMode(TRANSPARENT);
                if (m_highest >= 0) DrawMapLayers(snap.Dc());
            }
        }
        v.originX = ox;
        v.originY = oy;
        v.width = w;
        v.height = h;
        m_dragStart[0] = m_dragPos[0];
        m_dragStart[1] = m_dragPos[1];
    }
    m_dragPos[0] += dx;
    m_dragPos[1] += dy;
    MemoryDC snap(windowDc, m_snapshot);
    if (!snap.Ok()) return;
    windowDc->BitBlt(0, 0, m_windowWidth, m_windowHeight, snap.Dc(), m_dragPos[0], m_dragPos[1], SRCCOPY);
    DrawCentreMark(windowDc);
}
