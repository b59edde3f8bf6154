#include "traffic/receiver/tests/ContentFixture.h"

namespace {

std::string Le16(int v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }

std::string Texts(std::initializer_list<const char*> texts) {
    std::string s(1, static_cast<char>(texts.size()));
    for (const char* t : texts) {
        std::string c = Utf8ToCp949(t);
        s += static_cast<char>(c.size());
        s += c;
    }
    return s;
}

// A region table: group ends, listed codes, record codes and their names.
std::string Regions(std::initializer_list<int> ends, std::initializer_list<int> list, std::initializer_list<int> records,
                    std::initializer_list<const char*> names) {
    std::string s = Le16(static_cast<int>(ends.size()));
    for (int e : ends) s += Le16(e);
    for (int c : list) s += Le16(c);
    for (int c : records) s += Le16(c);
    for (const char* n : names) {
        std::string c = Utf8ToCp949(n);
        s += static_cast<char>(c.size());
        s += c;
    }
    return s;
}

} // namespace

class WeatherTest : public ContentFixture {
protected:
    CWeather& W() { return *CWeather::instance(); }
    void WriteTables() {
        m_root.MakeFile("MapData/DARC/WIMTable01.bin", Texts({"없음", "맑음", "흐림"}));
        m_root.MakeFile("MapData/DARC/WIMTable02.bin", Texts({"맑음", "흐림"}));
        m_root.MakeFile("MapData/DARC/WIMTable03.bin", Texts({"황사"}));
        // Group 0 lists 4112 and 4114 (which has no record), group 1 lists 4200.
        m_root.MakeFile("MapData/DARC/WIMID_Cur.bin",
                        Regions({2, 3}, {4112, 4114, 4200}, {4112, 4113, 4200}, {"서울", "인천", "춘천"}));
        m_root.MakeFile("MapData/DARC/WIMID_Short.bin", Regions({2}, {9476, 9477}, {9476, 9477}, {"서울", "수원"}));
        m_root.MakeFile("MapData/DARC/WIMID_Week.bin", Regions({1}, {8195}, {8195}, {"서울경기"}));
    }
    void Open() {
        WriteTables();
        W().openFile(Folder());
    }
    int Feed(const Packet& p) { return W().setData(p.data(), static_cast<int>(p.size())); }
    static Packet Current(int region, int a, int b) {
        Packet p(22, 0);
        p[0] = 0x19;
        p[1] = 0x10;
        p[2] = static_cast<unsigned char>(region >> 8);
        p[3] = static_cast<unsigned char>(region);
        p[4] = 0x53;
        p[5] = 0x9E; // day 10, 14:30
        p[6] = 1;
        p[7] = 0x00;
        p[8] = 0xE5; // 22.9 degrees
        p[9] = static_cast<unsigned char>(a >> 8);
        p[10] = static_cast<unsigned char>(a);
        p[11] = static_cast<unsigned char>(b >> 8);
        p[12] = static_cast<unsigned char>(b);
        return p;
    }
    static Packet Short(int region, int day, Packet fields, int region2, int day2, int today = 3) {
        Packet p{0x19, 0x20, static_cast<unsigned char>(region >> 8), static_cast<unsigned char>(region),
                 static_cast<unsigned char>(day)};
        p.insert(p.end(), fields.begin(), fields.end());
        p.push_back(0);
        p.push_back(static_cast<unsigned char>(today));
        p.push_back(static_cast<unsigned char>(region2 >> 8));
        p.push_back(static_cast<unsigned char>(region2));
        p.push_back(static_cast<unsigned char>(day2));
        p.insert(p.end(), {1, 3, 9, 0xFF, 0xFF, 0, 0});
        return p;
    }
    std::string Report(int group, int day) {
        CString report;
        if (!W().getLocalInfo(group, day, &report)) return "<0>";
        return report.ToUtf8();
    }
};

