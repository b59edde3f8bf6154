// Device contexts, object creation and selection, stock objects, system colours, regions and the
// rectangle helpers.
#include "platform/files/DeviceRoot.h"
#include "platform/gdi/GdiInternal.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>

using namespace gdi;

namespace {

std::atomic<int> g_failBitmaps{0};
int g_screenWidth = 240;
int g_screenHeight = 320;
std::atomic<bool> g_screenMade{false};

bool TakeBitmapFailure() {
    int n = g_failBitmaps.load();
    while (n > 0) {
        if (g_failBitmaps.compare_exchange_weak(n, n - 1)) return true;
    }
    return false;
}

template <class T> T* Register(std::unique_ptr<T> object) {
    T* raw = object.release();
    ObjectTable::Add(static_cast<GdiObject*>(raw), ObjectTable::Tag::Object);
    return raw;
}

DeviceContext* NewDC(DeviceContext::Type type) {
    auto* dc = new DeviceContext(type);
    ObjectTable::Add(dc, ObjectTable::Tag::DC);
    dc->Select(DefaultPen());
    dc->Select(DefaultBrush());
    dc->Select(DefaultFont());
    if (type == DeviceContext::Type::Memory) {
        dc->Select(DefaultBitmap());
    } else {
        // The screen DC draws straight into the screen surface.
        dc->Current().bitmap = GdiGetScreenBitmap();
        ObjectTable::AddRef(dc->Current().bitmap);
    }
    return dc;
}

std::vector<RECT> ToDevice(const RECT& r, POINT org) {
    return {RECT{r.left + org.x, r.top + org.y, r.right + org.x, r.bottom + org.y}};
}

int ClipComplexity(const DeviceContext& dc) {
    auto rects = dc.ClipRects();
    return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace

namespace gdi {

// ---- drawing target ----

Target::Target(DeviceContext& dc) : bitmap(dc.GetBitmap()), clip(dc.ClipRects()), rop2(dc.Current().rop2) {
    org = dc.Current().viewportOrg;
}

static COLORREF Mix(int rop2, COLORREF pen, COLORREF dest) {
    switch (rop2) {
    case R2_BLACK:
        return 0;
    case R2_WHITE:
        return RGB(255, 255, 255);
    case R2_NOT:
        return (~dest) & 0xFFFFFF;
    case R2_XORPEN:
        return (pen ^ dest) & 0xFFFFFF;
    default:
        return pen;
    }
}

void Target::Span(int y, int x0, int x1, COLORREF color) {
    if (!bitmap) return;
    for (const RECT& c : clip) {
        if (y < c.top || y >= c.bottom) continue;
        const int a = std::max<int>(x0, c.left), b = std::min<int>(x1, c.right);
        if (a >= b) continue;
        if (rop2 == R2_COPYPEN) {
            bitmap->FillSpan(y, a, b, color);
        } else {
            for (int x = a; x < b; ++x) bitmap->SetColor(x, y, Mix(rop2, color, bitmap->GetColor(x, y)));
        }
    }
}

bool Target::Visible(int x, int y) const {
    for (const RECT& c : clip)
        if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) return true;
    return false;
}

void Target::Plot(int x, int y, COLORREF color) {
    if (!bitmap || !Visible(x, y)) return;
    bitmap->SetColor(x, y, rop2 == R2_COPYPEN ? color : Mix(rop2, color, bitmap->GetColor(x, y)));
}

void Target::Blend(int x, int y, COLORREF color, int alpha) {
    if (!bitmap || !Visible(x, y)) return;
    bitmap->BlendPixel(x, y, color, alpha);
}

// ---- stock objects ----

GdiObject* StockObject(int index) {
    static std::array<GdiObject*, 18> stock{};
    static std::once_flag once;
    std::call_once(once, [] {
        auto brush = [](UINT style, COLORREF color) {
            auto b = std::make_unique<Brush>();
            b->style = style;
            b->color = color;
            return Register(std::move(b));
        };
        auto pen = [](int style, COLORREF color) {
            auto p = std::make_unique<Pen>();
            p->style = style;
            p->color = color;
            return Register(std::move(p));
        };
        auto font = [](LONG height, LONG weight) {
            auto f = std::make_unique<Font>();
            f->logFont.lfHeight = height;
            f->logFont.lfWeight = weight;
            const char16_t face[] = u"System";
            std::copy(std::begin(face), std::end(face), f->logFont.lfFaceName);
            return Register(std::move(f));
        };
        stock[WHITE_BRUSH] = brush(BS_SOLID, RGB(255, 255, 255));
        stock[LTGRAY_BRUSH] = brush(BS_SOLID, RGB(192, 192, 192));
        stock[GRAY_BRUSH] = brush(BS_SOLID, RGB(128, 128, 128));
        stock[DKGRAY_BRUSH] = brush(BS_SOLID, RGB(64, 64, 64));
        stock[BLACK_BRUSH] = brush(BS_SOLID, RGB(0, 0, 0));
        stock[NULL_BRUSH] = brush(BS_NULL, 0);
        stock[WHITE_PEN] = pen(PS_SOLID, RGB(255, 255, 255));
        stock[BLACK_PEN] = pen(PS_SOLID, RGB(0, 0, 0));
        stock[NULL_PEN] = pen(PS_NULL, 0);
        stock[SYSTEM_FONT] = font(0, FW_NORMAL);
        stock[DEFAULT_GUI_FONT] = font(-12, FW_NORMAL);
        // The 1 x 1 bitmap a new memory DC holds, in slot 9 (unused by Windows' numbering).
        auto bitmap = Bitmap::Make(1, 1, 1, true, false);
        bitmap->Palette()[1] = RGBQUAD{255, 255, 255, 0};
        stock[9] = Register(std::move(bitmap));
        for (GdiObject* object : stock)
            if (object) ObjectTable::MarkStock(object);
    });
    if (index < 0 || index >= static_cast<int>(stock.size())) return nullptr;
    return stock[index];
}

Pen* DefaultPen() {
    return static_cast<Pen*>(StockObject(BLACK_PEN));
}
Brush* DefaultBrush() {
    return static_cast<Brush*>(StockObject(WHITE_BRUSH));
}
Font* DefaultFont() {
    return static_cast<Font*>(StockObject(SYSTEM_FONT));
}
Bitmap* DefaultBitmap() {
    return static_cast<Bitmap*>(StockObject(9));
}

} // namespace gdi

// ---- test hooks and switches ----

void GdiFailNextBitmapCreations(int n) {
    g_failBitmaps.store(n > 0 ? n : 0);
}
int GdiLiveObjectCount() {
    return ObjectTable::Count();
}

// ---- screen ----

HBITMAP GdiGetScreenBitmap() {
    static Bitmap* screen = [] {
        auto bitmap = Bitmap::Make(g_screenWidth, g_screenHeight, 32, false, false);
        g_screenMade.store(true);
        Bitmap* raw = Register(std::move(bitmap));
        ObjectTable::MarkStock(raw);
        return raw;
    }();
    return screen;
}

BOOL GdiSetScreenSize(int width, int height) {
    // The size is fixed once the screen surface exists.
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || g_screenMade.load()) return FALSE;
    g_screenWidth = width;
    g_screenHeight = height;
    return TRUE;
}

