#include "traffic/pages/WeatherMapCtrl.h"
#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"
#include "traffic/pages/tests/SampleBroadcast.h"
#include "traffic/receiver/tests/ContentFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Item = WeatherMapCtrl::Item;

std::vector<std::u16string> Names(const std::vector<Item>& items, Item::Kind kind) {
    std::vector<std::u16string> names;
    for (const Item& i : items)
        if (i.kind == kind) names.push_back(i.name);
    return names;
}

// A tap at a map point, given in page coordinates as the page hands it on.
bool TapMap(WeatherMapCtrl& map, int x, int y) { return map.Tap(POINT{x + 2, y + 26}); }

} // namespace

TEST(WeatherIconTest, ConditionCodesChooseTheirIcons) {
    struct Case {
        int code;
        const char16_t* current;  // day 0
        const char16_t* forecast; // days 1-8
    } cases[] = {
        {0, u"n알수없음", u"n알수없음"},
        {4, u"n구름많음", u"f맑으나때때로비"},
        {6, u"n안개", u"f맑으나때때로비"},
        {12, u"n안개", u"f맑은후비"},
        {15, u"n안개", u"f맑은후눈"},
        {16, u"n황사", u"f맑은후눈"},
        {24, u"n이슬비", u"f구름낀후맑음"},
        {25, u"n비", u"f구름낀후비"},
        {36, u"n소나기", u"f비온후구름많음"},
        {40, u"n진눈개비", u"n눈"},
        {41, u"n눈", u"n눈"},
        {51, u"n눈", u"f안개낀후맑음"},
        {52, u"n우박", u"n알수없음"},
        {67, u"n뇌우", u"n알수없음"},
        {68, u"n회오리바람", u"n알수없음"},
        {69, u"n번개", u"n알수없음"},
        {70, u"n알수없음", u"n알수없음"},
        {-3, u"n알수없음", u"n알수없음"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::u16string(WWeatherData::CurrentIconName(WWeatherData::CurrentIconSlot(c.code))), c.current)
            << c.code;
        EXPECT_EQ(std::u16string(WWeatherData::ForecastIconName(WWeatherData::ForecastIconSlot(c.code))), c.forecast)
            << c.code;
    }
}

TEST(WeatherRecordTest, StoreRecordsBecomeDisplayValues) {
    WIM record;
    record.current.code = 12;
    record.current.temperature = -15;            // -1.5 degrees: cut to -1
    record.current.precipitationA = 0x8000 | 25; // snow, 2.5 cut to 2
    record.current.precipitationB = 0xFFFF;      // none
    // Short forecast day 1: code 8, lowest -3, highest 7, morning rain 60 %, afternoon snow 30 %.
    record.shortForecast.fields[0] = 8;
    record.shortForecast.fields[3] = static_cast<std::uint8_t>(-3);
    record.shortForecast.fields[6] = 7;
    record.shortForecast.fields[9] = 60;
    record.shortForecast.fields[12] = 0x80 | 30;
    // Day 3: code 17, lowest 1, highest 12; its precipitation bytes are not used.
    record.shortForecast.fields[2] = 17;
    record.shortForecast.fields[5] = 1;
    record.shortForecast.fields[8] = 12;
    record.shortForecast.fields[11] = 40;
    record.weekly.codes[1] = 33;
    record.weekly.lowest = -8;
    record.weekly.highest = 2;

    WDispObj now;
    WWeatherData::FillFromRecord(record, 0, now);
    EXPECT_EQ(now.condition, 12);
    EXPECT_EQ(now.current, -1);
    EXPECT_EQ(now.ValueA(0), 2);
    EXPECT_EQ(now.FlagA(0), 1);
    EXPECT_EQ(now.ValueB(0), WDispObj::kNoValue);
    EXPECT_EQ(now.FlagB(0), -1);
    // The current weather keeps its words as value A, value B, flag A, flag B.
    EXPECT_EQ(now.precipitation[0], 2);
    EXPECT_EQ(now.precipitation[2], 1);

    WDispObj today;
    WWeatherData::FillFromRecord(record, 1, today);
    EXPECT_EQ(today.condition, 8);
    EXPECT_EQ(today.temperatureA, 7);
    EXPECT_EQ(today.temperatureB, -3);
    EXPECT_EQ(today.ValueA(1), 60);
    EXPECT_EQ(today.FlagA(1), 0);
    EXPECT_EQ(today.ValueB(1), 30);
    EXPECT_EQ(today.FlagB(1), 1);
    // Forecasts keep theirs as flag A, flag B, value A, value B.
    EXPECT_EQ(today.precipitation[0], 0);
    EXPECT_EQ(today.precipitation[3], 30);

    WDispObj dayAfter;
    WWeatherData::FillFromRecord(record, 3, dayAfter);
    EXPECT_EQ(dayAfter.condition, 17);
    EXPECT_EQ(dayAfter.temperatureA, 12);
    EXPECT_EQ(dayAfter.ValueA(3), WDispObj::kNoValue);
    EXPECT_EQ(dayAfter.FlagA(3), -1);

    WDispObj weekly;
    WWeatherData::FillFromRecord(record, 5, weekly);
    EXPECT_EQ(weekly.condition, 33);
    EXPECT_EQ(weekly.temperatureA, 2);
    EXPECT_EQ(weekly.temperatureB, -8);
    EXPECT_EQ(weekly.ValueA(5), WDispObj::kNoValue);
}

