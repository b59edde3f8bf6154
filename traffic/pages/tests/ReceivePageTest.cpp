#include "traffic/pages/ReceivePage.h"
#include "traffic/receiver/tests/ContentFixture.h"

#include "traffic/pages/tests/SampleBroadcast.h"

#include "platform/window/PropertySheet.h"

#include "traffic/pages/SheetStorage.h"

#include <string>
#include <vector>

namespace {

// A report of the receiver unit: STX, type, payload and a check byte making type + payload +
// check 0 modulo 256 (02, 03 and 1B escaped as 1B and the inverted byte), ETX.
std::string Report(int type, const std::vector<int>& payload) {
    int sum = type;
    for (int b : payload) sum += b;
    std::vector<int> all = payload;
    all.push_back((256 - sum % 256) % 256);
    std::string s{'\x02', static_cast<char>(type)};
    for (int b : all) {
        if (b == 0x02 || b == 0x03 || b == 0x1B) {
            s.push_back('\x1B');
            s.push_back(static_cast<char>(~b & 0xFF));
        } else {
            s.push_back(static_cast<char>(b));
        }
    }
    s.push_back('\x03');
    return s;
}
std::string RateReport(int rate, int code) { return Report(0x40, {rate, code}); }
// Filler after a report so that the receiver parses it (it works while 100 bytes are
// buffered) but is left with fewer than 100: it never sees a quiet buffer, which would start
// its automatic search.
const std::string kFiller(94, '\xFF');

constexpr std::uint32_t kLinkIds[] = {0x00060001, 0x00060002, 0x80020001, 0x80020002};

} // namespace

class ReceivePageTest : public ContentFixture {
protected:
    void SetUp() override {
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT type) {
            m_asked.push_back(text);
            CWnd* sheet = m_sheet.m_hWnd ? &m_sheet : nullptr;
            m_sheetClosable.push_back(sheet && (sheet->GetStyle() & WS_SYSMENU) != 0);
            return (type & 0x0F) == MB_YESNO ? m_answer : IDOK;
        });
    }
    void TearDown() override {
        if (m_sheet.m_hWnd) m_sheet.DestroyWindow();
        WinResetForTests();
        CSheetStorage::destruct();
    }
    // The sample device's Freq.bin and link table.
    void SampleTables() {
        samplebroadcast::WriteTables(m_root.Path(), std::vector<std::uint32_t>(std::begin(kLinkIds), std::end(kLinkIds)));
        CFreqScanner::instance()->openFile(SampleFolder());
    }
    // Where the sample device keeps its map data.
    static CString SampleFolder() { return samplebroadcast::MapFolder(); }
    void OpenSheet() {
        m_sheet.AddPage(&m_page);
        ASSERT_TRUE(m_sheet.Create(nullptr, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU));
        WinDispatchPending();
    }
    void Feed(const std::string& bytes) {
        ASSERT_EQ(CDARC::instance()->SetData(bytes.data(), static_cast<unsigned long>(bytes.size())), 1);
        CDARC::instance()->ParseData();
    }
    void Tick() { WinRunFor(CReceivePage::kTimerMs); }
    std::u16string Text(UINT id) {
        CString t;
        m_page.GetDlgItemText(static_cast<int>(id), t);
        return t.GetString();
    }
    bool Enabled(UINT id) { return m_page.GetDlgItem(static_cast<int>(id))->IsWindowEnabled() != FALSE; }
    std::vector<std::u16string> Entries(CComboBox& box) {
        std::vector<std::u16string> entries;
        for (int i = 0; i < box.GetCount(); ++i) {
            CString t;
            box.GetLBText(i, t);
            entries.emplace_back(t.GetString());
        }
        return entries;
    }
    void Click(UINT id) {
        m_page.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        WinDispatchPending();
    }
    void ChooseRegion(int region) {
        m_page.m_regionBox.SetCurSel(region);
        m_page.SendMessage(WM_COMMAND, MAKEWPARAM(CReceivePage::IDC_COMBO_REGION, CBN_SELCHANGE), 0);
    }

    CPropertySheet m_sheet{u"ZARN정보"};
    CReceivePage m_page;
    int m_answer = IDYES;
    std::vector<std::u16string> m_asked;
    std::vector<bool> m_sheetClosable;
};

