#include "mapview/MapViewTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.141592653589793;

CMapViewTransform FlatView(double rotation, std::int32_t cx = 0, std::int32_t cy = 0) {
    CMapViewTransform t;
    t.SetSize(240, 320);
    t.View().mode = 0;
    t.View().scaleFactor = 0.32;
    t.CenterView(cx, cy, rotation);
    return t;
}

// Bird's-eye view with the camera at the map origin (0, 0), distance 100 (far 1430, near 214).
CMapViewTransform BirdAtOrigin(double rotation) {
    CMapViewTransform t;
    t.SetSize(240, 320);
    MapViewState& v = t.View();
    v.mode = 1;
    v.rotation = rotation;
    v.cos = std::cos(rotation);
    v.sin = std::sin(rotation);
    v.originX = v.originY = 0;
    v.distance = 100;
    v.farDistance = 1430;
    v.nearDistance = 214;
    v.levelShift = 0;
    t.UpdateViewTransform(3);
    t.UpdateHorizon();
    return t;
}

} // namespace

TEST(MapViewTransform, FlatProjectionScalesAndRotates) {
    struct Case {
        double rotation;
        std::int32_t x, y;
        LONG sx, sy;
    };
    // 0.32 px per unit: m = trunc(0.32 * 32768) = 10485, 100 units -> 1048500 / 32768 = 31 px.
    const Case cases[] = {
        {kPi / 2, 100, 0, 151, 160},                             // heading north: east to the right
        {kPi / 2, 0, 100, 120, 129},                             // north up
        {kPi / 2, -100, -100, 89, 191}, {0.0, 100, 0, 120, 129}, // heading east: east up
        {0.0, 0, 100, 89, 160},                                  // north to the left
        {kPi, 100, 0, 120, 191},                                 // heading west: east down
        {kPi / 2, 0, 0, 120, 160},                               // the origin is the middle
    };
    for (const Case& c : cases) {
        CMapViewTransform t = FlatView(c.rotation);
        POINT p;
        t.WorldToScreen(c.x, c.y, p);
        EXPECT_EQ(p.x, c.sx) << c.rotation << " " << c.x << "," << c.y;
        EXPECT_EQ(p.y, c.sy) << c.rotation << " " << c.x << "," << c.y;
    }
}

TEST(MapViewTransform, FlatCentreOffsetMovesOrigin) {
    CMapViewTransform t;
    t.SetSize(240, 320);
    t.View().mode = 0;
    t.View().scaleFactor = 0.32;
    t.View().offsetRatioY = 0.5; // centre a quarter of the height below the middle
    t.CenterView(1000, 2000, kPi / 2);
    // hy = 320 * 0.5 / 0.32 * 0.5 = 250; cos = 1, sin = 0: origin y = 250 + 2000.
    EXPECT_EQ(t.View().originX, 1000);
    EXPECT_EQ(t.View().originY, 2250);
}

TEST(MapViewTransform, BirdMatrixAndHorizon) {
    struct Case {
        double rotation;
        std::int32_t rows[4][3];
    };
    const Case cases[] = {
        {kPi / 2, {{2956, 0, 0}, {0, 922, -433800}, {0, 1177, -232701}, {0, 1001, 21200}}},
        {0.0, {{0, -2956, 0}, {922, 0, -433800}, {1177, 0, -232701}, {1001, 0, 21200}}},
    };
    for (const Case& c : cases) {
        CMapViewTransform t = BirdAtOrigin(c.rotation);
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 3; ++col)
                EXPECT_EQ(t.View().matrix[r * 4 + col], c.rows[r][col])
                    << "rotation " << c.rotation << " M[" << r << "][" << col << "]";
        // q = 320 * (922 * 1430 - 433800) / (1001 * 1430 + 21200) = 194; (320 - 194) / 2 = 63.
        EXPECT_EQ(t.View().horizonRow, 63);
    }
}

TEST(MapViewTransform, LevelShiftThresholds) {
    const std::pair<std::int32_t, int> cases[] = {
        {0, 0},     {2500, 0},     {2501, 1},     {5000, 1},        {5001, 2},
        {80001, 6}, {5120000, 11}, {5120001, 12}, {0x7fffffff, 12},
    };
    for (auto [far, shift] : cases) EXPECT_EQ(CMapViewTransform::LevelShiftFor(far), shift) << far;
}

TEST(MapViewTransform, SetBirdViewDistanceDerivesFarNearAndShift) {
    CMapViewTransform t;
    t.SetSize(240, 320);
    t.View().mode = 1;
    t.SetBirdViewDistance(175);
    EXPECT_EQ(t.View().distance, 175);
    EXPECT_EQ(t.View().farDistance, 2502); // trunc(175 * 14.3007) = trunc(2502.6)
    EXPECT_EQ(t.View().nearDistance, 375); // trunc(175 * 2.1445) = trunc(375.3)
    EXPECT_EQ(t.View().levelShift, 1);
    EXPECT_TRUE(t.View().rerender);

    for (std::int32_t bad : {0, -5}) {
        t.SetBirdViewDistance(bad);
        EXPECT_EQ(t.View().distance, 175);
        EXPECT_EQ(t.View().farDistance, 2502);
    }
    t.View().mode = 0;
    t.SetBirdViewDistance(500); // only in the bird's-eye mode
    EXPECT_EQ(t.View().distance, 175);
}

