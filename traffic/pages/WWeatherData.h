// The weather map's areas: the country map's eleven regions (days 0-3), the weekly map's six
// (days 4-8) and each region's own map with its places, with the region codes the weather store
// knows them by; and the display objects of an area for a day, filled from the store.
#pragma once

#include "platform/base/CString.h"
#include "traffic/pages/WDispObj.h"

#include <cstdint>
#include <vector>

struct WIM;

class WWeatherData {
public:
    // A region of a map: its name, its codes for the current weather and the short forecast,
    // and the top-left corner of its symbol in the map.
    struct Place {
        const char16_t* name;
        std::uint16_t currentCode;
        std::uint16_t forecastCode;
        int x;
        int y;
    };
    // A region of the country map with the image of its own map and its places.
    struct Area {
        const char16_t* image;
        Place region;
        const Place* places;
        int placeCount;
    };

    static constexpr int kAreaCount = 11;
    static constexpr int kWeeklyCount = 6;
    static constexpr int kCurrentIcons = 17;
    static constexpr int kForecastIcons = 30;

    static const Area* Areas();        // kAreaCount rows; a row number is the store's region group
    static const Place* WeeklyPlaces(); // kWeeklyCount rows (forecast codes only)
    // The row of the country map whose current or forecast code is code; -1 for none.
    static int AreaOfCode(int code);
    // The row of the country map whose own map has that image name; -1 for none.
    static int AreaOfImage(const char16_t* image);
    static const char16_t* CountryImage() { return u"현재오늘내일모레"; }
    static const char16_t* WeeklyImage() { return u"예보"; }

    // Icon slots of a condition code: the current set (day 0) and the forecast set.
    static int CurrentIconSlot(int code);
    static int ForecastIconSlot(int code);
    static const char16_t* CurrentIconName(int slot);
    static const char16_t* ForecastIconName(int slot);

    // The display objects of the area on view: the country map (regionCode 0, days 0-3), the
    // weekly map (days 4-8) or a region's map (regionCode either of its codes, days 0-3). Each
    // takes its values from the store; a region without data keeps no values.
    void GetDispObj(int regionCode, std::uint8_t day, std::uint8_t mode, std::vector<WDispObj>& out) const;
    // The number of places and the list number (country-map row) of a region given by either of
    // its codes; other codes leave both unchanged.
    void SetLocalMapVari(int regionCode, int& count, int& list) const;
    // Names are not looked up: always -1.
    int GetRegionCode(const CString& name, std::uint8_t kind) const;

    // The values of a display object from a store record of the day.
    static void FillFromRecord(const WIM& record, std::uint8_t day, WDispObj& object);
};
