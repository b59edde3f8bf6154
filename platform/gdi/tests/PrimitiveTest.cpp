#include "platform/gdi/tests/GdiTestSupport.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels InkPixels(const Canvas& canvas) {
    Pixels ink;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            if (canvas.At(x, y) != kWhite) ink.insert({x, y});
    return ink;
}

double DistanceToSegment(double px, double py, POINT a, POINT b) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((px - a.x) * vx + (py - a.y) * vy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = px - (a.x + t * vx), dy = py - (a.y + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

TEST(CosmeticLine, PolylineLeavesOutItsLastPoint) {
    Canvas canvas(12, 10);
    const POINT path[] = {{2, 2}, {8, 2}, {8, 6}};
    ASSERT_TRUE(Polyline(canvas.dc, path, 3));
    Pixels expected;
    for (int x = 2; x <= 7; ++x) expected.insert({x, 2});
    for (int y = 2; y <= 5; ++y) expected.insert({8, y});
    EXPECT_EQ(InkPixels(canvas), expected);
    EXPECT_EQ(canvas.At(8, 6), kWhite);
}

TEST(CosmeticLine, ShallowLineStepsToTheNearestRow) {
    Canvas canvas(10, 6);
    MoveToEx(canvas.dc, 0, 0, nullptr);
    LineTo(canvas.dc, 6, 2);
    // y = x / 3 rounded: 0, 0.33, 0.67, 1, 1.33, 1.67; the end point (6, 2) is left out.
    const Pixels expected{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}};
    EXPECT_EQ(InkPixels(canvas), expected);
}

TEST(CosmeticLine, DashedPenRunsEighteenOnSixOff) {
    for (int mode : {TRANSPARENT, OPAQUE}) {
        Canvas canvas(64, 4);
        HPEN pen = CreatePen(PS_DASH, 1, RGB(0, 0, 0));
        HGDIOBJ old = SelectObject(canvas.dc, pen);
        SetBkMode(canvas.dc, mode);
        SetBkColor(canvas.dc, RGB(255, 0, 0));
        MoveToEx(canvas.dc, 0, 1, nullptr);
        LineTo(canvas.dc, 60, 1);
        const COLORREF gap = mode == OPAQUE ? RGB(255, 0, 0) : kWhite;
        for (int x = 0; x < 60; ++x) {
            const bool on = (x % 24) < 18;
            EXPECT_EQ(canvas.At(x, 1), on ? RGB(0, 0, 0) : gap) << "x " << x << " mode " << mode;
        }
        EXPECT_EQ(canvas.At(60, 1), kWhite);
        SelectObject(canvas.dc, old);
        DeleteObject(pen);
    }
}

TEST(WidePen, CoversExactlyThePixelsWithinHalfTheWidth) {
    struct Case {
        const char* name;
        std::vector<POINT> path;
    };
    const Case cases[] = {
        {"horizontal", {{10, 30}, {50, 30}}},
        {"diagonal", {{8, 8}, {52, 40}}},
        {"sharp join", {{10, 50}, {30, 10}, {50, 50}}},
        {"single point", {{30, 30}, {30, 30}}},
    };
    for (const Case& c : cases) {
        Canvas canvas(64, 64);
        HPEN pen = CreatePen(PS_SOLID, 5, RGB(0, 0, 255));
        HGDIOBJ old = SelectObject(canvas.dc, pen);
        Polyline(canvas.dc, c.path.data(), static_cast<int>(c.path.size()));
        int checked = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                double d = 1e9;
                for (std::size_t i = 0; i + 1 < c.path.size(); ++i)
                    d = std::min(d, DistanceToSegment(x, y, c.path[i], c.path[i + 1]));
                if (d < 2.5 - 1e-6) {
                    EXPECT_EQ(canvas.At(x, y), RGB(0, 0, 255)) << c.name << " near pixel " << x << "," << y;
                    ++checked;
                } else if (d > 2.5 + 1e-6) {
                    EXPECT_EQ(canvas.At(x, y), kWhite) << c.name << " far pixel " << x << "," << y;
                }
            }
        EXPECT_GT(checked, 0) << c.name;
        SelectObject(canvas.dc, old);
        DeleteObject(pen);
    }
}

