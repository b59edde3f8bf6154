// The screen catalogue: which builder lays out a named screen. Rows are tested from the first
// down and the first whose rule the name meets wins; no row, no screen.
#pragma once

#include "platform/base/CString.h"

#include <span>
#include <vector>

class NaviItemList;
class NaviPanel;
class NaviRcBuilder;
class NaviTabCtrl;

using ScreenBuilderFn = void (*)(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);

enum class NameRule : unsigned char {
    Contains,      // the text anywhere in the name
    Equals,        // the whole name, case-sensitive
    EndsWith,      // the name's last characters
    NinePrefixed,  // the text as the name's first characters and the name nine characters long
};

struct ScreenCatalogueRow {
    NameRule rule;
    const char16_t* text;
    ScreenBuilderFn build;
    // A second whole name an Equals row also takes (null: none).
    const char16_t* alias = nullptr;
};

// Every row in the order they are tested.
std::span<const ScreenCatalogueRow> ScreenCatalogue();
// The first row the name meets, or null.
const ScreenCatalogueRow* FindScreenRow(const CString& screenName);
// One screen name per row, in catalogue order: the row's own name, or for a rule on part of the
// name an example combo name ("나만의메뉴0", "안내레벨콤보", "Button설정0").
std::vector<CString> CatalogueScreenNames();
bool NameMeetsRule(const CString& name, NameRule rule, const char16_t* text);

// The screen builders (Korean names are the screens they lay out).
void BuildComboPopupScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildPoiInfoScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildPoiInfoAdvScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildNameSearchScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildNameSearchAdvScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildAddressSearchScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildAddressSearchAdvScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildNearLotSelectScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildCateSearchScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildThemeSearchScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildThemeSearchAdvScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildAroundSearchScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildAroundSearchAdvScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildDisplaySettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildRouteSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildGuidanceSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildSoundSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildSystemSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildSaveLocationSettings(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildRouteSettingScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildRecentDestScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildSafeDriveManageScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildPointRegisterScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildRegisteredPointScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildLatLonScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildDorvaScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
// The GPS set-up of a first start ("PDA_GPS_CONFIG", also called "InitGPSConfig") and the GPS
// information window with three buttons ("GPS 천공도(Button3)") or two ("GPS 천공도(Button2)").
void BuildGpsConfigScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildGpsSkyScreen3(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildGpsSkyScreen2(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
// The four panels the dispatcher shapes itself.
void BuildMultiRoutePanel(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildExtraRouteBar(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildSimulDriveBar(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);
void BuildVolumeWindow(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName);

// Shared pieces.
// The point tab strip named tabName at (x, y): beginner set ("NameSearch", two tabs, 232 x 29)
// or advanced set ("NameSearchAdv", four tabs, 240 x 30); added to panel.
void BuildPointTabs(NaviRcBuilder* builder, NaviPanel* panel, const CString& tabName, bool advanced, int x, int y);
void BuildSymbolChoice(NaviRcBuilder* builder, NaviPanel* panel, const CString& groupName);
void BuildVoiceCombo(NaviRcBuilder* builder, NaviPanel* panel, const CString& name);
// A new panel (not added anywhere) in group "NeighSearch": 217 x 170 at 12, 40.
NaviPanel* BuildNeighPanel(NaviRcBuilder* builder, const CString& name);
NaviTabCtrl* BuildSoundTabs(NaviRcBuilder* builder);
NaviTabCtrl* BuildSavedDataTabs(NaviRcBuilder* builder);
// The system page's hardware-button rows for the builder's device type and button count.
void BuildHardwareButtonRows(NaviRcBuilder* builder, NaviPanel* tab);
// The icon name of button i on a device type ("" for none or past the table's four names).
const char16_t* HardwareButtonIcon(int deviceType, int button);
