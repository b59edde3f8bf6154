#include "traffic/pages/WeatherPage.h"

#include "platform/base/CTime.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/window/PropertySheet.h"
#include "skinui/NaviBitmap.h"
#include "traffic/pages/DARCWeather.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/receiver/tests/ContentFixture.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Le16(int v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }

std::string Texts(std::initializer_list<const char*> texts) {
    std::string s(1, static_cast<char>(texts.size()));
    for (const char* t : texts) {
        const std::string c = Utf8ToCp949(t);
        s += static_cast<char>(c.size());
        s += c;
    }
    return s;
}

// A region table of the weather store: group ends, the listed codes, the record codes (in
// ascending order) and their names. Only group 9 (제주도) holds places; group 11 holds the
// country-map code.
std::string JejuTable(const std::vector<int>& places, int country, const std::vector<const char*>& names) {
    const int n = static_cast<int>(places.size());
    std::string s = Le16(12);
    for (int g = 0; g < 12; ++g) s += Le16(g < 9 ? 0 : g < 11 ? n : n + 1);
    std::vector<std::pair<int, const char*>> records;
    for (int i = 0; i < n; ++i) {
        s += Le16(places[static_cast<std::size_t>(i)]);
        records.push_back({places[static_cast<std::size_t>(i)], names[static_cast<std::size_t>(i)]});
    }
    s += Le16(country);
    records.push_back({country, names.back()});
    std::sort(records.begin(), records.end());
    for (const auto& r : records) s += Le16(r.first);
    for (const auto& r : records) {
        const std::string c = Utf8ToCp949(r.second);
        s += static_cast<char>(c.size());
        s += c;
    }
    return s;
}

// A one-colour stand-in for a skin image, decoded from PNG bytes as the skin archive gives it.
std::unique_ptr<NaviBitmap> Solid(int width, int height, COLORREF colour) {
    NaviBitmap drawn(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) drawn.SetPixelColor(x, y, colour);
    std::vector<BYTE> png;
    EXPECT_TRUE(drawn.Encode(png));
    auto image = std::make_unique<NaviBitmap>();
    EXPECT_TRUE(image->LoadFromMemory(png.data(), png.size()));
    return image;
}

constexpr COLORREF kCountry = RGB(90, 90, 90);
constexpr COLORREF kWeekly = RGB(60, 60, 140);
constexpr COLORREF kJeju = RGB(40, 110, 40);
constexpr COLORREF kUnknown = RGB(200, 0, 0);
constexpr COLORREF kFog = RGB(0, 200, 200);
constexpr COLORREF kSunThenRain = RGB(230, 160, 0);
constexpr COLORREF kLegend = RGB(0, 0, 220);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The 제주도 region: its hot spot on the country map and its places on its own map.
constexpr POINT kJejuSpot{178, 127};
constexpr POINT kPlaces[3] = {{92, 30}, {83, 85}, {169, 48}}; // 제주, 서귀포, 성산포
constexpr POINT kBack{195, 1};

} // namespace