TEST(PolygonFill, StarCentreFollowsTheFillMode) {
    // A pentagram around (50, 50): the centre is covered twice.
    const POINT star[] = {{50, 10}, {74, 82}, {12, 38}, {88, 38}, {26, 82}};
    struct Case {
        int mode;
        COLORREF centre;
    };
    for (const Case& c : {Case{ALTERNATE, kWhite}, Case{WINDING, RGB(0, 128, 0)}}) {
        Canvas canvas(100, 100);
        HBRUSH brush = CreateSolidBrush(RGB(0, 128, 0));
        HGDIOBJ oldBrush = SelectObject(canvas.dc, brush);
        SelectObject(canvas.dc, GetStockObject(NULL_PEN));
        SetPolyFillMode(canvas.dc, c.mode);
        Polygon(canvas.dc, star, 5);
        EXPECT_EQ(canvas.At(50, 50), c.centre) << "mode " << c.mode;
        EXPECT_EQ(canvas.At(50, 20), RGB(0, 128, 0)) << "tip, mode " << c.mode;
        EXPECT_EQ(canvas.At(20, 20), kWhite) << "outside, mode " << c.mode;
        SelectObject(canvas.dc, oldBrush);
        DeleteObject(brush);
    }
}

TEST(PolygonFill, SquareFollowsTheTopLeftRuleThenTheOutlineClosesIt) {
    const POINT square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    Canvas filled(30, 30);
    SelectObject(filled.dc, GetStockObject(NULL_PEN));
    SelectObject(filled.dc, GetStockObject(BLACK_BRUSH));
    Polygon(filled.dc, square, 4);
    // Centres on the left and top edges are in, those on the right and bottom edges out.
    EXPECT_EQ(InkPixels(filled).size(), 100u);
    EXPECT_EQ(filled.Ink().left, 10);
    EXPECT_EQ(filled.Ink().top, 10);
    EXPECT_EQ(filled.Ink().right, 19);
    EXPECT_EQ(filled.Ink().bottom, 19);

    Canvas outlined(30, 30);
    SelectObject(outlined.dc, GetStockObject(NULL_BRUSH));
    Polygon(outlined.dc, square, 4);
    // The closed outline reaches every vertex: 4 sides of 10 pixels.
    EXPECT_EQ(InkPixels(outlined).size(), 40u);
    EXPECT_EQ(outlined.At(20, 20), RGB(0, 0, 0));
    EXPECT_EQ(outlined.At(15, 15), kWhite);
}

TEST(Shapes, RectangleWithNullPenAndHollowBrush) {
    struct Case {
        const char* name;
        int pen;
        int brush;
        std::size_t inkCount;
        RECT ink; // inclusive pixel bounds, or left > right for none
        COLORREF inside;
    };
    const Case cases[] = {
        // Without an outline GDI fills one pixel less to the right and bottom.
        {"null pen, solid brush", NULL_PEN, BLACK_BRUSH, 7 * 5, {4, 4, 10, 8}, RGB(0, 0, 0)},
        {"pen, hollow brush", BLACK_PEN, NULL_BRUSH, 2 * 8 + 2 * 4, {4, 4, 11, 9}, kWhite},
        {"null pen, hollow brush", NULL_PEN, NULL_BRUSH, 0, {20, 20, -1, -1}, kWhite},
    };
    for (const Case& c : cases) {
        Canvas canvas(20, 20);
        SelectObject(canvas.dc, GetStockObject(c.pen));
        SelectObject(canvas.dc, GetStockObject(c.brush));
        Rectangle(canvas.dc, 4, 4, 12, 10);
        EXPECT_EQ(InkPixels(canvas).size(), c.inkCount) << c.name;
        const RECT ink = canvas.Ink();
        EXPECT_TRUE(ink.left == c.ink.left && ink.top == c.ink.top && ink.right == c.ink.right &&
                    ink.bottom == c.ink.bottom)
            << c.name << ": " << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
        EXPECT_EQ(canvas.At(7, 6), c.inside) << c.name;
    }
}