TEST_F(WeatherTest, CurrentWeatherLines) {
    Open();
    EXPECT_EQ(Report(0, 0), "◎ 서울경기 현재 기상 ◎\r\n서울 : 미수신\r\n : 미수신\r\n");
    ASSERT_EQ(Feed(Current(4112, 0xFFFF, 0)), 1);
    EXPECT_EQ(Report(0, 0), "◎ 서울경기 현재 기상 ◎\r\n서울 : 10일 14시 30분 현재 맑음 : (22.9℃) \r\n : 미수신\r\n");
    ASSERT_EQ(Feed(Current(4112, 0x8019, 0x0064)), 1);
    EXPECT_EQ(Report(0, 0), "◎ 서울경기 현재 기상 ◎\r\n서울 : 10일 14시 30분 현재 맑음 : (22.9℃) 강설(2.5cm / 10.0cm)\r\n"
                            " : 미수신\r\n");
    ASSERT_EQ(Feed(Current(4200, 0x000C, 0x0001)), 1);
    EXPECT_EQ(Report(1, 0), "◎ 강원영서 현재 기상 ◎\r\n춘천 : 10일 14시 30분 현재 맑음 : (22.9℃) 강우(1.2mm / 0.1mm)\r\n");
    EXPECT_EQ(Report(2, 0), "◎ 강원영동 현재 기상 ◎\r\n"); // no such group in the table
    EXPECT_EQ(Report(11, 0), "◎  현재 기상 ◎\r\n");
    EXPECT_EQ(Feed(Current(4114, 0xFFFF, 0)), 0); // listed, but no record
    unsigned char d = 0, h = 0, m = 0;
    EXPECT_EQ(CWeather::getDateTime(0x539E, &d, &h, &m), 1);
    EXPECT_EQ(d, 10);
    EXPECT_EQ(h, 14);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(CWeather::getDateTime(25 << 6, &d, &h, &m), 0);
}

TEST_F(WeatherTest, ForecastLinesAndHeadings) {
    Open();
    unsigned char today = 0;
    EXPECT_EQ(W().getToday(today), 0);
    ASSERT_EQ(Feed(Short(9476, 1, {0, 0xFE, 5, 0x85, 0x20}, 9477, 2)), 1);
    ASSERT_EQ(W().getToday(today), 1);
    EXPECT_EQ(today, 3);
    EXPECT_EQ(Report(0, 1), "◎ 서울경기 오늘 기상예보 ◎\r\n서울 : 맑음 (-2℃ ∼ 5℃) (AM 강설5%  PM 강우32%)\r\n수원 : 미수신\r\n");
    EXPECT_EQ(Report(0, 2), "◎ 서울경기 내일 기상예보 ◎\r\n서울 : 미수신\r\n수원 : 흐림 (3℃ ∼ 9℃) \r\n");
    EXPECT_EQ(Report(0, 3), "◎ 서울경기 모레 기상예보 ◎\r\n서울 : 미수신\r\n수원 : 미수신\r\n");
    Packet week{0x19, 0x30, 0x20, 0x03, 0, 0xFF, 1, 1, 1, 0xFD, 4, 0, 0x20, 0x03, 0, 0xFF, 1, 1, 1, 0xFD, 4, 0};
    ASSERT_EQ(Feed(week), 1);
    EXPECT_EQ(Report(0, 4), "◎ 서울경기 3일 후 기상예보 ◎\r\n서울경기 : 맑음 최저-3℃ 최고4℃ \r\n");
    EXPECT_EQ(Report(0, 5), "◎ 서울경기 4일 후 기상예보 ◎\r\n서울경기 :  최저-3℃ 최고4℃ \r\n");
    EXPECT_EQ(Report(0, 8), "◎ 서울경기 7일 후 기상예보 ◎\r\n서울경기 : 흐림 최저-3℃ 최고4℃ \r\n");
    EXPECT_TRUE(m_notices.empty());
    EXPECT_EQ(Report(12, 0), "<0>");
    EXPECT_EQ(Report(-1, 0), "<0>");
    EXPECT_EQ(Report(0, 9), "<0>");
    EXPECT_EQ(m_notices, (std::vector<std::string>{"wrong local number!", "wrong local number!", "day is not proper!"}));
}

