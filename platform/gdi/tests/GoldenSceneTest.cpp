// The demonstration scene drawn with the built-in font must match the golden image pixel for
// pixel. The golden was looked at by a person before it was committed; to refresh it after an
// intended change, run velko-gdidemo --builtin-font on it and look at it again.
#include "platform/gdi/tests/GdiTestSupport.h"
#include "tools/gdidemo/DemoScene.h"

#include <string>

TEST(GoldenScene, BuiltinFontSceneMatchesTheGoldenImage) {
    GdiUseBuiltinFont(true);
    GdiRgbaImage golden;
    std::string error;
    ASSERT_TRUE(GdiLoadPng(std::string(VELKO_SOURCE_DIR) + "/platform/gdi/tests/data/demo-builtin.png",
                           golden, &error))
        << error;
    ASSERT_EQ(golden.width, kDemoWidth);
    ASSERT_EQ(golden.height, kDemoHeight);
    HBITMAP scene = RenderDemoScene();
    ASSERT_NE(scene, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, scene);
    int differences = 0;
    for (int y = 0; y < kDemoHeight; ++y)
        for (int x = 0; x < kDemoWidth; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            const std::uint32_t expected = golden.pixels[static_cast<std::size_t>(y) * kDemoWidth + x];
            const COLORREF g = RGB((expected >> 16) & 0xFF, (expected >> 8) & 0xFF, expected & 0xFF);
            if (c != g && ++differences <= 5) ADD_FAILURE() << "pixel " << x << "," << y << " differs";
        }
    EXPECT_EQ(differences, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(scene);
}
