#include "tools/mkdevice/BroadcastContent.h"

#include "platform/base/Text.h"
#include "tools/mkdevice/NetworkModel.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace mkdev {

std::vector<StockItem> SampleStockItems() {
    // Fictional listed companies; keys (code x 256 + suffix) ascend.
    static const char16_t* const kNames[] = {
        u"가람전자",   u"가온제약",   u"나래건설",   u"노을식품",   u"다온화학",   u"단비통신",   u"도담철강",
        u"라온유통",   u"마루해운",   u"모아증권",   u"바다수산",   u"보람은행",   u"빛나리조명", u"삼각산업",
        u"삼나무제지", u"삼다물산",   u"삼미섬유",   u"삼봉기계",   u"새봄화장품", u"소담에너지", u"솔빛항공",
        u"아라조선",   u"아름생명",   u"여울자동차", u"온누리보험", u"우리별전지", u"이음반도체", u"자람건설",
        u"작은별완구", u"초롱제과",   u"큰바위시멘트", u"타래방직", u"파랑정유",   u"하늬가스",   u"한결물류",
        u"해솔제약",   u"햇살농산",   u"호수리츠",   u"흰구름여행", u"늘품상사"};
    std::vector<StockItem> items;
    std::uint16_t code = 120;
    for (const char16_t* name : kNames) {
        items.push_back({code, 0, name});
        code = static_cast<std::uint16_t>(code + 37);
    }
    // One preferred share with suffix 'A' beside its ordinary one.
    items.push_back({593, 'A', u"삼각산업우"});
    std::sort(items.begin(), items.end(), [](const StockItem& a, const StockItem& b) {
        return (a.code << 8 | a.suffix) < (b.code << 8 | b.suffix);
    });
    return items;
}

std::vector<std::u16string> SampleMarkets() { return {u"KOSPI", u"KOSDAQ", u"KOSPI200", u"선물"}; }

std::vector<std::vector<WeatherPlace>> SampleWeatherGroups(int which) {
    struct Place {
        const char16_t* name;
        std::uint16_t forecast;
        std::uint16_t current;
    };
    // The sub-regions of each region map, in the receiver's group order.
    static const std::vector<std::vector<Place>> kMaps = {
        {{u"동두천", 9491, 4099}, {u"서울", 9476, 4112}, {u"인천", 9479, 4113}, {u"수원", 9504, 4116},
         {u"양평", 9497, 4162}, {u"이천", 9508, 4163}},
        {{u"춘천", 9557, 4102}, {u"홍천", 9558, 4165}, {u"원주", 9559, 4114}, {u"인제", 9555, 4164},
         {u"태백", 9574, 4166}},
        {{u"강릉", 9584, 4104}, {u"대관령", 9572, 4101}, {u"속초", 9575, 4097}, {u"동해", 9585, 4105}},
        {{u"서산", 9527, 4119}, {u"보령", 9537, 4177}, {u"부여", 9543, 4178}, {u"아산", 9540, 4176},
         {u"금산", 9545, 4179}},
        {{u"충주", 9510, 4118}, {u"제천", 9513, 4167}, {u"청주", 9521, 4121}, {u"보은", 9522, 4169},
         {u"대전", 9541, 4128}},
        {{u"무안", 9608, 4146}, {u"목포", 9617, 4147}, {u"장흥", 9624, 4192}, {u"광주", 9735, 4144},
         {u"고흥", 9730, 4194}, {u"여수", 9728, 4148}},
        {{u"군산", 9589, 4133}, {u"부안", 9592, 4180}, {u"정읍", 9601, 4182}, {u"전주", 9593, 4135},
         {u"남원", 9605, 4183}},
        {{u"거창", 9816, 4209}, {u"남해", 9813, 4214}, {u"진주", 9828, 4160}, {u"마산", 9800, 4137},
         {u"거제", 9811, 4213}, {u"부산", 9798, 4145}},
        {{u"문경", 9765, 4198}, {u"구미", 9781, 4201}, {u"대구", 9785, 4134}, {u"안동", 9777, 4130},
         {u"울진", 9761, 4120}, {u"포항", 9763, 4132}},
        {{u"제주", 9750, 4151}, {u"서귀포", 9753, 4153}, {u"성산포", 9749, 4195}},
        {{u"울릉도", 9587, 4115}, {u"독도", 9588, 4215}},
    };
    // The country map's regions: name, current code, forecast code.
    static const std::vector<Place> kCountry = {
        {u"서울/경기", 8194, 4112}, {u"강원/영서", 8199, 4114}, {u"강원/영동", 8200, 4104},
        {u"충남", 8198, 4128},      {u"충북", 8197, 4121},      {u"전남", 8210, 4144},
        {u"전북", 8209, 4135},      {u"경남", 8214, 4145},      {u"경북", 8213, 4134},
        {u"제주도", 8211, 4152},    {u"울릉도", 8201, 4115}};
    std::vector<std::vector<WeatherPlace>> groups;
    if (which == 2) {
        static const Place kWeekly[] = {{u"서울경기", 8195, 0}, {u"강원", 8200, 0}, {u"충청", 8196, 0},
                                        {u"전라", 8208, 0},     {u"경상", 8212, 0}, {u"제주", 8211, 0}};
        for (const Place& p : kWeekly) groups.push_back({{p.name, p.forecast}});
        return groups;
    }
    for (const auto& map : kMaps) {
        std::vector<WeatherPlace> g;
        for (const Place& p : map) g.push_back({p.name, which == 0 ? p.current : p.forecast});
        groups.push_back(std::move(g));
    }
    // Group 11: the country-map codes that are no place's code.
    std::vector<WeatherPlace> rest;
    for (const Place& c : kCountry) {
        std::uint16_t code = which == 0 ? c.current : c.forecast;
        bool place = false;
        for (const auto& g : groups)
            for (const WeatherPlace& p : g) place |= p.code == code;
        if (!place) rest.push_back({c.name, code});
    }
    groups.push_back(std::move(rest));
    return groups;
}