TEST_F(ReceivePageTest, RegionsFromFreqBinStartingOnSeoul) {
    SampleTables();
    OpenSheet();
    EXPECT_EQ(Entries(m_page.m_regionBox),
              (std::vector<std::u16string>{u"서울", u"부산", u"대구", u"광주", u"대전", u"강원", u"제주"}));
    EXPECT_EQ(m_page.m_regionBox.GetCurSel(), 0);
    // Codes 36, 62 and 150: (code + 844) / 10 MHz.
    EXPECT_EQ(Entries(m_page.m_freqBox), (std::vector<std::u16string>{u"88.0 MHz", u"90.6 MHz", u"99.4 MHz"}));
    EXPECT_EQ(m_page.m_freqBox.GetCurSel(), 0);
    ChooseRegion(2);
    EXPECT_EQ(Entries(m_page.m_freqBox), (std::vector<std::u16string>{u"92.4 MHz", u"101.6 MHz"}));
    EXPECT_TRUE(m_asked.empty());
}

TEST_F(ReceivePageTest, WithoutSeoulAnErrorAndOtherRegionsStillWork) {
    // Regions "부산" (CP949 BACE BBEA) with codes 0 and 10, "AB" with 236.
    m_root.MakeFile("MapData/DARC/Freq.bin", Bytes({2, 4, 0xBA, 0xCE, 0xBB, 0xEA, 2, 'A', 'B', 2, 3, 0, 10, 236, 1, 0}));
    CFreqScanner::instance()->openFile(Folder());
    OpenSheet();
    EXPECT_EQ(m_asked, std::vector<std::u16string>{u"에러 : 서울 지역이 없습니다."});
    EXPECT_EQ(m_page.m_freqBox.GetCount(), 0);
    ChooseRegion(0);
    EXPECT_EQ(Entries(m_page.m_freqBox), (std::vector<std::u16string>{u"84.4 MHz", u"85.4 MHz"}));
    ChooseRegion(1);
    EXPECT_EQ(Entries(m_page.m_freqBox), std::vector<std::u16string>{u"108.0 MHz"});
    // The status field writes the same frequencies without the blank.
    EXPECT_EQ(std::u16string(CReceivePage::FrequencyText(0, false).GetString()), u"84.4MHz");
    EXPECT_EQ(std::u16string(CReceivePage::FrequencyText(236, false).GetString()), u"108.0MHz");
}

TEST_F(ReceivePageTest, StatusShowsRateAndPacketsAndFrequency) {
    SampleTables();
    CDARC::instance()->SetDARCConnected(1);
    std::string stream;
    for (int i = 0; i < 1234; ++i) stream += RateReport(87, 36);
    stream += Report(0x41, {'K', 1, 2, 3, 'B', 0, 0});
    Feed(stream + kFiller);
    ASSERT_EQ(CDARC::instance()->GetPacketNum(), 1234);
    OpenSheet();
    EXPECT_EQ(Text(CReceivePage::IDC_STATUS), u"ON");
    EXPECT_EQ(Text(CReceivePage::IDC_RATE), u"87% (1234)");
    EXPECT_EQ(Text(CReceivePage::IDC_FREQUENCY), u"88.0MHz");
    EXPECT_EQ(Text(CReceivePage::IDC_VERSION), u"K1.23");
    EXPECT_TRUE(Enabled(CReceivePage::IDC_BUTTON_SET));
    EXPECT_TRUE(Enabled(CReceivePage::IDC_COMBO_REGION));

    // Unplugged: "OFF", no tuning, the three fields emptied.
    CDARC::instance()->SetDARCConnected(0);
    Tick();
    EXPECT_EQ(Text(CReceivePage::IDC_STATUS), u"OFF");
    for (UINT id : {CReceivePage::IDC_RATE, CReceivePage::IDC_FREQUENCY, CReceivePage::IDC_VERSION})
        EXPECT_EQ(Text(id), u"") << id;
    for (UINT id : {CReceivePage::IDC_BUTTON_SET, CReceivePage::IDC_COMBO_REGION, CReceivePage::IDC_COMBO_FREQUENCY})
        EXPECT_FALSE(Enabled(id)) << id;

    // Back, while the scanner searches.
    CDARC::instance()->SetDARCConnected(1);
    CFreqScanner::instance()->SetScanMode(1);
    Tick();
    EXPECT_EQ(Text(CReceivePage::IDC_STATUS), u"자동 찾기 중");
    EXPECT_TRUE(Enabled(CReceivePage::IDC_COMBO_REGION));
}

