#include "position/Geometry.h"
#include "route/base/Coords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

struct BearingCase {
    int x2, y2;
    int expected;
};

TEST(Geometry, BearingsOfAxisAndDiagonalVectors) {
    // The stored pi (3.1415926535) is a little short, so 180/pi makes atan(1) come out just above
    // 45 degrees: 180 - a and 360 - a then truncate one lower than a full-precision pi would give.
    const BearingCase cases[] = {
        {0, 0, 270}, {5, 0, 90},   {0, 5, 0},     {0, -5, 180}, {-5, 0, 270},
        {5, 5, 45},  {5, -5, 134}, {-5, -5, 225}, {-5, 5, 314},
    };
    for (const auto& c : cases) EXPECT_EQ(CalcBearing(0, 0, c.x2, c.y2), c.expected) << c.x2 << "," << c.y2;
    // Network differences are scaled to map units: 375 X units and 300 Y units are 100 each.
    EXPECT_EQ(CalcMapBearing(45000000, 12000000, 45000375, 12000000), 90);
    EXPECT_EQ(CalcMapBearing(45000000, 12000000, 45000375, 12000300), 45);
    EXPECT_NEAR(CalcMapAngle(45000000, 12000000, 45000375, 12000300), std::numbers::pi / 4, 1e-12);
}