TEST(Shapes, EllipseWithNullPenAndHollowBrush) {
    struct Case {
        const char* name;
        int pen;
        int brush;
        bool drawsAnything;
        COLORREF centre;
        COLORREF top; // pixel (9, 4), on the boundary
    };
    const Case cases[] = {
        {"null pen, solid brush", NULL_PEN, GRAY_BRUSH, true, RGB(128, 128, 128), RGB(128, 128, 128)},
        {"pen, hollow brush", BLACK_PEN, NULL_BRUSH, true, kWhite, RGB(0, 0, 0)},
        {"pen, solid brush", BLACK_PEN, GRAY_BRUSH, true, RGB(128, 128, 128), RGB(0, 0, 0)},
        {"null pen, hollow brush", NULL_PEN, NULL_BRUSH, false, kWhite, kWhite},
    };
    for (const Case& c : cases) {
        Canvas canvas(20, 16);
        SelectObject(canvas.dc, GetStockObject(c.pen));
        SelectObject(canvas.dc, GetStockObject(c.brush));
        Ellipse(canvas.dc, 4, 4, 16, 12);
        EXPECT_EQ(canvas.At(9, 7), c.centre) << c.name;
        EXPECT_EQ(canvas.At(9, 4), c.top) << c.name;
        EXPECT_EQ(canvas.At(4, 4), kWhite) << c.name << ": the corner is outside the ellipse";
        const RECT ink = canvas.Ink();
        if (c.drawsAnything) {
            // The ellipse touches all four sides of its box, right and bottom excluded.
            EXPECT_TRUE(ink.left == 4 && ink.top == 4 && ink.right == 15 && ink.bottom == 11)
                << c.name << ": " << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
        } else {
            EXPECT_GT(ink.left, ink.right) << c.name;
        }
    }
}

TEST(Pixels, SetPixelOutsideTheBitmapChangesNothing) {
    Canvas canvas(8, 8);
    const auto before = canvas.Snapshot();
    const std::pair<int, int> outside[] = {{-1, 0},       {8, 0}, {0, 8}, {0, -1}, {INT32_MAX, INT32_MAX},
                                           {INT32_MIN, 3}};
    for (auto [x, y] : outside) {
        EXPECT_EQ(SetPixel(canvas.dc, x, y, RGB(1, 2, 3)), CLR_INVALID) << x << "," << y;
        EXPECT_EQ(GetPixel(canvas.dc, x, y), CLR_INVALID) << x << "," << y;
    }
    EXPECT_EQ(canvas.Snapshot(), before);
    EXPECT_EQ(SetPixel(canvas.dc, 7, 7, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(7, 7), RGB(1, 2, 3));
}

TEST(Shapes, FarAwayCoordinatesAreClippedWithoutWalkingThem) {
    Canvas canvas(16, 16);
    HPEN wide = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    MoveToEx(canvas.dc, -2000000000, 8, nullptr);
    LineTo(canvas.dc, 2000000000, 8);
    HGDIOBJ old = SelectObject(canvas.dc, wide);
    const POINT far[] = {{-2000000000, 2}, {2000000000, 2}};
    Polyline(canvas.dc, far, 2);
    const POINT huge[] = {{-2000000000, -2000000000}, {2000000000, 12}, {-2000000000, 14}};
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    SelectObject(canvas.dc, GetStockObject(GRAY_BRUSH));
    Polygon(canvas.dc, huge, 3);
    Ellipse(canvas.dc, -2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(canvas.At(5, 8), RGB(128, 128, 128)); // the ellipse covers the whole canvas last
    SelectObject(canvas.dc, old);
    DeleteObject(wide);
}
