// Map-sheet and location codes. A code names a cell of a hierarchical grid of longitude and
// latitude that starts at 124 degrees east, 33 degrees north; each level divides a cell of the
// level above into smaller cells and the code's digits select the cell at each level.
// CCodeRecord walks a code down the levels to the corners of its cell; SheetCodeToRect turns
// them into cell columns and rows counted from the map origin.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// An angle as degrees, minutes and seconds. Add, subtract and multiply normalise the seconds
// and minutes; a difference may keep negative degrees.
class CDmsAngle {
public:
    CDmsAngle() = default;
    CDmsAngle(std::int32_t degrees, std::int32_t minutes, double seconds)
        : m_degrees(degrees), m_minutes(minutes), m_seconds(seconds) {}

    CDmsAngle Add(const CDmsAngle& other);
    CDmsAngle Subtract(const CDmsAngle& other);
    CDmsAngle Multiply(std::int32_t n);
    CDmsAngle& operator+=(const CDmsAngle& other) {
        Add(other);
        return *this;
    }
    CDmsAngle& operator-=(const CDmsAngle& other) {
        Subtract(other);
        return *this;
    }
    friend CDmsAngle operator+(CDmsAngle a, const CDmsAngle& b) { return a.Add(b); }
    friend CDmsAngle operator-(CDmsAngle a, const CDmsAngle& b) { return a.Subtract(b); }

    bool operator==(const CDmsAngle& o) const {
        return m_degrees == o.m_degrees && m_minutes == o.m_minutes && m_seconds == o.m_seconds;
    }
    bool operator!=(const CDmsAngle& o) const { return !(*this == o); }
    bool operator<(const CDmsAngle& o) const;
    bool operator>(const CDmsAngle& o) const { return o < *this; }
    bool operator<=(const CDmsAngle& o) const { return !(o < *this); }
    bool operator>=(const CDmsAngle& o) const { return !(*this < o); }

    // 1 degrees, 2 minutes, 3 whole seconds, 0 otherwise.
    std::int32_t GetPart(int which) const;
    // Tenths of an arc second.
    std::int32_t ToTenths() const;

    std::int32_t Degrees() const { return m_degrees; }
    std::int32_t Minutes() const { return m_minutes; }
    double Seconds() const { return m_seconds; }

private:
    void Normalise();

    std::int32_t m_degrees = 0;
    std::int32_t m_minutes = 0;
    double m_seconds = 0.0;
};

class CCodeRecord {
public:
    enum WalkKind { kTwoColumn = 0, kGrid = 1, kQuadrant = 2 };

    CCodeRecord();
    virtual ~CCodeRecord();
    CCodeRecord(const CCodeRecord& other);
    CCodeRecord& operator=(const CCodeRecord& other);

    void Reset();
    // Code type 0..9 of a code in its six-character form.
    static std::int32_t Classify(const std::string& code);
    void Parse(const std::string& code, std::int32_t type);
    void SetWalkBounds(std::int32_t number, std::int32_t level);
    void Walk(std::int32_t number, WalkKind kind, std::int32_t level, std::int32_t type);
    // The parsed code's value, -1 before any parse.
    std::int32_t GetCode(std::int32_t& out) const;
    // South-west longitude, latitude, north-east longitude, latitude, each "%03ld%02ld%05.2f".
    void FormatCorners(std::string& out) const;
    // Codes "%06d", "%04d%02d" or "%02d%02d%02d" from one, two or three lists of numbers.
    void BuildCodeList(const std::vector<std::int32_t>* first, const std::vector<std::int32_t>* second,
                       const std::vector<std::int32_t>* third);

    CDmsAngle swLon{124, 0, 0.0}, swLat{33, 0, 0.0};
    CDmsAngle neLon, neLat;
    CDmsAngle spare[4];
    CDmsAngle fineLon, fineLat;
    CDmsAngle walkLon, walkLat;
    CDmsAngle coarseLon, coarseLat;
    CDmsAngle baseLon, baseLat;
    std::vector<std::int32_t> lists[3];
    std::int32_t codeValue = -1;
    std::int32_t codeType = 0;
    std::int32_t rowFrom = 0, columnFrom = 0, digitFrom = 0;
    std::int32_t rowTo = 0, columnTo = 0, digitTo = 0;
    std::unique_ptr<std::vector<std::string>> codeList;
};

// Corners of a map-sheet code as cell columns and rows times 10000: B is the cell's column and
// row from the map origin in cells of its own size; for level-9 codes A is the small cell's
// column and row inside its level-6 parent. Codes shorter than six characters are padded with
// zeros on the left. 0 when the code is not a positive number or longer than six characters;
// codes without a cell size (types 0, 1 and 2) leave A and B unchanged.
int SheetCodeToRect(const char* code, POINT& a, POINT& b);
