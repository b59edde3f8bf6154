// The projection of one map view: the flat view (seen from straight above, rotated and scaled,
// Q15 fixed point) and the bird's-eye view (a camera above the ground looking ahead and 12
// degrees down, a 4 x 4 Q10 matrix), their inverse (screen to map), the near-plane clipping of
// polylines and the visible-area boxes that the layer drawing uses to skip records.
//
// The map window keeps one transform per view; all of them run on the window's thread.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>

struct ViewBox {
    std::int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
};

struct MapViewState {
    std::int32_t mode = 1; // 0 flat, 1 bird's-eye, 2 owner-drawn
    std::int32_t width = 240, height = 320;
    std::int32_t centreX = 0, centreY = 0;
    std::int32_t originX = -1, originY = -1;
    double rotation = 0.0;
    double cos = 1.0, sin = 0.0; // flat: of (rotation - pi/2); bird's-eye: of the rotation
    double scaleFactor = 0.32;   // flat: pixels per map unit
    std::int32_t distance = 100;
    std::int32_t farDistance = 1430;
    std::int32_t nearDistance = 214;
    std::int16_t levelShift = 0;
    double focalLength = 0.0;
    double aspect = 1.5;
    double offsetRatioX = 0.0, offsetRatioY = 0.0;
    double cameraX = 0.0, cameraY = 0.0, cameraZ = 0.0;
    std::int32_t horizonRow = 0;
    std::int32_t matrix[16] = {}; // flat: m0..m3 in Q15; bird's-eye: rows X, Y, Z, W in Q10
    double camera[4][4] = {};     // R
    double lens[4][4] = {};       // L
    ViewBox visible, nearFourFifths, nearTwoThirds;
    bool rerender = false;
    bool newStars = false;
};

// A projected point with its depth.
struct ProjectedPoint {
    std::int32_t x = 0, y = 0, depth = 0;
};

// Homogeneous coordinates of a transformed map point.
struct ClipVertex {
    std::int64_t x = 0, y = 0, z = 0, w = 0;
};

class CMapViewTransform {
public:
    static constexpr double kHalfPi = 1.5707963267948966;
    static constexpr double kCos12 = 0.9781476007338057;
    static constexpr double kSin12 = 0.20791169081775934;
    static constexpr double kTan13 = 0.23086819112556312;
    static constexpr double kCot13 = 4.3314758742841555;
    static constexpr double kCot4 = 14.300666256711928;
    static constexpr double kCot25 = 2.1445069205095586;

    CMapViewTransform();

    MapViewState& View() { return m_view; }
    const MapViewState& View() const { return m_view; }

    // The map box that SetScale measures against (the union of the open layers' boxes).
    void SetMapBox(const ViewBox& box) {
        m_mapBox = box;
        m_hasMapBox = true;
    }
    void ClearMapBox() { m_hasMapBox = false; }

    // kind bit 0 rebuilds the camera matrix, bit 1 the lens matrix (bird's-eye mode).
    void UpdateViewTransform(int kind);
    void WorldToScreen(std::int32_t x, std::int32_t y, POINT& out) const;
    // 1 when the point is in view (in front, within the sides, before the far plane).
    int ProjectPoint(std::int32_t x, std::int32_t y, ProjectedPoint& out) const;
    // clip 0 for a polyline's first vertex, 1 for the others. 0 nothing to draw, 1 p is the
    // vertex, 2 the line leaves the view at p, 3 it enters at p and goes on to q.
    int ProjectVertex(std::int32_t x, std::int32_t y, POINT& p, POINT& q, std::uint8_t clip);
    int ProjectVertexPrecise(std::int32_t x, std::int32_t y, POINT& p, POINT& q, std::uint8_t clip);
    static ClipVertex ClipAtNearPlane(const ClipVertex& previous, const ClipVertex& current);
    void ComputeVisibleArea();

    // The bird's-eye transform of a map point (level shift applied).
    ClipVertex Transform(std::int32_t x, std::int32_t y) const;

    // Screen to map of the view: 1 done, -1 above the bird's-eye horizon (x, y become -1),
    // 0 when the view cannot invert (zero scale or a degenerate camera row).
    int ScreenToMap(std::int32_t& x, std::int32_t& y) const;

    // value is the share of the map box's width that the view spans; 0, a missing map box or
    // a box without width is ignored.
    void SetScale(double value);
    // Bird's-eye distance, detail level and camera; only in the bird's-eye mode, distance >= 1.
    void SetBirdViewDistance(std::int32_t distance);
    void SetViewMode(std::int32_t mode);
    void CenterView(std::int32_t x, std::int32_t y, double rotation);
    void UpdateHorizon();
    void UpdateBirdCamera();
    // Sets the size; the focal length follows the height.
    void SetSize(std::int32_t width, std::int32_t height);

    // Number of the thresholds 2500 .. 5120000 that the far distance exceeds, 0..12.
    static std::int16_t LevelShiftFor(std::int32_t farDistance);

private:
    bool ToScreen(const ClipVertex& v, POINT& out, bool precise) const;
    int Project(std::int32_t x, std::int32_t y, POINT& p, POINT& q, std::uint8_t clip, bool precise);
    void BuildFlatMatrix();
    void BuildBirdMatrix(int kind);
    void ComputeBirdOrigin();

    MapViewState m_view;
    ViewBox m_mapBox;
    bool m_hasMapBox = false;
    // Clipping state of the polyline being projected.
    ClipVertex m_previous;
    bool m_previousInFront = false;
};
