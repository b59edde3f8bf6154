#include "traffic/pages/NewsRowBreaker.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/pages/ShortTextPage.h"
#include "traffic/receiver/tests/ContentFixture.h"

#include "platform/gdi/GdiInternal.h"
#include "platform/window/PropertySheet.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Width of a character in the built-in font at the lists' height: one 6-pixel cell, two for
// Hangul.
int CellWidth(char16_t c) { return c >= 0x1100 ? 12 : 6; }

// The rows the news page should make, worked out here from the font's cell widths: each row is
// the prefix and as many characters as fit, where a row of n characters fits while its width
// plus the 6-pixel average width stays within the limit, a row may take one character beyond
// that (documents: only while that stays within limit + 10), and a row never needs fewer than
// 15 characters.
std::vector<std::u16string> ExpectedRows(const std::u16string& text, const std::u16string& first,
                                         const std::u16string& next, int limit, bool document) {
    std::vector<std::u16string> rows;
    std::size_t p = 0;
    bool isFirst = true;
    do {
        const std::u16string shown = (isFirst ? first : next) + text.substr(p);
        std::size_t n = 0;
        if (shown.size() < 15) {
            n = shown.size();
        } else {
            int width = 0;
            n = shown.size();
            for (std::size_t k = 0; k < shown.size(); ++k) {
                width += CellWidth(shown[k]);
                if (k + 1 >= 15 && width + 6 > limit) {
                    n = document && width + 6 > limit + 10 ? k : k + 1;
                    break;
                }
            }
        }
        const std::size_t lead = (isFirst ? first : next).size();
        const std::size_t take = std::min(n - lead, text.size() - p);
        rows.push_back(shown.substr(0, lead + take));
        p += take;
        isFirst = false;
    } while (p < text.size());
    return rows;
}

std::string Cp16(const std::u16string& s) { return Utf16ToCp949(s); }
std::u16string Num(int n) { return Utf8ToUtf16(std::to_string(n)); }

} // namespace

class NewsPageTest : public ContentFixture {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        CShortText::instance()->openFile(Folder());
        CMarkup::instance()->openFile(Folder());
    }
    void TearDown() override {
        if (m_sheet.m_hWnd) m_sheet.DestroyWindow();
        WinResetForTests();
        CSheetStorage::destruct();
        GdiUseBuiltinFont(false);
    }
    void Open() {
        m_sheet.AddPage(&m_page);
        ASSERT_TRUE(m_sheet.Create());
        WinDispatchPending();
        ASSERT_NE(m_page.GetList(0), nullptr);
    }
    void Tick() { WinRunFor(CShortTextPage::kTimerMs); }

    static void PushText(const std::u16string& text, int kind, int unread = 1) {
        CShortText::instance()->Queue().Push(Cp16(text).c_str(), static_cast<std::uint8_t>(unread),
                                             0x0A030905u, static_cast<std::uint32_t>(kind));
    }
    // A title of a document; the store gives it with its sentence number, which names the
    // document's content.
    static void PushTitle(std::uint16_t number, const std::u16string& title, int document = -1) {
        MarkupEntry e;
        e.document = static_cast<std::uint16_t>(document < 0 ? number : document);
        e.number = number;
        e.kind = 2;
        e.unread = 1;
        e.time = 0x0A030905u;
        const std::string t = Cp16(title);
        std::memcpy(e.text, t.data(), t.size());
        CMarkup::instance()->Queue(CMarkup::kHeads).Push(e);
    }
    static void PushBody(std::uint16_t document, const std::u16string& body) {
        MarkupEntry e;
        e.document = document;
        e.number = document;
        e.kind = 3;
        e.unread = 1;
        const std::string t = Cp16(body);
        std::memcpy(e.text, t.data(), t.size());
        CMarkup::instance()->Queue(CMarkup::kBodies).Push(e);
    }
    static std::vector<std::u16string> Texts(NewsList* list) {
        std::vector<std::u16string> rows;
        for (int i = 0; i < list->GetItemCount(); ++i) rows.emplace_back(list->GetItemText(i, 0).GetString());
        return rows;
    }
    void Click(UINT id) {
        m_page.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        WinDispatchPending();
    }
    bool Enabled(UINT id) { return m_page.GetDlgItem(static_cast<int>(id))->IsWindowEnabled() != FALSE; }
    // Taps a list at a point of its client area.
    void TapList(NewsList* list, int x, int downY, int upY) {
        POINT down{x, downY};
        POINT up{x, upY};
        list->ClientToScreen(&down);
        list->ClientToScreen(&up);
        WinInjectPen(WM_LBUTTONDOWN, down.x, down.y);
        WinDispatchPending();
        WinInjectPen(WM_LBUTTONUP, up.x, up.y);
        WinDispatchPending();
    }

    CPropertySheet m_sheet{u"ZARN정보"};
    CShortTextPage m_page;
};

