// The traffic tab: browsing the road tree, the unit buttons, map moves and adding roads of
// interest, through its buttons as a user would.
#include "traffic/pages/tests/SheetTestSupport.h"

#include "platform/base/Text.h"

using namespace pagestest;

namespace {

std::vector<InterestRoadSlot> EmptySlots() {
    return std::vector<InterestRoadSlot>(CInterestRoadFile::kSlots);
}

} // namespace

class TrafficPageTest : public SheetFixture {
protected:
    CTrafficPage& Page() { return m_sheet->m_trafficPage; }
    TrafficSectionList& List() { return *Page().GetList(); }
    // Opens the sheet on the traffic tab and walks into the group and the road of row roadRow.
    void OpenRoad(int roadRow) {
        OpenSheet();
        ShowTab(1);
        Click(&Page(), CTrafficPage::IDC_NEXT);
        List().SelectRow(roadRow);
        Click(&Page(), CTrafficPage::IDC_NEXT);
        ASSERT_TRUE(List().IsSectionLevel());
    }
};

TEST_F(TrafficPageTest, BrowsesDownToTheSectionsAndBack) {
    MakeDevice({{"누리고속도로", 4, true}, {"가람고속도로", 6, true}});
    SetSpeed(0, 30);
    OpenSheet();
    ShowTab(1);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_TRUE(List().GetItemText(0, 0) == CString(u"고속도로"));
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_PREV));
    EXPECT_TRUE(Enabled(&Page(), CTrafficPage::IDC_NEXT));
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_MAPMOVE));
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_ADD_INTEREST));
    // Everything fits: no page up or down.
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_UP));
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_DOWN));
    // Travel times first: the TIME button shows.
    EXPECT_EQ(Page().GetUnit(), 0);
    EXPECT_TRUE(Visible(&Page(), CTrafficPage::IDC_TIME));
    EXPECT_FALSE(Visible(&Page(), CTrafficPage::IDC_SPEED));

    Click(&Page(), CTrafficPage::IDC_NEXT);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_TRUE(List().GetItemText(1, 0) == CString(u"가람고속도로"));
    EXPECT_EQ(Page().GetHighWayFlag(), 1);
    EXPECT_TRUE(Enabled(&Page(), CTrafficPage::IDC_PREV));
    EXPECT_TRUE(Enabled(&Page(), CTrafficPage::IDC_ADD_INTEREST)); // a highway road, level 1

    List().SelectRow(0);
    Click(&Page(), CTrafficPage::IDC_NEXT);
    ASSERT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(List().GetFirstSelected(), 1); // the first speed row
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_NEXT));
    EXPECT_TRUE(Enabled(&Page(), CTrafficPage::IDC_MAPMOVE));
    EXPECT_TRUE(Enabled(&Page(), CTrafficPage::IDC_TIME));
    int row = -1;
    CString name;
    CSheetStorage::instance()->GetTrafficPrevInfo(row, name);
    EXPECT_EQ(row, 0);
    EXPECT_TRUE(name == CString(u"누리고속도로"));
    // TIME: speeds; SPEED: travel times again.
    Click(&Page(), CTrafficPage::IDC_TIME);
    EXPECT_EQ(List().GetUnit(), 1);
    EXPECT_TRUE(Visible(&Page(), CTrafficPage::IDC_SPEED));
    EXPECT_FALSE(Visible(&Page(), CTrafficPage::IDC_TIME));
    Click(&Page(), CTrafficPage::IDC_SPEED);
    EXPECT_EQ(List().GetUnit(), 0);
    EXPECT_TRUE(Visible(&Page(), CTrafficPage::IDC_TIME));
    // Back up: the roads with the road entered selected.
    Click(&Page(), CTrafficPage::IDC_PREV);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(List().GetFirstSelected(), 0);
    EXPECT_TRUE(Enabled(&Page(), CTrafficPage::IDC_NEXT));
    CloseSheet();
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(TrafficPageTest, MapMoveFromASpeedRowOnly) {
    MakeDevice({{"누리고속도로", 4, true}, {"가람고속도로", 4, true, 300, 0}});
    OpenRoad(0);
    // A place row: nothing selected.
    List().SelectRow(2);
    Click(&Page(), CTrafficPage::IDC_MAPMOVE);
    ASSERT_EQ(Texts(), std::vector<std::string>{"선택된 항목이 없습니다."});
    EXPECT_EQ(CSheetStorage::instance()->IsMapMoveFlag(), 0);
    // The second stretch's speed row: record 1 at (101, 201), 300 m, cell 1234.
    List().SelectRow(3);
    Click(&Page(), CTrafficPage::IDC_MAPMOVE);
    EXPECT_FALSE(SheetOpen()); // the sheet closed
    ASSERT_EQ(CSheetStorage::instance()->IsMapMoveFlag(), 1);
    const sMOVEMAP* move = CSheetStorage::instance()->GetMapMove();
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->x, 101);
    EXPECT_EQ(move->y, 201);
    EXPECT_EQ(move->extent, 300u);
    EXPECT_EQ(move->code, 1234);
    CloseSheet();
    // Reopened: the same tab, level and row.
    CSheetStorage::instance()->SetMapMoveFlag(0);
    OpenSheet();
    EXPECT_EQ(m_sheet->GetActiveIndex(), 1);
    ASSERT_TRUE(List().IsSectionLevel());
    EXPECT_EQ(List().GetLevel(), 2);
    EXPECT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(List().GetFirstSelected(), 1);
    CloseSheet();
    // A section at x 0 is the corner of its cell: refused.
    m_boxes.clear();
    OpenSheet();
    Click(&Page(), CTrafficPage::IDC_PREV);
    List().SelectRow(1);
    Click(&Page(), CTrafficPage::IDC_NEXT);
    List().SelectRow(1);
    Click(&Page(), CTrafficPage::IDC_MAPMOVE);
    EXPECT_EQ(Texts(), std::vector<std::string>{"지도이동을 할수가 없는 구간 입니다."});
    EXPECT_TRUE(SheetOpen());
    EXPECT_EQ(CSheetStorage::instance()->IsMapMoveFlag(), 0);
    CloseSheet();
}

