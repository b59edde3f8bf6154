// Route files: the 208-byte route header against hand-packed bytes, the route information
// record, replacing a file safely, and the text helpers the names go through.
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"
#include "route/RouteFile.h"
#include "route/base/TextTruncate.h"
#include "route/tests/HandNetwork.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using handnet::Out;

std::vector<std::uint8_t> HandHeader(std::uint32_t version) {
    Out o;
    o.u32(version).u32(3).u32(0xABCD).u32(45000100).u32(11910200).u32(45000300).u32(11910400);
    for (int i = 0; i < 5; ++i) o.u32(i == 1 ? 45000500 : 0xFFFFFFFF).u32(i == 1 ? 11910600 : 0xFFFFFFFF);
    o.text("ABCDEFGHIJKLMNOPQRST");           // exactly 20 bytes, no terminator
    o.text("goal").b.resize(o.b.size() + 16); // zero-padded
    for (int i = 0; i < 5; ++i) {
        if (i == 1)
            o.text("via").b.resize(o.b.size() + 17);
        else
            o.b.resize(o.b.size() + 20);
    }
    return o.b;
}

std::vector<std::uint8_t> ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(RouteHeaderFile, ReadsAndWritesTheHandPackedLayout) {
    const auto bytes = HandHeader(15);
    ASSERT_EQ(bytes.size(), 208u);
    RouteHeader h;
    ASSERT_TRUE(h.ReadBuffer(bytes.data(), 208));
    EXPECT_EQ(h.kind, 3);
    EXPECT_EQ(h.reserved, 0xABCD); // kept as read
    EXPECT_EQ(h.start.x, 45000100);
    EXPECT_EQ(h.goal.y, 11910400);
    EXPECT_FALSE(h.waypoints[0].IsSet());
    EXPECT_EQ(h.waypoints[1].x, 45000500);
    EXPECT_EQ(RouteHeader::NameBytes(h.startName), "ABCDEFGHIJKLMNOPQRST"); // 20 bytes whole
    EXPECT_EQ(RouteHeader::NameBytes(h.goalName), "goal");
    EXPECT_EQ(RouteHeader::NameBytes(h.waypointNames[1]), "via");
    std::uint8_t out[208];
    h.Write(out);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 208), bytes);
}

TEST(RouteHeaderFile, OnlyVersion15IsAccepted) {
    for (std::uint32_t version : {14u, 16u, 0u}) {
        const auto bytes = HandHeader(version);
        RouteHeader h;
        EXPECT_FALSE(h.ReadBuffer(bytes.data(), 208)) << version;
        EXPECT_FALSE(h.start.IsSet());
        EXPECT_EQ(h.kind, 0);
    }
    RouteHeader h;
    const auto bytes = HandHeader(15);
    EXPECT_FALSE(h.ReadBuffer(bytes.data(), 207)); // one byte short
}

TEST(RouteHeaderFile, NewAndClearedHeaders) {
    RouteHeader h;
    h.kind = 2;
    h.waypoints[3] = RoutePoint{5, 6};
    h.waypointNames[3][0] = 'x';
    h.start = RoutePoint{1, 2};
    h.ClearWaypoints();
    EXPECT_FALSE(h.waypoints[3].IsSet());
    EXPECT_EQ(h.waypointNames[3][0], 0);
    EXPECT_EQ(h.start.x, 1); // untouched
    h.Clear();
    EXPECT_EQ(h.kind, 0);
    EXPECT_FALSE(h.start.IsSet());
    std::uint8_t out[208];
    h.Write(out);
    EXPECT_EQ(out[0], 15); // writing sets the version
}

TEST(RouteHeaderFile, NamesAreCutOnACharacterBoundary) {
    const std::string korean = Utf8ToCp949("가나다라마바사아자차카"); // 11 characters, 22 bytes
    RouteHeader h;
    RouteHeader::SetName(h.startName, korean);
    EXPECT_EQ(RouteHeader::NameBytes(h.startName), korean.substr(0, 20));
    RouteHeader::SetName(h.waypointNames[0], korean, 19); // a waypoint keeps 19 bytes and a zero
    EXPECT_EQ(RouteHeader::NameBytes(h.waypointNames[0]), korean.substr(0, 18));
    EXPECT_EQ(h.waypointNames[0][18], 0);
    EXPECT_EQ(CutCp949("ab" + korean, 5), "ab" + korean.substr(0, 2));
    EXPECT_EQ(CutCp949("abc", 10), "abc");
}

TEST(TextTruncate, CutsWithDotsWithoutSplittingKoreanCharacters) {
    struct Case {
        std::string text;
        int n;
        bool cut;
        std::string result;
    };
    const std::string ga = Utf8ToCp949("가"), na = Utf8ToCp949("나"), da = Utf8ToCp949("다");
    const Case cases[] = {
        {"ABCDEFGHIJ", 10, false, "ABCDEFGHIJ"},       // exactly n bytes: unchanged
        {"ABCDEFGHIJK", 10, true, "ABCDEFGH.."},       // visible ASCII at n-2: two dots
        {"ABCDEFGH IJ", 10, true, "ABCDEFG..."},       // a space at n-2: three dots
        {ga + na + da, 5, true, ga + "..."},           // byte 3 is the trail of 나: three dots
        {ga + na + da + "x", 6, true, ga + na + ".."}, // byte 4 starts 다: two dots
    };
    for (const Case& c : cases) {
        char buffer[64] = {};
        std::memcpy(buffer, c.text.data(), c.text.size());
        std::memset(buffer + c.text.size() + 1, 'Z', sizeof buffer - c.text.size() - 1);
        EXPECT_EQ(TruncateWithDots(buffer, sizeof buffer, c.n), c.cut) << c.text;
        EXPECT_EQ(std::string(buffer), c.result) << c.text;
        if (c.cut) {
            for (std::size_t k = static_cast<std::size_t>(c.n); k < sizeof buffer; ++k)
                ASSERT_EQ(buffer[k], 0);
        }
    }
    char small[8] = "ABCDEFG";
    EXPECT_FALSE(TruncateWithDots(small, 5, 5)); // the buffer must be larger than n
}

