// The driving trail: the 10 m rule, segments and their boxes, and locus.bin.
#include "position/LocusRecorder.h"
#include "platform/gdi/AfxGdi.h"
#include "route/RouteMapView.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr std::int32_t kX = 45756000, kY = 13500000;

class LocusTest : public ::testing::Test {
protected:
    void SetUp() override { CLocusRecorder::SetLastPoint(0, 0); }
    TempRoot root;
};

TEST_F(LocusTest, RecordsOnlyPointsTenMetresApart) {
    auto trail = std::make_unique<CLocusRecorder>();
    EXPECT_FALSE(trail->HasPoints());
    ASSERT_TRUE(trail->AddPoint(kX, kY));
    // 9 m east: 33 units x 0.27654 = 9.1; 10 m: 37 units = 10.2.
    EXPECT_FALSE(trail->AddPoint(kX + 33, kY));
    EXPECT_TRUE(trail->AddPoint(kX + 37, kY));
    EXPECT_EQ(trail->PointCount(), 2);
    // Map coordinates: (X - 45,000,000) x 0.2667 and (Y - 11,910,000) x 0.3333.
    EXPECT_EQ(trail->X(0, 0), 201600);
    EXPECT_EQ(trail->Y(0, 0), 530000);
    EXPECT_EQ(trail->X(0, 1), 201609); // 756,037 x 0.26666 = 201,609.9
    EXPECT_TRUE(trail->HasPoints());
    const std::int32_t* box = trail->Box(0);
    EXPECT_EQ(box[0], 201600);
    EXPECT_EQ(box[1], 201609);
    EXPECT_EQ(box[2], 530000);
    EXPECT_EQ(box[3], 530000);
}

TEST_F(LocusTest, SegmentsFillAndTheOldestIsOverwritten) {
    auto trail = std::make_unique<CLocusRecorder>();
    auto add = [&](int i) { return trail->AddPoint(kX + 100 * i, kY + (i % 7)); };
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(add(i));
    EXPECT_EQ(trail->CurrentSegment(), 0);
    EXPECT_EQ(trail->PointCount(), 100);
    ASSERT_TRUE(add(100)); // the 101st point starts segment 1
    EXPECT_EQ(trail->CurrentSegment(), 1);
    EXPECT_EQ(trail->PointCount(), 1);
    for (int i = 101; i < 3000; ++i) ASSERT_TRUE(add(i));
    EXPECT_EQ(trail->CurrentSegment(), 29);
    ASSERT_TRUE(add(3000)); // back to segment 0, its box restarting at the new point
    EXPECT_EQ(trail->CurrentSegment(), 0);
    EXPECT_EQ(trail->PointCount(), 1);
    const std::int32_t mx = static_cast<std::int32_t>((kX + 300000 - 45000000) * 0.26666666666666666);
    EXPECT_EQ(trail->Box(0)[0], mx);
    EXPECT_EQ(trail->Box(0)[1], mx);
}

TEST_F(LocusTest, APointOutsideTheNetworkChangesNothing) {
    auto trail = std::make_unique<CLocusRecorder>();
    ASSERT_TRUE(trail->AddPoint(kX, kY));
    EXPECT_FALSE(trail->AddPoint(44000000, kY));
    EXPECT_FALSE(trail->AddPoint(kX, 13890000));
    std::int32_t x, y;
    CLocusRecorder::LastPoint(x, y);
    EXPECT_EQ(x, kX);
    EXPECT_EQ(y, kY);
    EXPECT_EQ(trail->PointCount(), 1);
    EXPECT_EQ(trail->CurrentSegment(), 0);
}

TEST_F(LocusTest, SaveAndLoadRoundTrip) {
    auto trail = std::make_unique<CLocusRecorder>();
    for (int i = 0; i < 150; ++i) ASSERT_TRUE(trail->AddPoint(kX + 100 * i, kY - 50 * i));
    root.MakeFile("My Documents/readme.txt", "");
    ASSERT_TRUE(trail->Save(u"\\My Documents\\locus.bin"));
    const std::string bytes = root.Read("My Documents/locus.bin");
    ASSERT_EQ(bytes.size(), 24492u);
    EXPECT_FALSE(root.Exists("My Documents/locus.bin.new"));
    // Current segment 1 at offset 24,480, reserved 0, 50 points at 24,488; little-endian.
    EXPECT_EQ(static_cast<unsigned char>(bytes[24480]), 1);
    EXPECT_EQ(static_cast<unsigned char>(bytes[24488]), 50);
    // Box of segment 0 begins with its min x: (45,756,000 - 45,000,000) x 0.2667 = 201,600.
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8 |
                  static_cast<unsigned char>(bytes[2]) << 16,
              201600);
    auto back = std::make_unique<CLocusRecorder>();
    ASSERT_TRUE(back->Load(u"\\My Documents\\locus.bin"));
    EXPECT_EQ(back->CurrentSegment(), 1);
    EXPECT_EQ(back->PointCount(), 50);
    for (int s = 0; s < 2; ++s) {
        for (int k = 0; k < 4; ++k) EXPECT_EQ(back->Box(s)[k], trail->Box(s)[k]);
        for (int i = 0; i < 100; ++i) {
            EXPECT_EQ(back->X(s, i), trail->X(s, i));
            EXPECT_EQ(back->Y(s, i), trail->Y(s, i));
        }
    }
    ASSERT_TRUE(back->Save(u"\\My Documents\\locus.bin"));
    EXPECT_EQ(root.Read("My Documents/locus.bin"), bytes);
}

