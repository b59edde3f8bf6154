#include "config/NaviConfig.h"

#include "platform/files/Files.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/store/ObjectStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace {

const char16_t kData[] = u"Storage Card\\MapData";

std::unique_ptr<CNaviConfig> Loaded(int deviceType = 0) {
    auto c = std::make_unique<CNaviConfig>();
    c->SetDeviceType(deviceType);
    c->Load(kData);
    return c;
}

// A settings file written by hand: mark, settings, two UTF-16LE names.
std::string SettingsFile(std::int32_t mark, std::vector<std::pair<int, std::int32_t>> values,
                         std::vector<std::uint8_t> dayName, std::vector<std::uint8_t> nightName) {
    std::string bytes(1004, '\0');
    auto put = [&](std::size_t at, std::int32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    };
    put(0, mark);
    for (auto [i, v] : values) put(4 + 4 * i, v);
    for (std::size_t i = 0; i < dayName.size(); ++i) bytes[804 + i] = static_cast<char>(dayName[i]);
    for (std::size_t i = 0; i < nightName.size(); ++i) bytes[904 + i] = static_cast<char>(nightName[i]);
    return bytes;
}

} // namespace

TEST(NaviConfig, DefaultsAndDeviceDefaults) {
    TempRoot root;
    auto c = Loaded();
    const std::pair<int, int> expected[] = {{0, 2},  {1, 0},  {2, 0},  {3, 1},  {4, 8},   {5, -1}, {8, -1},
                                            {9, 19}, {10, 7}, {11, 1}, {12, 1}, {13, 0},  {16, 5}, {18, 1},
                                            {19, 0}, {20, 1}, {22, 1}, {23, 10}, {24, 9}, {25, 9}, {26, 7},
                                            {27, 7}, {29, 0}, {30, 1}, {35, 1}, {36, 2},  {37, 17}, {38, 0},
                                            {41, 0}, {42, 1}, {44, 1}, {47, 1}, {48, -1}, {49, 1}, {64, 1},
                                            {65, 1}, {66, 1}, {199, 0}};
    for (auto [index, value] : expected) EXPECT_EQ(c->GetValue(index), value) << "setting " << index;
    struct Case {
        int type, setting, value;
    } devices[] = {{16, 29, 4}, {16, 30, 4}, {9, 29, 5}, {9, 30, 1}, {7, 37, 0}, {23, 37, 0},
                   {19, 29, 1}, {11, 29, 5}, {3, 29, 0}, {3, 37, 17}};
    for (const Case& d : devices) EXPECT_EQ(Loaded(d.type)->GetValue(d.setting), d.value) << "type " << d.type;
    // Outside 0-199 reads 0 and writes nothing.
    c->SetValue(200, 5);
    c->SetValue(-1, 5);
    EXPECT_EQ(c->GetValue(200), 0);
    EXPECT_EQ(c->GetValue(-1), 0);
}

TEST(NaviConfig, LoadsAHandWrittenSettingsFileAndRefusesBrokenOnes) {
    TempRoot root;
    // "주간" is U+C8FC U+AC04, "야간" U+C57C U+AC04.
    root.MakeFile("My Documents/VelkoData/CONFIG.BIN",
                  SettingsFile(100, {{0, 1}, {2, 1}, {29, 3}}, {0xFC, 0xC8, 0x04, 0xAC}, {0x7C, 0xC5, 0x04, 0xAC}));
    auto c = Loaded();
    EXPECT_EQ(c->GetValue(0), 1);
    EXPECT_EQ(c->GetValue(2), 0);
    EXPECT_EQ(c->GetValue(29), 3);
    EXPECT_EQ(c->GetValue(9), 0); // the file's values replace the defaults
    char16_t name[50];
    ASSERT_TRUE(c->GetMapColorName(u"기본지도색상", name));
    EXPECT_EQ(std::u16string(name), u"주간");
    ASSERT_TRUE(c->GetMapColorName(u"야간지도색상", name));
    EXPECT_EQ(std::u16string(name), u"야간");

    const std::string good = SettingsFile(100, {{0, 1}}, {}, {});
    for (const std::string& broken : {SettingsFile(99, {{0, 1}}, {}, {}), good.substr(0, 3), std::string()}) {
        root.MakeFile("My Documents/VelkoData/CONFIG.BIN", broken);
        auto d = Loaded();
        EXPECT_EQ(d->GetValue(0), 2) << broken.size();
        EXPECT_EQ(d->GetValue(9), 19);
    }
    // A name filling its whole field still ends within it.
    std::vector<std::uint8_t> full(100, 0x41);
    root.MakeFile("My Documents/VelkoData/CONFIG.BIN", SettingsFile(100, {}, full, full));
    ASSERT_TRUE(Loaded()->GetMapColorName(u"기본지도색상", name));
    EXPECT_EQ(std::u16string(name), std::u16string(49, u'\x4141'));
    // The card root is searched after the memory root.
    std::filesystem::remove(root.Host("My Documents/VelkoData/CONFIG.BIN"));
    root.MakeFile("Storage Card/VelkoData/config.bin", SettingsFile(100, {{0, 7}}, {}, {}));
    EXPECT_EQ(Loaded()->GetValue(0), 7);
}

