// The broadcast stage's content tables under MapData/DARC: the listed stock items and markets,
// the weather condition texts and the weather regions of the current, short and weekly
// forecasts. The region groups follow the receiver's group order; their sub-regions and codes
// are those of the weather map.
#pragma once

#include "tools/mkdevice/DeviceBuilder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkdev {

struct StockItem {
    std::uint16_t code;
    std::uint8_t suffix;
    std::u16string name;
};
std::vector<StockItem> SampleStockItems(); // ascending by code x 256 + suffix
std::vector<std::u16string> SampleMarkets();

struct WeatherPlace {
    std::u16string name;
    std::uint16_t code;
};
// Per group 0-11 the places of a table; which = 0 current, 1 short forecast, 2 weekly.
std::vector<std::vector<WeatherPlace>> SampleWeatherGroups(int which);
std::vector<std::u16string> SampleCurrentTexts();  // by current condition code
std::vector<std::u16string> SampleForecastTexts(); // by forecast condition code
std::vector<std::u16string> SampleSpecialTexts();

void WriteBroadcastContentFiles(const DeviceLayout& layout);

} // namespace mkdev
