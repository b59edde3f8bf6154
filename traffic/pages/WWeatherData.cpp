#include "traffic/pages/WWeatherData.h"

#include "traffic/pages/DARCWeather.h"
#include "traffic/receiver/WIM.h"

#include <string_view>

namespace {

using Place = WWeatherData::Place;

// Places of the region maps: name, current code, forecast code, x, y.
const Place kSeoulGyeonggi[] = {{u"동두천", 4099, 9491, 50, 9},   {u"서울", 4112, 9476, 89, 52},
                                {u"인천", 4113, 9479, 45, 70},    {u"수원", 4116, 9504, 75, 99},
                                {u"양평", 4162, 9497, 144, 61},   {u"이천", 4163, 9508, 126, 102}};
const Place kYeongseo[] = {{u"춘천", 4102, 9557, 27, 22},
                           {u"홍천", 4165, 9558, 36, 64},
                           {u"원주", 4114, 9559, 52, 105},
                           {u"인제", 4164, 9555, 126, 18},
                           {u"태백", 4166, 9574, 162, 92}};
const Place kYeongdong[] = {{u"강릉", 4104, 9584, 63, 50},
                            {u"대관령", 4101, 9572, 79, 92},
                            {u"속초", 4097, 9575, 105, 12},
                            {u"동해", 4105, 9585, 135, 73}};
const Place kChungnam[] = {{u"서산", 4119, 9527, 27, 22},
                           {u"보령", 4177, 9537, 49, 85},
                           {u"부여", 4178, 9543, 97, 101},
                           {u"아산", 4176, 9540, 124, 6},
                           {u"금산", 4179, 9545, 170, 100}};
const Place kChungbuk[] = {{u"충주", 4118, 9510, 61, 6},
                           {u"제천", 4167, 9513, 125, 6},
                           {u"청주", 4121, 9521, 36, 52},
                           {u"보은", 4169, 9522, 109, 66},
                           {u"대전", 4128, 9541, 51, 102}};
const Place kJeonnam[] = {{u"무안", 4146, 9608, 65, 25},  {u"목포", 4147, 9617, 32, 60},
                          {u"장흥", 4192, 9624, 84, 73},  {u"광주", 4144, 9735, 110, 20},
                          {u"고흥", 4194, 9730, 135, 97}, {u"여수", 4148, 9728, 170, 63}};
const Place kJeonbuk[] = {{u"군산", 4133, 9589, 31, 6},
                          {u"부안", 4180, 9592, 26, 53},
                          {u"정읍", 4182, 9601, 57, 99},
                          {u"전주", 4135, 9593, 104, 32},
                          {u"남원", 4183, 9605, 148, 98}};
const Place kGyeongnam[] = {{u"거창", 4209, 9816, 46, 5},   {u"남해", 4214, 9813, 40, 102},
                            {u"진주", 4160, 9828, 73, 68},  {u"마산", 4137, 9800, 116, 63},
                            {u"거제", 4213, 9811, 133, 105}, {u"부산", 4145, 9798, 156, 63}};
const Place kGyeongbuk[] = {{u"문경", 4198, 9765, 54, 36}, {u"구미", 4201, 9781, 58, 78},
                            {u"대구", 4134, 9785, 99, 98}, {u"안동", 4130, 9777, 106, 39},
                            {u"울진", 4120, 9761, 153, 4}, {u"포항", 4132, 9763, 159, 74}};
const Place kJeju[] = {{u"제주", 4151, 9750, 92, 30}, {u"서귀포", 4153, 9753, 83, 85}, {u"성산포", 4195, 9749, 169, 48}};
const Place kUlleung[] = {{u"울릉도", 4115, 9587, 46, 55}, {u"독도", 4215, 9588, 149, 72}};

template <std::size_t N> constexpr int Count(const Place (&)[N]) { return static_cast<int>(N); }

const WWeatherData::Area kAreas[WWeatherData::kAreaCount] = {
    {u"서울경기", {u"서울/경기", 4112, 8194, 40, 42}, kSeoulGyeonggi, Count(kSeoulGyeonggi)},
    {u"영서", {u"강원/영서", 4114, 8199, 93, 44}, kYeongseo, Count(kYeongseo)},
    {u"영동", {u"강원/영동", 4104, 8200, 122, 17}, kYeongdong, Count(kYeongdong)},
    {u"충남", {u"충남", 4128, 8198, 34, 87}, kChungnam, Count(kChungnam)},
    {u"충북", {u"충북", 4121, 8197, 86, 87}, kChungbuk, Count(kChungbuk)},
    {u"전남", {u"전남", 4144, 8210, 31, 166}, kJeonnam, Count(kJeonnam)},
    {u"전북", {u"전북", 4135, 8209, 43, 126}, kJeonbuk, Count(kJeonbuk)},
    {u"경남", {u"경남", 4145, 8214, 121, 156}, kGyeongnam, Count(kGyeongnam)},
    {u"경북", {u"경북", 4134, 8213, 140, 88}, kGyeongbuk, Count(kGyeongbuk)},
    {u"제주", {u"제주도", 4152, 8211, 178, 127}, kJeju, Count(kJeju)},
    {u"울릉도", {u"울릉도", 4115, 8201, 180, 66}, kUlleung, Count(kUlleung)},
};

// The weekly map has forecast codes only.
const Place kWeekly[WWeatherData::kWeeklyCount] = {
    {u"", 0, 8195, 39, 42}, {u"", 0, 8200, 109, 7},  {u"", 0, 8196, 64, 94},
    {u"", 0, 8208, 50, 143}, {u"", 0, 8212, 131, 105}, {u"", 0, 8211, 178, 127},
};

const char16_t* const kCurrentNames[WWeatherData::kCurrentIcons] = {
    u"n알수없음", u"n맑음", u"n구름", u"n구름조금", u"n구름많음", u"n흐림", u"n안개", u"n황사", u"n이슬비",
    u"n비", u"n소나기", u"n진눈개비", u"n눈", u"n우박", u"n뇌우", u"n회오리바람", u"n번개"};

const char16_t* const kForecastNames[WWeatherData::kForecastIcons] = {
    u"n알수없음",     u"n맑음",           u"f맑고구름조금",   u"f맑으나때때로비", u"f맑으나때때로비",
    u"f맑으나때때로눈", u"f맑으나산고지역에눈", u"f맑은후구름", u"f맑은후비",       u"f맑은후비뇌우동반",
    u"f맑은후눈",     u"n구름많음",       u"f구름많고때때로비", u"f구름많고때때로눈", u"f구름낀후맑음",
    u"f구름낀후비",   u"f구름낀후눈",     u"n비",             u"f폭풍우",         u"f비눈이섞임",
    u"f비천둥번개동반", u"f비온후개임",   u"f비온후구름많음", u"f비온후눈",       u"n눈",
    u"f눈비가섞임",   u"f눈온후개임",     u"f눈온후비",       u"n안개",           u"f안개낀후맑음"};

// Upper ends (inclusive) of the code ranges and their slots.
struct Range {
    int last;
    int slot;
};
const Range kCurrentRanges[] = {{15, 6}, {18, 7}, {24, 8}, {34, 9}, {36, 10}, {40, 11}, {51, 12},
                                {56, 13}, {67, 14}, {68, 15}, {69, 16}};
const Range kForecastRanges[] = {{6, 4},   {9, 5},   {10, 6},  {11, 7},  {13, 8},  {14, 9},  {16, 10},
                                 {17, 11}, {21, 12}, {23, 13}, {24, 14}, {27, 15}, {29, 16}, {31, 17},
                                 {32, 18}, {33, 19}, {34, 20}, {35, 21}, {38, 22}, {39, 23}, {42, 24},
                                 {43, 25}, {47, 26}, {48, 27}, {50, 28}, {51, 29}};

int SlotOf(int code, int direct, const Range* ranges, std::size_t count) {
    if (code < 0) return 0;
    if (code <= direct) return code;
    for (std::size_t i = 0; i < count; ++i)
        if (code <= ranges[i].last) return ranges[i].slot;
    return 0;
}

// A precipitation byte of the short forecast: 255 none, else bit 7 snow and bits 0-6 percent.
void ForecastPrecipitation(std::uint8_t byte, std::int32_t& flag, std::int32_t& value) {
    if (byte == 255) {
        flag = -1;
        value = WDispObj::kNoValue;
        return;
    }
    flag = (byte & 0x80) ? 1 : 0;
    value = byte & 0x7F;
}

// A current precipitation word: 0xFFFF none, else bit 15 snow and bits 0-14 tenths.
void CurrentPrecipitation(std::uint16_t word, std::int32_t& flag, std::int32_t& value) {
    if (word == 0xFFFF) {
        flag = -1;
        value = WDispObj::kNoValue;
        return;
    }
    flag = (word & 0x8000) ? 1 : 0;
    value = static_cast<std::int32_t>((word & 0x7FFF) / 10);
}

} // namespace