// ---- device contexts ----

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !ResolveDC(dc)) return nullptr;
    return NewDC(DeviceContext::Type::Memory);
}

HDC CreateDCW(LPCWSTR driver, LPCWSTR, LPCWSTR, const void*) {
    if (!driver || std::u16string_view(driver) != u"DISPLAY") return nullptr;
    return NewDC(DeviceContext::Type::Screen);
}

BOOL DeleteDC(HDC handle) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    ObjectTable::Remove(dc);
    delete dc;
    return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    DeviceContext* dc = ResolveDC(handle);
    GdiObject* resolved = Resolve<GdiObject>(object);
    if (!dc || !resolved) return nullptr;
    if (auto* region = dynamic_cast<Region*>(resolved))
        return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(SelectClipRgn(handle, region)));
    return dc->Select(resolved);
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->Current().pen;
    case OBJ_BRUSH:
        return dc->Current().brush;
    case OBJ_FONT:
        return dc->Current().font;
    case OBJ_BITMAP:
        return dc->Current().bitmap;
    }
    return nullptr;
}

int SaveDC(HDC handle) {
    DeviceContext* dc = ResolveDC(handle);
    return dc ? dc->Save() : 0;
}

BOOL RestoreDC(HDC handle, int saved) {
    DeviceContext* dc = ResolveDC(handle);
    return dc && dc->Restore(saved) ? TRUE : FALSE;
}