TEST(MapViewTransform, ProjectPointLimits) {
    CMapViewTransform t = BirdAtOrigin(kPi / 2);
    struct Case {
        std::int32_t x, y;
        int result;
    };
    // Rotation pi/2: X = 2956 dx, Z = 1177 dy - 232701, W = 1001 dy + 21200, far limit 1430 * 1024.
    const Case cases[] = {
        {0, 0, 0},      // under the camera: behind the near plane
        {0, 1441, 1},   // Z = 1463356 <= 1464320
        {0, 1442, 0},   // Z = 1464533: beyond the far plane
        {176, 500, 1},  // X = 520256 <= W = 521700
        {177, 500, 0},  // X = 523212 > W
        {-176, 500, 1}, // the left edge likewise
        {-177, 500, 0},
    };
    for (const Case& c : cases) {
        ProjectedPoint p;
        EXPECT_EQ(t.ProjectPoint(c.x, c.y, p), c.result) << c.x << "," << c.y;
    }
    ProjectedPoint p;
    ASSERT_EQ(t.ProjectPoint(0, 500, p), 1);
    // Y = 922 * 500 - 433800 = 27200, W = 521700: sy = (320 - 8704000 / 521700) / 2 = (320 - 16) / 2.
    EXPECT_EQ(p.x, 120);
    EXPECT_EQ(p.y, 152);
    EXPECT_EQ(p.depth, 355799);

    // W = 0 never divides: with a matrix whose W row is zero every point is refused, while the
    // same point with W = 1 passes.
    CMapViewTransform z = BirdAtOrigin(kPi / 2);
    for (int i = 0; i < 16; ++i) z.View().matrix[i] = 0;
    EXPECT_EQ(z.ProjectPoint(0, 0, p), 0);
    z.View().matrix[14] = 1;
    ASSERT_EQ(z.ProjectPoint(0, 0, p), 1);
    EXPECT_EQ(p.x, 120);
    EXPECT_EQ(p.y, 160);
}

TEST(MapViewTransform, NearPlaneClipping) {
    for (bool precise : {false, true}) {
        SCOPED_TRACE(precise ? "precise" : "fixed point");
        CMapViewTransform t = BirdAtOrigin(kPi / 2);
        auto project = [&](std::int32_t x, std::int32_t y, POINT& p, POINT& q, std::uint8_t clip) {
            return precise ? t.ProjectVertexPrecise(x, y, p, q, clip) : t.ProjectVertex(x, y, p, q, clip);
        };
        // Independent crossing: Z = 1177 dy - 232701 = 0 at dy = 232701 / 1177, where
        // Y = 922 dy - 433800 and W = 1001 dy + 21200; sy = (320 - 320 Y / W) / 2.
        const double dy = 232701.0 / 1177.0;
        const double crossY = 922 * dy - 433800, crossW = 1001 * dy + 21200;
        const LONG crossSy = static_cast<LONG>((320 - 320 * crossY / crossW) / 2);
        ASSERT_EQ(crossSy, 343);

        POINT p{}, q{};
        EXPECT_EQ(project(0, 500, p, q, 0), 1);
        EXPECT_EQ(p.x, 120);
        EXPECT_EQ(p.y, 152);
        EXPECT_EQ(project(0, 0, p, q, 1), 2); // leaves the view
        EXPECT_EQ(p.x, 120);
        EXPECT_NEAR(p.y, crossSy, 1);
        p = q = POINT{};
        EXPECT_EQ(project(0, 500, p, q, 1), 3); // enters again
        EXPECT_EQ(p.x, 120);
        EXPECT_NEAR(p.y, crossSy, 1);
        EXPECT_EQ(q.x, 120);
        EXPECT_EQ(q.y, 152);

        // Wholly behind: nothing.
        EXPECT_EQ(project(0, 0, p, q, 0), 0);
        EXPECT_EQ(project(0, 10, p, q, 1), 0);
        EXPECT_EQ(project(10, 0, p, q, 1), 0);
        // A polyline that starts behind enters at its second vertex.
        EXPECT_EQ(project(0, 0, p, q, 0), 0);
        EXPECT_EQ(project(0, 500, p, q, 1), 3);
    }
    ClipVertex a{100, 200, 300, 400}, b{-100, 0, -100, 0};
    ClipVertex c = CMapViewTransform::ClipAtNearPlane(a, b);
    // d = 400, u = 100 / 400, v = 300 / 400: X = 25 - 75, Y = 50, W = 100.
    EXPECT_EQ(c.x, -50);
    EXPECT_EQ(c.y, 50);
    EXPECT_EQ(c.z, 0);
    EXPECT_EQ(c.w, 100);
}