TEST_F(ReceivePageTest, TuningAsksThenWaitsForTheReportOfTheNewFrequency) {
    SampleTables();
    CDARC::instance()->SetDARCConnected(1);
    Feed(RateReport(80, 36) + kFiller);
    OpenSheet();
    struct Case {
        int region, index, code;
    } cases[] = {
        {0, 2, 150}, // region 0: flat index = frequency index 2
        {1, 1, 120}, // 부산 starts after 서울's three: flat 4
        {2, 1, 172}, // 대구 after five: flat 6
        {6, 0, 90},  // 제주, the last region: flat 12
    };
    for (const Case& c : cases) {
        ChooseRegion(c.region);
        m_page.m_freqBox.SetCurSel(c.index);
        m_asked.clear();
        Click(CReceivePage::IDC_BUTTON_SET);
        EXPECT_EQ(m_asked, std::vector<std::u16string>{u"주파수를 변경하시겠습니까?"}) << c.region;
        char command[8] = {};
        unsigned long length = 0;
        ASSERT_EQ(CFreqScanner::instance()->GetManualSentence(command, length), 1) << c.region;
        EXPECT_EQ(static_cast<unsigned char>(command[2]), c.code) << c.region;
        for (UINT id :
             {CReceivePage::IDC_BUTTON_SET, CReceivePage::IDC_COMBO_REGION, CReceivePage::IDC_COMBO_FREQUENCY})
            EXPECT_FALSE(Enabled(id)) << c.region << " " << id;
        Tick();
        EXPECT_EQ(Text(CReceivePage::IDC_STATUS), u"주파수 설정 중") << c.region;
        EXPECT_FALSE(Enabled(CReceivePage::IDC_BUTTON_SET)) << c.region;
        // A report of another frequency changes nothing; the tuned one ends the wait.
        Feed(RateReport(80, c.code == 36 ? 62 : 36) + kFiller);
        Tick();
        EXPECT_EQ(Text(CReceivePage::IDC_STATUS), u"주파수 설정 중") << c.region;
        Feed(RateReport(80, c.code) + kFiller);
        Tick();
        EXPECT_EQ(Text(CReceivePage::IDC_STATUS), u"ON") << c.region;
        for (UINT id :
             {CReceivePage::IDC_BUTTON_SET, CReceivePage::IDC_COMBO_REGION, CReceivePage::IDC_COMBO_FREQUENCY})
            EXPECT_TRUE(Enabled(id)) << c.region << " " << id;
    }
}

TEST_F(ReceivePageTest, NothingIsTunedWithoutAChoiceOrAnAnswer) {
    SampleTables();
    CDARC::instance()->SetDARCConnected(1);
    Feed(RateReport(80, 36) + kFiller);
    OpenSheet();
    auto tuned = [] { return CFreqScanner::instance()->IsFreqChanged() != 0; };
    m_page.m_freqBox.SetCurSel(-1); // no frequency chosen
    Click(CReceivePage::IDC_BUTTON_SET);
    EXPECT_FALSE(tuned());
    m_page.m_freqBox.SetCurSel(1);
    m_page.m_regionBox.SetCurSel(-1); // no region chosen
    Click(CReceivePage::IDC_BUTTON_SET);
    EXPECT_FALSE(tuned());
    ChooseRegion(0);
    m_answer = IDNO;
    Click(CReceivePage::IDC_BUTTON_SET);
    EXPECT_EQ(m_asked, std::vector<std::u16string>{u"주파수를 변경하시겠습니까?"});
    EXPECT_FALSE(tuned());
    EXPECT_TRUE(Enabled(CReceivePage::IDC_COMBO_REGION));
}

TEST_F(ReceivePageTest, AChoiceOutsideTheScannersListTunesNothing) {
    SampleTables();
    OpenSheet();
    // The scanner's table is replaced while the page shows the old one: "서울" with two codes.
    CFreqScanner::destruct();
    m_root.MakeFile("Storage Card/MapData/DARC/Freq.bin",
                    Bytes({1, 4, 0xBC, 0xAD, 0xBF, 0xEF, 2, 36, 62, 2, 36, 62}));
    CFreqScanner::instance()->openFile(SampleFolder());
    ASSERT_EQ(CFreqScanner::instance()->GetLocalNum(), 1);
    struct Case {
        int region, index;
    } cases[] = {{0, 2}, {6, 1}};
    for (const Case& c : cases) {
        m_page.m_regionBox.SetCurSel(c.region);
        m_page.m_freqBox.SetCurSel(c.index);
        Click(CReceivePage::IDC_BUTTON_SET);
        EXPECT_EQ(CFreqScanner::instance()->IsFreqChanged(), 0) << c.region;
        EXPECT_TRUE(Enabled(CReceivePage::IDC_COMBO_REGION)) << c.region;
    }
    EXPECT_TRUE(m_asked.empty());
}