#define DC_SETTER(Name, Getter, Type, field, failure)                                                        \
    Type Name(HDC handle, Type value) {                                                                      \
        DeviceContext* dc = ResolveDC(handle);                                                               \
        if (!dc) return failure;                                                                             \
        Type old = dc->Current().field;                                                                      \
        dc->Current().field = value;                                                                         \
        return old;                                                                                          \
    }                                                                                                        \
    Type Getter(HDC handle) {                                                                                \
        DeviceContext* dc = ResolveDC(handle);                                                               \
        return dc ? dc->Current().field : failure;                                                           \
    }

DC_SETTER(SetTextColor, GetTextColor, COLORREF, textColor, CLR_INVALID)
DC_SETTER(SetBkColor, GetBkColor, COLORREF, bkColor, CLR_INVALID)
DC_SETTER(SetTextAlign, GetTextAlign, UINT, textAlign, 0xFFFFFFFFu)
#undef DC_SETTER

int SetBkMode(HDC handle, int mode) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->Current().bkMode, mode);
}
int GetBkMode(HDC handle) {
    DeviceContext* dc = ResolveDC(handle);
    return dc ? dc->Current().bkMode : 0;
}
int SetPolyFillMode(HDC handle, int mode) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
    return std::exchange(dc->Current().polyFillMode, mode);
}
int GetPolyFillMode(HDC handle) {
    DeviceContext* dc = ResolveDC(handle);
    return dc ? dc->Current().polyFillMode : 0;
}
int SetROP2(HDC handle, int mode) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || mode < 1 || mode > 16) return 0;
    return std::exchange(dc->Current().rop2, mode);
}
int GetROP2(HDC handle) {
    DeviceContext* dc = ResolveDC(handle);
    return dc ? dc->Current().rop2 : 0;
}

BOOL SetViewportOrgEx(HDC handle, int x, int y, POINT* previous) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    if (previous) *previous = dc->Current().viewportOrg;
    dc->Current().viewportOrg = POINT{x, y};
    return TRUE;
}

BOOL OffsetViewportOrgEx(HDC handle, int dx, int dy, POINT* previous) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return FALSE;
    if (previous) *previous = dc->Current().viewportOrg;
    dc->Current().viewportOrg.x += dx;
    dc->Current().viewportOrg.y += dy;
    return TRUE;
}

BOOL GetViewportOrgEx(HDC handle, POINT* origin) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || !origin) return FALSE;
    *origin = dc->Current().viewportOrg;
    return TRUE;
}

int GetDeviceCaps(HDC handle, int index) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return 0;
    HBITMAP screen = GdiGetScreenBitmap();
    switch (index) {
    case BITSPIXEL:
        return 32; // compatible bitmaps are 32-bit XRGB
    case PLANES:
        return 1;
    case NUMCOLORS: {
        // device.ini "colors=N" stands for a palette display of N colours; none is true colour.
        const std::string colors = DeviceRoot::Setting("colors");
        char* end = nullptr;
        const long n = colors.empty() ? -1 : std::strtol(colors.c_str(), &end, 10);
        return n > 0 && end && *end == 0 && n <= 65536 ? static_cast<int>(n) : -1;
    }
    case HORZRES:
        return screen->Width();
    case VERTRES:
        return screen->Height();
    case HORZSIZE:
        return screen->Width() * 254 / 960;
    case VERTSIZE:
        return screen->Height() * 254 / 960;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case RASTERCAPS:
        return RC_BITBLT;
    }
    return 0;
}

