// The skin's "Weather" group: the weather map's icons (24 x 24, one drawn symbol each), the plates
// its values are drawn on, the legends, and the country, weekly and region maps (222 x 206):
// schematic regions, each tinted in its own colour and named, laid out so that every region's or
// place's 24 x 24 symbol square lies wholly on it; the region maps carry the back mark at (195, 1).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mkdev {

struct WeatherMapSpot {
    const char16_t* name;
    int x; // top-left corner of the symbol square
    int y;
    bool inset = false; // an island drawn in its own box beside the mainland
};
struct WeatherMapLayout {
    const char16_t* image; // entry name inside the group
    const char16_t* title; // drawn at the bottom left; empty for none
    std::vector<WeatherMapSpot> spots;
    bool regionMap;        // carries the back mark
};
// The maps' layouts: the country map, the weekly map and the eleven region maps.
const std::vector<WeatherMapLayout>& WeatherMapLayouts();

constexpr int kWeatherMapWidth = 222;
constexpr int kWeatherMapHeight = 206;

// Every image of the group as (entry name "Weather\...", PNG bytes), names in UTF-8.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> DrawWeatherImages();

} // namespace mkdev
