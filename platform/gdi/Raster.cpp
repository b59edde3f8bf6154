// Lines, polylines, polygons, rectangles and ellipses. Pixel (x, y) is centred on the point
// (x, y). Cosmetic lines leave out their last point; wide pens cover every pixel whose centre lies
// within half the width of the path (round caps and joins); polygons are filled on pixel centres
// with the top-left rule, then outlined.
#include "platform/gdi/GdiInternal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace gdi;

namespace {

struct DPoint {
    double x;
    double y;
};

RECT ClipBounds(const Target& target) {
    RECT box{0, 0, 0, 0};
    bool first = true;
    for (const RECT& c : target.clip) {
        if (first) {
            box = c;
            first = false;
        } else {
            box.left = std::min(box.left, c.left);
            box.top = std::min(box.top, c.top);
            box.right = std::max(box.right, c.right);
            box.bottom = std::max(box.bottom, c.bottom);
        }
    }
    return box;
}

// On/off run lengths of the styled cosmetic pens.
const std::vector<int>& DashPattern(int style) {
    static const std::vector<int> solid;
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH:
        return dash;
    case PS_DOT:
        return dot;
    case PS_DASHDOT:
        return dashDot;
    case PS_DASHDOTDOT:
        return dashDotDot;
    }
    return solid;
}

// Every pattern's length divides this cycle, so the phase is kept modulo it.
constexpr int kDashCycle = 24;

bool InDash(const std::vector<int>& pattern, int phase) {
    int total = 0;
    for (int run : pattern) total += run;
    int p = phase % total;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (p < pattern[i]) return i % 2 == 0;
        p -= pattern[i];
    }
    return true;
}

struct PenInfo {
    bool none = false;
    bool wide = false;
    double radius = 0;
    COLORREF color = 0;
    int style = PS_SOLID;
};

PenInfo PenOf(const DeviceContext& dc) {
    PenInfo info;
    const Pen* pen = dc.Current().pen;
    if (!pen || pen->style == PS_NULL) {
        info.none = true;
        return info;
    }
    info.color = pen->color;
    info.wide = pen->width > 1;
    info.radius = pen->width / 2.0;
    // Styles apply to cosmetic pens only; a wide styled pen draws solid.
    info.style = info.wide ? PS_SOLID : pen->style;
    return info;
}

// A cosmetic line from a to b without its last point, in device coordinates. The line is walked
// only over the part that can reach the clip box, so far-away coordinates cost nothing.
void CosmeticLine(Target& target, DeviceContext& dc, const PenInfo& pen, POINT a, POINT b) {
    const std::int64_t dx = std::int64_t(b.x) - a.x, dy = std::int64_t(b.y) - a.y;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const std::int64_t steps = std::max(adx, ady);
    if (steps == 0) return;
    const std::vector<int>& pattern = DashPattern(pen.style);
    const bool opaqueGaps = dc.Current().bkMode == OPAQUE;
    const COLORREF gapColor = dc.Current().bkColor;

    // Parameter range [k0, k1) of the steps whose pixels can be inside the clip box.
    std::int64_t k0 = 0, k1 = steps;
    const RECT box = ClipBounds(target);
    if (box.left >= box.right || box.top >= box.bottom) {
        dc.dashPhase = static_cast<int>((dc.dashPhase + steps) % kDashCycle);
        return;
    }
    {
        double t0 = 0, t1 = 1;
        auto clipAxis = [&](double p, double q) {
            if (p == 0) return q >= 0;
            const double t = q / p;
            if (p < 0) {
                if (t > t1) return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0) return false;
                t1 = std::min(t1, t);
            }
            return true;
        };
        const double fdx = static_cast<double>(dx), fdy = static_cast<double>(dy);
        const double xmin = box.left - 1, xmax = box.right, ymin = box.top - 1, ymax = box.bottom;
        if (!clipAxis(-fdx, a.x - xmin) || !clipAxis(fdx, xmax - a.x) || !clipAxis(-fdy, a.y - ymin) ||
            !clipAxis(fdy, ymax - a.y)) {
            dc.dashPhase = static_cast<int>((dc.dashPhase + steps) % kDashCycle);
            return;
        }
        k0 = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::floor(t0 * steps)) - 1);
        k1 = std::min<std::int64_t>(steps, static_cast<std::int64_t>(std::ceil(t1 * steps)) + 1);
    }
    const bool xMajor = adx >= ady;
    const std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    for (std::int64_t k = k0; k < k1; ++k) {
        const std::int64_t m = k * sMajor;
        const std::int64_t n = sMinor * ((2 * k * minor + major) / (2 * major));
        const int x = static_cast<int>(a.x + (xMajor ? m : n));
        const int y = static_cast<int>(a.y + (xMajor ? n : m));
        if (pattern.empty()) {
            target.Plot(x, y, pen.color);
        } else if (InDash(pattern, static_cast<int>((dc.dashPhase + k) % kDashCycle))) {
            target.Plot(x, y, pen.color);
        } else if (opaqueGaps) {
            target.Plot(x, y, gapColor);
        }
    }
    dc.dashPhase = static_cast<int>((dc.dashPhase + steps) % kDashCycle);
}

