#include "traffic/pages/InterestRoadFile.h"

#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

void Put16(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Slot 0: 누리고속도로 at level 2 (row 3 of sections at 216, 8 of them); slot 4: a name that
// fills all 50 bytes without a terminator; the others free.
std::string HandWrittenFile() {
    std::string f(1040, '\0');
    Put16(f, 0, 1);
    const std::string name = Utf8ToCp949("누리고속도로");
    f.replace(2, name.size(), name);
    Put32(f, 52, 2);                            // level
    Put32(f, 52 + 4 + 8, 3);                    // selected row of level 2
    Put32(f, 52 + 20, 88);                      // level-0 table
    Put32(f, 52 + 20 + 4, 72);                  // level-1 table
    Put32(f, 52 + 20 + 8, 216);                 // level-2 table
    Put32(f, 52 + 36, 2);                       // counts
    Put32(f, 52 + 36 + 4, 2);
    Put32(f, 52 + 36 + 8, 8);
    Put16(f, 4 * 104, 5);
    const std::string full = Utf8ToCp949("가나다라마바사아자차카타파하가나다라마바사아자차카타파하");
    f.replace(4 * 104 + 2, 50, full.substr(0, 50));
    Put32(f, 4 * 104 + 52, 3);
    return f;
}

class InterestRoadFileTest : public ::testing::Test {
protected:
    InterestRoadFileTest() {
        m_config.SetDeviceType(0);
        m_config.SetValue(64, 0);
    }
    CString Path() const { return CInterestRoadFile::PathOf(&m_config); }
    static constexpr const char* kHostPath = "My Documents/VelkoData/itraffic.bin";

    TempRoot m_root;
    CNaviConfig m_config;
};

} // namespace

TEST_F(InterestRoadFileTest, ReadsHandWrittenSlots) {
    EXPECT_EQ(Path(), CString(u"My Documents\\VelkoData\\itraffic.bin"));
    EXPECT_EQ(CInterestRoadFile::PathOf(nullptr).GetLength(), 0);
    m_root.MakeFile(kHostPath, HandWrittenFile());
    InterestRoadSlot slots[10];
    ASSERT_TRUE(CInterestRoadFile::Read(Path().GetString(), slots));
    EXPECT_EQ(slots[0].number, 1);
    EXPECT_EQ(Cp949ToUtf8(slots[0].name), "누리고속도로");
    EXPECT_EQ(slots[0].state.level, 2u);
    EXPECT_EQ(slots[0].state.selected[2], 3u);
    EXPECT_EQ(slots[0].state.offset[0], 88u);
    EXPECT_EQ(slots[0].state.offset[2], 216u);
    EXPECT_EQ(slots[0].state.count[2], 8u);
    // Fifty bytes without a terminator: cut back to 24 whole characters.
    EXPECT_EQ(slots[4].number, 5);
    EXPECT_EQ(Cp949ToUtf8(slots[4].name), "가나다라마바사아자차카타파하가나다라마바사아자차");
    EXPECT_EQ(slots[4].state.level, 3u);
    EXPECT_FALSE(slots[1].IsUsed());
    EXPECT_EQ(CInterestRoadFile::FindFree(slots), 1);
    EXPECT_EQ(CInterestRoadFile::FindByName(slots, u"누리고속도로"), 0);
    EXPECT_EQ(CInterestRoadFile::FindByName(slots, u"누리"), -1);
    // A longer name finds the slot that keeps its cut form.
    EXPECT_EQ(CInterestRoadFile::FindByName(slots, u"가나다라마바사아자차카타파하가나다라마바사아자차카타파하"), 4);

    // Written back, the bytes are the hand-written ones but for the cut name's last two bytes.
    ASSERT_TRUE(CInterestRoadFile::Write(Path().GetString(), slots, false));
    std::string expected = HandWrittenFile();
    expected[4 * 104 + 2 + 48] = 0;
    expected[4 * 104 + 2 + 49] = 0;
    EXPECT_EQ(m_root.Read(kHostPath), expected);
}

TEST_F(InterestRoadFileTest, ReadsOnlyAFileOfExactlyTenSlots) {
    InterestRoadSlot slots[10];
    CInterestRoadFile::Fill(slots[2], 2, u"가람고속도로", sSAVETRAFFIC{});
    const std::string good = HandWrittenFile();
    struct Case {
        const char* what;
        bool make;
        std::string bytes;
    };
    const Case cases[] = {
        {"missing", false, ""},
        {"empty", true, ""},
        {"one byte short", true, good.substr(0, 1039)},
        {"one byte more", true, good + "x"},
        {"twice the size", true, good + good},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ec;
        std::filesystem::remove(m_root.Host(kHostPath), ec);
        if (c.make) m_root.MakeFile(kHostPath, c.bytes);
        EXPECT_FALSE(CInterestRoadFile::Read(Path().GetString(), slots));
        EXPECT_EQ(slots[2].number, 3); // untouched
        EXPECT_EQ(Cp949ToUtf8(slots[2].name), "가람고속도로");
        EXPECT_FALSE(slots[0].IsUsed());
    }
}