TEST(Geometry, HeadingDifferenceAcrossNorth) {
    const struct {
        int a, b, expected;
    } cases[] = {{350, 10, 20}, {10, 350, -20}, {359, 0, 1},     {0, 359, -1},
                 {0, 180, 180}, {180, 0, -180}, {90, 271, -179}, {45, 45, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(HeadingDifference(static_cast<std::int16_t>(c.a), static_cast<std::int16_t>(c.b)),
                  c.expected)
            << c.a << " -> " << c.b;
}

TEST(Geometry, ProjectionClampsToTheEndsAndSurvivesLongSegments) {
    const struct {
        int x1, y1, x2, y2, px, py;
        int footX, footY, t;
    } cases[] = {
        {0, 0, 100, 0, 150, 10, 100, 0, 100000}, // beyond the second end
        {0, 0, 100, 0, -20, 5, 0, 0, 0},         // before the first end
        {0, 0, 100, 0, 25, 40, 25, 0, 25000},
        {10, 10, 10, 10, 50, 60, 10, 10, 0}, // zero length: the start
        // 50,000 x 100,000 overflows 32 bits; in 64 bits it is the middle.
        {0, 0, 100000, 0, 50000, 7, 50000, 0, 50000},
        {0, 0, 200000, 100000, 100000, 50000, 100000, 50000, 50000},
        // A far point on a short segment must clamp, not overflow the position.
        {0, 0, 1, 0, 2000000000, 0, 1, 0, 100000},
    };
    for (const auto& c : cases) {
        std::int32_t fx = -1, fy = -1, t = -1;
        ProjectOnSegment(c.x1, c.y1, c.x2, c.y2, c.px, c.py, fx, fy, t);
        EXPECT_EQ(fx, c.footX) << c.px << "," << c.py;
        EXPECT_EQ(fy, c.footY) << c.px << "," << c.py;
        EXPECT_EQ(t, c.t) << c.px << "," << c.py;
    }
}

TEST(Geometry, DistancesBeyondThirtyTwoBitSquares) {
    EXPECT_EQ(CalcDistance(0, 0, 3, 4), 5);
    EXPECT_EQ(CalcDistance(-3, -4, 0, 0), 5);
    EXPECT_EQ(CalcDistance(0, 0, 46341, 0), 46341); // 46341^2 > 2^31
    EXPECT_EQ(CalcDistance(0, 0, 100000, 100000), 141421);
    // Fixed factors: 1000 X units are 276.54 m, 1000 Y units 308.79 m.
    EXPECT_EQ(MeasureDistance(46000000, 12000000, 46001000, 12000000), 276);
    EXPECT_EQ(MeasureDistance(46000000, 12000000, 46000000, 11999000), 308);
}

TEST(Geometry, CheckedConversionsAtTheBoxEdges) {
    const struct {
        int netX, netY;
        bool ok;
        int x, y;
    } toMap[] = {
        {45000000, 11910000, true, 0, 0},
        {47159999, 13889999, true, 575999, 659999}, // 2159999 x 4/15 = 575999.73
        {47160000, 12000000, false, 0, 0},
        {44999999, 12000000, false, 0, 0},
        {46000000, 13890000, false, 0, 0},
        {46000000, 11909999, false, 0, 0},
    };
    for (const auto& c : toMap) {
        std::int32_t x = -7, y = -7;
        EXPECT_EQ(NetToMapChecked(c.netX, c.netY, x, y), c.ok) << c.netX << "," << c.netY;
        EXPECT_EQ(x, c.ok ? c.x : -7);
        EXPECT_EQ(y, c.ok ? c.y : -7);
    }
    const struct {
        int x, y;
        bool ok;
        int netX, netY;
    } toNet[] = {
        {0, 0, true, 45000000, 11910000},
        {575999, 659999, true, 47159996, 13889997}, // 575999 x 3.75 = 2159996.25
        {576000, 0, false, 0, 0},
        {0, 660000, false, 0, 0},
        {-1, 0, false, 0, 0},
    };
    for (const auto& c : toNet) {
        std::int32_t x = -7, y = -7;
        EXPECT_EQ(MapToNetChecked(c.x, c.y, x, y), c.ok) << c.x << "," << c.y;
        EXPECT_EQ(x, c.ok ? c.netX : -7);
        EXPECT_EQ(y, c.ok ? c.netY : -7);
    }
    std::int32_t px = 0, py = 0;
    NetToPointFileCoord(45000045, 11910000, px, py);
    EXPECT_EQ(px, 10);
    EXPECT_EQ(py, 0);
}

TEST(Geometry, DorvaCodeRoundTripGivesTheCellCentre) {
    // x = 123456: block 12 -> 5400 + 3600 + int(3456 x 0.045 = 155.52) = 9155 s past 124 E:
    // sheet column 2, sub-column 1955 / 450 = 4, fine x 345. y = 234567: block 23 -> 6900 + 300 +
    // int(4567 x 0.03 = 137.01) = 7337 s past 33 N: sheet row 3, sub-row 0, fine y 456.
    DorvaCode code;
    ASSERT_TRUE(PosToDorva(123456, 234567, code));
    EXPECT_EQ(code.sheetColumn, 2);
    EXPECT_EQ(code.sheetRow, 3);
    EXPECT_EQ(code.subColumn, 4);
    EXPECT_EQ(code.subRow, 0);
    EXPECT_EQ(code.fineX, 345);
    EXPECT_EQ(code.fineY, 456);
    std::int32_t x = 0, y = 0;
    ASSERT_TRUE(DorvaToPos(code, x, y));
    EXPECT_EQ(x, 123455);
    EXPECT_EQ(y, 234565);

    ASSERT_TRUE(PosToDorva(0, 0, code));
    ASSERT_TRUE(DorvaToPos(code, x, y));
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 5);

    DorvaCode untouched;
    untouched.fineX = 77;
    EXPECT_FALSE(PosToDorva(576000, 0, untouched));
    EXPECT_FALSE(PosToDorva(0, -1, untouched));
    EXPECT_EQ(untouched.fineX, 77);

    DorvaCode outside{0, 0, 0, 0, 0, 0}; // sheet column 0 lies west of the map
    EXPECT_FALSE(DorvaToPos(outside, x, y));
}

TEST(Geometry, DegreeMinuteSecondSplitAndJoin) {
    // 37 30' 15.25" at two decimals.
    int d = 0, m = 0, s = 0, rest = 0;
    SplitDegMinSec(13501525, 2, &d, &m, &s, &rest);
    EXPECT_EQ(d, 37);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(s, 15);
    EXPECT_EQ(rest, 25);
    EXPECT_EQ(DegMinSecToValue(37, 30, 15, 25, 2), 13501525);
    EXPECT_EQ(DegMinSecToValue(1, 2, 3, 99, 0), 3723);          // fraction ignored
    EXPECT_EQ(DegMinSecToValue(130, 0, 0, 0, 4), 4680000000LL); // beyond 32 bits
    int untouched = -1;
    SplitDegMinSec(13501525, 2, &untouched, nullptr, &s);
    EXPECT_EQ(untouched, -1);
}

TEST(Geometry, RectanglesAndQuadrants) {
    EXPECT_TRUE(IsInRect(5, 5, 0, 0, 10, 10));
    EXPECT_TRUE(IsInRect(0, 0, 10, 10, 0, 0)); // corners in any order
    EXPECT_FALSE(IsInRect(10, 5, 0, 0, 10, 10));
    EXPECT_FALSE(IsInRect(5, 10, 0, 0, 10, 10));
    // Centre (5, 5) of a 10 x 10 rectangle at the origin.
    EXPECT_EQ(QuadrantOfPoint(0, 0, 10, 10, 4, 4), 3);
    EXPECT_EQ(QuadrantOfPoint(0, 0, 10, 10, 4, 6), 1);
    EXPECT_EQ(QuadrantOfPoint(0, 0, 10, 10, 5, 4), 4);
    EXPECT_EQ(QuadrantOfPoint(0, 0, 10, 10, 5, 5), 2);
}

TEST(Geometry, OffsetByHeadingUsesTheStoredDegreeFactor) {
    std::int32_t x = 0, y = 0;
    OffsetByHeading(100, 200, 0, 1000, x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 1200);
    // 90 x 0.0174533 = 1.570797, a hair past pi/2: sin is just under 1, so 1000 truncates to 999.
    OffsetByHeading(100, 200, 90, 1000, x, y);
    EXPECT_EQ(x, 1099);
    EXPECT_EQ(y, 200);
}

TEST(Geometry, ParseDecimalCases) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"12.05", 12.05},
        {"12.", 12.0},
        {"-12.5", -12.5},
        {"-0.5", -0.5}, // the sign belongs to the whole value
        {"37", 37.0},
        {"3723.4567", 3723.4567},
        {"123456789012345.5", 123456789012345.5}, // 15-character integer part
        {"1234567890123456.5", 0.0},              // 16 characters: refused
        {"0.123456789012345", 0.123456789012345}, // a fraction too long for 32 bits
        {"0.1234567890123456", 0.0},              // 16 fraction digits: refused
        {"", 0.0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ParseDecimal(c.text), c.expected) << c.text;
}

