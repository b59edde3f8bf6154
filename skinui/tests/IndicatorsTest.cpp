// The main screen's indicators: car, compass, safe-driving sign, GPS and volume icons, the turn
// arrow and its digits, the distance bar, the event bubble, the zoom bars, the re-search marks,
// the route-state image and the sky view. Every image of the fixture is a solid square whose
// colour names it, so a pixel tells which image was drawn where.
#include "SkinTestSupport.h"

#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviAnimImage.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviCarMark.h"
#include "skinui/controls/NaviCompass.h"
#include "skinui/controls/NaviControlIds.h"
#include "skinui/controls/NaviDigitPanel.h"
#include "skinui/controls/NaviDistBar.h"
#include "skinui/controls/NaviEventText.h"
#include "skinui/controls/NaviExLevelBar.h"
#include "skinui/controls/NaviGpsIcon.h"
#include "skinui/controls/NaviGuideArrow.h"
#include "skinui/controls/NaviLevelBar.h"
#include "skinui/controls/NaviReRouteMark.h"
#include "skinui/controls/NaviSafeZoneMark.h"
#include "skinui/controls/NaviSkyView.h"
#include "skinui/controls/NaviTrafficReRouteMark.h"
#include "skinui/controls/NaviVolumeIcon.h"

#include <atomic>
#include <thread>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The colour of the fixture image of that tag (1..254).
COLORREF Tag(int n) {
    return RGB(n, 255 - n, 100);
}

// An 8-bit palette image whose pixels all use entry 1 (red); entries 0..5 are colours.
Bytes PalettePng(int side, int bitCount = 8) {
    GdiDibImage image;
    image.width = side;
    image.height = side;
    image.bitCount = bitCount;
    image.palette.assign(std::size_t{1} << bitCount, RGBQUAD{0, 0, 0, 0});
    image.palette[1] = RGBQUAD{0, 0, 255, 0};
    for (int i = 2; i < 6 && i < static_cast<int>(image.palette.size()); ++i) image.palette[i] = RGBQUAD{static_cast<BYTE>(40 * i), 0, 0, 0};
    // Every pixel entry 1 (for 1-bit rows: every bit set).
    image.bits.assign(DibRowBytes(bitCount, side) * side, bitCount == 8 ? 1 : 0xFF);
    std::vector<BYTE> png;
    EXPECT_TRUE(GdiEncodePngDib(image, png));
    return Bytes(png.begin(), png.end());
}

NaviCommand Id(int id, int param1 = -1, int param2 = -1, const char16_t* text = u"") {
    NaviCommand cmd;
    cmd.target = u"NaviMain";
    cmd.id = id;
    cmd.param1 = param1;
    cmd.param2 = param2;
    cmd.text = text;
    return cmd;
}

