// The section list: its texts, colours and icons, pen taps and drags, and speed refreshes, on
// hand-written road tables with speeds set through real traffic packets.
#include "traffic/pages/TrafficSectionList.h"
#include "traffic/pages/tests/PagesFixture.h"

#include <cstring>
#include <map>

using namespace pagestest;

namespace {

constexpr UINT kHostTemplate = 4390;
constexpr UINT kListId = 105;

// A page-sized dialog holding the list where the pages put it.
class ListHost : public CDialog {
public:
    ListHost() : CDialog(kHostTemplate) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_list.Create(RECT{10, 6, 198, 210}, this, kListId);
        m_list.InsertColumn(0, u"구간", LVCFMT_LEFT, 180);
        m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        m_list.SetBkColor(RGB(255, 255, 255));
        return TRUE;
    }
    TrafficSectionList m_list;
};

void RegisterHost() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_POPUP | WS_VISIBLE;
    t.title = u"목록";
    AfxRegisterDialogTemplate(kHostTemplate, t);
}

// Counts the pixels of each colour inside a rectangle of a DC.
std::map<COLORREF, int> Colours(HDC dc, const RECT& r) {
    std::map<COLORREF, int> out;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) ++out[GetPixel(dc, x, y)];
    return out;
}

TrafficSectionInfo Section(int speed1, int speed2, bool highway, std::uint32_t length = 300) {
    TrafficSectionInfo info{};
    std::strcpy(info.startName, "A");
    info.length = length;
    info.speed[0] = static_cast<unsigned char>(speed1);
    info.speed[1] = static_cast<unsigned char>(speed2);
    info.direction = 1;
    info.highway = highway ? 1 : 0;
    return info;
}

} // namespace

TEST(TrafficSpeedText, SpeedsAndTravelTimes) {
    struct Case {
        int speed, unit;
        unsigned long length;
        const char16_t* text;
    } cases[] = {
        {5, 0, 300, u"정체구간"},    // below 6 km/h
        {6, 0, 300, u" 3분 0초"},    // 1080 / 6 = 180 s
        {30, 0, 300, u" 0분36초"},   // 1080 / 30 = 36 s
        {50, 0, 0, u"정체구간"},     // no length
        {255, 0, 300, u"미수신"},
        {254, 1, 300, u"정보없음"},
        {30, 1, 300, u" 30km"},
        {100, 0, 5000, u" 3분 0초"}, // 18000 / 100 = 180 s
        {1, 0, 700000, u"정체구간"},
        {7, 0, 70000, u"600분 0초"}, // 252000 / 7 = 36000 s: the minutes overflow their two places
    };
    for (const Case& c : cases)
        EXPECT_TRUE(TrafficSpeedText(c.speed, c.unit, c.length) == CString(c.text))
            << c.speed << " km/h on " << c.length << " m: " << TrafficSpeedText(c.speed, c.unit, c.length).ToUtf8();
}

class TrafficSectionListTest : public PagesFixture {
protected:
    void SetUp() override {
        RegisterHost();
        ASSERT_TRUE(m_host.Create(kHostTemplate, nullptr));
        Pump();
    }
    TrafficSectionList& List() { return m_host.m_list; }
    // Opens the tables and walks to the sections of the first road.
    void OpenSections() {
        ASSERT_EQ(List().OpenDatabase(), 1);
        ASSERT_EQ(List().EnterRecord(0), 1);
        ASSERT_EQ(List().EnterRecord(0), 1);
        ASSERT_TRUE(List().IsSectionLevel());
        List().Fill();
        Pump();
    }
    // Draws row of the list into a canvas the row's size and returns the canvas DC's colours in r.
    struct Drawn {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ old = nullptr;
        ~Drawn() {
            SelectObject(dc, old);
            DeleteObject(bitmap);
            DeleteDC(dc);
        }
    };
    void DrawRow(Drawn& d, const TrafficSectionInfo& info, int row, bool selected, RECT& rc) {
        rc = RECT{0, 0, 188, 30};
        d.dc = CreateCompatibleDC(nullptr);
        d.bitmap = CreateCompatibleBitmap(d.dc, rc.right, rc.bottom);
        d.old = SelectObject(d.dc, d.bitmap);
        DRAWITEMSTRUCT di;
        di.CtlType = ODT_LISTVIEW;
        di.itemID = static_cast<UINT>(row);
        di.itemState = selected ? ODS_SELECTED : 0;
        di.hDC = d.dc;
        di.rcItem = rc;
        di.itemData = reinterpret_cast<std::uintptr_t>(&info);
        List().DrawItem(&di);
    }

