// The map window in a window system with a simulated clock: the order of the owner's hooks in
// the paint pipeline, the flat drag, split view, day and night, and the lookups at the centre.
#include "mapview/MapWnd.h"

#include "mapview/MapSymbolStandIn.h"
#include "mapview/tests/LayerBytes.h"
#include "platform/base/Clock.h"
#include "platform/files/tests/TempRoot.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/window/WindowHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kAreaColour = RGB(0, 128, 0);
constexpr double kHalfPi = 1.5707963267948966;

// An untiled area layer: one square over (0, 0)-(20000, 20000).
std::string AreaLayer() {
    LayerBytes b = LayerHeader(3, 0, 0, 0, 20000, 20000, 0, 0, 0, 0, 0, 0);
    b.i32(0).i32(0).i32(20000).i32(20000).u16(4);
    b.i32(0).i32(0).i32(20000).i32(0).i32(20000).i32(20000).i32(0).i32(20000);
    return Finish(b);
}

struct Label {
    int x, y;
    std::string text;
    unsigned live = 1;
};

// A tiled label layer of one 20000 x 20000 cell at the origin.
std::string LabelLayer(const std::vector<Label>& labels) {
    LayerBytes b = LayerHeader(1, 1, 0, 0, 20000, 20000, 1, 1, 20000, 20000, 0, 0);
    b.u32(54);
    for (const Label& l : labels) b.u8(l.live).u8(0).u8(0).u16(0xFFFF).i16(l.x).i16(l.y).u8(0).u8(0).text(l.text, 21);
    return Finish(b);
}

struct Feature {
    int x, y;
    std::string name;
    std::uint32_t number;
};

std::string FeatureLayer(const std::vector<Feature>& features) {
    LayerBytes b = LayerHeader(13, 1, 0, 0, 20000, 20000, 1, 1, 20000, 20000, 0, 0);
    b.u32(54);
    for (const Feature& f : features) {
        b.u8(7).u8(8).u8(9).u16(0xFFFF).i16(f.x).i16(f.y).u16(0).text(f.name, 20).u8(0).u32(f.number);
        b.text("second " + f.name, 20);
    }
    return Finish(b);
}

VARIANT Name(const char16_t* text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

std::vector<std::string> g_events;
bool g_failBitmapOnce = false;
void PrePaint() { g_events.push_back("pre"); }
void Overlay(CDC*, int, int pass) {
    g_events.push_back(std::to_string(pass));
    if (pass == 1 && g_failBitmapOnce) {
        g_failBitmapOnce = false;
        GdiFailNextBitmapCreations(2); // the next bitmap, compatible and DIB section alike
    }
}

class MapWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallClock(&m_clock);
        GdiUseBuiltinFont(true);
        g_events.clear();
        g_failBitmapOnce = false;
        root.MakeFile("AREA.MDC", AreaLayer());
        ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr,
                                   nullptr));
        map = std::make_unique<CMapWnd>();
        ASSERT_TRUE(map->Create(AfxRegisterWndClass(0), u"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 240, 320}, &frame, 111));
        WinDispatchPending();
    }
    void TearDown() override {
        map.reset();
        frame.DestroyWindow();
        WinResetForTests();
        GdiUseBuiltinFont(false);
        InstallClock(nullptr);
    }
    int Open(const char16_t* name) {
        VARIANT v = Name(name);
        map->OpenMapLayer(v, CMapWnd::kNextFreeIndex);
        const int index = map->FindLayerIndex(v);
        VariantClear(&v);
        return index;
    }
    // The area layer, shown in view 0 and coloured, in a flat view centred at (10000, 10000).
    void FlatAreaMap(double rotation = kHalfPi) {
        const int i = Open(u"AREA.MDC");
        ASSERT_EQ(i, 0);
        map->GetLayer(i)->SetColor(kAreaColour);
        map->ShowLayer(i, 1);
        map->SetViewMode(0);
        map->SetCenter(10000, 10000, rotation);
    }
    COLORREF ScreenAt(int x, int y) {
        WinComposeScreen();
        gdi::Bitmap* screen = gdi::Resolve<gdi::Bitmap>(GdiGetScreenBitmap());
        return screen ? screen->GetColor(x, y) : CLR_INVALID;
    }
    void SetLocalTime(int year, int month, int day, int hour, int minute) {
        SYSTEMTIME t{};
        t.wYear = static_cast<WORD>(year);
        t.wMonth = static_cast<WORD>(month);
        t.wDay = static_cast<WORD>(day);
        t.wHour = static_cast<WORD>(hour);
        t.wMinute = static_cast<WORD>(minute);
        m_clock.SetUtc(MillisecondsFromSystemTime(t) - 9 * 60 * 60000LL);
    }

    SimulatedClock m_clock{1'700'000'000'000LL, 9 * 60};
    TempRoot root;
    CWnd frame;
    std::unique_ptr<CMapWnd> map;
};