class Indicators : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<ArchiveEntry> e;
        auto add = [&](const std::u16string& name, Bytes data) { e.push_back({Utf16ToCp949(name), std::move(data)}); };
        auto tagged = [&](const std::u16string& name, int w, int h, int tag) { add(name, SolidPng(w, h, Tag(tag))); };
        for (int k = 0; k <= 36; ++k) tagged(u"Compass\\" + Utf8ToUtf16(std::to_string(10 * k)), 4, 4, 1 + k);
        for (int i = 0; i < 36; ++i) {
            tagged(u"Car\\circle" + Utf8ToUtf16(std::to_string(10 * i)), 3, 3, 50 + i);
            if (i != 7 && i != 8) tagged(u"Car\\car" + Utf8ToUtf16(std::to_string(10 * i)), 32, 32, 100 + i);
        }
        add(u"Car\\car70", PalettePng(32));
        add(u"Car\\car80", PalettePng(32, 1));
        tagged(u"Car\\bcar0", 3, 3, 140);
        tagged(u"Car\\bcar1", 3, 3, 141);
        for (int k = 0; k <= 12; ++k) tagged(u"SafeZone\\" + Utf8ToUtf16(std::to_string(10 * k)), 55, 55, 150 + k);
        const char16_t* gps[] = {u"Gps_Cur", u"Gps_VeryGood", u"Gps_Good", u"Gps_Bad", u"Gps_Disconnect"};
        for (int i = 0; i < 5; ++i) tagged(std::u16string(u"Gps\\") + gps[i], 4, 4, 170 + i);
        tagged(u"Volume\\Mute", 34, 21, 180);
        for (int d = 0; d < 10; ++d) tagged(u"Guide\\큰숫자\\" + Utf8ToUtf16(std::to_string(d)), 10, 10, 200 + d);
        tagged(u"Guide\\기호\\점", 3, 3, 210);
        tagged(u"Guide\\기호\\km", 14, 6, 211);
        tagged(u"Guide\\2D\\23_G", 62, 60, 220);
        tagged(u"Guide\\3D\\23_3G", 62, 60, 221);
        tagged(u"Guide\\2D\\7_G", 62, 60, 222);
        for (int i = 1; i <= 9; ++i) tagged(u"DistBar\\" + Utf8ToUtf16(std::to_string(i)), 36, 19, 230 + i);
        for (int i = 0; i < 6; ++i) tagged(u"EventString\\" + Utf8ToUtf16(std::to_string(i)), 7, 25, 10 * (i + 1) + 3);
        for (int i = 1; i <= 9; ++i) {
            tagged(u"LevelBar\\" + Utf8ToUtf16(std::to_string(i)), 29, 29, 80 + i);
            tagged(u"ExLevelBar\\" + Utf8ToUtf16(std::to_string(i)), 29, 24, 90 + i);
            tagged(u"ExLevelBar\\" + Utf8ToUtf16(std::to_string(i)) + u"_A", 29, 24, 240 + i);
        }
        tagged(u"LevelBar\\확대", 29, 29, 60);
        tagged(u"LevelBar\\확대_Snd", 29, 29, 61);
        tagged(u"LevelBar\\축소", 29, 29, 62);
        tagged(u"LevelBar\\축소_Snd", 29, 29, 63);
        for (int i = 0; i < 4; ++i) {
            tagged(u"RouteResult\\일반" + Utf8ToUtf16(std::to_string(i)), 33, 33, 190 + i);
            tagged(u"RouteResult\\고속" + Utf8ToUtf16(std::to_string(i)), 33, 33, 195 + i);
        }
        tagged(u"SkyView\\GPS활성", 12, 8, 250);
        tagged(u"SkyView\\GPS비활성", 12, 8, 251);
        const Bytes b = ArchiveBytes(e, static_cast<int>(e.size()));
        root.MakeFile("res/ResData.bin", std::string(b.begin(), b.end()));
        builder.OpenSkin(u"\\res");
    }
    template <typename T> std::unique_ptr<T> Make(const char16_t* name) {
        auto control = std::make_unique<T>();
        control->SetName(name);
        control->SetTransparent(false);
        control->LoadImages(&builder);
        return control;
    }
    TempRoot root;
    NaviRcBuilder builder;
};

} // namespace

TEST_F(Indicators, CompassCountsBackFromThirtyFive) {
    auto compass = Make<NaviCompass>(u"Compass");
    EXPECT_TRUE(SameRect(compass->GetRect(), RECT{2, 37, 35, 70}));
    // Index 1 shows "340" (the 35th image), 0 and 35 show "0", 36 "360"; others nothing.
    for (auto [index, tag] : {std::pair{1, 1 + 34}, {0, 1}, {35, 1}, {36, 1 + 36}, {18, 1 + 17}, {37, 0}, {-1, 0}}) {
        Canvas canvas(60, 80);
        compass->DrawHeading(&canvas.cdc, index);
        EXPECT_EQ(canvas.At(3, 38), tag ? Tag(tag) : kWhite) << index;
    }
    NaviCommand hide = Id(kCmdIndicatorHide);
    compass->ProcessCommand(hide);
    Canvas canvas(60, 80);
    compass->DrawHeading(&canvas.cdc, 0);
    EXPECT_EQ(canvas.At(3, 38), kWhite);
    EXPECT_EQ(compass->HitTest(3, 38), 0);
    NaviCommand show = Id(kCmdIndicatorShow);
    compass->ProcessCommand(show);
    EXPECT_EQ(compass->HitTest(3, 38), 1);
}

