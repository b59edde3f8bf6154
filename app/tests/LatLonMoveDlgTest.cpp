// The latitude/longitude move dialog under the headless host on the sample skin: the keypad as on
// the location-code screen ("점" at 181, 222), "위치보기" 13-109 and "바로탐색" 131-227 on the row at
// y 118-145, the datum buttons "WGS84" at (15, 32) and "BESSEL" at (87, 32), the type tabs at
// y 284, and the six fields in two rows at y 61-82 and 85-106.
#include "app/LatLonMoveDlg.h"

#include "commondlg/NaviMessageBox.h"
#include "position/Geometry.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/testing/HostedDialogRun.h"
#include "skinui/NaviRcBuilder.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::string Key(char c) {
    if (c == '.') return "tap 202 237\n";
    if (c == '0') return "tap 42 268\n";
    const int d = c - '1';
    return "tap " + std::to_string(42 + 55 * (d % 3)) + " " + std::to_string(172 + 32 * (d / 3)) + "\n";
}
std::string Keys(const std::string& keys) {
    std::string s;
    for (char c : keys) s += Key(c);
    return s;
}
std::string Field(int id) {
    const int i = id - CLatLonMoveDlg::kEditLonDegrees;
    const int x[3] = {56, 104, 172};
    return "tap " + std::to_string(x[i % 3]) + " " + std::to_string(i < 3 ? 71 : 95) + "\n";
}
const std::string kShow = "tap 60 131\n";
const std::string kRouteNow = "tap 180 131\n";
const std::string kBack = "tap 175 18\n";
const std::string kWgs84 = "tap 22 40\n";
const std::string kBessel = "tap 94 40\n";
const std::string kWaypointTab = "tap 91 298\n";
using Texts = std::array<const char16_t*, 6>;
const Texts kCityHall = {u"127", u"0", u"0.0", u"37", u"30", u"0.0"};

struct Outcome {
    INT_PTR code = 0;
    HostedRun run;
    CString texts[6];
    int focus = 0;
};

// Opens the dialog with the caret inside the longitude seconds when "Space" is tapped, to show
// what focusing a field selects.
class CaretProbe : public CLatLonMoveDlg {
public:
    CaretProbe() : CLatLonMoveDlg(nullptr) {}
    void ProcessEvent(NaviCommand& cmd) override {
        if (cmd.target == u"Space") {
            SendDlgItemMessageW(m_hWnd, kEditLonSeconds, EM_SETSEL, 2, 2);
            ::SetFocus(::GetDlgItem(m_hWnd, kEditLonSeconds));
            return;
        }
        CLatLonMoveDlg::ProcessEvent(cmd);
    }
};

class LatLonMoveDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        root.MakeFile("res/ResData.bin", SampleSkin());
        builder.OpenSkin(u"\\res");
        box.Initialize(&builder);
    }
    void TearDown() override { box.Destruct(); }

    Outcome Run(CLatLonMoveDlg& dialog, const std::string& script,
                const Texts& texts = Texts{u"", u"", u"", u"", u"", u""}) {
        Outcome out;
        dialog.SetRcBuilder(&builder);
        dialog.SetPanelName(u"경위도이동");
        CString in[6];
        for (int i = 0; i < 6; ++i) in[i] = texts[static_cast<std::size_t>(i)];
        dialog.SetFieldTexts(in);
        out.run = RunHosted(root, script, [&] {
            out.code = dialog.DoModal();
            return 0;
        });
        dialog.GetFieldTexts(out.texts);
        out.focus = dialog.GetFocusedEdit();
        return out;
    }

    TempRoot root;
    NaviRcBuilder builder;
    NaviMessageBox box;
};