using Events = std::vector<std::string>;

TEST_F(MapWndTest, HooksRunInPaintOrderAndARepaintDoesNotRender) {
    FlatAreaMap();
    map->m_prePaintHook = PrePaint;
    map->m_paintHook = Overlay;
    map->RequestRedraw(1);
    EXPECT_EQ(g_events, (Events{"pre", "0", "1", "3"}));
    EXPECT_EQ(ScreenAt(120, 160), kAreaColour);
    g_events.clear();
    const int reads = map->GetLayer(0)->GetFileReadCount();
    map->RequestRedraw(0);
    EXPECT_EQ(g_events, (Events{"pre", "4"}));
    EXPECT_EQ(map->GetLayer(0)->GetFileReadCount(), reads);
    EXPECT_EQ(ScreenAt(120, 160), kAreaColour);
}

TEST_F(MapWndTest, WithoutASecondBitmapEveryPaintRendersIntoTheOne) {
    FlatAreaMap();
    map->m_prePaintHook = PrePaint;
    map->m_paintHook = Overlay;
    g_failBitmapOnce = true;
    map->RequestRedraw(1);
    EXPECT_EQ(g_events, (Events{"pre", "0", "1", "3"}));
    EXPECT_TRUE(map->IsSingleBitmap());
    EXPECT_EQ(ScreenAt(120, 160), kAreaColour);
    g_events.clear();
    map->RequestRedraw(0);
    EXPECT_EQ(g_events, (Events{"pre", "0", "3"}));
    EXPECT_EQ(ScreenAt(120, 160), kAreaColour);
}

TEST_F(MapWndTest, WhenNoBitmapCanBeMadeTheViewStaysMarked) {
    FlatAreaMap();
    map->m_paintHook = Overlay;
    GdiFailNextBitmapCreations(2);
    map->RequestRedraw(1);
    EXPECT_TRUE(g_events.empty());
    EXPECT_TRUE(map->ViewState(0).rerender);
    map->RequestRedraw(0); // bitmaps work again: the marked view renders
    EXPECT_EQ(g_events, (Events{"0", "1", "3"}));
    EXPECT_FALSE(map->ViewState(0).rerender);
}

TEST_F(MapWndTest, DuringADragRedrawsCentringAndOpeningAreIgnored) {
    FlatAreaMap();
    map->m_paintHook = Overlay;
    map->RequestRedraw(1);
    map->BeginDragScroll(10, 0, 20);
    ASSERT_TRUE(map->IsDragging());
    g_events.clear();
    map->RequestRedraw(1);
    EXPECT_TRUE(g_events.empty());
    map->SetCenter(0, 0, 0.0);
    EXPECT_EQ(map->ViewState(0).centreX, 10000);
    root.MakeFile("MORE.MDC", AreaLayer());
    VARIANT v = Name(u"MORE.MDC");
    map->OpenMapLayer(v, 5);
    VariantClear(&v);
    EXPECT_EQ(map->GetLayer(5), nullptr);
    map->EndDragScroll();
    // A size of height 0 changes only the stored size.
    map->SendMessage(WM_SIZE, 0, MAKELPARAM(100, 0));
    EXPECT_EQ(map->GetWindowWidth(), 100);
    EXPECT_EQ(map->ViewState(0).width, 240);
}