TEST_F(Indicators, CarMarkPiecesAndHue) {
    auto car = Make<NaviCarMark>(u"Car");
    car->SetPos(100, 100);
    struct Case {
        int car, circle;
        int carTag, circleTag; // 0: none
        bool twoPiece;
    };
    for (const Case& c : {Case{3, 5, 103, 55, false}, Case{36, 5, 0, 55, false}, Case{37, 5, 0, 0, true},
                          Case{-1, 5, 0, 55, false}, Case{3, -1, 103, 0, false}, Case{3, 36, 103, 0, false}}) {
        Canvas canvas(200, 200);
        car->SetCarIndex(c.car);
        car->SetCircleIndex(c.circle);
        car->Draw(&canvas.cdc);
        SCOPED_TRACE(c.car * 100 + c.circle);
        // The car centred on the position, the circle's corner at (x - 25, y - 25).
        EXPECT_EQ(canvas.At(100 - 16 + 20, 100 - 16 + 20), c.carTag ? Tag(c.carTag) : kWhite);
        EXPECT_EQ(canvas.At(75, 75), c.circleTag ? Tag(c.circleTag) : kWhite);
        EXPECT_EQ(canvas.At(78, 87), c.twoPiece ? Tag(141) : kWhite);
        // bcar0 lies inside the car's square, which covers it when a car is drawn.
        EXPECT_EQ(canvas.At(88, 93), c.twoPiece ? Tag(140) : (c.carTag ? Tag(c.carTag) : kWhite));
    }
    // Hue: the palette image (car 70) turns from red to green once drawn again; the others refuse.
    car->SetCarIndex(7);
    car->SetCircleIndex(40);
    Canvas before(200, 200);
    car->Draw(&before.cdc);
    EXPECT_EQ(before.At(100, 100), RGB(255, 0, 0));
    EXPECT_TRUE(car->SetCarHue(7, 80));
    Canvas after(200, 200);
    car->Draw(&after.cdc);
    EXPECT_EQ(after.At(100, 100), RGB(0, 255, 0));
    EXPECT_FALSE(car->SetCarHue(3, 80));  // 24-bit
    EXPECT_FALSE(car->SetCarHue(8, 80));  // two palette entries
    EXPECT_FALSE(car->SetCarHue(36, 80));
    EXPECT_FALSE(car->SetCarHue(-1, 80));
}

TEST_F(Indicators, GpsIconByFollowAndReception) {
    auto gps = Make<NaviGpsIcon>(u"Gps");
    enum { Cur = 170, VeryGood, Good, Bad, Disconnect };
    struct Case {
        bool follow;
        int reception;
        int tag;
    };
    for (const Case& c : {Case{false, -2, 0}, Case{false, -1, Cur}, Case{false, 0, Cur}, Case{false, 50, Cur},
                          Case{true, -2, 0}, Case{true, -1, Disconnect}, Case{true, 0, Bad}, Case{true, 74, Good},
                          Case{true, 75, VeryGood}}) {
        NaviCommand follow = Id(c.follow ? kCmdFollowCar : kCmdFollowOff);
        gps->ProcessCommand(follow);
        gps->SetReception(c.reception);
        Canvas canvas(40, 40);
        gps->Draw(&canvas.cdc);
        EXPECT_EQ(canvas.At(3, 3), c.tag ? Tag(c.tag) : kWhite) << c.follow << " " << c.reception;
    }
    EXPECT_FALSE(gps->SetFollowCar(true));
    EXPECT_TRUE(gps->SetFollowCar(false));
}