TEST_F(NewsPageTest, ShortTextsAreBrokenToTheListWidth) {
    Open();
    struct Case {
        const char* name;
        std::u16string text;
    } cases[] = {
        {"ten characters", u"0123456789"},
        {"fourteen", u"ABCDEFGHIJKLMN"},
        {"long latin", std::u16string(80, u'a') + u"END"},
        {"hangul and latin", u"가람시 교통정보: 누리고속도로 가람IC 부근 사고로 정체, 우회하시기 바랍니다. 나래터널 공사중"},
    };
    for (const Case& c : cases) {
        m_page.MakeSTSRows(Cp16(c.text).c_str());
        EXPECT_EQ(m_page.Rows(), ExpectedRows(c.text, u"", std::u16string(10, u' '), 200, false)) << c.name;
        const_cast<std::vector<std::u16string>&>(m_page.Rows()).clear();
    }
    // The cases' rows by hand: ten characters stay one row of ten; 83 latin letters are 33
    // (33 x 6 + 6 = 204 > 200), then twice ten spaces and 23, then ten spaces and the last
    // four (fewer than 15 left: the search answers 15).
    m_page.MakeSTSRows("0123456789");
    EXPECT_EQ(m_page.Rows(), std::vector<std::u16string>{u"0123456789"});
    const_cast<std::vector<std::u16string>&>(m_page.Rows()).clear();
    m_page.MakeSTSRows(Cp16(std::u16string(80, u'a') + u"END").c_str());
    const std::u16string indent(10, u' ');
    EXPECT_EQ(m_page.Rows(), (std::vector<std::u16string>{std::u16string(33, u'a'), indent + std::u16string(23, u'a'),
                                                          indent + std::u16string(23, u'a'), indent + u"aEND"}));
}

TEST_F(NewsPageTest, DocumentContentRowsStartWithTwoSpacesAndLinesEndAtCarriageReturns) {
    Open();
    const std::u16string first = std::u16string(40, u'x');
    const std::u16string second = u"둘째 줄";
    m_page.MakeMarkupRows(Cp16(first + u"\r" + second + u"\r").c_str(), true);
    // 31 characters with their two spaces: 31 x 6 + 6 = 192 passes 190 but not 200.
    EXPECT_EQ(m_page.Rows(), (std::vector<std::u16string>{u"  " + std::u16string(29, u'x'),
                                                          u"  " + std::u16string(11, u'x'), u"  둘째 줄"}));
    const_cast<std::vector<std::u16string>&>(m_page.Rows()).clear();
    const std::u16string hangul = u"가람시의 오늘 소식입니다. 누리고속도로 확장 공사가 다음 달에 끝납니다.";
    m_page.MakeMarkupRows(Cp16(hangul).c_str(), true);
    EXPECT_EQ(m_page.Rows(), ExpectedRows(hangul, u"  ", u"  ", 190, true));
    const_cast<std::vector<std::u16string>&>(m_page.Rows()).clear();
    // A title stays one text: its carriage return does not start a row of its own.
    m_page.MakeMarkupRows(Cp16(u"제목\r이어짐").c_str(), false);
    EXPECT_EQ(m_page.Rows(), std::vector<std::u16string>{u"제목 이어짐"});
}

TEST(NewsRowBreakerTest, RowsHoldAtMost99CharactersHoweverNarrowTheFont) {
    // One pixel a character: the search would run past the 100-character row.
    NewsRowBreaker breaker([](const char16_t*, int count) { return count; }, 1);
    std::vector<std::u16string> rows;
    breaker.MakeIndentedRows(std::u16string(250, u'k'), false, rows);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], std::u16string(99, u'k'));
    EXPECT_EQ(rows[1], std::u16string(10, u' ') + std::u16string(89, u'k'));
    EXPECT_EQ(rows[2], std::u16string(10, u' ') + std::u16string(62, u'k'));
    rows.clear();
    breaker.MakeContentRows(std::u16string(120, u'c'), rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], u"  " + std::u16string(97, u'c'));
    EXPECT_EQ(rows[1], u"  " + std::u16string(23, u'c'));
}