    ListHost m_host;
};

TEST_F(TrafficSectionListTest, SectionRowsPairBothDirectionsAndOwnCopies) {
    MakeDevice({{"누리고속도로", 4, true}});
    SetSpeed(0, 80); // record 0, first direction of the first stretch
    SetSpeed(3, 15); // record 3, its mirror
    OpenSections();
    // Four records: stretch 0 (rows 0, 1), stretch 1 (rows 2, 3), then the last place.
    ASSERT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(List().GetMode(), 1);
    const TrafficSectionInfo* speedRow = List().GetRowInfo(1);
    ASSERT_NE(speedRow, nullptr);
    EXPECT_EQ(speedRow->speed[0], 80);
    EXPECT_EQ(speedRow->speed[1], 15);
    EXPECT_EQ(List().GetRowInfo(3)->speed[0], 255); // nothing received for records 1 and 2
    EXPECT_EQ(List().GetRowInfo(3)->speed[1], 255);
    EXPECT_STREQ(List().GetRowInfo(0)->startName, Utf8ToCp949("누리 지점0").c_str());
    EXPECT_STREQ(List().GetRowInfo(2)->startName, Utf8ToCp949("누리 지점1").c_str());
    EXPECT_STREQ(List().GetRowInfo(4)->startName, Utf8ToCp949("누리 지점2").c_str());
    // Each row holds its own record.
    EXPECT_NE(List().GetRowInfo(0), List().GetRowInfo(1));
    // Going up shows the names of the roads, one row each.
    ASSERT_EQ(List().LevelUp(), 1);
    List().Fill();
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(List().GetMode(), 0);
    EXPECT_TRUE(List().GetItemText(0, 0) == CString(u"누리고속도로"));
    // Deleting rows one at a time and all at once frees their records (the leak checker
    // watches); so does destroying the list with rows in it.
    EXPECT_TRUE(List().DeleteItem(0));
    ASSERT_EQ(List().EnterRecord(0), 1);
    List().Fill();
    EXPECT_EQ(List().GetItemCount(), 5);
}

TEST_F(TrafficSectionListTest, SpeedRowColoursAndIcons) {
    MakeDevice({{"누리고속도로", 4, false}});
    OpenSections();
    const int half = 188 / 2;
    const RECT leftText{0, 0, half - 22, 30}, rightText{half + 22, 0, 188, 30};
    const RECT leftIcon{half - 22, 7, half - 6, 23}, rightIcon{half + 6, 7, half + 22, 23};
    struct Case {
        int speed;
        bool highway;
        COLORREF text;   // the text colour of this speed
        COLORREF icon;   // the main colour of its chevrons
    } cases[] = {
        {22, false, 0x61C2EC, 0x00B93D},  // 지체 text beside the 서행 icon
        {44, false, 0x00B93D, 0xDC0000},  // 서행 text beside the 원활 icon
        {45, false, 0xDC0000, 0xDC0000},  // 원활 both
        {19, false, 0x61C2EC, 0x0092DC},  // 지체 both
        {9, false, 0x0000DC, 0x0000DC},   // 정체 both
        {44, true, 0x00B93D, 0x00B93D},   // highway: 서행 both
        {69, true, 0x00B93D, 0x00B93D},
        {70, true, 0xDC0000, 0xDC0000},
        {19, true, 0x0000DC, 0x0000DC},   // highway 정체 below 20
        {255, false, 0x000000, 0xC2C2C2}, // 미수신: black text, grey chevrons
        {254, true, 0x000000, 0xC2C2C2},
    };
    for (const Case& c : cases) {
        const TrafficSectionInfo info = Section(c.speed, c.speed, c.highway);
        Drawn d;
        RECT rc;
        DrawRow(d, info, 1, false, rc);
        auto text = Colours(d.dc, leftText);
        EXPECT_GT(text[c.text], 0) << c.speed << (c.highway ? " highway" : "") << ": left text";
        EXPECT_EQ(text[0xF6F6F6] + text[c.text], (leftText.right - leftText.left) * 30)
            << c.speed << ": only the row colour and the text colour left of the icon";
        EXPECT_GT(Colours(d.dc, rightText)[c.text], 0) << c.speed << ": right text";
        EXPECT_GT(Colours(d.dc, leftIcon)[c.icon], 20) << c.speed << ": left chevron";
        EXPECT_GT(Colours(d.dc, rightIcon)[c.icon], 20) << c.speed << ": right chevron";
    }
    // A selected speed row: its own fill and a frame.
    Drawn d;
    RECT rc;
    DrawRow(d, Section(50, 50, false), 1, true, rc);
    EXPECT_EQ(GetPixel(d.dc, 0, 0), 0x7800A0u);
    EXPECT_EQ(GetPixel(d.dc, 187, 29), 0xB500A0u);
    EXPECT_EQ(GetPixel(d.dc, 3, 3), 0xDDF0B1u);
    // A place row: its fill, the start place in black.
    Drawn p;
    DrawRow(p, Section(50, 50, false), 0, false, rc);
    auto place = Colours(p.dc, rc);
    EXPECT_EQ(place[0xF0ECD0] + place[0x000000], 188 * 30);
    EXPECT_GT(place[0x000000], 0);
}