// ---- objects ----

BOOL DeleteObject(HGDIOBJ handle) {
    GdiObject* object = Resolve<GdiObject>(handle);
    if (!object) return FALSE;
    return ObjectTable::Delete(object) ? TRUE : FALSE;
}

HGDIOBJ GetStockObject(int index) {
    if (index == 9) return nullptr; // the hidden default bitmap is not handed out
    return StockObject(index);
}

DWORD GetObjectType(HGDIOBJ handle) {
    if (ResolveDC(handle)) {
        return ResolveDC(handle)->GetType() == DeviceContext::Type::Memory ? OBJ_MEMDC : OBJ_DC;
    }
    GdiObject* object = Resolve<GdiObject>(handle);
    if (!object) return 0;
    switch (object->GetKind()) {
    case GdiObject::Kind::Bitmap:
        return OBJ_BITMAP;
    case GdiObject::Kind::Pen:
        return OBJ_PEN;
    case GdiObject::Kind::Brush:
        return OBJ_BRUSH;
    case GdiObject::Kind::Font:
        return OBJ_FONT;
    case GdiObject::Kind::Region:
        return OBJ_REGION;
    }
    return 0;
}

int GetObjectW(HGDIOBJ handle, int size, LPVOID buffer) {
    GdiObject* object = Resolve<GdiObject>(handle);
    if (!object || size < 0) return 0;
    if (auto* bitmap = dynamic_cast<Bitmap*>(object)) {
        DIBSECTION ds;
        ds.dsBm.bmType = 0;
        ds.dsBm.bmWidth = bitmap->Width();
        ds.dsBm.bmHeight = bitmap->Height();
        ds.dsBm.bmWidthBytes = bitmap->Stride();
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = static_cast<WORD>(bitmap->BitCount());
        ds.dsBm.bmBits = bitmap->IsDibSection() ? bitmap->Bits() : nullptr;
        ds.dsBmih.biWidth = bitmap->Width();
        ds.dsBmih.biHeight = bitmap->BottomUp() ? bitmap->Height() : -bitmap->Height();
        ds.dsBmih.biBitCount = static_cast<WORD>(bitmap->BitCount());
        ds.dsBmih.biSizeImage = static_cast<DWORD>(bitmap->ByteSize());
        ds.dsBmih.biClrUsed = static_cast<DWORD>(bitmap->Palette().size());
        if (!buffer) return bitmap->IsDibSection() ? sizeof(DIBSECTION) : sizeof(BITMAP);
        if (bitmap->IsDibSection() && size >= static_cast<int>(sizeof(DIBSECTION))) {
            std::memcpy(buffer, &ds, sizeof(DIBSECTION));
            return sizeof(DIBSECTION);
        }
        if (size < static_cast<int>(sizeof(BITMAP))) return 0;
        std::memcpy(buffer, &ds.dsBm, sizeof(BITMAP));
        return sizeof(BITMAP);
    }
    if (auto* pen = dynamic_cast<Pen*>(object)) {
        LOGPEN lp;
        lp.lopnStyle = static_cast<UINT>(pen->style);
        lp.lopnWidth.x = pen->width;
        lp.lopnColor = pen->color;
        if (!buffer) return sizeof(LOGPEN);
        if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
        std::memcpy(buffer, &lp, sizeof(LOGPEN));
        return sizeof(LOGPEN);
    }
    if (auto* brush = dynamic_cast<Brush*>(object)) {
        LOGBRUSH lb;
        lb.lbStyle = brush->style;
        lb.lbColor = brush->color;
        if (!buffer) return sizeof(LOGBRUSH);
        if (size < static_cast<int>(sizeof(LOGBRUSH))) return 0;
        std::memcpy(buffer, &lb, sizeof(LOGBRUSH));
        return sizeof(LOGBRUSH);
    }
    if (auto* font = dynamic_cast<Font*>(object)) {
        if (!buffer) return sizeof(LOGFONTW);
        if (size < static_cast<int>(sizeof(LOGFONTW))) return 0;
        std::memcpy(buffer, &font->logFont, sizeof(LOGFONTW));
        return sizeof(LOGFONTW);
    }
    return 0;
}

