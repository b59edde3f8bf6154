// The main document: stored positions, the hand-over file and the drawing configuration.
#include "app/MainDoc.h"
#include "app/NaviApp.h"

#include "platform/files/Files.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/store/ObjectStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr const char* kData = "Storage Card/MapData";

std::string Le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

constexpr CEPROPID Prop(int n) {
    return (static_cast<CEPROPID>(n) << 16) | CEVT_I4;
}

// Makes the database and adds one record per row of values (properties 1, 2, ...).
void Database(const char16_t* name, const std::vector<std::vector<std::int32_t>>& records) {
    ASSERT_NE(CeCreateDatabase(name, 0, 0, nullptr), 0u);
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    ASSERT_NE(db, INVALID_HANDLE_VALUE);
    for (const auto& values : records) {
        std::vector<CEPROPVAL> props(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            props[i].propid = Prop(static_cast<int>(i) + 1);
            props[i].val.lVal = values[i];
        }
        ASSERT_NE(CeWriteRecordProps(db, 0, static_cast<WORD>(props.size()), props.data()), 0u);
    }
    CloseHandle(db);
}

// Every record of a database, each as its properties 1..count.
std::vector<std::vector<std::int32_t>> Records(const char16_t* name, int count) {
    std::vector<std::vector<std::int32_t>> out;
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    if (db == INVALID_HANDLE_VALUE) return out;
    WORD n = 0;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    for (CEOID at = CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, nullptr); at != 0;
         at = CeSeekDatabase(db, CEDB_SEEK_CURRENT, 1, nullptr)) {
        if (CeReadRecordProps(db, CEDB_ALLOWREALLOC, &n, nullptr, &buffer, &size) == 0) break;
        const auto* vals = reinterpret_cast<const CEPROPVAL*>(buffer);
        std::vector<std::int32_t> row(static_cast<std::size_t>(count), -99);
        for (WORD i = 0; i < n; ++i)
            for (int p = 1; p <= count; ++p)
                if (vals[i].propid == Prop(p)) row[static_cast<std::size_t>(p - 1)] = vals[i].val.lVal;
        out.push_back(row);
    }
    if (buffer) LocalFree(buffer);
    CloseHandle(db);
    return out;
}

class MainDocTest : public ::testing::Test {
protected:
    void SetUp() override { navi::g_dataFolder = u"Storage Card\\MapData"; }
    void TearDown() override { navi::g_dataFolder = CString(); }
    void Pilots(const std::vector<std::int32_t>& map, const std::vector<std::int32_t>& vehicle) {
        Database(u"Velko900 Pilot1", {map});
        Database(u"Velko900 Pilot4", {vehicle});
    }
    TempRoot root;
};

TEST_F(MainDocTest, FirstRunOpensAtTheDefaultsWithNothingStored) {
    CMainDoc doc; // no databases at all
    EXPECT_EQ(doc.GetMapPosition().x, 203143);
    EXPECT_EQ(doc.GetMapPosition().y, 531663);
    EXPECT_EQ(doc.GetMapLevel(), 11);
    EXPECT_EQ(doc.GetMapMode(), 1);
    EXPECT_EQ(doc.GetVehiclePosition().x, 203143); // the vehicle is where the map is
    EXPECT_EQ(doc.GetVehicleStoredFlag(), 0);

    // Empty databases, as the start-up makes them on a first run: the same.
    Database(u"Velko900 Pilot1", {});
    Database(u"Velko900 Pilot4", {});
    CMainDoc empty;
    EXPECT_EQ(empty.GetMapLevel(), 11);
    EXPECT_EQ(empty.GetVehicleStoredFlag(), 0);
}