TEST_F(TrafficPageTest, AddsRoadsOfInterestUpToTen) {
    std::vector<RoadSpec> roads;
    for (int i = 0; i < 11; ++i) roads.push_back({"도로" + std::to_string(i), 2, true});
    MakeDevice(roads);
    OpenSheet();
    ShowTab(1);
    Click(&Page(), CTrafficPage::IDC_NEXT);
    ASSERT_EQ(List().GetItemCount(), 11);
    // From the list of roads: the road's sections are stored, the list stays where it was.
    List().SelectRow(3);
    Click(&Page(), CTrafficPage::IDC_ADD_INTEREST);
    ASSERT_EQ(Texts(), std::vector<std::string>{" '도로3' 를 관심 도로로 추가 하였습니다."});
    EXPECT_EQ(List().GetLevel(), 1);
    const std::string file = m_root.Read(kInterestFile);
    ASSERT_EQ(file.size(), 1040u);
    EXPECT_EQ(file[0], 1); // slot 0 used, number 1
    EXPECT_EQ(file.substr(2, 6), Utf8ToCp949("도로3") + std::string(1, '\0'));
    // Level 2 (52-byte state at 52: level first), showing 2 records.
    EXPECT_EQ(static_cast<unsigned char>(file[52]), 2);
    EXPECT_EQ(static_cast<unsigned char>(file[52 + 36 + 8]), 2);
    // The same road again.
    m_boxes.clear();
    Click(&Page(), CTrafficPage::IDC_ADD_INTEREST);
    EXPECT_EQ(Texts(), std::vector<std::string>{" '도로3'는 이미 관심 도로로 추가 되어 있습니다."});
    // Nine more fill the slots; the eleventh is refused naming the limit.
    for (int row : {0, 1, 2, 4, 5, 6, 7, 8, 9}) {
        List().SelectRow(row);
        Click(&Page(), CTrafficPage::IDC_ADD_INTEREST);
    }
    m_boxes.clear();
    List().SelectRow(10);
    Click(&Page(), CTrafficPage::IDC_ADD_INTEREST);
    EXPECT_EQ(Texts(), std::vector<std::string>{"관심 도로 추가는 10개만 가능합니다.삭제후 다시 시도 하여 주십시요"});
    // From a road's sections: the name of the road entered.
    CloseSheet();
    CInterestRoadFile::Write(CInterestRoadFile::PathOf(&m_config).GetString(), EmptySlots().data(),
                             true);
    m_boxes.clear();
    OpenSheet();
    List().SelectRow(7);
    Click(&Page(), CTrafficPage::IDC_NEXT);
    ASSERT_TRUE(List().IsSectionLevel());
    Click(&Page(), CTrafficPage::IDC_ADD_INTEREST);
    EXPECT_EQ(Texts(), std::vector<std::string>{" '도로7' 를 관심 도로로 추가 하였습니다."});
    CloseSheet();
}

TEST_F(TrafficPageTest, AFailedSaveShowsOnlyTheError) {
    MakeDevice({{"누리고속도로", 4, true}});
    // A folder stands where the file would be written.
    std::filesystem::create_directories(m_root.Host(kInterestFile));
    OpenRoad(0);
    Click(&Page(), CTrafficPage::IDC_ADD_INTEREST);
    EXPECT_EQ(Texts(), std::vector<std::string>{"관심도로 파일 저장오류!"});
    // Not kept either: adding again reports the same error, not "already added".
    m_boxes.clear();
    Click(&Page(), CTrafficPage::IDC_ADD_INTEREST);
    EXPECT_EQ(Texts(), std::vector<std::string>{"관심도로 파일 저장오류!"});
    EXPECT_FALSE(Page().GetSlots()[0].IsUsed());
    CloseSheet();
}