COLORREF GetSysColor(int index) {
    switch (index) {
    case COLOR_SCROLLBAR:
        return RGB(200, 200, 200);
    case COLOR_BACKGROUND:
        return RGB(0, 128, 128);
    case COLOR_ACTIVECAPTION:
        return RGB(0, 0, 128);
    case COLOR_INACTIVECAPTION:
        return RGB(128, 128, 128);
    case COLOR_MENU:
        return RGB(192, 192, 192);
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME:
        return RGB(0, 0, 0);
    case COLOR_MENUTEXT:
        return RGB(0, 0, 0);
    case COLOR_WINDOWTEXT:
        return RGB(0, 0, 0);
    case COLOR_CAPTIONTEXT:
        return RGB(255, 255, 255);
    case COLOR_HIGHLIGHT:
        return RGB(0, 0, 128);
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_BTNFACE:
        return RGB(192, 192, 192);
    case COLOR_BTNSHADOW:
        return RGB(128, 128, 128);
    case COLOR_GRAYTEXT:
        return RGB(128, 128, 128);
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW:
        return RGB(0, 0, 0);
    case COLOR_3DLIGHT:
        return RGB(224, 224, 224);
    case COLOR_INFOTEXT:
        return RGB(0, 0, 0);
    case COLOR_INFOBK:
        return RGB(255, 255, 225);
    case COLOR_STATIC:
        return RGB(192, 192, 192);
    case COLOR_STATICTEXT:
        return RGB(0, 0, 0);
    }
    return 0;
}

HBRUSH GetSysColorBrush(int index) {
    static std::array<Brush*, 27> brushes{};
    static std::mutex mutex;
    if (index < 0 || index >= static_cast<int>(brushes.size())) return nullptr;
    std::lock_guard lock(mutex);
    if (!brushes[index]) {
        auto brush = std::make_unique<Brush>();
        brush->color = GetSysColor(index);
        brushes[index] = Register(std::move(brush));
        ObjectTable::MarkStock(brushes[index]);
    }
    return brushes[index];
}

// ---- bitmaps ----

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (dc && !ResolveDC(dc)) return nullptr;
    if (TakeBitmapFailure()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto bitmap = Bitmap::Make(width, height, 32, false, false);
    if (!bitmap) {
        SetLastError(width <= 0 || height <= 0 ? ERROR_INVALID_PARAMETER : ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return Register(std::move(bitmap));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
    if (planes != 1 || (bitCount != 1 && bitCount != 32)) return nullptr;
    if (TakeBitmapFailure()) return nullptr;
    auto bitmap = Bitmap::Make(width, height, static_cast<int>(bitCount), false, false);
    if (!bitmap) return nullptr;
    if (bitCount == 1) bitmap->Palette()[1] = RGBQUAD{255, 255, 255, 0};
    if (bits) {
        // Windows' bitmap bits: rows padded to 2 bytes, top row first.
        const std::size_t srcStride = ((static_cast<std::size_t>(width) * bitCount + 15) / 16) * 2;
        const std::size_t copy = std::min<std::size_t>(srcStride, bitmap->Stride());
        for (int y = 0; y < height; ++y)
            std::memcpy(bitmap->Row(y), static_cast<const BYTE*>(bits) + srcStride * y, copy);
    }
    return Register(std::move(bitmap));
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (dc && !ResolveDC(dc)) return nullptr;
    if (!info || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1) return nullptr;
    const int bitCount = h.biBitCount;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32)))
        return nullptr;
    if (bitCount <= 8 && h.biClrUsed > (1u << bitCount)) return nullptr;
    if (h.biHeight == 0 || h.biHeight == INT32_MIN) return nullptr;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (TakeBitmapFailure()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto bitmap = Bitmap::Make(h.biWidth, height, bitCount, h.biHeight > 0, true);
    if (!bitmap) return nullptr;
    const RGBQUAD* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + h.biSize);
    if (bitCount <= 8) {
        const std::size_t count = h.biClrUsed ? h.biClrUsed : (std::size_t(1) << bitCount);
        for (std::size_t i = 0; i < count; ++i) bitmap->Palette()[i] = colors[i];
    } else if (bitCount == 16 && h.biCompression == BI_BITFIELDS) {
        DWORD redMask;
        std::memcpy(&redMask, colors, sizeof(redMask));
        bitmap->Set565(redMask == 0xF800);
    }
    if (bits) *bits = bitmap->Bits();
    return Register(std::move(bitmap));
}