TEST_F(WeatherTest, CopiesOfARegionAndDay) {
    Open();
    ASSERT_EQ(Feed(Short(9476, 1, {0, 0xFE, 5, 0x85, 0x20}, 9477, 2)), 1);
    WIM w;
    w.current.region = 1234;
    EXPECT_EQ(W().getWeatherByRegionAndDay(9476, 9, w), 0);
    EXPECT_EQ(w.current.region, 1234); // untouched
    EXPECT_EQ(W().getWeatherByRegionAndDay(9476, 2, w), 0);
    EXPECT_EQ(w.current.region, 0); // cleared
    EXPECT_EQ(w.shortForecast.region, 9476);
    ASSERT_EQ(W().getWeatherByRegionAndDay(9476, 1, w), 1);
    EXPECT_EQ(static_cast<std::int8_t>(w.shortForecast.Field(1, 1)), -2);
    EXPECT_EQ(w.shortForecast.Field(3, 1), 0x85);
    EXPECT_EQ(W().getWeatherByRegionAndDay(4112, 0, w), 0);
    EXPECT_EQ(W().getWeatherByRegionAndDay(5555, 1, w), 0);
    // An entry of a day outside 1-3 is not written; the first region stays written.
    EXPECT_EQ(Feed(Short(9477, 3, {1, 4, 8, 0xFF, 0xFF}, 9476, 4)), 0);
    EXPECT_EQ(W().getWeatherByRegionAndDay(9477, 3, w), 1);
    EXPECT_EQ(Feed(Short(9477, 0, {1, 4, 8, 0xFF, 0xFF}, 9476, 1)), 0);
    EXPECT_EQ(Feed(Short(1, 1, {1, 4, 8, 0xFF, 0xFF}, 9476, 1)), 0);
    EXPECT_EQ(W().getIndex(9477, CWeather::kShort), 1);
    EXPECT_EQ(W().getIndex(9477, 17), -1);
    EXPECT_EQ(W().getIndex(8195, CWeather::kWeekly), 0);
    Packet other(22, 0);
    other[0] = 0x19;
    other[1] = 0x40;
    EXPECT_EQ(Feed(other), 0);
}

TEST_F(WeatherTest, GapsClearCurrentThenEverything) {
    Open();
    ASSERT_EQ(Feed(Current(4112, 0xFFFF, 0)), 1);
    ASSERT_EQ(Feed(Short(9476, 1, {0, 0xFE, 5, 0x85, 0x20}, 9477, 2)), 1);
    WIM w;
    AdvanceMinutes(30);
    ASSERT_EQ(Feed(Current(4200, 0xFFFF, 0)), 1);
    EXPECT_EQ(W().getWeatherByRegionAndDay(4112, 0, w), 1);
    AdvanceMinutes(45);
    ASSERT_EQ(Feed(Current(4200, 0xFFFF, 0)), 1);
    EXPECT_EQ(W().getWeatherByRegionAndDay(4112, 0, w), 0);
    EXPECT_EQ(W().getWeatherByRegionAndDay(4200, 0, w), 1);
    EXPECT_EQ(W().getWeatherByRegionAndDay(9476, 1, w), 1);
    AdvanceMinutes(1441);
    ASSERT_EQ(Feed(Current(4200, 0xFFFF, 0)), 1);
    EXPECT_EQ(W().getWeatherByRegionAndDay(9476, 1, w), 0);
    EXPECT_EQ(W().getWeatherByRegionAndDay(9477, 2, w), 0);
}

