// The address search screen under the headless host on a small address tree:
// 한울남도 > 가람시 > {시청동 (parcels), 나래읍 > 가곡리 (parcels), 중앙동 (the area itself)}, 누리광역시 > 누리구.
// Buttons are tapped where the "AddressSearch" and "NearLotSelect" screens place them.
#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "platform/window/Afx.h"
#include "search/tests/SearchBytes.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "search/ui/CDlgAddrSrch.h"
#include "skinui/NaviRcBuilder.h"

#include <zlib.h>

#include <vector>

namespace {

struct Lot {
    unsigned mountain, main, sub;
};

// Parcel k (from 1) lies at (6733, 1000 + k, 2000 + k).
std::string ParcelBlock(const std::vector<Lot>& lots) {
    SearchBytes plain;
    unsigned k = 0;
    for (const Lot& l : lots) {
        ++k;
        plain.u8(0).u8(l.mountain).u16(l.main).u16(l.sub).u16(6733).u16(1000 + k).u16(2000 + k);
    }
    uLongf n = compressBound(plain.s.size());
    std::string data(n, '\0');
    EXPECT_EQ(::compress(reinterpret_cast<Bytef*>(data.data()), &n, reinterpret_cast<const Bytef*>(plain.s.data()),
                         plain.s.size()),
              Z_OK);
    data.resize(n);
    SearchBytes b;
    b.u32(static_cast<std::uint32_t>(plain.s.size())).u32(static_cast<std::uint32_t>(n));
    b.u32(static_cast<std::uint32_t>(lots.size())).u8(1).raw(data);
    return b.s;
}

// 시청동's parcels, sorted: plain parcels by number, then the mountain parcels.
const std::vector<Lot> kCityHallLots = {{0, 1, 0},   {0, 12, 0},  {0, 12, 3}, {0, 123, 1},
                                        {0, 123, 7}, {0, 200, 0}, {1, 5, 0},  {1, 12, 3}};

std::string AddressBytes() {
    DbHeaderFields f;
    f.version = "3 1 0 ADDR 20261210";
    f.offset[0] = 84;
    f.count[0] = 2;
    SearchBytes b = DbHeaderBytes(f);
    auto node = [&](unsigned name, std::uint32_t child, unsigned count, unsigned type, unsigned x) {
        b.u16(name).u32(child).u16(count).u32(0).u16(0).u8(type).u16(0).u16(0).u8(0);
        b.u16(6733).u16(x).u16(500).u16(0);
    };
    const std::uint32_t blocks = 8 * 28;
    const std::string first = ParcelBlock(kCityHallLots);
    node(1, 56, 1, 0, 1);   // 한울남도
    node(2, 84, 1, 0, 2);   // 누리광역시
    node(3, 112, 3, 0, 3);  // 가람시
    node(8, 0, 0, 0, 4);    // 누리구
    node(4, blocks, 1, 3, 5); // 시청동: parcels
    node(5, 196, 1, 2, 6);    // 나래읍: villages
    node(6, 0, 0, 6, 7);      // 중앙동: the area itself
    node(7, blocks + static_cast<std::uint32_t>(first.size()), 1, 3, 8); // 가곡리
    EXPECT_EQ(b.size(), 84u + blocks);
    b.raw(first).raw(ParcelBlock({{0, 77, 0}}));
    return b.s;
}

// Taps (screen coordinates): the area panel's two button rows, the parcel panel's row, the keypad.
const std::string kNext = "tap 160 236\nwait 50\n";
const std::string kAreaPrev = "tap 40 236\nwait 50\n";
const std::string kAreaRoute = "tap 40 268\nwait 50\n";
const std::string kShow = "tap 160 268\nwait 50\n";
const std::string kLotPrev = "tap 38 106\nwait 50\n";
const std::string kSearch = "tap 111 106\nwait 50\n";
const std::string kLotRoute = "tap 184 106\nwait 50\n";
const std::string kNearSecond = "tap 132 150\nwait 50\n";
const std::string kNearOk = "tap 42 210\nwait 50\n";
const std::string kNearCancel = "tap 160 210\nwait 50\n";
const std::string kBack = "tap 175 18\nwait 50\n";
const std::string kCurrentPos = "tap 215 18\nwait 50\n";

std::string Keys(std::initializer_list<const char*> names) {
    // name -> centre of its key
    struct Place {
        const char* name;
        int x, y;
    };
    static const Place places[] = {{"1", 42, 169},  {"2", 97, 169},  {"3", 152, 169}, {"4", 42, 201},
                                   {"5", 97, 201},  {"6", 152, 201}, {"7", 42, 233},  {"8", 97, 233},
                                   {"9", 152, 233}, {"0", 42, 265},  {"하이픈", 202, 201}, {"산", 202, 233},
                                   {"Clear", 202, 265}, {"백스페이스", 202, 169}};
    std::string script;
    for (const char* n : names)
        for (const Place& p : places)
            if (std::string(p.name) == n)
                script += "tap " + std::to_string(p.x) + " " + std::to_string(p.y) + "\nwait 50\n";
    return script;
}

class AddrDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("SearchDB/aVelko.db", AddressBytes());
        root.MakeFile("SearchDB/AdminName.db", AdminNameBytes({"한울남도", "누리광역시", "가람시", "시청동", "나래읍",
                                                                "중앙동", "가곡리", "누리구"}));
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
    }
    void TearDown() override { box.Destruct(); }

    HostedRun RunScreen(CDlgAddrSrch& dlg, const std::string& script) {
        dlg.SetPanelName(u"AddressSearch");
        dlg.SetRcBuilder(&builder);
        EXPECT_TRUE(dlg.OpenOn(u"\\SearchDB\\aVelko.db", u"\\SearchDB\\AdminName.db"));
        // "이전" at the end closes a dialog the script left open.
        return RunHosted(root, "wait 100\n" + script + kBack + "wait 100\n",
                         [&] { return static_cast<int>(dlg.DoModal()); });
    }

    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