TEST_F(LatLonMoveDlgTest, KeypadEntryAdvancesThroughTheFieldsAndShowsThePlace) {
    CLatLonMoveDlg dialog(nullptr);
    const Outcome out = Run(dialog, Keys("127"
                                         "00"
                                         "00.00"
                                         "37"
                                         "30"
                                         "0") +
                                        kShow);
    ASSERT_FALSE(out.run.failed) << out.run.failure;
    EXPECT_EQ(out.code, IDOK);
    EXPECT_EQ(out.run.msgboxLog, "");
    const CString expected[6] = {u"127", u"00", u"00.00", u"37", u"30", u"0"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(out.texts[i], expected[i]) << i;
    EXPECT_FALSE(dialog.IsRouteNow());
    std::int32_t x = 0;
    std::int32_t y = 0;
    CLatLonMoveDlg::Angle lon;
    CLatLonMoveDlg::Angle lat;
    ASSERT_TRUE(dialog.GetPosition(x, y, lon, lat));
    // 127 degrees: X 45,720,000, map x (720,000 x 0.2666...) = 192,000; 37 30': Y 13,500,000,
    // map y (1,590,000 / 3) = 530,000.
    EXPECT_EQ(x, 192000);
    EXPECT_EQ(y, 530000);
    EXPECT_EQ(lon.degrees, 127);
    EXPECT_EQ(lat.degrees, 37);
    EXPECT_EQ(lat.minutes, 30);
}

TEST_F(LatLonMoveDlgTest, KeyboardTextAndASixthSecondsCharacter) {
    struct Case {
        const char* what;
        std::string script;
        int field;
        const char16_t* text;
        int focus;
    };
    const Case cases[] = {
        // Without a keypad key the field does not advance.
        {"keyboard text", "text \"127\"\n", CLatLonMoveDlg::kEditLonDegrees, u"127",
         CLatLonMoveDlg::kEditLonDegrees},
        {"a sixth character in the latitude seconds", Field(CLatLonMoveDlg::kEditLatSeconds) + Keys("12.345"),
         CLatLonMoveDlg::kEditLatSeconds, u"12.34", CLatLonMoveDlg::kEditLatSeconds},
        {"the full-stop key", Field(CLatLonMoveDlg::kEditLatSeconds) + Keys(".5"),
         CLatLonMoveDlg::kEditLatSeconds, u".5", CLatLonMoveDlg::kEditLatSeconds},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CLatLonMoveDlg dialog(nullptr);
        const Outcome out = Run(dialog, c.script + kBack);
        ASSERT_FALSE(out.run.failed) << out.run.failure;
        EXPECT_EQ(out.code, IDCANCEL);
        EXPECT_EQ(out.texts[c.field - CLatLonMoveDlg::kEditLonDegrees], CString(c.text));
        EXPECT_EQ(out.focus, c.focus);
    }
}

TEST_F(LatLonMoveDlgTest, FocusingAFieldSelectsFromTheCaretToTheEnd) {
    CaretProbe dialog;
    const Outcome out =
        Run(dialog, "tap 125 268\n" + Keys("5") + kBack, Texts{u"127", u"0", u"12.34", u"37", u"30", u"0"});
    ASSERT_FALSE(out.run.failed) << out.run.failure;
    // The caret stood after "12": ".34" was selected and the key replaced it.
    EXPECT_EQ(out.texts[2], CString(u"125"));
    EXPECT_EQ(out.focus, CLatLonMoveDlg::kEditLonSeconds);
}

TEST_F(LatLonMoveDlgTest, AFullStopAloneCountsAsZeroAndEnterConfirms) {
    struct Case {
        const char* what;
        std::string script;
    };
    const Case cases[] = {{"show", kShow}, {"Enter", "key RETURN\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CLatLonMoveDlg dialog(nullptr);
        const Outcome out = Run(dialog, c.script, Texts{u"127", u"0", u".", u"37", u"30", u"."});
        ASSERT_FALSE(out.run.failed) << out.run.failure;
        EXPECT_EQ(out.code, IDOK);
        EXPECT_EQ(out.texts[2], CString(u"0"));
        EXPECT_EQ(out.texts[5], CString(u"0"));
        std::int32_t x = 0;
        std::int32_t y = 0;
        CLatLonMoveDlg::Angle lon;
        CLatLonMoveDlg::Angle lat;
        ASSERT_TRUE(dialog.GetPosition(x, y, lon, lat));
        EXPECT_EQ(x, 192000);
        EXPECT_EQ(y, 530000);
    }
    CLatLonMoveDlg dialog(nullptr);
    const Outcome out = Run(dialog, "key ESCAPE\n", kCityHall);
    ASSERT_FALSE(out.run.failed) << out.run.failure;
    EXPECT_EQ(out.code, IDCANCEL);
}

TEST_F(LatLonMoveDlgTest, RefusedEntriesKeepTheDialogOpenWithTheFocusWhereTheFaultIs) {
    const CString invalid = AfxLoadString(61208);
    const CString outside = AfxLoadString(191);
    const CString routeFirst = AfxLoadString(61210);
    struct Case {
        const char* what;
        Texts texts;
        std::string script;
        CString notice;
        int focus;
    };
    const Case cases[] = {
        {"empty latitude degrees",
         {u"127", u"0", u"0.0", u"", u"30", u"0.0"},
         kShow,
         invalid,
         CLatLonMoveDlg::kEditLatDegrees},
        {"empty first field",
         {u"", u"0", u"0.0", u"37", u"30", u"0.0"},
         Field(1056) + kShow,
         invalid,
         CLatLonMoveDlg::kEditLonDegrees},
        {"75 minutes",
         {u"127", u"0", u"0.0", u"37", u"75", u"0.0"},
         kShow,
         invalid,
         CLatLonMoveDlg::kEditLatMinutes},
        {"60 seconds",
         {u"127", u"0", u"60", u"37", u"30", u"0.0"},
         kShow,
         invalid,
         CLatLonMoveDlg::kEditLonSeconds},
        {"seconds that are no number",
         {u"127", u"0", u"1.2.3", u"37", u"30", u"0.0"},
         kShow,
         invalid,
         CLatLonMoveDlg::kEditLonSeconds},
        {"999 degrees",
         {u"999", u"0", u"0.0", u"37", u"30", u"0.0"},
         Field(1055) + kShow,
         outside,
         CLatLonMoveDlg::kEditLonDegrees},
        {"999 degrees as WGS-84",
         {u"999", u"0", u"0.0", u"37", u"30", u"0.0"},
         Field(1055) + kWgs84 + kShow,
         outside,
         CLatLonMoveDlg::kEditLonDegrees},
        {"route now to a waypoint without a destination", kCityHall, kWaypointTab + kRouteNow, routeFirst,
         CLatLonMoveDlg::kEditLonDegrees},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CLatLonMoveDlg dialog(nullptr);
        const Outcome out = Run(dialog, "answer ok\n" + c.script + kBack, c.texts);
        ASSERT_FALSE(out.run.failed) << out.run.failure;
        EXPECT_EQ(out.code, IDCANCEL);
        EXPECT_NE(out.run.msgboxLog.find(c.notice.ToUtf8() + "\t3001"), std::string::npos)
            << out.run.msgboxLog;
        EXPECT_EQ(out.focus, c.focus);
    }
}

TEST_F(LatLonMoveDlgTest, TheDatumGroupChoosesTheWgs84Shift) {
    // The same entry as WGS-84: what the datum shift gives for 127 E, 37 30' N.
    std::int32_t lon = 127 * 3600000;
    std::int32_t lat = (37 * 60 + 30) * 60000;
    double height = 0.0;
    Wgs84ToBessel(lon, lat, height);
    std::int32_t wx = 0;
    std::int32_t wy = 0;
    NetToMapCoord(lon / 10, lat / 10, wx, wy);
    ASSERT_NE(wx, 192000); // the shift moves the place

    struct Case {
        const char* what;
        bool wgs84;
        std::string script;
        bool after;
        std::int32_t x, y;
    };
    const Case cases[] = {
        {"WGS84 chosen", false, kWgs84 + kShow, true, wx, wy},
        {"BESSEL chosen", true, kBessel + kShow, false, 192000, 530000},
        {"opened as WGS-84", true, kShow, true, wx, wy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CLatLonMoveDlg dialog(nullptr);
        dialog.SetWgs84(c.wgs84);
        const Outcome out = Run(dialog, c.script, kCityHall);
        ASSERT_FALSE(out.run.failed) << out.run.failure;
        EXPECT_EQ(out.code, IDOK);
        EXPECT_EQ(dialog.IsWgs84(), c.after);
        std::int32_t x = 0;
        std::int32_t y = 0;
        CLatLonMoveDlg::Angle a;
        CLatLonMoveDlg::Angle b;
        ASSERT_TRUE(dialog.GetPosition(x, y, a, b));
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

TEST(LatLonMoveDlgConvert, MilliArcSecondsRoundHalfUpAndLargeDegreesDoNotOverflow) {
    struct Case {
        CLatLonMoveDlg::Angle lon, lat;
        bool wgs84;
        bool ok;
        std::int32_t netX, netY;
    };
    const Case cases[] = {
        {{127, 0, 0.0}, {37, 30, 0.0}, false, true, 45720000, 13500000},
        // 12.3456 s = 12345.6 mas, half up 12346, then 1234 hundredths.
        {{127, 0, 12.3456}, {37, 30, 0.0}, false, true, 45721234, 13500000},
        // 5/512 s = 9.765625 mas rounds to 10, one hundredth (cut, it would be 9 and none).
        {{127, 0, 0.009765625}, {37, 30, 0.0}, false, true, 45720001, 13500000},
        // 999 degrees: 3,596,400,000 mas passes 32 bits; in hundredths it fits again.
        {{999, 0, 0.0}, {37, 30, 0.0}, false, true, 359640000, 13500000},
        {{999, 0, 0.0}, {37, 30, 0.0}, true, false, 0, 0},
    };
    for (const Case& c : cases) {
        std::int32_t netX = 0;
        std::int32_t netY = 0;
        std::int32_t x = 0;
        std::int32_t y = 0;
        EXPECT_EQ(CLatLonMoveDlg::Convert(c.lon, c.lat, c.wgs84, netX, netY, x, y), c.ok) << c.lon.seconds;
        if (!c.ok) continue;
        EXPECT_EQ(netX, c.netX) << c.lon.degrees << " " << c.lon.seconds;
        EXPECT_EQ(netY, c.netY);
    }
    double s = 0;
    EXPECT_TRUE(CLatLonMoveDlg::ParseSeconds(u"12.3456", s));
    EXPECT_DOUBLE_EQ(s, 12.3456);
    EXPECT_TRUE(CLatLonMoveDlg::ParseSeconds(u"5.", s));
    EXPECT_DOUBLE_EQ(s, 5.0);
    for (const char16_t* bad : {u"", u".", u"1.2.3", u"-1", u"1e3", u" 1"})
        EXPECT_FALSE(CLatLonMoveDlg::ParseSeconds(bad, s));
}

} // namespace