// A settings file that cannot be read whole is moved to "config.bin.bad" before any save can
// overwrite it; a file cut after its mark still gives every value it holds whole.
TEST(NaviConfig, KeepsARejectedFileAsideWithTheValuesItStillHolds) {
    const std::string full = SettingsFile(100, {{0, 1}, {9, 22}, {64, 1}, {148, 5}, {149, 6}, {199, 8}},
                                          {0xFC, 0xC8, 0x04, 0xAC}, {0x7C, 0xC5, 0x04, 0xAC});
    std::string noise(1004, '\0');
    std::uint32_t state = 12345;
    for (char& b : noise) {
        state = state * 1103515245u + 12345u;
        b = static_cast<char>(state >> 16);
    }
    noise[0] = 'x'; // not the mark 100
    struct Case {
        const char* what;
        std::string bytes;
        int s0, s9, s148, s149, s199;
        std::u16string day, night;
    } cases[] = {
        // Setting i ends at byte 8 + 4i: 600 bytes hold settings 0-148.
        {"cut to 600", full.substr(0, 600), 1, 22, 5, 0, 0, u"", u""},
        {"cut inside setting 149", full.substr(0, 603), 1, 22, 5, 0, 0, u"", u""},
        {"cut inside the night name", full.substr(0, 950), 1, 22, 5, 6, 8, u"주간", u""},
        {"random bytes", noise, 2, 19, 0, 0, 0, u"", u""},
        {"wrong mark, whole size", SettingsFile(7, {{0, 1}}, {}, {}), 2, 19, 0, 0, 0, u"", u""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TempRoot root;
        root.MakeFile("Storage Card/VelkoData/config.bin", k.bytes);
        auto c = Loaded();
        EXPECT_EQ(c->GetFileState(), CNaviConfig::FileState::Rejected);
        EXPECT_EQ(c->GetRejectedCopy(), CString(u"Storage Card\\VelkoData\\config.bin.bad"));
        EXPECT_EQ(root.Read("Storage Card/VelkoData/config.bin.bad"), k.bytes);
        const int expected[][2] = {{0, k.s0}, {9, k.s9}, {148, k.s148}, {149, k.s149}, {199, k.s199}, {64, 1}};
        auto check = [&](CNaviConfig& config) {
            for (auto [index, value] : expected) EXPECT_EQ(config.GetValue(index), value) << "setting " << index;
            char16_t name[50];
            ASSERT_TRUE(config.GetMapColorName(u"기본지도색상", name));
            EXPECT_EQ(std::u16string(name), k.day);
            ASSERT_TRUE(config.GetMapColorName(u"야간지도색상", name));
            EXPECT_EQ(std::u16string(name), k.night);
        };
        check(*c);
        // Values recovered from a cut file are stored at once; nothing is written for a file
        // that gave only the defaults.
        const bool recovered = k.s0 != 2;
        EXPECT_EQ(root.Exists("Storage Card/VelkoData/config.bin"), recovered);
        if (recovered) {
            auto reread = Loaded();
            EXPECT_EQ(reread->GetFileState(), CNaviConfig::FileState::Read);
            check(*reread);
        }
        // The next save writes a whole new file and leaves the kept one alone.
        ASSERT_TRUE(c->SaveSettings(-1));
        EXPECT_EQ(root.Read("Storage Card/VelkoData/config.bin").size(), 1004u);
        EXPECT_EQ(root.Read("Storage Card/VelkoData/config.bin.bad"), k.bytes);
        auto again = Loaded();
        EXPECT_EQ(again->GetFileState(), CNaviConfig::FileState::Read);
        EXPECT_EQ(again->GetValue(9), k.s9);
        EXPECT_EQ(again->GetValue(148), k.s148);
    }
}

TEST(NaviConfig, ARejectedFileThatCannotBeMovedIsNotOverwritten) {
    TempRoot root;
    EXPECT_EQ(Loaded()->GetFileState(), CNaviConfig::FileState::None);
    const std::string cut = SettingsFile(100, {{0, 1}, {64, 1}}, {}, {}).substr(0, 600);
    root.MakeFile("Storage Card/VelkoData/config.bin", cut);
    FilesFailNextOperations(1); // the move aside
    auto c = Loaded();
    FilesFailNextOperations(0);
    EXPECT_EQ(c->GetFileState(), CNaviConfig::FileState::Rejected);
    EXPECT_TRUE(c->GetRejectedCopy().IsEmpty());
    EXPECT_EQ(c->GetValue(0), 1);
    FilesFailNextOperations(1);
    EXPECT_FALSE(c->SaveSettings(-1));
    FilesFailNextOperations(0);
    EXPECT_EQ(root.Read("Storage Card/VelkoData/config.bin"), cut);
    // Once the move goes through, the save does too.
    c->SetValue(9, 21);
    ASSERT_TRUE(c->SaveSettings(-1));
    EXPECT_EQ(root.Read("Storage Card/VelkoData/config.bin.bad"), cut);
    auto again = Loaded();
    EXPECT_EQ(again->GetFileState(), CNaviConfig::FileState::Read);
    EXPECT_EQ(again->GetValue(0), 1);
    EXPECT_EQ(again->GetValue(9), 21);
}

TEST(NaviConfig, SavesAsideCreatingTheFolderAndReportsFailure) {
    TempRoot root;
    auto c = Loaded();
    c->SetValue(0, 1);
    c->SetValue(199, -2);
    c->SetMapColorName(u"야간지도색상", u"밤");
    ASSERT_TRUE(c->SaveSettings(-1)); // the card root, which does not exist yet
    const std::string bytes = root.Read("Storage Card/VelkoData/config.bin");
    ASSERT_EQ(bytes.size(), 1004u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x64\0\0\0\x01\0\0\0", 8));
    EXPECT_EQ(bytes.substr(800, 4), std::string("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(bytes.substr(904, 4), std::string("\x24\xBC\0\0", 4)); // U+BC24
    EXPECT_FALSE(root.Exists("Storage Card/VelkoData/config.bin.new"));
    EXPECT_EQ(Loaded()->GetValue(199), -2);
    // The memory root's folder is taken by a file: the save fails and says so.
    root.MakeFile("My Documents/VelkoData", "not a folder");
    EXPECT_FALSE(c->SaveSettings(0));
    // A save that cannot finish leaves the old file whole.
    std::filesystem::create_directory(root.Host("Storage Card/VelkoData/config.bin.new"));
    c->SetValue(0, 9);
    EXPECT_FALSE(c->SaveSettings(1));
    EXPECT_EQ(root.Read("Storage Card/VelkoData/config.bin"), bytes);
}

TEST(NaviConfig, ImportsTheOldProfileThenDeletesItsDatabases) {
    TempRoot root;
    // Old value k lives in database k / 3 + 1, property k % 3 + 1.
    auto write = [](std::map<int, std::int16_t> old) {
        for (int db = 0; db < 15; ++db) {
            CString name;
            name.Format(u"Velko900 Config%d", db + 1);
            ASSERT_NE(CeCreateDatabase(name, 0, 0, nullptr), 0u);
            CEOID oid = 0;
            HANDLE h = CeOpenDatabase(&oid, name, 0, 0, nullptr);
            CEPROPVAL v[3];
            for (int j = 0; j < 3; ++j) {
                v[j].propid = MAKELONG(CEVT_I2, j + 1);
                v[j].val.iVal = old.count(db * 3 + j) ? old[db * 3 + j] : 0;
            }
            ASSERT_NE(CeWriteRecordProps(h, 0, 3, v), 0u);
            CloseHandle(h);
        }
    };
    write({{7, 3}, {24, 6}, {0, 1}, {23, 1}, {30, 8}, {17, 4}});
    auto c = Loaded();
    EXPECT_EQ(c->GetValue(16), 45);
    EXPECT_EQ(c->GetValue(18), 0);
    EXPECT_EQ(c->GetValue(19), 1);
    EXPECT_EQ(c->GetValue(20), 1);
    EXPECT_EQ(c->GetValue(0), 1);
    EXPECT_EQ(c->GetValue(2), 0); // imported 1, then cleared
    EXPECT_EQ(c->GetValue(23), 8); // old 30
    EXPECT_EQ(c->GetValue(37), 4); // old 17
    for (int i = 44; i <= 47; ++i) EXPECT_EQ(c->GetValue(i), 1);
    EXPECT_TRUE(root.Exists("Storage Card/VelkoData/config.bin"));
    for (int db = 1; db <= 15; ++db) {
        CString name;
        name.Format(u"Velko900 Config%d", db);
        CEOID oid = 0;
        EXPECT_EQ(CeOpenDatabase(&oid, name, 0, 0, nullptr), INVALID_HANDLE_VALUE) << db;
    }
    // When the settings cannot be stored the old databases stay for the next start.
    std::filesystem::remove_all(root.Host("Storage Card/VelkoData"));
    write({{7, 2}});
    root.MakeFile("Storage Card/VelkoData", "blocks the folder");
    EXPECT_EQ(Loaded()->GetValue(16), 30);
    CEOID oid = 0;
    HANDLE h = CeOpenDatabase(&oid, u"Velko900 Config1", 0, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
}

TEST(NaviConfig, Accessors) {
    TempRoot root;
    auto c = Loaded();
    c->SetValue(16, 20);
    EXPECT_EQ(c->GetTrafficRerouteIntervalIndex(), 3);
    const int minutes[] = {0, 5, 10, 15, 30, 45, 60, 15, 15};
    for (int i = 0; i < 9; ++i) {
        c->SetTrafficRerouteInterval(i == 8 ? -1 : i);
        EXPECT_EQ(c->GetValue(16), minutes[i]) << i;
        if (i < 7) {
            EXPECT_EQ(c->GetTrafficRerouteIntervalIndex(), i);
        }
    }
    c->SetValue(30, 9);
    EXPECT_EQ(c->GetBaudRate(), 4800);
    c->SetBaudRate(115200);
    EXPECT_EQ(c->GetValue(30), 1);
    c->SetBaudRate(57600);
    EXPECT_EQ(c->GetValue(30), 5);
    EXPECT_EQ(c->GetBaudRate(), 57600);
    c->SetValue(29, 7);
    EXPECT_EQ(c->GetComPortName(), CString(u"COM8:"));

    std::uint16_t slots[4];
    c->SetKeyLayout(3);
    c->GetButtonFunctions(slots);
    EXPECT_EQ(std::vector<int>(slots, slots + 4), (std::vector<int>{1, 2, 17, 0xFFFF}));
    c->SetKeyLayout(4);
    c->GetButtonFunctions(slots);
    EXPECT_EQ(std::vector<int>(slots, slots + 4), (std::vector<int>{0, 17, 1, 2}));
    const std::uint16_t mine[4] = {5, 6, 7, 8};
    c->SetButtonFunctions(mine);
    EXPECT_EQ(c->GetValue(38), 5);
    EXPECT_EQ(c->GetValue(35), 7);

    char16_t buffer[50];
    std::fill(buffer, buffer + 50, u'x');
    EXPECT_FALSE(c->GetMapColorName(u"기본지도", buffer));
    EXPECT_EQ(buffer[0], u'x');
    c->SetMapColorName(u"다른키", u"무시");
    ASSERT_TRUE(c->GetMapColorName(u"기본지도색상", buffer));
    EXPECT_EQ(buffer[0], 0);

    const std::uint8_t off[4] = {0, 0, 0, 0}, one[4] = {0, 0, 1, 0};
    c->SetServiceFlags(one);
    EXPECT_TRUE(c->AnyServiceOn());
    c->SetServiceFlags(off);
    EXPECT_FALSE(c->AnyServiceOn());
    struct {
        int s31, s32, mode;
    } modes[] = {{1, 1, 3}, {0, 1, 1}, {1, 0, 2}, {1, 2, 2}};
    for (auto m : modes) {
        c->SetValue(31, m.s31);
        c->SetValue(32, m.s32);
        EXPECT_EQ(c->GetReceiverMode(), m.mode);
    }
    const int menu[][2] = {{0, 2004}, {1, 2005}, {2, 2006}, {3, 2004}};
    for (auto m : menu) {
        c->SetValue(39, m[0]);
        EXPECT_EQ(c->GetInitialMenuCommand(), m[1]);
    }
    const int speed[][2] = {{0, 40}, {1, 120}, {2, 240}, {3, 40}};
    for (auto s : speed) {
        c->SetValue(40, s[0]);
        EXPECT_EQ(c->GetSimulationSpeed(), s[1]);
    }
    c->SetValue(29, 4);
    c->SetValue(30, 5);
    EXPECT_TRUE(c->UsesHighSpeedPort());
    c->SetValue(29, 2);
    EXPECT_FALSE(c->UsesHighSpeedPort());
}

TEST(NaviConfig, ItemPaths) {
    TempRoot root;
    auto c = Loaded();
    const std::pair<const char16_t*, const char16_t*> items[] = {
        {u"등록지점", u"Storage Card\\VelkoData\\position"},
        {u"안전운행지점", u"Storage Card\\VelkoData\\guidepoint"},
        {u"안전운행지점(지운것)", u"Storage Card\\VelkoData\\Dguidepoint"},
        {u"환경설정", u"Storage Card\\VelkoData\\config.bin"},
        {u"관심종목", u"Storage Card\\VelkoData\\stock.bin"},
        {u"관심도로", u"Storage Card\\VelkoData\\itraffic.bin"},
        {u"저장경로폴더명", u"SaveRoute"},
        {u"PDA", u"My Documents\\VelkoData"},
        {u"저장장치", u"Storage Card\\VelkoData"},
        {u"현재저장위치", u"Storage Card\\VelkoData"},
        {u"old등록지점", u"My Documents\\Velko\\position"},
        {u"old등록지점2", u""},
        {u"old환경설정", u"Storage Card\\MapData\\config.bin"},
        {u"old저장경로", u"Storage Card\\MapData\\SaveRoute"},
        {u"old관심종목", u"My Documents\\Velko\\stock.bin"},
        {u"아무거나", u"Storage Card\\VelkoData"},
    };
    for (auto [item, path] : items) EXPECT_EQ(c->GetItemPath(item, -1), CString(path)) << Utf16ToUtf8(item);
    EXPECT_EQ(c->GetItemPath(u"등록지점", 0), CString(u"My Documents\\VelkoData\\position"));
    c->SetValue(64, 0);
    EXPECT_EQ(c->GetItemPath(u"현재저장위치", -1), CString(u"My Documents\\VelkoData"));
    auto flash = Loaded(9);
    EXPECT_EQ(flash->GetItemPath(u"PDA", 0), CString(u"Flash Disk\\VelkoData"));
    EXPECT_EQ(flash->GetItemPath(u"old관심도로", 0), CString(u"Program Files\\Velko\\ITraffic.bin"));
    auto card = Loaded(7);
    EXPECT_EQ(card->GetItemPath(u"old등록지점2", 0), CString(u"Storage Card\\Position"));
    EXPECT_EQ(card->GetItemPath(u"old등록지점", 0), CString(u"Storage Card\\MapData\\Position"));
}
