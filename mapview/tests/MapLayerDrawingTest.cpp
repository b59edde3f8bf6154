// The layer drawing on hand-written layers, straight into a memory bitmap: what comes above
// what, what a drag leaves out, traffic links and their tails, grids that start inside the
// view, and the colours of label texts.
#include "mapview/MapWnd.h"

#include "mapview/MapSymbolStandIn.h"
#include "mapview/tests/LayerBytes.h"
#include "platform/files/tests/TempRoot.h"
#include "traffic/receiver/tests/TrafficTestStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kCongested = RGB(255, 0, 128);

std::string AreaLayer() {
    LayerBytes b = LayerHeader(3, 0, 0, 0, 20000, 20000, 0, 0, 0, 0, 0, 0);
    b.i32(0).i32(0).i32(20000).i32(20000).u16(4);
    b.i32(0).i32(0).i32(20000).i32(0).i32(20000).i32(20000).i32(0).i32(20000);
    return Finish(b);
}

// One cell of 20000 x 20000 at the origin holding the given records.
std::string OneCell(unsigned kind, const LayerBytes& records) {
    LayerBytes b = LayerHeader(kind, 1, 0, 0, 20000, 20000, 1, 1, 20000, 20000, 0, 0);
    b.u32(54);
    b.s += records.s;
    return Finish(b);
}

LayerBytes LabelRecord(int symbol, int x, int y, const std::string& text) {
    LayerBytes r;
    r.u8(symbol).u8(0).u8(0).u16(0xFFFF).i16(x).i16(y).u8(0).u8(0).text(text, 21);
    return r;
}

LayerBytes SymbolRecord(int symbol, int x, int y) {
    LayerBytes r;
    r.u8(symbol).u8(0).u16(0xFFFF).i16(x).i16(y);
    return r;
}

// Link 3 from (9900, 10000) to (10100, 10000), offset to the north, its tail pointing east.
LayerBytes TrafficRecord(bool noTail) {
    LayerBytes r;
    r.u16(3).i16(9900).i16(10000).i16(10100).i16(10000).u16(2 | (noTail ? 0x8000 : 0));
    r.i16(9900).i16(10000).i16(10100).i16(10000);
    r.u8(0).u8(125).u8(0).u8(125).u8(125).u8(0);
    return r;
}

class LayerDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        GdiUseBuiltinFont(true);
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, 240, 320);
        old = dc.SelectObject(&bitmap);
        map.OnSize(0, 240, 320);
        map.SetBackColor(kBlack);
        map.SetSymbolManager(&symbols);
    }
    void TearDown() override {
        dc.SelectObject(old);
        traffictest::CloseStore();
        GdiUseBuiltinFont(false);
    }
    int Open(const std::string& file, const std::string& content) {
        root.MakeFile(file, content);
        VARIANT v;
        v.vt = VT_BSTR;
        std::u16string name(file.begin(), file.end());
        for (char16_t& c : name)
            if (c == u'/') c = u'\\';
        v.bstrVal = SysAllocString(name.c_str());
        map.OpenMapLayer(v, CMapWnd::kNextFreeIndex);
        const int i = map.FindLayerIndex(v);
        VariantClear(&v);
        map.ShowLayer(i, 1);
        return i;
    }
    void Flat() {
        map.SetViewMode(0);
        map.SetLevelMasks(8, 8, 8);
        map.SetCenter(10000, 10000, kHalfPi);
    }
    void Draw() {
        const RECT all{0, 0, 240, 320};
        dc.FillSolidRect(&all, kBlack);
        dc.SetBkMode(TRANSPARENT);
        map.DrawMapLayers(&dc);
    }
    int CountColour(COLORREF c, const RECT& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += dc.GetPixel(x, y) == c;
        return n;
    }

    TempRoot root;
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    CMapWnd map;
    CMapSymbolStandIn symbols;
};

