// The GPS set-up: the model table read from hand-written bytes, the set-up stored without a
// question, and the automatic set-up probing receivers that sit on pseudo-terminals.
#include "app/CInitGpsConfigDlg.h"
#include "app/GpsConfigTable.h"

#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/window/WindowHost.h"
#include "position/tests/WorkerHarness.h"
#include "tools/mkdevice/GpsConfigStage.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

const char16_t kData[] = u"Storage Card\\MapData";

// Little-endian bytes put by hand.
struct Bytes {
    std::string b;
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    void Name(const std::u16string& text, std::size_t field) {
        std::string s = Utf16ToCp949(text);
        s.resize(field, '\0');
        b += s;
    }
};

struct CellSpec {
    int receiver, model;
    std::uint32_t gpsPort, gpsBaud, unitPort, unitBaud;
};

// A table of the given models and receivers with the cells given (the rest empty).
std::string Table(const std::vector<std::u16string>& models, const std::vector<std::u16string>& receivers,
                  const std::vector<CellSpec>& cells) {
    Bytes out;
    out.U32(static_cast<std::uint32_t>(models.size()));
    for (const auto& m : models) out.Name(m, 20);
    out.U32(static_cast<std::uint32_t>(receivers.size()));
    for (const auto& r : receivers) out.Name(r, 30);
    for (std::size_t r = 0; r < receivers.size(); ++r)
        for (std::size_t m = 0; m < models.size(); ++m) {
            CellSpec c{0, 0, 0, 0, 0, 0};
            for (const CellSpec& s : cells)
                if (s.receiver == static_cast<int>(r) && s.model == static_cast<int>(m)) c = s;
            out.U32(c.gpsPort);
            out.U32(c.gpsBaud);
            out.U32(c.unitPort);
            out.U32(c.unitBaud);
        }
    return out.b;
}

// Models by device type: 0 iPAQ39시리즈, 1 iPAQ38시리즈, 7 POZ, 15 mycube, 14 iPAQ2210.
const std::vector<std::u16string> kModels = {u"iPAQ39시리즈", u"iPAQ38시리즈", u"POZ", u"mycube", u"iPAQ2210"};
const std::vector<std::u16string> kReceivers = {u"내장 GPS", u"블루투스 GPS", u"ZARN 수신기"};
const std::vector<CellSpec> kCells = {
    {0, 0, 5, 4800, 0, 0},     // iPAQ39: two entries
    {1, 0, 8, 9600, 0, 0},
    {0, 1, 4, 57600, 0, 0},    // iPAQ38: one entry, COM4 at 57,600
    {2, 2, 1, 38400, 1, 38400}, // POZ: GPS and unit on one port (counts 2)
    {1, 3, 6, 115200, 0, 0},   // mycube: 115,200 baud
};