TEST_F(WeatherTest, RegionTablesThatFailTheirChecksLeaveTheStoreUnloaded) {
    const struct {
        const char* name;
        std::string table;
        bool loads;
    } cases[] = {
        {"good", Regions({1, 2}, {1, 2}, {1, 2}, {"a", "b"}), true},
        {"empty group", Regions({1, 1, 2}, {1, 2}, {1, 2}, {"a", "b"}), true},
        {"ends decrease", Regions({2, 1}, {1, 2}, {1, 2}, {"a", "b"}), false},
        {"records unordered", Regions({2}, {1, 2}, {2, 1}, {"a", "b"}), false},
        {"records repeated", Regions({2}, {1, 2}, {2, 2}, {"a", "b"}), false},
        {"count beyond the file", Regions({60000}, {1, 2}, {1, 2}, {"a", "b"}), false},
        {"name cut short", Regions({1}, {1}, {1}, {}) + std::string(1, '\x09'), false},
        {"group count beyond the file", Le16(5000), false},
    };
    for (const auto& c : cases) {
        WriteTables();
        m_root.MakeFile("MapData/DARC/WIMID_Week.bin", c.table);
        m_notices.clear();
        W().openFile(Folder());
        EXPECT_EQ(W().IsLoaded(), c.loads) << c.name;
        EXPECT_EQ(m_notices.size(), c.loads ? 0u : 1u) << c.name;
        if (!c.loads) {
            EXPECT_EQ(m_notices.at(0), "기상파일 열기 실패4");
            EXPECT_EQ(Feed(Current(4112, 0xFFFF, 0)), 0);
        }
        CWeather::destruct();
    }
    WriteTables();
    std::filesystem::remove(m_root.Host("MapData/DARC/WIMID_Cur.bin"));
    W().openFile(Folder());
    EXPECT_FALSE(W().IsLoaded());
}

TEST_F(WeatherTest, SaveFileRoundTripAndItsLimits) {
    Open();
    ASSERT_EQ(Feed(Current(4112, 0x8019, 0x0064)), 1);
    ASSERT_EQ(Feed(Short(9476, 1, {0, 0xFE, 5, 0x85, 0x20}, 9477, 2)), 1);
    ASSERT_EQ(W().close(), 1);
    const std::string saved = m_root.Read("My Documents/Velko/WIMStore.bin");
    // Three current blocks, two short blocks, one weekly block.
    ASSERT_EQ(saved.size(), 4u + 3 * 9 + 4 + 2 * 15 + 4 + 7);
    EXPECT_EQ(saved.substr(0, 13), Le32(3) + Bytes({0x9E, 0x53, 1, 0xE5, 0x00, 0x19, 0x80, 0x64, 0x00}));
    // Region 9476: code, lowest, highest, morning, afternoon for days 1-3 interleaved.
    EXPECT_EQ(saved.substr(31, 4 + 15),
              Le32(2) + Bytes({0, 0, 0, 0xFE, 127, 127, 5, 0, 0, 0x85, 0, 0, 0x20, 0, 0}));

    const struct {
        int ageMinutes;
        int current, forecast;
    } ages[] = {{29, 1, 1}, {30, 0, 1}, {1439, 0, 1}, {1440, 0, 0}};
    for (const auto& a : ages) {
        CWeather::destruct();
        m_root.MakeFile("My Documents/Velko/WIMStore.bin", saved);
        SetAge("My Documents/Velko/WIMStore.bin", a.ageMinutes * 60);
        Open();
        WIM w;
        EXPECT_EQ(W().getWeatherByRegionAndDay(4112, 0, w), a.current) << a.ageMinutes;
        EXPECT_EQ(W().getWeatherByRegionAndDay(9476, 1, w), a.forecast) << a.ageMinutes;
        if (a.current) {
            EXPECT_EQ(w.current.precipitationB, 0);
        }
    }
    // Tables with another region count: the blocks would land on wrong regions.
    CWeather::destruct();
    WriteTables();
    m_root.MakeFile("MapData/DARC/WIMID_Short.bin", Regions({1}, {9476}, {9476}, {"서울"}));
    m_root.MakeFile("My Documents/Velko/WIMStore.bin", saved);
    SetAge("My Documents/Velko/WIMStore.bin", 0);
    W().openFile(Folder());
    ASSERT_TRUE(W().IsLoaded());
    WIM w;
    EXPECT_EQ(W().getWeatherByRegionAndDay(4112, 0, w), 0);
    EXPECT_EQ(W().getWeatherByRegionAndDay(9476, 1, w), 0);
}