class WeatherPageTest : public ContentFixture {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        // Noon of 30 September, a 30-day month.
        m_clock.SetUtc(CTime(2026, 9, 30, 12, 0, 0).GetTime() * 1000);
        WriteTables({9750, 9753, 9749}, {"제주", "서귀포", "성산포"});
        CWeather::instance()->openFile(Folder());
        ASSERT_TRUE(CWeather::instance()->IsLoaded());
    }
    void TearDown() override {
        if (m_sheet.m_hWnd) m_sheet.DestroyWindow();
        WinResetForTests();
        CSheetStorage::destruct();
        CDARCWeather::destruct();
        GdiUseBuiltinFont(false);
    }
    void WriteTables(const std::vector<int>& shortPlaces, const std::vector<const char*>& shortNames) {
        m_root.MakeFile("MapData/DARC/WIMTable01.bin", Texts({"없음", "맑음"}));
        m_root.MakeFile("MapData/DARC/WIMTable02.bin", Texts({"없음", "맑음"}));
        m_root.MakeFile("MapData/DARC/WIMTable03.bin", Texts({"황사"}));
        m_root.MakeFile("MapData/DARC/WIMID_Cur.bin",
                        JejuTable({4151, 4153, 4195}, 4152, {"제주", "서귀포", "성산포", "제주도"}));
        std::vector<const char*> names = shortNames;
        names.push_back("제주도");
        m_root.MakeFile("MapData/DARC/WIMID_Short.bin", JejuTable(shortPlaces, 8211, names));
        m_root.MakeFile("MapData/DARC/WIMID_Week.bin", Le16(1) + Le16(1) + Le16(8211) + Le16(8211) + "\x04" +
                                                           Utf8ToCp949("제주"));
    }
    static void Feed(const Packet& p) { CWeather::instance()->setData(p.data(), static_cast<int>(p.size())); }
    // The current weather of a region: condition code, 15.0 degrees, no precipitation.
    static Packet Current(int region, int code) {
        Packet p(22, 0);
        p[0] = 0x19;
        p[1] = 0x10;
        p[2] = static_cast<unsigned char>(region >> 8);
        p[3] = static_cast<unsigned char>(region);
        p[4] = 0xF3;
        p[5] = 0x9E; // day 30, 14:30
        p[6] = static_cast<unsigned char>(code);
        p[8] = 150;
        p[9] = p[10] = p[11] = p[12] = 0xFF;
        return p;
    }
    // The short forecast of two regions for a day, with the broadcast's today.
    static Packet Short(int region, int day, int code, int region2, int today) {
        Packet p{0x19, 0x20, static_cast<unsigned char>(region >> 8), static_cast<unsigned char>(region),
                 static_cast<unsigned char>(day), static_cast<unsigned char>(code), 3, 9, 0xFF, 0xFF, 0,
                 static_cast<unsigned char>(today), static_cast<unsigned char>(region2 >> 8),
                 static_cast<unsigned char>(region2), static_cast<unsigned char>(day), 1, 2, 8, 0xFF, 0xFF, 0, 0};
        return p;
    }

    void Open() {
        m_sheet.AddPage(&m_page);
        ASSERT_TRUE(m_sheet.Create());
        WeatherMapCtrl& map = m_page.GetMap();
        map.SetImage(u"현재오늘내일모레", Solid(222, 206, kCountry));
        map.SetImage(u"예보", Solid(222, 206, kWeekly));
        map.SetImage(u"제주", Solid(222, 206, kJeju));
        map.SetImage(u"n알수없음", Solid(24, 24, kUnknown));
        map.SetImage(u"n안개", Solid(24, 24, kFog));
        map.SetImage(u"f맑은후비", Solid(24, 24, kSunThenRain));
        map.SetImage(u"기온정보", Solid(28, 60, kLegend));
        map.SetImage(u"현재기온정보", Solid(28, 60, kLegend));
        map.SetImage(u"강수정보", Solid(28, 60, kLegend));
        map.SetImage(u"현재강수정보", Solid(28, 60, kLegend));
        m_page.Invalidate();
        WinDispatchPending();
    }
    void Choose(UINT id, int index) {
        CComboBox& box = id == CWeatherPage::IDC_COMBO_MODE ? m_page.m_modeBox : m_page.m_dayBox;
        box.SetCurSel(index);
        ::SendMessageW(m_page.m_hWnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(box.m_hWnd));
        WinDispatchPending();
    }
    // A pen lifted at a map point.
    void TapMap(POINT p) {
        ::SendMessageW(m_page.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x + 2, p.y + 26));
        WinDispatchPending();
    }
    // The screen after the page has painted, read at map coordinates.
    gdi::Bitmap* Frame() {
        m_page.UpdateWindow();
        WinComposeScreen();
        return gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
    }
    COLORREF MapPixel(POINT p) {
        POINT s{p.x + 2, p.y + 26};
        ::ClientToScreen(m_page.m_hWnd, &s);
        return Frame()->GetColor(s.x, s.y);
    }
    // The colour of a whole 24 x 24 hot spot, or CLR_INVALID when it is not one colour.
    COLORREF SpotColour(POINT p) {
        gdi::Bitmap* frame = Frame();
        POINT s{p.x + 2, p.y + 26};
        ::ClientToScreen(m_page.m_hWnd, &s);
        const COLORREF c = frame->GetColor(s.x, s.y);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                if (frame->GetColor(s.x + x, s.y + y) != c) return CLR_INVALID;
        return c;
    }
    std::u16string DayEntry(int i) {
        CString text;
        m_page.m_dayBox.GetLBText(i, text);
        return std::u16string(text.GetString(), static_cast<std::size_t>(text.GetLength()));
    }
    bool ReportShown() { return ::IsWindowVisible(m_page.m_report.m_hWnd) != FALSE; }
    std::u16string ReportText() {
        CString text;
        m_page.m_report.GetWindowText(text);
        return std::u16string(text.GetString(), static_cast<std::size_t>(text.GetLength()));
    }

    CPropertySheet m_sheet{u"ZARN정보"};
    CWeatherPage m_page;
};