TEST_F(MapWndTest, FlatDragMovesByTheDraggedPixelsOverTheScale) {
    FlatAreaMap(kHalfPi);
    ASSERT_DOUBLE_EQ(map->ViewState(0).scaleFactor, 0.32);
    map->RequestRedraw(1);
    map->BeginDragScroll(10, 0, 20);
    WinRunFor(500); // 25 ticks
    EXPECT_EQ(map->GetSnapshotWidth(), 480);
    // The first snapshot lasts 24 ticks (240 pixels), the 25th moves the map by them:
    // 240 / 0.32 = 750 units east (rotation pi/2: east is right).
    EXPECT_EQ(map->ViewState(0).centreX, 10000 + 750);
    EXPECT_EQ(map->ViewState(0).centreY, 10000);
    map->m_paintHook = Overlay;
    g_events.clear();
    map->EndDragScroll();
    // The last tick's 10 pixels: trunc(10 / 0.32) = 31.
    EXPECT_EQ(map->ViewState(0).centreX, 10000 + 781);
    EXPECT_FALSE(map->IsDragging());
    EXPECT_EQ(g_events, (Events{"0", "1", "3"}));

    // A step of more than half the window starts nothing; the next drag starts afresh.
    map->BeginDragScroll(121, 0, 20);
    EXPECT_FALSE(map->IsDragging());
    map->BeginDragScroll(-10, 0, 20);
    WinRunFor(20);
    map->EndDragScroll();
    // trunc(10781 - 10 / 0.32) = trunc(10749.75)
    EXPECT_EQ(map->ViewState(0).centreX, 10749);
}

TEST_F(MapWndTest, SplitViewLaysOutPanesAndKeepsEachRendering) {
    FlatAreaMap();
    map->SetSplitView(0, 1.0); // off already: nothing
    EXPECT_FALSE(map->IsSplit());
    map->SetSplitView(1, 0.5);
    ASSERT_TRUE(map->IsSplit());
    EXPECT_EQ(map->ViewState(0).height, 160);
    EXPECT_EQ(map->ViewState(1).height, 160);
    map->SetSplitView(0, 0.3);
    EXPECT_EQ(map->ViewState(0).width, 72);
    EXPECT_EQ(map->ViewState(1).width, 168);
    EXPECT_EQ(map->ViewState(1).height, 320);
    map->SetSplitView(2, 0.5);
    EXPECT_EQ(map->ViewState(0).width, 72);

    // View 1: flat, the same centre, the area shown.
    map->SetActiveView(1);
    map->SetViewMode(0);
    map->SetCenter(10000, 10000, kHalfPi);
    map->ShowLayer(0, 1);
    std::int32_t x = 10000, y = 10000;
    map->PointToScreenInView(1, x, y);
    EXPECT_EQ(x, 72 + 84);
    EXPECT_EQ(y, 160);
    x = 10000, y = 10000;
    map->PointToScreenInView(0, x, y);
    EXPECT_EQ(x, 36);

    map->RequestRedraw(2);
    EXPECT_EQ(ScreenAt(36, 160), kAreaColour);
    EXPECT_EQ(ScreenAt(156, 160), kAreaColour);
    // Only the active view renders again; the other keeps its picture.
    map->RequestRedraw(1);
    EXPECT_EQ(ScreenAt(36, 160), kAreaColour);
    EXPECT_EQ(ScreenAt(156, 160), kAreaColour);

    map->SetSplitView(0, 1.0);
    EXPECT_FALSE(map->IsSplit());
    EXPECT_EQ(map->ViewState(0).width, 240);
}

