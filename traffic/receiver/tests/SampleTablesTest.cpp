// The content stores on the sample device's DARC tables.
#include "tools/mkdevice/BroadcastContent.h"
#include "traffic/receiver/tests/ContentFixture.h"

#include <cstring>

class SampleTablesTest : public ContentFixture {
protected:
    void SetUp() override {
        mkdev::WriteBroadcastContentFiles(mkdev::DeviceLayout(m_root.Host("")));
        W().openFile(MapFolder());
        CStock::instance()->openFile(MapFolder());
        ASSERT_TRUE(W().IsLoaded());
    }
    static CString MapFolder() { return CString(u"\\Storage Card\\MapData"); }
    CWeather& W() { return *CWeather::instance(); }
    int Feed(const Packet& p) { return W().setData(p.data(), static_cast<int>(p.size())); }
    std::vector<std::string> Lines(int group, int day) {
        CString report;
        std::vector<std::string> lines;
        if (!W().getLocalInfo(group, day, &report)) return lines;
        std::string r = report.ToUtf8();
        for (std::size_t at = 0, end; (end = r.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(r.substr(at, end - at + 2));
        return lines;
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        for (const auto& l : lines)
            if (l == line) return true;
        return false;
    }
};

TEST_F(SampleTablesTest, SeoulCurrentWeatherAndForecast) {
    ASSERT_EQ(Feed({0x19, 0x10, 0x10, 0x10, 0x53, 0x9E, 1, 0x00, 0xE5, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 1);
    auto lines = Lines(0, 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "◎ 서울경기 현재 기상 ◎\r\n");
    EXPECT_TRUE(Has(lines, "서울 : 10일 14시 30분 현재 맑음 : (22.9℃) \r\n"));
    EXPECT_TRUE(Has(lines, "인천 : 미수신\r\n"));
    ASSERT_EQ(Feed({0x19, 0x10, 0x10, 0x10, 0x53, 0x9E, 1, 0x00, 0xE5, 0x80, 0x19, 0x00, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 1);
    EXPECT_TRUE(Has(Lines(0, 0), "서울 : 10일 14시 30분 현재 맑음 : (22.9℃) 강설(2.5cm / 10.0cm)\r\n"));
    // 9476 day 1: code 1, lowest -2, highest 5, morning 0x85, afternoon 0x20; today the 10th.
    ASSERT_EQ(Feed({0x19, 0x20, 0x25, 0x04, 1, 1, 0xFE, 5, 0x85, 0x20, 0, 10, 0x25, 0x04, 2, 1, 0, 3, 0xFF, 0xFF, 0, 0}), 1);
    lines = Lines(0, 1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "◎ 서울경기 오늘 기상예보 ◎\r\n");
    EXPECT_TRUE(Has(lines, "서울 : 맑음 (-2℃ ∼ 5℃) (AM 강설5%  PM 강우32%)\r\n"));
    EXPECT_TRUE(Has(Lines(0, 2), "서울 : 맑음 (0℃ ∼ 3℃) \r\n"));
    EXPECT_EQ(Lines(0, 5).at(0), "◎ 서울경기 4일 후 기상예보 ◎\r\n");
}

TEST_F(SampleTablesTest, GroupsListTheWeatherMapsSubRegions) {
    // Sub-regions per region map: 서울경기 6, 영서 5, 영동 4, 충남 5, 충북 5, 전남 6, 전북 5, 경남 6,
    // 경북 6, 제주 3, 울릉도 2.
    const int counts[11] = {6, 5, 4, 5, 5, 6, 5, 6, 6, 3, 2};
    for (int g = 0; g < 11; ++g) {
        EXPECT_EQ(Lines(g, 0).size(), static_cast<std::size_t>(counts[g] + 1)) << g;
        EXPECT_EQ(Lines(g, 1).size(), static_cast<std::size_t>(counts[g] + 1)) << g;
    }
    // Group 11: the country codes that are no place's: 4152 for the current weather, all eleven
    // forecast codes (82xx) for the forecasts.
    EXPECT_EQ(Lines(11, 0), (std::vector<std::string>{"◎  현재 기상 ◎\r\n", "제주도 : 미수신\r\n"}));
    EXPECT_EQ(Lines(11, 1).size(), 12u);
    EXPECT_GE(W().getIndex(4152, CWeather::kCurrent), 0);
    EXPECT_GE(W().getIndex(8194, CWeather::kShort), 0);
    EXPECT_GE(W().getIndex(9476, CWeather::kShort), 0);
    EXPECT_EQ(W().getIndex(9476, CWeather::kCurrent), -1);
    EXPECT_EQ(W().GetRecordCount(0), 6 + 5 + 4 + 5 + 5 + 6 + 5 + 6 + 6 + 3 + 2 + 1);
    EXPECT_EQ(W().GetRecordCount(2), 6);
    for (unsigned short code : {8195, 8200, 8196, 8208, 8212, 8211}) EXPECT_GE(W().getIndex(code, CWeather::kWeekly), 0);
    for (int g = 0; g < 6; ++g) EXPECT_EQ(Lines(g, 4).size(), 2u) << g;
    EXPECT_EQ(Lines(6, 4).size(), 1u);
}

TEST_F(SampleTablesTest, ConditionTextsMatchTheMapIcons) {
    EXPECT_STREQ(W().getCurWeatherText(1), Utf8ToCp949("맑음").c_str());
    EXPECT_NE(Cp949ToUtf8(W().getCurWeatherText(12)).find("안개"), std::string::npos);
    EXPECT_STREQ(W().getForeWeatherText(12), Utf8ToCp949("맑은후비").c_str());
    EXPECT_STREQ(W().getForeWeatherText(1), Utf8ToCp949("맑음").c_str());
}

TEST_F(SampleTablesTest, StockItemsAndMarkets) {
    CStock& s = *CStock::instance();
    unsigned long count = 0;
    s.getCount(count);
    EXPECT_GE(count, 35u);
    EXPECT_EQ(s.GetMarketCount(), 4);
    EXPECT_EQ(Cp949ToUtf8(s.GetMarketName(3)), "선물");
    EXPECT_EQ(s.GetMarketName(2), "KOSPI200");
    Packet q{0x1A, 0x10, 0x02, 0x51, 'A', 0, 0x4C, 0x35, 1, 0, 1, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(s.setData(q.data(), static_cast<int>(q.size())), 1);
    SIM item;
    ASSERT_EQ(s.getStockDataByCode(item, 593, 'A'), 1);
    EXPECT_EQ(item.price, 0x4C35);
    s.readyTravel();
    char name[64];
    unsigned short code = 0;
    unsigned char suffix = 0;
    int sam = 0;
    unsigned long previous = 0, items = 0;
    for (std::memset(name, 0, sizeof name); s.nextCode(name, sizeof name, code, suffix); std::memset(name, 0, sizeof name)) {
        const unsigned long key = static_cast<unsigned long>(code) * 256 + suffix;
        EXPECT_GT(key, previous);
        previous = key;
        ++items;
        if (Cp949ToUtf8(name).rfind("삼", 0) == 0) ++sam;
    }
    EXPECT_EQ(items, count);
    EXPECT_GE(sam, 3);
}