TEST_F(Indicators, VolumeAndReSearchMarksFollowTheScreenHeight) {
    auto volume = Make<NaviVolumeIcon>(u"Mute");
    EXPECT_EQ(volume->GetPos().y, 237);
    EXPECT_EQ(volume->GetPos().x, 4);
    volume->SetMuted(true);
    EXPECT_EQ(volume->GetPos().y, 202);
    volume->SetMuted(false);
    NaviCommand resize = Id(kCmdScreenSize, 240, 300);
    volume->ProcessCommand(resize);
    EXPECT_EQ(volume->GetPos().y, 217);
    NaviCommand hide = Id(kCmdSliderValue, 3);
    volume->ProcessCommand(hide);
    EXPECT_FALSE(volume->IsVisible());

    auto mark = Make<NaviReRouteMark>(u"ReRoute");
    auto traffic = Make<NaviTrafficReRouteMark>(u"TrafficUpdateRoute");
    EXPECT_EQ(mark->GetPos().y, 244);
    mark->ProcessCommand(resize);
    traffic->ProcessCommand(resize);
    EXPECT_EQ(mark->GetPos().y, 224);
    EXPECT_EQ(traffic->GetPos().y, 224);
    EXPECT_EQ(mark->GetPos().x, 186);
    traffic->Reposition(kCmdEventUpper);
    EXPECT_EQ(traffic->GetPos().y, 130);
    traffic->Reposition(105);
    EXPECT_EQ(traffic->GetPos().y, 130);

    // Combined off: traffic does not matter.
    struct Case {
        bool combined, automatic, traffic;
        const char16_t* image;
    };
    for (const Case& c : {Case{false, false, true, u"재탐색_수동"}, Case{false, true, true, u"재탐색_자동"},
                          Case{true, false, false, u"일반재탐색_수동"}, Case{true, false, true, u"교통재탐색_수동"},
                          Case{true, true, false, u"일반재탐색_자동"}, Case{true, true, true, u"교통재탐색_자동"}}) {
        mark->SetCombined(c.combined);
        mark->SetAutoSearch(c.automatic);
        mark->SetTraffic(c.traffic);
        EXPECT_EQ(std::u16string(NaviReRouteMark::ImageName(mark->ImageShown())), std::u16string(c.image));
    }
}

TEST_F(Indicators, RouteStateFramesAndSuppression) {
    auto anim = Make<NaviAnimImage>(u"RouteResult");
    for (auto [state, frame] : {std::pair{0, 0}, {1, 0}, {3, 2}, {4, 3}, {5, 0}}) {
        anim->SetState(state);
        EXPECT_EQ(anim->GetFrame(), frame);
    }
    anim->SetState(3);
    Canvas canvas(60, 120);
    anim->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(3, 73), Tag(192));
    anim->SetSetSelector(1);
    anim->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(3, 73), Tag(197));
    EXPECT_EQ(anim->HitTest(3, 73), 1);
    anim->SetSuppressed(true);
    EXPECT_EQ(anim->HitTest(3, 73), 0);
    canvas.Clear();
    anim->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(3, 73), kWhite);
}

TEST_F(Indicators, SafeZoneSignVisibility) {
    auto sign = Make<NaviSafeZoneMark>(u"SafeZone");
    sign->SetSpeed(60);
    struct Case {
        int second, distance, kind, roadClass, speed;
        bool visible;
    };
    for (const Case& c : {Case{0, 500, 1, 0, 60, false}, Case{1, 500, 1, 0, 60, true}, Case{1, 500, 4, 0, 60, false},
                          Case{1, 500, 1, 0, 4, false}, Case{1, 1000, 1, 1, 60, true}, Case{1, 1000, 1, 0, 60, false},
                          Case{1, 780, 1, 0, 60, true}, Case{1, 1101, 1, 1, 60, false}}) {
        sign->SetSpeed(c.speed);
        sign->SetAlert(1, c.second, 60, c.distance, c.kind, 0, 0, 0, c.roadClass);
        EXPECT_EQ(sign->IsAlertVisible(false), c.visible) << c.second << " " << c.distance << " " << c.kind;
    }
    sign->SetAlert(1, 1, 60, 500, 4, 0, 0, 0, 0);
    EXPECT_TRUE(sign->IsAlertVisible(true));
    for (auto [value, index] : {std::pair{125, 11}, {9, 0}, {60, 6}, {-5, 0}}) EXPECT_EQ(NaviSafeZoneMark::SignIndexFor(value), index);
}

