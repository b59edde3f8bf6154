// The point-of-interest detail screen run through the facade under the headless host: the
// buttons at their places on "POIInfo" (bottom row y 256-283: "<< 이전" x 13-81, "위치보기"
// 86-154, "바로탐색" 159-227; "이전" 154-195 and "현위치" 197-238 at the top), the notice
// before a direct route without destination, and the lines the screen shows.
#include "commondlg/NaviMessageBox.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/host/HeadlessHost.h"
#include "search/CSearchManager.h"
#include "search/tests/SearchBytes.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "search/ui/CDlgPOI.h"
#include "skinui/NaviRcBuilder.h"
#include "tools/mkdevice/SkinStage.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace {

// 0 전화번호, 1 주소, 2 영업시간, 3 소개.
std::string PoiDb() {
    return PoiFixture({
        PoiRecord(K("가람시청"), "1|" + K("한울남도 가람시 시청동 1") + "|0|" + K("031-123-4567") + "|2|" +
                                    K("09:00-18:00")),
        PoiRecord(K("누리역"), "1|" + K("누리광역시 중앙구 역전동")),
        PoiRecord(K("다솜공원"), "0|" + K("031-000-1111") + "|1|" + K("한울남도 가람시 공원동")),
        PoiRecord(K("긴설명"), "3|" + K("가나다라마바사아자차카타파하가나다라마바사아자차카타파하")),
    });
}

class PoiDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("SearchDB/POI.db", PoiDb());
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
        manager.InitPath(u"");
        manager.SetResourceBuilder(&builder);
        manager.SetUIType(CSearchManager::kBasicUiType);
    }
    void TearDown() override { box.Destruct(); }
    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
    CSearchManager manager;
};

TEST_F(PoiDialogTest, EachButtonEndsTheSearchWithItsCode) {
    struct Case {
        const char* what;
        std::string script;
        std::uint8_t pointType;
        std::uint8_t routeBefore;
        bool directRoute;
        int code;
        std::uint8_t pointAfter;
        std::uint8_t routeAfter;
        std::string notices;
    };
    const std::string notice21 = "목적지를 먼저 설정하신 후 바로탐색을 실행하십시오.\t3001\t4001\n";
    const Case cases[] = {
        // A route-directly byte left from an earlier route is cleared by a plain "위치보기".
        {"show", "tap 120 269\n", 2, 1, false, 1, 2, 0, ""},
        {"route to a destination", "tap 190 269\n", 2, 0, false, 1, 2, 1, ""},
        {"route allowed by a set destination", "tap 190 269\n", 1, 0, true, 1, 1, 1, ""},
        // A waypoint without a destination: refused with the notice, the dialog stays.
        {"route refused", "answer ok\ntap 190 269\ntap 40 269\n", 3, 0, false, 2, 3, 0, notice21},
        {"back", "tap 40 269\n", 2, 0, false, 2, 2, 0, ""},
        {"current position", "tap 215 18\n", 2, 0, false, 3, 2, 0, ""},
        {"previous screen", "tap 175 18\n", 2, 0, false, 2, 2, 0, ""},
        // Point type 0 becomes the destination on the basic screen.
        {"no point type", "tap 120 269\n", 0, 0, false, 1, 2, 0, ""},
    };
    for (const Case& c : cases) {
        _POI_RESULT_AUTO record;
        record.poiIndex = 1;
        record.pointType = c.pointType;
        record.routeDirectly = c.routeBefore;
        manager.SetDirectRoute(c.directRoute);
        const HostedRun run = RunHosted(root, c.script + "wait 100\n", [&] { return manager.StartSearch(record); });
        ASSERT_FALSE(run.failed) << c.what << ": " << run.failure;
        EXPECT_EQ(run.code, c.code) << c.what;
        EXPECT_EQ(record.pointType, c.pointAfter) << c.what;
        EXPECT_EQ(record.routeDirectly, c.routeAfter) << c.what;
        std::string boxes;
        std::istringstream lines(run.msgboxLog);
        for (std::string line; std::getline(lines, line);) {
            const std::size_t second = line.find('\t', line.find('\t') + 1);
            boxes += line.substr(second + 1) + "\n";
        }
        EXPECT_EQ(boxes, c.notices) << c.what;
        EXPECT_EQ(manager.GetSearchType(), -1) << c.what;
    }
}