TEST_F(WeatherPageTest, ConditionTwelveIsFogNowAndSunThenRainOnAForecastDay) {
    Feed(Current(4152, 12));
    Feed(Short(8211, 2, 12, 9750, 30));
    Open();
    EXPECT_EQ(SpotColour(kJejuSpot), kFog);
    Choose(CWeatherPage::IDC_COMBO_DAY, 2);
    EXPECT_EQ(SpotColour(kJejuSpot), kSunThenRain);
    // Regions without data keep the unknown icon: 서울/경기 at (40, 42).
    EXPECT_EQ(SpotColour(POINT{40, 42}), kUnknown);
}

TEST_F(WeatherPageTest, ARegionWithoutDataShowsTheUnknownIconAndQuestionMarks) {
    Open();
    EXPECT_EQ(SpotColour(kJejuSpot), kUnknown);
    EXPECT_EQ(MapPixel(POINT{5, 5}), kCountry);

    // The white text of the current temperature, in its 32 x 14 box at (x - 4, y + 7), against
    // "??" drawn here with the same font in the same box.
    Choose(CWeatherPage::IDC_COMBO_MODE, 1);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 32, 14);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT all{0, 0, 32, 14};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kWhite);
    RECT box = all;
    ::DrawTextW(dc, u"??", 2, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    gdi::Bitmap* frame = Frame();
    POINT s{kJejuSpot.x - 4 + 2, kJejuSpot.y + 7 + 26};
    ::ClientToScreen(m_page.m_hWnd, &s);
    int white = 0, mismatched = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool expected = ::GetPixel(dc, x, y) == kWhite;
            const bool drawn = frame->GetColor(s.x + x, s.y + y) == kWhite;
            white += expected ? 1 : 0;
            mismatched += expected != drawn ? 1 : 0;
        }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    EXPECT_GT(white, 10);
    EXPECT_EQ(mismatched, 0);
}

TEST_F(WeatherPageTest, TappingJejuOpensItsMapWithThreePlacesAndTheBackMarkReturns) {
    Open();
    EXPECT_FALSE(ReportShown());
    TapMap(POINT{kJejuSpot.x + 12, kJejuSpot.y + 12});
    EXPECT_EQ(MapPixel(POINT{5, 5}), kJeju);
    for (const POINT& p : kPlaces) EXPECT_EQ(SpotColour(p), kUnknown) << p.x;
    EXPECT_EQ(MapPixel(POINT{178 + 12, 127 + 12}), kJeju); // the country map's 제주 spot is gone
    // The current report of 제주도 (group 9) shows under the map.
    EXPECT_TRUE(ReportShown());
    EXPECT_EQ(ReportText().rfind(u"◎ 제주도 현재 기상 ◎\r\n", 0), 0u);
    // The back mark at (195, 1), 24 x 32.
    TapMap(POINT{kBack.x + 20, kBack.y + 30});
    EXPECT_EQ(MapPixel(POINT{5, 5}), kCountry);
    EXPECT_EQ(SpotColour(kJejuSpot), kUnknown);
    EXPECT_FALSE(ReportShown());
}