TEST_F(Indicators, SafeZoneSignBlinksEightTicks) {
    auto sign = Make<NaviSafeZoneMark>(u"SafeZone");
    sign->SetSpeed(60);
    sign->SetAlert(1, 1, 60, 0, 2, 0, 0, 0, 0);
    Canvas canvas(240, 140);
    sign->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(183, 72), kWhite); // the display option is off
    sign->SetDisplayOption(true);
    sign->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(183, 72), Tag(156)); // "60" without the overlay yet
    for (int tick = 1; tick <= 8; ++tick) {
        sign->TickBlink();
        canvas.Clear();
        sign->Draw(&canvas.cdc);
        // Counter 0..6 for ticks 1..7 show "0" over the sign; the eighth ends the blink and the sign.
        EXPECT_EQ(canvas.At(183, 72), tick < 8 ? Tag(150) : kWhite) << tick;
    }
    EXPECT_EQ(sign->GetBlinkLimit(), 0);
    EXPECT_EQ(sign->GetBlinkCounter(), -1);
    // A far alert does not blink.
    sign->SetAlert(1, 1, 60, 300, 2, 0, 0, 0, 0);
    EXPECT_EQ(sign->GetBlinkLimit(), 0);
    NaviCommand forced = Id(kCmdSimulationOn);
    sign->SetDisplayOption(false);
    sign->ProcessCommand(forced);
    canvas.Clear();
    sign->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(183, 72), Tag(156));
}

TEST_F(Indicators, SafeZoneAlertFromAnotherThreadWhileDrawing) {
    auto sign = Make<NaviSafeZoneMark>(u"SafeZone");
    sign->SetSpeed(60);
    sign->SetDisplayOption(true);
    std::atomic<bool> stop{false};
    std::atomic<int> alerts{0};
    std::thread gps([&] {
        for (int i = 0; !stop.load(); ++i) {
            sign->SetAlert(1, 1, 10 * (i % 12), i % 200, 2, 0, 0, 0, 0);
            alerts.store(i + 1);
        }
    });
    Canvas canvas(240, 140);
    // Draw while the other thread sets alerts; it may start late, so drawing goes on until it has
    // set a good number of them.
    for (int i = 0; i < 200 || alerts.load() < 100; ++i) {
        sign->Draw(&canvas.cdc);
        sign->TickBlink();
    }
    stop = true;
    gps.join();
    int first = 0, second = 0, kind = 0;
    sign->GetAlert(&first, &second, &kind);
    EXPECT_EQ(kind, 2);
}