TEST_F(NewsPageTest, KindsGoToTheirListsAndNoticesNeedKindTwo) {
    PushText(u"단문 하나", 1);
    PushText(u"사고 소식", 3);
    PushText(u"공지 소식", 4);
    Open();
    EXPECT_EQ(m_page.GetView(), 0);
    EXPECT_EQ(Texts(m_page.GetList(0)).size(), 1u);
    EXPECT_NE(Texts(m_page.GetList(0))[0].find(u"단문 하나"), std::u16string::npos);
    EXPECT_TRUE(Texts(m_page.GetList(1)).empty()); // kinds 3 and 4 go to no list
    EXPECT_TRUE(Enabled(CShortTextPage::IDC_BUTTON_NEWS));
    EXPECT_FALSE(Enabled(CShortTextPage::IDC_BUTTON_GONGJI));
    EXPECT_FALSE(Enabled(CShortTextPage::IDC_BUTTON_DETAIL));

    PushText(u"긴급 알림", 2);
    Tick();
    EXPECT_TRUE(Enabled(CShortTextPage::IDC_BUTTON_GONGJI));
    Click(CShortTextPage::IDC_BUTTON_GONGJI);
    EXPECT_EQ(m_page.GetView(), 1);
    EXPECT_TRUE(m_page.GetList(1)->IsWindowVisible());
    EXPECT_FALSE(m_page.GetList(0)->IsWindowVisible());
    const auto notices = Texts(m_page.GetList(1));
    ASSERT_EQ(notices.size(), 1u);
    // The store's time ("09:05 " or "10/03 ") comes first, then the urgent mark.
    ASSERT_GE(notices[0].size(), 6u);
    EXPECT_EQ(notices[0].substr(6), u"[긴급] 긴급 알림");
    EXPECT_EQ(m_page.GetContentList(1)->GetRow(0)->kind, 2);
    EXPECT_EQ(Texts(m_page.GetList(0)).size(), 1u); // the short news are not repeated
}

TEST_F(NewsPageTest, NewRowsAreRedUntilTheCountIsReset) {
    PushText(u"old news", 1, 0);
    Open();
    EXPECT_EQ(m_page.GetList(0)->GetNewCount(), 0); // read texts are not new
    PushText(u"fresh news", 1);
    Tick();
    NewsList* list = m_page.GetList(0);
    ASSERT_EQ(Texts(list).size(), 2u);
    EXPECT_NE(Texts(list)[0].find(u"fresh news"), std::u16string::npos);
    EXPECT_EQ(list->GetNewCount(), 1);

    auto redInRow = [&](int index) {
        list->UpdateWindow();
        WinComposeScreen();
        RECT r{};
        list->GetItemRect(index, &r, LVIR_BOUNDS);
        list->ClientToScreen(&r);
        gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
        int red = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (screen->GetColor(x, y) == RGB(255, 0, 0)) ++red;
        return red;
    };
    EXPECT_GT(redInRow(0), 0);
    EXPECT_EQ(redInRow(1), 0);
    Click(CShortTextPage::IDC_BUTTON_NEWS); // resets the count of the list on view
    EXPECT_EQ(list->GetNewCount(), 0);
    list->Invalidate();
    EXPECT_EQ(redInRow(0), 0);
}

