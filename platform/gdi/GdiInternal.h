// Shared pieces of the GDI implementation: the clipped drawing target and the font engine.
#pragma once

#include "platform/gdi/GdiObjects.h"

#include <memory>
#include <string>
#include <vector>

namespace gdi {

// Where a drawing call paints: the DC's bitmap, its clip rectangles in device coordinates, its
// mix mode and the viewport origin that turns logical into device coordinates.
struct Target {
    Bitmap* bitmap = nullptr;
    std::vector<RECT> clip;
    int rop2 = R2_COPYPEN;
    POINT org;

    explicit Target(DeviceContext& dc);
    bool Empty() const { return !bitmap || clip.empty(); }
    // x1 exclusive, device coordinates.
    void Span(int y, int x0, int x1, COLORREF color);
    void Plot(int x, int y, COLORREF color);
    void Blend(int x, int y, COLORREF color, int alpha);
    bool Visible(int x, int y) const;
};

GdiObject* StockObject(int index);
Pen* DefaultPen();
Brush* DefaultBrush();
Font* DefaultFont();
Bitmap* DefaultBitmap();

// ---- fonts ----

struct Glyph {
    int advance = 0;
    int left = 0; // from the pen position to the bitmap's first column
    int top = 0;  // from the baseline up to the bitmap's first row
    int width = 0;
    int height = 0;
    std::vector<BYTE> coverage; // width x height, 0..255
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
};

class FontFace {
public:
    virtual ~FontFace() = default;
    virtual const FontMetrics& Metrics() const = 0;
    // The glyph of a code point (a replacement glyph when the face has none).
    virtual const Glyph& GetGlyph(char32_t code) = 0;
    virtual bool IsBuiltin() const = 0;
};

// The face that draws a logical font under the current font switch.
std::shared_ptr<FontFace> ResolveFace(const LOGFONTW& font);
std::shared_ptr<FontFace> BuiltinFace(int scale, bool bold);

// Code points of UTF-16 text (lone surrogates become U+FFFD).
std::u32string ToCodePoints(const char16_t* text, int count);

} // namespace gdi
