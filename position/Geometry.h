// Geometry and coordinates: checked conversions between network and map coordinates, the Dorva
// point code, distances, bearings, projection of a point on a segment, the WGS84 to Bessel datum
// shift of receiver positions, and the parsers that pick numbers out of receiver text (code page
// 949). Network coordinates (X longitude, Y latitude) are in 1/100 arc-second; map coordinates
// and the point-file pair live in route/base/Coords.h. Everything here is free of state except
// the scale record that MeasureDistance reads.
#pragma once

#include "route/base/TextTruncate.h"

#include <cstddef>
#include <cstdint>

namespace geo {

// The stored value of pi that every formula here uses (not the full-precision one).
constexpr double kPi = 3.1415926535;

// Valid network box: 45,000,000 <= X < 47,160,000 and 11,910,000 <= Y < 13,890,000.
constexpr std::int32_t kNetMinX = 45000000;
constexpr std::int32_t kNetEndX = 47160000;
constexpr std::int32_t kNetMinY = 11910000;
constexpr std::int32_t kNetEndY = 13890000;
// Map coordinates: 0 <= x < 576,000 and 0 <= y < 660,000.
constexpr std::int32_t kMapEndX = 576000;
constexpr std::int32_t kMapEndY = 660000;

// Truncates toward zero into 32 bits; values beyond the range (and NaN) saturate, so hostile
// receiver numbers never reach an undefined conversion.
std::int32_t TruncInt32(double value);

} // namespace geo

// The six fields of a Dorva point code.
struct DorvaCode {
    int sheetColumn = 0;
    int sheetRow = 0;
    int subColumn = 0; // 0..7
    int subRow = 0;    // 0..7
    int fineX = 0;     // 0..999
    int fineY = 0;     // 0..999
};

// ---- Coordinate conversions ----

// Network to map coordinates; false (outputs untouched) outside the valid network box.
bool NetToMapChecked(std::int32_t netX, std::int32_t netY, std::int32_t& x, std::int32_t& y);
// Map to network coordinates; false (outputs untouched) outside the valid map box.
bool MapToNetChecked(std::int32_t x, std::int32_t y, std::int32_t& netX, std::int32_t& netY);
// x in point-file units (a map x divided by 1.2), y in map units. False (code untouched) outside
// the map box.
bool PosToDorva(std::int32_t x, std::int32_t y, DorvaCode& code);
// The centre of the code's 10-unit fine cell; true when it lies inside the map box (the outputs
// are written in any case).
bool DorvaToPos(const DorvaCode& code, std::int32_t& x, std::int32_t& y);

// Shifts a WGS84 position (milli-arc-seconds, height in metres) to the Bessel datum of the map
// data, in place: the Molodensky shift from Bessel to WGS84, evaluated at the given position, is
// subtracted. Longitude and latitude move by whole milli-arc-seconds and the height by whole
// metres.
void Wgs84ToBessel(std::int32_t& longitude, std::int32_t& latitude, double& height);
// The inverse: the WGS84 position whose shift gives the Bessel one. Iterated until shifting the
// answer gives back the input exactly (or the best found within a few rounds).
void BesselToWgs84(std::int32_t& longitude, std::int32_t& latitude, double& height);

// Splits a value in units of 10^-p arc-second (p 1..4; any other p means whole seconds) into
// degrees, minutes and seconds, with the fraction left over in *remainder when it is given.
// Writes nothing unless degrees, minutes and seconds are all given.
void SplitDegMinSec(std::int64_t value, int precision, int* degrees, int* minutes, int* seconds,
                    int* remainder = nullptr);
// (d x 60 + m) x 60 + s, and for p in 1..4 that times 10^p plus the fraction. 64 bits: a
// longitude at four decimals (up to 6.48e9) does not fit 32.
std::int64_t DegMinSecToValue(int degrees, int minutes, int seconds, int fraction, int precision);

// ---- Distances and angles ----

// Straight distance in coordinate units, truncated. Exact for any 32-bit inputs.
std::int32_t CalcDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

// The four scales (metres per network unit) MeasureDistance uses: x and y scale at each of the
// two positions. The per-fix work sets them from the map data before measuring; they start at the
// fixed factors.
struct DistanceScales {
    double xA = 0.27654;
    double xB = 0.27654;
    double yA = 0.30879;
    double yB = 0.30879;
};
DistanceScales& MeasureScales();
// Metres between two network positions with the mean of the scales.
std::int32_t MeasureDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

// Bearing from point 1 to point 2 in whole degrees 0..359, clockwise from +y (north). A point to
// itself gives 270.
std::int16_t CalcBearing(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
// The same for network positions, with the differences scaled to map units first.
std::int16_t CalcMapBearing(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
// Mathematical angle (radians, from +x counter-clockwise) of the map-unit difference.
double CalcMapAngle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
// Turn from heading a to heading b, -180..180.
int HeadingDifference(std::int16_t a, std::int16_t b);
// Moves a point distance units along a heading (degrees clockwise from north).
void OffsetByHeading(std::int32_t x, std::int32_t y, std::int16_t heading, std::int32_t distance,
                     std::int32_t& outX, std::int32_t& outY);
// Foot of the perpendicular from (px, py) on the segment, clamped to its ends, and its position
// along the segment in 1/100,000 (0 at the first end). A segment of zero length gives its start
// and 0.
void ProjectOnSegment(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t px,
                      std::int32_t py, std::int32_t& footX, std::int32_t& footY, std::int32_t& position);
// Half-open rectangle test: min <= p < max on both axes, corners in any order.
bool IsInRect(std::int32_t px, std::int32_t py, std::int32_t xa, std::int32_t ya, std::int32_t xb,
              std::int32_t yb);
// Quadrant of a point around the rectangle's centre (cx, cy), halves truncated: left of cx gives
// 3 above cy (py < cy) and 1 below; from cx on, 4 above and 2 below.
int QuadrantOfPoint(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                    std::int32_t px, std::int32_t py);

// ---- Receiver and data text (code page 949) ----

// Decimal integer of text[start .. start+length) (length 0: to the end of the text), read like a
// standard decimal integer (leading blanks, a sign, digits; stops at the first other character).
// 0 when text is null, start is negative, the field runs past the end, or it is longer than 15
// characters. Values beyond 32 bits saturate.
int ParseIntField(const char* text, int start, int length);
// Decimal number of the text. With a '.', the integer part and the fraction must each be shorter
// than 16 characters (else 0.0); a leading minus applies to the whole value.
double ParseDecimal(const char* text);
// Copies the bytes of text before the first delimiter (at most 15) into out (at least 16 bytes)
// and returns their count. 0 when the text is empty or has no delimiter (out untouched); when
// the delimiter comes first, out becomes "0" and the result is 0.
int CopyField(const char* text, char delimiter, char* out);
// Value of two hexadecimal digits ('0'-'9', 'A'-'F' only): a first character outside them counts
// 0, a second one outside them makes the result 0.
int HexPairValue(const char* pair);

bool IsHangulSyllable(const unsigned char* bytes);
bool IsHangulJamo(const unsigned char* bytes);
bool IsAsciiGraph(unsigned char byte);
// TruncateWithDots lives in route/base/TextTruncate.h (included above).