const WWeatherData::Area* WWeatherData::Areas() { return kAreas; }
const WWeatherData::Place* WWeatherData::WeeklyPlaces() { return kWeekly; }

int WWeatherData::AreaOfCode(int code) {
    for (int i = 0; i < kAreaCount; ++i)
        if (code != 0 && (kAreas[i].region.currentCode == code || kAreas[i].region.forecastCode == code)) return i;
    return -1;
}

int WWeatherData::AreaOfImage(const char16_t* image) {
    if (!image) return -1;
    for (int i = 0; i < kAreaCount; ++i)
        if (std::u16string_view(kAreas[i].image) == image) return i;
    return -1;
}

int WWeatherData::CurrentIconSlot(int code) {
    // 68 and 69 are the whirlwind and lightning icons, which no other code reaches.
    return SlotOf(code, 6, kCurrentRanges, std::size(kCurrentRanges));
}

int WWeatherData::ForecastIconSlot(int code) { return SlotOf(code, 4, kForecastRanges, std::size(kForecastRanges)); }

const char16_t* WWeatherData::CurrentIconName(int slot) {
    return kCurrentNames[slot >= 0 && slot < kCurrentIcons ? slot : 0];
}

const char16_t* WWeatherData::ForecastIconName(int slot) {
    return kForecastNames[slot >= 0 && slot < kForecastIcons ? slot : 0];
}