TEST_F(InterestRoadFileTest, WritesAsideAndCreatesOnlyWhenAsked) {
    InterestRoadSlot slots[10];
    sSAVETRAFFIC state;
    state.level = 3;
    state.offset[3] = 648;
    state.count[3] = 6;
    CInterestRoadFile::Fill(slots[0], 0, u"국도1호선", state);
    // The roads-of-interest page never creates the file.
    EXPECT_FALSE(CInterestRoadFile::Write(Path().GetString(), slots, false));
    EXPECT_FALSE(m_root.Exists(kHostPath));
    ASSERT_TRUE(CInterestRoadFile::Write(Path().GetString(), slots, true));
    EXPECT_EQ(m_root.Read(kHostPath).size(), 1040u);
    EXPECT_FALSE(m_root.Exists(std::string(kHostPath) + ".new"));

    InterestRoadSlot back[10];
    ASSERT_TRUE(CInterestRoadFile::Read(Path().GetString(), back));
    EXPECT_EQ(back[0].number, 1);
    EXPECT_EQ(Cp949ToUtf8(back[0].name), "국도1호선");
    EXPECT_EQ(back[0].state.level, 3u);
    EXPECT_EQ(back[0].state.offset[3], 648u);
    EXPECT_EQ(back[0].state.count[3], 6u);

    // A folder standing at the path: no write succeeds, and the folder stays.
    std::filesystem::remove(m_root.Host(kHostPath));
    std::filesystem::create_directories(m_root.Host(kHostPath));
    EXPECT_FALSE(CInterestRoadFile::Write(Path().GetString(), slots, true));
    EXPECT_FALSE(CInterestRoadFile::Write(Path().GetString(), slots, false));
    EXPECT_TRUE(std::filesystem::is_directory(m_root.Host(kHostPath)));
    EXPECT_FALSE(m_root.Exists(std::string(kHostPath) + ".new"));
    EXPECT_FALSE(CInterestRoadFile::Read(Path().GetString(), back));
}

TEST_F(InterestRoadFileTest, SlotNamesAreCutOnCharacterBoundaries) {
    struct Case {
        const char16_t* name;
        const char* kept;
    };
    const Case cases[] = {
        {u"누리고속도로", "누리고속도로"},
        // 25 Korean characters are 50 bytes: the slot keeps 24 (48 bytes).
        {u"가나다라마바사아자차카타파하가나다라마바사아자차카", "가나다라마바사아자차카타파하가나다라마바사아자차"},
        // 1 + 24 x 2 = 49 bytes fit whole.
        {u"A가나다라마바사아자차카타파하가나다라마바사아자차", "A가나다라마바사아자차카타파하가나다라마바사아자차"},
        {u"AB가나다라마바사아자차카타파하가나다라마바사아자차", "AB가나다라마바사아자차카타파하가나다라마바사아자"},
        {u"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.name));
        const std::string kept = CInterestRoadFile::SlotName(c.name);
        EXPECT_EQ(Cp949ToUtf8(kept), c.kept);
        EXPECT_LE(kept.size(), 49u);
        InterestRoadSlot slot;
        CInterestRoadFile::Fill(slot, 6, c.name, sSAVETRAFFIC{});
        EXPECT_EQ(slot.number, 7);
        EXPECT_EQ(std::string(slot.name), kept);
    }
    InterestRoadSlot slots[10];
    CInterestRoadFile::Fill(slots[5], 5, u"가람고속도로", sSAVETRAFFIC{});
    EXPECT_EQ(CInterestRoadFile::FindByName(slots, u"가람고속도로"), 5);
    slots[5].number = 0; // freed: no longer found, and free again
    EXPECT_EQ(CInterestRoadFile::FindByName(slots, u"가람고속도로"), -1);
    EXPECT_EQ(CInterestRoadFile::FindByName(slots, u""), -1);
    for (int k = 0; k < 10; ++k) CInterestRoadFile::Fill(slots[k], k, u"도로", sSAVETRAFFIC{});
    EXPECT_EQ(CInterestRoadFile::FindFree(slots), -1);
}
