#include "app/ShellUtilities.h"

#include "platform/files/tests/TempRoot.h"
#include "platform/window/Shell.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ShellUtilities, CodeToPositionTakesCornerBAndScalesX) {
    POINT p{123, 456};
    ASSERT_TRUE(CodeToPosition(3111, 0, 0, p));
    EXPECT_EQ(p.x, -96000);
    EXPECT_EQ(p.y, -10000);
    ASSERT_TRUE(CodeToPosition(1021, 5, 7, p));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 7);
    // Refused codes leave the point as it was.
    for (std::int16_t code : {0, -5}) {
        POINT q{11, 22};
        EXPECT_FALSE(CodeToPosition(code, 1, 1, q)) << code;
        EXPECT_EQ(q.x, 11);
        EXPECT_EQ(q.y, 22);
    }
}

TEST(ShellUtilities, BearingIsClockwiseFromNorth) {
    // The angle of the vector is cut to whole degrees before it turns into a compass bearing:
    // (-3, 4) lies at 126.87 degrees, cut to 126, bearing 450 - 126 = 324.
    struct {
        POINT to;
        int degrees;
    } cases[] = {{{0, 10}, 0}, {{10, 0}, 90}, {{0, -10}, 180}, {{-10, 0}, 270}, {{3, 4}, 37},
                 {{-3, 4}, 324}, {{10, 10}, 45}};
    for (auto c : cases) {
        EXPECT_EQ(BearingDegrees(POINT{0, 0}, c.to), c.degrees) << c.to.x << "," << c.to.y;
        if (c.to.x == 3) {
            const double compass = 90.0 - std::atan2(4.0, 3.0) * 180.0 / M_PI;
            EXPECT_EQ(c.degrees, static_cast<int>(std::ceil(compass)));
        }
    }
    EXPECT_EQ(BearingDegrees(POINT{5, 5}, POINT{5, 5}), -1);
    EXPECT_EQ(BearingDegrees(POINT{100, 100}, POINT{100, 110}), 0);
}

TEST(ShellUtilities, HeadingQuadrants) {
    const int plain[][2] = {{0, 0}, {44, 0}, {45, 90}, {134, 90}, {135, 180}, {224, 180},
                            {225, 270}, {315, 270}, {316, 0}, {359, 0}, {-10, 0}};
    for (auto c : plain) EXPECT_EQ(QuantiseHeading(c[0]), c[1]) << c[0];
    struct {
        int heading, state, result, after;
    } sticky[] = {{60, 0, 0, 0},   {60, 1, 90, 1},  {65, 0, 90, 1},   {30, 1, 90, 1},  {24, 1, 0, 0},
                  {150, 1, 90, 1}, {120, 2, 180, 2}, {240, 2, 180, 2}, {245, 2, 270, 3}, {330, 3, 270, 3}, {336, 3, 0, 0},
                  {210, 3, 270, 3}, {300, 0, 0, 0},  {60, 7, 0, 0},    {60, -1, 0, 0}};
    for (auto c : sticky) {
        int state = c.state;
        EXPECT_EQ(QuantiseHeadingSticky(c.heading, state), c.result) << c.heading << " in " << c.state;
        EXPECT_EQ(state, c.after) << c.heading << " in " << c.state;
    }
}

TEST(ShellUtilities, FolderAndFileTests) {
    TempRoot root;
    root.MakeFile("My Documents/VelkoData/config.bin", "x");
    EXPECT_TRUE(FolderExists(u"\\My Documents\\VelkoData"));
    EXPECT_FALSE(FolderExists(u"\\My Documents\\VelkoData\\config.bin"));
    EXPECT_FALSE(FolderExists(u"\\Nowhere"));
    char16_t name[MAX_PATH];
    ASSERT_TRUE(GetFoundFileName(u"\\My Documents\\VelkoData\\*.bin", name));
    EXPECT_EQ(std::u16string(name), u"config.bin");
    EXPECT_FALSE(GetFoundFileName(u"\\My Documents\\*.pos", name));
}

TEST(ShellUtilities, DrawIconAtPutsTheCornerEightPixelsUpAndLeft) {
    std::uint32_t red[16 * 16];
    std::fill(red, red + 256, 0xFFFF0000u);
    GdiRegisterIconResource(5301, 16, 16, red);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 40, 40);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 40, 40};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &all, white);
    DrawIconAt(dc, POINT{20, 20}, -1);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetPixel(dc, 20, 20), RGB(255, 255, 255));
    DrawIconAt(dc, POINT{20, 20}, 5301);
    EXPECT_EQ(GetPixel(dc, 12, 12), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 27, 27), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 11, 12), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 12, 11), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 28, 27), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteObject(white);
    DeleteDC(dc);
}

TEST(ShellUtilities, AutomationArraySizes) {
    SAFEARRAY a;
    a.cDims = 1;
    a.rgsabound[0].lLbound = 1;
    a.rgsabound[0].cElements = 7;
    EXPECT_EQ(SafeArrayCount(&a), 7);
    EXPECT_EQ(SafeArrayPairCount(&a), 3);
    a.rgsabound[0].cElements = 0x40000006u; // the count is taken modulo 2^30
    EXPECT_EQ(SafeArrayPairCount(&a), 3);
    a.cDims = 0;
    EXPECT_EQ(SafeArrayCount(&a), -1);
    EXPECT_EQ(SafeArrayPairCount(nullptr), -1);
}

TEST(ShellUtilities, RegisterComServerNeedsALibraryWithTheEntry) {
    EXPECT_FALSE(RegisterComServer(u"\\Windows\\nowhere.dll"));
    // The system library is there but exports no registration entry; it is freed again.
    const int loaded = ShellLoadedModuleCount();
    EXPECT_FALSE(RegisterComServer(u"coredll.dll"));
    EXPECT_EQ(ShellLoadedModuleCount(), loaded);
}