TEST(MapViewTransform, FlatRoundTripWithinOnePixel) {
    for (double rotation : {0.0, kPi / 2, 2.5}) {
        CMapViewTransform t = FlatView(rotation, 31000, -7000);
        for (std::int32_t sy = 0; sy <= 320; sy += 16)
            for (std::int32_t sx = 0; sx <= 240; sx += 12) {
                std::int32_t x = sx, y = sy;
                ASSERT_EQ(t.ScreenToMap(x, y), 1);
                POINT p;
                t.WorldToScreen(x, y, p);
                EXPECT_LE(std::abs(p.x - sx), 1) << rotation << " " << sx << "," << sy;
                EXPECT_LE(std::abs(p.y - sy), 1) << rotation << " " << sx << "," << sy;
            }
    }
}

TEST(MapViewTransform, BirdRoundTripWithinTwoPixelsBelowHorizon) {
    for (std::int32_t distance : {250, 400}) {
        for (double rotation : {0.0, kPi / 2, 2.5}) {
            CMapViewTransform t;
            t.SetSize(240, 320);
            t.View().mode = 1;
            t.CenterView(50000, 60000, rotation);
            t.SetViewMode(1);
            t.SetBirdViewDistance(distance);
            const std::int32_t horizon = t.View().horizonRow;
            ASSERT_GT(horizon, 0);
            for (std::int32_t sy = horizon + 20; sy <= 320; sy += 10)
                for (std::int32_t sx = 0; sx <= 240; sx += 20) {
                    std::int32_t x = sx, y = sy;
                    ASSERT_EQ(t.ScreenToMap(x, y), 1);
                    POINT p{}, q{};
                    ASSERT_EQ(t.ProjectVertexPrecise(x, y, p, q, 0), 1);
                    EXPECT_LE(std::abs(p.x - sx), 2) << distance << " " << rotation << " " << sx << "," << sy;
                    EXPECT_LE(std::abs(p.y - sy), 2) << distance << " " << rotation << " " << sx << "," << sy;
                }
            std::int32_t x = 10, y = horizon - 1;
            EXPECT_EQ(t.ScreenToMap(x, y), -1);
            EXPECT_EQ(x, -1);
            EXPECT_EQ(y, -1);
        }
    }
}

TEST(MapViewTransform, VisibleAreaBoxes) {
    CMapViewTransform flat = FlatView(kPi / 2);
    flat.ComputeVisibleArea();
    // Corners: (-120, 160) px from the middle -> (-375, -500) units at 0.32 px per unit.
    EXPECT_EQ(flat.View().visible.minX, -375);
    EXPECT_EQ(flat.View().visible.minY, -500);
    EXPECT_EQ(flat.View().visible.maxX, 375);
    EXPECT_EQ(flat.View().visible.maxY, 500);

    CMapViewTransform bird;
    bird.SetSize(240, 320);
    bird.View().mode = 1;
    bird.CenterView(0, 0, 0.7);
    bird.SetViewMode(1);
    bird.SetBirdViewDistance(300);
    bird.ComputeVisibleArea();
    const ViewBox& all = bird.View().visible;
    const ViewBox& fourFifths = bird.View().nearFourFifths;
    const ViewBox& twoThirds = bird.View().nearTwoThirds;
    auto inside = [](const ViewBox& in, const ViewBox& out) {
        return in.minX >= out.minX && in.minY >= out.minY && in.maxX <= out.maxX && in.maxY <= out.maxY;
    };
    EXPECT_LT(all.minX, all.maxX);
    EXPECT_LT(all.minY, all.maxY);
    EXPECT_TRUE(inside(fourFifths, all));
    EXPECT_TRUE(inside(twoThirds, fourFifths));
    // The near boxes are strictly smaller: the far part of the view is cut off.
    const auto area = [](const ViewBox& b) { return double(b.maxX - b.minX) * double(b.maxY - b.minY); };
    EXPECT_LT(area(twoThirds), area(fourFifths));
    EXPECT_LT(area(fourFifths), area(all));
}

TEST(MapViewTransform, SetScaleNeedsAMapBoxWithWidth) {
    CMapViewTransform t = FlatView(kPi / 2);
    t.SetScale(1.0); // no map box yet
    EXPECT_EQ(t.View().scaleFactor, 0.32);
    t.SetMapBox({500, 0, 500, 100});
    t.SetScale(1.0); // zero width
    EXPECT_EQ(t.View().scaleFactor, 0.32);
    t.SetMapBox({600, 0, 500, 100});
    t.SetScale(1.0); // negative width
    EXPECT_EQ(t.View().scaleFactor, 0.32);
    t.SetMapBox({0, 0, 1000, 100});
    t.SetScale(0.0);
    EXPECT_EQ(t.View().scaleFactor, 0.32);
    t.SetScale(2.0); // the view spans half the map: 240 px / 500 units
    EXPECT_DOUBLE_EQ(t.View().scaleFactor, 0.24 / 2);
    EXPECT_EQ(t.View().matrix[0], static_cast<std::int32_t>(0.12 * 32768)); // 3932
}
