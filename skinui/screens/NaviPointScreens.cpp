// The point screens: route setting, recent destinations, safe-driving points, point
// registration and registered points, latitude/longitude and Dorva code entry; and the pieces
// only they use (symbol choice, voice combo, the nearby panel).
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/main/NaviMenuPages.h"
#include "skinui/screens/NaviScreenCatalogue.h"
#include "skinui/screens/NaviScreenTable.h"

using namespace rows;

namespace {

constexpr std::uint32_t kOwnImages = kVisible | kFeedback;
constexpr std::uint32_t kSharedImages = kVisible | kFeedback | kUseCheckGroup | kShowText;
constexpr COLORREF kTeal = 0x0284BA;

constexpr ScreenRow ItemList(const char16_t* name, int x, int y, int w, int h, const char16_t* group = nullptr) {
    return ScreenRow{.kind = RowKind::ItemList, .name = name, .x = x, .y = y, .w = w, .h = h, .group = group};
}
// A page made by CreatePanel, listening to the root, resized to 217 x 270 at 12, 46.
constexpr ScreenRow Page(const char16_t* name) {
    return ScreenRow{.kind = RowKind::TabPanel, .name = name, .x = 12, .y = 46, .w = 217, .h = 270};
}
constexpr ScreenRow Note(const char16_t* name, int x, int y, const char16_t* group = nullptr) {
    return Label(name, x, y, 0, 14, kTeal, 1, 111, group);
}
constexpr ScreenRow Tabs(const char16_t* name, int x, int y, int w, int h, const char16_t* tabGroup,
                         std::span<const char16_t* const> names, std::uint32_t flags) {
    return ScreenRow{.kind = RowKind::Tabs, .name = name, .x = x, .y = y, .w = w, .h = h, .flags = flags,
                     .subGroup = tabGroup, .items = names};
}

// ---- Route setting ----
constexpr int kWindowLayout[8] = {0, 0, 0, 45, 232, 45, 0, 284};
constexpr ScreenRow kRouteSetting[] = {
    // A full-screen window like the titled window's, with "현위치" only.
    ScreenRow{.kind = RowKind::ShapeRoot, .x = 0, .y = 0, .w = 240, .h = 320, .flags = kFrameLayout,
              .group = u"Window", .layout = kWindowLayout},
    Button(u"현위치", 197, 3, 41, 32, u"Window", kVisible | kFeedback | kPressImage),
    Frame(u"타이틀", 4, 0, 0, 0, u"RouteSetting", kEnabled | kTransparent),
    Frame(u"서브타이틀1", 8, 39, 0, 0, u"RouteSetting", kEnabled | kTransparent),
    Frame(u"서브타이틀2", 8, 143, 0, 0, u"RouteSetting", kEnabled | kTransparent),
    Frame(u"회색배경1", 25, 59, 0, 0, u"RouteSetting", kEnabled | kTransparent),
    Frame(u"회색배경2", 25, 163, 0, 0, u"RouteSetting", kEnabled | kTransparent),
    RadioGroup(u"우선탐색그룹", u"Configure"),
    Radio(u"고속우선", 28, 65), Radio(u"추천경로", 119, 65), Radio(u"일반추천(1)", 28, 95),
    Radio(u"일반단거리(2)", 119, 95),
    RadioGroup(u"교통정보반영그룹", u"Configure"),
    Radio(u"설정", 34, 169), Radio(u"해제", 135, 169),
    CheckBox(u"탐색옵션 저장", 35, 206, u"Configure"),
    CheckButton(u"경로탐색", 19, 253, 96, 27, u"RouteSetting", nullptr, kOwnImages | kPressImage),
    CheckButton(u"역방향탐색", 125, 253, 96, 27, u"RouteSetting", nullptr, kOwnImages | kPressImage),
};

// ---- Recent destinations ----
constexpr const char16_t* kRecentRow[] = {u"삭제", u"위치보기", u"바로탐색"};
constexpr ScreenRow kRecent[] = {
    Titled(),
    Frame(u"최근목적지타이틀", 5, 0, 0, 0, u"DestPoint"),
    ScreenRow{.kind = RowKind::Label, .name = u"최근 목적지 목록", .x = 17, .y = 32, .w = 0, .h = 14,
              .group = u"DestPoint", .color = 0x568602, .style = 0, .align = 111, .text = u"최근목적지 목록"},
    MessageRow(kMessageRowLow, kRecentRow),
    PointTabs(u"텝_최근목적지", kAdvancedTabs),
};

// ---- Safe-driving points ----
constexpr const char16_t* kCameraTabs[] = {u"상단텝_등록카메라", u"상단텝_삭제카메라"};
constexpr ScreenRow kSafeDrive[] = {
    Titled(),
    Frame(u"안전운행관리타이틀", 5, 0, 0, 0, u"CameraPoint"),
    CheckButton(u"위치보기", 87, 251, 71, 27, u"AddressSearch", u"버튼2", kSharedImages),
    CheckButton(u"바로탐색", 159, 251, 71, 27, u"AddressSearch", u"버튼2", kSharedImages),
    PointTabs(u"텝_안전운행구간", kAdvancedTabs),
    Tabs(u"텝_안전운행구간타입", 13, 33, 148, 24, u"CameraPoint", kCameraTabs, kVisible | kTransparent),
};

// ---- Point registration ----
constexpr const char16_t* kFolderRow[] = {u"폴더생성", u"폴더수정", u"폴더삭제"};
constexpr const char16_t* kFolderBackRow[] = {u"수정_이전", u"확인"};
constexpr const char16_t* kFolderBackTexts[] = {u"이전", nullptr};
constexpr const char16_t* kNewFolderRow[] = {u"확인", u"취소"};
constexpr ScreenRow kRegister[] = {
    Titled(),
    Frame(u"등록지점_타이틀", 5, 0, 149, 27, u"Interest"),
    ItemList(u"지점등록패널들", 0, 35, 240, 285, u"Interest"),
    Page(u"심볼설정"),
    ScreenRow{.kind = RowKind::SymbolChoice, .name = u"지점등록심볼_카테고리"},
    ScreenRow{.kind = RowKind::VoiceCombo, .name = u"음성설정"},
    CheckButton(u"저장폴더지정", 120, 248, 96, 27, u"AddressSearch", u"버튼1", kSharedImages),
    ScreenRow{.kind = RowKind::CheckButton, .name = u"이전", .x = 72, .y = 278, .w = 96, .h = 27,
              .flags = kSharedImages | kHidden, .group = u"AddressSearch", .subGroup = u"버튼1", .text = u"이전",
              .rename = u"등록지점_이전"},
    CheckButton(u"저장", 150, 53, 71, 27, u"AddressSearch", u"버튼2", kSharedImages),
    Page(u"폴더수정페널"),
    Note(u"저장할 폴더를 선택하세요.", 8, 42),
    MessageRow(kMessageRowMiddle, kFolderRow),
    MessageRow(kMessageRowBottom, kFolderBackRow, kFolderBackTexts),
    Group(u"AddressSearch", u"버튼1"),
    Page(u"폴더생성페널"),
    Note(u"명칭을 입력하십시오.", 8, 32),
    MessageRow(100, kNewFolderRow),
};

// ---- Registered points ----
constexpr const char16_t* kPointsRow[] = {u"구성하기", u"위치보기", u"바로탐색"};
constexpr const char16_t* kArrangeRow[] = {u"구성_이전", u"삭제", u"지점수정"};
constexpr const char16_t* kArrangeTexts[] = {u"이전", nullptr, nullptr};
constexpr ScreenRow kRegistered[] = {
    Titled(),
    Frame(u"등록지점_타이틀", 2, 0, 149, 27, u"Interest"),
    Note(u"등록지점 목록", 8, 32, u"Interest"),
    ItemList(u"등록지점패널들", 0, 35, 240, 285),
    Page(u"등록지점_초기"),
    MessageRow(kMessageRowLow, kPointsRow),
    PointTabs(u"등록지점_탭", kAdvancedTabs),
    Page(u"등록지점_구성"),
    MessageRow(kMessageRowBottom, kArrangeRow, kArrangeTexts),
};

// ---- Symbol choice and voice combo (run with the group's or the combo's name) ----
constexpr const char16_t* kIcon = u"Interest\\icon";
constexpr ScreenRow Symbol(const char16_t* name, int i) {
    return ScreenRow{.kind = RowKind::PushMember, .name = name, .x = 30 + 37 * (i % 5), .y = 108 + 34 * (i / 5),
                     .w = 30, .h = 30, .flags = kVisible | kFeedback};
}
constexpr ScreenRow kSymbolChoice[] = {
    Frame(u"Background", 24, 50, 115, 33, nullptr),
    Frame(u"Background", 24, 102, 192, 144, nullptr),
    Note(u"심볼설정", 8, 85),
    RadioGroup(nullptr, kIcon),
    Symbol(u"지점", 0), Symbol(u"핀", 1), Symbol(u"약속", 2), Symbol(u"회사", 3), Symbol(u"집", 4),
    Symbol(u"LPG", 5), Symbol(u"주유소", 6), Symbol(u"주차장", 7), Symbol(u"정비소", 8), Symbol(u"위험", 9),
    Symbol(u"방지턱", 10), Symbol(u"은행", 11), Symbol(u"병원", 12), Symbol(u"음식점", 13), Symbol(u"호텔", 14),
    ScreenRow{.kind = RowKind::PushMember, .name = u"집으로", .x = 30, .y = 209, .w = 67, .h = 30,
              .flags = kVisible | kFeedback | kTransparent},
    ScreenRow{.kind = RowKind::PushMember, .name = u"자주가는곳", .x = 105, .y = 209, .w = 104, .h = 30,
              .flags = kVisible | kFeedback | kTransparent},
};
constexpr const char16_t* kVoices[] = {u"없음",   u"안전운행", u"LPG충전소", u"주유소", u"주차장",
                                       u"정비소", u"위험",     u"방지턱",    u"은행",   u"병원",
                                       u"음식점", u"숙박시설", u"지점",      u"급커브", u"약속"};
constexpr ScreenRow kVoiceCombo[] = {Combo(nullptr, 23, 248, 0, 0, u"Configure", kVoices)};

constexpr int kZeroLayout[8] = {};
constexpr ScreenRow kNeighPanel[] = {
    ScreenRow{.kind = RowKind::ShapeRoot, .x = 12, .y = 40, .w = 217, .h = 170, .flags = kFrameLayout,
              .group = u"NeighSearch", .layout = kZeroLayout},
};

// ---- Latitude/longitude and Dorva entry ----
constexpr const char16_t* kRowShowRouteNames[] = {u"위치보기", u"바로탐색"};
constexpr ScreenRow Key(const char16_t* name, int x, int y, int w) {
    return CheckButton(name, x, y, w, 30, nullptr, nullptr, kOwnImages);
}
#define VELKO_ENTRY_KEYPAD                                                                                        \
    Group(u"AddressSearch\\숫자판"), Key(u"1", 16, 157, 53), Key(u"2", 71, 157, 53), Key(u"3", 126, 157, 53),   \
        Key(u"4", 16, 189, 53), Key(u"5", 71, 189, 53), Key(u"6", 126, 189, 53), Key(u"7", 16, 221, 53),        \
        Key(u"8", 71, 221, 53), Key(u"9", 126, 221, 53), Key(u"0", 16, 253, 53), Key(u"백스페이스", 181, 157, 43), \
        Key(u"하이픈", 181, 189, 43), Key(u"점", 181, 222, 43), Key(u"Clear", 181, 253, 43),                      \
        Key(u"Space", 71, 253, 108)
constexpr ScreenRow kLatLon[] = {
    Titled(),
    Frame(u"경위도_타이틀", 4, 0, 149, 27, u"LonLat"),
    Frame(u"경위도_배경", 25, 57, 196, 53, u"LonLat"),
    MessageRow(118, kRowShowRouteNames),
    Frame(u"경위도_텍스트_WGS84", 35, 32, 42, 21, u"LonLat"),
    Frame(u"경위도_텍스트_BESSEL", 107, 36, 43, 17, u"LonLat"),
    RadioGroup(u"좌표계그룹", u"Configure"),
    // The frames right of the two buttons are their captions.
    Radio(u"WGS84", 15, 32, 0), Radio(u"BESSEL", 87, 32, 0),
    VELKO_ENTRY_KEYPAD,
};
constexpr ScreenRow kDorva[] = {
    Titled(),
    Frame(u"Dorva_타이틀", 4, 0, 149, 27, u"Dorva"),
    Frame(u"Dorva_텍스트_예제번호", 14, 33, 126, 13, u"Dorva"),
    Frame(u"Dorva_배경", 25, 57, 196, 35, u"Dorva"),
    MessageRow(102, kRowShowRouteNames),
    VELKO_ENTRY_KEYPAD,
};
#undef VELKO_ENTRY_KEYPAD

void Run(NaviRcBuilder* builder, NaviPanel* root, const CString& name, std::span<const ScreenRow> table,
         ListenTo listen = ListenTo::Root) {
    RunScreenTable(builder, root, name, {table, listen});
}

} // namespace

void BuildRouteSettingScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kRouteSetting); }
void BuildRecentDestScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kRecent); }
void BuildSafeDriveManageScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kSafeDrive); }
void BuildPointRegisterScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kRegister); }
void BuildRegisteredPointScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kRegistered); }
void BuildLatLonScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kLatLon); }
void BuildDorvaScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kDorva); }

void BuildSymbolChoice(NaviRcBuilder* builder, NaviPanel* panel, const CString& groupName) {
    Run(builder, panel, groupName, kSymbolChoice, ListenTo::Container);
}

void BuildVoiceCombo(NaviRcBuilder* builder, NaviPanel* panel, const CString& name) {
    Run(builder, panel, name, kVoiceCombo, ListenTo::Container);
}

NaviPanel* BuildNeighPanel(NaviRcBuilder* builder, const CString& name) {
    auto* panel = new NaviPanel();
    Run(builder, panel, name, kNeighPanel);
    return panel;
}