TEST_F(MapWndTest, NightByTheMonthTableTheUserHoursAndTheCorrection) {
    struct Case {
        int month, hour, minute, night;
    } table[] = {{1, 7, 59, 1}, {1, 8, 0, 0}, {1, 17, 59, 0}, {1, 18, 0, 1},
                 {6, 5, 30, 1}, {6, 6, 0, 0}, {6, 20, 0, 1}};
    for (const Case& c : table) {
        SetLocalTime(2026, c.month, 10, c.hour, c.minute);
        EXPECT_EQ(map->IsNightTime(), c.night) << c.month << " " << c.hour << ":" << c.minute;
    }
    map->SetNightHours(1, 19, 6);
    Case user[] = {{3, 5, 59, 1}, {3, 6, 0, 0}, {3, 18, 59, 0}, {3, 19, 0, 1}};
    for (const Case& c : user) {
        SetLocalTime(2026, c.month, 10, c.hour, c.minute);
        EXPECT_EQ(map->IsNightTime(), c.night) << c.hour << ":" << c.minute;
    }
    map->SetNightHours(1, 0, 0);
    for (int hour : {0, 12, 23}) {
        SetLocalTime(2026, 6, 10, hour, 0);
        EXPECT_EQ(map->IsNightTime(), 1) << hour;
    }
    // The table rule at 18:30 in January is night; corrected by -3600 s it tests 17:30, day.
    map->SetNightHours(0, 0, 0);
    SetLocalTime(2026, 1, 10, 18, 30);
    EXPECT_EQ(map->IsNightTime(), 1);
    map->SetTimeCorrection(-3600);
    EXPECT_EQ(map->IsNightTime(), 0);
}

TEST_F(MapWndTest, StarsComeFromTheSeedAndStayInTheSky) {
    map->SetViewMode(1);
    map->SetBirdViewDistance(130);
    const MapViewState& v = map->ViewState(0);
    ASSERT_GT(v.horizonRow, 0);
    map->SetStarSeed(7);
    map->PlaceStars();
    std::vector<POINT> first(map->GetStars(0), map->GetStars(0) + CMapWnd::kStars);
    for (const POINT& s : first) {
        EXPECT_GE(s.x, 0);
        EXPECT_LT(s.x, v.width);
        EXPECT_GE(s.y, 0);
        EXPECT_LT(s.y, v.horizonRow);
    }
    map->SetStarSeed(7);
    map->PlaceStars();
    for (int i = 0; i < CMapWnd::kStars; ++i) {
        EXPECT_EQ(map->GetStars(0)[i].x, first[i].x);
        EXPECT_EQ(map->GetStars(0)[i].y, first[i].y);
    }
    // Without width there is no sky to place stars in.
    map->SendMessage(WM_SIZE, 0, MAKELPARAM(0, 320));
    map->PlaceStars();
}

TEST_F(MapWndTest, LayersAreFoundByFoldedNamesAndShownWithinRange) {
    root.MakeFile("MAP/ROAD.MDC", AreaLayer());
    VARIANT v = Name(u"map\\road.mdc");
    map->OpenMapLayer(v, 3);
    VariantClear(&v);
    VARIANT lower = Name(u"map\\Road.mdc");
    EXPECT_EQ(map->FindLayerIndex(lower), 3);
    EXPECT_EQ(std::u16string(lower.bstrVal), u"MAP\\ROAD.MDC");
    EXPECT_EQ(map->FindLayer(lower), map->GetLayer(3));
    VariantClear(&lower);
    VARIANT none = Name(u"MAP\\NONE.MDC");
    EXPECT_EQ(map->FindLayerIndex(none), -1);
    EXPECT_EQ(map->FindLayer(none), nullptr);
    map->OpenMapLayer(none, 4); // no such file: nothing added
    EXPECT_EQ(map->GetLayer(4), nullptr);
    VariantClear(&none);
    EXPECT_EQ(map->GetHighestLayerIndex(), 3);
    // The next free index follows the highest; indices past 99 are refused.
    EXPECT_EQ(Open(u"AREA.MDC"), 4);
    VARIANT far = Name(u"AREA.MDC");
    map->OpenMapLayer(far, 100);
    VariantClear(&far);
    EXPECT_EQ(map->GetHighestLayerIndex(), 4);
    map->ShowLayer(100, 1);
    EXPECT_FALSE(map->IsLayerShown(0, 100));
    map->ShowLayer(3, 1);
    EXPECT_TRUE(map->IsLayerShown(0, 3));
    map->ShowLayer(3, 2);
    EXPECT_FALSE(map->IsLayerShown(0, 3));
}