TEST_F(MainDocTest, StoredValuesAndTheOnesThatFallBack) {
    struct Case {
        const char* what;
        std::vector<std::int32_t> map, vehicle;
        std::int32_t x, y, level, mode, vx, vy;
        std::uint8_t stored;
    };
    const Case cases[] = {
        {"stored", {150000, 400000, 7, 2}, {150500, 400500}, 150000, 400000, 7, 2, 150500, 400500, 1},
        {"level 1", {150000, 400000, 1, 2}, {150500, 400500}, 203143, 531663, 11, 1, 150500, 400500, 1},
        {"level 15", {150000, 400000, 15, 2}, {150500, 400500}, 150000, 400000, 15, 2, 150500, 400500, 1},
        {"level 16", {150000, 400000, 16, 2}, {150500, 400500}, 203143, 531663, 11, 1, 150500, 400500, 1},
        {"negative x", {-1, 400000, 7, 2}, {150500, 400500}, 203143, 531663, 11, 1, 150500, 400500, 1},
        {"vehicle 0", {150000, 400000, 7, 2}, {0, 400500}, 150000, 400000, 7, 2, 150000, 400000, 1},
        {"vehicle at the default", {150000, 400000, 7, 2}, {203143, 531663}, 150000, 400000, 7, 2, 203143, 531663, 0},
    };
    for (const Case& c : cases) {
        for (const char16_t* name : {u"Velko900 Pilot1", u"Velko900 Pilot4"}) {
            CEOID oid = 0;
            HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
            if (db != INVALID_HANDLE_VALUE) {
                CloseHandle(db);
                CeDeleteDatabase(oid);
            }
        }
        Pilots(c.map, c.vehicle);
        CMainDoc doc;
        EXPECT_EQ(doc.GetMapPosition().x, c.x) << c.what;
        EXPECT_EQ(doc.GetMapPosition().y, c.y) << c.what;
        EXPECT_EQ(doc.GetMapLevel(), c.level) << c.what;
        EXPECT_EQ(doc.GetMapMode(), c.mode) << c.what;
        EXPECT_EQ(doc.GetVehiclePosition().x, c.vx) << c.what;
        EXPECT_EQ(doc.GetVehiclePosition().y, c.vy) << c.what;
        EXPECT_EQ(doc.GetVehicleStoredFlag(), c.stored) << c.what;
    }
}

TEST_F(MainDocTest, StoringReplacesTheFirstRecordInOneWrite) {
    Pilots({150000, 400000, 7, 2}, {150500, 400500});
    {
        CMainDoc doc;
        doc.SetMapPosition(POINT{160000, 410000});
        doc.SetMapLevel(9);
        doc.SetVehiclePosition(POINT{161000, 411000});
        EXPECT_TRUE(doc.StorePositions());
        EXPECT_TRUE(doc.StorePositions()); // again: still one record
    }
    EXPECT_EQ(Records(u"Velko900 Pilot1", 4), (std::vector<std::vector<std::int32_t>>{{160000, 410000, 9, 2}}));
    EXPECT_EQ(Records(u"Velko900 Pilot4", 2), (std::vector<std::vector<std::int32_t>>{{161000, 411000}}));
    CMainDoc reopened;
    EXPECT_EQ(reopened.GetMapPosition().x, 160000);
    EXPECT_EQ(reopened.GetMapLevel(), 9);

    // Empty databases get their first record.
    for (const char16_t* name : {u"Velko900 Pilot1", u"Velko900 Pilot4"}) {
        CEOID oid = 0;
        CloseHandle(CeOpenDatabase(&oid, name, 0, 0, nullptr));
        CeDeleteDatabase(oid);
    }
    Database(u"Velko900 Pilot1", {});
    Database(u"Velko900 Pilot4", {});
    EXPECT_TRUE(reopened.StorePositions());
    EXPECT_EQ(Records(u"Velko900 Pilot1", 4), (std::vector<std::vector<std::int32_t>>{{160000, 410000, 9, 2}}));
}

TEST_F(MainDocTest, TheHandOverFileIsTakenOnceAndOnlyWhenWhole) {
    struct Case {
        std::string bytes;
        bool taken;
        std::int32_t x, y;
    };
    const Case cases[] = {
        {"123456 654321", true, 148147, 654321},
        {"100000 200000", true, 120000, 200000},
        {"123456,654321", true, 148147, 654321}, // any separator
        {"123456 65432", false, 0, 0},           // 12 bytes
        {"123456 6543210", false, 0, 0},         // 14 bytes
        {"12345x 654321", false, 0, 0},          // not digits
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        root.MakeFile("windows/Velko.wp", c.bytes);
        CMainDoc doc;
        EXPECT_FALSE(root.Exists("windows/Velko.wp")) << c.bytes; // gone either way
        if (c.taken) {
            EXPECT_EQ(doc.GetMapPosition().x, c.x) << c.bytes;
            EXPECT_EQ(doc.GetMapPosition().y, c.y) << c.bytes;
            EXPECT_EQ(doc.GetMapLevel(), 10) << c.bytes;
        } else {
            EXPECT_EQ(doc.GetMapPosition().x, 203143) << c.bytes;
            EXPECT_EQ(doc.GetMapLevel(), 11) << c.bytes;
        }
    }
}

