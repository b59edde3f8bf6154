// The objects behind the GDI handles. Code above the GDI uses the handles; the window system and
// the PNG writer use these classes to reach a bitmap's pixels directly.
#pragma once

#include "platform/gdi/Gdi.h"

#include <memory>
#include <optional>
#include <vector>

namespace gdi {

class GdiObject {
public:
    enum class Kind { Bitmap, Pen, Brush, Font, Region };
    virtual ~GdiObject() = default;
    virtual Kind GetKind() const = 0;

    bool IsStock() const { return m_stock; }

private:
    friend class ObjectTable;
    friend class DeviceContext;
    bool m_stock = false;
    int m_dcRefs = 0;             // selections in device contexts, current and saved
    bool m_deletePending = false; // DeleteObject while selected: freed when the last selection ends
};

// A bitmap: a compatible bitmap (32-bit XRGB, top-down) or a DIB section (1, 4, 8, 16, 24 or 32
// bits, bottom-up unless made with a negative height), rows padded to 4 bytes.
class Bitmap : public GdiObject {
public:
    Kind GetKind() const override { return Kind::Bitmap; }

    // nullptr when the size or depth is unsupported or the memory cannot be had.
    static std::unique_ptr<Bitmap> Make(int width, int height, int bitCount, bool bottomUp, bool dibSection);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitCount() const { return m_bitCount; }
    int Stride() const { return m_stride; }
    bool BottomUp() const { return m_bottomUp; }
    bool IsDibSection() const { return m_dibSection; }
    // 16-bit pixels: 5-6-5 when true, else 5-5-5.
    bool Is565() const { return m_565; }
    void Set565(bool on) { m_565 = on; }
    BYTE* Bits() { return m_bits.get(); }
    const BYTE* Bits() const { return m_bits.get(); }
    std::size_t ByteSize() const { return static_cast<std::size_t>(m_stride) * m_height; }
    // Row y of the picture, counted from the top.
    BYTE* Row(int y) {
        return m_bits.get() + static_cast<std::size_t>(m_bottomUp ? m_height - 1 - y : y) * m_stride;
    }
    const BYTE* Row(int y) const {
        return m_bits.get() + static_cast<std::size_t>(m_bottomUp ? m_height - 1 - y : y) * m_stride;
    }

    std::vector<RGBQUAD>& Palette() { return m_palette; }
    const std::vector<RGBQUAD>& Palette() const { return m_palette; }
    bool HasPalette() const { return m_bitCount <= 8; }

    // Pixel access in picture coordinates; the caller keeps x and y inside the bitmap.
    COLORREF GetColor(int x, int y) const;
    void SetColor(int x, int y, COLORREF color);
    // Fills pixels x0 .. x1 - 1 of row y (already clipped).
    void FillSpan(int y, int x0, int x1, COLORREF color);
    // Mixes color over the pixel with coverage alpha (0..255).
    void BlendPixel(int x, int y, COLORREF color, int alpha);
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    // Index of the palette colour nearest to color (squared RGB distance, lowest index on ties).
    int NearestIndex(COLORREF color) const;

    DeviceContext* SelectedInto() const { return m_selectedInto; }

private:
    friend class DeviceContext;
    int m_width = 0;
    int m_height = 0;
    int m_bitCount = 32;
    int m_stride = 0;
    bool m_bottomUp = false;
    bool m_dibSection = false;
    bool m_565 = false;
    std::unique_ptr<BYTE[]> m_bits;
    std::vector<RGBQUAD> m_palette;
    DeviceContext* m_selectedInto = nullptr;
};

class Pen : public GdiObject {
public:
    Kind GetKind() const override { return Kind::Pen; }
    int style = PS_SOLID;
    int width = 0;
    COLORREF color = 0;
};

class Brush : public GdiObject {
public:
    Kind GetKind() const override { return Kind::Brush; }
    UINT style = BS_SOLID;
    COLORREF color = 0;
};

class Font : public GdiObject {
public:
    Kind GetKind() const override { return Kind::Font; }
    LOGFONTW logFont;
};

// A region: disjoint rectangles, sorted by top then left.
class Region : public GdiObject {
public:
    Kind GetKind() const override { return Kind::Region; }
    std::vector<RECT> rects;

