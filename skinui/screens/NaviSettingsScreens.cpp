// The settings pages: a titled window, the page's title frame, the item list of tab panels (one
// per tab, each filled by its rows) and the tab strip at the foot; and the save-location page.
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "skinui/main/NaviMenus.h"
#include "skinui/screens/NaviScreenCatalogue.h"
#include "skinui/screens/NaviScreenTable.h"

#include <algorithm>
#include <initializer_list>

using namespace rows;

namespace {

constexpr const char16_t* kCfg = u"Configure";
constexpr const char16_t* kNull = u"NULL";

constexpr ScreenRow ItemList(const char16_t* name) { return ScreenRow{.kind = RowKind::ItemList, .name = name}; }
constexpr ScreenRow TabPanel(const char16_t* name, std::span<const ScreenRow> sub) {
    return ScreenRow{.kind = RowKind::TabPanel, .name = name, .sub = sub};
}
constexpr ScreenRow SettingsTabs(std::span<const char16_t* const> names, std::span<const char16_t* const> texts) {
    return ScreenRow{.kind = RowKind::Tabs, .name = u"환경설정탭", .x = 4, .y = 284, .w = 232, .h = 36,
                     .flags = kVisible, .subGroup = u"Window", .items = names, .texts = texts};
}
// The page's title frame, at 0, 0 in its image's size.
constexpr ScreenRow Title(const char16_t* name) { return Frame(name, 0, 0, 0, 0, nullptr); }

// ---- Display ----
constexpr const char16_t* kLevels[] = {u"변경없음", u"4레벨", u"5레벨", u"6레벨", u"7레벨", u"8레벨", u"9레벨"};
constexpr const char16_t* kNightStart[] = {u"16시", u"17시", u"18시", u"19시", u"20시",
                                           u"21시", u"22시", u"23시", u"24시"};
constexpr const char16_t* kNightEnd[] = {u"04시", u"05시", u"06시", u"07시", u"08시",
                                         u"09시", u"10시", u"11시", u"12시"};

constexpr ScreenRow kDisplayGeneral[] = {
    Frame(u"Background", 25, 59, 196, 33, kCfg),
    Frame(u"Background", 25, 133, 196, 33, kCfg),
    Frame(u"Background", 25, 208, 196, 33, kCfg),
    Heading(u"지도모드", 8, 37, u"Configure\\Display"),
    Heading(u"궤적표시", 8, 111, u"Configure\\Display"),
    Heading(u"모드설정", 8, 185, u"Configure\\Display"),
    RadioGroup(u"지도모드그룹", kCfg),
    Radio(u"고정", 34, 65), Radio(u"회전", 95, 65), Radio(u"3차원", 155, 65),
    RadioGroup(u"궤적표시그룹", kCfg),
    Radio(u"설정", 34, 139), Radio(u"해제", 95, 139),
    RadioGroup(u"모드설정그룹", kCfg),
    Radio(u"주행", 34, 214), Radio(u"보행", 95, 214),
    Apply(u"Apply", 71, 256),
    Button(u"궤적삭제", 153, 137, 62, 25, u"Configure\\Display"),
};
constexpr ScreenRow kDisplayPoi[] = {
    Heading(u"지도에 표시", 8, 37, kNull),
    Frame(u"Background", 25, 59, 196, 183, kNull),
    RadioGroup(u"지도에표시그룹", kCfg),
    Radio(u"금융기관", 34, 65), Radio(u"음식점", 34, 90), Radio(u"숙박시설", 34, 115),
    Radio(u"관광지/레져시설", 34, 140), Radio(u"의료시설", 34, 165), Radio(u"문화예술/쇼핑시설", 34, 190),
    Radio(u"교통/자동차시설", 34, 215),
    CheckBox(u"표시 안함", 35, 260, kCfg),
    Apply(u"Apply", 122, 256),
};
constexpr ScreenRow kDisplayLevel[] = {
    Frame(u"Background", 25, 59, 196, 62, kNull),
    Frame(u"Background", 25, 157, 196, 91, kNull),
    Heading(u"기본 레벨 변경", 8, 37, kNull),
    Heading(u"주행속도에 따른 레벨 변경", 8, 135, kNull),
    Caption(u"주행 시작시", 34, 68, kNull),
    Caption(u"교차로 안내시", 34, 97, kNull),
    Caption(u"60Km/h 이하", 34, 165, kNull),
    Caption(u"60~100Km/h", 34, 194, kNull),
    Caption(u"100Km/h 이상", 34, 223, kNull),
    Combo(u"안내레벨콤보", 129, 63, 87, 23, kCfg, kLevels),
    Combo(u"교차로레벨콤보", 129, 92, 87, 23, kCfg, kLevels),
    Combo(u"저속레벨콤보", 129, 161, 87, 23, kCfg, kLevels),
    Combo(u"중속레벨콤보", 129, 190, 87, 23, kCfg, kLevels),
    Combo(u"고속레벨콤보", 129, 219, 87, 23, kCfg, kLevels),
    Apply(u"Apply", 71, 256),
};
constexpr ScreenRow kDisplayColour[] = {
    Frame(u"Background", 25, 59, 195, 65, kNull),
    Frame(u"Background", 25, 154, 195, 95, kNull),
    Heading(u"지도색상", 8, 37, kNull),
    Heading(u"야간색상변경", 8, 132, kNull),
    Caption(u"기본색상", 37, 69, kNull),
    Caption(u"야간색상", 37, 99, kNull),
    Combo(u"기본지도색상콤보", 98, 65, 111, 23, kCfg, {}),
    Combo(u"야간지도색상콤보", 98, 95, 111, 23, kCfg, {}),
    Combo(u"야간시작시간", 35, 215, 70, 23, kCfg, kNightStart),
    Combo(u"야간종료시간", 135, 215, 70, 23, kCfg, kNightEnd),
    Caption(u"~", 119, 219, kCfg),
    CheckBox(u"야간시간에 색상 변경", 36, 163, kCfg),
    CheckBox(u"사용자 정의 시간 사용", 36, 188, kCfg),
    Apply(u"Apply", 71, 256),
};
constexpr const char16_t* kDisplayTabs[] = {u"tab_일반", u"tab_i보기", u"tab_레벨", u"tab_색상"};
constexpr const char16_t* kDisplayTexts[] = {u"일반", u"i보기", u"레벨", u"색상"};
constexpr ScreenRow kDisplayPage[] = {
    Titled(),
    Group(u"Configure\\Display"),
    Title(u"디스플레이"),
    ItemList(u"환경설정패널들"),
    TabPanel(u"일반", kDisplayGeneral),
    TabPanel(u"i보기", kDisplayPoi),
    TabPanel(u"레벨", kDisplayLevel),
    TabPanel(u"색상", kDisplayColour),
    SettingsTabs(kDisplayTabs, kDisplayTexts),
};

// ---- Route ----
constexpr const char16_t* kIntervals[] = {u"안함", u"5분", u"10분", u"15분", u"30분", u"45분", u"60분"};
constexpr ScreenRow kRouteOption[] = {
    Heading(u"우선탐색", 8, 38, kNull),
    Frame(u"Background", 25, 59, 196, 108, kNull),
    RadioGroup(u"우선탐색그룹", kCfg),
    Radio(u"고속도로우선", 34, 65), Radio(u"추천도로우선", 34, 90), Radio(u"일반추천(1)", 34, 115),
    Radio(u"일반단거리(2)", 34, 140),
    Apply(u"Apply", 71, 253),
};
constexpr ScreenRow kRouteTraffic[] = {
    Heading(u"탐색시 교통정보 반영", 8, 38, kNull),
    Frame(u"Background", 25, 59, 196, 33, kNull),
    Frame(u"Background", 25, 133, 196, 93, kNull),
    RadioGroup(u"교통정보반영그룹", kCfg),
    Radio(u"설정", 34, 65), Radio(u"해제", 135, 65),
    Heading(u"교통정보 고려 재탐색", 8, 112, kCfg),
    Caption(u"재탐색 간격", 35, 192, kCfg),
    RadioGroup(u"교통정보재탐색버튼그룹", kCfg),
    Radio(u"자동", 34, 147), Radio(u"수동", 135, 147),
    // No size: the combo takes its widest item's width when first drawn.
    Combo(u"재탐색표시간격", 135, 187, 0, 0, kCfg, kIntervals),
    Apply(u"Apply", 71, 253),
};
constexpr ScreenRow kRouteReSearch[] = {
    Heading(u"경로 이탈 후 재탐색", 8, 38, kNull),
    Frame(u"Background", 25, 59, 196, 33, kNull),
    RadioGroup(u"경로이탈후재탐색그룹", kCfg),
    Radio(u"자동", 34, 65), Radio(u"수동", 135, 65),
    Apply(u"Apply", 71, 253),
};
constexpr const char16_t* kRouteTabs[] = {u"tab_탐색옵션", u"tab_교통정보", u"tab_재탐색"};
constexpr const char16_t* kRouteTexts[] = {u"탐색옵션", u"교통정보", u"재탐색"};
constexpr ScreenRow kRoutePage[] = {
    Titled(),
    Group(u"Configure\\Route"),
    Title(u"경로탐색"),
    ItemList(u"환경설정패널들"),
    TabPanel(u"탐색옵션", kRouteOption),
    TabPanel(u"교통정보", kRouteTraffic),
    TabPanel(u"재탐색", kRouteReSearch),
    SettingsTabs(kRouteTabs, kRouteTexts),
};

// ---- Safe-driving guidance ----
constexpr const char16_t* kMinSpeeds[] = {u"항상안내",   u"30 km 이하",  u"40 km 이하",  u"50 km 이하", u"60 km 이하",
                                          u"70 km 이하", u"80 km 이하",  u"90 km 이하",  u"100 km 이하",
                                          u"110 km 이하", u"120 km 이하", u"130 km 이하", u"140 km 이하"};
constexpr const char16_t* kGuide = u"Configure\\Guide";
constexpr ScreenRow Member(const char16_t* name, int y) {
    return ScreenRow{.kind = RowKind::Member, .name = name, .x = 32, .y = y, .w = 114, .h = 25,
                     .flags = kVisible | kFeedback | kPressImage};
}
constexpr ScreenRow SpeedLabel(const char16_t* name, int y) { return Label(name, 110, y, 34, 16, 0x000000, 4, 115); }
constexpr ScreenRow kGuideVoice[] = {
    Frame(u"Background", 25, 59, 196, 83, kNull),
    Frame(u"Background", 25, 178, 196, 63, kNull),
    Caption(u"설정된 속도 이하로 주행하시면", 37, 181, kNull),
    Caption(u"음성 안내를 하지 않습니다", 37, 194, kNull),
    Heading(u"음성안내 설정", 8, 37, kNull),
    Heading(u"음성안내 최저속도", 8, 156, kNull),
    CheckBox(u"상시안전운행구간", 35, 66, kCfg),
    CheckBox(u"주의안전운행구간", 35, 91, kCfg),
    CheckBox(u"사용자등록안전운행구간", 35, 116, kCfg),
    Combo(u"최저속도안내", 36, 212, 174, 23, kCfg, kMinSpeeds),
    Apply(u"Reset", 19, 256),
    Apply(u"Apply", 124, 256),
};
constexpr ScreenRow kGuideWarning[] = {
    Heading(u"제한속도초과시 경고음", 8, 37, kNull),
    Frame(u"Background", 25, 59, 196, 185, kNull),
    Label(u"속도", 174, 127, 0, 14, 0x000000, 4, 111, kNull),
    RadioGroup(u"경고음안내그룹", kGuide),
    Member(u"고속도로", 66), Member(u"도시고속도로", 94), Member(u"국도", 122), Member(u"지방도로", 150),
    Member(u"일반도로", 178),
    SpeedLabel(u"고속도로속도", 70), SpeedLabel(u"도시고속도로속도", 98), SpeedLabel(u"국도속도", 126),
    SpeedLabel(u"지방도로속도", 154), SpeedLabel(u"일반도로속도", 182),
    Button(u"플러스", 153, 66, 62, 52, kGuide, kVisible | kFeedback | kTransparent),
    Button(u"마이너스", 153, 151, 62, 52, kGuide, kVisible | kFeedback | kTransparent),
    CheckBox(u"안내 없음", 32, 219, kCfg),
    Apply(u"Reset", 19, 256),
    Apply(u"Apply", 124, 256),
};
constexpr const char16_t* kGuideTabs[] = {u"tab_안내음", u"tab_경고음"};
constexpr const char16_t* kGuideTexts[] = {u"안내음", u"경고음"};
constexpr ScreenRow kGuidePage[] = {
    Titled(),
    Group(kGuide),
    Title(u"안전운행안내"),
    ItemList(u"환경설정패널들"),
    TabPanel(u"안내음", kGuideVoice),
    TabPanel(u"경고음", kGuideWarning),
    SettingsTabs(kGuideTabs, kGuideTexts),
};

// ---- System ----
constexpr const char16_t* kPorts[] = {u"COM1:", u"COM2:", u"COM3:", u"COM4:", u"COM5:",
                                      u"COM6:", u"COM7:", u"COM8:", u"COM9:"};
constexpr const char16_t* kBauds[] = {u"2400", u"4800", u"9600", u"19200", u"38400", u"57600"};
constexpr const char16_t* kCarriers[] = {u"011", u"016", u"017", u"018", u"019"};
constexpr ScreenRow kSystemGps[] = {
    Heading(u"수신좌표계", 8, 37, kNull),
    Heading(u"수신기 수동 설정", 8, 127, kNull),
    Frame(u"Background", 25, 59, 196, 29, kNull),
    Frame(u"Background", 25, 149, 196, 56, kNull),
    Button(u"수신기자동찾기", 34, 90, 176, 27, u"SkyView"),
    Frame(u"Port", 34, 158, 37, 10, u"Configure\\System", kEnabled | kTransparent),
    Frame(u"Baud", 34, 184, 76, 10, u"Configure\\System", kEnabled | kTransparent),
    RadioGroup(u"수신좌표계그룹", kCfg),
    Radio(u"WGS84", 34, 63), Radio(u"BESSEL", 135, 63),
    Combo(u"Port설정", 118, 152, 96, 23, kCfg, kPorts),
    Combo(u"BaudRate설정", 118, 178, 96, 23, kCfg, kBauds),
    CheckBox(u"별도 GPS 수신기 사용", 34, 209, kCfg),
    CheckBox(u"ZARN 수신기 사용", 34, 231, kCfg),
    Apply(u"Apply", 71, 256),
};
constexpr ScreenRow kSystemCarrier[] = {
    Heading(u"통신 환경 설정", 8, 37, kNull),
    Frame(u"Background", 25, 59, 196, 101, kNull),
    Caption(u"고객님께서 사용중이신 휴대폰의", 34, 70, kNull),
    Caption(u"서비스 회사를 선택해 주십시오", 34, 89, kNull),
    Label(u"통신사 선택", 46, 129, 0, 14, 0x000000, 4, 111, kNull),
    Combo(u"통신사설정", 122, 125, 76, 23, kCfg, kCarriers),
    Apply(u"Apply", 71, 256),
};
constexpr ScreenRow kSystemButtons[] = {
    Heading(u"PDA 버튼 설정", 8, 37, kNull),
    CheckBox(u"사용", 31, 205, kCfg),
    Frame(u"Background", 25, 59, 196, 137, kCfg),
    ScreenRow{.kind = RowKind::ButtonRows},
    Apply(u"Apply", 71, 256, kCfg),
};
constexpr const char16_t* kMyMenuCombo = u"Configure\\MyMenuCombo";
constexpr ScreenRow MyMenu(const char16_t* name, int i) {
    return Combo(name, 30 + 96 * (i % 2), 131 + 29 * (i / 2), 88, 25, kMyMenuCombo,
                 std::span<const char16_t* const>(MyMenuEntryTable, kMyMenuEntryCount));
}
constexpr ScreenRow kSystemMenu[] = {
    Heading(u"초기메뉴설정", 8, 37, kNull),
    Frame(u"Background", 25, 59, 196, 33, kNull),
    Frame(u"Background", 25, 126, 196, 122, kNull),
    // Made before its buttons, added after "Apply".
    RadioGroup(u"초기메뉴설정그룹", kCfg, kHeldBack),
    Radio(u"기본", 34, 65), Radio(u"고급", 93, 65), Radio(u"나만의", 151, 65),
    Heading(u"나만의메뉴 편집", 8, 104, kCfg),
    MyMenu(u"나만의메뉴0", 0), MyMenu(u"나만의메뉴1", 1), MyMenu(u"나만의메뉴2", 2), MyMenu(u"나만의메뉴3", 3),
    MyMenu(u"나만의메뉴4", 4), MyMenu(u"나만의메뉴5", 5), MyMenu(u"나만의메뉴6", 6), MyMenu(u"나만의메뉴7", 7),
    Apply(u"Apply", 71, 256),
    ScreenRow{.kind = RowKind::AttachGroup, .group = kCfg},
};
constexpr const char16_t* kSystemTabs[] = {u"tab_GPS", u"tab_통신", u"tab_버튼", u"tab_메뉴"};
constexpr const char16_t* kSystemTexts[] = {u"GPS", u"통신", u"버튼", u"메뉴"};
constexpr ScreenRow kSystemPage[] = {
    Titled(),
    Group(u"Configure\\System"),
    Title(u"시스템"),
    ItemList(u"환경설정패널들"),
    TabPanel(u"GPS패널", kSystemGps),
    TabPanel(u"통신패널", kSystemCarrier),
    TabPanel(u"PDA버튼패널", kSystemButtons),
    TabPanel(u"초기메뉴패널", kSystemMenu),
    SettingsTabs(kSystemTabs, kSystemTexts),
};

// ---- Sound ----
constexpr ScreenRow kSoundGuidance[] = {
    Heading(u"음성안내", 8, 39, kNull),
    Frame(u"Background", 25, 59, 196, 33, kNull),
    RadioGroup(u"음성안내ONOFF그룹", kCfg),
    Radio(u"설정", 34, 65), Radio(u"해제", 135, 65),
    Apply(u"Apply", 71, 253),
};
constexpr ScreenRow kSoundButtons[] = {
    Heading(u"버튼 효과음", 8, 39, kNull),
    Frame(u"Background", 25, 59, 196, 33, kNull),
    RadioGroup(u"버튼효과음ONOFF그룹", kCfg),
    Radio(u"설정", 34, 65), Radio(u"해제", 135, 65),
    Apply(u"Apply", 71, 253),
};
constexpr ScreenRow kSoundPage[] = {
    Titled(),
    Group(u"Configure\\Sound"),
    Title(u"사운드"),
    ItemList(u"환경설정패널들"),
    TabPanel(u"안내패널", kSoundGuidance),
    TabPanel(u"통신패널", kSoundButtons),
    ScreenRow{.kind = RowKind::SoundTabs},
};

// ---- Save location (opened by the user-information menu in the common dialog) ----
constexpr ScreenRow kSaveLocationPage[] = {
    Titled(),
    Group(kCfg),
    Title(u"정보저장위치"),
    Heading(u"정보저장위치", 8, 37, kCfg),
    Frame(u"Background", 25, 59, 196, 58, kCfg),
    RadioGroup(u"정보저장위치", kCfg),
    Radio(u"PDA", 34, 65), Radio(u"저장장치", 34, 90),
    Apply(u"Apply", 71, 256),
};

NaviTabCtrl* MakeWindowTabs(NaviRcBuilder* builder, const char16_t* name, const CString (&names)[2],
                            const CString (&texts)[2]) {
    auto* tabs = new NaviTabCtrl();
    tabs->AssignName(name);
    tabs->SetTabs(names, 2);
    tabs->SetTabTexts(texts, 2);
    tabs->SetSize(232, 36);
    tabs->SetPos(4, 284);
    tabs->SetVisible(true);
    tabs->SetPressFeedback(false);
    tabs->SetTransparent(false);
    builder->SetTabGroup(u"Window");
    tabs->LoadImages(builder);
    return tabs;
}

} // namespace

void BuildDisplaySettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kDisplayPage});
}
void BuildRouteSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kRoutePage});
}
void BuildGuidanceSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kGuidePage});
}
void BuildSystemSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kSystemPage});
}
void BuildSoundSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kSoundPage});
}
void BuildSaveLocationSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kSaveLocationPage});
}

NaviTabCtrl* BuildSoundTabs(NaviRcBuilder* builder) {
    return MakeWindowTabs(builder, u"환경설정탭", {u"tab_안내", u"tab_효과음"}, {u"안내", u"효과음"});
}

NaviTabCtrl* BuildSavedDataTabs(NaviRcBuilder* builder) {
    return MakeWindowTabs(builder, u"저장정보관리텝", {u"tab_경로관리", u"tab_저장위치"}, {u"경로관리", u"저장위치"});
}

const char16_t* HardwareButtonIcon(int deviceType, int button) {
    struct Icons {
        std::initializer_list<int> types;
        const char16_t* names[4];
    };
    static const Icons kIcons[] = {
        {{0, 1, 8, 14, 20}, {u"Calendar", u"Contacts", u"email", u"QStart"}},
        {{2}, {u"Calendar", u"Contacts", u"q", u"QStart"}},
        {{3, 4}, {u"Home", u"Contacts", u"Calendar", u"Tasks"}},
        {{5}, {u"Calendar", u"Contacts", u"Launch", u""}},
        {{6}, {u"Ie", u"Phone", u"Calendar", u"Contacts"}},
        {{7}, {u"Phone_poz", u"Contacts", u"nate", u"note"}},
        {{9}, {u"Home", u"Tasks", u"Contacts", u"Calendar"}},
        {{11, 19}, {u"note", u"Contacts", u"Calendar", u"Tasks"}},
        {{12}, {u"Clock", u"Home_Mobione", u"Tasks_Mobione", u"Phone_Mobione"}},
        {{13}, {u"Home", u"Phone", u"Calendar", u"Tasks"}},
        {{15}, {u"KorEng", u"Star", u"", u""}},
        {{16}, {u"Calendar", u"Contacts", u"Home", u"Tasks"}},
        {{17}, {u"Calendar", u"Contacts", u"email", u"Home"}},
        {{18}, {u"Calendar", u"Contacts", u"Tasks", u"Ie"}},
        {{21}, {u"Calendar", u"Tasks", u"Home", u"Contacts"}},
        {{22}, {u"lgsc8Calendar", u"MediaPlayer", u"GPS", u"lgCamera"}},
        {{23}, {u"poz_home", u"poz_camera", u"poz_magicn", u"poz_nespot"}},
    };
    if (button < 0 || button >= 4) return u"";
    for (const Icons& icons : kIcons)
        for (int type : icons.types)
            if (type == deviceType) return icons.names[button];
    return u"";
}

