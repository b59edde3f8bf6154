// The sample region's areas and places. Every place stands beside a road of the sample network
// (within a few tens of metres), so that a route can start or end there; every area's node
// position is a point on one of its roads.
#include "tools/mkdevice/PlaceTable.h"

#include "platform/base/Text.h"
#include "tools/mkdevice/Networks.h"

#include <cstdio>

namespace mkdev {

namespace {

constexpr std::int32_t kRegionX = 45720000; // the sample region's south-west corner
constexpr std::int32_t kRegionY = 13470000;

class Builder {
public:
    PlaceTable t;

    int AreaOf(int level, const char16_t* name, int parent, std::vector<KmBox> boxes, double lx, double ly,
               int downType = 0, int parcels = 0) {
        Area a;
        a.level = level;
        a.name = name;
        a.parent = parent;
        a.boxes = std::move(boxes);
        a.labelX = a.nodeX = lx;
        a.labelY = a.nodeY = ly;
        a.downType = downType;
        a.parcels = parcels;
        t.areas.push_back(a);
        return static_cast<int>(t.areas.size()) - 1;
    }

    Place& P(const char16_t* name, double x, double y, const char16_t* major = u"", const char16_t* minor = u"") {
        Place p;
        p.name = name;
        p.x = x;
        p.y = y;
        p.cls = {major, minor};
        t.places.push_back(p);
        return t.places.back();
    }
};

void Areas(Builder& b) {
    const int hanul = b.AreaOf(0, u"한울남도", -1, {{0, 0, 20, 20}, {0, 20, 9, 30}}, 12.0, 11.2);
    const int nuri = b.AreaOf(0, u"누리광역시", -1, {{20, 12, 30, 30}, {9, 20, 20, 30}}, 24.2, 22.5);
    // Level 1.
    const int garam = b.AreaOf(1, u"가람시", hanul, {{9, 0, 20, 20}}, 12.1, 11.5);
    b.t.areas.back().townLabel = true;
    b.t.areas.back().nodeY = 11.22; // on 시청로, below the square that carries the label
    const int narae = b.AreaOf(1, u"나래군", hanul, {{0, 0, 9, 30}}, 4.5, 20.5);
    const int dasom = b.AreaOf(1, u"다솜군", hanul, {{20, 0, 30, 12}}, 24.5, 3.5);
    const int baram = b.AreaOf(1, u"바람군", nuri, {{20, 12, 30, 30}, {9, 20, 20, 30}}, 24.5, 22.5);
    // Level 2: the neighbourhoods of 가람시 (parcels below; 동부동 is its own result).
    b.AreaOf(2, u"향교동", garam, {{10.3, 9.7, 11.5, 11.5}}, 11.0, 10.6, 3, 90);
    b.t.areas.back().storedBlock = true;
    b.AreaOf(2, u"시청동", garam, {{11.5, 9.7, 12.7, 11.5}}, 12.1, 11.2, 3, 250);
    b.AreaOf(2, u"시장동", garam, {{12.7, 9.7, 13.9, 11.5}}, 13.3, 10.6, 3, 120);
    b.AreaOf(2, u"서문동", garam, {{10.3, 11.5, 11.5, 13.3}}, 11.0, 12.4, 3, 100);
    b.AreaOf(2, u"역전동", garam, {{11.5, 11.5, 12.7, 13.3}}, 12.1, 11.8, 3, 150);
    b.AreaOf(2, u"동부동", garam, {{12.7, 11.5, 13.9, 13.3}}, 13.3, 12.4, 6);
    b.AreaOf(2, u"호수동", garam, {{14.0, 9.0, 20.0, 19.0}}, 14.6, 12.3, 3, 60);
    b.AreaOf(2, u"북부동", garam, {{10.5, 13.5, 13.5, 17.0}}, 11.8, 15.0, 3, 40);
    // Townships with villages.
    const int naraeEup = b.AreaOf(2, u"나래읍", narae, {{3.5, 19.5, 5.5, 21.5}}, 4.5, 20.5, 2);
    b.t.areas.back().townLabel = true;
    b.AreaOf(3, u"나래리", naraeEup, {{3.5, 19.5, 4.5, 21.5}}, 4.0, 20.5, 3, 30);
    b.AreaOf(3, u"새터리", naraeEup, {{4.5, 19.5, 5.5, 21.5}}, 5.0, 20.5, 3, 25);
    const int nuriMyeon = b.AreaOf(2, u"누리면", narae, {{3.0, 6.5, 9.0, 9.5}}, 6.0, 7.76, 2);
    b.AreaOf(3, u"휴게리", nuriMyeon, {{3.0, 6.5, 9.0, 9.5}}, 6.0, 7.76, 3, 1);
    const int dasomMyeon = b.AreaOf(2, u"다솜면", dasom, {{23.5, 2.5, 25.5, 4.5}}, 24.5, 3.5, 2);
    b.t.areas.back().townLabel = true;
    b.AreaOf(3, u"다솜리", dasomMyeon, {{23.5, 2.5, 24.5, 4.5}}, 24.0, 3.5, 3, 20);
    b.AreaOf(3, u"솔밭리", dasomMyeon, {{24.5, 2.5, 25.5, 4.5}}, 25.0, 3.5, 3, 20);
    const int baramMyeon = b.AreaOf(2, u"바람면", baram, {{23.5, 21.5, 25.5, 23.5}}, 24.5, 22.5, 2);
    b.t.areas.back().townLabel = true;
    b.AreaOf(3, u"바람리", baramMyeon, {{23.5, 21.5, 24.5, 23.5}}, 24.0, 22.5, 3, 30);
    b.AreaOf(3, u"언덕리", baramMyeon, {{24.5, 21.5, 25.5, 23.5}}, 25.0, 22.5, 3, 20);
}

void Places(Builder& b) {
    const char16_t *med = u"의료", *fin = u"금융", *inn = u"숙박", *food = u"음식", *traffic = u"교통시설",
                   *hw = u"고속도로시설";
    // 가람시: offices, schools, parks.
    {
        Place& p = b.P(u"가람시청", 12.0, 11.25);
        p.landmark = true;
        p.labelX = 12.0;
        p.labelY = 11.3;
    }
    b.P(u"가람시의회", 12.1, 11.25);
    b.P(u"가람경찰서", 11.4, 10.62);
    b.P(u"가람소방서", 12.9, 10.62);
    b.P(u"가람우체국", 12.6, 11.22);
    b.P(u"가람세무서", 10.8, 11.22);
    b.P(u"가람교육청", 11.0, 12.42);
    b.P(u"가람시립도서관", 12.2, 12.42);
    b.P(u"가람문화회관", 13.2, 12.42);
    b.P(u"가람종합운동장", 14.62, 12.4);
    b.P(u"가람초등학교", 10.8, 10.02);
    b.P(u"가람중학교", 11.0, 13.02);
    b.P(u"가람고등학교", 12.8, 13.02);
    b.P(u"가람여자고등학교", 13.4, 10.02);
    b.P(u"가람대학교", 11.82, 14.5);
    b.P(u"향교초등학교", 11.22, 10.3);
    {
        // The park's entrance on 국도44호선; its label stands in the middle of the lake.
        Place& p = b.P(u"가람호수공원", 16.5, 18.2);
        p.landmark = true;
        p.labelX = 16.5;
        p.labelY = 17.0;
    }
    b.P(u"가람중앙공원", 11.82, 11.5);
    b.P(u"가람시종합사회복지관", 10.62, 12.0); // exactly 20 bytes
    // Hospitals and pharmacies.
    b.P(u"가람중앙종합병원", 11.9, 11.02, med, u"병원");
    b.P(u"가람의료원", 13.3, 10.62, med, u"병원");
    b.P(u"가람소아과의원", 10.9, 12.42, med, u"병원");
    b.P(u"가람튼튼재활의학과", 12.42, 12.7, med, u"병원");
    b.P(u"미소치과의원", 11.5, 11.82, med, u"병원");
    b.P(u"밝은안과의원", 13.02, 11.0, med, u"병원");
    b.P(u"온누리약국", 12.3, 11.22, med, u"약국");
    b.P(u"시청앞약국", 12.15, 11.22, med, u"약국");
    b.P(u"가람약국", 13.1, 11.82, med, u"약국");
    // Banks, lodging, food.
    b.P(u"국민은행 가람점", 12.7, 11.25, fin, u"은행");
    b.P(u"가람신협", 12.3, 12.42, fin, u"은행");
    b.P(u"우리은행 가람지점", 11.6, 12.42, fin, u"은행");
    b.P(u"가람새마을금고", 13.3, 13.02, fin, u"은행");
    b.P(u"가람호텔", 13.62, 12.2, inn, u"호텔");
    b.P(u"가람관광호텔", 14.62, 11.2, inn, u"호텔");
    b.P(u"호수모텔", 17.0, 18.5, inn, u"모텔");
    b.P(u"가람버거", 12.2, 10.02, food, u"패스트푸드");
    b.P(u"치킨나라", 11.6, 10.62, food, u"패스트푸드");
    b.P(u"가람식당", 12.0, 12.42, food, u"한식");
    b.P(u"똠양꿍식당", 13.2, 11.22, food, u"한식"); // a syllable outside KS X 1001
    b.P(u"가람갈비", 10.9, 13.02, food, u"한식");
    b.P(u"가람분식", 12.42, 10.3, food, u"한식");
    b.P(u"시장국밥", 12.9, 10.02, food, u"한식");
    b.P(u"향교칼국수", 11.22, 12.7, food, u"한식");
    // Fuel, gas, parking, repair.
    const struct {
        const char16_t* name;
        double x, y;
    } fuel[] = {{u"LG주유소", 11.82, 9.0},       {u"SK가람주유소", 11.82, 6.0},  {u"가람셀프주유소", 13.62, 10.4},
                {u"시청주유소", 10.62, 11.4},    {u"역전주유소", 13.02, 12.0},   {u"동부주유소", 16.0, 11.97},
                {u"남문주유소", 11.82, 9.6},     {u"향교주유소", 11.22, 12.9},   {u"북부주유소", 11.82, 15.5},
                {u"호수주유소", 14.0, 17.08},    {u"회전주유소", 14.62, 11.0},   {u"나래주유소", 3.02, 17.0},
                {u"다솜주유소", 23.0, 1.52},     {u"바람주유소", 22.52, 25.5},   {u"누리휴게소주유소", 6.1, 7.77}};
    int k = 0;
    for (const auto& f : fuel) {
        Place& p = b.P(f.name, f.x, f.y, traffic, u"주유소");
        p.brand = k == 0 ? 46 : 44 + (k % 5);
        p.hours = u"00:00-24:00";
        ++k;
    }
    b.P(u"가람LPG충전소", 11.82, 5.0, traffic, u"LPG충전소");
    b.P(u"나래가스충전소", 2.02, 14.1, traffic, u"LPG충전소");
    b.P(u"가람공영주차장", 12.42, 10.8, traffic, u"주차장").brand = 69;
    b.P(u"시청주차장", 12.0, 10.62, traffic, u"주차장").brand = 31;
    b.P(u"역전주차장", 12.7, 11.82, traffic, u"주차장").brand = 31;
    b.P(u"가람자동차정비", 13.62, 10.7, traffic, u"정비소");
    b.P(u"바람카센터", 24.7, 22.02, traffic, u"정비소");
    // The stations of 가람선 along 역전로, in line order.
    int order = 0;
    for (auto [name, x] : {std::pair{u"서문역", 10.7}, std::pair{u"향교역", 11.3}, std::pair{u"시청역", 11.9},
                           std::pair{u"가람역", 12.5}, std::pair{u"동부역", 13.5}, std::pair{u"회전교차로역", 14.3}}) {
        Place& p = b.P(name, x, 11.82, traffic, u"지하철역");
        p.order = ++order;
        if (std::u16string(name) == u"가람역") {
            p.landmark = true;
            p.labelX = 12.5;
            p.labelY = 11.9;
        }
    }
    // Expressway facilities in road order.
    order = 0;
    for (auto [name, x, y] : {std::tuple{u"누리휴게소", 6.0, 7.77}, std::tuple{u"가람IC", 11.6, 7.82},
                              std::tuple{u"가람터널", 17.0, 7.97}, std::tuple{u"누리JC", 20.85, 7.87}}) {
        Place& p = b.P(name, x, y, hw, u"누리고속도로");
        p.road = u"누리고속도로";
        p.order = ++order;
    }
    order = 0;
    for (auto [name, x, y] : {std::tuple{u"한울터널", 21.06, 14.5}, std::tuple{u"한울졸음쉼터", 21.06, 20.0}}) {
        Place& p = b.P(name, x, y, hw, u"한울고속도로");
        p.road = u"한울고속도로";
        p.order = ++order;
    }
    // Towns.
    b.P(u"나래군청", 4.2, 20.52);
    b.P(u"나래읍사무소", 4.7, 20.52);
    b.P(u"나래초등학교", 4.2, 21.02);
    b.P(u"나래시장", 4.7, 20.02);
    b.P(u"나래연세병원", 4.3, 20.02, med, u"병원");
    b.P(u"나래약국", 4.8, 21.02, med, u"약국");
    b.P(u"농협 나래지점", 4.02, 20.3, fin, u"은행");
    b.P(u"나래모텔", 4.52, 20.7, inn, u"모텔");
    b.P(u"나래순대국", 5.02, 20.3, food, u"한식");
    b.P(u"다솜면사무소", 24.2, 3.52);
    b.P(u"다솜초등학교", 24.7, 3.52);
    b.P(u"다솜의원", 24.2, 3.02, med, u"병원");
    b.P(u"다솜약국", 24.7, 3.02, med, u"약국");
    b.P(u"다솜국수", 24.2, 4.02, food, u"한식");
    b.P(u"바람면사무소", 24.2, 22.52);
    b.P(u"바람초등학교", 24.7, 22.52);
    b.P(u"바람병원", 24.2, 22.02, med, u"병원");
    b.P(u"바람시장", 24.7, 23.02);
    b.P(u"바람손칼국수", 24.2, 23.02, food, u"한식");
    // Shops along the town's streets.
    const char16_t* shops[] = {u"행복마트",   u"우리떡집",   u"하나문구",   u"새봄꽃집",   u"푸른안경",
                               u"한빛서점",   u"동네세탁소", u"가람마트",   u"가람사진관", u"별빛카페",
                               u"가람제과",   u"솔향기찻집", u"가람철물",   u"대한부동산", u"가람이발관",
                               u"초록약초방", u"가람수선집", u"해맑은학원", u"가람태권도", u"가람피아노",
                               u"소망교회",   u"가람성당",   u"가람헬스",   u"가람꽃방",   u"가람정육점",
                               u"가람슈퍼",   u"동문문구",   u"남문떡방앗간", u"시장건어물", u"역전다방"};
    const double rows[] = {10.0, 10.6, 11.2, 11.8, 12.4, 13.0};
    int s = 0;
    auto slot = [&](const char16_t* name, const char16_t* major, const char16_t* minor) {
        const double y = rows[s % 6] + 0.03;
        const double x = 10.7 + 0.27 * ((s * 7) % 11) + 0.04 * (s / 66);
        b.P(name, x, y, major, minor);
        ++s;
    };
    for (const char16_t* name : shops) slot(name, u"", u"");
    const struct {
        const char16_t *name, *major, *minor;
    } more[] = {{u"가람한의원", med, u"병원"},        {u"튼튼치과의원", med, u"병원"},
                {u"가람정형외과병원", med, u"병원"},      {u"시장약국", med, u"약국"},
                {u"역전약국", med, u"약국"},          {u"하나은행 가람지점", fin, u"은행"},
                {u"가람농협", fin, u"은행"},          {u"가람모텔", inn, u"모텔"},
                {u"역전여관", inn, u"모텔"},          {u"가람짜장", food, u"한식"},
                {u"가람떡볶이", food, u"한식"},       {u"피자나라", food, u"패스트푸드"},
                {u"호수식당", food, u"한식"},         {u"가람꽃게탕", food, u"한식"}};
    for (const auto& m : more) slot(m.name, m.major, m.minor);
    // Public offices of the small towns.
    b.P(u"나래파출소", 4.02, 20.8);
    b.P(u"나래우체국", 4.52, 21.02);
    b.P(u"나래중학교", 5.02, 20.8);
    b.P(u"다솜파출소", 24.02, 3.3);
    b.P(u"다솜우체국", 24.52, 4.02);
    b.P(u"바람파출소", 24.02, 22.3);
    b.P(u"바람우체국", 24.52, 23.02);
    b.P(u"바람중학교", 25.02, 22.3);
}

} // namespace

int PlaceTable::ProvinceOf(int area) const {
    while (area >= 0 && areas[static_cast<std::size_t>(area)].level > 0) area = areas[static_cast<std::size_t>(area)].parent;
    return area;
}

int PlaceTable::DistrictAt(double x, double y) const {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (areas[i].level != 1) continue;
        for (const KmBox& box : areas[i].boxes)
            if (box.Contains(x, y)) return static_cast<int>(i);
    }
    return -1;
}