TEST(WeatherAreaTest, RegionsByEitherCodeGiveTheirPlaces) {
    WWeatherData data;
    int count = -7, list = -7;
    data.SetLocalMapVari(4152, count, list); // 제주도, current code
    EXPECT_EQ(count, 3);
    EXPECT_EQ(list, 9);
    data.SetLocalMapVari(8194, count, list); // 서울/경기, forecast code
    EXPECT_EQ(count, 6);
    EXPECT_EQ(list, 0);
    count = list = -7;
    data.SetLocalMapVari(9476, count, list); // a place, not a region
    EXPECT_EQ(count, -7);
    EXPECT_EQ(list, -7);
    EXPECT_EQ(data.GetRegionCode(CString(u"서울"), 0), -1);
}

class WeatherMapTest : public ContentFixture {
protected:
    void SetUp() override { CWeather::instance()->openFile(samplebroadcast::MapFolder()); }
    void Feed() {
        samplebroadcast::WriteTables(m_root.Path(), {0x00060001});
        CWeather::destruct();
        samplebroadcast::OpenAndFeedStores();
    }
    WeatherMapCtrl m_map;
};

TEST_F(WeatherMapTest, RegionsWithoutDataShowTheUnknownIconAndQuestionMarks) {
    // The tables are missing here: the store holds nothing.
    for (std::uint8_t day : {0, 2, 5}) {
        m_map.SetDay(day);
        m_map.SetMode(WeatherMapCtrl::kWeather);
        const auto items = m_map.Compose();
        const std::size_t regions = day >= 4 ? 6 : 11;
        ASSERT_EQ(m_map.Objects().size(), regions) << int(day);
        auto icons = Names(items, Item::kImage);
        ASSERT_EQ(icons.size(), regions + 1) << int(day);
        EXPECT_EQ(icons[0], day >= 4 ? u"예보" : u"현재오늘내일모레");
        for (std::size_t i = 1; i < icons.size(); ++i) EXPECT_EQ(icons[i], u"n알수없음") << int(day);
        for (int mode : {WeatherMapCtrl::kTemperature, WeatherMapCtrl::kPrecipitation}) {
            m_map.SetMode(mode);
            const auto texts = Names(m_map.Compose(), Item::kText);
            ASSERT_FALSE(texts.empty());
            EXPECT_TRUE(std::all_of(texts.begin(), texts.end(), [](const std::u16string& t) { return t == u"??"; }))
                << int(day) << " " << mode;
            // Without a flag no rain or snow mark is drawn.
            for (const std::u16string& image : Names(m_map.Compose(), Item::kImage))
                EXPECT_TRUE(image != u"상비" && image != u"상눈" && image != u"하비" && image != u"하눈");
        }
    }
}