std::string Detail(const _ADDR_RESULT& r) {
    return Cp949ToUtf8(std::string(r.detail, tolvik::FieldLength(r.detail, sizeof r.detail)));
}

const std::string kToCityHall = kNext + kNext + kNext; // 한울남도 → 가람시 → 시청동 (parcels)

TEST_F(AddrDialogTest, ParcelTypedOnTheKeypadIsFound) {
    CDlgAddrSrch dlg;
    const HostedRun run =
        RunScreen(dlg, kToCityHall + Keys({"산", "1", "2", "하이픈", "3", "하이픈"}) + kSearch);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.code, IDOK);
    _ADDR_RESULT r;
    dlg.GetTolvik(r);
    EXPECT_EQ(Cp949ToUtf8(r.lotInput), "산12-3"); // the second "하이픈" added nothing
    EXPECT_EQ(Detail(r), "시청동 산 12-3번지");
    EXPECT_EQ(r.mapLevel, 8);
    EXPECT_EQ(r.pos[1], 1008); // the eighth parcel
    EXPECT_EQ(r.pos[2], 2008);
    EXPECT_EQ(r.pointType, 2); // basic screen, no point type: destination
    EXPECT_EQ(r.routeDirectly, 0);
    const int expectIndex[4] = {0, 0, 0, -1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(r.levelIndex[i], expectIndex[i]) << i;
    EXPECT_TRUE(dlg.GetRouteText() == u"한울남도 가람시 시청동") << dlg.GetRouteText().ToUtf8();
    EXPECT_TRUE(dlg.GetCaption() == u"※지번입력") << dlg.GetCaption().ToUtf8();
}

TEST_F(AddrDialogTest, CaptionsFollowTheLevels) {
    struct Case {
        std::string script;
        int depth;
        const char16_t* caption;
        const char16_t* route;
    };
    const Case cases[] = {
        {"", 0, u"지역구분 : 시/도", u"한울남도"},
        {kNext, 1, u"지역구분:시/군/구", u"한울남도 가람시"},
        {kNext + kNext, 2, u"지역구분:읍/면/동", u"한울남도 가람시 시청동"},
        {kNext + kNext + kAreaPrev, 1, u"지역구분:시/군/구", u"한울남도 가람시"},
        {kToCityHall + Keys({"1"}) + kLotPrev, 2, u"지역구분:읍/면/동", u"한울남도 가람시 시청동"},
    };
    for (const Case& c : cases) {
        CDlgAddrSrch dlg;
        const HostedRun run = RunScreen(dlg, c.script);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(run.code, IDCANCEL);
        EXPECT_EQ(dlg.GetDepth(), c.depth) << c.depth;
        EXPECT_TRUE(dlg.GetCaption() == c.caption) << dlg.GetCaption().ToUtf8();
        EXPECT_TRUE(dlg.GetRouteText() == c.route) << dlg.GetRouteText().ToUtf8();
    }
}

TEST_F(AddrDialogTest, MissingParcelOffersTheTwoNearest) {
    // "123456" is searched as the largest number: past 200, the last plain parcel, so 123-7 and 200.
    const std::string sixDigits = kToCityHall + Keys({"1", "2", "3", "4", "5", "6"});
    {
        CDlgAddrSrch dlg;
        const HostedRun run = RunScreen(dlg, sixDigits + kSearch + kNearSecond + kNearOk);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(run.code, IDOK);
        _ADDR_RESULT r;
        dlg.GetTolvik(r);
        EXPECT_EQ(Detail(r), "시청동 200번지");
        EXPECT_EQ(r.pos[1], 1006);
    }
    {
        // Cancelled: no result, the keypad stays.
        CDlgAddrSrch dlg;
        const HostedRun run = RunScreen(dlg, sixDigits + kSearch + kNearCancel);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(run.code, IDCANCEL);
        EXPECT_EQ(dlg.GetMode(), 1);
        EXPECT_TRUE(dlg.GetLotText() == u"123456");
    }
}