TEST_F(LayerDrawingTest, LabelsComeAboveAreasEvenFromEarlierLayers) {
    const int labels = Open("LABELS.MDC", OneCell(1, LabelRecord(5, 10000, 10000, "")));
    const int area = Open("AREA.MDC", AreaLayer());
    ASSERT_LT(labels, area);
    map.GetLayer(area)->SetColor(kGreen);
    Flat();
    Draw();
    // The preloaded symbol is a 12 x 12 square centred on the label's point.
    EXPECT_EQ(dc.GetPixel(115, 155), COLORREF(RGB(60, 90, 200)));
    EXPECT_EQ(dc.GetPixel(100, 100), kGreen);
}

TEST_F(LayerDrawingTest, ADragLeavesOutSymbolsButNotLabels) {
    Open("LABELS.MDC", OneCell(1, LabelRecord(5, 10000, 10000, "")));
    Open("SYMBOLS.MDC", OneCell(4, SymbolRecord(6, 10100, 10000)));
    Flat();
    Draw();
    ASSERT_EQ(symbols.Calls().size(), 2u);
    symbols.ClearCalls();
    map.BeginDragScroll(10, 0, 20); // no window: only the drag state
    Draw();
    ASSERT_EQ(symbols.Calls().size(), 1u);
    EXPECT_EQ(symbols.Calls()[0].n, 5);
    map.EndDragScroll();
}

TEST_F(LayerDrawingTest, UnknownKindsDrawNothing) {
    LayerBytes junk;
    for (int i = 0; i < 64; ++i) junk.u8(0x55);
    Open("ODD.MDC", OneCell(9, junk));
    Flat();
    Draw();
    EXPECT_EQ(CountColour(kBlack, RECT{0, 0, 240, 320}), 240 * 320);
    EXPECT_TRUE(symbols.Calls().empty());
}

TEST_F(LayerDrawingTest, TrafficLinksNeedASpeedAndTheirTailTheArrowsSwitch) {
    Open("DARC.MDC", OneCell(8, TrafficRecord(false)));
    Flat();
    // Offset 40 units north: 40 * trunc(0.32 * 32768) / 32768 = 12 pixels above the middle; the
    // link's end is 31 pixels right of the middle, its tail (125 units) reaches 71.
    Draw();
    EXPECT_EQ(CountColour(kCongested, RECT{0, 0, 240, 320}), 0);
    traffictest::OpenStore(8);
    traffictest::SetSpeed(3, 5);
    Draw();
    EXPECT_EQ(dc.GetPixel(130, 148), kCongested);
    EXPECT_EQ(dc.GetPixel(170, 148), kCongested);
    EXPECT_EQ(dc.GetPixel(130, 160), kBlack);
    map.SetTrafficArrows(0);
    Draw();
    EXPECT_EQ(dc.GetPixel(130, 148), kCongested);
    EXPECT_EQ(dc.GetPixel(170, 148), kBlack);
}

TEST_F(LayerDrawingTest, AGridStartingInsideTheViewStillDrawsItsFirstColumn) {
    // A tiled area layer whose grid starts at x 9800, right of the view's left edge (9625).
    LayerBytes b = LayerHeader(3, 1, 9800, 9000, 10800, 11000, 1, 1, 1000, 2000, 9800, 9000);
    b.u32(54);
    b.i16(0).i16(0).i16(1000).i16(2000).u16(4);
    b.i16(0).i16(0).i16(1000).i16(0).i16(1000).i16(2000).i16(0).i16(2000);
    const int i = Open("PARK.MDC", Finish(b));
    map.GetLayer(i)->SetColor(kGreen);
    Flat();
    Draw();
    EXPECT_EQ(dc.GetPixel(120, 160), kGreen);
    EXPECT_EQ(dc.GetPixel(10, 160), kBlack); // west of the grid
}

TEST_F(LayerDrawingTest, ShieldNumbersStayWhiteWhenTheMapHasATextColour) {
    Open("POINT/GOVERNROADNUM.MDC", OneCell(1, LabelRecord(0, 10000, 10000, "60")));
    Open("NAMES.MDC", OneCell(1, LabelRecord(0, 10000, 9000, "60")));
    map.SetTextColor(RGB(0, 0, 255));
    map.SetSymbolManager(nullptr); // texts still show
    Flat();
    Draw();
    // The shield's text lies below and right of its point; the other label is far below.
    EXPECT_GT(CountColour(RGB(255, 255, 255), RECT{120, 160, 140, 175}), 0);
    EXPECT_EQ(CountColour(RGB(0, 0, 255), RECT{120, 160, 140, 175}), 0);
    EXPECT_EQ(dc.GetTextColor(), COLORREF(0)); // the previous text colour is put back
}

