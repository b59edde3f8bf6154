// The GPS dialogs' screens. The set-up of a first start: the model's name, the "do not ask again"
// box and the two buttons. The GPS information window: the item list "천공도관련패널들" whose first
// page shows the sky chart's background, the values and the buttons, and whose second page holds
// the receiver settings of the system page's GPS tab with "확 인". The sky view and the quality bar
// are the dialog's own controls, drawn over the first page; nothing tappable lies on the chart
// (x 32..134, y 49..151), where the dialog counts pen-ups.
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/screens/NaviScreenCatalogue.h"
#include "skinui/screens/NaviScreenTable.h"

using namespace rows;

namespace {

constexpr const char16_t* kCfg = u"Configure";
constexpr const char16_t* kNull = u"NULL";
constexpr const char16_t* kSky = u"SkyView";
constexpr std::uint32_t kSharedImages = kVisible | kFeedback | kUseCheckGroup | kShowText;

constexpr ScreenRow ItemList(const char16_t* name, int x, int y, int w, int h) {
    return ScreenRow{.kind = RowKind::ItemList, .name = name, .x = x, .y = y, .w = w, .h = h};
}
constexpr ScreenRow TabPanel(const char16_t* name, std::span<const ScreenRow> sub) {
    return ScreenRow{.kind = RowKind::TabPanel, .name = name, .x = 0, .y = 45, .w = 240, .h = 275, .sub = sub};
}
// A value shown by the dialog (black, at x, width w).
constexpr ScreenRow Value(const char16_t* name, int x, int y, int w, const char16_t* text) {
    ScreenRow row = Label(name, x, y, w, 14, 0x000000, 6, 111, kNull);
    row.text = text;
    return row;
}

// ---- the set-up ----
constexpr ScreenRow kGpsConfig[] = {
    ScreenRow{.kind = RowKind::ShapeRoot, .name = u"InitGPSConfig", .x = 0, .y = 0, .w = 240, .h = 320,
              .group = kNull},
    Frame(u"배경", 0, 0, 0, 0, u"InitGPSConfig"),
    Frame(u"초기GPS설정", 0, 0, 0, 0, u"InitGPSConfig"),
    Caption(u"이 PDA에 맞는 GPS 수신기 설정이", 24, 70, kNull),
    Caption(u"여러 가지 있습니다.", 24, 88, kNull),
    Caption(u"[자동설정]을 누르면 수신기를", 24, 112, kNull),
    Caption(u"찾아서 설정합니다.", 24, 130, kNull),
    Caption(u"PDA :", 24, 165, kNull),
    Value(u"PDA이름", 77, 165, 140, u""),
    CheckBox(u"다음부터 이 창을 띄우지 않음", 30, 235, kCfg),
    CheckButton(u"다음에설정", 19, 275, 96, 27, u"AddressSearch", u"버튼1", kSharedImages),
    CheckButton(u"자동설정", 125, 275, 96, 27, u"AddressSearch", u"버튼1", kSharedImages),
};

// ---- the information window ----
constexpr const char16_t* kPorts[] = {u"COM1:", u"COM2:", u"COM3:", u"COM4:", u"COM5:",
                                      u"COM6:", u"COM7:", u"COM8:", u"COM9:"};
constexpr const char16_t* kBauds[] = {u"2400", u"4800", u"9600", u"19200", u"38400", u"57600"};

#define GPS_VALUES                                                                 \
    Frame(u"천공도", 31, 46, 104, 104, kSky),                                      \
    Caption(u"속도 :", 142, 50, kNull), Value(u"속도", 150, 66, 86, u"0km/h"),       \
    Caption(u"고도 :", 142, 84, kNull), Value(u"고도", 150, 100, 86, u"0m"),         \
    Caption(u"시간 :", 142, 118, kNull), Value(u"시간", 150, 134, 86, u"00:00:00"),  \
    Caption(u"HDOP :", 142, 152, kNull), Value(u"HDOP", 190, 152, 46, u"0.0"),      \
    Value(u"동경", 20, 172, 200, u"동경 000:00:00.00"),                              \
    Value(u"북위", 20, 190, 200, u"북위 00:00:00.00"),                               \
    Frame(u"수신감도배경", 45, 213, 150, 21, kSky),                                  \
    Value(u"시리얼포트상태", 8, 244, 224, u"")

constexpr ScreenRow kSkyPage3[] = {
    GPS_VALUES,
    CheckButton(u"재설정", 8, 275, 71, 27, u"AddressSearch", u"버튼3", kSharedImages),
    CheckButton(u"초기화", 84, 275, 71, 27, u"AddressSearch", u"버튼3", kSharedImages),
    CheckButton(u"확인", 160, 275, 71, 27, u"AddressSearch", u"버튼3", kSharedImages),
};
constexpr ScreenRow kSkyPage2[] = {
    GPS_VALUES,
    CheckButton(u"재설정", 19, 275, 96, 27, u"AddressSearch", u"버튼1", kSharedImages),
    CheckButton(u"확인", 125, 275, 96, 27, u"AddressSearch", u"버튼1", kSharedImages),
};
#undef GPS_VALUES

// The system page's GPS tab, confirmed with "확 인".
constexpr ScreenRow kSettingsPage[] = {
    Heading(u"수신좌표계", 8, 37, kNull),
    Heading(u"수신기 수동 설정", 8, 127, kNull),
    Frame(u"Background", 25, 59, 196, 29, kNull),
    Frame(u"Background", 25, 149, 196, 56, kNull),
    Button(u"수신기자동찾기", 34, 90, 176, 27, kSky),
    Frame(u"Port", 34, 158, 37, 10, u"Configure\\System", kEnabled | kTransparent),
    Frame(u"Baud", 34, 184, 76, 10, u"Configure\\System", kEnabled | kTransparent),
    RadioGroup(u"수신좌표계그룹", kCfg),
    Radio(u"WGS84", 34, 63), Radio(u"BESSEL", 135, 63),
    Combo(u"Port설정", 118, 152, 96, 23, kCfg, kPorts),
    Combo(u"BaudRate설정", 118, 178, 96, 23, kCfg, kBauds),
    CheckBox(u"별도 GPS 수신기 사용", 34, 209, kCfg),
    CheckBox(u"ZARN 수신기 사용", 34, 231, kCfg),
    Apply(u"확 인", 71, 256),
};

constexpr ScreenRow Root() {
    return ScreenRow{.kind = RowKind::ShapeRoot, .name = u"GPS정보", .x = 0, .y = 0, .w = 240, .h = 320,
                     .group = kNull};
}
constexpr ScreenRow kSky3[] = {
    Root(),
    Frame(u"배경", 0, 0, 0, 0, kSky),
    Frame(u"GPS정보", 0, 0, 0, 0, kSky),
    ItemList(u"천공도관련패널들", 0, 45, 240, 275),
    TabPanel(u"천공도패널", kSkyPage3),
    TabPanel(u"GPS설정패널", kSettingsPage),
};
constexpr ScreenRow kSky2[] = {
    Root(),
    Frame(u"배경", 0, 0, 0, 0, kSky),
    Frame(u"GPS정보", 0, 0, 0, 0, kSky),
    ItemList(u"천공도관련패널들", 0, 45, 240, 275),
    TabPanel(u"천공도패널", kSkyPage2),
    TabPanel(u"GPS설정패널", kSettingsPage),
};

} // namespace

void BuildGpsConfigScreen(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, ScreenTable{kGpsConfig, ListenTo::Root});
}

void BuildGpsSkyScreen3(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, ScreenTable{kSky3});
}

void BuildGpsSkyScreen2(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName) {
    RunScreenTable(builder, root, screenName, ScreenTable{kSky2});
}