TEST_F(WeatherPageTest, DayEntriesFollowTheBroadcastsTodayAcrossTheMonthsEnd) {
    Open();
    // Before a forecast names today, the entries keep their plain names.
    EXPECT_EQ(DayEntry(1), u"오늘");
    Feed(Short(9750, 1, 1, 9753, 30));
    m_page.Invalidate();
    Frame();
    const char16_t* expected[] = {u"현재",          u"오늘( 30 일)", u"내일( 1 일)", u"모레( 2 일)", u"3일후( 3 일)",
                                  u"4일후( 4 일)", u"5일후( 5 일)", u"6일후( 6 일)", u"7일후( 7 일)"};
    ASSERT_EQ(m_page.m_dayBox.GetCount(), 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(DayEntry(i), expected[i]) << i;
    EXPECT_EQ(m_page.m_dayBox.GetCurSel(), 0);

    // "눈/비 확률" renames the first entry, in place and still selected; back to "현재" after.
    Choose(CWeatherPage::IDC_COMBO_MODE, 2);
    Frame();
    EXPECT_EQ(DayEntry(0), u"현재강수량");
    EXPECT_EQ(DayEntry(1), u"오늘( 30 일)");
    EXPECT_EQ(m_page.m_dayBox.GetCurSel(), 0);
    EXPECT_EQ(m_page.m_dayBox.GetCount(), 9);
    Choose(CWeatherPage::IDC_COMBO_DAY, 3);
    Choose(CWeatherPage::IDC_COMBO_MODE, 0);
    EXPECT_EQ(DayEntry(0), u"현재");
    EXPECT_EQ(m_page.m_dayBox.GetCurSel(), 3);
    Choose(CWeatherPage::IDC_COMBO_MODE, 2);
    EXPECT_EQ(DayEntry(0), u"현재강수량");
    Choose(CWeatherPage::IDC_COMBO_MODE, 1);
    EXPECT_EQ(DayEntry(0), u"현재");
}

TEST_F(WeatherPageTest, AWeeklyDayHidesTheReportAndShowsTheWeeklyMap) {
    Open();
    Choose(CWeatherPage::IDC_COMBO_DAY, 1);
    TapMap(POINT{kJejuSpot.x, kJejuSpot.y});
    EXPECT_EQ(m_page.GetMap().GetRegion(), 8211);
    ASSERT_TRUE(ReportShown());
    EXPECT_EQ(ReportText().rfind(u"◎ 제주도 오늘 기상예보 ◎\r\n", 0), 0u);
    Choose(CWeatherPage::IDC_COMBO_DAY, 5);
    EXPECT_FALSE(ReportShown());
    EXPECT_EQ(MapPixel(POINT{5, 5}), kWeekly);
    // Back on a short-forecast day the region's map and its report return.
    Choose(CWeatherPage::IDC_COMBO_DAY, 2);
    EXPECT_TRUE(ReportShown());
    EXPECT_EQ(ReportText().rfind(u"◎ 제주도 내일 기상예보 ◎\r\n", 0), 0u);
    EXPECT_EQ(MapPixel(POINT{5, 5}), kJeju);
}

TEST_F(WeatherPageTest, TappingSeogwipoSelectsItsReportLine) {
    Open();
    Choose(CWeatherPage::IDC_COMBO_DAY, 1);
    TapMap(kJejuSpot);
    const std::u16string report = ReportText();
    // Heading, 제주, 서귀포: the line after two line breaks.
    const std::size_t from = report.find(u"서귀포 :");
    ASSERT_NE(from, std::u16string::npos);
    const std::size_t to = report.find(u"\r\n", from);
    TapMap(POINT{kPlaces[1].x + 3, kPlaces[1].y + 20});
    int start = -1, end = -1;
    m_page.m_report.GetSel(start, end);
    EXPECT_EQ(start, static_cast<int>(from));
    EXPECT_EQ(end, static_cast<int>(to));
    EXPECT_EQ(m_page.m_report.GetFirstVisibleLine(), 2);
    int list = 0, index = 0;
    m_page.GetMap().GetTapped(list, index);
    EXPECT_EQ(index, -1); // the tapped place is forgotten
    EXPECT_EQ(MapPixel(POINT{5, 5}), kJeju);
}

TEST_F(WeatherPageTest, TappingSeogwipoLeavesAReportWithoutItsLineWhereItWas) {
    CWeather::destruct();
    WriteTables({9750, 9749}, {"제주", "성산포"});
    CWeather::instance()->openFile(Folder());
    ASSERT_TRUE(CWeather::instance()->IsLoaded());
    Open();
    Choose(CWeatherPage::IDC_COMBO_DAY, 1);
    TapMap(kJejuSpot);
    const std::u16string report = ReportText();
    ASSERT_EQ(report.find(u"서귀포 :"), std::u16string::npos);
    ASSERT_NE(report.find(u"성산포 :"), std::u16string::npos);
    m_page.m_report.SetSel(3, 5, TRUE);
    TapMap(kPlaces[1]);
    int start = -1, end = -1;
    m_page.m_report.GetSel(start, end);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(end, 5);
    EXPECT_EQ(ReportText(), report);
    EXPECT_EQ(m_page.m_report.GetFirstVisibleLine(), 0);
}

TEST_F(WeatherPageTest, TheLegendSitsAtItsPlaceOnTheCountryMapsInModesOneAndTwo) {
    Open();
    struct Case {
        int day;
        bool jeju; // on 제주도's own map
        int mode;
        bool legend;
    } cases[] = {
        {0, false, 0, false}, {0, false, 1, true}, {0, false, 2, true}, {2, false, 1, true},
        {6, false, 2, true},  {1, true, 1, false}, {0, true, 2, false},
    };
    for (const Case& c : cases) {
        Choose(CWeatherPage::IDC_COMBO_DAY, c.day);
        m_page.GetMap().SetRegion(c.jeju ? 8211 : 0);
        Choose(CWeatherPage::IDC_COMBO_MODE, c.mode);
        EXPECT_EQ(MapPixel(POINT{190, 4}) == kLegend, c.legend) << c.day << " " << c.mode;
        EXPECT_NE(MapPixel(POINT{189, 4}), kLegend);
        EXPECT_NE(MapPixel(POINT{190, 3}), kLegend);
    }
}