TEST_F(ReceivePageTest, EraseEmptiesAllFiveStoresOnlyWhenAnsweredYes) {
    SampleTables();
    samplebroadcast::OpenAndFeedStores();
    std::vector<unsigned char> speeds = {0x17, 0x00};
    for (std::uint32_t id : kLinkIds) {
        for (int b = 3; b >= 0; --b) speeds.push_back(static_cast<unsigned char>(id >> (8 * b)));
        speeds.push_back(40);
    }
    ASSERT_EQ(CTraffic::instance()->setData(speeds.data(), static_cast<int>(speeds.size())), 1);

    auto held = [] {
        std::vector<int> h;
        unsigned char speed = 0;
        h.push_back(CTraffic::instance()->getRealSpeedByIdx(0, speed));
        h.push_back(CMarkup::instance()->IsDataAvailable(2));
        h.push_back(CShortText::instance()->IsDataAvailable(1));
        // Any quoted stock, any region's current weather.
        int quoted = 0;
        for (const mkdev::StockItem& item : mkdev::SampleStockItems()) {
            SIM quote;
            CStock::instance()->getStockDataByCode(quote, item.code, item.suffix);
            if (quote.volume != 0xFFFFFFFFu) quoted = 1;
        }
        h.push_back(quoted);
        int current = 0;
        for (const auto& group : mkdev::SampleWeatherGroups(0))
            for (const mkdev::WeatherPlace& place : group) {
                WIM weather;
                if (CWeather::instance()->getWeatherByRegionAndDay(place.code, 0, weather)) current = 1;
            }
        h.push_back(current);
        return h;
    };
    ASSERT_EQ(held(), (std::vector<int>{1, 1, 1, 1, 1}));
    OpenSheet();
    m_answer = IDNO;
    Click(CReceivePage::IDC_BUTTON_ERASE);
    EXPECT_EQ(m_asked, std::vector<std::u16string>{u"ZARN 정보를 초기화하시겠습니까?"});
    EXPECT_EQ(m_sheetClosable, std::vector<bool>{false}); // no close box while asking
    EXPECT_NE(m_sheet.GetStyle() & WS_SYSMENU, 0u);        // and back afterwards
    EXPECT_EQ(held(), (std::vector<int>{1, 1, 1, 1, 1}));

    m_answer = IDYES;
    Click(CReceivePage::IDC_BUTTON_ERASE);
    EXPECT_NE(m_sheet.GetStyle() & WS_SYSMENU, 0u);
    EXPECT_EQ(held(), (std::vector<int>{0, 0, 0, 0, 0}));
    // The pages learn of the news and short-text resets.
    EXPECT_EQ(CMarkup::instance()->getReset(), 1);
    EXPECT_EQ(CShortText::instance()->getReset(), 1);
}

TEST_F(ReceivePageTest, TheTunedChoiceIsStoredAndItsFrequencyIndexReselected) {
    SampleTables();
    CDARC::instance()->SetDARCConnected(1);
    Feed(RateReport(80, 36) + kFiller);
    OpenSheet();
    m_page.m_freqBox.SetCurSel(2);
    Click(CReceivePage::IDC_BUTTON_SET);
    m_page.OnSheetDestroy();
    int region = -1, frequency = -1, third = -1;
    ASSERT_EQ(CSheetStorage::instance()->RestoreReceivePage(region, frequency, third), 1);
    EXPECT_EQ(region, 0);
    EXPECT_EQ(frequency, 2);
    EXPECT_EQ(third, 0);
    m_sheet.DestroyWindow();
    CReceivePage again;
    CPropertySheet sheet(u"ZARN정보");
    sheet.AddPage(&again);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(again.m_regionBox.GetCurSel(), 0);
    EXPECT_EQ(again.m_freqBox.GetCurSel(), 2);
    sheet.DestroyWindow();
}
