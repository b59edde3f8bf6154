#include "route/MapDataHeader.h"

#include "route/tests/NetTestSupport.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/testing/SampleDeviceCopy.h"

#include "platform/base/Text.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using handnet::Bytes;

TEST(DataChecksumTest, KnownValues) {
    struct Case {
        Bytes data;
        std::uint16_t expected;
    } const cases[] = {
        {{}, 0xFFFF},
        {{0x01}, 0xFFFE},
        {{0x01, 0x02}, 0xFDFE},
        {{0x01, 0x02, 0x03}, 0xFDFB},
        // 0xFFFF + 0x0001 = 0x10000 folds to 0x0001.
        {{0xFF, 0xFF, 0x01, 0x00}, 0xFFFE},
    };
    for (const Case& c : cases) EXPECT_EQ(DataChecksum(c.data.data(), c.data.size()), c.expected);
}

TEST(DataInfoTest, DatesAreShownWithDots) {
    EXPECT_EQ(FormatDataDate(20041231), CString(u"2004.12.31"));
    EXPECT_EQ(FormatDataDate(20050315), CString(u"2005.03.15"));
    EXPECT_EQ(FormatDataDate(0), CString(u"0.00.00"));
    CDataInfo info;
    EXPECT_FALSE(info.GetDateText1(nullptr));
}

TEST(DataInfoTest, RecordSettersKeepTheFieldSizes) {
    MapDataInfoRecord r;
    EXPECT_TRUE(r.SetDataCode(u"VKSAMPLE"));
    EXPECT_EQ(r.GetDataCode(), CString(u"VKSAMPLE"));
    EXPECT_TRUE(r.SetDataCode(u"가나다라")); // four syllables are eight CP949 bytes
    EXPECT_EQ(r.GetDataCode(), CString(u"가나다라"));
    EXPECT_FALSE(r.SetDataCode(u"ABC")); // too short: refused, not read past its end
    EXPECT_FALSE(r.SetDataCode(u"ABCDEFGHI"));
    EXPECT_EQ(r.GetDataCode(), CString(u"가나다라"));
    EXPECT_TRUE(r.SetText1(u"123456789"));
    EXPECT_FALSE(r.SetText1(u"1234567890"));                     // not shorter than the 10-byte field
    EXPECT_FALSE(r.SetText2(u"가나다라마바사아자차카타파하가")); // 30 bytes
    ProgramInfoRecord p;
    EXPECT_TRUE(p.SetText4(u"가나다라"));
    EXPECT_FALSE(p.SetText4(u"가나다라마"));

    // A record packs to 65 bytes and reads back equal.
    r.SetDisplayDate(20240301);
    r.SetKind(2);
    r.SetChecksumA(0x1234);
    std::uint8_t buf[MapDataInfoRecord::kSize];
    CMemWriter w(buf, sizeof buf);
    r.Write(w);
    EXPECT_EQ(w.GetPosition(), 65);
    EXPECT_EQ(buf[61], 0x34);
    EXPECT_EQ(buf[20], 2);
    MapDataInfoRecord back;
    CMemReader rd(buf, sizeof buf);
    ASSERT_TRUE(back.Read(rd));
    EXPECT_TRUE(back.IsEqual(r));
    CMemReader invalid;
    EXPECT_FALSE(back.Read(invalid));
}