    int Complexity() const {
        return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
    }
    RECT Box() const;
    bool Contains(int x, int y) const;
    void Offset(int dx, int dy);
    // a op b into a new rectangle list (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF).
    static std::vector<RECT> Combine(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode);
};

class Icon {
public:
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // top row first; alpha 0 is transparent
};

// A device context: the selected bitmap, pen, brush and font, colours and modes, the current
// position, the viewport origin and an optional clip region (device coordinates).
class DeviceContext {
public:
    enum class Type { Memory, Screen };

    struct State {
        Bitmap* bitmap = nullptr;
        Pen* pen = nullptr;
        Brush* brush = nullptr;
        Font* font = nullptr;
        COLORREF textColor = RGB(0, 0, 0);
        COLORREF bkColor = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        int polyFillMode = ALTERNATE;
        int rop2 = R2_COPYPEN;
        UINT textAlign = TA_LEFT | TA_TOP;
        POINT position;
        POINT viewportOrg;
        std::optional<std::vector<RECT>> clip;
    };

    explicit DeviceContext(Type type);
    ~DeviceContext();

    Type GetType() const { return m_type; }
    State& Current() { return m_state; }
    const State& Current() const { return m_state; }
    Bitmap* GetBitmap() const { return m_state.bitmap; }

    // Selection with reference counts; returns the previous object of that kind or nullptr.
    GdiObject* Select(GdiObject* object);
    int Save();
    bool Restore(int level);

    // Clip rectangles in device coordinates, already cut to the bitmap.
    std::vector<RECT> ClipRects() const;

    // Position along the current dash pattern, carried from one line to the next.
    int dashPhase = 0;

private:
    void Hold(GdiObject* object);
    void Release(GdiObject* object);
    void HoldState(const State& state);
    void ReleaseState(const State& state);

    Type m_type;
    State m_state;
    std::vector<State> m_saved;
};

// Live-object table: every handle is checked against it before use.
class ObjectTable {
public:
    enum class Tag { Object, DC, Icon };
    static void Add(const void* object, Tag tag);
    static void Remove(const void* object);
    static bool Contains(const void* object, Tag tag);
    static int Count();
    // Frees a GDI object now, or when its last selection ends.
    static bool Delete(GdiObject* object);
    static void DropRef(GdiObject* object);
    static void AddRef(GdiObject* object) { ++object->m_dcRefs; }
    static int Refs(const GdiObject* object) { return object->m_dcRefs; }
    static void MarkStock(GdiObject* object) { object->m_stock = true; }
};

// Checked handle conversions: nullptr for a handle that is not a live object of that type.
template <class T> T* Resolve(const GdiObject* handle) {
    if (!handle || !ObjectTable::Contains(handle, ObjectTable::Tag::Object)) return nullptr;
    return dynamic_cast<T*>(const_cast<GdiObject*>(handle));
}
inline DeviceContext* ResolveDC(const void* handle) {
    if (!handle || !ObjectTable::Contains(handle, ObjectTable::Tag::DC)) return nullptr;
    return static_cast<DeviceContext*>(const_cast<void*>(handle));
}
inline Icon* ResolveIcon(const void* handle) {
    if (!handle || !ObjectTable::Contains(handle, ObjectTable::Tag::Icon)) return nullptr;
    return static_cast<Icon*>(const_cast<void*>(handle));
}
// A bitmap given as a raw handle (TransparentImage takes a DC or a bitmap).
inline Bitmap* ResolveBitmapHandle(const void* handle) {
    if (!handle || !ObjectTable::Contains(handle, ObjectTable::Tag::Object)) return nullptr;
    return dynamic_cast<Bitmap*>(static_cast<GdiObject*>(const_cast<void*>(handle)));
}

} // namespace gdi