TEST_F(MapWndTest, RectanglesOutsideOneSideAreNotVisible) {
    FlatAreaMap();
    // The view spans 240 / 0.32 = 750 units across and 1000 up and down around (10000, 10000).
    EXPECT_EQ(map->IsRectVisible(9000, 9500, 9900, 10100), 0); // left of the view
    EXPECT_EQ(map->IsRectVisible(5000, 15000, 5000, 15000), 1); // covers it
    EXPECT_EQ(map->IsRectVisible(9990, 10010, 9990, 10010), 1); // inside
    EXPECT_EQ(map->IsRectVisible(9000, 9500, 5000, 15000), 0);
    map->SetViewMode(2);
    EXPECT_EQ(map->IsRectVisible(5000, 15000, 5000, 15000), 0);
}

TEST_F(MapWndTest, NearestLabelSkipsNumbersAndIsCutOnACharacterBoundary) {
    struct Case {
        std::string first, second, expected;
    } cases[] = {
        {"3rd street", "Alpha", "Alpha"}, // 1..8 never proposed
        {"0 point", "Alpha", "0 point"},
        {"9 point", "Alpha", "9 point"},
    };
    for (const Case& c : cases) {
        TempRoot local;
        local.MakeFile("LABELS.MDC", LabelLayer({{10000, 10000, c.first}, {10100, 10000, c.second}}));
        CMapWnd window;
        VARIANT v = Name(u"LABELS.MDC");
        window.OpenMapLayer(v, 0);
        VariantClear(&v);
        window.SetViewMode(0);
        window.SetCenter(10000, 10000, kHalfPi);
        char text[21];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(window.GetNearestLabel(text), 1);
        EXPECT_EQ(std::string(text), c.expected);
    }
    // A 21-byte name of Korean characters is cut to ten of them (20 bytes) and terminated; a
    // label beyond 500 units is not considered.
    TempRoot local;
    std::string longName;
    for (int i = 0; i < 10; ++i) longName += "\xB0\xA1"; // CP949 "가"
    longName += "Z";
    local.MakeFile("LABELS.MDC", LabelLayer({{10400, 10400, longName}, {10501, 10000, "Far"}}));
    CMapWnd window;
    VARIANT v = Name(u"LABELS.MDC");
    window.OpenMapLayer(v, 0);
    VariantClear(&v);
    window.SetViewMode(0);
    window.SetCenter(10000, 10000, kHalfPi);
    char text[21];
    std::memset(text, 'x', sizeof text);
    window.GetNearestLabel(text);
    EXPECT_EQ(std::string(text), longName.substr(0, 20));
}

TEST_F(MapWndTest, NearestFeaturesKeepTwoInOrderOfDistance) {
    root.MakeFile("POI.MDC", FeatureLayer({{10100, 10000, "A", 1},
                                           {10000, 10100, "B", 2},   // as far as A, found later
                                           {10300, 10000, "C", 3},   // farther: never enters
                                           {10000, 10600, "Out", 4}})); // outside +-555 in y
    const int i = Open(u"POI.MDC");
    ASSERT_GE(i, 0);
    map->SetViewMode(0);
    map->SetCenter(10000, 10000, kHalfPi);
    MapFeatureInfo list[2];
    // Hidden, the layer is chosen by name; a shorter name matches nothing.
    EXPECT_EQ(map->FindNearestFeature(list, "POI"), 0);
    EXPECT_EQ(map->FindNearestFeature(list, "POI.MDC"), 3);
    EXPECT_STREQ(list[0].name, "B");
    EXPECT_STREQ(list[1].name, "A");
    EXPECT_EQ(list[0].distance, 100);
    EXPECT_EQ(list[0].number, 2);
    EXPECT_STREQ(list[0].text2, "second B");
    EXPECT_EQ(list[0].flags[0], 7);
    EXPECT_EQ(list[0].flags[2], 9);
    // Flat, rotation pi/2, scale 0.32, fixed point: the matrix entry is trunc(0.32 * 32768) =
    // 10485, so 100 units north are 1048500 / 32768 = 31 pixels above the middle.
    EXPECT_EQ(list[0].screenX, 120);
    EXPECT_EQ(list[0].screenY, 160 - 31);

    // A nearer one pushes slot 1 out.
    root.MakeFile("NEAR.MDC", FeatureLayer({{10000, 10050, "Near", 5}}));
    CMapWnd other;
    VARIANT v = Name(u"NEAR.MDC");
    other.OpenMapLayer(v, 0);
    VariantClear(&v);
    other.ShowLayer(0, 1);
    other.SetViewMode(0);
    other.SetCenter(10000, 10000, kHalfPi);
    EXPECT_EQ(other.FindNearestFeature(list, nullptr), 1);
    EXPECT_STREQ(list[0].name, "Near");
    EXPECT_STREQ(list[1].name, "B");

    // During a drag nothing is searched and the list stays.
    map->BeginDragScroll(10, 0, 20);
    MapFeatureInfo empty[2];
    EXPECT_EQ(map->FindNearestFeature(empty, "POI.MDC"), 0);
    EXPECT_EQ(empty[0].distance, -1);
    char text[21] = "kept";
    EXPECT_EQ(map->GetNearestLabel(text), 0);
    EXPECT_STREQ(text, "kept");
    map->EndDragScroll();
}