TEST_F(Indicators, TurnArrowDistanceTextAndImages) {
    for (auto [distance, text] : {std::pair{1005.0, u"990"}, {1010.0, u"1.0"}, {5.0, u"0"}, {1999.0, u"2.0"}, {-3.0, u"0"}})
        EXPECT_EQ(NaviGuideArrow::DistanceText(distance), CString(text)) << distance;
    auto arrow = Make<NaviGuideArrow>(u"Guide");
    EXPECT_TRUE(SameRect(arrow->GetRect(), RECT{176, 197, 238, 291}));
    arrow->GetDigits()->SetTransparent(false);
    arrow->SetTurn(24, 0);
    arrow->SetDistances(1005.0, -1);
    Canvas canvas(240, 320);
    arrow->Draw(&canvas.cdc);
    EXPECT_EQ(arrow->GetTurnCode(), 23);
    EXPECT_EQ(canvas.At(177, 198), Tag(220));
    // "990" from offset (62 - 45) / 2 = 8, 15 apart, at y + 61.
    EXPECT_EQ(canvas.At(176 + 8, 197 + 61), Tag(209));
    EXPECT_EQ(canvas.At(176 + 23, 197 + 61), Tag(209));
    EXPECT_EQ(canvas.At(176 + 38, 197 + 61), Tag(200));
    // "1.0" from (62 - 35) / 2 = 13: digit, point (5), digit.
    arrow->SetDistances(1010.0, -1);
    canvas.Clear();
    arrow->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(176 + 13, 197 + 61), Tag(201));
    EXPECT_EQ(canvas.At(176 + 28, 197 + 61), Tag(210));
    EXPECT_EQ(canvas.At(176 + 33, 197 + 61), Tag(200));
    // Bird's-eye: its own image, or the flat one when the skin has none.
    NaviCommand birdsEye = Id(kCmdViewMode, 2);
    arrow->ProcessCommand(birdsEye);
    arrow->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(177, 198), Tag(221));
    arrow->SetTurn(64, 0);
    arrow->Draw(&canvas.cdc);
    EXPECT_EQ(arrow->GetTurnCode(), 7);
    EXPECT_EQ(canvas.At(177, 198), Tag(222));
    // Nothing for the codes without arrows, far manoeuvres, or after the simulation stopped.
    for (auto [code, distance] : {std::pair{62, 100.0}, {23, 2000.0}, {66, 100.0}, {-1, 100.0}}) {
        arrow->SetTurn(code, 0);
        arrow->SetDistances(distance, -1);
        EXPECT_FALSE(arrow->HasTurnImage()) << code;
    }
    arrow->SetTurn(23, 0);
    arrow->SetDistances(100.0, -1);
    EXPECT_TRUE(arrow->HasTurnImage());
    NaviCommand off = Id(kCmdSimulationOff);
    arrow->ProcessCommand(off);
    EXPECT_FALSE(arrow->HasTurnImage());
    NaviCommand resize = Id(kCmdScreenSize, 240, 300);
    arrow->ProcessCommand(resize);
    EXPECT_EQ(arrow->GetPos().y, 177);
}

TEST_F(Indicators, DigitStringsRightAlignedSkipOtherCharacters) {
    NaviDigitPanel digits;
    digits.SetName(u"Guide");
    digits.SetTransparent(false);
    digits.LoadImages(&builder);
    Canvas canvas(120, 40);
    digits.DrawDistanceText(&canvas.cdc, u"1 2.5k", 100, 10);
    // From the right: km at 84 (y + 10), 5 at 74, point at 70 (y + 13), 2 at 60, 1 at 50.
    EXPECT_EQ(canvas.At(84, 20), Tag(211));
    EXPECT_EQ(canvas.At(74, 10), Tag(205));
    EXPECT_EQ(canvas.At(70, 23), Tag(210));
    EXPECT_EQ(canvas.At(60, 10), Tag(202));
    EXPECT_EQ(canvas.At(50, 10), Tag(201));
    EXPECT_EQ(canvas.At(49, 10), kWhite);
}

TEST_F(Indicators, DistanceBarImageByLevel) {
    auto bar = Make<NaviDistBar>(u"DistBar");
    EXPECT_EQ(bar->GetPos().y, 260);
    for (auto [value, image] : {std::pair{0, 0}, {1, 0}, {2, 0}, {3, 1}, {5, 2}, {6, 3}, {11, 8}, {12, 0}}) {
        Canvas canvas(60, 320);
        bar->DrawValue(&canvas.cdc, value);
        EXPECT_EQ(canvas.At(4, 261), Tag(231 + image)) << value;
    }
}

