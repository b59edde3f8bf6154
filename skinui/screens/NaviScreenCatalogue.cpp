// The screen catalogue, the combo popup list, the point tab strip and the four small panels the
// dispatcher shapes itself.
#include "skinui/screens/NaviScreenCatalogue.h"

#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviScrollList.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "skinui/screens/NaviScreenTable.h"

using namespace rows;

namespace {

constexpr ScreenCatalogueRow kCatalogue[] = {
    {NameRule::Contains, u"나만의메뉴", BuildComboPopupScreen},
    {NameRule::Equals, u"POIInfo", BuildPoiInfoScreen},
    {NameRule::Equals, u"POIInfoAdv", BuildPoiInfoAdvScreen},
    {NameRule::Equals, u"NameSearch", BuildNameSearchScreen},
    {NameRule::Equals, u"NameSearchAdv", BuildNameSearchAdvScreen},
    {NameRule::Equals, u"AddressSearch", BuildAddressSearchScreen},
    {NameRule::Equals, u"AddressSearchAdv", BuildAddressSearchAdvScreen},
    {NameRule::Equals, u"NearLotSelect", BuildNearLotSelectScreen},
    {NameRule::Equals, u"CateSearch", BuildCateSearchScreen},
    {NameRule::Equals, u"ThemeSearch", BuildThemeSearchScreen},
    {NameRule::Equals, u"ThemeSearchAdv", BuildThemeSearchAdvScreen},
    {NameRule::Equals, u"AroundSearch", BuildAroundSearchScreen},
    {NameRule::Equals, u"AroundSearchAdv", BuildAroundSearchAdvScreen},
    {NameRule::Equals, u"환경설정-디스플레이", BuildDisplaySettings},
    {NameRule::Equals, u"환경설정-경로탐색", BuildRouteSettings},
    {NameRule::Equals, u"환경설정-안전운행안내", BuildGuidanceSettings},
    {NameRule::Equals, u"환경설정-사운드", BuildSoundSettings},
    {NameRule::Equals, u"환경설정-시스템", BuildSystemSettings},
    {NameRule::Equals, u"최저속도안내", BuildComboPopupScreen},
    {NameRule::Equals, u"Port설정", BuildComboPopupScreen},
    {NameRule::EndsWith, u"콤보", BuildComboPopupScreen},
    {NameRule::Equals, u"통신사설정", BuildComboPopupScreen},
    {NameRule::Equals, u"BaudRate설정", BuildComboPopupScreen},
    {NameRule::NinePrefixed, u"Button설정", BuildComboPopupScreen},
    {NameRule::Equals, u"재탐색표시간격", BuildComboPopupScreen},
    {NameRule::Equals, u"경로재설정", BuildRouteSettingScreen},
    {NameRule::Equals, u"최근목적지", BuildRecentDestScreen},
    {NameRule::Equals, u"안전운행관리", BuildSafeDriveManageScreen},
    {NameRule::Equals, u"야간시작시간", BuildComboPopupScreen},
    {NameRule::Equals, u"야간종료시간", BuildComboPopupScreen},
    {NameRule::Equals, u"다중경로탐색", BuildMultiRoutePanel},
    {NameRule::Equals, u"지점등록", BuildPointRegisterScreen},
    {NameRule::Equals, u"음성설정", BuildComboPopupScreen},
    {NameRule::Equals, u"다중탐색시작", BuildExtraRouteBar},
    {NameRule::Equals, u"모의주행", BuildSimulDriveBar},
    {NameRule::Equals, u"볼륨창", BuildVolumeWindow},
    {NameRule::Equals, u"등록지점관리", BuildRegisteredPointScreen},
    {NameRule::Equals, u"경위도이동", BuildLatLonScreen},
    {NameRule::Equals, u"도르바이동", BuildDorvaScreen},
    // The save-location page the user-information menu opens in the common dialog.
    {NameRule::Equals, u"사용자정보-정보저장위치", BuildSaveLocationSettings},
    // The GPS dialogs' screens.
    {NameRule::Equals, u"PDA_GPS_CONFIG", BuildGpsConfigScreen, u"InitGPSConfig"},
    {NameRule::Equals, u"GPS 천공도(Button3)", BuildGpsSkyScreen3},
    {NameRule::Equals, u"GPS 천공도(Button2)", BuildGpsSkyScreen2},
};

// ---- Combo popup list ----
constexpr int kPopupLayout[8] = {0, 0, 0, 15, 133, 15, 0, 291};
constexpr const char16_t* kComboDlg = u"Configure\\ComboDlg";
constexpr ScreenRow kPopupHead[] = {
    ScreenRow{.kind = RowKind::ShapeRoot, .name = u"팝업다이얼로그", .x = 0, .y = 0, .w = 148, .h = 313,
              .flags = kFrameLayout, .group = kComboDlg, .layout = kPopupLayout},
    Frame(u"Background", 10, 10, 128, 218, u"Configure"),
};
constexpr ScreenRow kPopupTail[] = {
    Button(u"이전", 10, 245, 60, 22, kComboDlg),
    Button(u"다음", 78, 245, 60, 22, kComboDlg),
    Frame(u"DisableArrowUp", 10, 245, 0, 0, kComboDlg, 0),
    Frame(u"DisableArrowDown", 78, 245, 0, 0, nullptr, 0),
    Button(u"Close", 28, 280, 94, 25, nullptr, kVisible | kFeedback | kTransparent),
    Group(u"Configure"),
};

// ---- The dispatcher's own panels ----
constexpr int kNoLayout[8] = {};
constexpr int kBarLayout[8] = {0, 0, 0, 0, 0, 0, 0, 52};
constexpr std::uint32_t kOwnImages = kVisible | kFeedback;
constexpr ScreenRow kMultiRoute[] = {
    ScreenRow{.kind = RowKind::ShapeRoot, .x = 12, .y = 126, .w = 216, .h = 174, .flags = kFrameLayout,
              .group = u"RouteResult", .layout = kNoLayout},
    // The controls stand at their places within the root panel (12, 126); children take screen
    // coordinates.
    Frame(u"탐색결과_고속우선", 12 + 13, 126 + 30, 0, 0, u"RouteResult", 0),
    Frame(u"탐색결과_추천경로", 12 + 13, 126 + 30, 0, 0, u"RouteResult", 0),
    Frame(u"탐색결과_일반우선1", 12 + 13, 126 + 30, 0, 0, u"RouteResult", 0),
    Frame(u"탐색결과_일반우선2", 12 + 13, 126 + 30, 0, 0, u"RouteResult", 0),
    CheckBox(u"고속우선", 12 + 14, 126 + 77, u"Configure"),
    CheckBox(u"추천경로", 12 + 105, 126 + 77, u"Configure"),
    CheckBox(u"일반추천(1)", 12 + 14, 126 + 102, u"Configure"),
    CheckBox(u"일반단거리(2)", 12 + 105, 126 + 102, u"Configure"),
    CheckButton(u"탐색시작", 12 + 13, 126 + 139, 89, 22, u"RouteResult", nullptr, kOwnImages | kPressImage),
    CheckButton(u"취소", 12 + 114, 126 + 139, 89, 22, u"RouteResult", nullptr, kOwnImages | kPressImage),
};
constexpr std::uint32_t kSharedImages = kVisible | kFeedback | kUseCheckGroup | kShowText;
constexpr ScreenRow kExtraRoute[] = {
    ScreenRow{.kind = RowKind::ShapeRoot, .x = 2, .y = 255, .w = 236, .h = 62, .flags = kFrameLayout,
              .group = u"RouteResult", .layout = kBarLayout},
    ScreenRow{.kind = RowKind::Label, .name = u"가", .x = 32, .y = 7, .w = 0, .h = 14, .group = u"RouteResult",
              .color = 0x0D9831, .style = 0, .align = 111, .text = u"추가경로를 탐색하시겠습니까?"},
    CheckButton(u"예", 24, 28, 96, 27, u"AddressSearch", u"버튼1", kSharedImages),
    CheckButton(u"아니요", 126, 28, 96, 27, u"AddressSearch", u"버튼1", kSharedImages),
};
constexpr ScreenRow kSimulDrive[] = {
    ScreenRow{.kind = RowKind::ShapeRoot, .x = 2, .y = 157, .w = 50, .h = 161, .flags = kFrameLayout,
              .group = u"NULL", .layout = kBarLayout},
    Frame(u"Bg", 0, 0, 50, 161, u"SimulRoute", kEnabled | kTransparent),
    CheckButton(u"종료", 0, 132, 25, 29, u"SimulRoute", nullptr, kOwnImages),
    CheckButton(u"목적지", 35, 6, 7, 7, u"SimulRoute", nullptr, kOwnImages),
    CheckButton(u"출발지", 35, 149, 7, 7, u"SimulRoute", nullptr, kOwnImages),
};
constexpr ScreenRow kVolume[] = {
    ScreenRow{.kind = RowKind::ShapeRoot, .x = 0, .y = 0, .w = 98, .h = 260, .group = u"NULL"},
    Frame(u"배경", 0, 0, 98, 260, u"Volume", kEnabled | kTransparent),
};

constexpr const char16_t* kBeginnerPointTabs[] = {u"텝_목적지", u"텝_출발지"};
constexpr const char16_t* kAdvancedPointTabs[] = {u"텝_목적지", u"텝_경유지", u"텝_출발지", u"텝_이동"};

} // namespace