TEST_F(MainDocTest, LevelTableRatiosAgainstLevelZero) {
    std::string file;
    for (int j = 0; j < 16; ++j) file += std::string(1, j % 3 ? 1 : 0) + std::string(3, '\0') + Le32(100u << j) + Le32(0);
    root.MakeFile(std::string(kData) + "/level.bin", file);
    CMainDoc doc;
    ASSERT_TRUE(doc.LoadLevelFile());
    const CMainDoc::LevelEntry* levels = doc.GetLevelTable();
    EXPECT_EQ(levels[0].ratio, 2.0f);
    EXPECT_EQ(levels[0].previous, 1.0f);
    EXPECT_EQ(levels[0].flag, 0);
    EXPECT_EQ(levels[1].flag, 1);
    EXPECT_EQ(levels[5].ratio, 64.0f);
    EXPECT_EQ(levels[5].previous, 32.0f);
    EXPECT_EQ(levels[15].ratio, 0.0f);
    EXPECT_EQ(levels[15].previous, 32768.0f);
    EXPECT_EQ(levels[15].flag, 0); // record 15's flag (15 % 3 == 0)
    EXPECT_EQ(doc.GetLevelRecordCount(), 16);
}

TEST_F(MainDocTest, ShortOrZeroBasedLevelFiles) {
    // Level 0's scale 0 would divide by zero: unreadable.
    root.MakeFile(std::string(kData) + "/level.bin", std::string(4, '\1') + Le32(0) + Le32(0) +
                                                         std::string(4, '\1') + Le32(200) + Le32(0));
    CMainDoc zero;
    EXPECT_FALSE(zero.LoadLevelFile());

    // Three records and a cut fourth: entries past the records are disabled.
    std::string three;
    for (int j = 0; j < 3; ++j) three += std::string(1, 1) + std::string(3, '\0') + Le32(100u << j) + Le32(0);
    root.MakeFile(std::string(kData) + "/level.bin", three + "\1\0\0");
    CMainDoc doc;
    ASSERT_TRUE(doc.LoadLevelFile());
    const CMainDoc::LevelEntry* levels = doc.GetLevelTable();
    EXPECT_EQ(levels[1].ratio, 4.0f);
    EXPECT_EQ(levels[2].flag, 1);
    EXPECT_EQ(levels[2].previous, 4.0f);
    EXPECT_EQ(levels[2].ratio, 0.0f); // no record 3 to compare with
    for (int j = 3; j < 16; ++j) {
        EXPECT_EQ(levels[j].flag, 0) << j;
        EXPECT_EQ(levels[j].ratio, 0.0f) << j;
        EXPECT_EQ(levels[j].previous, 0.0f) << j;
    }
    EXPECT_EQ(doc.GetLevelRecordCount(), 3);

    root.MakeFile(std::string(kData) + "/level.bin", "");
    CMainDoc empty;
    EXPECT_FALSE(empty.LoadLevelFile());
}