static Bitmap* PaletteBitmapOf(HDC handle) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || !dc->GetBitmap() || !dc->GetBitmap()->HasPalette()) return nullptr;
    return dc->GetBitmap();
}

UINT GetDIBColorTable(HDC handle, UINT start, UINT count, RGBQUAD* colors) {
    Bitmap* bitmap = PaletteBitmapOf(handle);
    if (!bitmap || !colors || start >= bitmap->Palette().size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(bitmap->Palette().size()) - start);
    std::copy_n(bitmap->Palette().begin() + start, n, colors);
    return n;
}

UINT SetDIBColorTable(HDC handle, UINT start, UINT count, const RGBQUAD* colors) {
    Bitmap* bitmap = PaletteBitmapOf(handle);
    if (!bitmap || !colors || start >= bitmap->Palette().size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(bitmap->Palette().size()) - start);
    std::copy_n(colors, n, bitmap->Palette().begin() + start);
    return n;
}

COLORREF GetPixel(HDC handle, int x, int y) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return CLR_INVALID;
    Target target(*dc);
    const int dx = x + target.org.x, dy = y + target.org.y;
    if (target.Empty() || !target.Visible(dx, dy)) return CLR_INVALID;
    return target.bitmap->GetColor(dx, dy);
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return CLR_INVALID;
    Target target(*dc);
    const int dx = x + target.org.x, dy = y + target.org.y;
    if (target.Empty() || !target.Visible(dx, dy)) return CLR_INVALID;
    target.bitmap->SetColor(dx, dy, color & 0xFFFFFF);
    return target.bitmap->GetColor(dx, dy);
}

// ---- pens and brushes ----

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
    auto pen = std::make_unique<Pen>();
    pen->style = style;
    pen->width = width < 0 ? 0 : width;
    pen->color = color & 0xFFFFFF;
    return Register(std::move(pen));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
    return lp ? CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor) : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<Brush>();
    brush->color = color & 0xFFFFFF;
    return Register(std::move(brush));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb || (lb->lbStyle != BS_SOLID && lb->lbStyle != BS_NULL)) return nullptr;
    auto brush = std::make_unique<Brush>();
    brush->style = lb->lbStyle;
    brush->color = lb->lbColor & 0xFFFFFF;
    return Register(std::move(brush));
}

// ---- fonts ----

HFONT CreateFontIndirectW(const LOGFONTW* lf) {
    if (!lf) return nullptr;
    auto font = std::make_unique<Font>();
    font->logFont = *lf;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = 0;
    return Register(std::move(font));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
    LOGFONTW lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic);
    lf.lfUnderline = static_cast<BYTE>(underline);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (face) {
        for (int i = 0; i < LF_FACESIZE - 1 && face[i]; ++i) lf.lfFaceName[i] = face[i];
    }
    return CreateFontIndirectW(&lf);
}

// ---- regions ----

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto region = std::make_unique<Region>();
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left < right && top < bottom) region->rects.push_back(RECT{left, top, right, bottom});
    return Register(std::move(region));
}