TEST_F(WeatherMapTest, SampleBroadcastDrawsTheRegionsItHolds) {
    Feed();
    // The sample broadcast sends every region of the country map for now and today.
    for (std::uint8_t day : {0, 1}) {
        m_map.SetDay(day);
        m_map.SetMode(WeatherMapCtrl::kTemperature);
        const auto texts = Names(m_map.Compose(), Item::kText);
        ASSERT_EQ(texts.size(), day == 0 ? 11u : 22u) << int(day);
        EXPECT_TRUE(std::none_of(texts.begin(), texts.end(), [](const std::u16string& t) { return t == u"??"; }))
            << int(day);
        const auto& objects = m_map.Objects();
        EXPECT_EQ(objects[0].region, day == 0 ? 4112 : 8194);
        EXPECT_EQ(texts[0], Utf8ToUtf16(std::to_string(day == 0 ? objects[0].current : objects[0].temperatureA)));
        m_map.SetMode(WeatherMapCtrl::kWeather);
        const auto icons = Names(m_map.Compose(), Item::kImage);
        EXPECT_TRUE(std::none_of(icons.begin(), icons.end(), [](const std::u16string& t) { return t == u"n알수없음"; }))
            << int(day);
    }
}

TEST_F(WeatherMapTest, TapsChooseARegionAndTheBackMarkReturns) {
    m_map.SetDay(0);
    EXPECT_TRUE(m_map.IsCountryMap());
    // Just beside 제주's hot spot (178, 127)-(202, 151): nothing.
    EXPECT_FALSE(TapMap(m_map, 202, 130));
    EXPECT_FALSE(TapMap(m_map, 180, 151));
    EXPECT_TRUE(m_map.IsCountryMap());
    EXPECT_TRUE(TapMap(m_map, 178, 127));
    EXPECT_EQ(m_map.GetRegion(), 4152); // the current code on day 0
    EXPECT_EQ(m_map.GetRegionIndex(), 9);
    EXPECT_EQ(m_map.BackgroundImage(), u"제주");
    m_map.Compose();
    ASSERT_EQ(m_map.Objects().size(), 3u);
    EXPECT_EQ(m_map.Objects()[1].region, 4153); // 서귀포 at (83, 85)
    EXPECT_EQ(m_map.Objects()[1].x, 83);
    EXPECT_EQ(m_map.Objects()[1].y, 85);

    // A place of the region map is recorded; a tap elsewhere is not.
    EXPECT_TRUE(TapMap(m_map, 83 + 23, 85 + 23));
    int list = 0, index = 0;
    m_map.GetTapped(list, index);
    EXPECT_EQ(list, 9);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(m_map.TappedPlaceName(), u"서귀포");
    EXPECT_FALSE(TapMap(m_map, 10, 190));
    EXPECT_EQ(m_map.GetRegion(), 4152);

    // The back mark at (195, 1), 24 x 32.
    EXPECT_TRUE(TapMap(m_map, 195 + 23, 1 + 31));
    EXPECT_TRUE(m_map.IsCountryMap());
    m_map.GetTapped(list, index);
    EXPECT_EQ(index, -1);

    // On a forecast day the region is chosen by its forecast code.
    m_map.SetDay(2);
    EXPECT_TRUE(TapMap(m_map, 40 + 5, 42 + 5));
    EXPECT_EQ(m_map.GetRegion(), 8194);
    EXPECT_EQ(m_map.BackgroundImage(), u"서울경기");
}

TEST_F(WeatherMapTest, WeeklyMapChoosesNothingAndTheLegendIsOnCountryMapsOnly) {
    m_map.SetRegion(8211);
    m_map.SetDay(6);
    EXPECT_EQ(m_map.BackgroundImage(), u"예보");
    EXPECT_FALSE(TapMap(m_map, 5, 5));
    EXPECT_TRUE(TapMap(m_map, 109, 7)); // a weekly region: back to the country map, nothing chosen
    EXPECT_EQ(m_map.GetRegion(), 0);

    struct Case {
        std::uint8_t day;
        int region;
        int mode;
        const char16_t* legend; // nullptr: none
    } cases[] = {
        {0, 0, WeatherMapCtrl::kWeather, nullptr},
        {0, 0, WeatherMapCtrl::kTemperature, u"현재기온정보"},
        {0, 0, WeatherMapCtrl::kPrecipitation, u"현재강수정보"},
        {1, 0, WeatherMapCtrl::kTemperature, u"기온정보"},
        {3, 0, WeatherMapCtrl::kPrecipitation, u"강수정보"},
        {7, 0, WeatherMapCtrl::kTemperature, u"기온정보"},
        {1, 8211, WeatherMapCtrl::kTemperature, nullptr},
        {0, 4152, WeatherMapCtrl::kPrecipitation, nullptr},
    };
    for (const Case& c : cases) {
        m_map.SetDay(c.day);
        m_map.SetRegion(c.region);
        m_map.SetMode(c.mode);
        const auto items = m_map.Compose();
        ASSERT_GE(items.size(), 2u);
        const bool hasLegend = items[1].box.left == 190 && items[1].box.top == 4;
        EXPECT_EQ(hasLegend, c.legend != nullptr) << int(c.day) << " " << c.region << " " << c.mode;
        if (c.legend && hasLegend) { EXPECT_EQ(items[1].name, c.legend); }
    }
}