TEST_F(TrafficSectionListTest, DragsScrollAndTapsSelect) {
    MakeDevice({{"누리고속도로", 40, true}});
    OpenSections();
    ASSERT_EQ(List().GetItemCount(), 41);
    RECT row0;
    ASSERT_TRUE(List().GetItemRect(0, &row0, LVIR_BOUNDS));
    const int h = row0.bottom - row0.top;
    ASSERT_LT(List().GetCountPerPage(), 41);
    const int rowsPer80 = (80 + h / 2) / h; // the list view scrolls whole rows
    ASSERT_GT(rowsPer80, 0);
    // The list's client area starts at (10, 6) on the screen.
    const int x = 10 + 60, y = 6 + row0.top + 2;
    // 51 pixels down: a drag, scrolled by +80 pixels, nothing selected.
    Pen(WM_LBUTTONDOWN, x, y);
    Pen(WM_LBUTTONUP, x, y + 51);
    EXPECT_EQ(List().GetTopIndex(), rowsPer80);
    EXPECT_EQ(List().GetSelectedCount(), 0u);
    // 51 pixels up: back by 80.
    Pen(WM_LBUTTONDOWN, x, y + 60);
    Pen(WM_LBUTTONUP, x, y + 9);
    EXPECT_EQ(List().GetTopIndex(), 0);
    EXPECT_EQ(List().GetSelectedCount(), 0u);
    // 50 pixels: a tap on the row under the pen where it was lifted.
    Pen(WM_LBUTTONDOWN, x, y);
    Pen(WM_LBUTTONUP, x, y + 50);
    const int expected = (row0.top + 2 + 50 - row0.top) / h;
    EXPECT_EQ(List().GetSelectedCount(), 1u);
    EXPECT_EQ(List().GetFirstSelected(), expected);
    EXPECT_EQ(List().GetSelected(), expected); // stored as the level's selected row
    // A pen down alone selects nothing new.
    Pen(WM_LBUTTONDOWN, x, y);
    EXPECT_EQ(List().GetFirstSelected(), expected);
    Pen(WM_LBUTTONUP, x, y);
    EXPECT_EQ(List().GetFirstSelected(), 0);
}

TEST_F(TrafficSectionListTest, RefreshRedrawsOnlyChangedRows) {
    MakeDevice({{"누리고속도로", 8, true}});
    SetSpeed(0, 80);
    OpenSections();
    ASSERT_EQ(List().GetItemCount(), 9);
    List().UpdateWindow();
    RECT dirty;
    ASSERT_FALSE(GetUpdateRect(List().m_hWnd, &dirty, FALSE));
    // Nothing changed: nothing to redraw.
    List().RefreshSpeeds(0);
    EXPECT_FALSE(GetUpdateRect(List().m_hWnd, &dirty, FALSE));
    // The mirror of stretch 2 (record 5) slows down: only speed row 5 is redrawn.
    SetSpeed(5, 12);
    List().RefreshSpeeds(0);
    RECT row5;
    ASSERT_TRUE(List().GetItemRect(5, &row5, LVIR_BOUNDS));
    ASSERT_TRUE(GetUpdateRect(List().m_hWnd, &dirty, FALSE));
    EXPECT_EQ(dirty.top, row5.top);
    EXPECT_EQ(dirty.bottom, row5.bottom);
    EXPECT_EQ(List().GetRowInfo(5)->speed[1], 12);
    EXPECT_EQ(List().GetRowInfo(5)->speed[0], 255);
    List().UpdateWindow();
    // Forced: every speed row, 1 to 7.
    List().RefreshSpeeds(1);
    RECT row1, row7;
    List().GetItemRect(1, &row1, LVIR_BOUNDS);
    List().GetItemRect(7, &row7, LVIR_BOUNDS);
    ASSERT_TRUE(GetUpdateRect(List().m_hWnd, &dirty, FALSE));
    EXPECT_EQ(dirty.top, row1.top);
    EXPECT_EQ(dirty.bottom, row7.bottom);
}