TEST_F(LayerDrawingTest, OtherLabelsTakeTheMapsTextColour) {
    Open("POINT/GOVERNROADNUM.MDC", OneCell(1, LabelRecord(0, 10000, 10200, "60")));
    Open("NAMES.MDC", OneCell(1, LabelRecord(0, 10000, 10000, "60")));
    map.SetTextColor(RGB(0, 0, 255));
    map.SetSymbolManager(nullptr);
    Flat();
    Draw();
    EXPECT_GT(CountColour(RGB(0, 0, 255), RECT{120, 160, 140, 175}), 0);
    EXPECT_EQ(CountColour(RGB(255, 255, 255), RECT{120, 160, 140, 175}), 0);
}

TEST_F(LayerDrawingTest, BirdsEyeLabelsAreDrawnOutlinedAfterTheSky) {
    Open("LABELS.MDC", OneCell(1, LabelRecord(5, 10000, 10000, "ABC")));
    map.SetViewMode(1);
    map.SetBirdViewDistance(130);
    map.SetLevelMasks(8, 8, 8);
    map.SetCenter(10000, 10000, kHalfPi);
    Draw();
    ASSERT_EQ(symbols.Calls().size(), 1u);
    const int x = symbols.Calls()[0].x, y = symbols.Calls()[0].y;
    // Black text with a white outline right and below the point.
    EXPECT_GT(CountColour(RGB(255, 255, 255), RECT{x, y, x + 24, y + 14}), 0);
    EXPECT_GT(CountColour(kBlack, RECT{x, y, x + 24, y + 14}), 0);
    // Above the horizon: the day or night sky.
    const COLORREF sky = dc.GetPixel(2, 2);
    EXPECT_TRUE(sky == COLORREF(CMapWnd::kDaySky) || sky == COLORREF(CMapWnd::kNightSky));
}

TEST_F(LayerDrawingTest, AnUntiledLabelWithSymbolOneShowsItsSymbolOnlyInTheBirdsEyeView) {
    LayerBytes b = LayerHeader(1, 0, 0, 0, 20000, 20000, 0, 0, 0, 0, 0, 0);
    b.u8(1).u8(0).u8(0).u16(0xFFFF).i32(10000).i32(10000).u8(0).u8(0).text("A", 21);
    Open("TOWNS.MDC", Finish(b));
    Flat();
    Draw();
    EXPECT_TRUE(symbols.Calls().empty());
    map.SetViewMode(1);
    map.SetBirdViewDistance(130);
    map.SetCenter(10000, 10000, kHalfPi);
    Draw();
    ASSERT_EQ(symbols.Calls().size(), 1u);
    EXPECT_EQ(symbols.Calls()[0].routine, "DisSymbol");
    EXPECT_EQ(symbols.Calls()[0].n, 1);
}

TEST_F(LayerDrawingTest, BirdsEyeZonesUseCoarserMasksFarther) {
    // Mask bit 3 only: shown where level mask 3 applies (the whole ground), not nearer.
    LayerBytes records;
    records.u8(5).u8(0).u8(0).u16(1 << 3).i16(10000).i16(10000).u8(0).u8(0).text("", 21);
    Open("LABELS.MDC", OneCell(1, records));
    map.SetViewMode(1);
    map.SetBirdViewDistance(130);
    map.SetCenter(10000, 10000, kHalfPi);
    map.SetLevelMasks(1, 2, 3);
    Draw();
    EXPECT_EQ(symbols.Calls().size(), 1u);
    symbols.ClearCalls();
    map.SetLevelMasks(3, 1, 1); // near two thirds: the centre lies there too
    Draw();
    EXPECT_EQ(symbols.Calls().size(), 1u);
    symbols.ClearCalls();
    map.SetLevelMasks(1, 1, 1);
    Draw();
    EXPECT_TRUE(symbols.Calls().empty());
}

} // namespace