TEST_F(Indicators, EventBubbleHoldsRaisesAndFollowsItsText) {
    auto event = Make<NaviEventText>(u"EventString");
    Canvas canvas(240, 320);
    event->Draw(&canvas.cdc);
    EXPECT_TRUE(SameRect(event->GetRect(), RECT{0, 0, 0, 0})); // empty: nothing, rect kept

    NaviCommand hold = Id(kCmdEventHold, -1, -1, u"held");
    event->ProcessCommand(hold);
    NaviCommand other = Id(kCmdEventNormal, -1, -1, u"other");
    for (int redraw = 0; redraw < 2; ++redraw) {
        event->ProcessCommand(other);
        EXPECT_EQ(event->GetText(), CString(u"held"));
        event->Draw(&canvas.cdc);
    }
    event->ProcessCommand(other);
    EXPECT_EQ(event->GetText(), CString(u"other"));

    // Raised after 2004, 2000, 100: the bubble 67 above the bottom. 42 pixels of text: six tiles.
    for (int id : {kCmdMenuBasic, kCmdFollowCar, kCmdRouteIdle}) {
        NaviCommand cmd = Id(id);
        event->ProcessCommand(cmd);
    }
    EXPECT_TRUE(event->IsRaised());
    NaviCommand text = Id(kCmdEventNormal, -1, -1, u"ABCDEFG");
    event->ProcessCommand(text);
    canvas.Clear();
    event->Draw(&canvas.cdc);
    EXPECT_TRUE(SameRect(event->GetRect(), RECT{170, 253, 226, 278}));
    EXPECT_EQ(canvas.At(226, 253), Tag(33));  // right cap
    EXPECT_EQ(canvas.At(170, 253), Tag(13));  // left cap
    EXPECT_EQ(canvas.At(184, 253), Tag(23));  // the extra tile
    EXPECT_EQ(event->HitTest(200, 260), 1);
    NaviCommand highlight = Id(kCmdEventHighlight, -1, -1, u"ABCDEFG");
    event->ProcessCommand(highlight);
    EXPECT_EQ(event->HitTest(200, 260), 2);
    EXPECT_EQ(event->HitTest(100, 260), 0);

    // Simulating never raises; not following raises unless the basic menu shows a guided route.
    NaviCommand simulate = Id(kCmdSimulationOn);
    event->ProcessCommand(simulate);
    EXPECT_FALSE(event->IsRaised());
    for (int id : {kCmdSimulationOff, kCmdFollowOff, kCmdRouteGuiding}) {
        NaviCommand cmd = Id(id);
        event->ProcessCommand(cmd);
    }
    EXPECT_FALSE(event->IsRaised());
    NaviCommand advanced = Id(kCmdMenuAdvanced);
    event->ProcessCommand(advanced);
    EXPECT_TRUE(event->IsRaised());
}

TEST_F(Indicators, LevelBarImagesButtonsAndHits) {
    builder.SetImageGroup(u"Other");
    auto bar = Make<NaviLevelBar>(u"LevelBar");
    EXPECT_EQ(builder.GetImageGroup(), CString(u"LevelBar"));
    EXPECT_TRUE(SameRect(bar->GetRect(), RECT{209, 2, 238, 31}));
    bar->GetZoomIn()->SetTransparent(false);
    bar->GetZoomOut()->SetTransparent(false);
    struct Case {
        int level, image, zoomIn, zoomOut;
    };
    for (const Case& c : {Case{11, 9, 61, 62}, Case{1, 1, 60, 63}, Case{2, 1, 60, 63}, Case{6, 4, 60, 62}}) {
        Canvas canvas(240, 40);
        bar->DrawLevel(&canvas.cdc, c.level);
        EXPECT_EQ(canvas.At(210, 3), Tag(80 + c.image)) << c.level;
        EXPECT_EQ(canvas.At(148, 3), Tag(c.zoomIn)) << c.level;
        EXPECT_EQ(canvas.At(179, 3), Tag(c.zoomOut)) << c.level;
    }
    EXPECT_EQ(bar->HitTest(150, 10), 1);
    EXPECT_EQ(bar->HitTest(180, 10), 2);
    EXPECT_EQ(bar->HitTest(220, 10), 3);
    EXPECT_EQ(bar->HitTest(220, 40), 0);
    NaviCommand hide = Id(kCmdIndicatorHide);
    bar->ProcessCommand(hide);
    EXPECT_EQ(bar->HitTest(150, 10), 0);
    Canvas canvas(240, 40);
    bar->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
}