std::uint32_t At(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

TEST(GpsConfigTable, ReadsHandWrittenBytes) {
    const std::string bytes = Table(kModels, kReceivers, kCells);
    ASSERT_EQ(bytes.size(), 4u + 5 * 20 + 4 + 3 * 30 + 16u * 5 * 3);
    CGpsConfigTable t;
    ASSERT_TRUE(t.Parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    EXPECT_EQ(t.ModelCount(), 5);
    EXPECT_EQ(t.ReceiverCount(), 3);
    EXPECT_EQ(t.ModelName(2), CString(u"POZ"));
    EXPECT_EQ(t.ReceiverName(1), CString(u"블루투스 GPS"));
    EXPECT_EQ(t.FindModel(CString(u"mycube")), 3);
    EXPECT_EQ(t.FindModel(CString(u"없는모델")), -1);
    // Cell (r, m) at index r x M + m: receiver 2, model 2 is cell 12.
    const CGpsConfigTable::Cell c = t.GetCell(2, 2);
    EXPECT_EQ(c.gpsPort, 1u);
    EXPECT_EQ(c.unitBaud, 38400u);
    EXPECT_EQ(At(bytes, 4 + 100 + 4 + 90 + 12 * 16 + 12), 38400u);
    EXPECT_EQ(t.GetCell(3, 0).gpsPort, 0u);   // outside: empty
    EXPECT_EQ(t.GetCell(0, -1).gpsPort, 0u);
    EXPECT_EQ(CGpsConfigTable::ModelNameOfDevice(14), std::u16string_view(u"iPAQ2210"));
    EXPECT_EQ(CGpsConfigTable::ModelNameOfDevice(10), nullptr);
    for (auto [baud, code] : std::vector<std::pair<std::uint32_t, int>>{
             {2400, 0}, {4800, 1}, {9600, 2}, {19200, 3}, {38400, 4}, {57600, 5}, {115200, 0}, {0, 0}})
        EXPECT_EQ(CGpsConfigTable::SpeedCode(baud), code) << baud;
}

TEST(GpsConfigTable, RefusesCountsTheBytesDoNotHold) {
    const std::string good = Table(kModels, kReceivers, kCells);
    CGpsConfigTable t;
    auto parse = [&](const std::string& b) {
        return t.Parse(reinterpret_cast<const std::uint8_t*>(b.data()), b.size());
    };
    EXPECT_FALSE(parse(good.substr(0, good.size() - 1))) << "one cell byte short";
    EXPECT_EQ(t.ModelCount(), 0);
    EXPECT_FALSE(parse(good.substr(0, 3)));
    EXPECT_FALSE(parse(""));
    std::string huge = good;
    huge[0] = huge[1] = huge[2] = huge[3] = '\xFF'; // 4,294,967,295 models
    EXPECT_FALSE(parse(huge));
    std::string manyReceivers = good;
    for (int i = 0; i < 4; ++i) manyReceivers[104 + i] = '\xFF';
    EXPECT_FALSE(parse(manyReceivers));
    // Counts whose cell table would wrap 32 bits: 65,536 models and receivers in a small file.
    Bytes wrap;
    wrap.U32(0x10000);
    EXPECT_FALSE(parse(wrap.b + std::string(64, 'a')));
    // Names that fill their whole field keep within it.
    Bytes full;
    full.U32(1);
    full.b += std::string(20, 'M');
    full.U32(1);
    full.b += std::string(30, 'R');
    full.b += std::string(16, '\0');
    ASSERT_TRUE(parse(full.b));
    EXPECT_EQ(t.ModelName(0), CString(std::u16string(20, u'M')));
    EXPECT_EQ(t.ReceiverName(0), CString(std::u16string(30, u'R')));
    // No models, no receivers: a valid, empty table.
    Bytes empty;
    empty.U32(0);
    empty.U32(0);
    EXPECT_TRUE(parse(empty.b));
}

// ---- the set-up without a question ----

class AutoConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_config.SetDeviceType(0);
        m_config.Load(kData);
        for (int i : kWatched) m_config.SetValue(i, 7);
        m_config.SetValue(43, 0);
        m_config.SaveSettings(-1);
    }
    void WriteTable(const std::string& bytes) { m_root.MakeFile("Program Files/Velko/PDAGPSConfig.bin", bytes); }
    // The settings as a fresh load of the saved file reads them.
    std::map<int, int> Saved() {
        CNaviConfig fresh;
        fresh.SetDeviceType(0);
        fresh.Load(kData);
        std::map<int, int> out;
        for (int i : kWatched) out[i] = fresh.GetValue(i);
        out[43] = fresh.GetValue(43);
        return out;
    }
    static constexpr int kWatched[] = {28, 29, 30, 31, 32, 41};
    TempRoot m_root;
    CNaviConfig m_config;
};

TEST_F(AutoConfigTest, ASingleEntryIsStoredAndSaved) {
    WriteTable(Table(kModels, kReceivers, kCells));
    CInitGpsConfigDlg dlg(nullptr, &m_config);
    dlg.SetDeviceType(1); // iPAQ38시리즈: its only entry is COM4 at 57,600
    EXPECT_FALSE(dlg.CheckAutoConfig());
    const std::map<int, int> want{{28, 0}, {29, 3}, {30, 5}, {31, 0}, {32, 0}, {41, 0}, {43, 1}};
    EXPECT_EQ(Saved(), want);
}

