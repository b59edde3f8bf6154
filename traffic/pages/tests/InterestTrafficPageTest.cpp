// The roads-of-interest tab: the list of roads, a road opened at its sections, deleting, coming
// back to where it was left, and roads re-anchored after the road tables were replaced.
#include "traffic/pages/tests/SheetTestSupport.h"

#include "platform/base/Text.h"

using namespace pagestest;

namespace {

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

} // namespace

class InterestTrafficPageTest : public SheetFixture {
protected:
    CInterestTrafficPage& Page() { return m_sheet->m_interestPage; }
    TrafficSectionList& List() { return *Page().GetList(); }
    // Stores roads below the first group (by row) as roads of interest in the given slots, as
    // the traffic tab stores them.
    struct Stored {
        int road;
        int slot;
        const char16_t* name;
    };
    void WriteInterest(std::vector<Stored> roadToSlot) {
        std::vector<InterestRoadSlot> slots(CInterestRoadFile::kSlots);
        TrafficRoadDB db;
        ASSERT_EQ(db.Open(TrafficRoadDB::DefaultPath().GetString()), 1);
        ASSERT_EQ(db.EnterRecord(0), 1);
        for (auto [road, slot, name] : roadToSlot) {
            ASSERT_EQ(db.EnterRecord(road), 1);
            CInterestRoadFile::Fill(slots[static_cast<std::size_t>(slot)], slot, name, *db.SaveState());
            ASSERT_EQ(db.LevelUp(), 1);
        }
        ASSERT_TRUE(CInterestRoadFile::Write(CInterestRoadFile::PathOf(&m_config).GetString(), slots.data(), true));
    }
};

TEST_F(InterestTrafficPageTest, OpensARoadAndComesBackToIt) {
    MakeDevice({{"누리고속도로", 4, true}, {"가람고속도로", 6, true}});
    WriteInterest({{0, 0, u"누리고속도로"}, {1, 2, u"가람고속도로"}});
    OpenSheet();
    ASSERT_EQ(m_sheet->GetActiveIndex(), 0);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_TRUE(List().GetItemText(0, 0) == CString(u"누리고속도로"));
    EXPECT_TRUE(List().GetItemText(1, 0) == CString(u"가람고속도로"));
    EXPECT_EQ(Page().GetUnit(), 1); // speeds, the SPEED button showing
    EXPECT_TRUE(Visible(&Page(), CInterestTrafficPage::IDC_SPEED));
    EXPECT_FALSE(Visible(&Page(), CInterestTrafficPage::IDC_TIME));
    EXPECT_FALSE(Enabled(&Page(), CInterestTrafficPage::IDC_PREV));
    EXPECT_TRUE(Enabled(&Page(), CInterestTrafficPage::IDC_NEXT));
    EXPECT_FALSE(Enabled(&Page(), CInterestTrafficPage::IDC_MAPMOVE));
    EXPECT_TRUE(Enabled(&Page(), CInterestTrafficPage::IDC_DELETE));

    List().SelectRow(1);
    Click(&Page(), CInterestTrafficPage::IDC_NEXT);
    EXPECT_EQ(Page().GetShownSlot(), 2);
    ASSERT_EQ(List().GetItemCount(), 7);
    EXPECT_EQ(List().GetFirstSelected(), 1);
    EXPECT_STREQ(List().GetRowInfo(0)->startName, Utf8ToCp949("가람 지점0").c_str());
    EXPECT_TRUE(Enabled(&Page(), CInterestTrafficPage::IDC_PREV));
    EXPECT_FALSE(Enabled(&Page(), CInterestTrafficPage::IDC_NEXT));
    EXPECT_TRUE(Enabled(&Page(), CInterestTrafficPage::IDC_MAPMOVE));
    // SPEED: travel times; TIME: speeds again.
    Click(&Page(), CInterestTrafficPage::IDC_SPEED);
    EXPECT_EQ(List().GetUnit(), 0);
    EXPECT_TRUE(Visible(&Page(), CInterestTrafficPage::IDC_TIME));
    Click(&Page(), CInterestTrafficPage::IDC_TIME);
    EXPECT_EQ(List().GetUnit(), 1);
    List().SelectRow(3);
    CloseSheet();

    OpenSheet();
    EXPECT_EQ(m_sheet->GetActiveIndex(), 0);
    EXPECT_EQ(Page().GetShownSlot(), 2);
    EXPECT_EQ(List().GetItemCount(), 7);
    EXPECT_EQ(List().GetFirstSelected(), 3);
    // Back to the roads, with the road opened last selected.
    Click(&Page(), CInterestTrafficPage::IDC_PREV);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(List().GetFirstSelected(), 1);
    EXPECT_EQ(Page().GetShownSlot(), -1);
    CloseSheet();
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(InterestTrafficPageTest, DeletesAfterAsking) {
    MakeDevice({{"누리고속도로", 4, true}, {"가람고속도로", 6, true}});
    WriteInterest({{0, 0, u"누리고속도로"}, {1, 1, u"가람고속도로"}});
    OpenSheet();
    // Nothing selected.
    List().SetItemState(-1, 0, LVIS_SELECTED);
    Click(&Page(), CInterestTrafficPage::IDC_DELETE);
    EXPECT_EQ(Texts(), std::vector<std::string>{"관심도로에서 삭제할 도로를 선택 하여 주세요."});
    // From the road's sections, answered no, then yes.
    List().SelectRow(1);
    Click(&Page(), CInterestTrafficPage::IDC_NEXT);
    m_boxes.clear();
    m_answer = IDNO;
    Click(&Page(), CInterestTrafficPage::IDC_DELETE);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, " '가람고속도로'를 관심 도로에서 삭제 하시겠습니까?");
    EXPECT_EQ(m_boxes[0].caption, "관심 도로삭제");
    EXPECT_EQ(Page().GetShownSlot(), 1);
    m_answer = IDYES;
    Click(&Page(), CInterestTrafficPage::IDC_DELETE);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_TRUE(List().GetItemText(0, 0) == CString(u"누리고속도로"));
    EXPECT_EQ(List().GetFirstSelected(), 0); // row 1 is gone: the one before it
    std::string file = m_root.Read(kInterestFile);
    ASSERT_EQ(file.size(), 1040u);
    EXPECT_EQ(file[104], 0); // slot 1 free
    EXPECT_EQ(file[0], 1);
    // The last road from the list of roads.
    Click(&Page(), CInterestTrafficPage::IDC_DELETE);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_FALSE(Enabled(&Page(), CInterestTrafficPage::IDC_DELETE));
    EXPECT_FALSE(Enabled(&Page(), CInterestTrafficPage::IDC_NEXT));
    EXPECT_EQ(m_root.Read(kInterestFile), std::string(1040, '\0'));
    CloseSheet();
}