namespace {

// A one-colour image as the skin archive gives it: PNG bytes decoded.
std::unique_ptr<NaviBitmap> Solid(int width, int height, COLORREF colour) {
    NaviBitmap drawn(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) drawn.SetPixelColor(x, y, colour);
    std::vector<BYTE> png;
    EXPECT_TRUE(drawn.Encode(png));
    auto image = std::make_unique<NaviBitmap>();
    EXPECT_TRUE(image->LoadFromMemory(png.data(), png.size()));
    return image;
}

// A 222 x 206 bitmap the map is drawn into, read back pixel by pixel.
class Canvas {
public:
    Canvas() {
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        m_bitmap = CreateCompatibleBitmap(screen, WeatherMapCtrl::kWidth, WeatherMapCtrl::kHeight);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }
    int Count(RECT r, COLORREF colour) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += At(x, y) == colour ? 1 : 0;
        return n;
    }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

constexpr COLORREF kMapColour = RGB(90, 90, 90);
constexpr COLORREF kRegionMapColour = RGB(40, 80, 40);
constexpr COLORREF kLegendColour = RGB(0, 200, 0);
constexpr COLORREF kUnknownColour = RGB(200, 0, 0);

} // namespace

TEST_F(WeatherMapTest, DrawsTheMapItsLegendSymbolsAndValues) {
    GdiUseBuiltinFont(true);
    m_map.SetImage(u"현재오늘내일모레", Solid(222, 206, kMapColour));
    m_map.SetImage(u"제주", Solid(222, 206, kRegionMapColour));
    m_map.SetImage(u"기온정보", Solid(30, 40, kLegendColour));
    m_map.SetImage(u"n알수없음", Solid(24, 24, kUnknownColour));
    Canvas canvas;

    // Mode 0, nothing received: the unknown icon on every region, e.g. 제주 at (178, 127).
    m_map.Draw(canvas.dc());
    EXPECT_EQ(canvas.At(5, 5), kMapColour);
    EXPECT_EQ(canvas.At(178, 127), kUnknownColour);
    EXPECT_EQ(canvas.At(178 + 23, 127 + 23), kUnknownColour);
    EXPECT_EQ(canvas.At(178 + 24, 127 + 10), kMapColour);
    EXPECT_EQ(canvas.At(190, 4), kMapColour); // no legend in mode 0

    // Mode 1 on a forecast day: the legend at (190, 4) and "??" in white for each temperature.
    m_map.SetDay(1);
    m_map.SetMode(WeatherMapCtrl::kTemperature);
    m_map.Draw(canvas.dc());
    EXPECT_EQ(canvas.At(190, 4), kLegendColour);
    EXPECT_EQ(canvas.At(189, 4), kMapColour);
    EXPECT_EQ(canvas.At(190, 3), kMapColour);
    const RECT upper{40 - 4, 42 - 7, 40 - 4 + 32, 42 - 7 + 14}; // 서울/경기's highest
    EXPECT_GT(canvas.Count(upper, RGB(255, 255, 255)), 0);

    // The region map has no legend.
    m_map.SetRegion(8211);
    m_map.Draw(canvas.dc());
    EXPECT_EQ(canvas.At(190, 4), kRegionMapColour);

    // A skin without the weather images (none opened here) leaves the map undrawn.
    NaviRcBuilder builder;
    m_map.LoadImages(&builder);
    m_map.SetMode(WeatherMapCtrl::kWeather);
    m_map.Draw(canvas.dc());
    EXPECT_EQ(canvas.At(190, 4), kRegionMapColour);
    GdiUseBuiltinFont(false);
}