TEST_F(AddrDialogTest, DirectRouteByteOnlyWhenTheParcelIsTaken) {
    // "바로탐색" whose choice is cancelled, then "검색" on an existing parcel: no route.
    CDlgAddrSrch dlg;
    const HostedRun run = RunScreen(dlg, kToCityHall + Keys({"1", "2", "3", "4", "5", "6"}) + kLotRoute + kNearCancel +
                                             Keys({"Clear", "1", "2"}) + kSearch);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_EQ(run.code, IDOK);
    _ADDR_RESULT r;
    dlg.GetTolvik(r);
    EXPECT_EQ(Detail(r), "시청동 12번지");
    EXPECT_EQ(r.routeDirectly, 0);

    CDlgAddrSrch direct;
    const HostedRun routed = RunScreen(direct, kToCityHall + Keys({"1", "2"}) + kLotRoute);
    ASSERT_FALSE(routed.failed) << routed.failure;
    EXPECT_EQ(routed.code, IDOK);
    direct.GetTolvik(r);
    EXPECT_EQ(r.routeDirectly, 1);
}

TEST_F(AddrDialogTest, RefusalsAndNotices) {
    struct Case {
        const char* what;
        std::uint8_t pointType;
        std::string script;
        const char* notice;
    };
    const Case cases[] = {
        {"route as start without destination", 1, "answer ok\n" + kAreaRoute, "목적지를 먼저 설정하신 후 바로탐색을 실행하십시오."},
        {"search without parcel", 2, kToCityHall + "answer ok\n" + kSearch, "지번을 먼저 입력하여 주십시오."},
    };
    for (const Case& c : cases) {
        _ADDR_RESULT prev;
        prev.pointType = c.pointType;
        CDlgAddrSrch dlg;
        dlg.SetPrevResult(prev);
        const HostedRun run = RunScreen(dlg, c.script);
        ASSERT_FALSE(run.failed) << c.what << ": " << run.failure;
        EXPECT_EQ(run.code, IDCANCEL) << c.what;
        EXPECT_NE(run.msgboxLog.find(c.notice), std::string::npos) << c.what << "\n" << run.msgboxLog;
    }
}

// Twenty characters at most, a leading "산" counting two: the key past that shows notice 26 and
// is taken back.
TEST_F(AddrDialogTest, OverlongParcelTextIsRefused) {
    std::string keys = kToCityHall + "answer ok\n" + Keys({"산"});
    for (int i = 0; i < 19; ++i) keys += Keys({"1"});
    CDlgAddrSrch dlg;
    const HostedRun run = RunScreen(dlg, keys);
    ASSERT_FALSE(run.failed) << run.failure;
    EXPECT_NE(run.msgboxLog.find("잘못된 형식의 지번을 입력하셨거나, 입력 범위를 초과하였습니다."), std::string::npos)
        << run.msgboxLog;
    EXPECT_TRUE(dlg.GetLotText() == CString(u"산") + CString(std::u16string(18, u'1').c_str()))
        << dlg.GetLotText().ToUtf8();
}

TEST_F(AddrDialogTest, AreaResultsAndTheCurrentPosition) {
    {
        // 중앙동 is a result by itself: the third entry of level 2.
        _ADDR_RESULT prev;
        prev.levelIndex[0] = 0;
        prev.levelIndex[1] = 0;
        prev.levelIndex[2] = 2;
        CDlgAddrSrch dlg;
        dlg.SetPrevResult(prev);
        const HostedRun run = RunScreen(dlg, kShow);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(run.code, IDOK);
        _ADDR_RESULT r;
        dlg.GetTolvik(r);
        EXPECT_EQ(Detail(r), "중앙동");
        EXPECT_EQ(r.mapLevel, 6);
        EXPECT_EQ(r.pos[1], 7);
        EXPECT_EQ(r.levelIndex[2], 2);
    }
    {
        CDlgAddrSrch dlg;
        const HostedRun run = RunScreen(dlg, kCurrentPos);
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(run.code, IDCANCEL);
        EXPECT_TRUE(dlg.IsCurrentPos());
    }
}

TEST_F(AddrDialogTest, PreviousResultRestoresAsFarAsTheTreeReaches) {
    struct Case {
        int index[4];
        const char* lot;
        int depth;
        const char16_t* route;
    };
    const Case cases[] = {
        {{0, 0, 0, -1}, "12-3", 4, u"한울남도 가람시 시청동"},
        {{0, 0, 1, 0}, "", 3, u"한울남도 가람시 나래읍 가곡리"},
        // An older database's record: level 1 index 5 no longer exists.
        {{0, 5, 0, -1}, "12", 0, u"한울남도"},
        {{9, 0, 0, -1}, "", 0, u"한울남도"},
    };
    for (const Case& c : cases) {
        _ADDR_RESULT prev;
        for (int i = 0; i < 4; ++i) prev.levelIndex[i] = c.index[i];
        tolvik::CopyField(c.lot, prev.lotInput, sizeof prev.lotInput);
        CDlgAddrSrch dlg;
        dlg.SetPrevResult(prev);
        const HostedRun run = RunScreen(dlg, "");
        ASSERT_FALSE(run.failed) << run.failure;
        EXPECT_EQ(dlg.GetDepth(), c.depth) << c.index[1] << c.index[2];
        EXPECT_TRUE(dlg.GetRouteText() == c.route) << dlg.GetRouteText().ToUtf8();
    }
}

} // namespace
