#include "skinui/NaviBitmap.h"
#include "tools/mkdevice/WeatherSkin.h"
#include "traffic/pages/WeatherMapCtrl.h"
#include "traffic/pages/WWeatherData.h"

#include "platform/base/Text.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// A pixel counted from the top (the bitmap keeps its rows bottom-up).
COLORREF Px(const NaviBitmap* image, int x, int y) {
    const RGBQUAD q = image->GetPixelColor(x, image->GetHeight() - 1 - y);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

struct Spot {
    std::u16string name;
    int x, y;
};

// The hot spots of every map, from the weather map's own tables.
std::map<std::u16string, std::vector<Spot>> HotSpots() {
    std::map<std::u16string, std::vector<Spot>> maps;
    for (int i = 0; i < WWeatherData::kAreaCount; ++i) {
        const WWeatherData::Area& a = WWeatherData::Areas()[i];
        maps[WWeatherData::CountryImage()].push_back({a.region.name, a.region.x, a.region.y});
        for (int p = 0; p < a.placeCount; ++p) maps[a.image].push_back({a.places[p].name, a.places[p].x, a.places[p].y});
    }
    for (int i = 0; i < WWeatherData::kWeeklyCount; ++i) {
        const WWeatherData::Place& w = WWeatherData::WeeklyPlaces()[i];
        maps[WWeatherData::WeeklyImage()].push_back({u"weekly " + Utf8ToUtf16(std::to_string(i)), w.x, w.y});
    }
    return maps;
}

class WeatherSkinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (auto& [name, png] : mkdev::DrawWeatherImages()) {
            auto image = std::make_shared<NaviBitmap>();
            ASSERT_TRUE(image->LoadFromMemory(png.data(), png.size())) << name;
            s_images[name] = image;
        }
    }
    static void TearDownTestSuite() { s_images.clear(); }
    static NaviBitmap* Image(const std::u16string& name) {
        auto it = s_images.find("Weather\\" + Utf16ToUtf8(name));
        return it == s_images.end() ? nullptr : it->second.get();
    }
    static std::map<std::string, std::shared_ptr<NaviBitmap>> s_images;
};
std::map<std::string, std::shared_ptr<NaviBitmap>> WeatherSkinTest::s_images;

} // namespace

TEST_F(WeatherSkinTest, EveryImageTheMapDrawsIsThereAtItsSize) {
    std::set<std::u16string> maps = {WWeatherData::CountryImage(), WWeatherData::WeeklyImage()};
    for (int i = 0; i < WWeatherData::kAreaCount; ++i) maps.insert(WWeatherData::Areas()[i].image);
    for (const std::u16string& name : WeatherMapCtrl::ImageNames()) {
        NaviBitmap* image = Image(name);
        ASSERT_NE(image, nullptr) << Utf16ToUtf8(name);
        if (maps.count(name)) {
            EXPECT_LE(image->GetWidth(), 222) << Utf16ToUtf8(name);
            EXPECT_LE(image->GetHeight(), 206) << Utf16ToUtf8(name);
        } else if (name[0] == u'n' || name[0] == u'f') {
            EXPECT_EQ(image->GetWidth(), 24) << Utf16ToUtf8(name);
            EXPECT_EQ(image->GetHeight(), 24) << Utf16ToUtf8(name);
        } else {
            // Plates, marks and legends keep the corner colour that drawing leaves out.
            EXPECT_LE(image->GetWidth(), 32) << Utf16ToUtf8(name);
        }
    }
    EXPECT_EQ(maps.size(), 13u);
}

TEST_F(WeatherSkinTest, EveryHotSpotLiesOnItsOwnRegion) {
    const auto spots = HotSpots();
    ASSERT_EQ(spots.size(), 13u);
    for (const auto& [mapName, list] : spots) {
        NaviBitmap* map = Image(mapName);
        ASSERT_NE(map, nullptr) << Utf16ToUtf8(mapName);
        // The bottom right corner is open sea on every map.
        const COLORREF sea = Px(map, map->GetWidth() - 1, map->GetHeight() - 1);
        std::set<COLORREF> seen;
        for (const Spot& s : list) {
            // The whole 24 x 24 square is one region's colour: no border, name or sea inside.
            const COLORREF c = Px(map, s.x, s.y);
            int other = 0;
            for (int y = s.y; y < s.y + 24; ++y)
                for (int x = s.x; x < s.x + 24; ++x) other += Px(map, x, y) != c ? 1 : 0;
            EXPECT_EQ(other, 0) << Utf16ToUtf8(mapName) << " " << Utf16ToUtf8(s.name);
            EXPECT_NE(c, sea) << Utf16ToUtf8(mapName) << " " << Utf16ToUtf8(s.name);
            EXPECT_TRUE(seen.insert(c).second) << "shares its colour: " << Utf16ToUtf8(mapName) << " "
                                               << Utf16ToUtf8(s.name);
        }
        // Region maps carry the back mark in the 24 x 32 spot at (195, 1); the country maps do not.
        const bool regionMap = mapName != WWeatherData::CountryImage() && mapName != WWeatherData::WeeklyImage();
        int marked = 0;
        for (int y = 1; y < 33; ++y)
            for (int x = 195; x < 219; ++x) marked += Px(map, x, y) != sea ? 1 : 0;
        if (regionMap)
            EXPECT_EQ(marked, 24 * 32) << Utf16ToUtf8(mapName);
        else
            EXPECT_EQ(marked, 0) << Utf16ToUtf8(mapName);
    }
}

TEST_F(WeatherSkinTest, IconsAreDistinctSymbolsOnATransparentCorner) {
    std::map<std::vector<COLORREF>, std::u16string> drawn;
    std::set<std::u16string> names;
    for (int i = 0; i < WWeatherData::kCurrentIcons; ++i) names.insert(WWeatherData::CurrentIconName(i));
    for (int i = 0; i < WWeatherData::kForecastIcons; ++i) names.insert(WWeatherData::ForecastIconName(i));
    EXPECT_EQ(names.size(), 40u);
    for (const std::u16string& name : names) {
        NaviBitmap* icon = Image(name);
        ASSERT_NE(icon, nullptr);
        std::vector<COLORREF> pixels;
        int key = 0;
        const COLORREF corner = Px(icon, 0, 0);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                pixels.push_back(Px(icon, x, y));
                key += pixels.back() == corner ? 1 : 0;
            }
        // A symbol with its surroundings left out, drawn unlike any other icon.
        EXPECT_GT(key, 24) << Utf16ToUtf8(name);
        EXPECT_LT(key, 24 * 24 - 60) << Utf16ToUtf8(name);
        EXPECT_TRUE(drawn.emplace(pixels, name).second) << Utf16ToUtf8(name) << " looks like " << Utf16ToUtf8(drawn[pixels]);
    }
}