TEST(Geometry, FieldAndHexParsers) {
    char out[16] = "untouched";
    EXPECT_EQ(CopyField(",abc", ',', out), 0);
    EXPECT_STREQ(out, "0");
    EXPECT_EQ(CopyField("abc,def", ',', out), 3);
    EXPECT_STREQ(out, "abc");
    std::strcpy(out, "kept");
    EXPECT_EQ(CopyField("abc", ',', out), 0);
    EXPECT_EQ(CopyField("", ',', out), 0);
    EXPECT_STREQ(out, "kept");
    EXPECT_EQ(CopyField("1234567890123456789,x", ',', out), 15);
    EXPECT_STREQ(out, "123456789012345");

    const struct {
        const char* pair;
        int expected;
    } hex[] = {{"47", 0x47}, {"4F", 0x4F}, {"FF", 255}, {"00", 0}, {"4f", 0}, {"G7", 7}, {"7*", 0}, {"", 0}};
    for (const auto& c : hex) EXPECT_EQ(HexPairValue(c.pair), c.expected) << c.pair;

    const struct {
        const char* text;
        int start, length, expected;
    } ints[] = {
        {"123519", 0, 2, 12},
        {"123519", 2, 2, 35},
        {"123519", 4, 2, 19},
        {"12", 1, 2, 0}, // runs past the end
        {"08", 0, 0, 8}, // length 0: the rest
        {"-5", 0, 0, -5},
        {"000000000000042", 0, 0, 42}, // 15 characters
        {"0000000000000042", 0, 0, 0}, // 16 characters
        {"0000000000000042", 1, 15, 42},
    };
    for (const auto& c : ints)
        EXPECT_EQ(ParseIntField(c.text, c.start, c.length), c.expected) << c.text << " " << c.start;
    EXPECT_EQ(ParseIntField(nullptr, 0, 0), 0);
}