void WWeatherData::FillFromRecord(const WIM& record, std::uint8_t day, WDispObj& o) {
    if (day == 0) {
        const WeatherCurrent& c = record.current;
        o.condition = c.code;
        o.current = static_cast<std::int32_t>(c.temperature / 10); // tenths, cut to whole degrees
        CurrentPrecipitation(c.precipitationA, o.precipitation[2], o.precipitation[0]);
        CurrentPrecipitation(c.precipitationB, o.precipitation[3], o.precipitation[1]);
    } else if (day <= 3) {
        const WeatherShort& s = record.shortForecast;
        o.condition = s.Field(0, day);
        o.temperatureA = static_cast<std::int8_t>(s.Field(2, day));
        o.temperatureB = static_cast<std::int8_t>(s.Field(1, day));
        if (day < 3) {
            ForecastPrecipitation(s.Field(3, day), o.precipitation[0], o.precipitation[2]);
            ForecastPrecipitation(s.Field(4, day), o.precipitation[1], o.precipitation[3]);
        }
    } else if (day <= 8) {
        const WeatherWeek& w = record.weekly;
        o.condition = w.codes[day - 4];
        o.temperatureA = w.highest;
        o.temperatureB = w.lowest;
    }
}

void WWeatherData::GetDispObj(int regionCode, std::uint8_t day, std::uint8_t /*mode*/,
                              std::vector<WDispObj>& out) const {
    out.clear();
    const Place* places = nullptr;
    int count = 0;
    if (day >= 4) {
        places = kWeekly;
        count = kWeeklyCount;
    } else if (regionCode == 0) {
        out.reserve(kAreaCount);
        for (const Area& a : kAreas) {
            WDispObj o = WDispObj::NoData(day);
            o.region = day == 0 ? a.region.currentCode : a.region.forecastCode;
            o.x = a.region.x;
            o.y = a.region.y;
            WIM record;
            if (CDARCWeather::instance()->getWeatherByRegionAndDay(static_cast<std::uint16_t>(o.region), day, record))
                FillFromRecord(record, day, o);
            out.push_back(o);
        }
        return;
    } else {
        const int area = AreaOfCode(regionCode);
        if (area < 0) return;
        places = kAreas[area].places;
        count = kAreas[area].placeCount;
    }
    for (int i = 0; i < count; ++i) {
        WDispObj o = WDispObj::NoData(day);
        o.region = day == 0 ? places[i].currentCode : places[i].forecastCode;
        o.x = places[i].x;
        o.y = places[i].y;
        WIM record;
        if (CDARCWeather::instance()->getWeatherByRegionAndDay(static_cast<std::uint16_t>(o.region), day, record))
            FillFromRecord(record, day, o);
        out.push_back(o);
    }
}

void WWeatherData::SetLocalMapVari(int regionCode, int& count, int& list) const {
    const int area = AreaOfCode(regionCode);
    if (area < 0) return;
    count = kAreas[area].placeCount;
    list = area;
}

int WWeatherData::GetRegionCode(const CString& /*name*/, std::uint8_t /*kind*/) const { return -1; }
