#include "tools/mkdevice/VoiceTexts.h"

#include "platform/base/Text.h"

#include <map>

namespace mkdev {

namespace {

// Distance phrases: 12-16 say 100, 150, 200, 250, 300 m; 17-33 say 400 m to 2 km by 100 m.
std::string Distance(int metres) {
    if (metres >= 1000 && metres % 1000 == 0) return std::to_string(metres / 1000) + "킬로미터 앞";
    if (metres > 1000) return std::to_string(metres / 1000) + "점" + std::to_string(metres % 1000 / 100) + "킬로미터 앞";
    return std::to_string(metres) + "미터 앞";
}

const std::map<int, std::string>& Words() {
    // The words of the sequence table's rows, chosen so that each row, after its distance
    // phrase, reads as a sentence (the manoeuvre codes are those of the junction guide tables).
    static const std::map<int, std::string> words = {
        {2, "당분간"},
        {34, "잠시 후"},
        {35, "지점에서"},
        {36, "에"},
        {37, "에서"},
        {38, "이어서"},
        {42, "1시"}, {43, "2시"}, {44, "3시"}, {45, "4시"}, {46, "5시"}, {47, "6시"},
        {48, "7시"}, {49, "8시"}, {50, "9시"}, {51, "10시"}, {52, "11시"}, {53, "12시"},
        {54, "진행"},
        {55, "도로를 따라 계속 주행하십시오"},
        {56, "회전교차로"},
        {57, "왼쪽"},
        {58, "오른쪽"},
        {59, "왼쪽으로"},
        {60, "직진으로"},
        {61, "지하차도 방향입니다"},
        {64, "고가차도 방향입니다"},
        {65, "측면 도로 방향입니다"},
        {66, "본선 방향입니다"},
        {67, "방향입니다"},
        {68, "고속도로"},
        {69, "진입로입니다"},
        {70, "출구입니다"},
        {71, "램프입니다"},
        {74, "좌회전입니다"},
        {75, "우회전입니다"},
        {76, "유턴입니다"},
        {77, "횡단보도입니다"},
        {78, "요금소입니다"},
        {79, "터널입니다"},
        {80, "철도 건널목입니다"},
        {81, "교량입니다"},
        {82, "안전 운행 지점입니다"},
        {83, "경유지"},
        {84, "목적지"},
        {85, "부근입니다"},
        {86, "경로 안내를 종료합니다"},
        {87, "가 전방에 있습니다"},
        // Safe-driving point kinds 1..14, framed by 118 and 119.
        {104, "과속 단속 카메라가"}, {105, "신호 위반 단속 카메라가"}, {106, "버스 전용 차로 단속 지점이"},
        {107, "사고 다발 지역이"}, {108, "급커브 구간이"}, {109, "낙석 주의 구간이"},
        {110, "어린이 보호 구역이"}, {111, "과속 방지턱이"}, {112, "철길 건널목이"},
        {113, "안개 주의 구간이"}, {114, "미끄럼 주의 구간이"}, {115, "주차 단속 구간이"},
        {116, "이동식 단속 지점이"}, {117, "사용자 등록 지점이"},
        {118, "전방에"},
        {119, "있습니다"},
        {134, "킬로미터입니다"},
        {146, "제한 속도는"},
        // Additional prompts (173 closes 168-172 and 175).
        {168, "경로를 다시 탐색합니다"}, {169, "교통 정보를 반영합니다"}, {170, "경로를 저장했습니다"},
        {171, "경유지를 추가했습니다"}, {172, "경유지를 삭제했습니다"}, {173, "잠시만 기다려 주십시오"},
        {175, "모의 주행을 시작합니다"}, {177, "모의 주행을 마칩니다"}, {178, "위성 신호를 수신했습니다"},
        {179, "위성 신호가 끊어졌습니다"},
        {184, "방면입니다"},
        {185, "방향"},
        {187, "나들목"},
        // Brands and LPG: the LPG clip comes before the brand clip, 119 closes.
        {188, "현대 주유소가"},
        {190, "엘지 주유소가"},
        {191, "엘피지 충전소와"},
        {192, "엘피지 충전소가"},
        {194, "에스케이 주유소가"},
        {195, "쌍용 주유소가"},
        {198, "휴게소"},
    };
    return words;
}

} // namespace

std::string MainClipText(int id) {
    if (id >= 12 && id <= 16) return Distance(100 + (id - 12) * 50);
    if (id >= 17 && id <= 33) return Distance(400 + (id - 17) * 100);
    if (id >= 148 && id <= 167) return std::to_string((id - 147) * 10);
    auto it = Words().find(id);
    if (it != Words().end()) return it->second;
    return "음성 " + std::to_string(id); // a clip no rule names says its number
}

std::string MessageText(int id) {
    switch (id) {
    case 17:
        return "경로 탐색을 완료했습니다";
    case 20:
        return "교통 정보에 따라 경로를 다시 탐색합니다";
    case 21:
        return "안전 운행 지점을 등록했습니다";
    case 24:
        return "경로를 벗어났습니다";
    default:
        return "안내 " + std::to_string(id);
    }
}

const std::vector<AddClipText>& AddClipTexts() {
    static const std::vector<AddClipText> texts = [] {
        std::vector<AddClipText> t = {
            // Places (the rest areas and interchanges are said by these).
            {u"가람", "가람"}, {u"누리", "누리"}, {u"나래", "나래"}, {u"다솜", "다솜"}, {u"바람", "바람"},
            {u"한울", "한울"},
            // Junctions keep their whole name.
            {u"누리JC", "누리 분기점"},
            // Roads.
            {u"누리고속도로", "누리 고속도로"}, {u"한울고속도로", "한울 고속도로"}, {u"국도3호선", "국도 3호선"},
            {u"국도37호선", "국도 37호선"}, {u"국도43호선", "국도 43호선"}, {u"국도44호선", "국도 44호선"},
            {u"지방도317호선", "지방도 317호선"},
            // Town sights.
            {u"가람시청", "가람 시청"}, {u"가람역", "가람역"},
        };
        for (int n = static_cast<int>(t.size()) + 1; n <= kAddClipCount; ++n)
            t.push_back({u"지명" + Utf8ToUtf16(std::to_string(n)), "지명 " + std::to_string(n)});
        return t;
    }();
    return texts;
}

std::vector<RestAreaEntry> SampleRestAreas() {
    auto cp = [](const char16_t* s) { return Utf16ToCp949(s); };
    // id, brand, LPG, repair, kind, value, name
    return {
        {1, 2, 1, 0, 0, 0, cp(u"누리휴게소(상)")}, // SK and LPG: "SK, LPG"
        {2, 0, 1, 1, 0, 0, cp(u"누리휴게소(하)")}, // no brand: "LPG, 정비"
        {3, 4, 0, 1, 2, 0, cp(u"가람IC")},
        {4, 1, 0, 0, 1, 0, cp(u"누리JC")},
    };
}

std::vector<HighwayEntry> SampleDirections() {
    auto cp = [](const char16_t* s) { return Utf16ToCp949(s); };
    return {
        {1, cp(u"누리고속도로;다솜")}, // east
        {2, cp(u"누리고속도로;가람")}, // west
        {3, cp(u"한울고속도로;바람")}, // north
        {4, cp(u"한울고속도로;다솜")}, // south
    };
}

} // namespace mkdev