TEST_F(MapWndTest, PolylinesAndArraysDrawThroughTheView) {
    FlatAreaMap();
    map->RequestRedraw(1);
    CClientDC dc(map.get());
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* old = dc.SelectObject(&pen);
    SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 4);
    auto* values = static_cast<std::int32_t*>(array->pvData);
    // (9900, 10000) to (10100, 10000): 64 pixels along the middle row.
    values[0] = 9900;
    values[1] = 10000;
    values[2] = 10100;
    values[3] = 10000;
    EXPECT_EQ(map->DrawPolylineArray(&dc, array), S_OK);
    EXPECT_LT(map->DrawPolylineArray(&dc, nullptr), 0);
    EXPECT_EQ(array->cLocks, 0u);
    SafeArrayDestroy(array);
    map->DrawPolyline(&dc, nullptr, 0); // nothing
    dc.SelectObject(old);
    EXPECT_EQ(dc.GetPixel(120, 160), COLORREF(RGB(255, 0, 0)));
    EXPECT_EQ(dc.GetPixel(100, 160), COLORREF(RGB(255, 0, 0)));
    EXPECT_EQ(dc.GetPixel(120, 150), kAreaColour);
}

TEST_F(MapWndTest, BirdsEyePolylineLeavingAndReenteringIsDrawnInTwoPieces) {
    FlatAreaMap();
    map->SetViewMode(1);
    map->SetBirdViewDistance(130);
    map->SetCenter(10000, 10000, kHalfPi); // looking north
    map->RequestRedraw(1);
    map->ComputeVisibleArea();
    const MapViewState& v = map->ViewState(0);
    // Ahead, far behind the camera, ahead again: the line leaves the view through the near
    // plane and enters it again, so the two visible pieces are not joined across the bottom.
    const POINT pts[3] = {{9950, 10000}, {10000, v.originY - 5000}, {10050, 10000}};
    CClientDC dc(map.get());
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* old = dc.SelectObject(&pen);
    map->DrawPolyline(&dc, pts, 3);
    dc.SelectObject(old);
    int red = 0, middleRed = 0;
    for (int x = 0; x < 240; ++x)
        for (int y = v.horizonRow; y < 320; ++y)
            if (dc.GetPixel(x, y) == COLORREF(RGB(255, 0, 0))) {
                ++red;
                if (x > 110 && x < 130 && y > 300) ++middleRed;
            }
    EXPECT_GT(red, 0);
    EXPECT_EQ(middleRed, 0);
}