std::vector<std::u16string> SampleCurrentTexts() {
    // Codes by the weather map's current icon ranges: 0-6 themselves, 7-15 fog, 16-18 dust,
    // 19-24 drizzle, 25-34 rain, 35-36 showers, 37-40 sleet, 41-51 snow, 52-56 hail, 57-67
    // thunderstorms, 68 whirlwind, 69 lightning.
    std::vector<std::u16string> t = {u"알수없음", u"맑음", u"구름", u"구름조금", u"구름많음", u"흐림", u"안개"};
    auto add = [&](int upTo, std::initializer_list<const char16_t*> words) {
        std::size_t k = 0;
        std::vector<const char16_t*> w(words);
        while (static_cast<int>(t.size()) <= upTo) t.push_back(w[k++ % w.size()]);
    };
    add(15, {u"옅은안개", u"안개", u"짙은안개"});
    add(18, {u"황사", u"옅은황사", u"짙은황사"});
    add(24, {u"이슬비", u"약한이슬비", u"강한이슬비"});
    add(34, {u"비", u"약한비", u"강한비"});
    add(36, {u"소나기", u"강한소나기"});
    add(40, {u"진눈깨비", u"약한진눈깨비"});
    add(51, {u"눈", u"약한눈", u"강한눈"});
    add(56, {u"우박", u"약한우박"});
    add(67, {u"뇌우", u"천둥번개"});
    t.push_back(u"회오리바람");
    t.push_back(u"번개");
    return t;
}