TEST(Geometry, TruncateWithDotsKeepsKoreanCharactersWhole) {
    char text[16] = "abcdefghij";
    EXPECT_TRUE(TruncateWithDots(text, sizeof text, 6));
    EXPECT_STREQ(text, "abcd..");
    char exact[16] = "abcdef";
    EXPECT_FALSE(TruncateWithDots(exact, sizeof exact, 6));
    EXPECT_STREQ(exact, "abcdef");
    // CP949: 가 B0A1, 나 B3AA, 다 B4D9, 라 B6F3.
    const char korean[] = "\xB0\xA1\xB3\xAA\xB4\xD9\xB6\xF3";
    char a[16];
    std::strcpy(a, korean);
    EXPECT_TRUE(TruncateWithDots(a, sizeof a, 5)); // byte 3 is the trail of 나: three dots
    EXPECT_STREQ(a, "\xB0\xA1...");
    std::strcpy(a, korean);
    EXPECT_TRUE(TruncateWithDots(a, sizeof a, 6)); // byte 4 starts 다: two dots
    EXPECT_STREQ(a, "\xB0\xA1\xB3\xAA..");
    EXPECT_TRUE(IsHangulSyllable(reinterpret_cast<const unsigned char*>("\xB0\xA1")));
    EXPECT_TRUE(IsHangulJamo(reinterpret_cast<const unsigned char*>("\xA4\xA1")));
    EXPECT_FALSE(IsAsciiGraph(' '));
    EXPECT_TRUE(IsAsciiGraph('!'));
    EXPECT_FALSE(IsAsciiGraph(0xB0));
}

// The Molodensky shift written out from the textbook form with the ellipsoids' defining constants
// and a full-precision pi, independently of the decoder's constants.
void ReferenceShift(double lonMas, double latMas, double h, double& dLatMas, double& dLonMas) {
    const double pi = std::numbers::pi;
    const double a = 6377397.155, f = 1.0 / 299.1528128;
    const double aW = 6378137.0, fW = 1.0 / 298.257223563;
    const double da = aW - a, df = fW - f, e2 = 2 * f - f * f;
    const double dX = -128, dY = 481, dZ = 664;
    const double phi = latMas / 3600000.0 * pi / 180.0, lam = lonMas / 3600000.0 * pi / 180.0;
    const double sp = std::sin(phi), cp = std::cos(phi), sl = std::sin(lam), cl = std::cos(lam);
    const double rn = a / std::sqrt(1 - e2 * sp * sp);
    const double rm = a * (1 - e2) / std::pow(1 - e2 * sp * sp, 1.5);
    const double b = a * (1 - f);
    double dphi = (-dX * sp * cl - dY * sp * sl + dZ * cp + da * (rn * e2 * sp * cp) / a +
                   df * (rm * a / b + rn * b / a) * sp * cp) /
                  (rm + h);
    double dlam = (-dX * sl + dY * cl) / ((rn + h) * cp);
    dLatMas = dphi * 180.0 / pi * 3600000.0;
    dLonMas = dlam * 180.0 / pi * 3600000.0;
}

TEST(Geometry, DatumShiftAtThreePointsInKorea) {
    const struct {
        const char* name;
        std::int32_t lon, lat; // milli-arc-seconds, WGS84
        double height;
    } points[] = {
        {"Seoul", 457120800, 135239400, 50.0}, // 126.978 E, 37.5665 N
        {"Busan", 464672160, 126646560, 10.0}, // 129.0756 E, 35.1796 N
        {"Jeju", 455512320, 120598560, 100.0}, // 126.5312 E, 33.4996 N
    };
    for (const auto& p : points) {
        double dLat = 0, dLon = 0;
        ReferenceShift(p.lon, p.lat, p.height, dLat, dLon);
        // Korea sits some 8-10 arc-seconds off between the two datums.
        EXPECT_GT(std::fabs(dLat), 5000.0) << p.name;
        EXPECT_GT(std::fabs(dLon), 5000.0) << p.name;
        std::int32_t lon = p.lon, lat = p.lat;
        double h = p.height;
        Wgs84ToBessel(lon, lat, h);
        // The stored pi and the truncation may move the result by one unit at most.
        EXPECT_NEAR(lat, p.lat - std::trunc(dLat), 1.0) << p.name;
        EXPECT_NEAR(lon, p.lon - std::trunc(dLon), 1.0) << p.name;
        EXPECT_NE(h, p.height) << p.name;
        EXPECT_EQ(h, std::trunc(h)) << p.name; // whole metres off a whole height

        // Inverting and shifting again lands on the same milli-arc-second.
        std::int32_t wLon = lon, wLat = lat;
        double wH = h;
        BesselToWgs84(wLon, wLat, wH);
        std::int32_t bLon = wLon, bLat = wLat;
        double bH = wH;
        Wgs84ToBessel(bLon, bLat, bH);
        EXPECT_EQ(bLon, lon) << p.name;
        EXPECT_EQ(bLat, lat) << p.name;
    }
}

} // namespace