constexpr const char16_t* kButtonFunctions[] = {
    u"사용 안 함", u"현위치 이동", u"안전운행 등록", u"맵매칭 보정", u"집으로",     u"자주가는 곳",
    u"명칭 검색",  u"주소 검색",   u"등록지점 보기", u"경로 재설정", u"GPS 정보",   u"경유지 리스트",
    u"화면모드 전환", u"화면 확대", u"화면 축소",    u"음성 안내",  u"ZARN 정보", u"볼륨 ON/OFF"};

void BuildHardwareButtonRows(NaviRcBuilder* builder, NaviPanel* tab) {
    if (!builder || !tab) return;
    const int type = builder->GetDeviceType();
    // The icon table names four buttons; device type 10 letters three. Further buttons get no row.
    const int rowsMax = type == 10 ? 3 : 4;
    const int count = std::min(builder->GetButtonCount(), rowsMax);
    static constexpr const char16_t* kLetters[3] = {u"A", u"B", u"C"};
    for (int i = 0; i < count; ++i) {
        const char16_t* icon = HardwareButtonIcon(type, i);
        if (type != 10 && !*icon) continue;
        const int y = 71 + 32 * i;
        CString name;
        name.Format(u"Button설정%d", i);
        const ScreenRow row[] = {
            type == 10 ? Caption(kLetters[i], 35, y, u"HWButtons") : Frame(icon, 35, y, 16, 16, u"HWButtons"),
            Caption(u"버튼", 55, y, u"HWButtons"),
            Combo(name.GetString(), 86, 68 + 32 * i, 126, 23, kCfg, kButtonFunctions),
        };
        RunScreenTable(builder, tab, CString(), {row});
    }
}
