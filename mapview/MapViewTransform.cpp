#include "mapview/MapViewTransform.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr std::int32_t kLevelThresholds[12] = {2500,   5000,   10000,  20000,   40000,   80000,
                                               160000, 320000, 640000, 1280000, 2560000, 5120000};

std::int32_t Narrow(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// trunc of a double into int32, saturating instead of overflowing.
std::int32_t TruncSat(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::int64_t TruncSat64(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    if (v <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(v);
}

} // namespace

CMapViewTransform::CMapViewTransform() {
    m_view.focalLength = (m_view.height / 2) * kCot13;
}

std::int16_t CMapViewTransform::LevelShiftFor(std::int32_t farDistance) {
    std::int16_t shift = 0;
    for (std::int32_t t : kLevelThresholds)
        if (farDistance > t) ++shift;
    return shift;
}

void CMapViewTransform::SetSize(std::int32_t width, std::int32_t height) {
    m_view.width = width;
    m_view.height = height;
    m_view.focalLength = (height / 2) * kCot13;
}

void CMapViewTransform::BuildFlatMatrix() {
    const double k = m_view.scaleFactor;
    m_view.matrix[0] = TruncSat(m_view.cos * k * 32768.0);
    m_view.matrix[1] = TruncSat(m_view.sin * k * 32768.0);
    m_view.matrix[2] = TruncSat(-m_view.sin * k * 32768.0);
    m_view.matrix[3] = TruncSat(m_view.cos * k * 32768.0);
}

void CMapViewTransform::BuildBirdMatrix(int kind) {
    MapViewState& v = m_view;
    const double c = std::cos(v.rotation);
    const double s = std::sin(v.rotation);
    if (kind & 1) {
        const double r[4][4] = {{s, -c, 0, 0},
                                {c * kSin12, s * kSin12, kCos12, 0},
                                {-c * kCos12, -s * kCos12, kSin12, 0},
                                {0, 0, 0, 1}};
        std::copy(&r[0][0], &r[0][0] + 16, &v.camera[0][0]);
    }
    if (kind & 2) {
        const double a = v.aspect;
        const double f = v.farDistance;
        const double n = v.nearDistance;
        const double farShifted = static_cast<double>(v.farDistance >> v.levelShift);
        const double depth = n - f;
        const double l[4][4] = {
            {a * kTan13 != 0 ? 1.0 / (a * kTan13) : 0.0, 0, 0, 0},
            {0, kCot13, 0, 0},
            {0, 0, depth != 0 ? f / depth : 0.0, depth != 0 ? farShifted * n / depth : 0.0},
            {0, 0, -1, 0}};
        std::copy(&l[0][0], &l[0][0] + 16, &v.lens[0][0]);
    }
    const std::int64_t d = v.distance >> v.levelShift;
    for (int r = 0; r < 4; ++r) {
        std::int64_t row[4];
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += v.lens[r][k] * v.camera[k][col];
            row[col] = TruncSat(sum * 1024.0);
        }
        // The ground plane folded into column 2: a map point is (dx, dy, -(D >> h), 1).
        row[2] = row[3] - d * row[2];
        for (int col = 0; col < 4; ++col) v.matrix[r * 4 + col] = Narrow(row[col]);
    }
}

void CMapViewTransform::UpdateViewTransform(int kind) {
    if (m_view.mode == 0)
        BuildFlatMatrix();
    else if (m_view.mode == 1)
        BuildBirdMatrix(kind);
}

void CMapViewTransform::WorldToScreen(std::int32_t x, std::int32_t y, POINT& out) const {
    const std::int64_t dx = std::int64_t(x) - m_view.originX;
    const std::int64_t dy = std::int64_t(y) - m_view.originY;
    const std::int32_t* m = m_view.matrix;
    out.x = Narrow(m_view.width / 2 + (m[1] * dy + m[0] * dx) / 32768);
    out.y = Narrow(m_view.height / 2 - (m[3] * dy + m[2] * dx) / 32768);
}

ClipVertex CMapViewTransform::Transform(std::int32_t x, std::int32_t y) const {
    const std::int64_t dx = (std::int64_t(x) - m_view.originX) >> m_view.levelShift;
    const std::int64_t dy = (std::int64_t(y) - m_view.originY) >> m_view.levelShift;
    const std::int32_t* m = m_view.matrix;
    ClipVertex v;
    v.x = m[0] * dx + m[1] * dy + m[2];
    v.y = m[4] * dx + m[5] * dy + m[6];
    v.z = m[8] * dx + m[9] * dy + m[10];
    v.w = m[12] * dx + m[13] * dy + m[14];
    return v;
}

bool CMapViewTransform::ToScreen(const ClipVertex& v, POINT& out, bool precise) const {
    if (v.w == 0) return false;
    const std::int64_t w = m_view.width;
    const std::int64_t h = m_view.height;
    if (precise) {
        const double rx = static_cast<double>(v.x) / static_cast<double>(v.w);
        const double ry = static_cast<double>(v.y) / static_cast<double>(v.w);
        out.x = Narrow((w + TruncSat64(rx * static_cast<double>(w))) / 2);
        out.y = Narrow((h - TruncSat64(ry * static_cast<double>(h))) / 2);
    } else {
        // 64-bit products: |X| and |Y| stay far below 2^53 for any int32 input.
        out.x = Narrow((w + w * v.x / v.w) / 2);
        out.y = Narrow((h - h * v.y / v.w) / 2);
    }
    return true;
}

int CMapViewTransform::ProjectPoint(std::int32_t x, std::int32_t y, ProjectedPoint& out) const {
    const ClipVertex v = Transform(x, y);
    const std::int64_t farLimit = std::int64_t(m_view.farDistance >> m_view.levelShift) * 1024;
    if (v.w == 0 || v.z < 0 || v.x < -v.w || v.x > v.w || v.z > farLimit) return 0;
    POINT p{};
    if (!ToScreen(v, p, false)) return 0;
    out.x = p.x;
    out.y = p.y;
    out.depth = Narrow(v.z);
    return 1;
}

ClipVertex CMapViewTransform::ClipAtNearPlane(const ClipVertex& a, const ClipVertex& b) {
    const double d = static_cast<double>(a.z) - static_cast<double>(b.z);
    if (d == 0.0) return b; // parallel to the plane: nothing to interpolate
    const double u = -static_cast<double>(b.z) / d;
    const double v = static_cast<double>(a.z) / d;
    ClipVertex out;
    out.x = TruncSat64(static_cast<double>(a.x) * u + static_cast<double>(b.x) * v);
    out.y = TruncSat64(static_cast<double>(a.y) * u + static_cast<double>(b.y) * v);
    out.z = 0;
    out.w = TruncSat64(static_cast<double>(a.w) * u + static_cast<double>(b.w) * v);
    return out;
}

int CMapViewTransform::Project(std::int32_t x, std::int32_t y, POINT& p, POINT& q, std::uint8_t clip,
                               bool precise) {
    const ClipVertex v = Transform(x, y);
    int result = 0;
    if (v.z < 0) {
        if (m_previousInFront && clip == 1) {
            if (ToScreen(ClipAtNearPlane(m_previous, v), p, precise)) result = 2;
        }
        m_previousInFront = false;
    } else {
        const bool wasInFront = m_previousInFront;
        m_previousInFront = true;
        if (wasInFront || clip == 0) {
            if (ToScreen(v, p, precise)) result = 1;
        } else if (ToScreen(ClipAtNearPlane(m_previous, v), p, precise) && ToScreen(v, q, precise)) {
            result = 3;
        }
    }
    m_previous = v;
    return result;
}

int CMapViewTransform::ProjectVertex(std::int32_t x, std::int32_t y, POINT& p, POINT& q, std::uint8_t clip) {
    return Project(x, y, p, q, clip, false);
}

int CMapViewTransform::ProjectVertexPrecise(std::int32_t x, std::int32_t y, POINT& p, POINT& q,
                                            std::uint8_t clip) {
    return Project(x, y, p, q, clip, true);
}

int CMapViewTransform::ScreenToMap(std::int32_t& x, std::int32_t& y) const {
    const MapViewState& v = m_view;
    if (v.mode == 0) {
        if (v.scaleFactor == 0.0) return 0;
        const double dx = x - v.width / 2;
        const double dy = y - v.height / 2;
        const std::int32_t mx = Narrow(v.originX + TruncSat64((v.cos * dx + v.sin * dy) / v.scaleFactor));
        const std::int32_t my = Narrow(v.originY + TruncSat64((v.sin * dx - v.cos * dy) / v.scaleFactor));
        x = mx;
        y = my;
        return 1;
    }
    if (v.mode == 1) {
        if (y < v.horizonRow) {
            x = -1;
            y = -1;
            return -1;
        }
        if (v.width == 0) return 0;
        const double c = std::cos(v.rotation);
        const double s = std::sin(v.rotation);
        const double f = v.focalLength;
        const double a = v.height / 2 - y;
        const double b = (v.width / 2 - x) * v.aspect * v.height / v.width;
        const double den = a * kCos12 - f * kSin12;
        if (den == 0.0) return 0;
        const std::int32_t my =
            TruncSat(v.originY - ((a * kSin12 + f * kCos12) * s + b * c) / den * v.distance);
        const std::int32_t mx =
            TruncSat(v.originX - (c * f * kCos12 - s * b + c * a * kSin12) / den * v.distance);
        x = mx;
        y = my;
        return 1;
    }
    return 1;
}

void CMapViewTransform::ComputeVisibleArea() {
    MapViewState& v = m_view;
    auto boxOf = [this](std::int32_t rowTop) {
        const MapViewState& s = m_view;
        const std::int32_t pts[4][2] = {{0, s.height}, {s.width, s.height}, {0, rowTop}, {s.width, rowTop}};
        ViewBox box;
        bool first = true;
        for (const auto& pt : pts) {
            std::int32_t x = pt[0], y = pt[1];
            ScreenToMap(x, y);
            if (first) {
                box = {x, y, x, y};
                first = false;
            } else {
                box.minX = std::min(box.minX, x);
                box.minY = std::min(box.minY, y);
                box.maxX = std::max(box.maxX, x);
                box.maxY = std::max(box.maxY, y);
            }
        }
        return box;
    };
    v.visible = boxOf(v.horizonRow);
    if (v.mode == 1) {
        const std::int32_t g = v.height - v.horizonRow;
        v.nearTwoThirds = boxOf(v.horizonRow + g / 3);
        v.nearFourFifths = boxOf(v.horizonRow + g / 5);
    }
}

void CMapViewTransform::UpdateBirdCamera() {
    MapViewState& v = m_view;
    const double h = v.height, w = v.width, f = v.focalLength;
    const double vv = -(h / 2) * v.offsetRatioY;
    const double u = w != 0 ? (-(w / 2) * v.offsetRatioX * v.aspect * h) / w : 0.0;
    v.cameraX = v.cos * f * kCos12 - v.sin * u + v.cos * vv * kSin12;
    v.cameraY = (vv * kSin12 + f * kCos12) * v.sin + v.cos * u;
    v.cameraZ = vv * kCos12 - f * kSin12;
}

void CMapViewTransform::ComputeBirdOrigin() {
    MapViewState& v = m_view;
    if (v.cameraZ == 0.0) return;
    v.originX = TruncSat(v.cameraX / v.cameraZ * v.distance + v.centreX);
    v.originY = TruncSat(v.cameraY / v.cameraZ * v.distance + v.centreY);
}

void CMapViewTransform::UpdateHorizon() {
    MapViewState& v = m_view;
    if (v.mode == 0) {
        v.horizonRow = 0;
        return;
    }
    const std::int64_t fx = std::int64_t(TruncSat(std::cos(v.rotation) * v.farDistance)) >> v.levelShift;
    const std::int64_t fy = std::int64_t(TruncSat(std::sin(v.rotation) * v.farDistance)) >> v.levelShift;
    const std::int32_t* m = v.matrix;
    const std::int64_t num = m[4] * fx + m[5] * fy + m[6];
    const std::int64_t den = m[12] * fx + m[13] * fy + m[14];
    if (den == 0) {
        v.horizonRow = 0;
        return;
    }
    const std::int64_t q = v.height * num / den;
    const std::int64_t row = (v.height - q) / 2;
    v.horizonRow = row < 0 ? 0 : Narrow(row);
}

void CMapViewTransform::SetScale(double value) {
    if (value == 0.0 || !m_hasMapBox) return;
    const double boxWidth = static_cast<double>(m_mapBox.maxX) - static_cast<double>(m_mapBox.minX);
    if (boxWidth <= 0.0) return;
    m_view.scaleFactor = (m_view.width / value) / boxWidth;
    BuildFlatMatrix();
    CenterView(m_view.centreX, m_view.centreY, m_view.rotation);
}

void CMapViewTransform::SetBirdViewDistance(std::int32_t d) {
    MapViewState& v = m_view;
    if (v.mode != 1 || d < 1) return;
    v.distance = d;
    UpdateBirdCamera();
    ComputeBirdOrigin();
    v.farDistance = TruncSat(d * kCot4);
    v.nearDistance = TruncSat(d * kCot25);
    v.levelShift = LevelShiftFor(v.farDistance);
    BuildBirdMatrix(2);
    UpdateHorizon();
    v.rerender = true;
}

void CMapViewTransform::SetViewMode(std::int32_t mode) {
    MapViewState& v = m_view;
    if (mode < 0 || mode > 2) return;
    v.mode = mode;
    if (mode == 0) {
        v.cos = std::cos(v.rotation - kHalfPi);
        v.sin = std::sin(v.rotation - kHalfPi);
        if (v.scaleFactor != 0.0) {
            const double hx = v.width * v.offsetRatioX / v.scaleFactor * 0.5;
            const double hy = v.height * v.offsetRatioY / v.scaleFactor * 0.5;
            v.originX = TruncSat(v.centreX - (v.sin * hy + v.cos * hx));
            v.originY = TruncSat(v.cos * hy - v.sin * hx + v.centreY);
        }
        BuildFlatMatrix();
        UpdateHorizon();
    } else if (mode == 1) {
        v.cos = std::cos(v.rotation);
        v.sin = std::sin(v.rotation);
        UpdateBirdCamera();
        ComputeBirdOrigin();
        BuildBirdMatrix(3);
        UpdateHorizon();
        v.rerender = true;
    }
}

void CMapViewTransform::CenterView(std::int32_t x, std::int32_t y, double rotation) {
    MapViewState& v = m_view;
    v.centreX = x;
    v.centreY = y;
    if (v.mode == 0) {
        v.rotation = rotation;
        v.cos = std::cos(rotation - kHalfPi);
        v.sin = std::sin(rotation - kHalfPi);
        if (v.scaleFactor != 0.0) {
            const double k = 1.0 / v.scaleFactor;
            const double hx = v.width * v.offsetRatioX * k * 0.5;
            const double hy = v.height * v.offsetRatioY * k * 0.5;
            v.originX = TruncSat(x - (v.sin * hy + v.cos * hx));
            v.originY = TruncSat((v.cos * hy - v.sin * hx) + y);
        }
        BuildFlatMatrix();
    } else if (v.mode == 1) {
        if (rotation != v.rotation) {
            auto sector = [](double r) { return (TruncSat(r * 100) % 628) / 40; };
            if (sector(rotation) != sector(v.rotation)) v.newStars = true;
            v.rotation = rotation;
            v.cos = std::cos(rotation);
            v.sin = std::sin(rotation);
            BuildBirdMatrix(1);
        }
        UpdateBirdCamera();
        ComputeBirdOrigin();
    }
}