TEST_F(AutoConfigTest, SeveralPortsRunTheDialogAndCaseWithoutOneChangeNothing) {
    const std::map<int, int> untouched{{28, 7}, {29, 7}, {30, 7}, {31, 7}, {32, 7}, {41, 7}, {43, 0}};
    const std::string table = Table(kModels, kReceivers, kCells);
    struct Case {
        const char* what;
        int deviceType;
        std::string file;
        bool runs;
    };
    const Case cases[] = {
        {"two entries", 0, table, true},
        {"GPS and unit of one entry count two", 7, table, true},
        {"a model without entries", 14, table, false},
        {"a device type without a model name", 10, table, false},
        {"no file", 1, "", false},
        {"a file short of its cells", 1, table.substr(0, table.size() - 5), false},
    };
    for (const Case& c : cases) {
        if (c.file.empty()) std::filesystem::remove(m_root.Host("Program Files/Velko/PDAGPSConfig.bin"));
        else WriteTable(c.file);
        CInitGpsConfigDlg dlg(nullptr, &m_config);
        dlg.SetDeviceType(c.deviceType);
        EXPECT_EQ(dlg.CheckAutoConfig(), c.runs) << c.what;
        EXPECT_EQ(Saved(), untouched) << c.what;
    }
    // A set-up done before: even the single entry is left alone.
    WriteTable(table);
    m_config.SetValue(43, 1);
    CInitGpsConfigDlg dlg(nullptr, &m_config);
    dlg.SetDeviceType(1);
    EXPECT_FALSE(dlg.CheckAutoConfig());
    EXPECT_EQ(m_config.GetValue(29), 7);
}

TEST_F(AutoConfigTest, A115200CellStoresCodeZeroAndAUnitWithoutGpsPortRunsTheUnitAlone) {
    WriteTable(Table(kModels, kReceivers, kCells));
    CInitGpsConfigDlg dlg(nullptr, &m_config);
    dlg.SetDeviceType(15); // mycube: COM6 at 115,200
    EXPECT_FALSE(dlg.CheckAutoConfig());
    EXPECT_EQ(Saved()[29], 5);
    EXPECT_EQ(Saved()[30], 0);
    // An entry with only a unit port: the unit alone on its own port, not "separate GPS" on port -1.
    WriteTable(Table(kModels, kReceivers, {{2, 1, 0, 0, 3, 19200}}));
    m_config.SetValue(43, 0);
    CInitGpsConfigDlg unitOnly(nullptr, &m_config);
    unitOnly.SetDeviceType(1);
    EXPECT_FALSE(unitOnly.CheckAutoConfig());
    const std::map<int, int> want{{28, 0}, {29, 2}, {30, 3}, {31, 0}, {32, 1}, {41, 1}, {43, 1}};
    EXPECT_EQ(Saved(), want);
}

// ---- the automatic set-up on pseudo-terminals ----

class ProbeTest : public WorkerHarness {
protected:
    void SetUp() override {
        WorkerHarness::SetUp();
        m_config.SetDeviceType(0);
        m_config.Load(kData);
        for (int i : {28, 29, 30, 31, 32, 41}) m_config.SetValue(i, 7);
        m_root.MakeFile("Program Files/Velko/PDAGPSConfig.bin", Table(kModels, kReceivers, kCells));
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string&, UINT) {
            m_asked.push_back(text);
            if (m_answers.empty()) return IDNO;
            const int a = m_answers.front();
            m_answers.pop_front();
            return a;
        });
    }
    void TearDown() override {
        WinSetMessageBoxHandler(nullptr);
        WorkerHarness::TearDown();
    }
    // Runs the automatic set-up of a device type on a thread that takes part in simulated time.
    bool AutoSetup(int deviceType, std::initializer_list<Responder*> responders) {
        CInitGpsConfigDlg dlg(nullptr, &m_config);
        dlg.SetDeviceType(deviceType);
        dlg.SetProber(&Workers());
        dlg.CheckAutoConfig();
        bool applied = false;
        std::atomic<bool> done{false};
        m_clock.AddWorker();
        std::thread t([&] {
            applied = dlg.RunAutoSetup();
            done = true;
            m_clock.RemoveWorker();
        });
        while (!done) {
            Run(100);
            for (Responder* p : responders) p->Poll();
        }
        t.join();
        return applied;
    }
    CNaviConfig m_config;
    std::deque<int> m_answers;
    std::vector<std::u16string> m_asked;
    const std::string kNmea = NmeaWrap("GPGGA,120000.00,,,,,0,00,,,M,,M,,");
};

