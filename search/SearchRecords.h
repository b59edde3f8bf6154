// The records in which search results and database versions cross between the application and
// the search library. The caller owns every record; text fields are code page 949, zero-filled,
// holding at most one byte less than their width. A position is three 16-bit values: a map
// sheet code, an x offset and a y offset within that sheet (the theme and nearby records hold
// plain coordinates instead).
#pragma once

#include <cstdint>
#include <vector>

struct _VERSION_INFO {
    std::uint16_t major = 0;
    std::uint8_t minor = 0;
    std::uint8_t revision = 0;
    char word1[10] = {};
    char word2[10] = {};
};

// The version record the application hands to the version checks; it carries no data here.
class CNaviVersion {
public:
    CNaviVersion() = default;
    CNaviVersion(const CNaviVersion&) = default;
    CNaviVersion& operator=(const CNaviVersion&) = default;
    virtual ~CNaviVersion() = default;
};

struct _ADDR_RESULT {
    virtual ~_ADDR_RESULT() = default;
    char lotInput[21] = {};
    char detail[31] = {};
    std::int32_t levelIndex[4] = {-1, -1, -1, -1};
    std::uint16_t mapLevel = 0;
    std::uint16_t pos[3] = {};
    std::uint8_t pointType = 0;
    std::uint8_t routeDirectly = 0;
};

struct _NAME_RESULT {
    virtual ~_NAME_RESULT() = default;
    char query[21] = {};
    char name[21] = {};
    std::int32_t row = -1;
    std::uint16_t mapLevel = 0;
    std::uint16_t pos[3] = {};
    std::uint8_t pointType = 0;
    std::uint8_t routeDirectly = 0;
};

struct _CATE_RESULT {
    virtual ~_CATE_RESULT() = default;
    char name[21] = {};
    char text[21] = {};
    // Major class, minor class, province, district, facility.
    std::int32_t index[5] = {-1, -1, -1, -1, -1};
    std::uint16_t mapLevel = 0;
    std::uint16_t pos[3] = {};
    std::uint8_t pointType = 0;
    std::uint8_t routeDirectly = 0;
};

struct _AROUND_RESULT {
    std::int32_t kind = 0;
    char name[21] = {};
    std::int32_t x = 0, y = 0;
    std::int32_t category = -1, shownCategory = -1;
    std::uint8_t mapLevel = 0, pointType = 0, routeDirectly = 0;
    std::int32_t fromX = 0, fromY = 0;
    std::int32_t row = -1;
};

struct _THEME_RESULT {
    virtual ~_THEME_RESULT() = default;
    char name[21] = {};
    std::int32_t themeKind = -1;
    std::int32_t theme = -1;
    std::int32_t row = -1;
    std::int32_t filterMode = 0;
    std::int32_t filterSelection = -1;
    char text[129] = {};
    // The place's coordinates multiplied by 10.
    std::uint32_t x = 0, y = 0;
    std::uint8_t mapLevel = 0, pointType = 0, routeDirectly = 0;
    std::int32_t fromX = 0, fromY = 0;
};

// One labelled detail text of a point of interest or a theme place.
struct _POI_ITEM {
    char label[41] = {};
    char text[2049] = {};
};

struct _POI_RESULT {
    std::int32_t first = -1;
    std::int32_t second = -1;
    char name[21] = {};
    std::vector<_POI_ITEM> items;
};

struct _POI_RESULT_AUTO {
    virtual ~_POI_RESULT_AUTO() = default;
    std::uint32_t reserved[2] = {};
    // 1-based; below 1 means no point of interest.
    std::int32_t poiIndex = 0;
    std::uint8_t pointType = 4;
    std::uint8_t routeDirectly = 0;
    char name[21] = {};
};
