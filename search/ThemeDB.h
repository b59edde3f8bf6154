// Themes: curated lists of places, one ".thm" file per theme in the theme folder. Lists the
// themes, loads one theme's places and filters them by region, by distance from the current
// position (units of 3 metres) and by words in the name or the details.
#pragma once

#include "search/SearchFormat.h"
#include "search/SearchRecords.h"

#include <cstdint>
#include <string>
#include <vector>

struct ThemeHeader {
    static constexpr std::size_t kSize = 228;
    char text[33] = {};
    char title[41] = {};
    char description[101] = {};
    std::uint8_t byte172 = 0;
    std::uint32_t word176 = 0;
    std::uint32_t regionOffset = 0, regionCount = 0;
    std::uint32_t placeOffset = 0;
    std::int32_t placeCount = 0;
    std::uint32_t labelOffset = 0, labelCount = 0;
    std::uint32_t detailIndexOffset = 0, detailCount = 0;
    std::uint32_t word212 = 0, word216 = 0;
    std::uint32_t detailBase = 0;
    std::uint32_t word224 = 0;
    void Parse(const std::uint8_t* p);
};

struct ThemePlace {
    char name[21] = {};
    std::uint32_t x = 0, y = 0;
    std::uint16_t region1 = 0, region2 = 0, word32 = 0;
    std::int32_t detail = 0;
    std::uint8_t tail[10] = {};
};

struct ThemeHit {
    ThemePlace place;
    float distance = 0.0f;
    std::uint8_t score = 100;
    // 1 shows the region text, 2 the distance.
    std::uint8_t labelKind = 1;
};

// One list row: name, position, region or distance text, has-details flag.
struct ThemeRow {
    char name[21] = {};
    std::uint32_t x = 0, y = 0;
    char text[52] = {};
    std::uint8_t hasDetail = 0;
};

class CThemeDB {
public:
    static constexpr std::size_t kMaxDetailSize = 64 * 1024;
    static constexpr std::size_t kMaxItems = 256;
    static constexpr std::int32_t kMaxPlaces = 1 << 20;

    struct Entry {
        char title[41] = {};
        char description[101] = {};
        std::u16string path;
        ThemeHeader header;
    };

    // Lists "*.thm" in the folder, sorted by path; unreadable files are left out. False when no
    // theme is usable.
    bool Init(const char16_t* folder);
    bool Reopen();
    void SetCurrentPos(std::int32_t x, std::int32_t y);
    int GetThemeCount() const { return static_cast<std::uint16_t>(m_themes.size()); }
    bool GetThemeTitle(int i, char* buffer40);
    bool GetThemeDescription(int i, char* buffer100);
    bool LoadTheme(int i);
    int GetRegionCount() const;
    // mode 0 all places, 1 by region (value = region number), 2 by distance (value = km, 0 no limit).
    bool Search(int value, const char* text, int mode);
    int GetCount() const;
    bool GetRow(int i, ThemeRow& row);
    bool GetPosition(int i, _THEME_RESULT& result);
    double GetDistance(int i) const;
    int GetDetailNumber(int i) const;
    // The detail of index entry k + 1.
    bool GetDetail(int k, std::vector<_POI_ITEM>& items);
    bool GetRegionName(int n, char* out21);
    const std::vector<ThemeHit>& Hits() const { return m_hits; }
    // Distance in km between two points in units of 3 m, kept in single precision.
    static float Distance(std::int64_t dx, std::int64_t dy);

private:
    bool Narrow();
    void SortByDistance();
    void WordFilter();
    const ThemePlace* Item(int i) const;

    std::vector<Entry> m_themes;
    int m_currentTheme = -1;
    tolvik::DbFile m_file;
    std::vector<ThemePlace> m_places;
    std::vector<ThemeHit> m_hits;
    int m_mode = 0, m_value = 0;
    std::string m_text;
    int m_prevMode = 0, m_prevValue = 0;
    std::string m_prevText;
    std::int32_t m_x = 0, m_y = 0;
};