TEST_F(MainDocTest, LayerListTakesWholeRecordsWithBoundedNames) {
    auto record = [](const std::string& name, std::uint8_t firstParam) {
        std::string r = name;
        r.resize(256, '\0');
        std::string params(64, '\0');
        params[0] = static_cast<char>(firstParam);
        params[63] = 9;
        return r + params;
    };
    // A name of 256 bytes without a terminator stops at its field; a cut last record is dropped.
    const std::string full(256, 'A');
    root.MakeFile(std::string(kData) + "/Color/para.bin",
                  record("ROAD.MDC", 1) + record("\xB0\xA1.MDC", 2) + full + std::string(64, '\3') + record("CUT", 4).substr(0, 100));
    CMainDoc doc;
    doc.SetColorMode(-1); // true colour
    ASSERT_TRUE(doc.LoadDrawConfig());
    ASSERT_EQ(doc.GetLayers().size(), 3u);
    EXPECT_EQ(doc.GetLayers()[0].name.Str(), u"ROAD.MDC");
    EXPECT_EQ(doc.GetLayers()[0].params[0], 1);
    EXPECT_EQ(doc.GetLayers()[0].params[63], 9);
    EXPECT_EQ(doc.GetLayers()[1].name.Str(), u"가.MDC");
    EXPECT_EQ(doc.GetLayers()[2].name.Str(), std::u16string(256, u'A'));
    EXPECT_EQ(doc.GetLayers()[2].params[0], 3);

    // 16 colours or fewer read from "Gray".
    root.MakeFile(std::string(kData) + "/Gray/para.bin", record("GRAY.MDC", 1));
    CMainDoc gray;
    gray.SetColorMode(16);
    EXPECT_EQ(std::u16string(gray.ModeFolder()), u"Gray");
    ASSERT_TRUE(gray.LoadDrawConfig());
    EXPECT_EQ(gray.GetLayers().front().name.Str(), u"GRAY.MDC");
    CMainDoc none;
    none.SetColorMode(256);
    EXPECT_EQ(std::u16string(none.ModeFolder()), u"Color");
}

TEST_F(MainDocTest, ColourAndSchemeFiles) {
    std::string table;
    for (std::uint32_t i = 0; i < 16; ++i) table += Le32(0x010101u * i);
    root.MakeFile(std::string(kData) + "/Color/color.bin", table);
    CMainDoc doc;
    doc.SetColorMode(-1);
    ASSERT_TRUE(doc.LoadColorFile());
    EXPECT_EQ(doc.GetColorTable()[15], 0x0F0F0Fu);

    // A scheme cut after its colour table keeps the default background and text colours.
    root.MakeFile(std::string(kData) + "/Color/Color_밤.bin", table.substr(4) + Le32(0xABCDEF));
    ASSERT_TRUE(doc.LoadSchemeFile(u"Color_밤.bin"));
    EXPECT_EQ(doc.GetColorTable()[0], 0x010101u);
    EXPECT_EQ(doc.GetColorTable()[15], 0xABCDEFu);
    EXPECT_EQ(doc.GetBackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(doc.GetTextColor(), 0u);

    // A whole scheme: background after the table, text after eight more bytes.
    root.MakeFile(std::string(kData) + "/Color/Color_낮.bin",
                  table + Le32(0x112233) + std::string(8, '\0') + Le32(0x445566) + std::string(64, '\0'));
    ASSERT_TRUE(doc.LoadSchemeFile(u"Color_낮.bin"));
    EXPECT_EQ(doc.GetBackgroundColor(), 0x112233u);
    EXPECT_EQ(doc.GetTextColor(), 0x445566u);

    // A missing scheme falls back to color.bin (resetting background and text colours).
    ASSERT_TRUE(doc.LoadSchemeFile(u"Color_없음.bin"));
    EXPECT_EQ(doc.GetBackgroundColor(), 0xFFFFFFu);

    // Under 64 bytes: unreadable.
    root.MakeFile(std::string(kData) + "/Color/color.bin", table.substr(0, 63));
    EXPECT_FALSE(doc.LoadColorFile());
    EXPECT_FALSE(doc.LoadSchemeFile(u"Color_없음.bin"));
}

TEST_F(MainDocTest, LineTableAndMissingFiles) {
    CMainDoc doc;
    doc.SetColorMode(-1);
    EXPECT_FALSE(doc.LoadDrawConfig());
    EXPECT_FALSE(doc.LoadColorFile());
    EXPECT_FALSE(doc.LoadLineFile());
    EXPECT_FALSE(doc.LoadLevelFile());
    root.MakeFile(std::string(kData) + "/line.bin", std::string(31, '\2'));
    EXPECT_FALSE(doc.LoadLineFile());
    root.MakeFile(std::string(kData) + "/line.bin", std::string(32, '\2'));
    ASSERT_TRUE(doc.LoadLineFile());
    EXPECT_EQ(doc.GetLineTable()[31], 2);
}

} // namespace