TEST_F(Indicators, ExLevelBarMapsTapsToLevels) {
    auto bar = Make<NaviExLevelBar>(u"ExLevelBar");
    EXPECT_TRUE(SameRect(bar->GetRect(), RECT{209, 2, 238, 210}));
    // Without a table no level is in use.
    bar->SetLevel(5);
    EXPECT_EQ(bar->GetCurrentPos(), -1);
    Canvas none(240, 240);
    bar->Draw(&none.cdc);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(none.At(210, 3 + 26 * i), Tag(91 + i));

    // Records 1, 2, 4, 5 and 7 in use (of 20 held: only 16 are read).
    std::vector<std::uint8_t> records(20 * 12, 0);
    for (int r : {1, 2, 4, 5, 7, 18}) records[(r - 1) * 12] = 1;
    bar->SetLevelTable(NaviLevelTable{records.data(), 20});
    EXPECT_EQ(bar->LevelToPosition(0), -1);
    EXPECT_EQ(bar->LevelToPosition(5), 3);
    EXPECT_EQ(bar->LevelToPosition(20), 4);
    EXPECT_EQ(bar->StepToLevel(6), -1);
    bar->SetLevel(2);
    EXPECT_EQ(bar->GetCurrentPos(), 1);
    EXPECT_EQ(bar->HitTest(215, 2 + 26 + 5), 20);
    EXPECT_EQ(bar->HitTest(215, 2 + 3 * 26 + 5), 5);
    EXPECT_EQ(bar->HitTest(215, 2 + 6 * 26 + 5), -1);
    EXPECT_EQ(bar->HitTest(215, 2 + 24 + 1), 0); // the gap between two buttons
    Canvas canvas(240, 240);
    bar->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(210, 3 + 26), Tag(242));

    // Every record in use: positions past the column have no highlighted image to draw.
    std::vector<std::uint8_t> all(16 * 12, 0);
    for (int r = 0; r < 16; ++r) all[r * 12] = 1;
    bar->SetLevelTable(NaviLevelTable{all.data(), 16});
    bar->SetLevel(16);
    EXPECT_EQ(bar->GetCurrentPos(), 15);
    Canvas past(240, 240);
    bar->Draw(&past.cdc);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(past.At(210, 3 + 26 * i), Tag(91 + i));

    std::vector<std::uint8_t> three(16 * 12, 0);
    for (int r : {1, 2, 4}) three[(r - 1) * 12] = 1;
    bar->SetLevelTable(NaviLevelTable{three.data(), 16});
    EXPECT_EQ(bar->LevelToPosition(5), 2);
}

TEST_F(Indicators, SkyViewPlotsSatellitesOnTheChart) {
    for (auto [elevation, azimuth, x, y] : {std::tuple{90, 0, 83, 98}, {90, 123, 83, 98}, {0, 90, 134, 98},
                                            {45, 180, 83, 123}, {0, 0, 83, 47}}) {
        const POINT p = NaviSkyView::ChartPoint(elevation, azimuth);
        EXPECT_EQ(p.x, x) << elevation << " " << azimuth;
        EXPECT_EQ(p.y, y) << elevation << " " << azimuth;
    }
    auto sky = Make<NaviSkyView>(u"SkyView");
    EXPECT_TRUE(SameRect(sky->GetRect(), RECT{77, 94, 89, 102}));
    GpsSatRecord record;
    Canvas canvas(240, 240);
    sky->SetSatellites(record);
    sky->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);

    record.inView = 2;
    record.elevations[0] = 90;
    record.used[0] = 1;
    record.elevations[1] = 0;
    record.azimuths[1] = 90;
    sky->SetSatellites(record);
    sky->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.At(83, 98), Tag(250));
    EXPECT_EQ(canvas.At(134, 98), Tag(251));
    EXPECT_EQ(sky->GetPos().x, 134);

    // A hidden view draws nothing but still moves; a count past the 12 slots reads 12.
    record.inView = static_cast<std::int8_t>(200);
    for (int i = 0; i < kMaxSatellites; ++i) record.elevations[i] = 90;
    record.elevations[11] = 45;
    record.azimuths[11] = 180;
    sky->SetSatellites(record);
    sky->SetVisible(false);
    canvas.Clear();
    sky->Draw(&canvas.cdc);
    EXPECT_EQ(canvas.Ink().right, 0);
    EXPECT_EQ(sky->GetPos().x, 83);
    EXPECT_EQ(sky->GetPos().y, 123);
}