std::span<const ScreenCatalogueRow> ScreenCatalogue() {
    return kCatalogue;
}

std::vector<CString> CatalogueScreenNames() {
    std::vector<CString> names;
    for (const ScreenCatalogueRow& row : kCatalogue) {
        switch (row.rule) {
        case NameRule::Contains: names.push_back(CString(row.text) + u"0"); break;
        case NameRule::Equals: names.push_back(row.text); break;
        case NameRule::EndsWith: names.push_back(CString(u"안내레벨") + row.text); break;
        case NameRule::NinePrefixed: names.push_back(CString(row.text) + u"0"); break;
        }
    }
    return names;
}

bool NameMeetsRule(const CString& name, NameRule rule, const char16_t* text) {
    const CString wanted(text);
    switch (rule) {
    case NameRule::Contains: return name.Find(text) >= 0;
    case NameRule::Equals: return name == wanted;
    case NameRule::EndsWith: return name.Right(wanted.GetLength()) == wanted;
    case NameRule::NinePrefixed: return name.GetLength() == 9 && name.Left(wanted.GetLength()) == wanted;
    }
    return false;
}

const ScreenCatalogueRow* FindScreenRow(const CString& screenName) {
    for (const ScreenCatalogueRow& row : kCatalogue)
        if (NameMeetsRule(screenName, row.rule, row.text) ||
            (row.alias && row.rule == NameRule::Equals && screenName == CString(row.alias)))
            return &row;
    return nullptr;
}

void BuildComboPopupScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    if (!builder || !root) return;
    RunScreenTable(builder, root, screenName, {kPopupHead});
    builder->SetImageGroup(u"Configure");
    NaviScrollList* list = builder->CreateScrollList(screenName + u"그룹", 18, 17, 133, 227);
    list->SetListener(root);
    root->AddChild(list);
    RunScreenTable(builder, root, screenName, {kPopupTail});
}

void BuildMultiRoutePanel(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kMultiRoute});
}
void BuildExtraRouteBar(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kExtraRoute});
}
void BuildSimulDriveBar(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kSimulDrive});
}
void BuildVolumeWindow(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, {kVolume});
}

void BuildPointTabs(NaviRcBuilder* builder, NaviPanel* panel, const CString& tabName, bool advanced, int x, int y) {
    if (!builder || !panel) return;
    ScreenRow row{.kind = RowKind::Tabs, .name = tabName.GetString(), .x = x, .y = y, .w = 232, .h = 29,
                  .flags = kVisible, .subGroup = u"NameSearch", .items = kBeginnerPointTabs};
    if (advanced) {
        row.w = 240;
        row.h = 30;
        row.subGroup = u"NameSearchAdv";
        row.items = kAdvancedPointTabs;
    }
    const ScreenRow table[] = {row};
    RunScreenTable(builder, panel, CString(), {table});
}