TEST_F(InterestTrafficPageTest, DeletingWithoutAFileCreatesNone) {
    MakeDevice({{"누리고속도로", 4, true}});
    WriteInterest({{0, 0, u"누리고속도로"}});
    OpenSheet();
    ASSERT_EQ(List().GetItemCount(), 1);
    std::filesystem::remove(m_root.Host(kInterestFile));
    m_answer = IDYES;
    List().SelectRow(0);
    Click(&Page(), CInterestTrafficPage::IDC_DELETE);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_FALSE(m_root.Exists(kInterestFile));
    CloseSheet();
}

TEST_F(InterestTrafficPageTest, RoadsFollowReplacedTables) {
    MakeDevice({{"누리고속도로", 4, true}});
    WriteInterest({{0, 0, u"누리고속도로"}});
    // New tables: another road comes first, so 누리고속도로's sections move.
    MakeDevice({{"가람고속도로", 6, true}, {"누리고속도로", 4, true}});
    OpenSheet();
    // Rewritten: level 2, the sections now after 6 of 가람고속도로: header 88, level 0 at 88,
    // two roads at 124, sections from 196; 누리고속도로's at 196 + 6 x 36 = 412, that is 324
    // past the header, 4 records.
    const std::string file = m_root.Read(kInterestFile);
    ASSERT_EQ(file.size(), 1040u);
    EXPECT_EQ(U32At(file, 52), 2u);
    EXPECT_EQ(U32At(file, 52 + 20 + 8), 324u);
    EXPECT_EQ(U32At(file, 52 + 36 + 8), 4u);
    List().SelectRow(0);
    Click(&Page(), CInterestTrafficPage::IDC_NEXT);
    ASSERT_EQ(List().GetItemCount(), 5);
    EXPECT_STREQ(List().GetRowInfo(0)->startName, Utf8ToCp949("누리 지점0").c_str());
    CloseSheet();
}

TEST_F(InterestTrafficPageTest, ARoadAddedOnTheTrafficTabIsListed) {
    MakeDevice({{"누리고속도로", 4, true}, {"가람고속도로", 4, true}});
    OpenSheet();
    EXPECT_EQ(List().GetItemCount(), 0);
    ShowTab(1);
    CTrafficPage& traffic = m_sheet->m_trafficPage;
    Click(&traffic, CTrafficPage::IDC_NEXT);
    traffic.GetList()->SelectRow(1);
    Click(&traffic, CTrafficPage::IDC_ADD_INTEREST);
    ShowTab(0);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_TRUE(List().GetItemText(0, 0) == CString(u"가람고속도로"));
    CloseSheet();
}
