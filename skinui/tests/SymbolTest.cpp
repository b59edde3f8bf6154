// The map symbol manager: where each kind of symbol lands, lazy loading, and the refusals.
#include "SkinTestSupport.h"

#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviSymbolManager.h"

namespace {

// Solid images whose top-left pixel is not the key colour: the manager draws transparently, so
// each image is drawn with a one-pixel key corner (cut) and the rest solid.
Bytes Marked(int w, int h, COLORREF c) {
    return RgbPng(w, h, [c](int x, int y) { return x == 0 && y == 0 ? RGB(31, 127, 255) : c; });
}

class SymbolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<ArchiveEntry> entries = {
            {"Symbol\\S15", Marked(6, 6, RGB(200, 0, 0))},
            {"Symbol\\S3", Marked(14, 28, RGB(0, 0, 200))},
            {"DisSymbol\\001", Marked(24, 20, RGB(0, 120, 0))},
            {"DisSymbol\\005", Marked(10, 10, RGB(0, 0, 0))},
            {"DisSymbol\\Landmark\\007", Marked(20, 30, RGB(90, 0, 90))},
            {"DisSymbol\\Landmark\\256", Marked(8, 8, RGB(90, 90, 0))},
            {"POIBAR\\003", Marked(5, 5, RGB(0, 90, 90))},
            {"Interest\\icon\\Map\\004", Marked(9, 9, RGB(1, 2, 3))},
            {Cp949(u"Interest\\icon\\Map\\스피커"), Marked(4, 4, RGB(250, 250, 0))},
        };
        const Bytes b = ArchiveBytes(entries, static_cast<int>(entries.size()));
        root.MakeFile("res/ResData.bin", std::string(b.begin(), b.end()));
        builder.OpenSkin(u"\\res");
        manager.LoadImages(&builder);
    }
    TempRoot root;
    NaviRcBuilder builder;
    NaviSymbolManager manager;
    Canvas canvas{240, 320};
};

} // namespace

TEST_F(SymbolTest, FallbackSymbolAndCentredSymbols) {
    manager.DrawDisSymbol(canvas.dc, -1, 50, 60);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{50, 60, 56, 66})); // S15 unshifted
    EXPECT_EQ(canvas.At(50, 60), RGB(255, 255, 255));           // its key corner cut

    canvas.Clear();
    EXPECT_EQ(manager.DisSymbolCount(), 1);
    manager.DrawDisSymbol(canvas.dc, 1, 100, 100); // past the table: loads, draws nothing
    EXPECT_EQ(canvas.Ink().right, 0);
    EXPECT_EQ(manager.DisSymbolCount(), 2);
    manager.DrawDisSymbol(canvas.dc, 1, 100, 100);
    // 24 x 20: half of the height, 10, off both coordinates.
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{90, 90, 114, 110}));

    canvas.Clear();
    manager.DrawDisSymbol(canvas.dc, 4, 100, 100); // loads 2..4, none has an image
    manager.DrawDisSymbol(canvas.dc, 4, 100, 100);
    EXPECT_EQ(canvas.Ink().right, 0);
    EXPECT_EQ(manager.DisSymbolCount(), 5);
    EXPECT_EQ(manager.DisSymbol(4), nullptr);
    manager.DrawDisSymbol(canvas.dc, 0, 100, 100); // entry 0 is always empty
    EXPECT_EQ(canvas.Ink().right, 0);
}

TEST_F(SymbolTest, CorruptNumbersNeitherDrawNorGrowTheTable) {
    manager.DrawDisSymbol(canvas.dc, 1000, 10, 10);
    manager.DrawDisSymbol(canvas.dc, 2000000000, 10, 10);
    EXPECT_EQ(manager.DisSymbolCount(), 1);
    manager.DrawDisSymbol(canvas.dc, 999, 10, 10);
    EXPECT_EQ(manager.DisSymbolCount(), 1000);
    manager.DrawDisSymbol(canvas.dc, 5, 20, 20);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{15, 15, 25, 25}));
}

TEST_F(SymbolTest, LandmarksStandOnTheirBottomCentre) {
    manager.DrawCachedSymbol(canvas.dc, 7, 100, 100);
    // 20 x 30, h = 15: (100 - 15, 100 - 30 + 8).
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{85, 78, 105, 108}));
    canvas.Clear();
    manager.DrawCachedSymbol(canvas.dc, -3, 100, 100);
    manager.DrawCachedSymbol(canvas.dc, 8, 100, 100); // none: remembered as missing
    EXPECT_EQ(canvas.Ink().right, 0);
    EXPECT_EQ(manager.Landmark(8), nullptr);
    manager.LoadLandmark(256); // as the main screen asks at start-up
    ASSERT_NE(manager.Landmark(256), nullptr);
    manager.DrawCachedSymbol(canvas.dc, 256, 50, 50);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{46, 50, 54, 58}));
    POINTS packed{100, 100};
    canvas.Clear();
    manager.DrawCachedSymbolPacked(canvas.dc, 7, packed);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{85, 78, 105, 108}));
}

TEST_F(SymbolTest, FixedSymbolsBarIconsAndInterestIcons) {
    manager.DrawSymbol(&canvas.cdc, 3, 30, 40);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{30, 40, 44, 68}));
    canvas.Clear();
    manager.DrawSymbol(&canvas.cdc, 16, 30, 40);
    manager.DrawSymbol(&canvas.cdc, -1, 30, 40);
    manager.DrawPoiBarIcon(canvas.dc, 4, 30, 40);
    manager.DrawPoiBarIcon(canvas.dc, 0, 30, 40); // no image
    manager.DrawInterestIcon(&canvas.cdc, 15, true, 30, 40);
    manager.DrawInterestIcon(&canvas.cdc, -1, true, 30, 40);
    EXPECT_EQ(canvas.Ink().right, 0);
    manager.DrawPoiBarIcon(canvas.dc, 3, 30, 40);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{30, 23, 35, 28}));
    canvas.Clear();
    manager.DrawInterestIcon(&canvas.cdc, 4, true, 100, 100);
    EXPECT_EQ(canvas.At(101, 101), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(108, 101), RGB(250, 250, 0)); // the badge 7 to the right
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{100, 100, 111, 109}));
}

TEST_F(SymbolTest, DrawsThroughTheMapInterface) {
    IMapSymbols& symbols = manager;
    symbols.DrawDisSymbol(canvas.dc, -1, 10, 10);
    EXPECT_TRUE(SameRect(canvas.Ink(), RECT{10, 10, 16, 16}));
}