TEST_F(TrafficPageTest, PageButtonsScrollByEightyPixels) {
    MakeDevice({{"누리고속도로", 40, true}});
    OpenRoad(0);
    ASSERT_EQ(List().GetItemCount(), 41);
    RECT row;
    ASSERT_TRUE(List().GetItemRect(0, &row, LVIR_BOUNDS));
    const int h = row.bottom - row.top;
    const int step = (80 + h / 2) / h; // whole rows
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_UP));
    EXPECT_TRUE(Enabled(&Page(), CTrafficPage::IDC_DOWN));
    Click(&Page(), CTrafficPage::IDC_DOWN);
    EXPECT_EQ(List().GetTopIndex(), step);
    EXPECT_TRUE(Enabled(&Page(), CTrafficPage::IDC_UP));
    Click(&Page(), CTrafficPage::IDC_UP);
    EXPECT_EQ(List().GetTopIndex(), 0);
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_UP));
    // To the end: DOWN goes off.
    for (int i = 0; i < 41 && Enabled(&Page(), CTrafficPage::IDC_DOWN); ++i) Click(&Page(), CTrafficPage::IDC_DOWN);
    EXPECT_FALSE(Enabled(&Page(), CTrafficPage::IDC_DOWN));
    EXPECT_EQ(List().GetTopIndex() + List().GetCountPerPage(), 41);
    CloseSheet();
}

TEST_F(TrafficPageTest, DoubleTapEntersAboveTheSections) {
    MakeDevice({{"누리고속도로", 4, true}, {"가람고속도로", 4, true}});
    OpenSheet();
    ShowTab(1);
    auto tapRow = [&](int row) {
        RECT list, r;
        List().GetWindowRect(&list);
        ASSERT_TRUE(List().GetItemRect(row, &r, LVIR_BOUNDS));
        Tap(list.left + 40, list.top + (r.top + r.bottom) / 2);
    };
    tapRow(0);
    tapRow(0);
    ASSERT_EQ(List().GetLevel(), 1);
    tapRow(1);
    tapRow(1);
    ASSERT_TRUE(List().IsSectionLevel());
    EXPECT_EQ(List().GetItemCount(), 5);
    int row = -1;
    CString name;
    CSheetStorage::instance()->GetTrafficPrevInfo(row, name);
    EXPECT_TRUE(name == CString(u"가람고속도로"));
    // At the sections a double tap only selects.
    tapRow(3);
    tapRow(3);
    EXPECT_TRUE(List().IsSectionLevel());
    EXPECT_EQ(List().GetFirstSelected(), 3);
    EXPECT_EQ(List().GetSelected(), 3);
    CloseSheet();
}

TEST_F(TrafficPageTest, SpeedsRefreshEveryTenSecondsWhileShown) {
    MakeDevice({{"누리고속도로", 4, true}});
    OpenRoad(0);
    ASSERT_EQ(List().GetRowInfo(1)->speed[0], 255);
    SetSpeed(0, 64);
    WinRunFor(9000);
    EXPECT_EQ(List().GetRowInfo(1)->speed[0], 255);
    WinRunFor(1000);
    EXPECT_EQ(List().GetRowInfo(1)->speed[0], 64);
    EXPECT_EQ(List().GetFirstSelected(), 1); // the selection stays
    // Another tab: no more refreshes on this one.
    ShowTab(6);
    SetSpeed(0, 33);
    WinRunFor(20000);
    EXPECT_EQ(List().GetRowInfo(1)->speed[0], 64);
    // Back: refreshed at once.
    ShowTab(1);
    EXPECT_EQ(List().GetRowInfo(1)->speed[0], 33);
    CloseSheet();
}

TEST_F(TrafficPageTest, ReturnAndEscapeStayOnThePage) {
    MakeDevice({{"누리고속도로", 4, true}});
    OpenSheet();
    ShowTab(1);
    List().SetFocus();
    for (BYTE key : {BYTE(VK_RETURN), BYTE(VK_ESCAPE)}) {
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        Pump();
        EXPECT_TRUE(SheetOpen()) << int(key);
    }
    // On the display tab Escape closes the sheet.
    ShowTab(6);
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    Pump();
    EXPECT_FALSE(SheetOpen());
    CloseSheet();
}

TEST_F(TrafficPageTest, AStateTheNewTablesDoNotHoldStartsAtTheTop) {
    MakeDevice({{"누리고속도로", 40, true}, {"가람고속도로", 4, true}});
    OpenRoad(0);
    CloseSheet();
    // Smaller tables: the stored section run lies past their end.
    MakeDevice({{"가람고속도로", 4, true}});
    OpenSheet();
    EXPECT_EQ(m_sheet->GetActiveIndex(), 1);
    EXPECT_EQ(List().GetLevel(), 0);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(List().GetFirstSelected(), 0);
    EXPECT_EQ(Page().GetHighWayFlag(), 0);
    CloseSheet();
}
