// The weather map of the weather page: which area is on view (the country map, the weekly map or
// a region's own map), what is drawn for each region in the three display modes, and pen taps
// that choose a region, return to the country map or pick a place. Positions are in map pixels,
// the map lying at (2, 26) of the page; every symbol's hot spot is the 24 x 24 square whose
// top-left corner is the symbol's place.
#pragma once

#include "platform/window/Afx.h"
#include "traffic/pages/WDispObj.h"
#include "traffic/pages/WWeatherData.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class NaviBitmap;
class NaviRcBuilder;

class WeatherMapCtrl {
public:
    enum Mode { kWeather = 0, kTemperature = 1, kPrecipitation = 2 };
    static constexpr POINT kOrigin{2, 26};
    static constexpr int kWidth = 222;
    static constexpr int kHeight = 206;
    static constexpr int kHotSpot = 24;
    static constexpr RECT kBackSpot{195, 1, 195 + 24, 1 + 32};
    static constexpr POINT kLegend{190, 4};
    static constexpr int kTextWidth = 32;
    static constexpr int kTextHeight = 14;

    // One thing to draw: a skin image of the "Weather" group with its top-left corner at
    // (box.left, box.top), or a white text in box.
    struct Item {
        enum Kind { kImage, kText } kind;
        std::u16string name; // image name or text
        RECT box;
    };

    void SetDay(std::uint8_t day) { m_day = day; }
    std::uint8_t GetDay() const { return m_day; }
    // A region by either of its codes (0: the country map).
    void SetRegion(int code);
    int GetRegion() const { return m_region; }
    int GetRegionIndex() const { return m_regionIndex; }
    void SetMode(int mode) { m_mode = mode; }
    int GetMode() const { return m_mode; }
    // The place last tapped on a region map: its region's row and its index; -1 for none.
    void GetTapped(int& list, int& index) const {
        list = m_tappedList;
        index = m_tappedIndex;
    }
    void ClearTapped() { m_tappedList = m_tappedIndex = -1; }
    // The name of the tapped place, empty for none.
    std::u16string TappedPlaceName() const;

    bool IsWeeklyMap() const { return m_day >= 4; }
    bool IsCountryMap() const { return m_day < 4 && m_region == 0; }
    // The background image of the area on view; empty for a region code outside the tables.
    std::u16string BackgroundImage() const;

    // A pen tap at page coordinates; true when it changed what is shown (a redraw is due).
    bool Tap(POINT page);

    // What the map draws, in order: background, legend, then each region's symbol.
    std::vector<Item> Compose();
    // Draws the map with its top-left corner at (0, 0) of dc; images not loaded are left out.
    void Draw(HDC dc);

    // Loads every image of the skin's "Weather" group at once; ReleaseImages lets them go.
    void LoadImages(NaviRcBuilder* builder);
    void ReleaseImages();
    // Gives the map one image (the loader and tests).
    void SetImage(const std::u16string& name, std::unique_ptr<NaviBitmap> image);
    // Every image name the map draws.
    static std::vector<std::u16string> ImageNames();

    WeatherMapCtrl();
    ~WeatherMapCtrl();
    WeatherMapCtrl(const WeatherMapCtrl&) = delete;
    WeatherMapCtrl& operator=(const WeatherMapCtrl&) = delete;
    const std::vector<WDispObj>& Objects() const { return m_objects; }

private:
    static bool InSpot(POINT p, int x, int y) {
        return p.x >= x && p.x < x + kHotSpot && p.y >= y && p.y < y + kHotSpot;
    }
    static std::u16string ValueText(std::int32_t value);

    WWeatherData m_data;
    std::uint8_t m_day = 0;
    int m_region = 0;
    int m_regionIndex = -1;
    int m_mode = kWeather;
    int m_tappedList = -1;
    int m_tappedIndex = -1;
    std::vector<WDispObj> m_objects;
    std::map<std::u16string, std::unique_ptr<NaviBitmap>> m_images;
};