std::vector<std::u16string> SampleForecastTexts() {
    // Codes by the weather map's forecast icon ranges.
    static const std::pair<int, const char16_t*> kRanges[] = {
        {0, u"알수없음"},     {1, u"맑음"},           {2, u"맑고구름조금"}, {3, u"맑으나때때로비"},
        {4, u"맑으나때때로비"}, {6, u"맑으나때때로눈"}, {9, u"맑으나산고지역에눈"}, {10, u"맑은후구름"},
        {11, u"맑은후비"},     {13, u"맑은후비"},     {14, u"맑은후비뇌우동반"}, {16, u"맑은후눈"},
        {17, u"구름많음"},     {21, u"구름많고때때로비"}, {23, u"구름많고때때로눈"}, {24, u"구름낀후맑음"},
        {27, u"구름낀후비"},   {29, u"구름낀후눈"},   {31, u"비"},          {32, u"폭풍우"},
        {33, u"비눈이섞임"},   {34, u"비천둥번개동반"}, {35, u"비온후개임"}, {38, u"비온후구름많음"},
        {39, u"비온후눈"},     {42, u"눈"},           {43, u"눈비가섞임"},  {47, u"눈온후개임"},
        {48, u"눈온후비"},     {50, u"안개"},         {51, u"안개낀후맑음"}};
    std::vector<std::u16string> t;
    for (const auto& [upTo, text] : kRanges)
        while (static_cast<int>(t.size()) <= upTo) t.push_back(text);
    return t;
}

std::vector<std::u16string> SampleSpecialTexts() {
    return {u"호우주의보", u"대설주의보", u"강풍주의보", u"태풍주의보", u"황사주의보"};
}

namespace {

void PutName(std::vector<std::uint8_t>& out, const std::u16string& name) {
    std::string c = Utf16ToCp949(name);
    if (c.size() > 255) throw std::runtime_error("broadcast table name too long");
    out.push_back(static_cast<std::uint8_t>(c.size()));
    out.insert(out.end(), c.begin(), c.end());
}
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
}

std::vector<std::uint8_t> TextTable(const std::vector<std::u16string>& texts) {
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(texts.size())};
    for (const auto& t : texts) PutName(out, t);
    return out;
}

std::vector<std::uint8_t> RegionTable(const std::vector<std::vector<WeatherPlace>>& groups) {
    std::vector<std::uint8_t> out;
    Put16(out, static_cast<std::uint32_t>(groups.size()));
    std::vector<WeatherPlace> list;
    for (const auto& g : groups) {
        list.insert(list.end(), g.begin(), g.end());
        Put16(out, static_cast<std::uint32_t>(list.size()));
    }
    for (const WeatherPlace& p : list) Put16(out, p.code);
    // Every listed code has one record: the records are the listed codes in ascending order.
    std::map<std::uint16_t, std::u16string> records;
    for (const WeatherPlace& p : list)
        if (!records.emplace(p.code, p.name).second) throw std::runtime_error("weather code listed twice");
    for (const auto& [code, name] : records) Put16(out, code);
    for (const auto& [code, name] : records) PutName(out, name);
    return out;
}

} // namespace

void WriteBroadcastContentFiles(const DeviceLayout& layout) {
    const std::string dir = layout.mapData + "/DARC";
    std::filesystem::create_directories(dir);
    std::vector<std::uint8_t> items;
    const auto stock = SampleStockItems();
    Put32(items, static_cast<std::uint32_t>(stock.size()));
    for (const StockItem& s : stock) {
        Put32(items, static_cast<std::uint32_t>(s.code) << 8 | s.suffix);
        PutName(items, s.name);
    }
    WriteFileAtomic(dir + "/SIMID.bin", items);
    WriteFileAtomic(dir + "/SIMTable01.bin", TextTable(SampleMarkets()));
    WriteFileAtomic(dir + "/WIMTable01.bin", TextTable(SampleCurrentTexts()));
    WriteFileAtomic(dir + "/WIMTable02.bin", TextTable(SampleForecastTexts()));
    WriteFileAtomic(dir + "/WIMTable03.bin", TextTable(SampleSpecialTexts()));
    WriteFileAtomic(dir + "/WIMID_Cur.bin", RegionTable(SampleWeatherGroups(0)));
    WriteFileAtomic(dir + "/WIMID_Short.bin", RegionTable(SampleWeatherGroups(1)));
    WriteFileAtomic(dir + "/WIMID_Week.bin", RegionTable(SampleWeatherGroups(2)));
}

} // namespace mkdev