TEST_F(PoiDialogTest, NoUsableRecordGivesTheCurrentPositionCodeWithoutAWindow) {
    for (int index : {0, -4, 99}) {
        _POI_RESULT_AUTO record;
        record.poiIndex = index;
        record.routeDirectly = 1;
        EXPECT_EQ(manager.StartSearch(record), 3) << index;
        EXPECT_EQ(record.routeDirectly, 1) << index;
    }
    manager.InitPath(u"\\Nowhere");
    _POI_RESULT_AUTO record;
    record.poiIndex = 1;
    EXPECT_EQ(manager.StartSearch(record), 3);
    EXPECT_TRUE(CSearchManager::PoiScreenName(2004) == u"POIInfo");
    for (int type : {-1, 0, 2005, 2003}) EXPECT_TRUE(CSearchManager::PoiScreenName(type) == u"POIInfoAdv") << type;
}

TEST_F(PoiDialogTest, LinesShownForTheRecordsDetails) {
    struct Case {
        int index;
        const char16_t* name;
        const char16_t* telephone;
        const char16_t* address;
        const char16_t* detail;
    };
    const Case cases[] = {
        // Address shortened; the other item becomes a detail line.
        {1, u"가람시청", u"031-123-4567", u"한남 가람시 시청동 1", u"※ 영업시간 : 09:00-18:00\r\n"},
        // An address without a telephone number moves to the telephone line (unshortened there).
        {2, u"누리역", u"누리광역시 중앙구 역전동", u"", u"기타 상세 정보 없음"},
        {3, u"다솜공원", u"031-000-1111", u"한남 가람시 공원동", u"기타 상세 정보 없음"},
    };
    for (const Case& c : cases) {
        CDlgPOI dlg;
        dlg.SetPanelName(u"POIInfo");
        dlg.SetRcBuilder(&builder);
        dlg.SetPOIIndex(c.index);
        ASSERT_TRUE(dlg.OpenOn(u"\\SearchDB\\POI.db"));
        const HostedRun run = RunHosted(root, "tap 40 269\nwait 100\n", [&] { return static_cast<int>(dlg.DoModal()); });
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(run.code, IDCANCEL);
        EXPECT_TRUE(dlg.GetName() == c.name) << c.index;
        EXPECT_TRUE(dlg.GetTelephoneLine() == c.telephone) << c.index;
        EXPECT_TRUE(dlg.GetAddressLine() == c.address) << c.index;
        EXPECT_TRUE(dlg.GetDetailText() == c.detail) << c.index;
    }
    CDlgPOI negative;
    EXPECT_FALSE(negative.OpenOn(u"\\SearchDB\\POI.db")); // no number set
}

TEST(PoiDialogText, ProvinceShortFormsAndLineWrapping) {
    struct Case {
        const char16_t* in;
        const char16_t* out;
    };
    const Case cases[] = {
        {u"한울남도 가람시 시청동", u"한남 가람시 시청동"},
        {u"누리광역시 중앙구", u"누리시 중앙구"},
        {u"세종특별자치시 어진동", u"세종특별자치시 어진동"},
        {u"가람시 시청동", u"가람시 시청동"},
        {u"한울남도", u"한남"},
        {u"", u""},
    };
    for (const Case& c : cases) EXPECT_TRUE(CDlgPOI::FilteringAddress(c.in) == c.out) << Utf16ToUtf8(c.in);

    // Built-in font at height 13: syllables 12 pixels. 178 pixels take 14 syllables a line.
    GdiUseBuiltinFont(true);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    const HGDIOBJ old = SelectObject(dc, font);
    const std::u16string twenty = u"가나다라마바사아자차카타파하가나다라마바";
    EXPECT_TRUE(CDlgPOI::StringProcessor(dc, twenty.c_str(), 178) ==
                CString(u"가나다라마바사아자차카타파하\r\n가나다라마바"));
    EXPECT_TRUE(CDlgPOI::StringProcessor(dc, u"가나\r\n다", 178) == CString(u"가나\r\n다"));
    // A box narrower than one character still advances.
    EXPECT_TRUE(CDlgPOI::StringProcessor(dc, u"가나", 3) == CString(u"가\r\n나"));
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

} // namespace