std::vector<NearbyEntry> SampleNearby(int category) {
    static const char16_t* const kMinor[10][2] = {{u"병원", u""},   {u"약국", u""},     {u"LPG충전소", u""},
                                                  {u"주유소", u""}, {u"정비소", u""},   {u"주차장", u""},
                                                  {u"은행", u""},   {u"호텔", u"모텔"}, {u"패스트푸드", u""},
                                                  {u"지하철역", u""}};
    // Picture codes (the skin's "DisSymbol\Landmark\NNN") of the unbranded categories: hospital,
    // pharmacy, bank, hotel (motels their own), fast food and subway; LPG stations, repair shops,
    // fuel stations and car parks get brand codes below or in the place table.
    static constexpr int kCategoryCode[10] = {50, 51, 0, 0, 0, 0, 52, 53, 55, 56};
    static constexpr int kMotelCode = 54;
    std::vector<NearbyEntry> out;
    if (category < 0 || category > 9) return out;
    auto endsWith = [](const std::u16string& s, const std::u16string& end) {
        return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
    };
    int serial = 0;
    for (const Place& p : SamplePlaces().places) {
        if (p.cls.minor != kMinor[category][0] && (kMinor[category][1][0] == 0 || p.cls.minor != kMinor[category][1]))
            continue;
        NearbyEntry e;
        e.x = p.x;
        e.y = p.y;
        // Facilities without a brand of their own carry their category's picture code.
        e.brand = p.brand != 0 ? p.brand : kCategoryCode[category];
        if (category == 7 && p.cls.minor == u"모텔") e.brand = kMotelCode;
        ++serial;
        switch (category) {
        case 0:
            // Hospitals; clinics whose names take no "병원" stay out, but for a name too long
            // to take it (the reader keeps it whole).
            if (endsWith(p.name, u"병원"))
                e.name = p.name.substr(0, p.name.size() - 2);
            else if (Utf16ToCp949(p.name).size() > 16)
                e.name = p.name;
            else
                continue;
            break;
        case 1:
            e.name = endsWith(p.name, u"약국") ? p.name.substr(0, p.name.size() - 2) : p.name;
            break;
        case 2:
        case 3:
        case 4:
        case 5:
            e.name.clear(); // 8-byte records carry no name
            if (category == 2) e.brand = 10 + serial % 2;
            if (category == 4) e.brand = 20 + serial % 2;
            break;
        case 6: {
            const std::size_t bank = p.name.find(u"은행");
            e.name = bank != std::u16string::npos && bank > 0 ? p.name.substr(0, bank) : p.name;
            break;
        }
        default:
            e.name = p.name;
        }
        out.push_back(e);
    }
    return out;
}