TEST_F(LocusTest, ACorruptFileGivesAnEmptyTrail) {
    auto trail = std::make_unique<CLocusRecorder>();
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(trail->AddPoint(kX + 100 * i, kY));
    ASSERT_TRUE(trail->Save(u"\\locus.bin"));
    const std::string good = root.Read("locus.bin");
    auto withInt = [&](std::size_t at, std::uint32_t v) {
        std::string b = good;
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
        return b;
    };
    const std::string cases[] = {
        good.substr(0, 24491), // one byte short
        good + "x",            // one byte long
        "",                    // empty
        withInt(24480, 30),    // segment out of range
        withInt(24480, 0xFFFFFFFF),
        withInt(24488, 101), // count out of range
        withInt(24488, 0x80000000),
    };
    for (const std::string& bad : cases) {
        root.MakeFile("locus.bin", bad);
        auto loaded = std::make_unique<CLocusRecorder>();
        CLocusRecorder::SetLastPoint(0, 0);
        ASSERT_TRUE(loaded->AddPoint(kX + 50000, kY));
        EXPECT_FALSE(loaded->Load(u"\\locus.bin")) << bad.size();
        EXPECT_FALSE(loaded->HasPoints());
        EXPECT_EQ(loaded->PointCount(), 0);
        EXPECT_EQ(loaded->CurrentSegment(), 0);
    }
    auto missing = std::make_unique<CLocusRecorder>();
    EXPECT_FALSE(missing->Load(u"\\nothing.bin"));
    EXPECT_FALSE(trail->Save(u"\\no such folder\\locus.bin"));
}

} // namespace

namespace {

// A map that shows every box and puts map point (x, y) at screen (x - 201000, 10), counting the
// conversions and the boxes asked about.
class CountingMap : public IRouteMapView {
public:
    int IsRectVisible(std::int32_t xMin, std::int32_t, std::int32_t, std::int32_t) override {
        ++boxes;
        return xMin < hideFrom ? 1 : 0;
    }
    void DrawPolyline(CDC*, const POINT*, int) override {}
    void PointToScreen(std::int32_t& x, std::int32_t& y) override {
        ++points;
        x -= 201000;
        y = 10;
    }
    void DrawSymbol(CDC*, int, int, int) override {}
    int boxes = 0, points = 0;
    std::int32_t hideFrom = 1 << 30;
};

// n points 40 units (11 m) apart going east.
std::unique_ptr<CLocusRecorder> Trail(int n) {
    CLocusRecorder::SetLastPoint(0, 0);
    auto trail = std::make_unique<CLocusRecorder>();
    for (int i = 0; i < n; ++i) EXPECT_TRUE(trail->AddPoint(kX + 40 * i, kY));
    return trail;
}

struct Canvas {
    Canvas() {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, 1000, 40);
        old = dc.SelectObject(&bitmap);
    }
    ~Canvas() { dc.SelectObject(old); }
    CDC dc;
    CBitmap bitmap;
    CGdiObject* old = nullptr;
};

} // namespace

TEST_F(LocusTest, DrawTakesEveryStepthPointByLevel) {
    auto trail = Trail(100);
    struct Case {
        int level, points;
    } cases[] = {{1, 1}, {2, 1}, {3, 50}, {4, 2}, {5, 4}, {6, 5}, {7, 10}, {8, 13}, {9, 20}, {10, 34}, {11, 50}, {16, 50}};
    for (const Case& c : cases) {
        Canvas canvas;
        CountingMap map;
        trail->Draw(canvas.dc, map, 2, c.level);
        EXPECT_EQ(map.points, c.points) << "level " << c.level;
        EXPECT_EQ(map.boxes, 1) << "level " << c.level;
    }
}

TEST_F(LocusTest, DrawCirclesEachPointAndSkipsHiddenSegmentsAndAnEmptyTrail) {
    Canvas canvas;
    canvas.dc.FillSolidRect(0, 0, 1000, 40, RGB(255, 255, 255));
    CountingMap map;
    // 150 points: segment 0 full, segment 1 holds 50.
    auto trail = Trail(150);
    trail->Draw(canvas.dc, map, 2, 3);
    EXPECT_EQ(map.boxes, 2);
    EXPECT_EQ(map.points, 50 + 25);
    // Point 10 of segment 0 (about 107 map units east of the first, at screen x 600): its
    // circle passes 2 px left of it and leaves its centre hollow.
    const std::int32_t x10 = trail->X(0, 10) - 201000;
    EXPECT_NE(canvas.dc.GetPixel(x10 - 2, 10), RGB(255, 255, 255));
    EXPECT_EQ(canvas.dc.GetPixel(x10, 10), RGB(255, 255, 255));

    CountingMap hidden;
    hidden.hideFrom = trail->Box(1)[0];
    trail->Draw(canvas.dc, hidden, 2, 3);
    EXPECT_EQ(hidden.points, 50);

    CountingMap none;
    CLocusRecorder empty;
    empty.Draw(canvas.dc, none, 2, 3);
    EXPECT_EQ(none.boxes, 0);
    EXPECT_EQ(none.points, 0);
}