// The x extent at row y of the points within r of the segment a-b; false when the row misses it.
bool CapsuleSpan(DPoint a, DPoint b, double r, double y, double& lo, double& hi) {
    bool any = false;
    auto take = [&](double l, double h) {
        if (!any) {
            lo = l;
            hi = h;
            any = true;
        } else {
            lo = std::min(lo, l);
            hi = std::max(hi, h);
        }
    };
    for (const DPoint& c : {a, b}) {
        const double d = y - c.y;
        if (std::fabs(d) <= r) {
            const double w = std::sqrt(std::max(0.0, r * r - d * d));
            take(c.x - w, c.x + w);
        }
    }
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double len = std::sqrt(vx * vx + vy * vy);
    if (len > 0) {
        const double nx = -vy / len * r, ny = vx / len * r;
        const DPoint quad[4] = {
            {a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
        for (int i = 0; i < 4; ++i) {
            const DPoint& p = quad[i];
            const DPoint& q = quad[(i + 1) % 4];
            if ((p.y - y) * (q.y - y) > 0) continue;
            if (p.y == q.y) {
                take(std::min(p.x, q.x), std::max(p.x, q.x));
            } else {
                const double x = p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y);
                take(x, x);
            }
        }
    }
    return any;
}

void WideSegment(Target& target, const PenInfo& pen, DPoint a, DPoint b) {
    const RECT box = ClipBounds(target);
    const double r = pen.radius;
    const int y0 = std::max<int>(box.top, static_cast<int>(std::floor(std::min(a.y, b.y) - r)));
    const int y1 = std::min<int>(box.bottom - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + r)));
    constexpr double eps = 1e-9;
    for (int y = y0; y <= y1; ++y) {
        double lo, hi;
        if (!CapsuleSpan(a, b, r, y, lo, hi)) continue;
        const double l = std::max<double>(std::ceil(lo - eps), box.left - 1);
        const double h = std::min<double>(std::floor(hi + eps), box.right);
        if (l > h) continue;
        target.Span(y, static_cast<int>(l), static_cast<int>(h) + 1, pen.color);
    }
}

// A polyline in device coordinates with the DC's pen.
void StrokePath(Target& target, DeviceContext& dc, const PenInfo& pen, const std::vector<POINT>& points) {
    if (pen.none || points.size() < 2 || target.Empty()) return;
    if (!pen.wide) {
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            CosmeticLine(target, dc, pen, points[i], points[i + 1]);
        return;
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        WideSegment(target, pen, DPoint{double(points[i].x), double(points[i].y)},
                    DPoint{double(points[i + 1].x), double(points[i + 1].y)});
    }
}

const Brush* FillBrush(const DeviceContext& dc) {
    const Brush* brush = dc.Current().brush;
    return brush && brush->style == BS_SOLID ? brush : nullptr;
}

void FillBox(Target& target, RECT r, COLORREF color) {
    const RECT box = ClipBounds(target);
    r.left = std::max(r.left, box.left);
    r.top = std::max(r.top, box.top);
    r.right = std::min(r.right, box.right);
    r.bottom = std::min(r.bottom, box.bottom);
    for (int y = r.top; y < r.bottom; ++y) target.Span(y, r.left, r.right, color);
}