TEST_F(NewsPageTest, TitlesOpenTheirDocumentOnlyWhenItsContentIsHeld) {
    PushTitle(7, u"보관된 기사 " + std::u16string(30, u'x'), 70); // two rows
    PushTitle(8, u"내용 없는 기사", 80);
    PushBody(70, u"다른 문서");
    PushBody(7, u"첫 줄\r둘째 줄");
    Open();
    Click(CShortTextPage::IDC_BUTTON_DETAIL);
    ASSERT_EQ(m_page.GetView(), 2);
    NewsTitleList* titles = m_page.GetTitleList(2);
    ASSERT_EQ(titles->GetItemCount(), 3);
    // Newest first: document 8 (no content, not underlined), then 7's two rows.
    EXPECT_EQ(titles->GetRow(0)->key, 8);
    EXPECT_EQ(titles->GetRow(0)->flag, 0);
    EXPECT_EQ(titles->GetRow(1)->key, 7);
    EXPECT_EQ(titles->GetRow(1)->flag, 1);
    EXPECT_EQ(titles->GetRow(2)->key, 7);

    RECT r{};
    titles->GetItemRect(0, &r, LVIR_BOUNDS);
    TapList(titles, 40, (r.top + r.bottom) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(m_page.GetView(), 2);
    EXPECT_TRUE(titles->IsWindowVisible());

    titles->GetItemRect(1, &r, LVIR_BOUNDS);
    TapList(titles, 40, (r.top + r.bottom) / 2, (r.top + r.bottom) / 2 + 3);
    EXPECT_EQ(m_page.GetView(), 3);
    EXPECT_EQ(m_page.GetSelectedKey(), 7);
    // The tapped row is selected with the other visible row of its document.
    EXPECT_EQ(titles->GetItemState(0, LVIS_SELECTED), 0u);
    EXPECT_EQ(titles->GetItemState(1, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(titles->GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_TRUE(m_page.GetList(3)->IsWindowVisible());
    EXPECT_TRUE(m_page.GetDlgItem(CShortTextPage::IDC_BUTTON_BEFORE)->IsWindowVisible());
    EXPECT_FALSE(m_page.GetDlgItem(CShortTextPage::IDC_BUTTON_DETAIL)->IsWindowVisible());
    EXPECT_EQ(Texts(m_page.GetList(3)), (std::vector<std::u16string>{u"  첫 줄", u"  둘째 줄"}));

    Click(CShortTextPage::IDC_BUTTON_BEFORE);
    EXPECT_EQ(m_page.GetView(), 2);
    EXPECT_TRUE(titles->IsWindowVisible());
}

TEST_F(NewsPageTest, TitleListKeeps200RowsDroppingTheOldestFromTheBottom) {
    // Each title breaks into two rows: 100 titles fill the list.
    const std::u16string tail(40, u'n');
    for (int i = 0; i < 100; ++i) PushTitle(static_cast<std::uint16_t>(i), u"T" + Num(i) + tail);
    Open();
    Click(CShortTextPage::IDC_BUTTON_DETAIL);
    NewsTitleList* titles = m_page.GetTitleList(2);
    ASSERT_EQ(titles->GetItemCount(), 200);
    EXPECT_EQ(titles->GetRow(199)->key, 0);
    EXPECT_EQ(titles->GetRow(0)->key, 99);
    for (int i = 100; i < 103; ++i) PushTitle(static_cast<std::uint16_t>(i), u"N" + Num(i));
    Tick();
    ASSERT_EQ(titles->GetItemCount(), 200);
    EXPECT_EQ(titles->GetRow(0)->key, 102);
    EXPECT_EQ(titles->GetRow(2)->key, 100);
    // Three rows went from the bottom: title 0's two rows and the second row of title 1.
    EXPECT_EQ(titles->GetRow(199)->key, 1);
    EXPECT_EQ(Texts(titles)[199].substr(6, 3), u"T1n"); // after the store's time
}

TEST_F(NewsPageTest, StoreResetsEmptyTheAffectedListsAtTheNextTick) {
    PushText(u"단문", 1);
    PushText(u"긴급", 2);
    PushTitle(3, u"기사");
    Open();
    Click(CShortTextPage::IDC_BUTTON_DETAIL);
    Click(CShortTextPage::IDC_BUTTON_NEWS);
    ASSERT_EQ(m_page.GetList(0)->GetItemCount(), 1);
    ASSERT_EQ(m_page.GetList(1)->GetItemCount(), 1);
    ASSERT_EQ(m_page.GetList(2)->GetItemCount(), 1);
    CMarkup::instance()->externalReset();
    Tick();
    EXPECT_EQ(m_page.GetList(2)->GetItemCount(), 0);
    EXPECT_EQ(m_page.GetList(0)->GetItemCount(), 1);
    CShortText::instance()->externalReset();
    Tick();
    EXPECT_EQ(m_page.GetList(0)->GetItemCount(), 0);
    EXPECT_EQ(m_page.GetList(1)->GetItemCount(), 0);
}

TEST_F(NewsPageTest, DragsScrollFourteenRowsAndTheViewIsKeptAcrossOpenings) {
    for (int i = 0; i < 40; ++i) PushText(u"news " + Num(i), 1);
    Open();
    NewsList* list = m_page.GetList(0);
    ASSERT_EQ(list->GetItemCount(), 40);
    EXPECT_EQ(list->GetTopIndex(), 0);
    TapList(list, 50, 150, 80); // up by 70: towards earlier rows, already at the top
    EXPECT_EQ(list->GetTopIndex(), 0);
    TapList(list, 50, 60, 111); // down by 51
    EXPECT_EQ(list->GetTopIndex(), 14);
    TapList(list, 50, 60, 110); // down by 50 is a tap: above y 121, towards earlier rows
    EXPECT_EQ(list->GetTopIndex(), 0);
    TapList(list, 50, 150, 150); // a tap below y 121: later rows
    EXPECT_EQ(list->GetTopIndex(), 14);

    Click(CShortTextPage::IDC_BUTTON_GONGJI);
    m_page.Exit();
    int view = -1;
    std::uint16_t key = 0;
    std::uint8_t subKey = 0;
    CSheetStorage::instance()->RestoreNewsPage(view, key, subKey);
    EXPECT_EQ(view, 1);
}
