// The driving trail: up to 3000 recent positions in map coordinates, in 30 segments of 100
// points, each segment with its bounding box so the map can skip segments outside the view.
// Saved to and loaded from "locus.bin" (24,492 bytes, little-endian).
#pragma once

#include <cstdint>

class CDC;
class IRouteMapView;

class CLocusRecorder {
public:
    static constexpr int kSegments = 30;
    static constexpr int kPointsPerSegment = 100;
    static constexpr int kFileSize = 24492;

    CLocusRecorder();
    virtual ~CLocusRecorder() = default;

    void Clear();
    // Adds a position (network coordinates) when it lies 10 m or more from the last one added;
    // a position outside the network box is never stored. True when added.
    bool AddPoint(std::int32_t x, std::int32_t y);
    bool HasPoints() const;
    // Writes a new file beside the old one and renames it over; true when written.
    bool Save(const char16_t* path) const;
    // Reads a trail; a file of any other size or with a segment or count out of range leaves the
    // trail empty. True when a trail was read.
    bool Load(const char16_t* path);

    // Draws the trail on the map: a hollow circle of the radius around every step-th point of
    // each segment whose box is visible, the step growing as the map zooms out (level 3 and from
    // level 11 every 2nd point). Nothing when the first segment is empty.
    void Draw(CDC& dc, IRouteMapView& map, int radius, int level) const;
    static int DrawStep(int level);

    // The last point added, kept for the whole program (network coordinates, 0, 0 at first).
    static void LastPoint(std::int32_t& x, std::int32_t& y);
    static void SetLastPoint(std::int32_t x, std::int32_t y);

    // Segment box: min x, max x, min y, max y (map coordinates).
    const std::int32_t* Box(int segment) const { return m_boxes[segment]; }
    std::int32_t X(int segment, int i) const { return m_x[segment * kPointsPerSegment + i]; }
    std::int32_t Y(int segment, int i) const { return m_y[segment * kPointsPerSegment + i]; }
    int CurrentSegment() const { return m_segment; }
    int PointCount() const { return m_count; }

private:
    std::int32_t m_boxes[kSegments][4];
    std::int32_t m_x[kSegments * kPointsPerSegment];
    std::int32_t m_y[kSegments * kPointsPerSegment];
    std::int32_t m_segment = 0;
    std::int32_t m_reserved = 0;
    std::int32_t m_count = 0;
};