// Scanline fill of a polygon on pixel centres: an edge counts on row y when y lies in
// [top, bottom) of the edge, and a span covers the centres x with left <= x < right.
void FillPolygon(Target& target, const std::vector<POINT>& points, int mode, COLORREF color) {
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    int ymin = INT32_MAX, ymax = INT32_MIN;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const POINT& p = points[i];
        const POINT& q = points[(i + 1) % points.size()];
        if (p.y == q.y) continue;
        edges.push_back(p.y < q.y ? Edge{double(p.x), double(p.y), double(q.x), double(q.y), 1}
                                  : Edge{double(q.x), double(q.y), double(p.x), double(p.y), -1});
        ymin = std::min<int>(ymin, std::min(p.y, q.y));
        ymax = std::max<int>(ymax, std::max(p.y, q.y));
    }
    if (edges.empty()) return;
    const RECT box = ClipBounds(target);
    ymin = std::max<int>(ymin, box.top);
    ymax = std::min<int>(ymax, box.bottom);
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    struct Crossing {
        double x;
        int dir;
    };
    std::vector<Crossing> crossings;
    for (int y = ymin; y < ymax; ++y) {
        crossings.clear();
        for (const Edge& e : edges) {
            if (e.y0 > y) break;
            if (y >= e.y1) continue;
            const double x = e.x0 + ((y - e.y0) * (e.x1 - e.x0)) / (e.y1 - e.y0);
            crossings.push_back(Crossing{x, e.dir});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].dir;
            const bool inside = mode == WINDING ? winding != 0 : (i % 2) == 0;
            if (!inside) continue;
            const double l = std::max<double>(std::ceil(crossings[i].x), box.left);
            const double r = std::min<double>(std::ceil(crossings[i + 1].x), box.right);
            if (l < r) target.Span(y, static_cast<int>(l), static_cast<int>(r), color);
        }
    }
}

// Logical to device coordinates, saturating at the ends of the 32-bit range.
LONG Shift(LONG v, LONG by) {
    return static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t(v) + by, INT32_MIN, INT32_MAX));
}

std::vector<POINT> ToDevice(const POINT* points, int count, POINT org) {
    std::vector<POINT> out(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) out[i] = POINT{Shift(points[i].x, org.x), Shift(points[i].y, org.y)};
    return out;
}

// A shape's box in device coordinates, ordered; 64-bit so that its sizes cannot overflow.
struct Box {
    std::int64_t left, top, right, bottom;
};

Box DeviceBox(int left, int top, int right, int bottom, POINT org) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return Box{std::int64_t(left) + org.x, std::int64_t(top) + org.y, std::int64_t(right) + org.x,
               std::int64_t(bottom) + org.y};
}

// The part of a box that can matter for drawing: far edges are pulled in to just beyond the
// 32-bit range used by the rest of the rasteriser.
LONG Near(std::int64_t v) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, -(1 << 30), 1 << 30));
}

} // namespace

BOOL MoveToEx(HDC handle, int x, int y, POINT* previous) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    if (previous) *previous = dc->Current().position;
    dc->Current().position = POINT{x, y};
    dc->dashPhase = 0;
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    Target target(*dc);
    const POINT from = dc->Current().position;
    StrokePath(target, *dc, PenOf(*dc),
               {POINT{Shift(from.x, target.org.x), Shift(from.y, target.org.y)},
                POINT{Shift(x, target.org.x), Shift(y, target.org.y)}});
    dc->Current().position = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || !points || count < 2) return FALSE;
    Target target(*dc);
    dc->dashPhase = 0;
    StrokePath(target, *dc, PenOf(*dc), ToDevice(points, count, target.org));
    return TRUE;
}

