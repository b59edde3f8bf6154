#include "mapview/MapWnd.h"

#include "platform/base/Clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr double kHalfPi = CMapViewTransform::kHalfPi;

std::int32_t TruncSat(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

bool HoldsString(const VARIANT& v) { return v.vt == VT_BSTR && v.bstrVal != nullptr; }

// Folds a layer name to upper case in place (ASCII letters; the names are plain paths).
void FoldName(VARIANT& v) {
    const UINT n = SysStringLen(v.bstrVal);
    for (UINT i = 0; i < n; ++i) {
        char16_t& c = v.bstrVal[i];
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
}

CString StringOf(const VARIANT& v) {
    return HoldsString(v) ? CString(v.bstrVal, static_cast<int>(SysStringLen(v.bstrVal))) : CString();
}

// Sunrise and sunset by month: still night up to and including the morning hour, night again
// from the evening hour.
constexpr std::uint16_t kMorningHour[12] = {7, 7, 7, 6, 6, 5, 5, 6, 6, 6, 7, 7};
constexpr std::uint16_t kEveningHour[12] = {18, 18, 19, 19, 20, 20, 20, 20, 20, 19, 18, 18};

} // namespace

CMapWnd::CMapWnd() {
    VariantInit(&m_dataFolder);
    for (View& v : m_views) {
        MapViewState& s = v.transform.View();
        s.rerender = true;
        s.newStars = true;
        v.transform.UpdateViewTransform(3);
    }
}

CMapWnd::~CMapWnd() {
    if (m_drag && m_hWnd) KillTimer(kScrollTimer);
    FlushLayerCaches();
    for (auto& layer : m_layers) layer.reset();
    DeleteViewBitmaps();
    if (m_snapshot) DeleteObject(m_snapshot);
    for (View& v : m_views) v.labels.Clear();
    VariantClear(&m_dataFolder);
}

template <class F> void CMapWnd::OnAddressedView(F f) {
    if (m_drag) return;
    const int saved = m_current;
    if (m_split) m_current = m_active;
    f();
    m_current = saved;
}

int CMapWnd::NextRandom() {
    m_random = m_random * 214013u + 2531011u;
    return static_cast<int>((m_random >> 16) & 0x7FFF);
}

// ---------------------------------------------------------------------------------------------
// Data folder and layers

void CMapWnd::SetDataFolder(const VARIANT& folder) {
    if (folder.vt != VT_BSTR) return;
    VariantCopy(&m_dataFolder, &folder);
}

void CMapWnd::OpenMapLayer(VARIANT& name, std::uint16_t index) {
    if (m_drag || !HoldsString(name)) return;
    FoldName(name);
    int at = index;
    if (index == kNextFreeIndex) at = m_highest + 1;
    if (at < 0 || at >= kMaxLayers) return;
    auto layer = std::make_unique<CMapLayerFile>();
    const CString folder = StringOf(m_dataFolder);
    const CString file = StringOf(name);
    if (!layer->Open(folder.GetString(), file.GetString())) return;
    const MapLayerHeader& h = layer->GetHeader();
    if (!m_hasMapBox) {
        m_mapBox = ViewBox{h.minX, h.minY, h.maxX, h.maxY};
        m_hasMapBox = true;
    } else {
        m_mapBox.minX = std::min(m_mapBox.minX, h.minX);
        m_mapBox.minY = std::min(m_mapBox.minY, h.minY);
        m_mapBox.maxX = std::max(m_mapBox.maxX, h.maxX);
        m_mapBox.maxY = std::max(m_mapBox.maxY, h.maxY);
    }
    for (View& v : m_views) v.transform.SetMapBox(m_mapBox);
    m_layers[at] = std::move(layer); // a layer that was there is deleted
    m_highest = std::max(m_highest, at);
}

CMapLayerFile* CMapWnd::GetLayer(int index) const {
    return index >= 0 && index < kMaxLayers ? m_layers[index].get() : nullptr;
}

int CMapWnd::FindLayerIndex(VARIANT& name) {
    if (!HoldsString(name)) return -1;
    FoldName(name);
    const CString wanted = StringOf(name);
    for (int i = 0; i <= m_highest && i < kMaxLayers; ++i)
        if (m_layers[i] && m_layers[i]->GetName() == wanted) return i;
    return -1;
}

CMapLayerFile* CMapWnd::FindLayer(VARIANT& name) {
    const int i = FindLayerIndex(name);
    return i >= 0 ? m_layers[i].get() : nullptr;
}

void CMapWnd::ShowLayer(int index, int show) {
    if (m_drag || index < 0 || index >= kMaxLayers) return;
    const int view = m_split ? m_active : m_current;
    if (show == 1) {
        m_shown[view][index] = 1;
        return;
    }
    m_shown[view][index] = 0;
    if (!m_shown[0][index] && !m_shown[1][index] && m_layers[index]) m_layers[index]->ClearCellCache();
}

bool CMapWnd::IsLayerShown(int view, int index) const {
    return index >= 0 && index < kMaxLayers && m_shown[view & 1][index] != 0;
}

void CMapWnd::FlushLayerCaches() {
    for (auto& layer : m_layers)
        if (layer) layer->ClearCellCache();
}

int CMapWnd::ReopenLayers(const char16_t* folder) {
    for (int i = 0; i <= m_highest && i < kMaxLayers; ++i)
        if (m_layers[i] && !m_layers[i]->Reopen(folder ? folder : u"")) return 0;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Centring, zoom and the other setters

void CMapWnd::SetCenter(std::int32_t x, std::int32_t y, double rotation) {
    OnAddressedView([&] { CenterView(x, y, rotation); });
}

void CMapWnd::CenterView(std::int32_t x, std::int32_t y, double rotation) { T().CenterView(x, y, rotation); }

void CMapWnd::SetScale(double value) {
    if (value == 0.0) return;
    OnAddressedView([&] {
        double v = value;
        if (m_split && m_splitOrientation == 0) v *= m_current == 0 ? m_splitRatio : 1.0 - m_splitRatio;
        T().SetScale(v);
    });
}

void CMapWnd::SetBirdViewDistance(std::int32_t distance) {
    OnAddressedView([&] { T().SetBirdViewDistance(distance); });
}

void CMapWnd::SetViewMode(std::int32_t mode) {
    OnAddressedView([&] { T().SetViewMode(mode); });
}

void CMapWnd::SetLevelMasks(int level1, int level2, int level3) {
    OnAddressedView([&] {
        const int levels[3] = {level1, level2, level3};
        for (int i = 0; i < 3; ++i) {
            const unsigned low = static_cast<unsigned>(levels[i]) & 0xFFu;
            CurrentView().levelMask[i] = low < 32 ? static_cast<std::uint16_t>(1u << low) : 0;
        }
    });
}

void CMapWnd::SetCenterOffset(double rx, double ry) {
    if (!(rx >= -1.0 && rx <= 1.0 && ry >= -1.0 && ry <= 1.0)) return;
    OnAddressedView([&] {
        V().offsetRatioX = rx;
        V().offsetRatioY = ry;
    });
}

void CMapWnd::SetTrafficOffset(std::int32_t offset) {
    OnAddressedView([&] { CurrentView().trafficOffset = offset; });
}

void CMapWnd::SetTrafficArrows(std::uint8_t on) {
    OnAddressedView([&] { CurrentView().trafficArrows = on; });
}

void CMapWnd::GetCenter(std::int32_t& x, std::int32_t& y) const {
    const MapViewState& v = m_views[m_split ? m_active : m_current].transform.View();
    x = v.centreX;
    y = v.centreY;
}

void CMapWnd::RequestRedraw(int which) {
    if (m_drag) return;
    m_dragPos[0] = m_dragPos[1] = 0;
    if (!m_split) {
        if (which != 0) m_views[0].transform.View().rerender = true;
    } else if (which == 1) {
        m_views[m_active].transform.View().rerender = true;
    } else if (which == 2) {
        m_views[0].transform.View().rerender = true;
        m_views[1].transform.View().rerender = true;
    }
    if (!m_hWnd) return;
    Invalidate(FALSE);
    UpdateWindow();
}

void CMapWnd::QuickRepaint() {
    m_quickRepaint = 1;
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
    m_quickRepaint = 0;
}

// ---------------------------------------------------------------------------------------------
// Drag scrolling

void CMapWnd::BeginDragScroll(std::int32_t dx, std::int32_t dy, std::uint32_t period) {
    if (m_split || m_drag) return;
    const MapViewState& v = m_views[0].transform.View();
    if (v.mode == 0) {
        if (std::abs(std::int64_t(dx)) > v.width / 2 || std::abs(std::int64_t(dy)) > v.height / 2) return;
        m_dragStep[0] = dx;
        m_dragStep[1] = dy;
    } else if (v.mode == 1) {
        const double c = std::cos(v.rotation - kHalfPi), s = std::sin(v.rotation - kHalfPi);
        const std::int64_t d = v.distance;
        const double ax = static_cast<double>(d * dx / 30), ay = static_cast<double>(d * dy / 30);
        m_dragStep[0] = TruncSat(s * ay + c * ax);
        m_dragStep[1] = TruncSat(s * ax - c * ay);
    }
    // Each drag starts from where the picture is now.
    m_dragStart[0] = m_dragStart[1] = m_dragPos[0] = m_dragPos[1] = 0;
    m_drag = 1;
    if (m_hWnd) SetTimer(kScrollTimer, period, nullptr);
}

void CMapWnd::MoveByDraggedPixels() {
    MapViewState& v = m_views[0].transform.View();
    if (v.scaleFactor == 0.0) return;
    // Pixels over the scale (240 pixels at 0.32 are exactly 750 units).
    const double px = (m_dragPos[0] - m_dragStart[0]) / v.scaleFactor;
    const double py = (m_dragPos[1] - m_dragStart[1]) / v.scaleFactor;
    m_views[0].transform.CenterView(TruncSat(v.cos * px + v.sin * py + v.centreX),
                                    TruncSat(v.sin * px - v.cos * py + v.centreY), v.rotation);
}

void CMapWnd::EndDragScroll() {
    if (!m_drag) return;
    m_drag = 0;
    if (m_hWnd) KillTimer(kScrollTimer);
    if (m_snapshot) {
        DeleteObject(m_snapshot);
        m_snapshot = nullptr;
        MoveByDraggedPixels();
    }
    m_dragStart[0] = m_dragStart[1] = m_dragPos[0] = m_dragPos[1] = 0;
    // The cached map shows the place before the drag: render the new one.
    m_views[0].transform.View().rerender = true;
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

void CMapWnd::ScrollBy(std::int32_t dx, std::int32_t dy) {
    if (m_split || m_drag || !m_bitmaps[0]) return;
    m_dragPos[0] += dx;
    m_dragPos[1] += dy;
    const MapViewState& v = m_views[0].transform.View();
    if (m_hWnd) {
        CDC* win = GetDC();
        CDC mem;
        if (win && mem.CreateCompatibleDC(win)) {
            HGDIOBJ old = mem.SelectObject(m_bitmaps[0]);
            const int x = m_dragPos[0], y = m_dragPos[1];
            const int w = v.width - std::abs(x), h = v.height - std::abs(y);
            if (w > 0 && h > 0)
                win->BitBlt(x < 0 ? -x : 0, y < 0 ? -y : 0, w, h, &mem, x > 0 ? x : 0, y > 0 ? y : 0, SRCCOPY);
            mem.SelectObject(old);
        }
        if (win) ReleaseDC(win);
    }
    if (v.scaleFactor != 0.0) {
        const double px = dx / v.scaleFactor, py = dy / v.scaleFactor;
        m_views[0].transform.CenterView(TruncSat(v.cos * px + v.sin * py + v.centreX),
                                        TruncSat(v.sin * px - v.cos * py + v.centreY), v.rotation);
    }
    if (std::abs(m_dragPos[0]) >= v.width / 2 || std::abs(m_dragPos[1]) >= v.height / 2) RequestRedraw(1);
}

// ---------------------------------------------------------------------------------------------
// Split view

void CMapWnd::SetSplitView(int orientation, double ratio) {
    if (m_drag || (orientation != 0 && orientation != 1) || !(ratio > 0.0 && ratio <= 1.0)) return;
    if (ratio == 1.0) {
        if (!m_split) return;
        m_active = 0;
        CMapViewTransform& t = m_views[0].transform;
        t.SetSize(m_windowWidth, m_windowHeight);
        m_split = 0;
        if (t.View().mode == 1) {
            t.UpdateViewTransform(2);
            t.UpdateHorizon();
            t.View().newStars = true;
        }
        t.CenterView(t.View().centreX, t.View().centreY, t.View().rotation);
        t.View().rerender = true;
        DeleteViewBitmaps();
        return;
    }
    m_splitOrientation = orientation;
    m_splitRatio = ratio;
    m_active = 0;
    m_split = 1;
    LayoutSplitViews();
    m_views[0].transform.View().rerender = true;
    m_views[1].transform.View().rerender = true;
    DeleteViewBitmaps();
}

void CMapWnd::SetActiveView(int index) {
    if (!m_split || m_drag || (index != 0 && index != 1)) return;
    m_active = index;
}

void CMapWnd::LayoutSplitViews() {
    int w[2] = {m_windowWidth, m_windowWidth}, h[2] = {m_windowHeight, m_windowHeight};
    if (m_splitOrientation == 1) {
        h[0] = TruncSat(m_windowHeight * m_splitRatio);
        h[1] = m_windowHeight - h[0];
    } else {
        w[0] = TruncSat(m_windowWidth * m_splitRatio);
        w[1] = m_windowWidth - w[0];
    }
    for (int i = 0; i < 2; ++i) {
        CMapViewTransform& t = m_views[i].transform;
        t.SetSize(w[i], h[i]);
        if (t.View().mode == 1) {
            t.UpdateViewTransform(3);
            t.UpdateHorizon();
            t.View().rerender = true;
        }
        t.CenterView(t.View().centreX, t.View().centreY, t.View().rotation);
    }
}

// ---------------------------------------------------------------------------------------------
// Conversions

int CMapWnd::ScreenToMap(std::int32_t& x, std::int32_t& y) {
    int view = m_current;
    if (m_split) {
        const MapViewState& v0 = m_views[0].transform.View();
        if (m_splitOrientation == 1) {
            view = y <= v0.height ? 0 : 1;
            if (view == 1) y -= v0.height;
        } else {
            view = x <= v0.width ? 0 : 1;
            if (view == 1) x -= v0.width;
        }
    }
    const int result = m_views[view].transform.ScreenToMap(x, y);
    return result == -1 ? -1 : 1;
}

void CMapWnd::PointToScreen(std::int32_t& x, std::int32_t& y) {
    const MapViewState& v = V();
    if (v.mode == 0) {
        POINT p;
        T().WorldToScreen(x, y, p);
        x = p.x;
        y = p.y;
    } else if (v.mode == 1) {
        ProjectedPoint p;
        if (T().ProjectPoint(x, y, p)) {
            x = p.x;
            y = p.y;
        } else {
            x = y = -100;
        }
    }
}

void CMapWnd::PointToScreenInView(int view, std::int32_t& x, std::int32_t& y) {
    if (view != 0 && view != 1) return;
    const int saved = m_current;
    m_current = view;
    PointToScreen(x, y);
    m_current = saved;
    if (x == -100 && y == -100) return;
    const MapViewState& v0 = m_views[0].transform.View();
    if (!m_split) return;
    if (view == 0) {
        if ((m_splitOrientation == 0 && x >= v0.width) || (m_splitOrientation == 1 && y >= v0.height)) x = y = -100;
        return;
    }
    if (m_splitOrientation == 0) {
        x += v0.width;
        if (x < v0.width) x = y = -100;
    } else {
        y += v0.height;
        if (y < v0.height) x = y = -100;
    }
}

void CMapWnd::DrawPolyline(CDC* dc, const POINT* points, int n) {
    if (!dc || !points || n < 1) return;
    const MapViewState& v = V();
    std::vector<POINT> screen;
    if (v.mode == 0) {
        screen.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const double dx = (double(points[i].x) - v.originX) * v.scaleFactor;
            const double dy = (double(points[i].y) - v.originY) * v.scaleFactor;
            screen[i].x = TruncSat(v.cos * dx + v.sin * dy + v.width / 2);
            screen[i].y = TruncSat(v.sin * dx - v.cos * dy + v.height / 2);
        }
        dc->Polyline(screen.data(), n);
        return;
    }
    if (v.mode != 1) return;
    screen.resize(static_cast<std::size_t>(n) * 2 + 2);
    const ViewBox& box = v.visible;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const std::int32_t x = points[i].x, y = points[i].y;
        const bool inside = x >= box.minX && x <= box.maxX && y >= box.minY && y <= box.maxY;
        POINT p, q;
        const std::uint8_t clip = i == 0 ? 0 : 1;
        const int r = inside ? T().ProjectVertex(x, y, p, q, clip) : T().ProjectVertexPrecise(x, y, p, q, clip);
        if (r == 1) {
            screen[count++] = p;
        } else if (r == 2) {
            screen[count++] = p;
            dc->Polyline(screen.data(), count);
            count = 0;
        } else if (r == 3) {
            screen[count++] = p;
            screen[count++] = q;
        }
    }
    if (count > 0) dc->Polyline(screen.data(), count);
}

HRESULT CMapWnd::DrawPolylineArray(CDC* dc, SAFEARRAY* array) {
    const HRESULT locked = SafeArrayLock(array);
    if (FAILED(locked)) return locked;
    HRESULT result = S_OK;
    if (SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 4) {
        result = E_INVALIDARG;
    } else {
        const ULONG n = array->rgsabound[0].cElements / 2;
        const auto* values = static_cast<const std::int32_t*>(array->pvData);
        std::vector<POINT> pts(n);
        for (ULONG i = 0; i < n; ++i) pts[i] = POINT{values[2 * i], values[2 * i + 1]};
        if (n > 0 && n <= 0x7FFFFFFF) DrawPolyline(dc, pts.data(), static_cast<int>(n));
    }
    SafeArrayUnlock(array);
    return result;
}

int CMapWnd::OutCode(std::int32_t x, std::int32_t y) const {
    const MapViewState& v = V();
    const std::int64_t dx = std::int64_t(x) - v.originX, dy = std::int64_t(y) - v.originY;
    const std::int32_t* m = v.matrix;
    int code = 0;
    if (v.mode == 0) {
        const std::int64_t u = (m[0] * dx + m[1] * dy) / 32768;
        const std::int64_t w = (m[2] * dx + m[3] * dy) / 32768;
        if (u < -(v.width / 2))
            code |= 8;
        else if (u > v.width / 2)
            code |= 4;
        if (w < -(v.height / 2))
            code |= 2;
        else if (w > v.height / 2)
            code |= 1;
        return code;
    }
    const std::int64_t xs = dx >> v.levelShift, ys = dy >> v.levelShift;
    const std::int64_t X = m[0] * xs + m[1] * ys + m[2];
    const std::int64_t Y = m[4] * xs + m[5] * ys + m[6];
    std::int64_t W = m[12] * xs + m[13] * ys + m[14];
    if (W < 0) W = -W;
    if (X < -W)
        code |= 8;
    else if (X > W)
        code |= 4;
    if (Y < -W)
        code |= 2;
    else if (Y > W)
        code |= 1;
    return code;
}

int CMapWnd::IsRectVisible(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax) {
    if (V().mode == 2) return 0;
    const std::int32_t corners[4][2] = {{xMin, yMax}, {xMax, yMax}, {xMax, yMin}, {xMin, yMin}};
    int all = 0xF;
    for (const auto& c : corners) {
        const int code = OutCode(c[0], c[1]);
        if (code == 0) return 1;
        all &= code;
        if (all == 0) return 1;
    }
    return 0;
}

int CMapWnd::IsBoxVisible(const ViewBox& box) { return IsRectVisible(box.minX, box.maxX, box.minY, box.maxY); }

void CMapWnd::DrawSymbol(CDC* dc, int n, int x, int y) {
    if (m_symbols && dc) m_symbols->DrawSymbol(dc, n, x, y);
}

void CMapWnd::DrawCentreMark(CDC* dc) {
    if (m_symbols && dc) m_symbols->DrawDisSymbol(dc->GetSafeHdc(), -1, 101, 141);
}

// ---------------------------------------------------------------------------------------------
// Day and night

int CMapWnd::IsNightTime() const {
    Clock& clock = TheClock();
    std::int64_t ms = clock.UtcMilliseconds() + std::int64_t(clock.LocalOffsetMinutes()) * 60000;
    if (m_correctionValid) ms += std::int64_t(m_correction) * 1000;
    const SYSTEMTIME t = SystemTimeFromMilliseconds(ms);
    const int hour = t.wHour;
    if (m_userHours) return (hour >= m_nightFrom || hour < m_nightTo) ? 1 : 0;
    const int month = t.wMonth >= 1 && t.wMonth <= 12 ? t.wMonth : 1;
    return (hour >= kEveningHour[month - 1] || hour <= kMorningHour[month - 1]) ? 1 : 0;
}

void CMapWnd::SetTimeCorrection(std::int32_t seconds) {
    m_correction = seconds;
    m_correctionValid = 1;
}

void CMapWnd::SetNightHours(std::uint8_t userHoursOn, std::int32_t nightFrom, std::int32_t nightTo) {
    m_userHours = userHoursOn;
    m_nightFrom = nightFrom;
    m_nightTo = nightTo;
}

void CMapWnd::PlaceStars() {
    View& view = CurrentView();
    const MapViewState& v = view.transform.View();
    // Without width or sky there is no place for a star.
    if (v.width <= 0 || v.horizonRow <= 0) {
        for (POINT& s : view.stars) s = POINT{-1, -1};
        return;
    }
    for (POINT& s : view.stars) {
        s.x = NextRandom() % v.width;
        s.y = NextRandom() % v.horizonRow;
    }
}

// ---------------------------------------------------------------------------------------------
// Message handlers

BOOL CMapWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CMapWnd::OnLButtonDown(UINT flags, CPoint point) {
    if (m_mouseHook) m_mouseHook(WM_LBUTTONDOWN, flags, point.x, point.y);
}

void CMapWnd::OnLButtonUp(UINT flags, CPoint point) {
    if (m_mouseHook) m_mouseHook(WM_LBUTTONUP, flags, point.x, point.y);
}

void CMapWnd::OnTimer(UINT_PTR) {
    m_current = 0;
    MapViewState& v = m_views[0].transform.View();
    if (v.mode == 1) {
        m_views[0].transform.CenterView(v.centreX + m_dragStep[0], v.centreY + m_dragStep[1], v.rotation);
        v.rerender = true;
    }
    Invalidate(FALSE);
    UpdateWindow();
}

void CMapWnd::OnSize(UINT, int cx, int cy) {
    m_windowWidth = cx;
    m_windowHeight = cy;
    if (cx == 0 || cy == 0) return;
    if (m_split) {
        LayoutSplitViews();
        m_views[1].transform.View().rerender = true;
    } else {
        CMapViewTransform& t = m_views[0].transform;
        t.SetSize(cx, cy);
        if (t.View().mode == 1) {
            t.UpdateViewTransform(2);
            t.UpdateHorizon();
            t.View().newStars = true;
        }
        t.CenterView(t.View().centreX, t.View().centreY, t.View().rotation);
        m_quickRepaint = 0;
    }
    m_views[0].transform.View().rerender = true;
    DeleteViewBitmaps();
}
