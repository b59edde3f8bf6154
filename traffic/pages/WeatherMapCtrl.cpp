#include "traffic/pages/WeatherMapCtrl.h"

#include "platform/base/Text.h"
#include "skinui/NaviBitmap.h"
#include "skinui/NaviRcBuilder.h"

#include <algorithm>
#include <string>

namespace {

RECT At(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

} // namespace

WeatherMapCtrl::WeatherMapCtrl() = default;
WeatherMapCtrl::~WeatherMapCtrl() = default;

std::vector<std::u16string> WeatherMapCtrl::ImageNames() {
    std::vector<std::u16string> names = {WWeatherData::CountryImage(), WWeatherData::WeeklyImage()};
    for (int i = 0; i < WWeatherData::kAreaCount; ++i) names.emplace_back(WWeatherData::Areas()[i].image);
    for (const char16_t* n : {u"강수", u"기온", u"강수정보", u"기온정보", u"현재기온정보", u"현재강수정보", u"현재기온",
                              u"상비", u"상눈", u"하비", u"하눈"})
        names.emplace_back(n);
    for (int i = 0; i < WWeatherData::kCurrentIcons; ++i) names.emplace_back(WWeatherData::CurrentIconName(i));
    for (int i = 0; i < WWeatherData::kForecastIcons; ++i) {
        const std::u16string n = WWeatherData::ForecastIconName(i);
        if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    }
    return names;
}

void WeatherMapCtrl::SetImage(const std::u16string& name, std::unique_ptr<NaviBitmap> image) {
    if (image) m_images[name] = std::move(image);
}

void WeatherMapCtrl::LoadImages(NaviRcBuilder* builder) {
    if (!builder) return;
    ReleaseImages();
    for (const std::u16string& name : ImageNames()) {
        CString path;
        path.Format(u"Weather\\%s", name.c_str());
        std::unique_ptr<NaviBitmap> image(builder->LoadImage(path));
        if (!image) continue;
        // Symbols are drawn over the map with their corner colour left out; maps are opaque.
        const bool map = name == WWeatherData::CountryImage() || name == WWeatherData::WeeklyImage() ||
                         WWeatherData::AreaOfImage(name.c_str()) >= 0;
        image->SetTransparent(!map);
        SetImage(name, std::move(image));
    }
}

void WeatherMapCtrl::ReleaseImages() { m_images.clear(); }

void WeatherMapCtrl::Draw(HDC dc) {
    if (!dc) return;
    const std::vector<Item> items = Compose();
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, RGB(255, 255, 255));
    for (const Item& item : items) {
        if (item.kind == Item::kImage) {
            auto it = m_images.find(item.name);
            if (it != m_images.end() && it->second) it->second->Draw(dc, item.box.left, item.box.top);
        } else {
            RECT box = item.box;
            DrawTextW(dc, item.name.c_str(), static_cast<int>(item.name.size()), &box,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void WeatherMapCtrl::SetRegion(int code) {
    const int area = WWeatherData::AreaOfCode(code);
    m_region = area < 0 ? 0 : code;
    m_regionIndex = area;
}

std::u16string WeatherMapCtrl::TappedPlaceName() const {
    if (m_tappedList < 0 || m_tappedList >= WWeatherData::kAreaCount) return {};
    const WWeatherData::Area& a = WWeatherData::Areas()[m_tappedList];
    if (m_tappedIndex < 0 || m_tappedIndex >= a.placeCount) return {};
    return a.places[m_tappedIndex].name;
}

std::u16string WeatherMapCtrl::BackgroundImage() const {
    if (IsWeeklyMap()) return WWeatherData::WeeklyImage();
    if (m_region == 0) return WWeatherData::CountryImage();
    const int area = WWeatherData::AreaOfCode(m_region);
    return area < 0 ? std::u16string() : std::u16string(WWeatherData::Areas()[area].image);
}

bool WeatherMapCtrl::Tap(POINT page) {
    const POINT p{page.x - kOrigin.x, page.y - kOrigin.y};
    if (IsWeeklyMap()) {
        // The weekly map chooses nothing: a tap on a region only leaves any region map.
        for (int i = 0; i < WWeatherData::kWeeklyCount; ++i) {
            const WWeatherData::Place& w = WWeatherData::WeeklyPlaces()[i];
            if (!InSpot(p, w.x, w.y)) continue;
            m_region = 0;
            m_regionIndex = -1;
            ClearTapped();
            return true;
        }
        return false;
    }
    if (m_region == 0) {
        for (int i = 0; i < WWeatherData::kAreaCount; ++i) {
            const WWeatherData::Place& r = WWeatherData::Areas()[i].region;
            if (!InSpot(p, r.x, r.y)) continue;
            m_region = m_day == 0 ? r.currentCode : r.forecastCode;
            m_regionIndex = i;
            ClearTapped();
            return true;
        }
        return false;
    }
    if (p.x >= kBackSpot.left && p.x < kBackSpot.right && p.y >= kBackSpot.top && p.y < kBackSpot.bottom) {
        m_region = 0;
        m_regionIndex = -1;
        ClearTapped();
        return true;
    }
    const int area = WWeatherData::AreaOfCode(m_region);
    if (area < 0) return false;
    const WWeatherData::Area& a = WWeatherData::Areas()[area];
    for (int i = 0; i < a.placeCount; ++i) {
        if (!InSpot(p, a.places[i].x, a.places[i].y)) continue;
        m_tappedList = area;
        m_tappedIndex = i;
        return true;
    }
    return false;
}

std::u16string WeatherMapCtrl::ValueText(std::int32_t value) {
    if (value == WDispObj::kNoValue) return u"??";
    return Utf8ToUtf16(std::to_string(value));
}

std::vector<WeatherMapCtrl::Item> WeatherMapCtrl::Compose() {
    std::vector<Item> items;
    const std::u16string background = BackgroundImage();
    if (background.empty()) {
        m_objects.clear();
        return items;
    }
    m_data.GetDispObj(IsWeeklyMap() ? 0 : m_region, m_day, static_cast<std::uint8_t>(m_mode), m_objects);
    items.push_back({Item::kImage, background, At(0, 0, kWidth, kHeight)});
    const bool current = m_day == 0;
    const bool countryMap = IsWeeklyMap() || m_region == 0;
    if (countryMap && (m_mode == kTemperature || m_mode == kPrecipitation)) {
        const char16_t* legend = m_mode == kTemperature ? (current ? u"현재기온정보" : u"기온정보")
                                                          : (current ? u"현재강수정보" : u"강수정보");
        items.push_back({Item::kImage, legend, At(kLegend.x, kLegend.y, 0, 0)});
    }
    for (const WDispObj& o : m_objects) {
        switch (m_mode) {
        case kWeather: {
            const std::u16string icon = current ? WWeatherData::CurrentIconName(WWeatherData::CurrentIconSlot(o.condition))
                                                : WWeatherData::ForecastIconName(WWeatherData::ForecastIconSlot(o.condition));
            items.push_back({Item::kImage, icon, At(o.x, o.y, kHotSpot, kHotSpot)});
            break;
        }
        case kTemperature:
            if (current) {
                items.push_back({Item::kImage, u"현재기온", At(o.x - 4, o.y + 7, 0, 0)});
                items.push_back({Item::kText, ValueText(o.current), At(o.x - 4, o.y + 7, kTextWidth, kTextHeight)});
            } else {
                items.push_back({Item::kImage, u"기온", At(o.x - 4, o.y - 7, 0, 0)});
                items.push_back({Item::kText, ValueText(o.temperatureA), At(o.x - 4, o.y - 7, kTextWidth, kTextHeight)});
                items.push_back({Item::kText, ValueText(o.temperatureB), At(o.x - 4, o.y + 7, kTextWidth, kTextHeight)});
            }
            break;
        case kPrecipitation: {
            items.push_back({Item::kImage, u"강수", At(o.x - 4, o.y - 7, 0, 0)});
            items.push_back({Item::kText, ValueText(o.ValueA(m_day)), At(o.x - 4, o.y - 7, kTextWidth, kTextHeight)});
            items.push_back({Item::kText, ValueText(o.ValueB(m_day)), At(o.x - 4, o.y + 7, kTextWidth, kTextHeight)});
            const int flagA = o.FlagA(m_day), flagB = o.FlagB(m_day);
            if (flagA == 0 || flagA == 1)
                items.push_back({Item::kImage, flagA == 1 ? u"상눈" : u"상비", At(o.x - 4 + kTextWidth, o.y - 7, 0, 0)});
            if (flagB == 0 || flagB == 1)
                items.push_back({Item::kImage, flagB == 1 ? u"하눈" : u"하비", At(o.x - 4 + kTextWidth, o.y + 8, 0, 0)});
            break;
        }
        default:
            break;
        }
    }
    return items;
}
