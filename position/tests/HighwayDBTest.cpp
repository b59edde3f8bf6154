// The highway facility tables, from hand-written bytes: services texts, the clips that name
// each facility, direction texts, and lookups by id.
#include "position/HighwayDB.h"
#include "position/SoundIndex.h"
#include "position/tests/VoiceFixture.h"
#include "tools/mkdevice/VoiceFiles.h"

using namespace guidetest;

namespace {

std::string Cp(const char16_t* text) {
    return Utf16ToCp949(text);
}

void U16(std::string& b, unsigned v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}
void U32(std::string& b, std::uint32_t v) {
    U16(b, v & 0xFFFF);
    U16(b, v >> 16);
}
std::string Field(const std::string& text, std::size_t n) {
    std::string f = text;
    f.resize(n, '\0');
    return f;
}

// id, brand, LPG, repair, kind, value, name
std::string RestRecord(unsigned id, int brand, int lpg, int repair, int kind, const std::string& name) {
    std::string b;
    U16(b, id);
    b += static_cast<char>(brand);
    b += static_cast<char>(lpg);
    b += static_cast<char>(repair);
    b += static_cast<char>(kind);
    U16(b, 0x1234);
    return b + Field(name, 20);
}

class HighwayDBTest : public ::testing::Test {
protected:
    HighwayDBTest() {
        VoiceData names;
        names.Name(1, u"누리").Name(2, u"가람").Name(3, u"한울고속도로").Name(4, u"바람").Name(5, u"누리JC");
        names.Write(root.Path() + "/MapData");
        index.Load(u"\\MapData\\Wave\\AddWav.idx");
    }
    void WriteTables(const std::string& rest, const std::string& highway) {
        root.MakeFile("MapData/Wave/RestareaDB.db", rest);
        root.MakeFile("MapData/Wave/HighwayDB.db", highway);
    }
    TempRoot root;
    CSoundIndex index;
    CHighwayDB db;
};

TEST_F(HighwayDBTest, RestAreaServicesAndClips) {
    std::string rest;
    U32(rest, 6);
    // Out of id order and with a gap (no id 4): lookups go by id.
    rest += RestRecord(1, 0, 1, 1, 0, Cp(u"누리휴게소(상)"));
    rest += RestRecord(6, 2, 1, 0, 0, Cp(u"누리휴게소"));
    rest += RestRecord(3, 3, 0, 1, 2, Cp(u"가람IC"));
    rest += RestRecord(2, 1, 0, 0, 1, Cp(u"누리JC"));
    rest += RestRecord(5, 4, 0, 0, 0, Cp(u"휴"));      // shorter than every suffix
    rest += RestRecord(7, 9, 0, 0, 7, Cp(u"바람"));    // an unknown brand and kind
    std::string highway;
    U32(highway, 0);
    WriteTables(rest, highway);
    ASSERT_TRUE(db.Load(u"\\MapData", index));
    struct Case {
        int id;
        const char16_t* services;
        int nameClip, brandClip, lpgClip;
    } cases[] = {
        {1, u"LPG, 정비", 1, 0, 192}, // "누리휴게소(상)" is said as "누리"
        {6, u"SK, LPG", 1, 194, 191},
        {3, u"쌍용, 정비", 2, 195, 0}, // "가람IC" as "가람"
        {2, u"LG", 5, 190, 0},         // a junction without "분기점" keeps its whole name
        {5, u"현대", 0, 188, 0},
        {7, u"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        RestAreaRecord r;
        ASSERT_TRUE(db.GetRestArea(c.id, r));
        EXPECT_EQ(r.id, c.id);
        EXPECT_EQ(r.services, c.services);
        EXPECT_EQ(r.nameClip, c.nameClip);
        EXPECT_EQ(r.brandClip, c.brandClip);
        EXPECT_EQ(r.lpgClip, c.lpgClip);
        EXPECT_EQ(r.value, 0x1234);
        EXPECT_EQ(db.GetNameClip(c.id), c.nameClip);
    }
    RestAreaRecord untouched;
    untouched.id = 77;
    for (int id : {0, 4, 8, 0x10000}) EXPECT_FALSE(db.GetRestArea(id, untouched)) << id;
    EXPECT_EQ(untouched.id, 77);
    EXPECT_TRUE(db.GetRestArea(0x10001, untouched)); // the low 16 bits name the facility
}

TEST_F(HighwayDBTest, DirectionTextsAndNameClips) {
    std::string rest;
    U32(rest, 0);
    std::string highway;
    U32(highway, 3);
    auto record = [&highway](unsigned id, const std::string& names) {
        U16(highway, id);
        U16(highway, 0xBEEF);
        highway += Field(names, 40);
    };
    record(1, Cp(u"한울고속도로;바람"));
    record(2, Cp(u"가람;없는곳;누리"));                  // a name without a clip leaves no gap
    record(3, Cp(u"가나다라마바사아자고속도로;누리;가람")); // 26 bytes: shortened by 8; then full
    WriteTables(rest, highway);
    ASSERT_TRUE(db.Load(u"\\MapData", index));
    HighwayRecord h;
    ASSERT_TRUE(db.GetHighway(1, h));
    EXPECT_EQ(std::string(h.text), Cp(u"한울고속 : 바람"));
    EXPECT_EQ(std::vector<int>(h.clips, h.clips + 6), (std::vector<int>{3, 4, 0, 0, 0, 0}));
    ASSERT_TRUE(db.GetHighway(2, h));
    EXPECT_EQ(std::string(h.text), Cp(u"가람 : 없는곳 : 누리"));
    EXPECT_EQ(std::vector<int>(h.clips, h.clips + 6), (std::vector<int>{2, 1, 0, 0, 0, 0}));
    ASSERT_TRUE(db.GetHighway(3, h));
    // 18 bytes shown; " : 누리" makes 25; "가람" would make 18 + 3 + 4 + 3 + 4 + 3 = 35 < 40.
    EXPECT_EQ(std::string(h.text), Cp(u"가나다라마바사아자 : 누리 : 가람"));
    for (int id : {0, 4}) EXPECT_FALSE(db.GetHighway(id, h)) << id;
}

TEST_F(HighwayDBTest, TheWritersBytesAreTheHandWrittenOnes) {
    const std::vector<std::uint8_t> written =
        mkdev::RestAreaTable({{3, 3, 0, 1, 2, 0x1234, Cp(u"가람IC")}});
    std::string hand;
    U32(hand, 1);
    hand += RestRecord(3, 3, 0, 1, 2, Cp(u"가람IC"));
    EXPECT_EQ(std::string(written.begin(), written.end()), hand);
    const std::vector<std::uint8_t> hw = mkdev::HighwayTable({{1, Cp(u"바람")}});
    std::string handHw;
    U32(handHw, 1);
    U16(handHw, 1);
    U16(handHw, 0);
    handHw += Field(Cp(u"바람"), 40);
    EXPECT_EQ(std::string(hw.begin(), hw.end()), handHw);
}

TEST_F(HighwayDBTest, LoadsOnlyWholeTablesAndNeedsBoth) {
    std::string oneRest;
    U32(oneRest, 1);
    oneRest += RestRecord(1, 0, 0, 0, 0, "A");
    std::string oneHighway;
    U32(oneHighway, 1);
    U16(oneHighway, 1);
    U16(oneHighway, 0);
    oneHighway += Field("B", 40);
    struct Case {
        const char* what;
        std::string rest, highway;
        bool ok;
    } cases[] = {
        {"both", oneRest, oneHighway, true},
        {"count past the rest-area file", oneRest.substr(0, oneRest.size() - 1), oneHighway, false},
        {"huge count", std::string("\xff\xff\xff\x7f", 4) + oneRest.substr(4), oneHighway, false},
        {"count past the highway file", oneRest, oneHighway.substr(0, 40), false},
        {"empty highway file", oneRest, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteTables(c.rest, c.highway);
        CHighwayDB fresh;
        EXPECT_EQ(fresh.Load(u"\\MapData", index), c.ok);
        EXPECT_EQ(fresh.IsLoaded(), c.ok);
    }
    // The rest-area table alone is not enough, and a second load still needs the other table.
    WriteTables(oneRest, oneHighway);
    std::filesystem::remove(root.Path() + "/MapData/Wave/HighwayDB.db");
    CHighwayDB partial;
    EXPECT_FALSE(partial.Load(u"\\MapData", index));
    EXPECT_FALSE(partial.Load(u"\\MapData", index));
    WriteTables(oneRest, oneHighway);
    EXPECT_TRUE(partial.Load(u"\\MapData", index));
}

} // namespace