BOOL Polygon(HDC handle, const POINT* points, int count) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || !points || count < 2) return FALSE;
    Target target(*dc);
    if (target.Empty()) return TRUE;
    std::vector<POINT> path = ToDevice(points, count, target.org);
    if (const Brush* brush = FillBrush(*dc))
        FillPolygon(target, path, dc->Current().polyFillMode, brush->color);
    path.push_back(path.front());
    dc->dashPhase = 0;
    StrokePath(target, *dc, PenOf(*dc), path);
    return TRUE;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    Target target(*dc);
    const Box b = DeviceBox(left, top, right, bottom, target.org);
    if (target.Empty() || b.right - b.left < 1 || b.bottom - b.top < 1) return TRUE;
    left = Near(b.left);
    top = Near(b.top);
    right = Near(b.right);
    bottom = Near(b.bottom);
    const PenInfo pen = PenOf(*dc);
    const Brush* brush = FillBrush(*dc);
    if (pen.none) {
        // As in GDI, a rectangle without an outline is one pixel smaller in each direction.
        if (brush) FillBox(target, RECT{left, top, right - 1, bottom - 1}, brush->color);
        return TRUE;
    }
    if (brush) FillBox(target, RECT{left + 1, top + 1, right - 1, bottom - 1}, brush->color);
    dc->dashPhase = 0;
    StrokePath(target, *dc, pen,
               {POINT{left, top}, POINT{right - 1, top}, POINT{right - 1, bottom - 1},
                POINT{left, bottom - 1}, POINT{left, top}});
    return TRUE;
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    Target target(*dc);
    const Box b = DeviceBox(left, top, right, bottom, target.org);
    if (target.Empty() || b.right - b.left < 1 || b.bottom - b.top < 1) return TRUE;
    const PenInfo pen = PenOf(*dc);
    const Brush* brush = FillBrush(*dc);
    // The ellipse inscribed in the pixels left .. right - 1 and top .. bottom - 1.
    const double cx = (double(b.left) + double(b.right) - 1) / 2.0,
                 cy = (double(b.top) + double(b.bottom) - 1) / 2.0;
    const double rx = (double(b.right) - double(b.left)) / 2.0, ry = (double(b.bottom) - double(b.top)) / 2.0;
    auto inside = [&](std::int64_t x, std::int64_t y) {
        if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) return false;
        const double u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1.0 + 1e-9;
    };
    const RECT box = ClipBounds(target);
    const int y0 = static_cast<int>(std::max<std::int64_t>(b.top, box.top));
    const int y1 = static_cast<int>(std::min<std::int64_t>(b.bottom, box.bottom));
    const bool cosmeticOutline = !pen.none && !pen.wide;
    for (int y = y0; y < y1; ++y) {
        const double v = (y - cy) / ry;
        if (v * v > 1.0 + 1e-9) continue;
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - v * v));
        const double xl = std::max<double>({double(b.left), double(box.left), std::ceil(cx - half - 1e-9)});
        const double xr =
            std::min<double>({double(b.right) - 1, double(box.right) - 1, std::floor(cx + half + 1e-9)});
        for (int x = static_cast<int>(xl); x <= static_cast<int>(xr); ++x) {
            if (!inside(x, y)) continue;
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (cosmeticOutline && edge)
                target.Plot(x, y, pen.color);
            else if (brush)
                target.Plot(x, y, brush->color);
        }
    }
    if (!pen.none && pen.wide) {
        // A wide outline follows the centre line of the boundary pixels.
        const double ax = rx - 0.5, ay = ry - 0.5;
        const int n = std::clamp(static_cast<int>(2 * (ax + ay)), 16, 4096);
        for (int i = 0; i < n; ++i) {
            const double t0 = 2 * M_PI * i / n, t1 = 2 * M_PI * (i + 1) / n;
            WideSegment(target, pen, DPoint{cx + ax * std::cos(t0), cy + ay * std::sin(t0)},
                        DPoint{cx + ax * std::cos(t1), cy + ay * std::sin(t1)});
        }
    }
    return TRUE;
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || !rect) return 0;
    COLORREF color;
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(brushHandle);
    if (const Brush* brush = Resolve<Brush>(brushHandle)) {
        if (brush->style != BS_SOLID) return 1;
        color = brush->color;
    } else if (value >= 1 && value <= 64) {
        color = GetSysColor(static_cast<int>(value - 1)); // (HBRUSH)(COLOR_xxx + 1)
    } else {
        return 0;
    }
    Target target(*dc);
    if (target.Empty()) return 1;
    FillBox(target,
            RECT{Shift(rect->left, target.org.x), Shift(rect->top, target.org.y),
                 Shift(rect->right, target.org.x), Shift(rect->bottom, target.org.y)},
            color);
    return 1;
}
