#include "app/MapMarkIcon.h"

#include "platform/gdi/AfxGdi.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBack = RGB(0, 0, 255);
constexpr COLORREF kRing = RGB(0xD0, 0x20, 0x20);

class Canvas {
public:
    Canvas() {
        dc.Attach(CreateCompatibleDC(nullptr));
        m_bitmap = CreateCompatibleBitmap(dc, 80, 80);
        m_old = dc.SelectObject(static_cast<HGDIOBJ>(m_bitmap));
        Clear();
    }
    ~Canvas() {
        dc.SelectObject(m_old);
        DeleteObject(m_bitmap);
        DeleteDC(dc.Detach());
    }
    void Clear() { dc.FillSolidRect(0, 0, 80, 80, kBack); }
    CDC dc;

private:
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

} // namespace

TEST(MapMarkIcon, DrawsTheMarkerCentredOnItsPoint) {
    CMapMarkIcon mark;
    ASSERT_TRUE(mark.IsLoaded());
    mark.SetPoint(40, 30);
    EXPECT_EQ(mark.GetRect().left, 40);
    EXPECT_EQ(mark.GetRect().top, 30);
    EXPECT_EQ(mark.GetRect().right, 64);
    EXPECT_EQ(mark.GetRect().bottom, 54);
    Canvas canvas;
    mark.Draw(&canvas.dc);
    // The marker is a red ring of radius 11 around a white centre; its box starts at (28, 18).
    // Icon column 0 of the middle row lies outside the ring (transparent), column 1 inside.
    EXPECT_EQ(canvas.dc.GetPixel(40, 30), kWhite);
    EXPECT_EQ(canvas.dc.GetPixel(28, 30), kBack);
    EXPECT_EQ(canvas.dc.GetPixel(29, 30), kRing);
    EXPECT_EQ(canvas.dc.GetPixel(50, 30), kRing);
    EXPECT_EQ(canvas.dc.GetPixel(51, 30), kBack);
    EXPECT_EQ(canvas.dc.GetPixel(40, 18), kBack);
    EXPECT_EQ(canvas.dc.GetPixel(40, 19), kRing);
    EXPECT_EQ(canvas.dc.GetPixel(40, 40), kRing);
    EXPECT_EQ(canvas.dc.GetPixel(40, 41), kBack);
}

TEST(MapMarkIcon, ReleasingTwiceDestroysTheIconOnceAndDrawsNothingAfter) {
    CMapMarkIcon first;
    CMapMarkIcon second;
    first.Release();
    first.Release();
    EXPECT_FALSE(first.IsLoaded());
    Canvas canvas;
    first.SetPoint(40, 40);
    first.Draw(&canvas.dc);
    EXPECT_EQ(canvas.dc.GetPixel(40, 40), kBack);
    // The other marker keeps its own icon.
    ASSERT_TRUE(second.IsLoaded());
    second.SetPoint(40, 40);
    second.Draw(&canvas.dc);
    EXPECT_EQ(canvas.dc.GetPixel(40, 40), kWhite);
    first.Draw(nullptr);
}