class VersionFileTest : public ::testing::Test {
protected:
    NetRoot root;
    void WriteFile(const std::string& name, const Bytes& bytes) {
        std::filesystem::create_directories((root.Dir() / name).parent_path());
        std::ofstream out(root.Dir() / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // An appdatainfo.bin: stored checksum, then a 154-byte body with text 1 "Velko" and date.
    static Bytes AppInfo(bool goodChecksum) {
        Bytes body(154, 0);
        const char* text = "Velko";
        std::copy(text, text + 5, body.begin());
        handnet::PutU32(body, 100, 20241231);
        handnet::PutU16(body, 152, 7);
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < body.size(); i += 2) sum += body[i] | (body[i + 1] << 8);
        sum = (sum & 0xFFFF) + (sum >> 16);
        sum += sum >> 16;
        std::uint16_t check = static_cast<std::uint16_t>(~sum);
        if (!goodChecksum) check ^= 0x0100;
        Bytes file{static_cast<std::uint8_t>(check), static_cast<std::uint8_t>(check >> 8)};
        file.insert(file.end(), body.begin(), body.end());
        return file;
    }
};

TEST_F(VersionFileTest, AnAppInfoWithABadChecksumIsRefused) {
    WriteFile("res/appdatainfo.bin", AppInfo(false));
    CDataInfo info;
    EXPECT_FALSE(info.LoadAppInfo(u"\\res\\appdatainfo.bin"));
    ProgramInfoRecord p;
    EXPECT_FALSE(p.LoadFile(u"\\res\\appdatainfo.bin"));

    WriteFile("res/appdatainfo.bin", AppInfo(true));
    ASSERT_TRUE(info.LoadAppInfo(u"\\res\\appdatainfo.bin"));
    EXPECT_EQ(info.Program().GetText1(), CString(u"Velko"));
    EXPECT_EQ(info.Program().GetDateText(), CString(u"2024.12.31"));
    EXPECT_EQ(info.Program().GetValue3(), 7);
    ASSERT_TRUE(p.LoadFile(u"\\res\\appdatainfo.bin"));
    EXPECT_EQ(p.GetDate(), 20241231u);

    Bytes shortFile = AppInfo(true);
    shortFile.resize(100);
    WriteFile("res/appdatainfo.bin", shortFile);
    EXPECT_FALSE(info.LoadAppInfo(u"\\res\\appdatainfo.bin"));
    EXPECT_FALSE(info.LoadAppInfo(u""));
    EXPECT_FALSE(info.LoadAppInfo(u"\\res\\missing.bin"));
}

TEST_F(VersionFileTest, FileTailsShorterThanAHundredBytesAreCheckedWhole) {
    // A map-data record whose checksum B is that of 01 02 03 (0xFDFB) and checksum A that of
    // 150 bytes of 0x01, whose last 100 bytes are 50 words of 0x0101: ~0x3232 = 0xCDCD.
    Bytes body(65, 0);
    handnet::PutU16(body, 61, 0xCDCD);
    handnet::PutU16(body, 63, 0xFDFB);
    Bytes file{0, 0};
    std::uint16_t check = DataChecksum(body.data(), body.size());
    file[0] = static_cast<std::uint8_t>(check);
    file[1] = static_cast<std::uint8_t>(check >> 8);
    file.insert(file.end(), body.begin(), body.end());
    WriteFile("MapData/mapdatainfo.bin", file);
    WriteFile("MapData/MRData/MRCross.bin", {0x01, 0x02, 0x03});
    WriteFile("MapData/SearchDB/aVelko.db", Bytes(150, 0x01));
    CDataInfo info;
    ASSERT_TRUE(info.LoadMapInfo(u"\\MapData\\mapdatainfo.bin"));
    EXPECT_TRUE(info.CheckFileTailB(u"\\MapData\\MRData\\MRCross.bin"));
    EXPECT_TRUE(info.CheckFileTailA(u"\\MapData\\SearchDB\\aVelko.db"));
    EXPECT_FALSE(info.CheckFileTailA(u"\\MapData\\MRData\\MRCross.bin"));
    EXPECT_FALSE(info.CheckFileTailB(u"\\MapData\\nothing.bin"));
}

class BuiltDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        mkdev::MakeSampleDevice(root.Dir().string());
    }
    std::filesystem::path MapData() const { return root.Dir() / "Storage Card" / "MapData"; }
    void FlipLastByte(const std::filesystem::path& p) {
        std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
        f.seekg(-1, std::ios::end);
        char c;
        f.get(c);
        f.seekp(-1, std::ios::end);
        f.put(static_cast<char>(c ^ 0x5A));
    }
    NetRoot root;
};

TEST_F(BuiltDataTest, TheBuiltDataSetIsUsable) {
    CMapDataHeader header;
    EXPECT_EQ(header.Open(u"\\Storage Card\\MapData"), 1);
    EXPECT_EQ(header.GetMapCount(), 9);
    EXPECT_EQ(header.GetDataKindFlags(), 128);
    CString date;
    ASSERT_TRUE(header.DataInfo().GetDateText3(&date));
    EXPECT_EQ(date, CString(u"2024.03.22"));
    EXPECT_EQ(header.DataInfo().GetDataCode(), CString(u"VKSAMPLE"));
    CDataInfo app;
    EXPECT_TRUE(app.LoadAppInfo(u"\\Program Files\\Velko\\res\\appdatainfo.bin"));
    EXPECT_EQ(app.Program().GetText2(), CString(u"벨코 내비게이션"));
}

TEST_F(BuiltDataTest, EachDamageHasItsCode) {
    CMapDataHeader header;
    std::filesystem::remove(MapData() / "mapdatainfo.bin");
    EXPECT_EQ(header.Open(u"\\Storage Card\\MapData"), -3);
}

TEST_F(BuiltDataTest, AChangedCrossFileGivesMinusFive) {
    FlipLastByte(MapData() / "MRData" / "MRCross.bin");
    CMapDataHeader header;
    EXPECT_EQ(header.Open(u"\\Storage Card\\MapData"), -5);
}

TEST_F(BuiltDataTest, AChangedSearchDatabaseGivesMinusSix) {
    FlipLastByte(MapData() / "SearchDB" / "aVelko.db");
    CMapDataHeader header;
    EXPECT_EQ(header.Open(u"\\Storage Card\\MapData"), -6);
}

TEST_F(BuiltDataTest, AWrongMagicGivesZero) {
    {
        std::fstream f(MapData() / "MRData" / "MRManage.bin",
                       std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(6); // the byte after "MRDA" must be zero
        f.put('X');
    }
    CMapDataHeader header;
    EXPECT_EQ(header.Open(u"\\Storage Card\\MapData"), 0);
    std::filesystem::resize_file(MapData() / "MRData" / "MRManage.bin", 100);
    EXPECT_EQ(header.Open(u"\\Storage Card\\MapData"), 0);
    EXPECT_EQ(header.Open(u"\\Nowhere"), 0);
}

} // namespace
