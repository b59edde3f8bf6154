// The search screens: nearby, name, address (with the adjacent-parcel choice), category, theme
// and facility detail. Every control reports to the root panel; twins share a table.
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/main/NaviMenuPages.h"
#include "skinui/screens/NaviScreenCatalogue.h"
#include "skinui/screens/NaviScreenTable.h"

using namespace rows;

namespace {

constexpr const char16_t* kNull = u"NULL";
constexpr std::uint32_t kOpaquePush = kVisible | kFeedback;
constexpr std::uint32_t kTransparentPush = kVisible | kFeedback | kTransparent;
constexpr COLORREF kGreen = 0x568602;
constexpr COLORREF kBlue = 0x0F42AA;

constexpr ScreenRow ItemList(const char16_t* name, int x, int y, int w, int h) {
    return ScreenRow{.kind = RowKind::ItemList, .name = name, .x = x, .y = y, .w = w, .h = h};
}
constexpr ScreenRow Page(const char16_t* name, int x, int y, int w, int h, const char16_t* group,
                         std::uint32_t flags = kTransparent) {
    return ScreenRow{.kind = RowKind::Page, .name = name, .x = x, .y = y, .w = w, .h = h, .flags = flags,
                     .group = group};
}
constexpr ScreenRow TitleFrame(const char16_t* name, int x, const char16_t* group, std::uint32_t flags = 0) {
    return Frame(name, x, 0, 0, 0, group, kEnabled | flags);
}
// A label that starts empty (style 0): the dialog fills it.
constexpr ScreenRow Blank(const char16_t* name, int x, int y, COLORREF color) {
    return Label(name, x, y, 0, 14, color, 0, 111);
}
constexpr ScreenRow Count(const char16_t* name, int x, int y, int w, COLORREF color,
                          const char16_t* group = nullptr) {
    return ScreenRow{.kind = RowKind::PlainLabel, .name = name, .x = x, .y = y, .w = w, .h = 14, .group = group,
                     .color = color, .style = 4, .align = 109};
}
constexpr ScreenRow Marker() { return Frame(u"세모", 17, 51, 0, 0, u"ThemeSearch"); }
constexpr ScreenRow Key(const char16_t* name, int x, int y, int w) {
    return CheckButton(name, x, y, w, 30, nullptr, nullptr, kVisible | kFeedback);
}
constexpr ScreenRow OnRoot(ScreenRow row) {
    row.flags |= kOnRoot;
    return row;
}

constexpr const char16_t* kRowBackNext[] = {u"<<이전", u"다음>>"};
constexpr const char16_t* kRowBackNextSpaced[] = {u"<< 이전", u"다음 >>"};
constexpr const char16_t* kRowShowRoute[] = {u"위치보기", u"바로탐색"};
constexpr const char16_t* kRowRouteShow[] = {u"바로탐색", u"위치보기"};

// ---- Nearby search ----
constexpr ScreenRow Category(const char16_t* name, int x, int y, std::uint32_t twin = 0) {
    return Radio(name, x, y, kShowText | twin);
}
#define VELKO_NEARBY_CATEGORIES                                                                                  \
    Category(u"병원", 23, 67), Category(u"약국", 23, 102), Category(u"LPG충전소", 23, 137, kBeginnerOnly),        \
        Category(u"LPG 충전소", 23, 137, kAdvancedOnly), Category(u"주유소", 23, 172), Category(u"정비소", 23, 207), \
        Category(u"주차장", 120, 67), Category(u"은행", 120, 102), Category(u"호텔＆모텔", 120, 137),               \
        Category(u"패스트푸드점", 120, 172), Category(u"지하철", 120, 207, kBeginnerOnly),                           \
        Category(u"지하철역", 120, 207, kAdvancedOnly)
constexpr const char16_t* kNearbyTabs[] = {u"텝_검색", u"텝_보기"};
constexpr ScreenRow kAround[] = {
    Titled(),
    TitleFrame(u"주변검색", 5, u"NeighSearch"),
    ScreenRow{.kind = RowKind::Tabs, .name = u"주변검색텝", .x = 13, .y = 33, .w = 148, .h = 30,
              .flags = kVisible | kTransparent, .subGroup = u"NeighSearch", .items = kNearbyTabs},
    ItemList(u"주변검색패널들", 6, 54, 225, 261),
    Page(u"주변검색", 7, 54, 225, 261, kNull, kTransparent | kBeginnerOnly),
    Page(u"주변검색", 6, 54, 225, 261, kNull, kTransparent | kAdvancedOnly),
    RadioGroup(u"주변시설물검색_카테고리_그룹", u"Configure"),
    VELKO_NEARBY_CATEGORIES,
    Button(u"검색", 71, 252, 96, 27, u"NeighSearch", kOpaquePush),
    PointTabs(u"텝_주변검색", kTwinTabs),
    Page(u"주변보기", 7, 54, 225, 261, kNull, kTransparent | kBeginnerOnly),
    Page(u"주변보기", 6, 54, 225, 261, kNull, kTransparent | kAdvancedOnly),
    RadioGroup(u"주변시설물보기_카테고리_그룹", u"Configure"),
    VELKO_NEARBY_CATEGORIES,
    Button(u"적용", 71, 252, 96, 27, u"NeighSearch", kOpaquePush),
    CheckBox(u"없음", 23, 252, u"Configure"),
    Page(u"주변시설물보기", 0, 0, 240, 154, kNull),
    Frame(u"Top", 0, 0, 236, 21, u"NeighList"),
    Frame(u"Bg", 0, 21, 236, 131, u"NeighList"),
};
#undef VELKO_NEARBY_CATEGORIES

// ---- Name search ----
constexpr const char16_t* kNameRow[] = {u"상세정보", u"위치보기", u"바로탐색"};
constexpr ScreenRow kName[] = {
    Titled(),
    ItemList(u"명칭검색패널들", 8, 33, 226, 256),
    Page(u"명칭검색", 8, 33, 226, 256, kNull),
    MessageRow(kMessageRowLow, kNameRow),
    Button(u"확장", 104, 35, 34, 21, u"NameSearch", kTransparentPush),
    TitleFrame(u"명칭검색", 5, u"NameSearch"),
    OnRoot(PointTabs(u"텝_명칭검색", kTwinTabs)),
    Count(u"검색건수", 230, 46, 92, 0x000000),
};

// ---- Address search ----
constexpr const char16_t* kKeypad = u"AddressSearch\\숫자판";
constexpr const char16_t* kAddressInputRow[] = {u"<<이전", u"검색", u"바로탐색"};
constexpr ScreenRow kAddress[] = {
    Titled(),
    ItemList(u"주소검색패널들", 12, 90, 218, 210),
    Page(u"주소검색", 11, 210, 218, 70, kNull),
    OnRoot(TitleFrame(u"타이틀", 4, u"AddressSearch")),
    MessageRow(kMessageRowHigh, kRowBackNext),
    MessageRow(kMessageRowLow, kRowRouteShow),
    Marker(),
    Blank(u"지역구분", 17, 32, kGreen),
    Page(u"주소입력", 12, 90, 218, 210, kNull, 0),
    Marker(),
    Blank(u"지역구분", 17, 32, kGreen),
    Blank(u"지역명칭", 29, 49, kBlue),
    Group(kKeypad),
    Key(u"1", 16, 154, 53), Key(u"2", 71, 154, 53), Key(u"3", 126, 154, 53),
    Key(u"4", 16, 186, 53), Key(u"5", 71, 186, 53), Key(u"6", 126, 186, 53),
    Key(u"7", 16, 218, 53), Key(u"8", 71, 218, 53), Key(u"9", 126, 218, 53),
    Key(u"0", 16, 250, 53), Key(u"Space", 71, 250, 108), Key(u"백스페이스", 181, 154, 43),
    Key(u"하이픈", 181, 186, 43), Key(u"산", 181, 218, 43), Key(u"Clear", 181, 250, 43),
    MessageRow(94, kAddressInputRow),
    OnRoot(PointTabs(u"텝_주소검색", kTwinTabs, u"AddressSearch")),
};

constexpr int kNoLayout[8] = {};
constexpr const char16_t* kNearLotRow[] = {u"확 인", u"취 소"};
constexpr ScreenRow kNearLot[] = {
    ScreenRow{.kind = RowKind::ShapeRoot, .x = 0, .y = 0, .w = 236, .h = 152,
              .flags = kTransparent | kFrameLayout | kHidden, .group = kNull, .layout = kNoLayout},
    Frame(u"Top", 0, 0, 236, 21, u"NeighList"),
    Frame(u"Bg", 0, 21, 236, 131, u"NeighList"),
    Blank(u"인접지번설명", 21, 29, kGreen),
    RadioGroup(u"인접지번선택 그룹", u"Configure"),
    Radio(u"", 20, 54), Radio(u"", 122, 54),
    MessageRow(109, kNearLotRow),
};

// ---- Category search ----
constexpr const char16_t* kRowBackDetail[] = {u"<<이전", u"상세정보"};
constexpr ScreenRow kCategory[] = {
    Titled(),
    TitleFrame(u"종별검색", 5, u"CateSearch"),
    ItemList(u"종별검색패널들", 7, 33, 226, 258),
    Page(u"종별선택", 11, 210, 218, 70, kNull),
    Marker(),
    Blank(u"분류구분", 17, 32, kGreen),
    MessageRow(kMessageRowLow, kRowBackNext),
    Page(u"종별세부", 7, 63, 227, 230, kNull),
    Marker(),
    Blank(u"분류구분", 17, 32, kGreen),
    Blank(u"분류내역", 29, 49, kBlue),
    Count(u"검색건수", 229, 70, 0, kBlue),
    Button(u"검색", 100, 67, 34, 21, u"CateSearch", kOpaquePush),
    MessageRow(kMessageRowHigh, kRowBackDetail),
    MessageRow(kMessageRowLow, kRowShowRoute),
    OnRoot(PointTabs(u"텝_종별검색", kAdvancedTabs)),
};

// ---- Theme search ----
constexpr const char16_t* kThemeBackDetail[] = {u"<< 이전", u"상세정보"};
constexpr ScreenRow kTheme[] = {
    Titled(),
    TitleFrame(u"테마검색", 5, u"ThemeSearch"),
    ItemList(u"테마검색패널들", 8, 32, 225, 287),
    Page(u"테마선택", 8, 40, 226, 249, u"ThemeSearch"),
    Button(u"테마관광", 56, 66, 126, 42, u"ThemeSearch", kOpaquePush),
    Button(u"지역별여행", 56, 116, 126, 42, u"ThemeSearch", kOpaquePush),
    Button(u"사용자추천", 56, 166, 126, 42, u"ThemeSearch", kOpaquePush),
    Page(u"테마아이템선택", 8, 41, 224, 270, u"ThemeSearch"),
    Marker(),
    Blank(u"테마구분", 17, 32, kGreen),
    Blank(u"테마명칭", 29, 49, kBlue),
    MessageRow(kMessageRowBottom, kRowBackNextSpaced),
    Page(u"테마시설물선택", 8, 30, 225, 287, u"AddressSearch"),
    RadioGroup(u"테마검색조건 그룹", u"Configure"),
    Radio(u"지역", 16, 32), Radio(u"반경", 81, 32),
    Count(u"테마검색건수", 227, 45, 0, kGreen, u"ThemeSearch"),
    Frame(u"글자배경", 8, 85, 0, 0, u"ThemeSearch"),
    Button(u"검색", 195, 60, 34, 21, u"ThemeSearch", kOpaquePush),
    MessageRow(kMessageRowHigh, kThemeBackDetail),
    MessageRow(kMessageRowLow, kRowShowRoute),
    PointTabs(u"텝_테마검색", kTwinTabs, u"NameSearchAdv"),
};

// ---- Facility detail ----
constexpr const char16_t* kPoiRow[] = {u"<< 이전", u"위치보기", u"바로탐색"};
constexpr ScreenRow kPoi[] = {
    Titled(),
    TitleFrame(u"상세정보", 5, u"POIInfo"),
    Marker(),
    Blank(u"시설명칭", 17, 32, kGreen),
    Blank(u"전화번호", 29, 49, kBlue),
    Blank(u"주소", 29, 67, kBlue),
    ItemList(u"POI상세정보패널", 12, 90, 218, 210),
    Page(u"종별선택", 11, 210, 218, 70, kNull),
    MessageRow(kMessageRowLow, kPoiRow),
    OnRoot(PointTabs(u"텝_상세정보", kTwinTabs, u"AddressSearch")),
};

void Run(NaviRcBuilder* builder, NaviPanel* root, const CString& name, std::span<const ScreenRow> table,
         bool advanced) {
    RunScreenTable(builder, root, name, {table, ListenTo::Root}, advanced);
}

} // namespace

void BuildAroundSearchScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kAround, false); }
void BuildAroundSearchAdvScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kAround, true); }
void BuildNameSearchScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kName, false); }
void BuildNameSearchAdvScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kName, true); }
void BuildAddressSearchScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kAddress, false); }
void BuildAddressSearchAdvScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kAddress, true); }
void BuildNearLotSelectScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kNearLot, false); }
void BuildCateSearchScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kCategory, true); }
void BuildThemeSearchScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kTheme, false); }
void BuildThemeSearchAdvScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kTheme, true); }
void BuildPoiInfoScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kPoi, false); }
void BuildPoiInfoAdvScreen(NaviRcBuilder* b, NaviPanel* root, const CString& name) { Run(b, root, name, kPoi, true); }