HRGN CreateRectRgnIndirect(const RECT* r) {
    return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
    Region* d = Resolve<Region>(dest);
    Region* ra = Resolve<Region>(a);
    Region* rb = Resolve<Region>(b);
    if (!d || !ra || (mode != RGN_COPY && !rb) || mode < RGN_AND || mode > RGN_COPY) return ERROR;
    if (mode == RGN_COPY)
        d->rects = ra->rects;
    else
        d->rects = Region::Combine(ra->rects, rb->rects, mode);
    return d->Complexity();
}

BOOL SetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
    Region* region = Resolve<Region>(handle);
    if (!region) return FALSE;
    region->rects.clear();
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left < right && top < bottom) region->rects.push_back(RECT{left, top, right, bottom});
    return TRUE;
}

int GetRgnBox(HRGN handle, RECT* box) {
    Region* region = Resolve<Region>(handle);
    if (!region || !box) return ERROR;
    *box = region->Box();
    return region->Complexity();
}

BOOL PtInRegion(HRGN handle, int x, int y) {
    Region* region = Resolve<Region>(handle);
    return region && region->Contains(x, y) ? TRUE : FALSE;
}

int OffsetRgn(HRGN handle, int dx, int dy) {
    Region* region = Resolve<Region>(handle);
    if (!region) return ERROR;
    region->Offset(dx, dy);
    return region->Complexity();
}

int SelectClipRgn(HDC handle, HRGN rgn) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return ERROR;
    if (!rgn) {
        dc->Current().clip.reset();
        return ClipComplexity(*dc);
    }
    Region* region = Resolve<Region>(rgn);
    if (!region) return ERROR;
    dc->Current().clip = region->rects; // a copy: the region stays the caller's
    return ClipComplexity(*dc);
}

static std::vector<RECT> CurrentClip(const DeviceContext& dc) {
    if (dc.Current().clip) return *dc.Current().clip;
    const Bitmap* bitmap = dc.GetBitmap();
    return {RECT{0, 0, bitmap ? bitmap->Width() : 0, bitmap ? bitmap->Height() : 0}};
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return ERROR;
    dc->Current().clip = Region::Combine(
        CurrentClip(*dc), ToDevice(RECT{left, top, right, bottom}, dc->Current().viewportOrg), RGN_AND);
    return ClipComplexity(*dc);
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc) return ERROR;
    dc->Current().clip = Region::Combine(
        CurrentClip(*dc), ToDevice(RECT{left, top, right, bottom}, dc->Current().viewportOrg), RGN_DIFF);
    return ClipComplexity(*dc);
}

int GetClipBox(HDC handle, RECT* box) {
    DeviceContext* dc = ResolveDC(handle);
    if (!dc || !box) return ERROR;
    Region region;
    region.rects = dc->ClipRects();
    *box = region.Box();
    OffsetRect(box, -dc->Current().viewportOrg.x, -dc->Current().viewportOrg.y);
    return region.Complexity();
}

// ---- rectangles ----

BOOL SetRect(RECT* r, int left, int top, int right, int bottom) {
    if (!r) return FALSE;
    *r = RECT{left, top, right, bottom};
    return TRUE;
}
BOOL SetRectEmpty(RECT* r) {
    return SetRect(r, 0, 0, 0, 0);
}
BOOL IsRectEmpty(const RECT* r) {
    return !r || r->left >= r->right || r->top >= r->bottom;
}
BOOL InflateRect(RECT* r, int dx, int dy) {
    if (!r) return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}
BOOL OffsetRect(RECT* r, int dx, int dy) {
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (r.left >= r.right || r.top >= r.bottom) {
        *out = RECT{};
        return FALSE;
    }
    *out = r;
    return TRUE;
}
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE;
    if (IsRectEmpty(a)) {
        *out = *b;
    } else if (IsRectEmpty(b)) {
        *out = *a;
    } else {
        *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
    }
    return !IsRectEmpty(out);
}
BOOL PtInRect(const RECT* r, POINT p) {
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
BOOL CopyRect(RECT* out, const RECT* in) {
    if (!out || !in) return FALSE;
    *out = *in;
    return TRUE;
}