TEST_F(ProbeTest, TheUnitSharingThePortIsFound) {
    Responder unit(Line(1), B38400, std::string("\x02" "A123\x03", 6));
    m_answers = {IDYES};
    EXPECT_TRUE(AutoSetup(7, {&unit})); // POZ: GPS and unit on COM1 at 38,400
    ASSERT_EQ(m_asked.size(), 1u);
    EXPECT_EQ(m_asked[0], u"수신기를 찾았습니다.\nGPS 수신기 : ZARN 수신기\nZARN 수신기 : 사용\n\n설정하시겠습니까?");
    EXPECT_EQ(m_config.GetValue(31), 0);
    EXPECT_EQ(m_config.GetValue(32), 1);
    EXPECT_EQ(m_config.GetValue(29), 0);
    EXPECT_EQ(m_config.GetValue(30), 4);
    EXPECT_EQ(m_config.GetValue(43), 1);
}

TEST_F(ProbeTest, AnNmeaReceiverWithoutUnitIsFoundAndNoKeepsTheSettings) {
    for (int n : {8}) Line(n);
    Responder gps(Line(5), B4800, kNmea);
    m_answers = {IDNO};
    EXPECT_FALSE(AutoSetup(0, {&gps})); // iPAQ39: COM5 at 4,800 first
    ASSERT_EQ(m_asked.size(), 1u);
    EXPECT_EQ(m_asked[0], u"수신기를 찾았습니다.\nGPS 수신기 : 내장 GPS\nZARN 수신기 : 없음\n\n설정하시겠습니까?");
    for (int i : {28, 29, 30, 31, 32, 41}) EXPECT_EQ(m_config.GetValue(i), 7) << i;
    // Yes stores it.
    m_asked.clear();
    m_answers = {IDYES};
    EXPECT_TRUE(AutoSetup(0, {&gps}));
    EXPECT_EQ(m_config.GetValue(29), 4);
    EXPECT_EQ(m_config.GetValue(30), 1);
    EXPECT_EQ(m_config.GetValue(31), 0);
    EXPECT_EQ(m_config.GetValue(32), 0);
}

TEST_F(ProbeTest, NothingAnsweringAsksToRetry) {
    Line(5);
    Line(8);
    Responder chatter(Line(5), B4800, "no sentence here at all");
    m_answers = {IDYES, IDNO}; // retry once, then give up
    EXPECT_FALSE(AutoSetup(0, {&chatter}));
    const std::u16string retry =
        u"GPS 수신기를 찾을 수 없습니다. 수신기가 PDA에 연결되어 있는지 확인하십시오. \n\n다시 설정하시겠습니까?";
    EXPECT_EQ(m_asked, (std::vector<std::u16string>{retry, retry}));
    for (int i : {28, 29, 30, 31, 32, 41}) EXPECT_EQ(m_config.GetValue(i), 7) << i;
}

} // namespace

namespace {

// The sample device's table: every model named, the sample's own model without an entry, and the
// models the first-start tests choose through oem= with the wiring they rely on.
TEST(GpsConfigTable, TheSampleDeviceTable) {
    const std::vector<std::uint8_t> bytes = mkdev::GpsConfigTableBytes();
    CGpsConfigTable t;
    ASSERT_TRUE(t.Parse(bytes.data(), bytes.size()));
    ASSERT_EQ(t.ModelCount(), 16);
    for (int type : {0, 1, 2, 7, 8, 9, 11, 12, 14, 15, 17, 19, 20, 21, 22, 23})
        EXPECT_GE(t.FindModel(CString(CGpsConfigTable::ModelNameOfDevice(type))), 0) << type;
    auto ports = [&](int type) {
        const int m = t.FindModel(CString(CGpsConfigTable::ModelNameOfDevice(type)));
        int n = 0;
        for (int r = 0; r < t.ReceiverCount(); ++r) n += (t.GetCell(r, m).gpsPort != 0) + (t.GetCell(r, m).unitPort != 0);
        return n;
    };
    EXPECT_EQ(ports(14), 0); // iPAQ2210: the sample asks nothing
    EXPECT_EQ(ports(0), 2);  // iPAQ39시리즈: two entries
    EXPECT_EQ(ports(1), 1);  // iPAQ38시리즈: one
    const int poz = t.FindModel(CString(u"POZ"));
    int shared = 0;
    for (int r = 0; r < t.ReceiverCount(); ++r)
        shared += t.GetCell(r, poz).gpsPort != 0 && t.GetCell(r, poz).gpsPort == t.GetCell(r, poz).unitPort;
    EXPECT_EQ(shared, 1);
    EXPECT_EQ(t.ReceiverName(2), CString(u"ZARN 수신기"));
}

} // namespace