TEST_F(MapWndTest, SettersIgnoreWhatIsOutOfRangeAndAddressTheActiveViewWhileSplit) {
    FlatAreaMap();
    const double scale = map->ViewState(0).scaleFactor;
    map->SetScale(0.0);
    EXPECT_EQ(map->ViewState(0).scaleFactor, scale);
    map->SetCenterOffset(1.5, 0.0);
    EXPECT_EQ(map->ViewState(0).offsetRatioX, 0.0);
    map->SetCenterOffset(-1.0, 1.0);
    EXPECT_EQ(map->ViewState(0).offsetRatioX, -1.0);
    map->SetLevelMasks(3, 32, 0x105); // the low byte counts: 0x105 is level 5
    EXPECT_EQ(map->GetLevelMask(0, 0), 8);
    EXPECT_EQ(map->GetLevelMask(0, 1), 0);
    EXPECT_EQ(map->GetLevelMask(0, 2), 32);
    // The map box is 20000 wide: value 0.5 spans half of it, 10000 units over 240 pixels.
    map->SetScale(0.5);
    EXPECT_DOUBLE_EQ(map->ViewState(0).scaleFactor, 240.0 / 0.5 / 20000.0);

    map->SetSplitView(0, 0.5);
    map->SetActiveView(1);
    map->SetViewMode(0);
    map->SetScale(0.5); // weighted by the pane's share: 120 pixels over 0.25 of the map
    EXPECT_DOUBLE_EQ(map->ViewState(1).scaleFactor, 120.0 / 0.25 / 20000.0);
    map->SetTrafficOffset(700);
    map->SetCenter(5000, 6000, 0.0);
    EXPECT_EQ(map->ViewState(1).centreX, 5000);
    EXPECT_EQ(map->ViewState(0).centreX, 10000);
    std::int32_t x = 0, y = 0;
    map->GetCenter(x, y);
    EXPECT_EQ(x, 5000);
    EXPECT_EQ(map->GetCurrentView(), 0);
}

TEST_F(MapWndTest, OwnerDrawnViewsCallTheOwnerInsteadOfTheLayers) {
    FlatAreaMap();
    map->m_paintHook = Overlay;
    map->m_ownerDrawHook = [](CDC* dc, int width, int height) {
        g_events.push_back("owner " + std::to_string(width) + "x" + std::to_string(height));
        const RECT all{0, 0, width, height};
        dc->FillSolidRect(&all, RGB(1, 2, 3));
    };
    map->SetViewMode(2);
    map->RequestRedraw(1);
    EXPECT_EQ(g_events, (Events{"owner 240x320", "1", "3"}));
    EXPECT_EQ(ScreenAt(10, 10), COLORREF(RGB(1, 2, 3)));
    std::int32_t x = 10000, y = 10000;
    map->PointToScreen(x, y); // unchanged in this mode
    EXPECT_EQ(x, 10000);
}

TEST_F(MapWndTest, ScrollingByHandMovesThePictureAndTheCentre) {
    FlatAreaMap();
    map->RequestRedraw(1);
    map->ScrollBy(32, 0); // 32 pixels at 0.32: 100 units east
    EXPECT_EQ(map->ViewState(0).centreX, 10100);
    map->ScrollBy(-64, 0);
    EXPECT_EQ(map->ViewState(0).centreX, 9900);
    map->SetSplitView(0, 0.5);
    map->ScrollBy(32, 0); // not while split
    EXPECT_EQ(map->ViewState(0).centreX, 9900);
}

TEST_F(MapWndTest, PenDownAndUpReachTheOwnersHook) {
    map->m_mouseHook = [](UINT message, UINT, int x, int y) {
        g_events.push_back(std::to_string(message) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    WinInjectPen(WM_LBUTTONDOWN, 30, 40);
    WinInjectPen(WM_LBUTTONUP, 31, 41);
    WinDispatchPending();
    EXPECT_EQ(g_events, (Events{"513 30,40", "514 31,41"}));
}

TEST_F(MapWndTest, LayersOpenAgainUnderAnotherFolder) {
    FlatAreaMap();
    root.MakeFile("COPY/AREA.MDC", AreaLayer());
    EXPECT_EQ(map->ReopenLayers(u"COPY"), 1);
    EXPECT_EQ(map->ReopenLayers(u"MISSING\\"), 0);
}

} // namespace