TEST(TextTruncate, StraightLineMetresUsesTheFixedFactors) {
    // 1000 x units and 1000 y units: 276.54 m and 308.79 m.
    EXPECT_NEAR(StraightLineMetres(0, 0, 1000, 0), 276.54, 1e-3);
    EXPECT_NEAR(StraightLineMetres(0, 1000, 0, 0), 308.79, 1e-3);
    EXPECT_NEAR(StraightLineMetres(0, 0, 1000, 1000), std::sqrt(276.54 * 276.54 + 308.79 * 308.79), 1e-2);
}

TEST(ReplaceFile, ANewFileIsRenamedOverTheOldOne) {
    TempRoot root;
    ASSERT_TRUE(ReplaceFileContents(u"\\a.bin", {1, 2, 3}));
    ASSERT_TRUE(ReplaceFileContents(u"\\a.bin", {4, 5}));
    EXPECT_EQ(ReadHost(DeviceRoot::Resolve(u"\\a.bin")), (std::vector<std::uint8_t>{4, 5}));
    EXPECT_FALSE(std::filesystem::exists(DeviceRoot::Resolve(u"\\a.bin.new")));
}

TEST(ReplaceFile, AFailedSaveLeavesTheOldFileIntact) {
    TempRoot root;
    ASSERT_TRUE(ReplaceFileContents(u"\\a.bin", {1, 2, 3}));
    // The rename cannot happen: a folder stands where the new file would go.
    std::filesystem::create_directories(DeviceRoot::Resolve(u"\\a.bin.new") + "/x");
    EXPECT_FALSE(ReplaceFileContents(u"\\a.bin", {9, 9}));
    EXPECT_EQ(ReadHost(DeviceRoot::Resolve(u"\\a.bin")), (std::vector<std::uint8_t>{1, 2, 3}));
    // A folder that does not exist: nothing is written.
    EXPECT_FALSE(ReplaceFileContents(u"\\missing\\b.bin", {1}));
}

TEST(RouteInformationRecord, RoundTripsAndRefusesAWrongTag) {
    RouteFileRecord fresh;
    EXPECT_EQ(fresh.tag, 0);
    EXPECT_EQ(fresh.word1, 0xFFFF);
    EXPECT_EQ(fresh.byte3, 255);
    EXPECT_EQ(fresh.value1, 0);
    EXPECT_EQ(fresh.points[2].x, -1);

    RouteFileRecord r;
    r.byte1 = 7;
    r.points[1] = {45000100, 11910200, {'s', 't'}};
    r.waypoints[4] = {45000300, 11910400, {'w'}};
    r.word2 = 0x1234;
    r.value2 = -5;
    std::uint8_t bytes[240] = {};
    r.Write(bytes);
    EXPECT_EQ(bytes[0], 0xEE);
    // Hand-checked positions: point 1 at 3 + 28, waypoint 4 at 87 + 4 x 28, word 2 at 229.
    EXPECT_EQ(handnet::Bytes(bytes + 31, bytes + 35), (handnet::Bytes{0xA4, 0xA5, 0xAE, 0x02}));
    EXPECT_EQ(bytes[31 + 8], 's');
    EXPECT_EQ(bytes[87 + 112 + 8], 'w');
    EXPECT_EQ(bytes[229], 0x34);
    EXPECT_EQ(bytes[236], 0xFB);

    RouteFileRecord back;
    ASSERT_EQ(back.ReadBuffer(bytes), 1);
    EXPECT_EQ(back.byte1, 7);
    EXPECT_EQ(back.points[1].y, 11910200);
    EXPECT_EQ(back.word2, 0x1234);
    EXPECT_EQ(back.value2, -5);
    bytes[0] = 0xEF;
    EXPECT_EQ(back.ReadBuffer(bytes), 0);
    EXPECT_EQ(back.value1, -1); // cleared
}

TEST(RouteInformationRecord, TheFileReaderMovesPointsAndNamesOut) {
    TempRoot root;
    RouteFileRecord r;
    r.points[0] = {45000100, 11910200, {}};
    const std::string name = Utf8ToCp949("시청");
    std::memcpy(r.points[0].name, name.data(), name.size());
    std::vector<std::uint8_t> file(240);
    r.Write(file.data());
    CRoutePath empty;
    const auto stream = empty.Pack();
    file.insert(file.end(), stream.begin(), stream.end());
    ASSERT_TRUE(ReplaceFileContents(u"\\info.vkp", file));

    CRouteFileInfo* info = CRouteFileInfo::Instance();
    ASSERT_TRUE(info->LoadFile(u"\\info.vkp"));
    EXPECT_EQ(info->points[0].x, 45000100);
    EXPECT_EQ(info->record.points[0].x, -1);
    EXPECT_EQ(info->pointNames[0], CString(u"시청"));
    EXPECT_EQ(info->path.IsValid(), 1);
    file.resize(240 + 40); // the path stream cut short
    ASSERT_TRUE(ReplaceFileContents(u"\\info.vkp", file));
    EXPECT_FALSE(info->LoadFile(u"\\info.vkp"));
    CRouteFileInfo::Destroy();
}
