// A small drawing canvas for the GDI tests: a memory DC holding a white 32-bit bitmap, with the
// built-in font switched on so text pixels and widths are exact.
#pragma once

#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <vector>

class Canvas {
public:
    Canvas(int width, int height) : width(width), height(height) {
        GdiUseBuiltinFont(true);
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        old = SelectObject(dc, bitmap);
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    std::vector<COLORREF> Snapshot() const {
        std::vector<COLORREF> all;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) all.push_back(At(x, y));
        return all;
    }
    // Bounding box of the pixels that are not white; empty when all are white.
    RECT Ink() const {
        RECT box{width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != RGB(255, 255, 255)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x);
                    box.bottom = std::max<LONG>(box.bottom, y);
                }
        return box;
    }

    int width;
    int height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