NetPoint SampleNet(double eastKm, double northKm) {
    return KmToNet(kRegionX, kRegionY, eastKm, northKm);
}

const PlaceTable& SamplePlaces() {
    static const PlaceTable table = [] {
        Builder b;
        Areas(b);
        Places(b);
        int n = 0;
        for (Place& p : b.t.places) {
            p.district = b.t.DistrictAt(p.x, p.y);
            ++n;
            char phone[32];
            std::snprintf(phone, sizeof phone, "031-5%02d-%04d", n % 100, 1000 + n * 37 % 9000);
            // Every seventh place and the parks have no telephone.
            const bool park = p.name.find(u"공원") != std::u16string::npos;
            if (n % 7 != 0 && !park)
                for (const char* c = phone; *c; ++c) p.phone += static_cast<char16_t>(*c);
            if (p.hours.empty() && !park) p.hours = u"09:00-18:00";
            p.intro = p.name + u"입니다.";
        }
        // One long introduction (3,000 bytes in code page 949: 1,500 syllables).
        for (Place& p : b.t.places)
            if (p.name == u"가람호수공원") {
                p.intro.clear();
                while (p.intro.size() < 1500) p.intro += u"가람호수공원은호수를따라걷는산책길이아름답습니다";
                p.intro.resize(1500);
            }
        return std::move(b.t);
    }();
    return table;
}

} // namespace mkdev
